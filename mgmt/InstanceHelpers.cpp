#include "mgmt/InstanceHelpers.h"

#include <vector>

#include "mgmt/HostWait.h"
#include "mgmt/ManagementSession.h"
#include "mgmt/MiOwners.h"
#include "mgmt/ValueForms.h"

namespace {

MI_Result FirstFailure(MI_Result returned, MI_Result reported, MI_Boolean more,
                       const MI_Char* words, bool& moreResults, std::wstring* message)
{
    const MI_Result result = returned != MI_RESULT_OK ? returned : reported;
    moreResults = result == MI_RESULT_OK && more;
    if (message)
        message->assign(result != MI_RESULT_OK && words ? words : L"");
    return result;
}

// One pull of either kind: the client's two ways of telling a failure, and its words.
template <typename Object, typename Get>
MI_Result PullOne(MI_Operation* operation, const Object*& object, bool& moreResults,
                  std::wstring* message, Get get)
{
    object = nullptr;
    MI_Boolean more = MI_FALSE;
    MI_Result reported = MI_RESULT_OK;
    const MI_Char* words = nullptr;
    // The pull is where a client waits for its host: the user may stop it from the window.
    const hostwait::PendingPull pending(operation);
    const MI_Result returned = get(operation, &object, &more, &reported, &words, nullptr);
    return FirstFailure(returned, reported, more, words, moreResults, message);
}

// Pulls with `pull` until the final delivery, keeping a copy of the last object delivered.
template <typename Object, typename Owner, typename Pull, typename Clone>
MI_Result PullToFinal(MI_Operation* operation, Owner& owned, std::wstring* message, Pull pull,
                      Clone clone)
{
    owned.Reset();
    MI_Result result = MI_RESULT_OK;
    MI_Result copyResult = MI_RESULT_OK;
    bool moreResults = false;
    do {
        const Object* delivered = nullptr;
        result = pull(operation, delivered, moreResults, message);
        if (delivered && copyResult == MI_RESULT_OK) {
            Object* copy = nullptr;
            copyResult = clone(delivered, &copy);
            owned.Reset(copyResult == MI_RESULT_OK ? copy : nullptr);
        }
    } while (moreResults);
    return result != MI_RESULT_OK ? result : copyResult;
}

}

MI_Result PullInstance(MI_Operation* operation, const MI_Instance*& instance, bool& moreResults,
                       std::wstring* message)
{
    return PullOne(operation, instance, moreResults, message, MI_Operation_GetInstance);
}

MI_Result PullClass(MI_Operation* operation, const MI_Class*& classObject, bool& moreResults,
                    std::wstring* message)
{
    return PullOne(operation, classObject, moreResults, message, MI_Operation_GetClass);
}

MI_Result PullFinal(MI_Operation* operation, UniqueInstance& instance, std::wstring* message)
{
    return PullToFinal<MI_Instance>(operation, instance, message, PullInstance, MI_Instance_Clone);
}

MI_Result PullFinalClass(MI_Operation* operation, UniqueClass& classObject, std::wstring* message)
{
    return PullToFinal<MI_Class>(operation, classObject, message, PullClass, MI_Class_Clone);
}

MI_Result ReadStringElement(const MI_Instance* instance, const wchar_t* name,
                            std::optional<std::wstring>& text)
{
    text.reset();
    MI_Value value{};
    MI_Type type{};
    const MI_Result result = MI_Instance_GetElement(instance, name, &value, &type, nullptr, nullptr);
    if (result == MI_RESULT_OK && type == MI_STRING && value.string)
        text = value.string;
    return result;
}

MI_Result ReadBooleanElement(const MI_Instance* instance, const wchar_t* name, bool& flag)
{
    MI_Value value{};
    MI_Type type{};
    MI_Uint32 flags = 0;
    const MI_Result result = MI_Instance_GetElement(instance, name, &value, &type, &flags, nullptr);
    if (result != MI_RESULT_OK || (flags & MI_FLAG_NULL))
        return result;
    if (type == MI_BOOLEAN)
        flag = value.boolean == 1;
    else if (type == MI_STRING && value.string)
        flag = ParseCimBoolean(value.string).value_or(flag);
    return result;
}

namespace {

// The typed value, or the number its decimal text names; nothing otherwise.
std::optional<std::uint64_t> ReadUnsigned(const MI_Instance* instance, const wchar_t* name,
                                          MI_Type typed, std::uint64_t maximum, MI_Result* result)
{
    MI_Value value{};
    MI_Type type{};
    MI_Uint32 flags = 0;
    const MI_Result read = MI_Instance_GetElement(instance, name, &value, &type, &flags, nullptr);
    if (result)
        *result = read;
    if (read != MI_RESULT_OK || (flags & MI_FLAG_NULL))
        return std::nullopt;
    if (type == typed)
        return typed == MI_UINT16 ? value.uint16 : value.uint32;
    if (type == MI_STRING && value.string)
        return ParseCimUnsigned(value.string, maximum);
    return std::nullopt;
}

}

std::optional<std::uint16_t> ReadUint16Element(const MI_Instance* instance, const wchar_t* name,
                                               MI_Result* result)
{
    const auto value = ReadUnsigned(instance, name, MI_UINT16, 0xFFFF, result);
    return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
}

std::optional<std::uint32_t> ReadUint32Element(const MI_Instance* instance, const wchar_t* name,
                                               MI_Result* result)
{
    const auto value = ReadUnsigned(instance, name, MI_UINT32, 0xFFFFFFFF, result);
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

std::optional<MI_Timestamp> ReadTimestampElement(const MI_Instance* instance, const wchar_t* name)
{
    MI_Value value{};
    MI_Type type{};
    MI_Uint32 flags = 0;
    if (MI_Instance_GetElement(instance, name, &value, &type, &flags, nullptr) != MI_RESULT_OK ||
        (flags & MI_FLAG_NULL))
        return std::nullopt;
    if (type == MI_DATETIME && value.datetime.isTimestamp)
        return value.datetime.u.timestamp;
    if (type == MI_STRING && value.string)
        return ParseCimDatetime(value.string);
    return std::nullopt;
}

MI_Result ReadElement(const MI_Instance* instance, const wchar_t* name, MI_Type& type,
                      MI_Value& value)
{
    return MI_Instance_GetElement(instance, name, &value, &type, nullptr, nullptr);
}

MI_Result MakeInstance(MI_Application* application, const wchar_t* className,
                       MI_Instance*& instance)
{
    instance = nullptr;
    return MI_Application_NewInstance(application, className, nullptr, &instance);
}

MI_Result SerializeToText(const MI_Instance* instance, std::wstring& text)
{
    text.clear();
    MI_Serializer* serializer = ManagementSession::SharedSerializer();
    if (!serializer || !instance)
        return MI_RESULT_INVALID_PARAMETER;
    MI_Uint32 needed = 0;
    MI_Serializer_SerializeInstance(serializer, 0, instance, nullptr, 0, &needed);
    // One more zero unit than the text needs keeps it terminated.
    std::vector<wchar_t> buffer(needed / 2 + 1, L'\0');
    const MI_Result result = MI_Serializer_SerializeInstance(
        serializer, 0, instance, reinterpret_cast<MI_Uint8*>(buffer.data()), needed, &needed);
    if (result == MI_RESULT_OK)
        text.assign(buffer.data());
    return result;
}
