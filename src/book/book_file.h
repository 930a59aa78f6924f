// The address book file QVDDATA.CSV: thirteen comma-separated columns,
// CR LF, no quoting, no header, in code page 932.
#pragma once

#include <string>
#include <string_view>

#include "book/address_book.h"

class Platform;

inline constexpr const char* kAddressBookFileName = "QVDDATA.CSV";
// Beside the book, one fixed name: a save cut short leaves at most this one
// file, which the next save overwrites.
inline constexpr const char* kAddressBookTempFileName = "QVDDATA.TMP";

// "<system directory>\QVDDATA.CSV", and the same for the temporary file.
std::string AddressBookPath(Platform& platform, const char* fileName = kAddressBookFileName);

struct ParseOutcome {
    // Reading stopped at the 1001st person; unnamed rows after the 1000th
    // person are still taken in.
    bool tooManyPersons = false;
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

// The book's file as this run knows it. A save never replaces a file that
// this run could not read, nor one that changed on disk since it was loaded
// or last saved: either may hold persons the run has never seen.
class CAddressBookFile {
public:
    enum class LoadResult { Loaded, Missing, Unreadable };
    LoadResult Load(Platform& platform, std::string& bytes);
    // False when the file was not replaced; it then keeps every byte.
    bool Save(Platform& platform, const std::string& bytes);

private:
    bool m_bReadable = false;
    std::string m_strOnDisk;  // what this run last read or wrote; empty for a missing file
};
