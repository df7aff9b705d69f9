#include "readers/history_window.h"

// clang-format off
#include "win32/windows_headers.h"
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <algorithm>
#include <utility>
#include <vector>

#include "controls/list_header.h"
#include "controls/list_header_model.h"
#include "win32/dpi.h"
#include "win32/gdi.h"
#include "win32/gdiplus_session.h"
#include "win32/keyboard_link.h"
#include "win32/label.h"
#include "win32/list_copy.h"
#include "win32/list_extent.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr DWORD kHistoryStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr COLORREF kGridColor = RGB(228, 228, 228);
constexpr COLORREF kAxisColor = RGB(150, 150, 150);
constexpr COLORREF kLabelColor = RGB(80, 80, 80);

// The layout at 100 %.
constexpr int kMargin = 12;
constexpr int kChartHeight = 220;
constexpr int kTotalsTop = kMargin + kChartHeight + 8;
constexpr int kListTop = kTotalsTop + 22;
constexpr int kLinkTop = kHistoryClientHeight - kMargin - 16;
constexpr int kListHeight = kLinkTop - 10 - kListTop;
constexpr int kInnerWidth = kHistoryClientWidth - 2 * kMargin;
// The events list's columns: date and time, then the sign.
constexpr int kDateColumn = 112;
constexpr int kSignColumn = 16;
// Markers on the curve while they stay apart.
constexpr std::size_t kMaxMarkers = 60;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

SIZE TextSize(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

}  // namespace

HistoryWindow::HistoryWindow(std::filesystem::path programFolder, std::string id)
    : programFolder_(std::move(programFolder)), id_(std::move(id)) {}

HistoryWindow::~HistoryWindow() { Destroy(); }

bool HistoryWindow::Create(HWND owner) {
  page_ = LoadHistoryPage(programFolder_, id_);
  const SIZE client100{kHistoryClientWidth, kHistoryClientHeight};
  const SIZE frame = win::FrameSizeFor(client100, kHistoryStyle, 0, win::DpiOf(owner));
  const auto [x, y] = OpeningCorner(frame, owner);
  if (!CreateWindowOf(kHistoryClassName, 0, kHistoryStyle, win::Widen(page_.caption), x, y, frame.cx,
                      frame.cy, owner, nullptr)) {
    return false;
  }
  // The children are made at their 100 % places, then laid out for the
  // window's DPI (it may stand on another monitor than its owner).
  CreateControls();
  layout_.Capture(Handle());
  layout_.SetFont(Control(kHistoryFileLink), win::DpiLayout::FontKind::Link);
  ApplyDpi(win::DpiOf(Handle()));
  win::UseKeyboardNavigation(Handle());  // Esc closes
  return true;
}

void HistoryWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  // The list is emptied while its font changes and filled again last: a
  // font or tab stops set on a full list cost far more.
  const HWND list = Control(kHistoryList);
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  win::DpiSteps steps;
  steps.laidOut = [this](UINT) {
    SetTabStops();
    FillList();
  };
  win::ChangeDpi(layout_, {kHistoryClientWidth, kHistoryClientHeight}, dpi, suggested, steps);
  SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  if (selected != LB_ERR) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void HistoryWindow::RunModal(HWND owner) {
  if (Handle() == nullptr) return;
  SetFocus(Control(kHistoryList));
  win::RunModal(owner, Handle());
}

