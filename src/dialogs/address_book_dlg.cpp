#include "dialogs/address_book_dlg.h"

#include <algorithm>
#include <map>

#include "dialogs/about_dlg.h"
#include "dialogs/entry_dialogs.h"
#include "dialogs/find_dlg.h"
#include "dialogs/messages.h"
#include "book/person_search.h"
#include "framework/platform.h"
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
};

CAddressBookDlg::CAddressBookDlg(const std::string& driverName)
    : CMappedDialog(IDD_ADDRESSBOOK), m_bookStore(ThePlatform()), m_printer(ThePlatform(), driverName) {
    m_hIcon = ThePlatform().LoadIconResource(IDR_MAINFRAME);
}

// ---- creation and initialisation ----------------------------------------------

std::optional<LRESULT> CAddressBookDlg::OnCreate(WPARAM, LPARAM) {
    ReadFaxNumberBook(m_strFaxNumberBook2, m_strFaxNumberBook);
    LoadAddressBook();
    return 0;
}

BOOL CAddressBookDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    std::string aboutItem = ThePlatform().LoadStringResource(IDS_ABOUTBOX);
    if (!aboutItem.empty()) ThePlatform().AppendSystemMenuItem(GetSafeHwnd(), IDM_ABOUTBOX, aboutItem, true);
    std::string findItem = ThePlatform().LoadStringResource(IDS_FIND);
    if (!findItem.empty()) ThePlatform().AppendSystemMenuItem(GetSafeHwnd(), IDM_FIND, findItem, aboutItem.empty());
    ThePlatform().SetIcons(GetSafeHwnd(), m_hIcon);

    CComboBox mode = ComboBox(IDC_DISPLAY_MODE);
    mode.AddString("個人名");
    mode.AddString("会社名");
    mode.SetCurSel(m_nDisplayMode);

    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) m_book.m_aEntries[static_cast<std::size_t>(slot)].m_nID = slot;
    FillPersonView();
    if (m_book.m_nEntryCount > 0) {
        m_wCurrentItem = static_cast<std::uint16_t>(m_book.m_aEntries[0].m_nID);
        EnablePersonButtons(true);
    }

    RestoreDestinations();
    EnableItem(IDC_REMOVE_DESTINATIONS, false);
    ThePlatform().AttachLineTips(GetSafeHwnd(), ListBox(IDC_ADDRESS_LIST).GetSafeHwnd());
    ThePlatform().AttachLineTips(GetSafeHwnd(), ListBox(IDC_DESTINATION_LIST).GetSafeHwnd());
    return TRUE;
}

void CAddressBookDlg::FillPersonView() {
    m_addressLines.ShowPersons(m_book);
    DrawAddressLines();
    if (m_addressLines.Count() > 0) ListBox(IDC_ADDRESS_LIST).SetCurSel(0);
}

void CAddressBookDlg::DrawAddressLines() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    list.SetRedraw(false);
    list.ResetContent();
    list.InitStorage(m_addressLines.Count(), m_addressLines.Count() * 16);
    for (int i = 0; i < m_addressLines.Count(); ++i) {
        const AddressLine& line = *m_addressLines.At(i);
        std::string text;
        if (line.IsCompany()) {
            text = CompanyLineText(m_book.m_aCompanies[static_cast<std::size_t>(line.company)].m_strCompanyName);
        } else {
            // The person view lists the persons in slot order: look no further than the slot.
            const CAddressEntry* person =
                i < m_book.m_nEntryCount ? &m_book.m_aEntries[static_cast<std::size_t>(i)] : nullptr;
            if (!person || person->m_nID != line.person) person = m_book.FindPerson(line.person);
            if (person) text = person->m_strName;
        }
        list.SetItemData(list.AddString(text), line.ItemData());
    }
    list.SetRedraw(true);
}

void CAddressBookDlg::EnablePersonButtons(bool enable) {
    EnableItem(IDC_ADD_DESTINATION, enable);
    EnableItem(IDC_PROPERTIES, enable);
    EnableItem(IDC_DELETE_ENTRY, enable);
}

