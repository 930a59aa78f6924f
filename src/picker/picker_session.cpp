#include "picker/picker_session.h"

#include <algorithm>
#include <memory>
#include <set>

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

// A person of |texts| in the slot after the last, which keeps nothing of its last holder.
CAddressEntry& AppendPerson(CAddressBook& book, const CAddressEntry& texts) {
    CAddressEntry& person = book.m_aEntries[static_cast<std::size_t>(book.m_nEntryCount++)];
    person = CAddressEntry();
    SetEditedTexts(person, texts);
    return person;
}

}  // namespace

PickerSession::PickerSession(Files& files, Registry& registry, const std::string& driverName)
    : m_location(LocateBook(files, registry)), m_bookStore(files, m_location), m_printer(registry, driverName) {}

// ---- start ----------------------------------------------------------------------

void PickerSession::ReadFaxNumberBook() {
    StoredTexts texts = m_printer.Read();
    m_strFaxNumberBook2 = texts.names;
    m_strFaxNumberBook = texts.faxNumbers;
}

std::vector<std::string> PickerSession::LoadAddressBook() {
    m_aDestinations.Clear();
    m_nDisplayMode = 0;
    if (m_location.problem != BookLocation::Problem::None) {
        // Shown as a book that could not be read; never the system directory's instead.
        m_book.Clear();
        m_bookState = FileContents::State::Unreadable;
        return {msg::CannotUseFolder(m_location)};
    }
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
    return at ? at->text : std::string();
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

namespace {

// The 13 columns as one text, to look a row up by.
std::string RowKey(const CAddressEntry& row) {
    std::string key;
    for (auto column : CAddressEntry::kColumns) key += row.*column + '\0';
    return key;
}

bool SameRow(const CAddressEntry& a, const CAddressEntry& b) {
    for (auto column : CAddressEntry::kColumns)
        if (a.*column != b.*column) return false;
    return true;
}

// The slot of the |occurrence|-th person equal to |row| in all 13 columns; -1 when none.
int SlotOfRow(const CAddressBook& book, const CAddressEntry& row, int occurrence) {
    for (int slot = 0; slot < book.m_nEntryCount; ++slot)
        if (SameRow(book.m_aEntries[static_cast<std::size_t>(slot)], row) && occurrence-- == 0) return slot;
    return -1;
}

// Which of the persons equal to the one in |slot| it is.
int OccurrenceAt(const CAddressBook& book, int slot) {
    int occurrence = 0;
    for (int before = 0; before < slot; ++before)
        occurrence += SameRow(book.m_aEntries[static_cast<std::size_t>(before)], book.m_aEntries[static_cast<std::size_t>(slot)]);
    return occurrence;
}

}  // namespace

std::vector<PickerSession::ChosenRow> PickerSession::ChosenRows() const {
    std::vector<ChosenRow> chosen;
    for (int line = 0; line < m_aDestinations.GetSize(); ++line) {
        const int slot = m_book.FindSlot(m_aDestinations[line]);
        if (slot >= 0) chosen.push_back({m_book.m_aEntries[static_cast<std::size_t>(slot)], OccurrenceAt(m_book, slot)});
    }
    return chosen;
}

EntryResult PickerSession::Apply(const BookChange& change) {
    // The destinations as who they are, should the book on disk have changed
    // meanwhile: an edited person's as edited; a deleted person's as he
    // was, until the delete is made.
    std::vector<ChosenRow> chosen;
    if (change.kind == BookChange::Kind::Delete) chosen = ChosenRows();
    switch (change.kind) {
    case BookChange::Kind::Create:
        AppendPerson(m_book, change.after).m_nID = m_book.m_nNextID++;
        break;
    case BookChange::Kind::Edit:
        if (CAddressEntry* person = m_book.FindPerson(change.before.m_nID)) SetEditedTexts(*person, change.after);
        break;
    case BookChange::Kind::Delete:
        m_book.RemoveAt(m_book.FindSlot(change.before.m_nID));
        break;
    }
    if (change.kind != BookChange::Kind::Delete) chosen = ChosenRows();
    EntryResult result;
    auto now = std::make_unique<CAddressBook>();
    Refusal why = Refusal::None;
    const BookStore::Saved saved = m_bookStore.Save(m_book, [&](CAddressBook& book) { return Reapply(book, change, why); }, *now);
    result.saved = saved.fault;
    result.rebuilt = saved.rebased;
    if (!result.rebuilt) {
        if (result.saved != FileFault::None) result.messages.push_back(msg::WithCause(msg::kCannotWriteBook, result.saved));
        return result;
    }

    // Someone saved the book meanwhile: it is shown as saved now, or as it is.
    if (!saved.personsBeyond.empty()) why = Refusal::Overfull;
    if (why == Refusal::None && change.kind == BookChange::Kind::Delete) {
        // Deleted on purpose: not a destination that left.
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                    [&](const ChosenRow& row) {
                                        return row.occurrence == change.occurrence && SameRow(row.person, change.before);
                                    }),
                     chosen.end());
    }
    std::vector<std::string> gone = Adopt(*now, chosen);
    switch (why) {
    case Refusal::None:
        if (result.saved != FileFault::None) result.messages.push_back(msg::WithCause(msg::kCannotWriteBook, result.saved));
        break;
    case Refusal::Changed:
    case Refusal::Full:
        result.messages.push_back(std::string(msg::kCannotWriteBook) + "\n" +
                                  (why == Refusal::Full ? msg::kBookFilledMeanwhile : msg::kPersonChangedMeanwhile));
        break;
    case Refusal::Overfull:
        result.messages.push_back(std::string(msg::kCannotWriteBook) + "\n" + msg::BookOverfullMeanwhile(saved.personsBeyond));
        break;
    }
    if (!gone.empty()) result.messages.push_back(msg::DestinationsGone(gone));
    if (why == Refusal::None && change.kind != BookChange::Kind::Delete) {
        const int slot = change.kind == BookChange::Kind::Create ? m_book.m_nEntryCount - 1 : -1;
        CAddressEntry edited = change.before;
        SetEditedTexts(edited, change.after);
        const int at = slot >= 0 ? slot : SlotOfRow(m_book, edited, 0);
        if (at >= 0) result.selected = ShowPerson(m_book.m_aEntries[static_cast<std::size_t>(at)]).line;
    }
    return result;
}

