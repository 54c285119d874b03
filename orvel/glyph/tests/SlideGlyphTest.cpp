#include <gtest/gtest.h>

#include <mutex>
#include <vector>
#include "orvel/glyph/SlideGlyph.h"
#include "TestGlyphs.h"

using namespace GlyphTest;

namespace {

constexpr COLORREF kFrameColours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
// Bounds every wait on the worker, so a fault fails instead of hanging.
constexpr DWORD kPatienceMs = 10000;

// A slide glyph whose frames the test makes: three 10 x 10 images.
class CTestSlide : public Glyph::CSlideGlyph {
public:
    explicit CTestSlide(int frames = 3)
    {
        if (frames > 0)
            m_images.Attach(MakeBitmap(10, 10 * frames,
                                       [](int, int y) { return kFrameColours[y / 10 % 3]; }),
                            frames, Images::CImageArray::Vertical);
    }
    void ShowFrame(UINT frame) { m_nFrame = frame; }
};

// Records, from the worker, which frame each repaint request is for and on
// which thread; signals once it holds enough.
class CFrameVessel : public Glyph::IGlyphVessel {
public:
    CFrameVessel() : m_enough(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~CFrameVessel() { CloseHandle(m_enough); }

    void Watch(const Glyph::CSlideGlyph* glyph, size_t wanted)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_glyph = glyph;
        m_wanted = wanted;
        m_frames.clear();
        m_threads.clear();
        ResetEvent(m_enough);
    }
    bool WaitEnough() { return WaitForSingleObject(m_enough, kPatienceMs) == WAIT_OBJECT_0; }
    std::vector<UINT> Frames()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames;
    }
    std::vector<DWORD> Threads()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }

    void InvalidateVesselRect(const RECT*) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_glyph)
            return;
        m_frames.push_back(m_glyph->GetFrame());
        m_threads.push_back(GetCurrentThreadId());
        if (m_frames.size() >= m_wanted)
            SetEvent(m_enough);
    }
    void RedrawVesselRect(const RECT*) override {}
    void SetVesselCursor(HICON) override {}
    HDC GetVesselDC() override { return nullptr; }
    void ReleaseVesselDC(HDC) override {}
    void AdjustVesselLayout() override {}

private:
    std::mutex m_mutex;
    HANDLE m_enough;
    const Glyph::CSlideGlyph* m_glyph = nullptr;
    size_t m_wanted = 0;
    std::vector<UINT> m_frames;
    std::vector<DWORD> m_threads;
};

bool WaitIdle(const Glyph::CSlideGlyph& glyph)
{
    for (DWORD waited = 0; glyph.IsPlaying(); waited += 1) {
        if (waited > kPatienceMs)
            return false;
        Sleep(1);
    }
    return true;
}

}  // namespace

TEST(SlideGlyph, FramesAdvanceWrapAndRestartAtZero)
{
    CFrameVessel vessel;
    CTestSlide slide;
    slide.SetVessel(&vessel);
    slide.SetSpeed(1000);  // one frame a millisecond

    vessel.Watch(&slide, 8);
    slide.Play();
    ASSERT_TRUE(vessel.WaitEnough());
    slide.Stop();
    ASSERT_TRUE(WaitIdle(slide));
    std::vector<UINT> frames = vessel.Frames();
    ASSERT_GE(frames.size(), 8u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(i % 3, frames[i]) << i;
    EXPECT_FALSE(slide.IsPlaying());

    // Playing straight after Stop, while the worker may still be ending:
    // the new worker starts at frame 0 again.
    slide.ShowFrame(2);
    vessel.Watch(&slide, 1);
    slide.Play();
    slide.Stop();
    vessel.Watch(&slide, 4);
    slide.Play();
    ASSERT_TRUE(vessel.WaitEnough());
    frames = vessel.Frames();
    const std::vector<DWORD> threads = vessel.Threads();
    slide.Stop();
    // Requests of the last worker run 0, 1, 2, 0, ...
    const DWORD last = threads.back();
    std::vector<UINT> lastRun;
    for (size_t i = 0; i < frames.size(); ++i)
        if (threads[i] == last)
            lastRun.push_back(frames[i]);
    ASSERT_FALSE(lastRun.empty());
    for (size_t i = 0; i < lastRun.size(); ++i)
        EXPECT_EQ(i % 3, lastRun[i]) << i;
}

TEST(SlideGlyph, SpeedAndEmptyStrip)
{
    CTestSlide slide;
    slide.SetSpeed(3);
    EXPECT_EQ(333u, slide.GetInterval());
    slide.SetSpeed(1001);
    EXPECT_EQ(0u, slide.GetInterval());
    slide.SetSpeed(0);  // no division by zero: one frame a second
    EXPECT_EQ(0u, slide.GetInterval());
    CFrameVessel vessel;
    slide.SetVessel(&vessel);
    vessel.Watch(&slide, 1);
    slide.Play();
    ASSERT_TRUE(vessel.WaitEnough());
    EXPECT_EQ(1000u, slide.GetInterval());
    slide.Stop();  // leaves the second-long wait at once
    ASSERT_TRUE(WaitIdle(slide));

    // Without frames the show stays on frame 0 and draws nothing.
    CTestSlide empty(0);
    empty.SetSpeed(1000);
    empty.SetVessel(&vessel);
    vessel.Watch(&empty, 5);
    empty.Play();
    ASSERT_TRUE(vessel.WaitEnough());
    empty.Stop();
    for (UINT frame : vessel.Frames())
        EXPECT_EQ(0u, frame);
}

TEST(SlideGlyph, DrawsTheCurrentFrameCentred)
{
    CDibCanvas canvas(30, 30);
    CTestSlide slide;
    EXPECT_EQ(CSize(10, 10), slide.CalcSize(canvas.Dc(), 100, 5, true));
    slide.SetRegion(canvas.Dc(), CRect(0, 0, 30, 30));
    slide.ShowFrame(2);
    slide.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(100, canvas.Count(kFrameColours[2], CRect(10, 10, 20, 20)));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(9, 9));
}

// A thousand Play/Stop cycles, and destroying glyphs whose worker still
// runs, end without a hang, a crash or a leaked handle.
TEST(SlideGlyph, PlayStopCyclesAndDestroyWhilePlaying)
{
    CFrameVessel vessel;
    {
        CTestSlide warmUp;  // the first thread start allocates for good
        warmUp.Play();
        warmUp.Stop();
    }
    DWORD handlesBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));
    const int gdiBefore = TestCommon::FreeGdiSlots();
    {
        CTestSlide slide;
        slide.SetVessel(&vessel);
        slide.SetSpeed(1000);
        for (int i = 0; i < 1000; ++i) {
            slide.Play();
            if (i % 2)
                slide.Play();  // already playing: nothing
            slide.Stop();
        }
        slide.Play();
    }
    for (int i = 0; i < 50; ++i) {
        auto slide = std::make_unique<CTestSlide>();
        slide->SetVessel(&vessel);
        slide->SetSpeed(1000);
        slide->Play();
        if (i % 2)
            Sleep(0);
    }
    DWORD handlesAfter = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesAfter));
    EXPECT_EQ(handlesBefore, handlesAfter);
    EXPECT_EQ(gdiBefore, TestCommon::FreeGdiSlots());
}
