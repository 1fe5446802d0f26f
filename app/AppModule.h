// The window framework's application module: the instance handle and, per thread, the
// registered message loop, so that a window can find its thread's loop.
#pragma once

#include <windows.h>

#include <map>

class CMessageLoop;

class CAppModule {
public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    HRESULT Init(HINSTANCE instance);
    void Term();

    HINSTANCE GetResourceInstance() const { return instance_; }

    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = GetCurrentThreadId());

private:
    HINSTANCE instance_ = nullptr;
    CRITICAL_SECTION lock_;
    std::map<DWORD, CMessageLoop*> loops_;
};

// The process's module, registered by the Application's construction.
CAppModule* ProcessModule();
void SetProcessModule(CAppModule* module);
