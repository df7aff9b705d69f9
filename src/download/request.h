// The one HTTP/1.0 request of a connection: the version post or the profile
// page, straight to the PDA host or through the proxy.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace tw {

enum class RequestTarget { VersionPost, Profile };

// Path and query of the request on the service ("/member/?<ID>&...").
std::string RequestPath(RequestTarget target, std::string_view profileId);

// The whole request text, header block closed by an empty line. Empty when
// some value would add, split or break a line (a profile ID that is not plain
// digits, a control byte anywhere but the line ends): then nothing is sent.
std::optional<std::string> BuildRequest(RequestTarget target, const Settings& settings);

}  // namespace tw
