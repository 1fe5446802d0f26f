// Host operations run on a worker while the window's thread keeps dispatching its messages: the
// window answers and repaints during a long wait, a long operation shows the progress window,
// and "Stop Waiting" ends the wait at once while the host carries on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "app/HostWorker.h"
#include "res/resource.h"
#include "tests/support/ProgressWindowSearch.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

using sim::CallKind;
using Clock = std::chrono::steady_clock;

sim::World* pacedWorld = nullptr;

// The world's time moves with the program's sleeps, as in every test, but each sleep also takes
// a real millisecond: a wait of minutes lasts long enough for a user to act during it.
void PacedSleep(DWORD milliseconds)
{
    pacedWorld->Advance(milliseconds);
    ::Sleep(1);
}

enum class StopBy { Button, CloseBox };

// A user at the window while an operation runs: once the progress window offers to stop, they
// check that the main window answers a message and repaints, then stop waiting.
struct User {
    std::atomic<bool> answered{false};
    std::atomic<bool> repainted{false};
    std::atomic<bool> stopped{false};
    Clock::time_point stoppedAt;
    std::thread thread;

    void Start(HWND main, StopBy by)
    {
        thread = std::thread([this, main, by] {
            HWND progress = nullptr;
            if (!WaitFor([&] {
                    progress = FindProgressWindow(main);
                    return progress && IsWindowEnabled(GetDlgItem(progress, IDCANCEL));
                }))
                return;
            DWORD_PTR reply = 0;
            answered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &reply) != 0;
            InvalidateRect(main, nullptr, FALSE);
            repainted = WaitFor([&] { return GetUpdateRect(main, nullptr, FALSE) == FALSE; });
            stoppedAt = Clock::now();
            stopped = true;
            if (by == StopBy::Button)
                PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
            else
                PostMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    }
    // Milliseconds from the stop to the end of the operation.
    long long Finish()
    {
        const auto end = Clock::now();
        thread.join();
        return std::chrono::duration_cast<std::chrono::milliseconds>(end - stoppedAt).count();
    }
};

class HostWorkerTest : public LabWindow {
protected:
    void SetUp() override
    {
        LabWindow::SetUp();
        pacedWorld = &world;
        CurrentPlatform().sleep = PacedSleep;
    }

    int CallsSince(size_t from, CallKind kind, const wchar_t* className) const
    {
        int count = 0;
        for (size_t i = from; i < world.Calls().size(); ++i)
            count += world.Calls()[i].kind == kind && world.Calls()[i].className == className;
        return count;
    }

    const RecordedBox* LastBox() const { return platform.boxes.empty() ? nullptr : &platform.boxes.back(); }

    User user;
};

TEST_F(HostWorkerTest, AShortOperationShowsNoProgressWindow)
{
    // The settings job takes 400 ms.
    LoadLabVm(L"Test Client");
    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    Command(IDC_APPLY);
    EXPECT_TRUE(LabVm(L"Test Client").settings.biosNumLock);
    EXPECT_EQ(application->Worker()->ProgressWindowsShown(), 0u);
}

TEST_F(HostWorkerTest, AJobWaitIsStoppedWhileTheHostsJobRunsOn)
{
    LoadLabVm(L"Web Frontend");
    sim::JobPlan held;
    // Longer than any stop takes, short enough that a wait nobody stops fails in seconds.
    held.stallReads = 20000;
    world.PlanNextJob(held);
    const size_t from = world.Calls().size();
    platform.answers = {IDYES};
    user.Start(Window(), StopBy::Button);
    Command(IDC_FORCE_OFF);
    const long long ms = user.Finish();
    std::printf("stopping the job wait took %lld ms\n", ms);

    EXPECT_TRUE(user.answered);
    EXPECT_TRUE(user.repainted);
    EXPECT_EQ(application->Worker()->ProgressWindowsShown(), 1u);
    ASSERT_NE(LastBox(), nullptr);
    EXPECT_EQ(LastBox()->text, L"Brackwin stopped waiting for HV-LAB01. The host carries on with "
                               L"its job: Web Frontend may still change its state. The state "
                               L"shown is read again.");
    EXPECT_EQ(LastBox()->caption, L"Error Changing VM State");
    EXPECT_EQ(LastBox()->style, static_cast<UINT>(MB_ICONINFORMATION));
    // The box came once the progress window was gone, and the window is active again.
    EXPECT_FALSE(LastBox()->overProgress);
    EXPECT_EQ(GetActiveWindow(), Window());
    // The host's job was left running, and the state was read again after the stop.
    const auto& jobs = world.FindHost(L"HV-LAB01")->Jobs();
    ASSERT_FALSE(jobs.empty());
    EXPECT_FALSE(jobs.back().finished);
    EXPECT_GE(CallsSince(from, CallKind::GetInstance, L"Msvm_ComputerSystem"), 2);
    // Still turning off (4), a state without a name of its own.
    EXPECT_EQ(LabVm(L"Web Frontend").enabledState, sim::state::Stopping);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"");
}