PickerSession::Found PickerSession::ShowPerson(const CAddressEntry& person) {
    Found found;
    if (m_nDisplayMode == 1) {
        // As Right would: the company opens on its members.
        const int company = m_addressLines.LineOfCompany(m_book, person.m_strCompany);
        if (company >= 0 && !m_addressLines.At(company)->expanded) found.expanded = ExpandOrCollapse(company);
    }
    found.line = m_addressLines.LineOfPerson(person.m_nID);
    return found;
}

bool PickerSession::Reapply(CAddressBook& book, const BookChange& change, Refusal& why) const {
    if (change.kind == BookChange::Kind::Create) {
        if (book.m_nEntryCount >= CAddressBook::kMaxEntries) {
            why = Refusal::Full;
            return false;
        }
        AppendPerson(book, change.after);
        return true;
    }
    const int slot = SlotOfRow(book, change.before, change.occurrence);
    if (change.kind == BookChange::Kind::Edit) {
        if (slot < 0) why = Refusal::Changed;
        if (slot >= 0) SetEditedTexts(book.m_aEntries[static_cast<std::size_t>(slot)], change.after);
        return slot >= 0;
    }
    if (slot >= 0) {
        book.RemoveAt(slot);
        return true;
    }
    // Gone counts as deleted, when all the other side did was delete; a row
    // this run never saw may be the person, changed.
    std::set<std::string> seen;
    for (int other = 0; other < m_book.m_nEntryCount; ++other) seen.insert(RowKey(m_book.m_aEntries[static_cast<std::size_t>(other)]));
    for (int other = 0; other < book.m_nEntryCount; ++other) {
        if (!seen.count(RowKey(book.m_aEntries[static_cast<std::size_t>(other)]))) {
            why = Refusal::Changed;
            return false;
        }
    }
    return true;
}

