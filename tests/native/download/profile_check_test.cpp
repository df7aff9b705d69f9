#include "download/profile_check.h"

#include <gtest/gtest.h>

#include <memory>

#include "deployment.h"
#include "fakes.h"

namespace tw {
namespace {

using testing::FakeClock;
using testing::FakeSocket;
using testing::FakeStore;
using testing::FakeView;

const std::string kOk = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
const std::string kPost = kOk + "VERSION INFO Current_Version={2.1 beta} News={1}";
const std::string kMainHost = deploy::kMainHost;

struct Harness {
  Settings settings;
  FakeSocket socket;
  FakeView view;
  FakeStore store;
  FakeClock clock;
  std::string parseResult;  // what the parse step returns
  int parses = 0;
  std::string parsedText;
  std::unique_ptr<ProfileCheck> check;

  explicit Harness(bool dueToday = false) {
    settings.ID = "42";
    settings.Guest = true;
    store.value = dueToday ? "07.12.2026" : clock.today;
    socket.log = &view.log;
  }
  ProfileCheck& Start() {
    check = std::make_unique<ProfileCheck>(ProfileCheckDeps{settings, socket, view, store, clock,
                                                            [this](std::string& text) {
                                                              ++parses;
                                                              parsedText = text;
                                                              return parseResult;
                                                            },
                                                            "2.1 beta"});
    check->Start();
    return *check;
  }
  SocketEvents& Ev() { return check->Events(); }
  // One full exchange: connect, answer, peer closes.
  void Exchange(const std::string& response) {
    Ev().OnConnect();
    if (!response.empty()) socket.Arrive(response);
    Ev().OnClose();
  }
};

TEST(ProfileCheck, ProfileOnlyWhenTheDayIsDone) {
  Harness h;
  auto& check = h.Start();
  EXPECT_FALSE(check.CheckingUpdate());
  EXPECT_EQ(h.view.caption, cp1251("Получение информации о профиле ID=42").str());
  EXPECT_EQ(h.view.status, cp1251("Подключение к ") + kMainHost + "...");
  EXPECT_EQ(h.socket.host, deploy::kPdaHost);
  EXPECT_EQ(h.socket.port, deploy::kPdaPort);
  EXPECT_EQ(check.State(), CheckState::Connecting);
  EXPECT_TRUE(h.view.timers[0]);  // the animation runs

  h.Ev().OnConnect();
  EXPECT_EQ(h.view.status, cp1251("Запрос отправлен, ожидание ответа...").str());
  ASSERT_EQ(h.socket.sent.size(), 1u);
  EXPECT_EQ(h.socket.sent[0].rfind("GET /member/?42&fullreaderslist&fullfavoriteslist HTTP/1.0\r\n", 0), 0u);
  EXPECT_EQ(check.State(), CheckState::Waiting);
  h.socket.Arrive(kOk + "page");
  EXPECT_EQ(check.State(), CheckState::Receiving);
  h.Ev().OnClose();

  EXPECT_EQ(h.parses, 1);
  EXPECT_EQ(h.parsedText, kOk + "page");
  EXPECT_EQ(check.State(), CheckState::Ended);
  EXPECT_TRUE(h.view.Has("close window"));
  EXPECT_TRUE(h.view.Has("show report"));
  EXPECT_FALSE(h.view.Has("show main"));
  EXPECT_FALSE(h.view.Has(cp1251("caption Проверка обновления").str()));
  EXPECT_TRUE(h.store.writes.empty());
  EXPECT_FALSE(h.view.AnyTimer());
}

TEST(ProfileCheck, VersionPostFirstThenProfileOnTheSameSocket) {
  Harness h(true);
  auto& check = h.Start();
  EXPECT_TRUE(check.CheckingUpdate());
  EXPECT_EQ(h.view.caption, cp1251("Проверка обновления").str());
  h.Ev().OnConnect();
  EXPECT_NE(h.socket.sent[0].find("postid="), std::string::npos);
  EXPECT_TRUE(h.store.writes.empty());  // nothing written before the post arrived
  h.socket.Arrive(kPost);
  h.Ev().OnClose();

  EXPECT_EQ(h.store.writes, std::vector<std::string>{"08.12.2026"});
  EXPECT_FALSE(check.CheckingUpdate());
  EXPECT_EQ(h.socket.connects, 2);
  EXPECT_EQ(h.view.caption, cp1251("Получение информации о профиле ID=42").str());
  EXPECT_TRUE(h.view.questions.empty());  // same version
  EXPECT_TRUE(h.view.timers[0] || h.view.timers[1] || h.view.timers[2]);

  h.Exchange(kOk + "profile");
  ASSERT_EQ(h.socket.sent.size(), 2u);
  EXPECT_NE(h.socket.sent[1].find("/member/?42&"), std::string::npos);
  EXPECT_EQ(h.parsedText, kOk + "profile");  // emptied before the second request
  EXPECT_TRUE(h.view.Has("show report"));
}

TEST(ProfileCheck, AnnouncedVersionAsksBeforeTheProfile) {
  Harness h(true);
  h.view.answer = true;
  h.Start();
  h.Exchange(kOk + "VERSION INFO Current_Version={2.2} News={123}");
  ASSERT_EQ(h.view.questions.size(), 1u);
  ASSERT_EQ(h.view.urls.size(), 1u);
  EXPECT_EQ(h.view.urls[0], "http://" + kMainHost + "/~" + deploy::kSupportDiary + "/p123.htm");
  EXPECT_EQ(h.socket.connects, 2);
}

TEST(ProfileCheck, FailedResponsesEndWithTheServerMessage) {
  const struct {
    bool dueToday;
    bool proxy;
    std::string response;
    std::string message;
  } cases[] = {
      {false, false, "HTTP/1.0 404 Not Found\r\n\r\n", cp1251("Ошибка на стороне сервера")},
      {false, true, "HTTP/1.0 500 Internal Server Error\r\n\r\n",
       cp1251("Прокси-сервер вернул ошибочный ответ")},
      {false, false, "", cp1251("Ошибка на стороне сервера")},
      {false, false, "200 OK at the very start", cp1251("Ошибка на стороне сервера")},
      {true, false, "HTTP/1.0 404 Not Found\r\n\r\n", cp1251("Ошибка на стороне сервера")},
  };
  for (const auto& c : cases) {
    Harness h(c.dueToday);
    h.settings.UseProxy = c.proxy;
    h.settings.ProxyHost = "127.0.0.1";
    h.settings.ProxyPort = "8080";
    const std::string before = h.store.value;
    h.Start();
    h.Exchange(c.response);
    EXPECT_EQ(h.view.messages, std::vector<std::string>{c.message}) << c.response;
    EXPECT_EQ(h.socket.connects, 1) << "a failed version post requests no profile";
    EXPECT_EQ(h.socket.sent.size(), 1u);
    EXPECT_EQ(h.parses, 0);
    EXPECT_TRUE(h.store.writes.empty()) << "LastUpdate stays as it was";
    EXPECT_EQ(h.store.value, before);
    EXPECT_TRUE(h.view.Has("show main"));
    EXPECT_EQ(h.check->State(), CheckState::Ended);
  }
}

TEST(ProfileCheck, TwoHundredOkAnywhereCounts) {
  for (const std::string response :
       {"HTTP/1.1 200 OK\r\n\r\n", "HTTP/1.0 404 Not Found\r\n\r\nsays 200 OK"}) {
    Harness h;
    h.Start();
    h.Exchange(response);
    EXPECT_EQ(h.parses, 1) << response;
  }
}

TEST(ProfileCheck, ParserMessageIsShownThenBackToMain) {
  Harness h(true);
  h.parseResult = cp1251("Профиль не найден");
  h.Start();
  h.Exchange(kPost);
  h.Exchange(kOk + "page");
  EXPECT_EQ(h.view.messages, std::vector<std::string>{h.parseResult});
  EXPECT_EQ(h.store.writes.size(), 1u);  // the version post had succeeded
  EXPECT_TRUE(h.view.Has("show main"));
  EXPECT_FALSE(h.view.Has("show report"));
  EXPECT_EQ(h.check->State(), CheckState::Ended);
  EXPECT_FALSE(h.view.AnyTimer());
}

// A close that reaches the window while one of judging's boxes is up ends
// the check once, after the box; LastUpdate is written only for a version
// post that arrived, and no profile is requested after the close.
TEST(ProfileCheck, CancelDuringABoxEndsTheCheckOnce) {
  const struct {
    const char* what;
    std::string post;     // the version post, "" when none is due
    std::string profile;  // the profile response, "" when not reached
    std::string parseResult;
    std::size_t lastUpdateWrites;
  } cases[] = {
      {"update question", kOk + "VERSION INFO Current_Version={2.2} News={1}", "", "", 1},
      {"server error", "", "HTTP/1.0 500 Internal Server Error\r\n\r\n", "", 0},
      {"parser message", "", kOk + "page", cp1251("Профиль не найден"), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Harness h(!c.post.empty());
    h.parseResult = c.parseResult;
    h.Start();
    h.view.duringBox = [&h] { h.check->CancelCheck(); };
    h.Exchange(c.post.empty() ? c.profile : c.post);
    EXPECT_EQ(h.view.Count("close window"), 1);
    EXPECT_EQ(h.view.Count("show main"), 1);
    EXPECT_EQ(h.socket.connects, 1) << "no connection after the close";
    EXPECT_EQ(h.store.writes.size(), c.lastUpdateWrites);
    EXPECT_EQ(h.check->State(), CheckState::Ended);
    EXPECT_FALSE(h.view.AnyTimer());
  }
}

TEST(ProfileCheck, KilobyteStatusBoundaries) {
  Harness h;
  h.Start();
  h.Ev().OnConnect();
  h.socket.Arrive(std::string(1023, 'a'));
  EXPECT_EQ(h.view.status, cp1251("Загрузка данных - 0 Кб").str());
  h.socket.Arrive("b");
  EXPECT_EQ(h.view.status, cp1251("Загрузка данных - 1 Кб").str());
  h.socket.Arrive(std::string(2047, 'c'));
  EXPECT_EQ(h.view.status, cp1251("Загрузка данных - 2 Кб").str());
  EXPECT_EQ(h.check->ResponseText().size(), 3071u);
}

TEST(ProfileCheck, FiftyMegabytesInSmallPiecesStayLinear) {
  Harness h;
  h.Start();
  h.Ev().OnConnect();
  h.socket.Arrive(kOk);
  const std::string piece(8192, 'x');
  for (int i = 0; i < 50 * 128; ++i) h.socket.Arrive(piece);
  EXPECT_EQ(h.view.status, cp1251("Загрузка данных - ") +
                               std::to_string((kOk.size() + 50u * 1024 * 1024) / 1024) + cp1251(" Кб"));
  h.Ev().OnClose();
  EXPECT_EQ(h.parsedText.size(), kOk.size() + 50u * 1024 * 1024);
}

TEST(ProfileCheck, ProxyConnectionNamesTheProxyInTheStatus) {
  Harness h;
  h.settings.UseProxy = true;
  h.settings.ProxyHost = "proxy.local";
  h.settings.ProxyPort = "03128";
  h.Start();
  EXPECT_EQ(h.socket.host, "proxy.local");
  EXPECT_EQ(h.socket.port, 3128);
  EXPECT_EQ(h.view.status, cp1251("Подключение к ") + kMainHost + " (proxy.local:03128)...");
}

TEST(ProfileCheck, SocketErrorShowsTheLinkAndWaitsForCancel) {
  Harness h;
  auto& check = h.Start();
  check.OnStatusClick();  // before any error: nothing
  EXPECT_TRUE(h.view.urls.empty());
  h.Ev().OnError(10061);
  EXPECT_EQ(check.State(), CheckState::ErrorShown);
  EXPECT_EQ(h.view.caption, cp1251("Ошибка подключения").str());
  EXPECT_EQ(h.view.status, cp1251("Ошибка подключения #10061").str());
  EXPECT_TRUE(h.view.statusIsLink);
  EXPECT_FALSE(h.view.AnyTimer());
  EXPECT_FALSE(h.view.Has("close window"));
  check.OnStatusClick();
  EXPECT_EQ(h.view.urls, std::vector<std::string>{deploy::kErrorCodesUrl});
  h.Ev().OnClose();  // stale events of the closed connection change nothing
  h.Ev().OnConnect();
  EXPECT_TRUE(h.socket.sent.empty());
  check.CancelCheck();
  EXPECT_EQ(h.view.status, cp1251("Соединение закрыто").str());
  EXPECT_TRUE(h.view.Has("show main"));
  check.OnStatusClick();  // the status is plain again
  EXPECT_EQ(h.view.urls.size(), 1u);
  EXPECT_TRUE(h.store.writes.empty());
}

TEST(ProfileCheck, CancelInEveryState) {
  enum Step { Connecting, Waiting, Receiving, Error, UpdateConnecting };
  for (const Step step : {Connecting, Waiting, Receiving, Error, UpdateConnecting}) {
    Harness h(step == UpdateConnecting);
    auto& check = h.Start();
    if (step >= Waiting && step != UpdateConnecting) h.Ev().OnConnect();
    if (step == Receiving) h.socket.Arrive(kOk + "partial");
    if (step == Error) h.Ev().OnError(10054);
    const int closesBefore = h.socket.closes;
    check.CancelCheck();
    EXPECT_EQ(check.State(), CheckState::Ended) << step;
    EXPECT_GT(h.socket.closes, closesBefore) << step;
    EXPECT_EQ(h.view.status, cp1251("Соединение закрыто").str()) << step;
    EXPECT_TRUE(h.view.Has("close window")) << step;
    EXPECT_TRUE(h.view.Has("show main")) << step;
    EXPECT_TRUE(h.view.messages.empty()) << step;
    EXPECT_EQ(h.parses, 0) << step;
    EXPECT_FALSE(h.view.AnyTimer()) << step;
    EXPECT_TRUE(h.store.writes.empty()) << step;
    // Late events and a second cancel do nothing more.
    const std::size_t logSize = h.view.log.size();
    h.Ev().OnClose();
    h.Ev().OnError(1);
    check.CancelCheck();
    EXPECT_EQ(h.view.log.size(), logSize) << step;
  }
}

TEST(ProfileCheck, BadProxyPortIsReportedAsASocketError) {
  for (const std::string port : {"", "abc", "0", "65536", "99999999999", "-1", "80a", " 80"}) {
    Harness h;
    h.settings.UseProxy = true;
    h.settings.ProxyHost = "127.0.0.1";
    h.settings.ProxyPort = port;
    h.Start();
    EXPECT_EQ(h.socket.connects, 0) << port;
    EXPECT_EQ(h.view.status, cp1251("Ошибка подключения #10049").str()) << port;
    EXPECT_TRUE(h.view.statusIsLink);
    EXPECT_EQ(h.check->State(), CheckState::ErrorShown);
    h.check->CancelCheck();
    EXPECT_TRUE(h.view.Has("show main"));
  }
  for (const std::string port : {"1", "65535"}) {
    Harness h;
    h.settings.UseProxy = true;
    h.settings.ProxyHost = "127.0.0.1";
    h.settings.ProxyPort = port;
    h.Start();
    EXPECT_EQ(h.socket.connects, 1) << port;
    EXPECT_EQ(h.socket.port, std::stoi(port));
  }
}

TEST(ProfileCheck, ProxyHostWithControlBytesNeverReachesTheSocket) {
  for (const std::string& host : {std::string(""), std::string("proxy\r\nX"), std::string("a\0b", 3)}) {
    Harness h;
    h.settings.UseProxy = true;
    h.settings.ProxyHost = host;
    h.settings.ProxyPort = "8080";
    h.Start();
    EXPECT_EQ(h.socket.connects, 0);
    EXPECT_TRUE(h.socket.host.empty());
    EXPECT_EQ(h.view.status, cp1251("Ошибка подключения #11001").str());
  }
}

TEST(ProfileCheck, InvalidProfileIdSendsNothing) {
  for (const std::string id : {"", "12a", "1\r\n2", "../1"}) {
    Harness h(true);
    h.settings.ID = id;
    h.Start();
    EXPECT_EQ(h.socket.connects, 0) << id;
    EXPECT_TRUE(h.socket.sent.empty());
    ASSERT_EQ(h.view.messages.size(), 1u);
    EXPECT_EQ(h.view.messages[0],
              cp1251("ID профиля должен состоять только из цифр. Проверьте настройки.").str());
    EXPECT_TRUE(h.view.Has("show main"));
    EXPECT_EQ(h.check->State(), CheckState::Ended);
    EXPECT_TRUE(h.store.writes.empty());
  }
}

TEST(ProfileCheck, EventOrderOfAGuestCheck) {
  Harness h;
  h.Start();
  h.Exchange(kOk);
  const std::vector<std::string> expected = {
      cp1251("caption Получение информации о профиле ID=42"),
      cp1251("status Подключение к ") + kMainHost + "...",
      "connect " + std::string(deploy::kPdaHost) + ":" + std::to_string(deploy::kPdaPort),
      cp1251("status Запрос отправлен, ожидание ответа..."),
      cp1251("status Загрузка данных - 0 Кб"),
      cp1251("status Соединение закрыто"),
      "close window",
      "show report",
  };
  EXPECT_EQ(h.view.log, expected);
}

}  // namespace
}  // namespace tw
