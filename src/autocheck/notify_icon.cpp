#include "autocheck/notify_icon.h"

#include "autocheck/task_definition.h"
#include "program/resource_ids.h"
#include "text/cp1251.h"
#include "win32/handle.h"
#include "win32/shell.h"
#include "win32/wide_text.h"
#include "win32/window.h"
#include "win32/windows_headers.h"

namespace tw::win {

namespace {

constexpr UINT kIconMessage = WM_APP + 21;
constexpr UINT kIconId = 1;
constexpr UINT kShowChanges = 1;
constexpr UINT kCloseIcon = 2;

template <std::size_t N>
void CopyInto(wchar_t (&target)[N], const std::wstring& text) {
  lstrcpynW(target, text.c_str(), static_cast<int>(N));
}

class NotifyWindow : public Window {
 public:
  NotifyWindow(const std::filesystem::path& folder, const CheckNotice& notice)
      : title_(Widen(NoticeTitle(notice))), text_(Widen(NoticeText(notice))) {
    if (!CreateWindowOf(kNotifyClassName, WS_EX_TOOLWINDOW, WS_OVERLAPPED, NotifyWindowTitle(folder), 0, 0, 0,
                        0, nullptr, nullptr)) {
      return;
    }
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    const int size = GetSystemMetrics(SM_CXSMICON);
    icon_ = static_cast<HICON>(LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDI_TALLYWICK), IMAGE_ICON,
                                          size, size, LR_DEFAULTCOLOR));
    AddIcon();
  }
  ~NotifyWindow() override {
    RemoveIcon();
    Destroy();
    if (icon_ != nullptr) DestroyIcon(icon_);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == taskbarCreated_ && msg != 0) {
      // The taskbar is (again) there: the icon is put back, with its balloon
      // if that was never seen (a check right after logon).
      shown_ = false;
      AddIcon(!balloonShown_);
      return 0;
    }
    switch (msg) {
      case kIconMessage:
        switch (LOWORD(lParam)) {
          case WM_LBUTTONUP:
          case NIN_BALLOONUSERCLICK:
            ShowChanges();
            break;
          case WM_RBUTTONUP:
          case WM_CONTEXTMENU:
            ShowMenu();
            break;
          default:
            break;
        }
        return 0;
      case WM_CLOSE:
        // A newer check's icon takes this one's place.
        Finish();
        return 0;
      case WM_DESTROY:
        RemoveIcon();
        PostQuitMessage(0);
        break;
      default:
        break;
    }
    return Default(msg, wParam, lParam);
  }

 private:
  NOTIFYICONDATAW Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = Handle();
    data.uID = kIconId;
    return data;
  }
  void AddIcon(bool balloon = true) {
    NOTIFYICONDATAW data = Data();
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP | (balloon ? NIF_INFO : 0);
    data.uCallbackMessage = kIconMessage;
    data.hIcon = icon_;
    CopyInto(data.szTip, title_);
    CopyInto(data.szInfoTitle, title_);
    CopyInto(data.szInfo, text_);
    data.dwInfoFlags = NIIF_INFO;
    shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (shown_ && balloon) balloonShown_ = true;
  }
  void RemoveIcon() {
    if (!shown_) return;
    NOTIFYICONDATAW data = Data();
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
  }
  void Finish() {
    RemoveIcon();
    DestroyWindow(Handle());
  }
  void ShowChanges() {
    // The report process may bring its window to the front.
    AllowSetForegroundWindow(ASFW_ANY);
    if (StartThisProgram(L"/report")) Finish();
  }
  void ShowMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kShowChanges, Widen(cp1251("Показать изменения")).c_str());
    AppendMenuW(menu, MF_STRING, kCloseIcon, Widen(cp1251("Закрыть")).c_str());
    SetMenuDefaultItem(menu, kShowChanges, FALSE);
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its owner is
    // in the foreground.
    SetForegroundWindow(Handle());
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Handle(), nullptr));
    PostMessageW(Handle(), WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (command == kShowChanges) ShowChanges();
    if (command == kCloseIcon) Finish();
  }

  std::wstring title_;
  std::wstring text_;
  HICON icon_ = nullptr;
  UINT taskbarCreated_ = 0;
  bool shown_ = false;
  bool balloonShown_ = false;
};

}  // namespace

std::wstring NotifyWindowTitle(const std::filesystem::path& programFolder) {
  const std::string id = FolderId(programFolder);
  return L"Tallywick notify " + std::wstring(id.begin(), id.end());
}

bool StartThisProgram(const std::wstring& arguments) {
  const std::wstring exe = ProgramExe().wstring();
  const std::wstring folder = ProgramFolder().wstring();
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  // Out of the task's job when it has one, so the end of the task does not
  // take the waiting icon with it.
  for (DWORD flags : {static_cast<DWORD>(CREATE_BREAKAWAY_FROM_JOB), DWORD{0}}) {
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                       folder.c_str(), &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      return true;
    }
  }
  return false;
}

bool StartNotifier(const std::filesystem::path& programFolder, const CheckNotice& notice) {
  if (HWND older = FindWindowW(kNotifyClassName, NotifyWindowTitle(programFolder).c_str());
      older != nullptr) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(older, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  }
  std::wstring arguments = L"/notify";
  for (const std::string& argument : NoticeArguments(notice)) arguments += L" " + Widen(argument);
  return StartThisProgram(arguments);
}

int RunNotifyIcon(const std::filesystem::path& programFolder, const CheckNotice& notice) {
  NotifyWindow window(programFolder, notice);
  // Without a taskbar yet the icon waits for it (TaskbarCreated).
  if (window.Handle() == nullptr) return 1;
  return RunMessageLoop();
}

}  // namespace tw::win
