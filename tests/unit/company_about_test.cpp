#include "support/fixture.h"

namespace {

class CompanyViewTest : public ProgramTest {
protected:
    void SetUp() override {
        WriteBook(Row("一郎", "1", "B") + Row("二郎", "2", "") + Row("三郎", "3", "A") + Row("四郎", "4", "B"));
        AddPrinter();
        Open();
        window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    }
};

TEST_F(CompanyViewTest, CompaniesInFirstAppearanceOrderWithTheEmptyOneLast) {
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "A", "(なし)"}));
    EXPECT_TRUE(window->SelectedLines(IDC_ADDRESS_LIST).empty());
}

TEST_F(CompanyViewTest, ExpandAndCollapse) {
    PickerSession& pc = StartSession();
    pc.ShowMode(1);
    struct Step {
        int line;  // expanded or collapsed
        std::vector<std::string> lines;
    };
    const std::vector<Step> steps = {
        {0, {"B", " >> 一郎", " >> 四郎", "A", "(なし)", "|"}},
        {0, {"B", "A", "(なし)", "|"}},
        {2, {"B", "A", "(なし)", " >> 二郎", "|"}},
        {2, {"B", "A", "(なし)", "|"}},  // the last line of the list goes too
        {1, {"B", "A", " >> 三郎", "(なし)", "|"}},
        {0, {"B", " >> 一郎", " >> 四郎", "A", " >> 三郎", "(なし)", "|"}},
        {3, {"B", " >> 一郎", " >> 四郎", "A", "(なし)", "|"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.line);
        pc.ExpandOrCollapse(step.line);
        EXPECT_EQ(Screen(pc), step.lines);
    }
    // A person created in this view stands at the end, behind the last company's members, and stays.
    pc.ExpandOrCollapse(4);
    Create("五郎", "5")(pc);
    pc.ExpandOrCollapse(4);
    EXPECT_EQ(Screen(pc), (std::vector<std::string>{"B", " >> 一郎", " >> 四郎", "A", "(なし)", "五郎", "|"}));
}

TEST_F(CompanyViewTest, EveryBulkChangeOfTheListRepaintsItOnce) {
    // One company of 1000 members beside a small one.
    std::string book;
    for (int i = 0; i < 1000; ++i) book += Row("P" + std::to_string(i), "1", i % 100 ? "大手" : "小");
    Restart();
    OpenWith(book);
    MemoryWindow::Control& list = window->At(IDC_ADDRESS_LIST);
    struct Step {
        const char* what;
        std::function<void()> act;
        size_t lines;
    };
    const std::vector<Step> steps = {
        {"company view filled", [&] { window->ChooseComboItem(IDC_DISPLAY_MODE, 1); }, 2},
        {"large company expanded", [&] { window->DoubleClick(IDC_ADDRESS_LIST, 1); }, 992},
        {"small company expanded", [&] { window->DoubleClick(IDC_ADDRESS_LIST, 0); }, 1002},
        {"large company collapsed", [&] { window->DoubleClick(IDC_ADDRESS_LIST, 11); }, 12},
        {"person view filled", [&] { window->ChooseComboItem(IDC_DISPLAY_MODE, 0); }, 1000},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        int before = list.repaints;
        step.act();
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), step.lines);
        EXPECT_EQ(list.repaints - before, 1);
        EXPECT_TRUE(list.redraw);
    }
}

