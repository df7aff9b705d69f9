// One check of the watched profile, the whole logic of the download window:
// the daily version post, the profile request, judging the response, the
// hand-off to the parser and the report, socket errors and cancel. The Win32
// window only forwards socket events, timer ticks and clicks to it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "download/loading_animation.h"
#include "download/socket.h"
#include "download/update_check.h"
#include "settings/settings.h"

namespace tw {

// The download window as the check sees it.
class LoadingView : public AnimationView, public UpgradeView {
 public:
  virtual void SetCaption(std::string_view text) = 0;
  virtual void SetStatus(std::string_view text) = 0;
  // The error form of the status: underlined, colour 0xC00000, hand cursor,
  // tool tip kErrorLinkTip; a click on it reaches OnStatusClick.
  virtual void SetStatusLink(std::string_view text) = 0;
  virtual void ShowMessage(std::string_view text) = 0;  // OK, information icon, "Сообщение"
  virtual void CloseWindow() = 0;
  virtual void ShowMain() = 0;
  virtual void ShowReport() = 0;
};

// The "LastUpdate" value of options.ini.
class LastUpdateStore {
 public:
  virtual ~LastUpdateStore() = default;
  virtual std::string ReadLastUpdate() = 0;
  virtual void WriteLastUpdate(std::string_view text) = 0;
};

// Today's date as a stable day-granular text ("08.12.2026").
class DateSource {
 public:
  virtual ~DateSource() = default;
  virtual std::string TodayText() = 0;
};

// The parse step: works on the received page in place; "" for success, else
// the message for the user.
using ParseStep = std::function<std::string(std::string& responseText)>;

// Winsock's own number for a connect with no usable remote address; a proxy
// port that is empty, not a number or outside 1..65535 is reported with it.
inline constexpr int kBadPortError = 10049;  // WSAEADDRNOTAVAIL
// A proxy host that is empty or holds control bytes cannot be resolved.
inline constexpr int kBadHostError = 11001;  // WSAHOST_NOT_FOUND

// True when the response counts as a success: " 200 OK" anywhere in it.
bool IsSuccessfulResponse(std::string_view responseText);
// "Загрузка данных - N Кб" for a response of `size` bytes.
std::string KilobyteStatus(std::size_t size);
// The port of the proxy, or 0 when the text is not a port number.
int ParseProxyPort(std::string_view text);

extern const std::string_view kErrorLinkTip;

// Judging lasts from the peer's close until the check goes on or ends; its
// boxes (the update question, the parser's message, the server error) are
// modal, and a close that reaches the window meanwhile must not end the
// check a second time.
enum class CheckState { Idle, Connecting, Waiting, Receiving, Judging, ErrorShown, Ended };

struct ProfileCheckDeps {
  const Settings& settings;
  Socket& socket;
  LoadingView& view;
  LastUpdateStore& lastUpdate;
  DateSource& clock;
  ParseStep parse;
  std::string programVersion;
};

class ProfileCheck : private SocketEvents {
 public:
  explicit ProfileCheck(ProfileCheckDeps deps);
  ~ProfileCheck() override;
  ProfileCheck(const ProfileCheck&) = delete;
  ProfileCheck& operator=(const ProfileCheck&) = delete;

  // The window has opened: start the animation and the first connection.
  void Start();
  // The cancel button and the window frame's close command. While judging,
  // the cancel waits for the box: the check then ends instead of going on.
  void CancelCheck();
  void OnTimer(LoadingTimer timer) { animation_.OnTimer(timer); }
  // A click on the status label; opens the error-code page in the link form.
  void OnStatusClick();

  CheckState State() const { return state_; }
  bool CheckingUpdate() const { return checkingUpdate_; }
  const std::string& ResponseText() const { return responseText_; }
  const LoadingAnimation& Animation() const { return animation_; }
  SocketEvents& Events() { return *this; }

 private:
  void OnConnect() override;
  void OnDataArrival(std::size_t bytesTotal) override;
  void OnClose() override;
  void OnError(int number) override;

  void StartConnection();
  void WsClose();
  void ShowError(int number);
  void Status(std::string_view text);
  void End(bool showReport);

  ProfileCheckDeps deps_;
  LoadingAnimation animation_;
  std::string responseText_;
  CheckState state_ = CheckState::Idle;
  bool checkingUpdate_ = false;
  bool cancelled_ = false;
  bool statusIsLink_ = false;
};

}  // namespace tw
