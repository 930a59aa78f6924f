// The real program's waits a user can feel, fastest of five runs each:
// launch-to-ready (from process start until list 1000 holds every person)
// for an empty book and for 1000 persons; and, in a book of 1000 persons of
// one company, the person view filled again, the company view filled, and
// the company expanded and collapsed; with 200 groups of 100 members, the
// group view filled, a group expanded, and picked whole; the directory
// searched for a text 1500 persons match, and a server that never answers
// waited for. Run it beside qvdutil.exe (under Wine: bench/run, which starts
// the directory server).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string Beside(const char* name) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1) + name;
}

std::string SystemFile(const char* name) {
    char directory[MAX_PATH];
    GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\" + name;
}

// With |groups|, the first 100 persons have names and FAX numbers of one
// byte, so that the first group of 100 fits the driver's values whole.
void WriteBook(int persons, int companies = 40, bool groups = false) {
    std::ofstream out(SystemFile("QVDDATA.CSV"), std::ios::binary | std::ios::trunc);
    for (int i = 0; i < persons; ++i) {
        if (groups && i < 100)
            out << static_cast<char>('a' + i / 10) << ",a,Company,kaisha,eigyo," << i % 10 << ",,,,,,,\r\n";
        else
            out << "山田" << i << ",yamada,Company" << i % companies << ",kaisha,eigyo,03-1234-" << i << ",,,,,,,\r\n";
    }
    std::ofstream file(SystemFile("QVDGROUP.CSV"), std::ios::binary | std::ios::trunc);
    for (int g = 0, i = 0; groups && g < 200; ++g)  // each of them, in an order of its own
        for (int k = 0; k < 100; ++k, i = (g * 7 + k * 13) % 100)
            file << "G" << g << ",g," << static_cast<char>('a' + i / 10) << "," << i % 10 << "\r\n";
}

double Now() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds the dialog takes to handle a command, sent from here: the
// call returns when the handler has.
double Handle(HWND dialog, int id, WORD code) {
    double start = Now();
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return Now() - start;
}

// A run of qvdutil.exe, its main dialog shown (nullptr when it never was).
struct Running {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
};
Running Start() {
    Running run;
    std::string exe = Beside("qvdutil.exe");
    std::string commandLine = "\"" + exe + "\" /s /m:Bench Driver";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &run.process))
        return run;
    for (int i = 0; i < 20000 && !(run.dialog && IsWindowVisible(run.dialog)); ++i, Sleep(1))
        run.dialog = FindWindowA("#32770", "ｱﾄﾞﾚｽ帳");
    return run;
}
void End(Running& run) {
    if (run.dialog) PostMessageA(run.dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (WaitForSingleObject(run.process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(run.process.hProcess, 1);
    CloseHandle(run.process.hProcess);
    CloseHandle(run.process.hThread);
}

struct ListTimes {
    double personView = 1e9, view = 1e9, expand = 1e9, after = 1e9;  // after: collapsed, or picked
};

// One company of 1000 members: each list operation of the running dialog;
// with |groups|, those of the group view.
ListTimes ListOperations(bool groups) {
    WriteBook(1000, 1, groups);
    ListTimes best;
    for (int run = 0; run < 5; ++run) {
        Running running = Start();
        HWND dialog = running.dialog;
        HWND list = dialog ? GetDlgItem(dialog, 1000) : nullptr, mode = dialog ? GetDlgItem(dialog, 1002) : nullptr;
        if (list && mode) {
            for (int i = 0; i < 20000 && SendMessageA(list, LB_GETCOUNT, 0, 0) != 1000; ++i) Sleep(1);
            auto choose = [&](int view) {
                SendMessageA(mode, CB_SETCURSEL, view, 0);
                return Handle(dialog, 1002, CBN_CLOSEUP);
            };
            best.view = std::min(best.view, choose(groups ? 2 : 1));
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            double expand = Handle(dialog, 1000, LBN_DBLCLK);
            if (SendMessageA(list, LB_GETCOUNT, 0, 0) == (groups ? 300 : 1001)) best.expand = std::min(best.expand, expand);
            // The company closes again; the group is picked whole.
            double after = Handle(dialog, groups ? 1003 : 1000, groups ? BN_CLICKED : LBN_DBLCLK);
            if (SendMessageA(GetDlgItem(dialog, groups ? 1001 : 1000), LB_GETCOUNT, 0, 0) == (groups ? 100 : 1))
                best.after = std::min(best.after, after);
            best.personView = std::min(best.personView, choose(0));
        }
        End(running);
    }
    return best;
}

// Milliseconds from CreateProcess until list 1000 holds |lines| lines.
double LaunchToReady(int lines) {
    std::string exe = Beside("qvdutil.exe");
    std::string commandLine = "\"" + exe + "\" /s /m:Bench Driver";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    double elapsed = -1;
    for (int i = 0; i < 20000; ++i) {
        HWND dialog = FindWindowA("#32770", "ｱﾄﾞﾚｽ帳");
        HWND list = dialog ? GetDlgItem(dialog, 1000) : nullptr;
        if (list && IsWindowVisible(dialog) && SendMessageA(list, LB_GETCOUNT, 0, 0) == lines) {
            QueryPerformanceCounter(&now);
            elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            break;
        }
        Sleep(0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return elapsed;
}

double Fastest(int persons) {
    WriteBook(persons);
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        double ms = LaunchToReady(persons);
        if (ms >= 0 && ms < best) best = ms;
    }
    return best;
}

// The policy naming the directory server on |port| of this machine.
void SetDirectoryPolicy(const std::string& port) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Policies\\qvdutil\\Directory", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    const DWORD one = 1, seconds = 2;
    for (auto [name, value] : {std::pair<const char*, const DWORD*>{"Enabled", &one}, {"Anonymous", &one}, {"TimeLimit", &seconds}})
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(value), sizeof(DWORD));
    const std::string server = "127.0.0.1:" + port, filter = "(&(objectClass=inetOrgPerson)(facsimileTelephoneNumber=*))";
    for (auto [name, text] : {std::pair<const char*, const std::string*>{"Server", &server}, {"Filter", &filter}})
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()), static_cast<DWORD>(text->size() + 1));
    RegCloseKey(key);
}

