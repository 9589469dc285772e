// Thin layer over the operating system, the part the programs use: the
// administrator check, the program's own file and folder, file tests and the
// result code of a system error. The rest is in uncalled/FileSystemUtil.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

BOOL IsAdministrator();
// Tests only: while on, IsAdministrator answers FALSE without asking the system,
// so a caller's refusal path can be driven in a process that runs as administrator.
void ForceNotAdministratorForTests(bool on);

std::string GetModuleFilePath(HMODULE module);
std::string GetModuleDirectory(HMODULE module);

bool FileExists(const std::string& path);
// The whole file read in text mode (CR LF reads as LF); false when it cannot be
// opened or a read fails.
bool ReadTextFile(const std::string& path, std::string& text);

int32_t HResultFromWin32(int32_t code);
