// Records of the message port acted on: answering each record of a batch, the
// UPS status display and starting command lines. RecordText reads the texts.
#pragma once

#include <cstdint>
#include <string>

const int kRefused = 13;

void HandleBatch(const char* text);
int HandleRecord(const char* record);
bool IsOwnTag(char* field);
void SelectStatusIcon(uint16_t flags);
void ShowUpsStatus(const char* name, uint16_t flags);
void AppendStatusWord(unsigned stringId, std::string& words);
int ExecuteCommand(const char* commandLine);
// The reply to a start that failed: a failure is never answered as "started".
int StartFailureCode(unsigned long lastError);
