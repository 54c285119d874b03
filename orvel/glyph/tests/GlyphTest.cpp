#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include "orvel/base/Failure.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CGlyphManager;
using Glyph::POSITION;

namespace {

// Runs a function on a new thread; Wait tells whether it ended in time.
class CThread {
public:
    explicit CThread(std::function<void()> body) : m_body(std::move(body))
    {
        m_handle = CreateThread(nullptr, 0, &CThread::Entry, this, 0, nullptr);
    }
    ~CThread()
    {
        if (m_handle) {
            WaitForSingleObject(m_handle, INFINITE);
            CloseHandle(m_handle);
        }
    }
    bool Wait(DWORD ms) { return WaitForSingleObject(m_handle, ms) == WAIT_OBJECT_0; }

private:
    static DWORD WINAPI Entry(void* self)
    {
        try {
            static_cast<CThread*>(self)->m_body();
        } catch (...) {
        }
        return 0;
    }
    std::function<void()> m_body;
    HANDLE m_handle = nullptr;
};

// Ample for a thread that is not blocked; a blocked one never ends.
constexpr DWORD kEnds = 10000;
// How long a thread that should be blocked is given to prove otherwise.
constexpr DWORD kStaysBlocked = 200;

}  // namespace

TEST(GlyphBase, NewGlyphAndHitTestEdges)
{
    CBoxGlyph glyph;
    EXPECT_EQ(glyph.GetRegion(), CRect(-1, -1, -1, -1));
    EXPECT_TRUE(glyph.IsVisible());
    EXPECT_EQ(glyph.GetVessel(), nullptr);
    for (CPoint pt : {CPoint(-1, -1), CPoint(0, 0), CPoint(-2, -2)})
        EXPECT_EQ(glyph.HitTest(pt), nullptr);

    glyph.SetRegion(nullptr, CRect(10, 20, 30, 40));
    EXPECT_EQ(glyph.HitTest(CPoint(10, 20)), &glyph);
    EXPECT_EQ(glyph.HitTest(CPoint(29, 39)), &glyph);
    EXPECT_EQ(glyph.HitTest(CPoint(30, 25)), nullptr);
    EXPECT_EQ(glyph.HitTest(CPoint(15, 40)), nullptr);
    // Visibility is the parent's business: a hidden leaf still answers.
    glyph.Show(false);
    EXPECT_EQ(glyph.HitTest(CPoint(15, 25)), &glyph);
}

TEST(GlyphBase, RepaintRequestsGoThroughTheVessel)
{
    CBoxGlyph glyph;
    const CRect region(5, 6, 50, 60);
    glyph.SetRegion(nullptr, region);

    // No vessel: every request is dropped.
    glyph.Show(false);
    glyph.Show(true);
    glyph.Redraw();
    glyph.Invalidate();
    glyph.AdjustVesselLayout();
    glyph.SetCursor(LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(glyph.GetVesselDC(), nullptr);
    glyph.ReleaseVesselDC(nullptr);

    CRecordingVessel vessel;
    glyph.SetVessel(&vessel);
    glyph.Show(true);  // unchanged: nothing
    EXPECT_TRUE(vessel.requests.empty());
    glyph.Show(false);
    glyph.Show(true);
    glyph.Invalidate();
    EXPECT_EQ(vessel.requests, (std::vector<SRequest>{{SRequest::Redraw, region},
                                                      {SRequest::Redraw, region},
                                                      {SRequest::Invalidate, region}}));

    vessel.requests.clear();
    HICON arrow = LoadCursor(nullptr, IDC_ARROW);
    glyph.SetCursor(arrow);
    HDC dc = glyph.GetVesselDC();
    glyph.ReleaseVesselDC(dc);
    glyph.AdjustVesselLayout();
    EXPECT_EQ(vessel.lastCursor, arrow);
    EXPECT_EQ(dc, reinterpret_cast<HDC>(0x1234));
    ASSERT_EQ(vessel.requests.size(), 4u);
    EXPECT_EQ(vessel.requests[0].kind, SRequest::Cursor);
    EXPECT_EQ(vessel.requests[1].kind, SRequest::GetDC);
    EXPECT_EQ(vessel.requests[2].kind, SRequest::ReleaseDC);
    EXPECT_EQ(vessel.requests[3].kind, SRequest::Adjust);
}

TEST(GlyphBase, DrawRegion)
{
    CBoxGlyph glyph;
    glyph.SetRegion(nullptr, CRect(10, 10, 20, 20));
    CRect out;
    EXPECT_TRUE(glyph.GetDrawRegion(out, nullptr));
    EXPECT_EQ(out, CRect(10, 10, 20, 20));
    const RECT apart = {30, 30, 40, 40};
    EXPECT_FALSE(glyph.GetDrawRegion(out, &apart));
    const RECT touching = {20, 10, 30, 20};  // shares only the exclusive edge
    EXPECT_FALSE(glyph.GetDrawRegion(out, &touching));
    const RECT overlap = {15, 0, 40, 12};
    EXPECT_TRUE(glyph.GetDrawRegion(out, &overlap));
    EXPECT_EQ(out, CRect(15, 10, 20, 12));
}

TEST(GlyphManager, WalksLiveGlyphsInConstructionOrder)
{
    auto a = std::make_unique<CBoxGlyph>();
    auto b = std::make_unique<CBoxGlyph>();
    auto c = std::make_unique<CBoxGlyph>();
    CBoxGlyph* removed = b.get();
    b.reset();
    auto d = std::make_unique<CBoxGlyph>();
    {
        // A copy is not registered, and destroying it leaves the list alone.
        CBoxGlyph copy(*a);
        EXPECT_EQ(copy.GetRegion(), a->GetRegion());
        const auto glyphs = RegisteredGlyphs();
        EXPECT_EQ(IndexOf(glyphs, &copy), -1);
    }
    const auto glyphs = RegisteredGlyphs();
    const int ia = IndexOf(glyphs, a.get());
    const int ic = IndexOf(glyphs, c.get());
    const int id = IndexOf(glyphs, d.get());
    ASSERT_GE(ia, 0);
    EXPECT_LT(ia, ic);
    EXPECT_LT(ic, id);
    if (removed != d.get()) {  // the allocator may reuse b's address for d
        EXPECT_EQ(IndexOf(glyphs, removed), -1);
    }
    for (CGlyph* g : {static_cast<CGlyph*>(a.get()), static_cast<CGlyph*>(c.get()),
                      static_cast<CGlyph*>(d.get())})
        EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), g), 1);
}

