// The host list file on disk: read whole as text, written whole through a temporary file so
// that a failed write never destroys the previous file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// How reading the file ended.
enum class FileRead {
    Complete,   // every byte was read
    CutShort,   // a read failed part-way; the lines complete before it stand
    Missing,    // there is no file (or no folder) of that name
    Unreadable, // it exists but cannot be opened: held by another program, no access, offline
};

// Reads the file's lines (see HostFileText). On CutShort and Unreadable, error receives the
// Windows error; running out of memory counts as a failed read.
[[nodiscard]] FileRead ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines,
                                     DWORD& error);

// Makes bytes the whole content of the file: writes and flushes a temporary file in the same
// folder, then moves it over the old file. A read-only file is never replaced: the result is
// then ERROR_FILE_READ_ONLY (checked here, since Wine replaces such a file). 0 on success,
// otherwise the Windows error; on failure the temporary file is deleted and the old file is
// left as it was.
[[nodiscard]] DWORD ReplaceFileContent(const std::wstring& path, std::string_view bytes);
