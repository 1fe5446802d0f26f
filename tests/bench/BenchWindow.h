// The program's main window on a world of simulated hosts, for timing what the user waits
// for: message boxes are answered OK and recorded, the hosts' clock is virtual, and the host
// list lives in a temporary folder of its own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/Application.h"
#include "sim/SimWorld.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/SimClockBinding.h"

// The platform fake and the world a measurement's windows run against; virtual time unless a
// measurement needs hosts that wait side by side.
struct BenchWorld {
    explicit BenchWorld(std::unique_ptr<sim::Clock> time = sim::MakeVirtualClock()) : world(std::move(time)) {}

    FakePlatform platform;
    sim::World world;
    sim::ScopedWorld installed{world};
    SimClockBinding clock{world};
};

// Adds "VM 0" to "VM <count - 1>", off, with the identity values a new VM gets.
void AddMachines(sim::Host& host, int count);

class BenchWindow {
public:
    // The world must be installed (a BenchWorld) for as long as the window lives.
    BenchWindow();
    ~BenchWindow();
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // Starts the Application and shows its main window; false when either fails.
    [[nodiscard]] bool Open();
    // Dispatches what is waiting, through the loop's filters.
    void Pump();
    // Types a host name and presses Enter, as the user connects.
    void EnterHost(const wchar_t* name);
    // The number of items of a list box or combo box.
    LRESULT ItemCount(int id, UINT countMessage) const;

    Application& App() { return *application_; }

private:
    std::unique_ptr<Application> application_;
    bool initialised_ = false;
};
