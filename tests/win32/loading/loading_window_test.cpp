// The download window under Wine with a scripted socket: the captions, the
// running dots and the blinking image, the error link with its colour,
// cursor, tip and page, the cancel button with its pictures and the close
// box, and the hand-over to the report after a good answer.
#include "download/loading_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "deployment.h"
#include "text/cp1251.h"
#include "wait.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

// What the check asked of the socket, and a way to answer as the server.
struct SocketLog {
  std::string host;
  int port = 0;
  int connects = 0;
  int closes = 0;
  std::string sent;
  std::string pending;
  SocketEvents* events = nullptr;
};

class ScriptedSocket : public Socket {
 public:
  explicit ScriptedSocket(SocketLog& log) : log_(log) {}
  void SetEvents(SocketEvents* events) override { log_.events = events; }
  const std::string& RemoteHost() const override { return log_.host; }
  void SetRemoteHost(std::string host) override { log_.host = std::move(host); }
  std::int32_t RemotePort() const override { return log_.port; }
  void SetRemotePort(std::int32_t port) override { log_.port = port; }
  void Connect() override { ++log_.connects; }
  void SendData(std::string_view bytes) override { log_.sent.append(bytes); }
  std::string GetData() override { return std::exchange(log_.pending, {}); }
  void Close() override { ++log_.closes; }

 private:
  SocketLog& log_;
};

class FixedDate : public DateSource {
 public:
  std::string TodayText() override { return "08.12.2026"; }
};

std::wstring W(std::string_view utf8) { return win::Widen(Utf8ToCp1251(utf8)); }

std::wstring WindowText(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

class LoadingWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / L"tallywick загрузка";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    // The version post was read today: the check asks for the profile only.
    std::ofstream(folder_ / "options.ini") << "[Main]\r\nLastUpdate=08.12.2026\r\n";
    settings_.ID = "1001";
    settings_.Guest = true;
    win::SetOpenUrlHook([this](const std::string& url) { urls_.push_back(url); });
  }
  void TearDown() override {
    window_.reset();
    win::SetOpenUrlHook({});
    std::filesystem::remove_all(folder_);
  }

  LoadingWindow& Open() {
    LoadingWindow::Parts parts{settings_,
                               folder_,
                               std::make_unique<ScriptedSocket>(log_),
                               [this](std::string& text) {
                                 parsed_ = text;
                                 return std::string();
                               },
                               LoadingHost{[this] { ++mainShown_; }, [this] { ++reportShown_; }},
                               std::make_unique<FixedDate>()};
    window_ = std::make_unique<LoadingWindow>(std::move(parts));
    EXPECT_TRUE(window_->Open());
    return *window_;
  }
  void Answer(std::string_view bytes) {
    log_.pending.append(bytes);
    log_.events->OnDataArrival(log_.pending.size());
  }

  std::filesystem::path folder_;
  Settings settings_;
  SocketLog log_;
  std::unique_ptr<LoadingWindow> window_;
  std::vector<std::string> urls_;
  std::string parsed_;
  int mainShown_ = 0;
  int reportShown_ = 0;
};

TEST_F(LoadingWindowTest, OpensConnectingWithItsCaptionDotsAndImage) {
  LoadingWindow& w = Open();
  ASSERT_TRUE(IsWindowVisible(w.Handle()));
  EXPECT_EQ(WindowText(w.Handle()), W("Получение информации о профиле ID=1001"));
  EXPECT_EQ(log_.host, deploy::kPdaHost);
  EXPECT_EQ(log_.connects, 1);
  EXPECT_EQ(w.InfoText(), W("Подключение к ") + win::Widen(deploy::kMainHost) + L"...");
  EXPECT_FALSE(w.InfoIsLink());
  EXPECT_EQ(w.XpB1().Picture().bitmap, w.Picture1());
  // The busy animation runs on the window's own timers.
  EXPECT_TRUE(test::WaitFor([&] { return w.DotVisible(0) || w.DotVisible(1) || w.DotVisible(2); }, 3000));
  bool imageSeen = w.ImageVisible(), imageHidden = !w.ImageVisible();
  test::WaitFor(
      [&] {
        (w.ImageVisible() ? imageSeen : imageHidden) = true;
        return imageSeen && imageHidden;
      },
      4000);
  EXPECT_TRUE(imageSeen && imageHidden) << "the image blinks";

  // A click on the plain status opens nothing.
  SendMessageW(w.Handle(), WM_COMMAND, MAKEWPARAM(kLoadingInfoId, STN_CLICKED),
               reinterpret_cast<LPARAM>(w.Info()));
  EXPECT_TRUE(urls_.empty());
}

