#include "app/HostWorker.h"

#include <objbase.h>

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

WorkerParts WorkerParts::Make()
{
    WorkerParts parts;
    parts.callWindow.Reset(MakeCallWindow());
    parts.start.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    parts.done.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    return parts;
}

HostWorker::HostWorker(CMessageLoop& loop, WorkerParts parts)
    : loop_(loop),
      callWindow_(std::move(parts.callWindow)),
      start_(std::move(parts.start)),
      done_(std::move(parts.done))
{
    // Without any one part the worker could not be started, told or waited for: the work
    // then runs on the window's thread, as it did before there was a worker.
    if (!callWindow_ || !start_ || !done_)
        return;
    SetWindowLongPtrW(callWindow_.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CallWindowProc));
    thread_.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &workerId_));
    if (!thread_)
        workerId_ = 0;
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
        // Nothing thrown by the work leaves this thread: the run ends as failed.
        try {
            (*job_)();
        } catch (...) {
            failed_ = true;
        }
        SetEvent(done_.Get());
    }
}

LRESULT CALLBACK HostWorker::CallWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam)
{
    if (message != callMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    auto* worker = reinterpret_cast<HostWorker*>(wParam);
    return worker->RunWorkerCall(*reinterpret_cast<const std::function<void()>*>(lParam));
}

LRESULT HostWorker::RunWorkerCall(const std::function<void()>& call)
{
    const bool outer = std::exchange(inWorkerCall_, true);
    // The worker waits for this call: what it throws is not to unwind the window's thread.
    LRESULT result = 0;
    try {
        call();
    } catch (...) {
        result = 1;
    }
    inWorkerCall_ = outer;
    return result;
}

bool HostWorker::OnWorker() const
{
    return workerId_ != 0 && GetCurrentThreadId() == workerId_;
}

void HostWorker::OnWindowThread(const std::function<void()>& call)
{
    if (!OnWorker()) {
        call();
        return;
    }
    // A sent message runs on the window's thread when it next looks at its messages, which
    // it does all the while the worker runs; the worker waits for it to return.
    SendMessageW(callWindow_.Get(), callMessage, reinterpret_cast<WPARAM>(this),
                 reinterpret_cast<LPARAM>(&call));
}

void HostWorker::Dispatch(std::optional<int>& quitCode)
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (progress_ && IsDialogMessageW(progress_->m_hWnd, &message))
            continue;
        loop_.ProcessMessage(message);
    }
}

void HostWorker::UpdateProgress(DWORD elapsed)
{
    const bool appears = !progress_ && elapsed >= progressDue_;
    if (appears) {
        progress_ = std::make_unique<CProgressDlg>();
        if (progress_->Create(owner_))
            CenterWindow(progress_->m_hWnd, owner_);
        else
            progress_.reset();
    }
    if (!progress_)
        return;
    // Filled before it is first shown, so that it never shows empty.
    progress_->Show(hostwait::Current(), elapsed);
    if (appears) {
        ShowWindow(progress_->m_hWnd, SW_SHOW);
        ++progressShown_;
    }
}

void HostWorker::CloseProgress()
{
    if (!progress_)
        return;
    // Windows hands the activation of a window that goes away to its owner only when the
    // owner is enabled: the busy owner is enabled for that moment, and no message is handled
    // meanwhile, so no input reaches it.
    const bool ownerDisabled = owner_ && !IsWindowEnabled(owner_);
    if (ownerDisabled)
        EnableWindow(owner_, TRUE);
    const bool active = GetActiveWindow() == progress_->m_hWnd;
    progress_->DestroyWindow();
    if (active && owner_)
        SetActiveWindow(owner_);
    if (ownerDisabled)
        EnableWindow(owner_, FALSE);
    progress_.reset();
}

void HostWorker::HideProgress()
{
    if (!progress_)
        return;
    CloseProgress();
    const DWORD elapsed = CurrentPlatform().tickCount() - started_;
    progressDue_ = elapsed + progressDelay;
}

void HostWorker::WaitForJob(std::optional<int>& quitCode) noexcept
{
    const HANDLE done = done_.Get();
    for (;;) {
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, &done, tick, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            return;
        // The window's own trouble (no memory for the progress window, say) costs at most the
        // progress window; the wait goes on until the worker is done.
        try {
            Dispatch(quitCode);
            UpdateProgress(CurrentPlatform().tickCount() - started_);
        } catch (...) {
            progress_.reset();
        }
    }
}

WorkOutcome HostWorker::Run(HWND owner, std::wstring activity, bool stoppable,
                            const std::function<void()>& work)
{
    if (OnWorker() || !thread_) {
        try {
            work();
        } catch (...) {
            return WorkOutcome::Failed;
        }
        return WorkOutcome::Finished;
    }
    if (job_)
        return WorkOutcome::Refused;
    hostwait::Begin(std::move(activity), stoppable);
    owner_ = owner;
    started_ = CurrentPlatform().tickCount();
    progressDue_ = progressDelay;
    failed_ = false;
    job_ = &work;
    SetEvent(start_.Get());
    std::optional<int> quitCode;
    WaitForJob(quitCode);
    job_ = nullptr;
    CloseProgress();
    if (quitCode)
        PostQuitMessage(*quitCode);
    return std::exchange(failed_, false) ? WorkOutcome::Failed : WorkOutcome::Finished;
}
