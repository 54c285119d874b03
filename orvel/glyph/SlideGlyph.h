#pragma once
// A slideshow glyph: the images of a strip shown one after the other by a
// worker thread, which asks the vessel to repaint at every frame.
#include <windows.h>
#include <atomic>
#include "Glyph.h"
#include "../style/ImageArray.h"

namespace Glyph {

// The worker only advances the frame index and invalidates the glyph; the
// window's own thread paints. The vessel must outlive the animation.
class ORVEL_API CSlideGlyph : public CGlyph {
public:
    CSlideGlyph();
    // Stops the worker and waits for it before anything it uses goes away.
    ~CSlideGlyph() override;
    CSlideGlyph(const CSlideGlyph&) = delete;
    CSlideGlyph& operator=(const CSlideGlyph&) = delete;

    // The size of one frame, whatever the offer.
    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    // The current frame centred in the whole region.
    void Draw(HDC dc, const RECT* clip) override;

    // One strip of the module's bitmap cut into frameCount frames. Not while
    // playing: the worker reads the frame count.
    bool LoadImagesFromResource(DWORD frameCount, UINT bitmapId, HINSTANCE module,
                                Images::CImageArray::ImageLayout layout);
    // Interval 1000 / frames per second; 0 frames per second, like more than
    // 1000, leaves the interval 0, which plays at one frame a second.
    void SetSpeed(UINT framesPerSecond);
    UINT GetInterval() const { return m_nInterval; }

    // Starts from frame 0. A play after Stop waits for the stopping worker
    // to end first, so there is never more than one worker.
    void Play();
    // Asks the worker to end and returns at once.
    void Stop();
    bool IsPlaying() const { return m_bPlaying; }
    UINT GetFrame() const { return m_nFrame; }
    const Images::CImageArray& GetImages() const { return m_images; }

protected:
    static unsigned __stdcall ThreadEntry(void* glyph);
    void ThreadAnimation();
    // Waits for a worker that was started (running or ending) and closes it.
    void JoinWorker();

    Images::CImageArray m_images;
    std::atomic<UINT> m_nFrame;
    std::atomic<UINT> m_nInterval;
    std::atomic<bool> m_bPlaying;
    std::atomic<bool> m_bStopRequest;
    HANDLE m_hThread;
    HANDLE m_hStopEvent;
};

}  // namespace Glyph