// ---- ending -------------------------------------------------------------------

void CAddressBookDlg::OnOK() {
    DestinationPieces pieces = m_aDestinations.Pieces(m_book);
    // The driver would get a shortened list; let the user choose what goes.
    if (CheckDestinations(pieces, DestinationCheck::Texts) != DestinationBreach::None) {
        AfxMessageBox(msg::kTextsOver255);
        return;
    }
    if (WriteFaxNumberBook(pieces) == StoreResult::Failed) {
        AfxMessageBox(msg::kCannotStoreDestinations);
        return;
    }
    CDialog::OnOK();
}

// ---- display modes and selections -------------------------------------------

void CAddressBookDlg::OnCloseupDisplayMode() {
    m_nChosenMode = ComboBox(IDC_DISPLAY_MODE).GetCurSel();
    if (m_nChosenMode != m_nDisplayMode) {
        if (m_nChosenMode == 1)
            FillCompanyView();
        else
            FillPersonView();
        m_nDisplayMode = m_nChosenMode;
    }
    EnablePersonButtons(ListBox(IDC_ADDRESS_LIST).GetCurSel() != LB_ERR);
}

void CAddressBookDlg::OnSelchangeDisplayMode() {}

void CAddressBookDlg::OnSetfocusAddressList() {}

void CAddressBookDlg::OnSelchangeAddressList() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) {
        EnableItem(IDC_ADD_DESTINATION, false);
        return;
    }
    m_wCurrentItem = static_cast<std::uint16_t>(m_addressLines.At(line)->ItemData());
    EnablePersonButtons(true);
    ListBox(IDC_DESTINATION_LIST).SelectAll(false);
    m_bDestSelection = 0;
    EnableItem(IDC_REMOVE_DESTINATIONS, false);
}

void CAddressBookDlg::OnSelchangeDestinationList() {
    std::vector<int> selected = ListBox(IDC_DESTINATION_LIST).GetSelItems(kMaxDestinations);
    std::copy(selected.begin(), selected.end(), m_anDestSel);
    m_nDestSelCount = static_cast<std::int32_t>(selected.size());
    if (m_nDestSelCount > 0) {
        m_bDestSelection = 1;
        EnableItem(IDC_REMOVE_DESTINATIONS, true);
        ListBox(IDC_ADDRESS_LIST).SetCurSel(-1);
        EnablePersonButtons(false);
    } else {
        m_bDestSelection = 0;
        EnableItem(IDC_REMOVE_DESTINATIONS, false);
    }
}

void CAddressBookDlg::OnDblclkAddressList() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return;
    if (m_addressLines.At(line)->IsCompany())
        ExpandOrCollapseCompany(line);
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
    if (reinterpret_cast<HWND>(list) == ListBox(IDC_ADDRESS_LIST).GetSafeHwnd()) {
        if (!OnAddressListKey(virtualKey)) return -1;
        // "+" and "-" also typed a character: searched for, it could move
        // the selection off the company the key acted on.
        if (virtualKey != VK_RIGHT && virtualKey != VK_LEFT)
            ThePlatform().DiscardTypedCharacter(reinterpret_cast<HWND>(list));
        return -2;
    }
    if (virtualKey == VK_DELETE) OnRemoveDestinations();
    return -1;
}

bool CAddressBookDlg::OnAddressListKey(UINT key) {
    const bool expand = key == VK_RIGHT || key == VK_ADD || key == VK_OEM_PLUS;
    const bool collapse = key == VK_LEFT || key == VK_SUBTRACT || key == VK_OEM_MINUS;
    if (!expand && !collapse) return false;
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return false;
    // On a company line, as a double click would; a company already as asked
    // leaves the key to the list (Right and Left then move as Down and Up).
    const AddressLine* at = m_addressLines.At(line);
    if (at->IsCompany()) {
        if (at->expanded == expand) return false;
        ExpandOrCollapseCompany(line);
        return true;
    }
    // On a member line, collapse its company and move to the company line.
    int company = m_addressLines.CompanyLineOf(line);
    if (!collapse || company < 0) return false;
    ExpandOrCollapseCompany(company);
    list.SetCurSel(company);
    OnSelchangeAddressList();
    return true;
}

