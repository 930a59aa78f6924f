#include "tool/book_import.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <utility>

#include "book/book_change.h"
#include "book/book_file.h"
#include "book/person_rules.h"
#include "system/text.h"
#include "system/code_page.h"

namespace {

using Kind = ImportNote::Kind;

struct Field {
    std::string text;
    bool badQuote = false;  // a quoted field not closed, or text after its closing quote
};
using Row = std::vector<Field>;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Rows of fields as spreadsheets write them: "..." quotes a field, "" inside
// it stands for one quote, and a quoted field may hold commas and line ends.
std::vector<Row> SplitRows(std::string_view bytes) {
    std::vector<Row> rows;
    std::size_t pos = 0;
    const std::size_t end = bytes.size();
    while (pos < end) {
        Row& row = rows.emplace_back();
        for (;;) {
            Field& field = row.emplace_back();
            if (pos < end && bytes[pos] == '"') {
                bool closed = false;
                for (++pos; pos < end && !closed;) {
                    char c = bytes[pos++];
                    if (c != '"') {
                        field.text += c;
                    } else if (pos < end && bytes[pos] == '"') {
                        field.text += '"';
                        ++pos;
                    } else {
                        closed = true;
                    }
                }
                field.badQuote = !closed || (pos < end && bytes[pos] != ',' && !IsLineEnd(bytes[pos]));
            }
            while (pos < end && bytes[pos] != ',' && !IsLineEnd(bytes[pos])) field.text += bytes[pos++];
            if (pos < end && bytes[pos] == ',') {
                ++pos;
                continue;
            }
            break;
        }
        // CR LF, LF or CR
        if (pos < end && bytes[pos] == '\r') ++pos;
        if (pos < end && bytes[pos] == '\n') ++pos;
    }
    return rows;
}

bool IsBlank(const Row& row) {
    return std::all_of(row.begin(), row.end(), [](const Field& field) { return field.text.empty() && !field.badQuote; });
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool DecodeUtf8(std::string_view text, std::u32string* out = nullptr) {
    for (std::size_t pos = 0; pos < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[pos]);
        int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                                 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
        if (extra < 0 || text.size() - pos <= static_cast<std::size_t>(extra)) return false;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            unsigned char next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (out) out->push_back(code);
        pos += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string EncodeUtf8(char32_t code) {
    std::string text;
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
    return text;
}

// Characters of JIS X 0208 that other systems map to other code points than
// Windows does: the same character, which code page 932 holds as the second.
constexpr std::pair<const char*, const char*> kJisVariants[] = {
    {"\xE3\x80\x9C", "\xEF\xBD\x9E"},  // wave dash -> fullwidth tilde
    {"\xE2\x80\x96", "\xE2\x88\xA5"},  // double vertical line -> parallel to
    {"\xE2\x88\x92", "\xEF\xBC\x8D"},  // minus sign -> fullwidth hyphen-minus
    {"\xC2\xA2", "\xEF\xBF\xA0"},      // cent sign -> fullwidth
    {"\xC2\xA3", "\xEF\xBF\xA1"},      // pound sign -> fullwidth
    {"\xC2\xAC", "\xEF\xBF\xA2"},      // not sign -> fullwidth
    {"\xE2\x80\x94", "\xE2\x80\x95"},  // em dash -> horizontal bar
};

std::string WindowsForms(std::string text) {
    for (const auto& [other, windows] : kJisVariants)
        for (std::size_t at = text.find(other); at != std::string::npos; at = text.find(other, at))
            text.replace(at, std::strlen(other), windows);
    return text;
}

// The field as the book holds it (Shift-JIS), or a refusal.
bool Decode(const std::string& text, bool utf8, int row, int column, std::vector<ImportNote>& refusals,
            std::string& bytes) {
    if (!utf8) {
        if (!Utf8FromCp932(text)) {
            refusals.push_back({Kind::NotShiftJis, row, column});
            return false;
        }
        bytes = text;
        return true;
    }
    std::string windows = WindowsForms(text);
    if (std::optional<std::string> converted = Cp932FromUtf8(windows)) {
        bytes = std::move(*converted);
        return true;
    }
    std::u32string codes;
    if (!DecodeUtf8(windows, &codes)) {
        refusals.push_back({Kind::NotUtf8, row, column});
        return false;
    }
    for (char32_t code : codes) {
        if (!Cp932FromUtf8(EncodeUtf8(code))) {
            refusals.push_back({Kind::NoShiftJisForm, row, column, code});
            return false;
        }
    }
    refusals.push_back({Kind::NoShiftJisForm, row, column});  // each alone has a form, together not
    return false;
}

// Whether the text holds one of |words| (code page 932), compared character
// by character so that no trail byte is taken for a character.
bool HasCharacter(std::string_view text, std::initializer_list<std::string_view> words) {
    for (std::size_t pos = 0; pos < text.size(); pos += IsLeadByte932(static_cast<unsigned char>(text[pos])) ? 2 : 1)
        for (std::string_view word : words)
            if (text.substr(pos, word.size()) == word) return true;
    return false;
}

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a spreadsheet makes of "3-1" or "03/1": "2026/3/1", "3月1日", "1-Mar".
bool LooksLikeDate(std::string_view fax) {
    if (HasCharacter(fax, {"年", "月", "日"})) return true;
    std::string lower(fax);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return std::tolower(c); });
    for (const char* month : {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"})
        if (lower.find(month) != std::string::npos) return true;
    for (char separator : {'/', '-'}) {
        std::vector<std::string_view> groups;
        for (std::size_t start = 0;;) {
            std::size_t stop = fax.find(separator, start);
            groups.push_back(fax.substr(start, stop == std::string_view::npos ? stop : stop - start));
            if (stop == std::string_view::npos) break;
            start = stop + 1;
        }
        bool dateShaped = (groups.size() == 2 || groups.size() == 3) && !groups[0].empty() && groups[0][0] != '0';
        for (std::string_view group : groups) dateShaped = dateShaped && IsDigits(group) && group.size() <= 4;
        if (dateShaped && groups[1].size() <= 2) return true;
    }
    return false;
}

// What a spreadsheet makes of "0312345678" read as a number: "312345678",
// or "3.12346E+09".
bool LooksLikeNumber(std::string_view fax) {
    if (IsDigits(fax)) return fax[0] != '0';
    std::size_t exponent = fax.find("E+");
    if (exponent == std::string_view::npos || !IsDigits(fax.substr(exponent + 2))) return false;
    std::string_view mantissa = fax.substr(0, exponent);
    std::size_t point = mantissa.find('.');
    return point == std::string_view::npos ? IsDigits(mantissa)
                                           : IsDigits(mantissa.substr(0, point)) && IsDigits(mantissa.substr(point + 1));
}

// The entry dialogs' rules, as warnings in column order: the file may hold
// what the dialogs would not take.
void WarnAboutPerson(const CAddressEntry& person, int row, std::vector<ImportNote>& warnings) {
    const std::size_t first = warnings.size();
    const std::string& fax = person.m_strFaxNumber;
    // What a spreadsheet made of a number says more than which characters it broke.
    const bool date = !fax.empty() && LooksLikeDate(fax), number = !date && !fax.empty() && LooksLikeNumber(fax);
    if (date || number) warnings.push_back({date ? Kind::FaxLooksLikeDate : Kind::FaxAsNumber, row, 6});
    for (const PersonFinding& finding : PersonFindings(person, FaxCharacters::Property)) {
        switch (finding.rule) {
        case PersonRule::None:
        case PersonRule::NoComma:  // refused where the file is read
            break;
        case PersonRule::Required:
            warnings.push_back({Kind::Required, row, finding.column});
            break;
        case PersonRule::FaxCharacters:
            if (!date && !number) warnings.push_back({Kind::FaxCharacters, row, 6});
            break;
        default:
            warnings.push_back({Kind::TooLong, row, finding.column});
            break;
        }
    }
    std::stable_sort(warnings.begin() + static_cast<std::ptrdiff_t>(first), warnings.end(),
                     [](const ImportNote& a, const ImportNote& b) { return a.column < b.column; });
}

// Whether a file without a byte-order mark is UTF-8: most of its lines that
// are not plain ASCII (which reads the same either way) are UTF-8 with a
// character of three bytes or more, as Japanese text in UTF-8 is. Shift-JIS
// text hardly ever is (half-width kana can pair up into two-byte UTF-8), and
// a UTF-8 file with a byte gone wrong in one line is still UTF-8, that line
// refused, instead of every line becoming other characters.
bool MostlyUtf8(std::string_view bytes) {
    int lines = 0, utf8 = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view line = bytes.substr(start, end - start);
        if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            ++lines;
            bool wide = std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE0; });
            utf8 += wide && DecodeUtf8(line) ? 1 : 0;
        }
        start = end + 1;
    }
    return utf8 * 2 > lines;
}

