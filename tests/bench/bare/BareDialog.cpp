// The smallest dialog program: a modal dialog from an in-memory template and nothing else. The
// benchmark starts it the way it starts Brackwin, to compare the time to a window on screen.
#include <windows.h>

#include <cstring>

namespace {

INT_PTR CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // DLGTEMPLATE, then the menu, class and title arrays (no menu, the default class).
    alignas(4) unsigned char buffer[64]{};
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    dialog->cx = 200;
    dialog->cy = 100;
    const wchar_t title[] = L"Bare Dialog";
    std::memcpy(buffer + sizeof(DLGTEMPLATE) + 2 * sizeof(WORD), title, sizeof(title));
    return static_cast<int>(DialogBoxIndirectParamW(instance, dialog, nullptr, BareProc, 0));
}
