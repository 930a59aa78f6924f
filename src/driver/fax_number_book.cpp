#include "driver/fax_number_book.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "system/registry.h"
#include "system/text.h"

namespace {

// An open key, closed when it goes out of scope. Keys are opened one level
// at a time, relative to their parent: a full path through a printer with a
// long name passes the length some systems allow for one open.
class RegKey {
public:
    RegKey(Registry& registry, HKEY parent, const std::string& subKey, REGSAM access) : m_registry(&registry) {
        if (m_registry->RegOpenKeyExA(parent, subKey.c_str(), access, &m_key) != ERROR_SUCCESS) m_key = nullptr;
    }
    explicit RegKey(Registry& registry) : m_registry(&registry) {}  // none
    RegKey(RegKey&& other) noexcept : m_registry(other.m_registry), m_key(std::exchange(other.m_key, nullptr)) {}
    RegKey& operator=(RegKey&&) = delete;
    RegKey(const RegKey&) = delete;
    ~RegKey() {
        if (m_key) m_registry->RegCloseKey(m_key);
    }
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

private:
    Registry* m_registry;
    HKEY m_key = nullptr;
};

// A text value of at most 256 bytes, up to its first zero byte or the end of
// its data, whichever comes first; nullopt when missing or longer.
std::optional<std::string> ReadText(Registry& registry, HKEY key, const char* name) {
    BYTE data[kValueDataSize];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (registry.RegQueryValueExA(key, name, &type, data, &size) != ERROR_SUCCESS) return std::nullopt;
    size = std::min<DWORD>(size, sizeof data);
    const BYTE* zero = std::find(data, data + size, BYTE{0});
    return std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(zero - data));
}

