#include "TrackBar.h"

#include <algorithm>
#include <vector>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "ControlGlyphs.h"
#include "Messages.h"

namespace Windows {

using namespace ControlGlyphs;

// --------------------------------------------------------------- track bar

namespace TrackBarImpl {

CTrackBarGlyph::CTrackBarGlyph(bool horizontal)
    : Glyph::CStyledImageGlyph(horizontal ? Style::CStyle::TrackBarTrack : Style::CStyle::TrackBarTrackVert),
      m_bHorizontal(horizontal),
      m_thumb(horizontal ? Style::CStyle::TrackBarThumb : Style::CStyle::TrackBarThumbVert),
      m_background(horizontal ? Style::CStyle::TrackBar : Style::CStyle::TrackBarVert)
{
}

void CTrackBarGlyph::SetVessel(Glyph::IGlyphVessel* vessel)
{
    Glyph::CStyledImageGlyph::SetVessel(vessel);
    m_thumb.SetVessel(vessel);
    m_background.SetVessel(vessel);
}

void CTrackBarGlyph::Draw(HDC dc, const RECT* clip)
{
    m_background.Draw(dc, clip);
    Glyph::CStyledImageGlyph::Draw(dc, clip);
    m_thumb.Draw(dc, clip);
}

Glyph::CStyledImageGlyph* CTrackBarGlyph::PartAt(Glyph::CPoint point)
{
    if (m_thumb.GetRegion().PtInRect(point))
        return &m_thumb;
    if (m_rcRegion.PtInRect(point))
        return this;
    return nullptr;
}

}  // namespace TrackBarImpl

CTrackBar::~CTrackBar()
{
    delete m_pGlyph;
}

void CTrackBar::OnSubclassed()
{
    const bool horizontal = (GetStyle() & TBS_VERT) == 0;
    m_pGlyph = new TrackBarImpl::CTrackBarGlyph(horizontal);
    m_pGlyph->SetVessel(this);
    Base::CClientDC dc(m_hWnd);
    m_pGlyph->GetBackground().SetRegion(dc, ClientOf(m_hWnd));
    RECT channel = ChannelRect();
    m_pGlyph->SetRegion(dc, Glyph::CRect(channel.left, channel.top, channel.right, channel.bottom));
    LayoutThumb();
    ShowEnabled(IsWindowEnabled(), false);
}

void CTrackBar::ShowEnabled(bool enabled, bool redraw)
{
    m_pHotPart = nullptr;
    const INT64 state = enabled ? 0 : kVisualDisabled;
    m_pGlyph->SetState(state, redraw);
    m_pGlyph->GetThumb().SetState(state, redraw);
}

RECT CTrackBar::ChannelRect()
{
    RECT channel = {};
    GetChannelRect(channel);
    // Windows reports a vertical channel as if it lay horizontally; Wine
    // reports it as it lies.
    if ((GetStyle() & TBS_VERT) && channel.right - channel.left > channel.bottom - channel.top)
        channel = {channel.top, channel.left, channel.bottom, channel.right};
    return channel;
}

// The tick marks the native control would draw, in the parent's static text
// colour (a styled frame's, or the system's), beside the thumb.
void CTrackBar::DrawTicks(HDC dc)
{
    const DWORD style = GetStyle();
    const int count = static_cast<int>(SendMessage(TBM_GETNUMTICS));
    if ((style & TBS_NOTICKS) || count <= 0)
        return;
    const bool vertical = (style & TBS_VERT) != 0;
    const RECT channel = ChannelRect();
    const RECT& thumb = m_rcThumb;
    const int half = vertical ? (thumb.bottom - thumb.top) / 2 : (thumb.right - thumb.left) / 2;
    std::vector<int> places = {(vertical ? channel.top : channel.left) + half,
                               (vertical ? channel.bottom : channel.right) - half - 1};
    for (int i = 0; i + 2 < count; ++i)
        places.push_back(static_cast<int>(SendMessage(TBM_GETTICPOS, i)));
    const int saved = ::SaveDC(dc);
    COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
    if (HWND parent = GetParent()) {
        ::SetTextColor(dc, ink);
        ::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd));
        ink = ::GetTextColor(dc);
    }
    ::RestoreDC(dc, saved);
    Base::CBrushHandle brush(::CreateSolidBrush(ink));
    const bool before = (style & TBS_BOTH) || (style & TBS_TOP);  // TBS_TOP is TBS_LEFT
    const bool after = (style & TBS_BOTH) || !(style & TBS_TOP);
    for (int place : places) {
        if (after) {
            RECT tick = vertical ? RECT{thumb.right + 1, place, thumb.right + 4, place + 1}
                                 : RECT{place, thumb.bottom + 1, place + 1, thumb.bottom + 4};
            ::FillRect(dc, &tick, brush);
        }
        if (before) {
            RECT tick = vertical ? RECT{thumb.left - 4, place, thumb.left - 1, place + 1}
                                 : RECT{place, thumb.top - 4, place + 1, thumb.top - 1};
            ::FillRect(dc, &tick, brush);
        }
    }
}

