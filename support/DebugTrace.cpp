#include "DebugTrace.h"

#include <winsock2.h>
#include <windows.h>

#include <cctype>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <utility>

#include "CharBufferUtil.h"
#include "SharedKeyView.h"
#include "UniqueHandle.h"
#include "UniqueSocket.h"
#include "WindowUtil.h"

namespace {

const char kTooLong[] = "ZtDbgReport: string too long or io error\r\n";
const char* const kLevelNames[4] = {"Information", "Warning", "Error", "Assertion Failed"};
const char kDebugKey[] = "Software\\Tessalt\\Debug";

typedef int(WINAPI* MessageBoxFn)(HWND, LPCSTR, LPCSTR, UINT);
typedef HWND(WINAPI* GetActiveWindowFn)();
typedef HWND(WINAPI* GetLastActivePopupFn)(HWND);
typedef int(WINAPI* UdpHostFn)(int, int, int);

// Called through what GetProcAddress finds, so nothing else would notice a type
// that no longer matches the system's declaration.
static_assert(std::is_same_v<MessageBoxFn, decltype(&::MessageBoxA)>);
static_assert(std::is_same_v<GetActiveWindowFn, decltype(&::GetActiveWindow)>);
static_assert(std::is_same_v<GetLastActivePopupFn, decltype(&::GetLastActivePopup)>);

struct TraceState {
    unsigned bufferSize = 1024;
    int bits[4] = {0, 0, 0, DEBUG_CH_MSGBOX};
    FILE* stream[4] = {nullptr, nullptr, nullptr, nullptr};
    DebugFilterHook filterHook = nullptr;
    DebugReportHook reportHook = nullptr;
    bool configured = false;
    char host[128] = "";
    uint16_t port = 0;
    UniqueSocket socket;
    HANDLE console = nullptr;
    WORD savedAttributes = 0;
    bool haveAttributes = false;
    bool boxLookedUp = false;
    MessageBoxFn messageBox = nullptr;
    GetActiveWindowFn getActiveWindow = nullptr;
    GetLastActivePopupFn getLastActivePopup = nullptr;
    DebugMessageBoxFn testBox = nullptr;
};

TraceState g;

bool ValidLevel(int level) { return level >= 0 && level <= 3; }

// Reads a value into a 260-byte buffer; a text value is always terminated here,
// whether or not the registry stored a terminator.
bool ReadValue(HKEY key, const char* name, DWORD* type, char (&buffer)[260], DWORD* length)
{
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
    *length = size;
    return true;
}

bool ReadText(HKEY key, const char* name, char (&buffer)[260])
{
    DWORD type = 0, length = 0;
    return ReadValue(key, name, &type, buffer, &length) && type == REG_SZ;
}

bool ReadDword(HKEY key, const char* name, DWORD* out)
{
    char buffer[260];
    DWORD type = 0, length = 0;
    if (!ReadValue(key, name, &type, buffer, &length) || type != REG_DWORD || length != 4)
        return false;
    std::memcpy(out, buffer, 4);
    return true;
}

int ModeChannels(HKEY key)
{
    char buffer[260];
    DWORD type = 0, length = 0;
    if (!ReadValue(key, "Mode", &type, buffer, &length)) return 0;
    if (type == REG_DWORD && length == 4) return static_cast<signed char>(buffer[0]);
    if (type != REG_SZ) return 0;
    static const struct {
        const char* word;
        int bits;
    } words[] = {{"file", DEBUG_CH_STREAM},  {"debug", DEBUG_CH_DEBUGGER},
                 {"outputdebugstr", DEBUG_CH_DEBUGGER}, {"msgbox", DEBUG_CH_MSGBOX},
                 {"window", DEBUG_CH_WINDOW}, {"winnet", DEBUG_CH_TCP}};
    for (const auto& w : words)
        if (_stricmp(buffer, w.word) == 0) return w.bits;
    return 0;
}

FILE* FileChannel(HKEY key)
{
    char buffer[260];
    if (!ReadText(key, "File", buffer)) return DEBUG_STREAM_NONE;
    if (std::strcmp(buffer, "stderr") == 0) return stderr;
    if (std::strcmp(buffer, "stdout") == 0) return stdout;
    if (std::strcmp(buffer, "zentra") == 0) return DEBUG_STREAM_ZENTRA;
    return DEBUG_STREAM_NONE;
}

void CloseConnection()
{
    if (!g.socket) return;
    g.socket.Reset();
    WSACleanup();
}

bool Connect()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    UniqueSocket s(::socket(AF_INET, SOCK_STREAM, 0));
    if (!s) return false;
    DWORD timeout = 1;
    setsockopt(s.Get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(g.host);
    address.sin_port = htons(g.port);
    if (connect(s.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    g.socket = std::move(s);
    return true;
}

bool SendAll(const char* data, int length)
{
    while (length > 0) {
        int sent = send(g.socket.Get(), data, length, 0);
        if (sent <= 0) return false;
        data += sent;
        length -= sent;
    }
    return true;
}

void TcpChannel(const char* text)
{
    char flat[2048] = {};
    char trimmed[2048] = {};
    char record[2048];
    std::strncpy(flat, text, sizeof flat - 1);
    for (char* p = flat; *p; ++p)
        if (*p == '\n' || *p == '\r') *p = ' ';
    TrimSpaces(trimmed, flat);
    int n = std::snprintf(record, sizeof record, "ZENTRA|%d|%s|",
                          static_cast<int>(std::strlen(trimmed)), trimmed);
    if (n < 0) return;
    const int length = n < static_cast<int>(sizeof record) ? n : static_cast<int>(sizeof record) - 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!g.socket && !Connect()) continue;
        if (SendAll(record, length)) return;
        CloseConnection();
    }
}

void WriteStream(int level, int colour, const char* text)
{
    FILE* stream = g.stream[level];
    if (stream == DEBUG_STREAM_NONE) return;
    if (stream == DEBUG_STREAM_ZENTRA) {
        FILE* file = std::fopen("zentra.txt", "ab");
        if (!file) return;
        std::fprintf(file, "%s", text);
        std::fclose(file);
        return;
    }
    if ((g.bits[level] & DEBUG_CH_COLOUR) && colour) {
        const char* mark = std::strstr(text, "] ");
        if (!mark) {
            std::fprintf(stream, "%s\n", text);
        } else {
            const char* rest = mark + 2;
            const bool paint = g.haveAttributes && (*rest == 'E' || *rest == 'W');
            if (paint) SetConsoleTextAttribute(g.console, *rest == 'E' ? 0x4F : 0x6F);
            if (*rest == 'E') std::fprintf(stream, "ERROR: %s\n", rest);
            else if (*rest == 'W') std::fprintf(stream, "Warning: %s\n", rest);
            else std::fprintf(stream, "%s\n", rest);
            std::fflush(stream);
            if (paint) SetConsoleTextAttribute(g.console, g.savedAttributes);
        }
    } else {
        std::fprintf(stream, "%s", text);
    }
    std::fflush(stream);
}

const char* BaseName(const char* file)
{
    if (!file) return "";
    for (char separator : {'\\', '/', ':'}) {
        const char* last = std::strrchr(file, separator);
        if (last) return last + 1;
    }
    return file;
}

int ShowBox(HWND owner, const char* text, const char* caption, UINT style)
{
    if (g.testBox) return g.testBox(owner, text, caption, style);
    return g.messageBox(owner, text, caption, style);
}

int BoxChannel(int level, const char* text, const char* file, const char* lineText)
{
    if (!g.testBox && !g.boxLookedUp) {
        g.boxLookedUp = true;
        HMODULE user32 = LoadLibraryA("user32.dll");
        if (user32) {
            g.messageBox = reinterpret_cast<MessageBoxFn>(
                reinterpret_cast<void*>(GetProcAddress(user32, "MessageBoxA")));
            g.getActiveWindow = reinterpret_cast<GetActiveWindowFn>(
                reinterpret_cast<void*>(GetProcAddress(user32, "GetActiveWindow")));
            g.getLastActivePopup = reinterpret_cast<GetLastActivePopupFn>(
                reinterpret_cast<void*>(GetProcAddress(user32, "GetLastActivePopup")));
        }
    }
    if (!g.testBox && !g.messageBox) return 0;
    char box[1024];
    int n = std::snprintf(box, sizeof box, "Debug %s!\n\nFile: %s\nLine: %s\n\n%s\n\n",
                          kLevelNames[level], BaseName(file), lineText ? lineText : "<line unknown>",
                          text);
    if (n < 0 || n > static_cast<int>(sizeof box) - 2) std::snprintf(box, sizeof box, "%s", kTooLong);
    HWND owner = nullptr;
    if (g.getActiveWindow) {
        HWND active = g.getActiveWindow();
        if (active && g.getLastActivePopup) owner = g.getLastActivePopup(active);
    }
    int answer = ShowBox(owner, box, "Tessalt Debug Library",
                         MB_ABORTRETRYIGNORE | MB_ICONHAND | MB_TASKMODAL | MB_SETFOREGROUND);
    if (answer == IDABORT) {
        std::raise(SIGABRT);
        std::_Exit(3);
    }
    return answer == IDRETRY ? 1 : 0;
}

void ReportWith(int level, int bits, const char* file, int line, int colour, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugReport(level, bits, file, line, format, args, colour);
    va_end(args);
}

}  // namespace

