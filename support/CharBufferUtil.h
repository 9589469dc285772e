// Plain functions on zero-terminated narrow texts in caller buffers.
// A size argument is the destination's byte count including the terminator:
// at most size - 1 characters are stored and the result is terminated; a size
// of 0 (or less, where signed) writes nothing at all.
#pragma once

#include <cstdint>
#include <cstdio>

// Fields by a separator string. Plain rule: empty fields count and a trailing
// separator ends an empty last field. Collapsing rule: leading separators are
// skipped and a run of separators is one boundary. Fields count from 1.
char* GetFieldN(char* out, int size, const char* text, const char* separator, int n);
int CountFieldsN(const char* text, const char* separator);
char* GetFieldCollapsed(char* out, int size, const char* text, const char* separator, int n);
int CountFieldsCollapsed(const char* text, const char* separator);
char* CopyToSeparator(char* dst, unsigned size, const char* src, const char* separator);

inline char* GetTokenN(char* out, int size, const char* text, const char* separator, int n)
{
    return GetFieldN(out, size, text, separator, n);
}
inline char* GetSubString(char* out, int size, const char* text, const char* separator, int n)
{
    return GetFieldN(out, size, text, separator, n);
}
inline int CountTokensN(const char* text, const char* separator) { return CountFieldsN(text, separator); }
inline int CountSubStrings(const char* text, const char* separator)
{
    return CountFieldsCollapsed(text, separator);
}

// White-space tokens and words.
int IsWhiteChar(int c);
char* GetWhiteToken(char* out, int size, const char* text, int n);
int CountWhiteTokens(const char* text);
char* CopyToWhite(char* dst, unsigned size, const char* src);
int IsAlphaChar(int c);
char* GetWord(char* out, int size, const char* text, int n);
int CountWords(const char* text);
char* CopyAlpha(char* dst, unsigned size, const char* src);

// Copies. CopyPadBlanks writes exactly width characters and no terminator;
// CopyPadZeros writes width + 1 bytes.
char* CopyBounded(char* dst, const char* src, int size);
char* CopyToBlank(char* dst, const char* src, int size);
void CopyPadBlanks(char* dst, const char* src, int width);
void CopyPadZeros(char* dst, const char* src, int width);
char* StrCopyN(char* dst, const char* src, unsigned n);
char* StrCatN(char* dst, const char* src, unsigned n);
char* StrDuplicate(const char* src);

// Comparison and length.
int StrCompareNoCase(const char* a, const char* b);
int StrCompareNoCaseN(const char* a, const char* b, unsigned n);
int StrCompareN(const char* a, const char* b, unsigned n);
int StrLength(const char* text);
int StrCompare(const char* a, const char* b);

// Trimming, case and layout.
char* TrimSpaces(char* dst, const char* src);
inline char* TrimBlanks(char* dst, const char* src) { return TrimSpaces(dst, src); }
char* TrimWhiteRight(char* buf);
void StripTrailingChar(char* buf, char c);
int UpperChar(int c);
char* StrUpperCopy(char* dst, const char* src);
char* StrUpperInPlace(char* text);
// mode 2 right, 3 centre, anything else left. The buffer must hold the larger
// of width and the text's length, plus the terminator.
char* AlignText(char* text, int width, char fill, int mode);
char* PictureFill(char* dst, const char* values, const char* picture, const char* mask);
int FindInSpan(const char* text, const char* pattern, int len);

// Numbers, dates, files and waiting. Number texts need 34 bytes (32 digits,
// sign, terminator); a radix outside 2 .. 36 gives the empty text.
void IntToText(unsigned value, char* out, unsigned radix, int negative);
char* SignedToText(int value, char* out, int radix);
char* LongToText(long value, char* out, int radix);
char* UnsignedToText(unsigned value, char* out, int radix);
// The date buffer needs 11 bytes, the time buffer 9; either may be null.
void FormatDateTime(int32_t time, char* date, char* clock, int flags);
char* FileDirectory(char* dst, const char* path);
char* FileNamePart(char* dst, const char* path);
// Stores at most size - 1 characters of the line and drops the rest of it;
// returns the line's whole length, so a result of size or more means cut.
int ReadFileLine(FILE* stream, char* buf, int size);

// These two call the platform and are built only into the Windows library.
int FileExistsOpen(const char* path);
void SleepMs(unsigned milliseconds);
