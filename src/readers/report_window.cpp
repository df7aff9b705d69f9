#include "readers/report_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "controls/list_header.h"
#include "program/resource_ids.h"
#include "readers/history_window.h"
#include "text/cp1251.h"
#include "win32/gdi.h"
#include "win32/keyboard_link.h"
#include "win32/label.h"
#include "win32/list_copy.h"
#include "win32/list_extent.h"
#include "win32/message_box.h"
#include "win32/picture.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr DWORD kReportStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kMargin = 12;
constexpr int kWarningTop = 76;  // under the reader count
constexpr int kListTop = 132;
constexpr int kListHeight = 232;
constexpr int kList1Left = kMargin;
constexpr int kNarrowListWidth = 170;
constexpr int kList2Left = kList1Left + kNarrowListWidth + 10;
constexpr int kList3Left = kList2Left + kNarrowListWidth + 10;
constexpr int kList3Width = kReportClientWidth - kMargin - kList3Left;
constexpr int kButtonSize = 52;
constexpr int kListTitleTop = kListTop - 18 - 20;  // above List3's header

int ListId(ReportList list) {
  switch (list) {
    case ReportList::List1:
      return kReportList1;
    case ReportList::List2:
      return kReportList2;
    case ReportList::List3:
      break;
  }
  return kReportList3;
}

}  // namespace

ReportWindow::ReportWindow(std::filesystem::path programFolder, std::string id, std::string ownerNick,
                           std::optional<std::size_t> announcedTotal)
    : model_(*this, programFolder, id, std::move(ownerNick), formatter_, announcedTotal),
      acceptPictures_(IDB_REPORT_ACCEPT, IDB_REPORT_ACCEPT_HOVER),
      closePictures_(IDB_REPORT_CLOSE, IDB_REPORT_CLOSE_HOVER),
      programFolder_(std::move(programFolder)),
      id_(std::move(id)) {}

ReportWindow::~ReportWindow() {
  onClosed = nullptr;  // a window destroyed by its owner's end reports nothing
  Destroy();
}

HWND ReportWindow::List(ReportList list) const { return Control(ListId(list)); }

bool ReportWindow::Load() {
  RECT frame{0, 0, kReportClientWidth, kReportClientHeight};
  AdjustWindowRectEx(&frame, kReportStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const auto [x, y] = OpeningCorner({width, height});
  if (!CreateWindowOf(kReportClassName, 0, kReportStyle, win::Widen(kReportCaption), x, y, width, height,
                      nullptr, nullptr)) {
    return false;
  }
  CreateControls();
  layout_.Capture(Handle());
  layout_.SetFont(Label(7), win::DpiLayout::FontKind::Bold);
  layout_.SetFont(Control(kReportHistoryLink), win::DpiLayout::FontKind::Link);
  ApplyDpi(win::DpiOf(Handle()));
  win::UseKeyboardNavigation(Handle());  // Esc closes without storing, like XpB2
  return model_.Load();
}

void ReportWindow::Show(int show) {
  if (Handle() == nullptr) return;
  ShowWindow(Handle(), show);
  SetForegroundWindow(Handle());
}

void ReportWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  win::DpiSteps steps;
  steps.make = [this](UINT dpi, win::RetiredGdi& retired) {
    acceptPictures_.Load(dpi, retired);
    closePictures_.Load(dpi, retired);
  };
  steps.laidOut = [this](UINT) {
    for (int column = 0; column < 2; ++column) {
      HDITEMW item{};
      item.mask = HDI_WIDTH;
      item.cxy = layout_.Scale(kReportColumnWidth);
      SendMessageW(header_, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
    for (int id : {kReportList1, kReportList2, kReportList3}) FitHorizontalExtent(Control(id));
  };
  // The lists are read back for their extent: without the copy keys' hook
  // that costs nothing, with it seconds for long lists.
  const win::ListCopyPause quick1(Control(kReportList1));
  const win::ListCopyPause quick2(Control(kReportList2));
  const win::ListCopyPause quick3(Control(kReportList3));
  win::ChangeDpi(layout_, {kReportClientWidth, kReportClientHeight}, dpi, suggested, steps);
}

void ReportWindow::FitHorizontalExtent(HWND list) {
  if (list == nullptr) return;
  // The second column of the rename list starts at the header's divider.
  std::vector<int> stops;
  if ((GetWindowLongW(list, GWL_STYLE) & LBS_USETABSTOPS) != 0) {
    RECT column{};
    SendMessageW(header_, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&column));
    stops.push_back(column.right);
  }
  // The list draws its lines a few pixels in from its edge.
  win::FitListExtent(list, stops, layout_.Scale(4));
}

HWND ReportWindow::AddLabel(int n, std::string_view text, int x, int y, int width) {
  return win::CreateLabel(Handle(), kReportLabelBase + n, text, x, y, width, 16, SS_ENDELLIPSIS);
}

HWND ReportWindow::AddList(int id, int x, int y, int width, int height, bool tabStops) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY |
                      LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | (tabStops ? LBS_USETABSTOPS : 0);
  HWND list =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", style, x, y, width, height, Handle(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), win::ProgramInstance(), nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return list;
}

