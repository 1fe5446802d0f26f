#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "mgmt/ManagementText.h"
#include "tests/vm/MachineFixture.h"
#include "vm/PowerControl.h"
#include "vm/PowerState.h"

namespace {

using sim::CallKind;

constexpr wchar_t changeCaption[] = L"Error Changing VM State";
constexpr wchar_t shutdownCaption[] = L"Error Shutting Down VM";

class Power : public MachineFixture {
protected:
    void ExpectOneBox(const std::wstring& text, const wchar_t* caption) const
    {
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].text, text);
        EXPECT_EQ(platform.boxes[0].caption, caption);
        EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    }

    // Reads of the machine's state: whole instances before a command, and the wait's polls,
    // which query EnabledState alone.
    int StateReads() const
    {
        return CountCalls(CallKind::GetInstance, L"Msvm_ComputerSystem") + Polls();
    }
    int Polls() const { return CountCalls(CallKind::QueryInstances, L"Msvm_ComputerSystem"); }
};

struct DirectionCase {
    std::string label;
    MI_Uint16 state;
    std::uint16_t requested;
    bool hostAccepts;
    const wchar_t* staleText; // asked the other way, on a display that was stale
};

class PowerDirection : public Power, public ::testing::WithParamInterface<DirectionCase> {};

// The state just read decides the request; a button pressed on a stale display sends nothing,
// and the user is told why.
TEST_P(PowerDirection, FollowsTheStateJustRead)
{
    const DirectionCase& c = GetParam();
    HostVm(L"Test Client").enabledState = c.state;
    VmEntry& entry = Loaded(L"Test Client");
    const sim::LiveCounts before = world.Live();
    const std::uint16_t other = c.requested == stateRunning ? stateOff : stateRunning;

    EXPECT_FALSE(ChangePowerState(entry, other));
    EXPECT_EQ(CountCalls(CallKind::Invoke), 0);
    ExpectOneBox(c.staleText, changeCaption);
    platform.boxes.clear();

    EXPECT_EQ(ChangePowerState(entry, c.requested), c.hostAccepts);
    const sim::CallRecord* call = LastInvoke(L"RequestStateChange");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->className, L"Msvm_ComputerSystem");
    EXPECT_EQ(call->nameSpace, L"root/virtualization/v2");
    ASSERT_EQ(call->parameters.size(), 1u);
    EXPECT_EQ(*Parameter(*call, L"RequestedState"), std::to_wstring(c.requested));
    if (c.hostAccepts) {
        EXPECT_TRUE(platform.boxes.empty());
        EXPECT_EQ(HostVm(L"Test Client").enabledState, c.requested);
    } else {
        // The host refuses to start these: worded for a start, not a shutdown.
        ExpectOneBox(L"Cannot start the virtual machine in its current state", changeCaption);
    }
    EXPECT_EQ(world.Live(), before);
}

constexpr wchar_t runningAlready[] = L"Test Client is running already, so nothing was sent.";

INSTANTIATE_TEST_SUITE_P(
    States, PowerDirection,
    ::testing::Values(
        DirectionCase{"Unknown", 0, 2, false,
                      L"Test Client is not running (its state is Unknown), so nothing was sent."},
        DirectionCase{"InTransition", 1, 2, false,
                      L"Test Client is not running (its state is In Transition), so nothing was "
                      L"sent."},
        DirectionCase{"Running", 2, 3, true, runningAlready},
        DirectionCase{"Off", 3, 2, true,
                      L"Test Client is not running (its state is Off), so nothing was sent."},
        DirectionCase{"Saved", 6, 2, true,
                      L"Test Client is not running (its state is Saved), so nothing was sent."},
        DirectionCase{"Paused", 9, 2, true,
                      L"Test Client is not running (its state is Paused), so nothing was sent."},
        DirectionCase{"Reset", 11, 2, false,
                      L"Test Client is not running (its state is In Transition), so nothing was "
                      L"sent."}),
    CaseName<DirectionCase>);

struct ReturnCase {
    std::string label;
    MI_Uint32 returnValue;
    const wchar_t* startText;   // RequestStateChange to Running; null: success
    const wchar_t* turnOffText; // RequestStateChange to Off; null: success
    const wchar_t* shutdownText; // InitiateShutdown; null: success
};

