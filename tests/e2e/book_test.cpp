#include <cstdlib>

#include "automation.h"
#include "res/resource.h"

namespace e2e {
namespace {

using BookTest = EndToEnd;

// Presses "作成(&N)..." and waits for the new-entry dialog.
HWND OpenNewEntry(Program& copy, HWND dialog) {
    Click(dialog, IDC_CREATE_ENTRY);
    return copy.WaitForWindow("ｴﾝﾄﾘの作成");
}

// The second line of a refused save, or of a start that could not read the book.
const std::string kHeld = "\nほかのﾌﾟﾛｸﾞﾗﾑがｱﾄﾞﾚｽ帳ﾃﾞｰﾀを開いています。そのﾌﾟﾛｸﾞﾗﾑを閉じてから、もう一度操作してください。";
const std::string kCannotWrite = "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ(qvddata.csv) に書き込みできませんでした。";

// Fills the six edits of an entry dialog.
void Fill(HWND entry, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) SetText(entry, IDC_NAME + static_cast<int>(i), fields[i]);
}

// Creates a person through the new-entry dialog; false when it did not open.
bool CreatePerson(Program& copy, HWND dialog, const std::vector<std::string>& fields) {
    HWND entry = OpenNewEntry(copy, dialog);
    if (!entry) return false;
    Fill(entry, fields);
    Click(entry, IDOK);
    return true;
}

// Changes field |id| of the person on |line| through the property dialog and saves; false when it did not.
bool EditPerson(Program& copy, HWND dialog, int line, int id, const std::string& text) {
    SelectLine(dialog, IDC_ADDRESS_LIST, line);
    Click(dialog, IDC_PROPERTIES);
    HWND property = copy.WaitForWindow("ﾌﾟﾛﾊﾟﾃｨ");
    if (!property) return false;
    SetText(property, id, text);
    Click(property, IDOK);
    return copy.AnswerBox(IDOK) == "ﾃﾞｰﾀ が変更されています。保存しますか？";
}

// Opens the group dialog on the group of |line| in the group view, or (-1) to create one.
HWND OpenGroup(Program& copy, HWND dialog, int line) {
    ChooseMode(dialog, 2);
    if (line >= 0) SelectLine(dialog, IDC_ADDRESS_LIST, line);
    Click(dialog, line >= 0 ? IDC_PROPERTIES : IDC_CREATE_ENTRY);
    return copy.WaitForWindow("ｸﾞﾙｰﾌﾟ");
}

TEST_F(BookTest, MissingBookIsReportedAndCreatedByTheFirstSave) {
    Program copy("/s /m:E2E FAX Driver");
    EXPECT_EQ(copy.AnswerBox(), "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ (qvddata.csv) をｵｰﾌﾟﾝできませんでした。\n新規にｱﾄﾞﾚｽ帳を作成します。");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(BookExists());
    HWND entry = OpenNewEntry(copy, dialog);
    ASSERT_NE(entry, nullptr);
    Click(entry, IDOK);
    EXPECT_EQ(copy.AnswerBox(), "新規登録には、最低限[名前], [名前の読み], [FAX番号]が必要です。");
    Fill(entry, {"山田太郎", "やまだたろう", "山田商事", "やまだしょうじ", "営業部", "03-1234-5678"});
    Click(entry, IDOK);
    ASSERT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), "山田太郎,やまだたろう,山田商事,やまだしょうじ,営業部,03-1234-5678,,,,,,,\r\n");
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), std::vector<std::string>{"山田太郎"});
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, CreateEditDeleteThroughTheRealDialogs) {
    WriteBook("A,a,,,,1,x1,x2,x3,x4,x5,x6,x7\n,,unnamed,,,9\nB,b,,,,2\r\n");
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "B"}));

    // Create
    HWND entry = OpenNewEntry(copy, dialog);
    ASSERT_NE(entry, nullptr);
    Fill(entry, {"鈴木", "すずき", "", "", "", "06-1*2"});
    Click(entry, IDOK);
    EXPECT_EQ(copy.AnswerBox(), "FAX番号は、半角の数字 '0'～'9' , '-' , '#' 記号のみ入力可能です。");
    SetText(entry, IDC_FAX_NUMBER, "06-1#2");
    Click(entry, IDOK);
    ASSERT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), "A,a,,,,1,x1,x2,x3,x4,x5,x6,x7\r\nB,b,,,,2,,,,,,,\r\n鈴木,すずき,,,,06-1#2,,,,,,,\r\n"
                          ",,unnamed,,,9,,,,,,,\r\n");

    // Properties: '*' is allowed here; the save question comes first
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_PROPERTIES);
    HWND property = copy.WaitForWindow("ﾌﾟﾛﾊﾟﾃｨ");
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(Text(GetDlgItem(property, IDC_NAME)), "A");
    SetText(property, IDC_FAX_NUMBER, "1*2");
    Click(property, IDOK);
    EXPECT_EQ(copy.AnswerBox(IDCANCEL), "ﾃﾞｰﾀ が変更されています。保存しますか？");
    Click(property, IDOK);
    EXPECT_EQ(copy.AnswerBox(IDOK), "ﾃﾞｰﾀ が変更されています。保存しますか？");
    ASSERT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), "A,a,,,,1*2,x1,x2,x3,x4,x5,x6,x7\r\nB,b,,,,2,,,,,,,\r\n鈴木,すずき,,,,06-1#2,,,,,,,\r\n"
                          ",,unnamed,,,9,,,,,,,\r\n");

    // Delete, answering Cancel first
    SelectLine(dialog, IDC_ADDRESS_LIST, 1);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDCANCEL), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).size(), 3u);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "鈴木"}));
    EXPECT_FALSE(Enabled(dialog, IDC_ADD_DESTINATION));
    EXPECT_EQ(ReadBook(), "A,a,,,,1*2,x1,x2,x3,x4,x5,x6,x7\r\n鈴木,すずき,,,,06-1#2,,,,,,,\r\n,,unnamed,,,9,,,,,,,\r\n");
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, ThousandPersons) {
    std::string book;
    for (int i = 0; i < 1001; ++i) book += Row("P" + std::to_string(i), std::to_string(i));
    WriteBook(book);
    Program copy("/s /m:E2E FAX Driver");
    EXPECT_EQ(copy.AnswerBox(), "1000人を超えるﾃﾞｰﾀは読み込みできません。\n"
                                "以後ｱﾄﾞﾚｽ帳ﾃﾞｰﾀを変更すると、1000人を超えた部分のﾃﾞｰﾀは捨てられます。");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    std::vector<std::string> lines = Lines(dialog, IDC_ADDRESS_LIST);
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines.back(), "P999");
    Click(dialog, IDC_CREATE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(), "これ以上ﾒﾝﾊﾞｰの新規追加はできません。");
    EXPECT_EQ(copy.WaitForWindow("ｴﾝﾄﾘの作成", 300), nullptr);
    // Deleting one saves the 999 that remain; the 1001st person is gone.
    SelectLine(dialog, IDC_ADDRESS_LIST, 999);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    WaitIdle(dialog);
    EXPECT_TRUE(copy.NoBox()) << copy.AnswerBox();
    EXPECT_EQ(ReadBook(), book.substr(0, book.find("P999,")));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, TypingLimitsCountBytes) {
    WriteBook(Row("A", "1"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_PROPERTIES);
    HWND property = copy.WaitForWindow("ﾌﾟﾛﾊﾟﾃｨ");
    ASSERT_NE(property, nullptr);
    SetText(property, IDC_NAME, "");
    Type(property, IDC_NAME, std::string(70, 'n'));
    EXPECT_EQ(Text(GetDlgItem(property, IDC_NAME)), std::string(65, 'n'));
    Click(property, IDOK);
    EXPECT_EQ(copy.AnswerBox(), "「名前」または「名前の読み」が制限文字数を超えています。（最大64文字）");
    Click(property, IDCANCEL);
    EXPECT_EQ(ReadBook(), Row("A", "1"));

    HWND entry = OpenNewEntry(copy, dialog);
    ASSERT_NE(entry, nullptr);
    Type(entry, IDC_FAX_NUMBER, std::string(260, '1'));
    EXPECT_EQ(Text(GetDlgItem(entry, IDC_FAX_NUMBER)).size(), 255u);
    Click(entry, IDCANCEL);
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, ABookHeldAtTheStartIsShownWhenReadableAndNeverReplaced) {
    const std::string three = Row("A", "1") + Row("B", "2") + "C,c,,,,3,x1,x2,x3,x4,x5,x6,x7\r\n";
    const std::string notRead = kCannotWrite +
        "\n起動時にｱﾄﾞﾚｽ帳ﾃﾞｰﾀを読み込めなかったため、変更は保存されません。ｱﾄﾞﾚｽ帳を開き直してください。";
    struct Case {
        const char* what;
        DWORD share;
        std::string atStart;  // "" for no message
        std::vector<std::string> lines;
        std::string saveWhileHeld, saveAfter;  // "" when it saves
        std::string book;
    };
    const std::vector<Case> cases = {
        {"held without sharing", 0,
         "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ (qvddata.csv) を読み込みできませんでした。\nｱﾄﾞﾚｽ帳ﾃﾞｰﾀの変更は保存されません。" + kHeld, {},
         notRead, notRead, three},
        {"a spreadsheet", FILE_SHARE_READ, "", {"A", "B", "C"}, kCannotWrite + kHeld, "",
         three + "D,d,,,,4,,,,,,,\r\nE,e,,,,5,,,,,,,\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBook(three);
        AddPrinter();
        SetValue(kDataKey, "FaxNumberBook", "2");
        SetValue(kDataKey, "FaxNumberBook2", "B");
        HANDLE held = CreateFileA(BookPath().c_str(), GENERIC_READ | GENERIC_WRITE, c.share, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Program copy("/s /m:E2E FAX Driver");
        EXPECT_EQ(c.atStart.empty() ? "" : copy.AnswerBox(), c.atStart);
        HWND dialog = copy.MainDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), c.lines);
        // The first person is created while the book is held, the second once it is let go.
        const std::vector<std::string> persons[2] = {{"D", "d", "", "", "", "4"}, {"E", "e", "", "", "", "5"}};
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(CreatePerson(copy, dialog, persons[i]));
            const std::string& box = i == 0 ? c.saveWhileHeld : c.saveAfter;
            EXPECT_EQ(box.empty() ? "" : copy.AnswerBox(), box);
            EXPECT_TRUE(copy.NoBox());
            if (i == 0) CloseHandle(held);
            EXPECT_EQ(ReadBook(), i == 0 ? three : c.book);
        }
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(copy.WaitForExit());
        // A start that could not read the book erases none of the stored destinations.
        EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook2"), "B");
        RemovePrinters();
    }
}

