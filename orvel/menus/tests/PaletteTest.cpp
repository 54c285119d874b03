#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include "orvel/menus/MenuBar.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/Messages.h"
#include "orvel/windows/tests/WindowTestUtil.h"
#include "tests/common/TestCommon.h"

using Windows::CMenuPalette;

namespace {

TestSupport::SPackSource Pack(const wchar_t* ini)
{
    TestSupport::SPackSource source;
    source.ini = std::wstring(L"[Config]\r\n") + ini;
    return source;
}

struct SDepth {
    explicit SDepth(int bits) { CMenuPalette::OverrideScreenDepth(bits); }
    ~SDepth()
    {
        CMenuPalette::OverrideScreenDepth(0);
        CMenuPalette::ComputeDefaults();
    }
};

TEST(MenuPalette, BlendsEachChannelTruncatingTowardZero)
{
    // 255 * 3 / 100 is 7.65: up by 7, down by 7.
    EXPECT_EQ(RGB(7, 248, 100), Windows::BlendMenuColor(RGB(0, 255, 100), RGB(255, 0, 100), 3));
    EXPECT_EQ(RGB(10, 20, 30), Windows::BlendMenuColor(RGB(10, 20, 30), RGB(200, 100, 0), 0));
    EXPECT_EQ(RGB(200, 100, 0), Windows::BlendMenuColor(RGB(10, 20, 30), RGB(200, 100, 0), 100));
    // Hot is 70 % of the way from the highlight to the window colour.
    EXPECT_EQ(RGB(0 + 255 * 70 / 100, 51 + (255 - 51) * 70 / 100, 255),
              Windows::BlendMenuColor(RGB(0, 51, 255), RGB(255, 255, 255), 70));
}

TEST(MenuPalette, PalettizedScreensTakePlainSystemColours)
{
    {
        SDepth depth(8);
        CMenuPalette::ComputeDefaults();
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), CMenuPalette::Get(Windows::kMenuBackground));
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), CMenuPalette::Get(Windows::kMenuMenu));
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), CMenuPalette::Get(Windows::kMenuHot));
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), CMenuPalette::Get(Windows::kMenuHotDark));
        EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), CMenuPalette::Get(Windows::kMenuPressed));
        EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), CMenuPalette::Get(Windows::kMenuShadow));
    }
    SDepth depth(32);
    CMenuPalette::ComputeDefaults();
    const COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF hot = Windows::BlendMenuColor(GetSysColor(COLOR_HIGHLIGHT), window, 70);
    EXPECT_EQ(Windows::BlendMenuColor(window, text, 3), CMenuPalette::Get(Windows::kMenuBackground));
    EXPECT_EQ(hot, CMenuPalette::Get(Windows::kMenuHot));
    // Pressed blends from the blended hot colour.
    EXPECT_EQ(Windows::BlendMenuColor(hot, text, 20), CMenuPalette::Get(Windows::kMenuPressed));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), CMenuPalette::Get(Windows::kMenuFrame));
}

// Run on a palettized display too (an 8-bit X screen): the real depth
// picks the plain colours there and the blends everywhere else.
TEST(MenuPalette, DefaultsFollowTheScreensRealDepth)
{
    CMenuPalette::OverrideScreenDepth(0);
    CMenuPalette::ComputeDefaults();
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    const COLORREF window = GetSysColor(COLOR_WINDOW), face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(depth, CMenuPalette::ScreenDepth());
    EXPECT_EQ(depth <= 8 ? face : Windows::BlendMenuColor(face, window, 20),
              CMenuPalette::Get(Windows::kMenuMenu));
    EXPECT_EQ(depth <= 8 ? window : Windows::BlendMenuColor(window, GetSysColor(COLOR_WINDOWTEXT), 3),
              CMenuPalette::Get(Windows::kMenuBackground));
}

