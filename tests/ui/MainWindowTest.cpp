#include <gtest/gtest.h>

#include <vector>

#include "res/resource.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using MainWindow = MainWindowFixture;

constexpr int alwaysEnabled[] = {IDC_HOST_COMBO, IDC_BROWSE, IDOK, IDC_ABOUT,
                                 IDC_VM_NAME, IDC_VM_ID, IDC_POWER_STATE};
constexpr int disabledAtStart[] = {
    IDC_REFRESH_LIST, IDC_VM_LIST,        IDC_NUMLOCK,   IDC_BASEBOARD_SERIAL,
    IDC_BIOS_GUID,    IDC_NEW_GUID,       IDC_BIOS_SERIAL, IDC_ASSET_TAG,
    IDC_CHASSIS_SERIAL, IDC_REFRESH_STATE, IDC_POWER_ON,  IDC_SHUTDOWN,
    IDC_FORCE_OFF,    IDC_APPLY,          IDC_RESET};

TEST_F(MainWindow, StartsWithOnlyTheHostAndProgramControlsEnabled)
{
    for (int id : alwaysEnabled)
        EXPECT_TRUE(IsEnabled(id)) << id;
    for (int id : disabledAtStart)
        EXPECT_FALSE(IsEnabled(id)) << id;
}

TEST_F(MainWindow, IsAnOverlappedFixedSizeWindowWithTheHostFieldFocused)
{
    const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_EQ(Text(0), L"");
    wchar_t caption[32]{};
    GetWindowTextW(Window(), caption, 32);
    EXPECT_STREQ(caption, L"Brackwin");
    ASSERT_NE(dialog->hostEdit, nullptr);
    EXPECT_EQ(GetParent(dialog->hostEdit), Control(IDC_HOST_COMBO));
    EXPECT_EQ(GetFocus(), dialog->hostEdit);
    EXPECT_NE(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendDlgItemMessageW(Window(), IDC_NEW_GUID, BM_GETIMAGE, IMAGE_ICON, 0), 0);
}

TEST_F(MainWindow, IsCentredOnTheWorkArea)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(Window(), MONITOR_DEFAULTTONEAREST), &info);
    RECT bounds{};
    GetWindowRect(Window(), &bounds);
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    EXPECT_EQ(bounds.left, (info.rcWork.left + info.rcWork.right) / 2 - width / 2);
    EXPECT_EQ(bounds.top, (info.rcWork.top + info.rcWork.bottom) / 2 - height / 2);
}

TEST_F(MainWindow, SettingsFieldsStartLightGreenAndOtherEditsKeepSystemColours)
{
    const HDC dc = GetDC(Window());
    for (int id : {IDC_BASEBOARD_SERIAL, IDC_BIOS_GUID, IDC_BIOS_SERIAL, IDC_ASSET_TAG,
                   IDC_CHASSIS_SERIAL}) {
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Control(id))));
        LOGBRUSH logBrush{};
        ASSERT_TRUE(GetObjectW(brush, sizeof(logBrush), &logBrush)) << id;
        EXPECT_EQ(logBrush.lbColor, RGB(205, 255, 205)) << id;
        EXPECT_EQ(GetBkColor(dc), RGB(205, 255, 205)) << id;
    }
    // Unclaimed edits fall through to the dialog manager's default brush.
    const auto other = reinterpret_cast<HBRUSH>(
        SendMessageW(Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Control(IDC_VM_NAME))));
    LOGBRUSH otherBrush{};
    GetObjectW(other, sizeof(otherBrush), &otherBrush);
    EXPECT_NE(otherBrush.lbColor, RGB(205, 255, 205));
    EXPECT_NE(otherBrush.lbColor, RGB(255, 205, 205));
    ReleaseDC(Window(), dc);
}

TEST_F(MainWindow, SetDirtyDrivesApplyAndReset)
{
    dialog->SetDirty(true);
    EXPECT_TRUE(IsEnabled(IDC_APPLY));
    EXPECT_TRUE(IsEnabled(IDC_RESET));
    dialog->SetDirty(false);
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
    EXPECT_FALSE(IsEnabled(IDC_RESET));
}

TEST_F(MainWindow, ClearFormEmptiesFieldsAndDisablesThePowerAndSettingsControls)
{
    dialog->EnableSettingsControls(true);
    for (int id : {IDC_VM_NAME, IDC_VM_ID, IDC_BASEBOARD_SERIAL, IDC_POWER_STATE})
        SetDlgItemTextW(Window(), id, L"something");
    CheckDlgButton(Window(), IDC_NUMLOCK, BST_CHECKED);
    EnableWindow(Control(IDC_POWER_ON), TRUE);
    dialog->SetDirty(true);

    dialog->ClearForm();

    for (int id : {IDC_VM_NAME, IDC_VM_ID, IDC_BASEBOARD_SERIAL, IDC_POWER_STATE})
        EXPECT_EQ(Text(id), L"") << id;
    EXPECT_EQ(IsDlgButtonChecked(Window(), IDC_NUMLOCK), static_cast<UINT>(BST_UNCHECKED));
    for (int id : disabledAtStart) {
        if (id != IDC_REFRESH_LIST && id != IDC_VM_LIST) {
            EXPECT_FALSE(IsEnabled(id)) << id;
        }
    }
    EXPECT_EQ(dialog->selectedVm, nullptr);
}

