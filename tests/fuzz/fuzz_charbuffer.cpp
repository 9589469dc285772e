// The character-buffer functions, each with a caller buffer of a size read from
// the input (up to 2048 bytes, the largest the tray passes) or of the size its
// contract names, and guard bytes after it. Every number and size is read
// before the texts, the last of which takes the rest of the input.
// Asserted: nothing is written past a buffer; getters store at most size - 1
// characters, terminated; the field getters give the fields SplitFields gives
// (the collapsing ones its non-empty fields); tokens, words and copies give
// their runs and prefixes cut to the buffer; number texts read back to their
// value in their radix; dates and times have their fixed shape; ReadFileLine
// gives every line's whole length and its first size - 1 characters, line by
// line to the end of the stream.
#include <cctype>
#include <string>
#include <vector>

#include "CharBufferUtil.h"
#include "FuzzInput.h"
#include "TextModels.h"
#include "StringUtil.h"

namespace {

const size_t kMaxSize = 2048;
const unsigned kOps = 26;
const unsigned kReadLines = 24;

// The result of a getter that stores at most size - 1 characters.
void ExpectBounded(GuardedBuffer& out, const char* what)
{
    out.Check(what);
    if (out.Size() > 0) Expect(out.Text(what).size() < out.Size(), what);
}

// What a getter of size bytes holds of the text it was after.
std::string Cut(const std::string& text, size_t size)
{
    return size == 0 ? std::string() : text.substr(0, size - 1);
}

void ExpectStored(GuardedBuffer& out, const std::string& full, const char* what)
{
    ExpectBounded(out, what);
    if (out.Size() > 0) Expect(out.Text(what) == Cut(full, out.Size()), what);
}

bool IsWhite(char c) { return IsWhiteChar(static_cast<unsigned char>(c)) != 0; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The runs of characters that inside accepts.
std::vector<std::string> Runs(const std::string& text, bool (*inside)(char))
{
    std::vector<std::string> runs;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !inside(text[i])) ++i;
        size_t begin = i;
        while (i < text.size() && inside(text[i])) ++i;
        if (i > begin) runs.push_back(text.substr(begin, i - begin));
    }
    return runs;
}

std::string Prefix(const std::string& text, bool (*inside)(char))
{
    size_t i = 0;
    while (i < text.size() && inside(text[i])) ++i;
    return text.substr(0, i);
}

bool NotWhite(char c) { return !IsWhite(c); }
bool NotBlank(char c) { return c != ' '; }

int Sign(int value) { return (value > 0) - (value < 0); }

// A number text of 34 bytes: "" outside radix 2 .. 36, else the magnitude's
// digits after a "-" when negative.
void ExpectNumber(GuardedBuffer& number, unsigned radix, uint32_t magnitude, bool negative, const char* what)
{
    ExpectBounded(number, what);
    const std::string text = number.Text(what);
    if (radix < 2 || radix > 36) {
        Expect(text.empty(), what);
        return;
    }
    const size_t digits = negative ? 1 : 0;
    Expect(!negative || (!text.empty() && text[0] == '-'), what);
    uint32_t back = 0;
    Expect(DigitsValue(text.c_str() + digits, radix, &back) && back == magnitude, what);
    Expect(text.size() == digits + 1 || text[digits] != '0', what);
}

// "DD.MM.YYYY" or "DD.MM.YY", "HH:MM" or "HH:MM:SS".
bool HasShape(const std::string& text, const char* shape)
{
    if (text.size() != std::strlen(shape)) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (shape[i] == '9' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i]) return false;
    return true;
}