TEST(GlyphManager, NullPositionFails)
{
    POSITION pos = nullptr;
    try {
        CGlyphManager::GetInstance().GetNextGlyph(pos);
        FAIL() << "no failure raised";
    } catch (const Base::CFailure& failure) {
        EXPECT_EQ(failure.GetCode(), E_FAIL);
    }
}

TEST(GlyphManager, RegistrationWaitsForTheWalk)
{
    CGlyphManager& manager = CGlyphManager::GetInstance();
    CBoxGlyph existing, another;  // the walk must not end with the first glyph
    std::unique_ptr<CBoxGlyph> late;
    POSITION pos = manager.GetFirstGlyphPosition();
    ASSERT_NE(pos, nullptr);
    std::vector<CGlyph*> visited;
    visited.push_back(manager.GetNextGlyph(pos));

    CThread thread([&] { late = std::make_unique<CBoxGlyph>(); });
    EXPECT_FALSE(thread.Wait(kStaysBlocked));
    while (pos)
        visited.push_back(manager.GetNextGlyph(pos));
    ASSERT_TRUE(thread.Wait(kEnds));
    ASSERT_TRUE(late);
    EXPECT_EQ(IndexOf(visited, late.get()), -1);
    EXPECT_GE(IndexOf(visited, &existing), 0);

    // Unregistering from another thread is held up the same way.
    CThread remover([&] { late.reset(); });
    ASSERT_TRUE(remover.Wait(kEnds));
}

TEST(GlyphManager, EmptyWalkLeavesNoLock)
{
    CGlyphManager& manager = CGlyphManager::GetInstance();
    // Every earlier test has destroyed its glyphs.
    ASSERT_EQ(manager.GetFirstGlyphPosition(), nullptr);
    std::unique_ptr<CBoxGlyph> glyph;
    CThread thread([&] { glyph = std::make_unique<CBoxGlyph>(); });
    EXPECT_TRUE(thread.Wait(kEnds));
    EXPECT_TRUE(glyph);
}

TEST(GlyphManager, InterruptedWalkReleasesTheLock)
{
    CGlyphManager& manager = CGlyphManager::GetInstance();
    CBoxGlyph first, second;
    int seen = 0;
    EXPECT_THROW(manager.ForEachGlyph([&](CGlyph*) {
        ++seen;
        throw std::runtime_error("walker failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(seen, 1);
    {
        Glyph::CGlyphWalk walk;  // left after one glyph
        EXPECT_NE(walk.Next(), nullptr);
    }
    std::unique_ptr<CBoxGlyph> glyph;
    CThread thread([&] { glyph = std::make_unique<CBoxGlyph>(); });
    EXPECT_TRUE(thread.Wait(kEnds));
    EXPECT_TRUE(glyph);
}
