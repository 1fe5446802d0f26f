#include "sim/ObjectRegistry.h"

#include "sim/SimClass.h"
#include "sim/SimOperation.h"
#include "sim/SimSession.h"

namespace sim {

ObjectRegistry::ObjectRegistry(World& world) : world_(&world) {}

ObjectRegistry::~ObjectRegistry()
{
    // Operations release what they delivered, so they go before the instances and classes.
    operations_.clear();
    sessions_.clear();
    for (auto& entry : instances_)
        entry.second->Kill();
}

SimInstance* ObjectRegistry::NewInstance(std::wstring className, const ClassSchema* schema,
                                         Ownership owner)
{
    auto instance = std::make_unique<SimInstance>(*world_, std::move(className), schema, owner);
    SimInstance* raw = instance.get();
    instances_.emplace(&raw->Handle(), std::move(instance));
    ++liveInstances_;
    return raw;
}

SimInstance* ObjectRegistry::Lookup(const MI_Instance* handle) const
{
    const auto found = instances_.find(handle);
    return found == instances_.end() ? nullptr : found->second.get();
}

void ObjectRegistry::Release(SimInstance* instance)
{
    if (!instance->Alive())
        return;
    instance->Kill();
    --liveInstances_;
}

SimClass* ObjectRegistry::NewClass(const ClassSchema& schema, std::wstring nameSpace,
                                   std::wstring serverName, Ownership owner)
{
    auto simClass = std::make_unique<SimClass>(*world_, schema, std::move(nameSpace),
                                               std::move(serverName), owner);
    SimClass* raw = simClass.get();
    classes_.emplace(&raw->Handle(), std::move(simClass));
    ++liveClasses_;
    return raw;
}

SimClass* ObjectRegistry::Lookup(const MI_Class* handle) const
{
    const auto found = classes_.find(handle);
    return found == classes_.end() ? nullptr : found->second.get();
}

void ObjectRegistry::Release(SimClass* simClass)
{
    if (!simClass->Alive())
        return;
    simClass->Kill();
    --liveClasses_;
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
    operations_.erase(id);
}

std::uint64_t ObjectRegistry::AddSerializer()
{
    const std::uint64_t id = nextId_++;
    serializers_.emplace(id, true);
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
            liveInstances_, liveClasses_, static_cast<int>(serializers_.size())};
}

}
