#include <gtest/gtest.h>

#include "orvel/style/ImageArray.h"
#include "tests/common/TestCommon.h"

using Images::CBackgroundImageArray;
using Images::CExtendBitmap;
using Images::CImageArray;
using TestCommon::CDibCanvas;
using TestCommon::MakeBitmap;

namespace {

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
const COLORREF kMagenta = RGB(255, 0, 255), kWhite = RGB(255, 255, 255), kGray = RGB(128, 128, 128);
const COLORREF kImageColors[] = {RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0)};

// Corners red, edges green, centre blue for a 4-pixel border.
COLORREF NinePart(int x, int y, int w, int h)
{
    bool edgeX = x < 4 || x >= w - 4, edgeY = y < 4 || y >= h - 4;
    if (edgeX && edgeY)
        return kRed;
    return edgeX || edgeY ? kGreen : kBlue;
}

RECT R(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

}  // namespace

TEST(ImageArray, StripsAreCutByLayout)
{
    CImageArray horizontal;
    horizontal.Attach(MakeBitmap(120, 20, [](int x, int) { return kImageColors[x / 30]; }), 4,
                      CImageArray::Horizontal);
    EXPECT_EQ(30, horizontal.GetGlyphSize().cx);
    EXPECT_EQ(20, horizontal.GetGlyphSize().cy);
    CDibCanvas canvas(40, 40);
    horizontal.DrawImage(canvas.Dc(), 2, POINT{5, 5});
    EXPECT_EQ(kImageColors[2], canvas.Pixel(5, 5));
    EXPECT_EQ(kImageColors[2], canvas.Pixel(34, 24));
    EXPECT_EQ(kWhite, canvas.Pixel(35, 5));
    horizontal.DrawImage(canvas.Dc(), 9, POINT{0, 0});  // beyond the count: image 0
    EXPECT_EQ(kImageColors[0], canvas.Pixel(0, 0));

    CImageArray vertical;
    vertical.Attach(MakeBitmap(20, 90, [](int, int y) { return kImageColors[y / 30]; }), 3,
                    CImageArray::ReadImageLayoutFromStyle(L"vert"));
    EXPECT_EQ(CImageArray::Vertical, vertical.GetLayout());
    EXPECT_EQ(30, vertical.GetGlyphSize().cy);
    vertical.DrawImage(canvas.Dc(), 1, POINT{0, 0});
    EXPECT_EQ(kImageColors[1], canvas.Pixel(0, 0));
    EXPECT_EQ(kImageColors[1], canvas.Pixel(19, 29));
    EXPECT_EQ(CImageArray::Horizontal, CImageArray::ReadImageLayoutFromStyle(L"HoriZontal"));
}

TEST(ImageArray, CountBelowOneIsOneImage)
{
    CImageArray array;
    array.Attach(MakeBitmap(10, 10, [](int, int) { return kRed; }), 0, CImageArray::Vertical);
    EXPECT_EQ(1u, array.GetGlyphCount());
    EXPECT_EQ(10, array.GetGlyphSize().cy);
    array.Attach(MakeBitmap(10, 10, [](int, int) { return kRed; }), -3, CImageArray::Horizontal);
    EXPECT_EQ(10, array.GetGlyphSize().cx);
}

TEST(ImageArray, TransparentColourLeavesTheBackground)
{
    CImageArray array;
    array.Attach(MakeBitmap(10, 10, [](int x, int) { return x < 5 ? kMagenta : kBlue; }), 1,
                 CImageArray::Vertical);
    EXPECT_FALSE(array.IsTransparent());
    EXPECT_EQ(Images::kNoColor, array.AutoEnableTransparent());
    EXPECT_EQ(kMagenta, array.GetTransparentColor());
    CDibCanvas canvas(10, 10);
    canvas.Fill(kGreen);
    array.DrawImage(canvas.Dc(), 0, POINT{0, 0});
    EXPECT_EQ(kGreen, canvas.Pixel(0, 0));
    EXPECT_EQ(kGreen, canvas.Pixel(4, 9));
    EXPECT_EQ(kBlue, canvas.Pixel(5, 0));
    // The device keeps its own colours after the copy.
    EXPECT_EQ(kWhite, GetBkColor(canvas.Dc()));
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(canvas.Dc()));

    EXPECT_EQ(kMagenta, array.EnableTransparent(Images::kNoColor));
    array.DrawImage(canvas.Dc(), 0, POINT{0, 0});
    EXPECT_EQ(kMagenta, canvas.Pixel(0, 0));
}

