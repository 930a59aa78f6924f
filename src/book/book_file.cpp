#include "book/book_file.h"

#include "framework/files.h"
#include "framework/platform.h"

namespace {

enum class FieldEnd { Comma, LineEnd, EndOfData };

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    FieldEnd Read(std::string& field) {
        field.clear();
        while (m_pos < m_bytes.size()) {
            char c = m_bytes[m_pos++];
            if (c == ',') return FieldEnd::Comma;
            if (c == '\n') return FieldEnd::LineEnd;
            if (c != '\r') field.push_back(c);
        }
        return FieldEnd::EndOfData;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

bool IsBlank(const CAddressEntry& record) {
    for (auto column : CAddressEntry::kColumns)
        if (!(record.*column).empty()) return false;
    return true;
}

}  // namespace

ParseOutcome ParseAddressBook(std::string_view bytes, CAddressBook& book) {
    ParseOutcome outcome;
    book.Clear();
    FieldReader reader(bytes);
    CAddressEntry record;
    std::string field;

    for (;;) {
        FieldEnd end = reader.Read(field);
        if (end == FieldEnd::EndOfData && field.empty()) break;
        record = CAddressEntry();
        record.*CAddressEntry::kColumns[0] = field;
        bool lineEnded = end != FieldEnd::Comma;
        bool dataEnded = end == FieldEnd::EndOfData;
        for (int column = 1; column < CAddressEntry::kColumnCount && !dataEnded; ++column) {
            // The first six fields are read across line ends.
            if (column >= 6 && lineEnded) break;
            end = reader.Read(field);
            if (end == FieldEnd::EndOfData) {
                dataEnded = true;
                if (field.empty()) break;
            }
            record.*CAddressEntry::kColumns[column] = field;
            if (end == FieldEnd::LineEnd) lineEnded = true;
        }

        // Blank lines at the very end of a file are no row.
        if (dataEnded && IsBlank(record)) break;
        if (!record.m_strName.empty()) {
            // Only persons count: the unnamed rows a full book was saved
            // with come back with it.
            if (book.m_nEntryCount >= CAddressBook::kMaxEntries) {
                outcome.tooManyPersons = true;
                break;
            }
            book.m_aEntries[static_cast<std::size_t>(book.m_nEntryCount++)] = record;
        } else if (book.m_nUnnamedRowCount < CAddressBook::kMaxUnnamedRows) {
            book.m_aUnnamedRows[book.m_nUnnamedRowCount++] = record;
        }
        if (dataEnded) break;
    }
    book.m_nNextID = book.m_nEntryCount;
    return outcome;
}

std::string FormatAddressBook(const CAddressBook& book) {
    std::string bytes;
    auto append = [&bytes](const CAddressEntry& row) {
        for (int column = 0; column < CAddressEntry::kColumnCount; ++column) {
            bytes += row.*CAddressEntry::kColumns[column];
            bytes += column + 1 < CAddressEntry::kColumnCount ? "," : "\r\n";
        }
    };
    for (int slot = 0; slot < book.m_nEntryCount; ++slot) append(book.m_aEntries[static_cast<std::size_t>(slot)]);
    for (std::uint32_t row = 0; row < book.m_nUnnamedRowCount; ++row) append(book.m_aUnnamedRows[row]);
    return bytes;
}

std::string AddressBookPath(Platform& platform, const char* fileName) {
    return platform.SystemDirectory() + "\\" + fileName;
}

CAddressBookFile::LoadResult CAddressBookFile::Load(Platform& platform, std::string& bytes) {
    bytes.clear();
    m_strOnDisk.clear();
    switch (ReadFilePatiently(platform, AddressBookPath(platform), bytes)) {
    case FileReadStatus::Read:
        m_bReadable = true;
        m_strOnDisk = bytes;
        return LoadResult::Loaded;
    case FileReadStatus::Missing:
        m_bReadable = true;
        return LoadResult::Missing;
    case FileReadStatus::Locked:
    case FileReadStatus::Failed:
        break;
    }
    m_bReadable = false;
    bytes.clear();
    return LoadResult::Unreadable;
}

bool CAddressBookFile::Save(Platform& platform, const std::string& bytes) {
    if (!m_bReadable) return false;
    const std::string path = AddressBookPath(platform);
    std::string now;
    FileReadStatus status = ReadFilePatiently(platform, path, now);
    // A file deleted meanwhile holds nothing to lose.
    bool unchanged = status == FileReadStatus::Missing || (status == FileReadStatus::Read && now == m_strOnDisk);
    if (!unchanged) return false;
    if (!SaveFileSafely(platform, path, AddressBookPath(platform, kAddressBookTempFileName), bytes)) return false;
    m_strOnDisk = bytes;
    return true;
}