TEST_F(BookTest, AMergeThatWouldDropPersonsPastTheThousandthIsRefused) {
    std::string thousand;
    for (int i = 0; i < 1000; ++i) thousand += Row("P" + std::to_string(i), "1");
    WriteBook(thousand);
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string spreadsheet = thousand + Row("新人", "2") + Row("次の人", "3");
    WriteBook(spreadsheet);
    ASSERT_TRUE(EditPerson(copy, dialog, 0, IDC_NAME, "Q"));
    const std::string box = copy.AnswerBox();
    EXPECT_EQ(box.rfind("ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ(qvddata.csv) に書き込みできませんでした。\n", 0), 0u) << box;
    EXPECT_NE(box.find("\n新人、次の人"), std::string::npos) << box;
    EXPECT_EQ(ReadBook(), spreadsheet);
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).front(), "P0");
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, ABookChangedMeanwhileGetsTheChangeMadeToIt) {
    WriteBook(Row("A", "1"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    WriteBook(Row("A", "1") + Row("Edited", "9"));
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    EXPECT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), Row("Edited", "9"));
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), std::vector<std::string>{"Edited"});
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, FailedSaveLeavesTheFileAsItWas) {
    const std::string before = Row("A", "1") + Row("B", "2");
    WriteBook(before);
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    // Another program holds the file without sharing it for writing.
    HANDLE held = CreateFileA(BookPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    EXPECT_EQ(copy.AnswerBox(), kCannotWrite + kHeld);
    CloseHandle(held);
    EXPECT_EQ(ReadBook(), before);
    EXPECT_EQ(ReadFileBytes(JournalPath()), "<none>");
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

// Creates, edits and deletes a person through the real dialogs; each saves.
void CreateEditDelete(Program& copy, HWND dialog) {
    ASSERT_TRUE(CreatePerson(copy, dialog, {"C", "c", "", "", "", "3"}));
    ASSERT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), Row("A", "1") + Row("B", "2") + "C,c,,,,3,,,,,,,\r\n");
    ASSERT_TRUE(EditPerson(copy, dialog, 0, IDC_FAX_NUMBER, "11"));
    ASSERT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), Row("A", "11") + Row("B", "2") + "C,c,,,,3,,,,,,,\r\n");
    SelectLine(dialog, IDC_ADDRESS_LIST, 1);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    ASSERT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), Row("A", "11") + "C,c,,,,3,,,,,,,\r\n");
}

