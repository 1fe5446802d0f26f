#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

using Names = std::vector<std::wstring>;

// The lab window with three saved hosts: HV-LAB01 saved in lower case, one unreachable.
class KnownHosts : public LabWindow {
protected:
    KnownHosts() { WriteHostFile("hv-lab01\r\nHVHOST01\r\nNOWHERE\r\n"); }

    // Connects to HV-LAB01 and leaves an unsaved edit on Test Client.
    void EditTestClient()
    {
        LoadLabVm(L"Test Client");
        Type(IDC_BIOS_SERIAL, L"EDITED");
        ASSERT_TRUE(IsEnabled(IDC_APPLY));
        world.ClearCalls();
    }

    void ExpectTestClientStillEdited()
    {
        EXPECT_EQ(dialog->currentHost, L"HV-LAB01");
        EXPECT_EQ(ListedVms().size(), 4u);
        EXPECT_EQ(Text(IDC_VM_NAME), L"Test Client");
        EXPECT_EQ(Text(IDC_BIOS_SERIAL), L"EDITED");
        EXPECT_TRUE(IsEnabled(IDC_APPLY));
    }
};

TEST_F(KnownHosts, ArrowKeysInTheClosedFieldMoveThroughTheNamesWithoutConnecting)
{
    const Names hosts = ComboHosts();
    ASSERT_EQ(hosts.size(), 3u);
    Names shown;
    for (size_t step = 0; step < hosts.size(); ++step) {
        PressHostFieldKey(VK_DOWN);
        shown.push_back(Text(IDC_HOST_COMBO));
    }
    EXPECT_EQ(shown, hosts);
    PressHostFieldKey(VK_UP);
    EXPECT_TRUE(world.Calls().empty());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(dialog->currentHost, L"");

    // Enter connects to the name the keys stopped on, upper-cased as typed names are.
    PressHostFieldKey(VK_RETURN);
    std::wstring typed = hosts[1];
    for (wchar_t& c : typed) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    EXPECT_EQ(dialog->currentHost, typed);
    EXPECT_FALSE(world.Calls().empty());
}

