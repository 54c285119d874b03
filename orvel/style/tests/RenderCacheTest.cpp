// Renderings kept in memory: what they show against the fill drawn through
// GDI, the GDI objects and bytes they hold, the budget, and a pack switch.
#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include "StyleTestUtil.h"
#include "orvel/style/ImageArray.h"
#include "orvel/style/RenderCache.h"
#include "tests/common/TestCommon.h"

using Images::CBackgroundImageArray;
using Images::CImageArray;
using Images::CRenderCache;
using TestCommon::CDibCanvas;

namespace {

const COLORREF kKey = RGB(255, 0, 255), kGray = RGB(128, 128, 128);

// Three 13 x 11 images whose pixels all differ, so a wrong pick shows;
// each has keyed pixels in its top-left and bottom-right corners.
COLORREF StripPixel(int x, int y)
{
    const int row = y % 11;
    if ((x < 2 && row < 2) || (x >= 11 && row >= 9))
        return kKey;
    return RGB(x * 19, y * 7, 40 + x * row);
}

std::unique_ptr<CBackgroundImageArray> MakeArray(CBackgroundImageArray::SizingType sizing, COLORREF key)
{
    auto array = std::make_unique<CBackgroundImageArray>();
    array->Attach(TestCommon::MakeBitmap(13, 33, StripPixel), 3, CImageArray::Vertical);
    array->SetSizingType(sizing);
    array->SetSizingMargins(RECT{3, 2, 4, 3});
    array->EnableTransparent(key);
    return array;
}

// The first pixel where the two canvases differ, or (-1, -1).
POINT FirstDifference(const CDibCanvas& a, const CDibCanvas& b)
{
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return {x, y};
        }
    }
    return {-1, -1};
}

}  // namespace

TEST(RenderCache, RenderingsShowWhatTheFillDrawsThroughGdi)
{
    // A device in the advanced graphics mode (with the identity transform)
    // takes no rendering: there the fill draws part by part through GDI.
    CDibCanvas fast(100, 70), gdi(100, 70);
    SetGraphicsMode(gdi.Dc(), GM_ADVANCED);
    const SIZE sizes[] = {{1, 1}, {5, 4}, {7, 5}, {8, 6}, {13, 11}, {14, 12}, {40, 20}, {77, 51}, {96, 66}};
    for (auto sizing : {CBackgroundImageArray::Stretch, CBackgroundImageArray::Tile}) {
        for (COLORREF key : {Images::kNoColor, kKey}) {
            auto array = MakeArray(sizing, key);
            for (SIZE size : sizes) {
                for (UINT state : {0u, 2u, 5u}) {
                    // First draw (rendered afresh), kept, kept under a clip
                    // that meets only the right-hand parts.
                    for (int pass = 0; pass < 3; ++pass) {
                        const RECT destination = {3, 2, 3 + size.cx, 2 + size.cy};
                        const RECT clip = pass < 2 ? RECT{0, 0, 100, 70} : RECT{3 + size.cx - 2, 0, 100, 70};
                        fast.Fill(kGray);
                        gdi.Fill(kGray);
                        array->Draw(fast.Dc(), state, destination, clip, true);
                        array->Draw(gdi.Dc(), state, destination, clip, true);
                        const POINT at = FirstDifference(fast, gdi);
                        ASSERT_EQ(-1, at.x) << "sizing " << sizing << " key " << key << " size " << size.cx
                                            << "x" << size.cy << " state " << state << " pass " << pass
                                            << " at " << at.x << "," << at.y;
                    }
                }
            }
        }
    }
}

TEST(RenderCache, KeptImagesShowWhatTheStripDrawsThroughGdi)
{
    CDibCanvas fast(40, 30), gdi(40, 30);
    SetGraphicsMode(gdi.Dc(), GM_ADVANCED);
    for (COLORREF key : {Images::kNoColor, kKey}) {
        CImageArray array;
        array.Attach(TestCommon::MakeBitmap(13, 33, StripPixel), 3, CImageArray::Vertical);
        array.EnableTransparent(key);
        // Twice each (first kept, then drawn from what was kept), partly
        // off the canvas, an index beyond the count.
        for (POINT at : {POINT{0, 0}, POINT{20, 9}, POINT{-4, -3}, POINT{33, 25}}) {
            for (UINT index : {0u, 2u, 7u}) {
                for (int pass = 0; pass < 2; ++pass) {
                    fast.Fill(kGray);
                    gdi.Fill(kGray);
                    array.DrawImage(fast.Dc(), index, at);
                    array.DrawImage(gdi.Dc(), index, at);
                    const POINT differs = FirstDifference(fast, gdi);
                    ASSERT_EQ(-1, differs.x) << "key " << key << " at " << at.x << "," << at.y << " index "
                                             << index << " pass " << pass;
                }
            }
        }
        fast.Fill(kGray);
        array.DrawImage(fast.Dc(), 0, POINT{0, 0});
        EXPECT_EQ(key == kKey ? kGray : kKey, fast.Pixel(0, 0));
    }
}

