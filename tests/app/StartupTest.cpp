#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/FatalErrors.h"
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

}
