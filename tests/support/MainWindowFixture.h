// A real main window from the real resources, on the simulated client, driven with real
// messages through the thread's message loop. Message boxes are answered by FakePlatform, the
// credential prompt and store by FakeCredentials.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Application.h"
#include "sim/SimWorld.h"
#include "tests/support/FakeCredentials.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/SimClockBinding.h"
#include "ui/MainDlg.h"

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Window() const;
    HWND Control(int id) const;
    bool IsEnabled(int id) const;
    std::wstring Text(int id) const;

    // Dispatches what is waiting, through the filters; the code of a quit message if one came.
    std::optional<int> Pump();
    // Sends a command as a click or notification would.
    void Command(int id, int code = BN_CLICKED);
    // Types into a field: WM_SETTEXT raises the change notification as typing does.
    void Type(int id, const wchar_t* text);
    // Types into the host field and presses Enter through the message loop's filter.
    void EnterHost(const wchar_t* text);
    // Selects a list entry by its text and notifies the window as a click would.
    void SelectVm(const wchar_t* name);
    // Presses a key in the host field, through the message loop's filter.
    void PressHostFieldKey(WPARAM key);
    // The drop-down list of the host combo box, opened and closed as the user does.
    HWND HostList() const;
    void OpenHostList();
    // Highlights a host in the open list, as moving the mouse over it does.
    void HighlightHost(const wchar_t* name);
    // Clicks a host in the open list.
    void ClickHost(const wchar_t* name);
    // The text of the combo's selected item; empty when none is selected.
    std::wstring SelectedHost() const;
    // The texts of the machine list, in list order.
    std::vector<std::wstring> ListedVms() const;
    // The items of the host combo box, in combo order.
    std::vector<std::wstring> ComboHosts() const;
    // Whether a settings field shows the valid (light green) background.
    bool ShowsValid(int id) const;
    // The host list file, written as bytes (before the window opens, from a constructor) or
    // read back whole; empty when there is no file.
    void WriteHostFile(std::string_view bytes) const;
    std::string HostFileBytes() const;

    FakePlatform platform;
    // The credential prompt and Credential Manager: no window test reaches the real ones.
    FakeCredentials credentials;
    sim::World world;
    sim::ScopedWorld installed{world};
    SimClockBinding clock{world};
    std::unique_ptr<Application> application;
    CMainDlg* dialog = nullptr;
};