void ReportWindow::CreateControls() {
  // 1. The button pictures.
  XpButtonProperties props = FacePictureButton();
  props.UseMaskColor = true;
  props.PictureWidth = 48;
  props.PictureHeight = 48;
  const int buttonTop = kReportClientHeight - kButtonSize - 10;
  accept_.Create(Handle(), kReportXpB1, kReportClientWidth - 2 * kButtonSize - 20, buttonTop, kButtonSize,
                 kButtonSize, props);
  close_.Create(Handle(), kReportXpB2, kReportClientWidth - kButtonSize - kMargin, buttonTop, kButtonSize,
                kButtonSize, props);
  acceptPictures_.Attach(accept_);
  closePictures_.Attach(close_);
  accept_.events.Click = [this] { model_.OnAccept(); };
  close_.events.Click = [this] { model_.OnCloseClick(); };
  accept_.SetAccessibleName(cp1251("Принять список"));
  close_.SetAccessibleName(cp1251("Закрыть"));

  // "Результат для ID=" and ten digits need about 150 pixels: the owner's
  // nickname takes the rest of the line.
  AddLabel(4, "", kMargin, 12, 184);
  AddLabel(7, "", kMargin + 188, 12, kReportClientWidth - 2 * kMargin - 188);
  AddLabel(5, kReportLabel5, kMargin, 36, 150);
  AddLabel(6, "", 166, 36, kReportClientWidth - 166 - kMargin);
  AddLabel(8, kReportLabel8, kMargin, 56, 150);
  AddLabel(9, "", 166, 56, 120);
  win::CreateLabel(Handle(), kReportHistoryLink, kHistoryLinkText, kReportClientWidth - kMargin - 140, 56,
                   140, 16, SS_NOTIFY | SS_RIGHT);
  win::CreateLabel(Handle(), kReportWarning, "", kMargin, kWarningTop, kReportClientWidth - 2 * kMargin, 16,
                   SS_ENDELLIPSIS);
  ShowWindow(Control(kReportWarning), SW_HIDE);
  AddLabel(1, kReportLabel1, kList1Left, kListTitleTop, kNarrowListWidth);
  AddLabel(2, kReportLabel2, kList2Left, kListTitleTop, kNarrowListWidth);
  AddLabel(3, kReportLabel3, kList3Left, kListTitleTop, kList3Width);
  AddLabel(10, kReportLabel10, kMargin, buttonTop + (kButtonSize - 16) / 2, kList3Left - kMargin + 100);
  ShowWindow(Label(10), SW_HIDE);

  // List1 and List2 start where List3's header does, so the three boxes line up.
  AddList(kReportList1, kList1Left, kListTop - 18, kNarrowListWidth, kListHeight + 18, false);
  AddList(kReportList2, kList2Left, kListTop - 18, kNarrowListWidth, kListHeight + 18, false);
  const HWND list3 = AddList(kReportList3, kList3Left, kListTop, kList3Width, kListHeight, true);
  for (int id : {kReportList1, kReportList2, kReportList3}) win::EnableListCopy(Control(id));
  win::MakeKeyboardLink(Control(kReportHistoryLink));
  // Tab follows the reading order: the link at the top, the lists, then the buttons.
  HWND after = HWND_TOP;
  for (int id : {kReportHistoryLink, kReportList1, kReportList2, kReportList3}) {
    SetWindowPos(Control(id), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = Control(id);
  }

  // 2. The header 18 pixels above List3, overlapping its top border.
  header_ = CreateListHeader(list3, kList3Left, kListTop - 18, kList3Width, kReportHeaderHeight, 0);
  AddHeaderColumn(header_, 0, kReportColumnWidth, HDI_TEXT, HDF_LEFT, kReportOldNameColumn, nullptr);
  AddHeaderColumn(header_, 1, kReportColumnWidth, HDI_TEXT, HDF_LEFT, kReportNewNameColumn, nullptr);
}

void ReportWindow::ShowTexts(const ReportTexts& texts) {
  const std::pair<int, const std::string*> labels[] = {
      {1, &texts.Label1}, {2, &texts.Label2}, {3, &texts.Label3}, {4, &texts.Label4},
      {6, &texts.Label6}, {7, &texts.Label7}, {9, &texts.Label9}};
  for (const auto& [n, text] : labels) SetWindowTextW(Label(n), win::Widen(*text).c_str());
  // A list is named by the title above it: a screen reader reads the window text.
  for (const auto& [n, id] :
       {std::pair{1, kReportList1}, std::pair{2, kReportList2}, std::pair{3, kReportList3}})
    SetWindowTextW(Control(id), win::Widen(*labels[n - 1].second).c_str());
  ShowWindow(Label(10), texts.Label10Visible ? SW_SHOWNA : SW_HIDE);
  SetWindowTextW(Control(kReportWarning), win::Widen(texts.Warning).c_str());
  ShowWindow(Control(kReportWarning), texts.Warning.empty() ? SW_HIDE : SW_SHOWNA);
}

void ReportWindow::FillList(ReportList which, const std::vector<std::string>& items) {
  const HWND list = List(which);
  const win::ListCopyPause quick(list);
  // Long lists: reserve the room once and paint once at the end.
  std::size_t bytes = 0;
  for (const std::string& item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, static_cast<WPARAM>(items.size()), static_cast<LPARAM>(bytes));
  for (const std::string& item : items) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(item).c_str()));
  }
  FitHorizontalExtent(list);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void ReportWindow::ShowMessage(const std::string& text) { win::ShowError(Handle(), text); }

