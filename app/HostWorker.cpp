#include "app/HostWorker.h"

#include <objbase.h>

#include <memory>
#include <utility>

#include "app/AppModule.h"
#include "base/Platform.h"
#include "mgmt/HostWait.h"
#include "ui/ProgressDlg.h"
#include "ui/WindowCentring.h"

namespace {

constexpr wchar_t callWindowClass[] = L"BrackwinWorkerCalls";
constexpr UINT callMessage = WM_APP + 1;
// The progress window appears only for operations a user would otherwise wonder about.
constexpr DWORD progressDelay = 500;
// How often the window's thread looks at the clock when no message wakes it.
constexpr DWORD tick = 50;

HWND MakeCallWindow()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = callWindowClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, callWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}

HostWorker::HostWorker(CMessageLoop& loop)
    : loop_(loop),
      callWindow_(MakeCallWindow()),
      start_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      done_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    if (callWindow_)
        SetWindowLongPtrW(callWindow_.Get(), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(CallWindowProc));
    thread_.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &workerId_));
}

HostWorker::~HostWorker()
{
    if (thread_) {
        quit_ = true;
        SetEvent(start_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
    }
}

DWORD WINAPI HostWorker::ThreadMain(void* parameter)
{
    // The management client's DCOM protocol needs COM on the thread that calls it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    static_cast<HostWorker*>(parameter)->Work();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void HostWorker::Work()
{
    for (;;) {
        WaitForSingleObject(start_.Get(), INFINITE);
        if (quit_)
            return;
        try {
            (*job_)();
        } catch (...) {
            failure_ = std::current_exception();
        }
        SetEvent(done_.Get());
    }
}

LRESULT CALLBACK HostWorker::CallWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam)
{
    if (message != callMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
}

bool HostWorker::OnWorker() const
{
    return GetCurrentThreadId() == workerId_;
}

void HostWorker::OnWindowThread(const std::function<void()>& call)
{
    if (!OnWorker() || !callWindow_) {
        call();
        return;
    }
    // A sent message runs on the window's thread when it next looks at its messages, which
    // it does all the while the worker runs; the worker waits for it to return.
    SendMessageW(callWindow_.Get(), callMessage, 0, reinterpret_cast<LPARAM>(&call));
}

void HostWorker::Dispatch(HWND progress, std::optional<int>& quitCode)
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (progress && IsDialogMessageW(progress, &message))
            continue;
        loop_.ProcessMessage(message);
    }
}

void HostWorker::Run(HWND owner, std::wstring activity, bool stoppable,
                     const std::function<void()>& work)
{
    if (OnWorker() || !thread_) {
        work();
        return;
    }
    // One operation at a time: the window is busy while one runs.
    if (job_)
        return;
    hostwait::Begin(std::move(activity), stoppable);
    failure_ = nullptr;
    job_ = &work;
    SetEvent(start_.Get());

    const Platform& platform = CurrentPlatform();
    const DWORD started = platform.tickCount();
    std::unique_ptr<CProgressDlg> progress;
    std::optional<int> quitCode;
    const HANDLE done = done_.Get();
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &done, tick, QS_ALLINPUT,
                                                        MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            break;
        Dispatch(progress ? progress->m_hWnd : nullptr, quitCode);
        const DWORD elapsed = platform.tickCount() - started;
        const bool appears = !progress && elapsed >= progressDelay;
        if (appears) {
            progress = std::make_unique<CProgressDlg>();
            if (progress->Create(owner))
                CenterWindow(progress->m_hWnd, owner);
            else
                progress.reset();
        }
        if (!progress)
            continue;
        // Filled before it is first shown, so that it never shows empty.
        progress->Show(hostwait::Current(), elapsed);
        if (appears) {
            ShowWindow(progress->m_hWnd, SW_SHOW);
            ++progressShown_;
        }
    }
    job_ = nullptr;
    if (progress) {
        // Activation goes back to the owner, still busy, rather than to another program.
        if (GetActiveWindow() == progress->m_hWnd && owner)
            SetActiveWindow(owner);
        progress->DestroyWindow();
    }
    if (quitCode)
        PostQuitMessage(*quitCode);
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}
