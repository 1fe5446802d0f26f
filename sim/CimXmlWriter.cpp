#include "sim/CimXmlWriter.h"

#include "sim/SimInstance.h"
#include "sim/ValueText.h"
#include "sim/World.h"

namespace sim {
namespace {

const wchar_t* CimTypeName(MI_Type scalar)
{
    switch (scalar) {
    case MI_BOOLEAN: return L"boolean";
    case MI_UINT8: return L"uint8";
    case MI_SINT8: return L"sint8";
    case MI_UINT16: return L"uint16";
    case MI_SINT16: return L"sint16";
    case MI_UINT32: return L"uint32";
    case MI_SINT32: return L"sint32";
    case MI_UINT64: return L"uint64";
    case MI_SINT64: return L"sint64";
    case MI_REAL32: return L"real32";
    case MI_REAL64: return L"real64";
    case MI_CHAR16: return L"char16";
    case MI_DATETIME: return L"datetime";
    default: return L"string";
    }
}

void WriteValue(std::wstring& xml, const std::wstring& text)
{
    xml += L"<VALUE>" + EscapeXml(text) + L"</VALUE>";
}

void WriteReference(std::wstring& xml, const Element& element)
{
    xml += L"<PROPERTY.REFERENCE NAME=\"" + EscapeXml(element.name) + L"\">";
    const MI_Instance* handle = element.value.IsNull() ? nullptr : element.value.Get().reference;
    if (const SimInstance* target = handle ? World::FindInstance(handle, "serializing a reference") : nullptr) {
        xml += L"<VALUE.REFERENCE><INSTANCENAME CLASSNAME=\"" + EscapeXml(target->ClassName()) + L"\">";
        for (const Element& key : target->Elements())
            if (!key.value.IsNull())
                xml += L"<KEYBINDING NAME=\"" + EscapeXml(key.name) + L"\"><KEYVALUE>" +
                       EscapeXml(ValueText(key.value)) + L"</KEYVALUE></KEYBINDING>";
        xml += L"</INSTANCENAME></VALUE.REFERENCE>";
    }
    xml += L"</PROPERTY.REFERENCE>";
}

void WriteProperty(std::wstring& xml, const Element& element)
{
    const int type = static_cast<int>(element.value.Type());
    if (type == MI_REFERENCE) {
        WriteReference(xml, element);
        return;
    }
    const MI_Type scalar = static_cast<MI_Type>(type & ~MI_ARRAY);
    const bool array = (type & MI_ARRAY) != 0;
    const std::wstring tag = array ? L"PROPERTY.ARRAY" : L"PROPERTY";
    xml += L"<" + tag + L" NAME=\"" + EscapeXml(element.name) + L"\" TYPE=\"" + CimTypeName(scalar) + L"\"";
    if (scalar == MI_INSTANCE)
        xml += L" EmbeddedObject=\"instance\"";
    xml += L">";
    if (!element.value.IsNull()) {
        const MI_Value& value = element.value.Get();
        if (scalar == MI_INSTANCE && !array) {
            const SimInstance* embedded = World::FindInstance(value.instance, "serializing an instance");
            WriteValue(xml, embedded ? WriteCimXml(*embedded) : std::wstring());
        } else if (array) {
            xml += L"<VALUE.ARRAY>";
            if (scalar != MI_INSTANCE && scalar != MI_REFERENCE)
                for (MI_Uint32 i = 0; i < value.array.size; ++i)
                    WriteValue(xml, ScalarText(ArrayItem(value, element.value.Type(), i), scalar));
            xml += L"</VALUE.ARRAY>";
        } else {
            WriteValue(xml, ScalarText(value, scalar));
        }
    }
    xml += L"</" + tag + L">";
}

}

std::wstring EscapeXml(std::wstring_view text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        case L'\'': escaped += L"&apos;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::wstring WriteCimXml(const SimInstance& instance)
{
    std::wstring xml = L"<INSTANCE CLASSNAME=\"" + EscapeXml(instance.ClassName()) + L"\">";
    for (const Element& element : instance.Elements())
        WriteProperty(xml, element);
    xml += L"</INSTANCE>";
    return xml;
}

}
