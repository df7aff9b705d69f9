#include "download/winsock_socket.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on

#include <mutex>
#include <thread>

namespace tw::win {
namespace {

constexpr UINT kResolvedMessage = WM_APP + 1;  // wParam: generation
constexpr UINT kFailMessage = WM_APP + 2;      // wParam: generation, lParam: error
// WSAAsyncSelect messages use one number per connection generation, so a
// message still queued for a closed socket never matches a new socket that
// happens to get the same handle value.
constexpr UINT kSocketMessageBase = WM_APP + 16;
constexpr UINT kSocketMessageSlots = 0x3000;
constexpr std::size_t kReadChunk = 64 * 1024;
// One FD_READ takes at most this much. Posted messages come before input, so
// a sender faster than the reader would keep FD_READ always queued and the
// window deaf to clicks: after a full share, when input, a paint or a timer
// tick waits, reading rests until a timer tick, and timer ticks come only
// once input has been handled. With nothing waiting it reads on at full speed.
constexpr std::size_t kMaxReadPerMessage = 1024 * 1024;
constexpr UINT_PTR kResumeReadTimer = 1;
constexpr wchar_t kClassName[] = L"TallywickSocketWindow";

UINT SocketMessageFor(std::uint64_t generation) {
  return kSocketMessageBase + static_cast<UINT>(generation % kSocketMessageSlots);
}

// Shared between the owner and its resolving thread; the thread posts only
// while the job is not cancelled, under the lock, so it never posts to a
// window that is gone.
struct ResolveJob {
  std::mutex mutex;
  HWND window = nullptr;
  std::uint64_t generation = 0;
  bool cancelled = false;
  bool done = false;
  int error = 0;
  std::uint32_t address = 0;
};

}  // namespace

int ResolveHostIpv4(const std::string& host, std::uint32_t& address) {
  WSADATA data{};
  if (int e = WSAStartup(MAKEWORD(2, 2), &data); e != 0) return e;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* result = nullptr;
  int e = getaddrinfo(host.c_str(), nullptr, &hints, &result);
  if (e == 0) {
    if (result && result->ai_addr && result->ai_family == AF_INET) {
      address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    } else {
      e = WSAHOST_NOT_FOUND;
    }
    freeaddrinfo(result);
  }
  WSACleanup();
  return e;
}

struct WinsockSocket::Impl {
  enum class State { Idle, Resolving, Connecting, Connected };

