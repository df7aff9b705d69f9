// A loopback peer that sends a large answer as fast as it can and closes,
// and a reader that only counts what WS hands over: shared by the test of
// WS under a fast sender and by socket_pacing.exe.
#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <cstddef>
#include <string>
#include <thread>

#include "download/socket.h"

namespace tw::test {

class ByteCounter : public SocketEvents {
 public:
  explicit ByteCounter(Socket& socket) : socket_(socket) { socket.SetEvents(this); }
  void OnConnect() override {}
  void OnDataArrival(std::size_t) override { bytes += socket_.GetData().size(); }
  void OnClose() override { closed = true; }
  void OnError(int number) override { error = number; }

  std::size_t bytes = 0;
  bool closed = false;
  int error = 0;

 private:
  Socket& socket_;
};

// Listens on 127.0.0.1; the first connection gets `total` bytes, then the
// end of the stream.
class FastSender {
 public:
  explicit FastSender(std::size_t total) : listener_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 1);
    thread_ = std::thread([listener = listener_, total] {
      SOCKET peer = accept(listener, nullptr, nullptr);
      if (peer == INVALID_SOCKET) return;
      const std::string block(256 * 1024, 'x');
      for (std::size_t sent = 0; sent < total; sent += block.size()) {
        if (send(peer, block.data(), static_cast<int>(block.size()), 0) == SOCKET_ERROR) break;
      }
      shutdown(peer, SD_SEND);
      closesocket(peer);
    });
  }
  ~FastSender() {
    closesocket(listener_);
    thread_.join();
  }
  FastSender(const FastSender&) = delete;
  FastSender& operator=(const FastSender&) = delete;

  int Port() const { return port_; }

 private:
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace tw::test
