// qvdbook's commands on the memory backend: what an edited file becomes,
// the round trip, and the import and check as a user meets them.
#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

#include "support/fixture.h"
#include "book/book_location.h"
#include "storage/journal.h"
#include "tool/book_import.h"
#include "tool/book_tool.h"
#include "tool/messages.h"

namespace {

using Kind = ImportNote::Kind;

std::string Repeat(std::size_t count, const std::string& text) {
    std::string all;
    while (count--) all += text;
    return all;
}

// The warnings of |rows| rows without a name, after |refusals|.
std::vector<ImportNote> Unnamed(int rows, std::vector<ImportNote> refusals = {}) {
    for (int row = 1; row <= rows; ++row) refusals.push_back({Kind::Unnamed, row, 1});
    return refusals;
}

struct ImportCase {
    const char* what;
    std::string file;
    std::string book;  // as the book file holds it afterwards
    std::vector<ImportNote> notes;  // refusals, then warnings
};

TEST(ImportTest, EncodingsQuotingRefusalsAndWarnings) {
    using namespace std::string_literals;
    const std::string full = Row("A", "03-1");
    const std::vector<ImportCase> cases = {
        {"Shift-JIS, CR LF", Row("山田", "03-1"), Row("山田", "03-1"), {}},
        {"LF, CR, short rows, empty rows", "A,r,,,,03-1\n\nB,r\r,\r\n\n,,\n", "A,r,,,,03-1,,,,,,,\r\nB,r,,,,,,,,,,,\r\n",
         {{Kind::Required, 3, 6}}},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + std::string(u8"ﾔﾏﾀﾞ,やまだ,,,,03-1\r\n"), "ﾔﾏﾀﾞ,やまだ,,,,03-1,,,,,,,\r\n", {}},
        {"UTF-8 without, wave dash as Windows has it", u8"〜,よみ,,,,03-1\n", Row("～", "03-1"), {}},
        {"quoted as spreadsheets quote", "\"A\",\"よみ\",,,,\"03-1\"\r\n", full, {}},
        {"quote inside", "\"A\"\"\",よみ,,,,03-1\r\n", "", {{Kind::Quote, 1, 1}}},
        {"quote not closed", "A,\"よみ,,,,03-1\r\n", "", {{Kind::Quote, 1, 2}}},
        {"comma in a cell", "\"A,B\",よみ,,,,03-1\r\n", "", {{Kind::Comma, 1, 1}}},
        {"line break in a cell", "A,\"よ\nみ\",,,,03-1\r\n" + full, "", {{Kind::LineBreak, 1, 2}}},
        {"UTF-16", "\xFF\xFE" "A\0", "", {{Kind::Utf16, 0, 0}}},
        {"UTF-16BE", "\xFE\xFF\0A"s, "", {{Kind::Utf16, 0, 0}}},
        {"UTF-16LE without a mark", "A\0,\0r\0,\0,\0,\0,\0" "0\0" "3\0\r\0\n\0"s, "", {{Kind::Utf16, 0, 0}}},
        {"UTF-16LE without a mark, nearly all Japanese",
         Repeat(5, Repeat(20, "\x22\x6F") + ",\0"s) + Repeat(20, "\x22\x6F") + ",\0" "0\0" "3\0" "-\0" "1\0" "\r\0" "\n\0"s, "",
         {{Kind::Utf16, 0, 0}}},
        {"UTF-16BE without a mark", "\0A\0,\0r\0,\0,\0,\0,\0" "0\0" "3\0\r\0\n"s + "\x5C\x71\0,"s, "", {{Kind::Utf16, 0, 0}}},
        {"zeros only, as a failed copy leaves", std::string(4000, '\0'), "", {{Kind::NulByte, 1, 1}}},
        {"NUL in a name", full + "乙\0丙,よみ,,,,03-1\r\n"s, "", {{Kind::NulByte, 2, 1}}},
        {"empty file", "", "", {{Kind::NoPerson, 0, 0}}},
        {"not Shift-JIS", full + "A,\x81\x20,,,,03-1\r\n", "", {{Kind::NotShiftJis, 2, 2}}},
        {"Shift-JIS, one line of two also UTF-8", "\xE3\x81\x82\xE3\x81\x84,r,,,,03-1\r\n" + full,
         "\xE3\x81\x82\xE3\x81\x84,r,,,,03-1,,,,,,,\r\n" + full, {}},
        {"Shift-JIS that pairs up as UTF-8", "ﾃｨ,ﾃｨ,,,,03-1\r\n", "ﾃｨ,ﾃｨ,,,,03-1,,,,,,,\r\n", {}},
        {"UTF-8 with a byte gone wrong", std::string(u8"山田,よみ,,,,03-1\n") + "B,\xE3\x81,,,,03-1\n" + u8"鈴木,よみ,,,,03-1\n", "",
         {{Kind::NotUtf8, 2, 2}}},
        {"marked UTF-8 that is not", "\xEF\xBB\xBF" "A,\xC0\xAF,,,,03-1\r\n", "", {{Kind::NotUtf8, 1, 2}}},
        {"no Shift-JIS form", u8"A,😀,,,,03-1\r\n", "", {{Kind::NoShiftJisForm, 1, 2, 0x1F600}}},
        {"field of 4095 bytes", "A,よみ,,,," + std::string(4095 - 4, 'x') + "03-1\r\n", "", {{Kind::FaxCharacters, 1, 6}, {Kind::TooLong, 1, 6}}},
        {"field of 4096 bytes", "A,よみ,,,,03-1,," + std::string(4096, 'x') + "\r\n", "", {{Kind::FieldTooLong, 1, 8}}},
        {"14 columns, the last empty", "A,よみ,,,,03-1,,,,,,,,\r\n", full, {}},
        {"14 columns", "A,よみ,,,,03-1,,,,,,,,x\r\n", "", {{Kind::ExtraColumn, 1, 14}}},
        {"1000 persons", Repeat(1000, full), Repeat(1000, full), {}},
        {"1001 persons", Repeat(1001, full), "", {{Kind::TooManyPersons, 1001, 0}}},
        {"1002 persons, one refusal", Repeat(1002, full), "", {{Kind::TooManyPersons, 1001, 0}}},
        {"64 unnamed rows", Repeat(64, ",,,,,,x\r\n") + full, full + Repeat(64, ",,,,,,x,,,,,,\r\n"), Unnamed(64)},
        {"65 unnamed rows", Repeat(65, ",,,,,,x\r\n"), "", Unnamed(65, {{Kind::TooManyUnnamedRows, 65, 0}})},
        {"unnamed rows alone", ",,,,,,x\r\n", "", Unnamed(1, {{Kind::NoPerson, 0, 0}})},
        {"unnamed row with text", ",よみ,,,,03-1\r\n" + full, full + ",よみ,,,,03-1,,,,,,,\r\n", {{Kind::Unnamed, 1, 1}}},
        {"a department of 65 bytes", "A,r,,," + Repeat(65, "d") + ",03-1\r\n", "", {{Kind::TooLong, 1, 5}}},
        {"64 and 65 bytes", Repeat(64, "x") + "," + Repeat(65, "y") + ",,,,03-1\r\n", "", {{Kind::TooLong, 1, 2}}},
        {"every rule a row breaks, in column order", Repeat(65, "n") + ",," + Repeat(65, "c") + ",,,03(1)" + Repeat(28, "1") + "\r\n", "",
         {{Kind::TooLong, 1, 1}, {Kind::Required, 1, 2}, {Kind::TooLong, 1, 3}, {Kind::FaxCharacters, 1, 6}, {Kind::TooLong, 1, 6}}},
        {"FAX of 32 and 33 bytes", "A,r,,,,0" + Repeat(31, "1") + "\r\nB,r,,,,0" + Repeat(32, "1") + "\r\n", "", {{Kind::TooLong, 2, 6}}},
        {"FAX numbers a spreadsheet changed",
         "A,r,,,,2026/3/1\nB,r,,,,3月1日\nC,r,,,,1-Mar\nD,r,,,,312345678\nE,r,,,,3.12346E+09\nF,r,,,,03(1)\nG,r,,,,03-1/2#*\n", "",
         {{Kind::FaxLooksLikeDate, 1, 6}, {Kind::FaxLooksLikeDate, 2, 6}, {Kind::FaxLooksLikeDate, 3, 6},
          {Kind::FaxAsNumber, 4, 6}, {Kind::FaxAsNumber, 5, 6}, {Kind::FaxCharacters, 6, 6}}},
    };
    for (const ImportCase& test : cases) {
        SCOPED_TRACE(test.what);
        auto book = std::make_unique<CAddressBook>();
        ImportedFile file = ReadEditedFile(test.file, *book);
        std::vector<ImportNote> notes = file.refusals;
        notes.insert(notes.end(), file.warnings.begin(), file.warnings.end());
        EXPECT_EQ(notes, test.notes);
        if (!test.book.empty()) {
            EXPECT_EQ(FormatAddressBook(*book), test.book);
        }
    }
}

