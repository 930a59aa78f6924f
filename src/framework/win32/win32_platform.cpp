// The product's backend: each call is one or two Win32 API calls.
#include "framework/win32/win32_platform.h"

#include <aclapi.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "system/text.h"

struct FileHandle {
    HANDLE handle;
};

namespace {

// The tips of one dialog: its tooltip window, where the mouse last was, and
// the text of the last request, which lives here until the next one (the
// tooltip copies it at once). Kept as a property of the dialog window.
struct LineTips {
    HWND window = nullptr;
    HWND lastList = nullptr;
    int lastLine = -1;
    std::string text;
    std::wstring wide;
};
constexpr const char* kTipsProperty = "qvdutil.tips";

LineTips* TipsOf(HWND dialog) { return static_cast<LineTips*>(GetPropA(dialog, kTipsProperty)); }

// The line of |list| under the mouse; -1 over none.
int LineUnderCursor(HWND list) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(list, &point);
    LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    return HIWORD(hit) == 0 ? LOWORD(hit) : -1;
}

// The tooltip asks for the text of the line under the mouse.
void AnswerTipRequest(ModalWindow& dialog, LineTips& tips, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    HWND list = reinterpret_cast<HWND>(header->idFrom);
    tips.text = dialog.LineTip(GetDlgCtrlID(list), LineUnderCursor(list));
    if (header->code == TTN_GETDISPINFOA) {
        reinterpret_cast<NMTTDISPINFOA*>(lParam)->lpszText = tips.text.data();
        return;
    }
    tips.wide.assign(static_cast<std::size_t>(MultiByteToWideChar(932, 0, tips.text.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(932, 0, tips.text.c_str(), -1, tips.wide.data(), static_cast<int>(tips.wide.size()));
    reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = tips.wide.data();
}

// The mouse moved over a list with tips. The tooltip learns of it here
// rather than by subclassing the list, which under Wine made every list
// message some twenty times as slow; on another line the tip goes, so that
// the next one shows that line's text.
void RelayToTips(HWND dialog, LineTips& tips, HWND control, LPARAM hitAndMessage) {
    if (GetParent(control) != dialog) return;
    int line = LineUnderCursor(control);
    if (control != tips.lastList || line != tips.lastLine) SendMessageA(tips.window, TTM_POP, 0, 0);
    tips.lastList = control;
    tips.lastLine = line;
    POINT point;
    GetCursorPos(&point);
    MSG relayed = {};
    relayed.hwnd = control;
    relayed.message = HIWORD(hitAndMessage);
    relayed.pt = point;
    ScreenToClient(control, &point);
    relayed.lParam = MAKELPARAM(point.x, point.y);
    relayed.time = GetMessageTime();
    SendMessageA(tips.window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// A dialog's keyboard shortcuts: the accelerator table of its template's id,
// if it has one, kept on its window.
constexpr const char* kShortcutsProperty = "qvdutil.shortcuts";

// A modal loop shows this hook every message before it is dispatched,
// whichever control has the focus: the one place a dialog's shortcuts can
// be translated.
LRESULT CALLBACK TranslateShortcuts(int code, WPARAM wParam, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
        HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
        HACCEL shortcuts = static_cast<HACCEL>(GetPropA(dialog, kShortcutsProperty));
        if (shortcuts && TranslateAcceleratorA(dialog, shortcuts, message)) return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalWindow* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<ModalWindow*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        if (HACCEL shortcuts = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog->TemplateId())))
            SetPropA(hwnd, kShortcutsProperty, shortcuts);
        dialog->Attach(hwnd);
    } else {
        dialog = reinterpret_cast<ModalWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!dialog) return FALSE;

    // The tips are the backend's own; the default processing follows. Only
    // the messages they need look for them: under Wine a window property is
    // a call to the server, some 80 us, and a list of 1000 lines with item
    // data sends the dialog WM_DELETEITEM for each line it empties.
    const bool forTips = message == WM_NOTIFY || message == WM_SETCURSOR || message == WM_NCDESTROY;
    if (LineTips* tips = forTips ? TipsOf(hwnd) : nullptr) {
        if (message == WM_NOTIFY) {
            UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
            if (code == TTN_GETDISPINFOA || code == TTN_GETDISPINFOW) {
                AnswerTipRequest(*dialog, *tips, lParam);
                return TRUE;
            }
        }
        if (message == WM_SETCURSOR) RelayToTips(hwnd, *tips, reinterpret_cast<HWND>(wParam), lParam);
        if (message == WM_NCDESTROY) {
            RemovePropA(hwnd, kTipsProperty);
            delete tips;
        }
    }

    LRESULT result = 0;
    bool handled = dialog->HandleMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        RemovePropA(hwnd, kShortcutsProperty);
        dialog->Detach();
    }
    if (!handled) return FALSE;
    switch (message) {
    // These answer through the return value itself.
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

}  // namespace

std::string Win32Platform::ModuleFileName() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

HANDLE Win32Platform::CreateNamedMutex(const char* name, bool& alreadyExisted) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

void Win32Platform::ReleaseNamedMutex(HANDLE mutex) { ReleaseMutex(mutex); }

void Win32Platform::CloseKernelHandle(HANDLE handle) {
    if (handle) CloseHandle(handle);
}

INT_PTR Win32Platform::RunModal(ModalWindow& dialog, HWND owner) {
    // Once for the thread, which is the program's only one.
    static HHOOK shortcuts = SetWindowsHookExA(WH_MSGFILTER, TranslateShortcuts, nullptr, GetCurrentThreadId());
    (void)shortcuts;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), owner, DialogProc,
                           reinterpret_cast<LPARAM>(&dialog));
}

