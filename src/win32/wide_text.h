// cp1251 core text <-> the W functions' wchar_t text, through the program's
// own table (never the system code page).
#pragma once

#include <string>
#include <string_view>

namespace tw::win {

std::wstring Widen(std::string_view cp1251Bytes);
std::string Narrow(std::wstring_view text);

}  // namespace tw::win
