#include "hosts/HostFile.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "base/Unique.h"
#include "hosts/HostFileText.h"

namespace {

constexpr DWORD chunkSize = 64 * 1024;

[[nodiscard]] bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(std::min<size_t>(bytes.size(), chunkSize));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), size, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The thread's last error, for a call that failed: never 0, which would read as success.
DWORD LastFailure()
{
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// Reads the whole file into bytes; what was read before a failure stays there.
FileRead ReadBytes(const std::wstring& path, std::string& bytes, DWORD& error)
{
    // No sharing restriction: another instance may read or replace the file meanwhile.
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                              : FileRead::Unreadable;
    }
    try {
        const auto buffer = std::make_unique<std::array<char, chunkSize>>();
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file.Get(), buffer->data(), chunkSize, &read, nullptr)) {
                error = GetLastError();
                return FileRead::CutShort;
            }
            if (read == 0)
                return FileRead::Complete;
            bytes.append(buffer->data(), read);
        }
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return FileRead::CutShort;
    }
}

}

FileRead ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines, DWORD& error)
{
    error = ERROR_SUCCESS;
    std::string bytes;
    const FileRead read = ReadBytes(path, bytes, error);
    if (read == FileRead::Missing || read == FileRead::Unreadable)
        return read;
    try {
        lines = TextLines(bytes, read == FileRead::Complete);
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return FileRead::CutShort;
    }
    return read;
}

DWORD ReplaceFileContent(const std::wstring& path, std::string_view bytes)
{
    try {
        // One temporary name per process, so two instances saving at once do not collide.
        const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return LastFailure();
        ScopeGuard removeTemporary([&temporary] { DeleteFileW(temporary.c_str()); });
        if (!WriteAll(file.Get(), bytes) || !FlushFileBuffers(file.Get()))
            return LastFailure();
        if (!CloseHandle(file.Release()))
            return LastFailure();
        // Windows refuses to replace a read-only file, Wine does not: the user made it so to
        // keep it as it is.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return ERROR_FILE_READ_ONLY;
        if (!MoveFileExW(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return LastFailure();
        removeTemporary.Dismiss();
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}
