#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>

#include "hosts/ComputerPicker.h"
#include "tests/support/FakePicker.h"

// Failures show the result's value rather than its bytes.
static void PrintTo(PickerResult result, std::ostream* out)
{
    *out << static_cast<int>(result);
}

namespace {

// A real top-level window to own the picker; the fake dialog never shows.
class ComputerPickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND parent = nullptr;
};

constexpr HRESULT win32AccessDenied = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
constexpr const char* allCalls = "create initialize invoke register getdata";
constexpr const char* released = "~medium ~data ~picker";

struct PickerCase {
    const char* what;
    PickerScript script;
    PickerResult result;
    DWORD windowsError;
    const wchar_t* name;  // null: name untouched
    std::string log;
};

PickerScript With(void (*change)(PickerScript&))
{
    PickerScript script;
    change(script);
    return script;
}

const PickerCase cases[] = {
    {"chosen computer", {}, PickerResult::Ok, 0, L"hv-lab01.example.com",
     std::string(allCalls) + " " + released},
    {"class not registered", With([](PickerScript& s) { s.create = REGDB_E_CLASSNOTREG; }),
     PickerResult::CreateFailed, 0, nullptr, "create"},
    {"creation fails with a Win32 code, which is not reported",
     With([](PickerScript& s) { s.create = win32AccessDenied; }), PickerResult::CreateFailed, 0,
     nullptr, "create"},
    {"Initialize: invalid argument", With([](PickerScript& s) { s.initialize = E_INVALIDARG; }),
     PickerResult::InitializeInvalidArgument, 0, nullptr, "create initialize ~picker"},
    {"Initialize: out of memory", With([](PickerScript& s) { s.initialize = E_OUTOFMEMORY; }),
     PickerResult::InitializeOutOfMemory, 0, nullptr, "create initialize ~picker"},
    {"Initialize: failure outside the Win32 facility",
     With([](PickerScript& s) { s.initialize = E_FAIL; }), PickerResult::InitializeFailed, 0,
     nullptr, "create initialize ~picker"},
    {"Initialize: Win32 failure",
     With([](PickerScript& s) { s.initialize = win32AccessDenied; }),
     PickerResult::InitializeFailed, ERROR_ACCESS_DENIED, nullptr, "create initialize ~picker"},
    {"Initialize: other success code goes on and gives 5 with the name",
     With([](PickerScript& s) { s.initialize = S_FALSE; }), PickerResult::InitializeFailed, 0,
     L"hv-lab01.example.com", std::string(allCalls) + " " + released},
    {"Initialize: Win32-facility success code, then cancel",
     With([](PickerScript& s) {
         s.initialize = MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_WIN32, ERROR_MORE_DATA);
         s.invoke = S_FALSE;
         s.returnsData = false;
     }),
     PickerResult::InitializeFailed, ERROR_MORE_DATA, nullptr, "create initialize invoke ~picker"},
    {"Initialize: other success code, later failure wins",
     With([](PickerScript& s) {
         s.initialize = S_FALSE;
         s.getData = E_OUTOFMEMORY;
     }),
     PickerResult::DataOutOfMemory, 0, nullptr, std::string(allCalls) + " ~data ~picker"},
    {"cancelled", With([](PickerScript& s) {
         s.invoke = S_FALSE;
         s.returnsData = false;
     }),
     PickerResult::Ok, 0, nullptr, "create initialize invoke ~picker"},
    {"cancelled, yet a data object came back",
     With([](PickerScript& s) { s.invoke = S_FALSE; }), PickerResult::Ok, 0, nullptr,
     "create initialize invoke ~data ~picker"},
    {"InvokeDialog: unexpected", With([](PickerScript& s) {
         s.invoke = E_UNEXPECTED;
         s.returnsData = false;
     }),
     PickerResult::DialogUnexpected, 0, nullptr, "create initialize invoke ~picker"},
    {"InvokeDialog: Win32 failure", With([](PickerScript& s) {
         s.invoke = HRESULT_FROM_WIN32(ERROR_CANCELLED);
         s.returnsData = false;
     }),
     PickerResult::DialogFailed, ERROR_CANCELLED, nullptr, "create initialize invoke ~picker"},
    {"InvokeDialog: other failure", With([](PickerScript& s) {
         s.invoke = E_FAIL;
         s.returnsData = false;
     }),
     PickerResult::DialogFailed, 0, nullptr, "create initialize invoke ~picker"},
    {"InvokeDialog: other success code goes on",
     With([](PickerScript& s) { s.invoke = 2; }), PickerResult::Ok, 0, L"hv-lab01.example.com",
     std::string(allCalls) + " " + released},
    {"InvokeDialog: success without a data object",
     With([](PickerScript& s) { s.returnsData = false; }), PickerResult::NoData, 0, nullptr,
     "create initialize invoke ~picker"},
    {"clipboard format not registered", With([](PickerScript& s) {
         s.format = 0xFFFF0000;
         s.registerError = ERROR_NOT_ENOUGH_MEMORY;
     }),
     PickerResult::FormatNotRegistered, ERROR_NOT_ENOUGH_MEMORY, nullptr,
     "create initialize invoke register ~data ~picker"},
    {"GetData: OLE not running", With([](PickerScript& s) { s.getData = OLE_E_NOTRUNNING; }),
     PickerResult::DataNotRunning, 0, nullptr, std::string(allCalls) + " ~data ~picker"},
    {"GetData: medium full", With([](PickerScript& s) { s.getData = STG_E_MEDIUMFULL; }),
     PickerResult::DataMediumFull, 0, nullptr, std::string(allCalls) + " ~data ~picker"},
    {"GetData: unexpected", With([](PickerScript& s) { s.getData = E_UNEXPECTED; }),
     PickerResult::DataUnexpected, 0, nullptr, std::string(allCalls) + " ~data ~picker"},
    {"GetData: out of memory", With([](PickerScript& s) { s.getData = E_OUTOFMEMORY; }),
     PickerResult::DataOutOfMemory, 0, nullptr, std::string(allCalls) + " ~data ~picker"},
    {"GetData: Win32 access denied", With([](PickerScript& s) { s.getData = win32AccessDenied; }),
     PickerResult::DataFailed, ERROR_ACCESS_DENIED, nullptr,
     std::string(allCalls) + " ~data ~picker"},
    {"GetData: other failure", With([](PickerScript& s) { s.getData = DV_E_FORMATETC; }),
     PickerResult::DataFailed, 0, nullptr, std::string(allCalls) + " ~data ~picker"},
    {"GetData fails but filled the medium", With([](PickerScript& s) {
         s.getData = DV_E_FORMATETC;
         s.fillsOnFailure = true;
     }),
     PickerResult::DataFailed, 0, nullptr, std::string(allCalls) + " " + released},
    {"medium that is not global memory", With([](PickerScript& s) { s.tymed = TYMED_GDI; }),
     PickerResult::NotGlobalMemory, 0, nullptr, std::string(allCalls) + " " + released},
    {"global memory that cannot be locked",
     With([](PickerScript& s) { s.selection.lockable = false; }), PickerResult::NoData, 0,
     nullptr, std::string(allCalls) + " " + released},
    {"empty selection list", With([](PickerScript& s) { s.selection.names.clear(); }),
     PickerResult::NoData, 0, nullptr, std::string(allCalls) + " " + released},
    {"list too short for the item it counts",
     With([](PickerScript& s) { s.selection.truncated = true; }), PickerResult::NoData, 0,
     nullptr, std::string(allCalls) + " " + released},
    {"chosen object without a name",
     With([](PickerScript& s) { s.selection.names = {std::nullopt}; }), PickerResult::Ok, 0,
     nullptr, std::string(allCalls) + " " + released},
    {"first of two items", With([](PickerScript& s) {
         s.selection.names = {std::wstring(L"HV02"), std::wstring(L"HV03")};
     }),
     PickerResult::Ok, 0, L"HV02", std::string(allCalls) + " " + released},
};

