// The address book parser and the groups' parser take any bytes without
// crashing or reading out of bounds, keep to their limits, and what the
// writer makes of what they parsed parses back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "book/book_file.h"
#include "book/groups.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CAddressBook book, again;
    ParseAddressBook(std::string_view(reinterpret_cast<const char*>(data), size), book);
    std::string once = FormatAddressBook(book);
    ParseOutcome second = ParseAddressBook(once, again);
    if (second.tooManyPersons || FormatAddressBook(again) != once) abort();

    std::vector<CGroup> groups, groupsAgain;
    ParseGroups(std::string_view(reinterpret_cast<const char*>(data), size), groups);
    const std::string written = FormatGroups(groups);
    if (ParseGroups(written, groupsAgain).dropped != 0 || !(groupsAgain == groups) || groups.size() > kMaxGroups) abort();
    for (const CGroup& group : groups)
        if (group.m_strName.empty() || group.m_aMembers.size() > CGroup::kMaxMembers) abort();
    return 0;
}
