// WS: the program's asynchronous TCP socket. Winsock events arrive through
// WSAAsyncSelect on a hidden message-only window of the object's own, so every
// event is raised on the UI thread from the message loop. Names are resolved on
// a worker thread so the window never freezes; a late result of a connection
// that was closed meanwhile is dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "download/socket.h"

namespace tw::win {

// Resolves a host name to an IPv4 address in network byte order; returns 0
// on success or a Winsock error number (11001 host not found ...). Runs on a
// worker thread.
using HostResolver = std::function<int(const std::string& host, std::uint32_t& address)>;

int ResolveHostIpv4(const std::string& host, std::uint32_t& address);

class WinsockSocket : public tw::Socket {
 public:
  // Error raised for a port outside 1..65535 (cannot assign requested address).
  static constexpr int kBadPortError = 10049;

  explicit WinsockSocket(HostResolver resolver = ResolveHostIpv4);
  ~WinsockSocket() override;
  WinsockSocket(const WinsockSocket&) = delete;
  WinsockSocket& operator=(const WinsockSocket&) = delete;

  void SetEvents(tw::SocketEvents* events) override { events_ = events; }
  const std::string& RemoteHost() const override { return host_; }
  void SetRemoteHost(std::string host) override { host_ = std::move(host); }
  std::int32_t RemotePort() const override { return port_; }
  void SetRemotePort(std::int32_t port) override { port_ = port; }
  void Connect() override;
  void SendData(std::string_view bytes) override;
  std::string GetData() override;
  void Close() override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
  tw::SocketEvents* events_ = nullptr;
  std::string host_;
  std::int32_t port_ = 0;
};

}  // namespace tw::win