TEST_F(MainWindow, BusyModeDisablesTheWindowAndAnInnerEndEndsIt)
{
    dialog->SetBusy(true);
    dialog->SetBusy(true);
    EXPECT_FALSE(IsWindowEnabled(Window()));
    dialog->SetBusy(false);
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

struct CloseCase {
    const char* name;
    int command;
    bool dirty;
    std::vector<int> answers;
    size_t boxes;
    std::optional<int> quitCode;
};

class MainWindowClosing : public MainWindowFixture,
                          public ::testing::WithParamInterface<CloseCase> {};

TEST_P(MainWindowClosing, FollowsTheUnsavedChangesAnswer)
{
    const CloseCase& c = GetParam();
    platform.answers.assign(c.answers.begin(), c.answers.end());
    dialog->SetDirty(c.dirty);
    const HWND window = Window();
    Command(c.command);
    EXPECT_EQ(Pump(), c.quitCode);
    ASSERT_EQ(platform.boxes.size(), c.boxes);
    EXPECT_EQ(IsWindow(Window()) != FALSE, !c.quitCode.has_value());
    if (c.boxes) {
        const RecordedBox& box = platform.boxes[0];
        EXPECT_EQ(box.caption, L"Unsaved changes");
        EXPECT_EQ(box.text,
                  L"The current virtual machine has unsaved changes. Do you wish to discard "
                  L"them?\r\nPress Yes to discard changes.\r\nPress No to keep changes and "
                  L"continue working with this VM.");
        EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));
        EXPECT_EQ(box.owner, window);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MainWindowClosing,
    ::testing::Values(CloseCase{"CloseProgramClean", IDOK, false, {}, 0, 1},
                      CloseCase{"EscapeClean", IDCANCEL, false, {}, 0, 2},
                      CloseCase{"EscapeDirtyNo", IDCANCEL, true, {IDNO}, 1, std::nullopt},
                      CloseCase{"EscapeDirtyYes", IDCANCEL, true, {IDYES}, 1, 2},
                      CloseCase{"CloseProgramDirtyYes", IDOK, true, {IDYES}, 1, 1}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

}

namespace {

TEST_F(MainWindow, ShowsTheExactTextsOfEveryControl)
{
    const struct {
        int id;
        const wchar_t* text;
    } texts[] = {
        {IDC_HOST_GROUP, L"Hyper-V Host"},
        {IDC_BROWSE, L"&Browse..."},
        {IDC_REFRESH_LIST, L"Refresh Virtual Machine &List"},
        {IDC_INFO_GROUP, L"Virtual Machine Information"},
        {IDC_NAME_LABEL, L"Name:"},
        {IDC_VMID_LABEL, L"VM ID:"},
        {IDC_SETTINGS_GROUP, L"Virtual Machine Settings"},
        {IDC_NUMLOCK, L"Enable NumLock at Boot"},
        {IDC_BASEBOARD_LABEL, L"Baseboard Serial Number:"},
        {IDC_BIOS_GUID_LABEL, L"BIOS GUID:"},
        {IDC_BIOS_SERIAL_LABEL, L"BIOS Serial Number:"},
        {IDC_ASSET_TAG_LABEL, L"Chassis Asset Tag:"},
        {IDC_CHASSIS_SERIAL_LABEL, L"Chassis Serial Number:"},
        {IDC_POWER_GROUP, L"VM Power Control"},
        {IDC_REFRESH_STATE, L"Refresh &State"},
        {IDC_POWER_ON, L"Power &On"},
        {IDC_SHUTDOWN, L"Graceful &Shutdown"},
        {IDC_FORCE_OFF, L"&Force Power Off"},
        {IDC_CONTROL_GROUP, L"VM Settings Control"},
        {IDC_APPLY, L"&Apply Changes"},
        {IDC_RESET, L"&Reset Fields"},
        {IDC_PROGRAM_GROUP, L"Program Control"},
        {IDOK, L"&Close Program"},
        {IDC_ABOUT, L"&About Program"},
        {IDC_VM_NAME, L""},
        {IDC_VM_ID, L""},
        {IDC_POWER_STATE, L""},
    };
    for (const auto& expected : texts)
        EXPECT_EQ(Text(expected.id), expected.text) << expected.id;
}

}