TEST_F(CompanyViewTest, CompaniesByKeyboard) {
    // Companies "B" (一郎, 四郎), "A" (三郎), "(なし)" (二郎).
    struct Step {
        const char* what;
        int selected;
        UINT key;
        LRESULT answer;  // -1: the list box's own handling follows; -2: the key was taken
        std::vector<std::string> lines;
        int selectedAfter;
    };
    const std::vector<std::string> collapsed = {"B", "A", "(なし)"};
    const std::vector<std::string> bOpen = {"B", " >> 一郎", " >> 四郎", "A", "(なし)"};
    const std::vector<Step> steps = {
        {"Right expands", 0, VK_RIGHT, -2, bOpen, 0},
        {"Right on an expanded company is the list's", 0, VK_RIGHT, -1, bOpen, 0},
        {"Left collapses", 0, VK_LEFT, -2, collapsed, 0},
        {"Left on a collapsed company is the list's", 0, VK_LEFT, -1, collapsed, 0},
        {"numpad + expands", 0, VK_ADD, -2, bOpen, 0},
        {"numpad - collapses", 0, VK_SUBTRACT, -2, collapsed, 0},
        {"+ expands", 0, VK_OEM_PLUS, -2, bOpen, 0},
        {"Left on a member collapses its company", 2, VK_LEFT, -2, collapsed, 0},
        {"+ on the last company", 2, VK_OEM_PLUS, -2, {"B", "A", "(なし)", " >> 二郎"}, 2},
        {"- on its last member", 3, VK_OEM_MINUS, -2, collapsed, 2},
        {"Down is the list's", 0, VK_DOWN, -1, collapsed, 0},
        {"Enter is the dialog's", 0, VK_RETURN, -1, collapsed, 0},
        {"Right with no selection is the list's", -1, VK_RIGHT, -1, collapsed, -1},
        // Below the first line, the selection stays where the key acted.
        {"numpad + on a later company", 1, VK_ADD, -2, {"B", "A", " >> 三郎", "(なし)"}, 1},
        {"numpad - on a later company", 1, VK_SUBTRACT, -2, collapsed, 1},
        {"Right expands again", 0, VK_RIGHT, -2, bOpen, 0},
        {"+ on a member is the list's", 1, VK_OEM_PLUS, -1, bOpen, 1},
        {"Right on a member is the list's", 1, VK_RIGHT, -1, bOpen, 1},
        {"a letter is the list's", 1, 'A', -1, bOpen, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        window->Select(IDC_ADDRESS_LIST, step.selected);
        platform->boxes.clear();
        EXPECT_EQ(window->PressKey(IDC_ADDRESS_LIST, step.key), step.answer);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST), step.lines);
        EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), step.selectedAfter < 0 ? std::vector<int>{} : std::vector<int>{step.selectedAfter});
        // A key taken types nothing: "-" searched for would find a company "-Y".
        const bool types = step.key == VK_ADD || step.key == VK_SUBTRACT || step.key == VK_OEM_PLUS || step.key == 'A';
        EXPECT_EQ(window->At(IDC_ADDRESS_LIST).characterAnswer, types && step.answer == -1 ? std::optional<LRESULT>(-1) : std::nullopt);
        EXPECT_TRUE(Lines(IDC_DESTINATION_LIST).empty());
    }
    // Collapsing from a member leaves the company line selected, and the
    // person buttons follow it as for a user's selection.
    window->Select(IDC_ADDRESS_LIST, 1);  // " >> 一郎"
    window->PressKey(IDC_ADDRESS_LIST, VK_LEFT);
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_EQ(Buttons(), "1110");
}

TEST_F(CompanyViewTest, ThePersonViewKeepsTheListsOwnKeysAndTyping) {
    // Names that begin as member lines do are persons all the same.
    Restart();
    OpenWith(Row("Alpha", "1", "X") + Row(" >> Bravo", "2", "X") + Row("Charlie", "3") + Row(" >> Delta", "4"));
    const std::vector<std::string> persons = {"Alpha", " >> Bravo", "Charlie", " >> Delta"};
    for (UINT key : {VK_LEFT, VK_RIGHT, VK_SUBTRACT, VK_OEM_MINUS, VK_ADD, VK_OEM_PLUS, static_cast<UINT>('C')}) {
        SCOPED_TRACE(key);
        window->Select(IDC_ADDRESS_LIST, 1);
        EXPECT_EQ(window->PressKey(IDC_ADDRESS_LIST, key), -1);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST), persons);
        EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{1});
        // The list box's own search for the character follows.
        const bool types = key != VK_LEFT && key != VK_RIGHT;
        EXPECT_EQ(window->At(IDC_ADDRESS_LIST).characterAnswer, types ? std::optional<LRESULT>(-1) : std::nullopt);
    }
}

TEST_F(CompanyViewTest, TipsTellThePersonBehindALine) {
    Restart();
    OpenWith("山田,やまだ,山田商事,やまだしょうじ,営業部,03-1111,,,,,,,\r\n" + Row("山田", "06-2222") +
             Row("鈴木", "09-3333", "山田商事"));
    const std::string yamadaOfTheCompany = "名前(読み): やまだ\n会社: 山田商事\n部署: 営業部\nFAX番号: 03-1111";
    const std::string yamadaWithoutOne = "名前(読み): よみ\n会社: (なし)\n部署: \nFAX番号: 06-2222";
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, 0), yamadaOfTheCompany);
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, 1), yamadaWithoutOne);
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, 3), "");   // below the last line
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, -1), "");  // the mouse over no line
    Add(1);
    Add(0);
    EXPECT_EQ(window->TipOf(IDC_DESTINATION_LIST, 0), yamadaWithoutOne);
    EXPECT_EQ(window->TipOf(IDC_DESTINATION_LIST, 1), yamadaOfTheCompany);
    EXPECT_EQ(window->TipOf(IDC_DESTINATION_LIST, 2), "");
    EXPECT_EQ(window->TipOf(IDC_DESTINATION_LIST, -1), "");
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"山田商事", "(なし)"}));
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, 0), "人数: 2人");
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, 1), "人数: 1人");
    window->DoubleClick(IDC_ADDRESS_LIST, 0);
    EXPECT_EQ(window->TipOf(IDC_ADDRESS_LIST, 1), yamadaOfTheCompany);
    // Asking for a tip changes nothing a user would see.
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_TRUE(platform->boxes.empty());
}

