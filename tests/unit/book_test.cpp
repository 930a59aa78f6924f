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
    struct Case {
        int persons;
        int removed;
    };
    // A full book too: its last slot has no successor to move down.
    for (Case c : {Case{5, 2}, Case{1000, 0}, Case{1000, 998}, Case{1000, 999}}) {
        SCOPED_TRACE(std::to_string(c.persons) + " persons, removing " + std::to_string(c.removed));
        std::vector<std::pair<std::string, std::string>> persons;
        for (int i = 0; i < c.persons; ++i) persons.push_back({"P" + std::to_string(i), ""});
        CAddressBook book = BookOf(persons);
        book.RemoveAt(book.FindSlot(c.removed));
        ASSERT_EQ(book.m_nEntryCount, c.persons - 1);
        EXPECT_EQ(book.FindSlot(c.removed), -1);
        for (int id : {0, c.removed - 1, c.removed + 1, c.persons - 1}) {
            if (id < 0 || id >= c.persons || id == c.removed) continue;
            ASSERT_NE(book.FindPerson(id), nullptr) << id;
            EXPECT_EQ(book.FindPerson(id)->m_strName, "P" + std::to_string(id));
            EXPECT_EQ(book.FindSlot(id), id < c.removed ? id : id - 1);
        }
    }
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