// Every line of the stream in turn, each into a buffer of the next of sizes.
void ReadLines(const std::string& stream, const std::vector<size_t>& sizes)
{
    FILE* file = fmemopen(const_cast<char*>(stream.data()), stream.size(), "r");
    if (!file) return;
    size_t at = 0;
    for (size_t i = 0;; ++i) {
        const size_t end = stream.find('\n', at);
        const std::string line = stream.substr(at, end == std::string::npos ? std::string::npos : end - at);
        GuardedBuffer buffer(sizes[i % sizes.size()]);
        const int length = ReadFileLine(file, buffer.Data(), buffer.IntSize());
        buffer.Check("ReadFileLine");
        Expect(length == static_cast<int>(line.size()), "ReadFileLine gives the line's whole length");
        if (buffer.Size() > 0) {
            const size_t stored = line.size() < buffer.Size() - 1 ? line.size() : buffer.Size() - 1;
            Expect(std::memcmp(buffer.Data(), line.data(), stored) == 0 && buffer.Data()[stored] == '\0',
                   "ReadFileLine stores the line's first size - 1 characters");
        }
        if (end == std::string::npos) break;
        at = end + 1;
    }
    Expect(std::feof(file) != 0, "the lines end at the end of the stream");
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned op = in.Byte() % kOps;
    const size_t bufferSize = in.Size(kMaxSize);
    const int n = static_cast<int16_t>(in.Word());
    const uint32_t value = in.Long();
    std::vector<size_t> lineSizes;
    if (op == kReadLines)
        for (int i = 0, count = 1 + in.Byte() % 4; i < count; ++i) lineSizes.push_back(in.Size(kMaxSize));
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string c = in.Rest();
    GuardedBuffer out(bufferSize);

    switch (op) {
    case 0: {
        const std::vector<std::string> fields = SplitFields(a, b);
        GetFieldN(out.Data(), out.IntSize(), a.c_str(), b.c_str(), n);
        ExpectStored(out, FieldOf(fields, b, n), "GetFieldN gives the field SplitFields gives");
        Expect(CountFieldsN(a.c_str(), b.c_str()) == static_cast<int>(fields.size()), "CountFieldsN");
        break;
    }
    case 1: {
        std::vector<std::string> fields;
        for (const std::string& field : SplitFields(a, b))
            if (!field.empty()) fields.push_back(field);
        GetFieldCollapsed(out.Data(), out.IntSize(), a.c_str(), b.c_str(), n);
        ExpectStored(out, FieldOf(fields, b, n), "GetFieldCollapsed gives the non-empty field");
        Expect(CountFieldsCollapsed(a.c_str(), b.c_str()) == static_cast<int>(fields.size()),
               "CountFieldsCollapsed counts the non-empty fields");
        break;
    }
    case 2:
        CopyToSeparator(out.Data(), static_cast<unsigned>(out.Size()), a.c_str(), b.c_str());
        ExpectStored(out, a.substr(0, a.find(b)), "CopyToSeparator");
        break;
    case 3: {
        const std::vector<std::string> tokens = Runs(a, NotWhite);
        GetWhiteToken(out.Data(), out.IntSize(), a.c_str(), n);
        ExpectStored(out, Nth(tokens, n), "GetWhiteToken");
        Expect(CountWhiteTokens(a.c_str()) == static_cast<int>(tokens.size()), "CountWhiteTokens");
        break;
    }
    case 4:
        CopyToWhite(out.Data(), static_cast<unsigned>(out.Size()), a.c_str());
        ExpectStored(out, Prefix(a, NotWhite), "CopyToWhite");
        break;
    case 5: {
        const std::vector<std::string> words = Runs(a, IsAlpha);
        GetWord(out.Data(), out.IntSize(), a.c_str(), n);
        ExpectStored(out, Nth(words, n), "GetWord");
        Expect(CountWords(a.c_str()) == static_cast<int>(words.size()), "CountWords");
        break;
    }
    case 6:
        CopyAlpha(out.Data(), static_cast<unsigned>(out.Size()), a.c_str());
        ExpectStored(out, Prefix(a, IsAlpha), "CopyAlpha");
        break;
    case 7:
        CopyBounded(out.Data(), a.c_str(), out.IntSize());
        ExpectStored(out, a, "CopyBounded");
        break;
    case 8:
        CopyToBlank(out.Data(), a.c_str(), out.IntSize());
        ExpectStored(out, Prefix(a, NotBlank), "CopyToBlank");
        break;
    case 9: {
        CopyPadBlanks(out.Data(), a.c_str(), out.IntSize());
        out.Check("CopyPadBlanks");
        std::string padded = a.substr(0, bufferSize);
        padded.resize(bufferSize, ' ');
        Expect(std::string(out.Data(), bufferSize) == padded, "CopyPadBlanks writes exactly width characters");
        break;
    }
    case 10:
        if (bufferSize > 0) {
            CopyPadZeros(out.Data(), a.c_str(), out.IntSize() - 1);
            out.Check("CopyPadZeros");
            std::string padded = a.substr(0, bufferSize - 1);
            padded.resize(bufferSize, '\0');
            Expect(std::string(out.Data(), bufferSize) == padded, "CopyPadZeros writes width + 1 bytes");
        }
        break;
    case 11:
        StrCopyN(out.Data(), a.c_str(), static_cast<unsigned>(out.Size()));
        ExpectStored(out, a, "StrCopyN");
        break;
    case 12: {
        GuardedBuffer dst(bufferSize, b);
        const std::string before = bufferSize > 0 ? dst.Text("StrCatN") : std::string();
        StrCatN(dst.Data(), a.c_str(), static_cast<unsigned>(dst.Size()));
        ExpectStored(dst, before + a, "StrCatN");
        break;
    }
    case 13: {
        char* copy = StrDuplicate(a.c_str());
        Expect(copy && a == copy, "a duplicate");
        std::free(copy);
        break;
    }
    case 14: {
        const unsigned count = static_cast<uint16_t>(n);
        Expect(StrCompareNoCase(a.c_str(), b.c_str()) == -StrCompareNoCase(b.c_str(), a.c_str()),
               "StrCompareNoCase is antisymmetric");
        Expect(Sign(StrCompareNoCaseN(a.c_str(), b.c_str(), count)) ==
                   -Sign(StrCompareNoCaseN(b.c_str(), a.c_str(), count)),
               "StrCompareNoCaseN is antisymmetric");
        Expect(Sign(StrCompareN(a.c_str(), b.c_str(), count)) == -Sign(StrCompareN(b.c_str(), a.c_str(), count)),
               "StrCompareN is antisymmetric");
        Expect(Sign(StrCompare(a.c_str(), b.c_str())) == -Sign(StrCompare(b.c_str(), a.c_str())),
               "StrCompare is antisymmetric");
        Expect((StrCompare(a.c_str(), b.c_str()) == 0) == (a == b), "StrCompare is 0 for equal texts alone");
        Expect(StrCompareNoCase(a.c_str(), StrToUpper(a).c_str()) == 0, "case aside a text equals its capitals");
        Expect(StrLength(a.c_str()) == static_cast<int>(a.size()), "a length");
        break;
    }
    case 15: {
        GuardedBuffer dst(a.size() + 1);
        TrimSpaces(dst.Data(), a.c_str());
        ExpectStored(dst, TrimChar(a, ' '), "TrimSpaces");
        break;
    }
    case 16: {
        GuardedBuffer buf(a.size() + 1, a);
        TrimWhiteRight(buf.Data());
        size_t kept = a.size();
        while (kept > 0 && IsWhite(a[kept - 1])) --kept;
        ExpectStored(buf, a.substr(0, kept), "TrimWhiteRight");
        const char stripped = b.empty() ? ' ' : b[0];
        StripTrailingChar(buf.Data(), stripped);
        ExpectStored(buf, TrimCharRight(a.substr(0, kept), stripped), "StripTrailingChar");
        break;
    }
    case 17: {
        GuardedBuffer dst(a.size() + 1);
        StrUpperCopy(dst.Data(), a.c_str());
        std::string upper = a;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        ExpectStored(dst, upper, "StrUpperCopy");
        StrUpperInPlace(dst.Data());
        ExpectStored(dst, upper, "StrUpperInPlace");
        UpperChar(n);
        break;
    }
    case 18: {
        // The text is taken up to 255 characters; the centre cuts it to the width.
        const int width = static_cast<int>(bufferSize);
        const char fill = b.empty() ? ' ' : b[0];
        GuardedBuffer text((a.size() > bufferSize ? a.size() : bufferSize) + 1, a);
        AlignText(text.Data(), width, fill, n);
        ExpectBounded(text, "AlignText");
        const std::string work = a.substr(0, 255);
        const size_t shown = work.size() < bufferSize ? work.size() : bufferSize;
        std::string expected;
        if (n == 2) {
            expected = std::string(bufferSize - shown, fill) + work;
        } else if (n == 3) {
            const size_t pad = (bufferSize - shown) / 2;
            expected = std::string(pad, fill) + work.substr(0, shown) + std::string(bufferSize - pad - shown, fill);
        } else {
            expected = work + std::string(bufferSize - shown, fill);
        }
        Expect(text.Text("AlignText") == expected, "AlignText pads to the width on its side");
        break;
    }
    case 19: {
        GuardedBuffer dst(b.size() + 1);
        PictureFill(dst.Data(), a.c_str(), b.c_str(), c.c_str());
        Expect(dst.Text("PictureFill").size() == b.size(), "PictureFill keeps the picture's length");
        break;
    }
    case 20: {
        const int span = n < static_cast<int>(a.size()) ? n : static_cast<int>(a.size());
        const bool found = span >= 0 && a.substr(0, static_cast<size_t>(span)).find(b) != std::string::npos;
        Expect(FindInSpan(a.c_str(), b.c_str(), n) == (found ? 1 : 0), "FindInSpan looks within the span");
        break;
    }
    case 21: {
        const unsigned radix = static_cast<unsigned>(n);
        GuardedBuffer number(34);
        IntToText(value, number.Data(), radix, n & 1);
        ExpectNumber(number, radix, (n & 1) ? 0u - value : value, n & 1, "IntToText");
        const int32_t signedValue = static_cast<int32_t>(value);
        const bool negative = radix == 10 && signedValue < 0;
        SignedToText(signedValue, number.Data(), n);
        ExpectNumber(number, radix, negative ? 0u - value : value, negative, "SignedToText");
        LongToText(signedValue, number.Data(), n);
        ExpectNumber(number, radix, negative ? 0u - value : value, negative, "LongToText");
        UnsignedToText(value, number.Data(), n);
        ExpectNumber(number, radix, value, false, "UnsignedToText");
        break;
    }
    case 22: {
        GuardedBuffer date(11), clock(9);
        FormatDateTime(static_cast<int32_t>(value), date.Data(), clock.Data(), n);
        Expect(HasShape(date.Text("FormatDateTime date"), (n & 1) ? "99.99.99" : "99.99.9999"),
               "a date of day, month and year");
        Expect(HasShape(clock.Text("FormatDateTime clock"), (n & 2) ? "99:99:99" : "99:99"),
               "a time of hours, minutes and seconds when asked");
        break;
    }
    case 23: {
        GuardedBuffer dst(a.size() + 1);
        FileDirectory(dst.Data(), a.c_str());
        const std::string directory = dst.Text("FileDirectory");
        FileNamePart(dst.Data(), a.c_str());
        const std::string name = dst.Text("FileNamePart");
        const size_t last = a.find_last_of("\\:/");
        Expect(name == (last == std::string::npos ? a : a.substr(last + 1)), "the name after the last break");
        Expect(directory == (last == std::string::npos ? std::string() : a.substr(0, last)),
               "the directory before the last break");
        break;
    }
    case kReadLines:
        ReadLines(c, lineSizes);
        break;
    default:
        IsWhiteChar(n);
        IsAlphaChar(n);
        break;
    }
    return 0;
}
