#include "support/fixture.h"

namespace {

class DriverTest : public ProgramTest {
protected:
    void SetUp() override {
        WriteBook(Row("山田", "03-1111") + Row("鈴木", "06-2222") + Row("佐藤", "09-3333") + Row("山田", "03-1111"));
    }
    // The destination list, as the session holds it.
    std::vector<std::string> Restored() {
        std::vector<std::string> names;
        for (int line = 0; line < session->DestinationCount(); ++line) names.push_back(session->DestinationText(line));
        return names;
    }
};

TEST_F(DriverTest, ValuesAreRegSzOfExactly256Bytes) {
    AddPrinter();
    Open();
    window->Select(IDC_ADDRESS_LIST, 1);
    window->Click(IDC_ADD_DESTINATION);
    window->Select(IDC_ADDRESS_LIST, 2);
    window->Click(IDC_ADD_DESTINATION);
    window->Click(IDOK);
    std::optional<RegValue> fax = platform->GetValue(kDriverData, kFaxNumbersValue);
    std::optional<RegValue> names = platform->GetValue(kDriverData, kNamesValue);
    ASSERT_TRUE(fax && names);
    std::vector<BYTE> expected(256, 0);
    std::string text = "06-2222,09-3333";
    std::copy(text.begin(), text.end(), expected.begin());
    EXPECT_EQ(fax->type, REG_SZ);
    EXPECT_EQ(fax->data, expected);
    EXPECT_EQ(names->type, REG_SZ);
    EXPECT_EQ(names->data.size(), 256u);
    EXPECT_EQ(Stored(kNamesValue), "鈴木,佐藤");
    EXPECT_EQ(platform->openKeys, 0);
}

TEST_F(DriverTest, RestoreMatchesNameAndNumber) {
    struct Case {
        const char* what;
        std::string faxes;
        std::string names;
        std::vector<std::string> restored;
        std::vector<std::int32_t> ids;
        std::string writtenFaxes, writtenNames;
    };
    const std::vector<Case> cases = {
        {"nothing stored", "", "", {}, {}, "", ""},
        {"in stored order", "09-3333,06-2222", "佐藤,鈴木", {"佐藤", "鈴木"}, {2, 1}, "09-3333,06-2222", "佐藤,鈴木"},
        {"every matching person", "03-1111", "山田", {"山田", "山田"}, {0, 3}, "03-1111,03-1111", "山田,山田"},
        {"stale piece dropped", "06-2222,00-0000,09-3333", "鈴木,消えた人,佐藤", {"鈴木", "佐藤"}, {1, 2},
         "06-2222,09-3333", "鈴木,佐藤"},
        {"number changed", "06-9999", "鈴木", {}, {}, "", ""},
        {"same person twice", "06-2222,06-2222", "鈴木,鈴木", {"鈴木", "鈴木"}, {1, 1}, "06-2222,06-2222", "鈴木,鈴木"},
        {"fewer numbers than names", "06-2222", "鈴木,佐藤", {"鈴木"}, {1}, "06-2222", "鈴木"},
        {"more names than numbers, the missing ones empty", "06-2222", "鈴木,佐藤,山田", {"鈴木"}, {1}, "06-2222",
         "鈴木"},
        {"numbers beyond the names ignored", "06-2222,09-3333", "鈴木", {"鈴木"}, {1}, "06-2222", "鈴木"},
        {"name with a comma splits", "06-2222,09-3333", "鈴,木,佐藤", {}, {}, "", ""},
        {"empty pieces restore nothing", ",,", ",,", {}, {}, "", ""},
        {"empty last piece", "06-2222,", "鈴木,", {"鈴木"}, {1}, "06-2222", "鈴木"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string book = Book();
        Restart();
        WriteBook(book);
        AddPrinter();
        StoreDestinations(c.faxes, c.names);
        StartSession();
        EXPECT_EQ(Restored(), c.restored);
        EXPECT_EQ(Destinations(), c.ids);
        // Written back at once: only what matched stays.
        EXPECT_EQ(Stored(kFaxNumbersValue), c.writtenFaxes);
        EXPECT_EQ(Stored(kNamesValue), c.writtenNames);
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(DriverTest, FirstUseCreatesBothValuesEvenOnCancel) {
    AddPrinter();
    Open();
    window->Click(IDCANCEL);
    EXPECT_EQ(platform->GetValue(kDriverData, kFaxNumbersValue)->data, std::vector<BYTE>(256, 0));
    EXPECT_EQ(platform->GetValue(kDriverData, kNamesValue)->data, std::vector<BYTE>(256, 0));
}

TEST_F(DriverTest, AMissingFaxNumberValueReadsAsTheEmptyText) {
    // Only a person whose FAX number is empty matches an empty piece.
    Restart();
    WriteBook(Row("番号なし", "") + Row("鈴木", "06-2222"));
    AddPrinter();
    platform->SetValue(kDriverData, kNamesValue, REG_SZ, ToBytes(ValueData("番号なし")));
    StartSession();
    EXPECT_EQ(Restored(), std::vector<std::string>{"番号なし"});
    EXPECT_EQ(Stored(kFaxNumbersValue), "");
    EXPECT_EQ(Stored(kNamesValue), "番号なし");
}

TEST_F(DriverTest, PrinterLookup) {
    const std::string second = kPrinters + "\\Second FAX";
    struct Case {
        const char* what;
        std::function<void(MemoryPlatform&)> arrange;
        std::string commandLine;
        bool restoredFromFirst;   // the first printer's values were read and written
        bool restoredFromSecond;
        bool okCannotWrite = false;  // OK reports that the values cannot be written, and the dialog stays
    };
    const std::vector<Case> cases = {
        {"first of two with the driver wins", [](MemoryPlatform&) {}, "/s /m:Demo FAX Driver", true, false},
        {"driver name is compared whole", [](MemoryPlatform&) {}, "/s /m:Demo FAX", false, false},
        {"option after the name is part of it", [](MemoryPlatform&) {}, "/s /m:Demo FAX Driver /x", false, false},
        {"no /m: matches no printer with a driver", [](MemoryPlatform&) {}, "/s", false, false},
        {"unreadable first key is skipped",
         [](MemoryPlatform& p) { p.deniedKeys.insert(kFaxPrinter); }, "/s /m:Demo FAX Driver", false, true},
        {"failed enumeration step is skipped",
         [](MemoryPlatform& p) { p.failingEnumIndexes.insert(0); }, "/s /m:Demo FAX Driver", false, true},
        {"unreadable driver value is skipped",
         [](MemoryPlatform& p) { p.failingQueries.insert(kFaxPrinter + "|Printer Driver"); },
         "/s /m:Demo FAX Driver", false, true},
        {"driver value over 256 bytes is unreadable",
         [](MemoryPlatform& p) {
             std::vector<BYTE> data(257, 'x');
             p.SetValue(kFaxPrinter, kPrinterDriverValue, REG_SZ, data);
         },
         "/s /m:Demo FAX Driver", false, true},
        {"driver value without a zero byte is taken to its length",
         [](MemoryPlatform& p) {
             std::string name = "Demo FAX Driver";
             p.SetValue(kFaxPrinter, kPrinterDriverValue, REG_SZ, std::vector<BYTE>(name.begin(), name.end()));
         },
         "/s /m:Demo FAX Driver", true, false},
        {"printer list not openable", [](MemoryPlatform& p) { p.deniedKeys.insert(kPrinters); },
         "/s /m:Demo FAX Driver", false, false},
        {"driver-data key missing on the first", [](MemoryPlatform& p) { p.deniedKeys.insert(kDriverData); },
         "/s /m:Demo FAX Driver", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteBook(Row("鈴木", "06-2222"));
        AddPrinter(kFaxPrinter);
        AddPrinter(second);
        StoreDestinations("06-2222", "鈴木");
        platform->SetValue(second + "\\" + kDriverDataKey, kFaxNumbersValue, REG_SZ, ToBytes(ValueData("06-2222")));
        platform->SetValue(second + "\\" + kDriverDataKey, kNamesValue, REG_SZ, ToBytes(ValueData("鈴木")));
        c.arrange(*platform);
        app.m_lpCmdLine = c.commandLine;
        platform->registryWrites.clear();
        PickerSession& pc = StartSession();
        EXPECT_EQ(pc.DestinationCount() == 1, c.restoredFromFirst || c.restoredFromSecond);
        std::vector<std::string> writes;
        if (c.restoredFromFirst) writes = {kDriverData + "|FaxNumberBook", kDriverData + "|FaxNumberBook2"};
        if (c.restoredFromSecond) writes = {second + "\\PrinterDriverData|FaxNumberBook", second + "\\PrinterDriverData|FaxNumberBook2"};
        EXPECT_EQ(platform->registryWrites, writes);
        // The finish is silent when no printer was found; a printer whose
        // values cannot be written is reported, and the dialog stays.
        EXPECT_EQ(pc.WriteFaxNumberBook(), c.okCannotWrite ? std::optional<std::string>(msg::kCannotStoreDestinations) : std::nullopt);
        EXPECT_EQ(platform->openKeys, 0);
    }
}

TEST_F(DriverTest, PrinterKeyNamesUpTo255BytesAreReadAndWritten) {
    std::string sjis;  // "ソ" and "表" end in 0x5C, the byte of a key separator
    while (sjis.size() + 4 <= 255) sjis += "ソ表";
    for (const std::string& name : {std::string(61, 'P'), std::string(62, 'P'), std::string(195, 'P'),
                                    std::string(255, 'P'), sjis}) {
        SCOPED_TRACE(name.size());
        Restart();
        WriteBook(Row("鈴木", "06-2222") + Row("佐藤", "09-3333"));
        std::string printer = kPrinters + "\\" + name;
        AddPrinter(printer);
        const std::string data = printer + "\\" + kDriverDataKey;
        platform->SetValue(data, kFaxNumbersValue, REG_SZ, ToBytes(ValueData("06-2222")));
        platform->SetValue(data, kNamesValue, REG_SZ, ToBytes(ValueData("鈴木")));
        PickerSession& pc = StartSession();
        EXPECT_EQ(Screen(pc), (std::vector<std::string>{"鈴木", "佐藤", "|", "鈴木"}));
        pc.AddDestination(1);
        EXPECT_EQ(pc.WriteFaxNumberBook(), std::nullopt);
        EXPECT_EQ(Stored(kNamesValue, data), "鈴木,佐藤");
        EXPECT_EQ(Stored(kFaxNumbersValue, data), "06-2222,09-3333");
    }
}

TEST_F(DriverTest, ReadOnlyAccessStillRestores) {
    AddPrinter();
    StoreDestinations("06-2222", "鈴木");
    platform->readOnlyKeys = {kPrinters, kFaxPrinter};
    StartSession();
    EXPECT_EQ(Restored(), std::vector<std::string>{"鈴木"});
}

TEST_F(DriverTest, DestinationValueWithoutZeroIsReadToItsLength) {
    // The longest such value fills all 256 bytes; its last piece ends there.
    const std::string longName(251, 'g');
    struct Case {
        std::string names, faxes, persons;  // persons beside the book's
        std::vector<std::string> restored;
        std::string stored;  // whole pieces that fit, never one cut
    } cases[] = {
        {"鈴木", "06-2222", "", {"鈴木"}, "鈴木"},
        {longName + ",佐藤", "0,09-3333", "", {"佐藤"}, "佐藤"},
        {longName + ",佐藤", "0,09-3333", Row(longName, "0"), {longName, "佐藤"}, longName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names.size());
        std::string book = Book();
        Restart();
        WriteBook(book + c.persons);
        AddPrinter();
        platform->SetValue(kDriverData, kNamesValue, REG_SZ, std::vector<BYTE>(c.names.begin(), c.names.end()));
        platform->SetValue(kDriverData, kFaxNumbersValue, REG_SZ, std::vector<BYTE>(c.faxes.begin(), c.faxes.end()));
        StartSession();
        EXPECT_EQ(Restored(), c.restored);
        EXPECT_EQ(Stored(kNamesValue), c.stored);
    }
}

TEST_F(DriverTest, ValueLongerThan256BytesCountsAsEmpty) {
    AddPrinter();
    StoreDestinations("06-2222", "鈴木");
    std::vector<BYTE> tooLong(257, 0);
    std::string names = "鈴木";
    std::copy(names.begin(), names.end(), tooLong.begin());
    platform->SetValue(kDriverData, kNamesValue, REG_SZ, tooLong);
    StartSession();
    EXPECT_TRUE(Restored().empty());
}

TEST_F(DriverTest, BothValuesOrNeither) {
    struct Case {
        const char* what;
        bool firstExisted;
    };
    for (const Case& c : {Case{"first value existed", true}, Case{"first value was new", false}}) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteBook(Row("鈴木", "06-2222") + Row("佐藤", "09-3333"));
        AddPrinter();
        if (c.firstExisted) StoreDestinations("06-2222", "鈴木");
        platform->failingSets.insert(kDriverData + "|FaxNumberBook2");
        Open();
        window->Select(IDC_ADDRESS_LIST, 1);
        window->Click(IDC_ADD_DESTINATION);
        window->Click(IDOK);
        // Numbers are never left beside names they do not belong to.
        EXPECT_EQ(Stored(kFaxNumbersValue), c.firstExisted ? "06-2222" : "<missing>");
        EXPECT_EQ(Stored(kNamesValue), c.firstExisted ? "鈴木" : "<missing>");
        // OK tells the truth and keeps the dialog open.
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kCannotStoreDestinations});
        EXPECT_FALSE(window->ended);
        platform->failingSets.clear();
        window->Click(IDOK);
        EXPECT_TRUE(window->ended);
        EXPECT_EQ(Stored(kNamesValue), c.firstExisted ? "鈴木,佐藤" : "佐藤");
    }
}

TEST_F(DriverTest, OkRefusesAListTheValuesCannotHold) {
    // Grown past 255 bytes by editing a listed person's name.
    std::string bytes;
    for (int i = 0; i < 8; ++i) bytes += Row(std::string(30, static_cast<char>('a' + i)), std::to_string(i));
    WriteBook(bytes);
    AddPrinter();
    Open();
    for (int i = 0; i < 8; ++i) {
        window->Select(IDC_ADDRESS_LIST, i);
        window->Click(IDC_ADD_DESTINATION);
    }
    ASSERT_EQ(Restored().size(), 8u);  // 8 x 30 + 7 = 247 bytes
    platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [](MemoryWindow& entry) {
        entry.Type(IDC_NAME, std::string(20, 'z'));
        entry.Click(IDOK);
    });
    window->Select(IDC_ADDRESS_LIST, 7);
    window->Click(IDC_PROPERTIES);
    size_t writes = platform->registryWrites.size();
    platform->boxes.clear();
    window->Click(IDOK);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kTextsOver255});
    EXPECT_FALSE(window->ended);
    EXPECT_EQ(platform->registryWrites.size(), writes);
    window->SelectLines(IDC_DESTINATION_LIST, {7});
    window->Click(IDC_REMOVE_DESTINATIONS);
    window->Click(IDOK);
    EXPECT_TRUE(window->ended);
    EXPECT_EQ(Stored(kFaxNumbersValue), "0,1,2,3,4,5,6");
}

