// A Hyper-V host with one machine that is off and one that runs, listed and loaded through the
// program's own operations, for the tests of settings and power.
#pragma once

#include <string>

#include "tests/support/HostFixture.h"

class MachineFixture : public HostFixture {
protected:
    static constexpr wchar_t offGuid[] = L"9D4A6E10-C2B7-4F38-8A95-1E0C3B7D6F24";
    static constexpr wchar_t runningGuid[] = L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F";

    void SetUp() override;

    // The host's model of a machine, by display name.
    sim::Vm& HostVm(const wchar_t* name);
    // The listed entry of a machine, its state and settings loaded.
    VmEntry& Loaded(const wchar_t* name);
    // The last call of a method, or null.
    const sim::CallRecord* LastInvoke(const wchar_t* method) const;
    // A parameter of a logged call as text, or null when it was not sent.
    static const std::wstring* Parameter(const sim::CallRecord& call, const wchar_t* name);

    sim::Host* host = nullptr;
    ManagementSession* session = nullptr;
};

// Test names from a table case's label.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.label;
}
