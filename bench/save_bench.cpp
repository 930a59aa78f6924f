// A save of the address book as the program makes it after each command,
// through the product's own Win32 backend: a book of 1000 persons (about
// 90 KB) written alternately with one person more and one fewer, so that
// every save really writes. Flushes are timed apart, as they depend on the
// disk rather than on the program; so is each other kind of file call.
// Run it under Wine on a disk-backed file system (bench/run).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "book/book_file.h"
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

}  // namespace

int main() {
    TimedFiles files;
    const std::string path = AddressBookPath(files);
    const std::string books[2] = {Book(1000), Book(999)};
    HANDLE seed = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(seed, books[1].data(), static_cast<DWORD>(books[1].size()), &written, nullptr);
    CloseHandle(seed);

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
    return 0;
}
