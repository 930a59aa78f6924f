#include "dialogs/address_book_dlg.h"

#include <algorithm>
#include <map>

#include "dialogs/about_dlg.h"
#include "dialogs/entry_dialogs.h"
#include "dialogs/messages.h"
#include "framework/platform.h"
#include "framework/text.h"
#include "framework/winapp.h"
#include "res/resource.h"

namespace {

constexpr const char* kMemberPrefix = " >> ";

bool IsCompanyItem(std::uint32_t data) { return data >= CAddressBook::kCompanyItemBase; }

}  // namespace

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
    if (!aboutItem.empty()) ThePlatform().AppendSystemMenuItem(GetSafeHwnd(), IDM_ABOUTBOX, aboutItem);
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
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    list.SetRedraw(false);
    list.ResetContent();
    list.InitStorage(m_book.m_nEntryCount, m_book.m_nEntryCount * 16);
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) {
        const CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
        int line = list.AddString(person.m_strName);
        list.SetItemData(line, static_cast<std::uint32_t>(person.m_nID));
    }
    list.SetRedraw(true);
    if (m_book.m_nEntryCount > 0) list.SetCurSel(0);
}

void CAddressBookDlg::EnablePersonButtons(bool enable) {
    EnableItem(IDC_ADD_DESTINATION, enable);
    EnableItem(IDC_PROPERTIES, enable);
    EnableItem(IDC_DELETE_ENTRY, enable);
}

// ---- ending -------------------------------------------------------------------

void CAddressBookDlg::OnOK() {
    DestinationPieces pieces = Pieces();
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
    m_wCurrentItem = static_cast<std::uint16_t>(list.GetItemData(line));
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
    if (IsCompanyItem(list.GetItemData(line)))
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
    if (IsCompanyItem(list.GetItemData(line))) {
        if (IsExpandedCompany(line) == expand) return false;
        ExpandOrCollapseCompany(line);
        return true;
    }
    // On a member line, collapse its company and move to the company line.
    if (!collapse || !StartsWith(list.GetText(line), kMemberPrefix)) return false;
    int company = line;
    while (company > 0 && StartsWith(list.GetText(company), kMemberPrefix)) --company;
    if (!IsCompanyItem(list.GetItemData(company))) return false;
    ExpandOrCollapseCompany(company);
    list.SetCurSel(company);
    OnSelchangeAddressList();
    return true;
}

// ---- company view -------------------------------------------------------------

void CAddressBookDlg::FillCompanyView() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int count = m_book.RebuildCompanies();
    list.SetRedraw(false);
    list.ResetContent();
    list.InitStorage(count, count * 16);
    for (int k = 0; k < count; ++k) {
        const CCompanyEntry& company = m_book.m_aCompanies[static_cast<std::size_t>(k)];
        int line = list.AddString(CompanyLineText(company.m_strCompanyName));
        list.SetItemData(line, CAddressBook::kCompanyItemBase + static_cast<std::uint32_t>(company.m_nPosition));
    }
    list.SetRedraw(true);
}

bool CAddressBookDlg::IsExpandedCompany(int line) {
    // Read from the list itself: a member line follows.
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    return line + 1 < list.GetCount() && StartsWith(list.GetText(line + 1), kMemberPrefix);
}

void CAddressBookDlg::ExpandOrCollapseCompany(int line) {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int count = list.GetCount();
    if (IsExpandedCompany(line)) {
        int members = 0;
        while (line + 1 + members < count && StartsWith(list.GetText(line + 1 + members), kMemberPrefix)) ++members;
        // Redraw off, or every line repaints the list and a large company
        // takes seconds; from the last member up, so no later line moves.
        list.SetRedraw(false);
        for (int i = members; i > 0; --i) list.DeleteString(line + i);
        list.SetRedraw(true);
        return;
    }
    std::uint32_t k = list.GetItemData(line) - CAddressBook::kCompanyItemBase;
    if (k >= m_book.m_aCompanies.size()) return;
    const std::string& company = m_book.m_aCompanies[k].m_strCompanyName;
    std::vector<const CAddressEntry*> members;
    std::size_t textBytes = 0;
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) {
        const CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
        if (person.m_strCompany != company) continue;
        members.push_back(&person);
        textBytes += std::char_traits<char>::length(kMemberPrefix) + person.m_strName.size() + 1;
    }
    list.SetRedraw(false);
    list.InitStorage(static_cast<int>(members.size()), static_cast<int>(textBytes));
    int below = line + 1;
    for (const CAddressEntry* person : members) {
        int inserted = list.InsertString(below++, kMemberPrefix + person->m_strName);
        list.SetItemData(inserted, static_cast<std::uint32_t>(person->m_nID));
    }
    list.SetRedraw(true);
}

// ---- destinations -------------------------------------------------------------

