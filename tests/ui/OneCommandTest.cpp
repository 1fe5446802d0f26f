// One host operation at a time, on every path: while one runs (held up by a read the host does
// not answer), every other entry is refused and changes nothing, the window's state belongs to
// its own thread, exceptions end the operation and not the window, and a close is kept.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "mgmt/HostWait.h"
#include "res/resource.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/LabWindowFixture.h"
#include "vm/VmEntry.h"

namespace {

using sim::CallKind;
constexpr UINT hostChosenMessage = WM_APP + 1;

// Another thread acting on the window while an operation waits for a stalled read: it runs its
// actions once the read has stalled, then lets the read answer (or leaves it to a stop).
class Actor {
public:
    Actor(sim::World& world, std::function<void()> actions, bool answer = true)
        : thread_([&world, actions = std::move(actions), answer, this] {
              stalled_ = WaitFor([&] { return world.StalledReads() > 0; });
              if (stalled_)
                  actions();
              if (answer)
                  world.AnswerStalledReads();
          })
    {
    }
    ~Actor() { Join(); }
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

    bool Join()
    {
        if (thread_.joinable())
            thread_.join();
        return stalled_;
    }

private:
    std::atomic<bool> stalled_{false};
    std::thread thread_;
};

// Input posted to the window is handled by its thread within a few of its ticks.
void LetInputArrive()
{
    ::Sleep(200);
}

class OneCommand : public LabWindow {
protected:
    // What the window showed while the actor's actions ran during a stalled operation.
    struct Seen {
        bool busy = false;
        size_t callsBefore = 0;
        size_t callsAfter = 0;
    };
    std::function<void()> Watched(Seen& seen, std::function<void()> actions)
    {
        return [this, &seen, actions = std::move(actions)] {
            seen.callsBefore = world.CallCount();
            seen.busy = !IsWindowEnabled(Window());
            actions();
            LetInputArrive();
            seen.callsAfter = world.CallCount();
        };
    }
    // Only the first operation ran: the others started no call, told nothing, and the
    // window left busy mode once.
    void ExpectNothingElseStarted(const Seen& seen)
    {
        EXPECT_TRUE(seen.busy);
        EXPECT_EQ(seen.callsAfter, seen.callsBefore);
        EXPECT_TRUE(platform.boxes.empty());
        EXPECT_TRUE(IsWindowEnabled(Window()));
    }

    void SendCommand(int id, int code = BN_CLICKED)
    {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(Control(id)));
    }

    std::wstring SelectedVmText() const
    {
        const HWND list = Control(IDC_VM_LIST);
        const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (index < 0)
            return {};
        wchar_t text[128]{};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }

    // Types into the host field and presses Enter; the quit code if the window closed.
    std::optional<int> EnterHostAndPump(const wchar_t* name)
    {
        SetWindowTextW(dialog->hostEdit, name);
        PostMessageW(dialog->hostEdit, WM_KEYDOWN, VK_RETURN, 0);
        return Pump();
    }
};

TEST_F(OneCommand, ForgettingTheHostAndChoosingAnotherVmDuringRefreshStateChangeNothing)
{
    LoadLabVm(L"Web Frontend");
    world.StallCall(CallKind::ReadInstance, 1);
    Seen seen;
    Actor actor(world, Watched(seen, [&] {
        // Another machine chosen in the list, the host list asked to forget the current host,
        // a host chosen in the open list: all while the state is being read.
        const HWND list = Control(IDC_VM_LIST);
        const LRESULT other = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(L"Test Client"));
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(other), 0);
        SendCommand(IDC_VM_LIST, LBN_SELCHANGE);
        SendMessageW(Control(IDC_HOST_COMBO), CB_SHOWDROPDOWN, TRUE, 0);
        PostMessageW(dialog->hostEdit, WM_KEYDOWN, VK_DELETE, 0);
        SendMessageW(Window(), hostChosenMessage, 0, 0);
        SendCommand(IDC_REFRESH_LIST);
        LetInputArrive();
        SendMessageW(Control(IDC_HOST_COMBO), CB_SHOWDROPDOWN, FALSE, 0);
    }));
    LabVm(L"Web Frontend").enabledState = sim::state::Off;
    Command(IDC_REFRESH_STATE);
    ASSERT_TRUE(actor.Join());

    ExpectNothingElseStarted(seen);
    EXPECT_EQ(Text(IDC_VM_NAME), L"Web Frontend");
    EXPECT_EQ(SelectedVmText(), L"Web Frontend");
    EXPECT_EQ(Text(IDC_POWER_STATE), L"Off");
    EXPECT_EQ(ComboHosts(), std::vector<std::wstring>{L"HV-LAB01"});
    EXPECT_EQ(ListedVms().size(), 4u);
}