TEST(ImageArray, CentredDrawTruncatesAndMayStickOut)
{
    CImageArray array;
    array.Attach(MakeBitmap(4, 4, [](int, int) { return kRed; }), 1, CImageArray::Vertical);
    CDibCanvas canvas(20, 20);
    array.DrawCenterImage(canvas.Dc(), 0, R(0, 0, 9, 9));  // (9 - 4) / 2 = 2
    EXPECT_EQ(kRed, canvas.Pixel(2, 2));
    EXPECT_EQ(kWhite, canvas.Pixel(1, 1));
    EXPECT_EQ(kRed, canvas.Pixel(5, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(6, 6));
    canvas.Fill(kWhite);
    array.DrawCenterImage(canvas.Dc(), 0, R(10, 10, 12, 12));  // smaller: starts at 9
    EXPECT_EQ(kRed, canvas.Pixel(9, 9));
    EXPECT_EQ(kRed, canvas.Pixel(12, 12));
}

TEST(ImageArray, GetImageCopiesOneImageWithTheColour)
{
    CImageArray array;
    array.Attach(MakeBitmap(40, 10, [](int x, int) { return kImageColors[x / 10]; }), 4,
                 CImageArray::Horizontal);
    array.EnableTransparent(kImageColors[0]);
    CExtendBitmap image;
    ASSERT_TRUE(array.GetImage(image, 3));
    EXPECT_EQ(10, image.GetSize().cx);
    EXPECT_EQ(kImageColors[0], image.GetTransparentColor());
    CDibCanvas canvas(10, 10);
    image.SetTransparentColor(Images::kNoColor);
    image.Draw(canvas.Dc(), POINT{0, 0}, POINT{0, 0}, SIZE{-1, -1});
    EXPECT_EQ(kImageColors[3], canvas.Pixel(9, 9));

    CImageArray empty;
    EXPECT_FALSE(empty.GetImage(image, 0));
    EXPECT_FALSE(empty.LoadFromFile(1, L"Z:\\no\\such.bmp"));
}

TEST(BackgroundImageArray, PartRectanglesNormaliseAndClip)
{
    RECT m = {4, 4, 4, 4};
    RECT r = {0, 0, 100, 50};
    RECT top = CBackgroundImageArray::GetPartRect(r, m, 4);
    EXPECT_EQ(4, top.left);
    EXPECT_EQ(96, top.right);
    EXPECT_EQ(4, top.bottom);
    RECT centre = CBackgroundImageArray::GetPartRect(r, m, 8);
    EXPECT_EQ(92, centre.right - centre.left);
    EXPECT_EQ(42, centre.bottom - centre.top);
    // Smaller than the margins: parts overlap instead of vanishing.
    RECT small = {0, 0, 6, 6};
    RECT bottomRight = CBackgroundImageArray::GetPartRect(small, m, 3);
    EXPECT_EQ(2, bottomRight.left);
    EXPECT_EQ(6, bottomRight.right);
    RECT mid = CBackgroundImageArray::GetPartRect(small, m, 8);  // 4..2 swapped
    EXPECT_EQ(2, mid.left);
    EXPECT_EQ(4, mid.right);
    // Default margins: every border part is empty, the centre is everything.
    RECT none = {-1, -1, -1, -1};
    for (int p = 0; p < 8; ++p) {
        RECT part = CBackgroundImageArray::GetPartRect(r, none, p);
        EXPECT_TRUE(part.right - part.left <= 0 || part.bottom - part.top <= 0) << p;
    }
    RECT whole = CBackgroundImageArray::GetPartRect(r, none, 8);
    EXPECT_EQ(100, whole.right);
    EXPECT_EQ(0, whole.left);
}

TEST(BackgroundImageArray, NinePartStretchKeepsCornersAndScalesTheRest)
{
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(20, 20, [](int x, int y) { return NinePart(x, y, 20, 20); }), 1,
                 CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::ReadSizingTypeFromStyle(L"stretch"));
    array.SetSizingMargins(RECT{4, 4, 4, 4});
    CDibCanvas canvas(100, 50);
    array.Draw(canvas.Dc(), 0, R(0, 0, 100, 50), R(0, 0, 100, 50), true);
    EXPECT_EQ(16, canvas.Count(kRed, R(0, 0, 4, 4)));
    EXPECT_EQ(16, canvas.Count(kRed, R(96, 46, 100, 50)));
    EXPECT_EQ(92 * 4, canvas.Count(kGreen, R(4, 0, 96, 4)));
    EXPECT_EQ(4 * 42, canvas.Count(kGreen, R(0, 4, 4, 46)));
    EXPECT_EQ(92 * 42, canvas.Count(kBlue, R(4, 4, 96, 46)));
    EXPECT_EQ(100 * 50, canvas.Count(kRed, R(0, 0, 100, 50)) + canvas.Count(kGreen, R(0, 0, 100, 50)) +
                            canvas.Count(kBlue, R(0, 0, 100, 50)));
}