// UTF-16 without a byte-order mark: the zero bytes of its ASCII characters
// (commas, digits, line ends) fall on one side of each pair of bytes, even
// where the rows are nearly all Japanese: a row of six full fields still has
// its commas and line end, some 2 % of its characters. A file of zeros
// alone, as a failed copy leaves, is no text at all, and is refused for its
// zero bytes.
bool LooksLikeUtf16(std::string_view bytes) {
    std::size_t zeros[2] = {0, 0};
    for (std::size_t at = 0; at < bytes.size(); ++at) zeros[at % 2] += bytes[at] == '\0' ? 1 : 0;
    const std::size_t more = std::max(zeros[0], zeros[1]), fewer = std::min(zeros[0], zeros[1]);
    return more >= 2 && more * 64 >= bytes.size() / 2 && fewer * 4 < more;
}

}  // namespace

EditedTable ReadEditedTable(std::string_view bytes, std::size_t columns) {
    EditedTable table;
    ImportedFile& file = table.file;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" || LooksLikeUtf16(bytes)) {
        file.refusals.push_back({Kind::Utf16});
        return table;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        file.encoding = ImportedFile::Encoding::Utf8;
        bytes.remove_prefix(3);
    } else {
        file.encoding = MostlyUtf8(bytes) ? ImportedFile::Encoding::Utf8 : ImportedFile::Encoding::ShiftJis;
    }
    const bool utf8 = file.encoding == ImportedFile::Encoding::Utf8;
    std::vector<Row> rows = SplitRows(bytes);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const int row = static_cast<int>(index) + 1;
        // An empty row holds nothing to keep: a spreadsheet leaves them at
        // the end, and the book would move one in the middle to its end.
        if (IsBlank(rows[index])) continue;
        EditedRow& edited = table.rows.emplace_back();
        edited.number = row;
        edited.texts.resize(columns);
        const std::size_t refusedBefore = file.refusals.size();
        for (std::size_t at = 0; at < rows[index].size(); ++at) {
            const Field& field = rows[index][at];
            const int column = static_cast<int>(at) + 1;
            if (at >= columns) {
                if (!field.text.empty() || field.badQuote) {
                    file.refusals.push_back({Kind::ExtraColumn, row, column});
                    break;
                }
                continue;
            }
            std::optional<Kind> unfit;
            if (field.text.find('\0') != std::string::npos)
                unfit = Kind::NulByte;
            else if (field.badQuote || field.text.find('"') != std::string::npos)
                unfit = Kind::Quote;
            else if (field.text.find_first_of("\r\n") != std::string::npos)
                unfit = Kind::LineBreak;
            else if (field.text.find(',') != std::string::npos)
                unfit = Kind::Comma;
            if (unfit) {
                file.refusals.push_back({*unfit, row, column});
                continue;
            }
            std::string& text = edited.texts[at];
            if (Decode(field.text, utf8, row, column, file.refusals, text) && text.size() > kMaxFileFieldBytes)
                file.refusals.push_back({Kind::FieldTooLong, row, column});
        }
        // A row with a refused field is not warned about: its texts are not what the file holds.
        edited.refused = file.refusals.size() > refusedBefore;
    }
    return table;
}

