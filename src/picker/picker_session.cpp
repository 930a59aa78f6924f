#include "picker/picker_session.h"

#include <algorithm>
#include <memory>

#include "picker/messages.h"
#include "picker/person_search.h"


PickerSession::PickerSession(Files& files, Registry& registry, const std::string& driverName)
    : m_location(LocateBook(files, registry)), m_bookStore(files, m_location), m_printer(registry, driverName) {}

// ---- start ----------------------------------------------------------------------

std::vector<std::string> PickerSession::Open() {
    ReadFaxNumberBook();
    return LoadAddressBook();
}

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
    if (loaded.groupsState == FileContents::State::Unreadable)
        messages.push_back(msg::WithGroupsCause(msg::kCannotReadGroups, loaded.groupsFault));
    if (loaded.groupsState == FileContents::State::Uncertain) messages.push_back(msg::kCannotReadGroupsJournal);
    if (loaded.groupsDropped > 0) messages.push_back(msg::kTooManyGroups);
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
    m_nDisplayMode = mode;
    ShowView({});
    return true;
}

std::vector<std::string> PickerSession::OpenNames() const {
    std::vector<std::string> open;
    for (int line = 0; line < m_addressLines.Count(); ++line)
        if (m_addressLines.At(line)->expanded) open.push_back(m_addressLines.NameOn(m_book, line));
    return open;
}

void PickerSession::ShowView(const std::vector<std::string>& open) {
    if (m_nDisplayMode == 1)
        m_addressLines.ShowCompanies(m_book);
    else if (m_nDisplayMode == 2)
        m_addressLines.ShowGroups(m_book);
    else
        m_addressLines.ShowPersons(m_book);
    for (const std::string& name : open) {
        const int line = m_nDisplayMode == 1 ? m_addressLines.LineOfCompany(m_book, name)
                                             : m_addressLines.LineOfGroup(m_book, name);
        if (line >= 0) m_addressLines.Expand(m_book, line);
    }
}

std::string PickerSession::LineText(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at ? at->text : std::string();
}

bool PickerSession::IsCompanyLine(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at && at->IsCompany();
}

bool PickerSession::IsGroupLine(int line) const { return GroupOn(line) != nullptr; }

bool PickerSession::OpensOnMembers(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at && at->Opens();
}

const CGroup* PickerSession::GroupOn(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || at->kind != AddressLine::Kind::Group || at->company >= static_cast<int>(m_book.m_aGroups.size()))
        return nullptr;
    return &m_book.m_aGroups[static_cast<std::size_t>(at->company)];
}

std::uint32_t PickerSession::LineItemData(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at ? at->ItemData() : 0;
}

const CAddressEntry* PickerSession::PersonOn(int line) const {
    const AddressLine* at = m_addressLines.At(line);
    return at && at->ShowsPerson() ? m_book.FindPerson(at->person) : nullptr;
}

Splice PickerSession::ExpandOrCollapse(int line) {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || !at->Opens()) return {line + 1};
    if (at->expanded) return {line + 1, m_addressLines.Collapse(line), 0};
    return {line + 1, 0, m_addressLines.Expand(m_book, line)};
}

int PickerSession::CompanyForKey(int line, UINT virtualKey) const {
    const bool expand = virtualKey == VK_RIGHT || virtualKey == VK_ADD || virtualKey == VK_OEM_PLUS;
    const bool collapse = virtualKey == VK_LEFT || virtualKey == VK_SUBTRACT || virtualKey == VK_OEM_MINUS;
    const AddressLine* at = m_addressLines.At(line);
    if (!at || !(expand || collapse)) return -1;
    if (at->Opens()) return at->expanded == expand ? -1 : line;
    return expand ? -1 : m_addressLines.CompanyLineOf(line);
}

// ---- destinations -------------------------------------------------------------------

std::string PickerSession::NameOf(std::int32_t id) const {
    const CAddressEntry* person = m_aDestinations.PersonOf(m_book, id);
    return person ? person->m_strName : std::string();
}

int PickerSession::SlotWithNameAndNumber(const CAddressEntry& person) const {
    return SlotOfMember(m_book, MemberOf(person));
}

