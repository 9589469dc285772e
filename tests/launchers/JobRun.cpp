#include "JobRun.h"

#include "testlib.h"

#include <vector>

namespace {

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Accounting(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    return info;
}

}  // namespace

JobRun RunInJob(const std::string& commandLine, const std::string& workDir, const std::string& folder,
                const std::string& program)
{
    JobRun result;
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!job) return result;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    char ourDir[MAX_PATH] = "";
    if (!folder.empty()) {
        GetCurrentDirectoryA(sizeof ourDir, ourDir);
        SetCurrentDirectoryA(folder.c_str());
    }
    result.started = CreateProcessA(program.empty() ? nullptr : program.c_str(), cmd.data(), nullptr, nullptr,
                                    FALSE, CREATE_SUSPENDED, nullptr, workDir.empty() ? nullptr : workDir.c_str(),
                                    &si, &pi) != 0;
    if (!folder.empty()) SetCurrentDirectoryA(ourDir);
    if (result.started) {
        if (AssignProcessToJobObject(job, pi.hProcess)) {
            ResumeThread(pi.hThread);
            if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) {
                result.ended = GetExitCodeProcess(pi.hProcess, &result.exitCode) != 0;
                testlib::WaitFor([job] { return Accounting(job).ActiveProcesses == 0; });
                result.processes = Accounting(job).TotalProcesses;
            }
        }
        TerminateJobObject(job, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(job);
    return result;
}
