// The forwarding launcher's choices: the product tag from the last argument,
// that product's message port, and the one record sent to the tray.
#pragma once

#include <string>

const size_t kMaxRecordLength = 2047;

// "KODRA" when the trimmed text is exactly "KODRA", else "VELMOR".
std::string GetProductTag(const std::string& lastArgument);

// The decimal port of the tag's product: the registry's MessagePort, or its default.
std::string GetMessagePort(const std::string& tag);
bool GetKodraMessagePort(std::string& port);
bool GetVelmorMessagePort(std::string& port);

// "%s|%d|%s|" of tag, command-line length and command line; false, leaving the
// record empty, when it would be longer than kMaxRecordLength.
bool BuildMessageRecord(const std::string& tag, const std::string& commandLine, std::string& record);
