// What the wizard's calls of the KODRA program (the client service program,
// outside this system) fix: its file, command lines, events, batch files and log.
#pragma once

#include <windows.h>

#include "KodraFiles.h"

// The program file is the product word and ".EXE" in the wizard's folder; the
// product word is also the event source.
constexpr const char kKodraBaseName[] = "KODRA";
constexpr const char kKodraProgramExtension[] = ".EXE";

// Install and remove lines, run hidden; the wizard waits for each to end.
constexpr const char kKodraInstallArgs[] = "-i -name %s";
constexpr const char kKodraUninstallArgs[] = "-u -name %s";

// A server batch file line notifies one client.
constexpr const char kKodraNotifySwitch[] = " -s";
constexpr const char kKodraAddressSwitch[] = " -a ";
constexpr const char kKodraPortSwitch[] = " -p ";

// The shutdown relay of a client shutdown batch (its arguments are the
// batch file's: ShutdownBatchText.h).
constexpr const char kKodraRelayProgram[] = "kodra.exe";

// The service accepts the stop control within this time; after removal it is
// gone within the second one.
constexpr int kKodraStopTimeoutSeconds = 30;
constexpr int kKodraDeleteTimeoutSeconds = 10;

// Events of the source "KODRA", the service name as the only insertion string;
// the program file holds their texts.
constexpr DWORD kKodraEventInstalled = 100;
constexpr DWORD kKodraEventRemoved = 101;
constexpr DWORD kKodraEventRemoveFailed = 102;

// The parameters' name for the log (KodraFiles.h names the file).
constexpr const char kKodraLogFileValueFormat[] = "%s.log";

// Shown before the program file's FileVersion.
constexpr const char kKodraVersionPrefix[] = "KODRA ver. ";