TEST_F(CompanyViewTest, MemberLineDoubleClickAddsTheBareName) {
    window->DoubleClick(IDC_ADDRESS_LIST, 0);
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});  // the company line stays selected
    window->DoubleClick(IDC_ADDRESS_LIST, 2);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"四郎"});
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 5u);
    // After a deletion a member's ID is no longer its slot: 三郎 (ID 2) now
    // stands in slot 1, 四郎 in slot 2.
    window->ChooseComboItem(IDC_DISPLAY_MODE, 0);
    window->Select(IDC_ADDRESS_LIST, 1);
    platform->AnswerNextBox(IDOK);
    window->Click(IDC_DELETE_ENTRY);
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    window->DoubleClick(IDC_ADDRESS_LIST, 1);  // A
    window->DoubleClick(IDC_ADDRESS_LIST, 2);  // " >> 三郎"
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), (std::vector<std::string>{"四郎", "三郎"}));
}

TEST_F(CompanyViewTest, ExpansionsSurviveClosingTheDropDownOnTheSameMode) {
    window->DoubleClick(IDC_ADDRESS_LIST, 1);
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "A", " >> 三郎", "(なし)"}));
}

class VersionBoxTest : public ProgramTest {
protected:
    void SetUp() override {
        WriteBook(Row("一郎", "1"));
        Open();
    }
};

TEST_F(VersionBoxTest, SystemMenuEndsWithTheVersionAndFindItems) {
    EXPECT_EQ(window->systemMenu,
              (std::vector<std::string>{"-", "16:ﾊﾞｰｼﾞｮﾝ情報(qvdutil) (&A)...", "32:検索(&F)...\tCtrl+F"}));
    HICON icon = platform->LoadIconResource(IDR_MAINFRAME);
    EXPECT_EQ(window->bigIcon, icon);
    EXPECT_EQ(window->smallIcon, icon);
}

TEST_F(VersionBoxTest, OpensFromButtonAndFromTheSystemMenu) {
    struct Case {
        const char* how;
        std::function<void()> act;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"button 3", [&] { window->Click(IDC_ABOUT); }, true},
        {"system command 0x0010", [&] { window->Send(WM_SYSCOMMAND, 0x0010); }, true},
        {"low four bits set", [&] { window->Send(WM_SYSCOMMAND, 0x001F); }, true},
        {"another command", [&] { window->Send(WM_SYSCOMMAND, 0x0030); }, false},
        {"SC_CLOSE", [&] { window->Send(WM_SYSCOMMAND, 0xF060); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        platform->modalRuns.clear();
        if (c.opens) {
            platform->WhenDialogOpens(IDD_ABOUTBOX, [](MemoryWindow& about) {
                EXPECT_EQ(about.layout.caption, "ﾊﾞｰｼﾞｮﾝ情報 pelinote");
                about.Click(IDOK);
            });
        }
        LRESULT handled = 0;
        c.act();
        EXPECT_EQ(platform->modalRuns, c.opens ? std::vector<int>{IDD_ABOUTBOX} : std::vector<int>{});
        // Other commands go to the default processing.
        bool mine = dialog->HandleMessage(WM_SYSCOMMAND, c.opens ? 0x0030 : 0xF060, 0, handled);
        EXPECT_FALSE(mine);
    }
    EXPECT_FALSE(window->ended);
}

TEST_F(VersionBoxTest, EscAndCloseBoxEndTheVersionBox) {
    platform->WhenDialogOpens(IDD_ABOUTBOX, [](MemoryWindow& about) {
        about.Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));  // Esc and the close box
    });
    window->Click(IDC_ABOUT);
    EXPECT_EQ(platform->modalRuns, std::vector<int>{IDD_ABOUTBOX});
}

TEST_F(VersionBoxTest, PaintsTheIconOnlyWhileMinimised) {
    LRESULT result = 0;
    EXPECT_FALSE(dialog->HandleMessage(WM_PAINT, 0, 0, result));
    EXPECT_FALSE(window->iconPainted);
    window->minimised = true;
    EXPECT_TRUE(dialog->HandleMessage(WM_PAINT, 0, 0, result));
    EXPECT_TRUE(window->iconPainted);
    EXPECT_TRUE(dialog->HandleMessage(WM_QUERYDRAGICON, 0, 0, result));
    EXPECT_EQ(reinterpret_cast<HICON>(result), platform->LoadIconResource(IDR_MAINFRAME));
}

}  // namespace