int DebugSetup(int bits, FILE* stream)
{
    if ((bits & DEBUG_READ_REGISTRY) || stream == DEBUG_STREAM_REGISTRY) {
        DebugReadRegistry(bits, stream);
    } else {
        for (int level = 0; level < 3; ++level) {
            g.bits[level] = bits;
            g.stream[level] = stream;
        }
    }
    g.configured = true;
    return 1;
}

int DebugReadRegistry(int bits, FILE* stream)
{
    const bool readMode = (bits & DEBUG_READ_REGISTRY) != 0;
    const bool streamFromRegistry = stream == DEBUG_STREAM_REGISTRY;
    bits &= ~DEBUG_READ_REGISTRY;
    if (streamFromRegistry) stream = DEBUG_STREAM_NONE;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDebugKey, 0, KEY_QUERY_VALUE | kSharedKeyView, &key) ==
        ERROR_SUCCESS) {
        UniqueRegKey owner(key);
        if (readMode) bits = (bits | ModeChannels(key)) & ~DEBUG_READ_REGISTRY;
        if (bits != 0) {
            if (streamFromRegistry) stream = FileChannel(key);
            std::snprintf(g.host, sizeof g.host, "%s", "127.0.0.1");
            g.port = 962;
            if (bits & DEBUG_CH_TCP) {
                char host[260];
                if (ReadText(key, "host", host) && host[0] && std::strlen(host) < sizeof g.host)
                    std::snprintf(g.host, sizeof g.host, "%s", host);
                DWORD port;
                if (ReadDword(key, "port", &port)) g.port = static_cast<uint16_t>(port & 0xFFFF);
            }
        }
    }
    if (bits & DEBUG_CH_COLOUR) {
        g.console = GetStdHandle(STD_OUTPUT_HANDLE);
        CONSOLE_SCREEN_BUFFER_INFO info;
        g.haveAttributes = g.console && g.console != INVALID_HANDLE_VALUE &&
                           GetConsoleScreenBufferInfo(g.console, &info);
        if (g.haveAttributes) g.savedAttributes = info.wAttributes;
    }
    DebugSetup(bits, stream);
    return bits;
}

