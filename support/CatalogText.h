// The text of the message catalogue "Messages.dat": finding a message in it.
// MessageCatalog reads the file beside the program and hands its text here.
#pragma once

#include <string>

// Stores at most size - 1 characters of text, zero-fills the rest of the size
// bytes and terminates (size at least 1).
void StoreFilled(char* buffer, int size, const char* text);

// 1 with the message's text stored as StoreFilled does; 0, buffer untouched, when
// no line of the catalogue holds the key "m<number>=". Lines are read in pieces
// of at most 1023 characters, and the text starts the key's length into the
// first piece that holds the key anywhere.
int FindCatalogMessage(const std::string& catalog, int number, char* buffer, int size);
