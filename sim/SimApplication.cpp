// The simulated management client's entry points: the application, its serializer and the
// client table, over the active world.
#include <cstring>

#include "mgmt/MiClient.h"
#include "sim/ClassSchema.h"
#include "sim/CimXmlWriter.h"
#include "sim/Guard.h"
#include "sim/SimClass.h"
#include "sim/SimDestinationOptions.h"
#include "sim/SimOperation.h"
#include "sim/SimSession.h"
#include "sim/World.h"

namespace sim {
namespace {

// The world of an open application handle made here, or null with the misuse reported.
World* CheckedApplication(const MI_Application* application, const wchar_t* call)
{
    World* world = application ? World::FromHandle(application->reserved1) : nullptr;
    if (world && world->Objects().HasApplication(static_cast<std::uint64_t>(application->reserved2)))
        return world;
    ActiveWorld().ReportMisuse(std::wstring(call) +
                               L" on an application that is not the client's or is closed");
    return nullptr;
}

void LogCall(World& world, CallKind kind, std::wstring className, MI_Result result)
{
    CallRecord record;
    record.kind = kind;
    record.className = std::move(className);
    record.result = result;
    world.Log(std::move(record));
}

// The client's close waits for the application's sessions (and their operations) to close,
// which would never happen while the caller is inside it: that is reported. The application
// is released either way, also when an injected failure is answered.
MI_Result ApplicationClose(MI_Application* application)
{
    return Guarded([&] {
        World* world = CheckedApplication(application, L"MI_Application_Close");
        if (!world)
            return MI_RESULT_INVALID_PARAMETER;
        const auto id = static_cast<std::uint64_t>(application->reserved2);
        const MI_Result result = world->TakeFault(CallKind::CloseApplication, L"").value_or(MI_RESULT_OK);
        if (world->Objects().SessionsOf(id) > 0)
            world->ReportMisuse(L"MI_Application_Close while sessions of the application are open");
        world->Objects().CloseApplication(id);
        LogCall(*world, CallKind::CloseApplication, L"", result);
        *application = {};
        return result;
    });
}

MI_Result ApplicationNewSession(MI_Application* application, const MI_Char* protocol,
                                const MI_Char* destination, MI_DestinationOptions* options,
                                MI_SessionCallbacks*, MI_Instance** extendedError,
                                MI_Session* session)
{
    if (extendedError)
        *extendedError = nullptr;
    World* world = CheckedApplication(application, L"MI_Application_NewSession");
    if (!world) {
        if (session)
            *session = {};
        return MI_RESULT_INVALID_PARAMETER;
    }
    return OpenSession(*world, static_cast<std::uint64_t>(application->reserved2), protocol,
                       destination, options, session);
}

MI_Result ApplicationNewInstance(MI_Application* application, const MI_Char* className,
                                 const MI_ClassDecl*, MI_Instance** instance)
{
    return Guarded([&] {
        if (instance)
            *instance = nullptr;
        World* owner = CheckedApplication(application, L"MI_Application_NewInstance");
        if (!owner || !className || !*className || !instance)
            return MI_RESULT_INVALID_PARAMETER;
        World& world = *owner;
        const MI_Result result = world.TakeFault(CallKind::NewInstance, className).value_or(MI_RESULT_OK);
        LogCall(world, CallKind::NewInstance, className, result);
        if (result != MI_RESULT_OK)
            return result;
        *instance = &world.Objects().NewInstance(className, nullptr, Ownership::Caller)->Handle();
        return MI_RESULT_OK;
    });
}

MI_Result ApplicationNewInstanceFromClass(MI_Application* application, const MI_Char* className,
                                          const MI_Class* classObject, MI_Instance** instance)
{
    return Guarded([&] {
        if (instance)
            *instance = nullptr;
        if (!CheckedApplication(application, L"MI_Application_NewInstanceFromClass") || !className ||
            !*className || !instance || !classObject)
            return MI_RESULT_INVALID_PARAMETER;
        SimClass* simClass = World::FindClass(classObject, "MI_Application_NewInstanceFromClass");
        if (!simClass)
            return MI_RESULT_INVALID_PARAMETER;
        World& world = simClass->GetWorld();
        const MI_Result result =
            world.TakeFault(CallKind::NewInstanceFromClass, className).value_or(MI_RESULT_OK);
        LogCall(world, CallKind::NewInstanceFromClass, className, result);
        if (result != MI_RESULT_OK)
            return result;
        SimInstance* made = world.Objects().NewInstance(className, &simClass->Schema(), Ownership::Caller);
        made->SetNameSpace(simClass->NameSpace());
        made->SetServerName(simClass->ServerName());
        *instance = &made->Handle();
        return MI_RESULT_OK;
    });
}

MI_Result ApplicationNewSerializer(MI_Application* application, MI_Uint32 flags, MI_Char* format,
                                   MI_Serializer* serializer)
{
    return Guarded([&] {
        if (!serializer)
            return MI_RESULT_INVALID_PARAMETER;
        *serializer = {};
        World* owner = CheckedApplication(application, L"MI_Application_NewSerializer");
        if (!owner)
            return MI_RESULT_INVALID_PARAMETER;
        if (flags != 0 || !format || std::wcscmp(format, L"MI_XML") != 0)
            return MI_RESULT_NOT_SUPPORTED;
        World& world = *owner;
        if (auto fault = world.TakeFault(CallKind::NewSerializer, format))
            return *fault;
        serializer->reserved1 = reinterpret_cast<std::uint64_t>(&world);
        serializer->reserved2 = static_cast<std::ptrdiff_t>(world.Objects().AddSerializer());
        return MI_RESULT_OK;
    });
}

World* CheckedSerializer(const MI_Serializer* serializer, const wchar_t* call)
{
    World* world = serializer ? World::FromHandle(serializer->reserved1) : nullptr;
    if (world && world->Objects().HasSerializer(static_cast<std::uint64_t>(serializer->reserved2)))
        return world;
    ActiveWorld().ReportMisuse(std::wstring(call) + L" on a closed or foreign serializer");
    return nullptr;
}

// The serializer is released also when an injected failure is answered.
MI_Result SerializerClose(MI_Serializer* serializer)
{
    return Guarded([&] {
        World* world = CheckedSerializer(serializer, L"MI_Serializer_Close");
        if (!world)
            return MI_RESULT_INVALID_PARAMETER;
        const MI_Result result = world->TakeFault(CallKind::CloseSerializer, L"").value_or(MI_RESULT_OK);
        world->Objects().CloseSerializer(static_cast<std::uint64_t>(serializer->reserved2));
        LogCall(*world, CallKind::CloseSerializer, L"", result);
        *serializer = {};
        return result;
    });
}

// Writes UTF-16 CIM-XML without a terminating zero; a missing or short buffer gets only the
// byte count needed, with a failed result.
MI_Result SerializerSerializeInstance(MI_Serializer* serializer, MI_Uint32 flags,
                                      const MI_Instance* instanceObject, MI_Uint8* buffer,
                                      MI_Uint32 bufferLength, MI_Uint32* needed)
{
    return Guarded([&] {
        World* world = CheckedSerializer(serializer, L"MI_Serializer_SerializeInstance");
        if (!world || !instanceObject || !needed)
            return MI_RESULT_INVALID_PARAMETER;
        const SimInstance* instance = CheckedInstance(instanceObject, "MI_Serializer_SerializeInstance");
        if (!instance || flags != 0)
            return MI_RESULT_INVALID_PARAMETER;
        MI_Result result = world->TakeFault(CallKind::Serialize, instance->ClassName()).value_or(MI_RESULT_OK);
        if (result == MI_RESULT_OK) {
            const std::wstring text = WriteCimXml(*instance);
            const auto bytes = static_cast<MI_Uint32>(text.size() * sizeof(wchar_t));
            *needed = bytes;
            if (!buffer || bufferLength < bytes)
                result = MI_RESULT_FAILED;
            else
                std::memcpy(buffer, text.data(), bytes);
        }
        LogCall(*world, CallKind::Serialize, instance->ClassName(), result);
        return result;
    });
}

MI_Result SerializerSerializeClass(MI_Serializer*, MI_Uint32, const MI_Class*, MI_Uint8*, MI_Uint32,
                                   MI_Uint32*)
{
    return MI_RESULT_NOT_SUPPORTED;
}

const MI_ApplicationFT applicationTable = [] {
    MI_ApplicationFT table{};
    table.Close = ApplicationClose;
    table.NewSession = ApplicationNewSession;
    table.NewHostedProvider = [](MI_Application*, const MI_Char*, const MI_Char*, MI_MainFunction,
                                 MI_Instance**, MI_HostedProvider*) { return MI_RESULT_NOT_SUPPORTED; };
    table.NewInstance = ApplicationNewInstance;
    table.NewDestinationOptions = [](MI_Application* application, MI_DestinationOptions* options) {
        World* world = CheckedApplication(application, L"MI_Application_NewDestinationOptions");
        if (!world) {
            if (options)
                *options = {};
            return MI_RESULT_INVALID_PARAMETER;
        }
        return OpenDestinationOptions(*world, static_cast<std::uint64_t>(application->reserved2), options);
    };
    table.NewOperationOptions = [](MI_Application*, MI_Boolean, MI_OperationOptions* options) {
        if (options)
            *options = {};
        return MI_RESULT_NOT_SUPPORTED;
    };
    table.NewSubscriptionDeliveryOptions = [](MI_Application*, MI_SubscriptionDeliveryType,
                                              MI_SubscriptionDeliveryOptions* options) {
        if (options)
            *options = {};
        return MI_RESULT_NOT_SUPPORTED;
    };
    table.NewSerializer = ApplicationNewSerializer;
    table.NewDeserializer = [](MI_Application*, MI_Uint32, MI_Char*, MI_Deserializer* deserializer) {
        if (deserializer)
            *deserializer = {};
        return MI_RESULT_NOT_SUPPORTED;
    };
    table.NewInstanceFromClass = ApplicationNewInstanceFromClass;
    table.NewClass = [](MI_Application*, const MI_ClassDecl*, const MI_Char*, const MI_Char*,
                        MI_Class** classObject) {
        if (classObject)
            *classObject = nullptr;
        return MI_RESULT_NOT_SUPPORTED;
    };
    return table;
}();

const MI_SerializerFT serializerTable = [] {
    MI_SerializerFT table{};
    table.Close = SerializerClose;
    table.SerializeClass = SerializerSerializeClass;
    table.SerializeInstance = SerializerSerializeInstance;
    return table;
}();

}

const MI_ClientFT_V1 clientTable = [] {
    MI_ClientFT_V1 table{};
    table.applicationFT = &applicationTable;
    table.sessionFT = &simSessionTable;
    table.operationFT = &simOperationTable;
    table.serializerFT = &serializerTable;
    table.destinationOptionsFT = &simDestinationOptionsTable;
    return table;
}();

}

MI_Result MI_Application_InitializeV1(MI_Uint32 flags, const MI_Char*, MI_Instance** extendedError,
                                      MI_Application* application)
{
    if (extendedError)
        *extendedError = nullptr;
    if (!application)
        return MI_RESULT_INVALID_PARAMETER;
    *application = {};
    if (flags != 0)
        return MI_RESULT_INVALID_PARAMETER;
    sim::World& world = sim::ActiveWorld();
    if (auto fault = world.TakeFault(sim::CallKind::Initialize, L""))
        return *fault;
    application->reserved1 = reinterpret_cast<std::uint64_t>(&world);
    application->reserved2 = static_cast<std::ptrdiff_t>(world.Objects().AddApplication());
    application->ft = &sim::applicationTable;
    return MI_RESULT_OK;
}

const MI_ClientFT_V1* MiClientTable()
{
    return &sim::clientTable;
}
