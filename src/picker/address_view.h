// What the lines of the address book list show, in any view: a person, a
// company or a group, or a member listed under its expanded company or group
// (a group's member that no person of the book is any more: not found). The dialog
// draws these lines and decides by them, never by the text on screen.
// A line keeps the text it was drawn with: lists are rebuilt only by a
// change of view or of expansion.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "book/address_book.h"

struct AddressLine {
    enum class Kind { Person, Company, Member, Group, NotFound };
    Kind kind = Kind::Person;
    std::int32_t person = CAddressEntry::kNoID;  // Person and Member lines
    int company = -1;                            // Company lines: k of m_aCompanies; Group lines: of m_aGroups
    bool expanded = false;                       // Company and Group lines
    std::string text;                            // as drawn: a later edit shows in no other line

    bool IsCompany() const { return kind == Kind::Company; }
    // A company or a group: a line that opens on its members.
    bool Opens() const { return kind == Kind::Company || kind == Kind::Group; }
    bool ShowsPerson() const { return kind == Kind::Person || kind == Kind::Member; }
    // The line's item data: a person's ID, kCompanyItemBase + k, kGroupItemBase + k.
    std::uint32_t ItemData() const;
};

inline constexpr std::uint32_t kGroupItemBase = CAddressBook::kCompanyItemBase + CAddressBook::kMaxCompanies;

// " >> " before a member's name.
std::string MemberLineText(const std::string& name);
// A group's line: its name and how many members it lists.
std::string GroupLineText(const CGroup& group);

class AddressView {
public:
    // One line per person, in slot order.
    void ShowPersons(const CAddressBook& book);
    // One line per company of the persons (first appearance first, the
    // empty one last), none expanded.
    void ShowCompanies(CAddressBook& book);
    // One line per group, in stored order, none expanded.
    void ShowGroups(const CAddressBook& book);

    int Count() const { return static_cast<int>(m_lines.size()); }
    // nullptr for a line that is not there.
    const AddressLine* At(int line) const;
    // The company line a member line stands under; -1 for any other line.
    int CompanyLineOf(int line) const;

    // The person's line, or its member line; -1 when it shows none.
    int LineOfPerson(std::int32_t person) const;
    // The line of the company named |company|; -1 when none.
    int LineOfCompany(const CAddressBook& book, const std::string& company) const;
    // The line of the group named |group|; -1 when none.
    int LineOfGroup(const CAddressBook& book, const std::string& group) const;
    // The name of the company or group a line opens on.
    std::string NameOn(const CAddressBook& book, int line) const;

    // Lists the members of the company or group on |line| below it; how many.
    int Expand(const CAddressBook& book, int line);
    // Takes them away again; how many there were.
    int Collapse(int line);

    // A person created: a line of its own at the end, in either view.
    void Append(const CAddressEntry& person);
    // The person on |line| renamed: a member line keeps its prefix.
    void Rename(int line, const std::string& name);
    void Remove(int line);
    // After the book's persons were numbered anew (old ID -> new ID).
    void Renumber(const std::map<std::int32_t, std::int32_t>& renumbered);

private:
    std::vector<AddressLine> m_lines;
};

// The IDs of the persons of |company|, in slot order.
std::vector<std::int32_t> MembersOf(const CAddressBook& book, const std::string& company);
// The IDs of the persons a group lists, in its order; -1 for a member not found.
std::vector<std::int32_t> MembersOf(const CAddressBook& book, const CGroup& group);
