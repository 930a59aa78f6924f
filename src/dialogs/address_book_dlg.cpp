#include "dialogs/address_book_dlg.h"

#include <algorithm>

#include "dialogs/about_dlg.h"
#include "dialogs/directory_dlg.h"
#include "dialogs/entry_dialogs.h"
#include "dialogs/find_dlg.h"
#include "dialogs/group_dlg.h"
#include "dialogs/messages.h"
#include "res/resource.h"

const MessageMap<CAddressBookDlg> CAddressBookDlg::kMessageMap = {
    {WM_SYSCOMMAND, &CAddressBookDlg::OnSysCommand},
    {WM_PAINT, &CAddressBookDlg::OnPaint},
    {WM_QUERYDRAGICON, &CAddressBookDlg::OnQueryDragIcon},
    {WM_CREATE, &CAddressBookDlg::OnCreate},
    {BN_CLICKED, IDC_ADD_DESTINATION, &CAddressBookDlg::OnAddDestination},
    {LBN_SETFOCUS, IDC_ADDRESS_LIST, &CAddressBookDlg::OnSetfocusAddressList},
    {LBN_SELCHANGE, IDC_ADDRESS_LIST, &CAddressBookDlg::OnSelchangeAddressList},
    {BN_CLICKED, IDC_REMOVE_DESTINATIONS, &CAddressBookDlg::OnRemoveDestinations},
    {LBN_SELCHANGE, IDC_DESTINATION_LIST, &CAddressBookDlg::OnSelchangeDestinationList},
    {BN_CLICKED, IDC_PROPERTIES, &CAddressBookDlg::OnEntryProperties},
    {BN_CLICKED, IDC_CREATE_ENTRY, &CAddressBookDlg::OnCreateEntry},
    {LBN_DBLCLK, IDC_ADDRESS_LIST, &CAddressBookDlg::OnDblclkAddressList},
    {CBN_CLOSEUP, IDC_DISPLAY_MODE, &CAddressBookDlg::OnCloseupDisplayMode},
    {BN_CLICKED, IDC_ABOUT, &CAddressBookDlg::OnAbout},
    {WM_KEYDOWN, &CAddressBookDlg::OnKeyDown},
    {WM_CHARTOITEM, &CAddressBookDlg::OnCharToItem},
    {WM_VKEYTOITEM, &CAddressBookDlg::OnVKeyToItem},
    {BN_CLICKED, IDC_DELETE_ENTRY, &CAddressBookDlg::OnDeleteEntry},
    {CBN_SELCHANGE, IDC_DISPLAY_MODE, &CAddressBookDlg::OnSelchangeDisplayMode},
    {kShortcut, IDC_FIND, &CAddressBookDlg::OnFind},
    {kShortcut, IDC_FIND_NEXT, &CAddressBookDlg::OnFindNext},
    {kShortcut, IDC_FIND_PREVIOUS, &CAddressBookDlg::OnFindPrevious},
    {kShortcut, IDC_DIRECTORY, &CAddressBookDlg::OnDirectorySearch},
};

CAddressBookDlg::CAddressBookDlg(PickerSession& session, Directory& directory, const DirectoryPolicy& policy)
    : CMappedDialog(IDD_ADDRESSBOOK),
      m_session(session),
      m_hIcon(System().LoadIconResource(IDR_MAINFRAME)),
      m_directory(directory),
      m_directoryPolicy(policy) {}

void CAddressBookDlg::ShowMessages(const std::vector<std::string>& messages) {
    for (const std::string& message : messages) AfxMessageBox(message);
}

int CAddressBookDlg::ActOnSelectedLine() {
    const int line = ListBox(IDC_ADDRESS_LIST).GetCurSel();
    if (line != LB_ERR) m_wCurrentItem = static_cast<std::uint16_t>(m_session.LineItemData(line));
    return line;
}

std::optional<LRESULT> CAddressBookDlg::OnCreate(WPARAM, LPARAM) {
    m_wCurrentItem = 0;
    ShowMessages(m_session.Open());
    m_bDestSelection = 0;
    return 0;
}

