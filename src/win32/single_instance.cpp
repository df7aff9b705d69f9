#include "win32/single_instance.h"

namespace tw::win {

SingleInstance::SingleInstance(const wchar_t* name) noexcept {
  SetLastError(0);
  mutex_.Reset(CreateMutexW(nullptr, FALSE, name));
  another_ = GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace tw::win