// Calls |visit| with the name and the open key of each printer, in
// enumeration order, whose "Printer Driver" equals |driverName|, until it
// returns false.
template <typename Visit>
void ForEachPrinterOf(Registry& registry, const std::string& driverName, Visit visit) {
    RegKey printers(registry, HKEY_LOCAL_MACHINE, kPrintersKey, KEY_ENUMERATE_SUB_KEYS);
    for (DWORD index = 0; printers; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        LONG status = registry.RegEnumKeyExA(printers.get(), index, name, &nameSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        std::string printerName(name, std::min<DWORD>(nameSize, 255));
        RegKey printer(registry, printers.get(), printerName, KEY_QUERY_VALUE);
        if (!printer) continue;
        std::optional<std::string> driver = ReadText(registry, printer.get(), kPrinterDriverValue);
        if (driver && *driver == driverName && !visit(printerName, printer.get())) break;
    }
}

// The driver-data key of the first printer that uses |driverName|;
// |printerFound| tells a missing printer from a key that cannot be opened.
RegKey OpenDriverData(Registry& registry, const std::string& driverName, REGSAM access, bool& printerFound) {
    std::optional<RegKey> data;
    ForEachPrinterOf(registry, driverName, [&](const std::string&, HKEY printer) {
        data.emplace(registry, printer, kDriverDataKey, access);
        return false;
    });
    printerFound = data.has_value();
    return data ? std::move(*data) : RegKey(registry);
}

struct SavedValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

SavedValue SaveValue(Registry& registry, HKEY key, const char* name) {
    SavedValue saved;
    DWORD size = 0;
    if (registry.RegQueryValueExA(key, name, &saved.type, nullptr, &size) != ERROR_SUCCESS) return saved;
    saved.data.resize(size);
    if (registry.RegQueryValueExA(key, name, &saved.type, saved.data.data(), &size) != ERROR_SUCCESS) return saved;
    saved.data.resize(size);
    saved.exists = true;
    return saved;
}

void RestoreValue(Registry& registry, HKEY key, const char* name, const SavedValue& saved) {
    if (saved.exists)
        registry.RegSetValueExA(key, name, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
    else
        registry.RegDeleteValueA(key, name);
}

}  // namespace

std::string DriverNameFromCommandLine(std::string_view commandLine) {
    static constexpr std::string_view kOption = "/m:";
    std::size_t found = FindOption(commandLine, kOption);
    return found == std::string_view::npos ? std::string() : std::string(commandLine.substr(found + kOption.size()));
}

PrinterDestinations::PrinterDestinations(Registry& registry, std::string driverName)
    : m_registry(registry), m_strDriverName(std::move(driverName)) {}

StoredTexts PrinterDestinations::Read() const {
    Registry& registry = m_registry;
    StoredTexts texts;
    bool printerFound = false;
    RegKey data = OpenDriverData(registry, m_strDriverName, KEY_QUERY_VALUE, printerFound);
    if (!data) return texts;
    texts.faxNumbers = ReadText(registry, data.get(), kFaxNumbersValue).value_or("");
    texts.names = ReadText(registry, data.get(), kNamesValue).value_or("");
    return texts;
}

std::vector<PrinterRights> PrintersOfDriver(Registry& registry, const std::string& driverName) {
    std::vector<PrinterRights> printers;
    ForEachPrinterOf(registry, driverName, [&](const std::string& name, HKEY printer) {
        // The accesses that Read and Write ask for.
        printers.push_back({name, static_cast<bool>(RegKey(registry, printer, kDriverDataKey, KEY_QUERY_VALUE)),
                            static_cast<bool>(RegKey(registry, printer, kDriverDataKey, KEY_QUERY_VALUE | KEY_SET_VALUE))});
        return true;
    });
    return printers;
}

StoreResult PrinterDestinations::Write(const StoredTexts& texts) const {
    Registry& registry = m_registry;
    bool printerFound = false;
    RegKey data = OpenDriverData(registry, m_strDriverName, KEY_QUERY_VALUE | KEY_SET_VALUE, printerFound);
    if (!printerFound) return StoreResult::NoPrinter;
    if (!data) return StoreResult::Failed;

    const auto faxData = ValueData(texts.faxNumbers);
    const auto nameData = ValueData(texts.names);
    SavedValue previous = SaveValue(registry, data.get(), kFaxNumbersValue);
    if (registry.RegSetValueExA(data.get(), kFaxNumbersValue, REG_SZ, faxData.data(), kValueDataSize) !=
        ERROR_SUCCESS)
        return StoreResult::Failed;
    if (registry.RegSetValueExA(data.get(), kNamesValue, REG_SZ, nameData.data(), kValueDataSize) !=
        ERROR_SUCCESS) {
        // The driver pairs the pieces of the two values; never leave new
        // numbers beside old names.
        RestoreValue(registry, data.get(), kFaxNumbersValue, previous);
        return StoreResult::Failed;
    }
    return StoreResult::Stored;
}

std::array<BYTE, kValueDataSize> ValueData(const std::string& text) {
    std::array<BYTE, kValueDataSize> data{};
    std::memcpy(data.data(), text.data(), std::min(text.size(), kMaxTextBytes));
    return data;
}

std::vector<std::string> SplitPieces(std::string_view text) {
    std::vector<std::string> pieces;
    for (;;) {
        std::size_t comma = text.find(',');
        pieces.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return pieces;
        text.remove_prefix(comma + 1);
    }
}

DestinationPieces PiecesOfStoredTexts(const StoredTexts& texts) {
    std::vector<std::string> faxNumbers = SplitPieces(texts.faxNumbers);
    std::vector<std::string> names = SplitPieces(texts.names);
    DestinationPieces pieces(names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        pieces[k].name = std::move(names[k]);
        if (k < faxNumbers.size()) pieces[k].faxNumber = std::move(faxNumbers[k]);
    }
    return pieces;
}

StoredTexts JoinPieces(const DestinationPieces& pieces, std::size_t count) {
    StoredTexts texts;
    for (std::size_t i = 0; i < count && i < pieces.size(); ++i) {
        if (i > 0) {
            texts.faxNumbers += ',';
            texts.names += ',';
        }
        texts.faxNumbers += pieces[i].faxNumber;
        texts.names += pieces[i].name;
    }
    return texts;
}

std::size_t FittingCount(const DestinationPieces& pieces) {
    std::size_t faxBytes = 0, nameBytes = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::size_t separator = i > 0 ? 1 : 0;
        faxBytes += separator + pieces[i].faxNumber.size();
        nameBytes += separator + pieces[i].name.size();
        if (faxBytes > kMaxTextBytes || nameBytes > kMaxTextBytes) return i;
    }
    return pieces.size();
}

DestinationBreach CheckDestinations(const DestinationPieces& pieces, DestinationCheck check) {
    if (check == DestinationCheck::AfterAdd && !pieces.empty() && pieces.back().faxNumber.size() > kMaxFaxNumberBytes)
        return DestinationBreach::FaxNumberOver32;
    if (check != DestinationCheck::Count && FittingCount(pieces) < pieces.size()) return DestinationBreach::TextOver255;
    if (check != DestinationCheck::Texts && pieces.size() > kMaxDestinations) return DestinationBreach::Over100;
    return DestinationBreach::None;
}