TEST_F(BookTest, SavesNeedARightOnTheBookAndTheJournalAlone) {
    // A standard user, granted the two files by an administrator who made
    // the journal; then an administrator, whose first save makes it.
    for (bool standardUser : {true, false}) {
        SCOPED_TRACE(standardUser ? "standard user" : "administrator");
        WriteBook(Row("A", "1") + Row("B", "2"));
        DeleteFileA(JournalPath().c_str());
        if (standardUser) {
            WriteFileBytes(JournalPath(), "");
            ASSERT_TRUE(CloseSystemDirectory(true)) << "run the end-to-end tests as a Unix user other than root";
        }
        const FileIdentity book = IdentityOf(BookPath()), journal = IdentityOf(JournalPath());
        const std::set<std::string> names = SystemDirectoryNames();
        Program copy("/s /m:E2E FAX Driver");
        HWND dialog = copy.MainDialog();
        ASSERT_NE(dialog, nullptr);
        CreateEditDelete(copy, dialog);
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(copy.WaitForExit());
        EXPECT_EQ(ReadFileBytes(JournalPath()), "");
        EXPECT_TRUE(IdentityOf(BookPath()) == book);
        if (standardUser) {
            EXPECT_TRUE(IdentityOf(JournalPath()) == journal);
            EXPECT_EQ(SystemDirectoryNames(), names);
        }
        ASSERT_TRUE(CloseSystemDirectory(false));
    }
}

