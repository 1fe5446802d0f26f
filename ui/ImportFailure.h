// Why an identities file was not imported: the line at fault, or the whole file.
#pragma once

#include <windows.h>

#include <string>

struct ImportFailure {
    // The physical line, 1-based with the header as line 1; 0 for the whole file (too large,
    // empty, unreadable).
    size_t line = 0;
    // What is wrong, as the rest of a sentence whose subject is "line N" or, for the whole
    // file, "it": "has 10 fields where the header has 11." Empty when memory ran out.
    std::wstring text;
    // The Windows error behind a whole-file failure, or ERROR_SUCCESS.
    DWORD error = ERROR_SUCCESS;
};
