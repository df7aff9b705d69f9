// The test for another running copy of the program: a named mutex of the
// user's session, held for the whole run by the first copy.
#pragma once

#include "win32/handle.h"

namespace tw::win {

inline constexpr wchar_t kSingleInstanceName[] = L"Local\\Tallywick.SingleInstance";

class SingleInstance {
 public:
  explicit SingleInstance(const wchar_t* name = kSingleInstanceName) noexcept;
  // True when another copy already held the name at construction.
  bool AnotherIsRunning() const noexcept { return another_; }

 private:
  KernelHandle mutex_;
  bool another_ = false;
};

}  // namespace tw::win