void CTrackBar::LayoutThumb()
{
    RECT thumb = {};
    GetThumbRect(thumb);
    m_rcThumb = thumb;
    SetRegionWithDC(m_hWnd, m_pGlyph->GetThumb(), Glyph::CRect(thumb.left, thumb.top, thumb.right, thumb.bottom));
}

void CTrackBar::SetHotPart(Glyph::CStyledImageGlyph* part)
{
    if (part == m_pHotPart)
        return;
    if (m_pHotPart)
        m_pHotPart->SetState(0, true);
    m_pHotPart = part;
    if (m_pHotPart)
        m_pHotPart->SetState(1, true);
}

void CTrackBar::InvalidateVesselRect(const RECT* rect)
{
    HWND parent = GetParent();
    if (!parent || !IsWindowVisible())
        return;
    RECT r = rect ? *rect : GetClientRect();
    ::MapWindowPoints(m_hWnd, parent, reinterpret_cast<POINT*>(&r), 2);
    // A parent that clips its children would otherwise never pass the
    // invalidation on to the track bar.
    ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

BOOL CTrackBar::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result, DWORD)
{
    if (!m_pGlyph || PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT: {
        Base::CPaintDC dc(hWnd);
        RECT thumb = {};
        GetThumbRect(thumb);
        if (!::EqualRect(&thumb, &m_rcThumb))
            LayoutThumb();
        m_pGlyph->Draw(dc, &dc.PaintRect());
        DrawTicks(dc);
        result = 0;
        return TRUE;
    }
    case WM_MOUSEMOVE:
        EnableMouseLeaveMsg();
        result = DefWindowProc();
        if (m_pHotPart && (wParam & MK_LBUTTON)) {
            LayoutThumb();
            return TRUE;
        }
        SetHotPart(m_pGlyph->PartAt(PointOf(lParam)));
        return TRUE;
    case WM_LBUTTONDOWN:
        result = DefWindowProc();
        if (m_pHotPart)
            m_pHotPart->SetState(2, true);
        else
            LayoutThumb();
        return TRUE;
    case WM_LBUTTONUP:
        if (m_pHotPart)
            m_pHotPart->SetState(1, true);
        if (HWND parent = GetParent())
            ::PostMessageW(parent, WM_COMMAND, WM_LBUTTONUP, 0);
        result = DefWindowProc();
        return TRUE;
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        PostLeaveMessage();
        if (m_pHotPart)
            m_pHotPart->SetState(0, true);
        m_pHotPart = nullptr;
        result = 0;
        return TRUE;
    case WM_ENABLE:
        // The native control may paint itself here; the styled look follows.
        ShowEnabled(wParam != 0, false);
        result = DefaultThenRepaint();
        return TRUE;
    case WM_KEYDOWN:
        result = DefWindowProc();
        if (result == 0)
            LayoutThumb();
        return TRUE;
    default:
        return FALSE;
    }
}

bool CTrackBar::HasLook() const
{
    return HasPainterLook((GetStyle() & TBS_VERT) ? Style::CStyle::TrackBarThumbVert
                                                  : Style::CStyle::TrackBarThumb);
}

}  // namespace Windows
