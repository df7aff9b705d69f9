// What the program's own controls tell a screen reader. Each answers
// WM_GETOBJECT for its client area with a small IAccessible that asks the
// control window for its role, name and state each time a reader reads, so
// a reader holding the object never sees a stale or destroyed control.
#pragma once

#include <string>

#include "win32/windows_headers.h"

namespace tw::win {

struct AccessibleFacts {
  long role = 0;   // ROLE_SYSTEM_*
  long state = 0;  // STATE_SYSTEM_* of its own (e.g. checked); focus, visibility
                   // and availability come from the window itself
  std::wstring name;
  std::wstring defaultAction;  // empty: the control has none
};

// Sent to a control with an AccessibleFacts* in lParam; it fills them and
// returns 1.
inline constexpr UINT kAccessibleFactsMessage = WM_APP + 0x120;
// Posted to a control when a reader asks for its default action (a click).
inline constexpr UINT kAccessibleDoDefaultMessage = WM_APP + 0x121;

// The answer to WM_GETOBJECT: the control's own object for OBJID_CLIENT,
// the system's answer for anything else.
LRESULT AnswerGetObject(HWND control, WPARAM wParam, LPARAM lParam) noexcept;

// The interface id of IAccessible, defined here: the copy in mingw's import
// libraries is not the one oleacc answers to.
const IID& AccessibleIid() noexcept;

// A caption as a reader says it: without its "&" access-key marker.
std::wstring SpokenText(std::wstring text);

}  // namespace tw::win
