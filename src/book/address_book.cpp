#include "book/address_book.h"

#include <algorithm>

std::string CAddressEntry::* const CAddressEntry::kColumns[kColumnCount] = {
    &CAddressEntry::m_strName,       &CAddressEntry::m_strNameReading,    &CAddressEntry::m_strCompany,
    &CAddressEntry::m_strCompanyReading, &CAddressEntry::m_strDepartment, &CAddressEntry::m_strFaxNumber,
    &CAddressEntry::m_strExtra1,     &CAddressEntry::m_strExtra2,         &CAddressEntry::m_strExtra3,
    &CAddressEntry::m_strExtra4,     &CAddressEntry::m_strExtra5,         &CAddressEntry::m_strExtra6,
    &CAddressEntry::m_strExtra7,
};

void CAddressBook::Clear() {
    m_nEntryCount = 0;
    m_nUnnamedRowCount = 0;
    m_nNextID = 0;
    m_aGroups.clear();
}

int CAddressBook::FindSlot(std::int32_t id) const {
    for (int slot = 0; slot < m_nEntryCount; ++slot)
        if (m_aEntries[static_cast<std::size_t>(slot)].m_nID == id) return slot;
    return -1;
}

CAddressEntry* CAddressBook::FindPerson(std::int32_t id) {
    int slot = FindSlot(id);
    return slot < 0 ? nullptr : &m_aEntries[static_cast<std::size_t>(slot)];
}

const CAddressEntry* CAddressBook::FindPerson(std::int32_t id) const {
    int slot = FindSlot(id);
    return slot < 0 ? nullptr : &m_aEntries[static_cast<std::size_t>(slot)];
}

void CAddressBook::RemoveAt(int slot) {
    if (slot < 0 || slot >= m_nEntryCount) return;
    for (int i = slot; i + 1 < m_nEntryCount; ++i)
        m_aEntries[static_cast<std::size_t>(i)] = m_aEntries[static_cast<std::size_t>(i) + 1];
    --m_nEntryCount;
}

int CAddressBook::RebuildCompanies() {
    int count = 0;
    for (int slot = 0; slot < m_nEntryCount; ++slot) {
        const std::string& company = m_aEntries[static_cast<std::size_t>(slot)].m_strCompany;
        auto end = m_aCompanies.begin() + count;
        auto known = std::find_if(m_aCompanies.begin(), end,
                                  [&](const CCompanyEntry& entry) { return entry.m_strCompanyName == company; });
        if (known == end) m_aCompanies[static_cast<std::size_t>(count++)].m_strCompanyName = company;
    }
    auto end = m_aCompanies.begin() + count;
    auto empty = std::find_if(m_aCompanies.begin(), end,
                              [](const CCompanyEntry& entry) { return entry.m_strCompanyName.empty(); });
    if (empty != end) std::rotate(empty, empty + 1, end);
    for (int k = 0; k < count; ++k) m_aCompanies[static_cast<std::size_t>(k)].m_nPosition = k;
    return count;
}

std::map<std::int32_t, std::int32_t> CAddressBook::Renumber() {
    std::map<std::int32_t, std::int32_t> renumbered;
    for (int slot = 0; slot < m_nEntryCount; ++slot) {
        CAddressEntry& person = m_aEntries[static_cast<std::size_t>(slot)];
        renumbered[person.m_nID] = slot;
        person.m_nID = slot;
    }
    m_nNextID = m_nEntryCount;
    return renumbered;
}

void CIndexArray::SetSize(int size) {
    if (size == 0) {
        std::vector<std::int32_t>().swap(m_data);
        return;
    }
    m_data.resize(static_cast<std::size_t>(size), 0);
}

std::string CompanyLineText(const std::string& companyName) {
    return companyName.empty() ? std::string("(なし)") : companyName;
}