std::vector<std::string> PickerSession::Adopt(const CAddressBook& now, const std::vector<ChosenRow>& chosen) {
    std::vector<std::string> expanded;
    for (int line = 0; line < m_addressLines.Count(); ++line) {
        const AddressLine& at = *m_addressLines.At(line);
        if (at.IsCompany() && at.expanded)
            expanded.push_back(m_book.m_aCompanies[static_cast<std::size_t>(at.company)].m_strCompanyName);
    }

    m_book = now;
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) m_book.m_aEntries[static_cast<std::size_t>(slot)].m_nID = slot;
    m_book.m_nNextID = m_book.m_nEntryCount;

    std::vector<std::int32_t> kept;
    std::vector<std::string> gone;
    for (const auto& [person, occurrence] : chosen) {
        const int slot = SlotOfRow(m_book, person, occurrence);
        if (slot >= 0)
            kept.push_back(slot);
        else if (std::find(gone.begin(), gone.end(), person.m_strName) == gone.end())
            gone.push_back(person.m_strName);
    }
    m_aDestinations.Assign(kept);

    if (m_nDisplayMode == 1) {
        m_addressLines.ShowCompanies(m_book);
        for (const std::string& company : expanded) {
            const int line = m_addressLines.LineOfCompany(m_book, company);
            if (line >= 0) m_addressLines.Expand(m_book, line);
        }
    } else {
        m_addressLines.ShowPersons(m_book);
    }
    return gone;
}

EntryResult PickerSession::CreatePerson(const CAddressEntry& fields) {
    bool renumbered = false;
    // IDs handed out in a long run would reach the company lines' item data.
    if (static_cast<std::uint32_t>(m_book.m_nNextID) >= CAddressBook::kCompanyItemBase) {
        const std::map<std::int32_t, std::int32_t> ids = m_book.Renumber();
        m_addressLines.Renumber(ids);
        m_aDestinations.Renumber(ids);
        renumbered = true;
    }
    BookChange change{BookChange::Kind::Create, {}, fields};
    EntryResult result = Apply(change);
    if (result.rebuilt) return result;
    // A line of its own at the end, in either view; renumbered, every line's item data changed.
    m_addressLines.Append(m_book.m_aEntries[static_cast<std::size_t>(m_book.m_nEntryCount - 1)]);
    const int count = m_addressLines.Count();
    result.addressLines = renumbered ? Splice{0, count - 1, count} : Splice{count - 1, 0, 1};
    return result;
}

EntryResult PickerSession::EditPerson(int line, const CAddressEntry& fields) {
    const CAddressEntry* person = PersonOn(line);
    if (!person) return {};
    const BookChange change{BookChange::Kind::Edit, *person, fields, OccurrenceAt(m_book, m_book.FindSlot(person->m_nID))};
    EntryResult result = Apply(change);
    if (result.rebuilt) return result;
    m_addressLines.Rename(line, fields.m_strName);
    result.addressLines = {line, 1, 1};
    result.destinationLines = m_aDestinations.LinesOf(change.before.m_nID);
    return result;
}

EntryResult PickerSession::DeletePerson(int line) {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || at->IsCompany()) return {};
    const std::int32_t id = at->person;
    BookChange change{BookChange::Kind::Delete, {}, {}};
    const int slot = m_book.FindSlot(id);
    if (slot >= 0) {
        change.before = m_book.m_aEntries[static_cast<std::size_t>(slot)];
        change.occurrence = OccurrenceAt(m_book, slot);
    }
    change.before.m_nID = id;
    EntryResult result = Apply(change);
    if (result.rebuilt) return result;
    result.destinationLines = m_aDestinations.RemovePerson(id);
    m_addressLines.Remove(line);
    result.addressLines = {line, 1, 0};
    return result;
}

PickerSession::Found PickerSession::FindPerson(const std::string& text, int selectedLine, bool forward) {
    const AddressLine* selected = m_addressLines.At(selectedLine);
    const int from = selected && !selected->IsCompany() ? m_book.FindSlot(selected->person) : -1;
    const int slot = FindPersonSlot(m_book, PersonQuery(text), from, forward);
    if (slot < 0) return {};
    return ShowPerson(m_book.m_aEntries[static_cast<std::size_t>(slot)]);
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
