#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include "StyleTestUtil.h"
#include "tests/common/TestCommon.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}
inline void PrintTo(const RECT& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

using Style::CPainter;
using Style::CStyle;
using StyleTest::Bitmap;
using StyleTest::SLoadedStyle;
using StyleTest::Source;
using TestCommon::CDibCanvas;

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255), kMagenta = RGB(255, 0, 255);

// Nine-part image of state s: 4-pixel corners, edges and centre each in a
// colour of their own that also tells the state.
COLORREF Corner(int s) { return RGB(200, 10 * s, 0); }
COLORREF Edge(int s) { return RGB(0, 200, 10 * s); }
COLORREF Centre(int s) { return RGB(10 * s, 0, 200); }
COLORREF NinePart(int x, int y)
{
    int s = y / 20;
    y %= 20;
    bool edgeX = x < 4 || x >= 16, edgeY = y < 4 || y >= 16;
    if (edgeX && edgeY)
        return Corner(s);
    return edgeX || edgeY ? Edge(s) : Centre(s);
}

// Bounds of every pixel that is not white.
RECT Ink(const CDibCanvas& canvas)
{
    RECT r = {canvas.Width(), canvas.Height(), -1, -1};
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) != kWhite) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

const RECT kAll = {-10000, -10000, 10000, 10000};

}  // namespace

class ImageBackground : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        auto source = Source(
            L"[Back@PushButton]\r\nType=FillImage\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
            L"SizingType=stretch\r\nSizingMargins=4,4,4,4\r\n"
            L"[Back@CheckButton]\r\nType=BorderImage\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
            L"SizingType=Stretch\r\nSizingMargins=4,4,4,4\r\n"
            L"[Back@RadioButton]\r\nType=FillImage\r\nImageFile=Key.bmp\r\nTransparent=true\r\n"
            L"SizingType=Tile\r\n"
            L"[Back@Edit]\r\nType=FillImage\r\nImageFile=Key.bmp\r\nSizingType=Tile\r\n"
            L"[Back@Static]\r\nType=FillImage\r\nImageFile=None.bmp\r\n");
        source.bitmaps.push_back(Bitmap(L"Button.bmp", 20, 80, NinePart));
        // Magenta left half (the top-left pixel), blue right half.
        source.bitmaps.push_back(Bitmap(L"Key.bmp", 10, 10, [](int x, int) {
            return x < 5 ? kMagenta : kBlue;
        }));
        s_style = new SLoadedStyle(source);
    }
    static void TearDownTestSuite() { delete s_style; }
    CPainter* Get(CStyle::PainterType type) { return s_style->style.GetPainter(type); }

    static SLoadedStyle* s_style;
};
SLoadedStyle* ImageBackground::s_style = nullptr;

