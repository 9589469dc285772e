#include "MessageRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Held {
    const char* what;
    std::string bytes;
    bool held;
};

const std::string k64(64, 'x');

const Held kCases[] = {
    {"a record", "KODRA|5|hello|", true},
    {"a tag in lower case", "kodra|5|hello|", true},
    {"a record behind a leading field", "xyz|KODRA|1|b|", true},
    {"fields with blanks around them", " kodra | 1 | b |", true},
    {"a text with a blank in front", "KODRA|1| b|", true},
    {"a first field over 63 characters", k64 + "|KODRA|1|b|", true},
    {"a leading bar", "|KODRA|1|b|", true},
    {"a record behind one its text's bar spoils", "KODRA|3|a|b|KODRA|1|c|", true},
    {"another product's tag", "VELMOR|1|a|", true},
    {"an empty text of length 0", "KODRA|0||", true},
    {"a length with leading zeros", "KODRA|007|seven c|", true},
    {"line ends around the fields", "\r\nKODRA\t|\v1\f|b\r\n|", true},
    {"a text of 511 characters", "KODRA|511|" + std::string(511, 't') + "|", true},
    {"zero bytes in front", std::string("\0\0|KODRA|1|b|", 13), true},
    {"no closing bar", "KODRA|5|hello", false},
    {"half a record", "KODRA|50|only the first half", false},
    {"a piece", "KOD", false},
    {"line ends alone", "\r\n", false},
    {"nothing", "", false},
    {"an empty tag", "|1|a|", false},
    {"a blank tag", " |1|a|", false},
    {"a tag over 63 characters", k64 + "|1|a|", false},
    {"a length that counts a blank", "KODRA|2| b|", false},
    {"a length too small", "KODRA|4|hello|", false},
    {"a length with a sign", "KODRA|+1|a|", false},
    {"a length with a word behind", "KODRA|1a|a|", false},
    {"a length that wraps past 32 bits", "KODRA|4294967297|a|", false},
    {"a length that wraps past 64 bits", "KODRA|18446744073709551617|a|", false},
    {"no length", "KODRA||a|", false},
    {"a text of 512 characters", "KODRA|512|" + std::string(512, 't') + "|", false},
    {"a text cut by a bar", "KODRA|3|a|b|", false},
};

bool HeldAtOnce(const std::string& bytes)
{
    size_t from = 0;
    return HoldsRecord(bytes, &from);
}

TEST(MessageRecord, WhatTheBytesOfASenderHold)
{
    for (const Held& c : kCases) EXPECT_EQ(HeldAtOnce(c.bytes), c.held) << c.what;
}

// The transport looks at a sender's bytes as they arrive and goes on where it
// stopped: whatever the pieces, it finds what a look at all of them finds, and
// a record once found stays found.
TEST(MessageRecord, BytesArrivingInPiecesHoldWhatTheyHoldAtOnce)
{
    for (const Held& c : kCases) {
        for (size_t pieceLength : {1u, 2u, 5u}) {
            std::string arrived;
            size_t from = 0;
            bool found = false;
            for (size_t at = 0; at < c.bytes.size() && !found; at += pieceLength) {
                arrived += c.bytes.substr(at, pieceLength);
                found = HoldsRecord(arrived, &from);
                EXPECT_LE(from, arrived.size()) << c.what;
                EXPECT_EQ(found, HeldAtOnce(arrived)) << c.what << ", " << arrived.size() << " bytes";
            }
            EXPECT_EQ(found, c.held) << c.what << ", pieces of " << pieceLength;
        }
    }
}

TEST(MessageRecord, TheLengthCountsTheTrimmedText)
{
    EXPECT_TRUE(CountsText("5", "hello"));
    EXPECT_TRUE(CountsText(" 5 ", "\thello "));
    EXPECT_TRUE(CountsText("0", ""));
    EXPECT_FALSE(CountsText("6", " hello"));
    EXPECT_FALSE(CountsText("", ""));
    EXPECT_FALSE(CountsText("-0", ""));
    EXPECT_EQ(TrimRecordField(" \t\n\v\f\ra b\r\n"), "a b");
    EXPECT_EQ(TrimRecordField("\xa0x\xa0"), "\xa0x\xa0");
}

}  // namespace
