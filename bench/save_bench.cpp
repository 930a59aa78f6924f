// A save of the address book as the program makes it after each command,
// through the product's own Win32 backend: a book of 1000 persons (about
// 80 KB) written alternately with one person more and one fewer, so that
// every save really writes. Flushes are timed apart, as they depend on the
// disk rather than on the program. Run it under Wine on a disk-backed file
// system (bench/run).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "framework/files.h"
#include "framework/win32/win32_platform.h"

namespace {

double Now() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The product's backend, with the time spent in flushes counted.
class TimedFlushes : public Win32Platform {
public:
    double flushMs = 0;
    int flushes = 0;
    double t[6] = {};
    FileOpenStatus OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) override {
        double s = Now(); auto r = Win32Platform::OpenFile(path, access, create, file); t[0] += Now() - s; return r; }
    bool ReadWholeFile(FileHandle* file, std::string& bytes) override {
        double s = Now(); auto r = Win32Platform::ReadWholeFile(file, bytes); t[1] += Now() - s; return r; }
    bool WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) override {
        double s = Now(); auto r = Win32Platform::WriteFileAt(file, offset, bytes); t[2] += Now() - s; return r; }
    bool SetFileLength(FileHandle* file, std::uint64_t length) override {
        double s = Now(); auto r = Win32Platform::SetFileLength(file, length); t[3] += Now() - s; return r; }
    void CloseFile(FileHandle* file) override {
        double s = Now(); Win32Platform::CloseFile(file); t[4] += Now() - s; }
    bool FlushFile(FileHandle* file) override {
        double start = Now();
        bool flushed = Win32Platform::FlushFile(file);
        flushMs += Now() - start;
        ++flushes;
        return flushed;
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
    TimedFlushes platform;
    SetPlatform(&platform);
    const std::string path = AddressBookPath(platform);
    const std::string books[2] = {Book(1000), Book(999)};
    HANDLE seed = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(seed, books[1].data(), static_cast<DWORD>(books[1].size()), &written, nullptr);
    CloseHandle(seed);

    JournaledFile file;
    std::string loaded;
    file.Load(platform, path, AddressBookPath(platform, kAddressBookJournalFileName), loaded);
    constexpr int kSaves = 101;
    std::vector<double> totals, flushes, rest;
    for (int i = 0; i < kSaves; ++i) {
        platform.flushMs = 0;
        double start = Now();
        if (!file.Save(platform, books[i % 2])) {
            std::printf("save %d failed\n", i);
            return 1;
        }
        double total = Now() - start;
        totals.push_back(total);
        flushes.push_back(platform.flushMs);
        rest.push_back(total - platform.flushMs);
    }
    std::printf("save of 1000 persons (%zu bytes), median of %d: %.3f ms in all, %.3f ms in %d flushes, "
                "%.3f ms apart from the flushes (fastest %.3f ms)\n",
                books[0].size(), kSaves, Median(totals), Median(flushes), platform.flushes / kSaves, Median(rest),
                *std::min_element(rest.begin(), rest.end()));
    std::printf("open %.3f read %.3f write %.3f setlen %.3f close %.3f (ms per save)\n", platform.t[0]/kSaves, platform.t[1]/kSaves, platform.t[2]/kSaves, platform.t[3]/kSaves, platform.t[4]/kSaves);
    return 0;
}
