// Files the program keeps: opened patiently, rewritten in place, and made
// crash-safe by a redo journal beside them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/platform.h"

// Opens |path|. A file that another program holds open (a virus scanner, a
// backup tool, another copy of this program saving) is tried again a few
// times, with growing pauses, before Locked is the answer.
FileOpenStatus OpenFilePatiently(Platform& platform, const std::string& path, FileAccess access, bool create,
                                 FileHandle*& file);

// CRC-32 as zip and PNG compute it.
std::uint32_t Crc32(std::string_view bytes);

// One rewrite of a file, as its journal records it.
struct JournalEntry {
    bool oldMissing = false;  // the file did not exist before; |oldBytes| is then empty
    std::string oldBytes;
    std::string newBytes;
};

// The journal's bytes: a header of 32 bytes ("QVDJRNL1"; a CRC-32 of all
// that follows it; 1 when the old file was missing, else 0; the lengths of
// the old and the new bytes, each little-endian), then the old bytes and
// the new bytes in full. It names no file.
std::string EncodeJournal(const JournalEntry& entry);
// nullopt for an empty journal, or one whose writing was cut short.
std::optional<JournalEntry> DecodeJournal(std::string_view bytes);

// Whether |file| (nullopt: missing) can be what the rewrite of |entry| left
// behind when it was cut short: its length between the two lengths; below
// the shorter one each byte the old or the new byte at its offset; beyond
// it the longer version's byte or zero (after a power loss, blocks that were
// not flushed reach the disk in any order, or not at all). A missing file
// can only be the old one, and only when that was missing too.
bool CouldBeMidRewrite(const JournalEntry& entry, const std::optional<std::string>& file);

// Why a file could not be read, or why a save was refused.
enum class FileFault {
    None,
    Held,               // another program has the file (or its journal) open
    NoRight,            // this user may not open the file so, or create it
    NoJournal,          // the journal is missing, or this user may not write it
    JournalUnreadable,  // the journal is there but could not be read
    DiskFull,
    Changed,     // the file changed since this run read or wrote it
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
// hold persons this run has never seen.
class JournaledFile {
public:
    // Reads the file; the two paths are kept for the saves of this run.
    FileContents Load(Platform& platform, const std::string& path, const std::string& journalPath);
    // None when the file holds |bytes|; otherwise it holds what it held.
    FileFault Save(Platform& platform, const std::string& bytes);

private:
    std::string m_strPath;
    std::string m_strJournalPath;
    enum class Seen { Nothing, Missing, Bytes };
    // What this run last read or wrote (or showed, as the journal will leave it).
    Seen m_seen = Seen::Nothing;
    std::string m_strOnDisk;
};
