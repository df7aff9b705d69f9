// Parser and comparison on large profiles. The parser's peak heap use is
// reported as a multiple of the page size ("peak_x_page").
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "profile_page_builder.h"
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

tw::ReaderList MakeList(int readers, int churnEvery, bool isNew) {
  tw::ReaderList list;
  for (int i = 0; i < readers; ++i) {
    std::string id = std::to_string(100000 + i);
    std::string nick = "Reader_" + id;
    if (churnEvery && i % churnEvery == 0) {
      id += isNew ? "1" : "2";  // one subscribed, one unsubscribed
    } else if (churnEvery && isNew && i % churnEvery == 1) {
      nick += "_renamed";
    }
    list.entries.push_back({id, nick});
  }
  list.lineCount = list.entries.size();
  return list;
}

void BM_CompareReaderLists(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const tw::ReaderList fresh = MakeList(n, 100, true);
  const tw::ReaderList old = MakeList(n, 100, false);
  for (auto _ : state) {
    tw::ChangeReport report = tw::CompareReaderLists(fresh, old);
    benchmark::DoNotOptimize(report);
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_CompareReaderLists)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