class PowerReturnValues : public Power, public ::testing::WithParamInterface<ReturnCase> {};

TEST_P(PowerReturnValues, AreWordedByEachMethodsOwnColumn)
{
    const ReturnCase& c = GetParam();
    world.FixReturnValue(L"RequestStateChange", c.returnValue);
    world.FixReturnValue(L"InitiateShutdown", c.returnValue);
    VmEntry& off = Loaded(L"Test Client");
    VmEntry& running = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();

    EXPECT_EQ(ChangePowerState(off, stateRunning), c.startText == nullptr);
    if (c.startText)
        ExpectOneBox(c.startText, changeCaption);
    else
        EXPECT_TRUE(platform.boxes.empty());
    platform.boxes.clear();

    EXPECT_EQ(ChangePowerState(running, stateOff), c.turnOffText == nullptr);
    if (c.turnOffText)
        ExpectOneBox(c.turnOffText, changeCaption);
    else
        EXPECT_TRUE(platform.boxes.empty());
    platform.boxes.clear();
    // A fixed answer changes nothing: the machine still runs for the guest shutdown.
    HostVm(L"Web").enabledState = sim::state::Running;

    EXPECT_EQ(GracefulShutdown(running, false), c.shutdownText == nullptr);
    if (c.shutdownText)
        ExpectOneBox(c.shutdownText, shutdownCaption);
    else
        EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(world.Live(), before);
}

constexpr wchar_t unknown[] = L"An unknown error occurred";

INSTANTIATE_TEST_SUITE_P(
    Host, PowerReturnValues,
    ::testing::Values(
        ReturnCase{"Done", 0, nullptr, nullptr, nullptr},
        // A job for the state change, an unknown answer from the guest shutdown.
        ReturnCase{"JobStarted", 4096, nullptr, nullptr, unknown},
        ReturnCase{"One", 1, unknown, unknown, unknown},
        ReturnCase{"Unspecified", 32768, L"Starting the virtual machine failed with an unspecified error",
                   L"Shutdown failed with an unspecified error",
                   L"Shutdown failed with an unspecified error"},
        ReturnCase{"AccessDenied", 32769, L"Access denied", L"Access denied", L"Access denied"},
        ReturnCase{"StatusUnknown", 32771, unknown, unknown, unknown},
        ReturnCase{"InvalidState", 32775, L"Cannot start the virtual machine in its current state",
                   L"Cannot shut the virtual machine down in its current state",
                   L"Cannot shut the virtual machine down in its current state"},
        ReturnCase{"OutOfMemory", 32778, L"Out of memory", L"Out of memory", L"Out of memory"},
        ReturnCase{"FileNotFound", 32779, unknown, unknown, L"File not found"},
        ReturnCase{"NotReady", 32780, unknown, unknown, L"The system is not ready"},
        ReturnCase{"Locked", 32781, unknown, unknown, L"The virtual machine's console is locked"},
        ReturnCase{"InProgress", 32782, unknown, unknown, L"A shut down is already in progress"},
        ReturnCase{"BeyondTheTable", 32783, unknown, unknown, unknown}),
    CaseName<ReturnCase>);