// The rule by which setup adds no entry twice, read from an object's access list.
TEST(GrantTest, OneEntryOfUsersThatAllowsAllOfTheRightsOnTheObjectItself) {
    constexpr DWORD kRead = FILE_GENERIC_READ, kReadWrite = FILE_GENERIC_READ | FILE_GENERIC_WRITE;
    const struct {
        const char* what;
        std::vector<AccessEntry> entries;
        bool held;
    } cases[] = {
        {"no entry", {}, false},
        {"Users allowed read and write", {{true, false, true, kReadWrite}}, true},
        {"Users allowed more", {{true, false, true, kReadWrite | 0x10000}}, true},  // and DELETE
        {"Users allowed read only", {{true, false, true, kRead}}, false},
        {"read and write in two entries", {{true, false, true, kRead}, {true, false, true, FILE_GENERIC_WRITE}}, false},
        {"Users denied", {{false, false, true, kReadWrite}}, false},
        {"for children only", {{true, true, true, kReadWrite}}, false},
        {"another group", {{true, false, false, kReadWrite}}, false},
    };
    for (const auto& test : cases) EXPECT_EQ(UsersHold(test.entries, kReadWrite), test.held) << test.what;
}

TEST(ToolCommandTest, ArgumentsMakeACommandOrAUsageError) {
    using Verb = ToolCommand::Verb;
    struct Case {
        std::vector<std::string> arguments;
        std::optional<Verb> verb;  // nullopt: a usage error
        std::size_t file;
        bool utf8, confirmed;
        std::optional<std::string> driver;
    } cases[] = {
        {{}, {}, 0, false, false, {}},
        {{"/?"}, Verb::Help, 0, false, false, {}},
        {{"EXPORT", "a.csv", "/UTF8"}, Verb::Export, 1, true, false, {}},
        {{"export"}, {}, 0, false, false, {}},
        {{"export", "a", "/y"}, {}, 0, false, false, {}},
        {{"import", "/y", "a.csv"}, Verb::Import, 2, false, true, {}},
        {{"import", "a", "b"}, {}, 0, false, false, {}},
        {{"export", "a", "/empty"}, {}, 0, false, false, {}},
        {{"check"}, Verb::Check, 0, false, false, {}},
        {{"check", "/m:E2E", "FAX", "Driver"}, Verb::Check, 0, false, false, "E2E FAX Driver"},
        {{"check", "a"}, {}, 0, false, false, {}},
        {{"setup", "/m:E2E", "FAX"}, Verb::Setup, 0, false, false, "E2E FAX"},
        {{"check", "/groups"}, {}, 0, false, false, {}},
    };
    for (const Case& test : cases) {
        std::optional<ToolCommand> command = ParseToolCommand(test.arguments);
        ASSERT_EQ(command.has_value(), test.verb.has_value()) << testing::PrintToString(test.arguments);
        if (!command) continue;
        EXPECT_EQ(command->verb, *test.verb);
        EXPECT_EQ(std::make_tuple(command->fileArgument, command->utf8, command->confirmed, command->driverName),
                  std::make_tuple(test.file, test.utf8, test.confirmed, test.driver));
    }
}

