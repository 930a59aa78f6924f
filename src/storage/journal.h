// The redo journal's entry and its bytes: what one rewrite of a file was to
// change, and whether a file can be what that rewrite left behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// CRC-32 as zip and PNG compute it.
std::uint32_t Crc32(std::string_view bytes);

// The bytes another file holds, by length and checksum.
struct Awaited {
    std::uint64_t length = 0;
    std::uint32_t crc = 0;
    bool operator==(const Awaited& other) const { return length == other.length && crc == other.crc; }
};
Awaited AwaitedOf(std::string_view bytes);

// One rewrite of a file, as its journal records it.
struct JournalEntry {
    JournalEntry() = default;
    JournalEntry(bool oldMissing, std::string oldBytes, std::string newBytes, std::optional<Awaited> awaits = {})
        : oldMissing(oldMissing), oldBytes(std::move(oldBytes)), newBytes(std::move(newBytes)), awaits(awaits) {}
    bool oldMissing = false;  // the file did not exist before; |oldBytes| is then empty
    std::string oldBytes;
    std::string newBytes;
    // The second file of a save of two: its rewrite counts only where the
    // first file holds these bytes (it may have kept its old ones).
    std::optional<Awaited> awaits;
};

// The journal's bytes: a header of 32 bytes ("QVDJRNL1"; a CRC-32 of all
// that follows it; flags: 1 when the old file was missing, 2 when an
// awaited file follows; the lengths of the old and the new bytes, each
// little-endian), with flag 2 the awaited file's length (8 bytes) and CRC-32
// (4), then the old bytes and the new bytes in full. It names no file.
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
