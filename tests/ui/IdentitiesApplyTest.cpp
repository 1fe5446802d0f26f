#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <thread>
#include <string>
#include <vector>

#include "mgmt/HostWait.h"
#include "tests/support/WaitFor.h"
#include "tests/support/IdentitiesWindowFixture.h"

// New identities for the cloned kiosks of HV-LAB04 as pending changes, the question before they
// are written or lost, and what each machine's Result column says once they were written.
namespace {

using sim::CallKind;

constexpr wchar_t templateGuid[] = L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}";
constexpr wchar_t templateSerial[] = L"6602-3319-8847-1125-9930-4471-08";

class IdentitiesApply : public IdentitiesWindow {
protected:
    void Select(std::initializer_list<const wchar_t*> names)
    {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        for (const wchar_t* name : names)
            ListView_SetItemState(List(), RowOf(name), LVIS_SELECTED, LVIS_SELECTED);
        Pump();
    }
    std::wstring CellOf(const wchar_t* name, const wchar_t* column) const { return Cell(RowOf(name), Column(column)); }
    sim::VmSettings HostHolds(const wchar_t* name)
    {
        return world.FindHost(L"HV-LAB04")->FindVm(name)->settings;
    }
    // Answers the question before writing with Yes and applies.
    void Apply()
    {
        platform.answers.push_back(IDYES);
        Click(IDC_APPLY_IDENTITIES);
    }
    size_t Invokes() const
    {
        size_t count = 0;
        for (const sim::CallRecord& call : world.Calls())
            count += call.kind == CallKind::Invoke;
        return count;
    }
};

TEST_F(IdentitiesApply, NewGuidsAndSerialsClearTheClonesSharedValuesBeforeAndAfterApply)
{
    Open();
    Select({L"Kiosk Template", L"Kiosk 01", L"Kiosk 02", L"Kiosk 03"});
    Click(IDC_NEW_BIOS_GUIDS);
    Click(IDC_NEW_SERIAL_NUMBERS);

    // Hyper-V's own form, one value for the three serials, a new one for every machine; the
    // asset tag is left, so the template and its first clone still share it.
    const std::wregex serialForm(L"\\d{4}-\\d{4}-\\d{4}-\\d{4}-\\d{4}-\\d{4}-\\d{2}");
    std::vector<std::wstring> serials;
    for (const wchar_t* name : {L"Kiosk Template", L"Kiosk 01", L"Kiosk 02", L"Kiosk 03"}) {
        const std::wstring serial = CellOf(name, L"BIOS Serial Number");
        EXPECT_TRUE(std::regex_match(serial, serialForm)) << serial.c_str();
        EXPECT_EQ(CellOf(name, L"Baseboard Serial Number"), serial);
        EXPECT_EQ(CellOf(name, L"Chassis Serial Number"), serial);
        EXPECT_NE(CellOf(name, L"BIOS GUID"), templateGuid);
        serials.push_back(serial);
    }
    EXPECT_NE(serials[0], serials[1]);
    EXPECT_NE(serials[1], serials[2]);
    EXPECT_EQ(CellOf(L"Kiosk 01", L"Shared With"), L"Kiosk Template on HV-LAB04 (Chassis Asset Tag)");
    EXPECT_EQ(CellOf(L"Kiosk 02", L"Shared With"), L"");
    EXPECT_EQ(WindowText(IDC_IDENTITY_STATUS), L"4 virtual machines on 1 host; 2 share an identity value "
                                                L"with another. 4 have changes not yet written.");
    const std::wstring pending = CellOf(L"Kiosk 01", L"Pending");
    EXPECT_EQ(pending.find(std::wstring(L"BIOS GUID: ") + templateGuid + L" \u2192 {"), 0u) << pending.c_str();
    EXPECT_NE(pending.find(std::wstring(L"; BIOS Serial Number: ") + templateSerial + L" \u2192 " + serials[1]),
              std::wstring::npos);
    // Changed cells as the form marks an edited valid field; the others of a sharing row stay red.
    EXPECT_EQ(CellBackground(RowOf(L"Kiosk 01"), Column(L"BIOS GUID")), CMainDlg::validColour);
    EXPECT_EQ(CellBackground(RowOf(L"Kiosk 01"), Column(L"Chassis Asset Tag")), CMainDlg::invalidColour);
    EXPECT_EQ(CellBackground(RowOf(L"Kiosk 03"), Column(L"Name")), CLR_DEFAULT);
    // Nothing was written yet.
    EXPECT_EQ(HostHolds(L"Kiosk 01").biosGuid, templateGuid);
    EXPECT_EQ(Invokes(), 0u);

    const std::wstring newGuid = CellOf(L"Kiosk 01", L"BIOS GUID");
    Apply();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, L"Write new identities to 4 virtual machines on 1 host?");
    EXPECT_EQ(platform.boxes[0].caption, applyIdentitiesCaption);
    EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));

    // The running kiosk is skipped and keeps its changes; the others hold theirs now.
    EXPECT_EQ(CellOf(L"Kiosk 02", L"Result"), L"Skipped: the virtual machine is not off");
    EXPECT_NE(CellOf(L"Kiosk 02", L"Pending"), L"");
    EXPECT_EQ(HostHolds(L"Kiosk 02").biosGuid, templateGuid);
    for (const wchar_t* name : {L"Kiosk Template", L"Kiosk 01", L"Kiosk 03"}) {
        EXPECT_EQ(CellOf(name, L"Result"), L"Saved") << name;
        EXPECT_EQ(CellOf(name, L"Pending"), L"") << name;
    }
    EXPECT_EQ(HostHolds(L"Kiosk 01").biosGuid, newGuid);
    EXPECT_EQ(HostHolds(L"Kiosk 01").chassisSerialNumber, serials[1]);
    EXPECT_EQ(HostHolds(L"Kiosk 01").chassisAssetTag, L"KIOSK-TEMPLATE");
    EXPECT_EQ(Invokes(), 3u);
    EXPECT_EQ(CellOf(L"Kiosk 02", L"Shared With"), L"");
    EXPECT_EQ(WindowText(IDC_IDENTITY_STATUS), L"4 virtual machines on 1 host; 2 share an identity value "
                                                L"with another. 1 has changes not yet written. 3 saved, 1 skipped.");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(identities->m_hWnd, IDC_APPLY_IDENTITIES)));
}

