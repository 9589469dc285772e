// The texts of the message port without their effects: a received batch split
// into records, one record checked and its status text read, and the status
// icon, words and tooltip that a status stands for. Fields and lengths are read
// as MessageRecord reads them, which the transport shares. Records (the tray's
// side) answers, starts and shows what these functions find.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Converts the field to upper case in place (a to z) and compares it exactly.
bool IsProductTag(char* field, const std::string& product);

// The records of a batch, each rebuilt as "tag|length|text" from its fields
// trimmed but whole, in the order they are to be answered.
std::vector<std::string> SplitBatch(const char* text, const std::string& product);

struct RecordCheck {
    bool addressed = false;      // three fields and the product's own tag
    // The text is within a batch field's 511 characters and the length field is
    // its count in decimal digits alone.
    bool lengthMatches = false;
    bool isStatus = false;       // the text is a status text, not a command line
    uint16_t flags = 0;          // of a status text
    std::string name;            // of a status text, at most 31 characters
    std::string text;            // the third field, trimmed
};

// What one record asks for; the caller refuses it unless it is addressed,
// the service runs and the length matches, in that order.
RecordCheck CheckRecord(const char* record, const std::string& product);

// The status icon for the flags, 0 when the icon stays as it is.
int StatusIconFor(uint16_t flags);
// The string ids of the words shown for the flags, in their order.
std::vector<unsigned> StatusWordIds(uint16_t flags);
// The tooltip over the words ("\n" a line feed).
std::string StatusTooltip(const char* name, const std::string& words);
