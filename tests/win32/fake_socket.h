// A socket that never connects and a fixed date, for download windows a test
// drives through the socket's events by hand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "download/profile_check.h"
#include "download/socket.h"

namespace tw::test {

class FakeSocket : public Socket {
 public:
  SocketEvents* events = nullptr;
  void SetEvents(SocketEvents* e) override { events = e; }
  const std::string& RemoteHost() const override { return host_; }
  void SetRemoteHost(std::string host) override { host_ = std::move(host); }
  std::int32_t RemotePort() const override { return 0; }
  void SetRemotePort(std::int32_t) override {}
  void Connect() override {}
  void SendData(std::string_view) override {}
  std::string GetData() override { return {}; }
  void Close() override {}

 private:
  std::string host_;
};

class Today : public DateSource {
 public:
  std::string TodayText() override { return "09.12.2026"; }
};

}  // namespace tw::test
