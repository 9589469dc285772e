#pragma once

#include "classlib.h"

class CMailConfigApp : public CWinApp {
public:
    BOOL InitInstance() override;

protected:
    const classlib::MessageMap* GetMessageMap() const override;
};

extern CMailConfigApp theMailConfigApp;
