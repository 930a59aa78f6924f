// What a person's texts may hold: the rules the entry dialogs enforce and
// the import warns about, in one place.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

class CAddressEntry;

inline constexpr std::size_t kMaxEntryTextBytes = 64;  // name, readings, company, department
inline constexpr std::size_t kMaxFaxNumberBytes = 32;  // also what one destination may hold

// The new-entry dialog takes fewer characters in a FAX number than the
// property dialog (and a file) may hold.
enum class FaxCharacters { NewEntry, Property };
inline constexpr std::string_view AllowedFaxBytes(FaxCharacters which) {
    return which == FaxCharacters::NewEntry ? "0123456789-#" : "0123456789-#*/\xA5";
}

// The rules in the order the entry dialogs check them.
enum class PersonRule {
    None,
    Required,  // name, name reading and FAX number
    NoComma,   // a comma would shift every later column of the row in the file
    FaxCharacters,
    FaxTooLong,
    NameTooLong,
    CompanyTooLong,
    DepartmentTooLong,
};
// A rule broken in one of the six edited fields (column 1 to 6 of the file).
struct PersonFinding {
    PersonRule rule;
    int column;
};
// Every rule of the six edited fields that |person| breaks, in the order the
// entry dialogs check them, each field in column order.
std::vector<PersonFinding> PersonFindings(const CAddressEntry& person, FaxCharacters which);
// The first of them, as the entry dialogs report one at a time.
PersonRule FirstBrokenRule(const CAddressEntry& person, FaxCharacters which);
