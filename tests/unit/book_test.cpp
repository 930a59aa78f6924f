#include <gtest/gtest.h>

#include <vector>

#include "book/address_book.h"

namespace {

CAddressBook BookOf(const std::vector<std::pair<std::string, std::string>>& persons) {
    CAddressBook book;
    for (const auto& [name, company] : persons) {
        CAddressEntry& entry = book.m_aEntries[static_cast<size_t>(book.m_nEntryCount)];
        entry.m_strName = name;
        entry.m_strCompany = company;
        entry.m_nID = book.m_nEntryCount++;
    }
    book.m_nNextID = book.m_nEntryCount;
    return book;
}

std::vector<std::string> Companies(CAddressBook& book) {
    int count = book.RebuildCompanies();
    std::vector<std::string> lines;
    for (int k = 0; k < count; ++k) {
        EXPECT_EQ(book.m_aCompanies[static_cast<size_t>(k)].m_nPosition, k);
        lines.push_back(CompanyLineText(book.m_aCompanies[static_cast<size_t>(k)].m_strCompanyName));
    }
    return lines;
}

TEST(AddressBook, TablesAreReservedUpFront) {
    CAddressBook book;
    EXPECT_EQ(book.m_aEntries.size(), 1000u);
    EXPECT_EQ(book.m_aCompanies.size(), 1000u);
    EXPECT_EQ(book.m_aUnnamedRows.size(), 64u);
    EXPECT_EQ(book.m_nEntryCount, 0);
    EXPECT_EQ(book.m_aEntries[999].m_nID, CAddressEntry::kNoID);
}

TEST(AddressBook, CompanyTableOrder) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> persons;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {{{"1", "B"}, {"2", ""}, {"3", "A"}, {"4", "B"}}, {"B", "A", "(なし)"}},
        {{{"1", ""}}, {"(なし)"}},
        {{{"1", ""}, {"2", "X"}, {"3", ""}, {"4", "Y"}}, {"X", "Y", "(なし)"}},
        {{{"1", "abc"}, {"2", "ABC"}, {"3", "ａｂｃ"}, {"4", "ｱｲｳ"}, {"5", "アイウ"}}, {"abc", "ABC", "ａｂｃ", "ｱｲｳ", "アイウ"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        CAddressBook book = BookOf(c.persons);
        EXPECT_EQ(Companies(book), c.lines);
    }
}

TEST(AddressBook, RemovingAPersonKeepsTheIDsOfTheOthers) {
    CAddressBook book = BookOf({{"A", ""}, {"B", ""}, {"C", ""}, {"D", ""}, {"E", ""}});
    book.RemoveAt(book.FindSlot(2));
    ASSERT_EQ(book.m_nEntryCount, 4);
    std::vector<std::string> names;
    std::vector<int> ids;
    for (int i = 0; i < 4; ++i) {
        names.push_back(book.m_aEntries[static_cast<size_t>(i)].m_strName);
        ids.push_back(book.m_aEntries[static_cast<size_t>(i)].m_nID);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "D", "E"}));
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(book.FindSlot(2), -1);
    EXPECT_EQ(book.FindSlot(4), 3);
    EXPECT_EQ(book.FindPerson(3)->m_strName, "D");
}

TEST(AddressBook, LookupIgnoresSlotsBeyondTheCount) {
    CAddressBook book = BookOf({{"A", ""}, {"B", ""}});
    book.RemoveAt(1);
    // The old slot 1 still holds B's copy; it is not a person any more.
    EXPECT_EQ(book.FindSlot(1), -1);
    EXPECT_EQ(book.FindPerson(7), nullptr);
}

TEST(IndexArray, Operations) {
    CIndexArray array;
    for (int v : {10, 20, 30, 40}) array.Add(v);
    array.RemoveAt(1);
    EXPECT_EQ(array.GetSize(), 3);
    EXPECT_EQ(array[0], 10);
    EXPECT_EQ(array[1], 30);
    EXPECT_EQ(array[2], 40);
    array.SetSize(5);
    EXPECT_EQ(array[3], 0);
    EXPECT_EQ(array[4], 0);
    array.SetSize(0);
    EXPECT_EQ(array.GetSize(), 0);
}

}  // namespace
