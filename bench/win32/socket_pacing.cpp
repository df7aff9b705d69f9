// socket_pacing: how WS shares the window's thread with its timers while a
// large answer streams in over loopback. A window with a 10 ms timer reads a
// 50 MB answer through WS; each run prints the longest gap between two timer
// ticks while data arrives and the throughput. Speed goals are read from its
// output, never asserted in a test.
//
//   socket_pacing.exe [runs] [megabytes]
//
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "download/winsock_socket.h"
#include "socket/fast_sender.h"

namespace {

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

struct Run {
  double longestGapMs = 0;
  int ticks = 0;
  double megabytesPerSecond = 0;
  bool complete = false;
};

Run Measure(std::size_t total) {
  Run run;
  tw::test::FastSender sender(total);
  const HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  {
    tw::win::WinsockSocket ws;
    tw::test::ByteCounter events(ws);
    ws.SetRemoteHost("127.0.0.1");
    ws.SetRemotePort(sender.Port());
    ws.Connect();
    SetTimer(window, 1, 10, nullptr);
    double firstData = 0;
    double lastTick = 0;
    const double deadline = Now() + 120;
    while (!events.closed && events.error == 0 && Now() < deadline) {
      MSG msg;
      if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        continue;
      }
      if (msg.message == WM_TIMER && msg.hwnd == window) {
        const double now = Now();
        // Gaps count only while the answer streams in.
        if (events.bytes > 0 && lastTick > 0)
          run.longestGapMs = std::max(run.longestGapMs, (now - lastTick) * 1000);
        lastTick = now;
        if (events.bytes > 0) ++run.ticks;
        continue;
      }
      const std::size_t before = events.bytes;
      DispatchMessageW(&msg);
      if (before == 0 && events.bytes > 0) firstData = Now();
    }
    const double end = Now();
    if (events.bytes > 0 && lastTick > 0)
      run.longestGapMs = std::max(run.longestGapMs, (end - lastTick) * 1000);
    KillTimer(window, 1);
    run.complete = events.closed && events.bytes == total;
    if (firstData > 0 && end > firstData)
      run.megabytesPerSecond = events.bytes / (1024.0 * 1024.0) / (end - firstData);
  }
  DestroyWindow(window);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::size_t megabytes = argc > 2 ? static_cast<std::size_t>(std::max(1, std::atoi(argv[2]))) : 50;
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
  std::vector<Run> results;
  for (int i = 0; i < runs; ++i) {
    const Run run = Measure(megabytes * 1024 * 1024);
    results.push_back(run);
    std::printf("run %d: longest gap %.1f ms, %d ticks, %.1f MB/s%s\n", i + 1, run.longestGapMs, run.ticks,
                run.megabytesPerSecond, run.complete ? "" : " (incomplete)");
    std::fflush(stdout);
  }
  WSACleanup();
  return std::all_of(results.begin(), results.end(), [](const Run& r) { return r.complete; }) ? 0 : 1;
}