BOOL CAddressBookDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    std::string aboutItem = System().LoadStringResource(IDS_ABOUTBOX);
    if (!aboutItem.empty()) System().AppendSystemMenuItem(GetSafeHwnd(), IDM_ABOUTBOX, aboutItem, true);
    std::string findItem = System().LoadStringResource(IDS_FIND);
    if (!findItem.empty()) System().AppendSystemMenuItem(GetSafeHwnd(), IDM_FIND, findItem, aboutItem.empty());
    if (m_directoryPolicy.enabled)
        System().AppendSystemMenuItem(GetSafeHwnd(), IDM_DIRECTORY, System().LoadStringResource(IDS_DIRECTORY), false);
    System().SetIcons(GetSafeHwnd(), m_hIcon);

    CComboBox mode = ComboBox(IDC_DISPLAY_MODE);
    for (const char* view : {"個人名", "会社名", "グループ"}) mode.AddString(view);
    mode.SetCurSel(m_session.DisplayMode());

    m_session.Start();
    DrawLines(IDC_ADDRESS_LIST);
    if (m_session.Lines().Count() > 0) {
        ListBox(IDC_ADDRESS_LIST).SetCurSel(0);
        ActOnSelectedLine();
        EnablePersonButtons(true);
    }
    DrawLines(IDC_DESTINATION_LIST);
    EnableItem(IDC_REMOVE_DESTINATIONS, false);
    for (int list : {IDC_ADDRESS_LIST, IDC_DESTINATION_LIST}) System().AttachLineTips(GetSafeHwnd(), ListBox(list).GetSafeHwnd());
    return TRUE;
}

void CAddressBookDlg::DrawLines(int listId) {
    const int count = listId == IDC_ADDRESS_LIST ? m_session.Lines().Count() : m_session.DestinationCount();
    DrawLines(listId, {0, ListBox(listId).GetCount(), count});
}

void CAddressBookDlg::DrawLines(int listId, const Splice& splice) {
    std::vector<CListBox::Line> lines;
    for (int line = splice.at; line < splice.at + splice.inserted; ++line)
        lines.push_back(listId == IDC_ADDRESS_LIST ? CListBox::Line{m_session.LineText(line), m_session.LineItemData(line)}
                                                   : CListBox::Line{m_session.DestinationText(line)});
    ListBox(listId).ReplaceLines(splice.at, splice.removed, lines);
}

void CAddressBookDlg::EnablePersonButtons(bool enable) {
    EnableItem(IDC_ADD_DESTINATION, enable);
    EnableItem(IDC_PROPERTIES, enable);
    EnableItem(IDC_DELETE_ENTRY, enable);
}

void CAddressBookDlg::OnOK() {
    const std::optional<std::string> notStored = m_session.WriteFaxNumberBook();
    if (!notStored) return CDialog::OnOK();
    AfxMessageBox(*notStored);
}

void CAddressBookDlg::OnCloseupDisplayMode() {
    m_nChosenMode = ComboBox(IDC_DISPLAY_MODE).GetCurSel();
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    if (m_session.ShowMode(m_nChosenMode)) {
        DrawLines(IDC_ADDRESS_LIST);
        // The person view starts on its first line; the company and group views on none.
        if (m_nChosenMode == 0 && m_session.Lines().Count() > 0) list.SetCurSel(0);
    }
    EnablePersonButtons(list.GetCurSel() != LB_ERR);
}

void CAddressBookDlg::OnSelchangeDisplayMode() {}

void CAddressBookDlg::OnSetfocusAddressList() {}

void CAddressBookDlg::OnSelchangeAddressList() {
    if (ActOnSelectedLine() == LB_ERR) return EnableItem(IDC_ADD_DESTINATION, false);
    EnablePersonButtons(true);
    ListBox(IDC_DESTINATION_LIST).SelectAll(false);
    m_bDestSelection = 0;
    EnableItem(IDC_REMOVE_DESTINATIONS, false);
}

void CAddressBookDlg::OnSelchangeDestinationList() {
    if (ReadDestinationSelection() == 0) return;
    ListBox(IDC_ADDRESS_LIST).SetCurSel(-1);
    EnablePersonButtons(false);
}

int CAddressBookDlg::ReadDestinationSelection() {
    std::vector<int> selected = ListBox(IDC_DESTINATION_LIST).GetSelItems(kMaxDestinations);
    std::copy(selected.begin(), selected.end(), m_anDestSel);
    m_nDestSelCount = static_cast<std::int32_t>(selected.size());
    m_bDestSelection = m_nDestSelCount > 0 ? 1 : 0;
    EnableItem(IDC_REMOVE_DESTINATIONS, m_bDestSelection == 1);
    return m_nDestSelCount;
}

