#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/ui/LabWindowFixture.h"

namespace {

using LongHostValue = LabWindow;

// A serial number set beyond 32 characters by another tool loads whole and red; Apply refuses
// it with the field's own message until it fits, so nothing is cut or written unasked.
TEST_F(LongHostValue, LoadsWholeAndRedAndApplyRefusesItUntilItFits)
{
    const std::wstring longSerial(40, L'7');
    LabVm(L"Test Client").settings.biosSerialNumber = longSerial;
    const std::wstring assetTagBefore = LabVm(L"Test Client").settings.chassisAssetTag;

    LoadLabVm(L"Test Client");
    EXPECT_EQ(Text(IDC_VM_NAME), L"Test Client");
    EXPECT_EQ(Text(IDC_BIOS_SERIAL), longSerial);
    EXPECT_FALSE(ShowsValid(IDC_BIOS_SERIAL));
    for (int id : {IDC_BASEBOARD_SERIAL, IDC_BIOS_GUID, IDC_ASSET_TAG, IDC_CHASSIS_SERIAL})
        EXPECT_TRUE(ShowsValid(id)) << id;

    SendMessageW(Control(IDC_NUMLOCK), BM_CLICK, 0, 0);
    Type(IDC_ASSET_TAG, L"ASSET-7");
    world.ClearCalls();
    Command(IDC_APPLY);
    Pump();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, L"BIOS serial number has too many characters");
    EXPECT_EQ(platform.boxes[0].caption, L"Invalid Input");
    EXPECT_EQ(GetFocus(), Control(IDC_BIOS_SERIAL));
    EXPECT_EQ(Calls(sim::CallKind::Invoke), 0);
    EXPECT_EQ(LabVm(L"Test Client").settings.biosSerialNumber, longSerial);
    EXPECT_EQ(LabVm(L"Test Client").settings.chassisAssetTag, assetTagBefore);

    Type(IDC_BIOS_SERIAL, std::wstring(32, L'7').c_str());
    EXPECT_TRUE(ShowsValid(IDC_BIOS_SERIAL));
    Command(IDC_APPLY);
    Pump();
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(LabVm(L"Test Client").settings.biosSerialNumber, std::wstring(32, L'7'));
    EXPECT_EQ(LabVm(L"Test Client").settings.chassisAssetTag, L"ASSET-7");
}

}
