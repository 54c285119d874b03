#include <gtest/gtest.h>

#include <climits>
#include "ScrollBarTestPack.h"
#include "orvel/windows/ScrollBar.h"
#include "tests/common/TestCommon.h"

using namespace Windows::ScrollBarImpl;
using Glyph::CRect;

namespace {

SCROLLINFO Info(int minimum, int maximum, UINT page, int pos)
{
    SCROLLINFO info = MakeScrollInfo(SIF_RANGE | SIF_PAGE | SIF_POS);
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page;
    info.nPos = pos;
    return info;
}

// A bar laid out over rect with the given scroll information.
template <class TBar>
void Place(TBar& bar, const RECT& rect, const SCROLLINFO& info)
{
    bar.SetScrollInfo(info, FALSE);
    bar.SetRegion(nullptr, CRect(rect));
}

}  // namespace

TEST(ScrollBarGlyph, ThumbGeometryOfAHorizontalBar)
{
    CHorzScrollBarGlyph bar;
    Place(bar, CRect(0, 0, 200, 17), Info(0, 100, 10, 0));
    EXPECT_EQ(166, bar.get_m_nScrollLen());
    EXPECT_EQ(16, bar.get_m_nThumbLength());
    EXPECT_EQ(17, bar.GetArrowSize());
    EXPECT_EQ(91, bar.GetMaxPos());
    int offset = -1;
    int length = -1;
    bar.CalcThumbPosition(offset, length);
    EXPECT_EQ(0, offset);

    // The last full page puts the thumb at the end of the free room (150).
    bar.SetScrollInfo(Info(0, 100, 10, 91), FALSE);
    bar.CalcThumbPosition(offset, length);
    EXPECT_EQ(150, offset);
    EXPECT_EQ(17 + 150, bar.get_m_nThumbPosition());
    EXPECT_EQ(CRect(0, 0, 17, 17), bar.GetPart(PartFirstArrow)->GetRegion());
    EXPECT_EQ(CRect(17, 0, 167, 17), bar.GetPart(PartLowerTrack)->GetRegion());
    EXPECT_EQ(CRect(167, 0, 183, 17), bar.GetPart(PartThumb)->GetRegion());
    EXPECT_EQ(CRect(183, 0, 183, 17), bar.GetPart(PartUpperTrack)->GetRegion());
    EXPECT_EQ(CRect(183, 0, 200, 17), bar.GetPart(PartLastArrow)->GetRegion());

    // Back from thumb offsets (from the bar's start edge), clamped to the room.
    EXPECT_EQ(91, bar.CalcPosBaseOnThumbPos(167));
    EXPECT_EQ(0, bar.CalcPosBaseOnThumbPos(17));
    EXPECT_EQ(0, bar.CalcPosBaseOnThumbPos(-50));
    EXPECT_EQ(91, bar.CalcPosBaseOnThumbPos(1000));
    EXPECT_EQ(46, bar.CalcPosBaseOnThumbPos(17 + 75));

    // A long range gives a computed length of 1, raised to 10.
    bar.SetScrollInfo(Info(0, 2000, 10, 0), FALSE);
    EXPECT_EQ(10, bar.get_m_nThumbLength());

    // Page 0: as long as a vertical bar is wide, and positions reach the maximum.
    bar.SetScrollInfo(Info(0, 100, 0, 0), FALSE);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), bar.get_m_nThumbLength());
    EXPECT_EQ(100, bar.CalcPosBaseOnThumbPos(1000));
}

TEST(ScrollBarGlyph, VerticalBarHidesEmptyTracksAndHasATallerDownArrow)
{
    CVertScrollBarGlyph bar;
    Place(bar, CRect(0, 0, 17, 200), Info(0, 100, 10, 0));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), CVertScrollBarGlyph().CalcSize(nullptr, 0, 0, false).cx);
    EXPECT_FALSE(bar.GetPart(PartLowerTrack)->IsVisible());
    EXPECT_TRUE(bar.GetPart(PartUpperTrack)->IsVisible());
    EXPECT_EQ(CRect(0, 0, 17, 17), bar.GetPart(PartFirstArrow)->GetRegion());
    EXPECT_EQ(CRect(0, 17, 17, 33), bar.GetPart(PartThumb)->GetRegion());
    EXPECT_EQ(CRect(0, 33, 17, 182), bar.GetPart(PartUpperTrack)->GetRegion());
    EXPECT_EQ(CRect(0, 182, 17, 200), bar.GetPart(PartLastArrow)->GetRegion());

    bar.SetPos(91, FALSE);
    EXPECT_TRUE(bar.GetPart(PartLowerTrack)->IsVisible());
    EXPECT_FALSE(bar.GetPart(PartUpperTrack)->IsVisible());
    EXPECT_EQ(CRect(0, 167, 17, 183), bar.GetPart(PartThumb)->GetRegion());
    EXPECT_EQ(PartThumb, bar.GetGlyphPartCode(bar.HitTest(Glyph::CPoint(8, 170))));
    EXPECT_EQ(PartLowerTrack, bar.GetGlyphPartCode(bar.HitTest(Glyph::CPoint(8, 100))));
    EXPECT_EQ(PartLastArrow, bar.GetGlyphPartCode(bar.HitTest(Glyph::CPoint(8, 199))));
    EXPECT_EQ(PartNone, bar.GetGlyphPartCode(bar.HitTest(Glyph::CPoint(30, 100))));
    EXPECT_EQ(PartNone, bar.GetGlyphPartCode(&bar));
}

