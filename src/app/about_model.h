// The fixed texts and link addresses of the about window.
#pragma once

#include <string>
#include <string_view>

#include "text/cp1251.h"

namespace tw {

inline constexpr auto kAboutCaption = cp1251("О программе");
inline constexpr auto kAboutAuthorLabel = cp1251("Автор программы:");
inline constexpr char kAboutAuthorName[] = "Orvane";
inline constexpr auto kAboutSiteLabel = cp1251("Официальный сайт:");
inline constexpr auto kAboutSupport = cp1251("Сообщество техподдержки");
inline constexpr int kAboutBlinkMs = 750;

std::string AboutVersionLine(std::string_view version);  // "Версия " + version
std::string AuthorProfileUrl();
std::string MakerSiteText();
std::string MakerSiteUrl();
std::string SupportDiaryUrl();

}  // namespace tw
