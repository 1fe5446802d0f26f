// One element value of a simulated instance. It owns a deep copy of what the caller handed in,
// or, with MI_FLAG_BORROW, refers to the caller's memory as the real client does.
#pragma once

#include <string>
#include <vector>

#include "mgmt/MiTypes.h"

namespace sim {

class SimInstance;

class OwnedValue {
public:
    OwnedValue() = default;
    ~OwnedValue();
    OwnedValue(OwnedValue&& other) noexcept;
    OwnedValue& operator=(OwnedValue&& other) noexcept;
    OwnedValue(const OwnedValue&) = delete;
    OwnedValue& operator=(const OwnedValue&) = delete;

    // Stores value of the given type; a null value pointer stores null. Embedded instances are
    // always copied. Answers MI_RESULT_INVALID_PARAMETER for an unknown type or an instance
    // that is not one of ours.
    [[nodiscard]] MI_Result Assign(const MI_Value* value, MI_Type type, bool borrow);
    // A string value, copied.
    void AssignString(const std::wstring& text);
    void AssignNull(MI_Type type);

    // A deep copy that owns everything, borrowed parts included.
    [[nodiscard]] OwnedValue Clone() const;

    bool IsNull() const { return null_; }
    MI_Type Type() const { return type_; }
    const MI_Value& Get() const { return value_; }

private:
    void Reset();

    MI_Type type_ = MI_STRING;
    bool null_ = true;
    MI_Value value_{};
    std::wstring string_;
    std::vector<std::wstring> strings_;
    std::vector<MI_Char*> stringPointers_;
    std::vector<unsigned char> bytes_;
    SimInstance* embedded_ = nullptr;
};

// The size of one element of a scalar type (or of an array's elements); 0 for strings,
// references and instances, which are not plain data.
std::size_t PlainSize(MI_Type type);

}
