#include "app/about_model.h"

#include "deployment.h"
#include "text/cp1251.h"

namespace tw {

std::string AboutVersionLine(std::string_view version) {
  std::string line = cp1251("Версия ");
  line.append(version);
  return line;
}

std::string AuthorProfileUrl() {
  return std::string("http://") + deploy::kMainHost + "/member/?" + deploy::kAuthorId;
}

std::string MakerSiteText() { return deploy::kMakerHost; }

std::string MakerSiteUrl() { return deploy::kHomeUrl; }

std::string SupportDiaryUrl() {
  return std::string("http://") + deploy::kMainHost + "/~" + deploy::kSupportDiary + "/";
}

}  // namespace tw
