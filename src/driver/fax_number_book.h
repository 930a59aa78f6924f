// The destinations handed to the fax printer driver: two comma-joined texts
// in the driver-data key of the printer that uses the driver.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/win.h"

class Platform;

inline constexpr const char* kPrintersKey = "System\\CurrentControlSet\\control\\Print\\Printers";
inline constexpr const char* kDriverDataSubKey = "\\PrinterDriverData";
inline constexpr const char* kPrinterDriverValue = "Printer Driver";
inline constexpr const char* kFaxNumbersValue = "FaxNumberBook";
inline constexpr const char* kNamesValue = "FaxNumberBook2";
inline constexpr std::size_t kValueDataSize = 256;
inline constexpr std::size_t kMaxTextBytes = kValueDataSize - 1;

// Everything after the first "/m:", untrimmed; empty without one.
std::string DriverNameFromCommandLine(std::string_view commandLine);

// The key path of the first printer, in enumeration order, whose
// "Printer Driver" equals |driverName|.
std::optional<std::string> FindPrinterKey(Platform& platform, const std::string& driverName);

struct StoredTexts {
    std::string faxNumbers;
    std::string names;
};

// Both texts of the driver's printer; each empty when it cannot be read.
StoredTexts ReadStoredTexts(Platform& platform, const std::string& driverName);

enum class StoreResult { NoPrinter, Stored, Failed };

// Writes both values, or neither: when the second cannot be set, the first
// is put back as it was. Each text must hold at most kMaxTextBytes.
StoreResult StoreTexts(Platform& platform, const std::string& driverName, const std::string& faxNumbers,
                       const std::string& names);

// The data of a value as written: the text, a zero byte, zero padding.
std::array<BYTE, kValueDataSize> ValueData(const std::string& text);

// "a,,b" -> {"a", "", "b"}; "" -> {""}.
std::vector<std::string> SplitPieces(std::string_view text);

// The first |count| pieces joined with ",".
std::string JoinPieces(const std::vector<std::string>& pieces, std::size_t count);

// The length of the longest leading run of destinations whose joined FAX
// numbers and joined names both fit in kMaxTextBytes.
std::size_t FittingCount(const std::vector<std::string>& faxNumbers, const std::vector<std::string>& names);
