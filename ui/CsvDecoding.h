// The text of a CSV file's bytes: UTF-8 with or without a byte-order mark, or UTF-16 in either
// byte order behind its mark. What is not such text (a NUL character, a byte that is not
// UTF-8, half a UTF-16 surrogate pair, an odd last byte) is found at its physical line.
#pragma once

#include <string>
#include <string_view>

#include "ui/ImportFailure.h"

// Decodes the bytes into text. False at the first fault, with `text` holding what came before
// it and `failure` naming the line it is in. Throws std::bad_alloc.
[[nodiscard]] bool DecodeCsvText(std::string_view bytes, std::wstring& text, ImportFailure& failure);

// The number of line ends in the text: CR LF, LF and a lone CR each end one line.
size_t CountLineEnds(std::wstring_view text);