void Win32Platform::EndModal(HWND dialog, INT_PTR result) { EndDialog(dialog, result); }

HWND Win32Platform::ItemHandle(HWND dialog, int id) { return GetDlgItem(dialog, id); }

LRESULT Win32Platform::SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

void Win32Platform::EnableControl(HWND control, bool enable) { EnableWindow(control, enable); }

int Win32Platform::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    // As the framework does: the box belongs to the topmost window of the
    // owner's family, so it stays above an open entry dialog.
    if (owner) owner = GetLastActivePopup(owner);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

std::string Win32Platform::LoadStringResource(UINT id) {
    char buffer[256];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

HICON Win32Platform::LoadIconResource(int id) { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

void Win32Platform::SetIcons(HWND dialog, HICON icon) {
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void Win32Platform::AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu) return;
    if (afterSeparator) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, command, text.c_str());
}

void Win32Platform::AttachLineTips(HWND dialog, HWND list) {
    LineTips* tips = TipsOf(dialog);
    if (!tips) {
        // Owned by the dialog, so it goes with it.
        HWND window = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (!window) return;
        SendMessageA(window, TTM_SETMAXTIPWIDTH, 0, 400);  // several lines
        tips = new LineTips;
        tips->window = window;
        SetPropA(dialog, kTipsProperty, tips);
    }
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(tips->window, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Platform::DiscardTypedCharacter(HWND window) {
    // The dialog manager translated the key before handing it on: its
    // character waits in the queue.
    MSG typed;
    PeekMessageA(&typed, window, WM_CHAR, WM_CHAR, PM_REMOVE);
}

bool Win32Platform::PaintMinimisedIcon(HWND dialog, HICON icon) {
    if (!IsIconic(dialog)) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(dialog, &client);
    IconOrigin origin = CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, origin.x, origin.y, icon);
    EndPaint(dialog, &paint);
    return true;
}

std::string Win32Platform::SystemDirectory() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        UINT length = GetSystemDirectoryA(path.data(), static_cast<UINT>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(length + 1);
    }
}

namespace {

FileOpenStatus OpenStatusOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return FileOpenStatus::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileOpenStatus::Locked;
    case ERROR_ACCESS_DENIED:
        return FileOpenStatus::Denied;
    default:
        return FileOpenStatus::Failed;
    }
}

// Far beyond any book; a file this large is not one to hold in memory.
constexpr LONGLONG kMaxReadBytes = 1LL << 30;
constexpr DWORD kMaxChunk = 0x40000000;

FileResult ResultOf(BOOL succeeded) {
    if (succeeded) return FileResult::Done;
    DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? FileResult::DiskFull : FileResult::Failed;
}

bool Seek(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

FileOpenStatus Win32Platform::OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) {
    bool update = access == FileAccess::Update;
    DWORD sharing = access == FileAccess::ReadBeside ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    // Opening an existing file changes nothing of it: not its attributes,
    // its security or its times.
    HANDLE handle = CreateFileA(path.c_str(), update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, sharing, nullptr,
                                update && create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return OpenStatusOf(GetLastError());
    bool created = update && create && GetLastError() != ERROR_ALREADY_EXISTS;
    file = new FileHandle{handle};
    return created ? FileOpenStatus::Created : FileOpenStatus::Opened;
}

bool Win32Platform::ReadWholeFile(FileHandle* file, std::string& bytes) {
    bytes.clear();
    LARGE_INTEGER size;
    if (!Seek(file->handle, 0) || !GetFileSizeEx(file->handle, &size) || size.QuadPart > kMaxReadBytes) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t filled = 0;
    for (;;) {
        // A file opened for reading may still grow while we read: take what comes.
        if (filled == bytes.size()) bytes.resize(bytes.size() + 65536);
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, kMaxChunk));
        if (!ReadFile(file->handle, bytes.data() + filled, want, &got, nullptr)) {
            bytes.clear();
            return false;
        }
        if (got == 0) break;
        filled += got;
        if (filled > static_cast<std::size_t>(kMaxReadBytes)) {
            bytes.clear();
            return false;
        }
    }
    bytes.resize(filled);
    return true;
}

FileResult Win32Platform::WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) {
    if (!Seek(file->handle, offset)) return FileResult::Failed;
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kMaxChunk));
        DWORD written = 0;
        if (!WriteFile(file->handle, bytes.data(), chunk, &written, nullptr)) return ResultOf(FALSE);
        // A short write is how a disk that has filled up answers.
        if (written != chunk) {
            SetLastError(ERROR_DISK_FULL);
            return FileResult::DiskFull;
        }
        bytes.remove_prefix(chunk);
    }
    return FileResult::Done;
}

