#include "sim/SimValue.h"

#include <cstring>
#include <utility>

#include "sim/SimInstance.h"

namespace sim {

std::size_t PlainSize(MI_Type type)
{
    switch (static_cast<int>(type) & ~MI_ARRAY) {
    case MI_BOOLEAN: case MI_UINT8: case MI_SINT8: return 1;
    case MI_UINT16: case MI_SINT16: case MI_CHAR16: return 2;
    case MI_UINT32: case MI_SINT32: case MI_REAL32: return 4;
    case MI_UINT64: case MI_SINT64: case MI_REAL64: return 8;
    case MI_DATETIME: return sizeof(MI_Datetime);
    default: return 0;
    }
}

OwnedValue::~OwnedValue()
{
    Reset();
}

OwnedValue::OwnedValue(OwnedValue&& other) noexcept
{
    *this = std::move(other);
}

OwnedValue& OwnedValue::operator=(OwnedValue&& other) noexcept
{
    if (this == &other)
        return *this;
    Reset();
    // A short owned string lives inside the std::wstring object itself, so it moves.
    const bool ownedString =
        other.type_ == MI_STRING && !other.null_ && other.value_.string == other.string_.data();
    type_ = other.type_;
    null_ = other.null_;
    value_ = other.value_;
    string_ = std::move(other.string_);
    strings_ = std::move(other.strings_);
    stringPointers_ = std::move(other.stringPointers_);
    bytes_ = std::move(other.bytes_);
    embedded_ = std::exchange(other.embedded_, nullptr);
    if (ownedString)
        value_.string = string_.data();
    other.value_ = {};
    other.null_ = true;
    return *this;
}

void OwnedValue::Reset()
{
    if (embedded_)
        ReleaseEmbeddedInstance(embedded_);
    embedded_ = nullptr;
    string_.clear();
    strings_.clear();
    stringPointers_.clear();
    bytes_.clear();
    value_ = {};
    null_ = true;
}

void OwnedValue::AssignNull(MI_Type type)
{
    Reset();
    type_ = type;
}

void OwnedValue::AssignString(const std::wstring& text)
{
    Reset();
    type_ = MI_STRING;
    null_ = false;
    string_ = text;
    value_.string = string_.data();
}

MI_Result OwnedValue::Assign(const MI_Value* value, MI_Type type, bool borrow)
{
    const int code = static_cast<int>(type);
    if (code < MI_BOOLEAN || code > MI_INSTANCEA)
        return MI_RESULT_INVALID_PARAMETER;
    if (!value) {
        AssignNull(type);
        return MI_RESULT_OK;
    }
    OwnedValue next;
    next.type_ = type;
    next.null_ = false;
    if (code == MI_STRING) {
        if (!value->string) {
            next.null_ = true;
        } else if (borrow) {
            next.value_.string = value->string;
        } else {
            next.string_ = value->string;
            next.value_.string = next.string_.data();
        }
    } else if (code == MI_INSTANCE || code == MI_REFERENCE) {
        if (!value->instance) {
            next.null_ = true;
        } else {
            next.embedded_ = CloneEmbeddedInstance(value->instance);
            if (!next.embedded_)
                return MI_RESULT_INVALID_PARAMETER;
            next.value_.instance = &next.embedded_->Handle();
        }
    } else if (code == MI_STRINGA) {
        for (MI_Uint32 i = 0; i < value->stringa.size; ++i)
            next.strings_.emplace_back(value->stringa.data[i] ? value->stringa.data[i] : L"");
        for (std::wstring& text : next.strings_)
            next.stringPointers_.push_back(text.data());
        next.value_.stringa.data = next.stringPointers_.data();
        next.value_.stringa.size = value->stringa.size;
    } else if (code == MI_REFERENCEA || code == MI_INSTANCEA) {
        return MI_RESULT_NOT_SUPPORTED;
    } else if (code & MI_ARRAY) {
        const std::size_t bytes = PlainSize(type) * value->array.size;
        if (borrow) {
            next.value_.array = value->array;
        } else {
            next.bytes_.resize(bytes);
            if (bytes)
                std::memcpy(next.bytes_.data(), value->array.data, bytes);
            next.value_.array.data = next.bytes_.data();
            next.value_.array.size = value->array.size;
        }
    } else {
        std::memcpy(&next.value_, value, PlainSize(type));
    }
    *this = std::move(next);
    return MI_RESULT_OK;
}

OwnedValue OwnedValue::Clone() const
{
    OwnedValue copy;
    if (null_) {
        copy.AssignNull(type_);
        return copy;
    }
    // Copying never borrows, and our own embedded instances are always clonable.
    (void)copy.Assign(&value_, type_, false);
    return copy;
}

}
