#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/MainWindowFixture.h"

namespace {

using TemplateLayout = MainWindowFixture;

// The main window's controls in tab order, as laid out in its template: the window class, the
// tab stop and group marks, and whether the control starts disabled. Identifiers are written as
// numbers so that a renumbered control shows here.
struct LayoutRow {
    int id;
    const wchar_t* windowClass;
    bool tabStop;
    bool group;
    bool disabled;
};

constexpr LayoutRow layout[] = {
    {1000, L"Button", false, false, false},
    {1001, L"ComboBox", true, false, false},
    {1002, L"Button", true, false, false},
    {1003, L"Button", true, false, true},
    {1004, L"ListBox", true, false, true},
    {1034, L"Button", true, false, false},
    {1033, L"Button", true, false, true},
    {1025, L"Button", false, false, false},
    {1007, L"Static", false, true, false},
    {1008, L"Edit", true, false, false},
    {1009, L"Static", false, true, false},
    {1010, L"Edit", true, false, false},
    {1005, L"Button", false, false, false},
    {1011, L"Button", true, false, true},
    {1012, L"Static", false, true, false},
    {1013, L"Edit", true, false, true},
    {1016, L"Static", false, true, false},
    {1014, L"Edit", true, false, true},
    {1015, L"Button", true, false, true},
    {1017, L"Static", false, true, false},
    {1018, L"Edit", true, false, true},
    {1020, L"Static", false, true, false},
    {1021, L"Edit", true, false, true},
    {1022, L"Static", false, true, false},
    {1023, L"Edit", true, false, true},
    {1030, L"Button", false, false, false},
    {1032, L"Edit", true, false, false},
    {1029, L"Button", true, false, true},
    {1026, L"Button", true, false, true},
    {1027, L"Button", true, false, true},
    {1028, L"Button", true, false, true},
    {1006, L"Button", false, false, false},
    {1019, L"Button", true, false, true},
    {1024, L"Button", true, false, true},
    {1031, L"Button", false, false, false},
    {1, L"Button", true, false, false},
    {57664, L"Button", true, false, false},
};

LONG_PTR StyleOf(HWND control)
{
    return GetWindowLongPtrW(control, GWL_STYLE);
}

TEST_F(TemplateLayout, ControlsComeInTabOrderWithTheirClassesMarksAndStartState)
{
    std::vector<int> order;
    for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(child));
    std::vector<int> expectedOrder;
    for (const LayoutRow& row : layout)
        expectedOrder.push_back(row.id);
    EXPECT_EQ(order, expectedOrder);

    for (const LayoutRow& row : layout) {
        const HWND control = Control(row.id);
        ASSERT_NE(control, nullptr) << row.id;
        wchar_t windowClass[32] = {};
        GetClassNameW(control, windowClass, 32);
        EXPECT_EQ(lstrcmpiW(windowClass, row.windowClass), 0) << row.id << " " << windowClass;
        const LONG_PTR style = StyleOf(control);
        EXPECT_EQ((style & WS_TABSTOP) != 0, row.tabStop) << row.id;
        EXPECT_EQ((style & WS_GROUP) != 0, row.group) << row.id;
        EXPECT_EQ((style & WS_DISABLED) != 0, row.disabled) << row.id;
    }
}

// A settings label is as wide as the field below it, so that a wider font, a larger font
// setting or another language's dialog font does not cut it: its text fits even half as
// wide again.
TEST_F(TemplateLayout, EachFieldLabelIsAsWideAsItsFieldAndHoldsItsTextWithRoomToSpare)
{
    const struct {
        int label;
        int field;
    } pairs[] = {{1012, 1013}, {1016, 1014}, {1017, 1018}, {1020, 1021}, {1022, 1023}};
    const HDC dc = GetDC(Window());
    const HGDIOBJ previousFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Window(), WM_GETFONT, 0, 0)));
    for (const auto& pair : pairs) {
        RECT label{};
        RECT field{};
        GetWindowRect(Control(pair.label), &label);
        GetWindowRect(Control(pair.field), &field);
        // The label starts two dialog units further right; each edge rounds to a pixel.
        EXPECT_NEAR(label.right, field.right, 1) << pair.label;
        const std::wstring text = Text(pair.label);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        EXPECT_LE(extent.cx * 3 / 2, label.right - label.left) << pair.label;
    }
    // "Name:" and "VM ID:" fill the room before their fields and hold their texts with a
    // quarter to spare.
    for (const auto& [label, field] : {std::pair{1007, 1008}, std::pair{1009, 1010}}) {
        RECT labelRect{};
        RECT fieldRect{};
        GetWindowRect(Control(label), &labelRect);
        GetWindowRect(Control(field), &fieldRect);
        EXPECT_LE(labelRect.right, fieldRect.left) << label;
        const std::wstring text = Text(label);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        EXPECT_LE(extent.cx * 5 / 4, labelRect.right - labelRect.left) << label;
    }
    SelectObject(dc, previousFont);
    ReleaseDC(Window(), dc);
}

TEST_F(TemplateLayout, TabCyclesThroughTheControlsEnabledAtStart)
{
    const std::vector<int> expected = {1002, 1034, 1008, 1010, 1032, 1, 57664, 1001};
    std::vector<int> visited;
    HWND current = Control(1001);
    for (size_t step = 0; step < expected.size(); ++step) {
        current = GetNextDlgTabItem(Window(), current, FALSE);
        visited.push_back(GetDlgCtrlID(current));
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(TemplateLayout, HostComboIsASortedDropDownAndTheMachineListASortedList)
{
    const LONG_PTR combo = StyleOf(Control(1001));
    EXPECT_EQ(combo & 0x3, CBS_DROPDOWN);
    EXPECT_NE(combo & CBS_SORT, 0);
    EXPECT_NE(combo & CBS_AUTOHSCROLL, 0);
    const LONG_PTR list = StyleOf(Control(1004));
    EXPECT_NE(list & LBS_SORT, 0);
    EXPECT_NE(list & LBS_NOTIFY, 0);
    EXPECT_NE(list & LBS_NOINTEGRALHEIGHT, 0);
}

TEST_F(TemplateLayout, ApplyChangesIsTheOnlyDefaultButton)
{
    const LRESULT defaultId = SendMessageW(Window(), DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defaultId), 1019);
    const struct {
        int id;
        LONG_PTR type;
    } buttons[] = {
        {1000, BS_GROUPBOX},    {1002, BS_PUSHBUTTON}, {1003, BS_PUSHBUTTON},
        {1025, BS_GROUPBOX},    {1005, BS_GROUPBOX},   {1011, BS_AUTOCHECKBOX},
        {1015, BS_PUSHBUTTON},  {1030, BS_GROUPBOX},   {1029, BS_PUSHBUTTON},
        {1026, BS_PUSHBUTTON},  {1027, BS_PUSHBUTTON}, {1028, BS_PUSHBUTTON},
        {1006, BS_GROUPBOX},    {1019, BS_DEFPUSHBUTTON}, {1024, BS_PUSHBUTTON},
        {1031, BS_GROUPBOX},    {1, BS_PUSHBUTTON},    {57664, BS_PUSHBUTTON},
    };
    for (const auto& button : buttons)
        EXPECT_EQ(StyleOf(Control(button.id)) & BS_TYPEMASK, button.type) << button.id;
    EXPECT_NE(StyleOf(Control(1015)) & BS_ICON, 0);
}

}
