// Program-wide values of Tallywick.
#pragma once

#include <string>
#include <string_view>

#include "program/version.h"
#include "text/cp1251.h"

namespace tw {

// The program's own version; shown in captions and compared with the version
// the maker announces.
inline constexpr char kProgramVersion[] = TW_VERSION_TEXT;

// "Tallywick v 2.1 beta", and "  [id=<ID>]" after it when a profile is set.
std::string MainCaption(std::string_view version, std::string_view profileId);

}  // namespace tw
