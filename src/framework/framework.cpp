#include <cstring>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/files.h"
#include "framework/platform.h"
#include "framework/text.h"
#include "framework/winapp.h"

namespace {
Platform* g_platform = nullptr;
}

Platform& ThePlatform() { return *g_platform; }
void SetPlatform(Platform* platform) { g_platform = platform; }

// ---- text -------------------------------------------------------------------

std::size_t FindOption(std::string_view commandLine, std::string_view option) {
    if (option.empty()) return 0;
    for (std::size_t i = 0; i < commandLine.size();) {
        if (commandLine.compare(i, option.size(), option) == 0) return i;
        i += IsLeadByte932(static_cast<unsigned char>(commandLine[i])) ? 2 : 1;
    }
    return std::string_view::npos;
}

// ---- application ------------------------------------------------------------

CWinApp* CWinApp::s_pCurrent = nullptr;

CWinApp::CWinApp() { s_pCurrent = this; }

CWinApp::~CWinApp() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

std::string AppNameFromModulePath(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

int CWinApp::Run(const char* commandLine) {
    m_strAppName = AppNameFromModulePath(ThePlatform().ModuleFileName());
    m_lpCmdLine = commandLine ? commandLine : "";
    InitInstance();
    return ExitInstance();
}

int AfxMessageBox(const std::string& text, UINT type) {
    CWinApp* app = CWinApp::Current();
    if ((type & MB_ICONMASK) == 0) {
        UINT buttons = type & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            type |= MB_ICONEXCLAMATION;
    }
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    return ThePlatform().ShowMessageBox(owner, text, app ? app->m_strAppName : std::string(), type);
}

// ---- controls ---------------------------------------------------------------

CControl::CControl(HWND dialog, int id) : m_hWnd(ThePlatform().ItemHandle(dialog, id)) {}

LRESULT CControl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ThePlatform().SendToWindow(m_hWnd, message, wParam, lParam);
}

std::string CControl::GetWindowText() const {
    LRESULT length = Send(WM_GETTEXTLENGTH);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    LRESULT copied = Send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void CControl::SetWindowText(const std::string& text) const {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CControl::EnableWindow(bool enable) const { ThePlatform().EnableControl(m_hWnd, enable); }

int CListBox::AddString(const std::string& text) const {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int CListBox::InsertString(int index, const std::string& text) const {
    return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

std::string CListBox::GetText(int index) const {
    LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::uint32_t CListBox::GetItemData(int index) const {
    return static_cast<std::uint32_t>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

void CListBox::SetItemData(int index, std::uint32_t data) const {
    Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::vector<int> CListBox::GetSelItems(int maxItems) const {
    std::vector<int> items(static_cast<std::size_t>(maxItems));
    LRESULT count = Send(LB_GETSELITEMS, static_cast<WPARAM>(maxItems), reinterpret_cast<LPARAM>(items.data()));
    items.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    return items;
}

void CListBox::InitStorage(int items, int bytes) const {
    Send(LB_INITSTORAGE, static_cast<WPARAM>(items), static_cast<LPARAM>(bytes));
}

int CComboBox::AddString(const std::string& text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

// ---- dialogs ----------------------------------------------------------------

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
    return ThePlatform().RunModal(*this, owner);
}

void CDialog::EndDialog(INT_PTR result) { ThePlatform().EndModal(m_hWnd, result); }

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

// ---- files ------------------------------------------------------------------

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool SaveFileSafely(Platform& platform, const std::string& path, const std::string& bytes) {
    std::string tempPath;
    FileWriter* file = platform.CreateTempFileIn(DirectoryOf(path), tempPath);
    if (!file) return false;
    bool written = platform.WriteToFile(file, bytes.data(), bytes.size()) && platform.FlushFile(file);
    written = platform.CloseFile(file) && written;
    if (written && platform.ReplaceFileWith(tempPath, path)) return true;
    platform.RemoveFile(tempPath);
    return false;
}
