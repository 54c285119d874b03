#include "ProgressBar.h"

#include <algorithm>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "ControlGlyphs.h"
#include "Messages.h"

namespace Windows {

using namespace ControlGlyphs;

// ------------------------------------------------------------ progress bar

namespace ProgressBarImpl {

CProgressBarGlyph::CProgressBarGlyph(bool horizontal)
    : Glyph::CStyledImageGlyph(horizontal ? Style::CStyle::ProgressBar : Style::CStyle::ProgressBarVert),
      m_bHorizontal(horizontal),
      m_chunk(horizontal ? Style::CStyle::ProgressChunk : Style::CStyle::ProgressChunkVert)
{
}

void CProgressBarGlyph::SetVessel(Glyph::IGlyphVessel* vessel)
{
    Glyph::CStyledImageGlyph::SetVessel(vessel);
    m_chunk.SetVessel(vessel);
}

void CProgressBarGlyph::Draw(HDC dc, const RECT* clip)
{
    Glyph::CStyledImageGlyph::Draw(dc, clip);
    if (!m_chunk.GetRegion().IsRectEmpty())
        m_chunk.Draw(dc, clip);
}

void CProgressBarGlyph::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    Glyph::CStyledImageGlyph::SetRegion(dc, rect);
    LayoutChunk();
}

INT64 CProgressBarGlyph::ChunkLength() const
{
    const INT64 length = m_bHorizontal ? m_rcRegion.Width() : m_rcRegion.Height();
    const INT64 range = m_nMax - m_nMin;
    if (range == 0)
        return -1;
    // MulDiv's rounding, in 64 bits so wide ranges cannot overflow.
    const long double exact = static_cast<long double>(m_nPos - m_nMin) * length / range;
    return static_cast<INT64>(exact < 0 ? exact - 0.5L : exact + 0.5L);
}

void CProgressBarGlyph::LayoutChunk()
{
    const Glyph::CRect& bar = m_rcRegion;
    // A position outside the range would reach past the bar; the chunk
    // stays inside it.
    const INT64 full = m_bHorizontal ? bar.Width() : bar.Height();
    const LONG length = static_cast<LONG>(std::clamp<INT64>(ChunkLength(), 0, std::max<INT64>(full, 0)));
    Glyph::CRect chunk = bar;
    if (m_bHorizontal)
        chunk.right = bar.left + length;
    else
        chunk.top = bar.bottom - length;  // grows upwards, as the native bar does
    if (length > 0) {
        Glyph::CRect margins;
        if (GetContentMargins(margins)) {
            chunk.left += margins.left;
            chunk.top += margins.top;
            chunk.right -= margins.right;
            chunk.bottom -= margins.bottom;
        }
    }
    if (chunk.right < chunk.left || chunk.bottom < chunk.top || length == 0)
        chunk = Glyph::CRect(chunk.left, chunk.top, chunk.left, chunk.top);
    m_chunk.SetRegion(nullptr, chunk);
}

}  // namespace ProgressBarImpl

CProgressBar::~CProgressBar()
{
    delete m_pGlyph;
}

void CProgressBar::OnSubclassed()
{
    m_pGlyph = new ProgressBarImpl::CProgressBarGlyph((GetStyle() & PBS_VERTICAL) == 0);
    m_pGlyph->SetVessel(this);
    PBRANGE range = {};
    GetRange(range);
    m_pGlyph->m_nMin = range.iLow;
    m_pGlyph->m_nMax = range.iHigh;
    m_pGlyph->m_nPos = GetPos();
    SetRegionWithDC(m_hWnd, *m_pGlyph, ClientOf(m_hWnd));
}

bool CProgressBar::HasLook() const
{
    bool vertical = (GetStyle() & PBS_VERTICAL) != 0;
    return HasPainterLook(vertical ? Style::CStyle::ProgressBarVert : Style::CStyle::ProgressBar) ||
           HasPainterLook(vertical ? Style::CStyle::ProgressChunkVert : Style::CStyle::ProgressChunk);
}

void CProgressBar::PaintNow()
{
    if (!IsWindowVisible() || !HasLook())
        return;
    Images::CMemDC memory(m_hWnd, false);
    m_pGlyph->Draw(memory, nullptr);
    memory.ShowNow();
}

void CProgressBar::FollowNativePosition()
{
    m_pGlyph->m_nPos = GetPos();
    m_pGlyph->LayoutChunk();
}

BOOL CProgressBar::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result, DWORD)
{
    if (!m_pGlyph || PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT: {
        Images::CMemDC memory(m_hWnd, false);
        m_pGlyph->Draw(memory, nullptr);
        memory.Show();
        result = 0;
        return TRUE;
    }
    case WM_ERASEBKGND:
        result = 1;  // the paint covers the whole client area
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            SetRegionWithDC(m_hWnd, *m_pGlyph, Glyph::CRect(0, 0, LOWORD(lParam), HIWORD(lParam)));
        return FALSE;
    case PBM_SETRANGE:
        m_pGlyph->m_nMin = LOWORD(lParam);
        m_pGlyph->m_nMax = HIWORD(lParam);
        result = DefWindowProc();
        return TRUE;
    case PBM_SETRANGE32:
        m_pGlyph->m_nMin = static_cast<int>(wParam);
        m_pGlyph->m_nMax = static_cast<int>(lParam);
        result = DefWindowProc();
        return TRUE;
    case PBM_SETPOS:
        result = DefWindowProc();
        FollowNativePosition();
        PaintNow();
        return TRUE;
    case PBM_DELTAPOS:
    case PBM_STEPIT:
        // The native control clamps the position (and wraps it on a step
        // past the end); the chunk shows what the control holds.
        result = DefWindowProc();
        FollowNativePosition();
        return TRUE;
    case PBM_SETSTEP:
        m_pGlyph->m_nStep = static_cast<int>(wParam);
        result = DefWindowProc();
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows
