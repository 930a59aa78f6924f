// Uses the running qvdutil.exe as a user would, for the demo and the
// screenshots: picks a person and adds it, switches to the company view and
// expands a company, for the README also rests the mouse on a line for its
// tip, opens the property dialog, finds a person, picks a group and opens
// the group dialog, then presses OK.
// Before each picture it writes <name>.ready into the given folder and waits
// for <name>.done, so the caller can take a screenshot in between.
//
//   democlient.exe <folder> [--docs]
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

#include "res/resource.h"

namespace {

std::string g_folder;

HWND WaitForWindow(const char* caption) {
    for (int i = 0; i < 300; ++i, Sleep(100)) {
        HWND window = FindWindowA("#32770", caption);
        if (window && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Lets the caller take a picture of what is on the screen now.
void Picture(const char* name) {
    Sleep(500);
    std::string ready = g_folder + "\\" + name + ".ready", done = g_folder + "\\" + name + ".done";
    CloseHandle(CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int i = 0; i < 300 && !Exists(done); ++i) Sleep(100);
}

void Command(HWND dialog, int id, WORD code) {
    // Sent with a callback, so a handler that opens a modal box does not block us.
    SendMessageCallbackA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)),
                         nullptr, 0);
    Sleep(300);
}

void Select(HWND dialog, int list, int line) {
    SendMessageA(GetDlgItem(dialog, list), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    Command(dialog, list, LBN_SELCHANGE);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: democlient.exe <folder> [--docs]\n");
        return 2;
    }
    g_folder = argv[1];
    bool docs = argc > 2 && std::string(argv[2]) == "--docs";
    HWND dialog = WaitForWindow("ｱﾄﾞﾚｽ帳");
    if (!dialog) return 1;
    Sleep(500);

    if (docs) {
        // The mouse on the first line, until its tip shows; then off the dialog again.
        HWND list = GetDlgItem(dialog, IDC_ADDRESS_LIST);
        RECT line;
        SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
        POINT at = {line.left + 20, (line.top + line.bottom) / 2};
        ClientToScreen(list, &at);
        SetCursorPos(at.x - 1, at.y);
        Sleep(100);
        SetCursorPos(at.x, at.y);
        Sleep(1500);
        Picture("line-tip");
        SetCursorPos(0, 0);
        Sleep(500);
    }

    Select(dialog, IDC_ADDRESS_LIST, 2);
    Command(dialog, IDC_ADD_DESTINATION, BN_CLICKED);
    Picture("person-view");

    SendMessageA(GetDlgItem(dialog, IDC_DISPLAY_MODE), CB_SETCURSEL, 1, 0);
    Command(dialog, IDC_DISPLAY_MODE, CBN_SELCHANGE);
    Command(dialog, IDC_DISPLAY_MODE, CBN_CLOSEUP);
    Select(dialog, IDC_ADDRESS_LIST, 0);
    Command(dialog, IDC_ADDRESS_LIST, LBN_DBLCLK);
    Picture("company-view");

    if (docs) {
        Select(dialog, IDC_ADDRESS_LIST, 1);
        Command(dialog, IDC_PROPERTIES, BN_CLICKED);
        HWND entry = WaitForWindow("ﾌﾟﾛﾊﾟﾃｨ");
        if (entry) {
            Picture("property-dialog");
            SendMessageCallbackA(entry, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, nullptr, 0);
            Sleep(500);
        }
        // The find dialog, as Ctrl+F opens it, with a reading typed in half-width kana.
        Command(dialog, IDC_FIND, 1);
        HWND find = WaitForWindow("検索");
        if (find) {
            SetDlgItemTextA(find, IDC_FIND_TEXT, "ﾀｶﾊｼ");
            Picture("find-dialog");
            SendMessageCallbackA(find, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0, nullptr, 0);
            Sleep(500);
        }
        // The group view, a group open and picked whole; then its dialog.
        SendMessageA(GetDlgItem(dialog, IDC_DISPLAY_MODE), CB_SETCURSEL, 2, 0);
        Command(dialog, IDC_DISPLAY_MODE, CBN_CLOSEUP);
        Select(dialog, IDC_ADDRESS_LIST, 0);
        Command(dialog, IDC_ADDRESS_LIST, LBN_DBLCLK);
        Select(dialog, IDC_ADDRESS_LIST, 0);
        Command(dialog, IDC_ADD_DESTINATION, BN_CLICKED);
        Picture("group-view");
        Command(dialog, IDC_PROPERTIES, BN_CLICKED);
        if (HWND group = WaitForWindow("ｸﾞﾙｰﾌﾟ")) {
            Picture("group-dialog");
            SendMessageCallbackA(group, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, nullptr, 0);
            Sleep(500);
        }
        // The directory searched for a company's reading, as Ctrl+D opens it.
        Command(dialog, IDC_DIRECTORY, 1);
        if (HWND search = WaitForWindow("ﾃﾞｨﾚｸﾄﾘで探す")) {
            SetDlgItemTextA(search, IDC_DIRECTORY_TEXT, "ほくと");
            Command(search, IDC_DIRECTORY_SEARCH, BN_CLICKED);
            for (int i = 0; i < 100 && !IsWindowEnabled(GetDlgItem(search, IDC_DIRECTORY_SEARCH)); ++i) Sleep(100);
            SendMessageA(GetDlgItem(search, IDC_DIRECTORY_RESULTS), LB_SETSEL, TRUE, 0);
            Command(search, IDC_DIRECTORY_RESULTS, LBN_SELCHANGE);
            Picture("directory-search");
            SendMessageCallbackA(search, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, nullptr, 0);
            Sleep(500);
        }
    }
    Command(dialog, IDOK, BN_CLICKED);
    return 0;
}
