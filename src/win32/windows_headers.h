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
