#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "storage/journal.h"
#include "storage/journaled_file.h"
#include "support/memory_files.h"

namespace {

TEST(Journal, HeaderChecksumAndTears) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the check value of CRC-32
    EXPECT_EQ(Crc32(""), 0u);
    JournalEntry entry{false, "ab", "xyz"};
    const std::string encoded = EncodeJournal(entry);
    // zlib.crc32 of the 25 bytes from offset 12 is 0x9173613c.
    EXPECT_EQ(encoded, std::string("QVDJRNL1\x3c\x61\x73\x91", 12) + std::string(4, '\0') + std::string("\x02", 1) +
                           std::string(7, '\0') + std::string("\x03", 1) + std::string(7, '\0') + "abxyz");
    for (const JournalEntry& e : {entry, JournalEntry{true, "", "new"}, JournalEntry{false, "", ""},
                                  JournalEntry{false, std::string(3000, '\0'), std::string(700, 'n')}}) {
        std::optional<JournalEntry> decoded = DecodeJournal(EncodeJournal(e));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->oldMissing, e.oldMissing);
        EXPECT_EQ(decoded->oldBytes, e.oldBytes);
        EXPECT_EQ(decoded->newBytes, e.newBytes);
    }
    // A journal cut short anywhere, with a byte changed anywhere, or with
    // a byte too many is never taken for an entry.
    for (std::size_t length = 0; length < encoded.size(); ++length)
        EXPECT_FALSE(DecodeJournal(encoded.substr(0, length))) << length;
    for (std::size_t at = 0; at < encoded.size(); ++at) {
        std::string changed = encoded;
        changed[at] ^= 0x01;
        EXPECT_FALSE(DecodeJournal(changed)) << at;
    }
    EXPECT_FALSE(DecodeJournal(encoded + '\0'));
    // Says the old book was missing, yet holds its bytes; the checksum fits.
    std::string missingButOld = encoded;
    missingButOld[12] = 1;
    std::uint32_t crc = Crc32(std::string_view(missingButOld).substr(12));
    for (int i = 0; i < 4; ++i) missingButOld[8 + i] = static_cast<char>(crc >> (8 * i));
    EXPECT_FALSE(DecodeJournal(missingButOld));
}

TEST(Journal, WhatARewriteCutShortCanLeaveBehind) {
    const JournalEntry grows{false, "AAAA", "BBBBBB"};
    const JournalEntry shrinks{false, "AAAAAA", "BBBB"};
    const JournalEntry created{true, "", "BB"};
    struct Case {
        const char* what;
        const JournalEntry& entry;
        std::optional<std::string> file;
        bool could;
    };
    const std::vector<Case> cases = {
        {"the old bytes", grows, "AAAA", true},
        {"the new bytes", grows, "BBBBBB", true},
        {"a mix below the shorter length", grows, "ABAB", true},
        {"grown, its tail not yet written", grows, std::string("BAAB\0\0", 6), true},
        {"grown, part of its tail written", grows, std::string("AAAAB\0", 6), true},
        {"a zero below the shorter length", grows, std::string("AA\0A", 4), false},
        {"a byte of neither", grows, "AACA", false},
        {"shorter than both", grows, "AAA", false},
        {"longer than both", grows, "BBBBBBB", false},
        {"shrunk, not yet cut", shrinks, "BBBBAA", true},
        {"shrunk, its tail zeros", shrinks, std::string("BBBB\0A", 6), true},
        {"shrunk, the new bytes past the new end", shrinks, "BBBBBA", false},
        {"missing, and it was missing", created, std::nullopt, true},
        {"created, nothing written yet", created, "", true},
        {"missing, but it was there", grows, std::nullopt, false},
    };
    for (const Case& c : cases) EXPECT_EQ(CouldBeMidRewrite(c.entry, c.file), c.could) << c.what;
}

