// One failure at a time in every management call of writing new BIOS GUIDs to three machines
// from the identities window. Whatever fails, the program must not crash, leak or misuse the
// client, and no machine may be left unchanged without its row saying so: a row that says
// "Saved" names what the host holds, and every other row keeps its change pending.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/support/IdentitiesWindowFixture.h"
#include "tests/sweep/CallKindNames.h"

namespace {

using sim::CallKind;

constexpr const wchar_t* kiosks[] = {L"Kiosk Template", L"Kiosk 01", L"Kiosk 03"};

class BulkSession : public IdentitiesWindow {
public:
    void TestBody() override {}
    void Close() { TearDown(); }

    // Opens HV-LAB04's identities and gives the three kiosks that are off new BIOS GUIDs.
    void Prepare()
    {
        SetUp();
        Open();
        for (const wchar_t* name : kiosks)
            ListView_SetItemState(List(), RowOf(name), LVIS_SELECTED, LVIS_SELECTED);
        Click(IDC_NEW_BIOS_GUIDS);
        for (const wchar_t* name : kiosks)
            planned_.push_back(Cell(RowOf(name), Column(L"BIOS GUID")));
        world.ClearCalls();
    }
    void Apply(std::optional<std::pair<CallKind, unsigned>> fault)
    {
        if (fault)
            world.FailCall(fault->first, fault->second, MI_RESULT_FAILED);
        platform.answers = {IDYES};
        Click(IDC_APPLY_IDENTITIES);
    }
    // What the rows say against what the host holds.
    std::vector<std::string> Faults()
    {
        std::vector<std::string> faults;
        for (size_t i = 0; i < std::size(kiosks); ++i) {
            const int row = RowOf(kiosks[i]);
            const std::string name(kiosks[i], kiosks[i] + wcslen(kiosks[i]));
            const std::wstring held = world.FindHost(L"HV-LAB04")->FindVm(kiosks[i])->settings.biosGuid;
            const std::wstring result = Cell(row, Column(L"Result"));
            const bool saidSaved = result.rfind(L"Saved", 0) == 0;
            const bool pending = !Cell(row, Column(L"Pending")).empty();
            if (result.empty())
                faults.push_back(name + ": no result");
            if (saidSaved && (held != planned_[i] || Cell(row, Column(L"BIOS GUID")) != held || pending))
                faults.push_back(name + ": says saved, yet the host holds another GUID or it is still pending");
            if (!saidSaved && held != planned_[i] && !pending)
                faults.push_back(name + ": not written and no longer pending");
        }
        return faults;
    }
    std::map<CallKind, unsigned> CallsByKind() const
    {
        std::map<CallKind, unsigned> counts;
        for (const sim::CallRecord& call : world.Calls())
            ++counts[call.kind];
        return counts;
    }

private:
    std::vector<std::wstring> planned_;
};

TEST(FaultSweep, EveryMachineOfABulkApplySaysWhatBecameOfIt)
{
    std::map<CallKind, unsigned> baseline;
    {
        BulkSession session;
        session.Prepare();
        session.Apply(std::nullopt);
        EXPECT_TRUE(session.Faults().empty());
        baseline = session.CallsByKind();
        session.Close();
    }
    ASSERT_FALSE(baseline.empty());
    unsigned cases = 0;
    for (const auto& [kind, count] : baseline) {
        for (unsigned nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(std::string(kindNames.at(kind)) + " #" + std::to_string(nth));
            ++cases;
            BulkSession session;
            session.Prepare();
            session.Apply(std::make_pair(kind, nth));
            for (const std::string& fault : session.Faults())
                ADD_FAILURE() << fault;
            session.Close();
        }
    }
    std::printf("bulk apply sweep: %u cases\n", cases);
}

}
