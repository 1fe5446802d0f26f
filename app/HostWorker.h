// Runs host operations on one worker thread while the window's thread keeps dispatching its
// messages, so that the window repaints and answers throughout; a long operation shows the
// progress window. Whatever the worker needs done on a window it hands back to the window's
// thread, which does it before the worker goes on, so that the order stays as it was.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/MessageLoop.h"
#include "base/Unique.h"

class CProgressDlg;

// How a run ended: refused because another one runs, finished, or ended by an exception
// thrown from the work (the worker caught it; nothing crossed the thread).
enum class WorkOutcome { Refused, Finished, Failed };

// What the worker is made of; when any part cannot be made, the work runs on the window's
// thread instead.
struct WorkerParts {
    UniqueWindow callWindow;
    UniqueHandle start;
    UniqueHandle done;

    static WorkerParts Make();
};

class HostWorker {
public:
    // Made on the window's thread, whose messages it dispatches while the worker runs.
    explicit HostWorker(CMessageLoop& loop, WorkerParts parts = WorkerParts::Make());
    ~HostWorker();
    HostWorker(const HostWorker&) = delete;
    HostWorker& operator=(const HostWorker&) = delete;

    // Runs `work` on the worker and returns when it is over. Meanwhile the window's thread
    // dispatches its messages and, once the work has taken half a second, shows the progress
    // window over `owner`, describing `activity`; `stoppable` offers "Stop Waiting" from the
    // start. One run at a time: a second one is refused and does nothing. Nested calls (from
    // the worker) run the work at once.
    [[nodiscard]] WorkOutcome Run(HWND owner, std::wstring activity, bool stoppable,
                                  const std::function<void()>& work);
    // True while a run is under way.
    bool Running() const { return job_ != nullptr; }
    // True on the worker thread.
    bool OnWorker() const;
    // True on the window's thread while it runs a call the worker waits for.
    bool InWorkerCall() const { return inWorkerCall_; }
    // True when the work runs on a thread of its own.
    bool Threaded() const { return static_cast<bool>(thread_); }
    // The worker thread's identifier; 0 when there is none.
    DWORD ThreadId() const { return workerId_; }
    // From the worker: runs `call` on the window's thread and returns once it is done; on the
    // window's thread, runs it at once.
    void OnWindowThread(const std::function<void()>& call);
    // Window thread: takes the progress window off the screen before a box is shown over the
    // busy owner, handing activation to the owner rather than to another program. It comes
    // back if the work goes on for another half second.
    void HideProgress();
    // How many times the progress window has been shown.
    unsigned ProgressWindowsShown() const { return progressShown_; }

private:
    static DWORD WINAPI ThreadMain(void* parameter);
    static LRESULT CALLBACK CallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT RunWorkerCall(const std::function<void()>& call);
    void Work();
    void Dispatch(std::optional<int>& quitCode);
    // Window thread: waits for the job to end, dispatching messages; never throws, so that the
    // work's captures outlive the job.
    void WaitForJob(std::optional<int>& quitCode) noexcept;
    void UpdateProgress(DWORD elapsed);
    void CloseProgress();

    CMessageLoop& loop_;
    UniqueWindow callWindow_;
    UniqueHandle start_;
    UniqueHandle done_;
    UniqueHandle thread_;
    DWORD workerId_ = 0;
    const std::function<void()>* job_ = nullptr;
    bool failed_ = false;
    bool inWorkerCall_ = false;
    bool quit_ = false;
    HWND owner_ = nullptr;
    DWORD started_ = 0;
    std::unique_ptr<CProgressDlg> progress_;
    // How long the run has to have taken before the progress window (re)appears.
    DWORD progressDue_ = 0;
    unsigned progressShown_ = 0;
};
