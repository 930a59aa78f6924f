// The directory search against the tests' own slapd (scripts/directory-server,
// started by scripts/wine-as-tester), reached through the system's LDAP client.
#include "automation.h"
#include "res/resource.h"

#include <cstdlib>

namespace e2e {
namespace {

const char* kDirectoryKey = "SOFTWARE\\Policies\\qvdutil\\Directory";

class DirectoryTest : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        ASSERT_NE(std::getenv("QVD_LDAP_PORT"), nullptr) << "scripts/wine-as-tester starts the directory server";
        SetPolicy(std::getenv("QVD_LDAP_PORT"), "dc=qvd,dc=test");
        AddPrinter();
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDirectoryKey);
        EndToEnd::TearDown();
    }
    // An OpenLDAP directory: the filter is the administrator's; the attributes are the defaults.
    static void SetPolicy(const std::string& port, const std::string& base, DWORD timeLimit = 10, DWORD anonymous = 1) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDirectoryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
        const DWORD one = 1;
        for (auto [name, value] : {std::pair<const char*, DWORD>{"Enabled", one}, {"Anonymous", anonymous}, {"TimeLimit", timeLimit}})
            RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        const std::string server = "127.0.0.1:" + port;
        const std::string filter = "(&(objectClass=inetOrgPerson)(facsimileTelephoneNumber=*))";
        for (auto [name, text] : {std::pair<const char*, std::string>{"Server", server}, {"SearchBase", base}, {"Filter", filter}})
            RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    // Ctrl+D, a search for |text|, and the dialog once the search ended.
    static HWND Search(Program& copy, HWND dialog, const std::string& text) {
        PressChord(GetDlgItem(dialog, IDC_ADDRESS_LIST), {VK_CONTROL, 'D'});
        HWND search = copy.WaitForWindow("ﾃﾞｨﾚｸﾄﾘで探す");
        if (!search) return nullptr;
        SetText(search, IDC_DIRECTORY_TEXT, text);
        Click(search, IDC_DIRECTORY_SEARCH);
        WaitIdle(search);
        for (int i = 0; i < 300 && !Enabled(search, IDC_DIRECTORY_SEARCH); ++i) Sleep(50);
        return search;
    }
};

TEST_F(DirectoryTest, APersonFoundIsAddedToTheDestinationsAndAnotherRegisteredInTheBook) {
    WriteBook(Row("鈴木", "06-2222"));
    Program copy("/s /m:E2E FAX Driver");
    HWND dialog = copy.MainDialog();
    ASSERT_NE(dialog, nullptr);
    // Katakana finds the reading the directory holds in hiragana; +81 dials as 0.
    HWND search = Search(copy, dialog, "ﾔﾏﾀﾞ");
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(Lines(search, IDC_DIRECTORY_RESULTS), std::vector<std::string>{"山田 太郎\t北斗商事\t営業部\t03-1111-2222\t"});
    SelectLines(search, IDC_DIRECTORY_RESULTS, {0});
    Click(search, IDC_DIRECTORY_ADD);
    EXPECT_TRUE(copy.NoBox());
    EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), std::vector<std::string>{"山田 太郎"});

    // Registered through the property dialog, filled in from the directory.
    search = Search(copy, dialog, "すずき");
    ASSERT_NE(search, nullptr);
    SelectLines(search, IDC_DIRECTORY_RESULTS, {0});
    Click(search, IDC_DIRECTORY_REGISTER);
    HWND property = copy.WaitForWindow("ﾌﾟﾛﾊﾟﾃｨ");
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(Text(GetDlgItem(property, IDC_NAME_READING)), "すずき はなこ");
    Click(property, IDOK);
    EXPECT_TRUE(copy.NoBox());
    EXPECT_EQ(ReadBook(), Row("鈴木", "06-2222") + "鈴木 花子,すずき はなこ,北斗商事,ほくとしょうじ,総務部,03-1111-3333,,,,,,,\r\n");

    Click(dialog, IDOK);
    EXPECT_TRUE(copy.WaitForExit());
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook"), "03-1111-2222");
    EXPECT_EQ(ValueText(kDataKey, "FaxNumberBook2"), "山田 太郎");
}

