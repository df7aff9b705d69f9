// What a screen reader hears in the download window, before and after an
// error turns its status into a link.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "download/loading_window.h"
#include "fake_socket.h"
#include "walk.h"

namespace tw {
namespace {

using namespace test;

TEST_F(AccessibilityTest, DownloadWithItsErrorLink) {
  Settings settings;
  settings.ID = "1234567890";
  std::ofstream(folder_ / "options.ini") << "[Main]\r\nLastUpdate=09.12.2026\r\n";
  auto socket = std::make_unique<FakeSocket>();
  FakeSocket* ws = socket.get();
  LoadingWindow loading({settings, folder_, std::move(socket), [](std::string&) { return std::string(); },
                         LoadingHost{}, std::make_unique<Today>()});
  ASSERT_TRUE(loading.Open());
  test::PumpMessages();
  Walk(loading.Handle(), {{kLoadingXpB1Id, kButton, W("Отмена")}}, "download");
  ws->events->OnError(10061);
  test::PumpMessages();
  Walk(loading.Handle(), {{kLoadingXpB1Id, kButton, W("Отмена")}, {kLoadingInfoId, kLink, L""}},
       "download, failed");
}

}  // namespace
}  // namespace tw