int DebugLevelFlags(int level, int bits)
{
    if (!ValidLevel(level)) return 0;
    if (bits == -1) return g.bits[level];
    int old = g.bits[level];
    g.bits[level] = bits;
    g.configured = true;
    return old;
}

FILE* DebugLevelFile(int level, FILE* stream)
{
    // The registry sentinel is no stream: a report would write through it.
    if (!ValidLevel(level) || stream == DEBUG_STREAM_REGISTRY) return nullptr;
    if (stream == DEBUG_STREAM_QUERY) return g.stream[level];
    FILE* old = g.stream[level];
    g.stream[level] = stream;
    return old;
}

unsigned DebugSetBufferSize(unsigned bytes)
{
    unsigned old = g.bufferSize;
    g.bufferSize = bytes < 1024 ? 1024 : bytes;
    return old;
}

DebugFilterHook DebugSetFilterHook(DebugFilterHook hook)
{
    DebugFilterHook old = g.filterHook;
    g.filterHook = hook;
    return old;
}

DebugReportHook DebugSetReportHook(DebugReportHook hook)
{
    DebugReportHook old = g.reportHook;
    g.reportHook = hook;
    return old;
}

void DebugReport(int level, int bits, const char* file, int line, const char* format, va_list args,
                 int colour)
{
    if (!ValidLevel(level)) return;
    if (!g.configured) {
        DebugReadRegistry(DEBUG_READ_REGISTRY, DEBUG_STREAM_REGISTRY);
        g.configured = true;
    }
    const int levelBits = g.bits[level];
    if (levelBits == 0 || bits == -1) bits = levelBits;
    if (!format || bits == 0) return;
    char lineBuffer[20];
    const char* lineText = nullptr;
    if (line != 0) {
        std::snprintf(lineBuffer, sizeof lineBuffer, "%d", line);
        lineText = lineBuffer;
    }
    const unsigned size = g.bufferSize;
    char* text = static_cast<char*>(std::malloc(size));
    if (!text) return;
    int n = std::vsnprintf(text, size, format, args);
    if (n < 0 || n > static_cast<int>(size) - 2) std::snprintf(text, size, "%s", kTooLong);
    int pass = 1;
    if (g.reportHook) pass = g.reportHook(level, bits, text, size, colour);
    else if (g.filterHook) pass = g.filterHook(level, bits, text, size);
    if (pass != 0) {
        if (bits & DEBUG_CH_DEBUGGER) OutputDebugStringA(text);
        if (bits & DEBUG_CH_STREAM) WriteStream(level, colour, text);
        if (bits & DEBUG_CH_MSGBOX) BoxChannel(level, text, file, lineText);
        if (bits & DEBUG_CH_WINDOW) WinioSendText(text);
        if (bits & DEBUG_CH_TCP) TcpChannel(text);
    }
    std::free(text);
}

