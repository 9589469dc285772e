@echo off
rem Demo installation: the KODRA service runs "ShutdownSuppressed.bat"; this one does nothing.
