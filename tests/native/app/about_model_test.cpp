#include "app/about_model.h"

#include <gtest/gtest.h>

#include "deployment.h"
#include "program/program.h"

namespace tw {
namespace {

TEST(AboutModel, VersionLineAndLinks) {
  EXPECT_EQ(AboutVersionLine(kProgramVersion), cp1251("Версия 2.1 beta").str());
  EXPECT_EQ(AuthorProfileUrl(), std::string("http://") + deploy::kMainHost + "/member/?" + deploy::kAuthorId);
  EXPECT_EQ(SupportDiaryUrl(),
            std::string("http://") + deploy::kMainHost + "/~" + deploy::kSupportDiary + "/");
  EXPECT_EQ(MakerSiteUrl(), deploy::kHomeUrl);
  EXPECT_EQ(MakerSiteText(), deploy::kMakerHost);
}

}  // namespace
}  // namespace tw
