// A change to the book as one value: what the user did, to the person as
// this run last read him. It is made to this run's own book, and made again
// to the book as it now is when someone else saved it meanwhile.
#pragma once

#include <string>

#include "book/address_book.h"

struct BookChange {
    enum class Kind { Create, Edit, Delete, CreateGroup, EditGroup, DeleteGroup };
    Kind kind = Kind::Create;
    CAddressEntry before;  // Edit, Delete: the person as last read, its ID among them
    CAddressEntry after;   // Create, Edit: the six texts it is to hold
    int occurrence = 0;    // Edit, Delete: which of the rows equal to |before| in all 13 columns
    CGroup groupBefore{};  // EditGroup, DeleteGroup: the group as last read
    CGroup groupAfter{};   // CreateGroup, EditGroup
    bool IsGroupChange() const { return kind >= Kind::CreateGroup; }
};

// Why a change could not be made to the book as it now is.
enum class ChangeRefusal {
    None,
    Changed,   // the person changed or left meanwhile, or (a delete) rows this run never saw came
    Full,      // a create, and the book holds 1000 persons now
    Overfull,  // the book holds persons past the 1000th, whom any save would drop
    GroupChanged,   // the group changed or left meanwhile, or (a create) its name was taken
    GroupsFull,     // a create, and there are 200 groups now
    GroupsOverfull, // the groups' file holds more than a save would keep
};

// A row's identity: its 13 columns, whatever the ID. Equal rows are told
// apart by their order (the n-th of them).
std::string RowKey(const CAddressEntry& row);
bool SameRow(const CAddressEntry& a, const CAddressEntry& b);
// The slot of the |occurrence|-th person equal to |row| in all 13 columns; -1 when none.
int SlotOfRow(const CAddressBook& book, const CAddressEntry& row, int occurrence);
// Which of the persons equal to the one in |slot| it is.
int OccurrenceAt(const CAddressBook& book, int slot);

// Makes |change| to this run's own book, finding the person by ID (a group
// by name), the groups following a person; a created person gets the next
// ID. The slot changed; -1 for a delete, a group or a person not there.
int ApplyChange(CAddressBook& book, const BookChange& change);

struct Reapplied {
    ChangeRefusal refusal = ChangeRefusal::None;
    int slot = -1;  // Create, Edit: the person's slot in |now|
};
// Makes |change| to |now|'s persons, the book as someone else saved it since
// this run's |seen| (its book with the change made); |now| stays as it was
// when refused. A group change leaves the persons alone.
Reapplied ReapplyChange(CAddressBook& now, const CAddressBook& seen, const BookChange& change);
// Makes |change| to |now|'s groups as they are on disk, its persons already
// as saved: a group change by name, a person's by who he was. |changed|:
// the groups differ from what they were.
struct ReappliedGroups {
    ChangeRefusal refusal = ChangeRefusal::None;
    bool changed = false;
};
ReappliedGroups ReapplyGroupChange(CAddressBook& now, const CAddressBook& seen, const BookChange& change);