void CAddressBookDlg::OnDblclkAddressList() {
    const int line = ListBox(IDC_ADDRESS_LIST).GetCurSel();
    if (line == LB_ERR) return;
    if (m_session.OpensOnMembers(line))
        DrawLines(IDC_ADDRESS_LIST, m_session.ExpandOrCollapse(line));
    else
        OnAddDestination();
}

std::optional<LRESULT> CAddressBookDlg::OnKeyDown(WPARAM, LPARAM) { return std::nullopt; }

// Wine asks this of every character typed into either list (Windows only of
// owner-drawn lists without strings); left unanswered, the dialog would
// answer 0 and the list would jump to its first line.
std::optional<LRESULT> CAddressBookDlg::OnCharToItem(WPARAM, LPARAM) {
    return -1;  // the list box's own search for the character follows
}

std::optional<LRESULT> CAddressBookDlg::OnVKeyToItem(WPARAM key, LPARAM list) {
    const UINT virtualKey = LOWORD(key);
    // -1: the list box's own handling of the key follows; -2: none.
    CListBox addressList = ListBox(IDC_ADDRESS_LIST);
    if (reinterpret_cast<HWND>(list) != addressList.GetSafeHwnd()) {
        if (virtualKey == VK_DELETE) OnRemoveDestinations();
        return -1;
    }
    const int line = addressList.GetCurSel();
    const int company = m_session.CompanyForKey(line, virtualKey);
    if (company < 0) return -1;
    DrawLines(IDC_ADDRESS_LIST, m_session.ExpandOrCollapse(company));
    if (company != line) {
        addressList.SetCurSel(company);
        OnSelchangeAddressList();
    }
    // "+" and "-" also typed a character: searched for, it could move the
    // selection off the company the key acted on.
    if (virtualKey != VK_RIGHT && virtualKey != VK_LEFT) System().DiscardTypedCharacter(reinterpret_cast<HWND>(list));
    return -2;
}

void CAddressBookDlg::OnFind() {
    CFindDlg find;
    find.m_strText = m_strFindText;
    if (find.DoModal() != IDOK) return;
    m_strFindText = find.m_strText;
    FindPerson(true);
}

void CAddressBookDlg::OnFindNext() { m_strFindText.empty() ? OnFind() : FindPerson(true); }

void CAddressBookDlg::OnFindPrevious() { m_strFindText.empty() ? OnFind() : FindPerson(false); }

void CAddressBookDlg::FindPerson(bool forward) {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    const PickerSession::Found found = m_session.FindPerson(m_strFindText, list.GetCurSel(), forward);
    if (found.message) return ShowMessages({*found.message});
    if (found.expanded) DrawLines(IDC_ADDRESS_LIST, *found.expanded);
    list.SetCurSel(found.line);
    OnSelchangeAddressList();
    GotoDlgCtrl(IDC_ADDRESS_LIST);
}

void CAddressBookDlg::OnAddDestination() {
    const int line = ListBox(IDC_ADDRESS_LIST).GetCurSel();
    if (line == LB_ERR || m_session.IsCompanyLine(line)) return;
    ActOnSelectedLine();
    DrawAdded(m_session.AddDestination(line));
}

void CAddressBookDlg::DrawAdded(const PickerSession::Added& added) {
    CListBox destinations = ListBox(IDC_DESTINATION_LIST);
    // A whole group is drawn at once: a hundred lines one by one would take long.
    if (added.refusals.empty())
        DrawLines(IDC_DESTINATION_LIST, {destinations.GetCount(), 0, static_cast<int>(added.lines.size())});
    else
        for (const std::string& text : added.lines) destinations.AddString(text);
    for (const std::string& refusal : added.refusals) {
        AfxMessageBox(refusal);
        destinations.DeleteString(destinations.GetCount() - 1);
    }
    if (!added.refusals.empty()) ReadDestinationSelection();
    ShowMessages(added.messages);
}

void CAddressBookDlg::OnDirectorySearch() {
    if (!m_directoryPolicy.enabled) return;
    CDirectoryDlg search(m_directory, m_directoryPolicy.query, m_session);
    search.m_strText = m_strDirectoryText;
    const INT_PTR chosen = search.DoModal();
    m_strDirectoryText = search.m_strText;
    if (chosen == IDC_DIRECTORY_ADD) DrawAdded(m_session.AddOutsiders(search.m_aChosen));
    if (chosen != IDC_DIRECTORY_REGISTER) return;
    for (const CAddressEntry& found : search.m_aChosen) {
        if (const std::optional<std::string> refusal = m_session.CreateRefusal(true)) return ShowMessages({*refusal});
        // Filled in from the directory, for the user to check and correct before it is saved.
        CEntryPropertyDlg dialog;
        dialog.m_bNew = true;
        const std::optional<CAddressEntry> person = dialog.Edit(found);
        if (!person) continue;
        const EntryResult result = m_session.CreatePerson(*person);
        DrawEntryResult(result);
        if (!result.messages.empty()) return;
    }
}

