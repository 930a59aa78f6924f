#include "automation.h"
#include "res/resource.h"

#include <cstring>

#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace e2e {

namespace {

std::string Directory() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string FromWide(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int size = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

struct Search {
    DWORD process;
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) return TRUE;
    if (Text(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// Deliveries whose handler has returned; a handler that opened a modal box
// returns long after its Deliver did, so the mark cannot live on its stack.
std::set<ULONG_PTR> g_delivered;
ULONG_PTR g_nextDelivery = 0;

void CALLBACK Delivered(HWND, UINT, ULONG_PTR delivery, LRESULT) { g_delivered.insert(delivery); }

// Delivers a message without blocking on it: returns once the handler has
// run, or once it has opened a modal box (which disables the dialog), or
// once the window is gone.
void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ULONG_PTR delivery = ++g_nextDelivery;
    if (!SendMessageCallbackA(window, message, wParam, lParam, Delivered, delivery)) return;
    for (int waited = 0; waited < 10000; waited += 5) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (g_delivered.count(delivery) || !IsWindow(window) || !IsWindowEnabled(window)) break;
        Sleep(5);
    }
}

void Notify(HWND dialog, int id, WORD code) {
    Deliver(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(dialog, id)));
}

void KillRunningCopies() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, "qvdutil.exe") != 0) continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!process) continue;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

// Opens (or creates) a key one component at a time: Wine cannot open a path
// of more than 260 characters in one call. Null when it cannot.
HKEY OpenPath(const std::string& path, REGSAM access, bool create) {
    HKEY key = HKEY_LOCAL_MACHINE;
    for (size_t start = 0; start <= path.size();) {
        size_t slash = path.find('\\', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        HKEY next = nullptr;
        LONG status = create ? RegCreateKeyExA(key, part.c_str(), 0, nullptr, 0, access, nullptr, &next, nullptr)
                             : RegOpenKeyExA(key, part.c_str(), 0, access, &next);
        if (key != HKEY_LOCAL_MACHINE) RegCloseKey(key);
        if (status != ERROR_SUCCESS) return nullptr;
        key = next;
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return key;
}

}  // namespace

// ---- processes and windows ----------------------------------------------------

Program::Program(const std::string& arguments, const std::string& exe) {
    std::string path = Directory() + exe;
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &m_info))
        ADD_FAILURE() << "cannot start " << path;
}

DWORD RunTool(const std::string& arguments, std::string& output) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    CreatePipe(&reader, &writer, &inherited, 0);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                               nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = startup.hStdError = writer;
    std::string path = Directory() + "qvdbook.exe", commandLine = "\"" + path + "\" " + arguments;
    PROCESS_INFORMATION info = {};
    DWORD code = ~0u;
    bool started = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &info);
    CloseHandle(writer);
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(reader, buffer, sizeof buffer, &got, nullptr) && got) output.append(buffer, got);
        WaitForSingleObject(info.hProcess, 30000);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    } else {
        ADD_FAILURE() << "cannot start " << path;
    }
    CloseHandle(reader);
    CloseHandle(input);
    return code;
}

Program::~Program() {
    if (m_info.hProcess) {
        if (Running()) {
            TerminateProcess(m_info.hProcess, 1);
            WaitForSingleObject(m_info.hProcess, 5000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
}

bool Program::WaitForExit(DWORD milliseconds) {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, milliseconds) == WAIT_OBJECT_0;
}

HWND Program::WaitForWindow(const std::string& caption, DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 50) {
        Search search = {m_info.dwProcessId, caption, nullptr};
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            WaitIdle(search.found);
            return search.found;
        }
        if (waited >= milliseconds || !Running()) return nullptr;
        Sleep(50);
    }
}

