// The manager's binary interface: hosts call its operations by slot and
// find its plain functions by name.
#include <gtest/gtest.h>

#include <windows.h>

#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

using TestCommon::SlotOf;

TEST(ManagerInterface, OperationsKeepTheirSlots)
{
    using M = Windows::CStyledWndManager;
    // Numbered from 1 as hosts count them.
    EXPECT_EQ(1, SlotOf(&M::EnableFrameStyled) + 1);
    EXPECT_EQ(2, SlotOf(&M::EnableClientStyled) + 1);
    EXPECT_EQ(3, SlotOf(&M::EnableCheckButtonStyled) + 1);
    EXPECT_EQ(4, SlotOf(&M::EnableRadioButtonStyled) + 1);
    EXPECT_EQ(5, SlotOf(&M::EnablePushButtonStyled) + 1);
    EXPECT_EQ(6, SlotOf(&M::EnableEditStyled) + 1);
    EXPECT_EQ(7, SlotOf(&M::EnableComboStyled) + 1);
    EXPECT_EQ(8, SlotOf(&M::EnableScrollBarStyled) + 1);
    EXPECT_EQ(9, SlotOf(&M::EnableSpinButtonStyled) + 1);
    EXPECT_EQ(10, SlotOf(&M::EnableTrackBarStyled) + 1);
    EXPECT_EQ(11, SlotOf(&M::EnableScrollWndStyled) + 1);
    EXPECT_EQ(12, SlotOf(&M::EnableProgressBarStyled) + 1);
    EXPECT_EQ(13, SlotOf(&M::EnableStaticStyled) + 1);
    EXPECT_EQ(14, SlotOf(&M::EnableTreeCtrlColored) + 1);
    EXPECT_EQ(15, SlotOf(&M::EnableControlContainerStyled) + 1);
    EXPECT_EQ(16, SlotOf(&M::SetLanguage) + 1);
    EXPECT_EQ(17, SlotOf(&M::GetLanguage) + 1);
    EXPECT_EQ(18, SlotOf(&M::ValidDlgCtrl) + 1);
    EXPECT_EQ(19, SlotOf(&M::EnableHeaderCtrlStyled) + 1);
    EXPECT_EQ(20, SlotOf(&M::ShowMessageBox) + 1);
    EXPECT_EQ(21, SlotOf(&M::EnableTabCtrlStyled) + 1);
    EXPECT_EQ(22, SlotOf(&M::EnableListViewStyled) + 1);
    EXPECT_EQ(23, SlotOf(&M::EnableXPFrameStyled) + 1);
    EXPECT_EQ(24, SlotOf(&M::EnableHyperLinkStyled) + 1);
    EXPECT_EQ(25, SlotOf(&M::EnableListBoxStyled) + 1);
    EXPECT_EQ(26, SlotOf(&M::EnablePicStaticStyled) + 1);
    EXPECT_EQ(27, SlotOf(&M::EnableRadioButtonStyledXP) + 1);
}

TEST(ManagerInterface, PlainFunctionsAreExportedByName)
{
    HMODULE library = GetModuleHandleW(L"Orvel.dll");
    ASSERT_TRUE(library);
    for (const char* name : {"GetWindowStyle", "EnableFrameStyledEx", "EnableFrameStyledColor",
                             "SetForbidStaticColor", "NotifyStyleChanged", "SetLanguageID"})
        EXPECT_TRUE(GetProcAddress(library, name)) << name;
    using TGetWindowStyle = Windows::CStyledWndManager* (*)();
    auto get = reinterpret_cast<TGetWindowStyle>(reinterpret_cast<void*>(GetProcAddress(library, "GetWindowStyle")));
    ASSERT_TRUE(get);
    EXPECT_EQ(&Windows::CStyledWndManager::GetInstance(), get());
}
