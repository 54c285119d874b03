// Malformed packs: odd counts, missing or too small bitmaps, huge margins
// and sizes, malformed values and degenerate rectangles. Nothing may crash,
// divide by zero or throw; what is drawn stays inside the destination.
#include <gtest/gtest.h>

#include "StyleTestUtil.h"
#include "tests/common/TestCommon.h"

using Style::CPainter;
using Style::CStyle;
using StyleTest::Bitmap;
using StyleTest::SLoadedStyle;
using StyleTest::Source;
using TestCommon::CDibCanvas;

TEST(BadInput, MalformedKeysNeverCrash)
{
    auto source = Source(
        L"[Fonts]\r\n$default$=size:-2147483648, weight:99999, escapement:2147483647\r\n"
        L"$=\r\n=size:3\r\n"
        L"[Back@A]\r\nType=FillImage\r\nImageFile=Small.bmp\r\nImageCount=0\r\n"
        L"SizingType=Stretch\r\nSizingMargins=2147483647,2147483647,-2147483648,-2147483648\r\n"
        L"[Back@B]\r\nType=BorderImage\r\nImageFile=Small.bmp\r\nImageCount=-7\r\n"
        L"SizingType=Tile\r\nSizingMargins=-5,-5,-5,-5\r\nImageLayout=horizontal\r\n"
        L"[Back@C]\r\nType=FillImage\r\nImageFile=Small.bmp\r\nImageCount=1000\r\n"
        L"SizingType=Tile\r\nSizingMargins=1,1,1,1\r\nTransparent=true\r\n"
        L"[Fore@C]\r\nType=ImageGlyph\r\nImageFile=Small.bmp\r\nImageCount=2147483647\r\n"
        L"Transparent=true\r\nTransparentColor=a,b,c\r\n"
        L"[Back@D]\r\nType=FillColor\r\nStateCount=2147483647\r\nBorderSize=2147483647\r\n"
        L"BorderSize1=-2147483648\r\nFillColor=x\r\nBorderColor=\r\n"
        L"[Fore@D]\r\nType=Text\r\nStateCount=99999999\r\nTextColor=1,2\r\nFont=$nothing\r\n"
        L"Align=sideways\r\nVAlign=\r\nAutoWrap=maybe\r\nBackMode=opaquish\r\n"
        L"[Back@E]\r\nType=FillImage\r\nImageFile=Missing.bmp\r\n"
        L"[Fore@E]\r\nType=Text\r\nStateCount=-3\r\n"
        L"[Back@F]\r\nType=BorderColor\r\nStateCount=1\r\nBorderSize=1000000\r\n"
        L"[Fore@F]\r\nType=Text\r\nStateCount=1\r\n"
        L"Font=escapement:-2147483648, size:2147483647, name:" +
        std::wstring(300, L'x') +
        L"\r\n"
        L"[G]\r\nMargins=2147483647,2147483647,-2147483648,-2147483648\r\nCursor=$\r\n"
        L"EraseColor=,,\r\nVisible=\r\n[Back@G]\r\nType=\r\n[Fore@G]\r\nType\r\n");
    source.bitmaps.push_back(Bitmap(L"Small.bmp", 3, 2, [](int x, int) {
        return x ? RGB(0, 0, 255) : RGB(255, 0, 255);
    }));
    SLoadedStyle s(source);
    CDibCanvas canvas(64, 64);
    const RECT rects[] = {{8, 8, 56, 56},  {8, 8, 8, 56},        {30, 30, 10, 10},
                          {8, 8, 9, 9},    {-100000, -100000, 100000, 100000},
                          {LONG_MIN / 2, 0, LONG_MAX / 2, 20}};
    const RECT clip = {0, 0, 64, 64};
    for (const wchar_t* name : {L"A", L"B", L"C", L"D", L"E", L"F", L"G"}) {
        CPainter painter(name);
        ASSERT_NO_THROW(painter.LoadFromStyle(s.style)) << name;
        for (const RECT& rect : rects) {
            for (int state : {0, 1, 5, -1, INT_MAX}) {
                painter.DrawBackground(canvas.Dc(), state, rect, clip);
                painter.DrawNonTransparentBackGround(canvas.Dc(), state, rect, clip);
                painter.DrawForeground(canvas.Dc(), rect, clip, state, L"text & more", -1);
                painter.DrawForeground(canvas.Dc(), rect, clip, state, nullptr, -1);
            }
            RECT content = rect;
            painter.GetContentRectByFull(content);
            painter.GetFullRectByContent(content);
        }
        painter.CalcSize(canvas.Dc(), SIZE{-5, 0}, L"text", -1);
        painter.CalcSize(canvas.Dc(), SIZE{INT_MAX, INT_MAX}, nullptr, 3);
        painter.GetMaxHeight(canvas.Dc());
        painter.EnableCustomFormat(canvas.Dc(), true);
        painter.EnableCustomFormat(canvas.Dc(), false);
        HRGN region = nullptr;
        if (painter.GetTransparentRgn(region))
            DeleteObject(region);
    }

    // The counts that cannot cut the strip are one image; a strip smaller
    // than its count has empty images that draw nothing.
    CPainter a(L"A"), c(L"C"), d(L"D"), e(L"E"), g(L"G");
    a.LoadFromStyle(s.style);
    c.LoadFromStyle(s.style);
    d.LoadFromStyle(s.style);
    e.LoadFromStyle(s.style);
    g.LoadFromStyle(s.style);
    auto* back = dynamic_cast<Style::CImageBackgroundPainter<true>*>(a.GetBackground());
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(1u, back->GetImages().GetGlyphCount());
    canvas.Fill(RGB(255, 255, 255));
    c.DrawBackground(canvas.Dc(), 0, RECT{8, 8, 56, 56}, clip);
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(30, 30));
    EXPECT_EQ(0, c.CalcSize(canvas.Dc(), SIZE{-1, -1}, L"", 0).cy);

    // The state count is capped, and malformed colours fall back as listed.
    auto* fill = dynamic_cast<Style::CBorderFillBackgroundPainter<true>*>(d.GetBackground());
    ASSERT_NE(nullptr, fill);
    EXPECT_EQ(size_t(Style::CTextForegrounPainter::kMaxStates), fill->GetStates().size());
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), fill->GetStates()[0].fillColor);
    auto* text = dynamic_cast<Style::CTextForegrounPainter*>(d.GetForeground());
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(Images::kNoColor, text->GetStates()[0].textColor);  // used as read
    EXPECT_EQ(UINT(DT_SINGLELINE | DT_NOPREFIX), text->GetStates()[0].format);
    EXPECT_EQ(TRANSPARENT, text->GetStates()[0].backMode);
    EXPECT_EQ(nullptr, e.GetBackground());
    EXPECT_EQ(nullptr, e.GetForeground());
    EXPECT_FALSE(g.GetVisible());
    EXPECT_EQ(nullptr, g.GetCursor());

    // The default font's escapement is reduced to 0..3599.
    LOGFONTW font = {};
    GetObjectW(s.style.GetDefaultFont(), sizeof font, &font);
    EXPECT_EQ(2147483647, font.lfEscapement);
    CPainter f(L"F");
    f.LoadFromStyle(s.style);
    int rotation = dynamic_cast<Style::CTextForegrounPainter*>(f.GetForeground())
                       ->GetStates()[0].rotation;
    EXPECT_GE(rotation, 0);
    EXPECT_LT(rotation, 3600);
}
