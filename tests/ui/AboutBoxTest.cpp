#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/support/MainWindowFixture.h"

namespace {

// What a timer saw of the about box while its modal loop ran, and how it closed it.
struct AboutObservation {
    int closeWith = IDOK;  // the command, or 0 to use the close box
    HWND box = nullptr;
    std::wstring caption;
    std::wstring text;
    RECT bounds{};
    bool logoLoaded = false;
};

AboutObservation* observation = nullptr;

BOOL CALLBACK FindAboutBox(HWND window, LPARAM)
{
    wchar_t caption[64]{};
    GetWindowTextW(window, caption, 64);
    if (std::wstring(caption) != L"About Brackwin")
        return TRUE;
    observation->box = window;
    observation->caption = caption;
    wchar_t text[512]{};
    GetDlgItemTextW(window, IDC_ABOUT_TEXT, text, 512);
    observation->text = text;
    GetWindowRect(window, &observation->bounds);
    observation->logoLoaded =
        SendDlgItemMessageW(window, IDC_ABOUT_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
    return FALSE;
}

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, 0);
    if (!observation->box)
        return;
    KillTimer(nullptr, timer);
    if (observation->closeWith)
        PostMessageW(observation->box, WM_COMMAND, observation->closeWith, 0);
    else
        PostMessageW(observation->box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

class AboutBox : public MainWindowFixture, public ::testing::WithParamInterface<int> {};

TEST_P(AboutBox, ShowsTheProductAndClosesCentredOverTheMainWindow)
{
    AboutObservation seen;
    seen.closeWith = GetParam();
    observation = &seen;
    SetTimer(nullptr, 0, 10, InspectAndClose);
    Command(IDC_ABOUT);
    observation = nullptr;

    ASSERT_NE(seen.box, nullptr);
    EXPECT_FALSE(IsWindow(seen.box));
    EXPECT_EQ(seen.text.rfind(L"Brackwin\nv1.0\n\n", 0), 0u) << std::string(seen.text.begin(), seen.text.end());
    EXPECT_TRUE(seen.logoLoaded);
    RECT main{};
    GetWindowRect(Window(), &main);
    const LONG width = seen.bounds.right - seen.bounds.left;
    EXPECT_EQ(seen.bounds.left, (main.left + main.right) / 2 - width / 2);
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

INSTANTIATE_TEST_SUITE_P(ClosedBy, AboutBox, ::testing::Values(IDOK, IDCANCEL, 0));

}