FileResult Win32Platform::SetFileLength(FileHandle* file, std::uint64_t length) {
    // On a full disk SetEndOfFile can fail even where it would change
    // nothing (Wine asks the file system to reserve the whole length), and
    // that is just where the old bytes are put back after a failed write.
    LARGE_INTEGER size;
    if (GetFileSizeEx(file->handle, &size) && static_cast<std::uint64_t>(size.QuadPart) == length)
        return FileResult::Done;
    if (!Seek(file->handle, length)) return FileResult::Failed;
    return ResultOf(SetEndOfFile(file->handle));
}

FileResult Win32Platform::FlushFile(FileHandle* file) { return ResultOf(FlushFileBuffers(file->handle)); }

void Win32Platform::CloseFile(FileHandle* file) {
    CloseHandle(file->handle);
    delete file;
}

FileResult Win32Platform::MoveFileOver(const std::string& from, const std::string& to) {
    return ResultOf(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

void Win32Platform::RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

bool Win32Platform::IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

FolderProbe Win32Platform::ProbeFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? FolderProbe::Folder : FolderProbe::File;
    return GetLastError() == ERROR_ACCESS_DENIED ? FolderProbe::Denied : FolderProbe::Unreachable;
}

std::string Win32Platform::ExpandPathVariables(const std::string& text) {
    std::string expanded(ExpandEnvironmentStringsA(text.c_str(), nullptr, 0), '\0');
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    expanded.resize(length > 0 && length <= expanded.size() ? length - 1 : 0);
    return expanded;
}

std::string Win32Platform::LastFileErrorText() {
    const DWORD error = GetLastError();
    std::string text = "エラー " + std::to_string(error);
    char* words = nullptr;
    if (FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&words), 0, nullptr) && words) {
        std::string said = words;
        while (!said.empty() && (said.back() == '\r' || said.back() == '\n' || said.back() == ' ')) said.pop_back();
        if (!said.empty()) text += ": " + said;
    }
    if (words) LocalFree(words);
    return text;
}

void Win32Platform::Pause(unsigned milliseconds) { Sleep(milliseconds); }

namespace {

// Users get |rights| on the object through an allow entry of their own,
// unless such an entry holds them already; every other entry stays.
Security::Grant GrantUsers(const std::string& objectName, SE_OBJECT_TYPE type, DWORD rights) {
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof users;
    if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return Security::Grant::Failed;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(objectName.c_str(), type, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return Security::Grant::Failed;
    bool had = false;
    for (DWORD i = 0; dacl && i < dacl->AceCount && !had; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        had = allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && !(allowed->Header.AceFlags & INHERIT_ONLY_ACE) &&
              EqualSid(const_cast<DWORD*>(&allowed->SidStart), users) && (allowed->Mask & rights) == rights;
    }
    DWORD result = ERROR_SUCCESS;
    if (!had) {
        EXPLICIT_ACCESS_A access = {};
        access.grfAccessPermissions = rights;
        access.grfAccessMode = GRANT_ACCESS;
        access.grfInheritance = NO_INHERITANCE;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = reinterpret_cast<char*>(users);
        PACL merged = nullptr;
        result = SetEntriesInAclA(1, &access, dacl, &merged);
        if (result == ERROR_SUCCESS)
            result = SetNamedSecurityInfoA(const_cast<char*>(objectName.c_str()), type, DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, merged, nullptr);
        LocalFree(merged);
    }
    LocalFree(descriptor);
    if (result != ERROR_SUCCESS) return Security::Grant::Failed;
    return had ? Security::Grant::Had : Security::Grant::Added;
}

}  // namespace

bool Win32Platform::RunsAsAdministrator() {
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    // Under UAC an administrator's unelevated token holds the group for denying only: not a member.
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
           CheckTokenMembership(nullptr, administrators, &member) && member;
}

Security::Grant Win32Platform::GrantUsersOnFile(const std::string& path, DWORD rights) {
    return GrantUsers(path, SE_FILE_OBJECT, rights);
}

Security::Grant Win32Platform::GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) {
    return GrantUsers("MACHINE\\" + keyPath, SE_REGISTRY_KEY, rights);
}

LONG Win32Platform::RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) {
    return ::RegOpenKeyExA(root, subKey, 0, access, result);
}

LONG Win32Platform::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    FILETIME lastWrite;
    return ::RegEnumKeyExA(key, index, name, nameSize, nullptr, nullptr, nullptr, &lastWrite);
}

LONG Win32Platform::RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return ::RegQueryValueExA(key, name, nullptr, type, data, size);
}

LONG Win32Platform::RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExA(key, name, 0, type, data, size);
}

LONG Win32Platform::RegDeleteValueA(HKEY key, const char* name) { return ::RegDeleteValueA(key, name); }

LONG Win32Platform::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }
