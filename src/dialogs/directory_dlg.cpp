#include "dialogs/directory_dlg.h"

#include "directory/messages.h"
#include "res/resource.h"

namespace {

constexpr UINT kSearchDone = WM_APP + 1;
// Numbers every search of the run: a window closed while its search ran may
// hand its handle to the next one, which must not take that search's end for its own.
WPARAM g_nSearches = 0;

}  // namespace

const MessageMap<CDirectoryDlg> CDirectoryDlg::kMessageMap = {
    {BN_CLICKED, IDC_DIRECTORY_SEARCH, &CDirectoryDlg::OnSearch},
    {BN_CLICKED, IDC_DIRECTORY_STOP, &CDirectoryDlg::OnStop},
    {BN_CLICKED, IDC_DIRECTORY_ADD, &CDirectoryDlg::OnAdd},
    {BN_CLICKED, IDC_DIRECTORY_REGISTER, &CDirectoryDlg::OnRegister},
    {LBN_SELCHANGE, IDC_DIRECTORY_RESULTS, &CDirectoryDlg::OnSelchangeResults},
    {LBN_DBLCLK, IDC_DIRECTORY_RESULTS, &CDirectoryDlg::OnAdd},
    {kSearchDone, &CDirectoryDlg::OnSearchDone},
};

CDirectoryDlg::CDirectoryDlg(Directory& directory, const DirectoryQuery& policy, const PickerSession& session)
    : CMappedDialog(IDD_DIRECTORY), m_directory(directory), m_policy(policy), m_session(session) {}

BOOL CDirectoryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Name, company, department, FAX number, then why a person cannot be taken.
    INT stops[] = {80, 160, 225, 285};
    ListBox(IDC_DIRECTORY_RESULTS).Send(LB_SETTABSTOPS, 4, reinterpret_cast<LPARAM>(stops));
    Edit(IDC_DIRECTORY_TEXT).SetWindowText(m_strText);
    ShowSearching(false);
    OnSelchangeResults();
    return TRUE;
}

void CDirectoryDlg::ShowSearching(bool searching) {
    EnableItem(IDC_DIRECTORY_SEARCH, !searching);
    EnableItem(IDC_DIRECTORY_STOP, searching);
    if (searching) CControl(GetSafeHwnd(), IDC_DIRECTORY_STATUS).SetWindowText(msg::kSearchingDirectory);
}

void CDirectoryDlg::OnSearch() {
    if (m_search) return;
    m_strText = Edit(IDC_DIRECTORY_TEXT).GetWindowText();
    auto search = std::make_shared<Search>();
    search->query = m_policy;
    search->query.pageSize = kMaxDirectoryPersons + 1;
    search->query.filter = SearchFilter(m_policy.filter, m_policy.attributes, m_strText);
    if (search->query.filter.empty()) {
        AfxMessageBox(msg::kEmptyDirectoryText);
        return GotoDlgCtrl(IDC_DIRECTORY_TEXT);
    }
    m_search = search;
    m_aFound.clear();
    m_strFound.clear();
    ListBox(IDC_DIRECTORY_RESULTS).ResetContent();
    ShowSearching(true);
    Directory& directory = m_directory;
    System().RunInBackground([search, &directory] { search->result = SearchDirectory(directory, search->query, search->cancelled); },
                             GetSafeHwnd(), kSearchDone, m_nSearch = ++g_nSearches);
}

void CDirectoryDlg::OnStop() {
    if (!m_search) return;
    // The thread ends in its own time; what it finds is no longer awaited.
    m_search->cancelled = true;
    m_search.reset();
    ShowSearching(false);
    m_strFound = msg::kDirectorySearchStopped;
    CControl(GetSafeHwnd(), IDC_DIRECTORY_STATUS).SetWindowText(m_strFound);
    GotoDlgCtrl(IDC_DIRECTORY_TEXT);
}

void CDirectoryDlg::OnCancel() {
    OnStop();
    CDialog::OnCancel();
}

std::optional<LRESULT> CDirectoryDlg::OnSearchDone(WPARAM search, LPARAM) {
    if (!m_search || search != m_nSearch) return 0;
    const DirectoryResult result = std::move(m_search->result);
    m_search.reset();
    ShowSearching(false);
    m_aFound = result.persons;
    std::vector<CListBox::Line> lines;
    for (const DirectoryPerson& person : m_aFound) {
        const CAddressEntry& fields = person.fields;
        const std::string note = person.broken != DirectoryRule::None ? "× " + msg::DirectoryRuleText(person)
                                 : m_session.SlotWithNameAndNumber(fields) >= 0 ? msg::kInBook
                                                                                : "";
        lines.push_back({fields.m_strName + "\t" + fields.m_strCompany + "\t" + fields.m_strDepartment + "\t" +
                         fields.m_strFaxNumber + "\t" + note});
    }
    CListBox list = ListBox(IDC_DIRECTORY_RESULTS);
    list.ReplaceLines(0, list.GetCount(), lines);
    m_strFound = result.fault != DirectoryFault::None ? ""
                 : result.more                       ? msg::kMoreInDirectory
                 : m_aFound.empty()                   ? msg::kNoneInDirectory
                                                      : msg::FoundInDirectory(m_aFound.size());
    OnSelchangeResults();
    if (result.fault != DirectoryFault::None) AfxMessageBox(msg::DirectoryFailed(m_policy, result.fault, result.code));
    GotoDlgCtrl(m_aFound.empty() ? IDC_DIRECTORY_TEXT : IDC_DIRECTORY_RESULTS);
    return 0;
}

void CDirectoryDlg::OnSelchangeResults() {
    const std::vector<int> selected = ListBox(IDC_DIRECTORY_RESULTS).GetSelItems(2);
    EnableItem(IDC_DIRECTORY_ADD, !selected.empty());
    EnableItem(IDC_DIRECTORY_REGISTER, !selected.empty());
    // The whole reason of one marked person, which its line may not have room for.
    const DirectoryPerson* one = selected.size() == 1 && selected[0] < static_cast<int>(m_aFound.size())
                                     ? &m_aFound[static_cast<std::size_t>(selected[0])]
                                     : nullptr;
    CControl(GetSafeHwnd(), IDC_DIRECTORY_STATUS)
        .SetWindowText(one && one->broken != DirectoryRule::None ? one->fields.m_strName + ": " + msg::DirectoryRuleText(*one)
                                                                 : m_strFound);
}

bool CDirectoryDlg::TakeChosen() {
    m_aChosen.clear();
    std::vector<std::string> unfit;
    for (int line : ListBox(IDC_DIRECTORY_RESULTS).GetSelItems(kMaxDirectoryPersons)) {
        if (line < 0 || line >= static_cast<int>(m_aFound.size())) continue;
        const DirectoryPerson& person = m_aFound[static_cast<std::size_t>(line)];
        if (person.broken == DirectoryRule::None)
            m_aChosen.push_back(person.fields);
        else
            unfit.push_back(person.fields.m_strName + ": " + msg::DirectoryRuleText(person));
    }
    if (!unfit.empty()) AfxMessageBox(msg::CannotTake(unfit));
    return !m_aChosen.empty();
}

void CDirectoryDlg::OnAdd() {
    if (TakeChosen()) EndDialog(IDC_DIRECTORY_ADD);
}

void CDirectoryDlg::OnRegister() {
    if (!TakeChosen()) return;
    // The book holds these already: a second row of the same person helps no one.
    std::vector<CAddressEntry> fresh;
    for (const CAddressEntry& person : m_aChosen) {
        if (m_session.SlotWithNameAndNumber(person) < 0) fresh.push_back(person);
        else AfxMessageBox(msg::AlreadyInBook(person.m_strName));
    }
    m_aChosen = fresh;
    if (!m_aChosen.empty()) EndDialog(IDC_DIRECTORY_REGISTER);
}
