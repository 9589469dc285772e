// The string functions on standard strings.
#include "FuzzInput.h"
#include "StringUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned op = in.Byte();
    const int n = static_cast<int16_t>(in.Word());
    const char c = static_cast<char>(in.Byte());
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string rest = in.Rest();

    switch (op % 16) {
    case 0:
        TrimChar(a, c);
        CountLeadingChars(a, c);
        CountTrailingChars(a, c);
        SetLeadingChars(a, c, n % 1000);
        SetTrailingChars(a, c, n % 1000);
        AppendChar(a, c);
        break;
    case 1:
        Expect(StrTrim(a).size() <= a.size(), "a trimmed text is no longer");
        StrTrimLeft(a);
        StrTrimRight(a);
        break;
    case 2:
        Expect(StrToUpper(a).size() == a.size() && StrToLower(a).size() == a.size(), "case keeps length");
        StrEqualNoCase(a, b);
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
    case 5: {
        const uint32_t value = in.Long();
        NumberToString(static_cast<int>(value), n);
        NumberToString(static_cast<long>(static_cast<int32_t>(value)), n);
        NumberToString(static_cast<short>(value), n);
        NumberToString(static_cast<unsigned>(value), n);
        NumberToString(static_cast<unsigned long>(value), n);
        NumberToString(static_cast<unsigned short>(value), n);
        break;
    }
    case 6:
        StrGroupDigits(a, c);
        break;
    case 7: {
        const bool collapse = n & 1;
        const int count = CountFields(rest, a, collapse);
        GetField(rest, a, n, collapse);
        if (!collapse) Expect(SplitFields(rest, a).size() == static_cast<size_t>(count), "as many fields");
        break;
    }
    case 8:
        TextBetween(rest, a, b);
        break;
    case 9: {
        std::string left, right;
        SplitAtFirst(left, right, rest.c_str(), a.c_str());
        break;
    }
    case 10: {
        std::string out;
        ReplaceAll(out, rest.c_str(), a.c_str(), b.c_str());
        StrReplaceAll(rest, a, b);
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
        QuoteString(a, c, n & 1);
        break;
    default: {
        // The fields of a long list one by one, as callers read them.
        const int count = CountFields(rest, a, false);
        for (int i = 1; i <= count && i <= 64; ++i) GetField(rest, a, i, false);
        break;
    }
    }
    return 0;
}
