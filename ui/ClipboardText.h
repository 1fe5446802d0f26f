// Puts text on the clipboard as Unicode text.
#pragma once

#include <windows.h>

#include <string>

// False when the clipboard could not be opened or the text not handed to it.
[[nodiscard]] bool PutTextOnClipboard(HWND owner, const std::wstring& text);
