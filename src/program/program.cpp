#include "program/program.h"

namespace tw {

std::string MainCaption(std::string_view version, std::string_view profileId) {
  std::string caption = "Tallywick v ";
  caption.append(version);
  if (!profileId.empty()) {
    caption.append("  [id=");
    caption.append(profileId);
    caption.append("]");
  }
  return caption;
}

}  // namespace tw
