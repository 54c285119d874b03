// Handle hygiene: every painter kind drawn and measured tens of thousands of
// times and packs loaded and unloaded, with the free slots of the GDI handle
// table counted before and after. A leak of one object per call would
// exhaust the table (later creations fail) and shows in the count.
#include <gtest/gtest.h>

#include "StyleTestUtil.h"
#include "tests/common/TestCommon.h"

using Style::CPainter;
using Style::CStyle;
using StyleTest::Bitmap;
using StyleTest::SLoadedStyle;
using StyleTest::Source;
using TestCommon::CDibCanvas;

namespace {

TestSupport::SPackSource SoakSource()
{
    auto source = Source(
        L"[Fonts]\r\n$default$=name:Tahoma, size:8\r\n$Big=name:Tahoma, size:14, bold\r\n"
        L"[Cursors]\r\n$Hand=HAND.CUR\r\n"
        L"[PushButton]\r\nCursor=$Hand\r\nMargins=2,2,2,2\r\n"
        L"[Back@PushButton]\r\nType=FillImage\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
        L"SizingType=Stretch\r\nSizingMargins=4,4,4,4\r\nTransparent=true\r\n"
        L"[Fore@PushButton]\r\nType=Text\r\nStateCount=4\r\nFont=$Big\r\nAutoWrap=true\r\n"
        L"VAlign=center\r\nBackMode1=OPAQUE\r\nAlign2=center\r\n"
        L"[CheckButton]\r\nCursor=HAND.CUR\r\n"
        L"[Back@CheckButton]\r\nType=BorderImage\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
        L"SizingType=Tile\r\nSizingMargins=4,4,4,4\r\n"
        L"[Fore@CheckButton]\r\nType=ImageGlyph\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
        L"Transparent=true\r\n"
        L"[Back@RadioButton]\r\nType=FillColor\r\nStateCount=3\r\nBorderSize1=3\r\n"
        L"[Fore@RadioButton]\r\nType=Text\r\nStateCount=1\r\nFont=size:9, escapement:900\r\n"
        L"VAlign=center\r\nAlign=center\r\n"
        L"[Back@Edit]\r\nType=BorderColor\r\nStateCount=2\r\nBorderSize1=2\r\n"
        L"[Fore@Edit]\r\nType=Text\r\nStateCount=1\r\nFont=name:Tahoma, size:8\r\n");
    source.bitmaps.push_back(Bitmap(L"Button.bmp", 20, 80, [](int x, int y) {
        return x == 0 && y == 0 ? RGB(255, 0, 255) : RGB(x * 10, y * 3, 100);
    }));
    source.cursors.push_back({L"Hand.cur", 32, {1, 1}});
    return source;
}

const CStyle::PainterType kKinds[] = {CStyle::PushButton, CStyle::CheckButton,
                                      CStyle::RadioButton, CStyle::Edit};

// One round of every operation that creates or selects GDI objects.
void Exercise(CStyle& style, HDC dc, int round)
{
    const RECT rect = {2, 2, 60 + round % 7, 30 + round % 5};
    const RECT clip = {0, 0, 100, 100};
    for (CStyle::PainterType kind : kKinds) {
        CPainter* painter = style.GetPainter(kind);
        painter->DrawBackground(dc, round % 5, rect, clip);
        painter->DrawNonTransparentBackGround(dc, round % 3, rect, clip);
        painter->DrawForeground(dc, rect, clip, round % 4, L"Soak text that wraps", -1);
        painter->CalcSize(dc, SIZE{40, -1}, L"Soak text that wraps", -1);
        painter->GetMaxHeight(dc);
        painter->EnableCustomFormat(dc, true);
        painter->EnableCustomFormat(dc, false);
        HRGN region = nullptr;
        if (painter->GetTransparentRgn(region))
            DeleteObject(region);
    }
}

}  // namespace

TEST(Soak, PaintersAndPackReloadsLeakNoHandles)
{
    SLoadedStyle s(SoakSource());
    ASSERT_TRUE(s.ok);
    CDibCanvas canvas(100, 100);
    // First use creates the lasting objects: fonts, cursors, kept renderings
    // of the sizes used.
    for (int round = 0; round < 40; ++round)
        Exercise(s.style, canvas.Dc(), round);

    const int gdiBefore = TestCommon::FreeGdiSlots();
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(s.style.Load(s.pack.Path().c_str()));
        Exercise(s.style, canvas.Dc(), round);
    }
    // About 40 GDI objects are made and deleted per round: far more in
    // all than the table holds.
    for (int round = 0; round < 1200; ++round)
        Exercise(s.style, canvas.Dc(), round);
    const int gdiAfter = TestCommon::FreeGdiSlots();

    // Everything still draws: no creation failed on the way.
    canvas.Fill(RGB(255, 255, 255));
    EXPECT_TRUE(s.style.GetPainter(CStyle::RadioButton)
                    ->DrawBackground(canvas.Dc(), 1, RECT{0, 0, 50, 50}, RECT{0, 0, 50, 50}));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), canvas.Pixel(0, 25));
    EXPECT_LT(gdiBefore - gdiAfter, 20) << gdiBefore << " before, " << gdiAfter << " after";
}
