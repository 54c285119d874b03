#include "SpinButton.h"

#include <algorithm>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "ControlGlyphs.h"
#include "Messages.h"

namespace Windows {

using namespace ControlGlyphs;

// ------------------------------------------------------------- spin button

namespace SpinButtonImpl {

CSpinGlyph::CSpinGlyph(bool horizontal, Glyph::CStyledImageGlyph& down, Glyph::CStyledImageGlyph& up)
    : m_bHorizontal(horizontal), m_down(down), m_up(up)
{
    m_bAutoDelete = false;  // the arrows are members of the derived class
}

CSpinGlyph::~CSpinGlyph()
{
    ClearAllGlyph();
}

void CSpinGlyph::AppendArrows()
{
    AppendGlyph(&m_down);
    AppendGlyph(&m_up);
}

Glyph::CSize CSpinGlyph::CalcSize(HDC, int cx, int cy, bool)
{
    return Glyph::CSize(cx > 0 ? cx : 0, cy > 0 ? cy : 0);
}

void CSpinGlyph::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    m_rcRegion = rect;
    if (m_bHorizontal) {
        const LONG half = rect.Width() / 2;
        m_down.SetRegion(dc, Glyph::CRect(rect.left, rect.top, rect.left + half, rect.bottom));
        m_up.SetRegion(dc, Glyph::CRect(rect.right - half, rect.top, rect.right, rect.bottom));
    } else {
        const LONG half = rect.Height() / 2;
        m_up.SetRegion(dc, Glyph::CRect(rect.left, rect.top, rect.right, rect.top + half));
        m_down.SetRegion(dc, Glyph::CRect(rect.left, rect.bottom - half, rect.right, rect.bottom));
    }
}

Glyph::CStyledImageGlyph* CSpinGlyph::ArrowAt(Glyph::CPoint point)
{
    if (m_up.GetRegion().PtInRect(point))
        return &m_up;
    if (m_down.GetRegion().PtInRect(point))
        return &m_down;
    return nullptr;
}

}  // namespace SpinButtonImpl

CSpinButton::~CSpinButton()
{
    delete m_pGlyph;
}

void CSpinButton::OnSubclassed()
{
    if (GetStyle() & UDS_HORZ)
        m_pGlyph = new SpinButtonImpl::CSpinHorzGlyph;
    else
        m_pGlyph = new SpinButtonImpl::CSpinVertGlyph;
    m_pGlyph->SetVessel(this);
    RECT client = GetClientRect();
    Layout(client.right, client.bottom);
    ShowEnabled(IsWindowEnabled(), false);
}

void CSpinButton::ShowEnabled(bool enabled, bool redraw)
{
    m_pHotArrow = nullptr;
    const INT64 state = enabled ? 0 : kVisualDisabled;
    m_pGlyph->GetDown().SetState(state, redraw);
    m_pGlyph->GetUp().SetState(state, redraw);
}

void CSpinButton::Layout(int width, int height)
{
    SetRegionWithDC(m_hWnd, *m_pGlyph, Glyph::CRect(0, 0, width, height));
}

BOOL CSpinButton::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result, DWORD)
{
    if (!m_pGlyph || PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT: {
        Base::CPaintDC dc(hWnd);
        m_pGlyph->Draw(dc, &dc.PaintRect());
        result = 0;
        return TRUE;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            Layout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_MOUSEMOVE: {
        EnableMouseLeaveMsg();
        Glyph::CStyledImageGlyph* arrow =
            m_pGlyph->ArrowAt(PointOf(lParam));
        if (arrow != m_pHotArrow) {
            if (m_pHotArrow)
                m_pHotArrow->SetState(0, true);
            m_pHotArrow = arrow;
            if (m_pHotArrow)
                m_pHotArrow->SetState(1, true);
        }
        return FALSE;
    }
    case WM_LBUTTONDOWN:
        if (m_pHotArrow)
            m_pHotArrow->SetState(2, true);
        return FALSE;
    case WM_LBUTTONUP:
        if (m_pHotArrow)
            m_pHotArrow->SetState(1, true);
        return FALSE;
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        PostLeaveMessage();
        if (m_pHotArrow)
            m_pHotArrow->SetState(0, true);
        m_pHotArrow = nullptr;
        return FALSE;
    case WM_ENABLE:
        // The native control may paint itself here; the styled look follows.
        ShowEnabled(wParam != 0, false);
        result = DefaultThenRepaint();
        return TRUE;
    default:
        return FALSE;
    }
}

bool CSpinButton::HasLook() const
{
    return HasPainterLook((GetStyle() & UDS_HORZ) ? Style::CStyle::SpinUpHorz : Style::CStyle::SpinUp);
}

}  // namespace Windows
