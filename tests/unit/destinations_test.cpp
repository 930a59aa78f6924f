#include "support/fixture.h"

namespace {

struct Person {
    std::string name;
    std::string fax;
};

class DestinationsTest : public ProgramTest {
protected:
    using ProgramTest::OpenWith;
    void OpenWith(const std::vector<Person>& persons) {
        std::string bytes;
        for (const Person& p : persons) bytes += Row(p.name, p.fax);
        OpenWith(bytes);
    }
    static std::string Digits(size_t n) { return std::string(n, '1'); }
};

TEST_F(DestinationsTest, LimitsAtTheirBoundaries) {
    struct Case {
        const char* what;
        std::vector<Person> persons;  // all are added, in order
        std::vector<std::string> messages;
        size_t kept;
    };
    auto many = [](int count, size_t faxLength) {
        std::vector<Person> persons;
        for (int i = 0; i < count; ++i) {
            std::string fax = std::to_string(i);
            fax.insert(0, faxLength - fax.size(), '0');
            persons.push_back({"N" + std::to_string(i), fax});
        }
        return persons;
    };
    // 25 names of 8 bytes + 24 commas = 224; a 9-byte name (+1 comma) ends at 234, a
    // 30-byte one at 255 (kept), a 31-byte one at 256 (refused).
    auto names = [](size_t lastLength) {
        std::vector<Person> persons;
        for (int i = 0; i < 25; ++i) persons.push_back({"name" + std::string(2, 'a' + i % 26) + "xx", "1"});
        persons.push_back({std::string(lastLength, 'L'), "2"});
        return persons;
    };
    const std::vector<Case> cases = {
        {"FAX number of 32 bytes", {{"A", Digits(32)}}, {}, 1},
        {"FAX number of 33 bytes", {{"A", Digits(33)}}, {msg::kFaxNumberOver32}, 0},
        {"name text of 255 bytes", names(30), {}, 26},
        {"name text of 256 bytes", names(31), {msg::kTextsOver255}, 25},
        {"ten FAX numbers of 25 bytes make 259", many(10, 25), {msg::kTextsOver255}, 9},
        {"nine FAX numbers of 25 bytes and one of 21 make 255", [&] {
             auto p = many(10, 25);
             p.back().fax = Digits(21);
             return p;
         }(), {}, 10},
        {"100 destinations", std::vector<Person>(100, {"N", "1"}), {}, 100},
        {"101st destination", std::vector<Person>(101, {"N", "1"}), {msg::kOver100Destinations}, 100},
        {"33-byte number after 100 shows only message 1", [&] {
             std::vector<Person> p(100, {"N", "1"});
             p.push_back({"X", Digits(33)});
             return p;
         }(), {msg::kFaxNumberOver32}, 100},
        {"33-byte number after long texts shows only message 1", [&] {
             auto p = many(9, 25);
             p.push_back({"X", Digits(33)});
             return p;
         }(), {msg::kFaxNumberOver32}, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        std::string bytes;
        for (const Person& p : c.persons) bytes += Row(p.name, p.fax);
        WriteBook(bytes);
        PickerSession& pc = StartSession();
        std::vector<std::string> shown;
        for (size_t i = 0; i < c.persons.size(); ++i)
            for (const std::string& refusal : pc.AddDestination(static_cast<int>(i)).refusals) shown.push_back(refusal);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(pc.DestinationCount(), static_cast<int>(c.kept));
        if (c.kept > 0) {
            EXPECT_EQ(pc.DestinationText(pc.DestinationCount() - 1), c.persons[c.kept - 1].name);
        }
    }
}

TEST_F(DestinationsTest, MessageComesWhileTheRejectedLineStillStands) {
    OpenWith({{"A", "1"}, {"B", Digits(33)}});
    Add(0);
    std::vector<std::string> linesDuringBox;
    platform->onBox = [&](const ShownBox&) { linesDuringBox = Lines(IDC_DESTINATION_LIST); };
    Add(1);
    EXPECT_EQ(linesDuringBox, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"A"});
}

TEST_F(DestinationsTest, APersonIsAddedOnlyOnce) {
    OpenWith({{"A", "1"}, {"B", "2"}});
    Add(0);
    Add(0);
    Add(1);
    Add(0);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(platform->boxes.empty());
}

TEST_F(DestinationsTest, SameNamedPersonsAreDistinct) {
    OpenWith({{"同名", "1"}, {"同名", "1"}});
    Add(0);
    Add(1);
    EXPECT_EQ(Destinations(), (std::vector<std::int32_t>{0, 1}));
}

TEST_F(DestinationsTest, DoubleClickAddsAPersonLikeTheButton) {
    OpenWith({{"A", "1"}, {"B", "2"}});
    window->DoubleClick(IDC_ADDRESS_LIST, 1);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"B"});
}

