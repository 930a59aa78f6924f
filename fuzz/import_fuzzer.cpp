// An edited file of any bytes is read without crashing or reading out of
// bounds; a file taken in without refusal is a book that the program reads
// back exactly, and that imports again unchanged, as its own export would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "book/book_file.h"
#include "tool/book_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CAddressBook book, again;
    ImportedFile file = ReadEditedFile(std::string_view(reinterpret_cast<const char*>(data), size), book);
    if (!file.refusals.empty()) return 0;
    std::string stored = FormatAddressBook(book);
    if (ParseAddressBook(stored, again).tooManyPersons || FormatAddressBook(again) != stored) abort();
    if (!ReadEditedFile(stored, again).refusals.empty() || FormatAddressBook(again) != stored) abort();
    return 0;
}