DestinationPieces CAddressBookDlg::Pieces() {
    DestinationPieces pieces;
    pieces.reserve(static_cast<std::size_t>(m_aDestinations.GetSize()));
    for (int i = 0; i < m_aDestinations.GetSize(); ++i) {
        const CAddressEntry* person = m_book.FindPerson(static_cast<std::uint16_t>(m_aDestinations[i]));
        pieces.push_back(person ? DestinationPiece{person->m_strFaxNumber, person->m_strName} : DestinationPiece{});
    }
    return pieces;
}

void CAddressBookDlg::RemoveLastDestination() {
    int last = m_aDestinations.GetSize() - 1;
    if (last < 0) return;
    m_aDestinations.RemoveAt(last);
    ListBox(IDC_DESTINATION_LIST).DeleteString(last);
}

void CAddressBookDlg::OnAddDestination() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return;
    std::uint32_t data = list.GetItemData(line);
    if (IsCompanyItem(data)) return;
    m_wCurrentItem = static_cast<std::uint16_t>(data);

    std::int32_t id = static_cast<std::int32_t>(data);
    bool listed = false;
    for (int i = 0; i < m_aDestinations.GetSize(); ++i) listed = listed || m_aDestinations[i] == id;
    if (!listed) {
        const CAddressEntry* person = m_book.FindPerson(id);
        ListBox(IDC_DESTINATION_LIST).AddString(person ? person->m_strName : std::string());
        m_aDestinations.Add(id);
    }

    // The limits hold for the whole list, also when nothing was added.
    DestinationPieces pieces = Pieces();
    DestinationBreach breach = CheckDestinations(pieces, DestinationCheck::AfterAdd);
    if (breach == DestinationBreach::FaxNumberOver32 || breach == DestinationBreach::TextOver255) {
        AfxMessageBox(breach == DestinationBreach::FaxNumberOver32 ? msg::kFaxNumberOver32 : msg::kTextsOver255);
        RemoveLastDestination();
        pieces.pop_back();
        breach = CheckDestinations(pieces, DestinationCheck::Count);
    }
    if (breach == DestinationBreach::Over100) {
        AfxMessageBox(msg::kOver100Destinations);
        RemoveLastDestination();
    }
}

void CAddressBookDlg::OnRemoveDestinations() {
    if (m_bDestSelection != 1) return;
    CListBox list = ListBox(IDC_DESTINATION_LIST);
    for (int i = 0; i < m_nDestSelCount; ++i) {
        // Each removal moves the later lines up by one.
        int line = m_anDestSel[i] - i;
        list.DeleteString(line);
        if (line >= 0 && line < m_aDestinations.GetSize()) m_aDestinations.RemoveAt(line);
    }
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
    // The stored pieces that found a person, each once.
    DestinationPieces matched;
    for (const DestinationPiece& stored : PiecesOfStoredTexts({m_strFaxNumberBook, m_strFaxNumberBook2})) {
        bool found = false;
        for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) {
            const CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
            if (person.m_strName != stored.name || person.m_strFaxNumber != stored.faxNumber) continue;
            m_aDestinations.Add(person.m_nID);
            found = true;
        }
        if (found) matched.push_back(stored);
    }
    CListBox list = ListBox(IDC_DESTINATION_LIST);
    for (int i = 0; i < m_aDestinations.GetSize(); ++i) {
        const CAddressEntry* person = m_book.FindPerson(m_aDestinations[i]);
        list.AddString(person ? person->m_strName : std::string());
    }
    DestinationPieces written = Pieces();
    if (CheckDestinations(written, DestinationCheck::Texts) != DestinationBreach::None) {
        // Persons who share a name and number restore several lines from one
        // stored piece and can overflow the texts; what was stored and still
        // matches fits them (a stored value of 256 bytes without a zero byte
        // is cut where both texts stop together).
        written = matched;
        written.resize(FittingCount(written));
    }
    // Nor is a book that may be a save cut short the one to drop them by.
    if (m_bookState != FileContents::State::Uncertain) WriteFaxNumberBook(written);
}

StoreResult CAddressBookDlg::WriteFaxNumberBook(const DestinationPieces& pieces) {
    return m_printer.Write(JoinPieces(pieces, pieces.size()));
}

// ---- the address book file ----------------------------------------------------

