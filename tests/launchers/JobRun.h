// Starting a program inside a job object, so a test knows how many processes
// it created in all and can wait until every one of them has ended.
#pragma once

#include <windows.h>

#include <string>

struct JobRun {
    bool started = false;
    bool ended = false;
    DWORD exitCode = 0;
    DWORD processes = 0;  // the program itself and everything it started
};

// Runs the command line in workDir (empty: ours), waits for the program and
// then for all it started. With a folder, the program is named relative to it
// while it is our current directory: Wine does not start a program by a full
// name of 260 characters or more, but it starts one named that way.
JobRun RunInJob(const std::string& commandLine, const std::string& workDir = "",
                const std::string& folder = "", const std::string& program = "");
