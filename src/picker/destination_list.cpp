#include "picker/destination_list.h"

#include <algorithm>

DestinationList::Added DestinationList::Add(const CAddressBook& book, std::int32_t person) {
    Added added;
    added.line = LinesOf(person).empty();
    if (added.line) m_aIDs.Add(person);
    // The limits hold for the whole list, also when nothing was added.
    DestinationPieces pieces = Pieces(book);
    DestinationBreach breach = CheckDestinations(pieces, DestinationCheck::AfterAdd);
    if (breach == DestinationBreach::FaxNumberOver32 || breach == DestinationBreach::TextOver255) {
        added.refused.push_back(breach);
        m_aIDs.RemoveAt(GetSize() - 1);
        pieces.pop_back();
        breach = CheckDestinations(pieces, DestinationCheck::Count);
    }
    if (breach == DestinationBreach::Over100) {
        added.refused.push_back(breach);
        m_aIDs.RemoveAt(GetSize() - 1);
    }
    return added;
}

std::int32_t DestinationList::Outsider(const CAddressEntry& person) {
    for (const CAddressEntry& outsider : m_aOutsiders)
        if (MemberOf(outsider) == MemberOf(person)) return outsider.m_nID;
    m_aOutsiders.push_back(person);
    return m_aOutsiders.back().m_nID = CAddressEntry::kNoID - static_cast<std::int32_t>(m_aOutsiders.size());
}

const CAddressEntry* DestinationList::PersonOf(const CAddressBook& book, std::int32_t id) const {
    if (id >= 0) return book.FindPerson(id);
    const std::size_t outsider = static_cast<std::size_t>(CAddressEntry::kNoID - 1 - id);
    return outsider < m_aOutsiders.size() ? &m_aOutsiders[outsider] : nullptr;
}

DestinationList::AddedAll DestinationList::AddAll(const CAddressBook& book, const std::vector<std::int32_t>& persons) {
    AddedAll all;
    DestinationPieces pieces = Pieces(book);
    for (std::int32_t person : persons) {
        if (!LinesOf(person).empty() || std::find(all.added.begin(), all.added.end(), person) != all.added.end())
            continue;
        const CAddressEntry* entry = PersonOf(book, person);
        if (!entry) continue;
        // Each member is held to what one added alone would be.
        pieces.push_back({entry->m_strFaxNumber, entry->m_strName});
        all.refused = CheckDestinations(pieces, DestinationCheck::AfterAdd);
        if (all.refused != DestinationBreach::None) {
            all.added.clear();
            return all;
        }
        all.added.push_back(person);
        ++all.fitting;
    }
    for (std::int32_t person : all.added) m_aIDs.Add(person);
    return all;
}

std::vector<int> DestinationList::RemoveLines(const std::vector<int>& selected) {
    std::vector<int> removed;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        // Each removal moves the later lines up by one.
        int line = selected[i] - static_cast<int>(i);
        if (line < 0 || line >= GetSize()) continue;
        m_aIDs.RemoveAt(line);
        removed.push_back(line);
    }
    return removed;
}

std::vector<int> DestinationList::RemovePerson(std::int32_t person) {
    std::vector<int> removed;
    for (int line = 0; line < GetSize();) {
        if (m_aIDs[line] != person) {
            ++line;
            continue;
        }
        m_aIDs.RemoveAt(line);
        removed.push_back(line);
    }
    return removed;
}

std::vector<int> DestinationList::LinesOf(std::int32_t person) const {
    std::vector<int> lines;
    for (int line = 0; line < GetSize(); ++line)
        if (m_aIDs[line] == person) lines.push_back(line);
    return lines;
}

void DestinationList::Renumber(const std::map<std::int32_t, std::int32_t>& renumbered) {
    for (int line = 0; line < GetSize(); ++line) {
        auto found = renumbered.find(m_aIDs[line]);
        if (found != renumbered.end()) m_aIDs[line] = found->second;
    }
}

DestinationPieces DestinationList::Restore(const CAddressBook& book, const StoredTexts& stored) {
    // The stored pieces that found a person, each once.
    DestinationPieces matched;
    for (const DestinationPiece& piece : PiecesOfStoredTexts(stored)) {
        bool found = false;
        for (int slot = 0; slot < book.m_nEntryCount; ++slot) {
            const CAddressEntry& person = book.m_aEntries[static_cast<std::size_t>(slot)];
            if (person.m_strName != piece.name || person.m_strFaxNumber != piece.faxNumber) continue;
            m_aIDs.Add(person.m_nID);
            found = true;
        }
        if (found) matched.push_back(piece);
    }
    DestinationPieces written = Pieces(book);
    if (CheckDestinations(written, DestinationCheck::Texts) != DestinationBreach::None) {
        // Persons who share a name and number restore several lines from one
        // stored piece and can overflow the texts; what was stored and still
        // matches fits them (a stored value of 256 bytes without a zero byte
        // is cut where both texts stop together).
        written = matched;
        written.resize(FittingCount(written));
    }
    return written;
}

DestinationPieces DestinationList::Pieces(const CAddressBook& book) const {
    DestinationPieces pieces;
    pieces.reserve(static_cast<std::size_t>(GetSize()));
    for (int line = 0; line < GetSize(); ++line) {
        const CAddressEntry* person = PersonOf(book, m_aIDs[line]);
        pieces.push_back(person ? DestinationPiece{person->m_strFaxNumber, person->m_strName} : DestinationPiece{});
    }
    return pieces;
}