TEST_F(KnownHosts, AMouseChoiceInTheOpenListConnectsOnceTheListIsClosed)
{
    OpenHostList();
    ClickHost(L"hv-lab01");
    EXPECT_FALSE(SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_GETDROPPEDSTATE, 0, 0));
    // A name from the list is used as it is spelled there.
    EXPECT_EQ(dialog->currentHost, L"hv-lab01");
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"hv-lab01");
    EXPECT_EQ(ListedVms().size(), 4u);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(KnownHosts, EnterInTheOpenListClosesItAndConnectsToTheFieldsName)
{
    OpenHostList();
    SetWindowTextW(dialog->hostEdit, L"hvhost01");
    PressHostFieldKey(VK_RETURN);
    EXPECT_FALSE(SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(dialog->currentHost, L"HVHOST01");
    EXPECT_TRUE(platform.boxes.empty());
}

struct ClosingKey {
    const char* name;
    UINT message;
    WPARAM key;
    LPARAM flags;
    bool connects;
};

class ClosingTheOpenList : public KnownHosts, public ::testing::WithParamInterface<ClosingKey> {};

TEST_P(ClosingTheOpenList, OnANewNameConnectsUnlessCancelled)
{
    const ClosingKey& c = GetParam();
    OpenHostList();
    // In the open list the arrow keys move the highlight and the field with it.
    PressHostFieldKey(VK_DOWN);
    const std::wstring highlighted = SelectedHost();
    ASSERT_FALSE(highlighted.empty());
    EXPECT_EQ(Text(IDC_HOST_COMBO), highlighted);
    EXPECT_TRUE(world.Calls().empty());

    PostMessageW(dialog->hostEdit, c.message, c.key, c.flags);
    EXPECT_EQ(Pump(), std::nullopt);
    EXPECT_FALSE(SendDlgItemMessageW(Window(), IDC_HOST_COMBO, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(dialog->currentHost, c.connects ? highlighted : L"");
    EXPECT_EQ(world.Calls().empty(), !c.connects);
}

constexpr LPARAM altDown = 1 << 29;

INSTANTIATE_TEST_SUITE_P(
    Keys, ClosingTheOpenList,
    ::testing::Values(ClosingKey{"F4", WM_KEYDOWN, VK_F4, 0, true},
                      ClosingKey{"AltUp", WM_SYSKEYDOWN, VK_UP, altDown, true},
                      ClosingKey{"AltDown", WM_SYSKEYDOWN, VK_DOWN, altDown, true},
                      ClosingKey{"Escape", WM_KEYDOWN, VK_ESCAPE, 0, false}),
    [](const ::testing::TestParamInfo<ClosingKey>& info) { return info.param.name; });

enum class Choice { MouseInTheOpenList, TypedAndEnter };

class KeepingEdits : public KnownHosts, public ::testing::WithParamInterface<Choice> {};

TEST_P(KeepingEdits, NoPutsTheCurrentHostBackIntoTheFieldAndTheSelection)
{
    EditTestClient();
    platform.answers = {IDNO};
    if (GetParam() == Choice::MouseInTheOpenList) {
        OpenHostList();
        ClickHost(L"HVHOST01");
    } else {
        EnterHost(L"hvhost01");
    }
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Unsaved changes");
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"HV-LAB01");
    EXPECT_EQ(SelectedHost(), L"hv-lab01");
    EXPECT_TRUE(world.Calls().empty());
    ExpectTestClientStillEdited();

    // Refresh goes to the host the form shows.
    platform.answers = {IDYES};
    Command(IDC_REFRESH_LIST);
    Pump();
    EXPECT_EQ(dialog->currentHost, L"HV-LAB01");
    EXPECT_EQ(ListedVms().size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Choices, KeepingEdits,
                         ::testing::Values(Choice::MouseInTheOpenList, Choice::TypedAndEnter));

TEST_F(KnownHosts, DeleteOnTheCurrentHostWithUnsavedEditsAsksAndNoKeepsEverything)
{
    EditTestClient();
    OpenHostList();
    HighlightHost(L"hv-lab01");
    platform.answers = {IDNO};
    PressHostFieldKey(VK_DELETE);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, L"Unsaved changes");
    EXPECT_EQ(ComboHosts().size(), 3u);
    EXPECT_EQ(Text(IDC_HOST_COMBO), L"hv-lab01");
    ExpectTestClientStillEdited();

    SendMessageW(Control(IDC_HOST_COMBO), CB_SHOWDROPDOWN, FALSE, 0);
    platform.answers = {IDYES};
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(HostFileBytes(), "hv-lab01\r\nHVHOST01\r\nNOWHERE\r\n");
}

TEST_F(KnownHosts, DeleteOnTheCurrentHostWithUnsavedEditsAndYesForgetsIt)
{
    EditTestClient();
    OpenHostList();
    HighlightHost(L"hv-lab01");
    platform.answers = {IDYES};
    PressHostFieldKey(VK_DELETE);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(ComboHosts().size(), 2u);
    EXPECT_TRUE(ListedVms().empty());
    EXPECT_EQ(Text(IDC_VM_NAME), L"");
    EXPECT_FALSE(IsEnabled(IDC_APPLY));

    SendMessageW(Control(IDC_HOST_COMBO), CB_SHOWDROPDOWN, FALSE, 0);
    Command(IDOK);
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(HostFileBytes(), "HVHOST01\r\nNOWHERE\r\n");
}

TEST_F(KnownHosts, DeleteOnAnotherHostForgetsItWithoutAsking)
{
    EditTestClient();
    OpenHostList();
    HighlightHost(L"NOWHERE");
    PressHostFieldKey(VK_DELETE);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(ComboHosts().size(), 2u);
    ExpectTestClientStillEdited();
}

}
