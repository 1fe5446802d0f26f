// A guided tour of the demo program for the README: starts brackwin-demo.exe, uses it as a
// person would (a host, a machine, a field typed too long and corrected, Apply, power, a
// graceful shutdown waited for, the identities of the cloned kiosks given new ones) and saves
// a picture of the window after each step into the folder named on the command line; during
// the shutdown wait, of the progress window.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "base/Unique.h"
#include "res/resource.h"
#include "tests/e2e/DemoWindow.h"
#include "tests/e2e/ProgramProcess.h"
#include "tests/e2e/tour/WindowShot.h"
#include "tests/support/ProgressWindowSearch.h"

namespace {

constexpr std::wstring_view tooLongTag = L"QA-DESK-07-RELABELLED-BY-THE-TOUR";
static_assert(tooLongTag.size() == 33, "one character over the field's limit");
constexpr wchar_t fixedTag[] = L"QA-DESK-07-RELABELLED";

struct Step {
    const wchar_t* picture;
    const char* description;
    std::function<bool(const DemoWindow&)> act;
};

bool LoadVm(const DemoWindow& demo, const wchar_t* name)
{
    return demo.SelectVm(name) && ProgramProcess::WaitUntil([&] {
               return demo.IsIdle() && demo.Text(IDC_VM_NAME) == name;
           });
}

// The program's progress window over its main window, once it shows.
HWND WaitForProgressWindow(HWND main)
{
    HWND found = nullptr;
    ProgramProcess::WaitUntil([&] { return (found = FindProgressWindow(main)) != nullptr; });
    return found;
}

// The identities window's rows, once it shows them.
int IdentityRows(HWND identities)
{
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutW(GetDlgItem(identities, IDC_IDENTITY_LIST), LVM_GETITEMCOUNT, 0, 0,
                             SMTO_NORMAL, 20000, &rows))
        return -1;
    return static_cast<int>(rows);
}

void ClickIn(HWND window, int id)
{
    PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
}

// Selects the list's first `count` rows, or with none takes the selection off every row, in
// the demo's process: the item the message names lives in that process's memory.
bool SelectRows(HWND list, int count)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process.Get(), nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return false;
    const ScopeGuard release([&] { VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE); });
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = count > 0 ? LVIS_SELECTED : 0;
    if (!WriteProcessMemory(process.Get(), remote, &item, sizeof(item), nullptr))
        return false;
    // Row -1 stands for every row.
    for (int row = count > 0 ? 0 : -1; row < std::max(count, 0); ++row) {
        DWORD_PTR done = 0;
        if (!SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                                 SMTO_NORMAL, 20000, &done))
            return false;
    }
    return true;
}

// Lets the window paint what its last step changed before it is pictured.
void Settle(HWND window)
{
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
    Sleep(500);
}

