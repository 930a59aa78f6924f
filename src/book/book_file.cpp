#include "book/book_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "system/files.h"

namespace {

enum class FieldEnd { Comma, LineEnd, EndOfData };

// Reads the fields of a file. Each of the three bytes that matter (',' and
// LF end a field, CR is dropped) is found with memchr, and its next position
// kept until the reading passes it, so every byte is looked at once per kind
// and a field is copied once, straight into its text.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes)
        : m_end(bytes.data() + bytes.size()),
          m_pos(bytes.data()),
          m_nextComma(Find(m_pos, m_end, ',')),
          m_nextLineFeed(Find(m_pos, m_end, '\n')),
          m_nextCarriageReturn(Find(m_pos, m_end, '\r')) {}

    FieldEnd Read(std::string& field) {
        const char* start = m_pos;
        const char* stop = std::min(Next(m_nextComma, ','), Next(m_nextLineFeed, '\n'));
        const char* cr = Next(m_nextCarriageReturn, '\r');
        if (cr >= stop) {
            field.assign(start, static_cast<std::size_t>(stop - start));
        } else {
            field.assign(start, static_cast<std::size_t>(cr - start));
            for (const char* piece = cr + 1; piece < stop;) {
                const char* next = Find(piece, stop, '\r');
                field.append(piece, static_cast<std::size_t>(next - piece));
                piece = next + 1;
            }
        }
        if (stop == m_end) {
            m_pos = m_end;
            return FieldEnd::EndOfData;
        }
        m_pos = stop + 1;
        return *stop == ',' ? FieldEnd::Comma : FieldEnd::LineEnd;
    }

private:
    static const char* Find(const char* from, const char* to, char c) {
        if (from == to) return to;
        const void* found = std::memchr(from, c, static_cast<std::size_t>(to - from));
        return found ? static_cast<const char*>(found) : to;
    }
    // The first |c| at or after the reading position (the end when none).
    const char* Next(const char*& cached, char c) {
        if (cached < m_pos) cached = Find(m_pos, m_end, c);
        return cached;
    }

    const char* m_end;
    const char* m_pos;
    const char* m_nextComma;
    const char* m_nextLineFeed;
    const char* m_nextCarriageReturn;
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
    // A record is read straight into the next free person slot, whose texts
    // keep their storage from one load to the next; past the 1000th person,
    // into a row of its own.
    CAddressEntry beyondTheLast;
    for (;;) {
        CAddressEntry& record = book.m_nEntryCount < CAddressBook::kMaxEntries
                                    ? book.m_aEntries[static_cast<std::size_t>(book.m_nEntryCount)]
                                    : beyondTheLast;
        record.m_nID = CAddressEntry::kNoID;
        FieldEnd end = reader.Read(record.*CAddressEntry::kColumns[0]);
        if (end == FieldEnd::EndOfData && record.m_strName.empty()) break;
        bool lineEnded = end != FieldEnd::Comma;
        bool dataEnded = end == FieldEnd::EndOfData;
        int column = 1;
        // The first six fields are read across line ends; from the seventh
        // on, a line end ends the record.
        for (; column < CAddressEntry::kColumnCount && !dataEnded && (column < 6 || !lineEnded); ++column) {
            end = reader.Read(record.*CAddressEntry::kColumns[column]);
            dataEnded = end == FieldEnd::EndOfData;
            lineEnded = lineEnded || end == FieldEnd::LineEnd;
        }
        for (; column < CAddressEntry::kColumnCount; ++column) (record.*CAddressEntry::kColumns[column]).clear();

        // Blank lines at the very end of a file are no row.
        if (dataEnded && IsBlank(record)) break;
        if (!record.m_strName.empty()) {
            // Only persons count: the unnamed rows a full book was saved
            // with come back with it. Those past the 1000th are only named,
            // so that whoever would drop them can say whom.
            if (book.m_nEntryCount >= CAddressBook::kMaxEntries) {
                outcome.tooManyPersons = true;
                outcome.personsBeyond.push_back(record.m_strName);
            } else {
                ++book.m_nEntryCount;
            }
        } else if (!outcome.tooManyPersons && book.m_nUnnamedRowCount < CAddressBook::kMaxUnnamedRows) {
            std::swap(book.m_aUnnamedRows[book.m_nUnnamedRowCount++], record);
        }
        if (dataEnded) break;
    }
    book.m_nNextID = book.m_nEntryCount;
    return outcome;
}

std::string FormatAddressBook(const CAddressBook& book) {
    auto rowBytes = [](const CAddressEntry& row) {
        std::size_t size = CAddressEntry::kColumnCount - 1 + 2;  // the commas, CR LF
        for (auto column : CAddressEntry::kColumns) size += (row.*column).size();
        return size;
    };
    std::size_t size = 0;
    for (int slot = 0; slot < book.m_nEntryCount; ++slot) size += rowBytes(book.m_aEntries[static_cast<std::size_t>(slot)]);
    for (std::uint32_t row = 0; row < book.m_nUnnamedRowCount; ++row) size += rowBytes(book.m_aUnnamedRows[row]);

    // Sized once, then filled: growing it as it goes cost more than the copying.
    std::string bytes(size, '\0');
    char* out = bytes.data();
    auto append = [&out](const CAddressEntry& row) {
        for (int column = 0; column < CAddressEntry::kColumnCount; ++column) {
            const std::string& text = row.*CAddressEntry::kColumns[column];
            std::memcpy(out, text.data(), text.size());
            out += text.size();
            if (column + 1 < CAddressEntry::kColumnCount) {
                *out++ = ',';
            } else {
                *out++ = '\r';
                *out++ = '\n';
            }
        }
    };
    for (int slot = 0; slot < book.m_nEntryCount; ++slot) append(book.m_aEntries[static_cast<std::size_t>(slot)]);
    for (std::uint32_t row = 0; row < book.m_nUnnamedRowCount; ++row) append(book.m_aUnnamedRows[row]);
    return bytes;
}

std::string AddressBookPath(Files& files, const char* fileName) {
    return files.SystemDirectory() + "\\" + fileName;
}
