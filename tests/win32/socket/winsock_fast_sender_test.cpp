// WS under a sender faster than the reader: the thread's lower-priority
// messages (timer ticks, and so input) still get their turn while the data
// streams in, so a window can be cancelled mid-transfer.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include "download/winsock_socket.h"
#include "socket/fast_sender.h"

namespace {

TEST(WinsockSocketFastSender, TimerTicksWhileALargeAnswerStreamsIn) {
  WSADATA data{};
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  constexpr std::size_t kTotal = 24 * 1024 * 1024;
  {
    tw::test::FastSender sender(kTotal);
    tw::win::WinsockSocket ws;
    tw::test::ByteCounter events(ws);
    ws.SetRemoteHost("127.0.0.1");
    ws.SetRemotePort(sender.Port());
    ws.Connect();

    // A thread timer, like every timer and like input, comes only when no
    // posted message waits.
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    int ticksDuringTransfer = 0;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!events.closed && events.error == 0 && GetTickCount64() < deadline) {
      MSG msg;
      if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        continue;
      }
      if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
        if (events.bytes > 0 && events.bytes < kTotal) ++ticksDuringTransfer;
        continue;
      }
      DispatchMessageW(&msg);
    }
    KillTimer(nullptr, timer);

    EXPECT_TRUE(events.closed);
    EXPECT_EQ(events.error, 0);
    EXPECT_EQ(events.bytes, kTotal);  // the pauses lose nothing
    EXPECT_GT(ticksDuringTransfer, 0);
  }
  WSACleanup();
}

}  // namespace
