#include "controls/info_tip.h"

#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

// The tip's own colour rule (top byte 0x80), not the button's (top bit).
COLORREF TipColor(Color color) {
  return ResolveTipColor(color, [](int index) { return static_cast<Color>(GetSysColor(index)); });
}

constexpr wchar_t kClassName[] = L"TallywickInfoTip";

UINT AlignmentFlag(int alignment) {
  switch (alignment) {
    case 1:
      return DT_CENTER;
    case 2:
      return DT_RIGHT;
    default:
      return DT_LEFT;
  }
}

// The status-bar font of the system for `dpi`; the GUI font when the
// metrics are not to be had.
LOGFONTW StatusFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  if (win::NonClientMetricsFor(dpi, metrics)) return metrics.lfStatusFont;
  LOGFONTW font{};
  GetObjectW(win::GuiFontFor(dpi).Get(), sizeof(font), &font);
  return font;
}

void SolidLine(HDC dc, COLORREF color, const POINT* points, int count) {
  win::Pen pen(CreatePen(PS_SOLID, 1, color));
  win::SelectObjectRestorer selected(dc, pen.Get());
  Polyline(dc, points, count);
}

}  // namespace

InfoTip::InfoTip() = default;

InfoTip::~InfoTip() { Hide(); }

UINT InfoTip::Dpi() const { return dpi_ != 0 ? dpi_ : win::DpiOf(owner_); }

win::Font InfoTip::MakeFont(UINT dpi, bool title) const {
  LOGFONTW status = StatusFont(dpi);
  TipFont statusFont;
  statusFont.height = status.lfHeight;
  statusFont.weight = status.lfWeight;
  statusFont.italic = status.lfItalic != 0;
  statusFont.underline = status.lfUnderline != 0;
  statusFont.strikeOut = status.lfStrikeOut != 0;
  statusFont.charSet = status.lfCharSet;
  const TipFont chosen = ChooseTipFont(props_, statusFont, static_cast<int>(dpi), title);

  LOGFONTW font = status;  // keeps the system's face name exactly as it is
  font.lfHeight = chosen.height;
  font.lfWidth = 0;
  font.lfWeight = chosen.weight;
  font.lfItalic = chosen.italic ? TRUE : FALSE;
  font.lfUnderline = chosen.underline ? TRUE : FALSE;
  font.lfStrikeOut = chosen.strikeOut ? TRUE : FALSE;
  font.lfCharSet = static_cast<BYTE>(chosen.charSet);
  if (!props_.UseSystemFont) {
    const std::wstring face = win::Widen(props_.FontName);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  }
  return win::Font(CreateFontIndirectW(&font));
}

void InfoTip::Show(const std::string& message, const std::string& title) {
  const std::wstring text =
      win::Widen(ExpandTipTabs(message.empty() ? props_.Text : message, props_.TabSize));
  const std::wstring heading = win::Widen(RemoveTipTabs(title.empty() ? props_.Title : title));

  if (Handle() == nullptr) {
    // Never activated, never in the task bar, and the pointer goes through.
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    if (!CreateWindowOf(kClassName, exStyle, WS_POPUP, L"", 0, 0, 0, 0, owner_, nullptr)) return;
  }

  const UINT dpi = Dpi();
  const int padding = ScaleToDpi(props_.Padding, static_cast<int>(dpi));
  Size measured;
  int titleHeight = 0;
  {
    win::WindowDc dc(Handle());
    win::Font font = MakeFont(dpi, false);
    win::SelectObjectRestorer selected(dc.Get(), font.Get());
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
    measured = {r.right - r.left, r.bottom - r.top};
    SIZE extent{};
    if (!heading.empty() &&
        GetTextExtentPoint32W(dc.Get(), heading.c_str(), static_cast<int>(heading.size()), &extent)) {
      titleHeight = extent.cy;
    } else {
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc.Get(), &metrics);
      titleHeight = metrics.tmHeight;
    }
  }

  const Size body = InfoTipBodySize(measured, titleHeight, padding, props_.ShowTitle);
  POINT pointer{};
  GetCursorPos(&pointer);
  const RECT work = win::WorkAreaOf(owner_ != nullptr ? MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST)
                                                      : MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST));
  const Point at = PlaceInfoTip({pointer.x, pointer.y}, body, padding,
                                {work.left, work.top, work.right, work.bottom}, static_cast<int>(dpi));
  const Size window = InfoTipWindowSize(body, props_.DropShadow, static_cast<int>(dpi));

  {
    // What the screen shows there now: the shadow bands darken it. Where a
    // tip already shown covers the screen, what lay behind it is kept from
    // its own showing, so a shadow is never made of a shadow.
    win::WindowDc screen(nullptr);
    auto behind = std::make_unique<win::OffscreenSurface>(screen.Get(), window.width, window.height);
    BitBlt(behind->Dc(), 0, 0, window.width, window.height, screen.Get(), at.x, at.y, SRCCOPY);
    if (behind_ && IsWindowVisible(Handle())) {
      BitBlt(behind->Dc(), behindRect_.left - at.x, behindRect_.top - at.y, behind_->Width(),
             behind_->Height(), behind_->Dc(), 0, 0, SRCCOPY);
    }
    surface_ = std::make_unique<win::OffscreenSurface>(screen.Get(), window.width, window.height);
    BitBlt(surface_->Dc(), 0, 0, window.width, window.height, behind->Dc(), 0, 0, SRCCOPY);
    behind_ = std::move(behind);
    behindRect_ = {at.x, at.y, at.x + window.width, at.y + window.height};
  }
  Paint(surface_->Dc(), body, text, heading, titleHeight, dpi);
  if (props_.DropShadow) DrawShadow(surface_->Dc(), window, dpi);

  SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, window.width, window.height,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

