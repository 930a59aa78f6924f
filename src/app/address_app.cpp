#include "app/address_app.h"

#include "dialogs/address_book_dlg.h"
#include "directory/directory_search.h"
#include "picker/picker_session.h"
#include "system/process.h"
#include "system/text.h"

BOOL CAddressApp::InitInstance() {
    const std::string commandLine = m_lpCmdLine;
    if (HasOption(commandLine, "/n")) return FALSE;

    // Creating is the test: two copies started at the same moment cannot
    // both find the name free.
    bool anotherCopy = false;
    HANDLE mutex = m_pSeams->process.CreateNamedMutex("hPrevInstance", anotherCopy);
    if (anotherCopy) {
        m_pSeams->process.CloseKernelHandle(mutex);
        return FALSE;
    }
    m_hMutex = mutex;

    if (HasOption(commandLine, "/s")) {
        PickerSession session(m_pSeams->files, m_pSeams->registry, DriverNameFromCommandLine(commandLine));
        CAddressBookDlg dialog(session, m_pSeams->directory, ReadDirectoryPolicy(m_pSeams->registry));
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int CAddressApp::ExitInstance() {
    m_pSeams->process.ReleaseNamedMutex(m_hMutex);
    return CWinApp::ExitInstance();
}
