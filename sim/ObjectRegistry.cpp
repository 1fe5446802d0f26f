#include "sim/ObjectRegistry.h"

#include "sim/SimClass.h"
#include "sim/SimDestinationOptions.h"
#include "sim/SimOperation.h"
#include "sim/SimSession.h"

namespace sim {

ObjectRegistry::ObjectRegistry(World& world) : world_(&world) {}

ObjectRegistry::~ObjectRegistry()
{
    // Operations release what they delivered, so they go before the instances and classes.
    operations_.clear();
    sessions_.clear();
    while (!instances_.empty())
        Release(instances_.begin()->second.get());
    classes_.clear();
}

SimInstance* ObjectRegistry::NewInstance(std::wstring className, const ClassSchema* schema,
                                         Ownership owner)
{
    MI_Instance* handle = instanceHandles_.Take();
    auto instance = std::make_unique<SimInstance>(*world_, *handle, std::move(className), schema, owner);
    SimInstance* raw = instance.get();
    instances_.emplace(handle, std::move(instance));
    return raw;
}

SimInstance* ObjectRegistry::Lookup(const MI_Instance* handle, bool& released) const
{
    const auto found = instances_.find(handle);
    if (found != instances_.end())
        return found->second.get();
    released = instanceHandles_.Owns(handle);
    return nullptr;
}

void ObjectRegistry::Release(SimInstance* instance)
{
    const auto found = instances_.find(&instance->Handle());
    if (found == instances_.end())
        return;
    // Out of the table before it is destroyed: what it embeds is released from the table too.
    std::unique_ptr<SimInstance> owned = std::move(found->second);
    instances_.erase(found);
    MI_Instance& handle = owned->Handle();
    owned.reset();
    // The table stays, so that a later call through the handle reaches us and is reported.
    handle.classDecl = nullptr;
    handle.serverName = nullptr;
    handle.nameSpace = nullptr;
}

SimClass* ObjectRegistry::NewClass(const ClassSchema& schema, std::wstring nameSpace,
                                   std::wstring serverName, Ownership owner)
{
    MI_Class* handle = classHandles_.Take();
    auto simClass = std::make_unique<SimClass>(*world_, *handle, schema, std::move(nameSpace),
                                               std::move(serverName), owner);
    SimClass* raw = simClass.get();
    classes_.emplace(handle, std::move(simClass));
    return raw;
}

SimClass* ObjectRegistry::Lookup(const MI_Class* handle, bool& released) const
{
    const auto found = classes_.find(handle);
    if (found != classes_.end())
        return found->second.get();
    released = classHandles_.Owns(handle);
    return nullptr;
}

void ObjectRegistry::Release(SimClass* simClass)
{
    const auto found = classes_.find(&simClass->Handle());
    if (found == classes_.end())
        return;
    MI_Class& handle = simClass->Handle();
    classes_.erase(found);
    handle.classDecl = nullptr;
    handle.namespaceName = nullptr;
    handle.serverName = nullptr;
}

std::uint64_t ObjectRegistry::AddApplication()
{
    const std::uint64_t id = nextId_++;
    applications_.insert(id);
    return id;
}

bool ObjectRegistry::HasApplication(std::uint64_t id) const
{
    return applications_.count(id) != 0;
}

void ObjectRegistry::CloseApplication(std::uint64_t id)
{
    applications_.erase(id);
}

std::uint64_t ObjectRegistry::AddSession(std::unique_ptr<SimSession> session)
{
    const std::uint64_t id = nextId_++;
    sessions_.emplace(id, std::move(session));
    return id;
}

SimSession* ObjectRegistry::FindSession(std::uint64_t id) const
{
    const auto found = sessions_.find(id);
    return found == sessions_.end() ? nullptr : found->second.get();
}

void ObjectRegistry::CloseSession(std::uint64_t id)
{
    sessions_.erase(id);
}

std::uint64_t ObjectRegistry::AddDestinationOptions(std::unique_ptr<SimDestinationOptions> options)
{
    const std::uint64_t id = nextId_++;
    destinationOptions_.emplace(id, std::move(options));
    return id;
}

SimDestinationOptions* ObjectRegistry::FindDestinationOptions(std::uint64_t id) const
{
    const auto found = destinationOptions_.find(id);
    return found == destinationOptions_.end() ? nullptr : found->second.get();
}

void ObjectRegistry::DeleteDestinationOptions(std::uint64_t id)
{
    destinationOptions_.erase(id);
}

int ObjectRegistry::SessionsOf(std::uint64_t application) const
{
    int count = 0;
    for (const auto& entry : sessions_)
        count += entry.second->application == application ? 1 : 0;
    return count;
}

std::uint64_t ObjectRegistry::AddOperation(std::unique_ptr<SimOperation> operation)
{
    const std::uint64_t id = nextId_++;
    operations_.emplace(id, std::move(operation));
    return id;
}

SimOperation* ObjectRegistry::FindOperation(std::uint64_t id) const
{
    const auto found = operations_.find(id);
    return found == operations_.end() ? nullptr : found->second.get();
}

void ObjectRegistry::CloseOperation(std::uint64_t id)
{
    // Out of the table before it is destroyed, as its deliveries are released on the way.
    const auto found = operations_.find(id);
    if (found == operations_.end())
        return;
    std::unique_ptr<SimOperation> owned = std::move(found->second);
    operations_.erase(found);
}

int ObjectRegistry::OperationsOf(std::uint64_t session) const
{
    int count = 0;
    for (const auto& entry : operations_)
        count += entry.second->Session() == session ? 1 : 0;
    return count;
}

std::uint64_t ObjectRegistry::AddSerializer()
{
    const std::uint64_t id = nextId_++;
    serializers_.insert(id);
    return id;
}

bool ObjectRegistry::HasSerializer(std::uint64_t id) const
{
    return serializers_.count(id) != 0;
}

void ObjectRegistry::CloseSerializer(std::uint64_t id)
{
    serializers_.erase(id);
}

LiveCounts ObjectRegistry::Counts() const
{
    return {static_cast<int>(sessions_.size()), static_cast<int>(operations_.size()),
            static_cast<int>(instances_.size()), static_cast<int>(classes_.size()),
            static_cast<int>(serializers_.size()), static_cast<int>(applications_.size()),
            static_cast<int>(destinationOptions_.size())};
}

}
