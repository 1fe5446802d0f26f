// One failure at a time in every management call of a full session, as a user goes through it
// on the real main window: connect to a host and list it, load a machine, change Num Lock and
// apply, force it off, power it on, and shut it down gracefully with a wait. Whatever fails,
// the program must not crash, leak or misuse the client, and every command that did not do
// what it says must have told the user why, once, under its own caption.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "sim/DemoWorld.h"
#include "tests/sweep/CallKindNames.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using sim::CallKind;

enum class Step { Connect, Load, Apply, ForceOff, PowerOn, Shutdown };

struct StepRule {
    const char* name;
    // The captions its failures may be told under: its own, and that of the read that
    // follows it.
    std::vector<std::wstring> captions;
};

const std::map<Step, StepRule> rules = {
    {Step::Connect, {"connect and list", {L"Host Selection Error"}}},
    {Step::Load, {"load", {L"Loading Virtual Machine Settings"}}},
    {Step::Apply,
     {"apply", {L"Saving Virtual Machine Settings Changes", L"Loading Virtual Machine Settings"}}},
    {Step::ForceOff, {"force off", {L"Error Changing VM State", L"Error Reading VM State"}}},
    {Step::PowerOn, {"power on", {L"Error Changing VM State", L"Error Reading VM State"}}},
    {Step::Shutdown, {"shut down", {L"Error Shutting Down VM", L"Error Reading VM State"}}},
};

struct Told {
    Step step;
    std::wstring caption;
    std::wstring text;
};

struct Outcome {
    std::optional<Step> undone; // the first command that did not do what it says
    std::vector<Told> told;     // the error boxes, with the command each came in
    std::vector<std::string> faults; // what the window shows against the host's truth
};

// The demo's hosts on the real main window; one object per case, on a world of its own.
class SweptSession : public MainWindowFixture {
public:
    // The apply step changes Num Lock, the one setting a running machine takes: the machine is
    // made generation 1, whose firmware has it.
    SweptSession()
    {
        sim::FurnishDemoWorld(world);
        Machine().generation = 1;
    }
    void TestBody() override {}

    void Open()
    {
        SetUp();
        world.ClearCalls();
    }
    void Close() { TearDown(); }
    void Fail(CallKind kind, unsigned nth) { world.FailCall(kind, nth, MI_RESULT_FAILED); }

    Outcome Run();
    std::map<CallKind, unsigned> CallsByKind() const;

private:
    sim::Vm& Machine() { return *world.FindHost(L"HV-LAB01")->FindVm(L"Web Frontend"); }
    bool FormShowsHost();
    bool Done(Step step);
    void Give(Step step);

    Outcome outcome_;
};

bool SweptSession::FormShowsHost()
{
    const sim::VmSettings& settings = Machine().settings;
    return Text(IDC_VM_NAME) == L"Web Frontend" && IsEnabled(IDC_NUMLOCK) &&
           (IsDlgButtonChecked(Window(), IDC_NUMLOCK) == BST_CHECKED) == settings.biosNumLock &&
           Text(IDC_BASEBOARD_SERIAL) == settings.baseBoardSerialNumber &&
           Text(IDC_BIOS_GUID) == settings.biosGuid &&
           Text(IDC_BIOS_SERIAL) == settings.biosSerialNumber &&
           Text(IDC_ASSET_TAG) == settings.chassisAssetTag &&
           Text(IDC_CHASSIS_SERIAL) == settings.chassisSerialNumber && !IsEnabled(IDC_APPLY);
}

void SweptSession::Give(Step step)
{
    const auto confirmAndPress = [this](int button) {
        // A button left disabled by a state the window could not read is enabled again by
        // refreshing the state, as a user would.
        if (!IsEnabled(button))
            Command(IDC_REFRESH_STATE);
        platform.answers = {IDYES};
        Command(button);
        Pump();
    };
    switch (step) {
    case Step::Connect:
        EnterHost(L"HV-LAB01");
        break;
    case Step::Load:
        SelectVm(L"Web Frontend");
        break;
    case Step::Apply:
        SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
        Command(IDC_APPLY);
        Pump();
        break;
    case Step::ForceOff:
        confirmAndPress(IDC_FORCE_OFF);
        break;
    case Step::PowerOn:
        confirmAndPress(IDC_POWER_ON);
        break;
    case Step::Shutdown:
        confirmAndPress(IDC_SHUTDOWN);
        break;
    }
}

bool SweptSession::Done(Step step)
{
    switch (step) {
    case Step::Connect:
        return ListedVms() == std::vector<std::wstring>{L"Archive", L"Database", L"Legacy App",
                                                         L"Staging", L"Test Client", L"Web Frontend"};
    case Step::Load:
        return FormShowsHost();
    case Step::Apply:
        return Machine().settings.biosNumLock;
    case Step::ForceOff:
        return Machine().enabledState == sim::state::Off;
    case Step::PowerOn:
        return Machine().enabledState == sim::state::Running;
    case Step::Shutdown:
        return Machine().enabledState == sim::state::Off;
    }
    return false;
}

