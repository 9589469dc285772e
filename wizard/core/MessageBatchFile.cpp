#include "MessageBatchFile.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "KodraFiles.h"
#include "SysFileUtil.h"
#include "WizardUtil.h"

namespace {

const char kMessageBatchCopy[] = "message.xxx";

}  // namespace

BeepSetting ReadMessageBatchBeep()
{
    std::string batch;
    if (!ReadTextFile(ProgramFolderFile(kKodraMessageBatch).GetString(), batch)) return BeepSetting();
    return FindBeepSetting(batch);
}

void WriteMessageBatchBeep(long count)
{
    CString batchPath = ProgramFolderFile(kKodraMessageBatch);
    CString copyPath = ProgramFolderFile(kMessageBatchCopy);
    std::string batch;
    if (!ReadTextFile(batchPath.GetString(), batch)) return;
    std::FILE* out = std::fopen(copyPath, "w");
    if (!out) return;
    const std::string rewritten = RewriteBeepLines(batch, count);
    bool written = std::fwrite(rewritten.data(), 1, rewritten.size(), out) == rewritten.size();
    written = std::fclose(out) == 0 && written;
    // A copy that did not come out whole must not replace the batch file.
    if (!written ||
        !MoveFileExA(copyPath, batchPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        DeleteFileA(copyPath);
}
