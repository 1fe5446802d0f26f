// The model of one simulated host: its kind, identity, language, virtual machines with their
// checkpoints, and jobs. The host's management instances are made from this model each time
// they are asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mgmt/MiTypes.h"

namespace sim {

class World;

enum class HostKind {
    HyperV,                  // root/virtualization/v2 with the Msvm_ classes
    VirtualizationWithoutV2, // root/virtualization exists, v2 does not
    NoVirtualization,        // only root/cimv2
};

// The language a host's Windows is installed in: it translates the Caption and Description of
// Msvm_ComputerSystem.
enum class HostLanguage { English, German, French, Swedish };

// Power states (EnabledState) a v2 host reports.
namespace state {
inline constexpr MI_Uint16 Running = 2;
inline constexpr MI_Uint16 Off = 3;
inline constexpr MI_Uint16 Stopping = 4;
inline constexpr MI_Uint16 Saved = 6;
inline constexpr MI_Uint16 Paused = 9;
inline constexpr MI_Uint16 Starting = 10;
inline constexpr MI_Uint16 Reset = 11;
inline constexpr MI_Uint16 Saving = 32773;
inline constexpr MI_Uint16 Pausing = 32776;
inline constexpr MI_Uint16 Resuming = 32777;
}

struct VmSettings {
    bool biosNumLock = false;
    std::wstring baseBoardSerialNumber;
    std::wstring biosGuid;  // braced, upper case
    std::wstring biosSerialNumber;
    std::wstring chassisAssetTag;
    std::wstring chassisSerialNumber;
};

// A checkpoint: its own settings instance, frozen when the checkpoint was taken.
struct Checkpoint {
    std::wstring guid; // InstanceID "Microsoft:" + guid
    std::wstring name; // ElementName
    VmSettings settings;
};

struct VmConfig {
    std::wstring name;             // ElementName
    std::wstring guid;             // Name: upper-case GUID without braces; empty = made up
    MI_Uint16 state = state::Off;
    // Empty texts are made up as a new VM would get them; other tools may have set texts
    // longer than ModifySystemSettings accepts, and the host holds them as they are.
    VmSettings settings;
    bool guestShutdownService = true; // Msvm_ShutdownComponent present while running
    bool guestIgnoresShutdown = false; // accepts InitiateShutdown but never turns off
    int generation = 2;
    // Names of checkpoints, oldest first, each taken of the settings as configured.
    std::vector<std::wstring> checkpoints;
};

struct Vm {
    std::wstring name;
    std::wstring guid;
    MI_Uint16 enabledState = state::Off;
    MI_Uint16 requestedState = 12; // "not applicable" until a change is requested
    VmSettings settings;
    bool guestShutdownService = true;
    bool guestIgnoresShutdown = false;
    int generation = 2;
    bool inTransition = false;             // a state-change job is running
    std::optional<std::uint64_t> shutdownDueAt; // a guest shutdown in progress
    bool shutdownRequested = false;
    std::vector<Checkpoint> checkpoints; // oldest first
};

// How a job ends and how its reads behave; the defaults are a job that completes.
struct JobPlan {
    bool fails = false;
    MI_Uint16 errorCode = 32768;
    std::wstring errorDescription; // empty = the host's own wording
    unsigned stallReads = 0;       // reads that still show Running after the job's time is up
    unsigned answeredReads = 0;    // reads answered before the failing ones begin
    unsigned failingReads = 0;     // reads of the job that fail before it answers again
    MI_Result readFailure = MI_RESULT_FAILED;
    bool warnings = false;         // succeeds as Completed with warnings (32768), not 7
};

struct Job {
    std::wstring instanceId;
    Vm* vm = nullptr; // the VM the job changes, if any
    std::wstring caption;
    MI_Uint16 jobType = 0;
    std::uint64_t startedAt = 0;
    std::uint64_t endsAt = 0;
    JobPlan plan;
    bool finished = false;
    MI_Uint16 jobState = 4;
    MI_Uint16 errorCode = 0;
    std::wstring errorDescription;
    std::wstring failureText; // the host's wording, shown if the job fails
    std::function<void()> onSuccess;
    std::function<void()> onFailure;
};

class Host {
public:
    Host(World& world, std::wstring name, HostKind kind, bool local);
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The name the host answers to: for the local computer, the name the platform reports now.
    std::wstring Name() const;
    // The computer name the host reports of itself (CSName, its own Msvm_ComputerSystem, the
    // server of its instances): computerName when set, else the first label of Name() (an
    // IPv4 address stays whole), upper case and at most 15 characters, as Windows keeps it.
    std::wstring ComputerName() const;
    bool IsLocal() const { return local_; }
    HostKind Kind() const { return kind_; }
    void SetKind(HostKind kind) { kind_ = kind; }