struct SearchTimes {
    double shown = 1e9;    // until the list shows |lines| lines, fastest
    double answered = 0;   // the longest the window took to answer meanwhile
};

// Ctrl+D, a search for "大量" until the results list holds |lines| lines (0:
// until the search has ended), the window asked every 5 ms meanwhile.
SearchTimes DirectorySearch(int lines) {
    SearchTimes best;
    for (int run = 0; run < 5; ++run) {
        Running running = Start();
        HWND dialog = running.dialog, search = nullptr;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(32774, 1), 0);  // Ctrl+D
        for (int i = 0; i < 20000 && !(search && IsWindowVisible(search)); ++i, Sleep(1)) search = FindWindowA("#32770", "ﾃﾞｨﾚｸﾄﾘで探す");
        if (search) {
            SetDlgItemTextA(search, 1040, "大量");
            const double start = Now();
            PostMessageA(search, WM_COMMAND, MAKEWPARAM(1041, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(search, 1041)));
            for (int i = 0; i < 4000; ++i, Sleep(5)) {
                const double asked = Now();
                DWORD_PTR count = 0;
                SendMessageTimeoutA(GetDlgItem(search, 1044), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 10000, &count);
                best.answered = std::max(best.answered, Now() - asked);
                const bool ended = i > 2 && IsWindowEnabled(GetDlgItem(search, 1041));
                if (lines ? static_cast<int>(count) == lines : ended) {
                    best.shown = std::min(best.shown, Now() - start);
                    break;
                }
            }
            // The box that tells why, if any, then the search and the program.
            if (HWND box = FindWindowA("#32770", "qvdutil")) PostMessageA(box, WM_COMMAND, IDOK, 0);
            Sleep(300);
            PostMessageA(search, WM_COMMAND, IDCANCEL, 0);
            Sleep(300);
        }
        End(running);
    }
    return best;
}

}  // namespace

int main() {
    Fastest(0);  // warm-up: the first start of a process under Wine pays for loading
    double empty = Fastest(0);
    double full = Fastest(1000);
    std::printf("launch to ready, fastest of 5: empty book %.1f ms, 1000 persons %.1f ms, difference %.1f ms\n", empty,
                full, full - empty);
    WriteBook(0);  // no groups' file for the rest
    for (bool groups : {false, true}) {
        ListTimes list = ListOperations(groups);
        std::printf("%s, fastest of 5, the person view filled %.1f ms; as many times that: the %s view filled %.2f, "
                    "a %s expanded %.2f, %s %.2f\n", groups ? "200 groups of 100 beside 1000 persons" : "one company of 1000 persons",
                    list.personView, groups ? "group" : "company", list.view / list.personView, groups ? "group" : "company",
                    list.expand / list.personView, groups ? "picked whole" : "collapsed", list.after / list.personView);
    }
    DeleteFileA(SystemFile("QVDGROUP.CSV").c_str());
    char port[16] = {}, silent[16] = {};
    if (GetEnvironmentVariableA("QVD_LDAP_PORT", port, sizeof port) && GetEnvironmentVariableA("QVD_LDAP_SILENT_PORT", silent, sizeof silent)) {
        WriteBook(10);
        SetDirectoryPolicy(port);
        const SearchTimes found = DirectorySearch(100);
        SetDirectoryPolicy(silent);
        const SearchTimes waited = DirectorySearch(0);
        std::printf("directory, 1500 persons match: the first 100 shown %.0f ms (fastest of 5), the window answered within "
                    "%.1f ms; a server that never answers (time limit 2 s): given up after %.0f ms, the window answered within %.1f ms\n",
                    found.shown, found.answered, waited.shown, waited.answered);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Policies\\qvdutil\\Directory");
    }
    return 0;
}
