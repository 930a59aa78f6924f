#include "picker/picker_session.h"

#include "picker/messages.h"
#include "picker/person_search.h"

namespace {

// The six texts the entry dialogs edit; columns 7 to 13 and the ID stay.
void SetEditedTexts(CAddressEntry& person, const CAddressEntry& texts) {
    person.m_strName = texts.m_strName;
    person.m_strNameReading = texts.m_strNameReading;
    person.m_strCompany = texts.m_strCompany;
    person.m_strCompanyReading = texts.m_strCompanyReading;
    person.m_strDepartment = texts.m_strDepartment;
    person.m_strFaxNumber = texts.m_strFaxNumber;
}

}  // namespace

PickerSession::PickerSession(Files& files, Registry& registry, const std::string& driverName)
    : m_bookStore(files), m_printer(registry, driverName) {}

// ---- start ----------------------------------------------------------------------

void PickerSession::ReadFaxNumberBook() {
    StoredTexts texts = m_printer.Read();
    m_strFaxNumberBook2 = texts.names;
    m_strFaxNumberBook = texts.faxNumbers;
}

std::vector<std::string> PickerSession::LoadAddressBook() {
    m_aDestinations.Clear();
    const BookLoad loaded = m_bookStore.Load(m_book);
    m_bookState = loaded.state;
    std::vector<std::string> messages;
    switch (loaded.state) {
    case FileContents::State::Missing:
        messages.push_back(msg::kCannotOpenBook);
        break;
    case FileContents::State::Unreadable:
        messages.push_back(msg::WithCause(msg::kCannotReadBook, loaded.fault));
        break;
    case FileContents::State::Uncertain:
        messages.push_back(msg::kCannotReadJournal);
        break;
    case FileContents::State::Read:
        break;
    }
    if (loaded.tooManyPersons) messages.push_back(msg::kTooManyPersons);
    m_nDisplayMode = 0;
    return messages;
}

void PickerSession::Start() {
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) m_book.m_aEntries[static_cast<std::size_t>(slot)].m_nID = slot;
    m_addressLines.ShowPersons(m_book);
    // Matched against a book that was not read, every stored destination
    // would be dropped from the printer's values.
    if (m_bookState == FileContents::State::Unreadable) return;
    DestinationPieces written = m_aDestinations.Restore(m_book, {m_strFaxNumberBook, m_strFaxNumberBook2});
    // Nor is a book that may be a save cut short the one to drop them by.
    if (m_bookState != FileContents::State::Uncertain) WriteFaxNumberBook(written);
}

// ---- the address book list --------------------------------------------------------

bool PickerSession::ShowMode(int mode) {
    if (mode == m_nDisplayMode) return false;
    if (mode == 1)
        m_addressLines.ShowCompanies(m_book);
    else
        m_addressLines.ShowPersons(m_book);
    m_nDisplayMode = mode;
    return true;
}

std::string PickerSession::LineText(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    if (!at) return std::string();
    if (at->IsCompany()) return CompanyLineText(m_book.m_aCompanies[static_cast<std::size_t>(at->company)].m_strCompanyName);
    // The person view lists the persons in slot order: look no further than the slot.
    const CAddressEntry* person = line < m_book.m_nEntryCount ? &m_book.m_aEntries[static_cast<std::size_t>(line)] : nullptr;
    if (!person || person->m_nID != at->person) person = m_book.FindPerson(at->person);
    const std::string name = person ? person->m_strName : std::string();
    return at->kind == AddressLine::Kind::Member ? MemberLineText(name) : name;
}

std::uint32_t PickerSession::LineItemData(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at ? at->ItemData() : 0;
}

const CAddressEntry* PickerSession::PersonOn(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at && !at->IsCompany() ? m_book.FindPerson(at->person) : nullptr;
}

Splice PickerSession::ExpandOrCollapse(int line) {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || !at->IsCompany()) return {line + 1};
    if (at->expanded) return {line + 1, m_addressLines.Collapse(line), 0};
    return {line + 1, 0, static_cast<int>(m_addressLines.Expand(m_book, line).size())};
}

int PickerSession::CompanyForKey(int line, bool expand) const {
    const AddressLine* at = m_addressLines.At(line);
    if (!at) return -1;
    if (at->IsCompany()) return at->expanded == expand ? -1 : line;
    return expand ? -1 : m_addressLines.CompanyLineOf(line);
}

// ---- destinations -------------------------------------------------------------------

std::string PickerSession::NameOf(std::int32_t id) const {
    const CAddressEntry* person = m_book.FindPerson(id);
    return person ? person->m_strName : std::string();
}

std::string PickerSession::DestinationText(int line) const {
    return line >= 0 && line < DestinationCount() ? NameOf(m_aDestinations[line]) : std::string();
}

