#include "automation.h"
#include "res/resource.h"

namespace e2e {
namespace {

using CompanyAboutTest = EndToEnd;

TEST_F(CompanyAboutTest, CompanyViewExpandsAndCollapses) {
    WriteBook(Row("一郎", "1", "B") + Row("二郎", "2", "") + Row("三郎", "3", "A") + Row("四郎", "4", "B"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    ChooseMode(dialog, 1);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "A", "(なし)"}));
    EXPECT_EQ(ItemData(dialog, IDC_ADDRESS_LIST), (std::vector<LPARAM>{5000, 5001, 5002}));
    EXPECT_FALSE(Enabled(dialog, IDC_ADD_DESTINATION));
    DoubleClickLine(dialog, IDC_ADDRESS_LIST, 0);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"B", " >> 一郎", " >> 四郎", "A", "(なし)"}));
    EXPECT_EQ(ItemData(dialog, IDC_ADDRESS_LIST), (std::vector<LPARAM>{5000, 0, 3, 5001, 5002}));
    DoubleClickLine(dialog, IDC_ADDRESS_LIST, 4);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).back(), " >> 二郎");
    DoubleClickLine(dialog, IDC_ADDRESS_LIST, 4);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).size(), 5u);
    DoubleClickLine(dialog, IDC_ADDRESS_LIST, 2);  // member line: adds the person
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), std::vector<std::string>{"四郎"});
    ChooseMode(dialog, 0);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"一郎", "二郎", "三郎", "四郎"}));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(CompanyAboutTest, AGroupPickedWholeReachesTheDriverMemberByMember) {
    WriteBook(Row("一郎", "03-1", "B") + Row("二郎", "03-2", "") + Row("三郎", "03-3", "A"));
    const std::string book = BookPath();
    WriteFileBytes(book.substr(0, book.rfind('\\') + 1) + "QVDGROUP.CSV",
                   "取引先,とりひきさき,三郎,03-3\r\n取引先,とりひきさき,一郎,03-1\r\n");
    AddPrinter();
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    ChooseMode(dialog, 2);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), std::vector<std::string>{"【取引先】 2人"});
    DoubleClickLine(dialog, IDC_ADDRESS_LIST, 0);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"【取引先】 2人", " >> 三郎", " >> 一郎"}));
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_ADD_DESTINATION);
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), (std::vector<std::string>{"三郎", "一郎"}));
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook"), "03-3,03-1");
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook2"), "三郎,一郎");
}

TEST_F(CompanyAboutTest, CompaniesByKeyboardAndEnterForOk) {
    WriteBook(Row("一郎", "1", "B") + Row("二郎", "2", "") + Row("三郎", "3", "A") + Row("四郎", "4", "B"));
    AddPrinter();
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    ChooseMode(dialog, 1);
    HWND list = GetDlgItem(dialog, IDC_ADDRESS_LIST);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    PressKey(list, VK_RIGHT);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"B", " >> 一郎", " >> 四郎", "A", "(なし)"}));
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{0});
    PressKey(list, VK_DOWN);  // the list's own key: to the first member
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{1});
    PressKey(list, VK_LEFT);  // from a member: its company collapses and is selected
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "A", "(なし)"}));
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{0});
    PressKey(list, VK_ADD);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).size(), 5u);
    PressKey(list, VK_SUBTRACT);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).size(), 3u);
    PressKey(list, VK_RETURN);  // still the dialog's OK
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook"), "");
}

TEST_F(CompanyAboutTest, TypingFindsALineAndCompanyKeysKeepTheSelection) {
    WriteBook(Row("Alpha", "1", "X") + Row("Bravo", "2", "-Y") + Row("Charlie", "3", "Z"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_ADDRESS_LIST);
    SetFocus(list);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    PressKey(list, 'C');
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{2});
    // Below the first line; the "-" typed must not find the company "-Y".
    ChooseMode(dialog, 1);
    SelectLine(dialog, IDC_ADDRESS_LIST, 2);
    PressKey(list, VK_ADD);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"X", "-Y", "Z", " >> Charlie"}));
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{2});
    PressKey(list, VK_SUBTRACT);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"X", "-Y", "Z"}));
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{2});
    PressKey(list, 'X');
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{0});
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(CompanyAboutTest, CtrlFFindsAReadingTypedInHiragana) {
    WriteBook(Row("山田", "03-1") + "佐藤,ｻﾄｳ,,,,045-1,,,,,,,\r\n" + Row("鈴木", "06-1"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    PressChord(GetDlgItem(dialog, IDC_CREATE_ENTRY), {VK_CONTROL, 'F'});
    HWND find = copy.WaitForWindow("検索");
    ASSERT_NE(find, nullptr);
    SetText(find, IDC_FIND_TEXT, "さとう");
    Click(find, IDOK);
    WaitIdle(dialog);
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{1});
    EXPECT_TRUE(Enabled(dialog, IDC_ADD_DESTINATION));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(CompanyAboutTest, VersionBoxFromButtonAndSystemMenu) {
    WriteBook(Row("一郎", "1"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);

    struct Way {
        const char* how;
        WPARAM systemCommand;  // 0: button 3
        bool closeWithEsc;
    };
    for (Way way : {Way{"button, OK", 0, false}, Way{"system menu, Esc", 0x0010, true},
                    Way{"low bits set, OK", 0x001F, false}}) {
        SCOPED_TRACE(way.how);
        if (way.systemCommand)
            SystemCommand(dialog, way.systemCommand);
        else
            Click(dialog, 3);
        HWND about = copy.WaitForWindow("ﾊﾞｰｼﾞｮﾝ情報 pelinote");
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        if (way.closeWithEsc)
            PressKey(GetDlgItem(about, IDOK), VK_ESCAPE);
        else
            Click(about, IDOK);
        for (int i = 0; i < 100 && IsWindow(about); ++i) Sleep(20);
        EXPECT_FALSE(IsWindow(about));
        EXPECT_TRUE(copy.Running());
    }
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

}  // namespace
}  // namespace e2e
