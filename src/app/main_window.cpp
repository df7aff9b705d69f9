#include "app/main_window.h"

#include <vector>

#include "app/about_window.h"
#include "program/resource_ids.h"
#include "text/cp1251.h"
#include "win32/dpi.h"
#include "win32/gdi.h"
#include "win32/message_box.h"
#include "win32/picture.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr int kPictureResource[] = {0,
                                    IDB_HEART_COLOR,
                                    IDB_HEART_GREY,
                                    IDB_GEARS_COLOR,
                                    IDB_GEARS_GREY,
                                    IDB_POWER_COLOR,
                                    IDB_POWER_GREY,
                                    IDB_MAIN_HOVER_CHECK,
                                    IDB_MAIN_HOVER_OPTIONS,
                                    IDB_MAIN_HOVER_EXIT,
                                    IDB_MAIN_INTRO,
                                    IDB_MAIN_NORMAL};

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct ButtonPlace {
  int id;
  int x;
  int y;
};
constexpr ButtonPlace kButtonPlaces[] = {{kXpB3Id, 16, 16}, {kXpB4Id, 16, 92}, {kXpB5Id, 16, 208}};
constexpr int kButtonSide = 67;

bool Inside(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

// What a screen reader says for XpB3, XpB4 and XpB5, which show only pictures.
const std::string kMainButtonNames[] = {cp1251("Проверить профиль"), cp1251("Настройки"), cp1251("Выход")};

}  // namespace

MainWindow::MainWindow(MainHost& host, MainProgramValues& values)
    : model_(*this, host, values),
      timers_{win::WindowTimer(1, 300), win::WindowTimer(2, 400), win::WindowTimer(3, 500),
              win::WindowTimer(4, 15000), win::WindowTimer(5, 150)} {}

MainWindow::~MainWindow() {
  for (auto& timer : timers_) timer.Stop();
  Destroy();
}

HBITMAP MainWindow::PictureBitmap(MainPicture picture) const {
  return pictures_[static_cast<int>(picture)].Get();
}

bool MainWindow::Load() {
  RECT frame{0, 0, kMainClientWidth, kMainClientHeight};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const auto [x, y] = OpeningCorner({width, height});
  if (!CreateWindowOf(kMainClassName, 0, kMainStyle, L"Tallywick", x, y, width, height, nullptr, nullptr)) {
    return false;
  }
  for (auto& timer : timers_) timer.Attach(Handle());
  CreateControls();
  layout_.Capture(Handle());
  layout_.AddPopup(tooltip_);
  ApplyDpi(win::DpiOf(Handle()));
  if (!model_.Load()) {
    Destroy();
    return false;
  }
  return true;
}

void MainWindow::Show(int show) {
  ShowWindow(Handle(), show);
  UpdateWindow(Handle());
}

void MainWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  win::DpiSteps steps;
  steps.make = [this](UINT dpi, win::RetiredGdi& retired) {
    for (int i = 1; i < static_cast<int>(pictures_.size()); ++i) {
      retired.Keep(pictures_[i]);
      pictures_[i].Reset(win::LoadPicture(kPictureResource[i], dpi));
    }
    for (int n = 1; n <= 3; ++n) buttons_[n - 1].SetPicture({PictureBitmap(buttonPictures_[n - 1]), nullptr});
    LOGFONTW lf{};
    lf.lfHeight = win::Scale(-11, dpi);
    lf.lfWeight = FW_BOLD;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    retired.Keep(labelFont_);
    labelFont_.Reset(CreateFontIndirectW(&lf));
  };
  steps.laidOut = [this](UINT) {
    if (tooltip_ == nullptr) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.rect = Scaled(kLabel1Rect);
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  };
  win::ChangeDpi(layout_, {kMainClientWidth, kMainClientHeight}, dpi, suggested, steps);
}

