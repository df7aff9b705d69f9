#include "download/update_check.h"

#include <gtest/gtest.h>

#include "deployment.h"
#include "fakes.h"

namespace tw {
namespace {

const std::string kNewsBase =
    std::string("http://") + deploy::kMainHost + "/~" + deploy::kSupportDiary + "/p";

TEST(ParseVersionPost, ReadsTheFirstFieldsUpToTheBrace) {
  const struct {
    std::string text;
    bool found;
    std::string version, url;
  } cases[] = {
      {"HTTP/1.0 200 OK\r\n\r\nVERSION INFO Current_Version={2.2} News={123}", true, "2.2",
       kNewsBase + "123.htm"},
      {"News={7}Current_Version={ 3.0 }VERSION INFO", true, " 3.0 ", kNewsBase + "7.htm"},
      {"VERSION INFO Current_Version={1} News={2} Current_Version={9} News={8}", true, "1",
       kNewsBase + "2.htm"},
      {"VERSION INFO News={5} Current_Version={2.3 runs to the end", true, "2.3 runs to the end",
       kNewsBase + "5.htm"},
      {"VERSION INFO Current_Version={2.2} News={", true, "2.2", kNewsBase + ".htm"},
      {"VERSION INFO Current_Version={} News={}", true, "", kNewsBase + ".htm"},
      {"Current_Version={2.2} News={123}", false, "", ""},
      {"VERSION INFO News={123}", false, "", ""},
      {"VERSION INFO Current_Version={2.2}", false, "", ""},
      {"version info Current_Version={2.2} News={1}", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    const auto post = ParseVersionPost(c.text);
    ASSERT_EQ(post.has_value(), c.found) << c.text;
    if (!post) continue;
    EXPECT_EQ(post->CurrentVersion, c.version) << c.text;
    EXPECT_EQ(post->NewsURL, c.url) << c.text;
  }
}

TEST(ParseVersionPost, LongTextsBeyondSixteenBits) {
  std::string text = "VERSION INFO" + std::string(70000, 'x') + "Current_Version={2.5}" +
                     std::string(40000, 'y') + "News={99}";
  const auto post = ParseVersionPost(text);
  ASSERT_TRUE(post);
  EXPECT_EQ(post->CurrentVersion, "2.5");
  EXPECT_EQ(post->NewsURL, kNewsBase + "99.htm");
}

TEST(CheckUpgrade, AsksOnlyWhenTheVersionDiffersAsExactText) {
  const struct {
    std::string field;
    bool asks;
  } cases[] = {{"2.1 beta", false}, {"2.2", true}, {"2.1 Beta", true},
               {"2.0", true},       {"", true},    {"2.1 beta ", true}};
  for (const auto& c : cases) {
    testing::FakeView view;
    CheckUpgrade("VERSION INFO Current_Version={" + c.field + "} News={1}", "2.1 beta", view);
    EXPECT_EQ(view.questions.size(), c.asks ? 1u : 0u) << c.field;
    EXPECT_TRUE(view.urls.empty());  // the answer was No
  }
  testing::FakeView silent;
  CheckUpgrade("Current_Version={2.2} News={1}", "2.1 beta", silent);
  EXPECT_TRUE(silent.questions.empty());
}

TEST(CheckUpgrade, QuestionTextAndYesOpensTheNewsPage) {
  testing::FakeView view;
  view.answer = true;
  CheckUpgrade("VERSION INFO Current_Version={2.2} News={123}", "2.1 beta", view);
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.questions[0], cp1251("Обнаружена новая версия программы:\r\n\r\n- ваша версия: 2.1 beta\r\n"
                                      "- доступна версия: 2.2\r\n\r\n"
                                      "Перейти на страницу с описанием новой версии?")
                                   .str());
  ASSERT_EQ(view.urls.size(), 1u);
  EXPECT_EQ(view.urls[0], kNewsBase + "123.htm");
}

}  // namespace
}  // namespace tw
