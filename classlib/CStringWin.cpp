// The parts of CString that ask Windows: the code page's lead bytes and the
// application's string table.
#include <windows.h>

#include "App.h"
#include "CString.h"

namespace classlib {
namespace {
UINT g_codePage = CP_ACP;
}

unsigned int MultiByteCodePage() { return g_codePage; }
void SetMultiByteCodePage(unsigned int codePage) { g_codePage = codePage; }
bool IsLeadByte(unsigned char byte)
{
    return byte >= 0x80 && IsDBCSLeadByteEx(g_codePage, byte);
}
}  // namespace classlib

bool CString::LoadString(unsigned int id)
{
    HINSTANCE module = AfxGetInstanceHandle();
    std::string buffer(256, '\0');
    for (;;) {
        int got = ::LoadStringA(module, id, &buffer[0], static_cast<int>(buffer.size()));
        if (got <= 0) {
            text_.clear();
            return false;
        }
        // A full buffer may mean the text was cut: try again with more room. A
        // character of two bytes that does not fit is left out whole, so a
        // cut text can also end one byte short of the buffer.
        if (static_cast<size_t>(got) < buffer.size() - 2) {
            buffer.resize(static_cast<size_t>(got));
            text_ = std::move(buffer);
            return true;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}
