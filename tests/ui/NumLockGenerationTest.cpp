// The Num Lock box by the machine's generation. Generation 2 firmware has no Num Lock setting:
// the box shows the value as read, takes no change, and Apply writes that value back.
// Generation 1 and an unknown subtype take the change as any setting does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "sim/CimXmlReader.h"
#include "sim/DemoWorld.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

struct BoxCase {
    const char* name;
    int generation;
    bool read;          // the host's value when the machine is loaded
    bool enabled;
    const wchar_t* sent; // BIOSNumLock as written by Apply after a click
};

class NumLockBox : public LabWindow, public ::testing::WithParamInterface<BoxCase> {
protected:
    bool Checked() const { return IsDlgButtonChecked(Window(), IDC_NUMLOCK) == BST_CHECKED; }

    // BIOSNumLock in the last settings text the host was sent; empty when none was.
    std::wstring SentNumLock() const
    {
        for (auto call = world.Calls().rbegin(); call != world.Calls().rend(); ++call) {
            if (call->kind != sim::CallKind::Invoke || call->method != L"ModifySystemSettings")
                continue;
            for (const auto& [name, value] : call->parameters) {
                const auto text = name == L"SystemSettings" ? sim::ReadCimXml(value) : std::nullopt;
                const sim::CimProperty* numLock = text ? text->Find(L"BIOSNumLock") : nullptr;
                if (numLock && !numLock->values.empty())
                    return numLock->values.front();
            }
        }
        return {};
    }
};

TEST_P(NumLockBox, FollowsTheGenerationAndApplyWritesOnlyWhatMayChange)
{
    const BoxCase& c = GetParam();
    sim::Vm& vm = LabVm(L"Test Client");
    vm.generation = c.generation;
    vm.settings.biosNumLock = c.read;
    LoadLabVm(L"Test Client");
    EXPECT_EQ(Checked(), c.read);
    EXPECT_EQ(IsEnabled(IDC_NUMLOCK), c.enabled);

    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    // A disabled box takes no click; a command from it, as another program may send, changes
    // nothing either.
    if (!c.enabled) {
        CheckDlgButton(Window(), IDC_NUMLOCK, c.read ? BST_UNCHECKED : BST_CHECKED);
        Command(IDC_NUMLOCK);
    }
    Type(IDC_ASSET_TAG, L"NL-TAG");
    Command(IDC_APPLY);
    Pump();

    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(vm.settings.chassisAssetTag, L"NL-TAG");
    EXPECT_EQ(SentNumLock(), c.sent);
    // Read back from the host.
    EXPECT_EQ(Checked(), vm.settings.biosNumLock);
    EXPECT_EQ(IsEnabled(IDC_NUMLOCK), c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Generations, NumLockBox,
    ::testing::Values(BoxCase{"Generation1", 1, false, true, L"TRUE"},
                      BoxCase{"Generation2ReadOn", 2, true, false, L"TRUE"},
                      BoxCase{"Generation2ReadOff", 2, false, false, L"FALSE"},
                      BoxCase{"UnknownSubtype", 3, true, true, L"FALSE"}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return info.param.name; });

// The demo's machines are generation 2 but for two on HV-LAB01.
class DemoNumLock : public MainWindowFixture {
protected:
    DemoNumLock() { sim::FurnishDemoWorld(world); }
};

TEST_F(DemoNumLock, EveryGeneration2MachineShowsTheBoxDisabled)
{
    const struct {
        const wchar_t* host;
        const wchar_t* vm;
        bool enabled;
    } machines[] = {
        {L"LOCALHOST", L"Build Agent 01", false}, {L"LOCALHOST", L"Build Agent 02", false},
        {L"LOCALHOST", L"Domain Controller", false},
        {L"HV-LAB01", L"Web Frontend", false},    {L"HV-LAB01", L"Database", false},
        {L"HV-LAB01", L"Test Client", true},      {L"HV-LAB01", L"Archive", false},
        {L"HV-LAB01", L"Staging", false},         {L"HV-LAB01", L"Legacy App", true},
        {L"HV-LAB03", L"Dateiserver", false},     {L"HV-LAB03", L"Testrechner", false},
    };
    std::wstring connected;
    for (const auto& machine : machines) {
        if (connected != machine.host) {
            EnterHost(machine.host);
            connected = machine.host;
        }
        SelectVm(machine.vm);
        ASSERT_EQ(Text(IDC_VM_NAME), machine.vm);
        EXPECT_EQ(IsEnabled(IDC_NUMLOCK), machine.enabled) << std::string(machine.vm, machine.vm + wcslen(machine.vm));
        EXPECT_TRUE(IsEnabled(IDC_ASSET_TAG));
    }
    EXPECT_TRUE(platform.boxes.empty());
}

}