// On a file system alone: no window, no registry.
class JournaledFileTest : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(platform->errors, std::vector<std::string>{});
        EXPECT_EQ(platform->OpenFileCount(), 0);
    }
    MemoryFiles disk;
    MemoryFiles* const platform = &disk;
    const std::string path = "C:\\Windows\\system32\\QVDDATA.CSV";
    const std::string journal = "C:\\Windows\\system32\\QVDDATA.TMP";
    using Disk = std::map<std::string, std::string>;
    // A book of |rows| rows of about 95 bytes.
    static std::string Book(char mark, int rows) {
        std::string bytes;
        for (int i = 0; i < rows; ++i) bytes += std::string(1, mark) + std::to_string(i) + std::string(90, mark) + "\r\n";
        return bytes;
    }
    std::optional<std::string> OnDisk(const std::string& file) {
        auto found = platform->files.find(file);
        return found == platform->files.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    // A start on |disk| as the program makes it; the book as it is shown
    // (nullopt: missing), marked when it could not be read or may be torn.
    std::optional<std::string> Start(JournaledFile& file, const Disk& disk) {
        platform->RestartWith(disk);
        FileContents contents = file.Load();
        switch (contents.state) {
        case FileContents::State::Missing:
            return std::nullopt;
        case FileContents::State::Unreadable:
            return "<unreadable>";
        case FileContents::State::Uncertain:
            return "<uncertain>" + contents.bytes;
        default:
            return contents.bytes;
        }
    }
};

