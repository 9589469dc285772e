// The tray's second thread: waits for data on the listening connection, reads
// it and hands it to the record handling, which also replies.
#pragma once

#include "ZThread.h"

class CListenThread : public zwin::CZThreadEx {
public:
    ~CListenThread() override;
    int Run() override;
};

void PollAndRead();
