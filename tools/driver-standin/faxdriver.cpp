// Plays the fax printer driver: makes sure a printer uses the driver, starts
// qvdutil.exe beside this program with "/s /m:<driver>", waits for it, and
// prints the two destination values as the driver reads them. It reads the
// registry on its own, without the program's code, so it checks the format
// as an outsider would.
//
//   faxdriver.exe <driver name> [printer name]
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kPrinters[] = "System\\CurrentControlSet\\control\\Print\\Printers";

// Code page 932 to the UTF-8 a Linux terminal expects.
std::string ForTerminal(const std::string& cp932) {
    if (cp932.empty()) return cp932;
    int wide = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), utf16.data(), wide);
    int narrow = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), narrow, nullptr, nullptr);
    return utf8;
}

void Print(const std::string& utf8) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// The key path of the first printer whose driver is |driver|, or "".
std::string FindPrinter(const std::string& driver) {
    HKEY printers;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPrinters, 0, KEY_READ, &printers) != ERROR_SUCCESS) return "";
    std::string found;
    for (DWORD index = 0; found.empty(); ++index) {
        char name[256];
        DWORD size = sizeof name;
        LONG status = RegEnumKeyExA(printers, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        std::string path = std::string(kPrinters) + "\\" + name;
        char value[512] = {};
        DWORD valueSize = sizeof value - 1;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "Printer Driver", RRF_RT_REG_SZ, nullptr, value,
                         &valueSize) == ERROR_SUCCESS &&
            driver == value)
            found = path;
    }
    RegCloseKey(printers);
    return found;
}

std::string RegisterPrinter(const std::string& printer, const std::string& driver) {
    std::string path = std::string(kPrinters) + "\\" + printer;
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return "";
    RegSetValueExA(key, "Printer Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver.c_str()),
                   static_cast<DWORD>(driver.size() + 1));
    HKEY data;
    if (RegCreateKeyExA(key, "PrinterDriverData", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &data, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(data);
    RegCloseKey(key);
    return path;
}

// The value's text as the driver takes it: up to the first zero byte.
bool ReadValue(const std::string& printer, const char* name, std::string& text, DWORD& type, DWORD& size) {
    std::string path = printer + "\\PrinterDriverData";
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    std::vector<char> data(4096);
    size = static_cast<DWORD>(data.size());
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    text.assign(data.data(), strnlen(data.data(), size));
    return true;
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        pieces.push_back(text.substr(start, comma - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

// The two values as the driver reads them, one line a destination.
void PrintValues(const std::string& printer, const char* when) {
    Print(std::string("-- ") + when + "\n");
    std::string faxNumbers, names;
    DWORD faxType = 0, faxSize = 0, nameType = 0, nameSize = 0;
    bool haveFax = ReadValue(printer, "FaxNumberBook", faxNumbers, faxType, faxSize);
    bool haveNames = ReadValue(printer, "FaxNumberBook2", names, nameType, nameSize);
    if (!haveFax || !haveNames) {
        Print("the destination values are missing\n");
        return;
    }
    char line[128];
    snprintf(line, sizeof line, "FaxNumberBook  (type %lu, %lu bytes): ", faxType, faxSize);
    Print(line + ForTerminal(faxNumbers) + "\n");
    snprintf(line, sizeof line, "FaxNumberBook2 (type %lu, %lu bytes): ", nameType, nameSize);
    Print(line + ForTerminal(names) + "\n");
    if (faxNumbers.empty() && names.empty()) {
        Print("no destinations\n");
        return;
    }
    std::vector<std::string> numbers = Split(faxNumbers), people = Split(names);
    for (size_t i = 0; i < people.size() || i < numbers.size(); ++i) {
        std::string person = i < people.size() ? people[i] : "?";
        std::string number = i < numbers.size() ? numbers[i] : "?";
        snprintf(line, sizeof line, "destination %zu: ", i + 1);
        Print(line + ForTerminal(person) + "  FAX " + ForTerminal(number) + "\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Print("usage: faxdriver.exe <driver name> [printer name]\n");
        return 2;
    }
    std::string driver = argv[1];
    std::string printer = FindPrinter(driver);
    if (printer.empty()) printer = RegisterPrinter(argc > 2 ? argv[2] : "FAX Printer", driver);
    if (printer.empty()) {
        Print("cannot register a printer for the driver\n");
        return 1;
    }
    Print("printer key: HKLM\\" + ForTerminal(printer) + "\n");

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe = self;
    exe = exe.substr(0, exe.find_last_of('\\') + 1) + "qvdutil.exe";
    std::string commandLine = "\"" + exe + "\" /s /m:" + driver;
    PrintValues(printer, "before");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Print("cannot start " + exe + "\n");
        return 1;
    }
    Print("started: " + ForTerminal(commandLine) + "\n");
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    PrintValues(printer, "after");
    return 0;
}
