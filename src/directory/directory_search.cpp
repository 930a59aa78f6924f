#include "directory/directory_search.h"

#include <algorithm>
#include <optional>

#include "book/person_rules.h"
#include "picker/person_search.h"
#include "system/code_page.h"
#include "system/registry.h"
#include "system/text.h"

namespace {

// Active Directory: users and contacts that have a FAX number.
constexpr const char* kDefaultFilter = "(&(objectCategory=person)(facsimileTelephoneNumber=*))";
constexpr const char* kFieldValues[kFieldCount] = {"NameAttribute",       "NameReadingAttribute",
                                                   "CompanyAttribute",    "CompanyReadingAttribute",
                                                   "DepartmentAttribute", "FaxNumberAttribute"};
constexpr const char* kDefaultAttributes[kFieldCount] = {"displayName", "msDS-PhoneticDisplayName",
                                                         "company",     "msDS-PhoneticCompanyName",
                                                         "department",  "facsimileTelephoneNumber"};
constexpr int kDefaultTimeLimit = 10;
constexpr int kMaxTimeLimit = 120;

std::optional<std::string> PolicyText(Registry& registry, HKEY key, const char* name) {
    DWORD type = 0, size = 0;
    if (registry.RegQueryValueExA(key, name, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::vector<BYTE> data(size + 1, 0);
    if (registry.RegQueryValueExA(key, name, &type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(data.data()));
    // Policies are typed by hand: spaces around a name mean nothing.
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<DWORD> PolicyNumber(Registry& registry, HKEY key, const char* name) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (registry.RegQueryValueExA(key, name, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

// A text as find compares it (picker/person_search.h), back in code page
// 932: every kana in katakana, or in hiragana where code page 932 has one.
std::string Cp932OfSearchForm(const std::u16string& form, bool hiragana) {
    std::string text;
    for (char16_t unit : form) {
        unsigned code = unit;
        if (unit >= 0x30A1 && unit <= 0x30F6) {
            if (hiragana && unit <= 0x30F3)
                code = 0x829F + (unit - 0x30A1);
            else
                code = 0x8340 + (unit - 0x30A1) + (0x8340 + (unit - 0x30A1) >= 0x837F ? 1 : 0);
        } else if (unit == 0x30FC || unit == 0x309B || unit == 0x309C) {
            code = unit == 0x30FC ? 0x815B : unit == 0x309B ? 0x814A : 0x814B;
        }
        if (code >= 0x100) text += static_cast<char>(code >> 8);
        text += static_cast<char>(code & 0xFF);
    }
    return text;
}

// |text| without the spaces (half- or full-width) at either end, as pasted:
// they would be asked for too. Walked character by character.
std::string_view Trimmed(std::string_view text) {
    std::size_t first = std::string_view::npos, end = 0;
    for (std::size_t i = 0, length = 1; i < text.size(); i += length) {
        length = IsLeadByte932(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (text.compare(i, length, " ") == 0 || text.compare(i, length, "\x81\x40") == 0) continue;
        if (first == std::string_view::npos) first = i;
        end = i + length;
    }
    return first == std::string_view::npos ? std::string_view() : text.substr(first, end - first);
}

// |value| in code page 932 with ? for each character it lacks; false in |exact| then.
std::string LossyCp932(std::string_view utf8, bool& exact) {
    if (std::optional<std::string> whole = Cp932FromUtf8(utf8)) return *whole;
    exact = false;
    std::string text;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 1;
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead >= 0xF0) length = 4;
        else if (lead >= 0xE0) length = 3;
        else if (lead >= 0xC0) length = 2;
        std::optional<std::string> one = Cp932FromUtf8(utf8.substr(i, length));
        text += one ? *one : "?";
        i += length;
    }
    return text;
}

}  // namespace

DirectoryPolicy ReadDirectoryPolicy(Registry& registry) {
    DirectoryPolicy policy;
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDirectoryPolicyKey, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return policy;
    DirectoryQuery& query = policy.query;
    policy.enabled = PolicyNumber(registry, key, "Enabled").value_or(0) == 1;
    query.tls = PolicyNumber(registry, key, "UseTls").value_or(0) == 1;
    query.sign = PolicyNumber(registry, key, "Sign").value_or(0) == 1;
    query.anonymous = PolicyNumber(registry, key, "Anonymous").value_or(0) == 1;
    const DWORD limit = PolicyNumber(registry, key, "TimeLimit").value_or(kDefaultTimeLimit);
    query.timeLimitSeconds = limit == 0 ? kDefaultTimeLimit : static_cast<int>(std::min<DWORD>(limit, kMaxTimeLimit));
    query.port = query.tls ? 636 : 389;
    query.host = PolicyText(registry, key, "Server").value_or("");
    const std::size_t colon = query.host.rfind(':');
    if (colon != std::string::npos && colon + 1 < query.host.size() && colon + 6 >= query.host.size() &&
        query.host.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
        query.port = std::stoi(query.host.substr(colon + 1));
        query.host.erase(colon);
    }
    // The registry's texts are the system's code page; the directory's are UTF-8.
    query.base = Utf8FromCp932(PolicyText(registry, key, "SearchBase").value_or("")).value_or("");
    std::string filter = PolicyText(registry, key, "Filter").value_or("");
    if (filter.empty()) filter = kDefaultFilter;
    if (filter.front() != '(') filter = "(" + filter + ")";
    query.filter = Utf8FromCp932(filter).value_or(kDefaultFilter);
    for (int field = 0; field < kFieldCount; ++field) {
        std::string attribute = PolicyText(registry, key, kFieldValues[field]).value_or("");
        query.attributes.push_back(attribute.empty() ? kDefaultAttributes[field] : attribute);
    }
    query.attributes.push_back("cn");
    registry.RegCloseKey(key);
    return policy;
}

std::string EscapeFilterValue(std::string_view value) {
    static const char kHex[] = "0123456789abcdef";
    std::string escaped;
    for (char c : value) {
        if (c == '*' || c == '(' || c == ')' || c == '\\' || c == '\0') {
            escaped += '\\';
            escaped += kHex[static_cast<unsigned char>(c) >> 4];
            escaped += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string SearchFilter(const std::string& policyFilter, const std::vector<std::string>& attributes, std::string_view text) {
    std::vector<std::string> forms;
    text = Trimmed(text);
    const std::u16string searchForm = SearchForm(text);
    for (const std::string& form :
         {std::string(text), Cp932OfSearchForm(searchForm, false), Cp932OfSearchForm(searchForm, true)}) {
        std::optional<std::string> utf8 = Utf8FromCp932(form);
        if (!utf8 || utf8->find_first_not_of(' ') == std::string::npos) continue;
        if (std::find(forms.begin(), forms.end(), *utf8) == forms.end()) forms.push_back(*utf8);
    }
    if (forms.empty()) return std::string();
    std::string any;
    for (const std::string& attribute : attributes)
        for (const std::string& form : forms) any += "(" + attribute + "=*" + EscapeFilterValue(form) + "*)";
    return "(&" + policyFilter + "(|" + any + "))";
}

std::string DialledFaxNumber(std::string_view directoryNumber) {
    std::string number;
    const std::string_view digits = directoryNumber.substr(0, directoryNumber.find('$'));
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const char c = digits[i];
        // Full-width digits, as Japanese directories often hold them (U+FF10 to U+FF19).
        if (c == '\xEF' && i + 2 < digits.size() && digits[i + 1] == '\xBC' && digits[i + 2] >= '\x90' &&
            digits[i + 2] <= '\x99') {
            number += static_cast<char>('0' + (digits[i + 2] - '\x90'));
            i += 2;
        } else if (c != ' ' && c != '(' && c != ')' && c != '.') {
            number += c;
        }
    }
    if (number.rfind("+81", 0) == 0) number.replace(0, 3, number.compare(3, 1, "0") == 0 ? "" : "0");
    return number;
}

DirectoryPerson PersonFromEntry(const DirectoryEntry& entry) {
    DirectoryPerson person;
    const auto breaks = [&](DirectoryRule rule, int column) {
        if (person.broken != DirectoryRule::None) return;
        person.broken = rule;
        person.column = column;
    };
    const auto valueOf = [&entry](int field) {
        return field < static_cast<int>(entry.values.size()) ? entry.values[static_cast<std::size_t>(field)] : std::string();
    };
    for (int field = 0; field < kFieldCount; ++field) {
        std::string value = valueOf(field);
        if (field == kName && value.empty()) value = valueOf(kCommonName);
        if (field == kFaxNumber) value = DialledFaxNumber(value);
        bool exact = true;
        std::string text = LossyCp932(value, exact);
        const int column = field + 1;
        if (!exact) breaks(DirectoryRule::NotShiftJis, column);
        if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
            breaks(DirectoryRule::Control, column);
        if (text.find(',') != std::string::npos) breaks(DirectoryRule::Comma, column);
        if (text.size() > (field == kFaxNumber ? kMaxFaxNumberBytes : kMaxEntryTextBytes)) breaks(DirectoryRule::TooLong, column);
        if (field == kFaxNumber && text.find_first_not_of(AllowedFaxBytes(FaxCharacters::Property)) != std::string::npos)
            breaks(DirectoryRule::FaxCharacters, column);
        person.fields.*CAddressEntry::kColumns[field] = text;
    }
    // A missing name or number says more than a fault in another field.
    if (person.fields.m_strFaxNumber.empty()) person.broken = DirectoryRule::NoFaxNumber, person.column = 6;
    if (person.fields.m_strName.empty()) person.broken = DirectoryRule::NoName, person.column = 1;
    return person;
}

DirectoryResult SearchDirectory(Directory& directory, const DirectoryQuery& query, const std::atomic<bool>& cancelled) {
    DirectoryResult result;
    std::unique_ptr<DirectoryPages> pages = directory.Search(query);
    for (;;) {
        if (cancelled) {
            result.cancelled = true;
            return result;
        }
        DirectoryPage page = pages->Next();
        if (page.fault != DirectoryFault::None) {
            result.fault = page.fault;
            result.code = page.code;
            result.persons.clear();
            return result;
        }
        for (const DirectoryEntry& entry : page.entries) {
            if (static_cast<int>(result.persons.size()) == kMaxDirectoryPersons) result.more = true;
            if (result.more) break;
            result.persons.push_back(PersonFromEntry(entry));
        }
        if (page.last || result.more) break;
    }
    // In the order of the readings, kana of either kind alike, as a Japanese address book is read.
    const auto key = [](const DirectoryPerson& person) {
        return SearchForm(person.fields.m_strNameReading.empty() ? person.fields.m_strName : person.fields.m_strNameReading);
    };
    std::stable_sort(result.persons.begin(), result.persons.end(),
                     [&key](const DirectoryPerson& a, const DirectoryPerson& b) { return key(a) < key(b); });
    return result;
}
