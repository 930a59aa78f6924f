// Files the program keeps: opened patiently, rewritten in place, and made
// crash-safe by a redo journal beside them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "system/files.h"

// Opens |path|. A file that another program holds open (a virus scanner, a
// backup tool, another copy of this program saving) is tried again a few
// times, with growing pauses, before Locked is the answer.
FileOpenStatus OpenFilePatiently(Files& files, const std::string& path, FileAccess access, bool create,
                                 FileHandle*& file);

// Why a file could not be read, or why a save was refused.
enum class FileFault {
    None,
    Held,               // another program has the file (or its journal) open
    NoRight,            // this user may not open the file so, or create it
    NoJournal,          // the journal is missing, or this user may not write it
    JournalUnreadable,  // the journal is there but could not be read
    DiskFull,
    Changed,     // the file changed since this run read or wrote it
    Conflict,    // it changed, and this run's change cannot be made to it as it is now
    Unfinished,  // an earlier rewrite could not be finished: the journal still holds it
    NotRead,     // this run could not read the file, so it never replaces it
    Failed,      // any other error of the system
};

// What a start found.
struct FileContents {
    enum class State {
        Read,
        Missing,
        Unreadable,  // |fault| tells why; |bytes| is empty
        Uncertain,   // the journal could not be read: |bytes| may be a rewrite cut short
    };
    State state = State::Unreadable;
    FileFault fault = FileFault::None;
    std::string bytes;  // what the file holds, or what it holds once its journal is settled
};

// A second file saved together with a journaled file, under its hold, with a
// journal of its own: its rewrite is committed before the first file's and
// made after it, and counts only where the first file holds the bytes it
// was saved with. So a crash at any point leaves both old or both new.
class CompanionFile {
public:
    CompanionFile(Files& files, std::string path, std::string journalPath);
    ~CompanionFile();
    CompanionFile(const CompanionFile&) = delete;
    CompanionFile& operator=(const CompanionFile&) = delete;

    // While the first file is held and holds |first| (nullopt: missing):
    // reads this one, settling its journal when |mayWrite|, else showing
    // what settling it would leave.
    FileContents Load(const std::optional<std::string>& first, bool mayWrite) const;
    // What to write, given what the file holds now (empty when missing);
    // nullopt: the change cannot be made to it.
    using Rebase = std::function<std::optional<std::string>(const std::string& now)>;
    // While the first file is held, holds |first| and is to hold |after|:
    // holds this file, settles its journal, and commits what |rebase| makes
    // of it (nothing when that is what it holds).
    FileFault Commit(const std::optional<std::string>& first, const std::string& after, const Rebase& rebase);
    // The first file holds |after| now: this one is rewritten.
    FileFault Finish();
    // The first file kept its bytes: the committed rewrite is dropped.
    void Abandon();

private:
    struct Held;
    Files& m_files;
    const std::string m_strPath;
    const std::string m_strJournalPath;
    std::unique_ptr<Held> m_held;  // from a commit to its finish or abandon
};

// A file that is rewritten in place, never replaced: it stays the same file,
// with its rights, owner, links and creation time, and rewriting it needs a
// right on the file alone, none on its directory. A redo journal beside it
// makes every rewrite whole or nothing: the old and the new bytes are flushed
// to the journal before the file is touched (the commit), and the journal is
// emptied, never deleted, once the file holds the new bytes and is flushed.
//
// A rewrite the journal records is finished (or discarded, when the file has
// changed since) only while the file is held without sharing: by a start, or
// by the next save before anything else. A start that cannot hold the file,
// because a spreadsheet or a viewer has it open, reads it beside them and
// shows what finishing the journal would leave.
//
// Without a journal that this user may write, a save is refused: there is no
// unsafe way. Nor does a save replace a file that this run could not read,
// or one that changed on disk since this run read or wrote it: either may
// hold persons this run has never seen. A save given a rebase makes its
// change again to the file as it is now, under the same hold and journal.
class JournaledFile {
public:
    JournaledFile(Files& files, std::string path, std::string journalPath);

    FileContents Load();
    // What Load would show, read beside whoever has the file open; nothing
    // is written, not even to finish a rewrite the journal records. A Save
    // needs a Load before it.
    FileContents Look() const;
    // The bytes to write instead, made from what the file holds now.
    struct Rebased {
        std::optional<std::string> bytes;  // nullopt: this run's change cannot be made to them
        // false: the file counts as not yet seen, so every later save meets
        // it as changed again (a refusal that must stand until it changes).
        bool seen = true;
    };
    using Rebase = std::function<Rebased(const std::string& now)>;
    // None when the file holds |bytes|, or, when it changed since this run
    // read or wrote it, what |rebase| made of it (Changed without one,
    // Conflict when it made nothing); otherwise it holds what it held.
    // With a companion, its rewrite is made along, |companionRebase| saying
    // what it is to hold.
    FileFault Save(const std::string& bytes, const Rebase& rebase = {}, CompanionFile* companion = nullptr,
                   const CompanionFile::Rebase& companionRebase = {});
    // The last save's fault was the companion's.
    bool CompanionFailed() const { return m_companionFailed; }

private:
    Files& m_files;
    const std::string m_strPath;
    const std::string m_strJournalPath;
    enum class Seen { Nothing, Missing, Bytes };
    // What this run last read or wrote (or showed, as the journal will leave it).
    Seen m_seen = Seen::Nothing;
    std::string m_strOnDisk;
    bool m_companionFailed = false;
};
