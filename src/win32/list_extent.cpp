#include "win32/list_extent.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "win32/gdi.h"

namespace tw::win {

namespace {

// Widths of the characters of one font, asked for once each: measuring
// every line of a long list through the DC costs seconds, summing cached
// widths a few milliseconds. Lists draw without kerning, so the sum is the
// width they draw.
class CharWidths {
 public:
  explicit CharWidths(HDC dc) : dc_(dc) {}
  int Of(wchar_t c) {
    auto [it, fresh] = widths_.try_emplace(c, 0);
    if (fresh) {
      SIZE size{};
      if (GetTextExtentPoint32W(dc_, &c, 1, &size)) it->second = size.cx;
    }
    return it->second;
  }

 private:
  HDC dc_;
  std::unordered_map<wchar_t, int> widths_;
};

// The width of `line` with tabs moved on to the next of `stops`; past the
// last stop a tab is as wide as a space.
int LineWidth(const std::wstring& line, const std::vector<int>& stops, CharWidths& widths) {
  int x = 0;
  for (wchar_t c : line) {
    if (c != L'\t') {
      x += widths.Of(c);
      continue;
    }
    const auto next = std::upper_bound(stops.begin(), stops.end(), x);
    x = next != stops.end() ? *next : x + widths.Of(L' ');
  }
  return x;
}

// Sets the extent to the widest of `count` lines, the i-th given by `line`.
template <typename LineAt>
void FitExtent(HWND list, int count, LineAt line, const std::vector<int>& tabStops, int margin) {
  if (list == nullptr) return;
  WindowDc dc(list);
  SelectObjectRestorer font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  CharWidths widths(dc.Get());
  int widest = 0;
  std::wstring item;
  for (int i = 0; i < count; ++i) {
    line(i, item);
    widest = std::max(widest, LineWidth(item, tabStops, widths));
  }
  const int extent = widest > 0 ? widest + margin : 0;
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

}  // namespace

void FitListExtent(HWND list, const std::vector<int>& tabStops, int margin) noexcept {
  const int count = list != nullptr ? static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)) : 0;
  const auto fromList = [list](int i, std::wstring& item) {
    const auto length =
        static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
    item.assign(length + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(length);
  };
  FitExtent(list, count, fromList, tabStops, margin);
}

void FitListExtent(HWND list, const std::vector<std::u16string>& lines, const std::vector<int>& tabStops,
                   int margin) noexcept {
  const auto fromLines = [&lines](int i, std::wstring& item) {
    const std::u16string& text = lines[static_cast<std::size_t>(i)];
    item.assign(text.begin(), text.end());
  };
  FitExtent(list, static_cast<int>(lines.size()), fromLines, tabStops, margin);
}

}  // namespace tw::win
