// The values of the running program that outlive its windows.
#pragma once

#include <filesystem>

#include "settings/settings.h"

namespace tw {

// Program-wide values the windows read and write; they outlive a window.
struct MainProgramValues {
  std::filesystem::path programFolder;
  Settings settings;
  bool IntroDone = false;
};

}  // namespace tw
