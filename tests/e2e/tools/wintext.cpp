// wintext: prints what a top-level window shows, for the end-to-end scripts.
//
//   wintext.exe "<window caption>"
//
// Finds the top-level window with exactly that caption (a visible one first
// when several share it) and prints, as UTF-8, one line per field group,
// fields separated by tabs:
//
//   window  <visible 0|1> <x> <y> <width> <height> <caption>
//                         (the client area in screen coordinates)
//   control <class> <id> <visible 0|1> <text>      every child, in Z order
//   item    <id> <index> <text>                    list box items
//   item    <id> <index> <column 0> <column 1> ... list view rows
//   focus   <id> <active 0|1>                      the control with the keyboard
//                                                  focus (0: none, or the window),
//                                                  and whether the window is active
//
//   wintext.exe --access "<window caption>"
//
// Prints what a screen reader in this other process hears from each visible
// control: access <id> <role> <state> <name>.
//
//   wintext.exe --watch <id> "<window caption>"
//
// Waits up to 30 seconds for the window, then prints the text of its control
// <id> every time it changes (polled every 5 ms, one line each, flushed at
// once) until the window goes: for texts that change faster than a script
// can look.
//
// Tabs, CR and LF inside texts are written as \t, \r and \n. Exit code 0 when
// the window was found, 1 when there is none, 2 for a wrong call.
#include <cstdio>
#include <string>
#include <vector>

#include "win32/windows_headers.h"

// clang-format off
#include <initguid.h>
#include <objbase.h>
#include <oleacc.h>
// clang-format on

namespace {

std::string Utf8(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'\t') {
      escaped += L"\\t";
    } else if (c == L'\r') {
      escaped += L"\\r";
    } else if (c == L'\n') {
      escaped += L"\\n";
    } else {
      escaped += c;
    }
  }
  if (escaped.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

// The text of a window of another process; a hung one gives "".
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

void PrintListBox(HWND box, int id) {
  const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(box, LB_GETTEXTLEN, i, 0);
    if (length == LB_ERR) continue;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    // LB_GETTEXT is marshalled between processes for boxes with strings.
    const LRESULT copied = SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    std::printf("item\t%d\t%d\t%s\n", id, static_cast<int>(i), Utf8(text).c_str());
  }
}

// List view texts live in the owner's memory: the request and the buffer are
// placed in that process.
void PrintListView(HWND view, int id) {
  DWORD pid = 0;
  GetWindowThreadProcessId(view, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return;
  constexpr int kChars = 1024;
  const SIZE_T size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (remote == nullptr) {
    CloseHandle(process);
    return;
  }
  HWND header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
  int columns = header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  if (columns < 1) columns = 1;
  const int rows = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    std::string line = "item\t" + std::to_string(id) + "\t" + std::to_string(row);
    for (int column = 0; column < columns; ++column) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.iSubItem = column;
      item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
      item.cchTextMax = kChars;
      std::vector<wchar_t> text(kChars, L'\0');
      SIZE_T done = 0;
      if (WriteProcessMemory(process, remote, &item, sizeof(item), &done) &&
          SendMessageW(view, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote)) >= 0 &&
          ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t),
                            &done)) {
        text[kChars - 1] = L'\0';
      } else {
        text[0] = L'\0';
      }
      line += "\t" + Utf8(text.data());
    }
    std::printf("%s\n", line.c_str());
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
}

struct Search {
  const wchar_t* caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (TextOf(window) != search->caption) return TRUE;
  if (search->found == nullptr || (!IsWindowVisible(search->found) && IsWindowVisible(window))) {
    search->found = window;
  }
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  const int id = GetDlgCtrlID(child);
  const std::wstring cls = ClassOf(child);
  std::printf("control\t%s\t%d\t%d\t%s\n", Utf8(cls).c_str(), id, IsWindowVisible(child) ? 1 : 0,
              Utf8(TextOf(child)).c_str());
  if (lstrcmpiW(cls.c_str(), L"ListBox") == 0) PrintListBox(child, id);
  if (lstrcmpiW(cls.c_str(), WC_LISTVIEWW) == 0) PrintListView(child, id);
  return TRUE;
}

HWND FindByCaption(const wchar_t* caption) {
  Search search{caption};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Watch(int id, const wchar_t* caption) {
  HWND window = nullptr;
  for (int i = 0; i < 6000 && window == nullptr; ++i) {
    window = FindByCaption(caption);
    if (window == nullptr) Sleep(5);
  }
  if (window == nullptr) return 1;
  std::wstring last;
  bool first = true;
  while (IsWindow(window)) {
    HWND control = GetDlgItem(window, id);
    if (control == nullptr) break;
    const std::wstring text = TextOf(control);
    if (first || text != last) {
      std::printf("%s\n", Utf8(text).c_str());
      std::fflush(stdout);
      last = text;
      first = false;
    }
    Sleep(5);
  }
  return 0;
}

DEFINE_GUID(kIidAccessible, 0x618736e0, 0x3c3d, 0x11cf, 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);

BOOL CALLBACK PrintAccess(HWND child, LPARAM) {
  if (!IsWindowVisible(child)) return TRUE;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      object == nullptr) {
    return TRUE;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{}, state{};
  BSTR name = nullptr;
  object->get_accRole(self, &role);
  object->get_accState(self, &state);
  object->get_accName(self, &name);
  std::printf("access\t%d\t%ld\t%ld\t%s\n", GetDlgCtrlID(child), role.vt == VT_I4 ? role.lVal : 0L,
              state.vt == VT_I4 ? state.lVal : 0L, Utf8(name != nullptr ? name : L"").c_str());
  SysFreeString(name);
  object->Release();
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Positions in real pixels, as the program (DPI-aware) and xdotool see them.
  SetProcessDPIAware();
  if (argc == 4 && lstrcmpW(argv[1], L"--watch") == 0) return Watch(_wtoi(argv[2]), argv[3]);
  if (argc == 3 && lstrcmpW(argv[1], L"--access") == 0) {
    const HWND window = FindByCaption(argv[2]);
    if (window == nullptr) return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EnumChildWindows(window, PrintAccess, 0);
    std::fflush(stdout);
    CoUninitialize();
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: wintext.exe \"<window caption>\" | --watch <id> \"<window caption>\"\n");
    return 2;
  }
  Search search{argv[1]};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return 1;
  RECT client{};
  GetClientRect(search.found, &client);
  POINT origin{0, 0};
  ClientToScreen(search.found, &origin);
  std::printf("window\t%d\t%ld\t%ld\t%ld\t%ld\t%s\n", IsWindowVisible(search.found) ? 1 : 0, origin.x,
              origin.y, client.right, client.bottom, Utf8(TextOf(search.found)).c_str());
  EnumChildWindows(search.found, PrintChild, 0);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  const bool gotFocus = GetGUIThreadInfo(GetWindowThreadProcessId(search.found, nullptr), &gui) != FALSE;
  const bool inside = gotFocus && gui.hwndFocus != nullptr && IsChild(search.found, gui.hwndFocus);
  std::printf("focus\t%d\t%d\n", inside ? GetDlgCtrlID(gui.hwndFocus) : 0,
              gotFocus && gui.hwndActive == search.found ? 1 : 0);
  std::fflush(stdout);
  return 0;
}