TEST_F(DestinationsTest, DeleteKeyRemovesTheSelectedDestinations) {
    OpenWith({{"A", "1"}, {"B", "2"}, {"C", "3"}});
    for (int i = 0; i < 3; ++i) Add(i);
    window->PressKey(IDC_DESTINATION_LIST, VK_DELETE);  // no selection: nothing
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST).size(), 3u);
    window->SelectLines(IDC_DESTINATION_LIST, {0, 2});
    window->PressKey(IDC_DESTINATION_LIST, 'X');  // a character: left to the list box's own search
    EXPECT_EQ(window->At(IDC_DESTINATION_LIST).characterAnswer, -1);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST).size(), 3u);
    window->PressKey(IDC_DESTINATION_LIST, VK_DELETE);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"B"});
    EXPECT_FALSE(window->IsEnabled(IDC_REMOVE_DESTINATIONS));
    // The key tells the list box to go on with its own handling.
    EXPECT_EQ(window->Send(WM_VKEYTOITEM, VK_DELETE), -1);
}

// Whatever changed the lines since the user last selected, a command acts
// on what the list shows selected then, or on nothing.
TEST_F(DestinationsTest, CommandsActOnWhatTheListsShowSelected) {
    // One letter a user's step: v the view switched away and back (the person
    // view selects A), d A deleted, r A renamed AZ, m a person created on a
    // book another PC changed, x a company expanded and collapsed, f a find;
    // then the command: K the Delete key, B the remove button, A the add button.
    auto act = [&](char step) {
        switch (step) {
        case 'v': window->ChooseComboItem(IDC_DISPLAY_MODE, 1), window->ChooseComboItem(IDC_DISPLAY_MODE, 0); break;
        case 'd': platform->AnswerNextBox(IDOK), window->Click(IDC_DELETE_ENTRY); break;
        case 'r':
            platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [](MemoryWindow& entry) { entry.Type(IDC_NAME, "Z"), entry.Click(IDOK); });
            window->Click(IDC_PROPERTIES);
            break;
        case 'm': WriteBook(Book() + Row("E", "5")), ScriptNewEntry("F", "6"), window->Click(IDC_CREATE_ENTRY); break;
        case 'x':
            window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
            window->PressKey(IDC_ADDRESS_LIST, VK_RIGHT), window->PressKey(IDC_ADDRESS_LIST, VK_LEFT);
            break;
        case 'f':
            platform->WhenDialogOpens(IDD_FIND, [](MemoryWindow& find) { find.Type(IDC_FIND_TEXT, "C"), find.Click(IDOK); });
            window->Send(WM_COMMAND, MAKEWPARAM(IDC_FIND, kShortcut));
            break;
        case 'K': window->PressKey(IDC_DESTINATION_LIST, VK_DELETE); break;
        case 'B': window->Click(IDC_REMOVE_DESTINATIONS); break;
        case 'A': window->Click(IDC_ADD_DESTINATION); break;
        }
    };
    struct Case {
        const char* what;
        std::vector<int> selected;  // of the destinations A, B, A, C, D
        const char* steps;
        const char* shown;  // the destination list, as OK stores its names
    } cases[] = {
        {"a delete of the person selected there, then Delete", {0, 2}, "vdK", "B,C,D"},
        {"the same, then the button", {0, 2}, "vdB", "B,C,D"},
        {"the same, then the add button", {0, 2}, "vdA", "B,C,D"},
        {"an edit that redrew a selected line", {1, 2}, "vrK", "AZ,AZ,C,D"},
        {"a book another PC changed, drawn anew", {3}, "vmB", "A,B,A,C,D"},
        {"a view switch", {0}, "vB", "B,A,C,D"},
        {"a company expanded and collapsed", {1}, "xK", "A,A,C,D"},
        {"a find", {4}, "fK", "A,B,A,C,D"},
        {"the restored list, nothing selected", {}, "B", "A,B,A,C,D"},
        {"lines 1, 3 and 4 of five, nothing changed since", {1, 3, 4}, "B", "A,A"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Restart();
        WriteBook(Row("A", "1") + Row("B", "2") + Row("C", "3") + Row("D", "4"));
        AddPrinter();
        StoreDestinations("1,2,1,3,4", "A,B,A,C,D");
        Open();
        window->SelectLines(IDC_DESTINATION_LIST, test.selected);
        for (const char* step = test.steps; *step; ++step) act(*step);
        std::string shown;
        for (const std::string& line : Lines(IDC_DESTINATION_LIST)) shown += (shown.empty() ? "" : ",") + line;
        EXPECT_EQ(shown, test.shown);
        EXPECT_TRUE(window->SelectedLines(IDC_DESTINATION_LIST).empty());
        EXPECT_FALSE(window->IsEnabled(IDC_REMOVE_DESTINATIONS));
        window->Click(IDOK);
        EXPECT_EQ(Stored(kNamesValue), test.shown);
    }
}

