// Pictures of another process's window, as the screen shows it, saved as BMP files.
#pragma once

#include <windows.h>

#include <string>

// Saves the screen's pixels where the window is, frame included, as a 24-bit BMP file; false
// when the screen could not be read or the file not written.
[[nodiscard]] bool SaveWindowShot(HWND window, const std::wstring& path);
