#include "framework/dialog.h"

#include "framework/windowing.h"
#include "framework/winapp.h"

void CDataExchange::Text(int id, std::string& value, int maxBytes) {
    CEdit edit = m_dialog.Edit(id);
    if (m_bSaveAndValidate) {
        value = edit.GetWindowText();
        return;
    }
    edit.SetWindowText(value);
    if (maxBytes > 0) edit.LimitText(maxBytes);
}

INT_PTR CDialog::DoModal() {
    // A dialog without a parent is owned by the main window, which stays
    // disabled while it runs.
    CWinApp* app = CWinApp::Current();
    HWND owner = nullptr;
    if (app && app->m_pMainWnd && app->m_pMainWnd != this) owner = app->m_pMainWnd->GetSafeHwnd();
    return TheWindowing().RunModal(*this, owner);
}

void CDialog::EndDialog(INT_PTR result) { TheWindowing().EndModal(m_hWnd, result); }

void CDialog::UpdateData(bool saveAndValidate) {
    m_bExchanging = true;
    CDataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    m_bExchanging = false;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::GotoDlgCtrl(int id) const {
    Windowing& windowing = TheWindowing();
    windowing.SendToWindow(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(windowing.ItemHandle(m_hWnd, id)), TRUE);
}

bool CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG: {
        // A dialog procedure never sees WM_CREATE; window creation runs here,
        // before initialisation, as it would in a window procedure.
        LRESULT created = 0;
        if (OnWndMsg(WM_CREATE, 0, 0, created) && created == -1) {
            EndDialog(-1);
            return true;
        }
        result = OnInitDialog();
        return true;
    }
    case WM_COMMAND:
        // Notifications raised by the exchange itself are not the user's.
        if (m_bExchanging) return true;
        if (OnWndMsg(message, wParam, lParam, result)) return true;
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return true;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
        return false;
    default:
        return OnWndMsg(message, wParam, lParam, result);
    }
}

int AfxMessageBox(const std::string& text, UINT type) {
    CWinApp* app = CWinApp::Current();
    if ((type & MB_ICONMASK) == 0) {
        UINT buttons = type & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            type |= MB_ICONEXCLAMATION;
    }
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    return TheWindowing().ShowMessageBox(owner, text, app ? app->m_strAppName : std::string(), type);
}