TEST_F(DestinationsTest, CompanyLinesAndNoSelectionAddNothing) {
    OpenWith({{"A", "1"}});
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    window->Select(IDC_ADDRESS_LIST, 0);
    window->Click(IDC_ADD_DESTINATION);
    EXPECT_TRUE(Lines(IDC_DESTINATION_LIST).empty());
    window->DoubleClick(IDC_ADDRESS_LIST, 0);  // expands instead
    EXPECT_TRUE(Lines(IDC_DESTINATION_LIST).empty());
    window->DoubleClick(IDC_ADDRESS_LIST, 1);  // the member line
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"A"});
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 2u);  // still expanded
}

TEST_F(DestinationsTest, MoreThanAHundredRestoredShrinkByOnePerRequest) {
    // One stored destination restores every person with its name and number.
    std::string bytes;
    for (int i = 0; i < 60; ++i) bytes += Row("P", "1");
    WriteBook(bytes + Row("X", Digits(33)));
    AddPrinter();
    StoreDestinations("1,1", "P,P");
    Open();
    ASSERT_EQ(Destinations().size(), 120u);
    EXPECT_EQ(Destinations()[60], 0);

    Add(60);  // refused for its number, then the count rule takes one more
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kFaxNumberOver32, msg::kOver100Destinations}));
    EXPECT_EQ(Destinations().size(), 119u);
    platform->boxes.clear();
    Add(0);  // already listed: the count check still runs
    Add(0);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kOver100Destinations, msg::kOver100Destinations}));
    EXPECT_EQ(Destinations().size(), 117u);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST).size(), 117u);

    // The selection snapshot holds at most 100 lines.
    std::vector<int> all(117);
    for (int i = 0; i < 117; ++i) all[static_cast<size_t>(i)] = i;
    window->SelectLines(IDC_DESTINATION_LIST, all);
    window->Click(IDC_REMOVE_DESTINATIONS);
    EXPECT_EQ(Destinations().size(), 17u);
    EXPECT_EQ(Destinations()[0], 40);
}

}  // namespace
