// The download window at the display scale Wine runs at: its statuses, the
// longest proxy status among them, and the error link fit their label (or
// end in an ellipsis).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "download/loading_window.h"
#include "fake_socket.h"
#include "text_fit.h"
#include "wait.h"

namespace tw {
namespace {

using namespace test;

TEST(TextFitLoadingTest, DownloadWindowWithTheLongestProxyStatusAndTheErrorLink) {
  const auto folder_ = std::filesystem::temp_directory_path() / L"tw-text-fit-loading";
  std::filesystem::create_directories(folder_);
  Settings settings;
  std::ofstream(folder_ / "options.ini") << "[Main]\r\nLastUpdate=09.12.2026\r\n";
  settings.ID = "1234567890";
  settings.UseProxy = true;
  settings.ProxyHost = "proxy.corp.example.com";
  settings.ProxyPort = "3128";
  auto socket = std::make_unique<FakeSocket>();
  FakeSocket* ws = socket.get();
  LoadingWindow loading({settings, folder_, std::move(socket), [](std::string&) { return std::string(); },
                         LoadingHost{}, std::make_unique<Today>()});
  ASSERT_TRUE(loading.Open());
  test::PumpMessages();
  ASSERT_NE(loading.InfoText().find(L"proxy.corp.example.com:3128"), std::wstring::npos);
  ExpectWindowFits(loading.Handle(), kLoadingClientWidth, kLoadingClientHeight);
  // TW_TEXTFIT_HOLD=ms keeps the window up that long, for a screenshot.
  if (const char* hold = std::getenv("TW_TEXTFIT_HOLD")) test::WaitFor([] { return false; }, std::atoi(hold));
  // Waiting, then receiving.
  ws->events->OnConnect();
  ExpectWindowFits(loading.Handle(), kLoadingClientWidth, kLoadingClientHeight);
  ws->events->OnDataArrival(0);
  ASSERT_NE(loading.InfoText().find(L" - 0 "), std::wstring::npos);
  ExpectWindowFits(loading.Handle(), kLoadingClientWidth, kLoadingClientHeight);
  ws->events->OnError(10061);
  test::PumpMessages();
  ASSERT_TRUE(loading.InfoIsLink());
  ExpectWindowFits(loading.Handle(), kLoadingClientWidth, kLoadingClientHeight);
  ExpectDpiChangesClean(loading.Handle(), kLoadingClientWidth, kLoadingClientHeight);
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

}  // namespace
}  // namespace tw
