#include "tests/vm/MachineFixture.h"

void MachineFixture::SetUp()
{
    host = &world.AddHost(L"HV-LAB01");
    // Generation 1 machines, whose firmware has the Num Lock setting.
    sim::VmConfig off;
    off.name = L"Test Client";
    off.guid = offGuid;
    off.generation = 1;
    host->AddVm(off);
    sim::VmConfig running;
    running.name = L"Web";
    running.guid = runningGuid;
    running.state = sim::state::Running;
    running.generation = 1;
    host->AddVm(running);
    HostFixture::SetUp();
    session = Session(L"HV-LAB01");
    ASSERT_NE(session, nullptr);
    ASSERT_TRUE(ListVirtualMachines(*session));
}

sim::Vm& MachineFixture::HostVm(const wchar_t* name)
{
    sim::Vm* vm = host->FindVm(name);
    EXPECT_NE(vm, nullptr);
    return *vm;
}

VmEntry& MachineFixture::Loaded(const wchar_t* name)
{
    VmEntry* entry = Entry(*session, name);
    EXPECT_NE(entry, nullptr);
    EXPECT_TRUE(entry->LoadSettings());
    world.ClearCalls();
    return *entry;
}

const sim::CallRecord* MachineFixture::LastInvoke(const wchar_t* method) const
{
    const sim::CallRecord* last = nullptr;
    for (const sim::CallRecord& call : world.Calls())
        if (call.kind == sim::CallKind::Invoke && call.method == method)
            last = &call;
    return last;
}

const std::wstring* MachineFixture::Parameter(const sim::CallRecord& call, const wchar_t* name)
{
    for (const auto& [parameter, value] : call.parameters)
        if (parameter == name)
            return &value;
    return nullptr;
}
