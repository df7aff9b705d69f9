// The program's text links (labels that open a page or a file on a click)
// for people without a mouse: Tab reaches them, a dotted cue shows the focus,
// Enter opens them, and a screen reader hears "link" and the text.
#pragma once

#include "win32/windows_headers.h"

namespace tw::win {

// `label` is a STATIC with SS_NOTIFY; Enter and a reader's default action
// send its parent the same STN_CLICKED a click sends. Calling it again for
// the same label changes nothing.
void MakeKeyboardLink(HWND label) noexcept;

}  // namespace tw::win
