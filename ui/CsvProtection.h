// The apostrophe that keeps a spreadsheet from running a value as a formula. A cell that
// starts with = + - @, a tab or a CR runs as one, so the export writes such a value behind an
// apostrophe and the import takes it off. A value that itself starts with an apostrophe
// before one of those, or before another apostrophe, is written behind one too: every value
// then reads back as it was written.
#pragma once

#include <string_view>

// The field without the apostrophe that protects it; an apostrophe before anything else is
// the value's own.
std::wstring_view Unprotected(std::wstring_view field);

// Whether the export writes the value behind an apostrophe.
bool NeedsApostrophe(std::wstring_view value);
