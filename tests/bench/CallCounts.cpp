#include "tests/bench/CallCounts.h"

#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "res/resource.h"
#include "sim/DemoWorld.h"
#include "tests/bench/BenchWindow.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/SimClockBinding.h"
#include "ui/MainDlg.h"

namespace {

// The kinds of call the documented sequences are counted in: sessions, operations, their
// reads and closes, new instances and serialisation. Element reads and writes stay on the
// client and are not counted.
bool Counted(sim::CallKind kind)
{
    switch (kind) {
    case sim::CallKind::NewSession:
    case sim::CallKind::CloseSession:
    case sim::CallKind::QueryInstances:
    case sim::CallKind::GetInstance:
    case sim::CallKind::GetClass:
    case sim::CallKind::Invoke:
    case sim::CallKind::ReadInstance:
    case sim::CallKind::ReadClass:
    case sim::CallKind::CloseOperation:
    case sim::CallKind::NewInstance:
    case sim::CallKind::NewInstanceFromClass:
    case sim::CallKind::Serialize:
        return true;
    default:
        return false;
    }
}

// The documented sequences on the demo world, counted by hand from them: a lookup by key is 7
// calls (class fetch, read, key instance, fetch, read, two closes), a job read 3 every 100 ms
// including the reads at the start and at the end, a query 2 plus its deliveries.
constexpr int lookup = 7;
constexpr int JobReads(int milliseconds)
{
    return 3 * (milliseconds / 100 + 1);
}

struct Action {
    const char* name;
    int documented;
    // Plays the action on the window; false when it did not do what it should.
    bool (*play)(BenchWindow& window, FakePlatform& platform);
    // Brings the window to where the action starts, uncounted; may be null.
    bool (*prepare)(BenchWindow& window) = nullptr;
};

CMainDlg& Dialog(BenchWindow& window)
{
    return *window.App().MainDialog();
}

bool Lists(BenchWindow& window, LRESULT count)
{
    return window.ItemCount(IDC_VM_LIST, LB_GETCOUNT) == count;
}

bool SelectMachine(BenchWindow& window, const wchar_t* name)
{
    const HWND list = GetDlgItem(Dialog(window).m_hWnd, IDC_VM_LIST);
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    if (index < 0)
        return false;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(Dialog(window).m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_VM_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    window.Pump();
    return true;
}

std::wstring Text(BenchWindow& window, int id)
{
    wchar_t text[256]{};
    GetDlgItemTextW(Dialog(window).m_hWnd, id, text, 256);
    return text;
}

bool Click(BenchWindow& window, int id)
{
    SendMessageW(Dialog(window).m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Dialog(window).m_hWnd, id)));
    window.Pump();
    return true;
}

bool PowerState(BenchWindow& window, const wchar_t* expected)
{
    return Text(window, IDC_POWER_STATE) == expected;
}

const Action actions[] = {
    {"connect a first host (HV-LAB01, 6 VMs) and list", 4 + 4 + 6 + 2 + 6,
     [](BenchWindow& window, FakePlatform&) {
         window.EnterHost(L"HV-LAB01");
         return Lists(window, 6);
     }},
    {"connect a second host (HV-LAB02, no VMs)", 4 + 6 + 3,
     [](BenchWindow& window, FakePlatform&) {
         window.EnterHost(L"HV-LAB02");
         return Lists(window, 0);
     }},
    {"back to the first host", 2 + 6,
     [](BenchWindow& window, FakePlatform&) {
         window.EnterHost(L"HV-LAB01");
         return Lists(window, 6);
     }},
    {"load a VM (Test Client)", 2 * lookup,
     [](BenchWindow& window, FakePlatform&) {
         return SelectMachine(window, L"Test Client") && Text(window, IDC_VM_NAME) == L"Test Client";
     }},
    {"load a second VM (Web Frontend)", 2 * lookup,
     [](BenchWindow& window, FakePlatform&) {
         return SelectMachine(window, L"Web Frontend") && Text(window, IDC_VM_NAME) == L"Web Frontend";
     }},
    {"apply a changed asset tag (1.5 s job)", 3 + 4 + 1 + 1 + 2 + 2 + JobReads(1500) + 1 + 2 * lookup,
     [](BenchWindow& window, FakePlatform&) {
         SetDlgItemTextW(Dialog(window).m_hWnd, IDC_ASSET_TAG, L"QA-DESK-07-B");
         Click(window, IDC_APPLY);
         return !IsWindowEnabled(GetDlgItem(Dialog(window).m_hWnd, IDC_APPLY));
     },
     [](BenchWindow& window) { return SelectMachine(window, L"Test Client"); }},
    {"force off (Web Frontend, 1.5 s job)", lookup + 1 + 2 + JobReads(1500) + 1 + lookup,
     [](BenchWindow& window, FakePlatform& platform) {
         platform.answers = {IDYES};
         Click(window, IDC_FORCE_OFF);
         return PowerState(window, L"Off");
     },
     [](BenchWindow& window) { return SelectMachine(window, L"Web Frontend"); }},
    {"power on (2 s job)", lookup + 1 + 2 + JobReads(2000) + 1 + lookup,
     [](BenchWindow& window, FakePlatform& platform) {
         platform.answers = {IDYES};
         Click(window, IDC_POWER_ON);
         return PowerState(window, L"Running");
     }},
    {"graceful shutdown with wait (3 s)", lookup + 3 + 1 + 2 + 1 + lookup * 31 + lookup,
     [](BenchWindow& window, FakePlatform& platform) {
         platform.answers = {IDYES};
         Click(window, IDC_SHUTDOWN);
         return PowerState(window, L"Off");
     }},
    {"refresh state", lookup,
     [](BenchWindow& window, FakePlatform&) {
         Click(window, IDC_REFRESH_STATE);
         return PowerState(window, L"Off");
     }},
};

int CountedCalls(const sim::World& world)
{
    int count = 0;
    for (const sim::CallRecord& call : world.Calls())
        count += Counted(call.kind) ? 1 : 0;
    return count;
}

// Plays every action once on a fresh demo world whose operations end as `finalDelivery` says;
// the counts land in `counts`.
bool Play(sim::FinalDelivery finalDelivery, int (&counts)[std::size(actions)])
{
    FakePlatform platform;
    std::unique_ptr<sim::World> world = sim::MakeDemoWorld(sim::MakeVirtualClock());
    world->finalDelivery = finalDelivery;
    sim::ScopedWorld installed(*world);
    SimClockBinding clock(*world);
    BenchWindow window;
    if (!window.Open())
        return false;
    for (size_t i = 0; i < std::size(actions); ++i) {
        const bool prepared = !actions[i].prepare || actions[i].prepare(window);
        world->ClearCalls();
        if (!prepared || !actions[i].play(window, platform)) {
            std::fprintf(stderr, "the action \"%s\" did not complete\n", actions[i].name);
            return false;
        }
        counts[i] = CountedCalls(*world);
    }
    return true;
}

}

bool PrintCallCounts()
{
    int withLast[std::size(actions)]{};
    int separate[std::size(actions)]{};
    if (!Play(sim::FinalDelivery::WithLastInstance, withLast) ||
        !Play(sim::FinalDelivery::Separate, separate))
        return false;
    for (size_t i = 0; i < std::size(actions); ++i)
        std::printf("calls to %s: %d (final result with the last instance), %d (final result on "
                    "its own); documented sequence: %d\n",
                    actions[i].name, withLast[i], separate[i], actions[i].documented);
    std::fflush(stdout);
    return true;
}
