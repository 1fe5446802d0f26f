#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/FatalErrors.h"
#include "sim/SimWorld.h"
#include "tests/support/FakePlatform.h"

namespace {

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

TEST(Startup, MissingComputerNameIsFatalWithoutOwner)
{
    FakePlatform fake;
    fake.failComputerName = true;
    Application application(GetModuleHandleW(nullptr));
    EXPECT_EQ(application.Init(), -1);
    application.Shutdown();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_EQ(fake.boxes[0].text, computerNameFailureText);
    EXPECT_EQ(fake.boxes[0].caption, L"Critical Error");
    EXPECT_EQ(fake.boxes[0].style, static_cast<UINT>(MB_OK));
}

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
    ::testing::Values(FatalCase{"Client", sim::CallKind::Initialize, managementFailureText},
                      FatalCase{"Serializer", sim::CallKind::NewSerializer, serializerFailureText}),
    [](const ::testing::TestParamInfo<FatalCase>& info) { return info.param.name; });

TEST(Startup, ShutdownAfterASuccessfulInitClosesTheSerializerAndClient)
{
    FakePlatform fake;
    sim::World world;
    sim::ScopedWorld installed(world);
    Application application(GetModuleHandleW(nullptr));
    ASSERT_NE(application.Init(), -1);
    EXPECT_EQ(world.Live().serializers, 1);
    EXPECT_EQ(world.Live().applications, 1);
    application.Shutdown();
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
}

}
