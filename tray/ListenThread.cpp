#include "ListenThread.h"

#include <cstdint>

#include "Records.h"
#include "TrayApp.h"

CListenThread::~CListenThread() { Stop(INFINITE, false); }

int CListenThread::Run()
{
    while (IsRunning()) {
        Sleep(50);
        try {
            PollAndRead();
        } catch (...) {
            // A failed pass loses only its own buffer; the next one starts afresh.
        }
    }
    return 0;
}

void PollAndRead()
{
    if (!theTrayApp.Transport.WaitData(5000)) return;
    char buffer[4096] = {};
    uint32_t count = 0;
    if (theTrayApp.Transport.ReadData(buffer, sizeof buffer - 1, &count) && count != 0)
        HandleBatch(buffer);
}
