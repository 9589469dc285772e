// The wizard program's application: administrator check, the service name from
// the command line, Windows Sockets around the modal main dialog.
#pragma once

#include "classlib.h"

class CKODRACFGApp : public CWinApp {
public:
    BOOL InitInstance() override;

protected:
    const classlib::MessageMap* GetMessageMap() const override;
};

// The value after the last "-name" (compared ignoring case) that has one, else
// the default.
void GetServiceNameOption(int argc, char** argv, CString& name, const char* option,
                          const char* defaultName);
