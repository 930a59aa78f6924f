// The address book on disk: QVDDATA.CSV in its folder, saved under its
// journal QVDDATA.TMP beside it, and its groups beside it in QVDGROUP.CSV
// under QVDGROUP.TMP, saved along with it so that the two always agree.
// Loads into a book and saves one, each with one outcome.
#pragma once

#include <string>
#include <vector>

#include "book/address_book.h"
#include "book/book_change.h"
#include "book/book_location.h"
#include "storage/journaled_file.h"

class Files;

struct BookLoad {
    FileContents::State state = FileContents::State::Unreadable;
    FileFault fault = FileFault::None;  // why it is Unreadable
    // Reading stopped at the 1001st person.
    bool tooManyPersons = false;
    // The groups: Unreadable shows none, and a change of them is refused.
    FileContents::State groupsState = FileContents::State::Missing;
    FileFault groupsFault = FileFault::None;
    int groupsDropped = 0;  // past the 200th group or a group's 100th member
};

class BookStore {
public:
    BookStore(Files& files, const BookLocation& location);

    // Empties |book| and fills it with what the files hold, or what they
    // hold once an earlier save is completed.
    BookLoad Load(CAddressBook& book);
    // The same, changing nothing on disk.
    BookLoad Look(CAddressBook& book) const;
    // None when the file holds the whole of |book|; the groups stay as they are.
    FileFault Save(const CAddressBook& book);
    // None when the groups' file holds |book|'s groups; the book must be as read.
    FileFault SaveGroups(const CAddressBook& book);

    struct Saved {
        FileFault fault = FileFault::None;
        // The file changed since this run read or wrote it: |now| holds it,
        // as saved with the change, or as it is when the change was refused.
        bool rebased = false;
        ChangeRefusal refusal = ChangeRefusal::None;
        bool groupsFault = false;  // |fault| was the groups' file's
        int slot = -1;  // rebased, a create or edit made: the person's slot in |now|
        // Overfull: the persons past the 1000th the file now holds. The
        // refusal stands until the file changes again.
        std::vector<std::string> personsBeyond;
    };
    // As Save, |book| being this run's book with |change| made; but when the
    // file changed since this run read or wrote it, |now| is filled with
    // what it holds, the change is made to it, and that is saved instead
    // (Conflict when it cannot be made).
    Saved Save(const CAddressBook& book, const BookChange& change, CAddressBook& now);

private:
    // |book| from what the book's file holds, then its groups, read with it
    // (their journal settled when |mayWrite|).
    BookLoad Read(const FileContents& contents, CAddressBook& book, bool mayWrite) const;

    JournaledFile m_file;
    CompanionFile m_groups;
};
