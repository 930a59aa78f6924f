#include "storage/journal.h"
#include "support/fixture.h"

namespace {

class EntryCommandsTest : public ProgramTest {
protected:
    void DeleteLine(int line, int answer = IDOK) {
        window->Select(IDC_ADDRESS_LIST, line);
        platform->AnswerNextBox(answer);
        window->Click(IDC_DELETE_ENTRY);
    }
    void Rename(int line, const std::string& name) {
        platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [name](MemoryWindow& w) {
            w.At(IDC_NAME).text.clear();
            w.Type(IDC_NAME, name);
            w.Click(IDOK);
        });
        window->Select(IDC_ADDRESS_LIST, line);
        window->Click(IDC_PROPERTIES);
    }
    const std::string five = Row("A", "1") + Row("B", "2") + Row("C", "3") + Row("D", "4") + Row("E", "5");
};

TEST_F(EntryCommandsTest, CreateAppendsAPersonAndSavesTheBook) {
    OpenWith(Row("A", "1") + ",,unnamed,,,9,,,,,,,\r\n");
    window->Select(IDC_ADDRESS_LIST, 0);
    ScriptNewEntry("新人", "03-0000", "会社", "営業部");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "新人"}));
    EXPECT_EQ(Book(), Row("A", "1") + "新人,よみ,会社,,営業部,03-0000,,,,,,,\r\n" + ",,unnamed,,,9,,,,,,,\r\n");
    // Selection, buttons and the destinations stay as they were.
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_EQ(Buttons(), "1110");
    EXPECT_TRUE(platform->boxes.empty());
}

TEST_F(EntryCommandsTest, ThousandPersonLimit) {
    std::string bytes;
    for (int i = 0; i < 999; ++i) bytes += Row("P" + std::to_string(i), "1");
    OpenWith(bytes);
    ScriptNewEntry("P999", "1");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 1000u);
    window->Click(IDC_CREATE_ENTRY);  // no script: the dialog must not open
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kNoMoreEntries});
    EXPECT_EQ(platform->modalRuns, std::vector<int>{IDD_NEW_ENTRY});
}

TEST_F(EntryCommandsTest, PropertiesRenameEveryDestinationLineOfThePerson) {
    // The list restored at start may repeat a person: B stands twice.
    StoreDestinations("2,3,2", "B,C,B");
    OpenWith(five);
    Rename(1, "Bob");
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "Bob", "C", "D", "E"}));
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{1});
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), (std::vector<std::string>{"Bob", "C", "Bob"}));
    EXPECT_EQ(Book(), Row("A", "1") + Row("Bob", "2") + Row("C", "3") + Row("D", "4") + Row("E", "5"));
}

TEST_F(EntryCommandsTest, PropertiesKeepTheHiddenColumns) {
    OpenWith("A,a,c,cr,d,1,x1,x2,x3,x4,x5,x6,x7\r\n");
    Rename(0, "Z");
    EXPECT_EQ(Book(), "Z,a,c,cr,d,1,x1,x2,x3,x4,x5,x6,x7\r\n");
    platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [](MemoryWindow& w) {
        w.At(IDC_DEPARTMENT).text.clear();
        w.Type(IDC_DEPARTMENT, "総務");
        w.Type(IDC_COMPANY_READING, "2");
        w.Click(IDOK);
    });
    window->Select(IDC_ADDRESS_LIST, 0);
    window->Click(IDC_PROPERTIES);
    EXPECT_EQ(Book(), "Z,a,c,cr2,総務,1,x1,x2,x3,x4,x5,x6,x7\r\n");
}