TEST_F(ImageBackground, StretchedNinePartsForTheState)
{
    CDibCanvas canvas(120, 70);
    const RECT rect = {10, 10, 110, 60};
    ASSERT_TRUE(Get(CStyle::PushButton)->DrawBackground(canvas.Dc(), 2, rect, kAll));
    EXPECT_EQ(kWhite, canvas.Pixel(9, 9));
    EXPECT_EQ(Corner(2), canvas.Pixel(10, 10));
    EXPECT_EQ(Corner(2), canvas.Pixel(13, 13));
    EXPECT_EQ(Edge(2), canvas.Pixel(14, 10));
    EXPECT_EQ(Edge(2), canvas.Pixel(105, 12));
    EXPECT_EQ(Centre(2), canvas.Pixel(60, 35));
    EXPECT_EQ(Corner(2), canvas.Pixel(106, 56));
    EXPECT_EQ(Corner(2), canvas.Pixel(109, 59));
    EXPECT_EQ(kWhite, canvas.Pixel(110, 60));

    // A state beyond the count draws image 0; a negative one too.
    for (int state : {4, 7, -1}) {
        ASSERT_TRUE(Get(CStyle::PushButton)->DrawBackground(canvas.Dc(), state, rect, kAll));
        EXPECT_EQ(Centre(0), canvas.Pixel(60, 35)) << state;
        EXPECT_EQ(Corner(0), canvas.Pixel(10, 10)) << state;
    }

    // Only the parts meeting the clip rectangle are drawn.
    canvas.Fill(kWhite);
    Get(CStyle::PushButton)->DrawBackground(canvas.Dc(), 1, rect, RECT{0, 0, 12, 12});
    EXPECT_EQ(Corner(1), canvas.Pixel(10, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(60, 35));
    EXPECT_EQ(kWhite, canvas.Pixel(109, 59));
}

TEST_F(ImageBackground, BorderImageLeavesTheCentre)
{
    CDibCanvas canvas(120, 70);
    canvas.Fill(kGreen);
    ASSERT_TRUE(Get(CStyle::CheckButton)->DrawBackground(canvas.Dc(), 3, RECT{10, 10, 110, 60}, kAll));
    EXPECT_EQ(Corner(3), canvas.Pixel(10, 10));
    EXPECT_EQ(Edge(3), canvas.Pixel(60, 58));
    EXPECT_EQ(kGreen, canvas.Pixel(60, 35));
    EXPECT_EQ(kGreen, canvas.Pixel(14, 14));
}

TEST_F(ImageBackground, TransparencyAndItsRegion)
{
    CPainter* keyed = Get(CStyle::RadioButton);
    CDibCanvas canvas(25, 10);
    canvas.Fill(kGreen);
    ASSERT_TRUE(keyed->DrawBackground(canvas.Dc(), 0, RECT{0, 0, 25, 10}, kAll));
    // Tiles from the left: magenta (transparent) then blue, the last one cut.
    EXPECT_EQ(kGreen, canvas.Pixel(0, 0));
    EXPECT_EQ(kBlue, canvas.Pixel(5, 5));
    EXPECT_EQ(kGreen, canvas.Pixel(14, 9));
    EXPECT_EQ(kBlue, canvas.Pixel(19, 0));
    EXPECT_EQ(kGreen, canvas.Pixel(24, 0));

    ASSERT_TRUE(keyed->DrawNonTransparentBackGround(canvas.Dc(), 0, RECT{0, 0, 25, 10}, kAll));
    EXPECT_EQ(kMagenta, canvas.Pixel(0, 0));
    EXPECT_EQ(kMagenta, canvas.Pixel(24, 0));
    // The transparency is back for the next draw.
    canvas.Fill(kGreen);
    keyed->DrawBackground(canvas.Dc(), 0, RECT{0, 0, 25, 10}, kAll);
    EXPECT_EQ(kGreen, canvas.Pixel(0, 0));

    HRGN region = nullptr;
    ASSERT_TRUE(keyed->GetTransparentRgn(region));
    ASSERT_NE(nullptr, region);
    EXPECT_TRUE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 4, 9));
    EXPECT_FALSE(PtInRegion(region, 5, 0));
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(5, box.right);
    EXPECT_EQ(10, box.bottom);
    DeleteObject(region);

    EXPECT_FALSE(Get(CStyle::Edit)->GetTransparentRgn(region));
    EXPECT_EQ(nullptr, region);
    canvas.Fill(kGreen);
    Get(CStyle::Edit)->DrawBackground(canvas.Dc(), 0, RECT{0, 0, 25, 10}, kAll);
    EXPECT_EQ(kMagenta, canvas.Pixel(0, 0));
    // A missing image: no background at all.
    EXPECT_EQ(nullptr, Get(CStyle::Static)->GetBackground());
}

