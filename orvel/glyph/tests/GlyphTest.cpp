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

// Constructs a glyph on a new thread; Wait tells whether that has finished.
class CConstructingThread {
public:
    CConstructingThread() { m_handle = CreateThread(nullptr, 0, &Entry, this, 0, nullptr); }
    ~CConstructingThread()
    {
        WaitForSingleObject(m_handle, INFINITE);
        CloseHandle(m_handle);
    }
    bool Wait(DWORD ms) { return WaitForSingleObject(m_handle, ms) == WAIT_OBJECT_0; }
    std::unique_ptr<CBoxGlyph> glyph;

private:
    static DWORD WINAPI Entry(void* self)
    {
        try {
            static_cast<CConstructingThread*>(self)->glyph = std::make_unique<CBoxGlyph>();
        } catch (...) {
        }
        return 0;
    }
    HANDLE m_handle;
};

constexpr DWORD kEnds = 10000;        // ample for a thread that is not blocked
constexpr DWORD kStaysBlocked = 200;  // a blocked thread gets this long to prove otherwise

}  // namespace

TEST(GlyphBase, NewGlyphAndHitTestEdges)
{
    CBoxGlyph glyph;
    EXPECT_EQ(glyph.GetRegion(), CRect(-1, -1, -1, -1));
    EXPECT_TRUE(glyph.IsVisible());
    EXPECT_EQ(glyph.HitTest(CPoint(-1, -1)), nullptr);

    glyph.SetRegion(nullptr, CRect(10, 20, 30, 40));
    EXPECT_EQ(glyph.HitTest(CPoint(10, 20)), &glyph);
    EXPECT_EQ(glyph.HitTest(CPoint(29, 39)), &glyph);
    EXPECT_EQ(glyph.HitTest(CPoint(30, 25)), nullptr);
    EXPECT_EQ(glyph.HitTest(CPoint(15, 40)), nullptr);
    glyph.Show(false);  // visibility is the parent's business
    EXPECT_EQ(glyph.HitTest(CPoint(15, 25)), &glyph);
}

TEST(GlyphBase, RepaintRequests)
{
    CBoxGlyph glyph;
    const CRect region(5, 6, 50, 60);
    glyph.SetRegion(nullptr, region);
    glyph.Show(false);  // no vessel: dropped
    glyph.Invalidate();
    glyph.SetCursor(nullptr);
    EXPECT_EQ(glyph.GetVesselDC(), nullptr);

    CRecordingVessel vessel;
    glyph.SetVessel(&vessel);
    glyph.Show(false);  // unchanged: nothing
    glyph.Show(true);
    glyph.Show(false);
    glyph.Invalidate();
    EXPECT_EQ(vessel.requests, (std::vector<SRequest>{{SRequest::Redraw, region},
                                                      {SRequest::Redraw, region},
                                                      {SRequest::Invalidate, region}}));
}

TEST(GlyphManager, WalksLiveGlyphsInConstructionOrder)
{
    auto a = std::make_unique<CBoxGlyph>();
    auto b = std::make_unique<CBoxGlyph>();
    auto c = std::make_unique<CBoxGlyph>();
    b.reset();
    auto d = std::make_unique<CBoxGlyph>();
    {
        CBoxGlyph copy(*a);  // not registered; its destruction leaves the list alone
        EXPECT_EQ(IndexOf(RegisteredGlyphs(), &copy), -1);
    }
    const auto glyphs = RegisteredGlyphs();
    ASSERT_EQ(glyphs.size(), 3u);  // earlier tests left nothing behind
    EXPECT_EQ(glyphs, (std::vector<CGlyph*>{a.get(), c.get(), d.get()}));

    POSITION pos = nullptr;
    try {
        CGlyphManager::GetInstance().GetNextGlyph(pos);
        ADD_FAILURE() << "a null position was accepted";
    } catch (const Base::CFailure& failure) {
        EXPECT_EQ(failure.GetCode(), E_FAIL);
    }
}

TEST(GlyphManager, RegistrationWaitsForTheWalk)
{
    CGlyphManager& manager = CGlyphManager::GetInstance();
    {
        CBoxGlyph first, second;
        POSITION pos = manager.GetFirstGlyphPosition();
        std::vector<CGlyph*> visited{manager.GetNextGlyph(pos)};
        ASSERT_NE(pos, nullptr);
        CConstructingThread thread;
        EXPECT_FALSE(thread.Wait(kStaysBlocked));
        while (pos)
            visited.push_back(manager.GetNextGlyph(pos));
        ASSERT_TRUE(thread.Wait(kEnds));
        EXPECT_EQ(visited, (std::vector<CGlyph*>{&first, &second}));
    }
    // An empty registry leaves no lock held either.
    ASSERT_EQ(manager.GetFirstGlyphPosition(), nullptr);
    CConstructingThread thread;
    EXPECT_TRUE(thread.Wait(kEnds));
}

TEST(GlyphManager, InterruptedWalkReleasesTheLock)
{
    CGlyphManager& manager = CGlyphManager::GetInstance();
    CBoxGlyph first, second;
    int seen = 0;
    auto failing = [&](CGlyph*) {
        ++seen;
        throw std::runtime_error("walker failed");
    };
    EXPECT_THROW(manager.ForEachGlyph(failing), std::runtime_error);
    EXPECT_EQ(seen, 1);
    {
        Glyph::CGlyphWalk walk;  // given up after one glyph
        EXPECT_EQ(walk.Next(), &first);
    }
    CConstructingThread thread;
    EXPECT_TRUE(thread.Wait(kEnds));
}
