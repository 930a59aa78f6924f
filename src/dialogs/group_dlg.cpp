#include "dialogs/group_dlg.h"

#include <algorithm>

#include "dialogs/messages.h"
#include "picker/person_search.h"

const MessageMap<CGroupDlg> CGroupDlg::kMessageMap = {
    {LBN_SELCHANGE, IDC_GROUP_MEMBERS, &CGroupDlg::OnSelchangeMembers},
    {EN_CHANGE, IDC_GROUP_FIND, &CGroupDlg::OnChangeFindReading},
};

CGroupDlg::CGroupDlg(const CAddressBook& book, const CGroup* group)
    : CMappedDialog(IDD_GROUP), m_group(group ? *group : CGroup{}), m_book(book), m_others(book.m_aGroups) {
    if (group) m_others.erase(m_others.begin() + (group - book.m_aGroups.data()));
}

BOOL CGroupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Members the book no longer holds are kept unless the user drops them.
    const std::vector<std::string> notFound = NamesNotFound(m_book, m_group);
    if (!notFound.empty() && AfxMessageBox(msg::RemoveNotFound(notFound), MB_YESNO) == IDYES) DropNotFound(m_book, m_group);
    CListBox list = ListBox(IDC_GROUP_MEMBERS);
    std::vector<CListBox::Line> lines;
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) {
        const CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
        lines.push_back({person.m_strName + "  " + CompanyLineText(person.m_strCompany) + "  " + person.m_strFaxNumber});
    }
    list.ReplaceLines(0, 0, lines);
    for (const GroupMember& member : m_group.m_aMembers) {
        const int slot = SlotOfMember(m_book, member);
        if (slot >= 0) list.Send(LB_SETSEL, 1, slot);
    }
    OnSelchangeMembers();
    return TRUE;
}

void CGroupDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(IDC_GROUP_NAME, m_group.m_strName, 65);
    dx.Text(IDC_GROUP_READING, m_group.m_strReading, 65);
    dx.Text(IDC_GROUP_FIND, m_strFindReading);
}

std::vector<GroupMember> CGroupDlg::CheckedMembers() const {
    const std::vector<int> checked = ListBox(IDC_GROUP_MEMBERS).GetSelItems(CAddressBook::kMaxEntries);
    std::vector<GroupMember> members;
    for (const GroupMember& member : m_group.m_aMembers) {
        const int slot = SlotOfMember(m_book, member);
        // A member the book no longer holds stays until the user removes it.
        if (slot < 0 || std::find(checked.begin(), checked.end(), slot) != checked.end()) members.push_back(member);
    }
    for (int slot : checked) {
        const GroupMember member = MemberOf(m_book.m_aEntries[static_cast<std::size_t>(slot)]);
        if (std::find(members.begin(), members.end(), member) == members.end()) members.push_back(member);
    }
    return members;
}

void CGroupDlg::OnSelchangeMembers() {
    CControl(GetSafeHwnd(), IDC_GROUP_COUNT).SetWindowText(msg::CheckedCount(CheckedMembers().size()));
}

void CGroupDlg::OnChangeFindReading() {
    UpdateData(true);
    if (m_strFindReading.empty()) return;
    const int slot = FindPersonSlot(m_book, PersonQuery(m_strFindReading), -1, true);
    if (slot < 0) return;
    CListBox list = ListBox(IDC_GROUP_MEMBERS);
    list.Send(LB_SETCARETINDEX, static_cast<WPARAM>(slot));
    list.Send(LB_SETTOPINDEX, static_cast<WPARAM>(slot));
}

void CGroupDlg::OnOK() {
    UpdateData(true);
    CGroup edited = m_group;
    edited.m_aMembers = CheckedMembers();
    if (const char* broken = msg::GroupRuleBroken(FirstBrokenRule(edited, m_others))) {
        AfxMessageBox(broken);
        return;
    }
    m_group = edited;
    EndDialog(IDOK);
}
