#include "mgmt/InstanceHelpers.h"

#include <vector>

#include "mgmt/ManagementSession.h"
#include "mgmt/MiOwners.h"

MI_Result PullFinal(MI_Operation* operation, const MI_Instance*& instance)
{
    MI_Result result = MI_RESULT_OK;
    MI_Boolean moreResults = MI_FALSE;
    do {
        instance = nullptr;
        moreResults = MI_FALSE;
        result = MI_Operation_GetInstance(operation, &instance, &moreResults, nullptr, nullptr,
                                          nullptr);
    } while (moreResults && result == MI_RESULT_OK);
    return result;
}

MI_Result CopyKeyProperties(MI_Application* application, MI_Session* session,
                            const MI_Instance* source, MI_Instance*& copy)
{
    copy = nullptr;
    if (!session || !session->ft)
        return MI_RESULT_INVALID_PARAMETER;
    const MI_Char* nameSpace = nullptr;
    const MI_Char* className = nullptr;
    MI_Instance_GetNameSpace(source, &nameSpace);
    MI_Instance_GetClassName(source, &className);

    UniqueOperation operation;
    MI_Session_GetClass(session, MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS, nullptr, nameSpace,
                        className, nullptr, operation.Put());
    const MI_Class* classObject = nullptr;
    MI_Result result = MI_RESULT_OK;
    MI_Operation_GetClass(operation.Get(), &classObject, nullptr, &result, nullptr, nullptr);
    if (result != MI_RESULT_OK)
        return result;

    UniqueInstance keys;
    result = MI_Application_NewInstanceFromClass(application, className, classObject, keys.Put());
    if (result != MI_RESULT_OK)
        return result;
    MI_Uint32 count = 0;
    result = MI_Class_GetElementCount(classObject, &count);
    if (result != MI_RESULT_OK)
        return result;
    for (MI_Uint32 index = 0; index < count; ++index) {
        const MI_Char* name = nullptr;
        MI_Value value{};
        MI_Type type{};
        MI_Uint32 flags = 0;
        result = MI_Instance_GetElementAt(source, index, &name, &value, &type, &flags);
        if (result == MI_RESULT_OK && (flags & MI_FLAG_KEY))
            result = MI_Instance_SetElement(keys.Get(), name, &value, type, 0);
    }
    if (result != MI_RESULT_OK)
        return result;
    copy = keys.Release();
    return MI_RESULT_OK;
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
    const MI_Result result = MI_Instance_GetElement(instance, name, &value, &type, nullptr, nullptr);
    if (result == MI_RESULT_OK && type == MI_BOOLEAN)
        flag = value.boolean == 1;
    return result;
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
