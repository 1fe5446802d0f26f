#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/IdentitiesWindowFixture.h"
#include "tests/support/ProgressWindowSearch.h"
#include "tests/support/WaitFor.h"
#include "ui/MainDlg.h"

// The main window's machine given a new BIOS GUID in the identities window, opened from the
// main window's own button: once the identities window closes, the form shows what the host
// holds, and asks first when it holds edits of its own.
namespace {

constexpr wchar_t templateGuid[] = L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}";

void ClickButton(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

class IdentitiesReload : public IdentitiesWindow {
protected:
    // Opens the identities window from the main window's button and, from a thread beside it,
    // gives Kiosk 01 (listed second) a new BIOS GUID, applies it and closes the window.
    void GiveKiosk01ANewGuid()
    {
        std::atomic<bool> done{false};
        std::thread user([this, &done] {
            HWND identities = nullptr;
            if (!WaitFor([&] { return (identities = FindOwnedWindowHolding(Window(), IDC_IDENTITY_LIST)) != nullptr; }))
                return;
            const HWND list = GetDlgItem(identities, IDC_IDENTITY_LIST);
            WaitFor([&] { return ListView_GetItemCount(list) == 4; });
            ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
            ClickButton(identities, IDC_NEW_BIOS_GUIDS);
            ClickButton(identities, IDC_APPLY_IDENTITIES);
            ClickButton(identities, IDCANCEL);
            done = true;
        });
        Command(IDC_IDENTITIES);
        user.join();
        Pump();
        ASSERT_TRUE(done);
    }
    std::wstring HostGuid() { return world.FindHost(L"HV-LAB04")->FindVm(L"Kiosk 01")->settings.biosGuid; }
};

TEST_F(IdentitiesReload, TheFormShowsTheNewGuidOnceTheWindowCloses)
{
    EnterHost(L"HV-LAB04");
    SelectVm(L"Kiosk 01");
    ASSERT_EQ(Text(IDC_BIOS_GUID), templateGuid);
    platform.answers = {IDYES};
    GiveKiosk01ANewGuid();
    ASSERT_NE(HostGuid(), templateGuid);
    EXPECT_EQ(Text(IDC_BIOS_GUID), HostGuid());
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
}

// With edits of its own, the form asks as it asks before any reload: Yes shows the host's
// values, No keeps the edits.
TEST_F(IdentitiesReload, EditsInTheFormAreNotLostUnasked)
{
    for (const int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer);
        EnterHost(L"HV-LAB04");
        SelectVm(L"Kiosk 01");
        Type(IDC_ASSET_TAG, L"EDITED-TAG");
        platform.boxes.clear();
        platform.answers = {IDYES, answer};
        GiveKiosk01ANewGuid();
        ASSERT_EQ(platform.boxes.size(), 2u);
        EXPECT_EQ(platform.boxes[1].caption, L"Unsaved changes");
        EXPECT_EQ(platform.boxes[1].owner, Window());
        if (answer == IDYES) {
            EXPECT_EQ(Text(IDC_BIOS_GUID), HostGuid());
            EXPECT_EQ(Text(IDC_ASSET_TAG), L"KIOSK-TEMPLATE");
        } else {
            EXPECT_EQ(Text(IDC_ASSET_TAG), L"EDITED-TAG");
        }
        TearDown();
        world.FindHost(L"HV-LAB04")->FindVm(L"Kiosk 01")->settings.biosGuid = templateGuid;
        SetUp();
    }
}

}
