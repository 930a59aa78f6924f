// The entry point of the product: the Win32 backends of the seams, then the
// one application object that the program defines.
#include "framework/win32/win32_windowing.h"
#include "framework/winapp.h"
#include "system/win32/win32_directory.h"
#include "system/win32/win32_files.h"
#include "system/win32/win32_process.h"
#include "system/win32/win32_registry.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The tooltips over the lists come from the common controls.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Windowing windowing;
    SetWindowing(&windowing);
    Win32Process process;
    Win32Files files;
    Win32Registry registry;
    // Outlives a directory search still running when the program ends.
    static Win32Directory directory;
    CWinApp* app = CWinApp::Current();
    return app ? app->Run(commandLine, {process, files, registry, directory}) : 1;
}
