// The application object: decides from the command line whether to run,
// keeps a second copy from running, and runs the address book dialog.
#pragma once

#include "framework/winapp.h"

class CAddressApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    HANDLE m_hMutex = nullptr;
};
