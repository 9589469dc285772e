// What the message port counts as a record, read one way by the tray, which
// answers records, and by the transport, which keeps a sender whose bytes hold
// one until the listener may have answered it: "TAG|LENGTH|TEXT|", each field
// read with white space removed at both ends, the tag of 1 to 63 characters,
// the text of at most 511 and the length its count in decimal digits alone.
// Pure and without allocation: the transport reads with it where memory may
// have run out.
#pragma once

#include <cstddef>
#include <string_view>

// The longest text a batch field holds: a longer one was cut on its way, so
// no length can vouch for it.
const size_t kRecordFieldLimit = 511;

// The field without the white space at both ends (" \t\n\v\f\r").
std::string_view TrimRecordField(std::string_view field);

// Whether the length field, trimmed, is the trimmed text's count in decimal
// digits alone, and the text within a batch field's limit.
bool CountsText(std::string_view length, std::string_view text);

// Whether the bytes hold a record of any tag: three consecutive fields, each
// ended by "|", at any place. Fields begin after each "|" of the bytes and at
// their start, so a record behind other fields or behind a leading "|" counts.
// The look begins at *from, the start of a field; it leaves there where a look
// at the same bytes with more appended goes on, so bytes that arrive piece by
// piece are looked at once each.
bool HoldsRecord(std::string_view bytes, size_t* from);
