#include "controls/list_header.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "controls/list_header_model.h"
#include "win32/gdi.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

struct HeaderEntry {
  WNDPROC previous = nullptr;
  HWND header = nullptr;
  HWND listBox = nullptr;
  std::vector<int> stops;  // the last ones set, to repaint the list only when they move
};

// One entry per live header, looked up by the header's handle. Entries leave
// when their header is destroyed: a handle value may be given to a new window
// later, and a stale entry would then steer the wrong list box.
std::vector<HeaderEntry>& Registry() {
  static std::vector<HeaderEntry> entries;
  return entries;
}

}  // namespace

int ListAverageCharWidth(HWND listBox) {
  win::WindowDc dc(listBox);
  if (dc.Get() == nullptr) return kClassicAverageCharWidth;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(listBox, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  win::SelectObjectRestorer select(dc.Get(), font);
  // The average the list box itself uses: the width of the 52 Latin letters.
  static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE size{};
  if (!GetTextExtentPoint32W(dc.Get(), kLetters, 52, &size) || size.cx <= 0) return kClassicAverageCharWidth;
  return (size.cx / 26 + 1) / 2;
}

namespace {

void AlignTabStops(HWND header, HWND listBox, std::vector<int>& lastStops) {
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  std::vector<int> rightEdges;
  for (int i = 0; i < count; ++i) {
    RECT rect{};
    if (SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect)) == 0) {
      break;
    }
    rightEdges.push_back(rect.right);
  }
  // Measured rather than assumed 1.5 pixels a unit: with another font (or
  // another system's GUI font) the columns would drift off the dividers.
  std::vector<int> stops = TabStopsForColumns(rightEdges, ListAverageCharWidth(listBox));
  SendMessageW(listBox, LB_SETTABSTOPS, 0, 0);
  if (!stops.empty()) {
    SendMessageW(listBox, LB_SETTABSTOPS, static_cast<WPARAM>(stops.size()),
                 reinterpret_cast<LPARAM>(stops.data()));
  }
  // WM_SETREDRAW alone does not repaint on every system: invalidate as well,
  // but only when the stops moved (the header repaints on every hover).
  SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
  if (stops != lastStops) InvalidateRect(listBox, nullptr, TRUE);
  lastStops = std::move(stops);
}

LRESULT CALLBACK HeaderWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int index = FindListHeader(hwnd);
  if (index < 0) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const HeaderEntry& entry = Registry()[static_cast<std::size_t>(index)];
  const WNDPROC previous = entry.previous;
  const HWND listBox = entry.listBox;
  if (msg == WM_NCDESTROY) {
    Registry().erase(Registry().begin() + index);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
  }
  const LRESULT result = CallWindowProcW(previous, hwnd, msg, wParam, lParam);
  if (msg == WM_PAINT && IsWindow(listBox)) {
    // The table may have grown meanwhile (a header made from a paint
    // handler): look the entry up again rather than keep a reference.
    const int now = FindListHeader(hwnd);
    if (now >= 0) AlignTabStops(hwnd, listBox, Registry()[static_cast<std::size_t>(now)].stops);
  }
  return result;
}

}  // namespace

int FindListHeader(HWND header) {
  const std::vector<HeaderEntry>& entries = Registry();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].header == header) return static_cast<int>(i);
  }
  return -1;
}

HWND ListBoxOfHeader(HWND header) {
  const int index = FindListHeader(header);
  return index < 0 ? nullptr : Registry()[static_cast<std::size_t>(index)].listBox;
}

HWND CreateListHeader(HWND listBox, int x, int y, int width, int height, DWORD extraStyle) {
  InitCommonControls();
  const HWND parent = GetParent(listBox);
  if (parent == nullptr) return nullptr;
  const HWND header =
      CreateWindowExW(0, WC_HEADERW, L"", extraStyle | WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (header == nullptr) return nullptr;
  SetWindowPos(header, nullptr, x, y, width, height, SWP_SHOWWINDOW | SWP_NOZORDER);
  SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderWndProc)));
  Registry().push_back({previous, header, listBox, {}});
  return header;
}

int AddHeaderColumn(HWND header, int index, int width, UINT mask, int format, std::string_view title,
                    HBITMAP bitmap) {
  std::wstring text = win::Widen(title);
  HDITEMW item{};
  item.mask = mask | HDI_WIDTH;
  item.cxy = width;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  item.hbm = bitmap;
  item.fmt = format;
  return static_cast<int>(
      SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

}  // namespace tw
