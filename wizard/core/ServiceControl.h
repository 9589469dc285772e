// Installation, start, stop and removal of the KODRA client service, its event
// source and events, and the texts of Windows error codes.
#pragma once

#include "classlib.h"

bool GetSystemErrorText(DWORD code, char* buffer, int size);
bool ServiceExists(const char* serviceName);
// True only when the service manager answers that no service of the name exists.
bool ServiceIsGone(const char* serviceName);
bool IsServiceActive(const char* serviceName);
DWORD StopServiceWait(const char* serviceName, int seconds);
DWORD StartServiceIfStopped(const char* serviceName);
bool WaitServiceDeleted(const char* serviceName, int seconds);
bool InstallService(const char* eventSource, const char* programName, const char* serviceName);
bool RemoveService(const char* serviceName);
bool UninstallService(const char* serviceName);
bool RegisterEventLogSource(const char* sourceName, const char* messageFile);
void ReportServiceEvent(const char* sourceName, WORD type, DWORD eventId,
                        const char* string1 = nullptr, const char* string2 = nullptr,
                        const char* string3 = nullptr);
bool CheckServiceProgram(CString& baseName, bool warn);
void ShowServiceError(DWORD code, UINT stringId, const char* serviceName = nullptr);

// Shows why a service name cannot be used (see IsValidServiceName) and returns
// false; true for a usable name.
bool ConfirmValidServiceName(const char* serviceName);

// Every reported event also goes to the observer, when one is set (tests).
using ServiceEventObserver = void (*)(const char* source, WORD type, DWORD eventId,
                                      const char* const* strings, int count);
void SetServiceEventObserver(ServiceEventObserver observer);
