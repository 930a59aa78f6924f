#include "picker/address_view.h"

std::uint32_t AddressLine::ItemData() const {
    if (kind == Kind::Group) return kGroupItemBase + static_cast<std::uint32_t>(company);
    return IsCompany() ? CAddressBook::kCompanyItemBase + static_cast<std::uint32_t>(company)
                       : static_cast<std::uint32_t>(person);
}

std::string MemberLineText(const std::string& name) { return " >> " + name; }

std::string GroupLineText(const CGroup& group) {
    return "【" + group.m_strName + "】 " + std::to_string(group.m_aMembers.size()) + "人";
}

std::vector<std::int32_t> MembersOf(const CAddressBook& book, const CGroup& group) {
    std::vector<std::int32_t> members;
    for (const GroupMember& member : group.m_aMembers) {
        const int slot = SlotOfMember(book, member);
        members.push_back(slot < 0 ? CAddressEntry::kNoID : book.m_aEntries[static_cast<std::size_t>(slot)].m_nID);
    }
    return members;
}

std::vector<std::int32_t> MembersOf(const CAddressBook& book, const std::string& company) {
    std::vector<std::int32_t> members;
    for (int slot = 0; slot < book.m_nEntryCount; ++slot) {
        const CAddressEntry& person = book.m_aEntries[static_cast<std::size_t>(slot)];
        if (person.m_strCompany == company) members.push_back(person.m_nID);
    }
    return members;
}

void AddressView::ShowPersons(const CAddressBook& book) {
    m_lines.clear();
    m_lines.reserve(static_cast<std::size_t>(book.m_nEntryCount));
    for (int slot = 0; slot < book.m_nEntryCount; ++slot) {
        const CAddressEntry& person = book.m_aEntries[static_cast<std::size_t>(slot)];
        m_lines.push_back({AddressLine::Kind::Person, person.m_nID, -1, false, person.m_strName});
    }
}

void AddressView::ShowCompanies(CAddressBook& book) {
    int count = book.RebuildCompanies();
    m_lines.clear();
    for (int k = 0; k < count; ++k)
        m_lines.push_back({AddressLine::Kind::Company, CAddressEntry::kNoID, k, false,
                           CompanyLineText(book.m_aCompanies[static_cast<std::size_t>(k)].m_strCompanyName)});
}

void AddressView::ShowGroups(const CAddressBook& book) {
    m_lines.clear();
    for (std::size_t k = 0; k < book.m_aGroups.size(); ++k)
        m_lines.push_back({AddressLine::Kind::Group, CAddressEntry::kNoID, static_cast<int>(k), false,
                           GroupLineText(book.m_aGroups[k])});
}

const AddressLine* AddressView::At(int line) const {
    return line < 0 || line >= Count() ? nullptr : &m_lines[static_cast<std::size_t>(line)];
}

int AddressView::CompanyLineOf(int line) const {
    const AddressLine* at = At(line);
    if (!at || at->Opens() || at->kind == AddressLine::Kind::Person) return -1;
    while (!m_lines[static_cast<std::size_t>(line)].Opens()) --line;
    return line;
}

int AddressView::LineOfPerson(std::int32_t person) const {
    for (std::size_t line = 0; line < m_lines.size(); ++line)
        if (m_lines[line].ShowsPerson() && m_lines[line].person == person) return static_cast<int>(line);
    return -1;
}

int AddressView::LineOfCompany(const CAddressBook& book, const std::string& company) const {
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        const AddressLine& at = m_lines[line];
        if (at.IsCompany() && static_cast<std::size_t>(at.company) < book.m_aCompanies.size() &&
            book.m_aCompanies[static_cast<std::size_t>(at.company)].m_strCompanyName == company)
            return static_cast<int>(line);
    }
    return -1;
}

