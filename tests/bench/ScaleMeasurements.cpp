#include "tests/bench/ScaleMeasurements.h"

#include <cstdio>

#include "res/resource.h"
#include "tests/bench/BenchWindow.h"
#include "tests/bench/Stopwatch.h"

namespace {

// Connects to a host of `count` VMs through the window; the milliseconds until the list is
// filled, or negative when it was not filled completely.
double ConnectAndList(int count)
{
    BenchWorld bench;
    AddMachines(bench.world.AddHost(L"HV-SCALE"), count);
    BenchWindow window;
    if (!window.Open())
        return -1;
    const Stopwatch stopwatch;
    window.EnterHost(L"HV-SCALE");
    const double elapsed = stopwatch.Milliseconds();
    return window.ItemCount(IDC_VM_LIST, LB_GETCOUNT) == count ? elapsed : -1;
}

}

bool PrintListingTimes()
{
    for (const int count : {100, 1000, 10000, 50000}) {
        const double elapsed = ConnectAndList(count);
        if (elapsed < 0) {
            std::printf("connect, list and fill the window, %d VMs: failed\n", count);
            return false;
        }
        std::printf("connect, list and fill the window, %d VMs: %.1f ms\n", count, elapsed);
        std::fflush(stdout);
    }
    return true;
}
