// WS under a sender faster than the reader: the thread's lower-priority
// messages (timer ticks, and so input) still get their turn while the data
// streams in, so a window can be cancelled mid-transfer.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "download/winsock_socket.h"

namespace {

class Collector : public tw::SocketEvents {
 public:
  explicit Collector(tw::Socket& socket) : socket_(socket) { socket.SetEvents(this); }
  void OnConnect() override {}
  void OnDataArrival(std::size_t) override { bytes += socket_.GetData().size(); }
  void OnClose() override { closed = true; }
  void OnError(int number) override { error = number; }

  std::size_t bytes = 0;
  bool closed = false;
  int error = 0;

 private:
  tw::Socket& socket_;
};

TEST(WinsockSocketFastSender, TimerTicksWhileALargeAnswerStreamsIn) {
  WSADATA data{};
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  constexpr std::size_t kTotal = 24 * 1024 * 1024;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  int length = sizeof(address);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  listen(listener, 1);
  std::thread server([listener] {
    SOCKET peer = accept(listener, nullptr, nullptr);
    if (peer == INVALID_SOCKET) return;
    const std::string block(256 * 1024, 'x');
    for (std::size_t sent = 0; sent < kTotal; sent += block.size()) {
      if (send(peer, block.data(), static_cast<int>(block.size()), 0) == SOCKET_ERROR) break;
    }
    shutdown(peer, SD_SEND);
    closesocket(peer);
  });

  {
    tw::win::WinsockSocket ws;
    Collector events(ws);
    ws.SetRemoteHost("127.0.0.1");
    ws.SetRemotePort(ntohs(address.sin_port));
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
  closesocket(listener);
  server.join();
  WSACleanup();
}

}  // namespace
