// The text of the host list file. A byte-order mark says how its bytes are read: UTF-16,
// little- or big-endian (as Windows PowerShell 5 writes with ">"), or UTF-8; without one,
// each byte is the character with that code (ISO 8859-1), the program's own format. Lines end
// at LF, CR LF, CR CR LF or a lone CR.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of the file's bytes, empty lines left out. When `complete` is false the bytes
// stop part-way through the file, and the text after the last line end is dropped: it may be
// a name cut short. Throws std::bad_alloc when memory runs out.
std::vector<std::wstring> TextLines(std::string_view bytes, bool complete);

// The names in the program's format: 8-bit text, each name followed by CR LF. A name holding
// a character above U+00FF cannot be written so and is left out, and so is an empty name.
// Throws std::bad_alloc.
std::string EightBitLines(const std::vector<std::wstring>& names);