DestinationList::Added PickerSession::AddDestination(int line) {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || at->IsCompany()) return {};
    return m_aDestinations.Add(m_book, at->person);
}

std::vector<int> PickerSession::RemoveDestinations(const std::vector<int>& selected) {
    return m_aDestinations.RemoveLines(selected);
}

std::string PickerSession::LineTip(bool destinationList, int line) const {
    std::int32_t id = CAddressEntry::kNoID;
    if (destinationList) {
        if (line < 0 || line >= DestinationCount()) return std::string();
        id = static_cast<std::uint16_t>(m_aDestinations[line]);
    } else {
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

// ---- the book ---------------------------------------------------------------------

FileFault PickerSession::Apply(const BookChange& change) {
    switch (change.kind) {
    case BookChange::Kind::Create: {
        CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(m_book.m_nEntryCount++)];
        person = CAddressEntry();
        SetEditedTexts(person, change.after);
        person.m_nID = m_book.m_nNextID++;
        break;
    }
    case BookChange::Kind::Edit:
        if (CAddressEntry* person = m_book.FindPerson(change.before.m_nID)) SetEditedTexts(*person, change.after);
        break;
    case BookChange::Kind::Delete:
        m_book.RemoveAt(m_book.FindSlot(change.before.m_nID));
        break;
    }
    return m_bookStore.Save(m_book);
}

EntryResult PickerSession::CreatePerson(const CAddressEntry& fields) {
    EntryResult result;
    // IDs handed out in a long run would reach the company lines' item data.
    if (static_cast<std::uint32_t>(m_book.m_nNextID) >= CAddressBook::kCompanyItemBase) {
        const std::map<std::int32_t, std::int32_t> renumbered = m_book.Renumber();
        m_addressLines.Renumber(renumbered);
        m_aDestinations.Renumber(renumbered);
        result.renumbered = true;
    }
    result.saved = Apply({BookChange::Kind::Create, {}, fields});
    // A line of its own at the end, in either view.
    m_addressLines.Append(m_book.m_nNextID - 1);
    result.addressLines = {m_addressLines.Count() - 1, 0, 1};
    return result;
}

EntryResult PickerSession::EditPerson(int line, const CAddressEntry& fields) {
    const CAddressEntry* person = PersonOn(line);
    if (!person) return {};
    EntryResult result;
    result.saved = Apply({BookChange::Kind::Edit, *person, fields});
    result.addressLines = {line, 1, 1};
    result.destinationLines = m_aDestinations.LinesOf(person->m_nID);
    return result;
}

EntryResult PickerSession::DeletePerson(int line) {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || at->IsCompany()) return {};
    EntryResult result;
    BookChange change{BookChange::Kind::Delete, {}, {}};
    const CAddressEntry* person = m_book.FindPerson(at->person);
    change.before = person ? *person : CAddressEntry();
    change.before.m_nID = at->person;
    result.destinationLines = m_aDestinations.RemovePerson(at->person);
    result.saved = Apply(change);
    m_addressLines.Remove(line);
    result.addressLines = {line, 1, 0};
    return result;
}

PickerSession::Found PickerSession::FindPerson(const std::string& text, int selectedLine, bool forward) {
    const AddressLine* selected = m_addressLines.At(selectedLine);
    const int from = selected && !selected->IsCompany() ? m_book.FindSlot(selected->person) : -1;
    const int slot = FindPersonSlot(m_book, PersonQuery(text), from, forward);
    if (slot < 0) return {};
    const CAddressEntry& person = m_book.m_aEntries[static_cast<std::size_t>(slot)];
    Found found;
    if (m_nDisplayMode == 1) {
        // As Right would: the company opens on its members.
        const int company = m_addressLines.LineOfCompany(m_book, person.m_strCompany);
        if (company >= 0 && !m_addressLines.At(company)->expanded) found.expanded = ExpandOrCollapse(company);
    }
    found.line = m_addressLines.LineOfPerson(person.m_nID);
    return found;
}

// ---- the end ----------------------------------------------------------------------

PickerSession::Finish PickerSession::WriteFaxNumberBook() {
    const DestinationPieces pieces = m_aDestinations.Pieces(m_book);
    // The driver would get a shortened list; let the user choose what goes.
    if (CheckDestinations(pieces, DestinationCheck::Texts) != DestinationBreach::None) return Finish::TextsOver255;
    return WriteFaxNumberBook(pieces) == StoreResult::Failed ? Finish::NotStored : Finish::Stored;
}

StoreResult PickerSession::WriteFaxNumberBook(const DestinationPieces& pieces) {
    return m_printer.Write(JoinPieces(pieces, pieces.size()));
}