TEST_F(BookTest, WithoutAJournalAStandardUserCannotSave) {
    const std::string two = Row("A", "1") + Row("B", "2");
    WriteBook(two);
    ASSERT_TRUE(CloseSystemDirectory(true)) << "run the end-to-end tests as a Unix user other than root";
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    SelectLine(dialog, IDC_ADDRESS_LIST, 0);
    Click(dialog, IDC_DELETE_ENTRY);
    EXPECT_EQ(copy.AnswerBox(IDOK), "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?");
    EXPECT_EQ(copy.AnswerBox(), kCannotWrite +
                                    "\n作業ﾌｧｲﾙ (qvddata.tmp) がないか、このﾕｰｻﾞｰには書き込む権限がありません。"
                                    "管理者に連絡してください。");
    EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), std::vector<std::string>{"B"});
    EXPECT_EQ(ReadBook(), two);
    EXPECT_EQ(ReadFileBytes(JournalPath()), "<none>");
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, AFullDiskRefusesTheSaveKeepsTheBookWholeAndPassesWhenSpaceIsFreed) {
    // A small file system of its own, that scripts/test mounts, holds the book and the journal.
    const char* small = std::getenv("QVD_SMALL_DISK");
    if (!small) GTEST_SKIP() << "QVD_SMALL_DISK names no small file system";
    const std::string folder = small, filler = folder + "\\filler";
    constexpr std::size_t kPage = 4096;
    std::string book;
    for (int i = 0; i < 990; ++i) book += Row("P" + std::to_string(i), "1");
    // A whole number of pages, so that any growth needs one more.
    book += "Last,l,,,,1," + std::string(kPage - (book.size() + 20) % kPage, 'x') + ",,,,,,\r\n";
    ASSERT_EQ(book.size() % kPage, 0u);
    WriteFileBytes(folder + "\\QVDDATA.CSV", book);
    WriteFileBytes(folder + "\\QVDDATA.TMP", "");
    // Whatever happens, the tests after this one find the system directory as it was.
    struct Links {
        ~Links() { EXPECT_TRUE(UnlinkFromSystemDirectory("QVDDATA.CSV") && UnlinkFromSystemDirectory("QVDDATA.TMP")); }
    } links;
    ASSERT_TRUE(LinkIntoSystemDirectory(folder + "\\QVDDATA.CSV") && LinkIntoSystemDirectory(folder + "\\QVDDATA.TMP"));
    ASSERT_EQ(ReadBook(), book);
    // Full, but for the pages the journal of the save will take.
    HANDLE fill = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(fill, INVALID_HANDLE_VALUE);
    const std::string chunk(65536, 'f');
    for (DWORD written = 0; WriteFile(fill, chunk.data(), 65536, &written, nullptr) && written == 65536;) {}
    const std::string saved = book + "C,c,,,,3,,,,,,,\r\n";
    const LONG journalPages = static_cast<LONG>((32 + book.size() + saved.size() + kPage - 1) / kPage);
    SetFilePointer(fill, -journalPages * static_cast<LONG>(kPage), nullptr, FILE_END);
    ASSERT_TRUE(SetEndOfFile(fill));
    CloseHandle(fill);

    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(CreatePerson(copy, dialog, {"C", "c", "", "", "", "3"}));
    EXPECT_EQ(copy.AnswerBox(),
              kCannotWrite + "\nﾃﾞｨｽｸの空き領域が足りません。空き領域を増やしてから、もう一度操作してください。");
    EXPECT_TRUE(ReadBook() == book);
    EXPECT_EQ(ReadFileBytes(JournalPath()), "");
    // Space freed: the next save of the same run goes through.
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    ASSERT_TRUE(CreatePerson(copy, dialog, {"D", "d", "", "", "", "4"}));
    EXPECT_TRUE(copy.NoBox());
    EXPECT_TRUE(ReadBook() == saved + "D,d,,,,4,,,,,,,\r\n");
    EXPECT_EQ(ReadFileBytes(JournalPath()), "");
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(copy.WaitForExit());
}

