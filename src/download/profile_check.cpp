#include "download/profile_check.h"

#include <algorithm>
#include <charconv>

#include "deployment.h"
#include "download/request.h"
#include "text/bytes.h"
#include "text/cp1251.h"

namespace tw {
namespace {

constexpr auto kTipText = cp1251("Расшифровка кодов ошибок подключения");

bool HasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

const std::string_view kErrorLinkTip = kTipText.view();

bool IsSuccessfulResponse(std::string_view responseText) { return Contains(responseText, " 200 OK"); }

std::string KilobyteStatus(std::size_t size) {
  return cp1251("Загрузка данных - ") + std::to_string(size / 1024) + cp1251(" Кб");
}

int ParseProxyPort(std::string_view text) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  int port = 0;
  std::from_chars(text.data(), text.data() + text.size(), port);
  return port <= 65535 ? port : 0;
}

ProfileCheck::ProfileCheck(ProfileCheckDeps deps) : deps_(std::move(deps)), animation_(deps_.view) {
  deps_.socket.SetEvents(this);
}

ProfileCheck::~ProfileCheck() {
  deps_.socket.Close();
  deps_.socket.SetEvents(nullptr);
}

void ProfileCheck::Start() {
  if (state_ != CheckState::Idle) return;
  animation_.Start();
  const std::string lastUpdate = deps_.lastUpdate.ReadLastUpdate();
  if (!IsValidProfileId(deps_.settings.ID)) {
    // The ID names the request path and the snapshot file: send nothing.
    deps_.view.ShowMessage(cp1251("ID профиля должен состоять только из цифр. Проверьте настройки.").str());
    End(false);
    return;
  }
  checkingUpdate_ = deps_.clock.TodayText() != lastUpdate;
  StartConnection();
}

void ProfileCheck::StartConnection() {
  cancelled_ = false;
  state_ = CheckState::Connecting;
  const Settings& s = deps_.settings;
  deps_.view.SetCaption(checkingUpdate_ ? cp1251("Проверка обновления").str()
                                        : cp1251("Получение информации о профиле ID=") + s.ID);
  Socket& ws = deps_.socket;
  if (s.UseProxy) {
    if (s.ProxyHost.empty() || HasControlByte(s.ProxyHost)) {
      ShowError(kBadHostError);
      return;
    }
    const int port = ParseProxyPort(s.ProxyPort);
    if (port == 0) {
      ShowError(kBadPortError);
      return;
    }
    if (ws.RemoteHost() != s.ProxyHost) ws.SetRemoteHost(s.ProxyHost);
    if (ws.RemotePort() != port) ws.SetRemotePort(port);
    Status(cp1251("Подключение к ") + deploy::kMainHost + " (" + s.ProxyHost + ":" + s.ProxyPort + ")...");
  } else {
    if (ws.RemoteHost() != deploy::kPdaHost) ws.SetRemoteHost(deploy::kPdaHost);
    if (ws.RemotePort() != deploy::kPdaPort) ws.SetRemotePort(deploy::kPdaPort);
    Status(cp1251("Подключение к ") + deploy::kMainHost + "...");
  }
  ws.Connect();
}

void ProfileCheck::Status(std::string_view text) {
  statusIsLink_ = false;
  deps_.view.SetStatus(text);
}

void ProfileCheck::OnConnect() {
  if (state_ != CheckState::Connecting) return;
  const auto request =
      BuildRequest(checkingUpdate_ ? RequestTarget::VersionPost : RequestTarget::Profile, deps_.settings);
  if (!request) {
    deps_.socket.Close();
    deps_.view.ShowMessage(cp1251("Настройки содержат недопустимые символы. Проверьте настройки.").str());
    End(false);
    return;
  }
  Status(cp1251("Запрос отправлен, ожидание ответа...").str());
  responseText_.clear();
  state_ = CheckState::Waiting;
  deps_.socket.SendData(*request);
}

void ProfileCheck::OnDataArrival(std::size_t) {
  if (state_ != CheckState::Waiting && state_ != CheckState::Receiving) return;
  state_ = CheckState::Receiving;
  responseText_.append(deps_.socket.GetData());
  Status(KilobyteStatus(responseText_.size()));
}

void ProfileCheck::OnClose() {
  if (state_ != CheckState::Waiting && state_ != CheckState::Receiving) return;
  WsClose();
}

void ProfileCheck::WsClose() {
  deps_.socket.Close();
  Status(cp1251("Соединение закрыто").str());
  if (cancelled_) {
    End(false);
    return;
  }
  state_ = CheckState::Judging;
  if (!IsSuccessfulResponse(responseText_)) {
    animation_.Stop();
    deps_.view.ShowMessage(deps_.settings.UseProxy ? cp1251("Прокси-сервер вернул ошибочный ответ").str()
                                                   : cp1251("Ошибка на стороне сервера").str());
    End(false);
    return;
  }
  if (checkingUpdate_) {
    CheckUpgrade(std::string(responseText_), deps_.programVersion, deps_.view);
    checkingUpdate_ = false;
    deps_.lastUpdate.WriteLastUpdate(deps_.clock.TodayText());
    if (cancelled_) {
      End(false);  // closed while the question was up
    } else {
      StartConnection();
    }
    return;
  }
  const std::string message = deps_.parse ? deps_.parse(responseText_) : std::string();
  if (!message.empty()) {
    deps_.view.ShowMessage(message);
    End(false);
    return;
  }
  End(true);
}

void ProfileCheck::OnError(int number) {
  if (state_ != CheckState::Connecting && state_ != CheckState::Waiting && state_ != CheckState::Receiving)
    return;
  ShowError(number);
}

void ProfileCheck::ShowError(int number) {
  animation_.Stop();
  deps_.socket.Close();
  state_ = CheckState::ErrorShown;
  deps_.view.SetCaption(cp1251("Ошибка подключения").str());
  deps_.view.SetStatusLink(cp1251("Ошибка подключения #") + std::to_string(number));
  statusIsLink_ = true;
}

void ProfileCheck::CancelCheck() {
  if (state_ == CheckState::Idle || state_ == CheckState::Ended) return;
  cancelled_ = true;
  if (state_ == CheckState::Judging) return;  // judging ends the check itself
  WsClose();
}

void ProfileCheck::OnStatusClick() {
  if (statusIsLink_) deps_.view.OpenUrl(deploy::kErrorCodesUrl);
}

void ProfileCheck::End(bool showReport) {
  animation_.Stop();
  state_ = CheckState::Ended;
  deps_.view.CloseWindow();
  if (showReport) {
    deps_.view.ShowReport();
  } else {
    deps_.view.ShowMain();
  }
}

}  // namespace tw
