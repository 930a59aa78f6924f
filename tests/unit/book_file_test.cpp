#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/book_file.h"

namespace {

// A row of the book as "name|reading|company|...|extra7" (trailing empty
// columns may be left out).
std::string Fields(const CAddressEntry& row) {
    std::string text;
    int last = CAddressEntry::kColumnCount - 1;
    while (last > 0 && (row.*CAddressEntry::kColumns[last]).empty()) --last;
    for (int column = 0; column <= last; ++column) {
        if (column > 0) text += '|';
        text += row.*CAddressEntry::kColumns[column];
    }
    return text;
}

std::vector<std::string> Persons(const CAddressBook& book) {
    std::vector<std::string> rows;
    for (int i = 0; i < book.m_nEntryCount; ++i) rows.push_back(Fields(book.m_aEntries[static_cast<size_t>(i)]));
    return rows;
}

std::vector<std::string> Unnamed(const CAddressBook& book) {
    std::vector<std::string> rows;
    for (unsigned i = 0; i < book.m_nUnnamedRowCount; ++i) rows.push_back(Fields(book.m_aUnnamedRows[i]));
    return rows;
}

struct ParseCase {
    const char* what;
    std::string bytes;
    std::vector<std::string> persons;
    std::vector<std::string> unnamed;
    std::string saved;
};

const std::string kTwelveCommas = ",,,,,,,,,,,,";

TEST(BookFile, ParsesEveryShapeTheGrammarAllows) {
    const std::vector<ParseCase> cases = {
        {"empty file", "", {}, {}, ""},
        {"full row", "山田,やまだ,山田商事,やまだしょうじ,営業,03-1111,a,b,c,d,e,f,g\r\n",
         {"山田|やまだ|山田商事|やまだしょうじ|営業|03-1111|a|b|c|d|e|f|g"}, {},
         "山田,やまだ,山田商事,やまだしょうじ,営業,03-1111,a,b,c,d,e,f,g\r\n"},
        {"six fields get seven empty columns", "鈴木,すずき,,,,06-2222\r\n", {"鈴木|すずき||||06-2222"}, {},
         "鈴木,すずき,,,,06-2222,,,,,,,\r\n"},
        {"LF alone ends a line", "A,a,,,,1\nB,b,,,,2\n", {"A|a||||1", "B|b||||2"}, {},
         "A,a,,,,1,,,,,,,\r\nB,b,,,,2,,,,,,,\r\n"},
        {"unnamed row goes behind the persons", ",,会社,,,09-3333\r\nA,a,,,,1\r\n", {"A|a||||1"},
         {"||会社|||09-3333"}, "A,a,,,,1,,,,,,,\r\n,,会社,,,09-3333,,,,,,,\r\n"},
        {"three fields borrow three from the next row", "A,a,c\r\nB,b,,,,2\r\n", {"A|a|c|B|b"}, {"||2"}, ""},
        {"fifteen fields start the next record", "A,a,3,4,5,6,7,8,9,10,11,12,13,B,b\r\n",
         {"A|a|3|4|5|6|7|8|9|10|11|12|13", "B|b"}, {}, ""},
        {"blank line makes an unnamed row", "A,a,,,,1\r\n\r\nB,b,c,d,e,2\r\n", {"A|a||||1", "2"},
         {"|B|b|c|d|e"}, ""},
        {"CR inside a field is dropped", "A\rB,a,,,,1\r\n", {"AB|a||||1"}, {}, ""},
        {"two CRs in a row are dropped", "A\r\rB,a,,,,1\r\n", {"AB|a||||1"}, {}, ""},
        {"a row of twelve commas between persons", "A,a,,,,1\r\n" + kTwelveCommas + "\r\nB,b,,,,2\r\n",
         {"A|a||||1", "B|b||||2"}, {""}, "A,a,,,,1,,,,,,,\r\nB,b,,,,2,,,,,,,\r\n" + kTwelveCommas + "\r\n"},
        {"last row without a line end is kept", "A,a,,,,1\r\nB,b,,,,2", {"A|a||||1", "B|b||||2"}, {}, ""},
        {"record cut short keeps its fields", "A,a,,,,1\r\nB,b,c", {"A|a||||1", "B|b|c"}, {}, ""},
        {"trailing comma at the end", "A,a,,,,1,x,", {"A|a||||1|x"}, {}, ""},
        {"only blank lines", "\r\n\r\n", {}, {}, ""},
        {"bare name at the very end", "A,a,,,,1\r\nB", {"A|a||||1", "B"}, {}, "A,a,,,,1,,,,,,,\r\nB,,,,,,,,,,,,\r\n"},
        {"bare name alone", "B", {"B"}, {}, ""},
    };
    // One book for every case, as a reload would use it: nothing of the
    // previous file may survive.
    CAddressBook book;
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.what);
        ParseOutcome outcome = ParseAddressBook(c.bytes, book);
        EXPECT_FALSE(outcome.tooManyPersons);
        EXPECT_EQ(Persons(book), c.persons);
        EXPECT_EQ(Unnamed(book), c.unnamed);
        EXPECT_EQ(book.m_nNextID, book.m_nEntryCount);
        if (!c.saved.empty()) {
            EXPECT_EQ(FormatAddressBook(book), c.saved);
        }
    }
}

TEST(BookFile, WrittenRowsHaveTwelveCommasAndCrLf) {
    CAddressBook book;
    ParseAddressBook("A,a,,,,1\nB,b,c,d,e,2,7,8,9,10,11,12,13\n,,x,,,5\n", book);
    std::string saved = FormatAddressBook(book);
    size_t start = 0;
    int rows = 0;
    for (size_t end; (end = saved.find("\r\n", start)) != std::string::npos; start = end + 2, ++rows) {
        std::string row = saved.substr(start, end - start);
        EXPECT_EQ(std::count(row.begin(), row.end(), ','), 12) << row;
        EXPECT_EQ(row.find('\n'), std::string::npos);
    }
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(start, saved.size());
}