TEST(ColourBackground, FillBorderWidthsAndOutlines)
{
    SLoadedStyle s(Source(
        L"[Back@A]\r\nType=FillColor\r\nStateCount=8\r\nBorderColor=255,0,0\r\n"
        L"FillColor=0,0,255\r\nBorderSize0=0\r\nBorderSize2=2\r\nBorderSize3=3\r\n"
        L"BorderSize4=-1\r\nFillColor5=0,255,0\r\nBorderColor6=1,2\r\nFillColor6=1,2,3,4\r\n"
        L"BorderSize7=2147483647\r\n"
        L"[Back@B]\r\nType=BorderColor\r\nStateCount=5\r\nBorderColor=255,0,0\r\n"
        L"FillColor=0,0,255\r\nBorderSize0=0\r\nBorderSize2=2\r\nBorderSize3=3\r\n"
        L"BorderSize4=-5\r\n"));
    CPainter fill(L"A"), outline(L"B");
    fill.LoadFromStyle(s.style);
    outline.LoadFromStyle(s.style);
    const RECT rect = {10, 10, 110, 60};
    CDibCanvas canvas(120, 70), other(120, 70);

    // Size 0: filled, no outline; the outline-only kind draws nothing.
    ASSERT_TRUE(fill.DrawBackground(canvas.Dc(), 0, rect, kAll));
    EXPECT_EQ(kBlue, canvas.Pixel(10, 10));
    EXPECT_EQ(kBlue, canvas.Pixel(109, 59));
    EXPECT_EQ(kWhite, canvas.Pixel(110, 60));
    EXPECT_EQ(100 * 50, canvas.Count(kBlue, rect));
    ASSERT_TRUE(outline.DrawBackground(other.Dc(), 0, rect, kAll));
    EXPECT_EQ(Ink(other).right, -1);

    // Size 1 (the default) and 3: a border of that width inside the
    // rectangle, the same for both kinds; the fill only for "FillColor".
    for (int state : {1, 3}) {
        int width = state;
        canvas.Fill(kWhite);
        other.Fill(kWhite);
        fill.DrawBackground(canvas.Dc(), state, rect, kAll);
        outline.DrawBackground(other.Dc(), state, rect, kAll);
        EXPECT_EQ(rect, Ink(canvas)) << state;
        for (int i = 0; i < width; ++i) {
            EXPECT_EQ(kRed, canvas.Pixel(10 + i, 35)) << state;
            EXPECT_EQ(kRed, canvas.Pixel(109 - i, 35)) << state;
            EXPECT_EQ(kRed, canvas.Pixel(60, 10 + i)) << state;
            EXPECT_EQ(kRed, canvas.Pixel(60, 59 - i)) << state;
        }
        EXPECT_EQ(kBlue, canvas.Pixel(10 + width, 35)) << state;
        EXPECT_EQ(kBlue, canvas.Pixel(109 - width, 59 - width)) << state;
        EXPECT_EQ((100 - 2 * width) * (50 - 2 * width), canvas.Count(kBlue, rect)) << state;
        for (int y = 0; y < 70; ++y) {
            for (int x = 0; x < 120; ++x) {
                if (canvas.Pixel(x, y) == kRed) {
                    ASSERT_EQ(kRed, other.Pixel(x, y)) << state << ": " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(kWhite, other.Pixel(60, 35)) << state;
    }

    // Size 2 (even): covered by the border at the edges, filled inside.
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 2, rect, kAll);
    EXPECT_EQ(kRed, canvas.Pixel(10, 35));
    EXPECT_EQ(kRed, canvas.Pixel(108, 35));
    EXPECT_EQ(kBlue, canvas.Pixel(60, 35));
    RECT ink = Ink(canvas), inside;
    IntersectRect(&inside, &ink, &rect);
    EXPECT_EQ(ink, inside);

    // Negative sizes draw nothing in either kind.
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 4, rect, kAll);
    outline.DrawBackground(canvas.Dc(), 4, rect, kAll);
    EXPECT_EQ(-1, Ink(canvas).right);

    // Per-state keys fall back to the unnumbered key; missing states use 0.
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 5, rect, kAll);
    EXPECT_EQ(kGreen, canvas.Pixel(60, 35));
    EXPECT_EQ(kRed, canvas.Pixel(10, 10));
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 9, rect, kAll);
    EXPECT_EQ(kBlue, canvas.Pixel(10, 10));
    // Malformed colours count as missing: the system's colours.
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 6, rect, kAll);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), canvas.Pixel(10, 10));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), canvas.Pixel(60, 35));
    // A border wider than half the element covers it and stays inside.
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 7, rect, kAll);
    EXPECT_EQ(100 * 50, canvas.Count(kRed, rect));
    EXPECT_EQ(rect, Ink(canvas));
    canvas.Fill(kWhite);
    fill.DrawBackground(canvas.Dc(), 3, RECT{10, 10, 110, 14}, kAll);
    EXPECT_EQ((RECT{10, 10, 110, 14}), Ink(canvas));

    HRGN region = HRGN(1);
    EXPECT_FALSE(fill.GetTransparentRgn(region));
    EXPECT_EQ(nullptr, region);
    // The device gets its pen, brush and position back.
    POINT position;
    MoveToEx(canvas.Dc(), 3, 4, nullptr);
    HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
    fill.DrawBackground(canvas.Dc(), 3, rect, kAll);
    outline.DrawBackground(canvas.Dc(), 3, rect, kAll);
    GetCurrentPositionEx(canvas.Dc(), &position);
    EXPECT_EQ(3, position.x);
    EXPECT_EQ(4, position.y);
    EXPECT_EQ(pen, GetCurrentObject(canvas.Dc(), OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(canvas.Dc(), OBJ_BRUSH));
}

