// Measuring the texts of a window the way its children draw them, and its
// client size against its 100 % size at the display scale Wine runs at.
#pragma once

#include <gtest/gtest.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../wait.h"
#include "controls/list_header.h"
#include "controls/xp_button.h"
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
inline SIZE Measure(HFONT font, const std::wstring& text, UINT format, int width,
                    std::vector<int> tabStops = {}) {
  win::WindowDc dc(nullptr);
  win::SelectObjectRestorer selected(dc.Get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  if (!tabStops.empty()) {
    const DWORD extent = GetTabbedTextExtentW(dc.Get(), text.c_str(), static_cast<int>(text.size()),
                                              static_cast<int>(tabStops.size()), tabStops.data());
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

// What a window's test knows beyond its children: where a label is meant
// to end in "..." (and the part of its text that must still show before
// it), and the tab stops a list was given, in dialog units.
struct FitRules {
  struct Ellipsis {
    HWND label;
    std::wstring key;
  };
  std::vector<Ellipsis> ellipses;
  std::function<std::vector<int>(HWND list)> tabStops;
};

// What a one-line label with an end ellipsis shows of `text` in `width`.
inline std::wstring ShownWithEllipsis(HFONT font, const std::wstring& text, int width) {
  win::WindowDc dc(nullptr);
  win::SelectObjectRestorer selected(dc.Get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  std::wstring shown = text + std::wstring(4, L'\0');
  RECT r{0, 0, width, 100};
  DrawTextW(dc.Get(), shown.data(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
  return shown.c_str();
}

inline void ExpectStaticFits(HWND label, const FitRules& rules) {
  const std::wstring text = TextOf(label);
  const LONG style = GetWindowLongW(label, GWL_STYLE);
  if (text.empty() || (style & SS_TYPEMASK) > SS_LEFTNOWORDWRAP) return;  // pictures, frames
  const RECT client = ClientOf(label);
  const UINT format = StaticFormat(style);
  const SIZE size = Measure(FontOf(label), text, format, client.right);
  EXPECT_LE(size.cy, client.bottom) << Name(label) << " needs " << size.cx << " x " << size.cy << " in "
                                    << client.right << " x " << client.bottom;
  if (size.cx <= client.right) return;
  // Cut: only where the window means it, and never inside the key part.
  const auto meant = std::find_if(rules.ellipses.begin(), rules.ellipses.end(),
                                  [label](const FitRules::Ellipsis& e) { return e.label == label; });
  if (meant == rules.ellipses.end() || (style & SS_ELLIPSISMASK) == 0) {
    ADD_FAILURE() << Name(label) << " needs " << size.cx << " x " << size.cy << " in " << client.right
                  << " x " << client.bottom;
    return;
  }
  const std::wstring shown = ShownWithEllipsis(FontOf(label), text, client.right);
  EXPECT_NE(shown.find(meant->key), std::wstring::npos)
      << Name(label) << " shows only \"" << Cp1251ToUtf8(win::Narrow(shown)) << "\"";
}

// A field's letters must be no taller than the field.
inline void ExpectFieldFits(HWND field) {
  const HWND inner = ClassOf(field) == L"ComboBox" ? GetWindow(field, GW_CHILD) : field;
  if (inner == nullptr) return;
  EXPECT_LE(LineHeight(FontOf(field)), ClientOf(inner).bottom) << Name(field);
}

// The tab stops of `list` in pixels, as the list turns its dialog units
// into them (a quarter of its font's average character width each).
inline std::vector<int> TabStopPixels(HWND list, const std::vector<int>& units) {
  std::vector<int> pixels;
  for (int unit : units) pixels.push_back(MulDiv(unit, ListAverageCharWidth(list), 4));
  return pixels;
}

// Every line of a list, as far as the list can scroll sideways.
inline void ExpectListFits(HWND list, std::vector<int> tabStops) {
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
    const SIZE size = Measure(font, item, DT_SINGLELINE | DT_NOPREFIX, 0, tabStops);
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

// The caption in the caption font, beside the window's icon and its buttons
// (close; minimize and maximize with a minimize box), at the system's DPI.
inline void ExpectCaptionFits(HWND window) {
  const auto style = GetWindowLongW(window, GWL_STYLE);
  const auto exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
  win::Font font(CreateFontIndirectW(&metrics.lfCaptionFont));
  const int buttons = (style & WS_SYSMENU) == 0 ? 0 : (style & WS_MINIMIZEBOX) != 0 ? 3 : 1;
  const bool icon = (style & WS_SYSMENU) != 0 && (exStyle & WS_EX_DLGMODALFRAME) == 0;
  const int room = ClientOf(window).right - buttons * metrics.iCaptionWidth -
                   (icon ? GetSystemMetrics(SM_CXSMICON) + 2 : 0) - 4;
  const SIZE size = Measure(font.Get(), TextOf(window), DT_SINGLELINE | DT_NOPREFIX, 0);
  EXPECT_LE(size.cx, room) << Name(window) << ": the caption needs " << size.cx << " px of " << room;
}

// The client area is the 100 % size times the scale, and every visible
// text child fits.
inline void ExpectWindowFits(HWND window, int width100, int height100, const FitRules& rules = {},
                             int dpi = ScreenDpi()) {
  ASSERT_NE(window, nullptr);
  const RECT client = ClientOf(window);
  EXPECT_NEAR(client.right, Scaled(width100, dpi), 1) << Name(window) << " client width at " << dpi << " DPI";
  EXPECT_NEAR(client.bottom, Scaled(height100, dpi), 1)
      << Name(window) << " client height at " << dpi << " DPI";
  std::printf("%s: client %ld x %ld at %d DPI\n", win::Narrow(ClassOf(window)).c_str(), client.right,
              client.bottom, dpi);
  if (dpi == ScreenDpi()) ExpectCaptionFits(window);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring kind = ClassOf(child);
    if (kind == L"Static") {
      ExpectStaticFits(child, rules);
    } else if (kind == L"Edit" || kind == L"ComboBox") {
      ExpectFieldFits(child);
    } else if (kind == L"ListBox") {
      const bool tabs = (GetWindowLongW(child, GWL_STYLE) & LBS_USETABSTOPS) != 0;
      // A list with tab stops but none set stops every 32 units.
      std::vector<int> units = tabs && rules.tabStops ? rules.tabStops(child) : std::vector<int>{};
      if (tabs && units.empty()) units = {32};
      ExpectListFits(child, tabs ? TabStopPixels(child, units) : std::vector<int>{});
    } else if (kind == WC_HEADERW) {
      ExpectHeaderFits(child);
    }
  }
}

// The GDI objects this process holds. Windows counts them itself; Wine
// answers 0 there, and its handle table, shared with the process through the
// PEB, is read instead (24-byte entries, the type at byte 14 while alive).
// Wine's user32 keeps a cache of DCs that grows now and then when paints
// nest; each comes with a clip region and a bitmap of its own. Those are
// the system's, not the program's, and are left out.
inline int GdiObjectCount() {
  if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); count != 0)
    return static_cast<int>(count);
  using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (query == nullptr || query(GetCurrentProcess(), 0, &basic, sizeof(basic), nullptr) != 0) return -1;
  const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
  const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);  // GdiSharedHandleTable
  if (table == nullptr) return -1;
  constexpr unsigned char kDc = 0x01, kRegion = 0x04;
  int live = 0;
  for (int i = 0; i < 0x10000; ++i) {
    const unsigned char type = table[i * 24 + 14];
    if (type == kDc) --live;  // and its bitmap
    if (type != 0 && type != kDc && type != kRegion) ++live;
  }
  return live;
}

// Counts the paints of the own buttons under a window, and those that found
// their picture already deleted.
class PaintProbe {
 public:
  explicit PaintProbe(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (ButtonOf(child) != nullptr &&
          SetWindowSubclass(child, &Watch, 1, reinterpret_cast<DWORD_PTR>(this)))
        watched_.push_back(child);
    }
  }
  PaintProbe(const PaintProbe&) = delete;
  PaintProbe& operator=(const PaintProbe&) = delete;
  ~PaintProbe() {
    for (HWND child : watched_) RemoveWindowSubclass(child, &Watch, 1);
  }
  int paints = 0;
  int freed = 0;

 private:
  static XpButton* ButtonOf(HWND hwnd) {
    return dynamic_cast<XpButton*>(reinterpret_cast<win::Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
  }
  static LRESULT CALLBACK Watch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_PAINT) {
      auto* probe = reinterpret_cast<PaintProbe*>(data);
      const HBITMAP bitmap = ButtonOf(hwnd)->Picture().bitmap;
      ++probe->paints;
      if (bitmap != nullptr && GetObjectType(bitmap) != OBJ_BITMAP) ++probe->freed;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  std::vector<HWND> watched_;
};

// What Windows sends a window moved to a monitor of `dpi`.
inline void SendDpiChange(HWND window, int dpi) {
  RECT suggested{};
  GetWindowRect(window, &suggested);
  OffsetRect(&suggested, 10, 10);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  RECT now{};
  GetWindowRect(window, &now);
  EXPECT_EQ(now.left, suggested.left) << Name(window) << " at the suggested place";
  EXPECT_EQ(now.top, suggested.top) << Name(window) << " at the suggested place";
}

// Forty moves between monitors of every common scale, back to the first:
// no button paints with a deleted picture, the GDI objects are as many as
// before. Then one move to `other` DPI, where every text still fits.
inline void ExpectDpiChangesClean(HWND window, int width100, int height100, const FitRules& rules = {}) {
  const int start = ScreenDpi();
  std::vector<int> cycle;
  for (int dpi : {96, 120, 144, 168, 192})
    if (dpi != start) cycle.push_back(dpi);
  cycle.push_back(start);
  // First rounds make what the system makes once and keeps (font caches,
  // the DCs Wine caches for nested painting).
  for (int round = 0; round < 3; ++round) {
    for (int dpi : cycle) SendDpiChange(window, dpi);
    PumpMessages();
  }
  PumpMessages();
  const int before = GdiObjectCount();
  {
    PaintProbe probe(window);
    for (int i = 0; i < 40; ++i) {
      SendDpiChange(window, cycle[static_cast<std::size_t>(i) % cycle.size()]);
      PumpMessages();
    }
    EXPECT_EQ(probe.freed, 0) << Name(window) << ": " << probe.freed << " of " << probe.paints
                              << " button paints used a deleted picture";
  }
  PumpMessages();
  EXPECT_EQ(GdiObjectCount(), before) << Name(window) << ": GDI objects after 40 DPI changes";
  const int other = start == 96 ? 144 : 96;
  // Asked first for its size at the new scale, it names the size it takes.
  SIZE asked{};
  EXPECT_EQ(SendMessageW(window, WM_GETDPISCALEDSIZE, other, reinterpret_cast<LPARAM>(&asked)), TRUE);
  SendDpiChange(window, other);
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_NEAR(asked.cx, frame.right - frame.left, 1) << Name(window) << " WM_GETDPISCALEDSIZE";
  // Wine draws every frame at the system's DPI, not at the one asked for:
  // there only the width, which has no caption in it, is the same.
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  if (!wine) {
    EXPECT_NEAR(asked.cy, frame.bottom - frame.top, 1) << Name(window) << " WM_GETDPISCALEDSIZE";
  }
  PumpMessages();
  ExpectWindowFits(window, width100, height100, rules, other);
  for (const auto& [kind, side100] : {std::pair{ICON_SMALL, 16}, std::pair{ICON_BIG, 32}}) {
    ICONINFO info{};
    const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0));
    ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << Name(window) << " icon " << side100;
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(mask.bmWidth, Scaled(side100, other)) << Name(window) << " icon for " << other << " DPI";
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  }
  SendDpiChange(window, start);
  PumpMessages();
}

}  // namespace tw::test