int AddressView::LineOfGroup(const CAddressBook& book, const std::string& group) const {
    const int k = FindGroup(book.m_aGroups, group);
    for (std::size_t line = 0; line < m_lines.size(); ++line)
        if (m_lines[line].kind == AddressLine::Kind::Group && m_lines[line].company == k) return static_cast<int>(line);
    return -1;
}

std::string AddressView::NameOn(const CAddressBook& book, int line) const {
    const AddressLine* at = At(line);
    if (!at || !at->Opens() || at->company < 0) return std::string();
    const auto k = static_cast<std::size_t>(at->company);
    if (at->kind == AddressLine::Kind::Group) return k < book.m_aGroups.size() ? book.m_aGroups[k].m_strName : "";
    return k < book.m_aCompanies.size() ? book.m_aCompanies[k].m_strCompanyName : "";
}

int AddressView::Expand(const CAddressBook& book, int line) {
    const AddressLine* at = At(line);
    if (!at || !at->Opens() || at->expanded) return 0;
    std::vector<AddressLine> inserted;
    if (at->kind == AddressLine::Kind::Group) {
        if (static_cast<std::size_t>(at->company) >= book.m_aGroups.size()) return 0;
        const CGroup& group = book.m_aGroups[static_cast<std::size_t>(at->company)];
        const std::vector<std::int32_t> ids = MembersOf(book, group);
        for (std::size_t k = 0; k < ids.size(); ++k) {
            const bool found = ids[k] != CAddressEntry::kNoID;
            const std::string& name = group.m_aMembers[k].name;
            inserted.push_back({found ? AddressLine::Kind::Member : AddressLine::Kind::NotFound, ids[k], -1, false,
                                MemberLineText(found ? name : name + " (見つかりません)")});
        }
    } else {
        if (static_cast<std::size_t>(at->company) >= book.m_aCompanies.size()) return 0;
        const std::string& company = book.m_aCompanies[static_cast<std::size_t>(at->company)].m_strCompanyName;
        for (int slot = 0; slot < book.m_nEntryCount; ++slot) {
            const CAddressEntry& person = book.m_aEntries[static_cast<std::size_t>(slot)];
            if (person.m_strCompany == company)
                inserted.push_back({AddressLine::Kind::Member, person.m_nID, -1, false, MemberLineText(person.m_strName)});
        }
    }
    m_lines[static_cast<std::size_t>(line)].expanded = true;
    m_lines.insert(m_lines.begin() + line + 1, inserted.begin(), inserted.end());
    return static_cast<int>(inserted.size());
}

int AddressView::Collapse(int line) {
    const AddressLine* at = At(line);
    if (!at || !at->Opens() || !at->expanded) return 0;
    m_lines[static_cast<std::size_t>(line)].expanded = false;
    int members = 0;
    while (line + 1 + members < Count() && !m_lines[static_cast<std::size_t>(line + 1 + members)].Opens() &&
           m_lines[static_cast<std::size_t>(line + 1 + members)].kind != AddressLine::Kind::Person)
        ++members;
    m_lines.erase(m_lines.begin() + line + 1, m_lines.begin() + line + 1 + members);
    return members;
}

void AddressView::Append(const CAddressEntry& person) {
    m_lines.push_back({AddressLine::Kind::Person, person.m_nID, -1, false, person.m_strName});
}

void AddressView::Rename(int line, const std::string& name) {
    if (!At(line)) return;
    AddressLine& at = m_lines[static_cast<std::size_t>(line)];
    at.text = at.kind == AddressLine::Kind::Member ? MemberLineText(name) : name;
}

void AddressView::Remove(int line) {
    if (At(line)) m_lines.erase(m_lines.begin() + line);
}

void AddressView::Renumber(const std::map<std::int32_t, std::int32_t>& renumbered) {
    for (AddressLine& line : m_lines) {
        auto found = renumbered.find(line.person);
        if (line.ShowsPerson() && found != renumbered.end()) line.person = found->second;
    }
}
