#include "automation.h"
#include "res/resource.h"

#include <fstream>
#include <sstream>

namespace e2e {
namespace {

using DestinationsTest = EndToEnd;

std::vector<BYTE> Padded(const std::string& text) {
    std::vector<BYTE> data(256, 0);
    std::copy(text.begin(), text.end(), data.begin());
    return data;
}

TEST_F(DestinationsTest, StoredValuesRestoreChangeAndOk) {
    WriteBook(Row("山田", "03-1111") + Row("鈴木", "06-2222") + Row("佐藤", "09-3333"));
    AddPrinter();
    SetValue(kDataKey, "FaxNumberBook", "09-3333,00-0000,03-1111");
    SetValue(kDataKey, "FaxNumberBook2", "佐藤,消えた人,山田");
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"佐藤", "山田"}));
    // Written back at once: the stale destination is gone already.
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook2"), "佐藤,山田");

    SelectLine(dialog, IDC_ADDRESS_LIST, 1);
    Click(dialog, IDC_ADD_DESTINATION);
    SelectLines(dialog, IDC_DESTINATION_LIST, {0});
    EXPECT_TRUE(Enabled(dialog, IDC_REMOVE_DESTINATIONS));
    EXPECT_FALSE(Enabled(dialog, IDC_ADD_DESTINATION));
    Click(dialog, IDC_REMOVE_DESTINATIONS);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"山田", "鈴木"}));
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());

    DWORD type = 0;
    EXPECT_EQ(ValueData(kDataKey, "FaxNumberBook", &type), Padded("03-1111,06-2222"));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ValueData(kDataKey, "FaxNumberBook2", &type), Padded("山田,鈴木"));
}

TEST_F(DestinationsTest, APrinterKeyNameOf250Bytes) {
    // Its driver-data key lies past 260 characters from the root.
    const std::string printer = std::string(kPrinters) + "\\E2E" + std::string(247, 'P');
    const std::string data = printer + "\\PrinterDriverData";
    WriteBook(Row("山田", "03-1111") + Row("鈴木", "06-2222"));
    AddPrinter(printer);
    SetValue(data, "FaxNumberBook", "03-1111");
    SetValue(data, "FaxNumberBook2", "山田");
    ASSERT_EQ(ValueText(data, "FaxNumberBook2"), "山田");
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), std::vector<std::string>{"山田"});
    SelectLine(dialog, IDC_ADDRESS_LIST, 1);
    Click(dialog, IDC_ADD_DESTINATION);
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(data, "FaxNumberBook"), "03-1111,06-2222");
    EXPECT_EQ(ValueText(data, "FaxNumberBook2"), "山田,鈴木");
}

TEST_F(DestinationsTest, CancelLeavesTheRebuiltValues) {
    WriteBook(Row("山田", "03-1111"));
    AddPrinter();
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_ADD_DESTINATION);
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
    // First use: both values exist, empty.
    EXPECT_EQ(ValueData(kDataKey, "FaxNumberBook"), Padded(""));
    EXPECT_EQ(ValueData(kDataKey, "FaxNumberBook2"), Padded(""));
}

TEST_F(DestinationsTest, LimitMessagesAndTheDeleteKey) {
    std::string book = Row("長番号", std::string(33, '1'));
    for (int i = 0; i < 3; ++i) book += Row("P" + std::to_string(i), std::to_string(i));
    WriteBook(book);
    AddPrinter();
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    DoubleClickLine(dialog, IDC_ADDRESS_LIST, 0);
    EXPECT_EQ(copy.AnswerBox(), "FAX番号の文字列が、指定文字数(32文字)を超えています。\n今設定した宛先は無効です");
    EXPECT_TRUE(Lines(dialog, IDC_DESTINATION_LIST).empty());
    for (int line = 1; line <= 3; ++line) DoubleClickLine(dialog, IDC_ADDRESS_LIST, line);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"P0", "P1", "P2"}));
    SelectLines(dialog, IDC_DESTINATION_LIST, {0, 2});
    SetFocus(GetDlgItem(dialog, IDC_DESTINATION_LIST));
    PressKey(GetDlgItem(dialog, IDC_DESTINATION_LIST), VK_DELETE);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), std::vector<std::string>{"P1"});
    EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_DESTINATIONS));
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook"), "1");
}

