// The records of CSV text as RFC 4180 writes them: fields separated by commas, a record ending
// at CR LF, LF or a lone CR, a field in double quotes holding commas, line ends and doubled
// quotes. A quote inside an unquoted field is taken as it stands. Line ends at the very end
// of the text end no further record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/ImportFailure.h"

struct CsvRecord {
    // The physical line the record starts on, 1-based.
    size_t line = 0;
    std::vector<std::wstring> fields;
};

class CsvReader {
public:
    enum class Step { Record, End, Fault };

    // `complete` is false when the text stops before a fault in the file: the record it stops
    // in is then not read. The text must outlive the reader.
    CsvReader(std::wstring_view text, bool complete);

    // Reads the next record into `record`, reusing its fields' storage. A quote never closed
    // and a character after a closing quote are faults, named by the physical line they are
    // on. Throws std::bad_alloc.
    Step Next(CsvRecord& record, ImportFailure& failure);

private:
    enum class FieldEnd { Comma, LineEnd, TextEnd, Fault };

    FieldEnd ReadQuoted(std::wstring& field, ImportFailure& failure);
    FieldEnd ReadUnquoted(std::wstring& field);
    FieldEnd TakeSeparator();

    std::wstring_view text_;
    bool complete_;
    size_t position_ = 0;
    size_t line_ = 1;
};