void CAddressBookDlg::OnRemoveDestinations() {
    // What the list shows selected now: lines may have gone or been redrawn
    // since the user last selected.
    if (ReadDestinationSelection() == 0) return;
    CListBox list = ListBox(IDC_DESTINATION_LIST);
    for (int line : m_session.RemoveDestinations(std::vector<int>(m_anDestSel, m_anDestSel + m_nDestSelCount)))
        list.DeleteString(line);
    // Past the snapshot's 100 lines, the rest stay selected for the next removal.
    ReadDestinationSelection();
}

void CAddressBookDlg::OnCreateEntry() {
    if (const std::optional<std::string> refusal = m_session.CreateRefusal()) return ShowMessages({*refusal});
    if (m_session.DisplayMode() == 2) return EditGroup(-1);
    CNewEntryDlg dialog;
    if (const std::optional<CAddressEntry> person = dialog.Edit(CAddressEntry())) DrawEntryResult(m_session.CreatePerson(*person));
}

void CAddressBookDlg::OnEntryProperties() {
    const int line = ActOnSelectedLine();
    if (m_session.IsGroupLine(line)) return EditGroup(line);
    const CAddressEntry* person = line == LB_ERR ? nullptr : m_session.PersonOn(line);
    if (!person) return;
    CEntryPropertyDlg dialog;
    if (const std::optional<CAddressEntry> edited = dialog.Edit(*person)) DrawEntryResult(m_session.EditPerson(line, *edited));
}

void CAddressBookDlg::OnDeleteEntry() {
    const int line = ActOnSelectedLine();
    if (line == LB_ERR) return;
    if (const std::optional<std::string> refusal = m_session.DeleteRefusal(line)) return ShowMessages({*refusal});
    if (AfxMessageBox(m_session.DeleteQuestion(line), MB_OKCANCEL) != IDOK) return;

    DrawEntryResult(m_session.DeleteLine(line));
}

void CAddressBookDlg::EditGroup(int line) {
    const CGroup* group = m_session.GroupOn(line);
    CGroupDlg dialog(m_session.Book(), group);
    if (dialog.DoModal() != IDOK) return;
    DrawEntryResult(group ? m_session.EditGroup(line, dialog.m_group) : m_session.CreateGroup(dialog.m_group));
}

void CAddressBookDlg::DrawEntryResult(const EntryResult& result) {
    if (result.rebuilt) {
        DrawLines(IDC_ADDRESS_LIST);
        DrawLines(IDC_DESTINATION_LIST);
    } else {
        if (!result.addressLinesLast) DrawLines(IDC_ADDRESS_LIST, result.addressLines);
        for (const Splice& splice : result.destinationLines) DrawLines(IDC_DESTINATION_LIST, splice);
    }
    if (result.selected) {
        ListBox(IDC_ADDRESS_LIST).SetCurSel(*result.selected);
        EnablePersonButtons(*result.selected >= 0);
    }
    ReadDestinationSelection();
    ShowMessages(result.messages);
    if (!result.rebuilt && result.addressLinesLast) DrawLines(IDC_ADDRESS_LIST, result.addressLines);
}

std::string CAddressBookDlg::LineTip(int listId, int line) {
    if (listId != IDC_DESTINATION_LIST && listId != IDC_ADDRESS_LIST) return std::string();
    return m_session.LineTip(listId == IDC_DESTINATION_LIST, line);
}

void CAddressBookDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

std::optional<LRESULT> CAddressBookDlg::OnSysCommand(WPARAM nID, LPARAM) {
    // The system keeps the low four bits of a command for itself.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
    else if ((nID & 0xFFF0) == IDM_FIND)
        OnFind();
    else if ((nID & 0xFFF0) == IDM_DIRECTORY && m_directoryPolicy.enabled)
        OnDirectorySearch();
    else
        return std::nullopt;
    return 0;
}

std::optional<LRESULT> CAddressBookDlg::OnPaint(WPARAM, LPARAM) {
    if (!System().PaintMinimisedIcon(GetSafeHwnd(), m_hIcon)) return std::nullopt;
    return 0;
}

std::optional<LRESULT> CAddressBookDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}
