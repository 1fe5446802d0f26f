// A real main window from the real resources, on the simulated client, driven with real
// messages through the thread's message loop. Message boxes are answered by FakePlatform.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/Application.h"
#include "tests/support/FakePlatform.h"
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

    FakePlatform platform;
    std::unique_ptr<Application> application;
    CMainDlg* dialog = nullptr;
};