void DebugInfo(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugReport(DEBUG_INFO, -1, nullptr, 0, format, args, 0);
    va_end(args);
}

void DebugWarning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugReport(DEBUG_WARNING, -1, nullptr, 0, format, args, 0);
    va_end(args);
}

void DebugError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugReport(DEBUG_ERROR, -1, nullptr, 0, format, args, 0);
    va_end(args);
}

void DebugConsole(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugReport(DEBUG_INFO, -1, nullptr, 0, format, args, 1);
    va_end(args);
}

void DebugPrintf(int level, int bits, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugReport(level, bits, nullptr, 0, format, args, 0);
    va_end(args);
}

void DebugAssert(const char* file, int line)
{
    ReportWith(DEBUG_ASSERT, DEBUG_CH_MSGBOX, file, line, 0, "Assertion failed!");
}

void DebugHexDump(const void* bytes, unsigned count)
{
    const unsigned char* data = static_cast<const unsigned char*>(bytes);
    for (unsigned row = 0; row < count; row += 16) {
        char line[96];
        size_t used = static_cast<size_t>(std::snprintf(
            line, sizeof line, "%08lx: ",
            static_cast<unsigned long>(reinterpret_cast<uintptr_t>(data + row))));
        for (unsigned i = 0; i < 16; ++i) {
            if (row + i < count)
                used += std::snprintf(line + used, sizeof line - used, "%02x ", data[row + i]);
            else
                used += std::snprintf(line + used, sizeof line - used, "   ");
        }
        for (unsigned i = 0; i < 16 && row + i < count && used + 1 < sizeof line; ++i)
            line[used++] = std::isprint(data[row + i]) ? static_cast<char>(data[row + i]) : '.';
        line[used] = '\0';
        DebugInfo("%s\n", line);
    }
}

int DebugUdpHost(int a, int b, int mode)
{
    HMODULE library = LoadLibraryA("ZtDbUdp.dll");
    if (library) {
        UdpHostFn host = reinterpret_cast<UdpHostFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "ZUDPDebugNetHost")));
        if (host) host(a, b, (mode < 1 || mode > 3) ? 2 : mode);
    }
    return 1;
}

void DebugSetMessageBoxForTests(DebugMessageBoxFn box) { g.testBox = box; }

void DebugResetForTests()
{
    CloseConnection();
    g = TraceState();
}
