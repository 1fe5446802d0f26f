#include "tests/bench/StartMeasurements.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tests/bench/Stopwatch.h"

namespace {

std::filesystem::path ProgramFolder()
{
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

struct Search {
    DWORD processId;
    bool shown;
};

BOOL CALLBACK FindShown(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
        search.shown = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the program's first visible top-level window; negative
// when it did not start or showed nothing within 30 s. The program is ended afterwards.
double TimeToWindow(const std::filesystem::path& program)
{
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const Stopwatch stopwatch;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return -1;
    Search search{process.dwProcessId, false};
    double elapsed = -1;
    while (stopwatch.Milliseconds() < 30000) {
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
        if (search.shown) {
            elapsed = stopwatch.Milliseconds();
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double BestTimeToWindow(const std::filesystem::path& program)
{
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        const double elapsed = TimeToWindow(program);
        if (elapsed < 0)
            return -1;
        if (best < 0 || elapsed < best)
            best = elapsed;
    }
    return best;
}

}

bool PrintStartAndSize()
{
    const std::filesystem::path folder = ProgramFolder();
    const double demo = BestTimeToWindow(folder / L"brackwin-demo.exe");
    const double bare = BestTimeToWindow(folder / L"brackwin-bare.exe");
    if (demo < 0 || bare < 0) {
        std::printf("process start to main window: failed\n");
        return false;
    }
    std::printf("process start to main window: %.0f ms (brackwin-demo.exe), %.0f ms (bare dialog "
                "program), ratio %.2f\n", demo, bare, demo / bare);
    for (const wchar_t* name : {L"brackwin.exe", L"brackwin-demo.exe"}) {
        std::error_code error;
        const auto size = std::filesystem::file_size(folder / name, error);
        std::printf("size of %ls: %llu bytes\n", name,
                    error ? 0ull : static_cast<unsigned long long>(size));
    }
    std::fflush(stdout);
    return true;
}
