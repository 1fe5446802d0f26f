// Helpers over management instances that need no session state. Each returns the client's
// result; a handle that is null or has no table gives MI_RESULT_INVALID_PARAMETER without a call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mgmt/MiClient.h"
#include "mgmt/MiOwners.h"

// The namespace of the Hyper-V management classes.
inline constexpr wchar_t virtualizationNamespace[] = L"root/virtualization/v2";

// A string value that refers to the text; the text must outlive every use of the value.
inline MI_Value StringValue(const std::wstring& text)
{
    MI_Value value{};
    value.string = const_cast<MI_Char*>(text.c_str());
    return value;
}

// One delivery of an operation. A real client returns 0 from the call and reports the
// operation's failure through its result out parameter: the answer is the first non-zero of
// the two. A failure is the final delivery (moreResults false); `message`, when given,
// receives a copy of the words the client delivered with it (empty when none came).
MI_Result PullInstance(MI_Operation* operation, const MI_Instance*& instance, bool& moreResults,
                       std::wstring* message = nullptr);
MI_Result PullClass(MI_Operation* operation, const MI_Class*& classObject, bool& moreResults,
                    std::wstring* message = nullptr);

// Pulls an operation's deliveries until the final one (or a failure) and returns its result.
// The final result may come on its own after the last instance, and a delivered object lives
// only until the next pull: the owner receives a copy of the last one delivered (empty when
// none came or the copy failed, whose result is then returned).
MI_Result PullFinal(MI_Operation* operation, UniqueInstance& instance,
                    std::wstring* message = nullptr);
MI_Result PullFinalClass(MI_Operation* operation, UniqueClass& classObject,
                         std::wstring* message = nullptr);

// A string property: `text` is a copy, or empty when the property is null or not a string
// (the result is then 0 when only the type differed).
MI_Result ReadStringElement(const MI_Instance* instance, const wchar_t* name,
                            std::optional<std::wstring>& text);

// A boolean property: `flag` is set to (stored byte == 1), or from the text "true" / "false";
// it is left unchanged when the property is neither.
MI_Result ReadBooleanElement(const MI_Instance* instance, const wchar_t* name, bool& flag);

// Unsigned properties as the typed value or its decimal text; nothing when the property is
// absent, null, of another type or text that does not parse. `result`, when given, receives
// the client's result of reading the property.
std::optional<std::uint16_t> ReadUint16Element(const MI_Instance* instance, const wchar_t* name,
                                               MI_Result* result = nullptr);
std::optional<std::uint32_t> ReadUint32Element(const MI_Instance* instance, const wchar_t* name,
                                               MI_Result* result = nullptr);

// A property read that failed, as opposed to one the instance does not have.
inline bool ElementReadFailed(MI_Result result)
{
    return result != MI_RESULT_OK && result != MI_RESULT_NO_SUCH_PROPERTY;
}

// A datetime property holding a timestamp, typed or as CIM datetime text.
std::optional<MI_Timestamp> ReadTimestampElement(const MI_Instance* instance, const wchar_t* name);

// Any property, unconverted.
MI_Result ReadElement(const MI_Instance* instance, const wchar_t* name, MI_Type& type,
                      MI_Value& value);

// A new empty instance of the named class; the caller owns it (null on failure).
MI_Result MakeInstance(MI_Application* application, const wchar_t* className,
                       MI_Instance*& instance);

// The instance as XML text through the shared "MI_XML" serializer.
MI_Result SerializeToText(const MI_Instance* instance, std::wstring& text);
