#include "framework/files.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kOpenAttempts = 5;
constexpr unsigned kFirstPauseMs = 50;  // then 100, 200, 400: under a second in all

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

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= std::uint64_t{static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)])} << (8 * i);
    return value;
}

// A file held open for one load or save, closed when it goes out of scope.
class HeldFile {
public:
    explicit HeldFile(Platform& platform) : m_platform(platform) {}
    ~HeldFile() { Close(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    FileOpenStatus Open(const std::string& path, FileAccess access, bool create) {
        Close();
        FileOpenStatus status = OpenFilePatiently(m_platform, path, access, create, m_handle);
        if (status != FileOpenStatus::Opened && status != FileOpenStatus::Created) m_handle = nullptr;
        return status;
    }
    bool Read(std::string& bytes) { return m_platform.ReadWholeFile(m_handle, bytes); }
    // The file holds |bytes| and nothing else, on the disk.
    bool Rewrite(std::string_view bytes) {
        return (bytes.empty() || m_platform.WriteFileAt(m_handle, 0, bytes)) &&
               m_platform.SetFileLength(m_handle, bytes.size()) && m_platform.FlushFile(m_handle);
    }
    bool Empty() { return Rewrite({}); }

private:
    void Close() {
        if (m_handle) m_platform.CloseFile(m_handle);
        m_handle = nullptr;
    }

    Platform& m_platform;
    FileHandle* m_handle = nullptr;
};

bool IsOpen(FileOpenStatus status) { return status == FileOpenStatus::Opened || status == FileOpenStatus::Created; }

// The journal's bytes, read without holding the file: only to learn whether
// a file that is missing has anything to recover. Empty when there is none.
std::string PeekAtJournal(Platform& platform, const std::string& journalPath) {
    HeldFile journal(platform);
    std::string bytes;
    FileOpenStatus status = journal.Open(journalPath, FileAccess::Read, false);
    if (status == FileOpenStatus::Missing || (IsOpen(status) && journal.Read(bytes))) return bytes;
    return "?";  // there, but unreadable: it may hold a rewrite
}

// With the file held and read (|onDisk|; nullopt when it was missing):
// completes the rewrite the journal records, or discards it when the file
// has changed since. |onDisk| then holds what the file holds, or what it
// will hold once recovery can finish; false when it could not.
bool Recover(Platform& platform, HeldFile& file, const std::string& journalPath, bool mayWrite,
             std::optional<std::string>& onDisk) {
    HeldFile journal(platform);
    // A user who may not change the book may still read what the journal holds.
    FileOpenStatus status = mayWrite ? journal.Open(journalPath, FileAccess::Update, false) : FileOpenStatus::Denied;
    bool journalWritable = IsOpen(status);
    if (status == FileOpenStatus::Denied) status = journal.Open(journalPath, FileAccess::Read, false);
    if (status == FileOpenStatus::Missing) return true;
    std::string recorded;
    if (!IsOpen(status) || !journal.Read(recorded)) return false;
    if (recorded.empty()) return true;
    std::optional<JournalEntry> entry = DecodeJournal(recorded);
    bool rollForward = entry && CouldBeMidRewrite(*entry, onDisk);
    if (rollForward) onDisk = entry->newBytes;
    return journalWritable && (!rollForward || file.Rewrite(entry->newBytes)) && journal.Empty();
}

// The rewrite of a save, with the file held and checked: the journal's
// entry flushed (the commit), the file rewritten and flushed, the journal
// emptied. False when the file does not hold the new bytes; |pending| when
// the journal could not be left empty and only the next start may settle it.
bool RewriteUnderJournal(Platform& platform, HeldFile& file, const std::string& journalPath,
                         const JournalEntry& entry, bool& pending) {
    HeldFile journal(platform);
    if (!IsOpen(journal.Open(journalPath, FileAccess::Update, true))) return false;
    if (!journal.Rewrite(EncodeJournal(entry))) {
        // Not committed; but a whole entry that missed only its flush could
        // still be applied by the next start, unless it is emptied.
        pending = !journal.Empty();
        return false;
    }
    if (!file.Rewrite(entry.newBytes)) {
        // A full disk or an I/O error: the old bytes go back at once, through
        // the handle still held.
        pending = !file.Rewrite(entry.oldBytes) || !journal.Empty();
        return false;
    }
    // The file is whole; a journal left full is completed again by the next start.
    pending = !journal.Empty();
    return true;
}

}  // namespace

FileOpenStatus OpenFilePatiently(Platform& platform, const std::string& path, FileAccess access, bool create,
                                 FileHandle*& file) {
    unsigned pause = kFirstPauseMs;
    for (int attempt = 1;; ++attempt, pause *= 2) {
        FileOpenStatus status = platform.OpenFile(path, access, create, file);
        if (status != FileOpenStatus::Locked || attempt == kOpenAttempts) return status;
        platform.Pause(pause);
    }
}

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

std::string EncodeJournal(const JournalEntry& entry) {
    std::string bytes(kJournalHeaderBytes, '\0');
    std::memcpy(bytes.data(), kJournalMagic, sizeof kJournalMagic);
    PutLittleEndian(bytes, kFlagsAt, entry.oldMissing ? 1 : 0, 4);
    PutLittleEndian(bytes, kOldLengthAt, entry.oldBytes.size(), 8);
    PutLittleEndian(bytes, kNewLengthAt, entry.newBytes.size(), 8);
    bytes.reserve(kJournalHeaderBytes + entry.oldBytes.size() + entry.newBytes.size());
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
    std::uint64_t body = bytes.size() - kJournalHeaderBytes;
    if (flags > 1 || (flags == 1 && oldLength != 0) || oldLength > body || newLength != body - oldLength)
        return std::nullopt;
    if (Crc32(bytes.substr(kChecksummedFrom)) != GetLittleEndian(bytes, kChecksumAt, 4)) return std::nullopt;
    JournalEntry entry;
    entry.oldMissing = flags == 1;
    entry.oldBytes = bytes.substr(kJournalHeaderBytes, static_cast<std::size_t>(oldLength));
    entry.newBytes = bytes.substr(kJournalHeaderBytes + static_cast<std::size_t>(oldLength));
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

JournaledFile::LoadResult JournaledFile::Load(Platform& platform, const std::string& path,
                                              const std::string& journalPath, std::string& bytes) {
    m_strPath = path;
    m_strJournalPath = journalPath;
    m_bReadable = false;
    m_bJournalPending = false;
    m_strOnDisk.clear();
    bytes.clear();

    HeldFile file(platform);
    bool mayWrite = true;
    FileOpenStatus status = file.Open(path, FileAccess::Update, false);
    if (status == FileOpenStatus::Denied) {  // a user who may read the book but not change it
        mayWrite = false;
        status = file.Open(path, FileAccess::Read, false);
    }
    if (status == FileOpenStatus::Missing) {
        std::string recorded = PeekAtJournal(platform, journalPath);
        if (recorded.empty()) {
            m_bReadable = true;
            return LoadResult::Missing;
        }
        // Created empty only to be held while the journal is read; it reads as missing.
        status = file.Open(path, FileAccess::Update, true);
        if (!IsOpen(status)) {
            m_bJournalPending = true;
            std::optional<JournalEntry> entry = DecodeJournal(recorded);
            if (!entry || !entry->oldMissing) return LoadResult::Missing;
            bytes = entry->newBytes;
            return LoadResult::Loaded;
        }
    }
    if (!IsOpen(status)) return LoadResult::Unreadable;

    std::optional<std::string> onDisk;
    if (status == FileOpenStatus::Opened) {
        onDisk.emplace();
        if (!file.Read(*onDisk)) return LoadResult::Unreadable;
    }
    m_bJournalPending = !Recover(platform, file, journalPath, mayWrite, onDisk);
    m_bReadable = true;
    if (!onDisk) return LoadResult::Missing;
    bytes = *onDisk;
    m_strOnDisk = bytes;
    return LoadResult::Loaded;
}

bool JournaledFile::Save(Platform& platform, const std::string& bytes) {
    if (!m_bReadable || m_bJournalPending) return false;
    HeldFile file(platform);
    FileOpenStatus status = file.Open(m_strPath, FileAccess::Update, true);
    if (!IsOpen(status)) return false;
    JournalEntry entry;
    entry.oldMissing = status == FileOpenStatus::Created;
    // A file deleted meanwhile holds nothing to lose.
    if (!entry.oldMissing && (!file.Read(entry.oldBytes) || entry.oldBytes != m_strOnDisk)) return false;
    entry.newBytes = bytes;
    if (entry.oldBytes != bytes && !RewriteUnderJournal(platform, file, m_strJournalPath, entry, m_bJournalPending))
        return false;
    m_strOnDisk = bytes;
    return true;
}
