#include <gtest/gtest.h>

#include "support/fixture.h"
#include "system/text.h"

#include <optional>

namespace {

TEST(CommandLine, OptionsAreCaseSensitiveSubstringsFoundCharacterByCharacter) {
    struct Case {
        std::string line;
        const char* option;
        bool found;
    };
    const std::vector<Case> cases = {
        {"/s", "/s", true},
        {"/s /m:Drv", "/s", true},
        {"/m:Drv/s", "/s", true},  // inside the driver name
        {"/S", "/s", false},
        {"/N /S", "/n", false},
        {"", "/s", false},
        {"xx/n", "/n", true},
        // The lead byte 0x82 swallows the '/', so no option starts there.
        {"\x82/s", "/s", false},
        // 0x81 to 0x9F lead the first range, 0xE0 to 0xFC the second.
        {"\x81/s", "/s", false},
        {"\x9F/s", "/s", false},
        {"\xA0/s", "/s", true},
        {"\x82" "a/s", "/s", true},
        // "ソ" is 83 5C: its trail byte is no character of its own.
        {"ソ/s", "/s", true},
        {"/", "/s", false},
        {"\x82", "/s", false},  // a lone lead byte at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(HasOption(c.line, c.option), c.found);
    }
}

TEST(CommandLine, DriverNameIsTheRestAfterTheFirstM) {
    EXPECT_EQ(DriverNameFromCommandLine("/s /m:Demo FAX Driver"), "Demo FAX Driver");
    EXPECT_EQ(DriverNameFromCommandLine("/m:A /m:B"), "A /m:B");
    EXPECT_EQ(DriverNameFromCommandLine("/s /m:\"Q\" /x "), "\"Q\" /x ");
    EXPECT_EQ(DriverNameFromCommandLine("/s"), "");
    EXPECT_EQ(DriverNameFromCommandLine("/s /M:A"), "");
    EXPECT_EQ(DriverNameFromCommandLine("/m:"), "");
}

TEST(Application, NameIsTheExecutableWithoutExtension) {
    EXPECT_EQ(AppNameFromModulePath("C:\\Program Files\\x\\qvdutil.exe"), "qvdutil");
    EXPECT_EQ(AppNameFromModulePath("C:\\a.b\\QVD.EXE"), "QVD");
    EXPECT_EQ(AppNameFromModulePath("qvdutil"), "qvdutil");
}

class MessageBoxTest : public ProgramTest {};

TEST_F(MessageBoxTest, ExclamationUnlessTheCallNamesAnIcon) {
    struct Case {
        UINT type;
        UINT shown;
    };
    const std::vector<Case> cases = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_OK | MB_ICONASTERISK, MB_OK | MB_ICONASTERISK},
    };
    for (const Case& c : cases) AfxMessageBox("x", c.type);
    ASSERT_EQ(platform->boxes.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(platform->boxes[i].type, cases[i].shown);
        EXPECT_EQ(platform->boxes[i].caption, "qvdutil");
    }
}

TEST(IconPosition, CentresWithTruncationTowardZero) {
    struct Case {
        int width;
        int x;
    };
    for (Case c : {Case{36, 2}, Case{37, 3}, Case{20, -5}, Case{32, 0}, Case{31, 0}, Case{30, 0}, Case{29, -1}}) {
        IconOrigin origin = CentredIconOrigin(c.width, c.width, 32, 32);
        EXPECT_EQ(origin.x, c.x) << c.width;
        EXPECT_EQ(origin.y, c.x) << c.width;
    }
}

// A dialog with a map that names a notification for one control only.
class ProbeDlg : public CMappedDialog<ProbeDlg> {
public:
    ProbeDlg() : CMappedDialog(IDD_ADDRESSBOOK) {}
    std::vector<std::string> calls;
    static const MessageMap<ProbeDlg> kMessageMap;

private:
    void OnClick() { calls.push_back("click"); }
    void OnSelchange() { calls.push_back("selchange"); }
    std::optional<LRESULT> OnPaint(WPARAM, LPARAM) { return std::nullopt; }
};

const MessageMap<ProbeDlg> ProbeDlg::kMessageMap = {
    {BN_CLICKED, 1003, &ProbeDlg::OnClick},
    {LBN_SELCHANGE, 1000, &ProbeDlg::OnSelchange},
    {WM_PAINT, &ProbeDlg::OnPaint},
};

TEST_F(ProgramTest, MessageMapMatchesControlAndNotificationTogether) {
    ProbeDlg probe;
    MemoryWindow& w = platform->Open(probe);
    LRESULT result = 0;
    auto command = [&](int id, WORD code) { return probe.HandleMessage(WM_COMMAND, MAKEWPARAM(id, code), 0, result); };
    EXPECT_TRUE(command(1003, BN_CLICKED));
    EXPECT_FALSE(command(1003, 5));             // another notification of the same control
    EXPECT_FALSE(command(1000, BN_CLICKED));    // the same code from another control
    EXPECT_TRUE(command(1000, LBN_SELCHANGE));
    EXPECT_FALSE(command(1001, LBN_SELCHANGE));
    EXPECT_FALSE(probe.HandleMessage(WM_PAINT, 0, 0, result));  // left to the default painting
    EXPECT_EQ(probe.calls, (std::vector<std::string>{"click", "selchange"}));
    EXPECT_TRUE(command(IDCANCEL, BN_CLICKED));
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(w.result, IDCANCEL);
    platform->Close(w);
}

}  // namespace