// ---- find ---------------------------------------------------------------------

void CAddressBookDlg::OnFind() {
    CFindDlg find;
    find.m_strText = m_strFindText;
    if (find.DoModal() != IDOK) return;
    m_strFindText = find.m_strText;
    FindPerson(true);
}

void CAddressBookDlg::OnFindNext() {
    if (m_strFindText.empty())
        OnFind();
    else
        FindPerson(true);
}

void CAddressBookDlg::OnFindPrevious() {
    if (m_strFindText.empty())
        OnFind();
    else
        FindPerson(false);
}

void CAddressBookDlg::FindPerson(bool forward) {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    const AddressLine* selected = m_addressLines.At(list.GetCurSel());
    const int from = selected && !selected->IsCompany() ? m_book.FindSlot(selected->person) : -1;
    const int slot = FindPersonSlot(m_book, PersonQuery(m_strFindText), from, forward);
    if (slot < 0) {
        AfxMessageBox(msg::NotFound(m_strFindText));
        return;
    }
    const CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
    if (m_nDisplayMode == 1) {
        // As Right would: the company opens on its members.
        int company = m_addressLines.LineOfCompany(m_book, person.m_strCompany);
        if (company >= 0 && !m_addressLines.At(company)->expanded) ExpandOrCollapseCompany(company);
    }
    list.SetCurSel(m_addressLines.LineOfPerson(person.m_nID));
    OnSelchangeAddressList();
    GotoDlgCtrl(IDC_ADDRESS_LIST);
}

// ---- company view -------------------------------------------------------------

void CAddressBookDlg::FillCompanyView() {
    m_addressLines.ShowCompanies(m_book);
    DrawAddressLines();
}

void CAddressBookDlg::ExpandOrCollapseCompany(int line) {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    // Redraw off, or every line repaints the list and a large company takes
    // seconds.
    list.SetRedraw(false);
    if (m_addressLines.At(line)->expanded) {
        // From the last member up, so no later line moves.
        for (int i = m_addressLines.Collapse(line); i > 0; --i) list.DeleteString(line + i);
    } else {
        std::vector<std::int32_t> members = m_addressLines.Expand(m_book, line);
        std::vector<std::string> texts;
        std::size_t textBytes = 0;
        for (std::int32_t id : members) {
            texts.push_back(MemberLineText(NameOf(id)));
            textBytes += texts.back().size() + 1;
        }
        list.InitStorage(static_cast<int>(members.size()), static_cast<int>(textBytes));
        for (std::size_t i = 0; i < members.size(); ++i) {
            int inserted = list.InsertString(line + 1 + static_cast<int>(i), texts[i]);
            list.SetItemData(inserted, static_cast<std::uint32_t>(members[i]));
        }
    }
    list.SetRedraw(true);
}

// ---- destinations -------------------------------------------------------------

std::string CAddressBookDlg::NameOf(std::int32_t id) const {
    const CAddressEntry* person = m_book.FindPerson(id);
    return person ? person->m_strName : std::string();
}

void CAddressBookDlg::DrawDestinations() {
    CListBox list = ListBox(IDC_DESTINATION_LIST);
    list.ResetContent();
    for (int line = 0; line < m_aDestinations.GetSize(); ++line) list.AddString(NameOf(m_aDestinations[line]));
}

void CAddressBookDlg::OnAddDestination() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR || m_addressLines.At(line)->IsCompany()) return;
    std::int32_t id = m_addressLines.At(line)->person;
    m_wCurrentItem = static_cast<std::uint16_t>(id);

    DestinationList::Added added = m_aDestinations.Add(m_book, id);
    CListBox destinations = ListBox(IDC_DESTINATION_LIST);
    if (added.line) destinations.AddString(NameOf(id));
    for (DestinationBreach breach : added.refused) {
        AfxMessageBox(breach == DestinationBreach::FaxNumberOver32 ? msg::kFaxNumberOver32
                      : breach == DestinationBreach::TextOver255   ? msg::kTextsOver255
                                                                   : msg::kOver100Destinations);
        destinations.DeleteString(destinations.GetCount() - 1);
    }
}