TEST_F(IdentitiesApply, NoToTheQuestionWritesNothingAndDiscardDropsTheChanges)
{
    Open();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(identities->m_hWnd, IDC_NEW_BIOS_GUIDS)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(identities->m_hWnd, IDC_APPLY_IDENTITIES)));
    Select({L"Kiosk 03"});
    Click(IDC_NEW_BIOS_GUIDS);
    // The selection stays, for the serial numbers to follow.
    EXPECT_EQ(ListView_GetSelectedCount(List()), 1u);
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), RowOf(L"Kiosk 03"));
    platform.answers.push_back(IDNO);
    Click(IDC_APPLY_IDENTITIES);
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, L"Write new identities to 1 virtual machine on 1 host?");
    EXPECT_EQ(Invokes(), 0u);
    EXPECT_NE(CellOf(L"Kiosk 03", L"Pending"), L"");

    Click(IDC_DISCARD_IDENTITIES);
    EXPECT_EQ(CellOf(L"Kiosk 03", L"Pending"), L"");
    EXPECT_EQ(CellOf(L"Kiosk 03", L"BIOS GUID"), L"{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F}");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(identities->m_hWnd, IDC_APPLY_IDENTITIES)));
    EXPECT_EQ(Invokes(), 0u);
}

// Each command that would lose pending changes asks first, as the main window asks: No keeps
// them and does nothing, Yes drops them and goes on.
TEST_F(IdentitiesApply, CommandsThatWouldLoseChangesAskFirst)
{
    const int commands[] = {IDC_IDENTITY_REFRESH, IDC_ADD_KNOWN_HOSTS, IDCANCEL};
    for (int command : commands) {
        SCOPED_TRACE(command);
        Open();
        Select({L"Kiosk 03"});
        Click(IDC_NEW_SERIAL_NUMBERS);
        platform.boxes.clear();
        world.ClearCalls();
        platform.answers.push_back(IDNO);
        Click(command);
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].caption, L"Unsaved changes");
        EXPECT_EQ(platform.boxes[0].style, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));
        EXPECT_EQ(platform.boxes[0].text, L"1 virtual machine has changes that were not written. Do you "
                                          L"wish to discard them?\r\nPress Yes to discard changes.\r\nPress "
                                          L"No to keep changes and continue working with them.");
        EXPECT_TRUE(world.Calls().empty());
        EXPECT_TRUE(IsWindow(identities->m_hWnd));
        EXPECT_NE(CellOf(L"Kiosk 03", L"Pending"), L"");

        platform.answers.push_back(IDYES);
        Click(command);
        if (command == IDCANCEL) {
            // The window was ended.
            EXPECT_FALSE(IsWindowVisible(identities->m_hWnd));
        } else {
            EXPECT_FALSE(world.Calls().empty());
            EXPECT_EQ(CellOf(L"Kiosk 03", L"Pending"), L"");
        }
        TearDown();
        SetUp();
    }
}