TEST_F(JournaledFileTest, ACrashAtAnyPointLeavesTheWholeOldOrTheWholeNewBook) {
    const std::string old = Book('o', 8), shorter = Book('s', 4), longer = Book('l', 12), same = Book('m', 8);
    const Disk withJournal = {{path, old}, {journal, ""}};
    // Another copy's save cut short: its journal whole, the book's first block rewritten.
    const Disk leftByAnother = {{path, shorter.substr(0, 512) + old.substr(512)},
                                {journal, EncodeJournal({false, old, shorter})}};
    struct Case {
        const char* what;
        Disk disk;
        std::vector<std::string> saves;  // one run's, in turn
        std::function<void(MemoryFiles&)> fault = [](MemoryFiles&) {};
    };
    const std::vector<Case> cases = {
        {"a new book shorter than the old", withJournal, {shorter}},
        {"a new book longer than the old", withJournal, {longer}},
        {"a new book as long as the old", withJournal, {same}},
        {"no book yet, no journal yet", {}, {shorter}},
        {"a later save puts the old bytes back", withJournal, {longer, old}},
        {"a journal left by another copy", leftByAnother, {longer}},
        {"no journal this user may write", withJournal, {shorter},
         [this](MemoryFiles& p) { p.readOnlyFiles.insert(journal); }},
        {"a write that fails part-way", withJournal, {longer},
         [&](MemoryFiles& p) { p.diskCapacity = old.size() + EncodeJournal({false, old, longer}).size() + 240; }},
        {"a first save whose book will not flush: its journal keeps it", withJournal, {longer},
         [this](MemoryFiles& p) { p.failingFlushes.insert(path); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A standard user: no file can be made in the system directory,
        // unless there is no book yet (then an administrator runs it).
        auto run = [&](std::optional<int> crashAt, std::vector<std::optional<std::string>>* books,
                       std::vector<int>* phases) {
            platform->RestartWith(c.disk);
            platform->readOnlyDirectory = c.disk.count(path) > 0;
            c.fault(*platform);
            platform->fileCalls = 0;
            platform->fileCallsBeforeCrash = crashAt;
            JournaledFile file(*platform, path, journal);
            file.Load();
            if (books) books->push_back(OnDisk(path));
            for (const std::string& save : c.saves) {
                if (phases) phases->push_back(platform->fileCalls);
                file.Save(save);
                if (books) books->push_back(OnDisk(path));
            }
            if (phases) phases->push_back(platform->fileCalls);
            platform->readOnlyFiles.clear();
            platform->diskCapacity.reset();
            platform->failingFlushes.clear();
        };
        std::vector<std::optional<std::string>> books;  // after the start, and after each save
        std::vector<int> phases;                         // the call each save begins with, then the last
        run(std::nullopt, &books, &phases);
        // What the disk holds once a start has settled it: the last committed save.
        JournaledFile settled(*platform, path, journal);
        const std::string kept = Start(settled, platform->files).value_or("");
        int recoveries = 0;
        // The last crash comes right after the last save: that save is kept.
        for (int crashAt = 0; crashAt <= phases.back(); ++crashAt) {
            run(crashAt, nullptr, nullptr);
            // Crashed in the start: its recovery is made again. In save i:
            // the book it began with, or the one it was to write.
            std::size_t save = std::upper_bound(phases.begin(), phases.end(), crashAt) - phases.begin();
            // (A book created by the save and left empty counts as the missing book it was.)
            std::set<std::string> whole = {books[save == 0 ? 0 : save - 1].value_or("")};
            if (save > 0 && save <= c.saves.size()) whole.insert(c.saves[save - 1]);
            if (crashAt == phases.back()) whole = {kept};
            // The process killed, or the power lost.
            for (const Disk& disk : platform->DisksAfterPowerLoss()) {
                JournaledFile next(*platform, path, journal);
                std::string shown = Start(next, disk).value_or("");
                EXPECT_TRUE(whole.count(shown)) << "crash at call " << crashAt;
                EXPECT_EQ(OnDisk(path).value_or(""), shown) << "crash at call " << crashAt;
                EXPECT_EQ(OnDisk(journal).value_or(""), "");
                if (disk.count(journal) == 0 || disk.at(journal).empty()) continue;
                // A crash in the recovery itself, at each of its calls.
                platform->RestartWith(disk);
                platform->fileCalls = 0;
                next.Load();
                const int calls = platform->fileCalls;
                for (int again = 0; again < calls; ++again) {
                    platform->RestartWith(disk);
                    platform->fileCallsBeforeCrash = again;
                    next.Load();
                    for (const Disk& twice : platform->DisksAfterPowerLoss()) {
                        ++recoveries;
                        JournaledFile last(*platform, path, journal);
                        std::string after = Start(last, twice).value_or("");
                        EXPECT_TRUE(whole.count(after)) << "crash at call " << crashAt << ", then at " << again;
                        EXPECT_EQ(OnDisk(journal).value_or(""), "");
                    }
                }
            }
        }
        // Only a save without a journal it may write never gets as far as a commit.
        EXPECT_EQ(recoveries > 0, c.what != std::string("no journal this user may write"));
    }
}

TEST_F(JournaledFileTest, ASaveThatCannotFinishLeavesTheOldBookOrAJournalThatCompletesIt) {
    const std::string old = Book('o', 3), next = Book('n', 5), later = Book('l', 2);
    const std::string entry = EncodeJournal({false, old, next});
    const std::string other = Book('x', 4);
    struct Case {
        const char* what;
        std::function<void(MemoryFiles&)> fault;  // for the first save only
        FileFault saved;
        std::string book, journalAfter;  // the journal "<none>" when there is none
        FileFault laterSaved;            // a second save, the fault gone
        std::string atNextStart;
    };
    const FileFault ok = FileFault::None;
    const std::vector<Case> cases = {
        {"an administrator's first save makes the journal", [](MemoryFiles&) {}, ok, next, "", ok, later},
        {"no journal, and the directory closed", [](MemoryFiles& p) { p.readOnlyDirectory = true; },
         FileFault::NoJournal, old, "<none>", ok, later},
        {"the journal read-only", [&](MemoryFiles& p) { p.files[journal], p.readOnlyFiles.insert(journal); },
         FileFault::NoJournal, old, "", ok, later},
        {"the journal held by another program",
         [&](MemoryFiles& p) { p.files[journal], p.lockedOpens[journal] = 100; }, FileFault::Held, old, "", ok,
         later},
        {"the book read-only", [&](MemoryFiles& p) { p.readOnlyFiles.insert(path); }, FileFault::NoRight, old,
         "<none>", ok, later},
        {"a spreadsheet holds the book", [&](MemoryFiles& p) { p.holders.insert({path, p.kSpreadsheet}); },
         FileFault::Held, old, "<none>", ok, later},
        {"a viewer holds the book", [&](MemoryFiles& p) { p.holders.insert({path, p.kViewer}); }, FileFault::Held,
         old, "<none>", ok, later},
        // The old bytes fit where the new ones did not, and the journal is emptied.
        {"a full disk stops the book's write: undone",
         [&](MemoryFiles& p) { p.diskCapacity = p.UsedBytes() + entry.size() + 9; }, FileFault::DiskFull, old, "",
         ok, later},
        {"a full disk stops the journal's write", [&](MemoryFiles& p) { p.diskCapacity = p.UsedBytes() + 40; },
         FileFault::DiskFull, old, "", ok, later},
        {"the journal's flush fails", [&](MemoryFiles& p) { p.failingFlushes.insert(journal); }, FileFault::Failed,
         old, "", ok, later},
        // Nor could the old bytes be flushed back: the journal stays, and
        // the next save completes it before its own.
        {"the book's flush fails", [&](MemoryFiles& p) { p.failingFlushes.insert(path); }, FileFault::Unfinished,
         old, entry, ok, later},
        // Another copy committed its save and was killed before it touched
        // the book: its change is finished, never overwritten.
        {"another copy's committed save", [&](MemoryFiles& p) { p.files[journal] = EncodeJournal({false, old, other}); },
         FileFault::Changed, other, "", FileFault::Changed, other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JournaledFile file(*platform, path, journal);
        ASSERT_EQ(Start(file, {{path, old}}), old);
        c.fault(*platform);
        EXPECT_EQ(file.Save(next), c.saved);
        EXPECT_EQ(OnDisk(path), c.book);
        EXPECT_EQ(OnDisk(journal).value_or("<none>"), c.journalAfter);
        platform->readOnlyDirectory = false;
        platform->readOnlyFiles.clear();
        platform->lockedOpens.clear();
        platform->holders.clear();
        platform->diskCapacity.reset();
        platform->failingFlushes.clear();
        EXPECT_EQ(file.Save(later), c.laterSaved);
        EXPECT_EQ(Start(file, platform->files), c.atNextStart);
        // Nothing else is ever made, and nothing held open.
        platform->files.erase(path);
        platform->files.erase(journal);
        EXPECT_EQ(platform->files, Disk{});
        EXPECT_EQ(platform->OpenFileCount(), 0);
    }
}

TEST_F(JournaledFileTest, ADiskFullAtAnyByteNeverTearsTheBookNorBringsBackARefusedSave) {
    const std::string old = Book('o', 3), next = Book('n', 5);
    const std::size_t needed = old.size() + EncodeJournal({false, old, next}).size() + next.size() - old.size();
    for (std::size_t capacity = old.size(); capacity <= needed; capacity += capacity < needed ? 7 : 1) {
        capacity = std::min(capacity, needed);
        SCOPED_TRACE(capacity);
        JournaledFile file(*platform, path, journal);
        ASSERT_EQ(Start(file, {{path, old}, {journal, ""}}), old);
        platform->diskCapacity = capacity;
        const FileFault saved = file.Save(next);
        EXPECT_EQ(saved, capacity == needed ? FileFault::None : FileFault::DiskFull);
        const std::string whole = saved == FileFault::None ? next : old;
        EXPECT_EQ(OnDisk(path), whole);
        EXPECT_EQ(OnDisk(journal), "");
        // Started again on the full disk, then with room: the same book.
        EXPECT_EQ(Start(file, platform->files), whole);
        platform->diskCapacity.reset();
        EXPECT_EQ(Start(file, platform->files), whole);
    }
}

TEST_F(JournaledFileTest, AStartCompletesOrDiscardsWhatTheJournalHolds) {
    const std::string old = Book('o', 3), next = Book('n', 5), other = Book('x', 4);
    const std::string entry = EncodeJournal({false, old, next});
    const std::string midway = next.substr(0, 200) + old.substr(200);
    const std::string created = EncodeJournal({true, "", next});
    struct Case {
        const char* what;
        Disk disk;
        std::function<void(MemoryFiles&)> setting;
        std::optional<std::string> shown;
        std::string book, journalAfter;  // "<none>" for a file that is not there
        FileFault saved;
    };
    auto none = [](MemoryFiles&) {};
    const FileFault ok = FileFault::None;
    const std::vector<Case> cases = {
        {"an empty journal", {{path, old}, {journal, ""}}, none, old, old, "", ok},
        {"no journal yet", {{path, old}}, none, old, old, "<none>", ok},
        {"another copy's save cut short", {{path, midway}, {journal, entry}}, none, next, next, "", ok},
        {"another copy's save cut short before it began", {{path, old}, {journal, entry}}, none, next, next, "", ok},
        {"a journal cut short", {{path, old}, {journal, entry.substr(0, 40)}}, none, old, old, "", ok},
        {"the book changed since", {{path, other}, {journal, entry}}, none, other, other, "", ok},
        {"the book missing, as it was before", {{journal, created}}, none, next, next, "", ok},
        // Made only to be held while the journal is emptied, then gone again: still missing.
        {"the book missing, though it was there", {{journal, entry}}, none, std::nullopt, "<none>", "", ok},
        // Shown as recovery leaves it, and nothing touched until a start that may finish it.
        {"the book read-only", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.readOnlyFiles.insert(path); }, next, midway, entry, FileFault::NoRight},
        {"the journal read-only", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.readOnlyFiles.insert(journal); }, next, midway, entry, FileFault::NoJournal},
        {"the journal read-only and empty", {{path, old}, {journal, ""}},
         [&](MemoryFiles& p) { p.readOnlyFiles.insert(journal); }, old, old, "", FileFault::NoJournal},
        {"the journal unreadable", {{path, old}, {journal, entry}},
         [&](MemoryFiles& p) { p.unreadableFiles.insert(journal); }, "<uncertain>" + old, old, entry,
         FileFault::JournalUnreadable},
        {"the journal held through the start and the save, over a save cut short", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.lockedOpens[journal] = 15; }, "<uncertain>" + midway, midway, entry,
         FileFault::Held},
        {"the book missing, the directory closed", {{journal, created}},
         [](MemoryFiles& p) { p.readOnlyDirectory = true; }, next, "<none>", created, FileFault::NoRight},
        {"the book missing though it was there, the directory closed", {{journal, entry}},
         [](MemoryFiles& p) { p.readOnlyDirectory = true; }, std::nullopt, "<none>", entry, FileFault::NoRight},
        // Read beside another program; the journal waits for a start or a save that can hold the book.
        {"a spreadsheet holds it", {{path, old}, {journal, ""}},
         [&](MemoryFiles& p) { p.holders.insert({path, p.kSpreadsheet}); }, old, old, "", FileFault::Held},
        {"a viewer holds it, over a save cut short", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.holders.insert({path, p.kViewer}); }, next, midway, entry, FileFault::Held},
        {"a viewer holds the book and the journal of a save cut short", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.holders.insert({{path, p.kViewer}, {journal, p.kViewer}}); }, next, midway, entry, FileFault::Held},
        {"a viewer holds the journal of a save cut short", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.holders.insert({journal, p.kViewer}); }, next, midway, entry, FileFault::Held},
        {"held without sharing", {{path, old}, {journal, ""}},
         [&](MemoryFiles& p) { p.holders.insert({path, p.kExclusive}); }, "<unreadable>", old, "",
         FileFault::NotRead},
        // The old bytes go back where the new ones did not fit; the journal waits for room.
        {"a roll forward on a full disk", {{path, old}, {journal, entry}},
         [&](MemoryFiles& p) { p.diskCapacity = old.size() + entry.size() + 10; }, old, old, entry,
         FileFault::Unfinished},
        // Neither finished nor undone: shown as the journal will leave it;
        // the next save meets the same disk, and says so.
        {"a start that can neither finish nor undo", {{path, midway}, {journal, entry}},
         [&](MemoryFiles& p) { p.failingFlushes.insert(path); }, next, old, entry, FileFault::Unfinished},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform->RestartWith({});
        platform->readOnlyDirectory = false;
        platform->readOnlyFiles.clear();
        platform->unreadableFiles.clear();
        platform->lockedOpens.clear();
        platform->holders.clear();
        platform->diskCapacity.reset();
        c.setting(*platform);
        JournaledFile file(*platform, path, journal);
        EXPECT_EQ(Start(file, c.disk), c.shown);
        EXPECT_EQ(OnDisk(path).value_or("<none>"), c.book);
        EXPECT_EQ(OnDisk(journal).value_or("<none>"), c.journalAfter);
        const Disk before = platform->files;
        EXPECT_EQ(file.Save("saved\r\n"), c.saved);
        if (c.saved != ok) {
            EXPECT_EQ(platform->files, before);
        }
        EXPECT_EQ(platform->OpenFileCount(), 0);
    }
    // A save that changes no byte needs no journal.
    platform->readOnlyDirectory = true;
    JournaledFile file(*platform, path, journal);
    ASSERT_EQ(Start(file, {{path, old}}), old);
    EXPECT_EQ(file.Save(old), ok);
    EXPECT_EQ(platform->files, (Disk{{path, old}}));
}

}  // namespace