TEST_F(OneCommand, CommandsKeysAndEditsDuringApplyStartNothingAndChangeNothing)
{
    LoadLabVm(L"Test Client");
    const std::wstring guid = Text(IDC_BIOS_GUID);
    Type(IDC_ASSET_TAG, L"ASSET-NEW");
    SetWindowTextW(dialog->hostEdit, L"HVHOST01");
    world.StallCall(CallKind::ReadInstance, 1);
    Seen seen;
    Actor actor(world, Watched(seen, [&] {
        for (int id : {IDC_APPLY, IDC_REFRESH_STATE, IDC_POWER_ON, IDC_RESET, IDC_NEW_GUID})
            SendCommand(id);
        SendMessageW(Control(IDC_ASSET_TAG), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(L"TYPED-DURING-APPLY"));
        PostMessageW(dialog->hostEdit, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(Control(IDC_CHASSIS_SERIAL), WM_CHAR, L'X', 0);
        SendMessageW(Window(), hostChosenMessage, 0, 0);
    }));
    Command(IDC_APPLY);
    ASSERT_TRUE(actor.Join());

    ExpectNothingElseStarted(seen);
    EXPECT_EQ(LabVm(L"Test Client").settings.chassisAssetTag, L"ASSET-NEW");
    EXPECT_EQ(Text(IDC_ASSET_TAG), L"ASSET-NEW");
    EXPECT_EQ(application->CurrentVm()->settings.ChassisAssetTag(), L"ASSET-NEW");
    EXPECT_EQ(Text(IDC_BIOS_GUID), guid);
    EXPECT_EQ(Text(IDC_CHASSIS_SERIAL), LabVm(L"Test Client").settings.chassisSerialNumber);
    EXPECT_EQ(dialog->currentHost, L"HV-LAB01");
    EXPECT_EQ(ListedVms().size(), 4u);
    EXPECT_FALSE(IsEnabled(IDC_APPLY));
}

TEST_F(OneCommand, WorkThatThrowsIsToldOnceAndLeavesTheWindowUsable)
{
    LoadLabVm(L"Test Client");
    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    const auto sleep = CurrentPlatform().sleep;
    // The job wait's sleep runs on the worker: it runs out of memory there.
    CurrentPlatform().sleep = [](DWORD) { throw std::bad_alloc(); };
    Command(IDC_APPLY);
    CurrentPlatform().sleep = sleep;

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text,
              L"Brackwin could not finish \"Applying settings to Test Client\": it ran out of "
              L"memory or met an unexpected error. What the host has already done stays done; "
              L"the window shows what Brackwin last read.");
    EXPECT_EQ(platform.boxes[0].caption, L"Brackwin");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(IsWindowEnabled(Window()));
    EXPECT_TRUE(IsEnabled(IDC_APPLY));

    EnterHost(L"HVHOST01");
    EXPECT_EQ(dialog->currentHost, L"HVHOST01");
    Command(IDCANCEL);
    EXPECT_EQ(Pump(), std::optional<int>(2));
    EXPECT_EQ(HostFileBytes(), "HV-LAB01\r\nHVHOST01\r\n");
}

DWORD windowThread = 0;
std::atomic<int> windowTicks{0};

// The clock, failing once on the window's thread while it waits for the worker.
DWORD TickThatThrowsOnce()
{
    if (GetCurrentThreadId() == windowThread && ++windowTicks == 2)
        throw std::bad_alloc();
    return static_cast<DWORD>(sim::ActiveWorld().NowMs());
}

TEST_F(OneCommand, AnExceptionOnTheWindowsThreadDuringTheWaitEndsNothingButThatTurn)
{
    LoadLabVm(L"Test Client");
    Type(IDC_ASSET_TAG, L"ASSET-NEW");
    world.StallCall(CallKind::ReadInstance, 1);
    windowThread = GetCurrentThreadId();
    windowTicks = 0;
    const auto tickCount = CurrentPlatform().tickCount;
    CurrentPlatform().tickCount = TickThatThrowsOnce;
    {
        Actor actor(world, [] { LetInputArrive(); });
        Command(IDC_APPLY);
    }
    CurrentPlatform().tickCount = tickCount;

    EXPECT_GE(windowTicks, 2);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(IsWindowEnabled(Window()));
    EXPECT_EQ(LabVm(L"Test Client").settings.chassisAssetTag, L"ASSET-NEW");
    // The worker is free for the next operation.
    SelectVm(L"Web Frontend");
    EXPECT_EQ(Text(IDC_VM_NAME), L"Web Frontend");
    Command(IDCANCEL);
    EXPECT_EQ(Pump(), std::optional<int>(2));
    EXPECT_EQ(HostFileBytes(), "HV-LAB01\r\n");
}

TEST_F(OneCommand, ALogoffDuringAConnectionSavesAWholeList)
{
    EnterHost(L"HV-LAB01");
    world.StallCall(CallKind::ReadInstance, 1);
    std::string atLogoff;
    Actor actor(world, [&] {
        SendMessageW(Window(), WM_ENDSESSION, TRUE, 0);
        atLogoff = HostFileBytes();
    });
    EnterHost(L"HVHOST01");
    ASSERT_TRUE(actor.Join());

    // The new host joins once it is verified, after the save.
    EXPECT_EQ(atLogoff, "HV-LAB01\r\n");
    Command(IDCANCEL);
    EXPECT_EQ(Pump(), std::optional<int>(2));
    EXPECT_EQ(HostFileBytes(), "HV-LAB01\r\nHVHOST01\r\n");
}

