#include "app/about_window.h"

#include "app/about_model.h"
#include "program/program.h"
#include "program/resource_ids.h"
#include "text/cp1251.h"
#include "win32/gdi.h"
#include "win32/keyboard_link.h"
#include "win32/label.h"
#include "win32/picture.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr wchar_t kAboutClassName[] = L"TallywickAbout";
constexpr DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

bool IsLink(int id) { return id == kAboutLabel3 || id == kAboutLabel4 || id == kAboutLabel6; }

std::string LinkTarget(int id) {
  switch (id) {
    case kAboutLabel3:
      return AuthorProfileUrl();
    case kAboutLabel4:
      return MakerSiteUrl();
    default:
      return SupportDiaryUrl();
  }
}

}  // namespace

AboutWindow::AboutWindow() : timer1_(1, kAboutBlinkMs), pictures_(IDB_ABOUT_CLOSE, IDB_ABOUT_CLOSE_HOVER) {}

AboutWindow::~AboutWindow() {
  timer1_.Stop();
  Destroy();
}

bool AboutWindow::Create(HWND owner) {
  RECT frame{0, 0, kAboutClientWidth, kAboutClientHeight};
  AdjustWindowRectEx(&frame, kAboutStyle, FALSE, WS_EX_DLGMODALFRAME);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const auto [x, y] = OpeningCorner({width, height}, owner);
  if (!CreateWindowOf(kAboutClassName, WS_EX_DLGMODALFRAME, kAboutStyle, win::Widen(kAboutCaption), x, y,
                      width, height, owner, nullptr)) {
    return false;
  }
  CreateControls();
  win::UseKeyboardNavigation(Handle());  // Esc closes, as the cross does
  layout_.Capture(Handle());
  for (int id : {kAboutLabel3, kAboutLabel4, kAboutLabel6})
    layout_.SetFont(GetDlgItem(Handle(), id), win::DpiLayout::FontKind::Link);
  ApplyDpi(win::DpiOf(Handle()));
  timer1_.Attach(Handle());
  timer1_.Start();
  return true;
}

void AboutWindow::ShowModal(HWND owner) {
  if (Handle() == nullptr && !Create(owner)) return;
  win::RunModal(owner, Handle());
}

void AboutWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  win::DpiSteps steps;
  steps.make = [this](UINT dpi, win::RetiredGdi& retired) { pictures_.Load(dpi, retired); };
  win::ChangeDpi(layout_, {kAboutClientWidth, kAboutClientHeight}, dpi, suggested, steps);
}

HWND AboutWindow::AddLabel(int id, const std::string& text, int x, int y, int width, bool link) {
  return win::CreateLabel(Handle(), id, text, x, y, width, 16, link ? SS_NOTIFY : 0);
}

void AboutWindow::CreateControls() {
  AddLabel(kAboutLabel1, AboutVersionLine(kProgramVersion), 16, 14, 200, false);
  AddLabel(kAboutLabel2, kAboutAuthorLabel, 16, 44, 124, false);
  AddLabel(kAboutLabel3, kAboutAuthorName, 144, 44, 140, true);
  AddLabel(kAboutLabel5, kAboutSiteLabel, 16, 66, 124, false);
  AddLabel(kAboutLabel4, MakerSiteText(), 144, 66, 140, true);
  // Wide enough for the whole name of the community on one line.
  AddLabel(kAboutLabel6, kAboutSupport, 32, 114, 200, true);

  XpButtonProperties props = FacePictureButton();
  close_.Create(Handle(), kAboutXpB1, kAboutClientWidth - 56, kAboutClientHeight - 56, 44, 44, props);
  pictures_.Attach(close_);
  close_.events.Click = [this] { Destroy(); };
  close_.SetAccessibleName(cp1251("Закрыть"));
  for (int id : {kAboutLabel3, kAboutLabel4, kAboutLabel6}) win::MakeKeyboardLink(GetDlgItem(Handle(), id));
}

void AboutWindow::OnPaint() {
  win::PaintDc paint(Handle());
  RECT client{};
  GetClientRect(Handle(), &client);
  FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
  if (s1Visible_) {
    win::Brush brush(CreateSolidBrush(RGB(220, 40, 40)));
    win::Pen pen(CreatePen(PS_SOLID, 1, RGB(150, 20, 20)));
    win::SelectObjectRestorer b(paint.Get(), brush.Get());
    win::SelectObjectRestorer p(paint.Get(), pen.Get());
    const RECT s1 = layout_.Scale(kAboutS1Rect);
    Ellipse(paint.Get(), s1.left, s1.top, s1.right, s1.bottom);
  }
}

LRESULT AboutWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == timer1_.Id()) {
        s1Visible_ = !s1Visible_;
        const RECT s1 = layout_.Scale(kAboutS1Rect);
        InvalidateRect(Handle(), &s1, FALSE);
      }
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) == STN_CLICKED && IsLink(id)) win::OpenUrl(LinkTarget(id));
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      SetTextColor(dc, IsLink(id) ? RGB(0, 0, 192) : GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (IsLink(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(win::DpiOfMessage(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      return win::DpiScaledSize(Handle(), {kAboutClientWidth, kAboutClientHeight}, wParam, lParam);
    case WM_DESTROY:
      timer1_.Stop();
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace tw
