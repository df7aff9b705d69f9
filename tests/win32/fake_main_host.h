// A main window's program that does nothing: for tests that only look at the
// window.
#pragma once

#include "app/main_window_model.h"

namespace tw::test {

class NoHost : public MainHost {
 public:
  bool AnotherInstanceRunning() override { return false; }
  void LoadSettings() override {}
  void ShowDownload() override {}
  void ShowOptions() override {}
  void EndProgram() override {}
};

}  // namespace tw::test