PickerSession::Added PickerSession::AddOutsiders(const std::vector<CAddressEntry>& persons) {
    std::vector<std::int32_t> ids;
    for (const CAddressEntry& person : persons) {
        // One the book holds already is the book's person.
        const int slot = SlotWithNameAndNumber(person);
        ids.push_back(slot >= 0 ? m_book.m_aEntries[static_cast<std::size_t>(slot)].m_nID : m_aDestinations.Outsider(person));
    }
    const DestinationList::AddedAll added = m_aDestinations.AddAll(m_book, ids);
    if (added.refused != DestinationBreach::None)
        return {{}, {}, {msg::OutsidersDoNotFit(static_cast<int>(persons.size()), added.refused, added.fitting)}};
    Added result;
    for (std::int32_t id : added.added) result.lines.push_back(NameOf(id));
    return result;
}

std::string PickerSession::DestinationText(int line) const {
    return line >= 0 && line < DestinationCount() ? NameOf(m_aDestinations[line]) : std::string();
}

PickerSession::Added PickerSession::AddDestination(int line) {
    Added result;
    if (const CGroup* group = GroupOn(line)) {
        if (group->m_aMembers.empty()) return {{}, {}, {msg::EmptyGroup(group->m_strName)}};
        const std::vector<std::int32_t> members = MembersOf(m_book, *group);
        const DestinationList::AddedAll added = m_aDestinations.AddAll(m_book, members);
        if (added.refused != DestinationBreach::None)
            return {{}, {}, {msg::GroupDoesNotFit(group->m_strName, added.refused, added.fitting)}};
        for (std::int32_t person : added.added) result.lines.push_back(NameOf(person));
        const std::vector<std::string> notFound = NamesNotFound(m_book, *group);
        if (!notFound.empty()) result.messages.push_back(msg::MembersNotFound(notFound));
        return result;
    }
    const AddressLine* at = m_addressLines.At(line);
    if (!at || !at->ShowsPerson()) return {};
    const DestinationList::Added added = m_aDestinations.Add(m_book, at->person);
    if (added.line) result.lines.push_back(NameOf(at->person));
    for (DestinationBreach breach : added.refused) result.refusals.push_back(msg::Refused(breach));
    return result;
}

std::vector<int> PickerSession::RemoveDestinations(const std::vector<int>& selected) {
    return m_aDestinations.RemoveLines(selected);
}

std::string PickerSession::LineTip(bool destinationList, int line) const {
    std::int32_t id = CAddressEntry::kNoID;
    if (destinationList) {
        if (line < 0 || line >= DestinationCount()) return std::string();
        id = m_aDestinations[line];
    } else {
        const AddressLine* at = m_addressLines.At(line);
        if (!at) return std::string();
        if (const CGroup* group = GroupOn(line))
            return "ｸﾞﾙｰﾌﾟ: " + group->m_strName + "\n読み: " + group->m_strReading + "\n人数: " +
                   std::to_string(group->m_aMembers.size()) + "人";
        if (at->kind == AddressLine::Kind::NotFound) return "ｱﾄﾞﾚｽ帳に見つかりません";
        if (at->IsCompany()) {
            const std::string& company = m_book.m_aCompanies[static_cast<std::size_t>(at->company)].m_strCompanyName;
            return "人数: " + std::to_string(MembersOf(m_book, company).size()) + "人";
        }
        id = at->person;
    }
    const CAddressEntry* person = m_aDestinations.PersonOf(m_book, id);
    if (!person) return std::string();
    return "名前(読み): " + person->m_strNameReading + "\n会社: " + CompanyLineText(person->m_strCompany) +
           "\n部署: " + person->m_strDepartment + "\nFAX番号: " + person->m_strFaxNumber;
}

// ---- the book ---------------------------------------------------------------------

std::vector<PickerSession::ChosenRow> PickerSession::ChosenRows() const {
    std::vector<ChosenRow> chosen;
    for (int line = 0; line < m_aDestinations.GetSize(); ++line) {
        const int slot = m_book.FindSlot(m_aDestinations[line]);
        if (slot >= 0) chosen.push_back({m_book.m_aEntries[static_cast<std::size_t>(slot)], OccurrenceAt(m_book, slot)});
        if (const CAddressEntry* outsider = m_aDestinations[line] < CAddressEntry::kNoID
                                                ? m_aDestinations.PersonOf(m_book, m_aDestinations[line])
                                                : nullptr)
            chosen.push_back({*outsider, kOutsider});
    }
    return chosen;
}

