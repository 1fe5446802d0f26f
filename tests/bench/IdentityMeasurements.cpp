#include "tests/bench/IdentityMeasurements.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "mgmt/ManagementSession.h"
#include "res/resource.h"
#include "tests/bench/BenchWindow.h"
#include "tests/bench/RoundTrips.h"
#include "tests/bench/Stopwatch.h"
#include "ui/IdentitiesDlg.h"
#include "ui/MainDlg.h"
#include "vm/VmEntry.h"

namespace {

constexpr int fleetHosts = 20;
constexpr int fleetMachines = 500;
constexpr std::uint32_t fleetRoundTripMs = 50;

std::wstring FleetHost(int index)
{
    wchar_t name[16];
    swprintf(name, 16, L"HV-FLEET%02d", index);
    return name;
}

struct Figure {
    int roundTrips = -1;
    double milliseconds = -1;
};

// The main window's way: the host's machines listed, then each one loaded as a selection loads
// it. The window must be connected to the host.
Figure OneAtATime(BenchWindow& window, sim::World& world)
{
    ManagementSession& session = *window.App().Sessions().back();
    world.ClearCalls();
    const Stopwatch stopwatch;
    if (!ListVirtualMachines(session))
        return {};
    for (const VmEntryPtr& entry : session.vmEntries)
        if (!entry->LoadSettings())
            return {};
    return {RoundTrips(world), stopwatch.Milliseconds()};
}

// Opens the identities window over the main window, reading `firstHost`; the figure counts
// until it shows `expected` rows.
Figure OpenIdentities(BenchWindow& window, sim::World& world, const std::wstring& firstHost,
                      int expected, std::unique_ptr<CIdentitiesDlg>& identities)
{
    world.ClearCalls();
    const Stopwatch stopwatch;
    identities = std::make_unique<CIdentitiesDlg>(window.App(), firstHost);
    if (!identities->Create(window.App().MainDialog()->m_hWnd))
        return {};
    window.Pump();
    const double elapsed = stopwatch.Milliseconds();
    const HWND list = GetDlgItem(identities->m_hWnd, IDC_IDENTITY_LIST);
    if (ListView_GetItemCount(list) != expected)
        return {};
    return {RoundTrips(world), elapsed};
}

void Close(std::unique_ptr<CIdentitiesDlg>& identities)
{
    if (identities && identities->m_hWnd)
        DestroyWindow(identities->m_hWnd);
    identities.reset();
}

bool PrintOneHost(int count)
{
    BenchWorld bench;
    AddMachines(bench.world.AddHost(L"HV-SCALE"), count);
    BenchWindow window;
    if (!window.Open())
        return false;
    window.EnterHost(L"HV-SCALE");
    if (window.App().Sessions().empty())
        return false;
    const Figure before = OneAtATime(window, bench.world);
    std::unique_ptr<CIdentitiesDlg> identities;
    const Figure after = OpenIdentities(window, bench.world, L"HV-SCALE", count, identities);
    Close(identities);
    window.Pump();
    if (before.roundTrips < 0 || after.roundTrips < 0)
        return false;
    std::printf("identities of %d VMs of one host: %d round trips, %.1f ms to read and show "
                "(one VM at a time as the main window loads them: %d round trips, %.1f ms)\n",
                count, after.roundTrips, after.milliseconds, before.roundTrips, before.milliseconds);
    std::fflush(stdout);
    return true;
}

void AddFleet(BenchWorld& bench)
{
    std::ofstream file(std::filesystem::path(bench.platform.HostFile()), std::ios::binary | std::ios::trunc);
    for (int index = 1; index <= fleetHosts; ++index) {
        sim::Host& host = bench.world.AddHost(FleetHost(index));
        AddMachines(host, fleetMachines);
        host.roundTripMs = fleetRoundTripMs;
        const std::wstring name = FleetHost(index);
        file << std::string(name.begin(), name.end()) << "\r\n";
    }
}

// "Add Known Hosts" over 20 remembered hosts, each call waiting for its host in real time.
bool PrintFleet()
{
    BenchWorld bench(sim::MakeRealClock());
    std::filesystem::create_directories(std::filesystem::path(bench.platform.HostFile()).parent_path());
    AddFleet(bench);
    BenchWindow window;
    if (!window.Open())
        return false;
    std::unique_ptr<CIdentitiesDlg> identities;
    if (OpenIdentities(window, bench.world, L"", 0, identities).roundTrips < 0)
        return false;
    bench.world.ClearCalls();
    const Stopwatch stopwatch;
    SendMessageW(identities->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_ADD_KNOWN_HOSTS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(identities->m_hWnd, IDC_ADD_KNOWN_HOSTS)));
    window.Pump();
    const double elapsed = stopwatch.Milliseconds();
    const int roundTrips = RoundTrips(bench.world);
    const int rows = ListView_GetItemCount(GetDlgItem(identities->m_hWnd, IDC_IDENTITY_LIST));
    Close(identities);
    window.Pump();
    if (rows != fleetHosts * fleetMachines)
        return false;
    std::printf("Add Known Hosts, %d hosts of %d VMs, %u ms per host call: %.1f ms, %d round trips\n",
                fleetHosts, fleetMachines, fleetRoundTripMs, elapsed, roundTrips);
    std::fflush(stdout);
    return true;
}

// The same hosts connected and read one VM at a time, as the main window does, on the virtual
// clock: what the user would wait in all.
bool PrintFleetOneAtATime()
{
    BenchWorld bench;
    std::filesystem::create_directories(std::filesystem::path(bench.platform.HostFile()).parent_path());
    AddFleet(bench);
    BenchWindow window;
    if (!window.Open())
        return false;
    const std::uint64_t start = bench.world.NowMs();
    int roundTrips = 0;
    for (int index = 1; index <= fleetHosts; ++index) {
        bench.world.ClearCalls();
        window.EnterHost(FleetHost(index).c_str());
        roundTrips += RoundTrips(bench.world);
        const Figure machines = OneAtATime(window, bench.world);
        if (machines.roundTrips < 0)
            return false;
        roundTrips += machines.roundTrips;
    }
    std::printf("the same %d hosts connected and read one VM at a time as the main window does: "
                "%llu ms on the hosts' clock, %d round trips\n",
                fleetHosts, static_cast<unsigned long long>(bench.world.NowMs() - start), roundTrips);
    std::fflush(stdout);
    return true;
}

}

bool PrintIdentityFigures()
{
    for (const int count : {10, 1000, 10000}) {
        if (!PrintOneHost(count)) {
            std::printf("identities of %d VMs of one host: failed\n", count);
            return false;
        }
    }
    if (!PrintFleet()) {
        std::printf("Add Known Hosts, %d hosts of %d VMs: failed\n", fleetHosts, fleetMachines);
        return false;
    }
    if (!PrintFleetOneAtATime()) {
        std::printf("%d hosts read one VM at a time: failed\n", fleetHosts);
        return false;
    }
    return true;
}
