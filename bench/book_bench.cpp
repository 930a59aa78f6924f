// Throughput of the address book file: parse and format a full book and
// the largest file the grammar admits (1000 persons x 13 fields x 4095
// bytes), each set against what the memory allows for the same bytes (one
// memchr pass for ',' and LF; a memcpy into fresh memory); and the company
// rebuild, and a find through 1000 persons. Prints the ratios at the end. Run one book per process
// (--benchmark_filter=thousand, =largest): what one benchmark leaves in the
// heap decides whether the next one's fresh memory has to be faulted in.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "book/book_file.h"
#include "picker/person_search.h"

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

// The floor for parsing: every ',' and LF found, nothing else done.
void MemchrPass(benchmark::State& state, size_t fieldBytes) {
    const std::string bytes = FullBook(fieldBytes);
    for (auto _ : state) {
        size_t found = 0;
        for (char c : {',', '\n'}) {
            const char* p = bytes.data();
            const char* end = p + bytes.size();
            while (const void* hit = std::memchr(p, c, static_cast<size_t>(end - p))) {
                ++found;
                p = static_cast<const char*>(hit) + 1;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// The floor for formatting: the same bytes copied into fresh memory.
void Memcpy(benchmark::State& state, size_t fieldBytes) {
    const std::string bytes = FullBook(fieldBytes);
    for (auto _ : state) {
        char* copy = static_cast<char*>(std::malloc(bytes.size()));
        std::memcpy(copy, bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy);
        benchmark::ClobberMemory();
        std::free(copy);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void CompanyRebuild(benchmark::State& state) {
    CAddressBook book;
    ParseAddressBook(FullBook(0), book);
    for (auto _ : state) benchmark::DoNotOptimize(book.RebuildCompanies());
}

// A find that matches no one of 1000 persons: every field of every person
// brought to the compared form, the most one F3 can cost.
void FindNoMatch(benchmark::State& state) {
    CAddressBook book;
    ParseAddressBook(FullBook(0), book);
    const PersonQuery query("ﾔﾏﾀﾞ");
    for (auto _ : state) benchmark::DoNotOptimize(FindPersonSlot(book, query, 0, true));
}

BENCHMARK_CAPTURE(Parse, thousand_persons, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MemchrPass, thousand_persons, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Memcpy, thousand_persons, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Format, thousand_persons, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Parse, largest_file, 4095)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemchrPass, largest_file, 4095)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Memcpy, largest_file, 4095)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Format, largest_file, 4095)->Unit(benchmark::kMillisecond);
BENCHMARK(CompanyRebuild)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindNoMatch)->Unit(benchmark::kMicrosecond);

// The console report, and each run's throughput kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end()) rates[run.benchmark_name()] = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-18s %12s %12s %12s %12s %10s %10s\n", "book", "parse MB/s", "memchr MB/s", "format MB/s",
                "memcpy MB/s", "parse/mc", "format/cp");
    for (const char* book : {"thousand_persons", "largest_file"}) {
        auto rate = [&](const char* what) { return reporter.rates[std::string(what) + "/" + book] / 1e6; };
        if (rate("Parse") == 0) continue;  // filtered out
        std::printf("%-18s %12.0f %12.0f %12.0f %12.0f %10.2f %10.2f\n", book, rate("Parse"), rate("MemchrPass"),
                    rate("Format"), rate("Memcpy"), rate("Parse") / rate("MemchrPass"),
                    rate("Format") / rate("Memcpy"));
    }
    benchmark::Shutdown();
    return 0;
}