TEST_F(BookTest, AKillInTheMiddleOfASaveLeavesAWholeBook) {
    // 999 persons with long spare columns (some 3 MB), so that a save takes
    // long enough to be killed in the middle.
    std::string book;
    for (int i = 0; i < 999; ++i) book += "P" + std::to_string(i) + ",p,,,,1," + std::string(3000, 'x') + ",,,,,,\r\n";
    const std::string saved = book + "New,n,,,,2,,,,,,,\r\n";
    bool killedMidway = false;
    for (int attempt = 0; attempt < 5 && !killedMidway; ++attempt) {
        WriteBook(book);
        WriteFileBytes(JournalPath(), "");
        ASSERT_TRUE(CloseSystemDirectory(true)) << "run the end-to-end tests as a Unix user other than root";
        {
            Program copy("/s /m:E2E FAX Driver");
            HWND dialog = copy.MainDialog();
            ASSERT_NE(dialog, nullptr);
            // Killed as soon as the journal holds the whole save, before it is emptied again.
            const ULONGLONG whole = 32 + book.size() + saved.size();
            ASSERT_TRUE(CreatePerson(copy, dialog, {"New", "n", "", "", "", "2"}));
            for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
                WIN32_FILE_ATTRIBUTE_DATA data;
                if (GetFileAttributesExA(JournalPath().c_str(), GetFileExInfoStandard, &data) &&
                    ((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow) == whole) {
                    TerminateProcess(copy.Process(), 9);
                    break;
                }
            }
            ASSERT_TRUE(copy.WaitForExit());
            killedMidway = ReadFileBytes(JournalPath()).size() == whole;
        }
        Program again("/s /m:E2E FAX Driver");
        HWND dialog = again.MainDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(again.NoBox());
        EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST).size(), 1000u);
        EXPECT_TRUE(ReadBook() == saved) << "the book is not whole after a kill, attempt " << attempt;
        EXPECT_EQ(ReadFileBytes(JournalPath()), "");
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(again.WaitForExit());
        CloseSystemDirectory(false);
    }
    EXPECT_TRUE(killedMidway) << "no kill landed in the middle of a save";
}

// Two PCs on one book, each a Wine prefix of its own (its own wineserver),
// both reaching one folder as \\fileserver\fax. The policy names its folder
// 一覧表 (the trail byte of 表 is a backslash), a backslash after it.
// scripts/two-pcs runs this program as PC A and as PC B (QVD_PC).
const std::string kShare = "\\\\fileserver\\fax";
const std::string kFolder = kShare + "\\一覧表";
const char* kPolicyKey = "SOFTWARE\\Policies\\qvdutil";