TEST_F(ComputerPickerTest, EveryOutcomeStopsAtItsStepAndReleasesEverything)
{
    for (const auto& c : cases) {
        FakePickerScope fake(c.script);
        std::wstring name = L"untouched";
        DWORD windowsError = 12345;
        EXPECT_EQ(PickComputer(parent, name, windowsError), c.result) << c.what;
        EXPECT_EQ(windowsError, c.windowsError) << c.what;
        EXPECT_EQ(name, c.name ? c.name : L"untouched") << c.what;
        EXPECT_EQ(fake.Log(), c.log) << c.what;
        EXPECT_EQ(fake.Live(), 0) << c.what;
    }
}

TEST_F(ComputerPickerTest, NullOrDesktopParentGivesOneWithoutCreatingThePicker)
{
    for (const HWND owner : {static_cast<HWND>(nullptr), GetDesktopWindow()}) {
        FakePickerScope fake({});
        std::wstring name;
        DWORD windowsError = 7;
        EXPECT_EQ(PickComputer(owner, name, windowsError), PickerResult::InvalidParent);
        EXPECT_EQ(windowsError, 0u);
        EXPECT_TRUE(name.empty());
        EXPECT_EQ(fake.Log(), "");
    }
}

TEST_F(ComputerPickerTest, PickerIsCreatedConfiguredAndAskedAsDocumented)
{
    FakePickerScope fake({});
    std::wstring name;
    DWORD windowsError = 0;
    ASSERT_EQ(PickComputer(parent, name, windowsError), PickerResult::Ok);
    const PickerRecord& record = fake.Record();

    EXPECT_TRUE(IsEqualCLSID(record.classId, CLSID_DsObjectPicker));
    EXPECT_TRUE(IsEqualIID(record.interfaceId, IID_IDsObjectPicker));
    EXPECT_EQ(record.outer, nullptr);
    EXPECT_EQ(record.context, 1u);

    // The structures' own sizes (48 and 56 bytes on x64).
    EXPECT_EQ(record.init.cbSize, sizeof(DSOP_INIT_INFO));
    EXPECT_EQ(record.init.pwzTargetComputer, nullptr);
    EXPECT_EQ(record.init.cDsScopeInfos, 2u);
    EXPECT_EQ(record.init.flOptions, 0x2u);
    EXPECT_EQ(record.init.cAttributesToFetch, 0u);
    EXPECT_EQ(record.init.apwzAttributeNames, nullptr);

    struct ScopeRow {
        ULONG type, scope, both, mixed, native, downlevel;
    };
    const ScopeRow expected[] = {
        {0x3FE, 0x100, 0x800, 0x800, 0x800, 0x80000008},
        {0x2, 0x101, 0x800, 0, 0, 0x80000008},
    };
    ASSERT_EQ(record.scopes.size(), 2u);
    for (size_t index = 0; index < 2; ++index) {
        const DSOP_SCOPE_INIT_INFO& scope = record.scopes[index];
        EXPECT_EQ(scope.cbSize, sizeof(DSOP_SCOPE_INIT_INFO)) << index;
        EXPECT_EQ(scope.flType, expected[index].type) << index;
        EXPECT_EQ(scope.flScope, expected[index].scope) << index;
        EXPECT_EQ(scope.FilterFlags.Uplevel.flBothModes, expected[index].both) << index;
        EXPECT_EQ(scope.FilterFlags.Uplevel.flMixedModeOnly, expected[index].mixed) << index;
        EXPECT_EQ(scope.FilterFlags.Uplevel.flNativeModeOnly, expected[index].native) << index;
        EXPECT_EQ(scope.FilterFlags.flDownlevel, expected[index].downlevel) << index;
        EXPECT_EQ(scope.pwzDcName, nullptr) << index;
        EXPECT_EQ(scope.pwzADsPath, nullptr) << index;
        EXPECT_EQ(scope.hr, S_OK) << index;
    }

    EXPECT_EQ(record.dialogParent, parent);
    EXPECT_EQ(record.registeredFormat, RegisterClipboardFormatW(L"CFSTR_DSOP_DS_SELECTION_LIST"));
    EXPECT_EQ(record.request.cfFormat, record.registeredFormat);
    EXPECT_EQ(record.request.ptd, nullptr);
    EXPECT_EQ(record.request.dwAspect, 1u);
    EXPECT_EQ(record.request.lindex, -1);
    EXPECT_EQ(record.request.tymed, 1u);
    EXPECT_EQ(record.mediumOnEntry.tymed, 0u);
    EXPECT_EQ(record.mediumOnEntry.hGlobal, nullptr);
    EXPECT_EQ(record.mediumOnEntry.pUnkForRelease, nullptr);
}

