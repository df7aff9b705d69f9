#include "download/update_check.h"

#include "deployment.h"
#include "text/bytes.h"
#include "text/cp1251.h"

namespace tw {
namespace {

constexpr std::string_view kVersionInfo = "VERSION INFO";
constexpr std::string_view kVersionMarker = "Current_Version={";
constexpr std::string_view kNewsMarker = "News={";

// From right after the first `marker` up to the next "}" or the end.
std::string FieldAfter(std::string_view text, std::size_t markerAt, std::size_t markerSize) {
  const std::size_t from = markerAt + markerSize;
  const std::size_t end = text.find('}', from);
  return std::string(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
}

}  // namespace

std::optional<VersionPost> ParseVersionPost(std::string_view text) {
  const std::size_t versionAt = Find(text, kVersionMarker);
  const std::size_t newsAt = Find(text, kNewsMarker);
  if (!Contains(text, kVersionInfo) || versionAt == kNotFound || newsAt == kNotFound) return std::nullopt;
  VersionPost post;
  post.CurrentVersion = FieldAfter(text, versionAt, kVersionMarker.size());
  post.NewsURL = std::string("http://") + deploy::kMainHost + "/~" + deploy::kSupportDiary + "/p" +
                 FieldAfter(text, newsAt, kNewsMarker.size()) + ".htm";
  return post;
}

std::string UpgradeQuestion(std::string_view programVersion, std::string_view currentVersion) {
  std::string text = cp1251("Обнаружена новая версия программы:").str();
  text += "\r\n\r\n";
  text += cp1251("- ваша версия: ");
  text += programVersion;
  text += "\r\n";
  text += cp1251("- доступна версия: ");
  text += currentVersion;
  text += "\r\n\r\n";
  text += cp1251("Перейти на страницу с описанием новой версии?");
  return text;
}

void CheckUpgrade(std::string_view text, std::string_view programVersion, UpgradeView& view) {
  const auto post = ParseVersionPost(text);
  if (!post || post->CurrentVersion == programVersion) return;
  if (view.Ask(UpgradeQuestion(programVersion, post->CurrentVersion))) view.OpenUrl(post->NewsURL);
}

}  // namespace tw
