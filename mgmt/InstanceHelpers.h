// Helpers over management instances that need no session state. Each returns the client's
// result; a handle that is null or has no table gives MI_RESULT_INVALID_PARAMETER without a call.
#pragma once

#include <optional>
#include <string>

#include "mgmt/MiClient.h"

// The namespace of the Hyper-V management classes.
inline constexpr wchar_t virtualizationNamespace[] = L"root/virtualization/v2";

// A string value that refers to the text; the text must outlive every use of the value.
inline MI_Value StringValue(const std::wstring& text)
{
    MI_Value value{};
    value.string = const_cast<MI_Char*>(text.c_str());
    return value;
}

// Pulls an operation's deliveries until the last one (or a failure) and returns its result;
// `instance` is the last delivery's instance, owned by the operation.
MI_Result PullFinal(MI_Operation* operation, const MI_Instance*& instance);

// A new instance of the source's class holding only the source's key properties; the caller
// owns `copy` (null on failure).
MI_Result CopyKeyProperties(MI_Application* application, MI_Session* session,
                            const MI_Instance* source, MI_Instance*& copy);

// A string property: `text` is a copy, or empty when the property is null or not a string
// (the result is then 0 when only the type differed).
MI_Result ReadStringElement(const MI_Instance* instance, const wchar_t* name,
                            std::optional<std::wstring>& text);

// A boolean property: `flag` is set to (stored byte == 1), and left unchanged when the
// property is not a boolean.
MI_Result ReadBooleanElement(const MI_Instance* instance, const wchar_t* name, bool& flag);

// Any property, unconverted.
MI_Result ReadElement(const MI_Instance* instance, const wchar_t* name, MI_Type& type,
                      MI_Value& value);

// A new empty instance of the named class; the caller owns it (null on failure).
MI_Result MakeInstance(MI_Application* application, const wchar_t* className,
                       MI_Instance*& instance);

// The instance as XML text through the shared "MI_XML" serializer.
MI_Result SerializeToText(const MI_Instance* instance, std::wstring& text);