std::string Program::AnswerBox(int button, DWORD milliseconds) {
    HWND box = WaitForWindow("qvdutil", milliseconds);
    if (!box) return "<no message box>";
    std::string text = Text(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
    return text;
}

bool Program::NoBox(DWORD milliseconds) { return WaitForWindow("qvdutil", milliseconds) == nullptr; }

void WaitIdle(HWND window) {
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    Sleep(30);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

std::string Text(HWND window) {
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, nullptr);
    return text;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(Item(dialog, id)) != FALSE; }

void Click(HWND dialog, int id) { Notify(dialog, id, BN_CLICKED); }

void SelectLine(HWND dialog, int listId, int line) {
    SendMessageA(Item(dialog, listId), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    Notify(dialog, listId, LBN_SELCHANGE);
}

void SelectLines(HWND dialog, int listId, const std::vector<int>& lines) {
    HWND list = Item(dialog, listId);
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int line : lines) SendMessageA(list, LB_SETSEL, TRUE, line);
    Notify(dialog, listId, LBN_SELCHANGE);
}

void DoubleClickLine(HWND dialog, int listId, int line) {
    SelectLine(dialog, listId, line);
    Notify(dialog, listId, LBN_DBLCLK);
}

void ChooseMode(HWND dialog, int mode) {
    SendMessageA(Item(dialog, IDC_DISPLAY_MODE), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
    Notify(dialog, IDC_DISPLAY_MODE, CBN_SELCHANGE);
    Notify(dialog, IDC_DISPLAY_MODE, CBN_CLOSEUP);
}

namespace {

// Reads the parts of a DLGTEMPLATEEX in order.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    template <class T>
    T Take() {
        T value{};
        if (m_pos + sizeof(T) <= m_size) std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    // A name or an ordinal: 0 none, 0xFFFF then a number, else a zero-ended string.
    std::string NameOrOrdinal() {
        WORD first = Take<WORD>();
        if (first == 0) return std::string();
        if (first == 0xFFFF) {
            static const std::pair<WORD, const char*> kClasses[] = {
                {0x80, "Button"}, {0x81, "Edit"}, {0x82, "Static"}, {0x83, "ListBox"}, {0x84, "ScrollBar"},
                {0x85, "ComboBox"}};
            WORD ordinal = Take<WORD>();
            for (const auto& [number, name] : kClasses)
                if (number == ordinal) return name;
            return "#" + std::to_string(ordinal);
        }
        m_pos -= sizeof(WORD);
        return String();
    }
    std::string String() {
        std::wstring text;
        for (WORD c; (c = Take<WORD>()) != 0 && m_pos <= m_size;) text.push_back(static_cast<wchar_t>(c));
        int length = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(length), '\0');
        WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
        return out;
    }
    void AlignToDword() { m_pos = (m_pos + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { m_pos += bytes; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

}  // namespace

DialogResource ReadDialogResource(int id) {
    DialogResource dialog;
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe = path;
    exe = exe.substr(0, exe.find_last_of('\\') + 1) + "qvdutil.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return dialog;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data) {
        TemplateReader in(data, SizeofResource(module, found));
        in.Skip(2 * sizeof(WORD) + sizeof(DWORD));  // version, signature, help id
        dialog.exStyle = in.Take<DWORD>();
        dialog.style = in.Take<DWORD>();
        WORD count = in.Take<WORD>();
        dialog.x = in.Take<short>();
        dialog.y = in.Take<short>();
        dialog.cx = in.Take<short>();
        dialog.cy = in.Take<short>();
        in.NameOrOrdinal();  // menu
        in.NameOrOrdinal();  // class
        dialog.caption = in.String();
        if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
            in.Skip(2 * sizeof(WORD) + 2);  // point size, weight, italic, character set
            in.String();
        }
        for (WORD i = 0; i < count; ++i) {
            in.AlignToDword();
            ControlResource control{};
            in.Skip(2 * sizeof(DWORD));  // help id, extended style
            control.style = in.Take<DWORD>();
            control.x = in.Take<short>();
            control.y = in.Take<short>();
            control.cx = in.Take<short>();
            control.cy = in.Take<short>();
            control.id = static_cast<int>(in.Take<DWORD>());
            control.className = in.NameOrOrdinal();
            control.text = in.NameOrOrdinal();
            in.Skip(in.Take<WORD>());  // creation data
            dialog.controls.push_back(control);
        }
    }
    FreeLibrary(module);
    return dialog;
}

void SetText(HWND dialog, int id, const std::string& text) {
    SendMessageA(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    WaitIdle(dialog);
}

void Type(HWND dialog, int id, const std::string& ascii) {
    HWND edit = Item(dialog, id);
    for (char c : ascii) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

void PressKey(HWND window, UINT virtualKey) {
    // Posted, so that the dialog's own loop sees it as keyboard input.
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
    Sleep(200);
    WaitIdle(GetAncestor(window, GA_ROOT));
}

void PressChord(HWND window, const std::vector<WORD>& keys) {
    // Through the input queue, so that the keyboard state holds the modifiers.
    HWND dialog = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(dialog);
    std::vector<INPUT> inputs;
    auto press = [&inputs](WORD key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys) press(key, 0);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) press(*key, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(300);
    WaitIdle(dialog);
}

void SystemCommand(HWND window, WPARAM command) { Deliver(window, WM_SYSCOMMAND, command, 0); }

std::vector<std::string> Lines(HWND dialog, int listId) {
    HWND list = Item(dialog, listId);
    std::vector<std::string> lines;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        // Across processes the text comes back as UTF-16.
        int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        int copied = static_cast<int>(SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data())));
        text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
        lines.push_back(FromWide(text));
    }
    return lines;
}

std::vector<LPARAM> ItemData(HWND dialog, int listId) {
    HWND list = Item(dialog, listId);
    std::vector<LPARAM> data;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) data.push_back(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    return data;
}

std::vector<int> SelectedLines(HWND dialog, int listId) {
    HWND list = Item(dialog, listId);
    std::vector<int> selected;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) selected.push_back(i);
    return selected;
}

// ---- the address book file -------------------------------------------------------

std::string BookPath() {
    char directory[MAX_PATH];
    GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\QVDDATA.CSV";
}

void WriteBook(const std::string& bytes) {
    std::ofstream out(BookPath(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBook() {
    std::ifstream in(BookPath(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool BookExists() { return GetFileAttributesA(BookPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveBook() { DeleteFileA(BookPath().c_str()); }

std::string JournalPath() { return BookPath().substr(0, BookPath().size() - 3) + "TMP"; }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<none>";
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

FileIdentity IdentityOf(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (file == INVALID_HANDLE_VALUE) return {};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return {info.dwVolumeSerialNumber, (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
            info.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE};
}

std::set<std::string> SystemDirectoryNames() {
    char directory[MAX_PATH];
    GetSystemDirectoryA(directory, MAX_PATH);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(directory) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

namespace {

std::string UnixPathOf(const std::string& path) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
    char* unix = unixName(wide);
    if (!unix) return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Starts a Unix program, as Wine can; it does not wait for it.
bool StartUnixCommand(std::string command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

}  // namespace

bool LinkIntoSystemDirectory(const std::string& target) {
    const std::string name = target.substr(target.find_last_of('\\'));
    const std::string folder = BookPath().substr(0, BookPath().find_last_of('\\'));
    const std::string from = UnixPathOf(target), to = UnixPathOf(folder) + "/" + name.substr(1);
    if (from.empty() || !StartUnixCommand("/bin/ln -sf \"" + from + "\" \"" + to + "\"")) return false;
    // Wine does not wait for a Unix program: the name tells when it is there.
    for (int i = 0; i < 100; ++i, Sleep(50))
        if (GetFileAttributesA((folder + name).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    return false;
}

bool UnlinkFromSystemDirectory(const std::string& name) {
    const std::string path = BookPath().substr(0, BookPath().find_last_of('\\') + 1) + name;
    // Wine's DeleteFile removes what a link points to, not the link.
    if (!StartUnixCommand("/bin/rm -f \"" + UnixPathOf(path) + "\"")) return false;
    for (int i = 0; i < 100; ++i, Sleep(50)) {
        HANDLE made = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (made != INVALID_HANDLE_VALUE) return CloseHandle(made);
    }
    return false;
}

bool CloseSystemDirectory(bool closed) {
    // Permissions are the Unix side's: chmod, started through Wine, which
    // runs Unix programs too.
    WCHAR directory[MAX_PATH];
    GetSystemDirectoryW(directory, MAX_PATH);
    char narrow[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, directory, -1, narrow, sizeof narrow, nullptr, nullptr);
    const std::string unix = UnixPathOf(narrow);
    if (unix.empty() || !StartUnixCommand(std::string("/bin/chmod ") + (closed ? "a-w" : "u+w") + " \"" + unix + "\""))
        return false;
    // Wine does not wait for a Unix program; the directory tells when it is done.
    // Only a Unix user other than root is held to it.
    const std::string folder = BookPath().substr(0, BookPath().find_last_of('\\'));
    for (int i = 0; i < 100; ++i, Sleep(50)) {
        std::string probe = folder + "\\qvd-probe-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(i) + ".tmp";
        HANDLE made = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        bool denied = made == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED;
        if (made != INVALID_HANDLE_VALUE) CloseHandle(made);
        if (denied == closed) return true;
    }
    return false;
}

// ---- registry ------------------------------------------------------------------

void AddPrinter(const std::string& key, const std::string& driver) {
    HKEY printer = OpenPath(key, KEY_ALL_ACCESS, true), data;
    RegSetValueExA(printer, "Printer Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver.c_str()),
                   static_cast<DWORD>(driver.size() + 1));
    RegCreateKeyExA(printer, "PrinterDriverData", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &data, nullptr);
    RegCloseKey(data);
    RegCloseKey(printer);
}

void RemovePrinters() {
    HKEY printers;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPrinters, 0, KEY_ALL_ACCESS, &printers) != ERROR_SUCCESS) return;
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(printers, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (std::string(name).rfind("E2E", 0) == 0) names.push_back(name);
    }
    for (const std::string& printer : names) RegDeleteTreeA(printers, printer.c_str());
    RegCloseKey(printers);
}

void SetValue(const std::string& key, const char* name, const std::string& text) {
    std::vector<BYTE> data(256, 0);
    std::copy(text.begin(), text.end(), data.begin());
    HKEY handle = OpenPath(key, KEY_SET_VALUE, false);
    if (!handle) return;
    RegSetValueExA(handle, name, 0, REG_SZ, data.data(), 256);
    RegCloseKey(handle);
}

std::vector<BYTE> ValueData(const std::string& key, const char* name, DWORD* type, bool* exists) {
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    HKEY handle = OpenPath(key, KEY_QUERY_VALUE, false);
    bool found = handle != nullptr;
    if (found) {
        found = RegQueryValueExA(handle, name, nullptr, type, data.data(), &size) == ERROR_SUCCESS;
        RegCloseKey(handle);
    }
    if (exists) *exists = found;
    data.resize(found ? size : 0);
    return data;
}

std::string ValueText(const std::string& key, const char* name) {
    bool exists = false;
    std::vector<BYTE> data = ValueData(key, name, nullptr, &exists);
    if (!exists) return "<missing>";
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

// ---- fixture --------------------------------------------------------------------

void EndToEnd::SetUp() {
    ASSERT_EQ(GetACP(), 932u) << "the ja_JP.UTF-8 locale is missing: Japanese texts would be mojibake";
    KillRunningCopies();
    ASSERT_TRUE(CloseSystemDirectory(false));
    RemoveBook();
    DeleteFileA(JournalPath().c_str());
    RemovePrinters();
}

void EndToEnd::TearDown() {
    KillRunningCopies();
    CloseSystemDirectory(false);
    RemovePrinters();
}

std::string Row(const std::string& name, const std::string& fax, const std::string& company) {
    return name + ",よみ," + company + ",,," + fax + ",,,,,,,\r\n";
}

}  // namespace e2e
