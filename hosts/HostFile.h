// The host list file on disk: read as 8-bit text line by line, written whole through a
// temporary file so that a failed write never destroys the previous file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Reads the file as 8-bit text, each byte the character with that code, and hands each line
// (split at LF; a last line without LF counts) to onLine. False when the file cannot be opened.
// A read error, or a line too long to hold in memory, ends reading; the lines so far stand.
[[nodiscard]] bool ReadTextLines(const std::wstring& path,
                                 const std::function<void(std::wstring&)>& onLine);

// Makes bytes the whole content of the file: writes and flushes a temporary file in the same
// folder, then moves it over the old file. On failure the temporary file is deleted and the
// old file is left as it was.
[[nodiscard]] bool ReplaceFileContent(const std::wstring& path, std::string_view bytes);