TEST(RenderCache, HoldsFewGdiObjectsAndFreesWhatItsArraysKept)
{
    CRenderCache& cache = CRenderCache::GetInstance();
    CDibCanvas canvas(80, 80);
    // The cache's own scratch objects exist after a first keyed draw.
    auto first = MakeArray(CBackgroundImageArray::Stretch, kKey);
    first->Draw(canvas.Dc(), 0, RECT{0, 0, 30, 30}, RECT{0, 0, 80, 80}, true);
    const size_t bytes = cache.GetBytes();
    const int slots = TestCommon::FreeGdiSlots();
    {
        std::vector<std::unique_ptr<CBackgroundImageArray>> arrays;
        for (int i = 0; i < 6; ++i)
            arrays.push_back(MakeArray(i % 2 ? CBackgroundImageArray::Tile : CBackgroundImageArray::Stretch, kKey));
        for (int round = 0; round < 3; ++round) {
            for (auto& array : arrays) {
                for (LONG size = 20; size < 80; size += 3)
                    array->Draw(canvas.Dc(), round, RECT{0, 0, size, size - 5}, RECT{0, 0, 80, 80}, true);
            }
        }
        EXPECT_GT(cache.GetBytes(), bytes);
        // Hundreds of keyed renderings kept, few regions alive.
        EXPECT_LE(slots - TestCommon::FreeGdiSlots(), static_cast<int>(CRenderCache::kLiveRegions));
    }
    EXPECT_EQ(bytes, cache.GetBytes());
    EXPECT_GE(TestCommon::FreeGdiSlots(), slots);
}

TEST(RenderCache, StaysWithinItsBudget)
{
    CRenderCache& cache = CRenderCache::GetInstance();
    const size_t budget = cache.GetBudget();
    cache.SetBudget(64 * 1024);
    cache.ResetPeak();
    auto array = MakeArray(CBackgroundImageArray::Stretch, Images::kNoColor);
    CDibCanvas canvas(120, 90), gdi(120, 90);
    SetGraphicsMode(gdi.Dc(), GM_ADVANCED);
    for (int round = 0; round < 2; ++round) {
        for (LONG size = 30; size < 90; size += 4) {
            const RECT rect = {0, 0, size + 30, size};
            canvas.Fill(kGray);
            gdi.Fill(kGray);
            array->Draw(canvas.Dc(), 1, rect, rect, true);
            array->Draw(gdi.Dc(), 1, rect, rect, true);
            ASSERT_EQ(-1, FirstDifference(canvas, gdi).x) << size;
            ASSERT_LE(cache.GetBytes(), 64u * 1024);
        }
    }
    EXPECT_LE(cache.GetPeakBytes(), 64u * 1024);
    EXPECT_GT(cache.GetEntryCount(), 0u);
    // A picture larger than the whole budget is drawn and not kept.
    CDibCanvas large(200, 120), largeGdi(200, 120);
    SetGraphicsMode(largeGdi.Dc(), GM_ADVANCED);
    const RECT all = {0, 0, 200, 120};
    for (int i = 0; i < 2; ++i)
        array->Draw(large.Dc(), 0, all, all, true);
    array->Draw(largeGdi.Dc(), 0, all, all, true);
    EXPECT_EQ(-1, FirstDifference(large, largeGdi).x);
    EXPECT_LE(cache.GetBytes(), 64u * 1024);
    cache.SetBudget(budget);
}

TEST(RenderCache, APackSwitchDropsTheOldPacksRenderings)
{
    auto pack = [](COLORREF colour) {
        auto source = StyleTest::Source(
            L"[Back@PushButton]\r\nType=FillImage\r\nImageFile=Button.bmp\r\nImageCount=2\r\n"
            L"SizingType=Stretch\r\nSizingMargins=4,4,4,4\r\n");
        source.bitmaps.push_back(StyleTest::Bitmap(L"Button.bmp", 20, 40, [colour](int, int) { return colour; }));
        return source;
    };
    TestSupport::CTestPack red(pack(RGB(200, 0, 0)), L"Red.spk"), blue(pack(RGB(0, 0, 200)), L"Blue.spk");
    ASSERT_TRUE(red.Ok() && blue.Ok());
    CRenderCache& cache = CRenderCache::GetInstance();
    const size_t before = cache.GetBytes();
    Style::CStyle style;
    ASSERT_TRUE(style.Load(red.Path().c_str()));
    CDibCanvas canvas(60, 30);
    const RECT rect = {0, 0, 60, 30};
    for (int i = 0; i < 2; ++i)
        style.GetPainter(Style::CStyle::PushButton)->DrawBackground(canvas.Dc(), 1, rect, rect);
    EXPECT_EQ(RGB(200, 0, 0), canvas.Pixel(30, 15));
    EXPECT_GT(cache.GetBytes(), before);

    ASSERT_TRUE(style.Load(blue.Path().c_str()));
    EXPECT_EQ(before, cache.GetBytes());
    for (int i = 0; i < 2; ++i) {
        canvas.Fill(kGray);
        style.GetPainter(Style::CStyle::PushButton)->DrawBackground(canvas.Dc(), 1, rect, rect);
        EXPECT_EQ(RGB(0, 0, 200), canvas.Pixel(30, 15)) << i;
    }
}
