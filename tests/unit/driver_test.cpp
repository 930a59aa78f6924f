#include "support/fixture.h"

namespace {

class DriverTest : public ProgramTest {
protected:
    void SetUp() override {
        WriteBook(Row("山田", "03-1111") + Row("鈴木", "06-2222") + Row("佐藤", "09-3333") + Row("山田", "03-1111"));
    }
    std::vector<std::string> Restored() { return Lines(IDC_DESTINATION_LIST); }
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
    };
    const std::vector<Case> cases = {
        {"nothing stored", "", "", {}, {}},
        {"in stored order", "09-3333,06-2222", "佐藤,鈴木", {"佐藤", "鈴木"}, {2, 1}},
        {"every matching person", "03-1111", "山田", {"山田", "山田"}, {0, 3}},
        {"stale piece dropped", "06-2222,00-0000,09-3333", "鈴木,消えた人,佐藤", {"鈴木", "佐藤"}, {1, 2}},
        {"number changed", "06-9999", "鈴木", {}, {}},
        {"same person twice", "06-2222,06-2222", "鈴木,鈴木", {"鈴木", "鈴木"}, {1, 1}},
        {"fewer numbers than names", "06-2222", "鈴木,佐藤", {"鈴木"}, {1}},
        {"numbers beyond the names ignored", "06-2222,09-3333", "鈴木", {"鈴木"}, {1}},
        {"name with a comma splits", "06-2222,09-3333", "鈴,木,佐藤", {}, {}},
        {"empty pieces restore nothing", ",,", ",,", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryPlatform fresh(QVD_RC_PATH);
        SetPlatform(&fresh);
        fresh.files[fresh.BookPath()] = Book();
        fresh.SetString(kFaxPrinter, kPrinterDriverValue, "Demo FAX Driver");
        fresh.SetValue(kDriverData, kFaxNumbersValue, REG_SZ, ToBytes(ValueData(c.faxes)));
        fresh.SetValue(kDriverData, kNamesValue, REG_SZ, ToBytes(ValueData(c.names)));
        CAddressBookDlg dlg;
        app.m_pMainWnd = &dlg;
        MemoryWindow& w = fresh.Open(dlg);
        EXPECT_EQ(w.Lines(IDC_DESTINATION_LIST), c.restored);
        std::vector<std::int32_t> ids;
        for (int i = 0; i < dlg.m_aDestinations.GetSize(); ++i) ids.push_back(dlg.m_aDestinations[i]);
        EXPECT_EQ(ids, c.ids);
        // Written back at once: only what matched stays.
        std::string joined;
        for (size_t i = 0; i < c.restored.size(); ++i) joined += (i ? "," : "") + c.restored[i];
        auto names = fresh.GetValue(kDriverData, kNamesValue);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(names->data.data())), joined);
        EXPECT_TRUE(fresh.boxes.empty());
        fresh.Close(w);
        app.m_pMainWnd = nullptr;
    }
    SetPlatform(platform.get());
}

TEST_F(DriverTest, FirstUseCreatesBothValuesEvenOnCancel) {
    AddPrinter();
    Open();
    window->Click(IDCANCEL);
    EXPECT_EQ(platform->GetValue(kDriverData, kFaxNumbersValue)->data, std::vector<BYTE>(256, 0));
    EXPECT_EQ(platform->GetValue(kDriverData, kNamesValue)->data, std::vector<BYTE>(256, 0));
}

TEST_F(DriverTest, PrinterLookup) {
    const std::string second = kPrinters + "\\Second FAX";
    struct Case {
        const char* what;
        std::function<void(MemoryPlatform&)> arrange;
        std::string commandLine;
        bool restoredFromFirst;   // the first printer's values were read and written
        bool restoredFromSecond;
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
         "/s /m:Demo FAX Driver", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        WriteBook(Row("鈴木", "06-2222"));
        AddPrinter(kFaxPrinter);
        AddPrinter(second);
        StoreDestinations("06-2222", "鈴木");
        platform->SetValue(second + kDriverDataSubKey, kFaxNumbersValue, REG_SZ, ToBytes(ValueData("06-2222")));
        platform->SetValue(second + kDriverDataSubKey, kNamesValue, REG_SZ, ToBytes(ValueData("鈴木")));
        c.arrange(*platform);
        app.m_lpCmdLine = c.commandLine;
        platform->registryWrites.clear();
        Open();
        bool restored = Lines(IDC_DESTINATION_LIST).size() == 1;
        EXPECT_EQ(restored, c.restoredFromFirst || c.restoredFromSecond);
        std::vector<std::string> writes;
        if (c.restoredFromFirst) writes = {kDriverData + "|FaxNumberBook", kDriverData + "|FaxNumberBook2"};
        if (c.restoredFromSecond) writes = {second + "\\PrinterDriverData|FaxNumberBook", second + "\\PrinterDriverData|FaxNumberBook2"};
        EXPECT_EQ(platform->registryWrites, writes);
        // OK is silent when no printer was found and ends the dialog; a printer
        // whose values cannot be written is reported and the dialog stays.
        bool cannotWrite = c.arrange && std::string(c.what).find("driver-data key") != std::string::npos;
        window->Click(IDOK);
        EXPECT_EQ(window->ended, !cannotWrite);
        EXPECT_EQ(BoxTexts(), cannotWrite ? std::vector<std::string>{msg::kCannotStoreDestinations}
                                          : std::vector<std::string>{});
        Close();
        EXPECT_EQ(platform->openKeys, 0);
    }
}