TEST_F(DestinationsTest, ARemovalTakesOnlyWhatTheListShowsSelected) {
    WriteBook(Row("A", "1") + Row("B", "2") + Row("C", "3") + Row("D", "4"));
    AddPrinter();
    SetValue(kDataKey, "FaxNumberBook", "1,2,1,3,4");
    SetValue(kDataKey, "FaxNumberBook2", "A,B,A,C,D");
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"A", "B", "A", "C", "D"}));
    SelectLines(dialog, IDC_DESTINATION_LIST, {0, 2});
    ChooseMode(dialog, 1);
    ChooseMode(dialog, 0);
    ASSERT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{0});
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"B", "C", "D"}));
    EXPECT_TRUE(SelectedLines(dialog, IDC_DESTINATION_LIST).empty());
    EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_DESTINATIONS));
    SetFocus(GetDlgItem(dialog, IDC_DESTINATION_LIST));
    PressKey(GetDlgItem(dialog, IDC_DESTINATION_LIST), VK_DELETE);
    Click(dialog, IDC_REMOVE_DESTINATIONS);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"B", "C", "D"}));
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook"), "2,3,4");
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook2"), "B,C,D");
}

TEST_F(DestinationsTest, FirstOfTwoPrintersWithTheDriverIsUsed) {
    WriteBook(Row("山田", "03-1111"));
    AddPrinter(std::string(kPrinters) + "\\E2E A");
    AddPrinter(std::string(kPrinters) + "\\E2E B");
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_ADD_DESTINATION);
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(std::string(kPrinters) + "\\E2E A\\PrinterDriverData", "FaxNumberBook2"), "山田");
    EXPECT_EQ(ValueText(std::string(kPrinters) + "\\E2E B\\PrinterDriverData", "FaxNumberBook2"), "<missing>");
}

TEST_F(DestinationsTest, DriverStandInSeesTheWholeRoundTrip) {
    WriteBook(Row("山田", "03-1111") + Row("鈴木", "06-2222"));
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string outPath = std::string(temp) + "faxdriver-e2e.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe = std::string(self).substr(0, std::string(self).find_last_of('\\') + 1) + "faxdriver.exe";
    std::string commandLine = "\"" + exe + "\" \"E2E Stand-in Driver\" \"E2E Stand-in\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out;
    PROCESS_INFORMATION driver;
    ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                               &driver));
    CloseHandle(out);

    // Find the dialog the stand-in started.
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && !dialog; ++i) {
        Sleep(50);
        dialog = FindWindowA("#32770", "ｱﾄﾞﾚｽ帳");
    }
    ASSERT_NE(dialog, nullptr);
    WaitIdle(dialog);
    SelectLine(dialog, IDC_ADDRESS_LIST, 1);
    Click(dialog, IDC_ADD_DESTINATION);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_ADD_DESTINATION);
    Click(dialog, IDOK);
    EXPECT_EQ(WaitForSingleObject(driver.hProcess, 15000), WAIT_OBJECT_0);
    CloseHandle(driver.hProcess);
    CloseHandle(driver.hThread);

    std::ifstream in(outPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    // The stand-in prints UTF-8 for the terminal.
    EXPECT_NE(text.str().find("FaxNumberBook  (type 1, 256 bytes): 06-2222,03-1111"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("destination 1: \xE9\x88\xB4\xE6\x9C\xA8  FAX 06-2222"), std::string::npos)
        << text.str();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kPrinters) + "\\E2E Stand-in").c_str());
}

}  // namespace
}  // namespace e2e
