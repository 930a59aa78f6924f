// An edited file of any bytes is read without crashing or reading out of
// bounds, and a file taken in without refusal is a book without a zero byte
// that the program reads back exactly. (Whether the book's own bytes import again unchanged
// depends on bytes that are both Shift-JIS and UTF-8, which no reader can
// tell apart; the unit tests hold real books to it.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "book/book_file.h"
#include "tool/book_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CAddressBook book, again;
    ImportedFile file = ReadEditedFile(std::string_view(reinterpret_cast<const char*>(data), size), book, true);
    if (!file.refusals.empty()) return 0;
    std::string stored = FormatAddressBook(book);
    if (stored.find('\0') != std::string::npos) abort();
    if (ParseAddressBook(stored, again).tooManyPersons || FormatAddressBook(again) != stored) abort();
    return 0;
}