TEST_F(OneCommand, StoppingTheListingHalfWaySaysHowManyAreListed)
{
    EnterHost(L"HV-LAB01");
    // The reads of listing again (the session kept): count them once, then stall the third
    // machine's.
    size_t from = world.CallCount();
    Command(IDC_REFRESH_LIST);
    unsigned beforeListing = 0;
    for (size_t i = from; i < world.Calls().size(); ++i) {
        const sim::CallRecord& call = world.Calls()[i];
        if (call.kind == CallKind::QueryInstances && call.className == L"Msvm_ComputerSystem")
            break;
        beforeListing += call.kind == CallKind::ReadInstance;
    }
    world.StallCall(CallKind::ReadInstance, beforeListing + 3);
    Actor actor(world, [] { hostwait::RequestStop(); }, false);
    Command(IDC_REFRESH_LIST);
    ASSERT_TRUE(actor.Join());

    EXPECT_EQ(ListedVms().size(), 2u);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text,
              L"Brackwin stopped waiting for HV-LAB01: only 2 virtual machines were listed. Use "
              L"\"Refresh Virtual Machine List\" to list them all.");
    EXPECT_EQ(platform.boxes[0].caption, L"Host Selection Error");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST_F(OneCommand, SessionsOpenedOnTheWorkerAreClosedThereBeforeTheClient)
{
    EnterHost(L"HV-LAB01");
    EnterHost(L".");
    const DWORD worker = application->Worker()->ThreadId();
    DestroyWindow(Window());
    Pump();
    world.ClearCalls();
    application->Shutdown();

    int sessionsClosed = 0;
    bool clientClosedAfterSessions = false;
    for (const sim::CallRecord& call : world.Calls()) {
        if (call.kind == CallKind::CloseSession) {
            ++sessionsClosed;
            EXPECT_EQ(call.thread, worker) << "a session closed off the worker";
            EXPECT_FALSE(clientClosedAfterSessions);
        }
        if (call.kind == CallKind::CloseSerializer || call.kind == CallKind::CloseApplication) {
            clientClosedAfterSessions = sessionsClosed > 0;
            EXPECT_EQ(call.thread, GetCurrentThreadId());
        }
    }
    // HV-LAB01's session and the shared one of the local computer.
    EXPECT_EQ(sessionsClosed, 2);
    EXPECT_TRUE(clientClosedAfterSessions);
}

struct CloseCase {
    const char* name;
    bool stoppable;  // a connection attempt, or a state read that cannot be stopped
    int answer;      // to the question, when one is asked
    bool closes;
};

class ClosingDuringAnOperation : public OneCommand,
                                 public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingDuringAnOperation, IsRememberedAndCarriedOutWhenItEnds)
{
    const CloseCase& c = GetParam();
    std::optional<int> quit;
    if (c.stoppable) {
        EnterHost(L"HV-LAB01");
        world.StallCall(CallKind::ReadInstance, 1);
        platform.answers = {c.answer};
        // Unanswered, the read ends only when the user stops waiting.
        Actor actor(world, [&] { PostMessageW(Window(), WM_CLOSE, 0, 0); LetInputArrive(); },
                    !c.closes);
        quit = EnterHostAndPump(L"HVHOST01");
        ASSERT_TRUE(actor.Join());
        ASSERT_FALSE(platform.boxes.empty());
        EXPECT_EQ(platform.boxes[0].text,
                  L"Stop waiting for \"Connecting to HVHOST01\" and close Brackwin?");
        EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));
        // Stopped: no box follows the question.
        EXPECT_EQ(platform.boxes.size(), 1u);
    } else {
        LoadLabVm(L"Web Frontend");
        world.StallCall(CallKind::ReadInstance, 1);
        Actor actor(world, [&] { PostMessageW(Window(), WM_CLOSE, 0, 0); LetInputArrive(); });
        Command(IDC_REFRESH_STATE);
        ASSERT_TRUE(actor.Join());
        quit = Pump();
        EXPECT_TRUE(platform.boxes.empty());
    }
    if (!c.closes) {
        EXPECT_EQ(quit, std::nullopt);
        ASSERT_NE(dialog->m_hWnd, nullptr);
        EXPECT_EQ(dialog->currentHost, L"HVHOST01");
        return;
    }
    EXPECT_EQ(quit, std::optional<int>(2));
    EXPECT_EQ(dialog->m_hWnd, nullptr);
    EXPECT_EQ(HostFileBytes(), "HV-LAB01\r\n");
}

const CloseCase closeCases[] = {
    {"StoppedWhenTheUserSaysYes", true, IDYES, true},
    {"WaitedForWhenTheUserSaysNo", true, IDNO, false},
    {"CarriedOutAfterAnOperationThatCannotBeStopped", false, IDOK, true},
};

INSTANTIATE_TEST_SUITE_P(Closes, ClosingDuringAnOperation, ::testing::ValuesIn(closeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}