ImportedFile ReadEditedFile(std::string_view bytes, CAddressBook& book, bool mayEmpty) {
    book.Clear();
    EditedTable table = ReadEditedTable(bytes, CAddressEntry::kColumnCount);
    ImportedFile& file = table.file;
    bool tooManyPersons = false, tooManyUnnamed = false;
    for (EditedRow& edited : table.rows) {
        const int row = edited.number;
        CAddressEntry entry;
        for (int column = 0; column < CAddressEntry::kColumnCount; ++column)
            entry.*CAddressEntry::kColumns[column] = std::move(edited.texts[static_cast<std::size_t>(column)]);
        if (!entry.m_strName.empty()) {
            if (!edited.refused) WarnAboutPerson(entry, row, file.warnings);
            if (book.m_nEntryCount < CAddressBook::kMaxEntries)
                book.m_aEntries[static_cast<std::size_t>(book.m_nEntryCount++)] = std::move(entry);
            else if (!std::exchange(tooManyPersons, true))
                file.refusals.push_back({Kind::TooManyPersons, row});
        } else {
            if (!edited.refused) file.warnings.push_back({Kind::Unnamed, row, 1});
            if (book.m_nUnnamedRowCount < CAddressBook::kMaxUnnamedRows)
                book.m_aUnnamedRows[book.m_nUnnamedRowCount++] = std::move(entry);
            else if (!std::exchange(tooManyUnnamed, true))
                file.refusals.push_back({Kind::TooManyUnnamedRows, row});
        }
    }
    // Said only of a file whose every row was read: a refused name may be a person's.
    if (book.m_nEntryCount == 0 && !mayEmpty && file.refusals.empty()) file.refusals.push_back({Kind::NoPerson});
    book.m_nNextID = book.m_nEntryCount;
    return file;
}