EntryResult PickerSession::Apply(const BookChange& change) {
    const auto cannotWrite = [](const BookStore::Saved& saved) {
        return saved.groupsFault ? msg::WithGroupsCause(msg::kCannotWriteGroups, saved.fault)
                                 : msg::WithCause(msg::kCannotWriteBook, saved.fault);
    };
    // The destinations as who they are, should the book on disk have changed
    // meanwhile: an edited person's as edited; a deleted person's as he
    // was, until the delete is made.
    std::vector<ChosenRow> chosen;
    if (change.kind == BookChange::Kind::Delete) chosen = ChosenRows();
    ApplyChange(m_book, change);
    if (change.kind != BookChange::Kind::Delete) chosen = ChosenRows();
    EntryResult result;
    auto now = std::make_unique<CAddressBook>();
    const BookStore::Saved saved = m_bookStore.Save(m_book, change, *now);
    result.saved = saved.fault;
    result.rebuilt = saved.rebased;
    if (!result.rebuilt) {
        if (result.saved != FileFault::None) result.messages.push_back(cannotWrite(saved));
        return result;
    }

    // Someone saved the book meanwhile: it is shown as saved now, or as it is.
    if (saved.refusal == ChangeRefusal::None && change.kind == BookChange::Kind::Delete) {
        // Deleted on purpose: not a destination that left.
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                    [&](const ChosenRow& row) {
                                        return row.occurrence == change.occurrence && SameRow(row.person, change.before);
                                    }),
                     chosen.end());
    }
    std::vector<std::string> gone = Adopt(*now, chosen);
    switch (saved.refusal) {
    case ChangeRefusal::None:
        if (result.saved != FileFault::None) result.messages.push_back(cannotWrite(saved));
        break;
    case ChangeRefusal::Changed:
        result.messages.push_back(std::string(msg::kCannotWriteBook) + "\n" + msg::kPersonChangedMeanwhile);
        break;
    case ChangeRefusal::Full:
        result.messages.push_back(std::string(msg::kCannotWriteBook) + "\n" + msg::kBookFilledMeanwhile);
        break;
    case ChangeRefusal::Overfull:
        result.messages.push_back(std::string(msg::kCannotWriteBook) + "\n" + msg::BookOverfullMeanwhile(saved.personsBeyond));
        break;
    case ChangeRefusal::GroupChanged:
        result.messages.push_back(std::string(msg::kCannotWriteGroups) + "\n" + msg::kGroupChangedMeanwhile);
        break;
    case ChangeRefusal::GroupsFull:
        result.messages.push_back(std::string(msg::kCannotWriteGroups) + "\n" + msg::kGroupsFilledMeanwhile);
        break;
    case ChangeRefusal::GroupsOverfull:
        result.messages.push_back(std::string(msg::kCannotWriteGroups) + "\n" + msg::kTooManyGroups);
        break;
    }
    if (!gone.empty()) result.messages.push_back(msg::DestinationsGone(gone));
    // The slot the change made in the book as saved: of two equal rows, the very one edited.
    result.selected = saved.slot >= 0 && saved.slot < m_book.m_nEntryCount
                          ? ShowPerson(m_book.m_aEntries[static_cast<std::size_t>(saved.slot)]).line
                          : -1;
    return result;
}

PickerSession::Found PickerSession::ShowPerson(const CAddressEntry& person) {
    Found found;
    int opens = -1;  // as Right would: the company (the first group listing him) opens on its members
    if (m_nDisplayMode == 1) opens = m_addressLines.LineOfCompany(m_book, person.m_strCompany);
    for (std::size_t k = 0; m_nDisplayMode == 2 && opens < 0 && k < m_book.m_aGroups.size(); ++k) {
        const std::vector<GroupMember>& members = m_book.m_aGroups[k].m_aMembers;
        if (std::find(members.begin(), members.end(), MemberOf(person)) != members.end())
            opens = m_addressLines.LineOfGroup(m_book, m_book.m_aGroups[k].m_strName);
    }
    if (opens >= 0 && !m_addressLines.At(opens)->expanded) found.expanded = ExpandOrCollapse(opens);
    found.line = m_addressLines.LineOfPerson(person.m_nID);
    return found;
}

