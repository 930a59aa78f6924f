#include "storage/journal.h"
#include "support/fixture.h"

namespace {

class EntryCommandsTest : public ProgramTest {
protected:
    void Delete(int line, int answer = IDOK) {
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
    EXPECT_EQ(window->ItemData(IDC_ADDRESS_LIST), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(Book(), Row("A", "1") + "新人,よみ,会社,,営業部,03-0000,,,,,,,\r\n" + ",,unnamed,,,9,,,,,,,\r\n");
    // Selection, buttons and the destinations stay as they were.
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_EQ(Buttons(), "1110");
    EXPECT_TRUE(platform->boxes.empty());
}

TEST_F(EntryCommandsTest, CreateCancelledChangesNothing) {
    OpenWith(five);
    platform->WhenDialogOpens(IDD_NEW_ENTRY, [](MemoryWindow& w) { w.Click(IDCANCEL); });
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 5u);
    EXPECT_EQ(Book(), five);
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

TEST_F(EntryCommandsTest, ACreatedPersonHasNoHiddenColumnsOfAnother) {
    // Slot 1, where C goes, last held B, and a copy of B once B moved down.
    OpenWith("A,a,,,,1,a1,a2,a3,a4,a5,a6,a7\r\nB,b,,,,2,b1,b2,b3,b4,b5,b6,b7\r\n");
    Delete(0);
    ScriptNewEntry("C", "3");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(Book(), "B,b,,,,2,b1,b2,b3,b4,b5,b6,b7\r\n" + Row("C", "3"));
}

TEST_F(EntryCommandsTest, IDsAreNeverHandedOutTwice) {
    OpenWith(five);
    Delete(2);
    ScriptNewEntry("F", "6");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(window->ItemData(IDC_ADDRESS_LIST), (std::vector<std::uint32_t>{0, 1, 3, 4, 5}));
    // Created then deleted in the same run: gone from the file, its ID not reused.
    Delete(4);
    EXPECT_EQ(Book(), Row("A", "1") + Row("B", "2") + Row("D", "4") + Row("E", "5"));
    ScriptNewEntry("G", "7");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(window->ItemData(IDC_ADDRESS_LIST).back(), 6u);
}

TEST_F(EntryCommandsTest, IDsAreRenumberedBeforeReachingTheCompanyRange) {
    OpenWith(five);
    Add(3);
    Add(1);
    Delete(0);
    // As after thousands of creations in one run: the next ID is 4999.
    for (int id = 5; id < 4999; ++id) session->DeletePerson(session->CreatePerson(CAddressEntry()).addressLines.at);
    ScriptNewEntry("F", "6");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(window->ItemData(IDC_ADDRESS_LIST).back(), 4999u);
    ScriptNewEntry("G", "7");
    window->Click(IDC_CREATE_ENTRY);
    // Slots 0..4 hold B, C, D, E, F; they are numbered afresh and G follows.
    EXPECT_EQ(window->ItemData(IDC_ADDRESS_LIST), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "C", "D", "E", "F", "G"}));
    EXPECT_EQ(Destinations(), (std::vector<std::int32_t>{2, 0}));  // D and B, as before
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), (std::vector<std::string>{"D", "B"}));
    window->Click(IDOK);
    EXPECT_EQ(Stored(kNamesValue), "D,B");
    EXPECT_EQ(Stored(kFaxNumbersValue), "4,2");
}

TEST_F(EntryCommandsTest, PropertiesRenameEveryDestinationLineOfThePerson) {
    // The list restored at start may repeat a person: B stands twice.
    StoreDestinations("2,3,2", "B,C,B");
    OpenWith(five);
    Rename(1, "Bob");
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "Bob", "C", "D", "E"}));
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{1});
    EXPECT_EQ(window->ItemData(IDC_ADDRESS_LIST)[1], 1u);
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

TEST_F(EntryCommandsTest, PropertiesWithoutAChangeSaveNothing) {
    OpenWith(five);
    platform->files[AddressBookPath(*platform)] = "sentinel";
    platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [](MemoryWindow& w) { w.Click(IDOK); });
    window->Select(IDC_ADDRESS_LIST, 0);
    window->Click(IDC_PROPERTIES);
    EXPECT_EQ(Book(), "sentinel");
    EXPECT_TRUE(platform->boxes.empty());  // not even a refused save
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

TEST_F(EntryCommandsTest, DeleteOfOneOfTwoNamesakesTakesTheSelectedOne) {
    OpenWith(Row("同名", "1") + Row("同名", "2"));
    Delete(1);
    EXPECT_EQ(Book(), Row("同名", "1"));
}

TEST_F(EntryCommandsTest, DeleteNotConfirmedChangesNothing) {
    OpenWith(five);
    Add(0);
    Delete(0, IDCANCEL);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 5u);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"A"});
    EXPECT_EQ(Book(), five);
}

