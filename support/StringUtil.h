// Functions on standard strings of 8-bit characters. Inputs are read-only;
// results are new strings, counts or truth values, and only the parameters
// named out are written. Character classes and case follow the global locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One-character constants; every unit that includes this header holds its own.
static const std::string kStrSpace = " ";
static const std::string kStrBlank = " ";
static const std::string kStrDot = ".";
static const std::string kStrComma = ",";
static const std::string kStrColon = ":";
static const std::string kStrSemicolon = ";";
static const std::string kStrHash = "#";
static const std::string kStrAsterisk = "*";
static const std::string kStrApostrophe = "'";
static const std::string kStrQuote = "\"";
static const std::string kStrHyphen = "-";
static const std::string kStrUnderscore = "_";
static const std::string kStrSlash = "/";
static const std::string kStrBackslash = "\\";
static const std::string kStrPlus = "+";
static const std::string kStrMinus = "-";
static const std::string kStrTimes = "*";
static const std::string kStrDivide = "/";
static const std::string kStrLeftParen = "(";
static const std::string kStrRightParen = ")";
static const std::string kStrLeftBracket = "[";
static const std::string kStrRightBracket = "]";
static const std::string kStrLeftBrace = "{";
static const std::string kStrRightBrace = "}";
static const std::string kStrNewLine = "\n";
static const std::string kStrTab = "\t";

// Character runs, trimming and joining.
std::string TrimCharLeft(const std::string& text, char c);
std::string TrimCharRight(const std::string& text, char c);
std::string TrimChar(const std::string& text, char c);
int CountLeadingChars(const std::string& text, char c);
int CountTrailingChars(const std::string& text, char c);
std::string SetLeadingChars(const std::string& text, char c, int n);
std::string SetTrailingChars(const std::string& text, char c, int n);
std::string AppendChar(const std::string& text, char c);
std::string StrTrimLeft(const std::string& text);
std::string StrTrimRight(const std::string& text);
std::string StrTrim(const std::string& text);

// Case.
char CharToUpper(char c);
char CharToLower(char c);
std::string StrToUpper(const std::string& text);
std::string StrToLower(const std::string& text);
bool StrEqualNoCase(const std::string& a, const std::string& b);
bool StrEqualNoCaseN(const std::string& a, const std::string& b, unsigned n);
// Whole-text match; "*" matches any run, "?" one character.
bool WildcardMatch(const char* text, const char* pattern, bool caseSensitive);

// Character classes and numbers.
bool IsIdentStartChar(char c);
bool IsIdentChar(char c);
bool IsAllDigits(const char* text);
bool IsNumberInRange(const char* text, int lo, int hi);
bool IsUnsignedInRange(const char* text, unsigned lo, unsigned hi);
// The number of the digits that the text starts with, up to the first other
// character; false when it starts with no digit or the number is above most.
bool LeadingUnsigned(const char* text, uint32_t most, uint32_t& value);
bool IsIpAddress(const char* text);
// Signed values: in radix 10 a sign and the magnitude, in every other radix
// the 32-bit pattern; a radix outside 2 .. 36 gives "".
std::string NumberToString(int value, int radix);
std::string NumberToString(long value, int radix);
std::string NumberToString(short value, int radix);
std::string NumberToString(unsigned int value, int radix);
std::string NumberToString(unsigned long value, int radix);
std::string NumberToString(unsigned short value, int radix);
std::string StrGroupDigits(const std::string& text, char sep);

// Fields, splitting and replacing.
std::string GetField(const std::string& text, const std::string& separator, int n, bool collapse);
int CountFields(const std::string& text, const std::string& separator, bool collapse);
// Every field of the plain rule at once, in one pass: as many as CountFields
// gives and each as GetField gives it.
std::vector<std::string> SplitFields(const std::string& text, const std::string& separator);
std::string TextBetween(const std::string& text, const std::string& open, const std::string& close);
bool SplitAtFirst(std::string& left, std::string& right, const char* text, const char* separator);
bool ReplaceAll(std::string& out, const char* text, const char* find, const char* replacement);
std::string StrReplaceAll(const std::string& text, const std::string& find, const std::string& replacement);
bool ParseUrl(const char* url, std::string& scheme, std::string& user, std::string& password,
              std::string& host, int& port, std::string& path);
bool ParseUrlHost(const char* url, std::string& host, int& port);
int CountCsvFields(const std::string& text, char sep, char quote);
std::string GetCsvFieldHead(const std::string& text, char sep, char quote, int* consumed);
std::string GetCsvField(const std::string& text, char sep, unsigned n, char quote);
std::string QuoteString(const std::string& text, char quote, bool asIs);
