// Whatever the printer's stored values hold, restoring them never crashes,
// what is written back fits its 256 bytes with both texts naming the same
// destinations, and no stored destination that matched a person is lost.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "book/book_file.h"
#include "driver/fax_number_book.h"
#include "picker/picker_session.h"
#include "support/memory_registry.h"

namespace {

const std::string kPrinter = std::string(kPrintersKey) + "\\Fuzz";
const std::string kData = kPrinter + "\\" + kDriverDataKey;

// Piece i of one text belongs with piece i of the other: as many commas.
size_t Commas(const std::vector<BYTE>& data) {
    std::string text(data.begin(), data.end());
    text = text.substr(0, text.find('\0'));
    return static_cast<size_t>(std::count(text.begin(), text.end(), ','));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Input: a split point, then the book, FAX value and name value separated
    // by 0xFF bytes.
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t first = input.find('\xFF');
    size_t second = first == std::string::npos ? std::string::npos : input.find('\xFF', first + 1);
    if (second == std::string::npos) return 0;
    std::string book = input.substr(0, first);
    std::string fax = input.substr(first + 1, second - first - 1);
    std::string names = input.substr(second + 1);

    static MemoryFiles* files = new MemoryFiles();
    static MemoryRegistry* registry = new MemoryRegistry(*files);
    files->files[AddressBookPath(*files)] = book;
    registry->SetString(kPrinter, kPrinterDriverValue, "Fuzz Driver");
    registry->SetValue(kData, kFaxNumbersValue, REG_SZ, std::vector<BYTE>(fax.begin(), fax.end()));
    registry->SetValue(kData, kNamesValue, REG_SZ, std::vector<BYTE>(names.begin(), names.end()));

    const PrinterDestinations printer(*registry, "Fuzz Driver");
    StoredTexts stored = printer.Read();
    // The start of a run, without a window.
    PickerSession session(*files, *registry, "Fuzz Driver");
    session.Open();
    session.Start();

    std::vector<BYTE> writtenFax = registry->GetValue(kData, kFaxNumbersValue)->data;
    std::vector<BYTE> writtenNames = registry->GetValue(kData, kNamesValue)->data;
    if (writtenFax.size() != 256 || writtenNames.size() != 256) abort();
    if (writtenFax.back() != 0 || writtenNames.back() != 0) abort();
    if (Commas(writtenFax) != Commas(writtenNames)) abort();
    if (!files->errors.empty()) abort();

    // A stored value of 256 bytes without a zero byte can hold more than the
    // values take; every other stored piece that matched must be written back.
    if (stored.faxNumbers.size() <= kMaxTextBytes && stored.names.size() <= kMaxTextBytes) {
        StoredTexts written = printer.Read();
        DestinationPieces kept = PiecesOfStoredTexts(written);
        CAddressBook parsed;
        ParseAddressBook(book, parsed);
        for (const DestinationPiece& piece : PiecesOfStoredTexts(stored)) {
            bool matched = false;
            for (int slot = 0; slot < parsed.m_nEntryCount; ++slot) {
                const CAddressEntry& person = parsed.m_aEntries[static_cast<size_t>(slot)];
                matched = matched || (person.m_strName == piece.name && person.m_strFaxNumber == piece.faxNumber);
            }
            if (matched && std::find(kept.begin(), kept.end(), piece) == kept.end()) abort();
        }
    }
    return 0;
}