Outcome SweptSession::Run()
{
    outcome_ = {};
    bool formShown = false;
    for (Step step : {Step::Connect, Step::Load, Step::Apply, Step::ForceOff, Step::PowerOn,
                      Step::Shutdown}) {
        const size_t boxesBefore = platform.boxes.size();
        Give(step);
        bool toldNow = false;
        for (size_t i = boxesBefore; i < platform.boxes.size(); ++i) {
            const RecordedBox& box = platform.boxes[i];
            if ((box.style & MB_ICONMASK) != MB_ICONERROR)
                continue;
            outcome_.told.push_back({step, box.caption, box.text});
            toldNow = true;
        }
        if (!Done(step)) {
            outcome_.undone = step;
            break;
        }
        // Untold, a done command leaves a form that showed the host's values showing them,
        // and the host's power state.
        const bool shown = step == Step::Load || formShown;
        if (!toldNow && shown && !FormShowsHost())
            outcome_.faults.push_back(std::string(rules.at(step).name) + ": the form differs from the host");
        const bool off = Machine().enabledState == sim::state::Off;
        if (!toldNow && shown && Text(IDC_POWER_STATE) != (off ? L"Off" : L"Running"))
            outcome_.faults.push_back(std::string(rules.at(step).name) + ": the state shown is not the host's");
        formShown = step != Step::Connect && FormShowsHost();
    }
    return outcome_;
}

std::map<CallKind, unsigned> SweptSession::CallsByKind() const
{
    std::map<CallKind, unsigned> counts;
    for (const sim::CallRecord& call : world.Calls())
        ++counts[call.kind];
    return counts;
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

TEST(FaultSweep, EveryFailedCommandIsToldAndNothingLeaks)
{
    std::map<CallKind, unsigned> baseline;
    {
        SweptSession session;
        session.Open();
        const Outcome outcome = session.Run();
        ASSERT_FALSE(outcome.undone) << rules.at(*outcome.undone).name;
        ASSERT_TRUE(outcome.told.empty()) << Narrow(outcome.told[0].text);
        ASSERT_TRUE(outcome.faults.empty()) << outcome.faults[0];
        session.Close();
        baseline = session.CallsByKind();
    }
    ASSERT_FALSE(baseline.empty());

    unsigned cases = 0;
    unsigned reported = 0;
    unsigned recovered = 0;
    unsigned toldAlthoughDone = 0;
    unsigned silent = 0;
    for (const auto& [kind, count] : baseline) {
        for (unsigned nth = 1; nth <= count; ++nth) {
            const std::string name = std::string(kindNames.at(kind)) + " #" + std::to_string(nth);
            SCOPED_TRACE(name);
            ++cases;
            SweptSession session;
            session.Open();
            session.Fail(kind, nth);
            const Outcome outcome = session.Run();
            session.Close();

            for (const std::string& fault : outcome.faults)
                ADD_FAILURE() << fault;
            std::map<Step, int> boxesPerStep;
            for (const Told& told : outcome.told) {
                const StepRule& rule = rules.at(told.step);
                ++boxesPerStep[told.step];
                bool known = false;
                for (const std::wstring& caption : rule.captions)
                    known = known || caption == told.caption;
                EXPECT_TRUE(known) << rule.name << " told under \"" << Narrow(told.caption) << "\"";
                EXPECT_FALSE(told.text.empty()) << rule.name;
            }
            for (const auto& [step, boxes] : boxesPerStep)
                EXPECT_EQ(boxes, 1) << rules.at(step).name << " told more than once";
            if (!outcome.undone) {
                ++recovered;
                if (!outcome.told.empty()) {
                    ++toldAlthoughDone;
                    std::printf("  told although done: %s in %s: %s\n", name.c_str(),
                                rules.at(outcome.told[0].step).name,
                                Narrow(outcome.told[0].text).c_str());
                }
                continue;
            }
            bool toldInStep = false;
            for (const Told& told : outcome.told)
                toldInStep = toldInStep || told.step == *outcome.undone;
            if (toldInStep) {
                ++reported;
            } else {
                ++silent;
                ADD_FAILURE() << "silent: " << rules.at(*outcome.undone).name << " did not happen";
            }
        }
    }
    std::printf("fault sweep: %u cases, %u reported, %u recovered (%u of them with a box), "
                "%u silent\n",
                cases, reported, recovered, toldAlthoughDone, silent);
    EXPECT_EQ(silent, 0u);
}

}
