// The profile page parser: the received page becomes the owner's nickname and
// the reader list in "tmp.id", or a message for the user.
#pragma once

#include <filesystem>
#include <string>

namespace tw {

struct ParseInput {
  std::string ID;      // Settings.ID, cp1251
  bool Guest = false;  // Settings.Guest
  std::filesystem::path programFolder;
};

// Works on `responseText` in place (after success it holds the list text that
// was written to tmp.id) and sets `ownerNick`. Returns "" on success, else a
// complete cp1251 message for the "Сообщение" box.
std::string ParseProfilePage(std::string& responseText, std::string& ownerNick, const ParseInput& input);

}  // namespace tw
