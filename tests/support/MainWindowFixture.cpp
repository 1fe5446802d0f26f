#include "tests/support/MainWindowFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// What was touched from the wrong thread during the test: any touch fails it.
std::mutex touchesLock;
std::vector<std::string> wrongThreadTouches;

void NoteWrongThread(const char* what)
{
    const std::lock_guard<std::mutex> lock(touchesLock);
    wrongThreadTouches.emplace_back(what);
}

}

void MainWindowFixture::SetUp()
{
    wrongThreadTouches.clear();
    SetWrongThreadHandler(NoteWrongThread);
    application = std::make_unique<Application>(GetModuleHandleW(nullptr));
    ASSERT_NE(application->Init(), -1);
    ASSERT_TRUE(application->OpenMainWindow(SW_SHOWNORMAL));
    dialog = application->MainDialog();
    Pump();
}

void MainWindowFixture::TearDown()
{
    if (dialog && dialog->m_hWnd)
        DestroyWindow(dialog->m_hWnd);
    Pump();
    if (application)
        application->Shutdown();
    application.reset();
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
    for (const std::wstring& misuse : world.Misuses())
        ADD_FAILURE() << "client misuse: " << std::string(misuse.begin(), misuse.end());
    SetWrongThreadHandler(nullptr);
    for (const std::string& touch : wrongThreadTouches)
        ADD_FAILURE() << "touched from the wrong thread: " << touch;
}

HWND MainWindowFixture::Window() const
{
    return dialog->m_hWnd;
}

HWND MainWindowFixture::Control(int id) const
{
    return GetDlgItem(Window(), id);
}

bool MainWindowFixture::IsEnabled(int id) const
{
    return IsWindowEnabled(Control(id)) != FALSE;
}

std::wstring MainWindowFixture::Text(int id) const
{
    return dialog->ReadControlText(id);
}

std::optional<int> MainWindowFixture::Pump()
{
    std::optional<int> quitCode;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        application->MessageLoop().ProcessMessage(message);
    }
    return quitCode;
}

void MainWindowFixture::Command(int id, int code)
{
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
}

void MainWindowFixture::Type(int id, const wchar_t* text)
{
    SetDlgItemTextW(Window(), id, text);
    Pump();
}

void MainWindowFixture::EnterHost(const wchar_t* text)
{
    SetWindowTextW(dialog->hostEdit, text);
    PostMessageW(dialog->hostEdit, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
}

void MainWindowFixture::SelectVm(const wchar_t* name)
{
    const HWND list = Control(IDC_VM_LIST);
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    ASSERT_GE(index, 0);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(IDC_VM_LIST, LBN_SELCHANGE);
    Pump();
}

void MainWindowFixture::PressHostFieldKey(WPARAM key)
{
    PostMessageW(dialog->hostEdit, WM_KEYDOWN, key, 0);
    Pump();
}

HWND MainWindowFixture::HostList() const
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(Control(IDC_HOST_COMBO), &info);
    return info.hwndList;
}

void MainWindowFixture::OpenHostList()
{
    SendMessageW(Control(IDC_HOST_COMBO), CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
}

void MainWindowFixture::HighlightHost(const wchar_t* name)
{
    const LRESULT index = SendMessageW(HostList(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    ASSERT_GE(index, 0) << "not in the list";
    SendMessageW(HostList(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void MainWindowFixture::ClickHost(const wchar_t* name)
{
    const HWND list = HostList();
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    ASSERT_GE(index, 0) << "not in the list";
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    Pump();
}

std::wstring MainWindowFixture::SelectedHost() const
{
    const HWND combo = Control(IDC_HOST_COMBO);
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return {};
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void MainWindowFixture::WriteHostFile(std::string_view bytes) const
{
    const std::filesystem::path path(platform.HostFile());
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string MainWindowFixture::HostFileBytes() const
{
    std::ifstream file(std::filesystem::path(platform.HostFile()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

namespace {

std::vector<std::wstring> Items(HWND control, UINT countMessage, UINT lengthMessage,
                                UINT textMessage)
{
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(control, lengthMessage, i, 0)) + 1,
                          L'\0');
        const LRESULT length =
            SendMessageW(control, textMessage, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        items.push_back(text);
    }
    return items;
}

}

std::vector<std::wstring> MainWindowFixture::ListedVms() const
{
    return Items(Control(IDC_VM_LIST), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::wstring> MainWindowFixture::ComboHosts() const
{
    return Items(Control(IDC_HOST_COMBO), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

bool MainWindowFixture::ShowsValid(int id) const
{
    const HDC dc = GetDC(Window());
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Control(id))));
    ReleaseDC(Window(), dc);
    LOGBRUSH logBrush{};
    GetObjectW(brush, sizeof(logBrush), &logBrush);
    return logBrush.lbColor == CMainDlg::validColour;
}
