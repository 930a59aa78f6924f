#include "book/book_store.h"

#include "book/book_file.h"

BookStore::BookStore(Files& platform)
    : m_file(platform, AddressBookPath(platform), AddressBookPath(platform, kAddressBookJournalFileName)) {}

namespace {

BookLoad Parsed(const FileContents& contents, CAddressBook& book) {
    // The parser empties the book first, also when nothing could be read.
    return {contents.state, contents.fault, ParseAddressBook(contents.bytes, book).tooManyPersons};
}

}  // namespace

BookLoad BookStore::Load(CAddressBook& book) { return Parsed(m_file.Load(), book); }

BookLoad BookStore::Look(CAddressBook& book) const { return Parsed(m_file.Look(), book); }

FileFault BookStore::Save(const CAddressBook& book) { return m_file.Save(FormatAddressBook(book)); }