TEST(BookFile, EmptyBookIsZeroBytes) {
    CAddressBook book;
    ParseAddressBook("", book);
    EXPECT_EQ(FormatAddressBook(book), "");
}

std::string PersonRows(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += "P" + std::to_string(i) + ",r,,,,1" + kTwelveCommas.substr(5) + "\r\n";
    return bytes;
}

TEST(BookFile, ThousandPersonLimit) {
    // Only a 1001st person ends the reading: a full book keeps the unnamed
    // rows it was saved with.
    const std::string unnamed = ",,co,,,9,,,,,,,\r\n";
    std::string sixtyFour;
    for (int i = 0; i < 64; ++i) sixtyFour += unnamed;
    struct Case {
        const char* what;
        std::string bytes;
        int persons;
        unsigned unnamedRows;
        bool tooMany;
        bool savedBackUnchanged;
    };
    const std::vector<Case> cases = {
        {"999 persons", PersonRows(999), 999, 0, false, true},
        {"1000 persons then the end", PersonRows(1000), 1000, 0, false, true},
        {"1000 persons then a blank line at the end", PersonRows(1000) + "\r\n", 1000, 0, false, false},
        {"1000 persons, a blank line, a person", PersonRows(1000) + "\r\nX,x,,,,1,,,,,,,\r\n", 1000, 1, true, false},
        {"1001 persons", PersonRows(1001), 1000, 0, true, false},
        {"1000 persons then an unnamed row", PersonRows(1000) + unnamed, 1000, 1, false, true},
        {"an unnamed row, then 1000 persons", unnamed + PersonRows(1000), 1000, 1, false, false},
        {"1000 persons then 64 unnamed rows", PersonRows(1000) + sixtyFour, 1000, 64, false, true},
        {"1000 persons, an unnamed row, a person, an unnamed row",
         PersonRows(1000) + unnamed + "X,x,,,,1,,,,,,,\r\n" + unnamed, 1000, 1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAddressBook book;
        EXPECT_EQ(ParseAddressBook(c.bytes, book).tooManyPersons, c.tooMany);
        EXPECT_EQ(book.m_nEntryCount, c.persons);
        EXPECT_EQ(book.m_nUnnamedRowCount, c.unnamedRows);
        EXPECT_EQ(book.m_aEntries[static_cast<size_t>(c.persons - 1)].m_strName, "P" + std::to_string(c.persons - 1));
        if (c.savedBackUnchanged) {
            EXPECT_EQ(FormatAddressBook(book), c.bytes);
        }
    }
}

TEST(BookFile, UnnamedRowsBeyondSixtyFourAreDropped) {
    for (int rows : {63, 64, 65}) {
        SCOPED_TRACE(rows);
        std::string bytes;
        for (int i = 0; i < rows; ++i) bytes += ",,co" + std::to_string(i) + ",,,1\r\n";
        bytes += "A,a,,,,1\r\n";
        CAddressBook book;
        EXPECT_FALSE(ParseAddressBook(bytes, book).tooManyPersons);
        EXPECT_EQ(book.m_nUnnamedRowCount, static_cast<unsigned>(std::min(rows, 64)));
        EXPECT_EQ(book.m_aUnnamedRows[63 < rows ? 63 : 0].m_strCompany, rows > 63 ? "co63" : "co0");
        EXPECT_EQ(book.m_nEntryCount, 1);
    }
}

TEST(BookFile, LongFieldsAreKeptWhole) {
    for (size_t length : {4095u, 4096u, 100000u}) {
        SCOPED_TRACE(length);
        std::string name(length, 'N');
        CAddressBook book;
        ParseAddressBook(name + ",r,,,,1\r\nB,b,,,,2\r\n", book);
        ASSERT_EQ(book.m_nEntryCount, 2);
        EXPECT_EQ(book.m_aEntries[0].m_strName, name);
        EXPECT_EQ(book.m_aEntries[1].m_strName, "B");
    }
}

TEST(BookFile, DoubleByteTextsPassThroughUnchanged) {
    // Trail bytes 0x40-0x7E and 0x80-0xFC, e.g. "ソ" = 83 5C and "表" = 95 5C.
    const std::string text = "ソ表示能\x81\x40ﾃｽﾄ";
    CAddressBook book;
    ParseAddressBook(text + "," + text + ",,,,1\r\n", book);
    ASSERT_EQ(book.m_nEntryCount, 1);
    EXPECT_EQ(book.m_aEntries[0].m_strName, text);
    EXPECT_EQ(FormatAddressBook(book), text + "," + text + ",,,,1,,,,,,,\r\n");
}

TEST(BookFile, WhatTheWriterProducesReadsBackTheSame) {
    std::vector<std::string> persons = {"A|a|x|y|z|1|e1|e2|e3|e4|e5|e6|e7", "B|b||||2"};
    for (int i = 0; i < 30; ++i) persons.push_back("P" + std::to_string(i) + "|r||||1");
    CAddressBook book, again;
    ParseAddressBook("A,a,x,y,z,1,e1,e2,e3,e4,e5,e6,e7\r\n,,,,,\r\nB,b,,,,2\r\n" + PersonRows(30), book);
    ParseAddressBook(FormatAddressBook(book), again);
    for (const CAddressBook* read : {&book, &again}) {
        EXPECT_EQ(Persons(*read), persons);
        EXPECT_EQ(Unnamed(*read), std::vector<std::string>{""});
    }
    EXPECT_EQ(FormatAddressBook(again), FormatAddressBook(book));
}

}  // namespace