    Vm& AddVm(VmConfig config);
    // Deletes the VM (as another tool would); its running jobs end without touching it.
    bool RemoveVm(std::wstring_view guid);
    // Takes a checkpoint of the VM's settings as they are now.
    Checkpoint& AddCheckpoint(Vm& vm, std::wstring name);
    Vm* FindVm(std::wstring_view elementName);
    Vm* FindVmByGuid(std::wstring_view guid);
    // The VM whose live settings (vm's GUID) or checkpoint (its GUID) has this GUID; checkpoint
    // stays null for the live settings.
    Vm* FindSettingsOwner(std::wstring_view guid, const Checkpoint*& checkpoint);
    const std::vector<std::unique_ptr<Vm>>& Vms() const { return vms_; }

    // Identity as Win32_OperatingSystem reports it.
    MI_Timestamp lastBootUpTime{2024, 3, 11, 6, 42, 17, 123456, 60};
    // The one account the host lets in, as DOMAIN\user compared ignoring case, with its
    // password compared exactly; without one, the caller's own Windows identity is let in.
    // Any other caller is refused with access denied at every operation.
    struct Account {
        std::wstring user;
        std::wstring password;
    };
    std::optional<Account> account;
    // Whether the local computer also answers over "WINRM" by its name.
    bool answersWinrm = true;
    std::wstring computerName;
    HostLanguage language = HostLanguage::English;
    // Over "WINRM", operations without standard or full type information get numbers,
    // booleans and datetimes as MI_STRING in their CIM text forms, as the client may deliver
    // them ("WMIDCOM" always carries the types).
    bool valuesAsText = false;
    // Milliseconds each session call (query, fetch, class, method) takes to reach the host and
    // come back, on the world's clock; 0 answers at once.
    std::uint32_t roundTripMs = 0;
    // How many characters of a text setting written the host keeps: a host may shorten what it
    // accepted, and only reading it back shows that.
    std::size_t keptSettingLength = 32;

    // The host answers this many more instance deliveries, then stops answering (as if its
    // network went away mid-listing).
    void StopAnsweringAfter(unsigned deliveries) { deliveriesLeft_ = deliveries; }
    bool Answering() const { return !deliveriesLeft_ || *deliveriesLeft_ > 0; }
    void CountDelivery();

    std::vector<Job>& Jobs() { return jobs_; }
    Job* FindJob(std::wstring_view instanceId);
    // Starts a job that ends after durationMs on the world's clock, as the next planned job
    // behaves (or completes).
    Job& StartJob(std::wstring caption, MI_Uint16 jobType, std::uint32_t durationMs);
    // The guest turns the VM off at dueAt.
    void ScheduleShutdown(Vm& vm, std::uint64_t dueAt);
    // Ends the jobs and guest shutdowns that are due, and forgets jobs finished long ago.
    void Settle(std::uint64_t now);

private:
    World* world_;
    std::wstring name_;
    HostKind kind_;
    bool local_;
    std::optional<unsigned> deliveriesLeft_;
    std::vector<std::unique_ptr<Vm>> vms_;
    // Upper-case GUIDs of VMs and of checkpoints, so that a lookup by key costs no scan.
    std::unordered_map<std::wstring, Vm*> vmsByGuid_;
    std::unordered_map<std::wstring, Vm*> checkpointOwners_;
    std::vector<Vm*> shutdowns_; // VMs whose guest shutdown may be due
    std::vector<Job> jobs_;
};

}
