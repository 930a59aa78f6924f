// The in-memory address book: fixed tables, never sorted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "book/groups.h"

// One row of the address book file.
class CAddressEntry {
public:
    static constexpr int kColumnCount = 13;
    static constexpr int kNoID = -1;

    std::string m_strName;  // empty: the row is not a person
    std::string m_strNameReading;
    std::string m_strCompany;
    std::string m_strCompanyReading;
    std::string m_strDepartment;
    std::string m_strFaxNumber;
    // Columns 7 to 13: carried along unchanged.
    std::string m_strExtra1, m_strExtra2, m_strExtra3, m_strExtra4, m_strExtra5, m_strExtra6, m_strExtra7;
    std::int32_t m_nID = kNoID;

    // The texts in file column order.
    static std::string CAddressEntry::* const kColumns[kColumnCount];
};

class CCompanyEntry {
public:
    std::string m_strCompanyName;
    std::int32_t m_nPosition = 0;
};

class CAddressBook {
public:
    static constexpr int kMaxEntries = 1000;
    static constexpr int kMaxCompanies = 1000;
    static constexpr unsigned kMaxUnnamedRows = 64;
    // Item data at or above this mark a company line, below it a person's ID.
    static constexpr std::uint32_t kCompanyItemBase = 5000;

    // Every slot is made here at once; no table grows or shrinks afterwards.
    CAddressBook() : m_aEntries(kMaxEntries), m_aCompanies(kMaxCompanies), m_aUnnamedRows(kMaxUnnamedRows) {}

    void Clear();
    // Slot of the first person whose ID is |id|; -1 when none.
    int FindSlot(std::int32_t id) const;
    CAddressEntry* FindPerson(std::int32_t id);
    const CAddressEntry* FindPerson(std::int32_t id) const;
    // Takes the person in |slot| out; later persons move down with their IDs.
    void RemoveAt(int slot);
    // The distinct companies of the persons, in order of first appearance,
    // the empty one last; returns how many there are.
    int RebuildCompanies();
    // Gives the persons IDs 0, 1, ... again, so that IDs handed out to
    // created persons never reach the company item range; old ID -> new ID.
    std::map<std::int32_t, std::int32_t> Renumber();

    std::vector<CAddressEntry> m_aEntries;
    std::int32_t m_nEntryCount = 0;
    std::int32_t m_nNextID = 0;
    std::vector<CCompanyEntry> m_aCompanies;
    std::vector<CAddressEntry> m_aUnnamedRows;
    std::uint32_t m_nUnnamedRowCount = 0;
    // Kept in their own file; emptied with the persons.
    std::vector<CGroup> m_aGroups;
};

// The destination list's person IDs.
class CIndexArray {
public:
    int GetSize() const { return static_cast<int>(m_data.size()); }
    void SetSize(int size);
    void Add(std::int32_t value) { m_data.push_back(value); }
    std::int32_t operator[](int index) const { return m_data.at(static_cast<std::size_t>(index)); }
    std::int32_t& operator[](int index) { return m_data.at(static_cast<std::size_t>(index)); }
    void RemoveAt(int index) { m_data.erase(m_data.begin() + index); }

private:
    std::vector<std::int32_t> m_data;
};

// The list text of a company: its name, or "(なし)" for the empty one.
std::string CompanyLineText(const std::string& companyName);