// Stopping the wait for a settings job tells so once: the final delivery the client cancels
// after the stop is no second failure.
TEST_F(HostWorkerTest, ASettingsJobWaitIsStoppedWithOneNotice)
{
    LoadLabVm(L"Test Client");
    sim::JobPlan held;
    held.stallReads = 20000;
    world.PlanNextJob(held);
    platform.boxes.clear();
    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    user.Start(Window(), StopBy::Button);
    Command(IDC_APPLY);
    user.Finish();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, L"Brackwin stopped waiting for HV-LAB01. The host carries on with its "
                                      L"job: the settings of Test Client may still change. Select the "
                                      L"virtual machine again to see the settings it holds.");
    EXPECT_EQ(platform.boxes[0].caption, L"Saving Virtual Machine Settings Changes");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST_F(HostWorkerTest, AShutdownWaitIsStoppedByTheProgressWindowsCloseBox)
{
    LoadLabVm(L"Web Frontend");
    LabVm(L"Web Frontend").guestIgnoresShutdown = true;
    platform.answers = {IDYES};
    user.Start(Window(), StopBy::CloseBox);
    Command(IDC_SHUTDOWN);
    const long long ms = user.Finish();
    std::printf("stopping the shutdown wait took %lld ms\n", ms);

    ASSERT_GE(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].text,
              L"Do you wish to wait for shutdown completion?\r\n\r\nSelect \"Yes\" to wait. "
              L"Brackwin shows its progress, and you can stop waiting at any time. It will give up "
              L"after 5 minutes.\r\n\r\nSelect \"No\" to initiate shut down and immediately "
              L"return. Use \"Refresh State\" to check the VM's power state.\r\n\r\nSelect "
              L"\"Cancel\" to leave the virtual machine running.");
    EXPECT_TRUE(user.answered);
    EXPECT_TRUE(user.repainted);
    EXPECT_EQ(LastBox()->text, L"Brackwin stopped waiting for Web Frontend to shut down. Its guest "
                               L"carries on shutting down; the state shown is read again.");
    EXPECT_EQ(LastBox()->caption, L"Error Shutting Down VM");
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Running");
}

TEST_F(HostWorkerTest, AConnectionAttemptIsStoppedAndCancelledWithoutABox)
{
    EnterHost(L"HV-LAB01");
    // The new host's first read never answers, as an unreachable host's does not.
    world.StallCall(CallKind::ReadInstance, 1);
    user.Start(Window(), StopBy::Button);
    EnterHost(L"HVHOST01");
    const long long ms = user.Finish();
    std::printf("stopping the connection attempt took %lld ms\n", ms);

    EXPECT_TRUE(user.answered);
    EXPECT_GE(Calls(CallKind::CancelOperation), 1);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(ListedVms().empty());
    EXPECT_EQ(ComboHosts(), std::vector<std::wstring>{L"HV-LAB01"});
}

// A worker that lacks a part it is made of runs the work on the calling thread instead of
// waiting on nothing or running no job.
TEST(HostWorkerParts, AWorkerWithoutAllItsPartsRunsTheWorkOnTheCallingThread)
{
    for (int missing = 0; missing < 3; ++missing) {
        SCOPED_TRACE(missing);
        CMessageLoop loop;
        WorkerParts parts = WorkerParts::Make();
        if (missing == 0)
            parts.callWindow.Reset();
        else if (missing == 1)
            parts.start.Reset();
        else
            parts.done.Reset();
        HostWorker worker(loop, std::move(parts));
        EXPECT_FALSE(worker.Threaded());
        DWORD ranOn = 0;
        EXPECT_EQ(worker.Run(nullptr, L"Testing", false, [&] { ranOn = GetCurrentThreadId(); }),
                  WorkOutcome::Finished);
        EXPECT_EQ(ranOn, GetCurrentThreadId());
    }
}

}
