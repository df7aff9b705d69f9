#include "win32/gdiplus_session.h"

// clang-format off
#include "win32/windows_headers.h"
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

namespace tw::win {

namespace {

class Session {
 public:
  Session() noexcept {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  bool Ok() const noexcept { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

}  // namespace

bool StartGdiplus() noexcept {
  static Session session;  // one per process, ended at exit
  return session.Ok();
}

}  // namespace tw::win
