// What a host holds in its namespaces: which namespaces and classes exist, and the instances of
// a class, made afresh from the host's model for each request.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class ClassSchema;
class Host;
class SimInstance;
class World;
struct Job;

// The host's own spelling of a namespace given with "/" or "\" in any letter case; none when
// the host has no such namespace.
std::optional<std::wstring> FindNamespace(const Host& host, std::wstring_view nameSpace);

// The class of that name in an existing namespace, or null.
const ClassSchema* FindClassIn(const std::wstring& nameSpace, std::wstring_view className);

// Every instance of the class, owned by the caller's operation (Ownership::Operation).
std::vector<SimInstance*> InstancesOf(World& world, Host& host, const std::wstring& nameSpace,
                                      const ClassSchema& schema);

// The instances a lookup by the keys of `keys` may find, owned like InstancesOf's: of the
// classes a host holds one of per VM, only the one the key names, so that a lookup costs the
// same on a host with many VMs. The caller still compares every key.
std::vector<SimInstance*> KeyCandidates(World& world, Host& host, const std::wstring& nameSpace,
                                        const ClassSchema& schema, const SimInstance& keys);

// The job's instance as the host reports it now.
SimInstance* JobInstance(World& world, Host& host, const Job& job);

}
