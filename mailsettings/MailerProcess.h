#pragma once

// Runs the mailer's command line as "Hablat.exe" found in the current directory
// or on the search path, with no command interpreter in between, so the values
// in it reach the mailer as typed; waits until the mailer ends. The result says
// whether it ran (a missing mailer is false); its exit code is not looked at.
bool RunMailer(const char* commandLine);
