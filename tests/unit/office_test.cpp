// One book for an office: a save that finds the book changed by another PC
// meanwhile makes its one change to the book as it is now. Two sessions on
// the same files stand for two PCs on one file server.
#include <set>

#include "book/book_location.h"
#include "storage/journal.h"
#include "support/fixture.h"

namespace {

using OfficeTest = ProgramTest;

TEST_F(OfficeTest, ASaveMakesItsChangeToWhatAnotherPcSavedMeanwhile) {
    const std::string base = Row("A", "1") + Row("B", "2") + Row("C", "3");
    const std::string journal = AddressBookPath(*platform, kAddressBookJournalFileName);
    std::string thousand;
    for (int i = 0; i < 1000; ++i) thousand += Row("P" + std::to_string(i), "9");
    const std::string changed = std::string(msg::kCannotWriteBook) + "\n" + msg::kPersonChangedMeanwhile;
    const std::string full = std::string(msg::kCannotWriteBook) + "\n" + msg::kBookFilledMeanwhile;
    const std::string gone = msg::DestinationsGone({"C"});
    const std::string overfull = std::string(msg::kCannotWriteBook) + "\n" + msg::BookOverfullMeanwhile({"X", "Y"});
    struct Case {
        const char* what;
        std::function<void(PickerSession& other)> theirs;
        Act ours;
        std::string book;
        std::vector<std::string> screen;  // our lines, "|", our destinations
        std::vector<std::string> messages;
        int selected;
        std::string start = "";  // the book both read, when not |base|
        bool merged = true;       // false: the last save met the book as this run saw it
        int destination = -1;     // the slot our destination stands for afterwards, when it is asked
    };
    auto by = [](Act act) { return [act](PickerSession& other) { act(other); }; };
    const std::vector<Case> cases = {
        {"both create", by(Create("D", "4")), Create("E", "5"), base + Row("D", "4") + Row("E", "5"),
         {"A", "B", "C", "D", "E", "|", "C"}, {}, 4},
        {"a create against an edit", by(Edit(1, "Bob")), Create("E", "5"), Row("A", "1") + Row("Bob", "2") + Row("C", "3") + Row("E", "5"),
         {"A", "Bob", "C", "E", "|", "C"}, {}, 3},
        {"an edit against a create", by(Create("D", "4")), Edit(0, "Al"), Row("Al", "1") + Row("B", "2") + Row("C", "3") + Row("D", "4"),
         {"Al", "B", "C", "D", "|", "C"}, {}, 0},
        {"an edit against a delete", by(Delete(0)), Edit(1, "Bob"), Row("Bob", "2") + Row("C", "3"), {"Bob", "C", "|", "C"}, {}, 0},
        {"a delete against an edit", by(Edit(0, "Al")), Delete(1), Row("Al", "1") + Row("C", "3"), {"Al", "C", "|", "C"}, {}, -1},
        {"both delete the same person", by(Delete(1)), Delete(1), Row("A", "1") + Row("C", "3"), {"A", "C", "|", "C"}, {}, -1},
        {"both edit the same person", by(Edit(1, "Ben")), Edit(1, "Bob"), Row("A", "1") + Row("Ben", "2") + Row("C", "3"),
         {"A", "Ben", "C", "|", "C"}, {changed}, -1},
        {"a delete of what the other edits", by(Edit(1, "Ben")), Delete(1), Row("A", "1") + Row("Ben", "2") + Row("C", "3"),
         {"A", "Ben", "C", "|", "C"}, {changed}, -1},
        {"a destination the other changed", by(Edit(2, "Cid")), Create("E", "5"), Row("A", "1") + Row("B", "2") + Row("Cid", "3") + Row("E", "5"),
         {"A", "B", "Cid", "E", "|"}, {gone}, 3},
        {"an import with an unnamed row", [&](PickerSession&) { WriteBook(Row("C", "3") + ",,,,,,u,,,,,,\r\n" + Row("X", "9")); },
         Create("E", "5"), Row("C", "3") + Row("X", "9") + Row("E", "5") + ",,,,,,u,,,,,,\r\n", {"C", "X", "E", "|", "C"}, {}, 2},
        {"in the company view, a company open", by(Create("D", "4")), [](PickerSession& pc) {
             pc.ShowMode(1);
             pc.ExpandOrCollapse(0);
             return Create("E", "5")(pc);
         }, base + Row("D", "4") + Row("E", "5"), {"(なし)", " >> A", " >> B", " >> C", " >> D", " >> E", "|", "C"}, {}, 5},
        {"a save the other cut short", [&](PickerSession&) {
             platform->files[journal] = EncodeJournal({false, base, base + Row("D", "4")});
             WriteBook((base + Row("D", "4")).substr(0, 30) + base.substr(30));
         }, Create("E", "5"), base + Row("D", "4") + Row("E", "5"), {"A", "B", "C", "D", "E", "|", "C"}, {}, 4},
        {"both saving at once: ours waits, then merges", [&](PickerSession& other) {
             platform->lockedOpens[AddressBookPath(*platform)] = 1;
             platform->duringPause = [&other] { Create("D", "4")(other); };
         }, Create("E", "5"), base + Row("D", "4") + Row("E", "5"), {"A", "B", "C", "D", "E", "|", "C"}, {}, 4},
        {"the second of two equal rows", by(Create("D", "4")), Edit(2, "B2"), base.substr(0, base.size() / 3 * 2) + Row("B2", "2") + Row("D", "4"),
         {"A", "B", "B2", "D", "|", "B2"}, {}, 2, Row("A", "1") + Row("B", "2") + Row("B", "2")},
        {"an edit that made a twin of an earlier row selects the very one", by(Create("D", "4")), Edit(2, "A"),
         Row("A", "1") + Row("B", "2") + Row("A", "1") + Row("D", "4"), {"A", "B", "A", "D", "|", "A"}, {}, 2,
         Row("A", "1") + Row("B", "2") + Row("C", "1")},
        {"after a refused merge, the next change a plain save", by(Edit(1, "Ben")),
         [](PickerSession& pc) { Edit(1, "Bob")(pc); return Edit(0, "Al")(pc); },
         Row("Al", "1") + Row("Ben", "2") + Row("C", "3"), {"Al", "Ben", "C", "|", "C"}, {}, 0, "", false},
        {"only the companies that were open open again", by(Create("D", "4")), [](PickerSession& pc) {
             pc.ShowMode(1);
             pc.ExpandOrCollapse(0);
             return Edit(1, "Al")(pc);
         }, Row("Al", "1", "X") + Row("B", "2", "Y") + Row("C", "3", "X") + Row("D", "4"),
         {"X", " >> Al", " >> C", "Y", "(なし)", "|", "C"}, {}, 1, Row("A", "1", "X") + Row("B", "2", "Y") + Row("C", "3", "X")},
        {"a merged save the disk cannot take", [&](PickerSession& other) {
             Create("D", "4")(other);
             platform->diskCapacity = platform->UsedBytes() + 10;
         }, Create("E", "5"), base + Row("D", "4"), {"A", "B", "C", "D", "E", "|", "C"},
         {msg::WithCause(msg::kCannotWriteBook, FileFault::DiskFull)}, 4},
        {"a destination listed twice, gone, named once", [&](PickerSession&) { WriteBook(Row("A", "1") + Row("B", "2")); },
         [](PickerSession& pc) { pc.AddDestination(3); return Create("E", "5")(pc); }, Row("A", "1") + Row("B", "2") + Row("E", "5"),
         {"A", "B", "E", "|"}, {gone}, 2, base + Row("C", "3")},
        {"a destination, the second of two equal persons, stays the second", by(Create("D", "4")), Create("E", "5"),
         Row("A", "1") + Row("B", "2") + Row("B", "2") + Row("D", "4") + Row("E", "5"), {"A", "B", "B", "D", "E", "|", "B"}, {}, 4,
         Row("A", "1") + Row("B", "2") + Row("B", "2"), true, 2},
        {"a book the other filled", [&](PickerSession&) { WriteBook(thousand); }, Create("E", "5"), thousand, {}, {full, gone}, -1},
        {"a book the other overfilled, refused until it changes", [&](PickerSession&) { WriteBook(thousand + Row("X", "8") + Row("Y", "9")); },
         [](PickerSession& pc) { Edit(0, "Al")(pc); return Edit(0, "Pa")(pc); }, thousand + Row("X", "8") + Row("Y", "9"),
         {}, {overfull}, -1},
        {"a company closed", by(Create("D", "4")), [](PickerSession& pc) {
             pc.ShowMode(1);
             return Create("E", "5")(pc);
         }, base + Row("D", "4") + Row("E", "5"), {"(なし)", " >> A", " >> B", " >> C", " >> D", " >> E", "|", "C"}, {}, 5},
        {"a refused delete of a destination", by(Edit(2, "Cid")), Delete(2), Row("A", "1") + Row("B", "2") + Row("Cid", "3"),
         {"A", "B", "Cid", "|"}, {changed, gone}, -1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Restart();
        WriteBook(test.start.empty() ? base : test.start);
        platform->files[journal] = "";
        AddPrinter();
        std::unique_ptr<PickerSession> ours = StartedSession(), theirs = StartedSession();
        ours->AddDestination(2);
        test.theirs(*theirs);
        const EntryResult result = test.ours(*ours);
        EXPECT_EQ(result.rebuilt, test.merged);
        EXPECT_EQ(Book(), test.book);
        EXPECT_EQ(platform->files[journal], "");
        if (!test.screen.empty()) {
            EXPECT_EQ(Screen(*ours), test.screen);
        }
        EXPECT_EQ(result.messages, test.messages);
        EXPECT_EQ(result.selected, test.selected);
        if (test.destination >= 0) {
            EXPECT_EQ(ours->Destinations()[0], test.destination);
        }
        // The next person created gets an ID of its own.
        Create("Z", "9")(*ours);
        std::set<std::uint32_t> items;
        for (int line = 0; line < ours->Lines().Count(); ++line) items.insert(ours->LineItemData(line));
        EXPECT_EQ(static_cast<int>(items.size()), ours->Lines().Count());
    }
}

}  // namespace

namespace {

TEST_F(OfficeTest, ThePolicyNamesTheFolderAndAnUnusableOneIsNeverPassedOver) {
    const std::string share = "\\\\fileserver\\fax", local = "D:\\Fax";
    struct Case {
        const char* what;
        std::optional<std::string> policy;  // REG_SZ; "%" marks one to expand
        std::string folder;                 // where the book is read
        std::optional<FolderProbe> probe;   // what the folder turns out to be
        const char* cause;                  // nullptr: usable
        std::string book = "";              // the book's path, when not |folder| + "\\QVDDATA.CSV"
    };
    auto kanji = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "表";  // its trail byte is a backslash
        return text;
    };
    const std::vector<Case> cases = {
        {"no policy", {}, platform->systemDirectory, {}, nullptr},
        {"a local folder", local, local, FolderProbe::Folder, nullptr},
        {"a share, a backslash after it", share + "\\", share, FolderProbe::Folder, nullptr},
        {"expanded", "%SystemRoot%\\Fax", "C:\\Windows\\Fax", FolderProbe::Folder, nullptr},
        {"relative", "Fax", "Fax", {}, "ﾄﾞﾗｲﾌﾞ"},
        {"a share without its name", "\\\\fileserver", "\\\\fileserver", {}, "ﾄﾞﾗｲﾌﾞ"},
        {"one byte over the path limit", "D:\\" + std::string(245, 'f'), "", {}, "長すぎます"},
        {"at the path limit", "D:\\" + std::string(244, 'f'), "D:\\" + std::string(244, 'f'), FolderProbe::Folder, nullptr},
        {"at the path limit in characters, not bytes", "D:\\" + kanji(244), "D:\\" + kanji(244), FolderProbe::Folder, nullptr},
        {"one character over it", "D:\\" + kanji(245), "", {}, "長すぎます"},
        {"a name ending in a trail byte 0x5C", share + "\\一覧表", share + "\\一覧表", FolderProbe::Folder, nullptr},
        {"the same, a backslash after it", share + "\\ソフト\\一覧表\\", share + "\\ソフト\\一覧表", FolderProbe::Folder, nullptr},
        {"a share of such a name", "\\\\表示\\予定", "\\\\表示\\予定", FolderProbe::Folder, nullptr},
        {"a drive's root", "E:\\", "E:\\", FolderProbe::Folder, nullptr, "E:\\QVDDATA.CSV"},
        {"a drive-relative name", "D:Fax", "D:Fax", {}, "ﾄﾞﾗｲﾌﾞ"},
        {"a server without a name", "\\\\\\name", "\\\\\\name", {}, "ﾄﾞﾗｲﾌﾞ"},
        {"a file", share, share, FolderProbe::File, "ﾌｧｲﾙの名前"},
        {"the server away", share, share, FolderProbe::Unreachable, "応答しません"},
        {"no right", share, share, FolderProbe::Denied, "権限"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Restart();
        AddPrinter();
        StoreDestinations("1", "A");
        if (test.policy) {
            const bool expand = test.policy->find('%') != std::string::npos;
            platform->SetValue(kPolicyKey, kBookFolderValue, expand ? REG_EXPAND_SZ : REG_SZ,
                               std::vector<BYTE>(test.policy->begin(), test.policy->end() + 1));
        }
        if (test.probe) platform->folders[test.folder] = *test.probe;
        platform->files[test.book.empty() ? test.folder + "\\QVDDATA.CSV" : test.book] = Row("A", "1");
        WriteBook(Row("S", "2"));  // the system directory's own: never shown in place of the policy's
        PickerSession& pc = StartSession();
        if (!test.cause) {
            EXPECT_EQ(messages, std::vector<std::string>{});
            EXPECT_EQ(pc.DestinationText(0), test.policy ? "A" : "");
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_NE(messages[0].find(test.cause), std::string::npos) << messages[0];
            EXPECT_NE(messages[0].find(" " + (test.folder.empty() ? *test.policy : test.folder) + " "), std::string::npos);
            EXPECT_EQ(pc.Lines().Count(), 0);
            EXPECT_EQ(Stored(kNamesValue), "A");  // not erased
            EXPECT_EQ(pc.Apply({BookChange::Kind::Create, {}, {}}).saved, FileFault::NotRead);
        }
    }
}

}  // namespace
