#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Application.h"
#include "sim/SimWorld.h"
#include "tests/support/FakePlatform.h"

namespace {

constexpr wchar_t computerNameText[] =
    L"Unable to determine local computer name. Check the condition of this system.";
constexpr wchar_t clientText[] =
    L"Unable to initialize the Windows Management Interface. This is one of those system "
    L"problems that should never happen, so the application will exit to avoid causing damage.";
constexpr wchar_t serializerText[] =
    L"Unable to create a serializer for the Windows Management Interface. This is one of those "
    L"system problems that should never happen, so the application will exit to avoid causing "
    L"damage.";

TEST(Startup, ComputerNameIsUpperCasedAsciiOnly)
{
    FakePlatform fake;
    fake.computerName = L"hv-lab01.ex\u00e4mple";
    Application application(GetModuleHandleW(nullptr));
    ASSERT_NE(application.Init(), -1);
    EXPECT_EQ(application.ComputerName(), L"HV-LAB01.EX\u00e4MPLE");
    application.Shutdown();
    EXPECT_TRUE(fake.boxes.empty());
}

struct NameCase {
    const char* name;
    bool lookupFails;
    const wchar_t* computerName;
};

class ComputerNameFailures : public ::testing::TestWithParam<NameCase> {};

TEST_P(ComputerNameFailures, AreFatalWithoutOwnerBeforeTheClientIsAsked)
{
    const NameCase& c = GetParam();
    FakePlatform fake;
    fake.failComputerName = c.lookupFails;
    fake.computerName = c.computerName;
    sim::World world;
    sim::ScopedWorld installed(world);
    Application application(GetModuleHandleW(nullptr));
    EXPECT_EQ(application.Init(), -1);
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
    application.Shutdown();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_EQ(fake.boxes[0].text, computerNameText);
    EXPECT_EQ(fake.boxes[0].caption, L"Critical Error");
    EXPECT_EQ(fake.boxes[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(application.MainDialog(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, ComputerNameFailures,
    ::testing::Values(NameCase{"LookupFails", true, L"brackwin-test"},
                      NameCase{"EmptyName", false, L""}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.name; });

struct FatalCase {
    const char* name;
    sim::CallKind failing;
    const wchar_t* text;
};

class ManagementStartupFailures : public ::testing::TestWithParam<FatalCase> {};

TEST_P(ManagementStartupFailures, ShowTheirBoxWithoutOwnerAndEndWithMinusOne)
{
    const FatalCase& c = GetParam();
    FakePlatform fake;
    sim::World world;
    sim::ScopedWorld installed(world);
    world.FailCall(c.failing, 1, MI_RESULT_FAILED);
    Application application(GetModuleHandleW(nullptr));
    EXPECT_EQ(application.Init(), -1);
    application.Shutdown();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_EQ(fake.boxes[0].text, c.text);
    EXPECT_EQ(fake.boxes[0].caption, L"Brackwin");
    EXPECT_EQ(fake.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(application.MainDialog(), nullptr);
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ManagementStartupFailures,
    ::testing::Values(FatalCase{"Client", sim::CallKind::Initialize, clientText},
                      FatalCase{"Serializer", sim::CallKind::NewSerializer, serializerText}),
    [](const ::testing::TestParamInfo<FatalCase>& info) { return info.param.name; });

TEST(Startup, ShutdownAfterASuccessfulInitClosesTheSerializerAndThenTheClient)
{
    FakePlatform fake;
    sim::World world;
    sim::ScopedWorld installed(world);
    Application application(GetModuleHandleW(nullptr));
    ASSERT_NE(application.Init(), -1);
    EXPECT_EQ(world.Live().serializers, 1);
    EXPECT_EQ(world.Live().applications, 1);
    world.ClearCalls();
    application.Shutdown();
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
    std::vector<sim::CallKind> closes;
    for (const sim::CallRecord& call : world.Calls())
        closes.push_back(call.kind);
    EXPECT_EQ(closes, (std::vector<sim::CallKind>{sim::CallKind::CloseSerializer,
                                                  sim::CallKind::CloseApplication}));
}

TEST(Startup, AMainWindowThatCannotBeCreatedEndsTheRunWithZero)
{
    FakePlatform fake;
    sim::World world;
    sim::ScopedWorld installed(world);
    // A module without the main window's dialog template.
    Application application(GetModuleHandleW(L"ntdll.dll"));
    ASSERT_NE(application.Init(), -1);
    // A loop that ran anyway would end with this code instead of waiting forever.
    PostQuitMessage(5);
    EXPECT_EQ(application.Run(L"", SW_SHOWNORMAL), 0);
    MSG left{};
    while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
    }
    application.Shutdown();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
}

}