void CAddressBookDlg::OnRemoveDestinations() {
    if (m_bDestSelection != 1) return;
    CListBox list = ListBox(IDC_DESTINATION_LIST);
    for (int line : m_aDestinations.RemoveLines(std::vector<int>(m_anDestSel, m_anDestSel + m_nDestSelCount)))
        list.DeleteString(line);
    m_bDestSelection = 0;
    EnableItem(IDC_REMOVE_DESTINATIONS, false);
}

// ---- the printer's stored destinations --------------------------------------

void CAddressBookDlg::ReadFaxNumberBook(std::string& names, std::string& faxNumbers) {
    StoredTexts texts = m_printer.Read();
    names = texts.names;
    faxNumbers = texts.faxNumbers;
}

void CAddressBookDlg::RestoreDestinations() {
    // Matched against a book that was not read, every stored destination
    // would be dropped from the printer's values.
    if (m_bookState == FileContents::State::Unreadable) return;
    DestinationPieces written = m_aDestinations.Restore(m_book, {m_strFaxNumberBook, m_strFaxNumberBook2});
    DrawDestinations();
    // Nor is a book that may be a save cut short the one to drop them by.
    if (m_bookState != FileContents::State::Uncertain) WriteFaxNumberBook(written);
}

StoreResult CAddressBookDlg::WriteFaxNumberBook(const DestinationPieces& pieces) {
    return m_printer.Write(JoinPieces(pieces, pieces.size()));
}

// ---- the address book file ----------------------------------------------------

void CAddressBookDlg::LoadAddressBook() {
    m_wCurrentItem = 0;
    m_aDestinations.Clear();
    BookLoad loaded = m_bookStore.Load(m_book);
    m_bookState = loaded.state;
    switch (loaded.state) {
    case FileContents::State::Missing:
        AfxMessageBox(msg::kCannotOpenBook);
        break;
    case FileContents::State::Unreadable:
        AfxMessageBox(msg::WithCause(msg::kCannotReadBook, loaded.fault));
        break;
    case FileContents::State::Uncertain:
        AfxMessageBox(msg::kCannotReadJournal);
        break;
    case FileContents::State::Read:
        break;
    }
    if (loaded.tooManyPersons) AfxMessageBox(msg::kTooManyPersons);
    m_bDestSelection = 0;
    m_nDisplayMode = 0;
}

bool CAddressBookDlg::SaveAddressBook() {
    FileFault fault = m_bookStore.Save(m_book);
    if (fault == FileFault::None) return true;
    AfxMessageBox(msg::WithCause(msg::kCannotWriteBook, fault));
    return false;
}

// ---- entry commands -----------------------------------------------------------

void CAddressBookDlg::RenumberPersons() {
    std::map<std::int32_t, std::int32_t> renumbered = m_book.Renumber();
    auto renumber = [&renumbered](std::int32_t id) {
        auto found = renumbered.find(id);
        return found == renumbered.end() ? id : found->second;
    };
    m_addressLines.Renumber(renumbered);
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    for (int line = 0; line < m_addressLines.Count(); ++line) list.SetItemData(line, m_addressLines.At(line)->ItemData());
    m_aDestinations.Renumber(renumbered);
    if (m_wCurrentItem < CAddressBook::kCompanyItemBase) m_wCurrentItem = static_cast<std::uint16_t>(renumber(m_wCurrentItem));
}

void CAddressBookDlg::OnCreateEntry() {
    if (m_book.m_nEntryCount >= CAddressBook::kMaxEntries) {
        AfxMessageBox(msg::kNoMoreEntries);
        return;
    }
    CNewEntryDlg dialog;
    if (dialog.DoModal() != IDOK) return;
    if (static_cast<std::uint32_t>(m_book.m_nNextID) >= CAddressBook::kCompanyItemBase) RenumberPersons();

    CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(m_book.m_nEntryCount)];
    person = CAddressEntry();
    dialog.Store(person);

    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.AddString(person.m_strName);
    list.SetItemData(line, static_cast<std::uint32_t>(m_book.m_nNextID));
    person.m_nID = m_book.m_nNextID;
    m_addressLines.Append(person.m_nID);
    ++m_book.m_nEntryCount;
    ++m_book.m_nNextID;
    SaveAddressBook();
}