// One machine with a new asset serial meets each kind of failure: the row says it in its own
// words and keeps its changes.
TEST_F(IdentitiesApply, AHostRefusalAndAJobFailureAreWordedPerRowAndTheRowStaysPending)
{
    struct Case {
        const char* name;
        std::function<void(sim::World&)> arrange;
        const wchar_t* result;
        const wchar_t* summary;
    };
    const Case cases[] = {
        {"return value", [](sim::World& w) { w.FixReturnValue(L"ModifySystemSettings", 5); },
         L"Refused by the host: The virtual machine is in an invalid state for this operation", L"1 refused."},
        {"failed job",
         [](sim::World& w) {
             sim::JobPlan plan;
             plan.fails = true;
             plan.errorCode = 32770;
             plan.errorDescription = L"The configuration of 'Kiosk 03' could not be\r\nwritten.";
             w.PlanNextJob(plan);
         },
         L"Not saved: The configuration of 'Kiosk 03' could not be written.", L"1 not saved."},
        {"service unreachable",
         [](sim::World& w) { w.FailCall(CallKind::QueryInstances, 1, MI_RESULT_FAILED, L"Msvm_VirtualSystemManagementService"); },
         L"Not saved: the virtual machine management service of HV-LAB04 could not be reached. The "
         L"management interface encountered an unspecified error. Details: Generic failure",
         L"1 not saved."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Select({L"Kiosk 03"});
        Click(IDC_NEW_SERIAL_NUMBERS);
        c.arrange(world);
        Apply();
        const std::wstring result = CellOf(L"Kiosk 03", L"Result");
        EXPECT_EQ(result, c.result) << std::string(result.begin(), result.end());
        EXPECT_NE(CellOf(L"Kiosk 03", L"Pending"), L"");
        EXPECT_EQ(HostHolds(L"Kiosk 03").biosSerialNumber, L"7736-4402-1158-8847-2290-5513-05");
        const std::wstring status = WindowText(IDC_IDENTITY_STATUS);
        EXPECT_EQ(status.substr(status.size() - wcslen(c.summary)), c.summary);
        world.ClearReturnValue(L"ModifySystemSettings");
        TearDown();
        SetUp();
    }
}

TEST_F(IdentitiesApply, AHostThatShortensAValueDoesNotGoUnnoticed)
{
    world.FindHost(L"HV-LAB04")->keptSettingLength = 9;
    Open();
    Select({L"Kiosk 03"});
    Click(IDC_NEW_SERIAL_NUMBERS);
    const std::wstring serial = CellOf(L"Kiosk 03", L"BIOS Serial Number");
    Apply();
    const std::wstring held = serial.substr(0, 9);
    EXPECT_EQ(CellOf(L"Kiosk 03", L"Result"),
              L"Saved, but the host now holds BIOS Serial Number \"" + held + L"\"; Baseboard Serial Number \"" +
                  held + L"\"; Chassis Serial Number \"" + held + L"\"");
    // The table shows what the host holds, with nothing left pending.
    EXPECT_EQ(CellOf(L"Kiosk 03", L"BIOS Serial Number"), held);
    EXPECT_EQ(CellOf(L"Kiosk 03", L"Pending"), L"");
}

// Stop Waiting during the first machine's write lets its job end and leaves the rest pending.
TEST_F(IdentitiesApply, StopWaitingStopsBetweenMachinesNeverDuringOne)
{
    Open();
    Select({L"Kiosk Template", L"Kiosk 01", L"Kiosk 03"});
    Click(IDC_NEW_BIOS_GUIDS);
    world.ClearCalls();
    // The first read of the first machine's job: the host's service and the four states, the
    // machine's settings and the method's answer come before it.
    world.StallCall(CallKind::ReadInstance, 11);
    HostWaitState during;
    std::thread actor([this, &during] {
        if (WaitFor([&] { return world.StalledReads() > 0; })) {
            during = hostwait::Current();
            hostwait::RequestStop();
        }
        world.AnswerStalledReads();
    });
    Apply();
    actor.join();
    // The progress window's words while the first machine's job ran.
    EXPECT_EQ(during.activity, L"Applying 1 of 3: Kiosk Template");
    EXPECT_TRUE(during.stoppable);
    EXPECT_EQ(CellOf(L"Kiosk Template", L"Result"), L"Saved");
    EXPECT_EQ(CellOf(L"Kiosk Template", L"Pending"), L"");
    EXPECT_EQ(HostHolds(L"Kiosk Template").biosGuid, CellOf(L"Kiosk Template", L"BIOS GUID"));
    for (const wchar_t* name : {L"Kiosk 01", L"Kiosk 03"}) {
        EXPECT_EQ(CellOf(name, L"Result"), L"Not written: Brackwin stopped before this virtual machine");
        EXPECT_NE(CellOf(name, L"Pending"), L"");
    }
    EXPECT_EQ(Invokes(), 1u);
    const std::wstring status = WindowText(IDC_IDENTITY_STATUS);
    EXPECT_NE(status.find(L"1 saved, 2 not written."), std::wstring::npos);
}

}
