#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/Unique.h"
#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

constexpr char savedBefore[] = "HV-OTHER\r\nhv-gone\r\n";

// The system's own words for an error, as FormatMessage gives them.
std::wstring SystemWords(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text, length);
    LocalFree(text);
    return words;
}

class SavingHosts : public LabWindow {
protected:
    SavingHosts() { WriteHostFile(savedBefore); }
};

TEST_F(SavingHosts, ClosingAppliesThisRunsChangesToTheFileAsItIsNow)
{
    EnterHost(L"HV-LAB01");
    OpenHostList();
    HighlightHost(L"hv-gone");
    PressHostFieldKey(VK_DELETE);
    SendMessageW(Control(IDC_HOST_COMBO), CB_SHOWDROPDOWN, FALSE, 0);
    // Another program saved its hosts meanwhile, one of them a spelling of a listed host.
    WriteHostFile("HV-OTHER\r\nhv-gone\r\nHV-THIRD\r\nHv-Other\r\n");

    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(HostFileBytes(), "HV-OTHER\r\nHV-THIRD\r\nHV-LAB01\r\n");
}

TEST_F(SavingHosts, ClosingWithoutChangesLeavesTheFileAsItWas)
{
    // A connection to a listed host, in another spelling, is no change.
    EnterHost(L"hv-other");
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(HostFileBytes(), savedBefore);
}

struct EndSession {
    const char* name;
    BOOL ending;
    const char* file;
};

class EndingTheSession : public LabWindow, public ::testing::WithParamInterface<EndSession> {};

TEST_P(EndingTheSession, SavesTheListOnlyWhenTheSessionEnds)
{
    EnterHost(L"HV-LAB01");
    EXPECT_EQ(SendMessageW(Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(Window(), WM_ENDSESSION, GetParam().ending, ENDSESSION_LOGOFF);
    EXPECT_EQ(HostFileBytes(), GetParam().file);
    EXPECT_TRUE(IsWindow(Window()));
    EXPECT_TRUE(platform.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, EndingTheSession,
                         ::testing::Values(EndSession{"Ending", TRUE, "HV-LAB01\r\n"},
                                           EndSession{"Cancelled", FALSE, ""}),
                         [](const ::testing::TestParamInfo<EndSession>& info) {
                             return info.param.name;
                         });

TEST_F(LabWindow, AfterTheEndOfSessionSaveClosingWritesNothingMore)
{
    EnterHost(L"HV-LAB01");
    SendMessageW(Window(), WM_ENDSESSION, TRUE, 0);
    // Another program forgets the host; this run's addition is not made again.
    WriteHostFile("HV-OTHER\r\n");
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(HostFileBytes(), "HV-OTHER\r\n");
}

// The file held open without sharing from before the window opens: a scanner or a sync tool.
class HeldHostFile : public SavingHosts {
protected:
    UniqueFile holder{CreateFileW(platform.HostFile().c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
};

TEST_F(HeldHostFile, AFileUnreadableFromStartToCloseIsLeftAndTheUserIsTold)
{
    ASSERT_TRUE(holder);
    EXPECT_TRUE(ComboHosts().empty());
    EnterHost(L"HV-LAB01");
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    holder.Reset();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Saving Host List");
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(platform.boxes[0].text,
              L"The changes to the list of known hosts could not be saved.\r\n"
              L"The file could not be read completely, so it was left as it was:\r\n" +
                  platform.HostFile() + L"\r\nWindows error: " + SystemWords(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(HostFileBytes(), savedBefore);
}

TEST_F(SavingHosts, AReadOnlyFileIsLeftAndTheUserIsTold)
{
    ASSERT_TRUE(SetFileAttributesW(platform.HostFile().c_str(), FILE_ATTRIBUTE_READONLY));
    EnterHost(L"HV-LAB01");
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    SetFileAttributesW(platform.HostFile().c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Saving Host List");
    EXPECT_EQ(platform.boxes[0].text,
              L"The changes to the list of known hosts could not be saved.\r\n"
              L"The file is read-only, so it was left as it was:\r\n" +
                  platform.HostFile());
    EXPECT_EQ(HostFileBytes(), savedBefore);
}

}
