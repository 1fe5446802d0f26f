#include "tests/bench/ApplyMeasurements.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "mgmt/ManagementSession.h"
#include "res/resource.h"
#include "tests/bench/BenchWindow.h"
#include "tests/bench/RoundTrips.h"
#include "ui/IdentitiesDlg.h"
#include "ui/MainDlg.h"
#include "vm/VmEntry.h"

namespace {

constexpr int machines = 100;

void Click(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

}

bool PrintApplyFigures()
{
    BenchWorld bench;
    AddMachines(bench.world.AddHost(L"HV-SCALE"), machines);
    BenchWindow window;
    if (!window.Open())
        return false;
    window.EnterHost(L"HV-SCALE");
    if (window.App().Sessions().empty())
        return false;

    // One Apply in the main window: the loaded machine's asset tag changed and written.
    VmEntry* first = window.App().Sessions().back()->vmEntries.front().get();
    if (!window.App().LoadVmIntoForm(first) || !first->settings.SetChassisAssetTag(L"ASSET-1"))
        return false;
    bench.world.ClearCalls();
    window.App().ApplyChanges();
    window.Pump();
    const int mainApply = RoundTrips(bench.world);

    auto identities = std::make_unique<CIdentitiesDlg>(window.App(), L"HV-SCALE");
    if (!identities->Create(window.App().MainDialog()->m_hWnd))
        return false;
    window.Pump();
    const HWND list = GetDlgItem(identities->m_hWnd, IDC_IDENTITY_LIST);
    ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    Click(identities->m_hWnd, IDC_NEW_BIOS_GUIDS);
    Click(identities->m_hWnd, IDC_NEW_SERIAL_NUMBERS);
    bench.platform.answers.push_back(IDYES);
    bench.world.ClearCalls();
    const std::uint64_t start = bench.world.NowMs();
    Click(identities->m_hWnd, IDC_APPLY_IDENTITIES);
    window.Pump();
    const std::uint64_t elapsed = bench.world.NowMs() - start;
    const int bulk = RoundTrips(bench.world);
    const bool saved = identities->Table().PendingCount() == 0;
    DestroyWindow(identities->m_hWnd);
    identities.reset();
    window.Pump();
    if (!saved)
        return false;
    std::printf("new identities applied to %d Off VMs of one host: %d round trips (%.2f per VM), "
                "%llu ms on the hosts' clock (%.1f ms per VM); one Apply in the main window: %d round trips\n",
                machines, bulk, static_cast<double>(bulk) / machines, static_cast<unsigned long long>(elapsed),
                static_cast<double>(elapsed) / machines, mainApply);
    std::fflush(stdout);
    return true;
}
