// The destinations handed to the fax printer driver: two comma-joined texts
// in the driver-data key of the printer that uses the driver, and the limits
// a destination list must keep so that the texts can hold it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "book/person_rules.h"  // kMaxFaxNumberBytes, one FAX number
#include "system/win.h"

class Registry;

inline constexpr const char* kPrintersKey = "System\\CurrentControlSet\\control\\Print\\Printers";
inline constexpr const char* kDriverDataKey = "PrinterDriverData";
inline constexpr const char* kPrinterDriverValue = "Printer Driver";
inline constexpr const char* kFaxNumbersValue = "FaxNumberBook";
inline constexpr const char* kNamesValue = "FaxNumberBook2";
inline constexpr std::size_t kValueDataSize = 256;

// The limits of a destination list.
inline constexpr std::size_t kMaxTextBytes = kValueDataSize - 1;  // each joined text, without its zero byte
inline constexpr std::size_t kMaxDestinations = 100;

// Everything after the first "/m:", untrimmed; empty without one.
std::string DriverNameFromCommandLine(std::string_view commandLine);

struct StoredTexts {
    std::string faxNumbers;
    std::string names;
};

enum class StoreResult { NoPrinter, Stored, Failed };

// The two values of the printer that uses one driver, the driver named once
// for the whole run. The printer is looked up afresh by every read and write.
class PrinterDestinations {
public:
    PrinterDestinations(Registry& registry, std::string driverName);

    // Both texts; each empty when it cannot be read.
    StoredTexts Read() const;
    // Writes both values, or neither: when the second cannot be set, the
    // first is put back as it was. Each text must hold at most kMaxTextBytes.
    StoreResult Write(const StoredTexts& texts) const;

private:
    Registry& m_registry;
    const std::string m_strDriverName;
};

// What this user may do with the values of one printer that uses a driver.
struct PrinterRights {
    std::string printerName;
    bool canRead = false;
    bool canSet = false;
};
// Every printer that uses |driverName|, in enumeration order: the first is
// the one PrinterDestinations reads and writes.
std::vector<PrinterRights> PrintersOfDriver(Registry& registry, const std::string& driverName);

// The data of a value as written: the text, a zero byte, zero padding.
std::array<BYTE, kValueDataSize> ValueData(const std::string& text);

// "a,,b" -> {"a", "", "b"}; "" -> {""}.
std::vector<std::string> SplitPieces(std::string_view text);

// One destination as the driver sees it: piece i of each text.
struct DestinationPiece {
    std::string faxNumber;
    std::string name;
    bool operator==(const DestinationPiece& other) const {
        return faxNumber == other.faxNumber && name == other.name;
    }
};
using DestinationPieces = std::vector<DestinationPiece>;

// The pieces of two stored texts: as many as there are names, a missing FAX
// number empty, FAX numbers beyond the names ignored.
DestinationPieces PiecesOfStoredTexts(const StoredTexts& texts);

// The first |count| pieces joined into the two texts.
StoredTexts JoinPieces(const DestinationPieces& pieces, std::size_t count);

// The length of the longest leading run whose joined texts both fit in
// kMaxTextBytes.
std::size_t FittingCount(const DestinationPieces& pieces);

// The limit a destination list breaks, if any. Which limits are tested
// depends on the moment: a list the user has just added to is held to all
// three (the FAX number of its last destination first, then the texts, then
// the count); the values themselves need only the texts to fit.
enum class DestinationBreach { None, FaxNumberOver32, TextOver255, Over100 };
enum class DestinationCheck { AfterAdd, Texts, Count };
DestinationBreach CheckDestinations(const DestinationPieces& pieces, DestinationCheck check);