void InfoTip::Paint(HDC dc, Size body, const std::wstring& message, const std::wstring& title,
                    int titleHeight, UINT dpi) {
  const int padding = ScaleToDpi(props_.Padding, static_cast<int>(dpi));
  RECT all{0, 0, body.width, body.height};
  drawn_.clear();
  auto draw = [&](const std::wstring& text, RECT r, HFONT font, UINT format) {
    DrawnText drawn{text, r, {}, format};
    GetObjectW(font, sizeof(drawn.font), &drawn.font);
    drawn_.push_back(drawn);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  };
  {
    win::Brush back(CreateSolidBrush(TipColor(props_.BackColor)));
    FillRect(dc, &all, back.Get());
  }
  if (props_.BorderStyle == 0) {
    DrawEdge(dc, &all, BDR_RAISEDOUTER, BF_RECT);
  } else if (props_.BorderStyle == 1) {
    const POINT frame[] = {
        {0, 0}, {body.width - 1, 0}, {body.width - 1, body.height - 1}, {0, body.height - 1}, {0, 0}};
    SolidLine(dc, TipColor(props_.BorderColor), frame, 5);
  }

  const Rect area = InfoTipTextArea(body, padding);
  RECT r{area.left, area.top, area.right, area.bottom};
  SetBkMode(dc, TRANSPARENT);
  if (props_.ShowTitle) {
    win::Font font = MakeFont(dpi, true);
    win::SelectObjectRestorer selected(dc, font.Get());
    SetTextColor(dc, TipColor(props_.TitleColor));
    draw(title, r, font.Get(), AlignmentFlag(props_.TitleAlignment) | DT_EXPANDTABS | DT_NOPREFIX);
  }
  win::Font font = MakeFont(dpi, false);
  win::SelectObjectRestorer selected(dc, font.Get());
  SetTextColor(dc, TipColor(props_.ForeColor));
  if (props_.ShowTitle) {
    const InfoTipSeparator separator = PlaceTipSeparator(area, titleHeight, padding);
    const POINT line[] = {{area.left, separator.y}, {area.right, separator.y}};
    SolidLine(dc, TipColor(props_.BorderColor), line, 2);
    r.top = separator.textTop;
  }
  draw(message, r, font.Get(), AlignmentFlag(props_.TextAlignment) | DT_EXPANDTABS | DT_NOPREFIX);
}

void InfoTip::DrawShadow(HDC dc, Size window, UINT dpi) {
  const int band = ScaleToDpi(kInfoTipShadow, static_cast<int>(dpi));
  // `dc` holds the screen behind the tip wherever the body was not painted.
  auto darken = [&](int column, int row) {
    const int amount = ShadowAmount(column, row, window.width, window.height, static_cast<int>(dpi));
    if (amount == 0) return;
    const COLORREF under = GetPixel(dc, column, row);
    if (under == CLR_INVALID) return;
    SetPixel(dc, column, row, DarkenColor(under, amount));
  };
  for (int i = 1; i <= band; ++i) {
    for (int row = 0; row < window.height; ++row) darken(window.width - i, row);
  }
  for (int d = 1; d <= band; ++d) {
    for (int column = 0; column < window.width - band; ++column) darken(column, window.height - d);
  }
}

void InfoTip::Hide() {
  Destroy();
  surface_.reset();
  behind_.reset();
  if (Closed) Closed();
}

void InfoTip::About() {
  ShellAboutW(owner_, L"CInfoTip", (L"CInfoTip v" + win::Widen(kInfoTipVersion)).c_str(),
              LoadIconW(nullptr, IDI_INFORMATION));
}

LRESULT InfoTip::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      win::PaintDc paint(Handle());
      if (surface_) {
        BitBlt(paint.Get(), 0, 0, surface_->Width(), surface_->Height(), surface_->Dc(), 0, 0, SRCCOPY);
      }
      return 0;
    }
    default:
      return Default(msg, wParam, lParam);
  }
}

}  // namespace tw
