// How long the history window takes to open for a long history: 1,000
// accepted reports with 20,000 events between them. Writes the history into
// a temporary program folder, then times reading it, building the window and
// its first paint, and prints the figures. A measurement, not a test.
//   history_open_time.exe [--keep-open]   (--keep-open: leave it on screen)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "files/atomic_file.h"
#include "readers/history_window.h"
#include "text/cp1251.h"

namespace fs = std::filesystem;

namespace {

// 1,000 reports, one a day from 2023-01-01 at 09:00; 20 events each (12
// came, 6 went, 2 renamed), so the count grows by 6 a report.
std::string LongHistory() {
  std::string text;
  std::size_t count = 500;
  int member = 100000;
  for (int day = 0; day < 1000; ++day) {
    const std::int64_t minute = (19358LL + day) * 24 * 60 + 9 * 60;  // 19358: 2023-01-01
    const std::time_t seconds = static_cast<std::time_t>(minute * 60);
    std::tm tm{};
    gmtime_s(&tm, &seconds);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min);
    count += 6;
    text += std::string(stamp) + "\t" + tw::cp1251("всего").str() + "\t" + std::to_string(count) + "\r\n";
    for (int i = 0; i < 12; ++i) {
      ++member;
      text += std::string(stamp) + "\t+\t" + std::to_string(member) + "\t" + tw::cp1251("Читатель ").str() +
              std::to_string(member) + "\r\n";
    }
    for (int i = 0; i < 6; ++i) {
      text += std::string(stamp) + "\t-\t" + std::to_string(member - 20 - i) + "\t" +
              tw::cp1251("Ушедший ").str() + std::to_string(member - 20 - i) + "\r\n";
    }
    for (int i = 0; i < 2; ++i) {
      text += std::string(stamp) + "\t~\t" + std::to_string(member - 40 - i) + "\tOld " + std::to_string(i) +
              "\t" + tw::cp1251("Новое имя ").str() + std::to_string(i) + "\r\n";
    }
  }
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool keepOpen = argc > 1 && std::wstring(argv[1]) == L"--keep-open";
  const fs::path folder = fs::temp_directory_path() / L"tw-history-time";
  fs::create_directories(folder);
  if (!tw::WriteFileAtomic(folder / "1100.history.txt", LongHistory())) {
    std::fprintf(stderr, "cannot write the history\n");
    return 1;
  }
  using Clock = std::chrono::steady_clock;
  for (int run = 1; run <= 3; ++run) {
    const auto readStart = Clock::now();
    const tw::HistoryPage page = tw::LoadHistoryPage(folder, "1100");
    const auto readEnd = Clock::now();
    const auto start = Clock::now();
    tw::HistoryWindow window(folder, "1100");
    if (!window.Create(nullptr)) return 1;
    const auto created = Clock::now();
    ShowWindow(window.Handle(), SW_SHOW);
    UpdateWindow(window.Handle());
    const auto painted = Clock::now();
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf(
        "run %d: %zu reports, %zu events: window read and built in %.0f ms (of which reading the file alone "
        "takes %.0f ms), shown and painted in %.0f ms, %.0f ms in all\n",
        run, window.Page().history.points.size(), window.Page().history.events.size(), ms(created - start),
        ms(readEnd - readStart), ms(painted - created), ms(painted - start));
    (void)page;
    std::fflush(stdout);
    if (keepOpen && run == 3) {
      MSG msg;
      while (IsWindow(window.Handle()) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
  return 0;
}
