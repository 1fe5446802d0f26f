#include "sim/ValueText.h"

#include <cstdio>
#include <cstring>

#include "sim/SimInstance.h"
#include "sim/SimValue.h"
#include "sim/World.h"

namespace sim {
namespace {

std::wstring DatetimeText(const MI_Datetime& datetime)
{
    wchar_t text[32];
    if (datetime.isTimestamp) {
        const MI_Timestamp& t = datetime.u.timestamp;
        std::swprintf(text, 32, L"%04u%02u%02u%02u%02u%02u.%06u%c%03d", t.year, t.month, t.day,
                      t.hour, t.minute, t.second, t.microseconds, t.utc < 0 ? L'-' : L'+',
                      t.utc < 0 ? -t.utc : t.utc);
    } else {
        const MI_Interval& i = datetime.u.interval;
        std::swprintf(text, 32, L"%08u%02u%02u%02u.%06u:000", i.days, i.hours, i.minutes,
                      i.seconds, i.microseconds);
    }
    return text;
}

}

std::wstring ScalarText(const MI_Value& value, MI_Type type)
{
    switch (type) {
    case MI_BOOLEAN: return value.boolean ? L"TRUE" : L"FALSE";
    case MI_UINT8: return std::to_wstring(value.uint8);
    case MI_SINT8: return std::to_wstring(value.sint8);
    case MI_UINT16: return std::to_wstring(value.uint16);
    case MI_SINT16: return std::to_wstring(value.sint16);
    case MI_UINT32: return std::to_wstring(value.uint32);
    case MI_SINT32: return std::to_wstring(value.sint32);
    case MI_UINT64: return std::to_wstring(value.uint64);
    case MI_SINT64: return std::to_wstring(value.sint64);
    case MI_REAL32: return std::to_wstring(value.real32);
    case MI_REAL64: return std::to_wstring(value.real64);
    case MI_CHAR16: return std::wstring(1, static_cast<wchar_t>(value.char16));
    case MI_DATETIME: return DatetimeText(value.datetime);
    case MI_STRING: return value.string ? value.string : L"";
    case MI_REFERENCE:
    case MI_INSTANCE: {
        if (!value.instance)
            return {};
        const SimInstance* instance = World::FindInstance(value.instance, "reading a value");
        return instance ? instance->ClassName() : std::wstring();
    }
    default: return {};
    }
}

std::wstring DeliveredText(const MI_Value& value, MI_Type type)
{
    if (type == MI_BOOLEAN)
        return value.boolean ? L"true" : L"false";
    return ScalarText(value, type);
}

MI_Value ArrayItem(const MI_Value& array, MI_Type arrayType, MI_Uint32 index)
{
    MI_Value item{};
    const MI_Type scalar = static_cast<MI_Type>(static_cast<int>(arrayType) & ~MI_ARRAY);
    if (scalar == MI_STRING) {
        item.string = array.stringa.data[index];
    } else {
        const std::size_t size = PlainSize(scalar);
        std::memcpy(&item, static_cast<const unsigned char*>(array.array.data) + size * index, size);
    }
    return item;
}

std::wstring ValueText(const OwnedValue& value)
{
    if (value.IsNull())
        return {};
    const int type = static_cast<int>(value.Type());
    if (!(type & MI_ARRAY) || type == MI_REFERENCEA || type == MI_INSTANCEA)
        return ScalarText(value.Get(), value.Type());
    std::wstring text;
    const MI_Type scalar = static_cast<MI_Type>(type & ~MI_ARRAY);
    for (MI_Uint32 i = 0; i < value.Get().array.size; ++i) {
        if (i > 0)
            text += L',';
        text += ScalarText(ArrayItem(value.Get(), value.Type(), i), scalar);
    }
    return text;
}

}
