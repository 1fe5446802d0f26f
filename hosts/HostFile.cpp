#include "hosts/HostFile.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <new>

#include "app/Unique.h"

namespace {

struct FileTraits {
    static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE file) noexcept { CloseHandle(file); }
};
using UniqueFile = Unique<HANDLE, FileTraits>;

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

}

bool ReadTextLines(const std::wstring& path, const std::function<void(std::wstring&)>& onLine)
{
    // No sharing restriction: another instance may read or replace the file meanwhile.
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    try {
        std::array<unsigned char, chunkSize> buffer;
        std::wstring line;
        for (;;) {
            DWORD read = 0;
            // A read error drops the unfinished line: it may be a name cut short.
            if (!ReadFile(file.Get(), buffer.data(), chunkSize, &read, nullptr))
                return true;
            if (read == 0)
                break;
            for (DWORD index = 0; index < read; ++index) {
                const unsigned char byte = buffer[index];
                if (byte != '\n') {
                    line.push_back(static_cast<wchar_t>(byte));
                    continue;
                }
                onLine(line);
                line.clear();
            }
        }
        if (!line.empty())
            onLine(line);
    } catch (const std::bad_alloc&) {
        // A line that does not fit in memory ends reading like a read error.
    }
    return true;
}

bool ReplaceFileContent(const std::wstring& path, std::string_view bytes)
{
    try {
        // One temporary name per process, so two instances saving at once do not collide.
        const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        ScopeGuard removeTemporary([&temporary] { DeleteFileW(temporary.c_str()); });
        if (!WriteAll(file.Get(), bytes) || !FlushFileBuffers(file.Get()))
            return false;
        if (!CloseHandle(file.Release()))
            return false;
        if (!MoveFileExW(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        removeTemporary.Dismiss();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
