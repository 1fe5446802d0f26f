// A host with very many VMs lists them and looks them up by key at the cost of what is asked
// for. Nothing here is timed; the time and memory taken are printed for whoever reads the log.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>

#include "tests/sim/SimFixture.h"

namespace {

constexpr wchar_t v2[] = L"root/virtualization/v2";
constexpr int vmCount = 50000;

std::wstring NameOf(int index)
{
    wchar_t name[16];
    std::swprintf(name, 16, L"VM %05d", index);
    return name;
}

TEST_F(SimTest, AHostWithFiftyThousandVmsListsThemAndLooksThemUp)
{
    sim::Host& big = world.AddHost(L"HV-BIG");
    std::vector<std::wstring> guids;
    for (int i = 1; i <= vmCount; ++i)
        guids.push_back(big.AddVm(Machine(NameOf(i).c_str(), i % 2 ? sim::state::Running : sim::state::Off)).guid);
    const auto started = std::chrono::steady_clock::now();
    MI_Session session = Open(L"HV-BIG");

    const Pulled listing = Query(session, v2, L"SELECT Name, ElementName FROM Msvm_ComputerSystem", L"ElementName");
    EXPECT_EQ(MI_RESULT_OK, listing.result);
    ASSERT_EQ(static_cast<std::size_t>(vmCount + 1), listing.values.size());
    EXPECT_EQ(L"HV-BIG", listing.values.front());
    EXPECT_EQ(L"VM 00001", listing.values[1]);
    EXPECT_EQ(L"VM 50000", listing.values.back());
    EXPECT_EQ(0, world.Live().instances);
    const auto listed = std::chrono::steady_clock::now();

    struct Lookup {
        const wchar_t* className;
        const wchar_t* key;
        std::wstring prefix;
    };
    const Lookup lookups[] = {
        {L"Msvm_VirtualSystemSettingData", L"InstanceID", L"Microsoft:"},
        {L"Msvm_ComputerSystem", L"Name", L""},
    };
    int found = 0;
    for (int i = 0; i < 100; ++i) {
        const int index = (i * 7919) % vmCount;
        const Lookup& lookup = lookups[i % 2];
        const std::wstring key = lookup.prefix + guids[static_cast<std::size_t>(index)];
        MI_Instance* keys = KeyInstance(lookup.className, lookup.key, key.c_str());
        if (lookup.className == std::wstring(L"Msvm_ComputerSystem")) {
            MI_Value value{};
            value.string = const_cast<MI_Char*>(L"Msvm_ComputerSystem");
            EXPECT_EQ(MI_RESULT_OK, MI_Instance_AddElement(keys, L"CreationClassName", &value, MI_STRING, MI_FLAG_KEY));
        }
        MI_Operation operation{};
        MI_Session_GetInstance(&session, 0, nullptr, v2, keys, nullptr, &operation);
        EXPECT_EQ(2, world.Live().instances) << "the keys and the one instance they name";
        const MI_Instance* instance = nullptr;
        MI_Operation_GetInstance(&operation, &instance, nullptr, nullptr, nullptr, nullptr);
        if (instance && StringElement(instance, L"ElementName") == NameOf(index + 1))
            ++found;
        EXPECT_EQ(MI_RESULT_OK, Drain(operation));
        EXPECT_EQ(MI_RESULT_OK, MI_Instance_Delete(keys));
    }
    EXPECT_EQ(100, found);
    Close(session);

    const auto ended = std::chrono::steady_clock::now();
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    std::printf("%d VMs: listed in %lld ms, 100 lookups in %lld ms, peak working set %llu MB\n", vmCount,
                static_cast<long long>(duration_cast<milliseconds>(listed - started).count()),
                static_cast<long long>(duration_cast<milliseconds>(ended - listed).count()),
                static_cast<unsigned long long>(memory.PeakWorkingSetSize / (1024 * 1024)));
}

}
