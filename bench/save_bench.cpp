// A save of the address book as the program makes it after each command,
// through the product's own Win32 backend: a book of 1000 persons (about
// 90 KB) written alternately with one person more and one fewer, so that
// every save really writes. Flushes are timed apart, as they depend on the
// disk rather than on the program; so is each other kind of file call.
// Then the same change saved by a run whose book and groups (200 of 100
// members) another PC changed meanwhile, beside the plain save of it.
// Run it under Wine on a disk-backed file system (bench/run).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "book/book_change.h"
#include "book/book_file.h"
#include "book/book_store.h"
#include "storage/journal.h"
#include "storage/journaled_file.h"
#include "system/win32/win32_files.h"

namespace {

double Now() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

enum Call { kOpen, kRead, kWrite, kSetLength, kFlush, kClose, kCalls };
const char* const kCallNames[kCalls] = {"open", "read", "write", "set length", "flush", "close"};

// The product's backend, with the time of each kind of file call counted.
class TimedFiles : public Win32Files {
public:
    double ms[kCalls] = {};
    int count[kCalls] = {};
    template <typename F>
    auto Timed(Call call, F f) {
        double start = Now();
        auto result = f();
        ms[call] += Now() - start;
        ++count[call];
        return result;
    }
    FileOpenStatus OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) override {
        return Timed(kOpen, [&] { return Win32Files::OpenFile(path, access, create, file); });
    }
    bool ReadWholeFile(FileHandle* file, std::string& bytes) override {
        return Timed(kRead, [&] { return Win32Files::ReadWholeFile(file, bytes); });
    }
    FileResult WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) override {
        return Timed(kWrite, [&] { return Win32Files::WriteFileAt(file, offset, bytes); });
    }
    FileResult SetFileLength(FileHandle* file, std::uint64_t length) override {
        return Timed(kSetLength, [&] { return Win32Files::SetFileLength(file, length); });
    }
    FileResult FlushFile(FileHandle* file) override {
        return Timed(kFlush, [&] { return Win32Files::FlushFile(file); });
    }
    void CloseFile(FileHandle* file) override {
        Timed(kClose, [&] { Win32Files::CloseFile(file); return true; });
    }
};

std::string Book(int persons) {
    std::string bytes;
    for (int i = 0; i < persons; ++i)
        bytes += "山田太郎" + std::to_string(i) + ",やまだたろう,山田商事株式会社" + std::to_string(i % 40) +
                 ",やまだしょうじ,営業部第一課,03-1234-" + std::to_string(1000 + i) + ",,,,,,,\r\n";
    return bytes;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Seed(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Milliseconds of the save of the person in |slot| renamed, by a run that
// read the files just before (another PC's rename saved meanwhile when
// |merged|); -1 when it was not saved so.
double SaveEdit(Files& files, int slot, bool merged) {
    BookLocation location;
    location.folder = AddressBookPath(files).substr(0, AddressBookPath(files).rfind('\\'));
    BookStore ours(files, location), theirs(files, location);
    auto book = std::make_unique<CAddressBook>(), other = std::make_unique<CAddressBook>(), now = std::make_unique<CAddressBook>();
    auto rename = [&](BookStore& store, CAddressBook& b, int at) {
        store.Load(b);
        for (int s = 0; s < b.m_nEntryCount; ++s) b.m_aEntries[static_cast<std::size_t>(s)].m_nID = s;
        BookChange change{BookChange::Kind::Edit, b.m_aEntries[static_cast<std::size_t>(at)], b.m_aEntries[static_cast<std::size_t>(at)], 0};
        change.after.m_strName += "x";
        ApplyChange(b, change);
        return change;
    };
    const BookChange change = rename(ours, *book, slot);
    if (merged) theirs.Save(*other, rename(theirs, *other, (slot + 500) % 1000), *now);
    const double start = Now();
    const BookStore::Saved saved = ours.Save(*book, change, *now);
    return saved.fault == FileFault::None && saved.rebased == merged ? Now() - start : -1;
}

}  // namespace

int main() {
    TimedFiles files;
    const std::string path = AddressBookPath(files);
    const std::string books[2] = {Book(1000), Book(999)};
    Seed(path, books[1]);

    JournaledFile file(files, path, AddressBookPath(files, kAddressBookJournalFileName));
    file.Load();
    constexpr int kSaves = 201;
    std::vector<double> flushes, rest;
    double msBefore[kCalls];
    int countBefore[kCalls];
    std::copy(files.ms, files.ms + kCalls, msBefore);
    std::copy(files.count, files.count + kCalls, countBefore);
    for (int i = 0; i < kSaves; ++i) {
        double flushMs = files.ms[kFlush];
        double start = Now();
        if (file.Save(books[i % 2]) != FileFault::None) {
            std::printf("save %d failed\n", i);
            return 1;
        }
        double total = Now() - start;
        flushes.push_back(files.ms[kFlush] - flushMs);
        rest.push_back(total - flushes.back());
    }
    std::printf("save of 1000 persons (%zu bytes), %d saves: apart from the flushes %.3f ms (median; fastest %.3f), "
                "flushes %.3f ms (median)\n  per save:",
                books[0].size(), kSaves, Median(rest), *std::min_element(rest.begin(), rest.end()), Median(flushes));
    for (int call = 0; call < kCalls; ++call)
        std::printf(" %s %dx %.3f ms%s", kCallNames[call], (files.count[call] - countBefore[call]) / kSaves,
                    (files.ms[call] - msBefore[call]) / kSaves, call + 1 < kCalls ? "," : "\n");
    // Each save renames a person once more, in groups of 100 (200 of them): every save writes both files.
    std::string groups;
    for (int g = 0; g < 200; ++g)
        for (int k = 0, i = g * 7 % 1000; k < 100; i = (g * 7 + ++k * 13) % 1000)
            groups += "ｸﾞﾙｰﾌﾟ" + std::to_string(g) + ",ぐるーぷ,山田太郎" + std::to_string(i) + ",03-1234-" + std::to_string(1000 + i) + "\r\n";
    Seed(AddressBookPath(files, kGroupFileName), groups);
    Seed(path, books[0]);
    std::vector<double> plain, merged;
    for (int i = 0; i < 41; ++i) {
        plain.push_back(SaveEdit(files, i * 7 % 1000, false));
        merged.push_back(SaveEdit(files, i * 7 % 1000, true));
    }
    if (*std::min_element(plain.begin(), plain.end()) < 0 || *std::min_element(merged.begin(), merged.end()) < 0) return 1;
    std::printf("a person in groups renamed, 1000 persons and 200 groups of 100, 41 saves each, flushes included: "
                "plain %.3f ms, merged with another PC's change %.3f ms (median; %.2f x)\n",
                Median(plain), Median(merged), Median(merged) / Median(plain));
    return 0;
}
