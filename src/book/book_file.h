// The address book file QVDDATA.CSV: thirteen comma-separated columns,
// CR LF, no quoting, no header, in code page 932.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/address_book.h"

class Files;

inline constexpr const char* kAddressBookFileName = "QVDDATA.CSV";
// The redo journal of the book's saves, beside it: empty between saves.
inline constexpr const char* kAddressBookJournalFileName = "QVDDATA.TMP";

// The longest field a reader of the format must take in whole.
inline constexpr std::size_t kMaxFileFieldBytes = 4095;

// "<system directory>\QVDDATA.CSV", and the same for the journal: where the
// book lives when no policy names a folder.
std::string AddressBookPath(Files& files, const char* fileName = kAddressBookFileName);

struct ParseOutcome {
    // Reading stopped at the 1001st person; unnamed rows after the 1000th
    // person are still taken in.
    bool tooManyPersons = false;
    // The names of the persons past the 1000th, in file order.
    std::vector<std::string> personsBeyond;
};

// Empties |book| and fills it from the bytes of a file. A record has 6 to
// 13 fields: line ends inside the first six fields do not end it, from the
// seventh on the first line end or the thirteenth field does. CR is skipped
// anywhere. The end of the file ends the last line, so a last row without
// a line end or a record cut short keeps what it has.
ParseOutcome ParseAddressBook(std::string_view bytes, CAddressBook& book);

// The file's bytes: every person, then every unnamed row, each with all
// thirteen fields.
std::string FormatAddressBook(const CAddressBook& book);