  WinsockSocket* owner = nullptr;
  HostResolver resolver;
  HWND window = nullptr;
  bool started = false;
  SOCKET socket = INVALID_SOCKET;
  State state = State::Idle;
  std::uint64_t generation = 0;
  std::shared_ptr<ResolveJob> job;
  std::string received;
  std::string sendBuffer;
  std::size_t sendOffset = 0;
  bool readingPaused = false;
  // Expires when the object is destroyed, so a handler that deletes the socket
  // from inside an event is noticed before the object is touched again.
  std::shared_ptr<int> alive = std::make_shared<int>(0);

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    try {
      if (self->OnMessage(msg, wp, lp)) return 0;
    } catch (...) {
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  static void RegisterClassOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = &Impl::WindowProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = kClassName;
      RegisterClassExW(&wc);
    });
  }

  bool IsCurrent(const std::weak_ptr<int>& token, std::uint64_t gen) const {
    return !token.expired() && generation == gen;
  }

  void RaiseError(int number) {
    CloseSocket();
    state = State::Idle;
    if (owner->events_) owner->events_->OnError(number);
  }

  void PostFailure(int number) {
    PostMessageW(window, kFailMessage, static_cast<WPARAM>(generation), number);
  }

  void CloseSocket() {
    if (readingPaused) {
      KillTimer(window, kResumeReadTimer);
      readingPaused = false;
    }
    if (socket != INVALID_SOCKET) {
      closesocket(socket);
      socket = INVALID_SOCKET;
    }
  }

  void Reset() {
    ++generation;
    if (job) {
      std::lock_guard lock(job->mutex);
      job->cancelled = true;
    }
    job.reset();
    CloseSocket();
    state = State::Idle;
    received.clear();
    sendBuffer.clear();
    sendOffset = 0;
  }

  void StartResolve(const std::string& host) {
    state = State::Resolving;
    auto shared = std::make_shared<ResolveJob>();
    shared->window = window;
    shared->generation = generation;
    job = shared;
    // Detached: the thread owns its share of the job and ends by itself once
    // the resolver returns; a cancelled job is simply not reported.
    std::thread([shared, resolver = resolver, host] {
      std::uint32_t address = 0;
      int error = WSAHOST_NOT_FOUND;
      try {
        error = resolver(host, address);
      } catch (...) {
      }
      std::lock_guard lock(shared->mutex);
      shared->error = error;
      shared->address = address;
      shared->done = true;
      if (!shared->cancelled) PostMessageW(shared->window, kResolvedMessage, shared->generation, 0);
    }).detach();
  }

  bool SelectEvents(long events) {
    return WSAAsyncSelect(socket, window, SocketMessageFor(generation), events) != SOCKET_ERROR;
  }

  // Input, paint or a timer tick waits behind the posted read notices.
  static bool LowerPriorityWaiting() {
    return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER | QS_HOTKEY)) != 0;
  }

  // Stops FD_READ until the resume timer ticks (see kMaxReadPerMessage).
  void PauseReading() {
    if (!SelectEvents(FD_CONNECT | FD_WRITE | FD_CLOSE)) return;
    readingPaused = true;
    SetTimer(window, kResumeReadTimer, USER_TIMER_MINIMUM, nullptr);
  }

  void ResumeReading() {
    KillTimer(window, kResumeReadTimer);
    if (!readingPaused) return;
    readingPaused = false;
    if (socket == INVALID_SOCKET || state != State::Connected) return;
    if (!SelectEvents(FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE)) return RaiseError(WSAGetLastError());
    // Data that waited meanwhile is read at once; an extra FD_READ with
    // nothing to read is harmless.
    PostMessageW(window, SocketMessageFor(generation), static_cast<WPARAM>(socket),
                 WSAMAKESELECTREPLY(FD_READ, 0));
  }

  void StartConnect(std::uint32_t address) {
    socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) return RaiseError(WSAGetLastError());
    if (!SelectEvents(FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE)) {
      return RaiseError(WSAGetLastError());
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(owner->port_));
    to.sin_addr.s_addr = address;
    state = State::Connecting;
    if (connect(socket, reinterpret_cast<sockaddr*>(&to), sizeof(to)) == SOCKET_ERROR) {
      int e = WSAGetLastError();
      if (e != WSAEWOULDBLOCK) return RaiseError(e);
    }
  }

  void OnResolved(std::uint64_t gen) {
    if (!job || gen != generation || state != State::Resolving) return;
    int error;
    std::uint32_t address;
    {
      std::lock_guard lock(job->mutex);
      if (!job->done) return;
      error = job->error;
      address = job->address;
    }
    job.reset();
    if (error != 0) return RaiseError(error);
    StartConnect(address);
  }

  void Flush() {
    while (state == State::Connected && sendOffset < sendBuffer.size()) {
      std::size_t left = sendBuffer.size() - sendOffset;
      int chunk = static_cast<int>(left < (1u << 30) ? left : (1u << 30));
      int sent = send(socket, sendBuffer.data() + sendOffset, chunk, 0);
      if (sent == SOCKET_ERROR) {
        int e = WSAGetLastError();
        if (e != WSAEWOULDBLOCK) PostFailure(e);  // raised from the loop, not inside SendData
        return;                                   // FD_WRITE continues
      }
      sendOffset += static_cast<std::size_t>(sent);
    }
    if (sendOffset >= sendBuffer.size()) {
      sendBuffer.clear();
      sendOffset = 0;
    }
  }

  // Reads what is available, up to limit bytes; returns the count read and
  // sets error for a failure other than "nothing more now" or end of stream.
  std::size_t ReadAvailable(std::size_t limit, int& error) {
    std::size_t total = 0;
    error = 0;
    while (total < limit) {
      std::size_t old = received.size();
      received.resize(old + kReadChunk);
      int got = recv(socket, received.data() + old, static_cast<int>(kReadChunk), 0);
      received.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
      if (got > 0) {
        total += static_cast<std::size_t>(got);
        continue;
      }
      if (got == SOCKET_ERROR) {
        int e = WSAGetLastError();
        if (e != WSAEWOULDBLOCK) error = e;
      }
      break;
    }
    return total;
  }

  void OnSocketEvent(WORD event, int error) {
    std::weak_ptr<int> token = alive;
    std::uint64_t gen = generation;
    switch (event) {
      case FD_CONNECT:
        if (state != State::Connecting) return;
        if (error != 0) return RaiseError(error);
        state = State::Connected;
        if (owner->events_) owner->events_->OnConnect();
        if (IsCurrent(token, gen)) Flush();
        return;
      case FD_WRITE:
        return Flush();
      case FD_READ: {
        // Notices queued before the pause would each read another full
        // share; the resume posts its own.
        if (state != State::Connected || readingPaused) return;
        int readError = 0;
        const std::size_t got = ReadAvailable(kMaxReadPerMessage, readError);
        if (got >= kMaxReadPerMessage && readError == 0 && LowerPriorityWaiting()) PauseReading();
        if (got > 0 && owner->events_) {
          owner->events_->OnDataArrival(received.size());
          if (!IsCurrent(token, gen)) return;
        }
        if (readError != 0) RaiseError(readError);
        return;
      }
      case FD_CLOSE: {
        if (state != State::Connected) return;
        // What the peer sent before closing is handed over first.
        int readError = 0;
        std::size_t got = ReadAvailable(static_cast<std::size_t>(-1), readError);
        if (got > 0 && owner->events_) {
          owner->events_->OnDataArrival(received.size());
          if (!IsCurrent(token, gen)) return;
        }
        if (error == 0) error = readError;
        if (error != 0) return RaiseError(error);
        CloseSocket();
        state = State::Idle;
        if (owner->events_) owner->events_->OnClose();
        return;
      }
      default:
        return;
    }
  }

  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kResolvedMessage) {
      OnResolved(static_cast<std::uint64_t>(wp));
      return true;
    }
    if (msg == WM_TIMER && wp == kResumeReadTimer) {
      ResumeReading();
      return true;
    }
    if (msg == kFailMessage) {
      if (static_cast<std::uint64_t>(wp) == generation && state != State::Idle)
        RaiseError(static_cast<int>(lp));
      return true;
    }
    if (msg >= kSocketMessageBase && msg < kSocketMessageBase + kSocketMessageSlots) {
      if (msg == SocketMessageFor(generation) && socket != INVALID_SOCKET &&
          static_cast<SOCKET>(wp) == socket) {
        OnSocketEvent(WSAGETSELECTEVENT(lp), WSAGETSELECTERROR(lp));
      }
      return true;
    }
    return false;
  }
};

