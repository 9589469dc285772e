// Services and HKEY_LOCAL_MACHINE keys that tests make, and the one way to
// take a test's service away again.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace testlib {

// Creates an own-process service of that name, started on demand, that runs
// the command line; false when it cannot.
bool CreateTestService(const std::string& name, const std::string& commandLine);
// Start or stop the service and wait until it runs or has stopped; a service
// that is so already counts.
bool StartTestService(const std::string& name);
bool StopTestService(const std::string& name);

// Stops the service (ending its process when it ignores the stop), deletes it,
// waits until the service manager no longer knows it and removes its keys.
// True when it is gone.
bool RemoveService(const std::string& name);

// A service name for one test: gone before the test and again after it.
class ScopedService {
public:
    explicit ScopedService(const std::string& name);
    ~ScopedService();
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;
    const std::string& Name() const { return name_; }
    const char* c_str() const { return name_.c_str(); }

private:
    std::string name_;
};

// The service's state (SERVICE_RUNNING, ...), or 0 when it does not open.
DWORD ServiceState(const std::string& name);
bool ServicePresent(const std::string& name);

// Removes the key with everything below it.
void DeleteKeyTree(HKEY root, const std::string& path);

// The keys under HKEY_LOCAL_MACHINE\Software that the programs share with other
// programs, in the registry view where the programs keep them; results as of
// RegOpenKeyExA, RegCreateKeyExA and RegDeleteKeyExA (the key alone, no subkeys).
LONG OpenSharedKey(const char* path, REGSAM access, HKEY* key);
LONG CreateSharedKey(const char* path, REGSAM access, HKEY* key);
LONG DeleteSharedKey(const char* path);
// Creates the shared key and sets each (name, text) as a REG_SZ value through
// the narrow calls, as a program of the system's code page stores them.
::testing::AssertionResult SetSharedTextsNarrow(const char* path,
                                                const std::vector<std::pair<const char*, std::string>>& values);

}  // namespace testlib
