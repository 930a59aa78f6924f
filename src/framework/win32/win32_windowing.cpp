// The windowing backend: the dialog procedure, the tips over the lists and
// the keyboard shortcuts; each call is one or two Win32 API calls.
#include "framework/win32/win32_windowing.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

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

INT_PTR Win32Windowing::RunModal(ModalWindow& dialog, HWND owner) {
    // Once for the thread, which is the program's only one.
    static HHOOK shortcuts = SetWindowsHookExA(WH_MSGFILTER, TranslateShortcuts, nullptr, GetCurrentThreadId());
    (void)shortcuts;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), owner, DialogProc,
                           reinterpret_cast<LPARAM>(&dialog));
}

void Win32Windowing::EndModal(HWND dialog, INT_PTR result) { EndDialog(dialog, result); }

HWND Win32Windowing::ItemHandle(HWND dialog, int id) { return GetDlgItem(dialog, id); }

LRESULT Win32Windowing::SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

namespace {

struct BackgroundWork {
    std::function<void()> work;
    HWND window;
    UINT message;
    WPARAM token;
};

DWORD WINAPI RunBackgroundWork(LPVOID parameter) {
    std::unique_ptr<BackgroundWork> job(static_cast<BackgroundWork*>(parameter));
    job->work();
    // A window closed meanwhile is no window any more: the post just fails.
    PostMessageA(job->window, job->message, job->token, 0);
    return 0;
}

}  // namespace

void Win32Windowing::RunInBackground(std::function<void()> work, HWND window, UINT message, WPARAM token) {
    auto* job = new BackgroundWork{std::move(work), window, message, token};
    HANDLE thread = CreateThread(nullptr, 0, RunBackgroundWork, job, 0, nullptr);
    // Without a thread, the work is done now: late rather than never.
    if (!thread) RunBackgroundWork(job);
    else CloseHandle(thread);
}

void Win32Windowing::EnableControl(HWND control, bool enable) { EnableWindow(control, enable); }

int Win32Windowing::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    // As the framework does: the box belongs to the topmost window of the
    // owner's family, so it stays above an open entry dialog.
    if (owner) owner = GetLastActivePopup(owner);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

std::string Win32Windowing::LoadStringResource(UINT id) {
    char buffer[256];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

HICON Win32Windowing::LoadIconResource(int id) { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

void Win32Windowing::SetIcons(HWND dialog, HICON icon) {
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void Win32Windowing::AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu) return;
    if (afterSeparator) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, command, text.c_str());
}

void Win32Windowing::AttachLineTips(HWND dialog, HWND list) {
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

void Win32Windowing::DiscardTypedCharacter(HWND window) {
    // The dialog manager translated the key before handing it on: its
    // character waits in the queue.
    MSG typed;
    PeekMessageA(&typed, window, WM_CHAR, WM_CHAR, PM_REMOVE);
}

bool Win32Windowing::PaintMinimisedIcon(HWND dialog, HICON icon) {
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
