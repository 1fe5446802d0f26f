#include "vm/SharedValues.h"

#include <algorithm>
#include <string>
#include <unordered_map>

std::wstring GuidKey(const std::wstring& guid)
{
    std::wstring key;
    key.reserve(guid.size());
    for (wchar_t c : guid) {
        if (c == L'{' || c == L'}')
            continue;
        key += c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    return key;
}

std::vector<std::vector<SharedMatch>> FindSharedValues(const std::vector<const VmIdentity*>& machines)
{
    struct Kind {
        unsigned bit;
        std::wstring (*key)(const VmIdentity&);
    };
    static const Kind kinds[] = {
        {sharedBiosGuid, [](const VmIdentity& vm) { return GuidKey(vm.biosGuid); }},
        {sharedBiosSerialNumber, [](const VmIdentity& vm) { return vm.biosSerialNumber; }},
        {sharedBaseBoardSerialNumber, [](const VmIdentity& vm) { return vm.baseBoardSerialNumber; }},
        {sharedChassisSerialNumber, [](const VmIdentity& vm) { return vm.chassisSerialNumber; }},
        {sharedChassisAssetTag, [](const VmIdentity& vm) { return vm.chassisAssetTag; }},
    };
    struct Pair {
        size_t holder;
        size_t other;
        unsigned value;
    };
    std::vector<Pair> pairs;
    for (const Kind& kind : kinds) {
        std::unordered_map<std::wstring, std::vector<size_t>> holders;
        for (size_t i = 0; i < machines.size(); ++i) {
            std::wstring key = kind.key(*machines[i]);
            if (!key.empty())
                holders[std::move(key)].push_back(i);
        }
        for (const auto& [key, group] : holders)
            for (size_t holder : group)
                for (size_t other : group)
                    if (other != holder)
                        pairs.push_back({holder, other, kind.bit});
    }
    // Each machine's list in the machines' order, one entry per other machine.
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return a.holder != b.holder ? a.holder < b.holder : a.other < b.other;
    });
    std::vector<std::vector<SharedMatch>> shared(machines.size());
    for (const Pair& pair : pairs) {
        std::vector<SharedMatch>& matches = shared[pair.holder];
        if (!matches.empty() && matches.back().other == pair.other)
            matches.back().values |= pair.value;
        else
            matches.push_back({pair.other, pair.value});
    }
    return shared;
}
