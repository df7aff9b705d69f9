#include "settings/options_window.h"

#include "program/resource_ids.h"
#include "win32/gdi.h"
#include "win32/keyboard_link.h"
#include "win32/label.h"
#include "win32/message_box.h"
#include "win32/picture.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr DWORD kOptionsStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr wchar_t kHelpPictureClassName[] = L"TallywickOptionsHelp";
constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kTimer2Id = 2;

constexpr int kPictureResource[] = {
    0, IDB_OPTIONS_OK, IDB_OPTIONS_OK_HOVER, IDB_OPTIONS_CANCEL, IDB_OPTIONS_CANCEL_HOVER, IDB_OPTIONS_HELP};

// The layout: left column of labels, fields from kFieldX.
constexpr int kLeft = 20;
constexpr int kFieldX = 96;
constexpr int kFieldWidth = 160;
constexpr int kFieldHeight = 21;
constexpr int kCheckLabelX = kLeft + 20;
constexpr int kSignInTop = 12;
constexpr int kNetworkTop = 196;
constexpr int kAutoCheckTop = 364;
constexpr int kButtonSide = 56;

// Decoration: the lines under the two headings, above the daily check and
// above the buttons.
constexpr int kHeadingLineY[] = {kSignInTop + 19, kNetworkTop + 19, kAutoCheckTop - 8,
                                 kOptionsClientHeight - kButtonSide - 16};

// The labels that name a check box; a click on one toggles its box.
int CheckOfLabel(int label) {
  switch (label) {
    case 3:
      return 1;
    case 7:
      return 2;
    case 11:
      return 3;
    case 12:
      return 4;
    case 15:
      return 5;
    default:
      return 0;
  }
}

// Replaces the list of a combo box.
void FillCombo(HWND combo, const std::vector<std::string>& entries) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) {
    const std::wstring text = win::Widen(entry);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

}  // namespace

LRESULT OptionsWindow::HelpPicture::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (onPress) onPress(1);
      return 0;
    case WM_RBUTTONDOWN:
      if (onPress) onPress(2);
      return 0;
    case WM_MBUTTONDOWN:
      if (onPress) onPress(4);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      win::PaintDc paint(Handle());
      RECT r{};
      GetClientRect(Handle(), &r);
      FillRect(paint.Get(), &r, GetSysColorBrush(COLOR_BTNFACE));
      if (bitmap != nullptr) {
        win::MemoryDc source(CreateCompatibleDC(paint.Get()));
        win::SelectObjectRestorer selected(source.Get(), bitmap);
        TransparentBlt(paint.Get(), 0, 0, r.right, r.bottom, source.Get(), 0, 0, r.right, r.bottom,
                       RGB(255, 255, 255));
      }
      return 0;
    }
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_HELP));
      return TRUE;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

OptionsWindow::OptionsWindow(MainProgramValues& values, DailyCheckTask* task)
    : model_(*this, values, task != nullptr ? task : &schedulerTask_),
      timer1_(kTimer1Id, kOptionsTimerInterval),
      timer2_(kTimer2Id, kOptionsTimerInterval) {}

OptionsWindow::~OptionsWindow() {
  timer1_.Stop();
  timer2_.Stop();
  idTip_.reset();
  Destroy();
}