TEST(MenuPalette, AStyleSettingOnlyHotChangesOnlyHotUntilTheSettingsChange)
{
    CMenuPalette::ComputeDefaults();
    COLORREF defaults[Windows::kMenuColorCount];
    for (int i = 0; i < Windows::kMenuColorCount; ++i)
        defaults[i] = CMenuPalette::Get(i);

    TestSupport::CCurrentPack pack(Pack(L"[MenuBar]\r\nHot=1, 2, 3\r\nFrame=not a colour\r\n"));
    ASSERT_TRUE(pack.Ok()) << pack.Error().c_str();
    WindowTest::CHostWindow host(300, 100);
    Windows::CMenuBar bar;
    ASSERT_TRUE(bar.CreateMenuBar(host.Handle(), nullptr, nullptr, 0, 0, 1, nullptr));
    for (int i = 0; i < Windows::kMenuColorCount; ++i)
        EXPECT_EQ(i == Windows::kMenuHot ? RGB(1, 2, 3) : defaults[i], CMenuPalette::Get(i)) << i;

    SendMessageW(bar, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(defaults[Windows::kMenuHot], CMenuPalette::Get(Windows::kMenuHot));
    SendMessageW(bar, Windows::kMsgStyleChanged, 0, 0);
    EXPECT_EQ(RGB(1, 2, 3), CMenuPalette::Get(Windows::kMenuHot));
    SendMessageW(bar, WM_SETTINGCHANGE, 0, 0);
}

TEST(MenuExports, GetZqMenuColorWritesOnlyWhatTheStyleDefines)
{
    const COLORREF kUntouched = RGB(77, 77, 77);
    COLORREF c[Windows::kMenuColorCount];
    auto call = [&] {
        for (COLORREF& colour : c)
            colour = kUntouched;
        return GetZqMenuColor(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7], &c[8], &c[9],
                              &c[10], &c[11], &c[12]);
    };
    {
        TestSupport::CCurrentPack pack(Pack(L"[MenuBar]\r\nMenu=9, 9, 9\r\nShadow=1,1,1\r\nHotDark=zz\r\n"));
        ASSERT_TRUE(pack.Ok());
        EXPECT_EQ(1, call());
        for (int i = 0; i < Windows::kMenuColorCount; ++i) {
            COLORREF expected = i == Windows::kMenuMenu ? RGB(9, 9, 9)
                                : i == Windows::kMenuShadow ? RGB(1, 1, 1) : kUntouched;
            EXPECT_EQ(expected, c[i]) << Windows::MenuColorKey(i);
        }
    }
    TestSupport::CCurrentPack none(Pack(L"[PushButton]\r\n"));
    ASSERT_TRUE(none.Ok());
    EXPECT_EQ(0, call());
    for (COLORREF colour : c)
        EXPECT_EQ(kUntouched, colour);
}

TEST(MenuExports, ZqMenuDrawPaintsWithTheMenuBarLookOnly)
{
    TestCommon::CDibCanvas canvas(40, 20);
    const RECT rect = {5, 5, 35, 15};
    {
        TestSupport::CCurrentPack none(Pack(L"[PushButton]\r\n"));
        ASSERT_TRUE(none.Ok());
        EXPECT_EQ(0, ZqMenuDraw(canvas.Dc(), 0, &rect, &rect));
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(20, 10));
    }
    TestSupport::CCurrentPack pack(
        Pack(L"[MenuBar]\r\n[Back@MenuBar]\r\nType=FillColor\r\nBorderSize=0\r\nStateCount=1\r\nFillColor=9, 80, 7\r\n"));
    ASSERT_TRUE(pack.Ok());
    EXPECT_EQ(0, ZqMenuDraw(canvas.Dc(), 0, nullptr, &rect));
    EXPECT_EQ(1, ZqMenuDraw(canvas.Dc(), 0, &rect, &rect));
    EXPECT_EQ(RGB(9, 80, 7), canvas.Pixel(20, 10));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(2, 2));
}

}  // namespace
