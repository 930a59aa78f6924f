#include "automation.h"

namespace e2e {
namespace {

using StartupTest = EndToEnd;

TEST_F(StartupTest, CommandLinesThatEndAtOnce) {
    WriteBook(Row("山田", "03-1111"));
    AddPrinter();
    for (const char* arguments : {"/n", "/n /s", "/s /n", "", "/m:E2E FAX Driver", "/S /M:E2E FAX Driver", "/N /S",
                                  "/m:E2E FAX Driver/n"}) {
        SCOPED_TRACE(arguments);
        Program copy(arguments);
        EXPECT_TRUE(copy.WaitForExit());
    }
    // None of them touched the printer's values or the book.
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook"), "<missing>");
    EXPECT_EQ(ReadBook(), Row("山田", "03-1111"));
}

TEST_F(StartupTest, SlashSInsideTheDriverNameShowsTheDialog) {
    WriteBook(Row("山田", "03-1111"));
    Program copy("/m:E2E/s");
    EXPECT_NE(copy.MainDialog(), nullptr);
}

TEST_F(StartupTest, OneCopyAtATime) {
    WriteBook(Row("山田", "03-1111"));
    Program first("/s /m:E2E FAX Driver");
    HWND dialog = first.MainDialog();
    ASSERT_NE(dialog, nullptr);
    {
        Program second("/s /m:E2E FAX Driver");
        EXPECT_TRUE(second.WaitForExit());
        Program stopper("/n /s");  // "/n" wins even while a copy runs
        EXPECT_TRUE(stopper.WaitForExit());
    }
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(Lines(dialog, 1000), std::vector<std::string>{"山田"});
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(first.WaitForExit());

    Program again("/s /m:E2E FAX Driver");
    HWND reopened = again.MainDialog();
    ASSERT_NE(reopened, nullptr);
    Click(reopened, IDOK);
    EXPECT_TRUE(again.WaitForExit());
}

TEST_F(StartupTest, TwoCopiesStartedTogetherShowOneDialog) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        Program a("/s"), b("/s");
        // Exactly one of them ends by itself; the other holds its dialog.
        bool aEnded = a.WaitForExit(8000);
        bool bEnded = b.WaitForExit(aEnded ? 8000 : 0);
        EXPECT_NE(aEnded, bEnded);
        Program& shown = aEnded ? b : a;
        shown.AnswerBox();  // no book yet: the open message comes before the dialog shows
        HWND dialog = shown.MainDialog();
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(shown.WaitForExit());
    }
}

TEST_F(StartupTest, MainDialogControls) {
    WriteBook(Row("山田", "03-1111"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    struct Control {
        int id;
        const char* text;
        bool enabled;
    };
    const Control controls[] = {
        {1003, "宛先(&O) ->", true},   {1006, "作成(&N)...", true},        {1007, "ｱﾄﾞﾚｽ帳から削除(&E)", true},
        {1005, "ﾌﾟﾛﾊﾟﾃｨ(&R)", true},  {1004, "宛先から削除(&D)", false}, {1, "OK", true},
        {2, "ｷｬﾝｾﾙ", true},           {3, "ﾊﾞｰｼﾞｮﾝ情報(&B)", true},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(Text(GetDlgItem(dialog, c.id)), c.text);
        EXPECT_EQ(Enabled(dialog, c.id), c.enabled);
    }
    EXPECT_EQ(Lines(dialog, 1000), std::vector<std::string>{"山田"});
    EXPECT_EQ(SelectedLines(dialog, 1000), std::vector<int>{0});
    EXPECT_EQ(Text(GetDlgItem(dialog, 1002)), "個人名");
    EXPECT_TRUE((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0);
    EXPECT_TRUE((GetWindowLongA(GetDlgItem(dialog, 1001), GWL_STYLE) & LBS_EXTENDEDSEL) != 0);
    EXPECT_FALSE((GetWindowLongA(GetDlgItem(dialog, 1002), GWL_STYLE) & WS_TABSTOP) != 0);
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
}

}  // namespace
}  // namespace e2e
