int SmokeValue() { return 42; }
