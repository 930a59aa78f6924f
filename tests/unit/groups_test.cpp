// Groups for broadcasts: the file beside the book, a group picked whole or
// not at all, groups following the persons they list, and the book and the
// groups saved together, whole or not at all.
#include <set>
#include <utility>

#include "book/groups.h"
#include "support/fixture.h"

namespace {

std::string Rows(const std::string& group, const std::vector<std::string>& members) {
    std::string bytes;
    for (const std::string& member : members) bytes += group + ",g," + member + "\r\n";
    return bytes.empty() ? group + ",g,,\r\n" : bytes;
}

std::vector<std::string> Said(const EntryResult& result) { return result.messages; }

TEST(GroupsFile, TakesWhatASpreadsheetLeavesAndWritesItBackWhole) {
    std::string many, wide;
    for (int i = 0; i < 201; ++i) many += "G" + std::to_string(i) + ",,A,1\r\n", wide += "G,,P" + std::to_string(i % 101) + ",1\r\n";
    const struct {
        const char* what;
        std::string bytes, written;
        std::size_t groups;
        int dropped;
    } cases[] = {
        {"as written", Rows("G1", {"A,1", "B,2"}) + Rows("G2", {}), Rows("G1", {"A,1", "B,2"}) + Rows("G2", {}), 2, 0},
        {"LF only, one group's rows apart", "G1,g,A,1\nG2,g,B,2\nG1,g,C,3", Rows("G1", {"A,1", "C,3"}) + Rows("G2", {"B,2"}), 2, 0},
        {"a member twice, extra columns, a row without a group", "G,g,A,1,x\r\n,g,B,2\r\nG,g,A,1\r\n", Rows("G", {"A,1"}), 1, 0},
        {"the 201st group", many, many.substr(0, many.find("G200")), 200, 1},
        {"the 101st member, and members listed again", wide, wide.substr(0, wide.find("G,,P100")), 1, 1},
    };
    for (const auto& c : cases) {
        std::vector<CGroup> groups;
        EXPECT_EQ(ParseGroups(c.bytes, groups).dropped, c.dropped) << c.what;
        EXPECT_EQ(groups.size(), c.groups) << c.what;
        EXPECT_EQ(FormatGroups(groups), c.written) << c.what;
    }
}

class GroupsTest : public ProgramTest {
protected:
    std::string GroupFile() { return platform->files[AddressBookPath(*platform, kGroupFileName)]; }
    void WriteGroups(const std::string& bytes) { platform->files[AddressBookPath(*platform, kGroupFileName)] = bytes; }
    void Start(const std::string& book, const std::string& groups) {
        Restart();
        WriteBook(book);
        WriteGroups(groups);
        AddPrinter();
    }
    // The address book list, and with |destinations| "|" and the destination list.
    static std::vector<std::string> Shown(const PickerSession& pc, bool destinations = false) {
        std::vector<std::string> lines = Screen(pc);
        if (!destinations) lines.erase(std::find(lines.begin(), lines.end(), "|"), lines.end());
        return lines;
    }
};

TEST_F(GroupsTest, GroupOperationsOnTheSession) {
    std::string book = Row("A", "1") + Row("B", "2") + Row("C", "3") + Row("D", std::string(33, '9'));
    std::vector<std::string> members;
    for (int i = 0; i < 100; ++i) {
        // A hundred short enough for both texts: 199 bytes each.
        const std::string name(1, static_cast<char>('a' + i / 10)), fax = std::to_string(i % 10);
        book += Row(name, fax);
        members.push_back(name + "," + fax);
    }
    const std::string groups = Rows("BC", {"B,2", "C,3"}) + Rows("Empty", {}) + Rows("Gone", {"A,1", "Z,9"}) +
                               Rows("Long", {"C,3", "D," + std::string(33, '9')}) + Rows("Hundred", members);
    using Lines = std::vector<std::string>;
    auto pick = [](int line) { return [line](PickerSession& pc) { return pc.AddDestination(line).messages; }; };
    struct Case {
        const char* what;
        std::vector<std::function<std::vector<std::string>(PickerSession&)>> acts;
        Lines screenHead;  // the first lines of the list, then "|" and every destination if it says so
        std::vector<std::string> messages;
        std::string groupFile = "";  // when changed
    };
    const std::string rest = Rows("Empty", {}) + Rows("Gone", {"A,1", "Z,9"}) + Rows("Long", {"C,3", "D," + std::string(33, '9')}) + Rows("Hundred", members);
    const std::vector<Case> cases = {
        {"a group is picked in its order, a chosen member once", {[](PickerSession& pc) { pc.ShowMode(0); pc.AddDestination(2); pc.ShowMode(2); return std::vector<std::string>{}; }, pick(0)},
         {"【BC】 2人", "【Empty】 0人", "|", "C", "B"}, {}},
        {"100 members fit", {pick(4)}, {"【BC】 2人"}, {}},
        {"101 do not, and none goes", {pick(0), pick(4)}, {"【BC】 2人", "【Empty】 0人", "|", "B", "C"},
         {msg::GroupDoesNotFit("Hundred", DestinationBreach::Over100, 98)}},
        {"a FAX number of 33 bytes", {pick(3)}, {"【BC】 2人", "【Empty】 0人", "|"}, {msg::GroupDoesNotFit("Long", DestinationBreach::FaxNumberOver32, 1)}},
        {"an empty group", {pick(1)}, {"【BC】 2人", "【Empty】 0人", "|"}, {msg::EmptyGroup("Empty")}},
        {"a member not found is named", {pick(2), [](PickerSession& pc) { pc.ExpandOrCollapse(2); return std::vector<std::string>{}; }},
         {"【BC】 2人", "【Empty】 0人", "【Gone】 2人", " >> A", " >> Z (見つかりません)"}, {msg::MembersNotFound({"Z"})}},
        {"find opens the first group listing the person; one in no group is not found",
         {[](PickerSession& pc) { return std::vector<std::string>{pc.FindPerson("C", -1, true).message.value_or("")}; },
          [](PickerSession& pc) { return std::vector<std::string>{pc.FindPerson("P", -1, true).message.value_or("")}; }},
         {"【BC】 2人", " >> B", " >> C"}, {"", msg::NotFound("P")}},
        {"a person deleted leaves every group", {[](PickerSession& pc) { pc.ShowMode(0); return Said(pc.DeletePerson(1)); }},
         {"A", "C"}, {}, Rows("BC", {"C,3"}) + rest},
        {"a groups' file held by a spreadsheet: the save is refused, naming it", {[this](PickerSession& pc) {
             platform->holders.emplace(AddressBookPath(*platform, kGroupFileName), MemoryFiles::kSpreadsheet);
             pc.ShowMode(0);
             return Said(pc.DeletePerson(1));
         }}, {"A"}, {msg::WithGroupsCause(msg::kCannotWriteGroups, FileFault::Held)}},
        {"a groups' journal held shut: a change that leaves the groups saves, one of them is refused", {[this](PickerSession& pc) {
             platform->files[AddressBookPath(*platform, kGroupJournalFileName)] = "";
             platform->holders.emplace(AddressBookPath(*platform, kGroupJournalFileName), MemoryFiles::kExclusive);
             pc.ShowMode(0);
             std::vector<std::string> said = Said(Create("E", "5")(pc));
             said.push_back(Book().find("E,") != std::string::npos ? "E saved" : "E not saved");
             for (const std::string& refused : Said(pc.DeletePerson(1))) said.push_back(refused);
             return said;
         }}, {"A"}, {"E saved", msg::WithGroupsCause(msg::kCannotWriteGroups, FileFault::Held)}},
        {"a person renamed stays", {[](PickerSession& pc) { pc.ShowMode(0); return Said(Edit(1, "Bob")(pc)); }},
         {"A", "Bob"}, {}, Rows("BC", {"Bob,2", "C,3"}) + rest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(book, groups);
        PickerSession& pc = StartSession();
        pc.ShowMode(2);
        std::vector<std::string> shown;
        for (const auto& act : c.acts)
            for (const std::string& m : act(pc)) shown.push_back(m);
        const auto bar = std::find(c.screenHead.begin(), c.screenHead.end(), "|");
        Lines head = Shown(pc);
        head.resize(std::min(head.size(), static_cast<std::size_t>(bar - c.screenHead.begin())));
        if (bar != c.screenHead.end()) head.push_back("|");
        for (int line = 0; bar != c.screenHead.end() && line < pc.DestinationCount(); ++line) head.push_back(pc.DestinationText(line));
        EXPECT_EQ(head, c.screenHead);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(GroupFile(), c.groupFile.empty() ? groups : c.groupFile);
    }
}

TEST_F(GroupsTest, ACrashOrAFullDiskLeavesTheBookAndTheGroupsBothOldOrBothNew) {
    const std::string book = Row("A", "1") + Row("B", "2"), groups = Rows("G", {"A,1", "B,2"});
    const struct {
        const char* what;
        Act act;
    } cases[] = {
        {"a person deleted", Delete(0)},
        {"a person renamed", Edit(0, "Ann")},
        {"a group made", [](PickerSession& pc) { return pc.CreateGroup({"H", "h", {{"B", "2"}}}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto run = [&](std::optional<int> crashAt, std::optional<std::size_t> capacity) {
            Start(book, groups);
            platform->fileCalls = 0;
            platform->fileCallsBeforeCrash = crashAt;
            platform->diskCapacity = capacity;
            const std::unique_ptr<PickerSession> pc = StartedSession();
            if (pc->Lines().Count() > 0) c.act(*pc);  // a crash in the start leaves nothing to act on
            platform->diskCapacity.reset();
        };
        auto shown = [&] {
            const std::unique_ptr<PickerSession> next = StartedSession();
            return std::make_pair(FormatAddressBook(next->Book()), FormatGroups(next->Book().m_aGroups));
        };
        run(std::nullopt, std::nullopt);
        const int calls = platform->fileCalls;
        const std::set<std::pair<std::string, std::string>> whole = {{book, groups}, shown()};
        ASSERT_EQ(whole.size(), 2u);
        for (int crashAt = 0; crashAt <= calls; ++crashAt) {
            run(crashAt, std::nullopt);
            for (const auto& disk : platform->DisksAfterPowerLoss()) {
                platform->RestartWith(disk);
                EXPECT_TRUE(whole.count(shown())) << "crash at call " << crashAt;
            }
        }
        const std::size_t used = book.size() + groups.size();
        for (std::size_t capacity = used; capacity < used + 1200; capacity += 5) {
            run(std::nullopt, capacity);
            EXPECT_TRUE(whole.count(shown())) << "a disk of " << capacity << " bytes";
        }
    }
}

TEST_F(GroupsTest, TwoPcsChangingGroupsMeanwhile) {
    const std::string book = Row("A", "1") + Row("B", "2") + Row("C", "3");
    const std::string groups = Rows("G1", {"A,1", "B,2"}) + Rows("G2", {"C,3"});
    const std::string refused = std::string(msg::kCannotWriteGroups) + "\n" + msg::kGroupChangedMeanwhile;
    auto make = [](const std::string& name, std::vector<GroupMember> members) {
        return [=](PickerSession& pc) { return pc.ShowMode(2), pc.CreateGroup({name, "g", members}); };
    };
    auto edit = [](int line, std::vector<GroupMember> members) {
        return [=](PickerSession& pc) { return pc.ShowMode(2), pc.EditGroup(line, {pc.GroupOn(line)->m_strName, "g", members}); };
    };
    const struct {
        const char* what;
        Act theirs, ours;
        std::string file;
        std::vector<std::string> messages, lines;  // ours, the group view afterwards
    } cases[] = {
        {"both edit the same group", edit(0, {{"B", "2"}}), edit(0, {{"A", "1"}}), Rows("G1", {"B,2"}) + Rows("G2", {"C,3"}),
         {refused}, {"【G1】 1人", "【G2】 1人"}},
        {"both create the same name", make("H", {}), make("H", {{"A", "1"}}), groups + Rows("H", {}), {refused},
         {"【G1】 2人", "【G2】 1人", "【H】 0人"}},
        {"an edit of a group the other deleted", [](PickerSession& pc) { pc.ShowMode(2); return pc.DeleteLine(1); },
         edit(1, {}), Rows("G1", {"A,1", "B,2"}), {refused}, {"【G1】 2人"}},
        {"a member the other deleted from the book leaves", Delete(0), edit(0, {{"A", "1"}, {"B", "2"}, {"C", "3"}}),
         Rows("G1", {"B,2", "C,3"}) + Rows("G2", {"C,3"}), {}, {"【G1】 2人", "【G2】 1人"}},
        {"a person deleted here leaves the groups as the other left them", make("H", {{"C", "3"}}),
         [](PickerSession& pc) { Delete(2)(pc); pc.ShowMode(2); return EntryResult{}; }, Rows("G1", {"A,1", "B,2"}) + Rows("G2", {}) + Rows("H", {}),
         {}, {"【G1】 2人", "【G2】 0人", "【H】 0人"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start(book, groups);
        std::unique_ptr<PickerSession> ours = StartedSession(), theirs = StartedSession();
        c.theirs(*theirs);
        EXPECT_EQ(Said(c.ours(*ours)), c.messages);
        EXPECT_EQ(GroupFile(), c.file);
        EXPECT_EQ(Shown(*ours), c.lines);
    }
}

TEST_F(GroupsTest, TheGroupCommandsOfTheDialog) {
    using Script = std::function<void(MemoryWindow&)>;
    const struct {
        const char* what;
        int line;         // of the group view selected; -1: none
        int command;
        Script dialog;    // the group dialog's user, when it opens
        std::vector<int> answers;  // to the boxes, in turn
        std::vector<std::string> boxes, lines;
        std::string file;
    } cases[] = {
        {"create: the members checked, counted, in book order", -1, IDC_CREATE_ENTRY, [](MemoryWindow& w) {
             w.Type(IDC_GROUP_NAME, "New");
             w.SelectLines(IDC_GROUP_MEMBERS, {2, 0});
             EXPECT_EQ(w.Text(IDC_GROUP_COUNT), msg::CheckedCount(2));
             w.Type(IDC_GROUP_FIND, "ｃ");  // found as find finds: any width
             EXPECT_EQ(w.At(IDC_GROUP_MEMBERS).top, 2);
             w.Click(IDOK);
         }, {}, {}, {"【G】 2人", "【New】 2人"}, Rows("G", {"A,1", "Z,9"}) + "New,,A,1\r\nNew,,C,3\r\n"},
        {"a name taken is refused and the dialog stays", -1, IDC_CREATE_ENTRY, [](MemoryWindow& w) {
             w.Type(IDC_GROUP_NAME, "G");
             w.Click(IDOK);
             EXPECT_FALSE(w.ended);
             w.Click(IDCANCEL);
         }, {}, {msg::GroupRuleBroken(GroupRule::NameTaken)}, {"【G】 2人"}, Rows("G", {"A,1", "Z,9"})},
        {"properties offer to drop who is not found", 0, IDC_PROPERTIES, [](MemoryWindow& w) {
             EXPECT_EQ(w.SelectedLines(IDC_GROUP_MEMBERS), std::vector<int>{0});
             w.Click(IDOK);
         }, {IDYES}, {msg::RemoveNotFound({"Z"})}, {"【G】 1人"}, Rows("G", {"A,1"})},
        {"a delete names the group and takes nobody from the book", 0, IDC_DELETE_ENTRY, nullptr, {IDOK},
         {msg::ConfirmDeleteGroup("G")}, {}, ""},
        {"a delete cancelled", 0, IDC_DELETE_ENTRY, nullptr, {IDCANCEL}, {msg::ConfirmDeleteGroup("G")}, {"【G】 2人"},
         Rows("G", {"A,1", "Z,9"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteGroups(Rows("G", {"A,1", "Z,9"}));
        OpenWith(Row("A", "1") + Row("B", "2") + Row("C", "3"));
        window->ChooseComboItem(IDC_DISPLAY_MODE, 2);
        if (c.line >= 0) window->Select(IDC_ADDRESS_LIST, c.line);
        for (int answer : c.answers) platform->AnswerNextBox(answer);
        if (c.dialog) platform->WhenDialogOpens(IDD_GROUP, c.dialog);
        window->Click(c.command);
        EXPECT_EQ(BoxTexts(), c.boxes);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST), c.lines);
        EXPECT_EQ(GroupFile(), c.file);
        EXPECT_EQ(Book(), Row("A", "1") + Row("B", "2") + Row("C", "3"));
    }
}

}  // namespace