std::vector<std::string> PickerSession::Adopt(const CAddressBook& now, const std::vector<ChosenRow>& chosen) {
    const std::vector<std::string> open = OpenNames();

    m_book = now;
    for (int slot = 0; slot < m_book.m_nEntryCount; ++slot) m_book.m_aEntries[static_cast<std::size_t>(slot)].m_nID = slot;
    m_book.m_nNextID = m_book.m_nEntryCount;

    std::vector<std::int32_t> kept;
    std::vector<std::string> gone;
    for (const auto& [person, occurrence] : chosen) {
        if (occurrence == kOutsider) {
            kept.push_back(person.m_nID);  // no book's change takes him away
            continue;
        }
        const int slot = SlotOfRow(m_book, person, occurrence);
        if (slot >= 0)
            kept.push_back(slot);
        else if (std::find(gone.begin(), gone.end(), person.m_strName) == gone.end())
            gone.push_back(person.m_strName);
    }
    m_aDestinations.Assign(kept);
    ShowView(open);
    return gone;
}

std::optional<std::string> PickerSession::CreateRefusal(bool person) const {
    if (m_nDisplayMode == 2 && !person) {
        if (m_book.m_aGroups.size() >= static_cast<std::size_t>(kMaxGroups)) return msg::kNoMoreGroups;
    } else if (m_book.m_nEntryCount >= CAddressBook::kMaxEntries) {
        return msg::kNoMoreEntries;
    }
    return std::nullopt;
}

std::optional<std::string> PickerSession::DeleteRefusal(int line) const {
    if (IsCompanyLine(line)) return msg::kCannotDeleteCompany;
    const AddressLine* at = m_addressLines.At(line);
    if (at && at->kind == AddressLine::Kind::NotFound) return msg::kCannotDeleteNotFound;
    return std::nullopt;
}

std::string PickerSession::DeleteQuestion(int line) const {
    const CGroup* group = GroupOn(line);
    return group ? msg::ConfirmDeleteGroup(group->m_strName) : msg::kConfirmDelete;
}

EntryResult PickerSession::ApplyGroupChange(const BookChange& change, const std::string& shown) {
    const std::vector<std::string> open = OpenNames();
    const int drawn = m_addressLines.Count();
    EntryResult result = Apply(change);
    if (!result.rebuilt) {
        ShowView(open);
        result.addressLines = {0, drawn, m_addressLines.Count()};
    }
    result.selected = m_nDisplayMode == 2 ? m_addressLines.LineOfGroup(m_book, shown) : -1;
    return result;
}

EntryResult PickerSession::CreateGroup(const CGroup& group) {
    if (m_book.m_aGroups.size() >= static_cast<std::size_t>(kMaxGroups)) {
        EntryResult refused;
        refused.messages.push_back(msg::kNoMoreGroups);
        return refused;
    }
    BookChange change{BookChange::Kind::CreateGroup, {}, {}};
    change.groupAfter = group;
    return ApplyGroupChange(change, group.m_strName);
}

EntryResult PickerSession::EditGroup(int line, const CGroup& group) {
    const CGroup* before = GroupOn(line);
    if (!before) return {};
    BookChange change{BookChange::Kind::EditGroup, {}, {}};
    change.groupBefore = *before;
    change.groupAfter = group;
    return ApplyGroupChange(change, group.m_strName);
}

EntryResult PickerSession::DeleteLine(int line) {
    const CGroup* group = GroupOn(line);
    if (!group) return DeletePerson(line);
    BookChange change{BookChange::Kind::DeleteGroup, {}, {}};
    change.groupBefore = *group;
    EntryResult result = ApplyGroupChange(change, "");
    result.selected = -1;
    return result;
}