TEST(BackgroundImageArray, BorderImageLeavesTheCentre)
{
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(20, 20, [](int x, int y) { return NinePart(x, y, 20, 20); }), 1,
                 CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Stretch);
    array.SetSizingMargins(RECT{4, 4, 4, 4});
    CDibCanvas canvas(60, 60);
    canvas.Fill(kGray);
    array.Draw(canvas.Dc(), 0, R(0, 0, 60, 60), R(0, 0, 60, 60), false);
    EXPECT_EQ(52 * 52, canvas.Count(kGray, R(4, 4, 56, 56)));
    EXPECT_EQ(kGreen, canvas.Pixel(30, 2));
}

TEST(BackgroundImageArray, OnlyPartsMeetingTheClipAreDrawn)
{
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(20, 20, [](int x, int y) { return NinePart(x, y, 20, 20); }), 1,
                 CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Stretch);
    array.SetSizingMargins(RECT{4, 4, 4, 4});
    CDibCanvas canvas(100, 50);
    canvas.Fill(kGray);
    // The clip touches the top-left corner and the top edge only.
    array.Draw(canvas.Dc(), 0, R(0, 0, 100, 50), R(0, 0, 3, 3), true);
    EXPECT_EQ(kRed, canvas.Pixel(0, 0));
    EXPECT_EQ(kGray, canvas.Pixel(50, 25));
    EXPECT_EQ(kGray, canvas.Pixel(98, 48));
    canvas.Fill(kGray);
    array.Draw(canvas.Dc(), 0, R(0, 0, 100, 50), R(200, 200, 300, 300), true);
    array.Draw(canvas.Dc(), 0, R(0, 0, 0, 50), R(0, 0, 100, 50), true);
    EXPECT_EQ(100 * 50, canvas.Count(kGray, R(0, 0, 100, 50)));
}

TEST(BackgroundImageArray, TilesStartTopLeftAndCutTheLastOne)
{
    CBackgroundImageArray array;
    // A 10x10 tile with a red first column and first row.
    array.Attach(MakeBitmap(10, 10, [](int x, int y) { return x == 0 || y == 0 ? kRed : kBlue; }), 1,
                 CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Tile);
    CDibCanvas canvas(40, 40);
    canvas.Fill(kGray);
    array.Draw(canvas.Dc(), 0, R(0, 0, 25, 25), R(0, 0, 25, 25), true);
    for (int x : {0, 10, 20})
        EXPECT_EQ(kRed, canvas.Pixel(x, 5)) << x;
    EXPECT_EQ(kBlue, canvas.Pixel(24, 24));
    EXPECT_EQ(kGray, canvas.Pixel(25, 5));
    EXPECT_EQ(kGray, canvas.Pixel(5, 25));
}

TEST(BackgroundImageArray, StretchIntoSmallerShowsTheTopLeftUnscaled)
{
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(30, 30, [](int x, int y) { return x < 10 && y < 10 ? kRed : kBlue; }), 1,
                 CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Stretch);
    CDibCanvas canvas(20, 20);
    array.Draw(canvas.Dc(), 0, R(0, 0, 20, 20), R(0, 0, 20, 20), true);
    EXPECT_EQ(100, canvas.Count(kRed, R(0, 0, 20, 20)));
    EXPECT_EQ(kBlue, canvas.Pixel(10, 10));
}

