// Fakes of the download window, the socket, the LastUpdate store and the
// clock; every call lands in one event log so tests can check the order.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "download/profile_check.h"
#include "text/cp1251.h"

namespace tw::testing {

struct FakeSocket : Socket {
  SocketEvents* events = nullptr;
  std::string host;
  std::int32_t port = 0;
  std::vector<std::string> sent;
  std::string pending;
  int connects = 0;
  int closes = 0;
  std::vector<std::string>* log = nullptr;

  void SetEvents(SocketEvents* e) override { events = e; }
  const std::string& RemoteHost() const override { return host; }
  void SetRemoteHost(std::string h) override { host = std::move(h); }
  std::int32_t RemotePort() const override { return port; }
  void SetRemotePort(std::int32_t p) override { port = p; }
  void Connect() override {
    ++connects;
    if (log) log->push_back("connect " + host + ":" + std::to_string(port));
  }
  void SendData(std::string_view bytes) override { sent.emplace_back(bytes); }
  std::string GetData() override { return std::exchange(pending, std::string()); }
  void Close() override { ++closes; }

  // The peer's side.
  void Arrive(std::string_view bytes) {
    pending.append(bytes);
    events->OnDataArrival(pending.size());
  }
};

struct FakeView : LoadingView {
  std::vector<std::string> log;
  std::string caption, status;
  bool statusIsLink = false;
  bool answer = false;  // what Ask returns
  std::vector<std::string> messages, questions, urls;
  bool dots[3] = {false, false, false};
  bool image = false;
  bool timers[3] = {false, false, false};
  // Runs while a box is up, as a message reaching the window in the box's loop.
  std::function<void()> duringBox;

  void SetCaption(std::string_view t) override {
    caption = t;
    log.push_back("caption " + caption);
  }
  void SetStatus(std::string_view t) override {
    status = t;
    statusIsLink = false;
    log.push_back("status " + status);
  }
  void SetStatusLink(std::string_view t) override {
    status = t;
    statusIsLink = true;
    log.push_back("link " + status);
  }
  void ShowMessage(std::string_view t) override {
    messages.emplace_back(t);
    log.push_back("message " + std::string(t));
    if (duringBox) duringBox();
  }
  bool Ask(std::string_view t) override {
    questions.emplace_back(t);
    log.push_back("ask");
    if (duringBox) duringBox();
    return answer;
  }
  void OpenUrl(std::string_view u) override {
    urls.emplace_back(u);
    log.push_back("open " + std::string(u));
  }
  void CloseWindow() override { log.push_back("close window"); }
  void ShowMain() override { log.push_back("show main"); }
  void ShowReport() override { log.push_back("show report"); }
  void StartTimer(LoadingTimer t, unsigned) override { timers[static_cast<int>(t) - 1] = true; }
  void StopTimer(LoadingTimer t) override { timers[static_cast<int>(t) - 1] = false; }
  void SetDotVisible(int i, bool v) override { dots[i] = v; }
  void SetImageVisible(bool v) override { image = v; }

  bool AnyTimer() const { return timers[0] || timers[1] || timers[2]; }
  int Count(const std::string& entry) const {
    int n = 0;
    for (const auto& e : log) n += e == entry;
    return n;
  }
  bool Has(const std::string& entry) const {
    for (const auto& e : log) {
      if (e == entry) return true;
    }
    return false;
  }
};

struct FakeStore : LastUpdateStore {
  std::string value;
  std::vector<std::string> writes;
  std::string ReadLastUpdate() override { return value; }
  void WriteLastUpdate(std::string_view t) override {
    value = t;
    writes.emplace_back(t);
  }
};

struct FakeClock : DateSource {
  std::string today = "08.12.2026";
  std::string TodayText() override { return today; }
};

}  // namespace tw::testing