TEST(ImageForeground, CentredStateImageAndItsSize)
{
    auto source = Source(
        L"[Fore@A]\r\nType=ImageGlyph\r\nImageFile=Icons.bmp\r\nImageCount=2\r\n"
        L"ImageLayout=horizontal\r\n[Fore@B]\r\nType=imageglyph\r\nImageFile=none.bmp\r\n");
    source.bitmaps.push_back(Bitmap(L"Icons.bmp", 16, 6, [](int x, int) {
        return x < 8 ? kRed : kBlue;
    }));
    SLoadedStyle s(source);
    CPainter a(L"A"), b(L"B");
    a.LoadFromStyle(s.style);
    b.LoadFromStyle(s.style);
    CDibCanvas canvas(30, 30);
    ASSERT_TRUE(a.DrawForeground(canvas.Dc(), RECT{0, 0, 30, 30}, kAll, 1, L"ignored", -1));
    EXPECT_EQ((RECT{11, 12, 19, 18}), Ink(canvas));
    EXPECT_EQ(kBlue, canvas.Pixel(11, 12));
    a.DrawForeground(canvas.Dc(), RECT{0, 0, 30, 30}, kAll, 3, std::wstring());
    EXPECT_EQ(kRed, canvas.Pixel(11, 12));
    SIZE size = a.CalcSize(canvas.Dc(), SIZE{1, 1}, L"any text at all", -1);
    EXPECT_EQ(8, size.cx);
    EXPECT_EQ(6, size.cy);
    EXPECT_EQ(6, a.GetMaxHeight(canvas.Dc()));
    // The format switch does nothing for an image.
    COLORREF text = GetTextColor(canvas.Dc());
    a.EnableCustomFormat(canvas.Dc(), true);
    EXPECT_EQ(text, GetTextColor(canvas.Dc()));

    // A missing image keeps the foreground, which then draws nothing.
    ASSERT_NE(nullptr, b.GetForeground());
    canvas.Fill(kWhite);
    EXPECT_FALSE(b.DrawForeground(canvas.Dc(), RECT{0, 0, 30, 30}, kAll, 0, L"", 0));
    EXPECT_EQ(-1, Ink(canvas).right);
}

class TextForeground : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_style = new SLoadedStyle(Source(
            L"[Fonts]\r\n$default$=name:Tahoma, size:10\r\n"
            L"[Fore@A]\r\nType=Text\r\nStateCount=4\r\nFont=$default$\r\n"
            L"TextColor=255,0,0\r\nTextColor1=0,0,255\r\nBackColor=0,255,0\r\n"
            L"BackMode1=opaque\r\nAlign2=CENTER\r\nAlign3=right\r\n"
            L"[Fore@Wrap]\r\nType=Text\r\nStateCount=4\r\nFont=$default$\r\nTextColor=0,0,0\r\n"
            L"AutoWrap=true\r\nVAlign=center\r\nAutoWrap1=false\r\nVAlign2=top\r\n"
            L"VAlign3=bottom\r\nAutoWrap3=false\r\n"
            L"[Fore@Up]\r\nType=Text\r\nStateCount=2\r\nTextColor=0,0,0\r\n"
            L"Font=name:Tahoma, size:10, escapement:900\r\nVAlign1=center\r\nAlign1=center\r\n"
            L"[Fore@Down]\r\nType=Text\r\nStateCount=1\r\nTextColor=0,0,0\r\n"
            L"Font=name:Tahoma, size:10, escapement:-900\r\n"
            L"[Fore@Amp]\r\nType=Text\r\nStateCount=2\r\nTextColor=0,0,0\r\nPrefix1=true\r\n"));
    }
    static void TearDownTestSuite() { delete s_style; }
    static CPainter* Painter(const wchar_t* name)
    {
        auto painter = new CPainter(name);
        painter->LoadFromStyle(s_style->style);
        return painter;
    }

    static SLoadedStyle* s_style;
};
SLoadedStyle* TextForeground::s_style = nullptr;

