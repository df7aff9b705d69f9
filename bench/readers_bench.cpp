// Parser and comparison on large profiles. The parser's peak heap use is
// reported as a multiple of the page size ("peak_x_page").
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "files/atomic_file.h"
#include "profile_page_builder.h"
#include "readers/change_report.h"
#include "readers/compare_lists.h"
#include "readers/profile_parser.h"

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

}  // namespace

// Counting allocator: every block carries its size in front. The compiler
// cannot see that these malloc/free pairs belong together.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  void* block = std::malloc(size + 16);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t live = liveBytes += size;
  std::size_t peak = peakBytes.load();
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(block) + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  void* block = static_cast<char*>(p) - 16;
  liveBytes -= *static_cast<std::size_t*>(block);
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

namespace fs = std::filesystem;

void BM_ParseProfilePage(benchmark::State& state) {
  const std::string page = tw::bench::ProfilePage(static_cast<int>(state.range(0)));
  const fs::path folder = fs::temp_directory_path() / ("tw-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  double peakRatio = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string text = page;
    std::string owner;
    const std::size_t base = liveBytes.load();
    peakBytes = base;
    state.ResumeTiming();
    const std::string message = tw::ParseProfilePage(text, owner, {"1", false, folder});
    state.PauseTiming();
    if (!message.empty()) state.SkipWithError("parse failed");
    // The page itself is part of the peak: it is the parser's input.
    peakRatio = static_cast<double>(peakBytes.load() - base + page.size()) / static_cast<double>(page.size());
    state.ResumeTiming();
  }
  state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
  state.counters["peak_x_page"] = peakRatio;
  state.SetComplexityN(state.range(0));
  fs::remove_all(folder);
}
BENCHMARK(BM_ParseProfilePage)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

std::string ListText(const tw::ReaderList& list) {
  std::string text;
  for (const tw::ReaderEntry& entry : list.entries)
    text.append(entry.ID).append("%").append(entry.Nick).append("\r\n");
  return text;
}

void BM_CompareReaderLists(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  // Split from list text, as the lists read from the files are.
  const tw::ReaderList fresh = tw::ParseReaderList(ListText(tw::bench::Readers(n, true)));
  const tw::ReaderList old = tw::ParseReaderList(ListText(tw::bench::Readers(n, false)));
  for (auto _ : state) {
    tw::ChangeReport report = tw::CompareReaderLists(fresh, old);
    benchmark::DoNotOptimize(report);
  }
  state.SetComplexityN(n);
}
// One million as well: past the caches the time per reader settles, which
// tells a linear algorithm with cache misses from a super-linear one.
BENCHMARK(BM_CompareReaderLists)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

class FixedTime : public tw::FileTimeFormatter {
 public:
  std::tm LocalTime(std::filesystem::file_time_type) const override {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 11;
    time.tm_mday = 9;
    return time;
  }
};

// The whole report as the window builds it: both list files read, split
// into entries and compared.
void BM_BuildChangeReport(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const fs::path folder = fs::temp_directory_path() / ("tw-bench-report-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  if (!tw::WriteFileAtomic(folder / "tmp.id", ListText(tw::bench::Readers(n, true))) ||
      !tw::WriteFileAtomic(folder / "1001.id", ListText(tw::bench::Readers(n, false)))) {
    state.SkipWithError("cannot write the list files");
  }
  const FixedTime formatter;
  for (auto _ : state) {
    tw::ChangeReportData data = tw::BuildChangeReport(folder, "1001", formatter);
    if (data.report.newLineCount != static_cast<std::size_t>(n)) state.SkipWithError("lists not read");
    benchmark::DoNotOptimize(data);
  }
  state.SetComplexityN(n);
  fs::remove_all(folder);
}
BENCHMARK(BM_BuildChangeReport)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
