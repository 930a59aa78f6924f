// A deliberately simple reader of the address book grammar, one byte at a
// time, for the differential fuzzer to hold the product's parser against.
// Not part of the product.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/address_book.h"

namespace reference {

struct Book {
    std::vector<std::vector<std::string>> persons, unnamed;  // thirteen fields each
    bool tooManyPersons = false;
};

inline Book Read(std::string_view bytes) {
    Book book;
    std::size_t pos = 0;
    enum End { Comma, LineEnd, EndOfData };
    auto field = [&](std::string& out) {
        out.clear();
        while (pos < bytes.size()) {
            char c = bytes[pos++];
            if (c == ',') return Comma;
            if (c == '\n') return LineEnd;
            if (c != '\r') out.push_back(c);
        }
        return EndOfData;
    };
    for (;;) {
        std::vector<std::string> record(CAddressEntry::kColumnCount);
        End end = field(record[0]);
        if (end == EndOfData && record[0].empty()) break;
        bool lineEnded = end != Comma, dataEnded = end == EndOfData;
        for (int column = 1; column < CAddressEntry::kColumnCount && !dataEnded; ++column) {
            if (column >= 6 && lineEnded) break;  // from the seventh field on, a line end ends the record
            end = field(record[static_cast<std::size_t>(column)]);
            if (end == EndOfData) dataEnded = true;
            if (end == LineEnd) lineEnded = true;
        }
        bool blank = true;
        for (const std::string& text : record) blank = blank && text.empty();
        if (dataEnded && blank) break;  // blank lines at the very end are no row
        if (!record[0].empty()) {
            if (book.persons.size() == CAddressBook::kMaxEntries) {
                book.tooManyPersons = true;
                break;
            }
            book.persons.push_back(record);
        } else if (book.unnamed.size() < CAddressBook::kMaxUnnamedRows) {
            book.unnamed.push_back(record);
        }
        if (dataEnded) break;
    }
    return book;
}

}  // namespace reference
