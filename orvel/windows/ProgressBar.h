#pragma once
// Styled progress bars. The native control keeps its logic; the object mirrors
// just enough of its state into glyphs to paint it from the style.
#include <string>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

// ------------------------------------------------------------ progress bar

namespace ProgressBarImpl {

class ORVEL_API CProgressBarGlyph : public Glyph::CStyledImageGlyph {
public:
    explicit CProgressBarGlyph(bool horizontal);

    void SetVessel(Glyph::IGlyphVessel* vessel) override;
    void Draw(HDC dc, const RECT* clip) override;
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;

    // Places the chunk for the position; the bar is not repainted.
    void LayoutChunk();
    // The chunk's length before the margins: -1 for an empty range.
    INT64 ChunkLength() const;

    bool IsHorizontal() const { return m_bHorizontal; }
    Glyph::CStyledImageGlyph& GetChunk() { return m_chunk; }

    INT64 m_nMin = 0;
    INT64 m_nMax = 100;
    INT64 m_nPos = 0;
    INT64 m_nStep = 1;

private:
    bool m_bHorizontal;
    Glyph::CStyledImageGlyph m_chunk;
};

}  // namespace ProgressBarImpl

class ORVEL_API CProgressBar : public CStyledWndImpl<CProgressBar, Base::CProgressBarCtrlT<>> {
public:
    CProgressBar() = default;
    ~CProgressBar() override;
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    ProgressBarImpl::CProgressBarGlyph* GetGlyph() const { return m_pGlyph; }

protected:
    void PaintNow();
    // The native control clamps and wraps its position; the bar follows it.
    void FollowNativePosition();

    ProgressBarImpl::CProgressBarGlyph* m_pGlyph = nullptr;
};

}  // namespace Windows