void HistoryWindow::CreateControls() {
  const auto child = [this](const wchar_t* cls, DWORD exStyle, DWORD style, int id, int x, int y, int w,
                            int h) {
    return CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), win::ProgramInstance(),
                           nullptr);
  };
  child(L"STATIC", 0, SS_OWNERDRAW, kHistoryChart, kMargin, kMargin, kInnerWidth, kChartHeight);
  win::CreateLabel(Handle(), kHistoryTotals, page_.totals, kMargin, kTotalsTop, kInnerWidth, 16,
                   SS_ENDELLIPSIS);
  const HWND list = child(L"LISTBOX", WS_EX_CLIENTEDGE,
                          WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                              LBS_HASSTRINGS | LBS_USETABSTOPS,
                          kHistoryList, kMargin, kListTop, kInnerWidth, kListHeight);
  win::EnableListCopy(list);
  // A screen reader names the list by the totals above it (its window text).
  SetWindowTextW(list, win::Widen(page_.totals).c_str());
  win::MakeKeyboardLink(win::CreateLabel(Handle(), kHistoryFileLink, kHistoryFileLinkText, kMargin, kLinkTop,
                                         200, 16, SS_NOTIFY));
  win::CreateLabel(Handle(), kHistoryEmpty, page_.emptyText, kMargin, kMargin + kChartHeight / 2, kInnerWidth,
                   16, SS_CENTER);

  const bool empty = page_.empty;
  for (int id : {kHistoryChart, kHistoryTotals, kHistoryList})
    ShowWindow(Control(id), empty ? SW_HIDE : SW_SHOW);
  ShowWindow(Control(kHistoryEmpty), empty ? SW_SHOW : SW_HIDE);
  std::error_code ec;
  const bool fileThere = page_.file && std::filesystem::is_regular_file(*page_.file, ec);
  ShowWindow(Control(kHistoryFileLink), fileThere ? SW_SHOW : SW_HIDE);
}

// The columns follow the list's font at the window's DPI.
void HistoryWindow::SetTabStops() {
  const HWND list = Control(kHistoryList);
  tabStops_ = TabStopsForColumns({Scale(kDateColumn), Scale(kDateColumn + kSignColumn), Scale(kInnerWidth)},
                                 ListAverageCharWidth(list));
  SendMessageW(list, LB_SETTABSTOPS, static_cast<WPARAM>(tabStops_.size()),
               reinterpret_cast<LPARAM>(tabStops_.data()));
  InvalidateRect(list, nullptr, TRUE);
}