WinsockSocket::WinsockSocket(HostResolver resolver) : impl_(std::make_unique<Impl>()) {
  impl_->owner = this;
  impl_->resolver = std::move(resolver);
  WSADATA data{};
  impl_->started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  Impl::RegisterClassOnce();
  impl_->window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), impl_.get());
}

WinsockSocket::~WinsockSocket() {
  impl_->Reset();
  impl_->alive.reset();
  if (impl_->window) DestroyWindow(impl_->window);
  if (impl_->started) WSACleanup();
}

void WinsockSocket::Connect() {
  impl_->Reset();
  if (!impl_->window || !impl_->started) {
    impl_->state = Impl::State::Connecting;
    return impl_->PostFailure(WSANOTINITIALISED);
  }
  if (port_ < 1 || port_ > 65535) {
    impl_->state = Impl::State::Connecting;
    return impl_->PostFailure(kBadPortError);
  }
  if (host_.empty() || host_.find('\0') != std::string::npos) {
    impl_->state = Impl::State::Connecting;
    return impl_->PostFailure(WSAHOST_NOT_FOUND);
  }
  in_addr dotted{};
  if (inet_pton(AF_INET, host_.c_str(), &dotted) == 1) return impl_->StartConnect(dotted.s_addr);
  impl_->StartResolve(host_);
}

void WinsockSocket::SendData(std::string_view bytes) {
  if (impl_->state == Impl::State::Idle) {
    impl_->state = Impl::State::Connecting;  // so the posted failure is raised
    return impl_->PostFailure(WSAENOTCONN);
  }
  impl_->sendBuffer.append(bytes);
  impl_->Flush();  // before the connect completes, the bytes wait for it
}

std::string WinsockSocket::GetData() {
  std::string out;
  out.swap(impl_->received);
  return out;
}

void WinsockSocket::Close() { impl_->Reset(); }

}  // namespace tw::win
