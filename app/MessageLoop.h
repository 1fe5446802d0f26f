// The thread's message loop with message filters (newest first) and idle handlers.
#pragma once

#include <windows.h>

#include <vector>

class CMessageFilter {
public:
    // True when the message was consumed and must not be translated or dispatched.
    virtual BOOL PreTranslateMessage(MSG* message) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its wParam.
    int Run();
    // Offers one message to the filters, newest first, and dispatches it when none took it.
    void ProcessMessage(MSG& message);
    // Whether a message arms the next idle pass: mouse moves, paints and the system timer
    // come too often to count as activity.
    static bool RearmsIdle(UINT message);

private:
    bool PreTranslate(MSG* message);
    void IdlePass();

    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idleHandlers_;
};
