#include "sim/WqlParser.h"

#include "sim/Text.h"

namespace sim {
namespace {

class Scanner {
public:
    explicit Scanner(std::wstring_view text) : text_(text) {}

    void SkipSpace()
    {
        while (pos_ < text_.size() && (text_[pos_] == L' ' || text_[pos_] == L'\t' ||
                                       text_[pos_] == L'\r' || text_[pos_] == L'\n'))
            ++pos_;
    }

    // "=", "<>" or "!="; equal tells which.
    bool Comparison(bool& equal)
    {
        SkipSpace();
        const std::wstring_view rest = text_.substr(pos_);
        if (rest.starts_with(L"<>") || rest.starts_with(L"!=")) {
            pos_ += 2;
            equal = false;
            return true;
        }
        equal = true;
        return Symbol(L'=');
    }

    bool AtEnd()
    {
        SkipSpace();
        return pos_ >= text_.size();
    }

    bool Symbol(wchar_t symbol)
    {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == symbol) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::optional<std::wstring> Identifier()
    {
        SkipSpace();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsNameChar(text_[pos_], pos_ == start))
            ++pos_;
        if (pos_ == start)
            return std::nullopt;
        return std::wstring(text_.substr(start, pos_ - start));
    }

    bool Keyword(std::wstring_view keyword)
    {
        const std::size_t saved = pos_;
        const auto word = Identifier();
        if (word && SameText(*word, keyword))
            return true;
        pos_ = saved;
        return false;
    }

    // A quoted string (backslash escapes the next character), a number, TRUE or FALSE.
    std::optional<std::wstring> Literal()
    {
        SkipSpace();
        if (pos_ >= text_.size())
            return std::nullopt;
        const wchar_t quote = text_[pos_];
        if (quote == L'\'' || quote == L'"') {
            std::wstring value;
            for (++pos_; pos_ < text_.size(); ++pos_) {
                wchar_t c = text_[pos_];
                if (c == quote) {
                    ++pos_;
                    return value;
                }
                if (c == L'\\') {
                    if (++pos_ >= text_.size())
                        return std::nullopt;
                    c = text_[pos_];
                }
                value += c;
            }
            return std::nullopt;
        }
        const std::size_t start = pos_;
        if (text_[pos_] == L'-' || text_[pos_] == L'+')
            ++pos_;
        while (pos_ < text_.size() && text_[pos_] >= L'0' && text_[pos_] <= L'9')
            ++pos_;
        if (pos_ > start && text_[pos_ - 1] >= L'0' && text_[pos_ - 1] <= L'9')
            return std::wstring(text_.substr(start, pos_ - start));
        pos_ = start;
        if (Keyword(L"TRUE"))
            return std::wstring(L"TRUE");
        if (Keyword(L"FALSE"))
            return std::wstring(L"FALSE");
        return std::nullopt;
    }

private:
    static bool IsNameChar(wchar_t c, bool first)
    {
        const bool letter = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
        return letter || (!first && c >= L'0' && c <= L'9');
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
};

bool IsReserved(const std::wstring& word)
{
    for (const wchar_t* reserved : {L"SELECT", L"FROM", L"WHERE", L"AND", L"OR", L"NOT"})
        if (SameText(word, reserved))
            return true;
    return false;
}

}

std::optional<WqlQuery> ParseWql(std::wstring_view text)
{
    Scanner scan(text);
    WqlQuery query;
    if (!scan.Keyword(L"SELECT"))
        return std::nullopt;
    if (!scan.Symbol(L'*')) {
        do {
            auto property = scan.Identifier();
            if (!property || IsReserved(*property))
                return std::nullopt;
            query.properties.push_back(std::move(*property));
        } while (scan.Symbol(L','));
    }
    if (!scan.Keyword(L"FROM"))
        return std::nullopt;
    auto className = scan.Identifier();
    if (!className || IsReserved(*className))
        return std::nullopt;
    query.className = std::move(*className);
    if (scan.Keyword(L"WHERE")) {
        auto property = scan.Identifier();
        bool equal = true;
        if (!property || IsReserved(*property) || !scan.Comparison(equal))
            return std::nullopt;
        auto literal = scan.Literal();
        if (!literal)
            return std::nullopt;
        query.where = WqlCondition{std::move(*property), std::move(*literal), equal};
    }
    if (!scan.AtEnd())
        return std::nullopt;
    return query;
}

}
