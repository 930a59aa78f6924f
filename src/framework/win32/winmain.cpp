// The entry point of the product: the Win32 backend, then the one
// application object that the program defines.
#include "framework/win32/win32_platform.h"
#include "framework/winapp.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The tooltips over the lists come from the common controls.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Platform platform;
    SetPlatform(&platform);
    CWinApp* app = CWinApp::Current();
    return app ? app->Run(commandLine) : 1;
}
