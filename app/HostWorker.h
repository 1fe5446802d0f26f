// Runs host operations on one worker thread while the window's thread keeps dispatching its
// messages, so that the window repaints and answers throughout; a long operation shows the
// progress window. Whatever the worker needs done on a window it hands back to the window's
// thread, which does it before the worker goes on, so that the order stays as it was.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "app/MessageLoop.h"
#include "base/Unique.h"

class HostWorker {
public:
    // Made on the window's thread, whose messages it dispatches while the worker runs.
    explicit HostWorker(CMessageLoop& loop);
    ~HostWorker();
    HostWorker(const HostWorker&) = delete;
    HostWorker& operator=(const HostWorker&) = delete;

    // Runs `work` on the worker and returns when it is over. Meanwhile the window's thread
    // dispatches its messages and, once the work has taken half a second, shows the progress
    // window over `owner`, describing `activity`; `stoppable` offers "Stop Waiting" from the
    // start. Nested calls (from the worker) run the work at once.
    void Run(HWND owner, std::wstring activity, bool stoppable, const std::function<void()>& work);
    // True on the worker thread.
    bool OnWorker() const;
    // From the worker: runs `call` on the window's thread and returns once it is done; on the
    // window's thread, runs it at once.
    void OnWindowThread(const std::function<void()>& call);
    // How many times the progress window has been shown.
    unsigned ProgressWindowsShown() const { return progressShown_; }

private:
    static DWORD WINAPI ThreadMain(void* parameter);
    static LRESULT CALLBACK CallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Work();
    void Dispatch(HWND progress, std::optional<int>& quitCode);

    CMessageLoop& loop_;
    UniqueWindow callWindow_;
    UniqueHandle start_;
    UniqueHandle done_;
    UniqueHandle thread_;
    DWORD workerId_ = 0;
    const std::function<void()>* job_ = nullptr;
    std::exception_ptr failure_;
    bool quit_ = false;
    unsigned progressShown_ = 0;
};
