// The journal is a file that anyone with the right to it may have written,
// and a crash may have cut short: any bytes decode without crashing or
// reading out of bounds, what decodes is exactly what the encoder makes of
// it, and an entry cut short anywhere is never taken for a whole one. A
// file that another writer changed between a run's read and its save ends
// as the rebase made it (or as the writer left it, when the rebase refuses),
// with an empty journal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/journal.h"
#include "storage/journaled_file.h"
#include "support/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (std::optional<JournalEntry> entry = DecodeJournal(bytes)) {
        if (EncodeJournal(*entry) != bytes) abort();
        CouldBeMidRewrite(*entry, std::string(bytes.substr(size / 2)));
    }
    // The input as an entry: old bytes, new bytes and a file that may be
    // mid-rewrite, split where its first two bytes say.
    if (size < 3) return 0;
    const std::size_t rest = size - 3, first = data[0] % (rest + 1), second = data[1] % (rest - first + 1);
    const JournalEntry made{(data[2] & 1) != 0 && first == 0, std::string(bytes.substr(3, first)),
                            std::string(bytes.substr(3 + first, second))};
    const std::string encoded = EncodeJournal(made);
    std::optional<JournalEntry> decoded = DecodeJournal(encoded);
    if (!decoded || decoded->oldMissing != made.oldMissing || decoded->oldBytes != made.oldBytes ||
        decoded->newBytes != made.newBytes)
        abort();
    if (DecodeJournal(std::string_view(encoded).substr(0, encoded.size() - 1 - data[2] % encoded.size()))) abort();
    const std::string ours(bytes.substr(3 + first + second));
    CouldBeMidRewrite(made, ours);

    const std::string& old = made.oldBytes;
    const std::string& theirs = made.newBytes;
    const bool refuse = (data[2] & 2) != 0;
    MemoryFiles disk;
    disk.files = {{"C:\\book", old}, {"C:\\journal", ""}};
    JournaledFile file(disk, "C:\\book", "C:\\journal");
    file.Load();
    disk.files["C:\\book"] = theirs;
    const FileFault fault = file.Save(ours, [&](const std::string& now) -> JournaledFile::Rebased {
        if (now != theirs || theirs == old) abort();
        if (refuse) return {};
        return {now + ours};
    });
    const bool changed = theirs != old;
    if (fault != (changed && refuse ? FileFault::Conflict : FileFault::None)) abort();
    if (disk.files["C:\\book"] != (!changed ? ours : refuse ? theirs : theirs + ours)) abort();
    if (disk.files["C:\\journal"] != "" || !disk.errors.empty()) abort();
    return 0;
}
