// The message port of a product's service, as the tray and Plenrik both read it.
#pragma once

#include <string>

// port = the decimal text of MessagePort under the service's parameters key in
// HKEY_LOCAL_MACHINE, or fallback when the key cannot be opened or the value is
// missing or not a DWORD. True when the value was read.
bool ReadServiceMessagePort(const char* serviceName, const char* fallback, std::string& port);
