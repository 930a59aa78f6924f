// qvdbook.exe as an administrator uses it, run as a standard user with the
// install guide's grants: the book and its journal, and no file can be made
// in the system directory.
#include <cstdlib>

#include "automation.h"

using namespace e2e;

namespace {

class ToolTest : public EndToEnd {};

bool Has(const std::string& output, const std::string& text) { return output.find(text) != std::string::npos; }

TEST_F(ToolTest, ExportImportAndCheckAsAStandardUser) {
    WriteBook(Row("山田", "03-1"));
    WriteFileBytes(JournalPath(), "");
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

}  // namespace
