// Any received text: the version post reader never reads out of bounds, a
// field never holds its closing brace, the news address stays on the main
// host, and the question comes only for a version other than ours.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../native/download/fakes.h"
#include "deployment.h"
#include "download/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto post = tw::ParseVersionPost(text);
  const std::string prefix =
      std::string("http://") + tw::deploy::kMainHost + "/~" + tw::deploy::kSupportDiary + "/p";
  if (post) {
    if (post->CurrentVersion.find('}') != std::string::npos) std::abort();
    if (post->NewsURL.rfind(prefix, 0) != 0 || post->NewsURL.size() < prefix.size() + 4) std::abort();
    if (post->NewsURL.compare(post->NewsURL.size() - 4, 4, ".htm") != 0) std::abort();
  }
  tw::testing::FakeView view;
  view.answer = true;
  tw::CheckUpgrade(text, "2.1 beta", view);
  const bool shouldAsk = post && post->CurrentVersion != "2.1 beta";
  if (view.questions.size() != (shouldAsk ? 1u : 0u)) std::abort();
  if (view.urls.size() != view.questions.size()) std::abort();
  return 0;
}
