// qvdbook.exe as an administrator uses it, run as a standard user with the
// install guide's grants: the book and its journal, and no file can be made
// in the system directory.
#include <cstdlib>

#include "automation.h"
#include "tool/messages.h"

using namespace e2e;

namespace {

class ToolTest : public EndToEnd {};

bool Has(const std::string& output, const std::string& text) { return output.find(text) != std::string::npos; }

TEST_F(ToolTest, ExportImportAndCheckAsAStandardUser) {
    WriteBook(Row("山田", "03-1"));
    WriteFileBytes(JournalPath(), "");
    const std::string groups = BookPath().substr(0, BookPath().rfind('\\') + 1) + "QVDGROUP.CSV";
    WriteFileBytes(groups, "");  // as setup leaves them
    WriteFileBytes(groups.substr(0, groups.size() - 3) + "TMP", "");
    AddPrinter();
    ASSERT_TRUE(CloseSystemDirectory(true)) << "run the end-to-end tests as a Unix user other than root";
    const FileIdentity book = IdentityOf(BookPath());
    std::string output;

    EXPECT_EQ(RunTool("export out.csv /utf8", output), 0u) << output;
    EXPECT_EQ(ReadFileBytes("out.csv"), "\xEF\xBB\xBF" + std::string(u8"山田,よみ,,,,03-1,,,,,,,\r\n"));

    // As a spreadsheet saves it: quoted, LF, a short row.
    WriteFileBytes("in.csv", "\xEF\xBB\xBF" + std::string(u8"\"山田\",よみ,,,,03-1\n鈴木,よみ,,,,045-1\n"));
    EXPECT_EQ(RunTool("import in.csv /y", output), 0u) << output;
    const std::string imported = Row("山田", "03-1") + Row("鈴木", "045-1");
    EXPECT_EQ(ReadBook(), imported);
    EXPECT_TRUE(IdentityOf(BookPath()) == book);
    EXPECT_EQ(ReadFileBytes(JournalPath()), "");
    // The groups, from a spreadsheet in UTF-8 and back out.
    WriteFileBytes("groups.csv", "\xEF\xBB\xBF" + std::string(u8"取引先,,山田,03-1\n取引先,,鈴木,045-1\n"));
    EXPECT_EQ(RunTool("import groups.csv /groups /y", output), 0u) << output;
    EXPECT_EQ(ReadFileBytes(groups), "取引先,,山田,03-1\r\n取引先,,鈴木,045-1\r\n");
    EXPECT_EQ(RunTool("export groups-out.csv /groups", output), 0u) << output;
    EXPECT_EQ(ReadFileBytes("groups-out.csv"), ReadFileBytes(groups));

    // A spreadsheet has the book open.
    HANDLE spreadsheet = CreateFileA(BookPath().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(spreadsheet, INVALID_HANDLE_VALUE);
    output.clear();
    EXPECT_EQ(RunTool("import out.csv /y", output), 1u);
    EXPECT_TRUE(Has(output, "ほかのﾌﾟﾛｸﾞﾗﾑがｱﾄﾞﾚｽ帳ﾃﾞｰﾀを開いています。")) << output;
    CloseHandle(spreadsheet);
    EXPECT_EQ(ReadBook(), imported);

    for (bool journalGranted : {true, false}) {
        SCOPED_TRACE(journalGranted ? "journal granted" : "journal not granted");
        SetFileAttributesA(JournalPath().c_str(), journalGranted ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY);
        output.clear();
        EXPECT_EQ(RunTool("check /m:E2E FAX Driver", output), journalGranted ? 0u : 1u) << output;
        EXPECT_EQ(Has(output, "NG  作業ファイル"), !journalGranted) << output;
        EXPECT_TRUE(Has(output, "OK  プリンター「E2E FAX」")) << output;
    }
    SetFileAttributesA(JournalPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBook(), imported);

    // What a script on many PCs may be handed: none of it reaches the book, nor an export onto a full disk.
    for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"u16.csv", std::string("A\0,\0r\0\r\0\n\0", 8)},
                                      {"zeros.csv", std::string(4000, '\0')}, {"empty.csv", ""}, {"nul.csv", ""}}) {
        if (name != "nul.csv") WriteFileBytes(name, bytes);
        EXPECT_EQ(RunTool("import " + name + " /y", output), 1u) << output;
    }
    EXPECT_EQ(ReadBook(), imported);
    const std::string target = std::string(std::getenv("QVD_SMALL_DISK")) + "\\out.csv", filler = target + ".filler";
    WriteFileBytes(target, "earlier");
    HANDLE fill = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (DWORD written = 0; WriteFile(fill, output.data(), 1, &written, nullptr) && written == 1;) {}
    CloseHandle(fill);
    output.clear();
    EXPECT_EQ(RunTool("export " + target, output), 1u);
    EXPECT_TRUE(Has(output, "(エラー 112")) << output;
    EXPECT_EQ(ReadFileBytes(target), "earlier");
    EXPECT_EQ(GetFileAttributesA((target + ".qvdbook-new").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(filler.c_str());
}

// Runs the system's msiexec with |arguments|; its exit code.
DWORD Msiexec(const std::string& arguments) {
    std::string commandLine = "msiexec.exe " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return ~0u;
    DWORD code = ~0u;
    WaitForSingleObject(info.hProcess, 180000);
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return code;
}

// The product codes and versions of qvdutil that Add/Remove Programs lists.
std::vector<std::pair<std::string, std::string>> Installed() {
    std::vector<std::pair<std::string, std::string>> versions;
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstall.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return versions;
    char name[256];
    for (DWORD i = 0, size = sizeof name; RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        if (ValueText(uninstall + "\\" + name, "DisplayName") == "qvdutil")
            versions.emplace_back(name, ValueText(uninstall + "\\" + name, "DisplayVersion"));
    }
    RegCloseKey(key);
    return versions;
}

// Whether Users (S-1-5-32-545) hold an allow entry of their own for query and set on the key.
bool UsersMayQueryAndSet(const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return false;
    std::vector<BYTE> descriptor(4096);
    DWORD size = static_cast<DWORD>(descriptor.size());
    bool granted = false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof users;
    if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.data(), &size) == ERROR_SUCCESS &&
        GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted) && present && dacl &&
        CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &sidSize)) {
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            void* ace = nullptr;
            if (!GetAce(dacl, i, &ace)) continue;
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            const DWORD rights = KEY_QUERY_VALUE | KEY_SET_VALUE;
            granted = granted || (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                                  EqualSid(&allowed->SidStart, users) && (allowed->Mask & rights) == rights);
        }
    }
    RegCloseKey(key);
    return granted;
}