TEST_F(DriverTest, RestoreThatOverflowsWritesBackWhatWasStoredAndMatched) {
    // Persons who share a name and number: each stored piece restores all of
    // them, which can take the joined texts past 255 bytes.
    const std::string n(60, 'N');
    struct Case {
        const char* what;
        std::string book;
        std::string storedFaxNumbers, storedNames;
        size_t restoredLines;
        std::string writtenFaxNumbers, writtenNames;
    };
    const std::vector<Case> cases = {
        {"fits: every restored line is written", Row(n, "1") + Row(n, "1") + Row("B", "2"), "1,1,2", n + "," + n + ",B",
         5, "1,1,1,1,2", n + "," + n + "," + n + "," + n + ",B"},
        {"overflows: each stored piece that matched, once", Row(n, "1") + Row(n, "1") + Row(n, "1") + Row("B", "2"),
         "1,1,2", n + "," + n + ",B", 7, "1,1,2", n + "," + n + ",B"},
        {"overflows: a piece that matched no one is dropped",
         Row(n, "1") + Row(n, "1") + Row(n, "1") + Row("B", "2"), "1,7,1,2", n + ",gone," + n + ",B", 7, "1,1,2",
         n + "," + n + ",B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteBook(c.book);
        AddPrinter();
        StoreDestinations(c.storedFaxNumbers, c.storedNames);
        StartSession();
        EXPECT_EQ(Restored().size(), c.restoredLines);
        EXPECT_EQ(Stored(kFaxNumbersValue), c.writtenFaxNumbers);
        EXPECT_EQ(Stored(kNamesValue), c.writtenNames);
        // Ended without OK, the next start loses none of it.
        StartSession();
        EXPECT_EQ(Stored(kFaxNumbersValue), c.writtenFaxNumbers);
        EXPECT_EQ(Stored(kNamesValue), c.writtenNames);
    }
}

TEST(DriverFormat, StoredTextsSplitIntoPieces) {
    struct Case {
        std::string faxNumbers, names;
        DestinationPieces pieces;  // {FAX number, name}
    };
    const std::vector<Case> cases = {
        {"", "", {{"", ""}}},
        {"1,,3,", "a,b,c,", {{"1", "a"}, {"", "b"}, {"3", "c"}, {"", ""}}},
        {"1,2", "a,", {{"1", "a"}, {"2", ""}}},        // an empty last piece is a piece
        {"1", "a,b,c", {{"1", "a"}, {"", "b"}, {"", "c"}}},  // more names than numbers
        {"1,2,3", "a", {{"1", "a"}}},                   // numbers beyond the names
        {"1", ",ソ", {{"1", ""}, {"", "ソ"}}},           // 0x5C trail byte is no separator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faxNumbers + " | " + c.names);
        EXPECT_EQ(PiecesOfStoredTexts({c.faxNumbers, c.names}), c.pieces);
    }
}

TEST(DriverFormat, DestinationLimitsAtTheirBoundaries) {
    auto many = [](size_t count, size_t faxBytes, size_t nameBytes) {
        return DestinationPieces(count, DestinationPiece{std::string(faxBytes, '1'), std::string(nameBytes, 'n')});
    };
    auto withLast = [](DestinationPieces pieces, size_t faxBytes) {
        pieces.back().faxNumber.assign(faxBytes, '9');
        return pieces;
    };
    using B = DestinationBreach;
    struct Case {
        const char* what;
        DestinationPieces pieces;
        size_t fitting;
        B afterAdd, texts, count;
    };
    const std::vector<Case> cases = {
        {"empty", {}, 0, B::None, B::None, B::None},
        {"FAX text 127+1+127 = 255", many(2, 127, 1), 2, B::FaxNumberOver32, B::None, B::None},
        {"FAX text 127+1+128 = 256", withLast(many(2, 127, 1), 128), 1, B::FaxNumberOver32, B::TextOver255, B::None},
        {"name text 127+1+127 = 255", many(2, 1, 127), 2, B::None, B::None, B::None},
        {"name text 128+1+127 = 256", DestinationPieces{{"1", std::string(128, 'n')}, {"1", std::string(127, 'n')}},
         1, B::TextOver255, B::TextOver255, B::None},
        {"one text of 255", many(1, 1, 255), 1, B::None, B::None, B::None},
        {"one text of 256", many(1, 1, 256), 0, B::TextOver255, B::TextOver255, B::None},
        {"last FAX number of 32", withLast(many(3, 1, 1), 32), 3, B::None, B::None, B::None},
        {"last FAX number of 33", withLast(many(3, 1, 1), 33), 3, B::FaxNumberOver32, B::None, B::None},
        {"an earlier FAX number of 33 is not the added one",
         DestinationPieces{{std::string(33, '1'), "a"}, {"2", "b"}}, 2, B::None, B::None, B::None},
        {"100 destinations", many(100, 1, 1), 100, B::None, B::None, B::None},
        {"101 destinations", many(101, 0, 0), 101, B::Over100, B::None, B::Over100},
        {"text comes before count", many(129, 1, 1), 128, B::TextOver255, B::TextOver255, B::Over100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FittingCount(c.pieces), c.fitting);
        EXPECT_EQ(CheckDestinations(c.pieces, DestinationCheck::AfterAdd), c.afterAdd);
        EXPECT_EQ(CheckDestinations(c.pieces, DestinationCheck::Texts), c.texts);
        EXPECT_EQ(CheckDestinations(c.pieces, DestinationCheck::Count), c.count);
    }
    StoredTexts joined = JoinPieces({{"1", "a"}, {"", "b"}, {"3", "c"}}, 2);
    EXPECT_EQ(joined.faxNumbers, "1,");
    EXPECT_EQ(joined.names, "a,b");
    auto data = ValueData("abc");
    EXPECT_EQ(data.size(), 256u);
    EXPECT_EQ(data[2], 'c');
    EXPECT_EQ(data[3], 0);
}

}  // namespace
