// The main window with a small lab of simulated hosts: the local computer with two machines,
// HV-LAB01 with machines in every stable state, HVHOST01, and a host without v2.
#pragma once

#include "tests/support/MainWindowFixture.h"

class LabWindow : public MainWindowFixture {
protected:
    LabWindow();

    int Calls(sim::CallKind kind) const;
    sim::Vm& LabVm(const wchar_t* name);
    // Connects to HV-LAB01 and loads the named machine.
    void LoadLabVm(const wchar_t* name);
};
