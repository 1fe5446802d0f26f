// Values as text: CIM's forms for booleans and datetimes, decimal numbers. Used to compare with
// query literals, to log parameters and to write CIM-XML.
#pragma once

#include <string>

#include "mgmt/MiTypes.h"

namespace sim {

class OwnedValue;

// One scalar value (type without the array bit) as text.
std::wstring ScalarText(const MI_Value& value, MI_Type type);
// One scalar value in the text form a client without type information delivers: as ScalarText,
// but booleans are "true" or "false".
std::wstring DeliveredText(const MI_Value& value, MI_Type type);
// A whole value; array elements joined with ",", null as empty text.
std::wstring ValueText(const OwnedValue& value);
// Element index of an array value as a scalar value.
MI_Value ArrayItem(const MI_Value& array, MI_Type arrayType, MI_Uint32 index);

}
