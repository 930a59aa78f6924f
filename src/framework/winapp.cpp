#include "framework/winapp.h"

#include "system/process.h"
#include "system/text.h"

CWinApp* CWinApp::s_pCurrent = nullptr;

CWinApp::CWinApp() { s_pCurrent = this; }

CWinApp::~CWinApp() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

std::string AppNameFromModulePath(const std::string& path) {
    std::size_t slash = FindLastSeparator(path, "\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

int CWinApp::Run(const char* commandLine, const AppSeams& seams) {
    m_pSeams = &seams;
    m_strAppName = AppNameFromModulePath(seams.process.ModuleFileName());
    m_lpCmdLine = commandLine ? commandLine : "";
    InitInstance();
    const int exitCode = ExitInstance();
    m_pSeams = nullptr;
    return exitCode;
}
