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

BookStore::Saved BookStore::Save(const CAddressBook& book, const BookChange& change, CAddressBook& now) {
    Saved saved;
    saved.fault = m_file.Save(FormatAddressBook(book), [&](const std::string& bytes) -> JournaledFile::Rebased {
        saved.rebased = true;
        saved.personsBeyond = ParseAddressBook(bytes, now).personsBeyond;
        if (!saved.personsBeyond.empty()) {
            saved.refusal = ChangeRefusal::Overfull;
            return {std::nullopt, false};
        }
        const Reapplied reapplied = ReapplyChange(now, book, change);
        saved.refusal = reapplied.refusal;
        saved.slot = reapplied.slot;
        if (saved.refusal != ChangeRefusal::None) return {};
        return {FormatAddressBook(now)};
    });
    return saved;
}