// Prints into a list, answers from one.
struct ScriptedConsole : ToolConsole {
    std::vector<std::string> lines;
    std::string answer;
    void Print(std::string_view line) override { lines.emplace_back(line); }
    std::string Ask(std::string_view) override { return answer; }
    int Count(const std::string& start) const {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; }));
    }
};

class ToolTest : public ProgramTest {
protected:
    ScriptedConsole console;
    BookTool tool{*platform, *platform, *platform, platform->directory, console};
    const std::string journal = AddressBookPath(*platform, kAddressBookJournalFileName);
};

TEST_F(ToolTest, ExportThenImportGivesTheSameBytes) {
    // The second row holds characters of two codes (NEC's and IBM's), as Windows never writes them back.
    const std::string book = Row("山田", "03-1", "山田商事") + "\x87\x90\xED\x40\xFA\x54,ﾔﾏﾀﾞ,,,,0#*/,x,,,,,,z\r\n" +
                             ",unnamed,,,,,,,,,,,\r\n,\x87\x90\xED\x40,,,,,,,,,,,\r\n";
    const std::string exported = "C:\\out.csv";
    for (bool utf8 : {false, true}) {
        WriteBook(book);
        platform->files[journal] = EncodeJournal({false, Row("B", "1"), book});  // a save cut short at its very end
        auto files = platform->files;
        ASSERT_EQ(tool.Export(exported, utf8), kExitDone);
        files[exported] = platform->files[exported];
        EXPECT_EQ(platform->files, files);  // not even the save is finished
        platform->files[journal] = "";
        EXPECT_EQ(platform->files[exported].rfind("\xEF\xBB\xBF", 0) == 0, utf8);
        console.lines.clear();
        EXPECT_EQ(tool.Import(platform->files[exported], false), kExitDone);  // nothing to change: not even asked
        EXPECT_EQ(console.Count(toolmsg::kNoChange), 1);
        WriteBook(Row("B", "1"));
        EXPECT_EQ(tool.Import(platform->files[exported], true), kExitDone);
        EXPECT_EQ(Book(), utf8 ? Row("山田", "03-1", "山田商事") + "\x81\xE0\xFA\x5C\x81\xCA,ﾔﾏﾀﾞ,,,,0#*/,x,,,,,,z\r\n" +
                                     ",unnamed,,,,,,,,,,,\r\n,\x81\xE0\xFA\x5C,,,,,,,,,,,\r\n"
                                : book);
    }
    // Text that only moved to the next column is a change.
    WriteBook(Row("A", "1", "X"));
    EXPECT_EQ(tool.Import("A,よみ,,X,,1\r\n", true), kExitDone);
    EXPECT_EQ(console.Count(toolmsg::NameList(toolmsg::kChanged, {"A"})), 1);
}

