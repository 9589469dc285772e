// Debug trace: printf-style reports to the channels that the registry key
// "Software\Tessalt\Debug" (HKLM) selects, read at the first report.
#pragma once

#include <cstdarg>
#include <cstdio>

enum DebugLevel { DEBUG_INFO = 0, DEBUG_WARNING = 1, DEBUG_ERROR = 2, DEBUG_ASSERT = 3 };

enum DebugChannel {
    DEBUG_CH_STREAM = 0x01,
    DEBUG_CH_DEBUGGER = 0x02,
    DEBUG_CH_MSGBOX = 0x04,
    DEBUG_CH_WINDOW = 0x08,
    DEBUG_CH_TCP = 0x10,
    DEBUG_READ_REGISTRY = 0x20,
    DEBUG_CH_COLOUR = 0x40,
};

// Stream values besides a real stream: none (nullptr), the file "zentra.txt" in the
// current directory, "just ask" for DebugLevelFile, "from the registry" for DebugSetup.
inline FILE* const DEBUG_STREAM_NONE = nullptr;
inline FILE* const DEBUG_STREAM_ZENTRA = reinterpret_cast<FILE*>(-1);
inline FILE* const DEBUG_STREAM_QUERY = reinterpret_cast<FILE*>(-2);
inline FILE* const DEBUG_STREAM_REGISTRY = reinterpret_cast<FILE*>(-3);

typedef int (*DebugFilterHook)(int level, int bits, const char* text, unsigned size);
typedef int (*DebugReportHook)(int level, int bits, const char* text, unsigned size, int colour);

int DebugSetup(int bits, FILE* stream);
int DebugReadRegistry(int bits, FILE* stream);
int DebugLevelFlags(int level, int bits);
FILE* DebugLevelFile(int level, FILE* stream);
unsigned DebugSetBufferSize(unsigned bytes);
DebugFilterHook DebugSetFilterHook(DebugFilterHook hook);
DebugReportHook DebugSetReportHook(DebugReportHook hook);

void DebugReport(int level, int bits, const char* file, int line, const char* format, va_list args,
                 int colour);
void DebugInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugConsole(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugPrintf(int level, int bits, const char* format, ...) __attribute__((format(printf, 3, 4)));
void DebugAssert(const char* file, int line);
void DebugHexDump(const void* bytes, unsigned count);
int DebugUdpHost(int a, int b, int mode);

// Tests only: the message-box channel calls this in place of MessageBoxA
// (nullptr puts the real box back). Arguments and answer as MessageBoxA's.
typedef int (*DebugMessageBoxFn)(void* owner, const char* text, const char* caption, unsigned style);
void DebugSetMessageBoxForTests(DebugMessageBoxFn box);
// Tests only: forgets the configuration, the connection and the hooks, so the
// next report reads the registry again as at program start.
void DebugResetForTests();