int RunTour(const std::wstring& folder)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    ProgramProcess program(L"brackwin-demo.exe");
    const HWND window = program.Started() ? program.WaitForWindow(L"Brackwin") : nullptr;
    if (!window) {
        std::fprintf(stderr, "The demo window did not appear.\n");
        return 1;
    }
    const DemoWindow demo(program, window);
    HWND question = nullptr;
    // The window a step pictures: the main window unless the step names another.
    HWND pictured = nullptr;
    const Step steps[] = {
        {L"01-start", "the window at start", [](const DemoWindow&) { return true; }},
        {L"02-host-listed", "HV-LAB01 connected, its machines listed",
         [](const DemoWindow& d) {
             d.EnterHost(L"HV-LAB01");
             return ProgramProcess::WaitUntil([&] { return d.IsIdle() && d.VmCount() > 0; });
         }},
        {L"03-vm-loaded", "Test Client loaded into the form",
         [](const DemoWindow& d) { return LoadVm(d, L"Test Client"); }},
        {L"04-field-red", "a 33-character asset tag: the field turns light red",
         [](const DemoWindow& d) {
             d.Type(IDC_ASSET_TAG, std::wstring(tooLongTag));
             return d.IsEnabled(IDC_APPLY);
         }},
        {L"05-field-fixed", "the asset tag shortened: light green again",
         [](const DemoWindow& d) {
             d.Type(IDC_ASSET_TAG, fixedTag);
             return d.IsEnabled(IDC_APPLY);
         }},
        {L"06-applied", "applied through the host's job and read back",
         [](const DemoWindow& d) {
             d.Click(IDC_APPLY);
             return ProgramProcess::WaitUntil(
                        [&] { return d.IsIdle() && !d.IsEnabled(IDC_APPLY); }) &&
                    d.Text(IDC_ASSET_TAG) == fixedTag;
         }},
        {L"07-power-question", "Web Frontend: Force Power Off asks first",
         [&question](const DemoWindow& d) {
             if (!LoadVm(d, L"Web Frontend"))
                 return false;
             d.Click(IDC_FORCE_OFF);
             question = d.WaitForBox();
             return question != nullptr;
         }},
        {L"08-powered-off", "Web Frontend turned off",
         [&question](const DemoWindow& d) {
             DemoWindow::Answer(question, IDYES);
             return d.WaitForPowerState(L"Off");
         }},
        {L"09-running-again", "Web Frontend powered on again",
         [](const DemoWindow& d) {
             d.Click(IDC_POWER_ON);
             const HWND box = d.WaitForBox();
             if (!box)
                 return false;
             DemoWindow::Answer(box, IDYES);
             return d.WaitForPowerState(L"Running");
         }},
        {L"10-shutdown-progress", "a graceful shutdown waited for: the progress window",
         [&pictured, window](const DemoWindow& d) {
             d.Click(IDC_SHUTDOWN);
             const HWND box = d.WaitForBox();
             if (!box)
                 return false;
             DemoWindow::Answer(box, IDYES);
             pictured = WaitForProgressWindow(window);
             return pictured != nullptr;
         }},
        {L"11-shut-down", "Web Frontend shut down by its guest",
         [&pictured](const DemoWindow& d) {
             pictured = nullptr;
             return d.WaitForPowerState(L"Off");
         }},
        {L"12-identities", "HV-LAB04's identities: three kiosks cloned from one template",
         [&pictured, &program](const DemoWindow& d) {
             d.EnterHost(L"HV-LAB04");
             if (!ProgramProcess::WaitUntil([&] { return d.IsIdle() && d.VmCount() == 4; }))
                 return false;
             d.Click(IDC_IDENTITIES);
             pictured = program.WaitForWindow(L"Virtual Machine Identities");
             return pictured && ProgramProcess::WaitUntil([&] {
                        return IsWindowEnabled(pictured) && IdentityRows(pictured) == 4;
                    });
         }},
        {L"13-identities-known-hosts", "the known hosts added: Kiosk 03 shares its serial with Staging",
         [&pictured](const DemoWindow&) {
             const HWND identities = pictured;
             ClickIn(identities, IDC_ADD_KNOWN_HOSTS);
             return ProgramProcess::WaitUntil([&] {
                 return IsWindowEnabled(identities) && IdentityRows(identities) == 10;
             });
         }},
        {L"14-identities-pending", "the kiosks given new BIOS GUIDs and serial numbers, not yet written",
         [&pictured](const DemoWindow&) {
             const HWND identities = pictured;
             if (!SelectRows(GetDlgItem(identities, IDC_IDENTITY_LIST), 4) ||
                 !ProgramProcess::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(identities, IDC_NEW_BIOS_GUIDS)); }))
                 return false;
             ClickIn(identities, IDC_NEW_BIOS_GUIDS);
             ClickIn(identities, IDC_NEW_SERIAL_NUMBERS);
             // Unselected, the rows show their new values light green.
             return ProgramProcess::WaitUntil([&] {
                        return ProgramProcess::WindowText(GetDlgItem(identities, IDC_IDENTITY_STATUS))
                            .ends_with(L"4 have changes not yet written.");
                    }) &&
                    SelectRows(GetDlgItem(identities, IDC_IDENTITY_LIST), 0);
         }},
        {L"15-identities-applied", "applied: three kiosks saved, the running Kiosk 02 skipped",
         [&pictured, &program](const DemoWindow&) {
             const HWND identities = pictured;
             ClickIn(identities, IDC_APPLY_IDENTITIES);
             const HWND box = program.WaitForOwnedBox(identities);
             if (!box)
                 return false;
             DemoWindow::Answer(box, IDYES);
             return ProgramProcess::WaitUntil([&] {
                 return IsWindowEnabled(identities) &&
                        ProgramProcess::WindowText(GetDlgItem(identities, IDC_IDENTITY_STATUS))
                            .ends_with(L"3 saved, 1 skipped.");
             });
         }},
    };
    for (const Step& step : steps) {
        if (!step.act(demo)) {
            std::fprintf(stderr, "The tour stopped at: %s.\n", step.description);
            return 1;
        }
        const HWND shown = pictured ? pictured : window;
        Settle(shown);
        const std::wstring path = folder + L"\\" + step.picture + L".bmp";
        if (!SaveWindowShot(shown, path)) {
            std::fprintf(stderr, "Could not save the picture of: %s.\n", step.description);
            return 1;
        }
        std::printf("%ls.bmp: %s\n", step.picture, step.description);
    }
    // Kiosk 02 keeps its changes: closing asks whether to drop them.
    ClickIn(pictured, IDCANCEL);
    if (const HWND unsaved = program.WaitForOwnedBox(pictured))
        DemoWindow::Answer(unsaved, IDYES);
    if (!ProgramProcess::WaitUntil([&] { return !IsWindow(pictured) && demo.IsIdle(); })) {
        std::fprintf(stderr, "The identities window did not close.\n");
        return 1;
    }
    demo.Click(IDOK);
    if (program.WaitForExit() != 1) {
        std::fprintf(stderr, "The demo did not close with Close Program.\n");
        return 1;
    }
    return 0;
}

}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: brackwin-tour <folder for the pictures>\n");
        return 2;
    }
    return RunTour(argv[1]);
}
