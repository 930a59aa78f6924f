#include "picker/address_view.h"

std::uint32_t AddressLine::ItemData() const {
    return IsCompany() ? CAddressBook::kCompanyItemBase + static_cast<std::uint32_t>(company)
                       : static_cast<std::uint32_t>(person);
}

std::string MemberLineText(const std::string& name) { return " >> " + name; }

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

const AddressLine* AddressView::At(int line) const {
    return line < 0 || line >= Count() ? nullptr : &m_lines[static_cast<std::size_t>(line)];
}

int AddressView::CompanyLineOf(int line) const {
    const AddressLine* at = At(line);
    if (!at || at->kind != AddressLine::Kind::Member) return -1;
    while (m_lines[static_cast<std::size_t>(line)].kind == AddressLine::Kind::Member) --line;
    return line;
}

int AddressView::LineOfPerson(std::int32_t person) const {
    for (std::size_t line = 0; line < m_lines.size(); ++line)
        if (!m_lines[line].IsCompany() && m_lines[line].person == person) return static_cast<int>(line);
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

std::vector<std::int32_t> AddressView::Expand(const CAddressBook& book, int line) {
    const AddressLine* at = At(line);
    if (!at || !at->IsCompany() || at->expanded || static_cast<std::size_t>(at->company) >= book.m_aCompanies.size()) return {};
    const std::string& company = book.m_aCompanies[static_cast<std::size_t>(at->company)].m_strCompanyName;
    m_lines[static_cast<std::size_t>(line)].expanded = true;
    std::vector<std::int32_t> members;
    std::vector<AddressLine> inserted;
    for (int slot = 0; slot < book.m_nEntryCount; ++slot) {
        const CAddressEntry& person = book.m_aEntries[static_cast<std::size_t>(slot)];
        if (person.m_strCompany != company) continue;
        members.push_back(person.m_nID);
        inserted.push_back({AddressLine::Kind::Member, person.m_nID, -1, false, MemberLineText(person.m_strName)});
    }
    m_lines.insert(m_lines.begin() + line + 1, inserted.begin(), inserted.end());
    return members;
}

int AddressView::Collapse(int line) {
    const AddressLine* at = At(line);
    if (!at || !at->IsCompany() || !at->expanded) return 0;
    m_lines[static_cast<std::size_t>(line)].expanded = false;
    int members = 0;
    while (line + 1 + members < Count() &&
           m_lines[static_cast<std::size_t>(line + 1 + members)].kind == AddressLine::Kind::Member)
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
        if (!line.IsCompany() && found != renumbered.end()) line.person = found->second;
    }
}