const wchar_t kLong[] = L"several words that need more than one line here";

TEST_F(TextForeground, ColoursBackgroundAndAlignment)
{
    std::unique_ptr<CPainter> a(Painter(L"A"));
    CDibCanvas canvas(200, 40);
    const RECT rect = {0, 0, 200, 40};
    ASSERT_TRUE(a->DrawForeground(canvas.Dc(), rect, kAll, 0, L"Hello", -1));
    EXPECT_GT(canvas.Count(kRed, rect), 10);
    EXPECT_EQ(0, canvas.Count(kGreen, rect));
    RECT ink = Ink(canvas);
    EXPECT_LT(ink.left, 3);
    EXPECT_LT(ink.top, 5);  // top, single line

    canvas.Fill(kWhite);
    a->DrawForeground(canvas.Dc(), rect, kAll, 1, L"Hello", 5);
    EXPECT_GT(canvas.Count(kBlue, rect), 10);
    EXPECT_GT(canvas.Count(kGreen, rect), 50);  // opaque: the cell is filled

    canvas.Fill(kWhite);
    a->DrawForeground(canvas.Dc(), rect, kAll, 2, L"Hello", -1);
    ink = Ink(canvas);
    EXPECT_NEAR(100, (ink.left + ink.right) / 2, 3);

    canvas.Fill(kWhite);
    a->DrawForeground(canvas.Dc(), rect, kAll, 3, L"Hello", -1);
    EXPECT_GT(Ink(canvas).right, 190);  // right-aligned, less the glyph's side bearing
    EXPECT_GT(Ink(canvas).left, 150);

    // A state beyond the count draws state 0.
    canvas.Fill(kWhite);
    a->DrawForeground(canvas.Dc(), rect, kAll, 9, L"Hello", -1);
    EXPECT_GT(canvas.Count(kRed, rect), 10);
    EXPECT_LT(Ink(canvas).left, 3);
}

TEST_F(TextForeground, WrappingAndVerticalCentring)
{
    std::unique_ptr<CPainter> wrap(Painter(L"Wrap"));
    CDibCanvas canvas(100, 200);
    const RECT rect = {0, 0, 100, 200};
    int line = wrap->GetMaxHeight(canvas.Dc());
    ASSERT_GT(line, 5);

    // Wrapped and centred by measuring first.
    wrap->DrawForeground(canvas.Dc(), rect, kAll, 0, kLong, -1);
    RECT ink = Ink(canvas);
    EXPECT_GT(ink.bottom - ink.top, 2 * line);
    EXPECT_NEAR(ink.top, 200 - ink.bottom, line / 2 + 2);

    // Single line: one line, centred by the system.
    canvas.Fill(kWhite);
    wrap->DrawForeground(canvas.Dc(), rect, kAll, 1, kLong, -1);
    ink = Ink(canvas);
    EXPECT_LE(ink.bottom - ink.top, line);
    EXPECT_NEAR(ink.top, 200 - ink.bottom, line / 2 + 2);

    // Wrapped at the top.
    canvas.Fill(kWhite);
    wrap->DrawForeground(canvas.Dc(), rect, kAll, 2, kLong, -1);
    ink = Ink(canvas);
    EXPECT_LT(ink.top, line / 2);
    EXPECT_GT(ink.bottom - ink.top, 2 * line);

    // Bottom alignment on a single line.
    canvas.Fill(kWhite);
    wrap->DrawForeground(canvas.Dc(), rect, kAll, 3, L"Low", -1);
    EXPECT_GT(Ink(canvas).bottom, 200 - line);

    // Measuring: a negative limit is 32767, so one line.
    SIZE one = wrap->CalcSize(canvas.Dc(), SIZE{-1, -1}, kLong, -1);
    SIZE narrow = wrap->CalcSize(canvas.Dc(), SIZE{100, -1}, std::wstring(kLong));
    EXPECT_EQ(line, one.cy);
    EXPECT_GT(one.cx, 150);
    EXPECT_GE(narrow.cy, 3 * line);
    EXPECT_LE(narrow.cx, 100);
}

