// Every object a world has handed out: applications, sessions, operations, serializers,
// instances and classes. Released instances and classes are freed; their handles stay
// reserved (never reused) so that a later call on them is recognised and reported instead of
// touching freed memory or an object made since.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "mgmt/MiTypes.h"
#include "sim/HandleArena.h"
#include "sim/SimInstance.h"

namespace sim {

class ClassSchema;
class SimClass;
class SimOperation;
struct SimDestinationOptions;
struct SimSession;

struct LiveCounts {
    int sessions = 0;
    int operations = 0;
    int instances = 0;
    int classes = 0;
    int serializers = 0;
    int applications = 0;
    int destinationOptions = 0;
    bool operator==(const LiveCounts&) const = default;
};

class ObjectRegistry {
public:
    explicit ObjectRegistry(World& world);
    ~ObjectRegistry();
    ObjectRegistry(const ObjectRegistry&) = delete;
    ObjectRegistry& operator=(const ObjectRegistry&) = delete;

    SimInstance* NewInstance(std::wstring className, const ClassSchema* schema, Ownership owner);
    // The live instance behind a handle; null with released set when the handle was one of
    // ours, null alone when it never was.
    SimInstance* Lookup(const MI_Instance* handle, bool& released) const;
    // Frees the instance (and what it embeds); its handle is never given out again.
    void Release(SimInstance* instance);

    SimClass* NewClass(const ClassSchema& schema, std::wstring nameSpace, std::wstring serverName,
                       Ownership owner);
    SimClass* Lookup(const MI_Class* handle, bool& released) const;
    void Release(SimClass* simClass);

    std::uint64_t AddApplication();
    bool HasApplication(std::uint64_t id) const;
    void CloseApplication(std::uint64_t id);

    std::uint64_t AddSession(std::unique_ptr<SimSession> session);
    SimSession* FindSession(std::uint64_t id) const;
    void CloseSession(std::uint64_t id);
    // How many open sessions the application made.
    int SessionsOf(std::uint64_t application) const;

    std::uint64_t AddDestinationOptions(std::unique_ptr<SimDestinationOptions> options);
    SimDestinationOptions* FindDestinationOptions(std::uint64_t id) const;
    void DeleteDestinationOptions(std::uint64_t id);

    std::uint64_t AddOperation(std::unique_ptr<SimOperation> operation);
    SimOperation* FindOperation(std::uint64_t id) const;
    void CloseOperation(std::uint64_t id);
    // How many open operations the session started.
    int OperationsOf(std::uint64_t session) const;

    std::uint64_t AddSerializer();
    bool HasSerializer(std::uint64_t id) const;
    void CloseSerializer(std::uint64_t id);

    LiveCounts Counts() const;

private:
    World* world_;
    std::uint64_t nextId_ = 1;
    std::unordered_set<std::uint64_t> applications_;
    std::unordered_map<std::uint64_t, std::unique_ptr<SimOperation>> operations_;
    std::unordered_map<std::uint64_t, std::unique_ptr<SimSession>> sessions_;
    std::unordered_set<std::uint64_t> serializers_;
    std::unordered_map<std::uint64_t, std::unique_ptr<SimDestinationOptions>> destinationOptions_;
    HandleArena<MI_Instance> instanceHandles_;
    HandleArena<MI_Class> classHandles_;
    std::unordered_map<const MI_Instance*, std::unique_ptr<SimInstance>> instances_;
    std::unordered_map<const MI_Class*, std::unique_ptr<SimClass>> classes_;
};

}
