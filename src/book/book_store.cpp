#include "book/book_store.h"

#include "book/book_file.h"

BookStore::BookStore(Files& files, const BookLocation& location)
    : m_file(files, location.Path(kAddressBookFileName), location.Path(kAddressBookJournalFileName)),
      m_groups(files, location.Path(kGroupFileName), location.Path(kGroupJournalFileName)) {}

namespace {

BookLoad Parsed(const FileContents& contents, CAddressBook& book) {
    // The parser empties the book first, also when nothing could be read.
    return {contents.state, contents.fault, ParseAddressBook(contents.bytes, book).tooManyPersons};
}

}  // namespace

BookLoad BookStore::Read(const FileContents& contents, CAddressBook& book, bool mayWrite) const {
    BookLoad loaded = Parsed(contents, book);
    if (contents.state == FileContents::State::Unreadable) return loaded;
    const FileContents groups = m_groups.Load(
        contents.state == FileContents::State::Missing ? std::nullopt : std::optional<std::string>(contents.bytes), mayWrite);
    loaded.groupsState = groups.state;
    loaded.groupsFault = groups.fault;
    loaded.groupsDropped = ParseGroups(groups.bytes, book.m_aGroups).dropped;
    return loaded;
}

BookLoad BookStore::Load(CAddressBook& book) { return Read(m_file.Load(), book, true); }

BookLoad BookStore::Look(CAddressBook& book) const { return Read(m_file.Look(), book, false); }

FileFault BookStore::Save(const CAddressBook& book) { return m_file.Save(FormatAddressBook(book)); }

FileFault BookStore::SaveGroups(const CAddressBook& book) {
    return m_file.Save(FormatAddressBook(book), {}, &m_groups,
                       [&](const std::string&) -> std::optional<std::string> { return FormatGroups(book.m_aGroups); });
}

BookStore::Saved BookStore::Save(const CAddressBook& book, const BookChange& change, CAddressBook& now) {
    Saved saved;
    const auto groupsRebase = [&](const std::string& bytes) -> std::optional<std::string> {
        // Made again to the groups as they are on disk: another PC may have
        // changed them, or the persons they list.
        if (!saved.rebased) now = book;
        const bool dropped = ParseGroups(bytes, now.m_aGroups).dropped > 0;
        const ReappliedGroups made = ReapplyGroupChange(now, book, change);
        saved.refusal = made.refusal;
        if (made.refusal == ChangeRefusal::None && made.changed && dropped) saved.refusal = ChangeRefusal::GroupsOverfull;
        if (!(now.m_aGroups == book.m_aGroups)) saved.rebased = true;
        if (saved.refusal != ChangeRefusal::None) {
            ParseGroups(bytes, now.m_aGroups);
            return std::nullopt;
        }
        return made.changed ? FormatGroups(now.m_aGroups) : bytes;
    };
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
    }, &m_groups, groupsRebase);
    saved.groupsFault = m_file.CompanionFailed();
    return saved;
}