void CAddressBookDlg::LoadAddressBook() {
    m_wCurrentItem = 0;
    m_aDestinations.SetSize(0);
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
    std::map<std::int32_t, std::int32_t> renumbered;
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) {
        CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
        renumbered[person.m_nID] = slot;
        person.m_nID = slot;
    }
    auto renumber = [&renumbered](std::int32_t id) {
        auto found = renumbered.find(id);
        return found == renumbered.end() ? id : found->second;
    };
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    for (int line = 0; line < list.GetCount(); ++line) {
        std::uint32_t data = list.GetItemData(line);
        if (!IsCompanyItem(data)) list.SetItemData(line, static_cast<std::uint32_t>(renumber(static_cast<std::int32_t>(data))));
    }
    for (int i = 0; i < m_aDestinations.GetSize(); ++i) m_aDestinations[i] = renumber(m_aDestinations[i]);
    if (!IsCompanyItem(m_wCurrentItem)) m_wCurrentItem = static_cast<std::uint16_t>(renumber(m_wCurrentItem));
    m_book.m_nNextID = m_book.m_nEntryCount;
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
    ++m_book.m_nEntryCount;
    ++m_book.m_nNextID;
    SaveAddressBook();
}

void CAddressBookDlg::OnEntryProperties() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return;
    std::uint32_t data = list.GetItemData(line);
    m_wCurrentItem = static_cast<std::uint16_t>(data);
    if (IsCompanyItem(data)) return;
    CAddressEntry* person = m_book.FindPerson(static_cast<std::int32_t>(data));
    if (!person) return;

    CEntryPropertyDlg dialog;
    dialog.Load(*person);
    if (dialog.DoModal() != IDOK) return;
    dialog.Store(*person);

    // A member line of the company view keeps its prefix.
    std::string text = StartsWith(list.GetText(line), kMemberPrefix) && m_nDisplayMode == 1
                           ? kMemberPrefix + person->m_strName
                           : person->m_strName;
    list.DeleteString(line);
    list.InsertString(line, text);
    list.SetItemData(line, static_cast<std::uint32_t>(person->m_nID));
    list.SetCurSel(line);

    CListBox destinations = ListBox(IDC_DESTINATION_LIST);
    int count = destinations.GetCount();
    for (int i = 0; i < count && i < m_aDestinations.GetSize(); ++i) {
        if (m_aDestinations[i] != person->m_nID) continue;
        destinations.DeleteString(i);
        destinations.InsertString(i, person->m_strName);
    }
    SaveAddressBook();
}

void CAddressBookDlg::OnDeleteEntry() {
    CListBox list = ListBox(IDC_ADDRESS_LIST);
    int line = list.GetCurSel();
    if (line == LB_ERR) return;
    std::uint32_t data = list.GetItemData(line);
    m_wCurrentItem = static_cast<std::uint16_t>(data);
    if (IsCompanyItem(data)) {
        AfxMessageBox(msg::kCannotDeleteCompany);
        return;
    }
    if (AfxMessageBox(msg::kConfirmDelete, MB_OKCANCEL) != IDOK) return;

    CListBox destinations = ListBox(IDC_DESTINATION_LIST);
    for (int i = 0; i < m_aDestinations.GetSize();) {
        if (m_aDestinations[i] != m_wCurrentItem) {
            ++i;
            continue;
        }
        destinations.DeleteString(i);
        m_aDestinations.RemoveAt(i);
        EnableItem(IDC_REMOVE_DESTINATIONS, !destinations.GetSelItems(1).empty());
    }
    m_book.RemoveAt(m_book.FindSlot(m_wCurrentItem));
    EnablePersonButtons(false);
    SaveAddressBook();
    list.DeleteString(line);
}

// ---- tips on the lines ---------------------------------------------------------

std::string CAddressBookDlg::LineTip(int listId, int line) {
    if (line < 0) return std::string();
    std::int32_t id = CAddressEntry::kNoID;
    if (listId == IDC_DESTINATION_LIST) {
        if (line >= m_aDestinations.GetSize()) return std::string();
        id = static_cast<std::uint16_t>(m_aDestinations[line]);
    } else if (listId == IDC_ADDRESS_LIST) {
        CListBox list = ListBox(IDC_ADDRESS_LIST);
        if (line >= list.GetCount()) return std::string();
        std::uint32_t data = list.GetItemData(line);
        if (IsCompanyItem(data)) {
            std::uint32_t k = data - CAddressBook::kCompanyItemBase;
            if (k >= m_book.m_aCompanies.size()) return std::string();
            const std::string& company = m_book.m_aCompanies[k].m_strCompanyName;
            int members = 0;
            for (int slot = 0; slot < m_book.m_nEntryCount; ++slot)
                members += m_book.m_aEntries[static_cast<std::size_t>(slot)].m_strCompany == company ? 1 : 0;
            return "人数: " + std::to_string(members) + "人";
        }
        id = static_cast<std::int32_t>(data);
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
    if ((nID & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;
    OnAbout();
    return 0;
}

std::optional<LRESULT> CAddressBookDlg::OnPaint(WPARAM, LPARAM) {
    if (!ThePlatform().PaintMinimisedIcon(GetSafeHwnd(), m_hIcon)) return std::nullopt;
    return 0;
}

std::optional<LRESULT> CAddressBookDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}
