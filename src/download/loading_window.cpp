#include "download/loading_window.h"

#include <cstdio>
#include <ctime>
#include <utility>

#include "program/program.h"
#include "program/resource_ids.h"
#include "text/cp1251.h"
#include "win32/gdi.h"
#include "win32/keyboard_link.h"
#include "win32/label.h"
#include "win32/message_box.h"
#include "win32/picture.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr DWORD kLoadingStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kXpB1Size = 48;
constexpr int kDotsLeft = 64;
constexpr int kDotsTop = 60;
constexpr int kDotStep = 14;

}  // namespace

RECT LoadingDotRect(int index) {
  const int left = kDotsLeft + index * kDotStep;
  return RECT{left, kDotsTop, left + kLoadingDotSize, kDotsTop + kLoadingDotSize};
}

IniLastUpdate::IniLastUpdate(const std::filesystem::path& programFolder) {
  ini_.SetFileName(programFolder / kOptionsFile);
}

std::string IniLastUpdate::ReadLastUpdate() { return ini_.RINI(kMainSection, kLastUpdateKey); }

void IniLastUpdate::WriteLastUpdate(std::string_view text) { ini_.WInI(kMainSection, kLastUpdateKey, text); }

std::string LocalDate::TodayText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof(text), "%02u.%02u.%04u", now.wDay, now.wMonth, now.wYear);
  return text;
}

LoadingWindow::LoadingWindow(Parts parts)
    : settings_(parts.settings),
      ws_(std::move(parts.ws)),
      clock_(parts.clock ? std::move(parts.clock) : std::make_unique<LocalDate>()),
      lastUpdate_(parts.programFolder),
      host_(std::move(parts.host)),
      timers_{win::WindowTimer(1, kTimer1Ms), win::WindowTimer(2, kTimer2Ms), win::WindowTimer(3, kTimer3Ms)},
      pictures_(IDB_LOADING_CANCEL, IDB_LOADING_CANCEL_HOVER) {
  check_ = std::make_unique<ProfileCheck>(ProfileCheckDeps{
      settings_, *ws_, *this, lastUpdate_, *clock_, std::move(parts.parse), std::string(kProgramVersion)});
}

LoadingWindow::~LoadingWindow() {
  closing_ = true;
  check_.reset();  // closes WS before the window goes
  for (auto& timer : timers_) timer.Stop();
  Destroy();
}

win::WindowTimer& LoadingWindow::TimerOf(LoadingTimer timer) { return timers_[static_cast<int>(timer) - 1]; }

bool LoadingWindow::Open() {
  RECT frame{0, 0, kLoadingClientWidth, kLoadingClientHeight};
  AdjustWindowRectEx(&frame, kLoadingStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const auto [x, y] = OpeningCorner({width, height});
  if (!CreateWindowOf(kLoadingClassName, 0, kLoadingStyle,
                      win::Widen(cp1251("Получение информации о профиле")), x, y, width, height, nullptr,
                      nullptr)) {
    return false;
  }
  for (auto& timer : timers_) timer.Attach(Handle());
  CreateControls();
  win::UseKeyboardNavigation(Handle());  // Esc cancels the check, as the cross does
  layout_.Capture(Handle());
  ApplyDpi(win::DpiOf(Handle()));
  // The caption of the first connection replaces the design-time one
  // before the window is first shown.
  check_->Start();
  if (Handle() != nullptr && !closing_) {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
  }
  return true;
}

void LoadingWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  win::DpiSteps steps;
  steps.make = [this](UINT dpi, win::RetiredGdi& retired) {
    pictures_.Load(dpi, retired);
    retired.Keep(image_);
    image_.Reset(win::LoadPicture(IDB_LOADING_IMAGE, dpi));
  };
  win::ChangeDpi(layout_, {kLoadingClientWidth, kLoadingClientHeight}, dpi, suggested, steps);
}

void LoadingWindow::CreateControls() {
  // Wraps to a second line: the proxy's name and port are the part of the
  // status a user checks, and they come last.
  info_ = win::CreateLabel(Handle(), kLoadingInfoId, "", kLoadingInfoRect.left, kLoadingInfoRect.top,
                           kLoadingInfoRect.right - kLoadingInfoRect.left,
                           kLoadingInfoRect.bottom - kLoadingInfoRect.top, SS_NOTIFY);

  XpButtonProperties props = FacePictureButton();
  props.UseMaskColor = true;
  xpB1_.Create(Handle(), kLoadingXpB1Id, kLoadingClientWidth - kXpB1Size - 16,
               (kLoadingClientHeight - kXpB1Size) / 2, kXpB1Size, kXpB1Size, props);
  pictures_.Attach(xpB1_);
  xpB1_.events.Click = [this] { check_->CancelCheck(); };
  xpB1_.SetAccessibleName(cp1251("Отмена"));
}

HFONT LoadingWindow::InfoFont() const {
  return info_ != nullptr && IsWindow(info_) ? reinterpret_cast<HFONT>(SendMessageW(info_, WM_GETFONT, 0, 0))
                                             : nullptr;
}