TEST(ScrollBarGlyph, PositionsRangesAndVisibility)
{
    CHorzScrollBarGlyph bar;
    Place(bar, CRect(0, 0, 200, 17), Info(0, 100, 10, 0));
    EXPECT_TRUE(bar.IsVisible());

    EXPECT_EQ(100, bar.SetPos(500, FALSE));  // the maximum, not the last page
    EXPECT_EQ(100, bar.GetPos());
    EXPECT_EQ(0, bar.SetPos(-3, FALSE));
    EXPECT_EQ(7, bar.SetPos(7, FALSE));
    EXPECT_EQ(7, bar.SetPos(7, FALSE));

    EXPECT_FALSE(bar.SetRange(0, 100, FALSE));
    EXPECT_TRUE(bar.SetRange(0, 9, FALSE));  // a page covers the range
    EXPECT_FALSE(bar.ShouldScrollBarShow());
    EXPECT_FALSE(bar.IsVisible());
    int minimum = -1;
    int maximum = -1;
    EXPECT_TRUE(bar.GetRange(minimum, maximum));
    EXPECT_EQ(0, minimum);
    EXPECT_EQ(9, maximum);

    bar.SetScrollInfo(Info(0, 10, 10, 0), FALSE);
    EXPECT_TRUE(bar.IsVisible());

    // Only what the mask names is read and written; the track position
    // is kept but moves nothing.
    SCROLLINFO track = MakeScrollInfo(SIF_TRACKPOS);
    track.nTrackPos = 4;
    track.nPos = 99;
    bar.SetScrollInfo(track, FALSE);
    SCROLLINFO out = MakeScrollInfo(SIF_POS | SIF_TRACKPOS);
    out.nMax = -77;
    EXPECT_TRUE(bar.GetScrollInfo(out));
    EXPECT_EQ(0, out.nPos);
    EXPECT_EQ(4, out.nTrackPos);
    EXPECT_EQ(-77, out.nMax);
}

TEST(ScrollBarGlyph, DegenerateBarsAndRangesStayInside)
{
    // Too short for any thumb: no thumb, and every offset maps to the minimum.
    CHorzScrollBarGlyph shortBar;
    Place(shortBar, CRect(0, 0, 40, 17), Info(5, 100, 10, 50));
    EXPECT_EQ(0, shortBar.get_m_nThumbLength());
    EXPECT_EQ(17, shortBar.get_m_nThumbPosition());
    EXPECT_EQ(5, shortBar.CalcPosBaseOnThumbPos(17));

    // The whole int range neither overflows nor leaves the bar.
    CHorzScrollBarGlyph wide;
    Place(wide, CRect(0, 0, 200, 17), Info(INT_MIN, INT_MAX, 1000, INT_MAX));
    EXPECT_EQ(10, wide.get_m_nThumbLength());
    EXPECT_EQ(17 + 156, wide.get_m_nThumbPosition());
    EXPECT_EQ(wide.GetMaxPos(), wide.CalcPosBaseOnThumbPos(1000));
    EXPECT_EQ(INT_MIN, wide.CalcPosBaseOnThumbPos(0));

    // A range upside down and a page bigger than everything.
    CVertScrollBarGlyph odd;
    Place(odd, CRect(0, 0, 17, 100), Info(10, 0, 0xFFFFFFFFu, 3));
    EXPECT_FALSE(odd.IsVisible());
    int offset = -1;
    int length = -1;
    odd.CalcThumbPosition(offset, length);
    EXPECT_GE(offset, 0);
    EXPECT_LE(offset + length, odd.get_m_nScrollLen());
}

TEST(ScrollBarGlyph, StatesReachEveryPartAndThePixels)
{
    TestSupport::CCurrentPack pack(ScrollBarTest::ScrollBarPack());
    ASSERT_TRUE(pack.Ok());
    CHorzScrollBarGlyph bar;
    Place(bar, CRect(0, 0, 200, 17), Info(0, 100, 10, 45));
    TestCommon::CDibCanvas canvas(200, 17);
    canvas.Fill(RGB(255, 255, 255));
    bar.Draw(canvas.Dc(), nullptr);
    const RECT thumb = bar.GetPart(PartThumb)->GetRegion();
    EXPECT_EQ(ScrollBarTest::ArrowColor(8), canvas.Pixel(5, 8));    // left arrow, normal
    EXPECT_EQ(ScrollBarTest::ArrowColor(12), canvas.Pixel(195, 8));  // right arrow, normal
    EXPECT_EQ(ScrollBarTest::LowerTrackColor(0), canvas.Pixel(20, 8));
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), canvas.Pixel(thumb.left + 2, 8));
    EXPECT_EQ(ScrollBarTest::UpperTrackColor(0), canvas.Pixel(thumb.right + 2, 8));

    bar.SetState(2, false);
    EXPECT_EQ(10, static_cast<CArrowGlyph*>(bar.GetPart(PartFirstArrow))->GetState());
    EXPECT_EQ(14, bar.GetPart(PartLastArrow)->GetState());
    auto* thumbGlyph = static_cast<CThumbGlyph<false>*>(bar.GetPart(PartThumb));
    EXPECT_EQ(2, thumbGlyph->GetGripper().GetState());
    bar.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(ScrollBarTest::ArrowColor(10), canvas.Pixel(5, 8));
    EXPECT_EQ(ScrollBarTest::ThumbColor(2), canvas.Pixel(thumb.left + 2, 8));
    EXPECT_EQ(ScrollBarTest::LowerTrackColor(2), canvas.Pixel(20, 8));
}
