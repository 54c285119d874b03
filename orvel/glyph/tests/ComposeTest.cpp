#include <gtest/gtest.h>

#include <functional>
#include "orvel/base/Failure.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CAutowrapHorizontalCompose;
using Glyph::CAutowrapVerticalCompose;
using Glyph::CHorizontalCompose;
using Glyph::CVerticalCompose;

namespace {

HRESULT FailureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Base::CFailure& failure) {
        return failure.GetCode();
    }
    return S_OK;
}

}  // namespace

TEST(Compose, ListOperationsAndVesselHandDown)
{
    CRecordingVessel vessel, other;
    CVerticalCompose root;
    root.SetVessel(&vessel);
    auto* a = new CBoxGlyph;
    auto* inner = new CCountingCompose;
    auto* deep = new CBoxGlyph;
    inner->AppendGlyph(deep);
    EXPECT_EQ(root.AppendGlyph(a), 0);
    EXPECT_EQ(root.AppendGlyph(inner), 1);
    EXPECT_EQ(deep->GetVessel(), &vessel);
    root.SetVessel(&other);
    EXPECT_EQ(deep->GetVessel(), &other);

    auto* b = new CBoxGlyph;
    root.InsertGlyphAt(0, b);
    EXPECT_EQ(b->GetVessel(), &other);
    // Replaced and removed children come back attached, not destroyed.
    EXPECT_EQ(root.ReplaceGlyphAt(0, new CBoxGlyph), b);
    root.RemoveGlyph(a);
    root.RemoveGlyph(a);
    EXPECT_EQ(root.GetGlyphCount(), 2u);
    EXPECT_EQ(root.GetGlyph(1), inner);
    EXPECT_EQ(root.GetGlyph(2), nullptr);
    EXPECT_EQ(a->GetVessel(), &other);
    delete a;
    delete b;

    EXPECT_EQ(FailureOf([&] { root.RemoveGlyphAt(2); }), E_INVALIDARG);
    EXPECT_EQ(FailureOf([&] { root.ReplaceGlyphAt(2, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(FailureOf([&] { root.InsertGlyphAt(3, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(root.GetGlyphCount(), 2u);
}

TEST(Compose, ClearAllGlyphOwnership)
{
    bool destroyed[3] = {};
    {
        CVerticalCompose owner;
        owner.AppendGlyph(new CBoxGlyph(1, 1, 0, &destroyed[0]));
        owner.AppendGlyph(new CBoxGlyph(1, 1, 0, &destroyed[1]));
        delete owner.ReplaceGlyphAt(1, nullptr);  // a null entry is skipped
    }
    EXPECT_TRUE(destroyed[0]);

    CBoxGlyph member(1, 1, 0, &destroyed[2]);
    CVerticalCompose borrower;
    borrower.m_bAutoDelete = false;
    borrower.AppendGlyph(&member);
    borrower.ClearAllGlyph();
    EXPECT_EQ(borrower.GetGlyphCount(), 0u);
    EXPECT_FALSE(destroyed[2]);
    EXPECT_GE(IndexOf(RegisteredGlyphs(), &member), 0);
}

TEST(Compose, DrawAndHitTestInIndexOrder)
{
    CDibCanvas canvas(60, 40);
    CHorizontalCompose row;
    row.m_bAutoDelete = false;
    CBoxGlyph red(0, 0, RGB(255, 0, 0)), blue(0, 0, RGB(0, 0, 255)), hidden(0, 0, RGB(0, 255, 0));
    for (CBoxGlyph* g : {&red, &blue, &hidden})
        row.AppendGlyph(g);
    row.CGlyph::SetRegion(nullptr, CRect(0, 0, 50, 30));
    red.SetRegion(nullptr, CRect(0, 0, 30, 30));
    blue.SetRegion(nullptr, CRect(20, 0, 40, 30));
    hidden.SetRegion(nullptr, CRect(0, 0, 50, 30));
    hidden.Show(false);

    const RECT clip = {10, 5, 100, 100};
    row.Draw(canvas.Dc(), &clip);
    EXPECT_EQ(canvas.Pixel(5, 10), RGB(255, 255, 255));  // outside the clip
    EXPECT_EQ(canvas.Pixel(15, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(25, 10), RGB(0, 0, 255));     // the later child on top
    EXPECT_EQ(canvas.Pixel(45, 10), RGB(255, 255, 255));
    EXPECT_EQ(hidden.draws, 0);
    EXPECT_EQ(red.lastClip, CRect(10, 5, 50, 30));       // region ∩ clip

    EXPECT_EQ(row.HitTest(CPoint(25, 10)), &red);        // the earlier child wins
    EXPECT_EQ(row.HitTest(CPoint(35, 10)), &blue);
    EXPECT_EQ(row.HitTest(CPoint(45, 10)), nullptr);

    const RECT apart = {55, 0, 60, 40};
    row.Draw(canvas.Dc(), &apart);
    row.Draw(nullptr, nullptr);
    EXPECT_EQ(red.draws, 1);
}

TEST(Compose, ClickReachesEveryCompositionOnce)
{
    CCountingCompose root;
    auto* level1 = new CCountingCompose;
    auto* level2 = new CCountingCompose;
    auto* level3 = new CCountingCompose;
    auto* hidden = new CCountingCompose;
    auto* plain = new CHorizontalCompose;
    root.AppendGlyph(new CBoxGlyph);
    root.AppendGlyph(level1);
    root.AppendGlyph(hidden);
    hidden->Show(false);
    level1->AppendGlyph(plain);
    plain->AppendGlyph(level2);
    level2->AppendGlyph(level3);
    root.OnClickGlyph(root.GetGlyph(0));
    for (CCountingCompose* c : {&root, level1, level2, level3, hidden})
        EXPECT_EQ(c->clicks, 1);
}

TEST(ComposeLayout, ColumnAndRow)
{
    CVerticalCompose column;
    auto* a = new CBoxGlyph(40, 10);
    auto* b = new CBoxGlyph(70, 20);
    auto* c = new CBoxGlyph(55, 30);
    for (CGlyph* g : {a, b, c})
        column.AppendGlyph(g);
    EXPECT_EQ(column.CalcSize(nullptr, 200, 300, false), CSize(70, 64));
    EXPECT_EQ(a->lastCy, 300);
    b->Show(false);
    EXPECT_EQ(column.CalcSize(nullptr, -1, -1, false), CSize(55, 42));

    // Own heights, full width, stacked from the top, running past the bottom.
    delete column.ReplaceGlyphAt(0, new CBoxGlyph(10, 30));
    delete column.ReplaceGlyphAt(2, new CBoxGlyph(10, 30));
    column.SetRegion(nullptr, CRect(0, 0, 100, 50));
    EXPECT_EQ(column.GetGlyph(0)->GetRegion(), CRect(0, 0, 100, 30));
    EXPECT_EQ(column.GetGlyph(2)->GetRegion(), CRect(0, 32, 100, 62));
    auto* placed = static_cast<CBoxGlyph*>(column.GetGlyph(2));
    EXPECT_EQ(placed->lastCx, 100);
    EXPECT_EQ(placed->lastCy, -1);
    EXPECT_TRUE(placed->lastFlag);

    CHorizontalCompose row;
    row.AppendGlyph(new CBoxGlyph(10, 40));
    row.AppendGlyph(new CBoxGlyph(20, 5));
    row.AppendGlyph(new CBoxGlyph(30, 15));
    EXPECT_EQ(row.CalcSize(nullptr, -1, -1, false), CSize(64, 40));
    row.GetGlyph(1)->Show(false);
    row.SetRegion(nullptr, CRect(5, 5, 45, 25));
    EXPECT_EQ(row.GetGlyph(0)->GetRegion(), CRect(5, 5, 15, 25));
    EXPECT_EQ(row.GetGlyph(2)->GetRegion(), CRect(17, 5, 47, 25));

    CCountingCompose margined;  // a column with margins (1, 2, 3, 4)
    margined.SetMargins(CRect(1, 2, 3, 4));
    EXPECT_EQ(margined.CalcSize(nullptr, -1, -1, true), CSize(0, 6));
    margined.AppendGlyph(new CBoxGlyph(20, 10));
    EXPECT_EQ(margined.CalcSize(nullptr, -1, -1, true), CSize(20, 16));
    margined.SetRegion(nullptr, CRect(0, 0, 50, 50));
    EXPECT_EQ(margined.GetGlyph(0)->GetRegion(), CRect(1, 2, 47, 12));
}

TEST(ComposeLayout, WrappingRow)
{
    CAutowrapHorizontalCompose wrap;
    auto* a = new CBoxGlyph(50, 10);
    auto* b = new CBoxGlyph(34, 12);
    auto* c = new CBoxGlyph(30, 16);
    for (CGlyph* g : {a, b, c})
        wrap.AppendGlyph(g);
    // 58 + 34 + 8 is not below 100: b opens a row; 42 + 30 + 8 = 80 joins it.
    EXPECT_EQ(wrap.CalcSize(nullptr, 100, 7, false), CSize(100, 10 + 8 + 16));
    EXPECT_EQ(b->lastCy, -1);
    wrap.SetRegion(nullptr, CRect(5, 5, 105, 60));
    EXPECT_EQ(a->GetRegion(), CRect(5, 5, 55, 15));
    EXPECT_EQ(b->GetRegion(), CRect(5, 23, 39, 35));
    EXPECT_EQ(c->GetRegion(), CRect(47, 23, 77, 39));

    // Hidden children count; with no width every child after the first
    // opens a row; a child wider than the width is cut at the right edge.
    b->Show(false);
    EXPECT_EQ(wrap.CalcSize(nullptr, 100, -1, false), CSize(100, 34));
    EXPECT_EQ(wrap.CalcSize(nullptr, 0, -1, false), CSize(0, 54));
    EXPECT_EQ(wrap.CalcSize(nullptr, -1, -1, false), CSize(-1, 54));
    wrap.SetRegion(nullptr, CRect(0, 0, 40, 100));
    EXPECT_EQ(a->GetRegion(), CRect(0, 0, 40, 10));
    EXPECT_EQ(b->GetRegion(), CRect(0, 18, 34, 30));
    EXPECT_EQ(c->GetRegion(), CRect(0, 38, 30, 54));

    CAutowrapVerticalCompose column;
    column.AppendGlyph(new CBoxGlyph(10, 10));
    EXPECT_EQ(column.CalcSize(nullptr, 33, -1, true), CSize(33, -1));
    column.SetRegion(nullptr, CRect(0, 0, 10, 10));
    EXPECT_EQ(column.GetRegion(), CRect(-1, -1, -1, -1));
}
