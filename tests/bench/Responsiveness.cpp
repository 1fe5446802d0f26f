#include "tests/bench/Responsiveness.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "res/resource.h"
#include "sim/DemoWorld.h"
#include "sim/SimWorld.h"
#include "tests/bench/BenchWindow.h"
#include "tests/bench/Stopwatch.h"
#include "tests/support/FakePlatform.h"
#include "ui/MainDlg.h"

namespace {

// The demo's hosts on the real clock: a job takes its 1.5 seconds, a guest its 3.
struct PacedWorld {
    PacedWorld() { sim::FurnishDemoWorld(world); }
    FakePlatform platform;
    sim::World world{sim::MakeRealClock()};
    sim::ScopedWorld installed{world};
};

// Asks the window's thread for an answer every 5 ms and keeps the longest wait for it.
class Probe {
public:
    explicit Probe(HWND window)
        : thread_([this, window] {
              while (!stop_) {
                  const Stopwatch wait;
                  DWORD_PTR reply = 0;
                  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &reply);
                  const double ms = wait.Milliseconds();
                  double longest = longest_.load();
                  while (ms > longest && !longest_.compare_exchange_weak(longest, ms)) {
                  }
                  ::Sleep(5);
              }
          })
    {
    }
    ~Probe()
    {
        stop_ = true;
        thread_.join();
    }
    double Longest() const { return longest_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
    std::thread thread_;
};

}

bool PrintResponsiveness()
{
    PacedWorld paced;
    BenchWindow bench;
    if (!bench.Open())
        return false;
    const HWND window = bench.App().MainDialog()->m_hWnd;
    const auto command = [&](int id, WORD code = BN_CLICKED) {
        const Stopwatch took;
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        bench.Pump();
        return took.Milliseconds();
    };
    struct Step {
        const char* name;
        double ms;
    } steps[6]{};
    {
        const Probe probe(window);
        const Stopwatch connect;
        bench.EnterHost(L"HV-LAB01");
        steps[0] = {"connect and list", connect.Milliseconds()};
        const HWND list = GetDlgItem(window, IDC_VM_LIST);
        const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(L"Web Frontend"));
        if (index < 0)
            return false;
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        steps[1] = {"load", command(IDC_VM_LIST, LBN_SELCHANGE)};
        SendMessageW(GetDlgItem(window, IDC_NUMLOCK), BM_CLICK, 0, 0);
        steps[2] = {"apply", command(IDC_APPLY)};
        paced.platform.answers = {IDYES};
        steps[3] = {"force off", command(IDC_FORCE_OFF)};
        paced.platform.answers = {IDYES};
        steps[4] = {"power on", command(IDC_POWER_ON)};
        paced.platform.answers = {IDYES};
        steps[5] = {"graceful shutdown with wait", command(IDC_SHUTDOWN)};
        std::printf("window's thread, longest time without handling a message during the demo "
                    "scenario: %.1f ms\n",
                    probe.Longest());
    }
    for (const Step& step : steps)
        std::printf("  %s took %.1f ms\n", step.name, step.ms);
    const bool off = paced.world.FindHost(L"HV-LAB01")->FindVm(L"Web Frontend")->enabledState ==
                     sim::state::Off;
    std::fflush(stdout);
    return off;
}
