// The socket a check talks through: an asynchronous TCP connection whose
// events arrive on the UI thread, one at a time. The Win32 implementation is
// WinsockSocket; tests use a fake.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

class SocketEvents {
 public:
  virtual ~SocketEvents() = default;
  virtual void OnConnect() = 0;
  virtual void OnDataArrival(std::size_t bytesTotal) = 0;
  virtual void OnClose() = 0;            // the peer closed the connection
  virtual void OnError(int number) = 0;  // Winsock error number, e.g. 10061
};

class Socket {
 public:
  virtual ~Socket() = default;
  virtual void SetEvents(SocketEvents* events) = 0;
  virtual const std::string& RemoteHost() const = 0;
  virtual void SetRemoteHost(std::string host) = 0;
  virtual std::int32_t RemotePort() const = 0;
  virtual void SetRemotePort(std::int32_t port) = 0;
  // Starts connecting to RemoteHost:RemotePort; OnConnect or OnError follows.
  virtual void Connect() = 0;
  // Sends the bytes as they are (cp1251, one byte per character).
  virtual void SendData(std::string_view bytes) = 0;
  // Everything received since the last call.
  virtual std::string GetData() = 0;
  // Closes the connection (also while resolving or connecting). Raises no
  // event, and no event of the old connection arrives afterwards; the
  // socket can Connect again.
  virtual void Close() = 0;
};

}  // namespace tw