bool ReportWindow::AskWarning(const std::string& question) {
  if (askHook) return askHook(question);
  // "Нет" is the default: a stray Enter never stores a list cut short.
  return win::AskYesNo(Handle(), question, MB_ICONWARNING | MB_DEFBUTTON2);
}

void ReportWindow::OpenUrl(const std::string& url) { win::OpenUrl(url); }

void ReportWindow::Close() { Destroy(); }

void ReportWindow::OnCommand(int id, int code) {
  if (id == kReportHistoryLink && code == STN_CLICKED) {
    ShowHistoryWindow(Handle(), programFolder_, id_);
    return;
  }
  if (code != LBN_DBLCLK) return;
  ReportList list = ReportList::List1;
  if (id == kReportList2) {
    list = ReportList::List2;
  } else if (id == kReportList3) {
    list = ReportList::List3;
  } else if (id != kReportList1) {
    return;
  }
  const int selected = static_cast<int>(SendMessageW(Control(id), LB_GETCURSEL, 0, 0));
  model_.OnDoubleClick(list, selected);
}

void ReportWindow::OnFinalDestroy() noexcept {
  if (!onClosed) return;
  try {
    std::function<void()> closed = std::exchange(onClosed, nullptr);
    closed();
  } catch (...) {
  }
}

LRESULT ReportWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const HWND control = reinterpret_cast<HWND>(lParam);
      COLORREF color = GetSysColor(COLOR_BTNTEXT);
      if (control == Label(10)) color = RGB(0, 110, 0);
      if (control == Control(kReportWarning)) color = RGB(200, 0, 0);
      if (control == Control(kReportHistoryLink)) color = win::kLinkColor;
      SetTextColor(dc, color);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(Handle(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_SETCURSOR:
      if (win::SetLinkCursor(reinterpret_cast<HWND>(wParam), Control(kReportHistoryLink))) return TRUE;
      break;
    case WM_DPICHANGED:
      ApplyDpi(win::DpiOfMessage(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      return win::DpiScaledSize(Handle(), {kReportClientWidth, kReportClientHeight}, wParam, lParam);
    case WM_CLOSE:
      Destroy();
      return 0;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace tw