bool OptionsWindow::Load(int show) {
  RECT frame{0, 0, kOptionsClientWidth, kOptionsClientHeight};
  AdjustWindowRectEx(&frame, kOptionsStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const auto [x, y] = OpeningCorner({width, height});
  if (!CreateWindowOf(kOptionsClassName, 0, kOptionsStyle, win::Widen(kOptionsCaption), x, y, width, height,
                      nullptr, nullptr)) {
    return false;
  }
  timer1_.Attach(Handle());
  timer2_.Attach(Handle());
  CreateControls();
  layout_.Capture(Handle());
  layout_.SetFont(Control(kOptionsLabel(2)), win::DpiLayout::FontKind::Bold);
  layout_.SetFont(Control(kOptionsLabel(10)), win::DpiLayout::FontKind::Bold);
  layout_.SetFont(Control(kOptionsHistory), win::DpiLayout::FontKind::Link);
  layout_.AddPopup(tooltip_);
  ApplyDpi(win::DpiOf(Handle()));
  // Esc cancels (WM_CLOSE), Enter in a text field is the tick.
  win::UseKeyboardNavigation(Handle(), accept_.Handle());
  model_.Load();
  ShowWindow(Handle(), show);
  UpdateWindow(Handle());
  if (HWND combo = Control(kOptionsCombo1); combo != nullptr) SetFocus(combo);
  return true;
}

void OptionsWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  // The buttons keep showing the same picture (normal or hovered), made anew.
  auto shown = [this](XpButton& button) {
    for (int i = 1; i < static_cast<int>(pictures_.size()); ++i) {
      if (button.Picture().bitmap != nullptr && button.Picture().bitmap == pictures_[i].Get()) return i;
    }
    return 0;
  };
  win::DpiSteps steps;
  steps.make = [this, shown](UINT dpi, win::RetiredGdi& retired) {
    const int acceptShown = shown(accept_);
    const int cancelShown = shown(cancel_);
    for (int i = 1; i < static_cast<int>(pictures_.size()); ++i) {
      retired.Keep(pictures_[i]);
      pictures_[i].Reset(win::LoadPicture(kPictureResource[i], dpi));
    }
    picture5_.bitmap = pictures_[5].Get();
    if (acceptShown != 0) accept_.SetPicture({pictures_[acceptShown].Get(), nullptr});
    if (cancelShown != 0) cancel_.SetPicture({pictures_[cancelShown].Get(), nullptr});
  };
  steps.laidOut = [this](UINT dpi) {
    if (idTip_) idTip_->SetDpi(dpi);
  };
  win::ChangeDpi(layout_, {kOptionsClientWidth, kOptionsClientHeight}, dpi, suggested, steps);
}

HWND OptionsWindow::AddLabel(int n, const std::string& text, int x, int y, int width, int height) {
  const DWORD notify = CheckOfLabel(n) != 0 ? SS_NOTIFY : 0;
  return win::CreateLabel(Handle(), kOptionsLabel(n), text, x, y, width, height, notify);
}

HWND OptionsWindow::AddText(int n, int x, int y, int width, bool password) {
  HWND edit = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (password ? ES_PASSWORD : 0), x, y, width,
      kFieldHeight, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOptionsText(n))),
      win::ProgramInstance(), nullptr);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (password) SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
  return edit;
}

void OptionsWindow::AddCheck(int n, int x, int y) {
  CheckBox& check = checks_[n - 1];
  check.Create(Handle(), kOptionsCheck(n), x, y);
  if (n == 1) check.events.Click = [this] { model_.OnCheck1Click(checks_[0].Value()); };
}

