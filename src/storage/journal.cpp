#include "storage/journal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Eight tables, so that the checksum takes eight bytes a step: the journal
// of a save holds the book twice.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;
constexpr CrcTables MakeCrcTables() {
    CrcTables tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        tables[0][byte] = crc;
    }
    for (std::size_t table = 1; table < 8; ++table)
        for (std::size_t byte = 0; byte < 256; ++byte)
            tables[table][byte] = (tables[table - 1][byte] >> 8) ^ tables[0][tables[table - 1][byte] & 0xFF];
    return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

constexpr char kJournalMagic[8] = {'Q', 'V', 'D', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kJournalHeaderBytes = 32;
constexpr std::size_t kChecksumAt = 8, kChecksummedFrom = 12, kFlagsAt = 12, kOldLengthAt = 16, kNewLengthAt = 24;
constexpr std::size_t kAwaitedBytes = 12;
constexpr std::uint64_t kOldMissing = 1, kAwaits = 2;

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= std::uint64_t{static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)])} << (8 * i);
    return value;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    std::uint32_t crc = 0xFFFFFFFFu;
    const CrcTables& t = kCrcTables;
    for (; left >= 8; p += 8, left -= 8) {
        std::uint32_t low = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        std::uint32_t high = p[4] | p[5] << 8 | p[6] << 16 | static_cast<std::uint32_t>(p[7]) << 24;
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; left > 0; ++p, --left) crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

Awaited AwaitedOf(std::string_view bytes) { return {bytes.size(), Crc32(bytes)}; }

std::string EncodeJournal(const JournalEntry& entry) {
    const std::size_t header = kJournalHeaderBytes + (entry.awaits ? kAwaitedBytes : 0);
    std::string bytes(header, '\0');
    std::memcpy(bytes.data(), kJournalMagic, sizeof kJournalMagic);
    PutLittleEndian(bytes, kFlagsAt, (entry.oldMissing ? kOldMissing : 0) | (entry.awaits ? kAwaits : 0), 4);
    PutLittleEndian(bytes, kOldLengthAt, entry.oldBytes.size(), 8);
    PutLittleEndian(bytes, kNewLengthAt, entry.newBytes.size(), 8);
    if (entry.awaits) {
        PutLittleEndian(bytes, kJournalHeaderBytes, entry.awaits->length, 8);
        PutLittleEndian(bytes, kJournalHeaderBytes + 8, entry.awaits->crc, 4);
    }
    bytes.reserve(header + entry.oldBytes.size() + entry.newBytes.size());
    bytes += entry.oldBytes;
    bytes += entry.newBytes;
    PutLittleEndian(bytes, kChecksumAt, Crc32(std::string_view(bytes).substr(kChecksummedFrom)), 4);
    return bytes;
}

std::optional<JournalEntry> DecodeJournal(std::string_view bytes) {
    const std::string_view magic(kJournalMagic, sizeof kJournalMagic);
    if (bytes.size() < kJournalHeaderBytes || bytes.substr(0, magic.size()) != magic) return std::nullopt;
    std::uint64_t flags = GetLittleEndian(bytes, kFlagsAt, 4);
    std::uint64_t oldLength = GetLittleEndian(bytes, kOldLengthAt, 8);
    std::uint64_t newLength = GetLittleEndian(bytes, kNewLengthAt, 8);
    const std::size_t header = kJournalHeaderBytes + ((flags & kAwaits) ? kAwaitedBytes : 0);
    if (flags > (kOldMissing | kAwaits) || ((flags & kOldMissing) && oldLength != 0) || bytes.size() < header)
        return std::nullopt;
    std::uint64_t body = bytes.size() - header;
    if (oldLength > body || newLength != body - oldLength) return std::nullopt;
    if (Crc32(bytes.substr(kChecksummedFrom)) != GetLittleEndian(bytes, kChecksumAt, 4)) return std::nullopt;
    JournalEntry entry;
    entry.oldMissing = (flags & kOldMissing) != 0;
    if (flags & kAwaits)
        entry.awaits = Awaited{GetLittleEndian(bytes, kJournalHeaderBytes, 8),
                               static_cast<std::uint32_t>(GetLittleEndian(bytes, kJournalHeaderBytes + 8, 4))};
    entry.oldBytes = bytes.substr(header, static_cast<std::size_t>(oldLength));
    entry.newBytes = bytes.substr(header + static_cast<std::size_t>(oldLength));
    return entry;
}

bool CouldBeMidRewrite(const JournalEntry& entry, const std::optional<std::string>& file) {
    if (!file) return entry.oldMissing;
    const std::string& longer = entry.oldBytes.size() >= entry.newBytes.size() ? entry.oldBytes : entry.newBytes;
    const std::size_t shorter = std::min(entry.oldBytes.size(), entry.newBytes.size());
    if (file->size() < shorter || file->size() > longer.size()) return false;
    for (std::size_t i = 0; i < shorter; ++i)
        if ((*file)[i] != entry.oldBytes[i] && (*file)[i] != entry.newBytes[i]) return false;
    for (std::size_t i = shorter; i < file->size(); ++i)
        if ((*file)[i] != longer[i] && (*file)[i] != '\0') return false;
    return true;
}
