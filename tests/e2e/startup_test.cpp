#include "automation.h"
#include "res/resource.h"

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
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), std::vector<std::string>{"山田"});
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
        {IDC_ADD_DESTINATION, "宛先(&O) ->", true},   {IDC_CREATE_ENTRY, "作成(&N)...", true},        {IDC_DELETE_ENTRY, "ｱﾄﾞﾚｽ帳から削除(&E)", true},
        {IDC_PROPERTIES, "ﾌﾟﾛﾊﾟﾃｨ(&R)", true},  {IDC_REMOVE_DESTINATIONS, "宛先から削除(&D)", false}, {1, "OK", true},
        {2, "ｷｬﾝｾﾙ", true},           {3, "ﾊﾞｰｼﾞｮﾝ情報(&B)", true},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(Text(GetDlgItem(dialog, c.id)), c.text);
        EXPECT_EQ(Enabled(dialog, c.id), c.enabled);
    }
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), std::vector<std::string>{"山田"});
    EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_DISPLAY_MODE)), "個人名");
    EXPECT_TRUE((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0);
    EXPECT_TRUE((GetWindowLongA(GetDlgItem(dialog, IDC_DESTINATION_LIST), GWL_STYLE) & LBS_EXTENDEDSEL) != 0);
    EXPECT_FALSE((GetWindowLongA(GetDlgItem(dialog, IDC_DISPLAY_MODE), GWL_STYLE) & WS_TABSTOP) != 0);
    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
}

// The templates in the exe itself, as the dialog tables give them.
TEST_F(StartupTest, TheExeCarriesTheDialogTemplates) {
    auto ids = [](const DialogResource& dialog) {
        std::vector<int> found;
        for (const ControlResource& control : dialog.controls) found.push_back(control.id);
        return found;
    };
    auto texts = [](const DialogResource& dialog) {
        std::vector<std::string> found;
        for (const ControlResource& control : dialog.controls) found.push_back(control.text);
        return found;
    };
    auto style = [](const DialogResource& dialog, int id) {
        for (const ControlResource& control : dialog.controls)
            if (control.id == id) return control.style;
        return DWORD{0};
    };
    DialogResource main = ReadDialogResource(IDD_ADDRESSBOOK);
    EXPECT_EQ(main.caption, "ｱﾄﾞﾚｽ帳");
    EXPECT_EQ(std::vector<short>({main.cx, main.cy}), std::vector<short>({287, 223}));
    EXPECT_TRUE(main.exStyle & WS_EX_APPWINDOW);
    // Each label right before the control it names, for screen readers.
    EXPECT_EQ(ids(main), (std::vector<int>{-1, IDC_DISPLAY_MODE, -1, IDC_ADDRESS_LIST, IDC_ADD_DESTINATION,
                                           IDC_CREATE_ENTRY, IDC_DELETE_ENTRY, IDC_PROPERTIES, -1,
                                           IDC_DESTINATION_LIST, IDC_REMOVE_DESTINATIONS, IDOK, IDCANCEL, IDC_ABOUT,
                                           -1, -1}));
    EXPECT_EQ(texts(main), (std::vector<std::string>{"表示", "", "ｱﾄﾞﾚｽ帳一覧", "", "宛先(&O) ->", "作成(&N)...",
                                                     "ｱﾄﾞﾚｽ帳から削除(&E)", "ﾌﾟﾛﾊﾟﾃｨ(&R)", "選択された宛先一覧", "",
                                                     "宛先から削除(&D)", "OK", "ｷｬﾝｾﾙ", "ﾊﾞｰｼﾞｮﾝ情報(&B)", "", ""}));
    EXPECT_FALSE(style(main, IDC_ADDRESS_LIST) & LBS_EXTENDEDSEL);
    EXPECT_TRUE(style(main, IDC_ADDRESS_LIST) & LBS_WANTKEYBOARDINPUT);
    EXPECT_TRUE(style(main, IDC_DESTINATION_LIST) & LBS_EXTENDEDSEL);
    EXPECT_TRUE(style(main, IDC_DESTINATION_LIST) & LBS_WANTKEYBOARDINPUT);
    EXPECT_EQ(style(main, IDC_DISPLAY_MODE) & (CBS_DROPDOWNLIST | WS_TABSTOP | CBS_SORT),
              static_cast<DWORD>(CBS_DROPDOWNLIST));

    const std::vector<int> entry = {IDOK, IDCANCEL, -1, IDC_NAME, -1, IDC_NAME_READING, -1, IDC_COMPANY, -1,
                                    IDC_COMPANY_READING, -1, IDC_DEPARTMENT, -1, IDC_FAX_NUMBER};
    DialogResource created = ReadDialogResource(IDD_NEW_ENTRY), property = ReadDialogResource(IDD_ENTRY_PROPERTY);
    EXPECT_EQ(created.caption, "ｴﾝﾄﾘの作成");
    EXPECT_EQ(property.caption, "ﾌﾟﾛﾊﾟﾃｨ");
    EXPECT_EQ(ids(created), entry);
    EXPECT_EQ(ids(property), entry);
    DialogResource about = ReadDialogResource(IDD_ABOUTBOX);
    EXPECT_EQ(about.caption, "ﾊﾞｰｼﾞｮﾝ情報 pelinote");
    EXPECT_EQ(ids(about), (std::vector<int>{-1, -1, -1, IDOK}));
}

// The dialogs' font at 96 dpi, as the stand-in (IPAPGothic, which shares its
// glyph widths) draws it: 9 pt is an em of 12 pixels, and a dialog unit is
// a quarter of its average letter, half an em wide.
TEST_F(StartupTest, EveryCaptionFitsItsControl) {
    const int em = MulDiv(9, 96, 72);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-em, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    HGDIOBJ old = SelectObject(dc, font);
    for (int id : {IDD_ABOUTBOX, IDD_ADDRESSBOOK, IDD_ENTRY_PROPERTY, IDD_NEW_ENTRY, IDD_FIND}) {
        const DialogResource dialog = ReadDialogResource(id);
        ASSERT_FALSE(dialog.controls.empty()) << id;
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            const ControlResource& control = dialog.controls[i];
            const bool button = control.className == "Button";
            if (!button && (control.className != "Static" || (control.style & SS_TYPEMASK) > SS_RIGHT)) continue;
            RECT needed = {};
            DrawTextA(dc, control.text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
            // A button draws its text inside its edges and its focus frame.
            const int pixels = needed.right + (button ? 6 : 0);
            EXPECT_LE(pixels * 4, control.cx * em / 2)
                << "dialog " << id << ", control " << i << " needs " << pixels * 8 / em << " units, has " << control.cx;
        }
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
}

}  // namespace
}  // namespace e2e