class TwoPcs : public EndToEnd {
protected:
    void SetUp() override {
        const char* pc = std::getenv("QVD_PC");
        if (!pc) GTEST_SKIP() << "scripts/two-pcs runs these, one per PC";
        m_pc = pc;
        EndToEnd::SetUp();
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
        const std::string policy = kFolder + "\\";
        RegSetValueExA(key, "BookFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(policy.c_str()),
                       static_cast<DWORD>(policy.size() + 1));
        RegCloseKey(key);
        AddPrinter();
    }
    void TearDown() override {
        if (m_pc.empty()) return;
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPolicyKey);
        EndToEnd::TearDown();
    }
    static std::string Shared(const std::string& name) { return kShare + "\\" + name; }
    static std::string InFolder(const std::string& name) { return kFolder + "\\" + name; }
    // Waits for the other PC to leave |name| in the share.
    static bool WaitFor(const std::string& name) {
        for (int i = 0; i < 1200; ++i, Sleep(100))
            if (GetFileAttributesA(Shared(name).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        return false;
    }
    std::string m_pc;
};

TEST_F(TwoPcs, EachPcsChangeJoinsTheOthers) {
    if (m_pc == "A") {
        CreateDirectoryA(kFolder.c_str(), nullptr);
        WriteFileBytes(InFolder("QVDDATA.CSV"), Row("A", "1") + Row("B", "2"));
        WriteFileBytes(InFolder("QVDDATA.TMP"), "");
        WriteFileBytes(InFolder("QVDGROUP.CSV"), "G1,g,A,1\r\nG2,g,B,2\r\n");
        WriteFileBytes(InFolder("QVDGROUP.TMP"), "");
        Program copy("/s /m:E2E FAX Driver");
        HWND dialog = copy.MainDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "B"}));
        WriteFileBytes(Shared("a-shows-the-book"), "");
        ASSERT_TRUE(WaitFor("b-created-a-person"));
        // A edits another person of the book as it read it: the save takes in B's.
        ASSERT_TRUE(EditPerson(copy, dialog, 0, IDC_NAME, "Al"));
        EXPECT_TRUE(copy.NoBox());
        EXPECT_EQ(ReadFileBytes(InFolder("QVDDATA.CSV")), Row("Al", "1") + Row("B", "2") + Row("C", "3"));
        EXPECT_EQ(ReadFileBytes(InFolder("QVDDATA.TMP")), "");
        EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"Al", "B", "C"}));
        EXPECT_EQ(SelectedLines(dialog, IDC_ADDRESS_LIST), std::vector<int>{0});
        // The rename took A's group along; then B renames a group, and A makes one.
        EXPECT_EQ(ReadFileBytes(InFolder("QVDGROUP.CSV")), "G1,g,Al,1\r\nG2,g,B,2\r\n");
        WriteFileBytes(Shared("a-renamed-a-member"), "");
        ASSERT_TRUE(WaitFor("b-renamed-a-group"));
        HWND group = OpenGroup(copy, dialog, -1);
        ASSERT_NE(group, nullptr);
        SetText(group, IDC_GROUP_NAME, "GA");
        SelectLines(group, IDC_GROUP_MEMBERS, {2});
        Click(group, IDOK);
        EXPECT_TRUE(copy.NoBox());
        EXPECT_EQ(ReadFileBytes(InFolder("QVDGROUP.CSV")), "G1,g,Al,1\r\nG2B,g,B,2\r\nGA,,C,3\r\n");
        EXPECT_EQ(ReadFileBytes(InFolder("QVDGROUP.TMP")), "");
        EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"【G1】 1人", "【G2B】 1人", "【GA】 1人"}));
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(copy.WaitForExit());
    } else {
        ASSERT_TRUE(WaitFor("a-shows-the-book"));
        Program copy("/s /m:E2E FAX Driver");
        HWND dialog = copy.MainDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(CreatePerson(copy, dialog, {"C", "よみ", "", "", "", "3"}));
        EXPECT_TRUE(copy.NoBox());
        EXPECT_EQ(ReadFileBytes(InFolder("QVDDATA.CSV")), Row("A", "1") + Row("B", "2") + Row("C", "3"));
        WriteFileBytes(Shared("b-created-a-person"), "");
        ASSERT_TRUE(WaitFor("a-renamed-a-member"));
        // A group as this PC read it: the save takes in A's rename of a member.
        HWND group = OpenGroup(copy, dialog, 1);
        ASSERT_NE(group, nullptr);
        SetText(group, IDC_GROUP_NAME, "G2B");
        Click(group, IDOK);
        EXPECT_TRUE(copy.NoBox());
        EXPECT_EQ(ReadFileBytes(InFolder("QVDGROUP.CSV")), "G1,g,Al,1\r\nG2B,g,B,2\r\n");
        EXPECT_EQ(Lines(dialog, IDC_ADDRESS_LIST), (std::vector<std::string>{"【G1】 1人", "【G2B】 1人"}));
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(copy.WaitForExit());
        WriteFileBytes(Shared("b-renamed-a-group"), "");
    }
}

}  // namespace
}  // namespace e2e
