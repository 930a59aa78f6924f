#include "driver/fax_number_book.h"

#include <algorithm>
#include <cstring>

#include "framework/platform.h"
#include "framework/text.h"

namespace {

// Closes the key when it goes out of scope.
class RegKey {
public:
    RegKey(Platform& platform, const std::string& path, REGSAM access) : m_platform(platform) {
        if (m_platform.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegKey() {
        if (m_key) m_platform.RegCloseKey(m_key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

private:
    Platform& m_platform;
    HKEY m_key = nullptr;
};

// A text value of at most 256 bytes, up to its first zero byte or the end of
// its data, whichever comes first; nullopt when missing or longer.
std::optional<std::string> ReadText(Platform& platform, HKEY key, const char* name) {
    BYTE data[kValueDataSize];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (platform.RegQueryValueExA(key, name, &type, data, &size) != ERROR_SUCCESS) return std::nullopt;
    size = std::min<DWORD>(size, sizeof data);
    const BYTE* zero = std::find(data, data + size, BYTE{0});
    return std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(zero - data));
}

struct SavedValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

SavedValue SaveValue(Platform& platform, HKEY key, const char* name) {
    SavedValue saved;
    DWORD size = 0;
    if (platform.RegQueryValueExA(key, name, &saved.type, nullptr, &size) != ERROR_SUCCESS) return saved;
    saved.data.resize(size);
    if (platform.RegQueryValueExA(key, name, &saved.type, saved.data.data(), &size) != ERROR_SUCCESS) return saved;
    saved.data.resize(size);
    saved.exists = true;
    return saved;
}

void RestoreValue(Platform& platform, HKEY key, const char* name, const SavedValue& saved) {
    if (saved.exists)
        platform.RegSetValueExA(key, name, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
    else
        platform.RegDeleteValueA(key, name);
}

}  // namespace

std::string DriverNameFromCommandLine(std::string_view commandLine) {
    static constexpr std::string_view kOption = "/m:";
    std::size_t found = FindOption(commandLine, kOption);
    return found == std::string_view::npos ? std::string() : std::string(commandLine.substr(found + kOption.size()));
}

std::optional<std::string> FindPrinterKey(Platform& platform, const std::string& driverName) {
    RegKey printers(platform, kPrintersKey, KEY_ENUMERATE_SUB_KEYS);
    if (!printers) return std::nullopt;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        LONG status = platform.RegEnumKeyExA(printers.get(), index, name, &nameSize);
        if (status == ERROR_NO_MORE_ITEMS) return std::nullopt;
        if (status != ERROR_SUCCESS) continue;
        std::string path = std::string(kPrintersKey) + "\\" + std::string(name, std::min<DWORD>(nameSize, 255));
        RegKey printer(platform, path, KEY_QUERY_VALUE);
        if (!printer) continue;
        std::optional<std::string> driver = ReadText(platform, printer.get(), kPrinterDriverValue);
        if (driver && *driver == driverName) return path;
    }
}

StoredTexts ReadStoredTexts(Platform& platform, const std::string& driverName) {
    StoredTexts texts;
    std::optional<std::string> printer = FindPrinterKey(platform, driverName);
    if (!printer) return texts;
    RegKey data(platform, *printer + kDriverDataSubKey, KEY_QUERY_VALUE);
    if (!data) return texts;
    texts.faxNumbers = ReadText(platform, data.get(), kFaxNumbersValue).value_or("");
    texts.names = ReadText(platform, data.get(), kNamesValue).value_or("");
    return texts;
}

StoreResult StoreTexts(Platform& platform, const std::string& driverName, const std::string& faxNumbers,
                       const std::string& names) {
    std::optional<std::string> printer = FindPrinterKey(platform, driverName);
    if (!printer) return StoreResult::NoPrinter;
    RegKey data(platform, *printer + kDriverDataSubKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!data) return StoreResult::Failed;

    const auto faxData = ValueData(faxNumbers);
    const auto nameData = ValueData(names);
    SavedValue previous = SaveValue(platform, data.get(), kFaxNumbersValue);
    if (platform.RegSetValueExA(data.get(), kFaxNumbersValue, REG_SZ, faxData.data(), kValueDataSize) !=
        ERROR_SUCCESS)
        return StoreResult::Failed;
    if (platform.RegSetValueExA(data.get(), kNamesValue, REG_SZ, nameData.data(), kValueDataSize) !=
        ERROR_SUCCESS) {
        // The driver pairs the pieces of the two values; never leave new
        // numbers beside old names.
        RestoreValue(platform, data.get(), kFaxNumbersValue, previous);
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

std::string JoinPieces(const std::vector<std::string>& pieces, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < pieces.size(); ++i) {
        if (i > 0) text += ',';
        text += pieces[i];
    }
    return text;
}

std::size_t FittingCount(const std::vector<std::string>& faxNumbers, const std::vector<std::string>& names) {
    std::size_t faxBytes = 0, nameBytes = 0;
    std::size_t count = std::min(faxNumbers.size(), names.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t separator = i > 0 ? 1 : 0;
        faxBytes += separator + faxNumbers[i].size();
        nameBytes += separator + names[i].size();
        if (faxBytes > kMaxTextBytes || nameBytes > kMaxTextBytes) return i;
    }
    return count;
}
