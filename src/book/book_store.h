// The address book on disk: QVDDATA.CSV in the system directory, saved
// under its journal QVDDATA.TMP. Loads into a book and saves one, each with
// one outcome.
#pragma once

#include "book/address_book.h"
#include "storage/journaled_file.h"

class Files;

struct BookLoad {
    FileContents::State state = FileContents::State::Unreadable;
    FileFault fault = FileFault::None;  // why it is Unreadable
    // Reading stopped at the 1001st person.
    bool tooManyPersons = false;
};

class BookStore {
public:
    explicit BookStore(Files& platform);

    // Empties |book| and fills it with what the file holds, or what it holds
    // once an earlier save is completed.
    BookLoad Load(CAddressBook& book);
    // The same, changing nothing on disk.
    BookLoad Look(CAddressBook& book) const;
    // None when the file holds the whole of |book|.
    FileFault Save(const CAddressBook& book);

private:
    JournaledFile m_file;
};
