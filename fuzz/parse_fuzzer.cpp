// The address book parser takes any bytes without crashing or reading out of
// bounds, and what the writer makes of a parsed book parses back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "book/book_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CAddressBook book, again;
    ParseAddressBook(std::string_view(reinterpret_cast<const char*>(data), size), book);
    std::string once = FormatAddressBook(book);
    ParseOutcome second = ParseAddressBook(once, again);
    if (second.tooManyPersons || FormatAddressBook(again) != once) abort();
    return 0;
}
