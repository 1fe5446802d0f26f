#include "tests/bench/FillMeasurements.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "mgmt/ManagementSession.h"
#include "res/resource.h"
#include "tests/bench/BenchWindow.h"
#include "tests/bench/Stopwatch.h"
#include "ui/MainDlg.h"

namespace {

constexpr int count = 10000;

// "VM 00001" to "VM 10000", added in reverse so that the host's order is not the list's.
void AddMachines(sim::Host& host)
{
    for (int index = count; index > 0; --index) {
        wchar_t name[16];
        swprintf(name, 16, L"VM %05d", index);
        sim::VmConfig vm;
        vm.name = name;
        host.AddVm(std::move(vm));
    }
}

void WriteHostFile(const std::wstring& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    for (int index = count; index > 0; --index)
        file << "hv-bench-" << index << "\r\n";
}

double Failed(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return -1;
}

}

double FillVmList()
{
    BenchWorld bench;
    AddMachines(bench.world.AddHost(L"HV-BENCH"));
    BenchWindow window;
    if (!window.Open())
        return Failed("the main window could not be opened");
    const Stopwatch stopwatch;
    window.EnterHost(L"HV-BENCH");
    const double elapsed = stopwatch.Milliseconds();
    if (window.ItemCount(IDC_VM_LIST, LB_GETCOUNT) != count)
        return Failed("the VM list did not receive every machine");
    return elapsed;
}

double RefillVmList()
{
    BenchWorld bench;
    AddMachines(bench.world.AddHost(L"HV-BENCH"));
    BenchWindow window;
    if (!window.Open())
        return Failed("the main window could not be opened");
    window.EnterHost(L"HV-BENCH");
    if (window.App().Sessions().empty())
        return Failed("the host could not be connected");
    CMainDlg& dialog = *window.App().MainDialog();
    dialog.ClearVmList();
    const Stopwatch stopwatch;
    dialog.FillVmList(*window.App().Sessions().back());
    const double elapsed = stopwatch.Milliseconds();
    if (window.ItemCount(IDC_VM_LIST, LB_GETCOUNT) != count)
        return Failed("the VM list did not receive every machine");
    return elapsed;
}

double FillHostCombo()
{
    BenchWorld bench;
    BenchWindow window;
    if (!window.Open())
        return Failed("the main window could not be opened");
    // Written once the window is up, so that the figure is the fill alone.
    WriteHostFile(bench.platform.HostFile());
    const Stopwatch stopwatch;
    window.App().FillHostCombo();
    const double elapsed = stopwatch.Milliseconds();
    if (window.ItemCount(IDC_HOST_COMBO, CB_GETCOUNT) != count)
        return Failed("the host combo did not receive every host");
    return elapsed;
}
