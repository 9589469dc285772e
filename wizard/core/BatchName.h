// The check of a batch file name the user entered for the service to run (the
// alive-check and shutdown batch files): the file must exist, be named without
// wildcards, and only on purpose be the server's "SDSrv.bat".
#pragma once

enum class BatchNameFault { None, Empty, Wildcard, Missing };

struct BatchNameCheck {
    BatchNameFault fault = BatchNameFault::None;
    // The name is the server's batch file; the user must confirm it before a
    // missing file is reported.
    bool serverBatch = false;
};

// Empty and Wildcard look at the trimmed text, serverBatch at its name part,
// Missing at the text as entered, relative names in the wizard's folder.
BatchNameCheck CheckBatchName(const char* text);

// The check told to the user in message boxes: true when the name may be
// stored, false when the page must keep it for correction.
bool ValidateBatchName(const char* text);