void CAddressBookDlg::OnEntryProperties() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return;
    const AddressLine at = *m_addressLines.At(line);
    m_wCurrentItem = static_cast<std::uint16_t>(at.ItemData());
    if (at.IsCompany()) return;
    CAddressEntry* person = m_book.FindPerson(at.person);
    if (!person) return;

    CEntryPropertyDlg dialog;
    dialog.Load(*person);
    if (dialog.DoModal() != IDOK) return;
    dialog.Store(*person);

    // A member line of the company view keeps its prefix.
    std::string text = at.kind == AddressLine::Kind::Member ? MemberLineText(person->m_strName) : person->m_strName;
    list.DeleteString(line);
    list.InsertString(line, text);
    list.SetItemData(line, static_cast<std::uint32_t>(person->m_nID));
    list.SetCurSel(line);

    CListBox destinations = ListBox(IDC_DESTINATION_LIST);
    for (int i : m_aDestinations.LinesOf(person->m_nID)) {
        destinations.DeleteString(i);
        destinations.InsertString(i, person->m_strName);
    }
    SaveAddressBook();
}

void CAddressBookDlg::OnDeleteEntry() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return;
    m_wCurrentItem = static_cast<std::uint16_t>(m_addressLines.At(line)->ItemData());
    if (m_addressLines.At(line)->IsCompany()) {
        AfxMessageBox(msg::kCannotDeleteCompany);
        return;
    }
    if (AfxMessageBox(msg::kConfirmDelete, MB_OKCANCEL) != IDOK) return;

    CListBox destinations = ListBox(IDC_DESTINATION_LIST);
    for (int i : m_aDestinations.RemovePerson(m_wCurrentItem)) {
        destinations.DeleteString(i);
        EnableItem(IDC_REMOVE_DESTINATIONS, !destinations.GetSelItems(1).empty());
    }
    m_book.RemoveAt(m_book.FindSlot(m_wCurrentItem));
    EnablePersonButtons(false);
    SaveAddressBook();
    list.DeleteString(line);
    m_addressLines.Remove(line);
}

// ---- tips on the lines ---------------------------------------------------------

std::string CAddressBookDlg::LineTip(int listId, int line) {
    if (line < 0) return std::string();
    std::int32_t id = CAddressEntry::kNoID;
    if (listId == IDC_DESTINATION_LIST) {
        if (line >= m_aDestinations.GetSize()) return std::string();
        id = static_cast<std::uint16_t>(m_aDestinations[line]);
    } else if (listId == IDC_ADDRESS_LIST) {
        const AddressLine* at = m_addressLines.At(line);
        if (!at) return std::string();
        if (at->IsCompany()) {
            const std::string& company = m_book.m_aCompanies[static_cast<std::size_t>(at->company)].m_strCompanyName;
            return "人数: " + std::to_string(MembersOf(m_book, company).size()) + "人";
        }
        id = at->person;
    }
    const CAddressEntry* person = m_book.FindPerson(id);
    if (!person) return std::string();
    return "名前(読み): " + person->m_strNameReading + "\n会社: " + CompanyLineText(person->m_strCompany) +
           "\n部署: " + person->m_strDepartment + "\nFAX番号: " + person->m_strFaxNumber;
}

// ---- version box, system menu, icon ---------------------------------------------

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
    else
        return std::nullopt;
    return 0;
}

std::optional<LRESULT> CAddressBookDlg::OnPaint(WPARAM, LPARAM) {
    if (!ThePlatform().PaintMinimisedIcon(GetSafeHwnd(), m_hIcon)) return std::nullopt;
    return 0;
}

std::optional<LRESULT> CAddressBookDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}
