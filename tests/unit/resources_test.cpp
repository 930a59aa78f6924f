#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "dialogs/entry_dialogs.h"
#include "support/fixture.h"
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

// A screen reader names a control after the static text right before it;
// statics are no tab stops, so the order of the other controls is the tab
// order the tables give.
TEST(Resources, EachLabelStandsRightBeforeItsControlAndTheTabOrderHolds) {
    struct Case {
        int dialog;
        std::vector<std::pair<std::string, int>> labels;
        std::vector<int> tabOrder;
    };
    const std::vector<std::pair<std::string, int>> entryLabels = {
        {"名前", IDC_NAME},         {"名前(読み)", IDC_NAME_READING}, {"会社", IDC_COMPANY},
        {"会社(読み)", IDC_COMPANY_READING}, {"部署", IDC_DEPARTMENT}, {"FAX番号", IDC_FAX_NUMBER}};
    const std::vector<int> entryTabs = {IDOK, IDCANCEL, IDC_NAME, IDC_NAME_READING, IDC_COMPANY, IDC_COMPANY_READING,
                                        IDC_DEPARTMENT, IDC_FAX_NUMBER};
    const std::vector<Case> cases = {
        {IDD_ADDRESSBOOK,
         {{"表示", IDC_DISPLAY_MODE}, {"ｱﾄﾞﾚｽ帳一覧", IDC_ADDRESS_LIST}, {"選択された宛先一覧", IDC_DESTINATION_LIST}},
         {IDC_DISPLAY_MODE, IDC_ADDRESS_LIST, IDC_ADD_DESTINATION, IDC_CREATE_ENTRY, IDC_DELETE_ENTRY, IDC_PROPERTIES,
          IDC_DESTINATION_LIST, IDC_REMOVE_DESTINATIONS, IDOK, IDCANCEL, IDC_ABOUT}},
        {IDD_NEW_ENTRY, entryLabels, entryTabs},
        {IDD_ENTRY_PROPERTY, entryLabels, entryTabs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        const std::vector<ControlTemplate>& controls = Script().dialogs.at(c.dialog).controls;
        for (const auto& [label, id] : c.labels) {
            SCOPED_TRACE(label);
            auto control = std::find_if(controls.begin(), controls.end(), [&](const ControlTemplate& t) { return t.id == id; });
            ASSERT_TRUE(control != controls.end() && control != controls.begin());
            EXPECT_EQ(std::prev(control)->kind, "Static");
            EXPECT_EQ(std::prev(control)->text, label);
        }
        std::vector<int> order;
        for (const ControlTemplate& control : controls)
            if (control.kind != "Static") order.push_back(control.id);
        EXPECT_EQ(order, c.tabOrder);
    }
}

// Every control a message map names is in the dialog's template, as is
// every edit the data exchange binds (the memory backend reports a lookup
// of a missing control as an error, which the fixture fails on).
class ResourceIdsTest : public ProgramTest {};

template <class Dialog>
std::vector<int> MissingMapIds(int templateId) {
    std::vector<int> missing;
    const std::vector<int> ids = Ids(templateId);
    for (const MessageMapEntry<Dialog>& entry : Dialog::kMessageMap)
        if (entry.message == WM_COMMAND && entry.code != kShortcut && std::find(ids.begin(), ids.end(), entry.controlId) == ids.end())
            missing.push_back(entry.controlId);
    return missing;
}

TEST_F(ResourceIdsTest, EveryIdAMapOrAnExchangeNamesIsInItsTemplate) {
    EXPECT_EQ(MissingMapIds<CAddressBookDlg>(IDD_ADDRESSBOOK), std::vector<int>{});
    EXPECT_EQ(MissingMapIds<CEntryPropertyDlg>(IDD_ENTRY_PROPERTY), std::vector<int>{});
    CNewEntryDlg created;
    CEntryPropertyDlg property;
    for (CDialog* entry : std::initializer_list<CDialog*>{&created, &property}) {
        SCOPED_TRACE(entry->TemplateId());
        MemoryWindow& w = platform->Open(*entry);
        w.Type(IDC_NAME, "a");
        w.Click(IDOK);  // the exchange both ways
        platform->Close(w);
    }
}

}  // namespace