TEST_F(EntryCommandsTest, CompanyLinesRefuseDeleteAndIgnoreProperties) {
    OpenWith(five);
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    window->Select(IDC_ADDRESS_LIST, 0);
    window->Click(IDC_DELETE_ENTRY);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kCannotDeleteCompany});
    window->Click(IDC_PROPERTIES);  // no script: must not open
    EXPECT_EQ(platform->modalRuns, std::vector<int>{});
    EXPECT_EQ(Book(), five);
}

TEST_F(EntryCommandsTest, InTheCompanyViewCreatedAndMemberLinesArePersons) {
    OpenWith(Row("A", "1", "X") + Row("B", "2", "Y"));
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    ScriptNewEntry("C", "3", "X");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"X", "Y", "C"}));
    window->DoubleClick(IDC_ADDRESS_LIST, 0);  // expand X: it matches the table built on entry
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"X", " >> A", " >> C", "Y", "C"}));
    Rename(1, "Anna");  // a member line keeps its prefix
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST)[1], " >> Anna");
    Rename(4, "Cy");  // the created person's own line has none
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST)[4], "Cy");
    Delete(4);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"X", " >> Anna", " >> C", "Y"}));
    EXPECT_EQ(Book(), Row("Anna", "1", "X") + Row("B", "2", "Y"));
}

TEST_F(EntryCommandsTest, InThePersonViewANameLikeAMemberLineIsKeptAsItIs) {
    OpenWith(Row("A", "1") + Row(" >> X", "2"));
    Rename(1, " >> Y");
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A", " >> Y"}));
    EXPECT_EQ(Book(), Row("A", "1") + Row(" >> Y", "2"));
}

TEST_F(EntryCommandsTest, FailedSaveKeepsTheChangeInMemoryAndTheOldFile) {
    OpenWith(five);
    platform->readOnlyFiles.insert(AddressBookPath(*platform));
    Delete(0);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kConfirmDelete,
                                                     msg::WithCause(msg::kCannotWriteBook, FileFault::NoRight)}));
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"B", "C", "D", "E"}));
    EXPECT_EQ(Book(), five);
    EXPECT_EQ(platform->files.size(), 1u);
    // The next successful save writes the whole book.
    platform->readOnlyFiles.clear();
    ScriptNewEntry("F", "6");
    window->Click(IDC_CREATE_ENTRY);
    EXPECT_EQ(Book(), Row("B", "2") + Row("C", "3") + Row("D", "4") + Row("E", "5") + Row("F", "6"));
}

TEST_F(EntryCommandsTest, DeletingEveryoneSavesAnEmptyFile) {
    OpenWith(Row("A", "1"));
    Delete(0);
    EXPECT_EQ(Book(), "");
    EXPECT_EQ(platform->files.count(AddressBookPath(*platform)), 1u);
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
        size_t personsShown;
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
        Open();
        EXPECT_EQ(BoxTexts(), c.boxesAtStart);
        EXPECT_EQ(platform->pauses, c.pauses);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), c.personsShown);
        // Only a book read whole may drop what it does not hold.
        EXPECT_EQ(Stored(kNamesValue), c.namesStored);
        // The other program has let go by the time the user creates a person.
        platform->lockedOpens.clear();
        platform->holders.clear();
        platform->boxes.clear();
        ScriptNewEntry("D", "4");
        window->Click(IDC_CREATE_ENTRY);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), c.personsShown + 1);
        if (c.saved == FileFault::None) {
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
            EXPECT_EQ(Book(), (c.personsShown ? three : "") + Row("D", "4"));
            EXPECT_EQ(platform->files[journal], "");
        } else {
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::WithCause(msg::kCannotWriteBook, c.saved)});
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
        OpenWith(Row("A", "1"));
        // A first save of this run: the check then follows what it wrote.
        ScriptNewEntry("B", "2");
        window->Click(IDC_CREATE_ENTRY);
        ASSERT_EQ(Book(), ours);
        c.meanwhile();
        std::map<std::string, std::string> filesBefore = platform->files;
        ScriptNewEntry("C", "3");
        window->Click(IDC_CREATE_ENTRY);
        EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A", "B", "C"}));
        if (c.saved == FileFault::None) {
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
            EXPECT_EQ(Book(), ours + Row("C", "3"));
        } else {
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::WithCause(msg::kCannotWriteBook, c.saved)});
            EXPECT_EQ(platform->files, filesBefore);
        }
    }
    // A book missing at the start that another program creates meanwhile:
    // the person joins it; while that program still holds it open, nothing is written.
    for (const auto& [holds, boxes, book] : {std::tuple{0, std::vector<std::string>{}, theirs + Row("C", "3")},
                                            std::tuple{100, std::vector<std::string>{msg::WithCause(msg::kCannotWriteBook, FileFault::Held)}, theirs}}) {
        SCOPED_TRACE(holds);
        Restart();
        AddPrinter();
        Open();
        WriteBook(theirs);
        platform->lockedOpens[AddressBookPath(*platform)] = holds;
        platform->boxes.clear();
        ScriptNewEntry("C", "3");
        window->Click(IDC_CREATE_ENTRY);
        EXPECT_EQ(BoxTexts(), boxes);
        EXPECT_EQ(Book(), book);
    }
}

}  // namespace