TEST(BackgroundImageArray, StretchAndTileHonourTransparency)
{
    for (auto type : {CBackgroundImageArray::Stretch, CBackgroundImageArray::Tile}) {
        CBackgroundImageArray array;
        array.Attach(MakeBitmap(10, 10, [](int x, int) { return x < 5 ? kMagenta : kBlue; }), 1,
                     CImageArray::Vertical);
        array.SetSizingType(type);
        array.EnableTransparent(kMagenta);
        CDibCanvas canvas(20, 20);
        canvas.Fill(kGreen);
        array.Draw(canvas.Dc(), 0, R(0, 0, 20, 20), R(0, 0, 20, 20), true);
        EXPECT_EQ(0, canvas.Count(kMagenta, R(0, 0, 20, 20))) << type;
        EXPECT_EQ(kGreen, canvas.Pixel(0, 0)) << type;
        EXPECT_EQ(kBlue, canvas.Pixel(19, 19)) << type;
        EXPECT_TRUE(array.IsTransparent());  // switched back on after the draw
    }
}

TEST(BackgroundImageArray, TrueSizeDrawsCentredAndNothingWithoutAType)
{
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(4, 4, [](int, int) { return kRed; }), 1, CImageArray::Vertical);
    CDibCanvas canvas(20, 20);
    array.Draw(canvas.Dc(), 0, R(0, 0, 20, 20), R(0, 0, 20, 20), true);
    EXPECT_EQ(0, canvas.Count(kRed, R(0, 0, 20, 20)));
    array.SetSizingType(CBackgroundImageArray::ReadSizingTypeFromStyle(L"unknown"));
    EXPECT_EQ(CBackgroundImageArray::TrueSize, array.GetSizingType());
    array.Draw(canvas.Dc(), 0, R(0, 0, 20, 20), R(0, 0, 20, 20), true);
    EXPECT_EQ(16, canvas.Count(kRed, R(8, 8, 12, 12)));
    EXPECT_EQ(16, canvas.Count(kRed, R(0, 0, 20, 20)));
}

TEST(BackgroundImageArray, TransparentRegionCoversTheKeyRuns)
{
    CBackgroundImageArray array;
    // Image 0: a magenta frame 1 pixel wide around blue; image 1 all magenta.
    array.Attach(MakeBitmap(10, 20, [](int x, int y) {
                     return y >= 10 || x == 0 || x == 9 || y == 0 || y == 9 ? kMagenta : kBlue;
                 }),
                 2, CImageArray::Vertical);
    HRGN region = nullptr;
    EXPECT_FALSE(array.GetTransparentRgn(region));
    EXPECT_EQ(nullptr, region);
    array.EnableTransparent(kMagenta);
    ASSERT_TRUE(array.GetTransparentRgn(region));
    ASSERT_NE(nullptr, region);
    EXPECT_TRUE(PtInRegion(region, 0, 5));
    EXPECT_TRUE(PtInRegion(region, 9, 9));
    EXPECT_FALSE(PtInRegion(region, 5, 5));
    EXPECT_FALSE(PtInRegion(region, 5, 12));  // image 1 is not part of it
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(10, box.right);
    EXPECT_EQ(10, box.bottom);
    DeleteObject(region);
}