TEST_F(EntryCommandsTest, DeleteRemovesEveryDestinationLineOfThePerson) {
    // Destinations A, B, A, C, some still selected when the person view
    // comes back and selects A itself.
    for (const auto& [selected, stillSelected] : {std::pair{std::vector<int>{1}, true}, {std::vector<int>{0, 2}, false}}) {
        Restart();
        StoreDestinations("1,2,1,3", "A,B,A,C");
        OpenWith(five);
        window->SelectLines(IDC_DESTINATION_LIST, selected);
        window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
        window->ChooseComboItem(IDC_DISPLAY_MODE, 0);
        platform->AnswerNextBox(IDOK);
        window->Click(IDC_DELETE_ENTRY);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kConfirmDelete});
        EXPECT_EQ(platform->boxes[0].type, MB_OKCANCEL | MB_ICONEXCLAMATION);
        EXPECT_EQ(Lines(IDC_DESTINATION_LIST), (std::vector<std::string>{"B", "C"}));
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "C", "D", "E"}));
        EXPECT_TRUE(window->SelectedLines(IDC_ADDRESS_LIST).empty());
        EXPECT_EQ(Buttons(), stillSelected ? "0001" : "0000");
        EXPECT_EQ(Book(), Row("B", "2") + Row("C", "3") + Row("D", "4") + Row("E", "5"));
    }
}

TEST_F(EntryCommandsTest, CommandsThatChangeNothing) {
    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> boxes;
        std::vector<int> modalRuns;
    };
    const std::vector<Case> cases = {
        {"create cancelled", [&] {
             platform->WhenDialogOpens(IDD_NEW_ENTRY, [](MemoryWindow& w) { w.Click(IDCANCEL); });
             window->Click(IDC_CREATE_ENTRY);
         }, {}, {IDD_NEW_ENTRY}},
        {"properties without a change (not even a save is tried)", [&] {
             platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [](MemoryWindow& w) { w.Click(IDOK); });
             window->Click(IDC_PROPERTIES);
         }, {}, {IDD_ENTRY_PROPERTY}},
        {"delete not confirmed", [&] { DeleteLine(0, IDCANCEL); }, {msg::kConfirmDelete}, {}},
        {"delete on a company line", [&] {
             window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
             window->Select(IDC_ADDRESS_LIST, 0);
             window->Click(IDC_DELETE_ENTRY);
         }, {msg::kCannotDeleteCompany}, {}},
        {"properties on a company line (no script: must not open)", [&] {
             window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
             window->Select(IDC_ADDRESS_LIST, 0);
             window->Click(IDC_PROPERTIES);
         }, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        OpenWith(five);
        Add(0);
        platform->files[AddressBookPath(*platform)] = "sentinel";
        c.act();
        EXPECT_EQ(BoxTexts(), c.boxes);
        EXPECT_EQ(platform->modalRuns, c.modalRuns);
        window->ChooseComboItem(IDC_DISPLAY_MODE, 0);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 5u);
        EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"A"});
        EXPECT_EQ(Book(), "sentinel");
    }
}

