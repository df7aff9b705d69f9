// Measuring the texts of a window the way its children draw them, and its
// client size against its 100 % size at the display scale Wine runs at.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "text/cp1251.h"
#include "win32/gdi.h"
#include "win32/wide_text.h"
#include "win32/windows_headers.h"

namespace tw::test {

inline int ScreenDpi() {
  win::WindowDc screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}
inline int Scaled(int value100, int dpi = ScreenDpi()) { return MulDiv(value100, dpi, 96); }

inline std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}
inline std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}
inline std::string Name(HWND hwnd) {
  return win::Narrow(ClassOf(hwnd)) + " #" + std::to_string(GetDlgCtrlID(hwnd)) + " \"" +
         Cp1251ToUtf8(win::Narrow(TextOf(hwnd))) + "\"";
}
inline RECT ClientOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

// The DrawText flags a STATIC control paints its text with.
inline UINT StaticFormat(LONG style) {
  UINT format = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      format |= DT_CENTER | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      format |= DT_RIGHT | DT_WORDBREAK;
      break;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE:
      format |= DT_LEFT | DT_SINGLELINE;
      break;
    default:
      format |= DT_LEFT | DT_WORDBREAK;
      break;
  }
  if ((style & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
  if ((style & SS_ELLIPSISMASK) != 0) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE;
  return format;
}

// The size `text` takes in `font` with `format`, at most `width` wide where
// the format wraps.
inline SIZE Measure(HFONT font, const std::wstring& text, UINT format, int width, int tabStop = 0) {
  win::WindowDc dc(nullptr);
  win::SelectObjectRestorer selected(dc.Get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  if (tabStop > 0) {
    const DWORD extent =
        GetTabbedTextExtentW(dc.Get(), text.c_str(), static_cast<int>(text.size()), 1, &tabStop);
    return {LOWORD(extent), HIWORD(extent)};
  }
  RECT r{0, 0, width, 0};
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
  return {r.right - r.left, r.bottom - r.top};
}
inline int LineHeight(HFONT font) {
  win::WindowDc dc(nullptr);
  win::SelectObjectRestorer selected(dc.Get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  return metrics.tmHeight;
}
inline HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

inline void ExpectStaticFits(HWND label) {
  const std::wstring text = TextOf(label);
  const LONG style = GetWindowLongW(label, GWL_STYLE);
  if (text.empty() || (style & SS_TYPEMASK) > SS_LEFTNOWORDWRAP) return;  // pictures, frames
  const RECT client = ClientOf(label);
  const UINT format = StaticFormat(style);
  const SIZE size = Measure(FontOf(label), text, format, client.right);
  EXPECT_LE(size.cy, client.bottom) << Name(label) << " needs " << size.cx << " x " << size.cy << " in "
                                    << client.right << " x " << client.bottom;
  // A label that ends its text with an ellipsis shows what does not fit.
  if ((style & SS_ELLIPSISMASK) == 0) {
    EXPECT_LE(size.cx, client.right) << Name(label) << " needs " << size.cx << " x " << size.cy << " in "
                                     << client.right << " x " << client.bottom;
  }
}

// A field's letters must be no taller than the field.
inline void ExpectFieldFits(HWND field) {
  const HWND inner = ClassOf(field) == L"ComboBox" ? GetWindow(field, GW_CHILD) : field;
  if (inner == nullptr) return;
  EXPECT_LE(LineHeight(FontOf(field)), ClientOf(inner).bottom) << Name(field);
}

// Every line of a list, as far as the list can scroll sideways.
inline void ExpectListFits(HWND list, int tabStop) {
  const int room =
      std::max<int>(ClientOf(list).right, static_cast<int>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)));
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  const HFONT font = FontOf(list);
  EXPECT_LE(LineHeight(font), static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0))) << Name(list);
  for (int i = 0; i < count; ++i) {
    const int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    const SIZE size = Measure(font, item, DT_SINGLELINE | DT_NOPREFIX, 0, tabStop);
    if (size.cx > room) {
      ADD_FAILURE() << Name(list) << " line " << i << " needs " << size.cx << " px, the list shows " << room;
      return;
    }
  }
}

inline void ExpectHeaderFits(HWND header) {
  const HFONT font = FontOf(header);
  EXPECT_LE(LineHeight(font), ClientOf(header).bottom) << Name(header);
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t title[128] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = title;
    item.cchTextMax = 128;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    // The header keeps three edge widths free on either side of a title.
    const int room = r.right - r.left - 6 * GetSystemMetrics(SM_CXEDGE);
    const SIZE size = Measure(font, title, DT_SINGLELINE, 0);
    EXPECT_LE(size.cx, room) << Name(header) << " column " << i;
  }
}

// The client area is the 100 % size times the scale, and every visible
// text child fits.
inline void ExpectWindowFits(HWND window, int width100, int height100, int listTabStop = 0,
                             int dpi = ScreenDpi()) {
  ASSERT_NE(window, nullptr);
  const RECT client = ClientOf(window);
  EXPECT_NEAR(client.right, Scaled(width100, dpi), 1) << Name(window) << " client width at " << dpi << " DPI";
  EXPECT_NEAR(client.bottom, Scaled(height100, dpi), 1)
      << Name(window) << " client height at " << dpi << " DPI";
  std::printf("%s: client %ld x %ld at %d DPI\n", win::Narrow(ClassOf(window)).c_str(), client.right,
              client.bottom, dpi);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring kind = ClassOf(child);
    if (kind == L"Static") {
      ExpectStaticFits(child);
    } else if (kind == L"Edit" || kind == L"ComboBox") {
      ExpectFieldFits(child);
    } else if (kind == L"ListBox") {
      const bool tabs = (GetWindowLongW(child, GWL_STYLE) & LBS_USETABSTOPS) != 0;
      ExpectListFits(child, tabs ? listTabStop : 0);
    } else if (kind == WC_HEADERW) {
      ExpectHeaderFits(child);
    }
  }
}

}  // namespace tw::test
