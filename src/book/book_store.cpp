#include "book/book_store.h"

#include "book/book_file.h"

BookStore::BookStore(Files& platform)
    : m_file(platform, AddressBookPath(platform), AddressBookPath(platform, kAddressBookJournalFileName)) {}

BookLoad BookStore::Load(CAddressBook& book) {
    FileContents contents = m_file.Load();
    // The parser empties the book first, also when nothing could be read.
    return {contents.state, contents.fault, ParseAddressBook(contents.bytes, book).tooManyPersons};
}

FileFault BookStore::Save(const CAddressBook& book) { return m_file.Save(FormatAddressBook(book)); }
