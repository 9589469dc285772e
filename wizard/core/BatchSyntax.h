// What the command interpreter reads in a line of a batch file as syntax
// rather than text: the words the wizard writes into its batch files must
// reach the programs they name whole and unexpanded.
#pragma once

#include <string>

// An address that the command interpreter would read as more than one plain
// word: a blank, a control character or one of & | < > ^ % ".
bool IsBatchSafeAddress(const char* address);

// The text in double quotes, each "%" doubled: inside quotes the interpreter
// still expands a "%", and reads every other character as it stands. A line
// run through CALL is expanded once more, so there each "%" is written four
// times.
std::string BatchQuoted(const std::string& text, bool called = false);
// BatchQuoted undone: the text between the quotes with each "%%" (called:
// "%%%%") made one "%"; false when the text does not start and end with a
// double quote.
bool BatchUnquoted(const std::string& quoted, std::string& text, bool called = false);
