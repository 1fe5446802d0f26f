#include "ui/WindowCentring.h"

namespace {

// The start of a span of `size` centred on [low, high], kept inside [areaLow, areaHigh]:
// pulled back from the far edge first, then from the near one.
LONG CentredStart(LONG low, LONG high, LONG size, LONG areaLow, LONG areaHigh)
{
    LONG start = (low + high) / 2 - size / 2;
    if (start + size > areaHigh)
        start = areaHigh - size;
    if (start < areaLow)
        start = areaLow;
    return start;
}

}

void CenterWindow(HWND window, HWND owner)
{
    RECT reference{};
    HMONITOR monitor = nullptr;
    const bool useOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
    if (useOwner) {
        GetWindowRect(owner, &reference);
        monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
    } else {
        monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    }
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return;
    if (!useOwner)
        reference = info.rcWork;

    RECT bounds{};
    GetWindowRect(window, &bounds);
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    const LONG left = CentredStart(reference.left, reference.right, width, info.rcWork.left,
                                   info.rcWork.right);
    const LONG top = CentredStart(reference.top, reference.bottom, height, info.rcWork.top,
                                  info.rcWork.bottom);
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
