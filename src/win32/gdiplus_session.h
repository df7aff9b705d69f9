// GDI+ for the drawings that need smooth lines. It is started once, on first
// use, and shut down when the program ends.
#pragma once

namespace tw::win {

// True when GDI+ is ready; false when it could not start (draw without it).
bool StartGdiplus() noexcept;

}  // namespace tw::win
