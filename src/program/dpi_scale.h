// Display scale arithmetic shared by the control models and the windows:
// every layout value of the program is written for 100 % (96 dots per inch)
// and turned into pixels for the DPI of the window that shows it.
#pragma once

namespace tw {

inline constexpr int kDefaultDpi = 96;
inline constexpr int kTwipsPerInch = 1440;

// value * dpi / 96, rounded to the nearest integer, halves away from zero
// (as MulDiv rounds), so a layout scales the same in the models and in GDI.
constexpr int ScaleToDpi(int value, int dpi) {
  if (dpi <= 0) dpi = kDefaultDpi;
  const long long product = static_cast<long long>(value) * dpi;
  const long long half = kDefaultDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDefaultDpi : -((-product + half) / kDefaultDpi));
}

// A length in twips as pixels at `dpi` (1440 twips to the inch).
constexpr int TwipsToPixels(int twips, int dpi) {
  if (dpi <= 0) dpi = kDefaultDpi;
  return static_cast<int>((static_cast<long long>(twips) * dpi + kTwipsPerInch / 2) / kTwipsPerInch);
}

}  // namespace tw