// The session alone: both lists, the IDs the lines carry, the messages and
// the book's bytes after a run of changes.
TEST_F(EntryCommandsTest, ChangesShowInTheListsAndReachTheBookWhole) {
    const std::string unnamed = ",,unnamed,,,9,,,,,,,\r\n";
    const std::string b = "B,b,,,,2,b1,b2,b3,b4,b5,b6,b7\r\n";
    auto view = [](int mode, int expand) {
        return [=](PickerSession& pc) {
            pc.ShowMode(mode);
            if (expand >= 0) pc.ExpandOrCollapse(expand);
            return EntryResult{};
        };
    };
    auto readOnly = [this](bool on) {
        return [this, on](PickerSession&) {
            on ? void(platform->readOnlyFiles.insert(AddressBookPath(*platform))) : platform->readOnlyFiles.clear();
            return EntryResult{};
        };
    };
    const std::string noRight = msg::WithCause(msg::kCannotWriteBook, FileFault::NoRight);
    const std::vector<Act> inCompanyView = {view(1, -1), Create("C", "3", "X"), view(1, 0), Edit(1, "Anna"), Edit(4, "Cy")};
    auto then = [](std::vector<Act> acts, Act last) { return acts.push_back(last), acts; };
    struct Case {
        const char* what;
        std::string book;
        std::vector<Act> acts;
        std::vector<std::string> screen;  // the address book list, "|", the destinations
        std::string saved;
        std::vector<std::uint32_t> ids = {};  // of the address book lines, when checked
        std::vector<std::string> messages = {};
    };
    const std::vector<Case> cases = {
        {"a create, behind an unnamed row", Row("A", "1") + unnamed, {Create("新人", "03-0000", "会社")}, {"A", "新人", "|"},
         Row("A", "1") + Row("新人", "03-0000", "会社") + unnamed, {0, 1}},
        {"a create into the slot of another's hidden columns", "A,a,,,,1,a1,a2,a3,a4,a5,a6,a7\r\n" + b,
         {Delete(0), Create("C", "3")}, {"B", "C", "|"}, b + Row("C", "3")},
        {"IDs never handed out twice", five, {Delete(2), Create("F", "6"), Delete(4), Create("G", "7")},
         {"A", "B", "D", "E", "G", "|"}, Row("A", "1") + Row("B", "2") + Row("D", "4") + Row("E", "5") + Row("G", "7"),
         {0, 1, 3, 4, 6}},
        {"a delete of one of two namesakes", Row("同名", "1") + Row("同名", "2"), {Delete(1)}, {"同名", "|"}, Row("同名", "1")},
        {"the company view: a created person and members are persons", Row("A", "1", "X") + Row("B", "2", "Y"),
         inCompanyView, {"X", " >> Anna", " >> C", "Y", "Cy", "|"}, Row("Anna", "1", "X") + Row("B", "2", "Y") + Row("Cy", "3", "X")},
        {"the company view: the created person deleted", Row("A", "1", "X") + Row("B", "2", "Y"), then(inCompanyView, Delete(4)),
         {"X", " >> Anna", " >> C", "Y", "|"}, Row("Anna", "1", "X") + Row("B", "2", "Y")},
        {"the person view: a name like a member line", Row("A", "1") + Row(" >> X", "2"), {Edit(1, " >> Y")},
         {"A", " >> Y", "|"}, Row("A", "1") + Row(" >> Y", "2")},
        {"a refused save: the change stays on screen, the file as it was", five, {readOnly(true), Delete(0)},
         {"B", "C", "D", "E", "|"}, five, {}, {noRight}},
        {"the next save writes the whole book", five, {readOnly(true), Delete(0), readOnly(false), Create("F", "6")},
         {"B", "C", "D", "E", "F", "|"}, Row("B", "2") + Row("C", "3") + Row("D", "4") + Row("E", "5") + Row("F", "6"), {}, {noRight}},
        {"everyone deleted: an empty file", Row("A", "1"), {Delete(0)}, {"|"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteBook(c.book);
        AddPrinter();
        PickerSession& pc = StartSession();
        std::vector<std::string> shown;
        for (const Act& act : c.acts)
            for (const std::string& message : act(pc).messages) shown.push_back(message);
        EXPECT_EQ(Screen(pc), c.screen);
        EXPECT_EQ(platform->files.count(AddressBookPath(*platform)) ? Book() : "<missing>", c.saved);
        EXPECT_EQ(shown, c.messages);
        std::vector<std::uint32_t> ids;
        for (int line = 0; line < pc.Lines().Count() && !c.ids.empty(); ++line) ids.push_back(pc.LineItemData(line));
        EXPECT_EQ(ids, c.ids);
    }
}

TEST_F(EntryCommandsTest, IDsAreRenumberedBeforeReachingTheCompanyRange) {
    WriteBook(five);
    AddPrinter();
    PickerSession& pc = StartSession();
    pc.AddDestination(3);
    pc.AddDestination(1);
    Delete(0)(pc);
    // As after thousands of creations in one run: the next ID is 4999.
    for (int id = 5; id < 4999; ++id) pc.DeletePerson(pc.CreatePerson(CAddressEntry()).addressLines.at);
    Create("F", "6")(pc);
    EXPECT_EQ(pc.LineItemData(4), 4999u);
    // Slots 0..4 hold B, C, D, E, F; they are numbered afresh, G follows, and every line is to be drawn anew.
    const Splice drawn = Create("G", "7")(pc).addressLines;
    EXPECT_EQ((std::vector<int>{drawn.at, drawn.removed, drawn.inserted}), (std::vector<int>{0, 5, 6}));
    for (int line = 0; line < 6; ++line) EXPECT_EQ(pc.LineItemData(line), static_cast<std::uint32_t>(line));
    EXPECT_EQ(Screen(pc), (std::vector<std::string>{"B", "C", "D", "E", "F", "G", "|", "D", "B"}));
    EXPECT_EQ(pc.WriteFaxNumberBook(), std::nullopt);
    EXPECT_EQ(Stored(kNamesValue), "D,B");
    EXPECT_EQ(Stored(kFaxNumbersValue), "4,2");
}

TEST_F(EntryCommandsTest, ABookThatCouldNotBeReadIsNeverReplaced) {
    const std::string three = Row("A", "1") + Row("B", "2", "co") + "C,c,,,,3,x1,x2,x3,x4,x5,x6,x7\r\n";
    const std::vector<unsigned> allPauses = {50, 100, 200, 400};
    const std::vector<unsigned> twice = {50, 100, 200, 400, 50, 100, 200, 400};  // held, then read beside
    auto unread = [](FileFault why) { return std::vector<std::string>{msg::WithCause(msg::kCannotReadBook, why)}; };
    using Holder = MemoryPlatform::Holder;
    auto held = [](Holder holder) {
        return [holder](MemoryPlatform& p, const std::string& path) { p.holders.insert({path, holder}); };
    };
    struct Case {
        const char* what;
        std::function<void(MemoryPlatform&, const std::string& path)> arrange;
        std::vector<std::string> boxesAtStart;
        std::vector<unsigned> pauses;
        int personsShown;
        std::string namesStored;  // after the start; stored before: "B,Gone"
        FileFault saved;          // once the other program has let go
    };
    const std::vector<Case> cases = {
        {"readable", [](MemoryPlatform&, const std::string&) {}, {}, {}, 3, "B", FileFault::None},
        {"held open a moment", [](MemoryPlatform& p, const std::string& path) { p.lockedOpens[path] = 2; }, {},
         {50, 100}, 3, "B", FileFault::None},
        {"held open by a spreadsheet", held(MemoryPlatform::kSpreadsheet), {}, allPauses, 3, "B", FileFault::None},
        {"held open by a viewer", held(MemoryPlatform::kViewer), {}, allPauses, 3, "B", FileFault::None},
        {"held open without sharing", held(MemoryPlatform::kExclusive), unread(FileFault::Held), twice, 0,
         "B,Gone", FileFault::NotRead},
        {"0 bytes, held open without sharing",
         [](MemoryPlatform& p, const std::string& path) { p.files[path] = "", p.lockedOpens[path] = 10; },
         unread(FileFault::Held), twice, 0, "B,Gone", FileFault::NotRead},
        {"a read error", [](MemoryPlatform& p, const std::string& path) { p.unreadableFiles.insert(path); },
         unread(FileFault::Failed), {}, 0, "B,Gone", FileFault::NotRead},
        {"no access", [](MemoryPlatform& p, const std::string& path) { p.deniedFiles.insert(path); },
         unread(FileFault::NoRight), {}, 0, "B,Gone", FileFault::NotRead},
        {"read only for this user", [](MemoryPlatform& p, const std::string& path) { p.readOnlyFiles.insert(path); },
         {}, {}, 3, "B", FileFault::NoRight},
        {"the journal unreadable",
         [](MemoryPlatform& p, const std::string& path) { p.unreadableFiles.insert(path.substr(0, path.size() - 3) + "TMP"); },
         {msg::kCannotReadJournal}, {}, 3, "B,Gone", FileFault::JournalUnreadable},
        {"missing", [](MemoryPlatform& p, const std::string& path) { p.files.erase(path); }, {msg::kCannotOpenBook},
         {}, 0, "", FileFault::None},
        {"missing beside a journal it cannot read (perhaps a save that made it)", [](MemoryPlatform& p, const std::string& path) {
             p.files.erase(path);
             p.unreadableFiles.insert(path.substr(0, path.size() - 3) + "TMP");
         }, {msg::kCannotReadJournal}, {}, 0, "B,Gone", FileFault::JournalUnreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        const std::string path = AddressBookPath(*platform);
        const std::string journal = AddressBookPath(*platform, kAddressBookJournalFileName);
        WriteBook(three);
        platform->files[journal] = EncodeJournal({false, three, Row("X", "9")}).substr(0, 40);  // torn, harmless
        AddPrinter();
        StoreDestinations("2,9", "B,Gone");
        c.arrange(*platform, path);
        const std::string before = platform->files.count(path) ? Book() : "<missing>";
        PickerSession& pc = StartSession();
        EXPECT_EQ(messages, c.boxesAtStart);
        EXPECT_EQ(platform->pauses, c.pauses);
        EXPECT_EQ(pc.Lines().Count(), c.personsShown);
        // Only a book read whole may drop what it does not hold.
        EXPECT_EQ(Stored(kNamesValue), c.namesStored);
        // The other program has let go by the time the user creates a person.
        platform->lockedOpens.clear();
        platform->holders.clear();
        const EntryResult made = Create("D", "4")(pc);
        EXPECT_EQ(pc.Lines().Count(), c.personsShown + 1);
        if (c.saved == FileFault::None) {
            EXPECT_EQ(made.messages, std::vector<std::string>{});
            EXPECT_EQ(Book(), (c.personsShown ? three : "") + Row("D", "4"));
            EXPECT_EQ(platform->files[journal], "");
        } else {
            EXPECT_EQ(made.messages, std::vector<std::string>{msg::WithCause(msg::kCannotWriteBook, c.saved)});
            EXPECT_EQ(platform->files.count(path) ? Book() : "<missing>", before);
        }
    }
}

TEST_F(EntryCommandsTest, ASaveNeverOverwritesWhatAnotherProgramWroteMeanwhileNorLosesIt) {
    const std::string ours = Row("A", "1") + Row("B", "2");
    const std::string theirs = Row("Edited", "9");
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        FileFault saved;
    };
    const std::vector<Case> cases = {
        {"unchanged", [] {}, FileFault::None},
        {"rewritten with the same bytes", [&] { WriteBook(ours); }, FileFault::None},
        {"deleted", [&] { platform->files.erase(AddressBookPath(*platform)); }, FileFault::None},
        {"held open at the save", [&] { platform->lockedOpens[AddressBookPath(*platform)] = 100; }, FileFault::Held},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteBook(Row("A", "1"));
        PickerSession& pc = StartSession();
        // A first save of this run: the check then follows what it wrote.
        Create("B", "2")(pc);
        ASSERT_EQ(Book(), ours);
        c.meanwhile();
        std::map<std::string, std::string> filesBefore = platform->files;
        const EntryResult made = Create("C", "3")(pc);
        EXPECT_EQ(Screen(pc), (std::vector<std::string>{"A", "B", "C", "|"}));
        if (c.saved == FileFault::None) {
            EXPECT_EQ(made.messages, std::vector<std::string>{});
            EXPECT_EQ(Book(), ours + Row("C", "3"));
        } else {
            EXPECT_EQ(made.messages, std::vector<std::string>{msg::WithCause(msg::kCannotWriteBook, c.saved)});
            EXPECT_EQ(platform->files, filesBefore);
        }
    }
    // A book missing at the start that another program creates meanwhile:
    // the person joins it; while that program still holds it open, nothing is written.
    for (const auto& [holds, boxes, book] : {std::tuple{0, std::vector<std::string>{}, theirs + Row("C", "3")},
                                            std::tuple{100, std::vector<std::string>{msg::WithCause(msg::kCannotWriteBook, FileFault::Held)}, theirs}}) {
        SCOPED_TRACE(holds);
        Restart();
        PickerSession& pc = StartSession();
        WriteBook(theirs);
        platform->lockedOpens[AddressBookPath(*platform)] = holds;
        EXPECT_EQ(Create("C", "3")(pc).messages, boxes);
        EXPECT_EQ(Book(), book);
    }
}

}  // namespace
