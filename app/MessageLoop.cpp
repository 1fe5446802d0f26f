#include "app/MessageLoop.h"

#include <algorithm>
#include <exception>

namespace {

template <typename T>
void Erase(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}

void CMessageLoop::AddMessageFilter(CMessageFilter* filter)
{
    filters_.push_back(filter);
}

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter)
{
    Erase(filters_, filter);
}

void CMessageLoop::AddIdleHandler(CIdleHandler* handler)
{
    idleHandlers_.push_back(handler);
}

void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler)
{
    Erase(idleHandlers_, handler);
}

int CMessageLoop::Run()
{
    bool idleArmed = true;
    MSG message{};
    for (;;) {
        if (idleArmed && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            IdlePass();
            idleArmed = false;
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (!got)
            return static_cast<int>(message.wParam);
        ProcessMessage(message);
        if (RearmsIdle(message.message))
            idleArmed = true;
    }
}

void CMessageLoop::ProcessMessage(MSG& message)
{
    if (PreTranslate(&message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool CMessageLoop::PreTranslate(MSG* message)
{
    // Newest first, by index: a filter that unregisters itself while it runs moves only the
    // newer ones, which have had their turn.
    for (size_t index = filters_.size(); index-- > 0;) {
        if (index >= filters_.size())
            continue;
        CMessageFilter* filter = filters_[index];
        // A filter that runs out of memory lets the message go on to the others.
        try {
            if (filter->PreTranslateMessage(message))
                return true;
        } catch (const std::exception&) {
            continue;
        }
    }
    return false;
}

void CMessageLoop::IdlePass()
{
    const std::vector<CIdleHandler*> handlers = idleHandlers_;
    for (CIdleHandler* handler : handlers)
        handler->OnIdle();
}

bool CMessageLoop::RearmsIdle(UINT message)
{
    constexpr UINT systemTimer = 0x0118;
    return message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT &&
           message != systemTimer;
}
