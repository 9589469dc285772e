#pragma once

// Runs the mailer's command line as "Hablat.exe" found in the current directory
// or on the search path, with no command interpreter in between, so the values
// in it reach the mailer as typed; waits until the mailer ends. A mailer that is
// missing or fails is not reported: the result only says whether it ran.
bool RunMailer(const char* commandLine);
