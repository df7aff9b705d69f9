// The diary service stand-in: a small HTTP/1.0 server on 127.0.0.1 that
// answers as the PDA host (origin-form request line) and as an HTTP proxy
// (absolute form), serves fixture pages, records every request's bytes and
// can misbehave on purpose. Needs no display.
//
//   stand-in --fixtures DIR [--log DIR] [--mode MODE] [--proxy-auth user:pass]
//            [--port N] [--lifetime S] [--huge-mb N] [--trickle-bytes N]
//            [--trickle-ms N]
//   MODE: normal refuse stall half trickle 404 500 fake200 huge
//
// The first line on stdout is "port N". The server ends by itself after
// --lifetime seconds (default 600).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "responses.h"

namespace standin {
namespace {

std::atomic<int> requestCount{0};

void Usage() {
  std::cerr << "usage: stand-in --fixtures DIR [--log DIR] [--mode normal|refuse|stall|half|trickle|404|500|"
               "fake200|huge] [--proxy-auth user:pass] [--port N] [--lifetime S] [--huge-mb N]"
               " [--trickle-bytes N] [--trickle-ms N]\n";
}

bool ParseArgs(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    try {
      if (arg == "--fixtures") {
        options.fixtures = value;
      } else if (arg == "--log") {
        options.log = value;
      } else if (arg == "--mode") {
        if (!ParseMode(value, options.mode)) return false;
      } else if (arg == "--proxy-auth") {
        options.proxyAuth = value;
      } else if (arg == "--port") {
        options.port = std::stoi(value);
      } else if (arg == "--lifetime") {
        options.lifetimeSeconds = std::stoi(value);
      } else if (arg == "--huge-mb") {
        options.hugeMegabytes = std::stoul(value);
      } else if (arg == "--trickle-bytes") {
        options.trickleBytes = std::max<std::size_t>(1, std::stoul(value));
      } else if (arg == "--trickle-ms") {
        options.trickleMs = std::stoi(value);
      } else {
        return false;
      }
    } catch (const std::exception&) {
      return false;
    }
  }
  return options.port >= 0 && options.port <= 65535;
}

// Writes the bytes of one request as "<log>/NNNN.http", complete or not at
// all (a test polling the folder never sees half a file).
void LogRequest(const Options& options, std::string_view bytes) {
  const int number = ++requestCount;
  if (options.log.empty()) return;
  char name[32];
  std::snprintf(name, sizeof name, "%04d.http", number);
  const auto target = options.log / name;
  auto temp = target;
  temp += ".part";
  {
    std::ofstream out(temp, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::rename(temp, target);
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Reads the request head: up to the empty line, the peer's close or 1 MiB.
std::string ReadRequest(int fd) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < (1u << 20)) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  return request;
}

void Serve(int fd, Responder& responder) {
  const std::string request = ReadRequest(fd);
  if (request.empty()) {
    ::close(fd);
    return;
  }
  LogRequest(responder.options(), request);
  const Answer answer = responder.Respond(request);
  const Options& options = responder.options();
  switch (answer.mode) {
    case Mode::Stall: {
      // Never answer; wait until the client gives up.
      char sink[256];
      while (::recv(fd, sink, sizeof sink, 0) > 0) {
      }
      break;
    }
    case Mode::Half:
      SendAll(fd, answer.head) &&
          SendAll(fd, std::string_view(answer.body).substr(0, answer.body.size() / 2));
      break;
    case Mode::Trickle: {
      const std::string all = answer.head + answer.body;
      for (std::size_t at = 0; at < all.size(); at += options.trickleBytes) {
        if (!SendAll(fd, std::string_view(all).substr(at, options.trickleBytes))) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(options.trickleMs));
      }
      break;
    }
    default:
      SendAll(fd, answer.head) && SendAll(fd, answer.body);
      break;
  }
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

int Run(const Options& options) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listener < 0) {
    std::perror("socket");
    return 1;
  }
  const int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(options.port));
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 16) != 0) {
    std::perror("bind");
    return 1;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::cout << "port " << ntohs(address.sin_port) << std::endl;

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.lifetimeSeconds);
  if (options.mode == Mode::Refuse) {
    // The port was free a moment ago and nobody listens on it now: every
    // connect is refused.
    ::close(listener);
    std::this_thread::sleep_until(deadline);
    return 0;
  }
  Responder responder(options);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd waiting{listener, POLLIN, 0};
    if (::poll(&waiting, 1, 200) <= 0) continue;
    const int fd = ::accept(listener, nullptr, nullptr);
    if (fd < 0) continue;
    std::thread(Serve, fd, std::ref(responder)).detach();
  }
  // Connections still stalled or trickling end with the process.
  std::cout.flush();
  std::_Exit(0);
}

}  // namespace
}  // namespace standin

int main(int argc, char** argv) {
  standin::Options options;
  if (!standin::ParseArgs(argc, argv, options)) {
    standin::Usage();
    return 2;
  }
  if (!options.log.empty()) std::filesystem::create_directories(options.log);
  return standin::Run(options);
}
