// The product's parser against the simple reference reader: the same
// persons, the same unnamed rows and the same 1000-person flag for every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "book/book_file.h"
#include "reference_reader.h"

namespace {

std::vector<std::string> Fields(const CAddressEntry& row) {
    std::vector<std::string> fields;
    for (auto column : CAddressEntry::kColumns) fields.push_back(row.*column);
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // One book for every input, as a reload reuses it.
    static CAddressBook book;
    ParseOutcome outcome = ParseAddressBook(bytes, book);
    reference::Book expected = reference::Read(bytes);
    if (outcome.tooManyPersons != expected.tooManyPersons) abort();
    if (static_cast<size_t>(book.m_nEntryCount) != expected.persons.size()) abort();
    if (book.m_nUnnamedRowCount != expected.unnamed.size()) abort();
    for (size_t i = 0; i < expected.persons.size(); ++i)
        if (Fields(book.m_aEntries[i]) != expected.persons[i]) abort();
    for (size_t i = 0; i < expected.unnamed.size(); ++i)
        if (Fields(book.m_aUnnamedRows[i]) != expected.unnamed[i]) abort();
    if (book.m_nNextID != book.m_nEntryCount) abort();
    return 0;
}
