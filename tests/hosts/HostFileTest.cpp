#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "base/Unique.h"
#include "hosts/HostFile.h"

namespace {

using Lines = std::vector<std::wstring>;

// A pipe stands for a file whose reading breaks off: its writer sends the first part and
// goes away, as a share going offline does.
TEST(HostFile, AReadThatBreaksOffKeepsTheCompleteLinesAndSaysWhy)
{
    const std::wstring path = L"\\\\.\\pipe\\brackwin-host-file-" + std::to_wstring(GetCurrentProcessId());
    UniqueFile pipe(CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 64 * 1024, 0, 0, nullptr));
    ASSERT_TRUE(pipe);
    std::thread writer([&pipe] {
        ConnectNamedPipe(pipe.Get(), nullptr);
        const std::string part = "alpha\r\nbeta\r\ngam";
        DWORD written = 0;
        WriteFile(pipe.Get(), part.data(), static_cast<DWORD>(part.size()), &written, nullptr);
        FlushFileBuffers(pipe.Get());
        pipe.Reset();
    });
    Lines lines;
    DWORD error = 0;
    const FileRead read = ReadTextLines(path, lines, error);
    writer.join();
    EXPECT_EQ(read, FileRead::CutShort);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_BROKEN_PIPE));
    EXPECT_EQ(lines, (Lines{L"alpha", L"beta"}));
}

}
