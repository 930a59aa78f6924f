#include <gtest/gtest.h>

#include <set>

#include "support/memory_platform.h"
#include "res/resource.h"

namespace {

const ResourceScript& Script() {
    static const ResourceScript script = LoadResourceScript(QVD_RC_PATH);
    return script;
}

std::vector<int> Ids(int dialog) {
    std::vector<int> ids;
    for (const ControlTemplate& control : Script().dialogs.at(dialog).controls) ids.push_back(control.id);
    return ids;
}

TEST(Resources, EveryControlIdIsUniqueInItsDialog) {
    for (const auto& [id, dialog] : Script().dialogs) {
        SCOPED_TRACE(id);
        std::set<int> seen;
        for (const ControlTemplate& control : dialog.controls) {
            if (control.id == IDC_STATIC) continue;
            EXPECT_TRUE(seen.insert(control.id).second) << control.id;
        }
    }
}

TEST(Resources, DialogsHoldTheirControlsInTabOrder) {
    EXPECT_EQ(Ids(IDD_ADDRESSBOOK), (std::vector<int>{1002, 1000, 1003, 1006, 1007, 1005, 1001, 1004, 1, 2, 3, -1,
                                                       -1, -1, -1, -1}));
    const std::vector<int> entry = {1, 2, -1, 1008, -1, 1009, -1, 1010, -1, 1011, -1, 1012, -1, 1013};
    EXPECT_EQ(Ids(IDD_NEW_ENTRY), entry);
    EXPECT_EQ(Ids(IDD_ENTRY_PROPERTY), entry);
    EXPECT_EQ(Ids(IDD_ABOUTBOX), (std::vector<int>{-1, -1, -1, 1}));
}

TEST(Resources, CaptionsAndTexts) {
    EXPECT_EQ(Script().dialogs.at(IDD_ADDRESSBOOK).caption, "ｱﾄﾞﾚｽ帳");
    EXPECT_EQ(Script().dialogs.at(IDD_NEW_ENTRY).caption, "ｴﾝﾄﾘの作成");
    EXPECT_EQ(Script().dialogs.at(IDD_ENTRY_PROPERTY).caption, "ﾌﾟﾛﾊﾟﾃｨ");
    EXPECT_EQ(Script().strings.at(IDS_ABOUTBOX), "ﾊﾞｰｼﾞｮﾝ情報(qvdutil) (&A)...");
    std::vector<std::string> texts;
    for (const ControlTemplate& control : Script().dialogs.at(IDD_ADDRESSBOOK).controls) texts.push_back(control.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"", "", "宛先(&O) ->", "作成(&N)...", "ｱﾄﾞﾚｽ帳から削除(&E)",
                                               "ﾌﾟﾛﾊﾟﾃｨ(&R)", "", "宛先から削除(&D)", "OK", "ｷｬﾝｾﾙ",
                                               "ﾊﾞｰｼﾞｮﾝ情報(&B)", "", "ｱﾄﾞﾚｽ帳一覧", "", "選択された宛先一覧",
                                               "表示"}));
}

TEST(Resources, ListStyles) {
    auto style = [](int id) {
        for (const ControlTemplate& c : Script().dialogs.at(IDD_ADDRESSBOOK).controls)
            if (c.id == id) return c.style;
        return std::string();
    };
    EXPECT_EQ(style(1000).find("LBS_EXTENDEDSEL"), std::string::npos);
    EXPECT_NE(style(1001).find("LBS_EXTENDEDSEL"), std::string::npos);
    EXPECT_NE(style(1001).find("LBS_WANTKEYBOARDINPUT"), std::string::npos);
    EXPECT_NE(style(1002).find("CBS_DROPDOWNLIST"), std::string::npos);
    EXPECT_EQ(style(1002).find("WS_TABSTOP"), std::string::npos);
    EXPECT_EQ(style(1002).find("CBS_SORT"), std::string::npos);
}

}  // namespace
