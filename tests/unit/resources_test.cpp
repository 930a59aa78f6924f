#include <gtest/gtest.h>

#include <algorithm>
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

// Every control a message map names is in the dialog's template, as is
// every edit the data exchange binds (the memory backend reports a lookup
// of a missing control as an error, which the fixture fails on).
class ResourceIdsTest : public ProgramTest {};

template <class Dialog>
std::vector<int> MissingMapIds(int templateId) {
    std::vector<int> missing;
    const std::vector<int> ids = Ids(templateId);
    for (const MessageMapEntry<Dialog>& entry : Dialog::kMessageMap)
        if (entry.message == WM_COMMAND && std::find(ids.begin(), ids.end(), entry.controlId) == ids.end())
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
