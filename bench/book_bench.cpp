// Throughput of the address book file: parse and format a full book, and the
// largest file the grammar admits; and the company rebuild.
#include <benchmark/benchmark.h>

#include <string>

#include "book/book_file.h"

namespace {

std::string FullBook(size_t fieldBytes) {
    std::string bytes;
    for (int person = 0; person < CAddressBook::kMaxEntries; ++person) {
        for (int column = 0; column < CAddressEntry::kColumnCount; ++column) {
            std::string field = fieldBytes ? std::string(fieldBytes, static_cast<char>('a' + column))
                                           : std::string(column == 0 ? "P" + std::to_string(person) : "field");
            if (column == 2) field = "Company" + std::to_string(person % 50) + field;
            bytes += field;
            bytes += column + 1 < CAddressEntry::kColumnCount ? "," : "\r\n";
        }
    }
    return bytes;
}

void Parse(benchmark::State& state, size_t fieldBytes) {
    const std::string bytes = FullBook(fieldBytes);
    CAddressBook book;
    for (auto _ : state) benchmark::DoNotOptimize(ParseAddressBook(bytes, book));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void Format(benchmark::State& state, size_t fieldBytes) {
    CAddressBook book;
    ParseAddressBook(FullBook(fieldBytes), book);
    size_t size = 0;
    for (auto _ : state) {
        std::string bytes = FormatAddressBook(book);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void CompanyRebuild(benchmark::State& state) {
    CAddressBook book;
    ParseAddressBook(FullBook(0), book);
    for (auto _ : state) benchmark::DoNotOptimize(book.RebuildCompanies());
}

BENCHMARK_CAPTURE(Parse, thousand_persons, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Format, thousand_persons, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Parse, largest_file, 4095)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Format, largest_file, 4095)->Unit(benchmark::kMillisecond);
BENCHMARK(CompanyRebuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