TEST_F(ToolTest, GroupsGoOutAndComeBackInCheckedAndConfirmed) {
    const std::string groupFile = AddressBookPath(*platform, kGroupFileName);
    const std::string groups = "G,g,A,1\r\nG,g,B,2\r\n";
    const struct {
        const char* what;
        std::string file;
        int exit;
        std::string after;  // the groups' file afterwards
        std::string line;   // printed
    } cases[] = {
        {"as exported, in UTF-8", "\xEF\xBB\xBFG,g,A,1\r\nG,g,B,2\r\n", kExitDone, groups, toolmsg::kNoGroupChange},
        {"a group added, one member unknown", groups + "\"H\",h,Z,9\r\n", kExitDone, groups + "H,h,Z,9\r\n",
         toolmsg::Warning(toolmsg::GroupList(toolmsg::kMembersNotFound, {"H/Z"}))},
        {"a comma in a name", groups + "\"H,I\",h,A,1\r\n", kExitRefused, groups, toolmsg::NotImported(1)},
        {"the 201st group", [] { std::string rows; for (int i = 0; i < 201; ++i) rows += "G" + std::to_string(i) + ",,A,1\n"; return rows; }(),
         kExitRefused, groups, toolmsg::Error(toolmsg::kTooManyGroups)},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        WriteBook(Row("A", "1") + Row("B", "2"));
        platform->files[groupFile] = groups;
        console.lines.clear();
        ASSERT_EQ(tool.Export("C:\\out.csv", false, true), kExitDone);
        EXPECT_EQ(platform->files["C:\\out.csv"], groups);
        EXPECT_EQ(tool.ImportGroups(test.file, true), test.exit);
        EXPECT_EQ(platform->files[groupFile], test.after);
        EXPECT_EQ(console.Count(test.line), 1);
    }
}

