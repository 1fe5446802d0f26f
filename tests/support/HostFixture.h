// The program's Application on a simulated world with a virtual clock: sessions, inventories,
// settings and power run as in the program, message boxes are recorded, and a test can check
// the calls the hosts saw and that every handle was given back.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Application.h"
#include "mgmt/ManagementSession.h"
#include "sim/SimWorld.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/SimClockBinding.h"
#include "vm/VmEntry.h"

class HostFixture : public ::testing::Test {
protected:
    HostFixture();
    ~HostFixture() override;
    void SetUp() override;
    void TearDown() override;

    // The number of logged calls of a kind (optionally for one class or method).
    int CountCalls(sim::CallKind kind, const wchar_t* subject = nullptr) const;
    // The session for a host, through the Application as the window gets it.
    ManagementSession* Session(const wchar_t* hostName);
    // The listed entry with this display name, or null.
    VmEntry* Entry(ManagementSession& session, const wchar_t* elementName);
    // Everything the tests made is released: only the Application's serializer is alive.
    void ExpectNothingLeaked() const;

    FakePlatform platform;
    sim::World world;
    sim::ScopedWorld installed{world};
    SimClockBinding clock{world};
    std::unique_ptr<Application> application;
    sim::LiveCounts baseline;
};
