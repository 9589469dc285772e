// The files of a KODRA installation that this system's programs name: the
// batch files the service runs, its log and the tray program, all in the
// installation folder beside the service program.
#pragma once

// The server's shutdown batch file, entered as the VELMOR special job.
constexpr const char kKodraServerBatch[] = "SDSrv.bat";
// A client's shutdown batch file, and the one run instead of it while the
// redundancy group suppresses the shutdown.
constexpr const char kKodraShutdownBatch[] = "shutdown.bat";
constexpr const char kKodraSuppressedBatch[] = "ShutdownSuppressed.bat";
// Run when the alive check finds the VELMOR servers gone.
constexpr const char kKodraAliveBatch[] = "alive.bat";
// Run at the execute, message and mail signals; "message.bat" gets the message
// text as its argument.
constexpr const char kKodraExecuteBatch[] = "execute.bat";
constexpr const char kKodraMessageBatch[] = "message.bat";
constexpr const char kKodraMailBatch[] = "mail.bat";

constexpr const char kKodraLogFile[] = "kodra.log";

// The tray program; its presence lets jobs start through the tray.
constexpr const char kKodraTrayProgram[] = "kodratray.exe";
