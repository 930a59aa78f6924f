// qvdbook.exe: the console, the command line and the administrator's own
// file; the book itself goes through the same store as the program's.
#include "book/book_file.h"
#include "book/book_location.h"
#include "tool/book_tool.h"
#include "tool/messages.h"
#include "system/win32/win32_directory.h"
#include "system/win32/win32_files.h"
#include "system/win32/win32_registry.h"
#include "system/win32/win32_security.h"
#include "system/win32/code_page_win32.h"

#include <string>
#include <vector>

namespace {

// A name from the book may hold bytes that are no characters: shown as such, not dropped.
std::wstring WideFromCp932(std::string_view text) { return WideText(kShiftJis, text, 0).value_or(L""); }

std::string Cp932FromWide(const std::wstring& wide) { return NarrowText(kShiftJis, wide); }

// A console shows the texts as characters whatever its code page; a file or
// a pipe gets the program's own code page, CR LF.
class Console : public ToolConsole {
public:
    void Print(std::string_view line) override { Write(std::string(line) + "\n"); }

    std::string Ask(std::string_view question) override {
        Write(question);
        std::string answer;
        DWORD mode = 0;
        if (GetConsoleMode(m_in, &mode)) {
            wchar_t buffer[256];
            DWORD read = 0;
            if (ReadConsoleW(m_in, buffer, 255, &read, nullptr)) answer = Cp932FromWide(std::wstring(buffer, read));
        } else {
            char c;
            DWORD read = 0;
            while (ReadFile(m_in, &c, 1, &read, nullptr) && read == 1 && c != '\n') answer += c;
        }
        while (!answer.empty() && (answer.back() == '\r' || answer.back() == '\n' || answer.back() == ' '))
            answer.pop_back();
        if (!m_outIsConsole) Write("\n");
        return answer;
    }

private:
    void Write(std::string_view text) {
        std::string lines;
        for (char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
        DWORD written = 0;
        if (m_outIsConsole) {
            std::wstring wide = WideFromCp932(lines);
            WriteConsoleW(m_out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        } else {
            WriteFile(m_out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
        }
    }

    HANDLE m_out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE m_in = GetStdHandle(STD_INPUT_HANDLE);
    bool m_outIsConsole = [this] {
        DWORD mode = 0;
        return GetConsoleMode(m_out, &mode) != 0;
    }();
};

// A 32-bit copy on a 64-bit Windows is shown SysWOW64 in place of the
// system directory: a book the program never reads.
bool RunsUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The same file, whatever the name it is reached by.
bool SameFile(HANDLE file, const std::string& path) {
    HANDLE other = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a, b;
    bool same = GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(other, &b) &&
                a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(other);
    return same;
}

// The export may not take the place of the book or its journal, whatever
// name reaches them.
bool NamesTheBook(Files& files, Registry& registry, const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BookLocation location = LocateBook(files, registry);
    bool book = SameFile(file, location.Path(kAddressBookFileName)) ||
                SameFile(file, location.Path(kAddressBookJournalFileName));
    CloseHandle(file);
    return book;
}

bool ReadImport(Console& console, Files& files, const std::wstring& path, std::string& bytes) {
    if (IsDeviceName(Cp932FromWide(path))) {
        console.Print(toolmsg::ImportDevice(Cp932FromWide(path)));
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        console.Print(toolmsg::ImportPipe(Cp932FromWide(path)));
        return false;
    }
    LARGE_INTEGER size = {};
    // Far more than 1000 persons and 64 rows of 13 full fields can be.
    constexpr LONGLONG kLargest = 256ll << 20;
    bool read = file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size) && size.QuadPart <= kLargest;
    if (read) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        read = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                 got == bytes.size());
    }
    if (!read)
        console.Print(toolmsg::CannotReadImport(files.LastFileErrorText(), size.QuadPart > kLargest));
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return read;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Console console;
    if (RunsUnderWow64()) {
        console.Print(toolmsg::kWow64);
        return kExitRefused;
    }
    std::vector<std::wstring> wide(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (const std::wstring& argument : wide) arguments.push_back(Cp932FromWide(argument));
    std::optional<ToolCommand> command = ParseToolCommand(arguments);
    if (!command || command->verb == ToolCommand::Verb::Help) {
        console.Print(toolmsg::kUsage);
        return command ? kExitDone : kExitUsage;
    }

    Win32Files files;
    Win32Registry registry;
    Win32Security security;
    Win32Directory directory;
    BookTool tool(files, registry, security, directory, console);
    switch (command->verb) {
    case ToolCommand::Verb::Export: {
        const std::wstring& path = wide[command->fileArgument];
        if (NamesTheBook(files, registry, path)) {
            console.Print(toolmsg::kExportToBook);
            return kExitRefused;
        }
        // The file calls take the program's code page.
        if (WideFromCp932(arguments[command->fileArgument]) != path) {
            console.Print(toolmsg::kExportNameNotShiftJis);
            return kExitRefused;
        }
        return tool.Export(arguments[command->fileArgument], command->utf8, command->groups);
    }
    case ToolCommand::Verb::Import: {
        std::string bytes;
        return ReadImport(console, files, wide[command->fileArgument], bytes)
                   ? (command->groups ? tool.ImportGroups(bytes, command->confirmed)
                                      : tool.Import(bytes, command->confirmed, command->mayEmpty))
                   : kExitRefused;
    }
    case ToolCommand::Verb::Check:
        return tool.Check(command->driverName);
    case ToolCommand::Verb::Setup:
        return tool.Setup(command->driverName);
    case ToolCommand::Verb::Help:
        break;
    }
    return kExitUsage;
}
