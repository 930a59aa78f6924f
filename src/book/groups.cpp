#include "book/groups.h"

#include <algorithm>

#include "book/address_book.h"
#include "book/person_rules.h"

GroupMember MemberOf(const CAddressEntry& person) { return {person.m_strName, person.m_strFaxNumber}; }

GroupRule FirstBrokenRule(const CGroup& group, const std::vector<CGroup>& others) {
    if (group.m_strName.empty()) return GroupRule::Required;
    if ((group.m_strName + group.m_strReading).find(',') != std::string::npos) return GroupRule::NoComma;
    if (group.m_strName.size() > kMaxEntryTextBytes || group.m_strReading.size() > kMaxEntryTextBytes)
        return GroupRule::TooLong;
    if (FindGroup(others, group.m_strName) >= 0) return GroupRule::NameTaken;
    if (group.m_aMembers.size() > static_cast<std::size_t>(CGroup::kMaxMembers)) return GroupRule::TooManyMembers;
    return GroupRule::None;
}

GroupsParsed ParseGroups(std::string_view bytes, std::vector<CGroup>& groups) {
    GroupsParsed parsed;
    groups.clear();
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        std::string fields[4];
        for (int field = 0; field < 4; ++field) {
            const std::size_t comma = std::min(line.find(','), line.size());
            for (char c : line.substr(0, comma))
                if (c != '\r') fields[field] += c;
            line.remove_prefix(std::min(comma + 1, line.size()));
        }
        if (fields[0].empty()) continue;
        int at = FindGroup(groups, fields[0]);
        if (at < 0) {
            if (static_cast<int>(groups.size()) >= kMaxGroups) {
                ++parsed.dropped;
                continue;
            }
            groups.push_back({fields[0], fields[1], {}});
            at = static_cast<int>(groups.size()) - 1;
        }
        std::vector<GroupMember>& members = groups[static_cast<std::size_t>(at)].m_aMembers;
        const GroupMember member{fields[2], fields[3]};
        if ((member.name.empty() && member.faxNumber.empty()) ||
            std::find(members.begin(), members.end(), member) != members.end())
            continue;
        if (members.size() >= static_cast<std::size_t>(CGroup::kMaxMembers))
            ++parsed.dropped;
        else
            members.push_back(member);
    }
    return parsed;
}

std::string FormatGroups(const std::vector<CGroup>& groups) {
    std::string bytes;
    for (const CGroup& group : groups) {
        const std::string head = group.m_strName + "," + group.m_strReading + ",";
        if (group.m_aMembers.empty()) bytes += head + ",\r\n";
        for (const GroupMember& member : group.m_aMembers) bytes += head + member.name + "," + member.faxNumber + "\r\n";
    }
    return bytes;
}

int FindGroup(const std::vector<CGroup>& groups, const std::string& name) {
    for (std::size_t at = 0; at < groups.size(); ++at)
        if (groups[at].m_strName == name) return static_cast<int>(at);
    return -1;
}

int SlotOfMember(const CAddressBook& book, const GroupMember& member) {
    for (int slot = 0; slot < book.m_nEntryCount; ++slot)
        if (MemberOf(book.m_aEntries[static_cast<std::size_t>(slot)]) == member) return slot;
    return -1;
}

std::vector<std::string> NamesNotFound(const CAddressBook& book, const CGroup& group) {
    std::vector<std::string> names;
    for (const GroupMember& member : group.m_aMembers)
        if (SlotOfMember(book, member) < 0) names.push_back(member.name);
    return names;
}

void DropNotFound(const CAddressBook& book, CGroup& group) {
    std::vector<GroupMember>& members = group.m_aMembers;
    members.erase(std::remove_if(members.begin(), members.end(),
                                 [&](const GroupMember& member) { return SlotOfMember(book, member) < 0; }),
                  members.end());
}

bool FollowPerson(std::vector<CGroup>& groups, const CAddressBook& book, const CAddressEntry& before,
                  const CAddressEntry* after) {
    const GroupMember was = MemberOf(before);
    if ((after && MemberOf(*after) == was) || SlotOfMember(book, was) >= 0) return false;
    bool changed = false;
    for (CGroup& group : groups) {
        std::vector<GroupMember>& members = group.m_aMembers;
        auto at = std::find(members.begin(), members.end(), was);
        if (at == members.end()) continue;
        changed = true;
        // Renamed into someone the group lists already: one destination.
        if (after && std::find(members.begin(), members.end(), MemberOf(*after)) == members.end())
            *at = MemberOf(*after);
        else
            members.erase(at);
    }
    return changed;
}
