#include "app/AppModule.h"

namespace {

CAppModule* processModule = nullptr;

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~Lock() { LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

}

CAppModule::CAppModule()
{
    InitializeCriticalSection(&lock_);
}

CAppModule::~CAppModule()
{
    DeleteCriticalSection(&lock_);
}

HRESULT CAppModule::Init(HINSTANCE instance)
{
    instance_ = instance;
    return S_OK;
}

void CAppModule::Term()
{
    Lock lock(lock_);
    loops_.clear();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop)
{
    Lock lock(lock_);
    return loops_.emplace(GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop()
{
    Lock lock(lock_);
    return loops_.erase(GetCurrentThreadId()) == 1;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId)
{
    Lock lock(lock_);
    const auto found = loops_.find(threadId);
    return found == loops_.end() ? nullptr : found->second;
}

CAppModule* ProcessModule()
{
    return processModule;
}

void SetProcessModule(CAppModule* module)
{
    processModule = module;
}