// Repeated stretched draws are copies of a kept rendering; these cases
// would show a stale or misplaced one.
TEST(BackgroundImageArray, KeptRenderingsFollowStateSizeAndSettings)
{
    CBackgroundImageArray array;
    // Four 20x20 states; state s has corners kImageColors[s], blue elsewhere.
    array.Attach(MakeBitmap(20, 80, [](int x, int y) {
                     bool corner = (x < 4 || x >= 16) && (y % 20 < 4 || y % 20 >= 16);
                     return corner ? kImageColors[y / 20] : kBlue;
                 }),
                 4, CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Stretch);
    array.SetSizingMargins(RECT{4, 4, 4, 4});
    CDibCanvas canvas(80, 80);
    // More sizes than are kept, twice round, every state.
    for (int round = 0; round < 2; ++round) {
        for (int size = 30; size < 80; size += 8) {
            for (UINT state = 0; state < 4; ++state) {
                canvas.Fill(kWhite);
                array.Draw(canvas.Dc(), state, R(0, 0, size, size - 10), R(0, 0, 80, 80), true);
                ASSERT_EQ(kImageColors[state], canvas.Pixel(0, 0)) << size << " " << state;
                ASSERT_EQ(kImageColors[state], canvas.Pixel(size - 1, size - 11));
                ASSERT_EQ(kBlue, canvas.Pixel(size / 2, 1));
                ASSERT_EQ(kWhite, canvas.Pixel(size, size - 10));
            }
        }
    }
    // An offset destination and a clip that meets the right-hand parts only.
    canvas.Fill(kWhite);
    array.Draw(canvas.Dc(), 1, R(10, 10, 60, 40), R(57, 0, 80, 80), true);
    EXPECT_EQ(kWhite, canvas.Pixel(10, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(30, 20));
    EXPECT_EQ(kWhite, canvas.Pixel(55, 20));
    EXPECT_EQ(kImageColors[1], canvas.Pixel(59, 39));
    EXPECT_EQ(kImageColors[1], canvas.Pixel(56, 10));
    EXPECT_EQ(kBlue, canvas.Pixel(56, 20));

    // New margins, a new strip: the next draw shows them.
    array.SetSizingMargins(RECT{8, 8, 8, 8});
    canvas.Fill(kWhite);
    array.Draw(canvas.Dc(), 0, R(0, 0, 40, 40), R(0, 0, 80, 80), true);
    EXPECT_EQ(kBlue, canvas.Pixel(4, 0));  // an edge now, stretched blue
    array.Attach(MakeBitmap(20, 20, [](int, int) { return kGreen; }), 1, CImageArray::Vertical);
    array.Draw(canvas.Dc(), 0, R(0, 0, 40, 40), R(0, 0, 80, 80), true);
    EXPECT_EQ(40 * 40, canvas.Count(kGreen, R(0, 0, 40, 40)));
}

TEST(BackgroundImageArray, KeptRenderingsHonourTheCurrentTransparentColour)
{
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(10, 10, [](int x, int) { return x < 5 ? kMagenta : kBlue; }), 1,
                 CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Stretch);
    CDibCanvas canvas(20, 20);
    for (COLORREF key : {kMagenta, kBlue, Images::kNoColor, kMagenta}) {
        array.EnableTransparent(key);
        canvas.Fill(kGreen);
        array.Draw(canvas.Dc(), 0, R(0, 0, 20, 20), R(0, 0, 20, 20), true);
        EXPECT_EQ(key == kMagenta ? kGreen : kMagenta, canvas.Pixel(2, 2)) << key;
        EXPECT_EQ(key == kBlue ? kGreen : kBlue, canvas.Pixel(17, 17)) << key;
        // The device keeps its colours.
        EXPECT_EQ(kWhite, GetBkColor(canvas.Dc()));
        EXPECT_EQ(RGB(0, 0, 0), GetTextColor(canvas.Dc()));
    }
}

TEST(BackgroundImageArray, OverlappingPartsUnderAPartialClipDrawAsParts)
{
    // Red top-left corner, blue bottom-right corner, 8-pixel margins on a
    // 20x20 image drawn into 10x10: the corners overlap. With a clip that
    // meets only the top-left corner, that corner shows whole.
    CBackgroundImageArray array;
    array.Attach(MakeBitmap(20, 20, [](int x, int y) {
                     return x < 10 && y < 10 ? kRed : kBlue;
                 }),
                 1, CImageArray::Vertical);
    array.SetSizingType(CBackgroundImageArray::Stretch);
    array.SetSizingMargins(RECT{8, 8, 8, 8});
    CDibCanvas canvas(20, 20);
    array.Draw(canvas.Dc(), 0, R(0, 0, 10, 10), R(0, 0, 1, 1), true);
    EXPECT_EQ(kRed, canvas.Pixel(5, 5));
    EXPECT_EQ(kRed, canvas.Pixel(7, 7));
    // The whole destination: the later parts cover the earlier ones.
    array.Draw(canvas.Dc(), 0, R(0, 0, 10, 10), R(0, 0, 10, 10), true);
    EXPECT_EQ(kBlue, canvas.Pixel(5, 5));
}