TEST_F(Power, AManagementFailureReadingTheAnswerIsWordedByItsResult)
{
    VmEntry& off = Loaded(L"Test Client");
    VmEntry& running = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    world.FailCall(CallKind::Invoke, 1, MI_RESULT_ACCESS_DENIED, L"RequestStateChange");
    world.FailCall(CallKind::Invoke, 1, MI_RESULT_SERVER_IS_SHUTTING_DOWN, L"InitiateShutdown");

    EXPECT_FALSE(ChangePowerState(off, stateRunning));
    ExpectOneBox(ResultText(MI_RESULT_ACCESS_DENIED), changeCaption);
    platform.boxes.clear();
    EXPECT_FALSE(GracefulShutdown(running, true));
    ExpectOneBox(ResultText(MI_RESULT_SERVER_IS_SHUTTING_DOWN), shutdownCaption);
    EXPECT_EQ(HostVm(L"Web").enabledState, sim::state::Running);
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Power, AFailedStateChangeJobIsShownInTheHostsWordsOrByItsCode)
{
    VmEntry& running = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    sim::JobPlan described;
    described.fails = true;
    described.errorDescription = L"'Web' could not turn off: the worker is busy";
    world.PlanNextJob(described);
    EXPECT_FALSE(ChangePowerState(running, stateOff));
    ExpectOneBox(L"'Web' could not turn off: the worker is busy", changeCaption);
    EXPECT_EQ(HostVm(L"Web").enabledState, sim::state::Running);

    platform.boxes.clear();
    world.FixReturnValue(L"RequestStateChange", 4096);
    sim::JobPlan silent;
    silent.fails = true;
    silent.errorCode = 32773;
    world.PlanNextJob(silent);
    EXPECT_FALSE(ChangePowerState(running, stateOff));
    ExpectOneBox(L"The host reported that its job failed (error code 32773) without describing "
                 L"the failure.",
                 changeCaption);
    EXPECT_EQ(world.Live(), before);
}

struct EarlyCase {
    std::string label;
    CallKind kind;
    const wchar_t* match;
    unsigned nth;
    const wchar_t* changeText;   // for Test Client
    const wchar_t* shutdownText; // for Web
};

class PowerEarlyFailures : public Power, public ::testing::WithParamInterface<EarlyCase> {};

