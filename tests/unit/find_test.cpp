// Finding a person: what matches, and what a find selects in either view.
#include "picker/person_search.h"
#include "support/fixture.h"

namespace {

TEST(PersonQueryTest, KanaWidthCaseAndFaxDigitsCompareAlike) {
    struct Case {
        const char* text;
        int column;  // 0 name ... 5 FAX number
        const char* value;
        bool matches;
    } cases[] = {
        {"やまだ", 1, "ﾔﾏﾀﾞ", true},       {"ヤマダ", 1, "ﾔﾏﾀﾞ", true},     {"ﾔﾏﾀﾞ", 1, "やまだ", true},
        {"タ゛", 1, "ﾀﾞ", true},           {"ｶﾞ", 3, "が", true},           {"ﾊﾟ", 1, "パ", true},
        {"ﾊﾞ", 1, "パ", false},            {"ｳﾞ", 1, "ヴ", true},           {"やまた", 1, "ﾔﾏﾀﾞ", false},
        {"ｰ", 0, "ー", true},              {"ＡＢＣ", 2, "xabcx", true},    {"Abc", 2, "aBC", true},
        {"１２", 4, "第12課", true},       {"営業", 4, "営業部", true},     {"山", 0, "岡山", true},
        {"\\", 0, "表", false},            {"0312", 5, "03-1234-5678", true}, {"03-12", 5, "0312345678", true},
        {"０３１２", 5, "03-1234", true},  {"0312", 5, "0-3-1-2", true},   {"田中0", 5, "03", false},
        {"1234", 0, "", false},            {"", 0, "山田", false},          {"#", 5, "03#1", false},
        {"ﾎﾞ", 1, "ボ", true},             {"ﾎﾟ", 1, "ポ", true},           {"けん", 1, "ｹﾝ", true},
        {"０９", 5, "0-9", true},          {"03 1234", 5, "03-1234-5678", true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.text) + " in " + test.value);
        CAddressEntry person;
        person.*CAddressEntry::kColumns[test.column] = test.value;
        EXPECT_EQ(PersonQuery(test.text).Matches(person), test.matches);
    }
}

class FindTest : public ProgramTest {
protected:
    void Find(const std::string& text) {
        platform->WhenDialogOpens(IDD_FIND, [text](MemoryWindow& find) {
            find.At(IDC_FIND_TEXT).text.clear();  // the last text, selected: typing replaces it
            find.Type(IDC_FIND_TEXT, text);
            find.Click(IDOK);
        });
        window->Send(WM_COMMAND, MAKEWPARAM(IDC_FIND, kShortcut));
    }
    void Again(bool forward) { window->Send(WM_COMMAND, MAKEWPARAM(forward ? IDC_FIND_NEXT : IDC_FIND_PREVIOUS, kShortcut)); }
    std::vector<int> Selected() { return window->SelectedLines(IDC_ADDRESS_LIST); }
};

TEST_F(FindTest, NextPreviousAndRoundTheEndInBothViews) {
    OpenWith("山田,ﾔﾏﾀﾞ,X社,,,03-1,,,,,,,\r\n佐藤,ｻﾄｳ,Y社,,,045-2,,,,,,,\r\n山本,やまもと,X社,,,03-3,,,,,,,\r\n");
    Find("やま");
    EXPECT_EQ(Selected(), std::vector<int>{2});  // after the selected first line
    EXPECT_EQ(Buttons(), "1110");
    EXPECT_EQ(window->focus, IDC_ADDRESS_LIST);
    Again(true);
    EXPECT_EQ(Selected(), std::vector<int>{0});  // round the end
    Again(false);
    EXPECT_EQ(Selected(), std::vector<int>{2});

    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    Again(true);  // nothing selected: from the first person, its company opened
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"X社", " >> 山田", " >> 山本", "Y社"}));
    EXPECT_EQ(Selected(), std::vector<int>{1});
    Again(true);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    Find("045");
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).back(), " >> 佐藤");
    EXPECT_EQ(Selected(), std::vector<int>{4});

    Find("鈴木");
    EXPECT_EQ(BoxTexts().back(), "「鈴木」は見つかりませんでした。");
    EXPECT_EQ(Selected(), std::vector<int>{4});
    // Cancelled, the dialog that opened on the last text moves nothing.
    platform->WhenDialogOpens(IDD_FIND, [](MemoryWindow& find) {
        EXPECT_EQ(find.At(IDC_FIND_TEXT).text, "鈴木");
        find.Click(IDCANCEL);
    });
    window->Send(WM_COMMAND, MAKEWPARAM(IDC_FIND, kShortcut));
    EXPECT_EQ(Selected(), std::vector<int>{4});

    // The session alone: from the only match itself, and backwards from no line.
    struct Case {
        const char* text;
        int from;
        bool forward;
        int line;
    } cases[] = {{"佐藤", 1, true, 1}, {"やま", -1, false, 2}, {"やま", -1, true, 0}};
    for (const Case& test : cases) {
        std::unique_ptr<PickerSession> alone = StartedSession();
        EXPECT_EQ(alone->FindPerson(test.text, test.from, test.forward).line, test.line) << test.text;
    }
}

TEST_F(FindTest, TheSystemMenuAndF3BeforeAnyTextOpenTheDialog) {
    OpenWith(Row("山田", "03-1"));
    for (bool fromMenu : {true, false}) {
        platform->modalRuns.clear();
        platform->WhenDialogOpens(IDD_FIND, [](MemoryWindow& find) { find.Click(IDCANCEL); });
        if (fromMenu)
            window->Send(WM_SYSCOMMAND, IDM_FIND);
        else
            Again(false);
        EXPECT_EQ(platform->modalRuns, std::vector<int>{IDD_FIND});
        EXPECT_TRUE(platform->boxes.empty());  // cancelled: nothing searched
    }
}

}  // namespace
