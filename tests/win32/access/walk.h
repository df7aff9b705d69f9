// Reads what a screen reader hears from the controls of a window, as a
// reader does (AccessibleObjectFromWindow), and compares it with a table.
#pragma once

#include <gtest/gtest.h>
#include <oleacc.h>

#include <filesystem>
#include <string>
#include <vector>

#include "text/cp1251.h"
#include "wait.h"
#include "win32/accessible.h"
#include "win32/wide_text.h"

namespace tw::test {

// Standard lists and the combo box keep the system's own object: it says
// "list" / "combo box" on Windows, and a plain "client" under Wine.
inline constexpr long kSystemRole = -1;
// Known to differ: Wine's combo box object has no name; Windows names it by
// the label before it.
inline const std::wstring kNamedOnWindowsOnly = L"\x1";

inline bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

struct Expected {
  int id;
  long role;          // or kSystemRole
  std::wstring name;  // empty: the control's own window text
  int checked = -1;   // -1: not a check box
};

inline std::wstring W(const char* utf8) { return win::Widen(Utf8ToCp1251(utf8)); }

// For the messages: the log is UTF-8.
inline std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3 + 1, '\0');
  out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(),
                                                          static_cast<int>(text.size()), out.data(),
                                                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Controls a person can act on: the program's own, lists, fields, and
// every tab stop.
inline bool Actionable(HWND child) {
  if (!IsWindowVisible(child)) return false;
  const std::wstring cls = ClassOf(child);
  return cls == L"TallywickXpB" || cls == L"TallywickCheck" || lstrcmpiW(cls.c_str(), L"ListBox") == 0 ||
         lstrcmpiW(cls.c_str(), L"Edit") == 0 || lstrcmpiW(cls.c_str(), L"ComboBox") == 0 ||
         (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) != 0;
}

struct Heard {
  long role = 0;
  std::wstring name;
  long state = 0;
  HRESULT hr = E_FAIL;
};

inline Heard Read(HWND control) {
  Heard heard;
  IAccessible* object = nullptr;
  heard.hr = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), win::AccessibleIid(),
                                        reinterpret_cast<void**>(&object));
  if (FAILED(heard.hr) || object == nullptr) return heard;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT value{};
  if (object->get_accRole(self, &value) == S_OK && value.vt == VT_I4) heard.role = value.lVal;
  VariantClear(&value);
  if (object->get_accState(self, &value) == S_OK && value.vt == VT_I4) heard.state = value.lVal;
  VariantClear(&value);
  BSTR name = nullptr;
  if (object->get_accName(self, &name) == S_OK && name != nullptr) heard.name = name;
  SysFreeString(name);
  object->Release();
  return heard;
}

// Every row is heard as written, and no actionable control is left without one.
inline void Walk(HWND window, const std::vector<Expected>& rows, const char* what) {
  SCOPED_TRACE(what);
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  for (HWND child : children) {
    if (!Actionable(child)) continue;
    const int id = GetDlgCtrlID(child);
    bool listed = false;
    for (const Expected& row : rows) listed = listed || row.id == id;
    EXPECT_TRUE(listed) << "control " << id << " (" << Utf8(ClassOf(child)) << ") is not in the table";
  }
  for (const Expected& row : rows) {
    const HWND control = GetDlgItem(window, row.id);
    ASSERT_NE(control, nullptr) << "control " << row.id;
    const std::wstring name = row.name.empty() ? TextOf(control) : row.name;
    const Heard heard = Read(control);
    EXPECT_EQ(heard.hr, S_OK) << "control " << row.id;
    if (row.role != kSystemRole) {
      EXPECT_EQ(heard.role, row.role) << "control " << row.id << " role";
    }
    if (name != kNamedOnWindowsOnly || !UnderWine()) {
      EXPECT_EQ(Utf8(heard.name), Utf8(name)) << "control " << row.id << " name";
      EXPECT_FALSE(name.empty()) << "control " << row.id;
    }
    if (row.checked >= 0) {
      EXPECT_EQ((heard.state & STATE_SYSTEM_CHECKED) != 0, row.checked == 1)
          << "control " << row.id << " state";
    }
  }
}

// COM for the reader's side, and an empty program folder.
class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    folder_ = std::filesystem::temp_directory_path() / L"tw-accessibility";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    test::MovePointerAway();
  }
  void TearDown() override {
    test::PumpMessages();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    CoUninitialize();
  }
  std::filesystem::path folder_;
};

inline constexpr long kButton = ROLE_SYSTEM_PUSHBUTTON;
inline constexpr long kLink = ROLE_SYSTEM_LINK;
inline constexpr long kCheck = ROLE_SYSTEM_CHECKBUTTON;
inline constexpr long kList = kSystemRole;
inline constexpr long kText = ROLE_SYSTEM_TEXT;

}  // namespace tw::test
