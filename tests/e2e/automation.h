// Drives the real qvdutil.exe from another process, as a user would: finds
// its windows by caption, reads its controls, posts clicks (a handler may
// open a modal box, so a click is never sent and waited for), answers its
// message boxes, and reads what it leaves in the registry and the system
// directory. Texts are code page 932 throughout.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace e2e {

inline constexpr const char* kPrinters = "System\\CurrentControlSet\\control\\Print\\Printers";
inline constexpr const char* kDriver = "E2E FAX Driver";
inline const std::string kPrinterKey = std::string(kPrinters) + "\\E2E FAX";
inline const std::string kDataKey = kPrinterKey + "\\PrinterDriverData";

class Program {
public:
    // Starts qvdutil.exe (beside this test program) with |arguments|.
    explicit Program(const std::string& arguments, const std::string& exe = "qvdutil.exe");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool WaitForExit(DWORD milliseconds = 10000);
    bool Running() { return !WaitForExit(0); }
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }

    // The top-level window of this process with |caption|; null after the timeout.
    HWND WaitForWindow(const std::string& caption, DWORD milliseconds = 10000);
    HWND MainDialog() { return WaitForWindow("ｱﾄﾞﾚｽ帳"); }
    // The text of the next message box, answered with |button|.
    std::string AnswerBox(int button = IDOK, DWORD milliseconds = 10000);
    // True when no message box is open.
    bool NoBox(DWORD milliseconds = 500);

private:
    PROCESS_INFORMATION m_info = {};
};

// Runs qvdbook.exe (beside this test program) with |arguments| and no input;
// its exit code, and in |output| what it printed.
DWORD RunTool(const std::string& arguments, std::string& output);

// Waits until the window's thread has handled everything posted so far.
void WaitIdle(HWND window);

std::string Text(HWND window);
bool Enabled(HWND dialog, int id);
void Click(HWND dialog, int id);
void SelectLine(HWND dialog, int listId, int line);
void SelectLines(HWND dialog, int listId, const std::vector<int>& lines);
void DoubleClickLine(HWND dialog, int listId, int line);
void ChooseMode(HWND dialog, int mode);
void SetText(HWND dialog, int id, const std::string& text);
// Types ASCII characters one by one, as the keyboard would.
void Type(HWND dialog, int id, const std::string& ascii);
void PressKey(HWND window, UINT virtualKey);
// Keys held down together on the keyboard, the first ones first (Ctrl, then
// F), with the dialog of |window| in front.
void PressChord(HWND window, const std::vector<WORD>& keys);
void SystemCommand(HWND window, WPARAM command);

std::vector<std::string> Lines(HWND dialog, int listId);
std::vector<LPARAM> ItemData(HWND dialog, int listId);
std::vector<int> SelectedLines(HWND dialog, int listId);

// Address book file in the system directory
std::string BookPath();
void WriteBook(const std::string& bytes);
std::string ReadBook();
bool BookExists();
void RemoveBook();
std::string JournalPath();
// A file's bytes; "<none>" when it is not there.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Stays the same as long as the file is the same file.
struct FileIdentity {
    DWORD volume = 0;
    ULONGLONG index = 0;
    DWORD attributes = 0;  // but the archive bit
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index && attributes == other.attributes;
    }
};
FileIdentity IdentityOf(const std::string& path);
std::set<std::string> SystemDirectoryNames();
// As System32 is to a standard user: no file can be made in it (or, with
// false, as to an administrator). False when that does not hold afterwards:
// a Wine run by root ignores file permissions.
bool CloseSystemDirectory(bool closed);
// Makes the system directory's entry of the same name a symbolic link to
// |target|, a file elsewhere; false when it did not come to be.
bool LinkIntoSystemDirectory(const std::string& target);
// Removes the link of that |name|; false when it stays.
bool UnlinkFromSystemDirectory(const std::string& name);

// Registry under HKEY_LOCAL_MACHINE
void AddPrinter(const std::string& key = kPrinterKey, const std::string& driver = kDriver);
void RemovePrinters();
void SetValue(const std::string& key, const char* name, const std::string& text);
// Raw data of a value; |exists| false when it is missing.
std::vector<BYTE> ValueData(const std::string& key, const char* name, DWORD* type = nullptr, bool* exists = nullptr);
std::string ValueText(const std::string& key, const char* name);

// A dialog template as the exe carries it (DLGTEMPLATEEX), texts in code page 932.
struct ControlResource {
    int id;
    std::string className;  // "Button", "Edit", "Static", "ListBox", "ComboBox" or the name given
    std::string text;
    DWORD style;
    short x, y, cx, cy;
};
struct DialogResource {
    std::string caption;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::vector<ControlResource> controls;
};
// Read from qvdutil.exe beside this test program; empty when it has none.
DialogResource ReadDialogResource(int id);

// Every test starts with no copy running, no book and no printers.
class EndToEnd : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

std::string Row(const std::string& name, const std::string& fax, const std::string& company = "");

}  // namespace e2e
