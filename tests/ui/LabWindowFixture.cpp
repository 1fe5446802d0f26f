#include "tests/ui/LabWindowFixture.h"

LabWindow::LabWindow()
{
    for (const wchar_t* name : {L"Build Agent", L"Domain Controller"}) {
        sim::VmConfig vm;
        vm.name = name;
        vm.state = sim::state::Running;
        world.Local().AddVm(vm);
    }
    sim::Host& lab = world.AddHost(L"HV-LAB01");
    const struct {
        const wchar_t* name;
        MI_Uint16 state;
    } machines[] = {{L"Web Frontend", sim::state::Running}, {L"Test Client", sim::state::Off},
                    {L"Archive", sim::state::Saved},        {L"Staging", sim::state::Paused}};
    // Generation 1 machines, whose firmware has the Num Lock setting.
    for (const auto& machine : machines) {
        sim::VmConfig vm;
        vm.name = machine.name;
        vm.state = machine.state;
        vm.generation = 1;
        lab.AddVm(vm);
    }
    world.AddHost(L"HVHOST01");
    world.AddHost(L"HV-OLD", sim::HostKind::VirtualizationWithoutV2);
}

int LabWindow::Calls(sim::CallKind kind) const
{
    int count = 0;
    for (const sim::CallRecord& call : world.Calls())
        count += call.kind == kind ? 1 : 0;
    return count;
}

sim::Vm& LabWindow::LabVm(const wchar_t* name)
{
    return *world.FindHost(L"HV-LAB01")->FindVm(name);
}

void LabWindow::LoadLabVm(const wchar_t* name)
{
    EnterHost(L"HV-LAB01");
    SelectVm(name);
}
