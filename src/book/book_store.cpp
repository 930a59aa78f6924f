#include "book/book_store.h"

#include "book/book_file.h"

BookStore::BookStore(Files& files, const BookLocation& location)
    : m_file(files, location.Path(kAddressBookFileName), location.Path(kAddressBookJournalFileName)) {}

namespace {

BookLoad Parsed(const FileContents& contents, CAddressBook& book) {
    // The parser empties the book first, also when nothing could be read.
    return {contents.state, contents.fault, ParseAddressBook(contents.bytes, book).tooManyPersons};
}

}  // namespace

BookLoad BookStore::Load(CAddressBook& book) { return Parsed(m_file.Load(), book); }

BookLoad BookStore::Look(CAddressBook& book) const { return Parsed(m_file.Look(), book); }

FileFault BookStore::Save(const CAddressBook& book) { return m_file.Save(FormatAddressBook(book)); }

FileFault BookStore::Save(const CAddressBook& book, const Reapply& reapply, CAddressBook& now, bool& rebased) {
    rebased = false;
    return m_file.Save(FormatAddressBook(book), [&](const std::string& bytes) -> std::optional<std::string> {
        rebased = true;
        // Rows past the 1000th person go, as every save of the program drops them.
        ParseAddressBook(bytes, now);
        if (!reapply(now)) return std::nullopt;
        return FormatAddressBook(now);
    });
}