ImportedFile ReadEditedGroups(std::string_view bytes, std::vector<CGroup>& groups) {
    EditedTable table = ReadEditedTable(bytes, 4);
    std::string rows;
    for (const EditedRow& edited : table.rows) {
        // Read as the program reads its file: a row without a group name is no member.
        rows += edited.texts[0] + "," + edited.texts[1] + "," + edited.texts[2] + "," + edited.texts[3] + "\n";
    }
    if (ParseGroups(rows, groups).dropped > 0) table.file.refusals.push_back({Kind::TooManyGroups});
    for (const CGroup& group : groups) {
        std::vector<CGroup> others = groups;
        others.erase(others.begin() + (&group - groups.data()));
        if (FirstBrokenRule(group, others) != GroupRule::None)
            table.file.refusals.push_back({Kind::GroupRule, 0, 0, 0, group.m_strName});
    }
    return table.file;
}

void KeepUnchangedRows(const CAddressBook& current, CAddressBook& edited) {
    // A row's identity by its characters (one character may have two
    // codes), or nullopt where its bytes are no characters.
    auto characters = [](const CAddressEntry& row) -> std::optional<std::string> {
        CAddressEntry asCharacters;
        for (auto column : CAddressEntry::kColumns) {
            std::optional<std::string> text = Utf8FromCp932(row.*column);
            if (!text) return std::nullopt;
            asCharacters.*column = std::move(*text);
        }
        return RowKey(asCharacters);
    };
    // Equal rows are paired in order, the n-th with the n-th.
    std::map<std::string, std::deque<const CAddressEntry*>> rowsByCharacters;
    auto index = [&](const CAddressEntry* rows, std::size_t count) {
        for (std::size_t at = 0; at < count; ++at)
            if (std::optional<std::string> key = characters(rows[at])) rowsByCharacters[*key].push_back(&rows[at]);
    };
    auto restore = [&](CAddressEntry* rows, std::size_t count) {
        for (std::size_t at = 0; at < count; ++at) {
            std::optional<std::string> key = characters(rows[at]);
            if (!key) continue;
            auto found = rowsByCharacters.find(*key);
            if (found == rowsByCharacters.end() || found->second.empty()) continue;
            rows[at] = *found->second.front();
            found->second.pop_front();
        }
    };
    index(current.m_aEntries.data(), static_cast<std::size_t>(current.m_nEntryCount));
    index(current.m_aUnnamedRows.data(), current.m_nUnnamedRowCount);
    restore(edited.m_aEntries.data(), static_cast<std::size_t>(edited.m_nEntryCount));
    restore(edited.m_aUnnamedRows.data(), edited.m_nUnnamedRowCount);
}
