// Finding persons in the office's directory at print time: the policy that
// names it, the filter a typed text becomes, and what a directory entry
// may bring into the destinations or the book.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "book/address_book.h"
#include "system/directory.h"

class Registry;

inline constexpr const char* kDirectoryPolicyKey = "SOFTWARE\\Policies\\qvdutil\\Directory";
// At most this many persons are shown; more found asks for a narrower text.
inline constexpr int kMaxDirectoryPersons = 100;

// The attributes asked for, one per edited field in column order; then the
// entry's common name (cn), the name of an entry that has no other.
enum DirectoryField { kName, kNameReading, kCompany, kCompanyReading, kDepartment, kFaxNumber, kFieldCount, kCommonName = kFieldCount };

// The machine policy; off unless the administrator enabled it.
struct DirectoryPolicy {
    bool enabled = false;
    DirectoryQuery query;  // all but the filter's text: the policy's filter stands alone
};
DirectoryPolicy ReadDirectoryPolicy(Registry& registry);

// |value| (UTF-8) as an assertion value of a filter (RFC 4515): * ( ) \ and
// NUL escaped, so typed text never widens a search.
std::string EscapeFilterValue(std::string_view value);
// The filter that finds |text| (code page 932) anywhere in the name, the
// readings, the company, the department or the FAX number of the persons
// |policyFilter| selects; hiragana and katakana find each other. Empty
// when the text has nothing to find.
std::string SearchFilter(const std::string& policyFilter, const std::vector<std::string>& attributes, std::string_view text);

// Why a directory person cannot reach the destinations or the book.
enum class DirectoryRule {
    None,
    NoName,
    NoFaxNumber,
    NotShiftJis,  // a character code page 932 lacks
    Control,      // a line break, a tab, a NUL
    Comma,
    TooLong,
    FaxCharacters,
};
struct DirectoryPerson {
    CAddressEntry fields;  // as far as they could be taken; unfit ones shown with ? for what is lacking
    DirectoryRule broken = DirectoryRule::None;
    int column = 0;  // the field (1 to 6) that broke it
};
// The FAX number a directory's number dials from Japan: spaces, brackets
// and dots dropped, full-width digits made ASCII, +81 as the leading 0,
// what follows a $ (the number's fax parameters) dropped.
std::string DialledFaxNumber(std::string_view directoryNumber);
DirectoryPerson PersonFromEntry(const DirectoryEntry& entry);

struct DirectoryResult {
    DirectoryFault fault = DirectoryFault::None;
    unsigned long code = 0;
    std::vector<DirectoryPerson> persons;  // at most kMaxDirectoryPersons
    bool more = false;                     // more matched than shown
    bool cancelled = false;
};
// Pages through the search until kMaxDirectoryPersons + 1 are found, the
// directory has no more, or |cancelled| is set; those shown in the order of
// their readings.
DirectoryResult SearchDirectory(Directory& directory, const DirectoryQuery& query, const std::atomic<bool>& cancelled);
