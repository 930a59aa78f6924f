#include "book/book_change.h"

#include <algorithm>
#include <set>
#include <string>

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

int SlotOfRow(const CAddressBook& book, const CAddressEntry& row, int occurrence) {
    for (int slot = 0; slot < book.m_nEntryCount; ++slot)
        if (SameRow(book.m_aEntries[static_cast<std::size_t>(slot)], row) && occurrence-- == 0) return slot;
    return -1;
}

int OccurrenceAt(const CAddressBook& book, int slot) {
    int occurrence = 0;
    for (int before = 0; before < slot; ++before)
        occurrence += SameRow(book.m_aEntries[static_cast<std::size_t>(before)], book.m_aEntries[static_cast<std::size_t>(slot)]);
    return occurrence;
}

namespace {

// A group change made to |groups|; false when the group it is about is not
// as the change last read it (or, a create, its name is taken).
bool ChangeGroups(std::vector<CGroup>& groups, const BookChange& change) {
    const int at = FindGroup(groups, change.kind == BookChange::Kind::CreateGroup ? change.groupAfter.m_strName
                                                                                  : change.groupBefore.m_strName);
    if (change.kind == BookChange::Kind::CreateGroup) {
        if (at >= 0) return false;
        groups.push_back(change.groupAfter);
        return true;
    }
    if (at < 0 || !(groups[static_cast<std::size_t>(at)] == change.groupBefore)) return false;
    if (change.kind == BookChange::Kind::EditGroup) {
        // Renamed onto a name another group took meanwhile.
        const int named = FindGroup(groups, change.groupAfter.m_strName);
        if (named >= 0 && named != at) return false;
        groups[static_cast<std::size_t>(at)] = change.groupAfter;
    } else {
        groups.erase(groups.begin() + at);
    }
    return true;
}

}  // namespace

int ApplyChange(CAddressBook& book, const BookChange& change) {
    const int slot = book.FindSlot(change.before.m_nID);
    switch (change.kind) {
    case BookChange::Kind::Create:
        AppendPerson(book, change.after).m_nID = book.m_nNextID++;
        return book.m_nEntryCount - 1;
    case BookChange::Kind::Edit:
        if (slot < 0) return slot;
        SetEditedTexts(book.m_aEntries[static_cast<std::size_t>(slot)], change.after);
        FollowPerson(book.m_aGroups, book, change.before, &book.m_aEntries[static_cast<std::size_t>(slot)]);
        return slot;
    case BookChange::Kind::Delete:
        book.RemoveAt(slot);
        if (slot >= 0) FollowPerson(book.m_aGroups, book, change.before, nullptr);
        break;
    default:
        ChangeGroups(book.m_aGroups, change);
        break;
    }
    return -1;
}

ReappliedGroups ReapplyGroupChange(CAddressBook& now, const CAddressBook& seen, const BookChange& change) {
    if (!change.IsGroupChange()) {
        if (change.kind == BookChange::Kind::Create) return {};
        return {ChangeRefusal::None, FollowPerson(now.m_aGroups, now, change.before,
                                                  change.kind == BookChange::Kind::Edit ? &change.after : nullptr)};
    }
    if (change.kind == BookChange::Kind::CreateGroup && now.m_aGroups.size() >= static_cast<std::size_t>(kMaxGroups))
        return {ChangeRefusal::GroupsFull};
    BookChange made = change;
    // Members someone deleted from the book meanwhile left the group with
    // that save, and leave it here too; those this run could not find either
    // stay, shown as not found.
    for (CGroup* group : {&made.groupBefore, &made.groupAfter}) {
        std::vector<GroupMember>& members = group->m_aMembers;
        members.erase(std::remove_if(members.begin(), members.end(),
                                     [&](const GroupMember& member) {
                                         return SlotOfMember(seen, member) >= 0 && SlotOfMember(now, member) < 0;
                                     }),
                      members.end());
    }
    std::vector<CGroup> groups = now.m_aGroups;
    if (!ChangeGroups(groups, made)) return {ChangeRefusal::GroupChanged};
    now.m_aGroups = std::move(groups);
    return {ChangeRefusal::None, true};
}

Reapplied ReapplyChange(CAddressBook& now, const CAddressBook& seen, const BookChange& change) {
    if (change.IsGroupChange()) return {};
    if (change.kind == BookChange::Kind::Create) {
        if (now.m_nEntryCount >= CAddressBook::kMaxEntries) return {ChangeRefusal::Full};
        AppendPerson(now, change.after);
        return {ChangeRefusal::None, now.m_nEntryCount - 1};
    }
    const int slot = SlotOfRow(now, change.before, change.occurrence);
    if (change.kind == BookChange::Kind::Edit) {
        if (slot < 0) return {ChangeRefusal::Changed};
        SetEditedTexts(now.m_aEntries[static_cast<std::size_t>(slot)], change.after);
        return {ChangeRefusal::None, slot};
    }
    if (slot >= 0) {
        now.RemoveAt(slot);
        return {};
    }
    // Gone counts as deleted, when all the other side did was delete; a row
    // this run never saw may be the person, changed.
    std::set<std::string> known;
    for (int other = 0; other < seen.m_nEntryCount; ++other) known.insert(RowKey(seen.m_aEntries[static_cast<std::size_t>(other)]));
    for (int other = 0; other < now.m_nEntryCount; ++other)
        if (!known.count(RowKey(now.m_aEntries[static_cast<std::size_t>(other)]))) return {ChangeRefusal::Changed};
    return {};
}
