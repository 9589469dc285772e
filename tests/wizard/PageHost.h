// A shown popup (test template 900) that holds one wizard page as its child,
// as the main dialog does; Winsock started for the page's address look-ups.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "KodraPageDlg.h"

namespace wizardtest {

class PageHost {
public:
    explicit PageHost(CKODRAPageDlg& page) : page_(page)
    {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
        EXPECT_TRUE(host_.Create(900, nullptr));
        host_.ShowWindow(SW_SHOW);
        EXPECT_TRUE(page_.Create(page_.GetDialogId(), &host_));
        page_.ShowWindow(SW_SHOW);
    }
    ~PageHost()
    {
        page_.DestroyWindow();
        host_.DestroyWindow();
        if (started_) WSACleanup();
    }
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

private:
    CKODRAPageDlg& page_;
    CDialog host_;
    bool started_ = false;
};

}  // namespace wizardtest