TEST_F(ToolTest, ExportWritesTheWholeBookOrLeavesTheTargetAsItWas) {
    const std::string target = "C:\\out.csv", book = Row("山田", "03-1") + Row("鈴木", "045-1");
    struct Case {
        const char* what;
        std::string path;
        std::optional<std::size_t> room;  // bytes left on the disk
        std::multimap<std::string, MemoryFiles::Holder> holders;
        std::optional<std::string> refusal;  // the last line printed; none: written
        std::set<std::string> readOnly = {};
        std::optional<std::string> leftover = {};  // an earlier export's partial file beside the target
        bool flushFails = false;
    } cases[] = {
        {"over an earlier export", target, {}, {}, {}},
        {"disk full", target, 40, {}, toolmsg::CannotExport("エラー 112", target)},
        {"held by a spreadsheet", target, {}, {{target, MemoryFiles::kSpreadsheet}}, toolmsg::CannotExport("エラー 32", target)},
        {"a device", "C:\\temp\\Nul .book.csv", {}, {}, toolmsg::ExportToDevice("C:\\temp\\Nul .book.csv")},
        {"a device's own name", "\\\\.\\C:\\out.csv", {}, {}, toolmsg::ExportToDevice("\\\\.\\C:\\out.csv")},
        {"a printer port with an extension", "D:\\x\\LPT1.txt", {}, {}, toolmsg::ExportToDevice("D:\\x\\LPT1.txt")},
        {"a device in a folder of 表", "C:\\一覧表\\com1.csv", {}, {}, toolmsg::ExportToDevice("C:\\一覧表\\com1.csv")},
        {"a name whose trail byte is a backslash, no device", "C:\\temp\\表nul.csv", {}, {}, {}},
        {"a read-only target", target, {}, {}, toolmsg::ExportToReadOnly(target), {target}},
        {"a longer leftover beside it", target, {}, {}, {}, {}, std::string(500, 'x')},
        {"a flush that fails", target, {}, {}, toolmsg::CannotExport("エラー 1117", target), {}, {}, true},
        {"a journal it cannot read", target, {}, {{journal, MemoryFiles::kExclusive}}, msg::CauseOf(FileFault::JournalUnreadable)},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        platform->files = {{AddressBookPath(*platform), book}, {journal, ""}, {test.path, "earlier"}};
        if (test.room) platform->diskCapacity = platform->UsedBytes() + *test.room;
        platform->holders = test.holders;
        platform->readOnlyFiles = test.readOnly;
        platform->failingFlushes.clear();
        if (test.flushFails) platform->failingFlushes.insert(test.path + ".qvdbook-new");
        if (test.leftover) platform->files[test.path + ".qvdbook-new"] = *test.leftover;
        auto files = platform->files;
        files.erase(test.path + ".qvdbook-new");
        EXPECT_EQ(tool.Export(test.path, false), test.refusal ? kExitRefused : kExitDone);
        if (!test.refusal) files[test.path] = book;
        EXPECT_EQ(platform->files, files);  // nothing half-written, not even beside it
        EXPECT_EQ(console.lines.back(), test.refusal.value_or(toolmsg::Exported(test.path)));
        platform->diskCapacity.reset();
    }
}

