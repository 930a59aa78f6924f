// The application object: one per process, run from the entry point.
#pragma once

#include <string>

#include "system/win.h"

class CDialog;
class Directory;
class Files;
class Process;
class Registry;

// The seams an application runs over, made by the entry point.
struct AppSeams {
    Process& process;
    Files& files;
    Registry& registry;
    Directory& directory;
};

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // The framework's start-up: names the application, then InitInstance and
    // ExitInstance. Every window of this program is modal, so there is no
    // message loop of the application's own. Returns the exit code.
    int Run(const char* commandLine, const AppSeams& seams);

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    static CWinApp* Current() { return s_pCurrent; }

    std::string m_strAppName;  // the executable's file name without extension
    std::string m_lpCmdLine;   // everything after the program's own name
    CDialog* m_pMainWnd = nullptr;
    const AppSeams* m_pSeams = nullptr;  // while it runs

private:
    static CWinApp* s_pCurrent;
};

// "C:\dir\qvdutil.exe" -> "qvdutil"
std::string AppNameFromModulePath(const std::string& path);