void OptionsWindow::CreateControls() {
  // Sign-in group.
  int y = kSignInTop;
  AddLabel(2, cp1251("Авторизация на дневниках"), kLeft - 8, y, 300, 16);
  y += 30;
  AddLabel(1, cp1251("ID пользователя для проверки:"), kLeft, y + 3, 196);
  HWND combo = CreateWindowExW(
      0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
      220, y, 100, 200, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOptionsCombo1)),
      win::ProgramInstance(), nullptr);
  SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  picture5_.bitmap = pictures_[5].Get();
  picture5_.CreateWindowOf(kHelpPictureClassName, 0, WS_CHILD | WS_VISIBLE, L"", 328, y + 2, 16, 16, Handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOptionsPicture5)));
  picture5_.onPress = [this](int button) { model_.OnPicture5MouseDown(button); };
  y += 30;
  AddCheck(1, kLeft, y + 1);
  AddLabel(3, cp1251("Использовать анонимный вход"), kCheckLabelX, y, 260);
  y += 26;
  AddLabel(4, cp1251("Профиль пользователя должен быть доступен для анонимного (гостевого) просмотра."),
           kLeft, y + 4, 296, 32);
  AddLabel(5, cp1251("Логин:"), kLeft, y + 3, 70);
  AddText(1, kFieldX, y, kFieldWidth, false);
  y += 28;
  AddLabel(6, cp1251("Пароль:"), kLeft, y + 3, 70);
  AddText(2, kFieldX, y, kFieldWidth, true);
  y += 30;
  AddCheck(2, kLeft, y + 1);
  AddLabel(7, cp1251("Сохранить логин и пароль"), kCheckLabelX, y, 260);

  // Network group.
  y = kNetworkTop;
  AddLabel(10, cp1251("Настройки сети"), kLeft - 8, y, 300, 16);
  y += 30;
  AddCheck(3, kLeft, y + 1);
  AddLabel(11, cp1251("Использовать прокси-сервер"), kCheckLabelX, y, 260);
  y += 24;
  AddLabel(8, cp1251("Адрес:"), kLeft, y + 3, 70);
  AddText(3, kFieldX, y, 120, false);
  AddLabel(9, cp1251("Порт:"), 226, y + 3, 36);
  AddText(4, 264, y, 52, false);
  y += 30;
  AddCheck(4, kLeft, y + 1);
  AddLabel(12, cp1251("Авторизация на прокси"), kCheckLabelX, y, 260);
  y += 24;
  AddLabel(13, cp1251("Логин:"), kLeft, y + 3, 70);
  AddText(5, kFieldX, y, kFieldWidth, false);
  y += 28;
  AddLabel(14, cp1251("Пароль:"), kLeft, y + 3, 70);
  AddText(6, kFieldX, y, kFieldWidth, true);

  // The daily background check.
  y = kAutoCheckTop;
  AddCheck(5, kLeft, y + 3);
  AddLabel(15, kAutoCheckLabel, kCheckLabelX, y + 2, 250);
  HWND hours = CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 292, y, 62,
                               200, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOptionsCombo2)),
                               win::ProgramInstance(), nullptr);
  SendMessageW(hours, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  AddLabel(16, "", kCheckLabelX, y + 26, kOptionsClientWidth - kCheckLabelX - 16, 28);

  // Buttons.
  XpButtonProperties props = FacePictureButton();
  const int buttonY = kOptionsClientHeight - kButtonSide - 8;
  accept_.Create(Handle(), kOptionsXpB1, kOptionsClientWidth - 2 * kButtonSide - 24, buttonY, kButtonSide,
                 kButtonSide, props);
  cancel_.Create(Handle(), kOptionsXpB2, kOptionsClientWidth - kButtonSide - 16, buttonY, kButtonSide,
                 kButtonSide, props);
  accept_.events.MouseIn = [this](int&) { model_.OnButtonHover(1, true); };
  accept_.events.MouseOut = [this](int&) { model_.OnButtonHover(1, false); };
  accept_.events.Click = [this] { model_.OnXpB1Click(); };
  cancel_.events.MouseIn = [this](int&) { model_.OnButtonHover(2, true); };
  cancel_.events.MouseOut = [this](int&) { model_.OnButtonHover(2, false); };
  cancel_.events.Click = [this] { model_.OnXpB2Click(); };
  accept_.SetAccessibleName(cp1251("Сохранить"));
  cancel_.SetAccessibleName(cp1251("Отмена"));
  for (int n = 1; n <= 15; ++n) {
    if (const int check = CheckOfLabel(n); check != 0)
      checks_[check - 1].SetAccessibleName(TextOf(Control(kOptionsLabel(n))));
  }

  const HWND history = win::CreateLabel(Handle(), kOptionsHistory, kOptionsHistoryLink, kLeft,
                                        buttonY + (kButtonSide - 16) / 2, 150, 16, SS_NOTIFY);
  ShowWindow(history, model_.HistoryLinkShown() ? SW_SHOWNA : SW_HIDE);
  win::MakeKeyboardLink(history);
  // Tab follows the reading order: the link sits under the daily check's row,
  // left of the buttons.
  SetWindowPos(history, Control(kOptionsCombo2), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                             win::ProgramInstance(), nullptr);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(picture5_.Handle());
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string OptionsWindow::TextOf(HWND control) const {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return win::Narrow(text);
}

void OptionsWindow::SetTextOf(HWND control, const std::string& text) {
  SetWindowTextW(control, win::Widen(text).c_str());
}

void OptionsWindow::ShowFields(const OptionsFields& f) {
  checks_[0].SetValue(f.Check1);
  SetTextOf(Control(kOptionsText(1)), f.Text1);
  SetTextOf(Control(kOptionsText(2)), f.Text2);
  checks_[1].SetValue(f.Check2);
  checks_[2].SetValue(f.Check3);
  SetTextOf(Control(kOptionsText(3)), f.Text3);
  SetTextOf(Control(kOptionsText(4)), f.Text4);
  checks_[3].SetValue(f.Check4);
  SetTextOf(Control(kOptionsText(5)), f.Text5);
  SetTextOf(Control(kOptionsText(6)), f.Text6);
  checks_[4].SetValue(f.Check5);
  // An hour typed into options.ini by hand is offered as it is.
  HWND hours = Control(kOptionsCombo2);
  const std::wstring time = win::Widen(f.Combo2);
  LRESULT index = SendMessageW(hours, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(time.c_str()));
  if (index == CB_ERR) index = SendMessageW(hours, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(time.c_str()));
  SendMessageW(hours, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

OptionsFields OptionsWindow::ReadFields() {
  OptionsFields f;
  f.Combo1 = TextOf(Control(kOptionsCombo1));
  f.Check1 = checks_[0].Value();
  f.Text1 = TextOf(Control(kOptionsText(1)));
  f.Text2 = TextOf(Control(kOptionsText(2)));
  f.Check2 = checks_[1].Value();
  f.Check3 = checks_[2].Value();
  f.Text3 = TextOf(Control(kOptionsText(3)));
  f.Text4 = TextOf(Control(kOptionsText(4)));
  f.Check4 = checks_[3].Value();
  f.Text5 = TextOf(Control(kOptionsText(5)));
  f.Text6 = TextOf(Control(kOptionsText(6)));
  f.Check5 = checks_[4].Value();
  f.Combo2 = TextOf(Control(kOptionsCombo2));
  return f;
}

void OptionsWindow::SetLoginFieldsVisible(bool visible) {
  const int shown = visible ? SW_SHOWNA : SW_HIDE;
  for (int id : {kOptionsLabel(5), kOptionsLabel(6), kOptionsLabel(7), kOptionsText(1), kOptionsText(2)}) {
    ShowWindow(Control(id), shown);
  }
  ShowWindow(checks_[1].Handle(), shown);
  ShowWindow(Control(kOptionsLabel(4)), visible ? SW_HIDE : SW_SHOWNA);
}

void OptionsWindow::SetProfileList(const std::vector<std::string>& entries) {
  FillCombo(Control(kOptionsCombo1), entries);
}

void OptionsWindow::SetCheckTimes(const std::vector<std::string>& times) {
  FillCombo(Control(kOptionsCombo2), times);
}

void OptionsWindow::SetLastCheckText(const std::string& text) {
  SetTextOf(Control(kOptionsLastCheckLabel), text);
}

void OptionsWindow::SetComboText(const std::string& text) { SetTextOf(Control(kOptionsCombo1), text); }

void OptionsWindow::SetTimer(OptionsTimer timer, bool enabled) {
  (timer == OptionsTimer::Timer1 ? timer1_ : timer2_).SetEnabled(enabled);
}

void OptionsWindow::SetButtonPicture(int xpb, OptionsPicture picture) {
  XpB(xpb).SetPicture({PictureBitmap(picture), nullptr});
}

void OptionsWindow::FocusAccept() { SetFocus(accept_.Handle()); }

bool OptionsWindow::Ask(const std::string& question) {
  if (askHook) return askHook(question);
  return win::AskYesNo(Handle(), question);
}

void OptionsWindow::ShowMessage(const std::string& text) {
  if (messageHook) {
    messageHook(text);
    return;
  }
  win::ShowInformation(Handle(), text);
}

void OptionsWindow::ShowIDHelp(const std::string& title, const std::string& text) {
  idTip_ = std::make_unique<InfoTip>();
  idTip_->SetParenthWnd(Handle());
  idTip_->SetDpi(layout_.Dpi());
  idTip_->SetShowTitle(true);
  idTip_->SetUseTimeOut(false);
  idTip_->SetDropShadow(false);
  idTip_->SetTitle(title);
  idTip_->SetText(text);
  idTip_->Show("", "");
}

void OptionsWindow::CloseIDHelp() { idTip_.reset(); }

bool OptionsWindow::PointerOverPicture5() {
  POINT p{};
  if (!GetCursorPos(&p)) return false;
  return WindowFromPoint(p) == picture5_.Handle();
}

void OptionsWindow::SetPicture5Tooltip(const std::string& text) {
  picture5Tip_ = win::Widen(text);
  if (tooltip_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(picture5_.Handle());
  tool.lpszText = picture5Tip_.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  if (picture5Tip_.empty()) SendMessageW(tooltip_, TTM_POP, 0, 0);
}

void OptionsWindow::Close() {
  if (closed_) return;
  closed_ = true;
  timer1_.Stop();
  timer2_.Stop();
  Destroy();
  if (onClosed) onClosed();
}

void OptionsWindow::OnCommand(int id, int code) {
  if (id == kOptionsHistory && code == STN_CLICKED) {
    if (onShowHistory) onShowHistory();
    return;
  }
  if (id == kOptionsCombo1 && code == CBN_SELCHANGE) {
    // The edit part still shows the old text here; the picked entry is
    // what the click is about.
    HWND combo = Control(kOptionsCombo1);
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    model_.OnCombo1Click(win::Narrow(text));
    return;
  }
  if (code == STN_CLICKED && id > kOptionsLabel(0) && id <= kOptionsLabel(16)) {
    if (const int n = CheckOfLabel(id - kOptionsLabel(0)); n != 0) {
      CheckBox& check = checks_[n - 1];
      // Only what the user can see and use answers to its label.
      if (IsWindowVisible(check.Handle()) && check.Enabled()) check.SetValue(!check.Value());
    }
  }
}

void OptionsWindow::OnPaint() {
  win::PaintDc paint(Handle());
  RECT client{};
  GetClientRect(Handle(), &client);
  FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
  win::Pen shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  win::Pen light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  const int left = layout_.Scale(12);
  const int right = layout_.Scale(kOptionsClientWidth - 12);
  for (int y100 : kHeadingLineY) {
    const int y = layout_.Scale(y100);
    {
      win::SelectObjectRestorer pen(paint.Get(), shadow.Get());
      MoveToEx(paint.Get(), left, y, nullptr);
      LineTo(paint.Get(), right, y);
    }
    win::SelectObjectRestorer pen(paint.Get(), light.Get());
    MoveToEx(paint.Get(), left, y + 1, nullptr);
    LineTo(paint.Get(), right, y + 1);
  }
}

LRESULT OptionsWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == kTimer1Id) model_.OnTimer(OptionsTimer::Timer1);
      if (wParam == kTimer2Id) model_.OnTimer(OptionsTimer::Timer2);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const bool link = reinterpret_cast<HWND>(lParam) == Control(kOptionsHistory);
      SetTextColor(dc, link ? win::kLinkColor : GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (win::SetLinkCursor(reinterpret_cast<HWND>(wParam), Control(kOptionsHistory))) return TRUE;
      break;
    case WM_SYSCHAR:
      if (DispatchAccessKey(Handle(), static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_DPICHANGED:
      ApplyDpi(win::DpiOfMessage(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      win::KeepClientSize(layout_, {kOptionsClientWidth, kOptionsClientHeight}, wParam);
      break;
    case WM_GETDPISCALEDSIZE:
      return win::DpiScaledSize(Handle(), {kOptionsClientWidth, kOptionsClientHeight}, wParam, lParam);
    case WM_CLOSE:
      // The close box of the frame cancels, like XpB2.
      model_.OnXpB2Click();
      return 0;
    case WM_DESTROY:
      timer1_.Stop();
      timer2_.Stop();
      idTip_.reset();
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace tw
