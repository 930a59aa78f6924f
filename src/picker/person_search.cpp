#include "picker/person_search.h"

#include "system/text.h"

namespace {

constexpr char16_t kVoicedMark = 0x309B;
constexpr char16_t kSemiVoicedMark = 0x309C;
constexpr char16_t kLongVowel = 0x30FC;

// Half-width katakana 0xA6 to 0xDD, as full-width katakana.
constexpr char16_t kHalfWidthKana[] = {
    0x30F2,                                          // ｦ
    0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,          // ｧ to ｫ
    0x30E3, 0x30E5, 0x30E7, 0x30C3, kLongVowel,      // ｬ ｭ ｮ ｯ ｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,          // ｱ to ｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,          // ｶ to ｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,          // ｻ to ｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,          // ﾀ to ﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,          // ﾅ to ﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,          // ﾊ to ﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,          // ﾏ to ﾓ
    0x30E4, 0x30E6, 0x30E8,                          // ﾔ ﾕ ﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED,          // ﾗ to ﾛ
    0x30EF, 0x30F3,                                  // ﾜ ﾝ
};
// Half-width ｡ ｢ ｣ ､ ･ as their full-width forms in code page 932.
constexpr char16_t kHalfWidthPunctuation[] = {0x8142, 0x8175, 0x8176, 0x8141, 0x8145};

// |kana| with a voiced (or semi-voiced) mark; 0 when it takes none.
char16_t Voiced(char16_t kana, bool semi) {
    const bool haRow = kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
    if (semi) return haRow ? static_cast<char16_t>(kana + 2) : 0;
    if (kana == 0x30A6) return 0x30F4;  // ウ -> ヴ
    const bool kaToChi = kana >= 0x30AB && kana <= 0x30C1 && (kana - 0x30AB) % 2 == 0;
    if (kaToChi || kana == 0x30C4 || kana == 0x30C6 || kana == 0x30C8 || haRow) return static_cast<char16_t>(kana + 1);
    return 0;
}

std::u16string DigitsOf(const std::u16string& form) {
    std::u16string digits;
    for (char16_t unit : form)
        if (unit >= u'0' && unit <= u'9') digits += unit;
    return digits;
}

}  // namespace

std::u16string SearchForm(std::string_view text) {
    std::u16string form;
    auto mark = [&form](bool semi) {
        char16_t voiced = form.empty() ? 0 : Voiced(form.back(), semi);
        if (voiced)
            form.back() = voiced;
        else
            form += semi ? kSemiVoicedMark : kVoicedMark;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (IsLeadByte932(byte) && i + 1 < text.size()) {
            const unsigned code = byte << 8 | static_cast<unsigned char>(text[++i]);
            if (code >= 0x829F && code <= 0x82F1)  // hiragana
                form += static_cast<char16_t>(0x30A1 + (code - 0x829F));
            else if (code >= 0x8340 && code <= 0x8396 && code != 0x837F)  // katakana, a gap at 0x7F
                form += static_cast<char16_t>(0x30A1 + (code - 0x8340) - (code > 0x837F ? 1 : 0));
            else if (code == 0x814A || code == 0x814B)  // ゛ ゜
                mark(code == 0x814B);
            else if (code == 0x815B)
                form += kLongVowel;
            else if (code >= 0x824F && code <= 0x8258)
                form += static_cast<char16_t>(u'0' + (code - 0x824F));
            else if (code >= 0x8260 && code <= 0x8279)
                form += static_cast<char16_t>(u'a' + (code - 0x8260));
            else if (code >= 0x8281 && code <= 0x829A)
                form += static_cast<char16_t>(u'a' + (code - 0x8281));
            else if (code == 0x8140)
                form += u' ';
            else if (code == 0x815D || code == 0x817C)  // ‐ －
                form += u'-';
            else
                form += static_cast<char16_t>(code);
        } else if (byte >= 0xA6 && byte <= 0xDD) {
            form += kHalfWidthKana[byte - 0xA6];
        } else if (byte == 0xDE || byte == 0xDF) {
            mark(byte == 0xDF);
        } else if (byte >= 0xA1 && byte <= 0xA5) {
            form += kHalfWidthPunctuation[byte - 0xA1];
        } else {
            form += static_cast<char16_t>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
        }
    }
    return form;
}

PersonQuery::PersonQuery(std::string_view text) : m_form(SearchForm(text)) {
    // A FAX number as typed: digits, and what stands between them.
    if (m_form.find_first_not_of(u"0123456789-()+#*/. ") == std::u16string::npos) m_digits = DigitsOf(m_form);
}

bool PersonQuery::Matches(const CAddressEntry& person) const {
    if (m_form.empty()) return false;
    for (const std::string* field : {&person.m_strName, &person.m_strNameReading, &person.m_strCompany,
                                     &person.m_strCompanyReading, &person.m_strDepartment})
        if (SearchForm(*field).find(m_form) != std::u16string::npos) return true;
    return !m_digits.empty() && DigitsOf(SearchForm(person.m_strFaxNumber)).find(m_digits) != std::u16string::npos;
}

int FindPersonSlot(const CAddressBook& book, const PersonQuery& query, int slot, bool forward) {
    const int count = book.m_nEntryCount;
    if (count == 0 || query.Empty()) return -1;
    if (slot < 0 || slot >= count) slot = forward ? count - 1 : 0;
    for (int step = 1; step <= count; ++step) {
        const int candidate = forward ? (slot + step) % count : (slot - step + count) % count;
        if (query.Matches(book.m_aEntries[static_cast<std::size_t>(candidate)])) return candidate;
    }
    return -1;
}
