#pragma once
// A glyph showing a picture from memory, a file or a module resource, and
// playing animated GIF pictures frame by frame on a worker thread.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <atomic>
#include <vector>
#include "Glyph.h"

namespace Glyph {

namespace PictureGlyphImpl {

enum GIFBlockTypes {
    BLOCK_UNKNOWN = 0,
    BLOCK_APPEXT = 1,
    BLOCK_COMMEXT = 2,
    BLOCK_CONTROLEXT = 3,
    BLOCK_PLAINTEXT = 4,
    BLOCK_IMAGE = 5,
    BLOCK_TRAILER = 6,
};

struct SFrame {
    IPicture* picture = nullptr;
    SIZE frameSize = {0, 0};
    SIZE frameOffset = {0, 0};
    UINT delay = 0xFFFFFFFF;  // hundredths of a second; none without a control extension
    UINT disposal = 0;
};

}  // namespace PictureGlyphImpl

class ORVEL_API CPictureGlyph : public CGlyph {
public:
    CPictureGlyph();
    ~CPictureGlyph() override;
    CPictureGlyph(const CPictureGlyph&) = delete;
    CPictureGlyph& operator=(const CPictureGlyph&) = delete;

    // memory is a global memory block holding a whole picture file; the
    // caller keeps it.
    int Load(void* memory, DWORD size);
    int Load(const wchar_t* path);
    int Load(HINSTANCE module, const wchar_t* name, const wchar_t* type);
    void UnLoad();

    int Play();
    void Stop();

    SIZE GetSize() const { return m_PictureSize; }
    bool IsGIF() const { return m_bIsGIF; }
    bool IsPlaying() const { return m_bPlaying; }
    bool IsAnimatedGIF() const { return m_bIsGIF && m_arrFrames.size() > 1; }
    UINT GetFrameCount() const { return IsAnimatedGIF() ? static_cast<UINT>(m_arrFrames.size()) : 0; }
    UINT GetCurrentFrame() const { return m_nCurrFrame; }
    COLORREF GetBkColor() const { return m_clrBackground; }
    void SetBkColor(COLORREF color);

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;
    void Draw(HDC dc, const RECT* clip) override;

    // Milliseconds a frame stays: below 5 hundredths (and without a control
    // extension) 100 ms, else the delay.
    static DWORD FrameWaitMs(UINT delay);

    // A cheap check of a picture other than GIF before the system decoder
    // sees it: a BMP, JPEG, PNG, icon or cursor file whose headers, tables,
    // segments or chunks lie within size. What they encode stays the
    // decoder's business. Metafiles are refused.
    static bool IsSoundPicture(const void* data, DWORD size);

protected:
    using GIFBlockTypes = PictureGlyphImpl::GIFBlockTypes;

    bool PrepareDC(int cx, int cy);
    void ResetDataPointer();
    GIFBlockTypes GetNextBlock() const;
    long long GetNextBlockLen() const;
    long long GetSubBlocksLen(UINT start) const;
    bool SkipNextBlock();
    bool SkipNextGraphicBlock();
    bool WalksToTrailer();
    HGLOBAL GetNextGraphicBlock(UINT* length, UINT* delay, SIZE* frameSize, SIZE* frameOffset,
                                UINT* disposal);

    static unsigned __stdcall _ThreadAnimation(void* glyph);
    void ThreadAnimation();

    bool LoadStill(HGLOBAL memory);
    void RenderFrame(const PictureGlyphImpl::SFrame& frame);
    void FillBackground(const RECT& rect);
    void RestoreDisposal(const PictureGlyphImpl::SFrame& frame);
    void DeleteSavedArea();

    // Fields stay protected so that the block walk can be checked on its own.
    SIZE m_PictureSize = {0, 0};
    COLORREF m_clrBackground = 0xFFFFFF;
    UINT m_nDataSize = 0;
    std::atomic<UINT> m_nCurrFrame{0};
    UINT m_nCurrOffset = 0;
    int m_nGlobalCTSize = 0;
    bool m_bIsGIF = false;
    std::atomic<bool> m_bPlaying{false};
    std::atomic<bool> m_bStopRequest{false};
    bool m_bIsInitialized = false;
    HDC m_hMemDC = nullptr;
    HBITMAP m_hMemBM = nullptr;
    HGDIOBJ m_hOldBM = nullptr;
    HDC m_hDispMemDC = nullptr;
    HBITMAP m_hDispMemBM = nullptr;
    HGDIOBJ m_hDispOldBM = nullptr;
    HANDLE m_hThread = nullptr;
    HANDLE m_hStopEvent = nullptr;
    IPicture* m_pPicture = nullptr;
    const BYTE* m_pRawData = nullptr;
    const BYTE* m_pLSDescriptor = nullptr;
    std::vector<PictureGlyphImpl::SFrame> m_arrFrames;
};

}  // namespace Glyph
