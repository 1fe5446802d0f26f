#include "ui/CsvReader.h"

#include <windows.h>

#include "ui/CsvDecoding.h"

namespace {

bool IsLineEnd(wchar_t character)
{
    return character == L'\r' || character == L'\n';
}

}

CsvReader::CsvReader(std::wstring_view text, bool complete) : text_(text), complete_(complete)
{
    // A file may end in any number of line ends, as editors leave them.
    if (complete_)
        while (!text_.empty() && IsLineEnd(text_.back()))
            text_.remove_suffix(1);
}

CsvReader::Step CsvReader::Next(CsvRecord& record, ImportFailure& failure)
{
    if (position_ >= text_.size())
        return Step::End;
    record.line = line_;
    size_t count = 0;
    for (;;) {
        if (count == record.fields.size())
            record.fields.emplace_back();
        std::wstring& field = record.fields[count++];
        field.clear();
        const FieldEnd end = position_ < text_.size() && text_[position_] == L'"'
                                 ? ReadQuoted(field, failure)
                                 : ReadUnquoted(field);
        if (end == FieldEnd::Fault)
            return Step::Fault;
        if (end == FieldEnd::TextEnd && !complete_)
            return Step::End;
        if (end != FieldEnd::Comma)
            break;
    }
    record.fields.resize(count);
    return Step::Record;
}

CsvReader::FieldEnd CsvReader::ReadQuoted(std::wstring& field, ImportFailure& failure)
{
    const size_t openingLine = line_;
    ++position_;
    for (;;) {
        const size_t quote = text_.find(L'"', position_);
        if (quote == std::wstring_view::npos) {
            if (!complete_)
                return FieldEnd::TextEnd;
            failure = {openingLine, L"opens a quoted field that is never closed."};
            return FieldEnd::Fault;
        }
        const std::wstring_view part = text_.substr(position_, quote - position_);
        line_ += CountLineEnds(part);
        field.append(part);
        position_ = quote + 1;
        if (position_ < text_.size() && text_[position_] == L'"') {
            field.push_back(L'"');
            ++position_;
            continue;
        }
        break;
    }
    if (position_ < text_.size() && text_[position_] != L',' && !IsLineEnd(text_[position_])) {
        // A character beyond U+FFFF is shown whole, both of its UTF-16 units.
        const size_t units = IS_HIGH_SURROGATE(text_[position_]) ? 2 : 1;
        failure = {line_, L"has \"" + std::wstring(text_.substr(position_, units)) +
                              L"\" after the closing quote of a field, where only a comma or "
                              L"the end of the line may follow."};
        return FieldEnd::Fault;
    }
    return TakeSeparator();
}

CsvReader::FieldEnd CsvReader::ReadUnquoted(std::wstring& field)
{
    size_t end = text_.find_first_of(L",\r\n", position_);
    if (end == std::wstring_view::npos)
        end = text_.size();
    field.assign(text_.substr(position_, end - position_));
    position_ = end;
    return TakeSeparator();
}

CsvReader::FieldEnd CsvReader::TakeSeparator()
{
    if (position_ >= text_.size())
        return FieldEnd::TextEnd;
    const wchar_t separator = text_[position_++];
    if (separator == L',')
        return FieldEnd::Comma;
    if (separator == L'\r' && position_ < text_.size() && text_[position_] == L'\n')
        ++position_;
    ++line_;
    return FieldEnd::LineEnd;
}
