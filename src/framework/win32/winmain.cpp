// The entry point of the product: the Win32 backend, then the one
// application object that the program defines.
#include "framework/win32/win32_platform.h"
#include "framework/winapp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    Win32Platform platform;
    SetPlatform(&platform);
    CWinApp* app = CWinApp::Current();
    return app ? app->Run(commandLine) : 1;
}
