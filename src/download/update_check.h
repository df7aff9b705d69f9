// The daily version check: the maker's version post names the current
// version and its news page; a different version raises the question.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw {

struct VersionPost {
  std::string CurrentVersion;
  std::string NewsURL;
};

// What CheckUpgrade needs of the window: the Yes/No question ("Внимание!")
// and the browser.
class UpgradeView {
 public:
  virtual ~UpgradeView() = default;
  virtual bool Ask(std::string_view text) = 0;
  virtual void OpenUrl(std::string_view url) = 0;
};

// The first "Current_Version={...}" and "News={...}" of a text that also
// holds "VERSION INFO"; a field without its "}" runs to the end of the text.
std::optional<VersionPost> ParseVersionPost(std::string_view text);

// The question shown for an announced version (lines joined by CR LF).
std::string UpgradeQuestion(std::string_view programVersion, std::string_view currentVersion);

// Asks when the announced version differs from `programVersion` as exact
// text, opens the news page on Yes; a text without the markers says nothing.
void CheckUpgrade(std::string_view text, std::string_view programVersion, UpgradeView& view);

}  // namespace tw
