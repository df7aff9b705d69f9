// A window timer of one owner window: SetTimer / KillTimer by id, with the
// enabled state kept beside it.
#pragma once

#include "win32/windows_headers.h"

namespace tw::win {

class WindowTimer {
 public:
  WindowTimer(UINT_PTR id, UINT intervalMs) noexcept : id_(id), interval_(intervalMs) {}
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;
  ~WindowTimer() { Stop(); }

  void Attach(HWND owner) noexcept { owner_ = owner; }
  void Start() noexcept {
    if (owner_ != nullptr && SetTimer(owner_, id_, interval_, nullptr) != 0) enabled_ = true;
  }
  void Stop() noexcept {
    if (enabled_ && owner_ != nullptr && IsWindow(owner_)) KillTimer(owner_, id_);
    enabled_ = false;
  }
  void SetEnabled(bool enabled) noexcept { enabled ? Start() : Stop(); }
  bool Enabled() const noexcept { return enabled_; }
  UINT_PTR Id() const noexcept { return id_; }

 private:
  HWND owner_ = nullptr;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = false;
};

}  // namespace tw::win
