// The Windows headers in the one order that works: winsock2 before windows,
// the shell and common-control headers after it.
#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

// Windows 10 1703 and newer ask a window for its size at a new DPI before it
// moves there; the headers of the toolchain do not know the message yet.
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif
