// Styling, painting, switching packs and destroying whole windows many times
// in one process: no styled object may outlive its window and no GDI object
// may stay behind.
#include <gtest/gtest.h>

#include "WindowTestUtil.h"
#include "orvel/style/StyleManager.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/StyledWnd.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

using WindowTest::CHostWindow;
using WindowTest::Pump;

namespace {

TestSupport::SPackSource SoakPack()
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n[Fonts]\r\n$default$=name:Tahoma, size:8\r\n"
                 L"[PushButton]\r\nMargins=3,3,3,3\r\n"
                 L"[Back@PushButton]\r\nType=FillImage\r\nImageFile=BUTTON.BMP\r\nImageCount=5\r\n"
                 L"SizingType=Stretch\r\nSizingMargins=3,3,3,3\r\n"
                 L"[Fore@PushButton]\r\nType=Text\r\nStateCount=5\r\nFont=$default$\r\nAlign=center\r\n"
                 L"[CheckButtonState]\r\n[Fore@CheckButtonState]\r\nType=ImageGlyph\r\nImageFile=MARK.BMP\r\n"
                 L"ImageCount=12\r\nTransparent=true\r\n"
                 L"[CheckButtonLabel]\r\n[Fore@CheckButtonLabel]\r\nType=Text\r\nStateCount=12\r\n"
                 L"[HyperLink]\r\n[Fore@HyperLink]\r\nType=Text\r\nStateCount=4\r\nFont=name:Tahoma,underline\r\n"
                 L"[ScrollBarThumbButtonVert]\r\n[Back@ScrollBarThumbButtonVert]\r\nType=FillColor\r\n"
                 L"StateCount=4\r\nFillColor=90,90,200\r\n";
    source.bitmaps.push_back({L"Button.bmp", 20, 100, nullptr, RGB(180, 190, 220)});
    source.bitmaps.push_back({L"Mark.bmp", 13, 156, nullptr, RGB(255, 0, 255)});
    return source;
}

void StyleAndPaintADialog(Windows::CStyledWndManager& manager)
{
    CHostWindow host(320, 240);
    HWND push = host.AddChild(L"BUTTON", L"OK", BS_DEFPUSHBUTTON, 10, 10, 80, 24, 1);
    HWND check = host.AddChild(L"BUTTON", L"Check", BS_AUTOCHECKBOX, 10, 40, 120, 20, 2);
    HWND radio = host.AddChild(L"BUTTON", L"Radio", BS_AUTORADIOBUTTON, 10, 64, 120, 20, 3);
    HWND link = host.AddChild(L"BUTTON", L"Link", BS_PUSHBUTTON, 10, 90, 120, 20, 4);
    HWND bar = host.AddChild(L"SCROLLBAR", L"", SBS_VERT, 280, 10, 17, 200, 5);
    EXPECT_TRUE(manager.EnablePushButtonStyled(push));
    EXPECT_TRUE(manager.EnableCheckButtonStyled(check));
    EXPECT_TRUE(manager.EnableRadioButtonStyledXP(radio));
    EXPECT_TRUE(manager.EnableHyperLinkStyled(link));
    EXPECT_TRUE(manager.EnableScrollBarStyled(bar));
    EXPECT_TRUE(manager.EnableControlContainerStyled(host.Handle()));
    SendMessageW(check, BM_CLICK, 0, 0);
    SendMessageW(push, BM_SETSTATE, TRUE, 0);
    SetWindowTextW(link, L"Another link");
    RedrawWindow(host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
}

}  // namespace

TEST(Soak, StyledDialogsLeaveNoObjectsAndNoGdiHandles)
{
    TestSupport::CCurrentPack pack(SoakPack());
    ASSERT_TRUE(pack.Ok());
    auto& manager = Windows::CStyledWndManager::GetInstance();
    long objects = Windows::LiveStyledObjects();
    // The first rounds create what lives as long as the style (fonts,
    // painters, and renderings kept from a size's second draw on).
    for (int round = 0; round < 3; ++round)
        StyleAndPaintADialog(manager);
    int slots = TestCommon::FreeGdiSlots();
    for (int round = 0; round < 40; ++round)
        StyleAndPaintADialog(manager);
    EXPECT_EQ(objects, Windows::LiveStyledObjects());
    EXPECT_EQ(slots, TestCommon::FreeGdiSlots());
}

TEST(Soak, PackReloadsUnderStyledWindowsLeaveNoGdiHandles)
{
    TestSupport::CCurrentPack pack(SoakPack());
    ASSERT_TRUE(pack.Ok());
    auto& manager = Windows::CStyledWndManager::GetInstance();
    CHostWindow host(320, 240);
    HWND push = host.AddChild(L"BUTTON", L"OK", BS_PUSHBUTTON, 10, 10, 80, 24, 1);
    HWND check = host.AddChild(L"BUTTON", L"Check", BS_AUTOCHECKBOX, 10, 40, 120, 20, 2);
    ASSERT_TRUE(manager.EnablePushButtonStyled(push));
    ASSERT_TRUE(manager.EnableCheckButtonStyled(check));
    auto reloadAndPaint = [&] {
        ASSERT_TRUE(Style::CStyleManager::GetInstance().LoadCurrentStyle());
        RedrawWindow(host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
    };
    reloadAndPaint();
    int slots = TestCommon::FreeGdiSlots();
    for (int round = 0; round < 30; ++round)
        reloadAndPaint();
    EXPECT_EQ(slots, TestCommon::FreeGdiSlots());
}
