#pragma once

#include <windows.h>

// Centres a window over its owner when the owner is visible and not minimized, otherwise on
// the work area of the monitor nearest to the window, keeping it inside that work area.
// Moves only: no resizing, no activation, no change of Z order.
void CenterWindow(HWND window, HWND owner);
