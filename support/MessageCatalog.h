// Reader of the message catalogue "Messages.dat" in the running program's folder.
#pragma once

// 1 with message number's text in buffer; 0 with "can't read message %d" there.
// At most size - 1 characters are stored, the rest of size bytes zero-filled.
int ReadMessage(int number, char* buffer, int size);
// 1 with the running program's folder (no trailing separator); 0, buffer untouched,
// when the program's file name cannot be obtained.
int GetProgramDir(char* buffer, int size);
