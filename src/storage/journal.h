// The redo journal's entry and its bytes: what one rewrite of a file was to
// change, and whether a file can be what that rewrite left behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
