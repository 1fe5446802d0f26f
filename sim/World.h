// A world of simulated hosts: the hosts and their machines, the clock they run on, the faults a
// test injects, the log of every call and the count of every live handle. The management
// client's tables work on the active world: the one a test installed with ScopedWorld, or the
// demo world.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mgmt/MiTypes.h"
#include "sim/Host.h"
#include "sim/ObjectRegistry.h"
#include "sim/SimClock.h"

namespace sim {

class SimClass;

enum class CallKind {
    Initialize,    // MI_Application_InitializeV1
    CloseApplication,
    NewSerializer,
    CloseSerializer,
    NewSession,
    CloseSession,
    QueryInstances,
    GetInstance,
    GetClass,
    Invoke,
    ReadInstance, // MI_Operation_GetInstance
    ReadClass,    // MI_Operation_GetClass
    CloseOperation,
    NewInstance,
    NewInstanceFromClass,
    Serialize,
    // MI_Instance_*
    CloneInstance,
    DeleteInstance,
    InstanceIsA,
    InstanceClassName,
    SetNameSpace,
    GetNameSpace,
    GetElementCount,
    AddElement,
    SetElement,
    SetElementAt,
    GetElement,
    GetElementAt,
    ClearElement,
    ClearElementAt,
    GetServerName,
    SetServerName,
    InstanceGetClass,
    // MI_Class_*
    ClassName,
    ClassNameSpace,
    ClassServerName,
    ClassElementCount,
    ClassGetElement,
    ClassGetElementAt,
    CloneClass,
    DeleteClass,
    CancelOperation,
};

struct CallRecord {
    CallKind kind;
    std::wstring host;      // the session's destination (empty for the local "WMIDCOM" session)
    std::wstring user;      // the account of the session's credentials; never the password
    std::wstring protocol;
    std::wstring nameSpace;
    std::wstring className;
    std::wstring query;
    std::wstring method;
    std::vector<std::pair<std::wstring, std::wstring>> parameters; // name, value as text
    std::wstring element;   // the element an instance or class call names or reaches by index
    MI_Uint32 flags = 0;    // the operation flags of a session call
    MI_Result result = MI_RESULT_OK;
    std::uint32_t thread = 0; // the calling thread's identifier
};

// Milliseconds each host action takes.
struct Durations {
    std::uint32_t settingsJob = 400;
    std::uint32_t start = 3000;
    std::uint32_t turnOff = 500;
    std::uint32_t save = 2000;
    std::uint32_t pause = 500;
    std::uint32_t resume = 500;
    std::uint32_t reset = 1000;
    std::uint32_t guestShutdown = 8000;
};

// How ModifySystemSettings answers an accepted change.
enum class SettingsAnswer { Job, Immediate };
// How it refuses to change the GUID, a serial number or the asset tag of a VM that is not off.
enum class LockedRefusal { FailedJob, ReturnValue };
// How MI_Operation_GetInstance / GetClass report the operation's failure: Microsoft's open
// implementation of the client returns MI_RESULT_OK and puts the failure into *result (and
// its text into *errorMessage); the other way returns the failure as well.
enum class ResultReporting { OutParameter, ReturnCode };
// Where an operation's final result comes: as its own delivery without an instance after the
// last one, as real protocols may deliver it, or together with the last instance.
enum class FinalDelivery { Separate, WithLastInstance };

class World {
public:
    explicit World(std::unique_ptr<Clock> clock = MakeVirtualClock());
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The local computer, named by the platform's computer name; a Hyper-V host until changed.
    Host& Local() { return *local_; }
    Host& AddHost(std::wstring name, HostKind kind = HostKind::HyperV);
    // The host answering to a name (ignoring case, the local computer included); null when no
    // host answers to it.
    Host* FindHost(std::wstring_view name);

    Clock& GetClock() { return *clock_; }
    std::uint64_t NowMs() const { return clock_->NowMs(); }
    void Advance(std::uint32_t milliseconds);

    Durations durations;
    SettingsAnswer settingsAnswer = SettingsAnswer::Job;
    LockedRefusal lockedRefusal = LockedRefusal::FailedJob;
    MI_Uint32 lockedRefusalReturnValue = 32775;
    // What every operation on a name that no host answers to fails with: the client cannot
    // reach a WinRM listener there and reports a plain failure.
    MI_Result unreachableResult = MI_RESULT_FAILED;
    ResultReporting resultReporting = ResultReporting::OutParameter;
    FinalDelivery finalDelivery = FinalDelivery::Separate;