TEST_F(DriverTest, LongPrinterKeyNamesWork) {
    for (size_t length : {61u, 62u, 200u, 255u}) {
        SCOPED_TRACE(length);
        Restart();
        WriteBook(Row("鈴木", "06-2222"));
        std::string printer = kPrinters + "\\" + std::string(length, 'P');
        AddPrinter(printer);
        platform->SetValue(printer + kDriverDataSubKey, kFaxNumbersValue, REG_SZ, ToBytes(ValueData("06-2222")));
        platform->SetValue(printer + kDriverDataSubKey, kNamesValue, REG_SZ, ToBytes(ValueData("鈴木")));
        Open();
        EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"鈴木"});
    }
}

TEST_F(DriverTest, ReadOnlyAccessStillRestores) {
    AddPrinter();
    StoreDestinations("06-2222", "鈴木");
    platform->readOnlyKeys = {kPrinters, kFaxPrinter};
    Open();
    EXPECT_EQ(Restored(), std::vector<std::string>{"鈴木"});
}

TEST_F(DriverTest, DestinationValueWithoutZeroIsReadToItsLength) {
    AddPrinter();
    std::string names = "鈴木", faxes = "06-2222";
    platform->SetValue(kDriverData, kNamesValue, REG_SZ, std::vector<BYTE>(names.begin(), names.end()));
    platform->SetValue(kDriverData, kFaxNumbersValue, REG_SZ, std::vector<BYTE>(faxes.begin(), faxes.end()));
    Open();
    EXPECT_EQ(Restored(), std::vector<std::string>{"鈴木"});
}

TEST_F(DriverTest, ValueLongerThan256BytesCountsAsEmpty) {
    AddPrinter();
    StoreDestinations("06-2222", "鈴木");
    std::vector<BYTE> tooLong(257, 0);
    std::string names = "鈴木";
    std::copy(names.begin(), names.end(), tooLong.begin());
    platform->SetValue(kDriverData, kNamesValue, REG_SZ, tooLong);
    Open();
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

TEST_F(DriverTest, OversizedRestoreWritesTheLongestLeadingRunThatFits) {
    // Two persons share a name and number: each stored piece restores both,
    // which can take the joined texts past 255 bytes.
    std::string name(60, 'N');
    std::string bytes;
    for (int i = 0; i < 2; ++i) bytes += Row(name, "1");
    bytes += Row("B", "2");
    WriteBook(bytes);
    AddPrinter();
    StoreDestinations("1,1,2", name + "," + name + ",B");  // 125 bytes of names
    Open();
    ASSERT_EQ(Restored().size(), 5u);  // four of N, then B
    // 4 x 60 + 3 = 243 bytes fit; B would make 245 - still fits.
    EXPECT_EQ(Stored(kNamesValue), name + "," + name + "," + name + "," + name + ",B");
    // One more N-person makes six pieces of N: only four fit, both values stop there.
    Restart();
    WriteBook(Row(name, "1") + Row(name, "1") + Row(name, "1") + Row("B", "2"));
    AddPrinter();
    StoreDestinations("1,1,2", name + "," + name + ",B");
    Open();
    ASSERT_EQ(Restored().size(), 7u);
    EXPECT_EQ(Stored(kNamesValue), name + "," + name + "," + name + "," + name);
    EXPECT_EQ(Stored(kFaxNumbersValue), "1,1,1,1");
}

TEST(DriverFormat, PiecesAndFitting) {
    EXPECT_EQ(SplitPieces(""), std::vector<std::string>{""});
    EXPECT_EQ(SplitPieces("a,,b,"), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitPieces(",ソ"), (std::vector<std::string>{"", "ソ"}));
    EXPECT_EQ(JoinPieces({"a", "b", "c"}, 2), "a,b");
    std::vector<std::string> fifty(6, std::string(50, 'x'));  // 5 x 50 + 4 = 254; 6 make 305
    EXPECT_EQ(FittingCount(fifty, std::vector<std::string>(6, "n")), 5u);
    EXPECT_EQ(FittingCount(std::vector<std::string>(6, "1"), fifty), 5u);
    EXPECT_EQ(FittingCount({std::string(255, '1')}, {"n"}), 1u);
    EXPECT_EQ(FittingCount({std::string(256, '1')}, {"n"}), 0u);
    auto data = ValueData("abc");
    EXPECT_EQ(data.size(), 256u);
    EXPECT_EQ(data[2], 'c');
    EXPECT_EQ(data[3], 0);
}

}  // namespace
