// The character-buffer functions, each with a caller buffer of a size taken
// from the input (or the size its contract names) and guard bytes after it.
#include "CharBufferUtil.h"
#include "FuzzInput.h"

namespace {

const size_t kMaxSize = 600;

// The result of a getter that stores at most size - 1 characters.
void ExpectBounded(GuardedBuffer& out, const char* what)
{
    out.Check(what);
    if (out.Size() > 0) Expect(out.Text(what).size() < out.Size(), what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned op = in.Byte();
    const size_t bufferSize = in.Size(kMaxSize);
    const int n = static_cast<int16_t>(in.Word());
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string c = in.Rest();
    GuardedBuffer out(bufferSize);

    switch (op % 28) {
    case 0:
        GetFieldN(out.Data(), out.IntSize(), a.c_str(), b.c_str(), n);
        ExpectBounded(out, "GetFieldN");
        CountFieldsN(a.c_str(), b.c_str());
        break;
    case 1:
        GetFieldCollapsed(out.Data(), out.IntSize(), a.c_str(), b.c_str(), n);
        ExpectBounded(out, "GetFieldCollapsed");
        CountFieldsCollapsed(a.c_str(), b.c_str());
        break;
    case 2:
        CopyToSeparator(out.Data(), static_cast<unsigned>(out.Size()), a.c_str(), b.c_str());
        ExpectBounded(out, "CopyToSeparator");
        break;
    case 3:
        GetWhiteToken(out.Data(), out.IntSize(), a.c_str(), n);
        ExpectBounded(out, "GetWhiteToken");
        CountWhiteTokens(a.c_str());
        break;
    case 4:
        CopyToWhite(out.Data(), static_cast<unsigned>(out.Size()), a.c_str());
        ExpectBounded(out, "CopyToWhite");
        break;
    case 5:
        GetWord(out.Data(), out.IntSize(), a.c_str(), n);
        ExpectBounded(out, "GetWord");
        CountWords(a.c_str());
        break;
    case 6:
        CopyAlpha(out.Data(), static_cast<unsigned>(out.Size()), a.c_str());
        ExpectBounded(out, "CopyAlpha");
        break;
    case 7:
        CopyBounded(out.Data(), a.c_str(), out.IntSize());
        ExpectBounded(out, "CopyBounded");
        break;
    case 8:
        CopyToBlank(out.Data(), a.c_str(), out.IntSize());
        ExpectBounded(out, "CopyToBlank");
        break;
    case 9:
        CopyPadBlanks(out.Data(), a.c_str(), out.IntSize());
        out.Check("CopyPadBlanks");
        break;
    case 10:
        if (bufferSize > 0) {
            CopyPadZeros(out.Data(), a.c_str(), out.IntSize() - 1);
            ExpectBounded(out, "CopyPadZeros");
        }
        break;
    case 11:
        StrCopyN(out.Data(), a.c_str(), static_cast<unsigned>(out.Size()));
        ExpectBounded(out, "StrCopyN");
        break;
    case 12: {
        GuardedBuffer dst(bufferSize, b);
        StrCatN(dst.Data(), a.c_str(), static_cast<unsigned>(dst.Size()));
        ExpectBounded(dst, "StrCatN");
        break;
    }
    case 13: {
        char* copy = StrDuplicate(a.c_str());
        Expect(copy && a == copy, "a duplicate");
        std::free(copy);
        break;
    }
    case 14:
        StrCompareNoCase(a.c_str(), b.c_str());
        StrCompareNoCaseN(a.c_str(), b.c_str(), static_cast<uint16_t>(n));
        StrCompareN(a.c_str(), b.c_str(), static_cast<uint16_t>(n));
        StrCompare(a.c_str(), b.c_str());
        Expect(StrLength(a.c_str()) == static_cast<int>(a.size()), "a length");
        break;
    case 15: {
        GuardedBuffer dst(a.size() + 1);
        TrimSpaces(dst.Data(), a.c_str());
        ExpectBounded(dst, "TrimSpaces");
        break;
    }
    case 16: {
        GuardedBuffer buf(a.size() + 1, a);
        TrimWhiteRight(buf.Data());
        ExpectBounded(buf, "TrimWhiteRight");
        StripTrailingChar(buf.Data(), b.empty() ? ' ' : b[0]);
        ExpectBounded(buf, "StripTrailingChar");
        break;
    }
    case 17: {
        GuardedBuffer dst(a.size() + 1);
        StrUpperCopy(dst.Data(), a.c_str());
        ExpectBounded(dst, "StrUpperCopy");
        StrUpperInPlace(dst.Data());
        ExpectBounded(dst, "StrUpperInPlace");
        UpperChar(n);
        break;
    }
    case 18: {
        const int width = static_cast<int>(bufferSize);
        GuardedBuffer text((a.size() > bufferSize ? a.size() : bufferSize) + 1, a);
        AlignText(text.Data(), width, b.empty() ? ' ' : b[0], n);
        ExpectBounded(text, "AlignText");
        break;
    }
    case 19: {
        GuardedBuffer dst(b.size() + 1);
        PictureFill(dst.Data(), a.c_str(), b.c_str(), c.c_str());
        dst.Check("PictureFill");
        break;
    }
    case 20:
        FindInSpan(a.c_str(), b.c_str(), n);
        break;
    case 21: {
        GuardedBuffer number(34);
        const uint32_t value = in.Long();
        IntToText(value, number.Data(), static_cast<unsigned>(n), n & 1);
        ExpectBounded(number, "IntToText");
        SignedToText(static_cast<int32_t>(value), number.Data(), n);
        ExpectBounded(number, "SignedToText");
        LongToText(static_cast<int32_t>(value), number.Data(), n);
        ExpectBounded(number, "LongToText");
        UnsignedToText(value, number.Data(), n);
        ExpectBounded(number, "UnsignedToText");
        break;
    }
    case 22: {
        GuardedBuffer date(11), clock(9);
        FormatDateTime(static_cast<int32_t>(in.Long()), date.Data(), clock.Data(), n);
        date.Check("FormatDateTime date");
        clock.Check("FormatDateTime clock");
        break;
    }
    case 23: {
        GuardedBuffer dst(a.size() + 1);
        FileDirectory(dst.Data(), a.c_str());
        ExpectBounded(dst, "FileDirectory");
        FileNamePart(dst.Data(), a.c_str());
        ExpectBounded(dst, "FileNamePart");
        break;
    }
    case 24: {
        FILE* stream = fmemopen(const_cast<char*>(c.data()), c.size(), "r");
        if (!stream) break;
        while (!std::feof(stream)) {
            GuardedBuffer line(in.Size(kMaxSize));
            const int length = ReadFileLine(stream, line.Data(), line.IntSize());
            ExpectBounded(line, "ReadFileLine");
            Expect(length >= 0, "a line length");
            if (length == 0 && std::feof(stream)) break;
        }
        std::fclose(stream);
        break;
    }
    case 25:
        IsWhiteChar(n);
        IsAlphaChar(n);
        break;
    default:
        break;
    }
    return 0;
}