void LoadingWindow::SetCaption(std::string_view text) {
  if (Handle() != nullptr) SetWindowTextW(Handle(), win::Widen(text).c_str());
}

void LoadingWindow::SetInfo(std::string_view text) {
  infoText_ = win::Widen(text);
  if (info_ == nullptr) return;
  SetWindowTextW(info_, infoText_.c_str());
  // The status changes while data streams in; paint it now.
  UpdateWindow(info_);
}

void LoadingWindow::SetStatus(std::string_view text) { SetInfo(text); }

void LoadingWindow::SetStatusLink(std::string_view text) {
  infoIsLink_ = true;
  if (info_ != nullptr) {
    win::MakeKeyboardLink(info_);
    layout_.SetFont(info_, win::DpiLayout::FontKind::Link);
    if (tooltip_ == nullptr) {
      tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                                 nullptr, win::ProgramInstance(), nullptr);
      std::wstring tip = win::Widen(kErrorLinkTip);
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof(tool);
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = Handle();
      tool.uId = reinterpret_cast<UINT_PTR>(info_);
      tool.lpszText = tip.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
      layout_.AddPopup(tooltip_);
    }
  }
  SetInfo(text);
  if (info_ != nullptr) InvalidateRect(info_, nullptr, TRUE);
}

void LoadingWindow::ShowMessage(std::string_view text) { win::ShowInformation(Handle(), text); }

// The update question wears the information icon, like the messages of the check.
bool LoadingWindow::Ask(std::string_view text) { return win::AskYesNo(Handle(), text, MB_ICONINFORMATION); }

void LoadingWindow::OpenUrl(std::string_view url) { win::OpenUrl(url); }

void LoadingWindow::CloseWindow() {
  closing_ = true;
  for (auto& timer : timers_) timer.Stop();
  // The object outlives its window: the owner drops it at the next check
  // or at the end of the program, never inside one of its own messages.
  Destroy();
}

void LoadingWindow::ShowMain() {
  if (host_.ShowMain) host_.ShowMain();
}

void LoadingWindow::ShowReport() {
  if (host_.ShowReport) host_.ShowReport();
}

void LoadingWindow::StartTimer(LoadingTimer timer, unsigned) { TimerOf(timer).Start(); }

void LoadingWindow::StopTimer(LoadingTimer timer) { TimerOf(timer).Stop(); }

void LoadingWindow::SetDotVisible(int index, bool visible) {
  if (index < 0 || index >= kDotCount || dots_[index] == visible) return;
  dots_[index] = visible;
  const RECT rect = layout_.Scale(LoadingDotRect(index));
  if (Handle() != nullptr) InvalidateRect(Handle(), &rect, FALSE);
}

void LoadingWindow::SetImageVisible(bool visible) {
  if (imageVisible_ == visible) return;
  imageVisible_ = visible;
  const RECT rect = layout_.Scale(kLoadingI1Rect);
  if (Handle() != nullptr) InvalidateRect(Handle(), &rect, FALSE);
}

void LoadingWindow::OnPaint() {
  win::PaintDc paint(Handle());
  const HDC dc = paint.Get();
  RECT client{};
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (imageVisible_ && image_.Get() != nullptr) {
    win::MemoryDc source(CreateCompatibleDC(dc));
    win::SelectObjectRestorer select(source.Get(), image_.Get());
    const RECT i1 = layout_.Scale(kLoadingI1Rect);
    BITMAP info{};
    GetObjectW(image_.Get(), sizeof(info), &info);
    TransparentBlt(dc, i1.left, i1.top, i1.right - i1.left, i1.bottom - i1.top, source.Get(), 0, 0,
                   info.bmWidth, info.bmHeight, RGB(255, 255, 255));
  }
  win::Brush brush(CreateSolidBrush(RGB(0, 0, 192)));
  win::Pen pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 128)));
  win::SelectObjectRestorer b(dc, brush.Get());
  win::SelectObjectRestorer p(dc, pen.Get());
  for (int i = 0; i < kDotCount; ++i) {
    if (!dots_[i]) continue;
    const RECT r = layout_.Scale(LoadingDotRect(i));
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
  }
}

LRESULT LoadingWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      for (int i = 0; i < 3; ++i) {
        if (wParam == timers_[i].Id()) check_->OnTimer(static_cast<LoadingTimer>(i + 1));
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kLoadingInfoId && HIWORD(wParam) == STN_CLICKED) check_->OnStatusClick();
      return 0;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const bool link = infoIsLink_ && reinterpret_cast<HWND>(lParam) == info_;
      SetTextColor(dc, link ? kLoadingLinkColor : GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (infoIsLink_ && reinterpret_cast<HWND>(wParam) == info_) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(win::DpiOfMessage(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      return win::DpiScaledSize(Handle(), {kLoadingClientWidth, kLoadingClientHeight}, wParam, lParam);
    case WM_CLOSE:
      // The frame's close box ends the check like the cancel button.
      check_->CancelCheck();
      return 0;
    case WM_DESTROY:
      for (auto& timer : timers_) timer.Stop();
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace tw