    // Faults and stalls may be set from any thread at any time, while calls run.
    // FailCall makes the nth call of the kind from now on (1 = the next one) fail with
    // result; match, when not empty, counts only calls whose class, method, element or session
    // destination has that name. A failed session call or read ends the operation's results
    // with that failure. A failed close or delete still releases the object, so that a caller
    // is not made to leak by the fault; only the result tells of it.
    void FailCall(CallKind kind, unsigned nth, MI_Result result, std::wstring match = {});
    // The nth read (MI_Operation_GetInstance or GetClass, by kind) from now on does not answer:
    // it blocks, the world's time passing meanwhile, until its operation is cancelled, and then
    // fails.
    void StallCall(CallKind kind, unsigned nth);
    // The reads stalled now answer as if they had not stalled.
    void AnswerStalledReads();
    // How many reads are stalled now.
    unsigned StalledReads() const { return stalledReads_; }
    // The method answers this ReturnValue and does nothing else (4096 starts a job that
    // changes nothing).
    void FixReturnValue(std::wstring method, MI_Uint32 returnValue);
    void ClearReturnValue(std::wstring_view method);
    // The next job any host starts behaves as planned; later ones complete normally.
    void PlanNextJob(JobPlan plan);

    // The log; read it while no call runs (ClearCalls and CallCount may be used at any time).
    const std::vector<CallRecord>& Calls() const { return calls_; }
    void ClearCalls();
    size_t CallCount() const;
    LiveCounts Live() const { return objects_.Counts(); }
    // Calls on closed, deleted or foreign handles and other misuse of the client.
    const std::vector<std::wstring>& Misuses() const { return misuses_; }
    void ClearMisuses();
    std::function<void(const std::wstring&)> onMisuse;

    // For the simulated client itself.
    ObjectRegistry& Objects() { return objects_; }
    void ReportMisuse(const std::wstring& text);
    void Log(CallRecord record);
    // Counts a call of the kind and answers the injected failure when one is due.
    std::optional<MI_Result> TakeFault(CallKind kind, std::wstring_view subject,
                                       std::wstring_view otherSubject = {});
    std::optional<MI_Uint32> FixedReturnValue(std::wstring_view method) const;
    // Counts a read of the kind and says whether it is to stall.
    bool TakeStall(CallKind kind);
    // A stalled read waits while this holds: until the stall is answered (or its operation is
    // cancelled, which the read checks itself).
    class StalledRead {
    public:
        explicit StalledRead(World& world);
        ~StalledRead();
        StalledRead(const StalledRead&) = delete;
        StalledRead& operator=(const StalledRead&) = delete;
        bool Answered() const { return world_.stallAnswers_ != answers_; }

    private:
        World& world_;
        unsigned answers_;
    };
    JobPlan TakeJobPlan();
    std::wstring NewGuid();
    // Ends what is due on every host.
    void Settle();

    // The live object behind a handle of any world, or null with the misuse reported (a
    // released or foreign handle).
    static SimInstance* FindInstance(const MI_Instance* handle, const char* call);
    static SimClass* FindClass(const MI_Class* handle, const char* call);
    // The live world whose address a handle carries, or null.
    static World* FromHandle(std::uint64_t reserved);

private:
    struct Fault {
        CallKind kind;
        unsigned remaining;
        MI_Result result;
        std::wstring match;
    };

    std::unique_ptr<Clock> clock_;
    ObjectRegistry objects_;
    std::unique_ptr<Host> local_;
    std::vector<std::unique_ptr<Host>> hosts_;
    // Counts a call of the kind against each matching entry; the first that falls due is
    // taken out, and its result given.
    static std::optional<MI_Result> TakeDue(std::vector<Fault>& faults, CallKind kind,
                                            std::wstring_view subject,
                                            std::wstring_view otherSubject);

    std::vector<Fault> faults_;
    std::vector<Fault> stalls_;
    std::vector<std::pair<std::wstring, MI_Uint32>> fixedReturnValues_;
    std::vector<JobPlan> plannedJobs_;
    std::vector<CallRecord> calls_;
    std::vector<std::wstring> misuses_;
    std::uint32_t guidCounter_ = 0;
    std::atomic<unsigned> stalledReads_{0};
    std::atomic<unsigned> stallAnswers_{0};
};

// The world the client's tables work on.
World& ActiveWorld();

// Makes a world the active one for its lifetime; the previous one comes back afterwards.
class ScopedWorld {
public:
    explicit ScopedWorld(World& world);
    ~ScopedWorld();
    ScopedWorld(const ScopedWorld&) = delete;
    ScopedWorld& operator=(const ScopedWorld&) = delete;

private:
    World* previous_;
};

}
