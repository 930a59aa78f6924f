// The directory search: the filter a text becomes, what an entry may bring
// in, the paging, the policy; persons from the directory as destinations.
#include "directory/directory_search.h"
#include "support/fixture.h"

namespace {

DirectoryEntry Entry(const char* name, const char* fax, const char* company = "", const char* department = "") {
    return {{name, u8"よみ", company, "", department, fax}};
}

TEST(DirectoryFilterTest, ATextIsEscapedAndAskedForInEveryKanaForm) {
    EXPECT_EQ(EscapeFilterValue(std::string("a*b(c)\\d\0e", 10)), "a\\2ab\\28c\\29\\5cd\\00e");
    struct Case {
        const char* text;
        std::string filter;
    };
    const std::vector<Case> cases = {
        {"やま", u8"(&(o=p)(|(cn=*やま*)(cn=*ヤマ*)(sn=*やま*)(sn=*ヤマ*)))"},
        {"ﾔﾏﾀﾞ", u8"(&(o=p)(|(cn=*ﾔﾏﾀﾞ*)(cn=*ヤマダ*)(cn=*やまだ*)(sn=*ﾔﾏﾀﾞ*)(sn=*ヤマダ*)(sn=*やまだ*)))"},
        {"*)(cn=*", "(&(o=p)(|(cn=*\\2a\\29\\28cn=\\2a*)(sn=*\\2a\\29\\28cn=\\2a*)))"},
        {"03-12", "(&(o=p)(|(cn=*03-12*)(sn=*03-12*)))"},
        {"　ｱ ", u8"(&(o=p)(|(cn=*ｱ*)(cn=*ア*)(cn=*あ*)(sn=*ｱ*)(sn=*ア*)(sn=*あ*)))"},
        {"ア　", u8"(&(o=p)(|(cn=*ア*)(cn=*あ*)(sn=*ア*)(sn=*あ*)))"},
        {"  ", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SearchFilter("(o=p)", {"cn", "sn"}, c.text), c.filter) << c.text;
}

TEST(DirectoryPersonTest, EachValueIsHeldToTheRulesOfATypedEntry) {
    std::string kanji32, kanji32Utf8;
    for (int i = 0; i < 32; ++i) kanji32 += "漢", kanji32Utf8 += u8"漢";
    struct Case {
        DirectoryEntry entry;
        DirectoryRule broken;
        int column;          // of the rule broken, or the field looked at
        std::string shown;  // that field as taken
    };
    const std::vector<Case> cases = {
        {Entry(u8"山田", "1"), DirectoryRule::None, 1, "山田"},
        {Entry(kanji32Utf8.c_str(), "1"), DirectoryRule::None, 1, kanji32},
        {Entry((kanji32Utf8 + "a").c_str(), "1"), DirectoryRule::TooLong, 1, kanji32 + "a"},
        {Entry("a", "+81 3-1111-2222"), DirectoryRule::None, 6, "03-1111-2222"},
        {Entry("a", "+81 (0)3 1111.2222"), DirectoryRule::None, 6, "0311112222"},
        {Entry("a", u8"０３-1$twoDimensional"), DirectoryRule::None, 6, "03-1"},
        {Entry("a", "01234567890123456789012345678901"), DirectoryRule::None, 6, "01234567890123456789012345678901"},
        {Entry("a", "012345678901234567890123456789012"), DirectoryRule::TooLong, 6, "012345678901234567890123456789012"},
        {Entry("a", "03-FAX"), DirectoryRule::FaxCharacters, 6, "03-FAX"},
        {Entry("a", "+1 212 555 0100"), DirectoryRule::FaxCharacters, 6, "+12125550100"},
        {Entry("a", "1", "A,B"), DirectoryRule::Comma, 3, "A,B"},
        {Entry("a", "1", "", "x\ny"), DirectoryRule::Control, 5, "x\ny"},
        {{{std::string("a\0b", 3), "", "", "", "", "1"}}, DirectoryRule::Control, 1, std::string("a\0b", 3)},
        {Entry(u8"\U00020BB7野", "1"), DirectoryRule::NotShiftJis, 1, "?野"},
        {Entry("a", ""), DirectoryRule::NoFaxNumber, 6, ""},
        {Entry("", "1,2"), DirectoryRule::NoName, 1, ""},
        {{{"", "", "", "", "", "1", "Common"}}, DirectoryRule::None, 1, "Common"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const DirectoryPerson person = PersonFromEntry(c.entry);
        EXPECT_EQ(person.broken, c.broken);
        EXPECT_EQ(person.column, c.broken == DirectoryRule::None ? 0 : c.column);
        EXPECT_EQ(person.fields.*CAddressEntry::kColumns[c.column - 1], c.shown);
    }
}

TEST(DirectorySearchTest, PagesUntilMoreThanAHundredOrTheEnd) {
    struct Case {
        int found, pageSize;
        DirectoryFault fault;
        std::size_t shown;
        bool more;
        int pagesRead;
    };
    const std::vector<Case> cases = {
        {0, 101, DirectoryFault::None, 0, false, 1},    {100, 101, DirectoryFault::None, 100, false, 1},
        {101, 101, DirectoryFault::None, 100, true, 1}, {1500, 101, DirectoryFault::None, 100, true, 1},
        {120, 50, DirectoryFault::None, 100, true, 3},  {100, 50, DirectoryFault::None, 100, false, 2},
        {5, 101, DirectoryFault::TimeLimit, 0, false, 1},
    };
    for (const Case& c : cases) {
        MemoryDirectory directory;
        directory.entries.assign(static_cast<std::size_t>(c.found), Entry("a", "1"));
        directory.fault = c.fault;
        DirectoryQuery query;
        query.pageSize = c.pageSize;
        std::atomic<bool> cancelled{false};
        const DirectoryResult result = SearchDirectory(directory, query, cancelled);
        EXPECT_EQ(std::make_tuple(result.persons.size(), result.more, result.fault, directory.pagesRead),
                  std::make_tuple(c.shown, c.more, c.fault, c.pagesRead)) << c.found << " in pages of " << c.pageSize;
    }
    MemoryDirectory directory;
    std::atomic<bool> cancelled{true};
    EXPECT_TRUE(SearchDirectory(directory, {}, cancelled).cancelled);
    EXPECT_EQ(directory.pagesRead, 0);
}

class DirectoryPolicyTest : public ProgramTest {};

TEST_F(DirectoryPolicyTest, ValuesAndTheirDefaults) {
    const auto set = [&](const char* name, const std::string& text) {
        platform->SetValue(kDirectoryPolicyKey, name, REG_SZ, {text.begin(), text.end() + 1});
    };
    const auto number = [&](const char* name, DWORD value) {
        platform->SetValue(kDirectoryPolicyKey, name, REG_DWORD, {reinterpret_cast<BYTE*>(&value), reinterpret_cast<BYTE*>(&value) + 4});
    };
    // The whole query in one line: host:port filter base attributes seconds anonymous.
    const auto read = [&] {
        const DirectoryPolicy policy = ReadDirectoryPolicy(*platform);
        const DirectoryQuery& q = policy.query;
        std::string text = std::to_string(policy.enabled) + " " + q.host + ":" + std::to_string(q.port) + " " + q.filter + " " + q.base;
        for (const std::string& attribute : q.attributes) text += " " + attribute;
        return text + " " + std::to_string(q.timeLimitSeconds) + " " + std::to_string(q.anonymous);
    };
    EXPECT_EQ(ReadDirectoryPolicy(*platform).enabled, false);
    number("Enabled", 1);
    EXPECT_EQ(read(), "1 :389 (&(objectCategory=person)(facsimileTelephoneNumber=*))  displayName msDS-PhoneticDisplayName "
                      "company msDS-PhoneticCompanyName department facsimileTelephoneNumber cn 10 0");
    set("Server", " dc1.example.jp:3268 "), set("Filter", "objectClass=inetOrgPerson"), set("SearchBase", "ou=営業,dc=example");
    set("CompanyAttribute", "o"), number("TimeLimit", 500), number("UseTls", 1), number("Anonymous", 1);
    EXPECT_EQ(read(), std::string("1 dc1.example.jp:3268 (objectClass=inetOrgPerson) ") + u8"ou=営業,dc=example" +
                          " displayName msDS-PhoneticDisplayName o msDS-PhoneticCompanyName department facsimileTelephoneNumber cn 120 1");
    set("Server", "dc1.example.jp");
    EXPECT_EQ(ReadDirectoryPolicy(*platform).query.port, 636);
}

class OutsidersTest : public ProgramTest {};

TEST_F(OutsidersTest, AreDestinationsTheBookNeverHeldAndStayThroughAMerge) {
    WriteBook(Row("山田", "03-1"));
    AddPrinter();
    PickerSession& pc = StartSession();
    CAddressEntry yamada, sato;
    yamada.m_strName = "山田", yamada.m_strFaxNumber = "03-1";
    sato.m_strName = "佐藤", sato.m_strFaxNumber = "06-2";
    EXPECT_EQ(pc.AddOutsiders({yamada, sato, sato}).lines, (std::vector<std::string>{"山田", "佐藤"}));
    EXPECT_EQ(Destinations()[0], 0);  // the book's own 山田
    EXPECT_LT(Destinations()[1], CAddressEntry::kNoID);
    // Another PC saved meanwhile: the change merges, the outsider stays.
    WriteBook(Row("山田", "03-1") + Row("鈴木", "09-3"));
    EXPECT_TRUE(Create("伊藤", "04-4")(pc).rebuilt);
    EXPECT_EQ(Screen(pc), (std::vector<std::string>{"山田", "鈴木", "伊藤", "|", "山田", "佐藤"}));
    // All or none: "山田,佐藤" and 49 more ",佐藤" fill 254 of the names' 255 bytes; the 50th breaks them.
    std::vector<CAddressEntry> many(99, sato);
    for (std::size_t i = 0; i < many.size(); ++i) many[i].m_strFaxNumber = std::to_string(i);
    EXPECT_EQ(pc.AddOutsiders(many).messages, std::vector<std::string>{msg::OutsidersDoNotFit(99, DestinationBreach::TextOver255, 49)});
    EXPECT_EQ(pc.WriteFaxNumberBook(), std::nullopt);
    EXPECT_EQ(Stored(kFaxNumbersValue), "03-1,06-2");
    EXPECT_EQ(Stored(kNamesValue), "山田,佐藤");
}

class DirectoryDialogTest : public ProgramTest {};

TEST_F(DirectoryDialogTest, CtrlDSearchesAndTheChosenBecomeDestinations) {
    const DWORD one = 1;
    platform->SetValue(kDirectoryPolicyKey, "Enabled", REG_DWORD, {reinterpret_cast<const BYTE*>(&one), reinterpret_cast<const BYTE*>(&one) + 4});
    platform->directory.entries = {Entry(u8"危険,", "03-2"), Entry(u8"山田", "03-1", u8"北斗")};
    platform->directory.entries[0].values[kNameReading] = u8"ワ";  // after よみ: found in the order of the readings
    OpenWith(Row("鈴木", "06-2"));
    EXPECT_EQ(window->systemMenu.back(), "48:ﾃﾞｨﾚｸﾄﾘで探す(&D)...\tCtrl+D");
    platform->WhenDialogOpens(IDD_DIRECTORY, [&](MemoryWindow& search) {
        search.Type(IDC_DIRECTORY_TEXT, "やまだ");
        search.Click(IDC_DIRECTORY_SEARCH);
        EXPECT_EQ(search.Lines(IDC_DIRECTORY_RESULTS),
                  (std::vector<std::string>{"山田\t北斗\t\t03-1\t", "危険,\t\t\t03-2\t× 名前に ',' (ｶﾝﾏ) があります"}));
        EXPECT_EQ(search.Text(IDC_DIRECTORY_STATUS), "2人見つかりました。");
        search.SelectLines(IDC_DIRECTORY_RESULTS, {1});
        EXPECT_EQ(search.Text(IDC_DIRECTORY_STATUS), "危険,: 名前に ',' (ｶﾝﾏ) があります");
        search.SelectLines(IDC_DIRECTORY_RESULTS, {0, 1});
        search.Click(IDC_DIRECTORY_ADD);
    });
    window->Send(WM_COMMAND, MAKEWPARAM(IDC_DIRECTORY, kShortcut));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"次の人は、ﾃﾞｨﾚｸﾄﾘの内容がｱﾄﾞﾚｽ帳に使えないため追加できません。\n危険,: 名前に ',' (ｶﾝﾏ) があります"});
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"山田"});
}

}  // namespace