void MainWindow::CreateControls() {
  for (int i = 0; i < 3; ++i) {
    XpButtonProperties props;
    props.Caption.clear();  // picture only
    props.PictureWidth = 48;
    props.PictureHeight = 48;
    XpButton& button = buttons_[i];
    button.Create(Handle(), kButtonPlaces[i].id, kButtonPlaces[i].x, kButtonPlaces[i].y, kButtonSide,
                  kButtonSide, props, false);
    button.SetBackgroundPainter(
        [this](HDC dc, POINT origin, int w, int h) { PaintBackground(dc, origin, w, h); });
    const int n = i + 1;
    button.events.MouseIn = [this, n](int&) { model_.HighlightButton(n); };
    button.events.MouseOut = [this, n](int&) { model_.RestoreButton(n); };
    button.events.Click = [this, n] { model_.OnButtonClick(n); };
    // The keyboard's focus shows what the pointer's hover shows.
    button.events.Focus = [this, n](bool gained) {
      gained ? model_.HighlightButton(n) : model_.RestoreButton(n);
    };
    button.events.KeyDown = [this](int& key, int&) { OnKey(key); };
    button.SetAccessibleName(kMainButtonNames[i]);
  }
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                             win::ProgramInstance(), nullptr);
  std::wstring tip = win::Widen(kQuotesTooltip);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = 1;
  tool.rect = Scaled(kLabel1Rect);
  tool.lpszText = tip.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::PaintBackground(HDC dc, POINT origin, int width, int height) const {
  const HBITMAP bitmap = PictureBitmap(background_);
  if (bitmap == nullptr) {
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  win::MemoryDc source(CreateCompatibleDC(dc));
  win::SelectObjectRestorer selected(source.Get(), bitmap);
  BitBlt(dc, 0, 0, width, height, source.Get(), origin.x, origin.y, SRCCOPY);
}

void MainWindow::OnPaint() {
  win::PaintDc paint(Handle());
  const int width = layout_.Scale(kMainClientWidth);
  const int height = layout_.Scale(kMainClientHeight);
  win::OffscreenSurface surface(paint.Get(), width, height);
  PaintBackground(surface.Dc(), {0, 0}, width, height);
  if (!label1_.empty()) {
    win::SelectObjectRestorer font(surface.Dc(), labelFont_.Get());
    SetBkMode(surface.Dc(), TRANSPARENT);
    SetTextColor(surface.Dc(), RGB(0, 0, 0));
    RECT r = Label1PaintRect();
    DrawTextW(surface.Dc(), label1_.c_str(), static_cast<int>(label1_.size()), &r,
              DT_LEFT | DT_TOP | DT_NOPREFIX);
  }
  BitBlt(paint.Get(), 0, 0, width, height, surface.Dc(), 0, 0, SRCCOPY);
}

RECT MainWindow::Label1PaintRect() const {
  RECT r = kLabel1Rect;
  r.right += 6;  // ":)" in a bold face is a little wider than the label
  return Scaled(r);
}

void MainWindow::OnLeftButtonUp(POINT point) {
  if (Inside(Scaled(kLabel1Rect), point)) {
    model_.OnLabel1Click();
  } else if (Inside(Scaled(kImage1Rect), point)) {
    model_.OnImage1Click();
  }
}

bool MainWindow::PointerOverClient() const {
  POINT p{};
  if (!GetCursorPos(&p) || WindowFromPoint(p) != Handle()) return false;
  ScreenToClient(Handle(), &p);
  RECT client{};
  GetClientRect(Handle(), &client);
  return Inside(client, p);
}

bool MainWindow::OnSetCursor() {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(Handle(), &p);
  if (Inside(Scaled(kLabel1Rect), p) || Inside(Scaled(kImage1Rect), p)) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
  }
  return false;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_MOUSEMOVE: {
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      // Label1 and Image1 have movements of their own; only the window's counts.
      // Wine and Windows also send moves when windows appear or change
      // order; only a pointer really over the window starts the intro.
      if (!Inside(Scaled(kLabel1Rect), p) && !Inside(Scaled(kImage1Rect), p) && PointerOverClient())
        model_.OnMouseMove();
      return 0;
    }
    case WM_LBUTTONUP:
      OnLeftButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT && OnSetCursor())
        return TRUE;
      break;
    case WM_TIMER:
      if (wParam >= 1 && wParam <= 5) model_.OnTimer(static_cast<MainTimer>(wParam));
      return 0;
    case WM_SYSCHAR:
      if (DispatchAccessKey(Handle(), static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_KEYDOWN:
      OnKey(static_cast<int>(wParam));
      return 0;
    case WM_CLOSE:
      model_.OnClose();
      return 0;
    case WM_DPICHANGED:
      ApplyDpi(win::DpiOfMessage(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      win::KeepClientSize(layout_, {kMainClientWidth, kMainClientHeight}, wParam);
      break;
    case WM_GETDPISCALEDSIZE:
      return win::DpiScaledSize(Handle(), {kMainClientWidth, kMainClientHeight}, wParam, lParam);
    case WM_DESTROY:
      for (auto& timer : timers_) timer.Stop();
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

void MainWindow::OnKey(int key) {
  if (Handle() == nullptr) return;  // a command has closed the window
  model_.OnKeyPress();
  switch (key) {
    case VK_F1:
      model_.OnImage1Click();
      break;
    case VK_TAB:
      MoveFocus(GetKeyState(VK_SHIFT) >= 0);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      MoveFocus(true);
      break;
    case VK_LEFT:
    case VK_UP:
      MoveFocus(false);
      break;
    default:
      break;
  }
}

void MainWindow::MoveFocus(bool forward) {
  std::vector<HWND> shown;
  int at = -1;
  for (XpButton& button : buttons_) {
    if (!IsWindowVisible(button.Handle()) || !IsWindowEnabled(button.Handle())) continue;
    if (GetFocus() == button.Handle()) at = static_cast<int>(shown.size());
    shown.push_back(button.Handle());
  }
  if (shown.empty()) return;  // the intro has not revealed any yet
  const int count = static_cast<int>(shown.size());
  const int next = at < 0 ? (forward ? 0 : count - 1) : (at + (forward ? 1 : count - 1)) % count;
  SetFocus(shown[static_cast<std::size_t>(next)]);
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(Handle(), win::Widen(caption).c_str());
}

void MainWindow::SetBackground(MainPicture picture) {
  if (background_ == picture) return;
  background_ = picture;
  if (Handle() != nullptr) {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

void MainWindow::SetButtonPicture(int n, MainPicture picture) {
  buttonPictures_[n - 1] = picture;
  buttons_[n - 1].SetPicture({PictureBitmap(picture), nullptr});
}

void MainWindow::ShowButton(int n) { ShowWindow(buttons_[n - 1].Handle(), SW_SHOWNA); }

void MainWindow::SetTimer(MainTimer timer, bool enabled) {
  timers_[static_cast<int>(timer) - 1].SetEnabled(enabled);
}

void MainWindow::SetLabel1(const std::string& text) {
  label1_ = win::Widen(text);
  const RECT r = Label1PaintRect();
  InvalidateRect(Handle(), &r, FALSE);
}

void MainWindow::ShowSecondInstanceMessage() { win::ShowError(nullptr, cp1251("Программа уже запущена!")); }

void MainWindow::Hide() { ShowWindow(Handle(), SW_HIDE); }

void MainWindow::Unload() {
  for (auto& timer : timers_) timer.Stop();
  Destroy();
}

void MainWindow::ShowAbout() {
  AboutWindow about;
  if (!about.Create(Handle())) return;
  about_ = about.Handle();
  win::RunModal(Handle(), about.Handle());
  about_ = nullptr;
}

void MainWindow::OpenUrl(const std::string& url) { win::OpenUrl(url); }

}  // namespace tw