EntryResult PickerSession::CreatePerson(const CAddressEntry& fields) {
    // The book's table has no slot past the 1000th, whatever the view.
    if (m_book.m_nEntryCount >= CAddressBook::kMaxEntries) {
        EntryResult refused;
        refused.messages.push_back(msg::kNoMoreEntries);
        return refused;
    }
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
    // The group view lists no person of his own: only the item data may have changed.
    if (m_nDisplayMode == 2) {
        result.addressLines = {0, m_addressLines.Count(), m_addressLines.Count()};
        return result;
    }
    // A line of its own at the end, in the person and company views; renumbered, every line's item data changed.
    m_addressLines.Append(m_book.m_aEntries[static_cast<std::size_t>(m_book.m_nEntryCount - 1)]);
    const int count = m_addressLines.Count();
    result.addressLines = renumbered ? Splice{0, count - 1, count} : Splice{count - 1, 0, 1};
    return result;
}

EntryResult PickerSession::EditPerson(int line, const CAddressEntry& fields) {
    const CAddressEntry* person = PersonOn(line);
    if (!person) return {};
    const BookChange change{BookChange::Kind::Edit, *person, fields, OccurrenceAt(m_book, m_book.FindSlot(person->m_nID))};
    const std::vector<std::string> open = OpenNames();
    EntryResult result = Apply(change);
    if (result.rebuilt) return result;
    if (m_nDisplayMode == 2) {
        // The person may stand in several groups; their counts stay.
        const int drawn = m_addressLines.Count();
        ShowView(open);
        result.addressLines = {0, drawn, m_addressLines.Count()};
    } else {
        m_addressLines.Rename(line, fields.m_strName);
        result.addressLines = {line, 1, 1};
    }
    result.selected = line;
    for (int redrawn : m_aDestinations.LinesOf(change.before.m_nID)) result.destinationLines.push_back({redrawn, 1, 1});
    return result;
}

EntryResult PickerSession::DeletePerson(int line) {
    const AddressLine* at = m_addressLines.At(line);
    if (!at || !at->ShowsPerson()) return {};
    const std::int32_t id = at->person;
    const std::vector<std::string> open = OpenNames();
    BookChange change{BookChange::Kind::Delete, {}, {}};
    const int slot = m_book.FindSlot(id);
    if (slot >= 0) {
        change.before = m_book.m_aEntries[static_cast<std::size_t>(slot)];
        change.occurrence = OccurrenceAt(m_book, slot);
    }
    change.before.m_nID = id;
    EntryResult result = Apply(change);
    if (result.rebuilt) return result;
    for (int removed : m_aDestinations.RemovePerson(id)) result.destinationLines.push_back({removed, 1, 0});
    const int drawn = m_addressLines.Count();
    // In the group view, the person leaves every group's lines and counts.
    if (m_nDisplayMode == 2)
        ShowView(open);
    else
        m_addressLines.Remove(line);
    result.addressLines = m_nDisplayMode == 2 ? Splice{0, drawn, m_addressLines.Count()} : Splice{line, 1, 0};
    result.selected = -1;
    result.addressLinesLast = true;
    return result;
}

PickerSession::Found PickerSession::FindPerson(const std::string& text, int selectedLine, bool forward) {
    const AddressLine* selected = m_addressLines.At(selectedLine);
    const int from = selected && selected->ShowsPerson() ? m_book.FindSlot(selected->person) : -1;
    const int slot = FindPersonSlot(m_book, PersonQuery(text), from, forward);
    Found found = slot < 0 ? Found{} : ShowPerson(m_book.m_aEntries[static_cast<std::size_t>(slot)]);
    // The group view shows only the persons of open groups.
    if (found.line < 0) found.message = msg::NotFound(text);
    return found;
}

// ---- the end ----------------------------------------------------------------------

std::optional<std::string> PickerSession::WriteFaxNumberBook() {
    const DestinationPieces pieces = m_aDestinations.Pieces(m_book);
    // The driver would get a shortened list; let the user choose what goes.
    if (CheckDestinations(pieces, DestinationCheck::Texts) != DestinationBreach::None) return msg::kTextsOver255;
    if (WriteFaxNumberBook(pieces) == StoreResult::Failed) return msg::kCannotStoreDestinations;
    return std::nullopt;
}

StoreResult PickerSession::WriteFaxNumberBook(const DestinationPieces& pieces) {
    return m_printer.Write(JoinPieces(pieces, pieces.size()));
}