TEST_F(TextForeground, RotatedText)
{
    std::unique_ptr<CPainter> up(Painter(L"Up")), down(Painter(L"Down"));
    CDibCanvas canvas(80, 240);
    const RECT rect = {10, 10, 60, 230};
    SIZE size = up->CalcSize(canvas.Dc(), SIZE{-1, -1}, L"Upward text", -1);
    EXPECT_GT(size.cy, size.cx);  // measured across and along the line

    // 900: from the bottom-left, running upward.
    up->DrawForeground(canvas.Dc(), rect, kAll, 0, L"Upward text", -1);
    RECT ink = Ink(canvas);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    EXPECT_GE(ink.left, 10);
    EXPECT_LT(ink.left, 16);
    EXPECT_LE(ink.bottom, 230);
    EXPECT_GT(ink.bottom, 222);

    // Centred both ways.
    canvas.Fill(kWhite);
    up->DrawForeground(canvas.Dc(), rect, kAll, 1, L"Upward text", -1);
    ink = Ink(canvas);
    EXPECT_NEAR(ink.top - 10, 230 - ink.bottom, 6);
    EXPECT_NEAR(ink.left - 10, 60 - ink.right, 6);

    // 2700 (written -900): from the top-right, running downward.
    canvas.Fill(kWhite);
    ASSERT_EQ(2700, dynamic_cast<Style::CTextForegrounPainter*>(down->GetForeground())
                        ->GetStates()[0].rotation);
    down->DrawForeground(canvas.Dc(), rect, kAll, 0, L"Downward", -1);
    ink = Ink(canvas);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    EXPECT_LE(ink.right, 60);
    EXPECT_GT(ink.right, 54);
    EXPECT_GE(ink.top, 10);
    EXPECT_LT(ink.top, 18);
}

TEST_F(TextForeground, DeviceIsRestoredAndCustomFormat)
{
    std::unique_ptr<CPainter> a(Painter(L"A")), amp(Painter(L"Amp"));
    CDibCanvas canvas(200, 40);
    HDC dc = canvas.Dc();
    HFONT own = CreateFontW(-20, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, L"Courier New");
    HGDIOBJ before = SelectObject(dc, own);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);
    auto unchanged = [&](const char* what) {
        EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc)) << what;
        EXPECT_EQ(RGB(4, 5, 6), GetBkColor(dc)) << what;
        EXPECT_EQ(OPAQUE, GetBkMode(dc)) << what;
        EXPECT_EQ(own, GetCurrentObject(dc, OBJ_FONT)) << what;
    };
    a->DrawForeground(dc, RECT{0, 0, 200, 40}, kAll, 1, L"x", -1);
    unchanged("draw");
    a->CalcSize(dc, SIZE{-1, -1}, L"x", -1);
    unchanged("measure");
    a->GetMaxHeight(dc);
    unchanged("height");
    std::unique_ptr<CPainter> up(Painter(L"Up"));
    up->DrawForeground(dc, RECT{0, 0, 200, 40}, kAll, 1, L"x", -1);
    unchanged("rotated");

    a->EnableCustomFormat(dc, true);
    EXPECT_EQ(kRed, GetTextColor(dc));
    EXPECT_EQ(kGreen, GetBkColor(dc));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(s_style->style.GetDefaultFont(), GetCurrentObject(dc, OBJ_FONT));
    // A draw inside the custom format returns to it, and a second enable
    // keeps the device's own values for the final restore.
    a->DrawForeground(dc, RECT{0, 0, 200, 40}, kAll, 1, L"x", -1);
    EXPECT_EQ(kRed, GetTextColor(dc));
    a->EnableCustomFormat(dc, true);
    a->EnableCustomFormat(dc, false);
    unchanged("custom format");
    a->EnableCustomFormat(dc, false);
    unchanged("second restore");

    // The device's font is used when the state names none; "&" is literal
    // unless Prefix is true.
    SIZE literal = amp->CalcSize(dc, SIZE{-1, -1}, L"&&&&", -1);
    SIZE TextSize;
    GetTextExtentPoint32W(dc, L"&&&&", 4, &TextSize);
    EXPECT_EQ(TextSize.cx, literal.cx);
    canvas.Fill(kWhite);
    amp->DrawForeground(dc, RECT{0, 0, 200, 40}, kAll, 1, L"&&&&", -1);
    RECT prefixed = Ink(canvas);
    EXPECT_LT(prefixed.right - prefixed.left, TextSize.cx * 3 / 4);
    unchanged("prefix");

    SelectObject(dc, before);
    DeleteObject(own);
}