TEST_P(PowerEarlyFailures, AreToldAndSendNothing)
{
    const EarlyCase& c = GetParam();
    VmEntry& off = Loaded(L"Test Client");
    VmEntry& running = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();

    world.FailCall(c.kind, c.nth, MI_RESULT_FAILED, c.match);
    EXPECT_FALSE(ChangePowerState(off, stateRunning));
    ExpectOneBox(c.changeText, changeCaption);
    platform.boxes.clear();
    world.FailCall(c.kind, c.nth, MI_RESULT_FAILED, c.match);
    EXPECT_FALSE(GracefulShutdown(running, true));
    ExpectOneBox(c.shutdownText, shutdownCaption);

    EXPECT_EQ(CountCalls(CallKind::Invoke), 0);
    EXPECT_EQ(world.Live(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PowerEarlyFailures,
    ::testing::Values(
        EarlyCase{"StateUnread", CallKind::GetInstance, L"Msvm_ComputerSystem", 1,
                  L"The power state of Test Client could not be read from HV-LAB01, so nothing "
                  L"was sent.\r\n\r\nThe management interface encountered an unspecified "
                  L"error.\r\nDetails: Generic failure",
                  L"The power state of Web could not be read from HV-LAB01, so nothing was "
                  L"sent.\r\n\r\nThe management interface encountered an unspecified "
                  L"error.\r\nDetails: Generic failure"},
        EarlyCase{"StateElementUnread", CallKind::GetElement, L"EnabledState", 1,
                  L"The power state of Test Client could not be read from HV-LAB01, so nothing "
                  L"was sent.\r\n\r\nThe management interface encountered an unspecified "
                  L"error.",
                  L"The power state of Web could not be read from HV-LAB01, so nothing was "
                  L"sent.\r\n\r\nThe management interface encountered an unspecified "
                  L"error."},
        EarlyCase{"NoParameters", CallKind::NewInstance, L"__parameters", 1,
                  L"The request for Test Client could not be prepared, so nothing was "
                  L"sent.\r\n\r\nThe management interface encountered an unspecified error.",
                  L"The request for Web could not be prepared, so nothing was sent.\r\n\r\nThe "
                  L"management interface encountered an unspecified error."},
        // A parameter left out would send a request the user did not make.
        EarlyCase{"ParameterNotAdded", CallKind::AddElement, L"", 1,
                  L"The request for Test Client could not be prepared, so nothing was "
                  L"sent.\r\n\r\nThe management interface encountered an unspecified error.",
                  L"The request for Web could not be prepared, so nothing was sent.\r\n\r\nThe "
                  L"management interface encountered an unspecified error."}),
    CaseName<EarlyCase>);

struct IdleCase {
    std::string label;
    MI_Uint16 state;
    bool result;
    const wchar_t* text; // the box; null for none
};

class ShutdownOfAMachineNotRunning : public Power,
                                     public ::testing::WithParamInterface<IdleCase> {};

TEST_P(ShutdownOfAMachineNotRunning, SendsNothing)
{
    const IdleCase& c = GetParam();
    HostVm(L"Test Client").enabledState = c.state;
    VmEntry& entry = Loaded(L"Test Client");

    EXPECT_EQ(GracefulShutdown(entry, true), c.result);

    EXPECT_EQ(CountCalls(CallKind::QueryInstances), 0);
    EXPECT_EQ(CountCalls(CallKind::Invoke), 0);
    EXPECT_EQ(StateReads(), 1);
    if (c.text)
        ExpectOneBox(c.text, shutdownCaption);
    else
        EXPECT_TRUE(platform.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    States, ShutdownOfAMachineNotRunning,
    ::testing::Values(IdleCase{"AlreadyOff", 3, true, nullptr},
                      IdleCase{"Saved", 6, false,
                               L"Test Client is not running (its state is Saved), so it cannot "
                               L"be shut down."},
                      IdleCase{"Paused", 9, false,
                               L"Test Client is not running (its state is Paused), so it cannot "
                               L"be shut down."},
                      IdleCase{"InTransition", 1, false,
                               L"Test Client is not running (its state is In Transition), so it "
                               L"cannot be shut down."}),
    CaseName<IdleCase>);

TEST_F(Power, ShutdownAsksTheGuestsComponentAndReturnsWithoutWaiting)
{
    VmEntry& entry = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();

    EXPECT_TRUE(GracefulShutdown(entry, false));

    ASSERT_EQ(CountCalls(CallKind::QueryInstances), 1);
    const sim::CallRecord& query = *std::find_if(
        world.Calls().begin(), world.Calls().end(),
        [](const sim::CallRecord& call) { return call.kind == CallKind::QueryInstances; });
    EXPECT_EQ(query.query,
              std::wstring(L"SELECT * FROM Msvm_ShutdownComponent WHERE SystemName='") +
                  runningGuid + L"'");
    EXPECT_EQ(query.nameSpace, L"root/virtualization/v2");
    const sim::CallRecord* call = LastInvoke(L"InitiateShutdown");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->className, L"Msvm_ShutdownComponent");
    using Parameters = std::vector<std::pair<std::wstring, std::wstring>>;
    EXPECT_EQ(call->parameters,
              (Parameters{{L"Force", L"TRUE"}, {L"Reason", L"Because I want to"}}));
    EXPECT_EQ(StateReads(), 1);
    EXPECT_EQ(HostVm(L"Web").enabledState, sim::state::Running);
    EXPECT_TRUE(HostVm(L"Web").shutdownRequested);
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Power, AGuestWithoutAShutdownServiceIsToldToUseForcePowerOff)
{
    HostVm(L"Web").guestShutdownService = false;
    VmEntry& entry = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    EXPECT_FALSE(GracefulShutdown(entry, true));
    EXPECT_EQ(CountCalls(CallKind::QueryInstances), 1);
    EXPECT_EQ(CountCalls(CallKind::Invoke), 0);
    ExpectOneBox(L"The guest of Web offers no shutdown service, so it cannot be asked to shut "
                 L"down. Use \"Force Power Off\" to turn the virtual machine off.",
                 shutdownCaption);
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Power, AShutdownServiceThatCannotBeReadIsTold)
{
    VmEntry& entry = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    world.FailCall(CallKind::QueryInstances, 1, MI_RESULT_ACCESS_DENIED, L"Msvm_ShutdownComponent");
    EXPECT_FALSE(GracefulShutdown(entry, true));
    EXPECT_EQ(CountCalls(CallKind::Invoke), 0);
    ExpectOneBox(L"The shutdown service of the guest of Web could not be read from HV-LAB01, so "
                 L"it was not asked to shut down.\r\n\r\nAcess to the management interface "
                 L"object is denied.\r\nDetails: Access denied",
                 shutdownCaption);
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Power, AShutdownOfTwoSecondsIsReadAboutTwentyTimes)
{
    world.durations.guestShutdown = 2000;
    VmEntry& entry = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    const std::uint64_t start = world.NowMs();

    EXPECT_TRUE(GracefulShutdown(entry, true));

    // One read before the request, then one every 100 ms until the read at 2 s sees it off.
    EXPECT_EQ(StateReads(), 1 + 21);
    EXPECT_EQ(Polls(), 21);
    bool polled = false;
    for (const sim::CallRecord& call : world.Calls())
        polled = polled || call.query == std::wstring(L"SELECT EnabledState FROM Msvm_ComputerSystem "
                                                      L"WHERE Name = '") + runningGuid + L"'";
    EXPECT_TRUE(polled);
    EXPECT_EQ(world.NowMs() - start, 2100u);
    EXPECT_EQ(entry.EnabledState, stateOff);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Power, AStateReadFailingDuringTheWaitIsReadAgain)
{
    world.durations.guestShutdown = 2000;
    VmEntry& entry = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    world.FailCall(CallKind::QueryInstances, 4, MI_RESULT_FAILED, L"Msvm_ComputerSystem");

    EXPECT_TRUE(GracefulShutdown(entry, true));

    EXPECT_EQ(Polls(), 21);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(world.Live(), before);
}

TEST_F(Power, AStateThatStaysUnreadableEndsTheWaitAndIsTold)
{
    VmEntry& entry = Loaded(L"Web");
    const sim::LiveCounts before = world.Live();
    // Due faults fire one a call: polls 4 to 54 all fail.
    for (int fault = 0; fault < 51; ++fault)
        world.FailCall(CallKind::QueryInstances, 4, MI_RESULT_FAILED, L"Msvm_ComputerSystem");

    EXPECT_FALSE(GracefulShutdown(entry, true));

    EXPECT_EQ(Polls(), 54);
    ExpectOneBox(L"Web was asked to shut down, but its state could not be read while waiting, so "
                 L"the wait ended. Use \"Refresh State\" to check its power state.\r\n\r\nThe "
                 L"management interface encountered an unspecified error.\r\nDetails: Generic "
                 L"failure",
                 shutdownCaption);
    EXPECT_EQ(world.Live(), before);
}

struct LimitCase {
    std::string label;
    // How far before the tick counter's wrap the wait starts; 0 leaves the clock where it is.
    std::uint32_t beforeWrap;
};

class ShutdownWaitLimit : public Power, public ::testing::WithParamInterface<LimitCase> {};

// A guest that ignores the request is waited for 5 minutes on the unsigned tick difference,
// also when the 32-bit counter wraps during the wait; then the user is told.
TEST_P(ShutdownWaitLimit, GivesUpAfterFiveMinutes)
{
    const LimitCase& c = GetParam();
    HostVm(L"Web").guestIgnoresShutdown = true;
    VmEntry& entry = Loaded(L"Web");
    if (c.beforeWrap) {
        world.Advance(static_cast<std::uint32_t>((std::uint64_t{1} << 32) - c.beforeWrap -
                                                 world.NowMs()));
    }
    const sim::LiveCounts before = world.Live();
    const std::uint64_t start = world.NowMs();

    EXPECT_FALSE(GracefulShutdown(entry, true));

    EXPECT_EQ(world.NowMs() - start, 300000u);
    EXPECT_EQ(StateReads(), 1 + 3001);
    ExpectOneBox(L"The virtual machine did not turn off within 5 minutes. Its guest may still be "
                 L"shutting down, or it may have ignored the request. Use \"Refresh State\" to "
                 L"check its power state.",
                 shutdownCaption);
    EXPECT_EQ(entry.EnabledState, stateRunning);
    EXPECT_EQ(world.Live(), before);
}

INSTANTIATE_TEST_SUITE_P(Clock, ShutdownWaitLimit,
                         ::testing::Values(LimitCase{"Steady", 0},
                                           LimitCase{"WrapsAfterOneMinute", 60000},
                                           LimitCase{"WrapsAtTheLastPoll", 100}),
                         CaseName<LimitCase>);

}