TEST_F(ToolTest, ImportWritesOnlyWhatIsConfirmedThroughTheJournal) {
    const std::string before = Row("A", "1") + Row("B", "2"), after = Row("A", "1") + Row("C", "3");
    struct Case {
        const char* what;
        bool confirmed;
        std::string answer;
        std::optional<MemoryFiles::Holder> holder;
        bool journal;
        int exit;
        bool emptyFile = false, mayEmpty = false, noBook = false;
    } cases[] = {
        {"confirmed by /y", true, "", {}, true, kExitDone},
        {"confirmed by y", false, "y", {}, true, kExitDone},
        {"confirmed by yes", false, "yes", {}, true, kExitDone},
        {"declined", false, "n", {}, true, kExitRefused},
        {"end of the input", false, "", {}, true, kExitRefused},
        {"held by a spreadsheet", true, "", MemoryFiles::kSpreadsheet, true, kExitRefused},
        {"no journal, as a standard user", true, "", {}, false, kExitRefused},
        {"an empty file, as a script's /y", true, "", {}, true, kExitRefused, true},
        {"an empty file with /empty", false, "y", {}, true, kExitDone, true, true},
        {"an empty file with /empty, no book yet: an empty book", true, "", {}, true, kExitDone, true, true, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        WriteBook(before);
        platform->files.erase(journal);
        if (test.journal) platform->files[journal] = "";
        platform->readOnlyDirectory = !test.journal;
        platform->holders.clear();
        if (test.holder) platform->holders.emplace(AddressBookPath(*platform), *test.holder);
        if (test.noBook) platform->files.erase(AddressBookPath(*platform));
        console.answer = test.answer;
        const std::string file = test.emptyFile ? "" : after;
        EXPECT_EQ(tool.Import(file, test.confirmed, test.mayEmpty), test.exit);
        EXPECT_EQ(platform->files.count(AddressBookPath(*platform)), 1u);
        EXPECT_EQ(Book(), test.exit == kExitDone ? file : before);
        if (test.journal) {
            EXPECT_EQ(platform->files[journal], "");
        }
    }
    EXPECT_EQ(console.Count(toolmsg::NameList(toolmsg::kAdded, {"C"})), 7);
    EXPECT_EQ(console.Count(toolmsg::NameList(toolmsg::kRemoved, {"B"})), 7);
    EXPECT_EQ(console.Count(toolmsg::DeletingEveryone(2)), 1);
}

TEST_F(ToolTest, CheckReportsEachMissingRightAndWritesNothing) {
    const std::string book = AddressBookPath(*platform);
    struct Case {
        const char* what;
        std::function<void()> arrange;
        int problems;
    } cases[] = {
        {"all granted", [] {}, 0},
        {"no book", [&] { platform->files.erase(book); }, 1},
        {"book read-only", [&] { platform->readOnlyFiles.insert(book); }, 1},
        {"book held", [&] { platform->holders.emplace(book, MemoryFiles::kSpreadsheet); }, 1},
        {"no journal", [&] { platform->files.erase(journal); }, 1},
        {"journal read-only", [&] { platform->readOnlyFiles.insert(journal); }, 1},
        {"no groups' file, its journal read-only", [&] {
             platform->files.erase(AddressBookPath(*platform, kGroupFileName));
             platform->readOnlyFiles.insert(AddressBookPath(*platform, kGroupJournalFileName));
         }, 2},
        {"printer without the right to set", [&] { platform->readOnlyKeys.insert(kDriverData); }, 1},
        {"no printer", [&] { platform->deniedKeys.insert(kFaxPrinter); }, 1},
        {"a save the journal records, not finished", [&] { platform->files[journal] = EncodeJournal({false, Row("A", "1"), ""}); }, 0},
        {"1001 persons", [&] { WriteBook(Repeat(1001, Row("A", "1"))); }, 1},
        {"a second printer of the driver without the right to set", [&] {
             AddPrinter(kPrinters + "\\FAX 2");
             platform->readOnlyKeys.insert(kPrinters + "\\FAX 2\\PrinterDriverData");
         }, 1},
        {"the directory searched", [&] { platform->SetValue(kDirectoryPolicyKey, "Enabled", REG_DWORD, {1, 0, 0, 0}); }, 0},
        {"the directory away", [&] { platform->directory.fault = DirectoryFault::Unreachable; }, 1},
        {"the policy's folder one character too long", [&] {
             std::string folder = "D:\\";
             for (int i = 0; i < 245; ++i) folder += "表";
             platform->SetString(kPolicyKey, kBookFolderValue, folder);
         }, 1},
        {"the policy's folder away (last: the policy stays)", [&] { platform->SetString(kPolicyKey, kBookFolderValue, "\\\\fileserver\\fax"); }, 1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        WriteBook(Row("A", "1"));
        platform->files[journal] = "";
        for (const char* name : {kGroupFileName, kGroupJournalFileName}) platform->files[AddressBookPath(*platform, name)] = "";
        platform->readOnlyFiles.clear();
        platform->holders.clear();
        platform->readOnlyKeys.clear();
        platform->deniedKeys.clear();
        platform->directory.fault = DirectoryFault::None;
        AddPrinter();
        test.arrange();
        const auto files = platform->files;
        console.lines.clear();
        EXPECT_EQ(tool.Check(std::string("Demo FAX Driver")), test.problems ? kExitRefused : kExitDone);
        EXPECT_EQ(console.Count(toolmsg::kNg), test.problems);
        EXPECT_EQ(platform->files, files);
    }
}

TEST_F(ToolTest, SetupMakesWhatIsMissingAndGrantsUsersOnceChangingNothingItRefuses) {
    const std::string book = AddressBookPath(*platform);
    const std::string groups = AddressBookPath(*platform, kGroupFileName), groupsJournal = AddressBookPath(*platform, kGroupJournalFileName);
    constexpr DWORD kFileRights = FILE_GENERIC_READ | FILE_GENERIC_WRITE, kKeyRights = KEY_QUERY_VALUE | KEY_SET_VALUE;
    struct Case {
        const char* what;
        std::map<std::string, std::string> files;
        std::function<void()> arrange;
        int exit;
        std::map<std::string, std::string> after;  // the files afterwards; the grants then on both and the key
        std::optional<std::map<std::string, DWORD>> grants = {};  // when not those
    } cases[] = {
        {"nothing there", {}, [] {}, kExitDone, {{book, ""}, {journal, ""}}},
        {"all there", {{book, Row("A", "1")}, {journal, ""}}, [] {}, kExitDone, {{book, Row("A", "1")}, {journal, ""}}},
        {"the journal missing", {{book, Row("A", "1")}}, [] {}, kExitDone, {{book, Row("A", "1")}, {journal, ""}}},
        {"not an administrator", {}, [&] { platform->administrator = false; }, kExitRefused, {}},
        {"no printer of the driver", {}, [&] { platform->deniedKeys.insert(kFaxPrinter); }, kExitRefused, {}},
        {"a grant that fails", {}, [&] { platform->failingGrants.insert(journal); }, kExitRefused, {{book, ""}, {journal, ""}},
         std::map<std::string, DWORD>{{book, kFileRights}, {groups, kFileRights}, {groupsJournal, kFileRights}, {kDriverData, kKeyRights}}},
        {"two printers of the driver", {}, [&] { AddPrinter(kPrinters + "\\FAX 2"); }, kExitDone, {{book, ""}, {journal, ""}},
         std::map<std::string, DWORD>{{book, kFileRights}, {journal, kFileRights}, {groups, kFileRights}, {groupsJournal, kFileRights}, {kDriverData, kKeyRights},
                                      {kPrinters + "\\FAX 2\\PrinterDriverData", kKeyRights}}},
        {"the policy's folder unusable (last: the policy stays)", {}, [&] {
             platform->SetString(kPolicyKey, kBookFolderValue, "\\\\fileserver\\fax");
         }, kExitRefused, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        platform->files = test.files;
        platform->usersGrants.clear();
        platform->administrator = true;
        platform->deniedKeys.clear();
        platform->failingGrants.clear();
        AddPrinter();
        test.arrange();
        EXPECT_EQ(tool.Setup(std::string("Demo FAX Driver")), test.exit);
        std::map<std::string, std::string> after = test.after;  // and the groups' two files, made empty
        if (!after.empty()) after.insert({{groups, ""}, {groupsJournal, ""}});
        EXPECT_EQ(platform->files, test.exit == kExitDone || test.grants ? after : test.files);
        // Read and write, never delete; query and set.
        const std::map<std::string, DWORD> granted =
            test.grants ? *test.grants
                        : test.exit == kExitDone ? std::map<std::string, DWORD>{{book, kFileRights}, {journal, kFileRights}, {groups, kFileRights}, {groupsJournal, kFileRights}, {kDriverData, kKeyRights}}
                                                 : std::map<std::string, DWORD>{};
        EXPECT_EQ(platform->usersGrants, granted);
        if (test.exit != kExitDone) continue;
        // A second run finds every entry there and adds none.
        console.lines.clear();
        EXPECT_EQ(tool.Setup(std::string("Demo FAX Driver")), kExitDone);
        EXPECT_EQ(std::count_if(console.lines.begin(), console.lines.end(),
                                [](const std::string& line) { return line.rfind(toolmsg::kOk, 0) == 0 && line.find(toolmsg::kHadGrant) != std::string::npos; }),
                  static_cast<std::ptrdiff_t>(granted.size()));
        EXPECT_EQ(platform->usersGrants, granted);
    }
}

}  // namespace
