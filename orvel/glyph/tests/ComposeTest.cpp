#include <gtest/gtest.h>

#include <functional>

#include "orvel/base/Failure.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CAutowrapHorizontalCompose;
using Glyph::CAutowrapVerticalCompose;
using Glyph::CCompose;
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
    EXPECT_EQ(a->GetVessel(), &vessel);
    EXPECT_EQ(deep->GetVessel(), &vessel);

    root.SetVessel(&other);
    EXPECT_EQ(deep->GetVessel(), &other);

    auto* b = new CBoxGlyph;
    root.InsertGlyphAt(0, b);
    root.InsertGlyphAt(root.GetGlyphCount(), new CBoxGlyph);
    ASSERT_EQ(root.GetGlyphCount(), 4u);
    EXPECT_EQ(root.GetGlyph(0), b);
    EXPECT_EQ(root.GetGlyph(1), a);
    EXPECT_EQ(root.GetGlyph(4), nullptr);
    EXPECT_EQ(b->GetVessel(), &other);

    // Removed and replaced children are handed back attached, not destroyed.
    auto* c = new CBoxGlyph;
    CGlyph* old = root.ReplaceGlyphAt(0, c);
    EXPECT_EQ(old, b);
    EXPECT_EQ(root.GetGlyph(0), c);
    root.RemoveGlyph(a);
    root.RemoveGlyph(a);  // absent: nothing
    EXPECT_EQ(root.GetGlyphCount(), 3u);
    EXPECT_EQ(a->GetVessel(), &other);
    delete a;
    delete b;

    const UINT64 count = root.GetGlyphCount();
    EXPECT_EQ(FailureOf([&] { root.RemoveGlyphAt(count); }), E_INVALIDARG);
    EXPECT_EQ(FailureOf([&] { root.ReplaceGlyphAt(count, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(FailureOf([&] { root.InsertGlyphAt(count + 1, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(root.GetGlyphCount(), count);
}

TEST(Compose, ClearAllGlyphOwnership)
{
    bool destroyed[3] = {};
    {
        CVerticalCompose owner;
        owner.AppendGlyph(new CBoxGlyph(1, 1, 0, &destroyed[0]));
        owner.AppendGlyph(new CBoxGlyph(1, 1, 0, &destroyed[1]));
        delete owner.ReplaceGlyphAt(1, nullptr);  // null entries are skipped
        EXPECT_TRUE(destroyed[1]);
    }
    EXPECT_TRUE(destroyed[0]);

    CBoxGlyph member(1, 1, 0, &destroyed[2]);
    CVerticalCompose borrower;
    borrower.m_bAutoDelete = false;
    borrower.AppendGlyph(&member);
    borrower.ClearAllGlyph();
    EXPECT_EQ(borrower.GetGlyphCount(), 0u);
    EXPECT_FALSE(destroyed[2]);
    EXPECT_EQ(IndexOf(RegisteredGlyphs(), &member) >= 0, true);
}

TEST(Compose, DrawAndHitTestInIndexOrder)
{
    CDibCanvas canvas(60, 40);
    CHorizontalCompose row;
    row.m_bAutoDelete = false;
    CBoxGlyph red(0, 0, RGB(255, 0, 0)), blue(0, 0, RGB(0, 0, 255)), hidden(0, 0, RGB(0, 255, 0));
    row.AppendGlyph(&red);
    row.AppendGlyph(&blue);
    row.AppendGlyph(&hidden);
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
    EXPECT_EQ(canvas.Pixel(45, 10), RGB(255, 255, 255)); // hidden child not drawn
    EXPECT_EQ(hidden.draws, 0);
    EXPECT_EQ(red.lastClip, CRect(10, 5, 50, 30));       // region ∩ clip

    EXPECT_EQ(row.HitTest(CPoint(25, 10)), &red);       // the earlier child wins
    EXPECT_EQ(row.HitTest(CPoint(35, 10)), &blue);
    EXPECT_EQ(row.HitTest(CPoint(45, 10)), nullptr);     // in the region, under no visible child

    const RECT apart = {55, 0, 60, 40};
    red.draws = 0;
    row.Draw(canvas.Dc(), &apart);
    row.Draw(nullptr, nullptr);
    EXPECT_EQ(red.draws, 0);
}

TEST(Compose, ClickReachesEveryCompositionOnce)
{
    CCountingCompose root;
    auto* level1 = new CCountingCompose;
    auto* level2 = new CCountingCompose;
    auto* level3 = new CCountingCompose;
    auto* hidden = new CCountingCompose;
    auto* plain = new CHorizontalCompose;  // a library composition in between
    auto* leaf = new CBoxGlyph;
    root.AppendGlyph(leaf);
    root.AppendGlyph(level1);
    root.AppendGlyph(hidden);
    hidden->Show(false);
    level1->AppendGlyph(plain);
    plain->AppendGlyph(level2);
    level2->AppendGlyph(level3);

    root.OnClickGlyph(leaf);
    for (CCountingCompose* c : {&root, level1, level2, level3, hidden}) {
        EXPECT_EQ(c->clicks, 1);
        EXPECT_EQ(c->lastClicked, leaf);
    }
}

TEST(ComposeLayout, Column)
{
    CVerticalCompose column;
    auto* a = new CBoxGlyph(40, 10);
    auto* b = new CBoxGlyph(70, 20);
    auto* c = new CBoxGlyph(55, 30);
    column.AppendGlyph(a);
    column.AppendGlyph(b);
    column.AppendGlyph(c);
    EXPECT_EQ(column.CalcSize(nullptr, 200, 300, false), CSize(70, 64));
    EXPECT_EQ(a->lastCx, 200);
    EXPECT_EQ(a->lastCy, 300);
    EXPECT_FALSE(a->lastFlag);
    b->Show(false);
    EXPECT_EQ(column.CalcSize(nullptr, -1, -1, false), CSize(55, 42));

    // Children keep their own heights, span the width and may run past the bottom.
    a->Show(false);
    b->Show(true);
    c->Show(false);
    column.SetRegion(nullptr, CRect(0, 0, 100, 50));
    EXPECT_EQ(b->GetRegion(), CRect(0, 0, 100, 20));
    EXPECT_EQ(b->lastCx, 100);
    EXPECT_EQ(b->lastCy, -1);
    EXPECT_TRUE(b->lastFlag);
    a->Show(true);
    column.RemoveGlyph(b);
    delete b;
    auto* d = new CBoxGlyph(10, 30);
    column.InsertGlyphAt(1, d);
    delete column.ReplaceGlyphAt(0, new CBoxGlyph(10, 30));  // a
    column.SetRegion(nullptr, CRect(0, 0, 100, 50));
    EXPECT_EQ(column.GetGlyph(0)->GetRegion(), CRect(0, 0, 100, 30));
    EXPECT_EQ(d->GetRegion(), CRect(0, 32, 100, 62));

    CVerticalCompose empty;
    EXPECT_EQ(empty.CalcSize(nullptr, 10, 10, true), CSize(0, 0));
}

TEST(ComposeLayout, ColumnAndRowMargins)
{
    CCountingCompose column;  // a column with margins
    column.SetMargins(CRect(1, 2, 3, 4));
    EXPECT_EQ(column.CalcSize(nullptr, -1, -1, true), CSize(0, 6));
    auto* a = new CBoxGlyph(20, 10);
    column.AppendGlyph(a);
    EXPECT_EQ(column.CalcSize(nullptr, -1, -1, true), CSize(20, 16));
    column.SetRegion(nullptr, CRect(0, 0, 50, 50));
    EXPECT_EQ(a->GetRegion(), CRect(1, 2, 47, 12));
    EXPECT_EQ(column.GetRegion(), CRect(0, 0, 50, 50));
}

TEST(ComposeLayout, Row)
{
    CHorizontalCompose row;
    auto* a = new CBoxGlyph(10, 40);
    auto* b = new CBoxGlyph(20, 5);
    auto* c = new CBoxGlyph(30, 15);
    row.AppendGlyph(a);
    row.AppendGlyph(b);
    row.AppendGlyph(c);
    EXPECT_EQ(row.CalcSize(nullptr, -1, -1, false), CSize(64, 40));
    b->Show(false);
    EXPECT_EQ(row.CalcSize(nullptr, -1, -1, false), CSize(42, 40));

    row.SetRegion(nullptr, CRect(5, 5, 45, 25));
    EXPECT_EQ(a->GetRegion(), CRect(5, 5, 15, 25));
    EXPECT_EQ(c->GetRegion(), CRect(17, 5, 47, 25));  // runs past the right edge
    EXPECT_EQ(c->lastCx, -1);
    EXPECT_EQ(c->lastCy, 20);
}

TEST(ComposeLayout, WrappingRow)
{
    CAutowrapHorizontalCompose wrap;
    auto* a = new CBoxGlyph(50, 10);
    auto* b = new CBoxGlyph(34, 12);
    auto* c = new CBoxGlyph(30, 16);
    wrap.AppendGlyph(a);
    wrap.AppendGlyph(b);
    wrap.AppendGlyph(c);
    // 58 + 34 + 8 is not below 100: b starts a row; 42 + 30 + 8 = 80 joins it.
    EXPECT_EQ(wrap.CalcSize(nullptr, 100, 7, false), CSize(100, 10 + 8 + 16));
    EXPECT_EQ(b->lastCx, 100);
    EXPECT_EQ(b->lastCy, -1);
    EXPECT_TRUE(b->lastFlag);

    wrap.SetRegion(nullptr, CRect(5, 5, 105, 60));
    EXPECT_EQ(a->GetRegion(), CRect(5, 5, 55, 15));
    EXPECT_EQ(b->GetRegion(), CRect(5, 23, 39, 35));
    EXPECT_EQ(c->GetRegion(), CRect(47, 23, 77, 39));

    // Hidden children take their place all the same.
    b->Show(false);
    EXPECT_EQ(wrap.CalcSize(nullptr, 100, -1, false), CSize(100, 34));

    // No width: every child after the first opens a row.
    EXPECT_EQ(wrap.CalcSize(nullptr, 0, -1, false), CSize(0, 10 + 8 + 12 + 8 + 16));
    EXPECT_EQ(wrap.CalcSize(nullptr, -1, -1, false), CSize(-1, 10 + 8 + 12 + 8 + 16));

    // A child wider than the whole width is cut at the right edge.
    wrap.SetRegion(nullptr, CRect(0, 0, 40, 100));
    EXPECT_EQ(a->GetRegion(), CRect(0, 0, 40, 10));
    EXPECT_EQ(b->GetRegion(), CRect(0, 18, 34, 30));
    EXPECT_EQ(c->GetRegion(), CRect(0, 38, 30, 54));

    CAutowrapVerticalCompose column;
    column.AppendGlyph(new CBoxGlyph(10, 10));
    EXPECT_EQ(column.CalcSize(nullptr, 33, -1, true), CSize(33, -1));
    column.SetRegion(nullptr, CRect(0, 0, 10, 10));
    EXPECT_EQ(column.GetRegion(), CRect(-1, -1, -1, -1));
    EXPECT_EQ(column.GetGlyph(0)->GetRegion(), CRect(-1, -1, -1, -1));
}
