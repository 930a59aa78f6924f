// The real program's waits a user can feel, fastest of five runs each:
// launch-to-ready (from process start until list 1000 holds every person)
// for an empty book and for 1000 persons; and, in a book of 1000 persons of
// one company, the person view filled again, the company view filled, and
// the company expanded and collapsed; with 200 groups of 100 members, the
// group view filled, a group expanded, and picked whole. Run it beside
// qvdutil.exe (under Wine: bench/run).
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
    for (int g = 0; groups && g < 200; ++g)
        for (int k = 0; k < 100; ++k) {
            const int i = g == 0 ? k : 100 + (g * 7 + k * 13) % 900;
            if (i < 100)
                file << "G" << g << ",g," << static_cast<char>('a' + i / 10) << "," << i % 10 << "\r\n";
            else
                file << "G" << g << ",g,山田" << i << ",03-1234-" << i << "\r\n";
        }
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

struct ListTimes {
    double personView = 1e9, companyView = 1e9, expand = 1e9, collapse = 1e9;
    double groupView = 1e9, groupExpand = 1e9, groupPick = 1e9;
};

// One company of 1000 members: each list operation of the running dialog;
// with |groups|, those of the group view.
ListTimes ListOperations(bool groups) {
    WriteBook(1000, 1, groups);
    ListTimes best;
    std::string exe = Beside("qvdutil.exe");
    std::string commandLine = "\"" + exe + "\" /s /m:Bench Driver";
    for (int run = 0; run < 5; ++run) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            break;
        HWND dialog = nullptr, list = nullptr, mode = nullptr;
        for (int i = 0; i < 20000 && !(list && IsWindowVisible(dialog)); ++i, Sleep(1)) {
            dialog = FindWindowA("#32770", "ｱﾄﾞﾚｽ帳");
            list = dialog ? GetDlgItem(dialog, 1000) : nullptr;
            mode = dialog ? GetDlgItem(dialog, 1002) : nullptr;
        }
        if (list && mode) {
            for (int i = 0; i < 20000 && SendMessageA(list, LB_GETCOUNT, 0, 0) != 1000; ++i) Sleep(1);
            auto choose = [&](int view) {
                SendMessageA(mode, CB_SETCURSEL, view, 0);
                return Handle(dialog, 1002, CBN_CLOSEUP);
            };
            if (groups) {
                best.groupView = std::min(best.groupView, choose(2));
                SendMessageA(list, LB_SETCURSEL, 0, 0);
                double expand = Handle(dialog, 1000, LBN_DBLCLK);
                if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 300) best.groupExpand = std::min(best.groupExpand, expand);
                SendMessageA(list, LB_SETCURSEL, 0, 0);
                double pick = Handle(dialog, 1003, BN_CLICKED);
                if (SendMessageA(GetDlgItem(dialog, 1001), LB_GETCOUNT, 0, 0) == 100)
                    best.groupPick = std::min(best.groupPick, pick);
                best.personView = std::min(best.personView, choose(0));
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
                CloseHandle(process.hProcess);
                CloseHandle(process.hThread);
                continue;
            }
            best.companyView = std::min(best.companyView, choose(1));
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            double expand = Handle(dialog, 1000, LBN_DBLCLK);
            if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 1001) best.expand = std::min(best.expand, expand);
            double collapse = Handle(dialog, 1000, LBN_DBLCLK);
            if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 1) best.collapse = std::min(best.collapse, collapse);
            best.personView = std::min(best.personView, choose(0));
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
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

}  // namespace

int main() {
    Fastest(0);  // warm-up: the first start of a process under Wine pays for loading
    double empty = Fastest(0);
    double full = Fastest(1000);
    std::printf("launch to ready, fastest of 5: empty book %.1f ms, 1000 persons %.1f ms, difference %.1f ms\n", empty,
                full, full - empty);
    WriteBook(0);  // no groups' file for the rest
    ListTimes list = ListOperations(false);
    std::printf("one company of 1000 persons, fastest of 5:\n"
                "  person view filled   %7.1f ms\n"
                "  company view filled  %7.1f ms\n"
                "  company expanded     %7.1f ms  (%.2f x the person view)\n"
                "  company collapsed    %7.1f ms  (%.2f x the person view)\n",
                list.personView, list.companyView, list.expand, list.expand / list.personView, list.collapse,
                list.collapse / list.personView);
    ListTimes group = ListOperations(true);
    std::printf("200 groups of 100 members beside 1000 persons, fastest of 5:\n"
                "  person view filled   %7.1f ms\n"
                "  group view filled    %7.1f ms  (%.2f x the person view)\n"
                "  group expanded       %7.1f ms  (%.2f x the person view)\n"
                "  group picked (100)   %7.1f ms  (%.2f x the person view)\n",
                group.personView, group.groupView, group.groupView / group.personView, group.groupExpand,
                group.groupExpand / group.personView, group.groupPick, group.groupPick / group.personView);
    DeleteFileA(SystemFile("QVDGROUP.CSV").c_str());
    return 0;
}