TEST(PickerResultText, EveryRowHasItsExactText)
{
    constexpr const wchar_t* texts[] = {
        L"No error.",
        L"The indicated parent window is invalid.",
        L"The local Active Directory COM library reported an error.",
        L"An invalid argument was supplied to the Active Directory browse dialog.",
        L"Insufficient memory available to initialize the Active Directory browsing dialog.",
        L"A Windows error occurred while initializing the Active Directory browsing dialog.",
        L"The Active Directory selection dialog box encountered an unexpected error.",
        L"A Windows error occurred while selecting an Active Directory object.",
        L"An error occurred during data transfer from the Active Directory dialog.",
        L"The Windows OLE translation system for the computer object is not operating.",
        L"A memory error occurred while translating the selected computer object.",
        L"An unknown COM error occurred while translating the selected computer object.",
        L"There is insufficient memory to translate the selected computer object.",
        L"A windows error occurred while translating the selected computer object.",
        L"The selected object is in an invalid format.",
        L"The selected object contains no data.",
    };
    for (int value = 0; value < 16; ++value)
        EXPECT_STREQ(PickerResultText(static_cast<PickerResult>(value)), texts[value]) << value;
}

TEST(PickerResultText, ValueOutsideTheTableGetsAFixedText)
{
    for (const int value : {16, 100, -1})
        EXPECT_STREQ(PickerResultText(static_cast<PickerResult>(value)),
                     L"An unknown error occurred while selecting an Active Directory object.")
            << value;
}

}