TEST_F(LoadingWindowTest, AnErrorTurnsTheStatusIntoALinkToTheErrorCodes) {
  LoadingWindow& w = Open();
  log_.events->OnError(10061);
  EXPECT_EQ(WindowText(w.Handle()), W("Ошибка подключения"));
  EXPECT_EQ(w.InfoText(), W("Ошибка подключения #10061"));
  EXPECT_EQ(WindowText(w.Info()), W("Ошибка подключения #10061"));
  ASSERT_TRUE(w.InfoIsLink());

  LOGFONTW font{};
  ASSERT_NE(GetObjectW(w.InfoFont(), sizeof(font), &font), 0);
  EXPECT_TRUE(font.lfUnderline);

  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(w.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(w.Info()));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 192));
  DeleteDC(dc);

  EXPECT_TRUE(SendMessageW(w.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(w.Info()), HTCLIENT));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

  ASSERT_NE(w.Tooltip(), nullptr);
  wchar_t tip[128] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = w.Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(w.Info());
  tool.lpszText = tip;
  SendMessageW(w.Tooltip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(tip), win::Widen(kErrorLinkTip));

  SendMessageW(w.Handle(), WM_COMMAND, MAKEWPARAM(kLoadingInfoId, STN_CLICKED),
               reinterpret_cast<LPARAM>(w.Info()));
  ASSERT_EQ(urls_.size(), 1u);
  EXPECT_EQ(urls_[0], deploy::kErrorCodesUrl);
  EXPECT_EQ(mainShown_, 0);  // the error waits for the user
}

TEST_F(LoadingWindowTest, CancelButtonAndCloseBoxEndTheCheckOnTheMainWindow) {
  {
    LoadingWindow& w = Open();
    const HWND button = w.XpB1().Handle();
    test::MovePointerTo(button, 24, 24);
    EXPECT_TRUE(test::WaitFor([&] { return w.XpB1().Picture().bitmap == w.Picture2(); }, 2000))
        << "hover picture";
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(24, 24));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(24, 24));
    EXPECT_TRUE(test::WaitFor([&] { return !IsWindow(w.Handle()) || !IsWindowVisible(w.Handle()); }));
    EXPECT_EQ(mainShown_, 1);
    EXPECT_GE(log_.closes, 1);
    EXPECT_EQ(reportShown_, 0);
  }
  window_.reset();
  mainShown_ = 0;
  {
    LoadingWindow& w = Open();
    SendMessageW(w.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitFor([&] { return !IsWindow(w.Handle()); }));
    EXPECT_EQ(mainShown_, 1);
  }
}

// Inside a box's loop, a thread timer first posts WM_CLOSE to the disabled
// download window, then answers the box.
HWND boxOwner = nullptr;
const wchar_t* boxTitle = nullptr;
int boxTicks = 0;
HICON boxIcon = nullptr;

void CALLBACK CloseThenAnswer(HWND, UINT, UINT_PTR, DWORD) {
  const HWND box = FindWindowW(L"#32770", boxTitle);
  if (box == nullptr) return;
  if (++boxTicks == 1) {
    boxIcon = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM) -> BOOL {
          if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            boxIcon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
          return TRUE;
        },
        0);
    PostMessageW(boxOwner, WM_CLOSE, 0, 0);
  } else if (boxTicks == 3) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PostMessageW(box, WM_COMMAND, IDNO, 0);
  }
}

TEST_F(LoadingWindowTest, CloseWhileABoxIsUpEndsTheCheckOnce) {
  const struct {
    const char* what;
    const char* lastUpdate;
    std::string answer;
    const wchar_t* title;
  } cases[] = {
      {"update question", "07.12.2026", "HTTP/1.0 200 OK\r\n\r\nVERSION INFO Current_Version={2.2} News={1}",
       L"Внимание!"},
      {"server error", "08.12.2026", "HTTP/1.0 500 Internal Server Error\r\n\r\n", L"Сообщение"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(folder_ / "options.ini") << "[Main]\r\nLastUpdate=" << c.lastUpdate << "\r\n";
    window_.reset();
    log_ = SocketLog{};
    mainShown_ = 0;
    LoadingWindow& w = Open();
    boxOwner = w.Handle();
    boxTitle = c.title;
    boxTicks = 0;
    log_.events->OnConnect();
    Answer(c.answer);
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &CloseThenAnswer);
    log_.events->OnClose();  // returns when the box is answered
    KillTimer(nullptr, timer);
    test::PumpMessages();
    EXPECT_GE(boxTicks, 3) << "the box was up";
    EXPECT_EQ(boxIcon, LoadIconW(nullptr, IDI_INFORMATION)) << "information icon, also for the question";
    EXPECT_FALSE(IsWindow(boxOwner));
    EXPECT_EQ(mainShown_, 1);
    EXPECT_EQ(log_.connects, 1) << "no profile connection after the close";
  }
}

TEST_F(LoadingWindowTest, AGoodAnswerIsParsedAndHandedToTheReport) {
  LoadingWindow& w = Open();
  log_.events->OnConnect();
  EXPECT_NE(log_.sent.find("GET /member/?1001&fullreaderslist&fullfavoriteslist HTTP/1.0\r\n"),
            std::string::npos);
  EXPECT_EQ(w.InfoText(), W("Запрос отправлен, ожидание ответа..."));
  Answer("HTTP/1.0 200 OK\r\n\r\n");
  Answer(std::string(3000, 'x'));
  EXPECT_EQ(w.InfoText(), W("Загрузка данных - 2 Кб"));
  log_.events->OnClose();
  EXPECT_TRUE(test::WaitFor([&] { return reportShown_ == 1; }));
  EXPECT_EQ(parsed_.size(), 19u + 3000u);
  EXPECT_EQ(mainShown_, 0);
}

}  // namespace
}  // namespace tw
