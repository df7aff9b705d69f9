// Any sequence of socket events, data, timer ticks and clicks against one
// check: the response is judged by " 200 OK" alone, the window ends at most
// once, nothing happens after the end, LastUpdate is written only after a
// version post that arrived with " 200 OK", and no request holds a line
// break except its own line ends.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../native/download/fakes.h"
#include "download/profile_check.h"

namespace {

int Count(const tw::testing::FakeView& view, const std::string& entry) {
  int n = 0;
  for (const auto& e : view.log) n += e == entry;
  return n;
}

void CheckRequest(const std::string& request) {
  // Every CR is followed by LF and every LF preceded by CR; the head ends
  // with the one empty line.
  if (request.size() < 4 || request.compare(request.size() - 4, 4, "\r\n\r\n") != 0) std::abort();
  if (request.find("\r\n\r\n") != request.size() - 4) std::abort();
  for (std::size_t i = 0; i < request.size(); ++i) {
    const auto byte = static_cast<unsigned char>(request[i]);
    if (byte == '\r' && (i + 1 >= request.size() || request[i + 1] != '\n')) std::abort();
    if (byte == '\n' && (i == 0 || request[i - 1] != '\r')) std::abort();
    if (byte < 0x20 && byte != '\r' && byte != '\n') std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  tw::Settings settings;
  const uint8_t flags = data[0];
  settings.Guest = flags & 1;
  settings.UseProxy = flags & 2;
  settings.ProxyAuth = flags & 4;
  settings.ID = (flags & 8) ? "12a" : "42";
  settings.ProxyHost = (flags & 16) ? "proxy\r\n" : "127.0.0.1";
  settings.ProxyPort = (flags & 32) ? "70000" : "8080";
  // The rest of the first bytes become the free-text settings.
  std::size_t at = 2;
  auto take = [&](std::size_t n) {
    std::string s;
    while (n-- > 0 && at < size) s.push_back(static_cast<char>(data[at++]));
    return s;
  };
  const std::size_t textLength = data[1] % 16;
  settings.Login = take(textLength);
  settings.Password = take(textLength);
  settings.ProxyLogin = take(textLength);
  settings.ProxyPass = take(textLength);

  tw::testing::FakeSocket socket;
  tw::testing::FakeView view;
  tw::testing::FakeStore store;
  tw::testing::FakeClock clock;
  store.value = (flags & 64) ? "07.12.2026" : clock.today;
  tw::ProfileCheck check(
      {settings, socket, view, store, clock,
       [](std::string& text) { return text.size() % 3 == 0 ? std::string("msg") : std::string(); },
       "2.1 beta"});
  check.Start();
  std::size_t endedLog = 0;
  while (at < size) {
    if (check.State() == tw::CheckState::Ended && endedLog == 0) endedLog = view.log.size();
    const uint8_t op = data[at++];
    const std::size_t writesBefore = store.writes.size();
    const std::string responseBefore = check.ResponseText();
    const bool updateBefore = check.CheckingUpdate();
    switch (op % 7) {
      case 0:
        check.Events().OnConnect();
        break;
      case 1:
        socket.Arrive(take(op / 7));
        break;
      case 2:
        check.Events().OnClose();
        break;
      case 3:
        check.Events().OnError(10000 + op);
        break;
      case 4:
        check.CancelCheck();
        break;
      case 5:
        check.OnTimer(static_cast<tw::LoadingTimer>(1 + op % 3));
        break;
      case 6:
        check.OnStatusClick();
        break;
    }
    if (store.writes.size() != writesBefore) {
      if (!updateBefore || !tw::IsSuccessfulResponse(responseBefore)) std::abort();
    }
  }
  if (endedLog != 0 && check.State() == tw::CheckState::Ended) {
    // Nothing reaches the window once it has ended.
    if (view.log.size() != endedLog) std::abort();
  }
  if (Count(view, "show main") + Count(view, "show report") > 1) std::abort();
  if (Count(view, "show report") == 1 && view.Has("show main")) std::abort();
  if (socket.sent.size() > 2) std::abort();
  for (const auto& request : socket.sent) CheckRequest(request);
  if (settings.ID == "12a" && !socket.sent.empty()) std::abort();
  return 0;
}
