// The destinations of this fax: the persons chosen, in order, one line of
// the destination list each, held to the limits of the driver's two values.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "book/address_book.h"
#include "driver/fax_number_book.h"

class DestinationList {
public:
    int GetSize() const { return m_aIDs.GetSize(); }
    std::int32_t operator[](int line) const { return m_aIDs[line]; }
    void Clear() {
        m_aIDs.SetSize(0);
        m_aOutsiders.clear();
    }
    // The lines, as they were, of persons the book now holds under new IDs.
    void Assign(const std::vector<std::int32_t>& ids) {
        m_aIDs.SetSize(0);
        for (std::int32_t id : ids) m_aIDs.Add(id);
    }

    // A person from outside the book (the directory) gets an ID below kNoID
    // of this list's own, the same for the same name and FAX number.
    std::int32_t Outsider(const CAddressEntry& person);
    // The book's person or the outsider behind an ID; nullptr when neither.
    const CAddressEntry* PersonOf(const CAddressBook& book, std::int32_t id) const;

    struct Added {
        bool line = false;  // a line was added for the person
        // Each limit the list broke, in the order the user is told of them;
        // the last line went for each.
        std::vector<DestinationBreach> refused;
    };
    // Adds the person unless listed, then holds the whole list to the limits.
    Added Add(const CAddressBook& book, std::int32_t person);
    // Adds every person of |persons| not listed yet, in order, or none of
    // them when the list would break a limit. |fitting|: how many of them
    // (from the first) the list could take.
    struct AddedAll {
        DestinationBreach refused = DestinationBreach::None;
        int fitting = 0;
        std::vector<std::int32_t> added;
    };
    AddedAll AddAll(const CAddressBook& book, const std::vector<std::int32_t>& persons);
    // Removes the selected lines (ascending); the line numbers removed, one after the other.
    std::vector<int> RemoveLines(const std::vector<int>& selected);
    // Removes every line of the person; the line numbers removed, one after the other.
    std::vector<int> RemovePerson(std::int32_t person);
    // The lines that show the person.
    std::vector<int> LinesOf(std::int32_t person) const;
    // After the book's persons were numbered anew (old ID -> new ID).
    void Renumber(const std::map<std::int32_t, std::int32_t>& renumbered);

    // Lists every person whose name and FAX number a stored piece names, in
    // stored order; returns what the values should hold afterwards.
    DestinationPieces Restore(const CAddressBook& book, const StoredTexts& stored);
    // The FAX number and name of each line.
    DestinationPieces Pieces(const CAddressBook& book) const;

private:
    CIndexArray m_aIDs;
    std::vector<CAddressEntry> m_aOutsiders;  // ID kNoID - 1 is the first
};
