// The string functions on standard strings. Every number is read before the
// texts, the last of which takes the rest of the input, zero bytes included, so
// the field readers see texts past the 4095 bytes where GetField leaves its
// stack buffer. Asserted: character runs set to n have n characters, trimming
// and case keep what they promise, wildcards match what equals, number texts
// read back to their value, digit groups are the digits again without their
// separator, GetField gives field after field what SplitFields gives and as
// many as CountFields counts, a text split or cut at a separator is made up of
// its pieces, and replacing a text by itself changes nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "TextModels.h"
#include "StringUtil.h"

namespace {

// A signed value: a sign and the magnitude in radix 10, the 32-bit pattern in
// every other radix.
void ExpectSigned(const std::string& text, int32_t value, int radix, const char* what)
{
    if (radix < 2 || radix > 36) {
        Expect(text.empty(), what);
        return;
    }
    const bool negative = radix == 10 && value < 0;
    const uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    uint32_t back = 0;
    Expect((!negative || text[0] == '-') && DigitsValue(text.substr(negative ? 1 : 0), radix, &back) &&
               back == magnitude,
           what);
}

void ExpectUnsigned(const std::string& text, uint32_t value, int radix, const char* what)
{
    if (radix < 2 || radix > 36) {
        Expect(text.empty(), what);
        return;
    }
    uint32_t back = 0;
    Expect(DigitsValue(text, radix, &back) && back == value, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned op = in.Byte();
    const int n = static_cast<int16_t>(in.Word());
    const char c = static_cast<char>(in.Byte());
    const uint32_t value = in.Long();
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string rest = in.Rest();
    // The functions that take C strings see the rest up to its first zero byte.
    const std::string restText = rest.c_str();

    switch (op % 16) {
    case 0: {
        const int runs = n % 1000 < 0 ? 0 : n % 1000;
        const std::string trimmed = TrimChar(a, c);
        Expect(trimmed.empty() || (trimmed.front() != c && trimmed.back() != c), "a trimmed text has no c at its ends");
        Expect(CountLeadingChars(a, c) + TrimCharLeft(a, c).size() == a.size() &&
                   CountTrailingChars(a, c) + TrimCharRight(a, c).size() == a.size(),
               "a run and the rest make up the text");
        Expect(CountLeadingChars(SetLeadingChars(a, c, n % 1000), c) == runs, "n leading characters");
        Expect(CountTrailingChars(SetTrailingChars(a, c, n % 1000), c) == runs, "n trailing characters");
        Expect(AppendChar(a, c) == a + c, "a character appended");
        break;
    }
    case 1: {
        const std::string trimmed = StrTrim(a);
        Expect(trimmed.size() <= a.size() && a.find(trimmed) != std::string::npos, "a trimmed text is inside it");
        Expect(StrTrim(trimmed) == trimmed, "trimming twice changes nothing");
        StrTrimLeft(a);
        StrTrimRight(a);
        break;
    }
    case 2:
        Expect(StrToUpper(a).size() == a.size() && StrToLower(a).size() == a.size(), "case keeps length");
        Expect(StrEqualNoCase(StrToUpper(a), StrToLower(a)), "capitals and small letters are equal case aside");
        Expect(!StrEqualNoCase(a, b) || a.size() == b.size(), "texts equal case aside are as long");
        StrEqualNoCaseN(a, b, static_cast<uint16_t>(n));
        CharToUpper(c);
        CharToLower(c);
        break;
    case 3: {
        const bool caseSensitive = n & 1;
        const bool match = WildcardMatch(a.c_str(), b.c_str(), caseSensitive);
        if (b.find_first_of("*?") == std::string::npos && caseSensitive)
            Expect(match == (a == b), "a pattern without wildcards matches itself alone");
        Expect(WildcardMatch(a.c_str(), a.find_first_of("*?") == std::string::npos ? a.c_str() : "*",
                             caseSensitive),
               "a text matches itself");
        Expect(WildcardMatch(a.c_str(), ("*" + b + "*").c_str(), caseSensitive) || a.find(b) == std::string::npos ||
                   b.find_first_of("*?") != std::string::npos,
               "a text matches a star, a part of it and a star");
        break;
    }
    case 4:
        IsIdentStartChar(c);
        IsIdentChar(c);
        IsAllDigits(a.c_str());
        IsNumberInRange(a.c_str(), n, n + 1000);
        IsUnsignedInRange(a.c_str(), static_cast<uint16_t>(n), 70000u);
        IsIpAddress(a.c_str());
        break;
    case 5:
        ExpectSigned(NumberToString(static_cast<int>(value), n), static_cast<int32_t>(value), n, "an int");
        ExpectSigned(NumberToString(static_cast<long>(static_cast<int32_t>(value)), n), static_cast<int32_t>(value), n,
                     "a long");
        ExpectSigned(NumberToString(static_cast<short>(value), n), static_cast<short>(value), n, "a short");
        ExpectUnsigned(NumberToString(static_cast<unsigned>(value), n), value, n, "an unsigned");
        ExpectUnsigned(NumberToString(static_cast<unsigned long>(value), n), value, n, "an unsigned long");
        ExpectUnsigned(NumberToString(static_cast<unsigned short>(value), n), static_cast<uint16_t>(value), n,
                       "an unsigned short");
        break;
    case 6: {
        std::string digits = StrGroupDigits(a, c);
        if (a.find(c) == std::string::npos) {
            digits.erase(std::remove(digits.begin(), digits.end(), c), digits.end());
            Expect(digits == a, "the groups are the text again without their separator");
        }
        break;
    }
    case 7: {
        const bool collapse = n & 1;
        const int count = CountFields(rest, a, collapse);
        const std::string field = GetField(rest, a, n, collapse);
        if (!collapse) {
            const std::vector<std::string> fields = SplitFields(rest, a);
            Expect(fields.size() == static_cast<size_t>(count), "as many fields");
            Expect(field == FieldOf(fields, a, n), "GetField gives the field SplitFields gives");
        }
        break;
    }
    case 8: {
        const std::string between = TextBetween(rest, a, b);
        const size_t open = rest.find(a);
        if (open != std::string::npos && rest.find(b, open + a.size()) != std::string::npos)
            Expect(rest.compare(open + a.size(), between.size() + b.size(), between + b) == 0,
                   "the text between follows the opening and runs to the closing");
        else
            Expect(between.empty(), "nothing between without both ends");
        break;
    }
    case 9: {
        std::string left, right;
        if (SplitAtFirst(left, right, rest.c_str(), a.c_str()))
            Expect(left + a + right == restText && (a.empty() || left.find(a) == std::string::npos),
                   "left, separator and right make up the text, split at the first");
        else
            Expect(left == restText, "a text without the separator is all left");
        break;
    }
    case 10: {
        std::string out;
        Expect(ReplaceAll(out, rest.c_str(), a.c_str(), a.c_str()) && out == restText,
               "a text replaced by itself stays");
        const std::string replaced = StrReplaceAll(rest, a, b);
        if (a.size() == b.size()) Expect(replaced.size() == restText.size(), "a text replaced by one as long");
        break;
    }
    case 11: {
        std::string scheme, user, password, host, path;
        int port = 0;
        ParseUrl(a.c_str(), scheme, user, password, host, port, path);
        ParseUrlHost(a.c_str(), host, port);
        break;
    }
    case 12: {
        int consumed = 0;
        const char quote = static_cast<char>(n);
        CountCsvFields(rest, c, quote);
        GetCsvFieldHead(rest, c, quote, &consumed);
        Expect(consumed >= 0 && static_cast<size_t>(consumed) <= rest.size(), "consumed within the text");
        break;
    }
    case 13:
        GetCsvField(rest, c, static_cast<uint16_t>(n), a.empty() ? '"' : a[0]);
        break;
    case 14:
        Expect(QuoteString(a, c, true) == c + a + c, "a text quoted as it is");
        QuoteString(a, c, false);
        break;
    default: {
        // The fields of a long list one by one, as callers read them.
        const std::vector<std::string> fields = SplitFields(rest, a);
        const int count = CountFields(rest, a, false);
        Expect(fields.size() == static_cast<size_t>(count), "as many fields");
        for (int i = 1; i <= count && i <= 64; ++i)
            Expect(GetField(rest, a, i, false) == FieldOf(fields, a, i), "field after field");
        break;
    }
    }
    return 0;
}
