// The groups of a broadcast: named lists of persons, kept in a file of their
// own beside the book (QVDGROUP.CSV), which older versions never look at.
// A member is who it is for the driver: a name and a FAX number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CAddressBook;
class CAddressEntry;

inline constexpr const char* kGroupFileName = "QVDGROUP.CSV";
// The redo journal of the groups' saves: empty between saves.
inline constexpr const char* kGroupJournalFileName = "QVDGROUP.TMP";

struct GroupMember {
    std::string name;
    std::string faxNumber;
    bool operator==(const GroupMember& other) const { return name == other.name && faxNumber == other.faxNumber; }
};
GroupMember MemberOf(const CAddressEntry& person);

struct CGroup {
    static constexpr int kMaxMembers = 100;  // what one fax may go to
    std::string m_strName;
    std::string m_strReading;
    std::vector<GroupMember> m_aMembers;  // in the order they are sent to
    bool operator==(const CGroup& other) const {
        return m_strName == other.m_strName && m_strReading == other.m_strReading && m_aMembers == other.m_aMembers;
    }
};

inline constexpr int kMaxGroups = 200;

// The rules of a group, in the order the group dialog checks them.
enum class GroupRule {
    None,
    Required,     // the name
    NoComma,      // in the name or the reading
    TooLong,      // the name or the reading, as a company's name
    NameTaken,    // another group has the name
    TooManyMembers,
};
GroupRule FirstBrokenRule(const CGroup& group, const std::vector<CGroup>& others);

// The file: one row per member (group name, reading, member name, FAX
// number), a group's rows one after the other; an empty group is one row
// without a member. CR LF, no quoting, code page 932, as the book.
struct GroupsParsed {
    // Groups past the 200th and members past the 100th were not taken in:
    // a save of the groups would drop them.
    int dropped = 0;
};
// Empties |groups| and fills it; rows of a name seen before join that group
// (a spreadsheet may have sorted them), a member listed twice counts once,
// a row without a group name is skipped.
GroupsParsed ParseGroups(std::string_view bytes, std::vector<CGroup>& groups);
std::string FormatGroups(const std::vector<CGroup>& groups);

// The group named |name|; -1 when none.
int FindGroup(const std::vector<CGroup>& groups, const std::string& name);
// The slot of the first person of |book| that |member| is; -1 when none.
int SlotOfMember(const CAddressBook& book, const GroupMember& member);

// The members of |group| that no person of |book| is, by name; and the
// group without them.
std::vector<std::string> NamesNotFound(const CAddressBook& book, const CGroup& group);
void DropNotFound(const CAddressBook& book, CGroup& group);

// A person of |book| changed from |before| to |after| (deleted: nullptr):
// the groups follow him, unless another person of the book still is who he
// was. Whether any group changed.
bool FollowPerson(std::vector<CGroup>& groups, const CAddressBook& book, const CAddressEntry& before,
                  const CAddressEntry* after);
