// Owners of the management client's handles: each closes or deletes through the handle's own
// table exactly once, on every path. Close results that the caller records are returned by
// Close(); the destructor closes whatever is still open.
#pragma once

#include <string>

#include "base/Unique.h"
#include "mgmt/MiClient.h"

struct InstanceTraits {
    static MI_Instance* Empty() noexcept { return nullptr; }
    static void Close(MI_Instance* instance) noexcept { MI_Instance_Delete(instance); }
};
using UniqueInstance = Unique<MI_Instance*, InstanceTraits>;

struct ClassTraits {
    static MI_Class* Empty() noexcept { return nullptr; }
    static void Close(MI_Class* classObject) noexcept { MI_Class_Delete(classObject); }
};
using UniqueClass = Unique<MI_Class*, ClassTraits>;

class UniqueOperation {
public:
    UniqueOperation() = default;
    ~UniqueOperation()
    {
        if (operation_.ft)
            Close();
    }
    UniqueOperation(const UniqueOperation&) = delete;
    UniqueOperation& operator=(const UniqueOperation&) = delete;

    // For the session call that starts the operation.
    MI_Operation* Put() noexcept
    {
        if (operation_.ft)
            Close();
        return &operation_;
    }
    MI_Operation* Get() noexcept { return &operation_; }

    // Closes the operation (releasing all it delivered); 4 when there was none.
    MI_Result Close() noexcept
    {
        const MI_Result result = MI_Operation_Close(&operation_);
        operation_ = {};
        return result;
    }

private:
    MI_Operation operation_{};
};

class UniqueSession {
public:
    UniqueSession() = default;
    ~UniqueSession()
    {
        if (session_.ft)
            Close();
    }
    UniqueSession(const UniqueSession&) = delete;
    UniqueSession& operator=(const UniqueSession&) = delete;

    MI_Session* Put() noexcept
    {
        if (session_.ft)
            Close();
        return &session_;
    }
    MI_Session* Get() noexcept { return &session_; }
    // Hands the session to another owner without closing it.
    MI_Session Release() noexcept
    {
        const MI_Session session = session_;
        session_ = {};
        return session;
    }
    MI_Result Close() noexcept
    {
        const MI_Result result = MI_Session_Close(&session_, nullptr, nullptr);
        session_ = {};
        return result;
    }

private:
    MI_Session session_{};
};

class UniqueDestinationOptions {
public:
    UniqueDestinationOptions() = default;
    ~UniqueDestinationOptions() { MI_DestinationOptions_Delete(&options_); }
    UniqueDestinationOptions(const UniqueDestinationOptions&) = delete;
    UniqueDestinationOptions& operator=(const UniqueDestinationOptions&) = delete;

    MI_DestinationOptions* Put() noexcept
    {
        MI_DestinationOptions_Delete(&options_);
        options_ = {};
        return &options_;
    }
    MI_DestinationOptions* Get() noexcept { return &options_; }

private:
    MI_DestinationOptions options_{};
};