TEST_F(DirectoryTest, EachSearchShowsWhatTheDirectorySaysOrWhyNot) {
    const std::string closed = std::getenv("QVD_LDAP_CLOSED_PORT"), silent = std::getenv("QVD_LDAP_SILENT_PORT");
    struct Case {
        const char* what;
        std::string port, base, text;
        std::size_t lines;
        std::string status, box;
        DWORD anonymous = 1;
    };
    const std::string port = std::getenv("QVD_LDAP_PORT"), base = "dc=qvd,dc=test";
    const std::vector<Case> cases = {
        {"hostile values marked", port, base, "危険", 5, "5人見つかりました。", ""},
        {"1500 found, 100 shown", port, base, "大量", 100, "100人を超えて見つかりました。先頭の100人を表示しています。文字を増やして絞り込んでください。", ""},
        {"an empty text", port, base, " ", 0, "", "探す文字 (名前・読み・会社・部署・FAX番号の一部) を入力してください。"},
        {"the server down", closed, base, "山田", 0, "", "ﾃﾞｨﾚｸﾄﾘ ｻｰﾊﾞｰ (127.0.0.1:" + closed + ") で検索できませんでした。\nｻｰﾊﾞｰに接続できません。ｻｰﾊﾞｰ名とﾈｯﾄﾜｰｸを確かめてください。"},
        {"a wrong base", port, "ou=nowhere,dc=qvd,dc=test", "山田", 0, "", "ﾃﾞｨﾚｸﾄﾘ ｻｰﾊﾞｰ (127.0.0.1:" + port + ") で検索できませんでした。\n検索ﾍﾞｰｽ (ou=nowhere,dc=qvd,dc=test) がｻｰﾊﾞｰにありません。"},
        // Wine's client cannot make it: refused, never a crash.
        {"the Windows sign-in", port, base, "山田", 0, "", "ﾃﾞｨﾚｸﾄﾘ ｻｰﾊﾞｰ (127.0.0.1:" + port + ") で検索できませんでした。\nｻｰﾊﾞｰにｻｲﾝｲﾝできませんでした (拒否されたか、この方法でのｻｲﾝｲﾝができません)。", 0},
        {"a server that never answers", silent, base, "山田", 0, "", "ﾃﾞｨﾚｸﾄﾘ ｻｰﾊﾞｰ (127.0.0.1:" + silent + ") で検索できませんでした。\n制限時間 (2秒) 内にｻｰﾊﾞｰが応答しませんでした。"},
    };
    WriteBook(Row("鈴木", "06-2222"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPolicy(c.port, c.base, 2, c.anonymous);
        Program copy("/s /m:E2E FAX Driver");
        HWND dialog = copy.MainDialog();
        ASSERT_NE(dialog, nullptr);
        HWND search = Search(copy, dialog, c.text);
        ASSERT_NE(search, nullptr);
        if (c.box.empty())
            EXPECT_TRUE(copy.NoBox());
        else
            EXPECT_EQ(copy.AnswerBox(), c.box);
        const std::vector<std::string> lines = Lines(search, IDC_DIRECTORY_RESULTS);
        const bool hostile = c.text == "危険";
        EXPECT_EQ(lines.size(), c.lines);
        for (const std::string& line : lines) EXPECT_EQ(line.find("\t× ") != std::string::npos, hostile) << line;
        EXPECT_EQ(Text(GetDlgItem(search, IDC_DIRECTORY_STATUS)), c.status);
        if (hostile) {
            // Nothing marked goes anywhere.
            SelectLines(search, IDC_DIRECTORY_RESULTS, {0, 1, 2, 3, 4});
            Click(search, IDC_DIRECTORY_ADD);
            EXPECT_NE(copy.AnswerBox().find("追加できません"), std::string::npos);
        }
        Click(search, IDCANCEL);
        EXPECT_EQ(Lines(dialog, IDC_DESTINATION_LIST), std::vector<std::string>{});
        Click(dialog, IDCANCEL);
        copy.WaitForExit();
    }
}

}  // namespace
}  // namespace e2e
