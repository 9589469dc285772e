// The code page that CString asks for lead bytes, without Windows: none in
// the single-byte code pages, those of code page 932 there, so the fuzz
// targets reach the double-byte paths as well.
#include "CString.h"

namespace classlib {
namespace {
unsigned int g_codePage = 1252;
}

unsigned int MultiByteCodePage() { return g_codePage; }
void SetMultiByteCodePage(unsigned int codePage) { g_codePage = codePage; }
bool IsLeadByte(unsigned char byte)
{
    return g_codePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}
}  // namespace classlib
