// The profile page parser: the received page becomes the owner's nickname and
// the reader list in "tmp.id", or a message for the user.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

struct ParseInput {
  std::string ID;      // Settings.ID, cp1251
  bool Guest = false;  // Settings.Guest
  std::filesystem::path programFolder;
};

// Works on `responseText` in place (after success it holds the list text that
// was written to tmp.id) and sets `ownerNick`. Returns "" on success, else a
// complete cp1251 message for the "Сообщение" box. When `announcedTotal` is
// given it receives the reader total the page announces (see below), or
// nullopt (also on every path that ends before the reader block).
std::string ParseProfilePage(std::string& responseText, std::string& ownerNick, const ParseInput& input,
                             std::optional<std::size_t>* announcedTotal = nullptr);

// The same without any file: after success `responseText` holds the list
// text (without the final CR LF). The background check compares it in
// memory.
std::string ParseProfileText(std::string& responseText, std::string& ownerNick, const ParseInput& input,
                             std::optional<std::size_t>* announcedTotal = nullptr);

// The number the service writes right after the reader block's marker
// (which ends in "Всего:"): blanks, then decimal digits, which single blanks
// may split into groups ("1 234"); a no-break space, as the character or as
// "&nbsp;", counts as a blank. nullopt when no digit follows the blanks or
// the number does not fit: then there is no guard. `afterMarker` is the text
// that follows the marker.
std::optional<std::size_t> ReadAnnouncedTotal(std::string_view afterMarker);

}  // namespace tw