TEST_F(ToolTest, ThePackageInstallsUpgradesRepairsAndUninstallsAroundTheBook) {
    const char* fresh = std::getenv("QVD_MSI");
    const char* earlier = std::getenv("QVD_MSI_EARLIER");
    if (!fresh || !earlier) GTEST_SKIP() << "scripts/check-package runs it with the packages";
    for (const auto& [product, version] : Installed()) Msiexec("/x " + product + " /qn");  // an earlier run's
    AddPrinter();
    const std::string installed = "C:\\Program Files\\qvdutil\\qvdutil.exe", driver = " DRIVERNAME=\"E2E FAX Driver\"";
    std::string output;

    // An earlier version, no book yet: the book and its journal are made empty, the key granted.
    ASSERT_EQ(Msiexec("/i \"" + std::string(earlier) + "\" /qn" + driver), 0u);
    EXPECT_EQ(ReadBook(), "");
    EXPECT_EQ(ReadFileBytes(JournalPath()), "");
    EXPECT_TRUE(UsersMayQueryAndSet(kDataKey));
    // This version over a book in use: one product left, the book the same file with the same bytes.
    WriteBook(Row("山田", "03-1"));
    const FileIdentity book = IdentityOf(BookPath());
    ASSERT_EQ(Msiexec("/i \"" + std::string(fresh) + "\" /qn" + driver), 0u);
    const auto products = Installed();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_NE(products[0].second, "1.00.0");
    EXPECT_NE(GetFileAttributesA(installed.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBook(), Row("山田", "03-1"));
    EXPECT_TRUE(IdentityOf(BookPath()) == book);
    EXPECT_EQ(RunTool("check /m:E2E FAX Driver", output), 0u) << output;  // the groups' two files among what it checks
    for (const char* made : {"QVDGROUP.CSV", "QVDGROUP.TMP"})
        EXPECT_NE(GetFileAttributesA((BookPath().substr(0, BookPath().rfind('\\') + 1) + made).c_str()), INVALID_FILE_ATTRIBUTES);
    // A repair, and a second setup: nothing added.
    // (As /fa does; Wine's msiexec takes no /f.)
    ASSERT_EQ(Msiexec("/i \"" + std::string(fresh) + "\" REINSTALL=ALL REINSTALLMODE=amus /qn"), 0u);
    EXPECT_EQ(ReadBook(), Row("山田", "03-1"));
    output.clear();
    EXPECT_EQ(RunTool("setup /m:E2E FAX Driver", output), 0u) << output;
    EXPECT_NE(output.find(toolmsg::PrinterGrant("E2E FAX", toolmsg::kHadGrant)), std::string::npos) << output;
    // Uninstalled: the programs go; the book, its journal and the grant stay.
    ASSERT_EQ(Msiexec("/x " + products[0].first + " /qn"), 0u);
    EXPECT_EQ(GetFileAttributesA(installed.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Installed().size(), 0u);
    EXPECT_EQ(ReadBook(), Row("山田", "03-1"));
    EXPECT_EQ(ReadFileBytes(JournalPath()), "");
    EXPECT_TRUE(UsersMayQueryAndSet(kDataKey));
}

}  // namespace
