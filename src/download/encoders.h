// The two encoders of the request: the login for the user_login cookie and
// the proxy credentials for the Basic line. Both work on cp1251 bytes and
// give plain ASCII.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tw {

// Percent-encodes every byte ("%" and two upper-case hex digits), the blank
// as "+". A login that starts with "%" is taken as already encoded and passes
// unchanged, unless it holds a control byte: then it is encoded like any
// other, so no CR or LF can reach the request through it.
std::string ConvertNick(std::string_view login);

// Standard Base64 (RFC 4648, section 4), no line breaks.
std::string Base64Encode(std::string_view bytes);

// Three bytes to their four alphabet characters.
std::array<char, 4> EncodeTriplet(unsigned char b0, unsigned char b1, unsigned char b2);

}  // namespace tw