void HistoryWindow::FillList() {
  const HWND list = Control(kHistoryList);
  const win::ListCopyPause quick(list);
  std::size_t bytes = 0;
  for (const std::u16string& line : page_.lines) bytes += (line.size() + 1) * sizeof(wchar_t);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_INITSTORAGE, page_.lines.size(), static_cast<LPARAM>(bytes));
  for (const std::u16string& line : page_.lines) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line).c_str()));
  }
  // A rename of two long nicknames runs past the list's edge: scroll to it.
  win::FitListExtent(list, page_.lines, {Scale(kDateColumn), Scale(kDateColumn + kSignColumn)}, Scale(4));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void HistoryWindow::DrawChart(HDC dc, const RECT& rect) const {
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
  const HFONT gui = layout_.Font(win::DpiLayout::FontKind::Gui);
  win::SelectObjectRestorer font(dc, gui != nullptr ? gui : win::GuiFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLabelColor);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);

  // The count labels decide how far in the plot starts.
  const std::vector<HistoryPoint>& points = page_.history.points;
  const ChartLayout probe = LayoutChart(points, {0, 0, 1, 1});
  int labelWidth = 0;
  for (const ChartTick& tick : probe.yTicks) {
    labelWidth = std::max(labelWidth, static_cast<int>(TextSize(dc, win::Widen(tick.label)).cx));
  }
  const ChartRect plot{static_cast<double>(rect.left + Scale(10) + labelWidth + Scale(6)),
                       static_cast<double>(rect.top + Scale(12)), static_cast<double>(rect.right - Scale(36)),
                       static_cast<double>(rect.bottom - Scale(10) - metrics.tmHeight - Scale(6))};
  const ChartLayout chart = LayoutChart(points, plot);
  const int left = static_cast<int>(plot.left);
  const int right = static_cast<int>(plot.right);
  const int bottom = static_cast<int>(plot.bottom);

  win::Pen grid(CreatePen(PS_SOLID, 1, kGridColor));
  win::Pen axis(CreatePen(PS_SOLID, 1, kAxisColor));
  {
    win::SelectObjectRestorer pen(dc, grid.Get());
    for (const ChartTick& tick : chart.yTicks) {
      const int y = static_cast<int>(tick.at + 0.5);
      MoveToEx(dc, left, y, nullptr);
      LineTo(dc, right, y);
      const std::wstring label = win::Widen(tick.label);
      RECT box{rect.left + Scale(4), y - metrics.tmHeight / 2, left - Scale(6), y + metrics.tmHeight};
      DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &box,
                DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  {
    win::SelectObjectRestorer pen(dc, axis.Get());
    MoveToEx(dc, left, static_cast<int>(plot.top), nullptr);
    LineTo(dc, left, bottom);
    LineTo(dc, right, bottom);
    for (const ChartTick& tick : chart.xTicks) {
      const int x = static_cast<int>(tick.at + 0.5);
      MoveToEx(dc, x, bottom, nullptr);
      LineTo(dc, x, bottom + Scale(4));
      const std::wstring label = win::Widen(tick.label);
      const int width = TextSize(dc, label).cx;
      // Centred under its tick, but kept clear of the chart's frame.
      const int from = std::clamp(x - width / 2, static_cast<int>(rect.left) + Scale(6),
                                  static_cast<int>(rect.right) - Scale(6) - width);
      TextOutW(dc, from, bottom + Scale(6), label.c_str(), static_cast<int>(label.size()));
    }
  }

  if (chart.points.empty()) return;
  std::vector<Gdiplus::PointF> curve;
  curve.reserve(chart.points.size());
  for (const ChartPoint& p : chart.points) {
    curve.emplace_back(static_cast<Gdiplus::REAL>(p.x), static_cast<Gdiplus::REAL>(p.y));
  }
  const COLORREF lineColor = RGB(36, 110, 190);
  if (win::StartGdiplus()) {
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::Color color(255, GetRValue(lineColor), GetGValue(lineColor), GetBValue(lineColor));
    Gdiplus::Pen pen(color, static_cast<Gdiplus::REAL>(Scale(2)));
    if (curve.size() > 1) graphics.DrawCurve(&pen, curve.data(), static_cast<INT>(curve.size()), 0.4f);
    if (curve.size() <= kMaxMarkers) {
      Gdiplus::SolidBrush brush(color);
      const auto r = static_cast<Gdiplus::REAL>(Scale(3));
      for (const Gdiplus::PointF& p : curve) graphics.FillEllipse(&brush, p.X - r, p.Y - r, 2 * r, 2 * r);
    }
    return;
  }
  // Without GDI+ the same points joined by straight lines.
  win::Pen plain(CreatePen(PS_SOLID, Scale(2), lineColor));
  win::SelectObjectRestorer pen(dc, plain.Get());
  MoveToEx(dc, static_cast<int>(curve.front().X), static_cast<int>(curve.front().Y), nullptr);
  for (const Gdiplus::PointF& p : curve) LineTo(dc, static_cast<int>(p.X), static_cast<int>(p.Y));
}

void HistoryWindow::OnDrawItem(const DRAWITEMSTRUCT& item) const {
  const RECT& rect = item.rcItem;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  // Drawn aside and copied in one go, so the chart never flickers.
  win::OffscreenSurface surface(item.hDC, width, height);
  if (surface.Dc() == nullptr) {
    DrawChart(item.hDC, rect);
    return;
  }
  DrawChart(surface.Dc(), RECT{0, 0, width, height});
  BitBlt(item.hDC, rect.left, rect.top, width, height, surface.Dc(), 0, 0, SRCCOPY);
}

LRESULT HistoryWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != kHistoryChart) break;
      OnDrawItem(*item);
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == kHistoryFileLink && code == STN_CLICKED && page_.file) {
        win::OpenFile(*page_.file);
      } else if (id == kHistoryList && code == LBN_DBLCLK) {
        const int selected = static_cast<int>(SendMessageW(Control(kHistoryList), LB_GETCURSEL, 0, 0));
        const std::string url = HistoryEventPage(page_, selected);
        if (!url.empty()) win::OpenUrl(url);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const bool link = reinterpret_cast<HWND>(lParam) == Control(kHistoryFileLink);
      SetTextColor(dc, link ? win::kLinkColor : GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (win::SetLinkCursor(reinterpret_cast<HWND>(wParam), Control(kHistoryFileLink))) return TRUE;
      break;
    case WM_DPICHANGED:
      ApplyDpi(win::DpiOfMessage(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      return win::DpiScaledSize(Handle(), {kHistoryClientWidth, kHistoryClientHeight}, wParam, lParam);
    case WM_CLOSE:
      Destroy();
      return 0;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

void ShowHistoryWindow(HWND owner, const std::filesystem::path& programFolder, const std::string& id) {
  HistoryWindow window(programFolder, id);
  if (!window.Create(owner)) return;
  window.RunModal(owner);
}

}  // namespace tw
