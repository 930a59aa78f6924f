#include "storage/journaled_file.h"

#include <utility>

#include "storage/journal.h"

namespace {

constexpr int kOpenAttempts = 5;
constexpr unsigned kFirstPauseMs = 50;  // then 100, 200, 400: under a second in all

// A file held open for one load or save, closed when it goes out of scope.
class HeldFile {
public:
    explicit HeldFile(Files& files) : m_files(files) {}
    ~HeldFile() { Close(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    FileOpenStatus Open(const std::string& path, FileAccess access, bool create) {
        Close();
        FileOpenStatus status = OpenFilePatiently(m_files, path, access, create, m_handle);
        if (status != FileOpenStatus::Opened && status != FileOpenStatus::Created) m_handle = nullptr;
        return status;
    }
    bool IsOpen() const { return m_handle != nullptr; }
    bool Read(std::string& bytes) { return m_files.ReadWholeFile(m_handle, bytes); }
    // The file holds |bytes| and nothing else, on the disk.
    FileResult Rewrite(std::string_view bytes) {
        FileResult result = bytes.empty() ? FileResult::Done : m_files.WriteFileAt(m_handle, 0, bytes);
        if (result == FileResult::Done) result = m_files.SetFileLength(m_handle, bytes.size());
        return result == FileResult::Done ? m_files.FlushFile(m_handle) : result;
    }
    FileResult Empty() { return Rewrite({}); }
    void Close() {
        if (m_handle) m_files.CloseFile(m_handle);
        m_handle = nullptr;
    }

private:
    Files& m_files;
    FileHandle* m_handle = nullptr;
};

// A file that a save created goes again, once closed, unless the save got as
// far as its commit: left behind empty, it would read as an empty book.
class MadeFile {
public:
    MadeFile(Files& files, const std::string& path) : m_files(files), m_path(path) {}
    ~MadeFile() {
        if (m_made) m_files.RemoveFile(m_path);
    }
    MadeFile(const MadeFile&) = delete;
    MadeFile& operator=(const MadeFile&) = delete;
    void Made(bool made) { m_made = made; }

private:
    Files& m_files;
    const std::string& m_path;
    bool m_made = false;
};

FileFault FaultOf(FileOpenStatus status) {
    switch (status) {
    case FileOpenStatus::Locked:
        return FileFault::Held;
    case FileOpenStatus::Denied:
    case FileOpenStatus::Missing:  // the directory itself is gone
        return FileFault::NoRight;
    default:
        return FileFault::Failed;
    }
}

FileFault FaultOf(FileResult result) {
    return result == FileResult::DiskFull ? FileFault::DiskFull : FileFault::Failed;
}

// With the file held and read (|book|; nullopt when it was missing) and the
// journal's bytes read: completes the rewrite the journal records, or
// discards it when the file has changed since. |book| then holds what the
// file holds, or what it will hold once the journal can be settled. A roll
// forward that cannot finish puts the old bytes back and keeps the journal
// (Unfinished), so the file is always whole: old or new.
FileFault Settle(HeldFile& file, std::optional<std::string>& book, HeldFile& journal, bool mayWrite,
                 const std::string& recorded) {
    if (recorded.empty()) return FileFault::None;
    std::optional<JournalEntry> entry = DecodeJournal(recorded);
    if (!entry || !CouldBeMidRewrite(*entry, book)) {
        // Cut short before its commit, or outdated: nothing to redo. One
        // that cannot be emptied now is emptied by a later save.
        if (mayWrite) journal.Empty();
        return FileFault::None;
    }
    if (!mayWrite) {
        book = entry->newBytes;  // as the start that may write will leave it
        return FileFault::NoJournal;
    }
    if (file.Rewrite(entry->newBytes) == FileResult::Done) {
        book = entry->newBytes;
        // Left full, it completes the same bytes again next time.
        journal.Empty();
        return FileFault::None;
    }
    book = file.Rewrite(entry->oldBytes) == FileResult::Done ? entry->oldBytes : entry->newBytes;
    return FileFault::Unfinished;
}

}  // namespace

FileOpenStatus OpenFilePatiently(Files& files, const std::string& path, FileAccess access, bool create,
                                 FileHandle*& file) {
    unsigned pause = kFirstPauseMs;
    for (int attempt = 1;; ++attempt, pause *= 2) {
        FileOpenStatus status = files.OpenFile(path, access, create, file);
        if (status != FileOpenStatus::Locked || attempt == kOpenAttempts) return status;
        files.Pause(pause);
    }
}

namespace {

FileContents Found(FileContents::State state, std::string bytes, FileFault fault = FileFault::None) {
    return {state, fault, std::move(bytes)};
}

FileContents Unreadable(FileFault fault) { return {FileContents::State::Unreadable, fault, {}}; }

// With the file held without sharing (|status| as it was opened).
FileContents ReadHeld(Files& files, HeldFile& file, FileOpenStatus status, const std::string& journalPath,
                      bool mayWrite) {
    std::optional<std::string> book;
    if (status == FileOpenStatus::Opened && !file.Read(book.emplace())) return Unreadable(FileFault::Failed);
    HeldFile journal(files);
    FileOpenStatus journalStatus = journal.Open(journalPath, mayWrite ? FileAccess::Update : FileAccess::Read, false);
    if (journalStatus == FileOpenStatus::Denied) {  // a journal this user may read only
        mayWrite = false;
        journalStatus = journal.Open(journalPath, FileAccess::Read, false);
    }
    if (journalStatus == FileOpenStatus::Locked) {  // a viewer or a scanner may share it
        mayWrite = false;
        journalStatus = journal.Open(journalPath, FileAccess::ReadBeside, false);
    }
    if (journalStatus != FileOpenStatus::Missing) {
        std::string recorded;
        if (!journal.IsOpen() || !journal.Read(recorded))
            return Found(FileContents::State::Uncertain, book.value_or(""), FileFault::JournalUnreadable);
        Settle(file, book, journal, mayWrite, recorded);
    }
    return book ? Found(FileContents::State::Read, *book) : Found(FileContents::State::Missing, {});
}

// Beside a program that holds the file open: the file and its journal are
// read, and nothing is written.
FileContents ReadBeside(Files& files, const std::string& path, const std::string& journalPath) {
    HeldFile file(files);
    FileOpenStatus status = file.Open(path, FileAccess::ReadBeside, false);
    if (status == FileOpenStatus::Missing) return Found(FileContents::State::Missing, {});
    std::optional<std::string> book;
    if (!file.IsOpen()) return Unreadable(FaultOf(status));
    if (!file.Read(book.emplace())) return Unreadable(FileFault::Failed);
    HeldFile journal(files);
    if (journal.Open(journalPath, FileAccess::ReadBeside, false) != FileOpenStatus::Missing) {
        std::string recorded;
        if (!journal.IsOpen() || !journal.Read(recorded))
            return Found(FileContents::State::Uncertain, *book, FileFault::JournalUnreadable);
        Settle(file, book, journal, false, recorded);
    }
    return Found(FileContents::State::Read, *book);
}

// A missing file may be one whose creation a journal records.
FileContents ReadMissing(Files& files, HeldFile& file, const std::string& path, const std::string& journalPath) {
    std::string recorded;
    {
        HeldFile journal(files);
        FileOpenStatus status = journal.Open(journalPath, FileAccess::ReadBeside, false);
        if (status == FileOpenStatus::Missing || (journal.IsOpen() && journal.Read(recorded) && recorded.empty()))
            return Found(FileContents::State::Missing, {});
    }
    // Made empty only to be held while the journal is settled; it reads as
    // missing, and goes again unless the journal's save was settled into it.
    FileOpenStatus status = file.Open(path, FileAccess::Update, true);
    if (file.IsOpen()) {
        FileContents contents = ReadHeld(files, file, status, journalPath, true);
        if (status == FileOpenStatus::Created && contents.state != FileContents::State::Read) {
            file.Close();
            files.RemoveFile(path);
        }
        return contents;
    }
    std::optional<JournalEntry> entry = DecodeJournal(recorded);
    if (!entry || !entry->oldMissing) return Found(FileContents::State::Missing, {});
    return Found(FileContents::State::Read, entry->newBytes);
}

FileContents ReadJournaledFile(Files& files, const std::string& path, const std::string& journalPath) {
    HeldFile file(files);
    bool mayWrite = true;
    FileOpenStatus status = file.Open(path, FileAccess::Update, false);
    if (status == FileOpenStatus::Denied) {  // a user who may read the book but not change it
        mayWrite = false;
        status = file.Open(path, FileAccess::Read, false);
    }
    if (status == FileOpenStatus::Locked) return ReadBeside(files, path, journalPath);
    if (status == FileOpenStatus::Missing) return ReadMissing(files, file, path, journalPath);
    if (!file.IsOpen()) return Unreadable(FaultOf(status));
    return ReadHeld(files, file, status, journalPath, mayWrite);
}

// With the companion's file read (|file|; nullopt when missing) and its
// journal's bytes: completes its committed rewrite where the first file
// holds what it was saved with, or where the companion was already touched;
// else drops it.
void SettleCompanion(const std::string& path, HeldFile& file, std::optional<std::string>& bytes,
                     HeldFile& journal, bool mayWrite, const std::string& recorded,
                     const std::optional<std::string>& first) {
    if (recorded.empty()) return;
    const std::optional<JournalEntry> entry = DecodeJournal(recorded);
    bool redo = entry && CouldBeMidRewrite(*entry, bytes);
    if (redo && entry->awaits && !(first && AwaitedOf(*first) == *entry->awaits)) {
        // An empty file is what a commit creates before anything is written.
        const bool untouched = entry->oldMissing ? !bytes || bytes->empty() : bytes && *bytes == entry->oldBytes;
        redo = !untouched;
    }
    if (!redo) {
        if (mayWrite) journal.Empty();
        return;
    }
    if (mayWrite && !file.IsOpen()) file.Open(path, FileAccess::Update, true);
    if (!mayWrite || !file.IsOpen() || file.Rewrite(entry->newBytes) != FileResult::Done) {
        bytes = entry->newBytes;  // as a start that may write will leave it
        return;
    }
    bytes = entry->newBytes;
    journal.Empty();
}

}  // namespace

struct CompanionFile::Held {
    explicit Held(Files& files) : file(files), journal(files) {}
    HeldFile file;
    HeldFile journal;
    std::string newBytes;
};

CompanionFile::CompanionFile(Files& files, std::string path, std::string journalPath)
    : m_files(files), m_strPath(std::move(path)), m_strJournalPath(std::move(journalPath)) {}

CompanionFile::~CompanionFile() = default;

FileContents CompanionFile::Load(const std::optional<std::string>& first, bool mayWrite) const {
    HeldFile file(m_files);
    FileOpenStatus status = file.Open(m_strPath, mayWrite ? FileAccess::Update : FileAccess::ReadBeside, false);
    if (status == FileOpenStatus::Denied || status == FileOpenStatus::Locked) {
        mayWrite = false;
        status = file.Open(m_strPath, FileAccess::ReadBeside, false);
    }
    std::optional<std::string> bytes;
    if (status != FileOpenStatus::Missing) {
        if (!file.IsOpen()) return Unreadable(FaultOf(status));
        if (!file.Read(bytes.emplace())) return Unreadable(FileFault::Failed);
    }
    HeldFile journal(m_files);
    status = journal.Open(m_strJournalPath, mayWrite ? FileAccess::Update : FileAccess::ReadBeside, false);
    if (status == FileOpenStatus::Denied || status == FileOpenStatus::Locked) {
        mayWrite = false;
        status = journal.Open(m_strJournalPath, FileAccess::ReadBeside, false);
    }
    if (status != FileOpenStatus::Missing) {
        std::string recorded;
        if (!journal.IsOpen() || !journal.Read(recorded))
            return Found(FileContents::State::Uncertain, bytes.value_or(""), FileFault::JournalUnreadable);
        SettleCompanion(m_strPath, file, bytes, journal, mayWrite, recorded, first);
    }
    return bytes ? Found(FileContents::State::Read, *bytes) : Found(FileContents::State::Missing, {});
}

FileFault CompanionFile::Commit(const std::optional<std::string>& first, const std::string& after,
                                const Rebase& rebase) {
    m_held.reset();
    auto held = std::make_unique<Held>(m_files);
    FileOpenStatus status = held->file.Open(m_strPath, FileAccess::Update, false);
    const FileOpenStatus cannotWrite = status;
    const bool mayWrite = status == FileOpenStatus::Opened || status == FileOpenStatus::Missing;
    // Held by a viewer, or not this user's to write: a save that leaves it
    // as it is needs no more than to read it.
    if (!mayWrite) status = held->file.Open(m_strPath, FileAccess::ReadBeside, false);
    std::optional<std::string> bytes;
    if (status != FileOpenStatus::Missing) {
        if (!held->file.IsOpen()) return FaultOf(status);
        if (!held->file.Read(bytes.emplace())) return FileFault::Failed;
    }
    status = held->journal.Open(m_strJournalPath, mayWrite ? FileAccess::Update : FileAccess::ReadBeside, false);
    // A journal that cannot be read now stops only a save that would change this file.
    FileFault unsettled = FileFault::None;
    if (status != FileOpenStatus::Missing) {
        std::string recorded;
        if (!held->journal.IsOpen())
            unsettled = FaultOf(status);
        else if (!held->journal.Read(recorded))
            unsettled = FileFault::JournalUnreadable;
        else
            SettleCompanion(m_strPath, held->file, bytes, held->journal, mayWrite, recorded, first);
    }
    const std::optional<std::string> wanted = rebase(bytes.value_or(""));
    if (!wanted) return FileFault::Conflict;
    if (*wanted == bytes.value_or("")) return FileFault::None;
    if (unsettled != FileFault::None) return unsettled;
    if (!mayWrite) return FaultOf(cannotWrite);
    if (!held->journal.IsOpen()) {
        status = held->journal.Open(m_strJournalPath, FileAccess::Update, true);
        if (!held->journal.IsOpen())
            return status == FileOpenStatus::Denied || status == FileOpenStatus::Missing ? FileFault::NoJournal
                                                                                         : FaultOf(status);
    }
    if (!held->file.IsOpen()) {
        status = held->file.Open(m_strPath, FileAccess::Update, true);
        if (!held->file.IsOpen()) return FaultOf(status);
    }
    const JournalEntry entry{!bytes, bytes.value_or(""), *wanted, AwaitedOf(after)};
    if (FileResult commit = held->journal.Rewrite(EncodeJournal(entry)); commit != FileResult::Done) {
        held->journal.Empty();
        return FaultOf(commit);
    }
    held->newBytes = *wanted;
    m_held = std::move(held);
    return FileFault::None;
}

FileFault CompanionFile::Finish() {
    const std::unique_ptr<Held> held = std::move(m_held);
    if (!held) return FileFault::None;
    // Left in the journal, the rewrite is finished by the next start or save.
    if (held->file.Rewrite(held->newBytes) != FileResult::Done) return FileFault::Unfinished;
    held->journal.Empty();
    return FileFault::None;
}

void CompanionFile::Abandon() {
    const std::unique_ptr<Held> held = std::move(m_held);
    if (held) held->journal.Empty();
}

JournaledFile::JournaledFile(Files& files, std::string path, std::string journalPath)
    : m_files(files), m_strPath(std::move(path)), m_strJournalPath(std::move(journalPath)) {}

FileContents JournaledFile::Load() {
    FileContents contents = ReadJournaledFile(m_files, m_strPath, m_strJournalPath);
    switch (contents.state) {
    case FileContents::State::Unreadable:
        m_seen = Seen::Nothing;
        break;
    case FileContents::State::Missing:
        m_seen = Seen::Missing;
        break;
    default:
        m_seen = Seen::Bytes;
        break;
    }
    m_strOnDisk = contents.bytes;
    return contents;
}

FileContents JournaledFile::Look() const { return ReadBeside(m_files, m_strPath, m_strJournalPath); }

FileFault JournaledFile::Save(const std::string& wanted, const Rebase& rebase, CompanionFile* companion,
                              const CompanionFile::Rebase& companionRebase) {
    std::string bytes = wanted;
    m_companionFailed = false;
    if (m_seen == Seen::Nothing) return FileFault::NotRead;
    MadeFile made(m_files, m_strPath);  // closed after |file|
    HeldFile file(m_files);
    FileOpenStatus status = file.Open(m_strPath, FileAccess::Update, true);
    if (!file.IsOpen()) return FaultOf(status);
    made.Made(status == FileOpenStatus::Created);
    std::optional<std::string> book;
    if (status == FileOpenStatus::Opened && !file.Read(book.emplace())) return FileFault::Failed;

    // Whatever an earlier rewrite left in the journal is settled first, so
    // that no committed rewrite is ever overwritten.
    HeldFile journal(m_files);
    status = journal.Open(m_strJournalPath, FileAccess::Update, false);
    if (status == FileOpenStatus::Opened) {
        std::string recorded;
        if (!journal.Read(recorded)) return FileFault::JournalUnreadable;
        if (FileFault fault = Settle(file, book, journal, true, recorded); fault != FileFault::None) return fault;
    } else if (status != FileOpenStatus::Missing) {
        return status == FileOpenStatus::Denied ? FileFault::NoJournal : FaultOf(status);
    }
    // A file deleted meanwhile holds nothing to lose.
    if (book && *book != m_strOnDisk) {
        if (!rebase) return FileFault::Changed;
        Rebased rebased = rebase(*book);
        if (rebased.seen) m_strOnDisk = *book;
        if (!rebased.bytes) return FileFault::Conflict;
        bytes = std::move(*rebased.bytes);
    }
    // The companion's rewrite is committed first: it counts only once this
    // file holds |bytes|, so until then nothing of it shows.
    if (companion) {
        const FileFault fault = companion->Commit(book, bytes, companionRebase);
        m_companionFailed = fault != FileFault::None;
        if (m_companionFailed) return fault;
    }
    const auto finish = [&] {
        const FileFault fault = companion ? companion->Finish() : FileFault::None;
        m_companionFailed = fault != FileFault::None;
        return fault;
    };
    struct Abandoned {
        CompanionFile* companion;
        ~Abandoned() {
            if (companion) companion->Abandon();
        }
    } abandoned{companion};
    if (book && *book == bytes) return finish();

    if (!journal.IsOpen()) {
        status = journal.Open(m_strJournalPath, FileAccess::Update, true);
        if (!journal.IsOpen())
            return status == FileOpenStatus::Denied || status == FileOpenStatus::Missing ? FileFault::NoJournal
                                                                                         : FaultOf(status);
    }
    const JournalEntry entry{!book, book.value_or(""), bytes, std::nullopt};
    if (FileResult commit = journal.Rewrite(EncodeJournal(entry)); commit != FileResult::Done) {
        // Not committed; but a whole entry that missed only its flush could
        // still be applied later, unless it is emptied.
        journal.Empty();
        return FaultOf(commit);
    }
    made.Made(false);
    if (FileResult rewrite = file.Rewrite(bytes); rewrite != FileResult::Done) {
        // The old bytes go back at once, through the handle still held; they
        // fit where the new ones did not.
        if (file.Rewrite(entry.oldBytes) != FileResult::Done) {
            // Only the journal can make the file whole now: it will hold the
            // new bytes, and the companion its new ones with them.
            m_seen = Seen::Bytes;
            m_strOnDisk = bytes;
            abandoned.companion = nullptr;
            return FileFault::Unfinished;
        }
        return journal.Empty() == FileResult::Done ? FaultOf(rewrite) : FileFault::Unfinished;
    }
    journal.Empty();  // left full, it completes the same bytes again next time
    m_seen = Seen::Bytes;
    m_strOnDisk = bytes;
    abandoned.companion = nullptr;
    return finish();
}
