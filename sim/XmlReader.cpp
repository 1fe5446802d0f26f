#include "sim/XmlReader.h"

namespace sim {
namespace {

// Deeper nesting than any CIM instance needs is refused rather than recursed into.
constexpr int maxDepth = 32;

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool IsNameStart(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c == L':' || c >= 0x80;
}

bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
}

class Reader {
public:
    explicit Reader(std::wstring_view text) : text_(text) {}

    std::optional<XmlElement> Document()
    {
        if (!SkipMisc())
            return std::nullopt;
        XmlElement root;
        if (!Peek(L"<") || !Element(root, 0))
            return std::nullopt;
        if (!SkipMisc() || pos_ != text_.size())
            return std::nullopt;
        return root;
    }

private:
    bool Peek(std::wstring_view what) const { return text_.substr(pos_, what.size()) == what; }

    void SkipSpace()
    {
        while (pos_ < text_.size() && IsSpace(text_[pos_]))
            ++pos_;
    }

    bool SkipPast(std::wstring_view end)
    {
        const std::size_t found = text_.find(end, pos_);
        if (found == std::wstring_view::npos)
            return false;
        pos_ = found + end.size();
        return true;
    }

    // Space, comments and processing instructions around the root element.
    bool SkipMisc()
    {
        for (;;) {
            SkipSpace();
            if (Peek(L"<?")) {
                if (!SkipPast(L"?>"))
                    return false;
            } else if (Peek(L"<!--")) {
                if (!SkipPast(L"-->"))
                    return false;
            } else {
                return true;
            }
        }
    }

    std::optional<std::wstring> Name()
    {
        const std::size_t start = pos_;
        if (pos_ >= text_.size() || !IsNameStart(text_[pos_]))
            return std::nullopt;
        while (pos_ < text_.size() && IsNameChar(text_[pos_]))
            ++pos_;
        return std::wstring(text_.substr(start, pos_ - start));
    }

    static bool AppendCodePoint(std::wstring& out, unsigned long code)
    {
        const bool allowed = code == 0x9 || code == 0xA || code == 0xD ||
                             (code >= 0x20 && code <= 0xD7FF) || (code >= 0xE000 && code <= 0xFFFD) ||
                             (code >= 0x10000 && code <= 0x10FFFF);
        if (!allowed)
            return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (code >> 10));
            out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<wchar_t>(code);
        }
        return true;
    }

    // An entity after '&': decoded into out.
    bool Entity(std::wstring& out)
    {
        const std::size_t end = text_.find(L';', pos_);
        if (end == std::wstring_view::npos || end - pos_ > 10)
            return false;
        const std::wstring_view name = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (name == L"amp") { out += L'&'; return true; }
        if (name == L"lt") { out += L'<'; return true; }
        if (name == L"gt") { out += L'>'; return true; }
        if (name == L"quot") { out += L'"'; return true; }
        if (name == L"apos") { out += L'\''; return true; }
        if (name.size() < 2 || name[0] != L'#')
            return false;
        const bool hex = name[1] == L'x';
        const std::wstring_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty())
            return false;
        unsigned long code = 0;
        for (wchar_t c : digits) {
            int digit = -1;
            if (c >= L'0' && c <= L'9')
                digit = c - L'0';
            else if (hex && c >= L'a' && c <= L'f')
                digit = c - L'a' + 10;
            else if (hex && c >= L'A' && c <= L'F')
                digit = c - L'A' + 10;
            if (digit < 0)
                return false;
            code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
            if (code > 0x10FFFF)
                return false;
        }
        return AppendCodePoint(out, code);
    }

    bool AttributeValue(std::wstring& value)
    {
        if (pos_ >= text_.size() || (text_[pos_] != L'"' && text_[pos_] != L'\''))
            return false;
        const wchar_t quote = text_[pos_++];
        while (pos_ < text_.size() && text_[pos_] != quote) {
            const wchar_t c = text_[pos_++];
            if (c == L'<')
                return false;
            if (c == L'&') {
                if (!Entity(value))
                    return false;
            } else {
                value += c;
            }
        }
        if (pos_ >= text_.size())
            return false;
        ++pos_;
        return true;
    }

    bool Element(XmlElement& element, int depth)
    {
        if (depth > maxDepth)
            return false;
        ++pos_; // '<'
        auto name = Name();
        if (!name)
            return false;
        element.name = std::move(*name);
        for (;;) {
            const std::size_t before = pos_;
            SkipSpace();
            if (Peek(L"/>")) {
                pos_ += 2;
                return true;
            }
            if (Peek(L">")) {
                ++pos_;
                break;
            }
            if (pos_ == before)
                return false; // attributes must be separated by space
            auto attribute = Name();
            if (!attribute)
                return false;
            SkipSpace();
            if (!Peek(L"="))
                return false;
            ++pos_;
            SkipSpace();
            std::wstring value;
            if (!AttributeValue(value) || element.Attribute(*attribute))
                return false;
            element.attributes.emplace_back(std::move(*attribute), std::move(value));
        }
        return Content(element, depth);
    }

    bool Content(XmlElement& element, int depth)
    {
        while (pos_ < text_.size()) {
            if (Peek(L"</")) {
                pos_ += 2;
                auto closing = Name();
                SkipSpace();
                if (!closing || *closing != element.name || !Peek(L">"))
                    return false;
                ++pos_;
                return true;
            }
            if (Peek(L"<!--")) {
                if (!SkipPast(L"-->"))
                    return false;
            } else if (Peek(L"<![CDATA[")) {
                pos_ += 9;
                const std::size_t end = text_.find(L"]]>", pos_);
                if (end == std::wstring_view::npos)
                    return false;
                element.text += text_.substr(pos_, end - pos_);
                pos_ = end + 3;
            } else if (Peek(L"<?")) {
                if (!SkipPast(L"?>"))
                    return false;
            } else if (Peek(L"<")) {
                XmlElement child;
                if (!Element(child, depth + 1))
                    return false;
                element.children.push_back(std::move(child));
            } else if (text_[pos_] == L'&') {
                ++pos_;
                if (!Entity(element.text))
                    return false;
            } else {
                element.text += text_[pos_++];
            }
        }
        return false; // the element never closed
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
};

}

const std::wstring* XmlElement::Attribute(std::wstring_view attributeName) const
{
    for (const auto& attribute : attributes)
        if (attribute.first == attributeName)
            return &attribute.second;
    return nullptr;
}

std::optional<XmlElement> ReadXml(std::wstring_view text)
{
    return Reader(text).Document();
}

}
