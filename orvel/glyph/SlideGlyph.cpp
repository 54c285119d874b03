#include "SlideGlyph.h"

#include <process.h>

namespace Glyph {

namespace {

// Used when no speed was set, or when the speed asked for is below one
// millisecond.
const UINT kDefaultInterval = 1000;

}  // namespace

CSlideGlyph::CSlideGlyph()
    : m_nFrame(0), m_nInterval(0), m_bPlaying(false), m_bStopRequest(false), m_hThread(nullptr),
      m_hStopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CSlideGlyph::~CSlideGlyph()
{
    // The worker uses this object and its vessel: it must be gone first.
    Stop();
    JoinWorker();
    if (m_hStopEvent)
        CloseHandle(m_hStopEvent);
}

CSize CSlideGlyph::CalcSize(HDC, int, int, bool)
{
    return CSize(m_images.GetGlyphSize());
}

void CSlideGlyph::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    if (!dc || !GetDrawRegion(drawRegion, clip))
        return;
    m_images.DrawCenterImage(dc, m_nFrame, m_rcRegion);
}

bool CSlideGlyph::LoadImagesFromResource(DWORD frameCount, UINT bitmapId, HINSTANCE module,
                                         Images::CImageArray::ImageLayout layout)
{
    // The worker reads the frame count: swap the strip while none runs.
    const bool wasPlaying = m_bPlaying && !m_bStopRequest;
    Stop();
    JoinWorker();
    const int count = frameCount > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(frameCount);
    const bool loaded = m_images.LoadFromResource(count, bitmapId, module, layout);
    if (wasPlaying)
        Play();
    return loaded;
}

void CSlideGlyph::SetSpeed(UINT framesPerSecond)
{
    m_nInterval = framesPerSecond ? 1000 / framesPerSecond : 0;
}

void CSlideGlyph::Play()
{
    if (!m_hStopEvent)
        return;
    if (m_bPlaying && !m_bStopRequest)
        return;
    // A worker told to stop may still be ending; one worker at a time.
    JoinWorker();
    m_bStopRequest = false;
    ResetEvent(m_hStopEvent);
    m_bPlaying = true;
    const uintptr_t thread =
        _beginthreadex(nullptr, 0, &CSlideGlyph::ThreadEntry, this, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        m_bPlaying = false;
        return;
    }
    m_hThread = reinterpret_cast<HANDLE>(thread);
    ResumeThread(m_hThread);
}

void CSlideGlyph::Stop()
{
    if (!m_bPlaying || !m_hStopEvent)
        return;
    m_bStopRequest = true;
    SetEvent(m_hStopEvent);
}

void CSlideGlyph::JoinWorker()
{
    if (!m_hThread)
        return;
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
}

unsigned __stdcall CSlideGlyph::ThreadEntry(void* glyph)
{
    auto* self = static_cast<CSlideGlyph*>(glyph);
    try {
        self->ThreadAnimation();
    } catch (...) {
        // A failing vessel ends the show, not the process.
    }
    self->m_bPlaying = false;
    return 0;
}

void CSlideGlyph::ThreadAnimation()
{
    m_nFrame = 0;
    if (m_nInterval == 0)
        m_nInterval = kDefaultInterval;
    for (;;) {
        Invalidate();
        WaitForSingleObject(m_hStopEvent, m_nInterval);
        if (m_bStopRequest)
            break;
        // No frames: stay on frame 0.
        const UINT next = m_nFrame + 1;
        m_nFrame = next < m_images.GetGlyphCount() ? next : 0;
    }
}

}  // namespace Glyph
