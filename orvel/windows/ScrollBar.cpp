#include "ScrollBar.h"
#include "../base/GdiHandles.h"

#include <windowsx.h>
#include <algorithm>
#include <climits>

namespace Windows {
namespace ScrollBarImpl {

namespace {

// MulDiv's rounding in 64 bits, so ranges near the ends of int neither
// overflow nor wrap; a zero divisor gives 0.
int ClampInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

long long MulDivWide(long long a, long long b, long long c)
{
    if (c == 0)
        return 0;
    if (c < 0) {
        a = -a;
        c = -c;
    }
    // One factor is always a length in pixels, so the product fits.
    long long product = a * b;
    return product >= 0 ? (product + c / 2) / c : (product - c / 2) / c;
}

long long Span(int minimum, int maximum)
{
    return static_cast<long long>(maximum) - minimum + 1;
}

}  // namespace

int ScrollCodeOfPart(int part)
{
    switch (part) {
    case PartFirstArrow:
        return SB_LINEUP;
    case PartLowerTrack:
        return SB_PAGEUP;
    case PartUpperTrack:
        return SB_PAGEDOWN;
    case PartLastArrow:
        return SB_LINEDOWN;
    default:
        return -1;
    }
}

// ------------------------------------------------------------- part glyphs

CArrowGlyph::CArrowGlyph(int direction)
    : CStyledImageGlyph(Style::CStyle::ScrollBarArrowButton), m_nDirection(direction)
{
    m_nState = direction;
}

void CArrowGlyph::SetState(INT64 state, bool redraw)
{
    CStyledImageGlyph::SetState(m_nDirection + state, redraw);
}

template <bool bVert>
CRipperGlyph<bVert>::CRipperGlyph()
    : CStyledImageGlyph(bVert ? Style::CStyle::ScrollBarGripperVert : Style::CStyle::ScrollBarGripperHorz)
{
}

template <bool bVert>
CThumbGlyph<bVert>::CThumbGlyph()
    : CStyledImageGlyph(bVert ? Style::CStyle::ScrollBarThumbButtonVert
                              : Style::CStyle::ScrollBarThumbButtonHorz)
{
}

template <bool bVert>
void CThumbGlyph<bVert>::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    CStyledImageGlyph::SetRegion(dc, rect);
    m_gripper.SetRegion(dc, rect);
}

template <bool bVert>
void CThumbGlyph<bVert>::Draw(HDC dc, const RECT* clip)
{
    CStyledImageGlyph::Draw(dc, clip);
    m_gripper.Draw(dc, clip);
}

template <bool bVert>
void CThumbGlyph<bVert>::SetVessel(Glyph::IGlyphVessel* vessel)
{
    CStyledImageGlyph::SetVessel(vessel);
    m_gripper.SetVessel(vessel);
}

template <bool bVert>
void CThumbGlyph<bVert>::SetState(INT64 state, bool redraw)
{
    m_gripper.SetState(state, false);
    CStyledImageGlyph::SetState(state, redraw);
}

template class CRipperGlyph<false>;
template class CRipperGlyph<true>;
template class CThumbGlyph<false>;
template class CThumbGlyph<true>;

// ------------------------------------------------------------ bar glyph

CScrollBarGlyph::CScrollBarGlyph() : m_si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0}
{
    // The parts are members of the concrete bars.
    m_bAutoDelete = false;
}

BOOL CScrollBarGlyph::GetScrollInfo(SCROLLINFO& info) const
{
    if (info.fMask & SIF_POS)
        info.nPos = m_si.nPos;
    if (info.fMask & SIF_RANGE) {
        info.nMin = m_si.nMin;
        info.nMax = m_si.nMax;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = m_si.nPage;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = m_si.nTrackPos;
    return TRUE;
}

BOOL CScrollBarGlyph::SetScrollInfo(const SCROLLINFO& info, int redraw)
{
    bool changed = false;
    if ((info.fMask & SIF_PAGE) && info.nPage != m_si.nPage) {
        m_si.nPage = info.nPage;
        changed = true;
    }
    if ((info.fMask & SIF_POS) && info.nPos != m_si.nPos) {
        m_si.nPos = info.nPos;
        changed = true;
    }
    if ((info.fMask & SIF_RANGE) && (info.nMin != m_si.nMin || info.nMax != m_si.nMax)) {
        m_si.nMin = info.nMin;
        m_si.nMax = info.nMax;
        changed = true;
    }
    if (info.fMask & SIF_TRACKPOS)
        m_si.nTrackPos = info.nTrackPos;
    if (changed || IsVisible() != (ShouldScrollBarShow() != FALSE)) {
        AdjustLayout();
        if (redraw)
            Redraw();
    }
    return TRUE;
}

int CScrollBarGlyph::SetPos(int pos, int redraw)
{
    if (pos == m_si.nPos)
        return pos;
    m_si.nPos = std::max(m_si.nMin, std::min(pos, m_si.nMax));
    AdjustLayout();
    if (redraw)
        Redraw();
    return m_si.nPos;
}

BOOL CScrollBarGlyph::GetRange(int& minimum, int& maximum) const
{
    minimum = m_si.nMin;
    maximum = m_si.nMax;
    return TRUE;
}

BOOL CScrollBarGlyph::SetRange(int minimum, int maximum, int redraw)
{
    if (minimum == m_si.nMin && maximum == m_si.nMax)
        return FALSE;
    m_si.nMin = minimum;
    m_si.nMax = maximum;
    AdjustLayout();
    if (redraw)
        Redraw();
    return TRUE;
}

int CScrollBarGlyph::GetMaxPos() const
{
    long long maxPos = static_cast<long long>(m_si.nMax) - (static_cast<long long>(m_si.nPage) - 1);
    return static_cast<int>(std::clamp<long long>(maxPos, INT_MIN, INT_MAX));
}

BOOL CScrollBarGlyph::ShouldScrollBarShow() const
{
    return GetMaxPos() > m_si.nMin;
}

void CScrollBarGlyph::CalcThumbPosition(int& offset, int& length)
{
    const int scrollLength = get_m_nScrollLen();
    if (m_si.nPage != 0)
        length = std::max(10, ClampInt(MulDivWide(scrollLength, m_si.nPage, Span(m_si.nMin, m_si.nMax))));
    else
        length = ::GetSystemMetrics(SM_CXVSCROLL);
    const int room = scrollLength - length;
    if (room < 0) {
        offset = length = 0;
        return;
    }
    const int maxPos = GetMaxPos();
    if (maxPos <= m_si.nMin)
        offset = 0;
    else
        offset = ClampInt(MulDivWide(room, static_cast<long long>(m_si.nPos) - m_si.nMin,
                                     static_cast<long long>(maxPos) - m_si.nMin));
}

int CScrollBarGlyph::CalcPosBaseOnThumbPos(int t)
{
    const int room = get_m_nScrollLen() - get_m_nThumbLength();
    if (room <= 0)
        return m_si.nMin;
    const int p = std::clamp(t - GetArrowSize(), 0, room);
    const int last = m_si.nPage != 0 ? GetMaxPos() : m_si.nMax;
    return ClampInt(m_si.nMin + MulDivWide(p, static_cast<long long>(last) - m_si.nMin, room));
}

void CScrollBarGlyph::AdjustLayout()
{
    if (!ShouldScrollBarShow()) {
        Show(false);
        return;
    }
    Show(true);
    if (!m_rcRegion.IsRectEmpty())
        SetRegion(nullptr, m_rcRegion);
}

int CScrollBarGlyph::get_m_nThumbLength()
{
    int offset = 0;
    int length = 0;
    CalcThumbPosition(offset, length);
    return length;
}

int CScrollBarGlyph::get_m_nThumbPosition()
{
    int offset = 0;
    int length = 0;
    CalcThumbPosition(offset, length);
    return GetArrowSize() + offset;
}

int CScrollBarGlyph::GetCurrentThumbPos()
{
    return get_m_nThumbPosition();
}

int CScrollBarGlyph::GetGlyphPartCode(Glyph::CGlyph* part)
{
    for (int code = PartFirstArrow; code < PartNone; ++code)
        if (part && part == GetPart(code))
            return code;
    return PartNone;
}

void CScrollBarGlyph::SetState(INT64 state, bool redraw)
{
    for (int code = PartFirstArrow; code < PartNone; ++code)
        GetPart(code)->SetState(state, redraw);
}

void CScrollBarGlyph::LayoutParts(HDC dc, const Glyph::CRect& rect, bool vertical)
{
    // Positions along the bar; across it every part spans the whole bar.
    const int start = vertical ? rect.top : rect.left;
    const int end = vertical ? rect.bottom : rect.right;
    const int side = vertical ? rect.Width() : rect.Height();
    auto place = [&](int part, int from, int to) {
        GetPart(part)->SetRegion(dc, vertical ? Glyph::CRect(rect.left, from, rect.right, to)
                                            : Glyph::CRect(from, rect.top, to, rect.bottom));
    };
    place(PartFirstArrow, start, start + side);
    int offset = 0;
    int length = 0;
    CalcThumbPosition(offset, length);
    const int trackStart = start + side;
    const int thumbEnd = trackStart + offset + length;
    const int lastArrowStart = vertical ? end - side - 1 : end - side;
    place(PartLowerTrack, trackStart, trackStart + offset);
    if (vertical)
        GetPart(PartLowerTrack)->Show(offset > 0);
    place(PartThumb, trackStart + offset, thumbEnd);
    place(PartUpperTrack, thumbEnd, lastArrowStart);
    if (vertical)
        GetPart(PartUpperTrack)->Show(lastArrowStart - thumbEnd > 0);
    place(PartLastArrow, lastArrowStart, end);
}

// ------------------------------------------------------- horizontal bar

CHorzScrollBarGlyph::CHorzScrollBarGlyph()
    : m_leftArrow(8), m_lowerTrack(Style::CStyle::ScrollBarLowerTrackHorz),
      m_upperTrack(Style::CStyle::ScrollBarUpperTrackHorz), m_rightArrow(12)
{
    AppendGlyph(&m_leftArrow);
    AppendGlyph(&m_lowerTrack);
    AppendGlyph(&m_thumb);
    AppendGlyph(&m_upperTrack);
    AppendGlyph(&m_rightArrow);
}

CHorzScrollBarGlyph::~CHorzScrollBarGlyph()
{
    ClearAllGlyph();
}

Glyph::CSize CHorzScrollBarGlyph::CalcSize(HDC, int cx, int, bool)
{
    return Glyph::CSize(cx > 0 ? cx : 0, ::GetSystemMetrics(SM_CYHSCROLL));
}

void CHorzScrollBarGlyph::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    CGlyph::SetRegion(dc, rect);
    LayoutParts(dc, rect, false);
}

int CHorzScrollBarGlyph::get_m_nScrollLen()
{
    return m_rcRegion.Width() - 2 * GetArrowSize();
}

int CHorzScrollBarGlyph::GetArrowSize()
{
    return std::max(0L, m_rcRegion.Height());
}

Glyph::CStyledGlyph* CHorzScrollBarGlyph::GetPart(int part)
{
    Glyph::CStyledGlyph* const parts[] = {&m_leftArrow, &m_lowerTrack, &m_thumb, &m_upperTrack, &m_rightArrow};
    return part >= PartFirstArrow && part < PartNone ? parts[part] : nullptr;
}

// --------------------------------------------------------- vertical bar

CVertScrollBarGlyph::CVertScrollBarGlyph()
    : m_upArrow(0), m_lowerTrack(Style::CStyle::ScrollBarLowerTrackVert),
      m_upperTrack(Style::CStyle::ScrollBarUpperTrackVert), m_downArrow(4)
{
    AppendGlyph(&m_upArrow);
    AppendGlyph(&m_lowerTrack);
    AppendGlyph(&m_thumb);
    AppendGlyph(&m_upperTrack);
    AppendGlyph(&m_downArrow);
}

CVertScrollBarGlyph::~CVertScrollBarGlyph()
{
    ClearAllGlyph();
}

Glyph::CSize CVertScrollBarGlyph::CalcSize(HDC, int, int cy, bool)
{
    return Glyph::CSize(::GetSystemMetrics(SM_CXVSCROLL), cy > 0 ? cy : 0);
}

void CVertScrollBarGlyph::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    CGlyph::SetRegion(dc, rect);
    LayoutParts(dc, rect, true);
}

int CVertScrollBarGlyph::get_m_nScrollLen()
{
    return m_rcRegion.Height() - 2 * GetArrowSize();
}

int CVertScrollBarGlyph::GetArrowSize()
{
    return std::max(0L, m_rcRegion.Width());
}

Glyph::CStyledGlyph* CVertScrollBarGlyph::GetPart(int part)
{
    Glyph::CStyledGlyph* const parts[] = {&m_upArrow, &m_lowerTrack, &m_thumb, &m_upperTrack, &m_downArrow};
    return part >= PartFirstArrow && part < PartNone ? parts[part] : nullptr;
}

}  // namespace ScrollBarImpl

// ------------------------------------------------------------ the control

using namespace ScrollBarImpl;

CScrollBar::~CScrollBar()
{
    delete m_pScrollBar;
}

void CScrollBar::OnSubclassed()
{
    Init();
}

void CScrollBar::Init()
{
    if (m_pScrollBar)
        return;
    m_bVert = (GetStyle() & SBS_VERT) != 0;
    try {
        if (m_bVert)
            m_pScrollBar = new CVertScrollBarGlyph;
        else
            m_pScrollBar = new CHorzScrollBarGlyph;
    } catch (...) {
        // Without its glyph the object passes every message through.
        m_pScrollBar = nullptr;
        return;
    }
    m_pScrollBar->SetVessel(this);
    Synchronize(nullptr, false);
    ShowEnabled(IsWindowEnabled(), false);
}

void CScrollBar::ShowEnabled(bool enabled, bool redraw)
{
    if (!enabled)
        EndTracking();
    m_pHotPart = nullptr;
    m_pScrollBar->SetState(enabled ? 0 : kVisualDisabled, redraw);
}

void CScrollBar::Synchronize(const SCROLLINFO* info, bool redraw)
{
    if (!m_pScrollBar)
        return;
    SCROLLINFO own = MakeScrollInfo(SIF_ALL);
    if (!info) {
        if (!::GetScrollInfo(m_hWnd, SB_CTL, &own))
            own.fMask = 0;
        info = &own;
    }
    m_pScrollBar->SetScrollInfo(*info, FALSE);
    Glyph::CRect client = GetClientRect();
    m_pScrollBar->SetRegion(Base::CClientDC(m_hWnd), client);
    if (redraw && ::IsWindowVisible(m_hWnd))
        m_pScrollBar->Draw(Base::CClientDC(m_hWnd), nullptr);
}

int CScrollBar::CursorTravel() const
{
    POINT now = {0, 0};
    ::GetCursorPos(&now);
    return m_bVert ? now.y - m_ptPress.y : now.x - m_ptPress.x;
}

void CScrollBar::Notify(int code, int pos)
{
    HWND parent = GetParent();
    if (!parent)
        return;
    ::SendMessageW(parent, m_bVert ? WM_VSCROLL : WM_HSCROLL,
                   MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(pos)),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void CScrollBar::ScrollAction()
{
    if (m_nPressedPart == PartThumb)
        Notify(SB_THUMBTRACK, m_pScrollBar->CalcPosBaseOnThumbPos(m_nThumbPosAtPress + CursorTravel()));
    else if (int code = ScrollCodeOfPart(m_nPressedPart); code >= 0)
        Notify(code, 0);
}

void CScrollBar::SetHotState(Glyph::CGlyph* part, INT64 state)
{
    if (auto* styled = dynamic_cast<Glyph::CStyledGlyph*>(part))
        styled->SetState(state, true);
}

void CScrollBar::EndTracking()
{
    ::KillTimer(m_hWnd, kTimerId);
    m_nPressedPart = PartNone;
    m_bCapturing = false;
    SetHotState(m_pHotPart, 0);
}

BOOL CScrollBar::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result, DWORD)
{
    if (!m_pScrollBar && message != WM_CREATE)
        return FALSE;
    switch (message) {
    case WM_CREATE:
        result = OnCreate();
        return TRUE;
    case WM_PAINT:
        result = OnPaint(hWnd);
        return TRUE;
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
        result = OnSetScrollState();
        return TRUE;
    case WM_SIZE:
        result = SynchronizeThenDefault(wParam != SIZE_MINIMIZED);
        return TRUE;
    case WM_SHOWWINDOW:
        result = SynchronizeThenDefault(wParam != 0);
        return TRUE;
    case WM_MOUSEMOVE:
        result = OnMouseMove(lParam);
        return TRUE;
    case WM_MOUSELEAVE:
        result = OnMouseLeave();
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(hWnd, lParam, result);
        return TRUE;
    case WM_TIMER:
        if (wParam != kTimerId)
            return FALSE;
        result = OnTimer(hWnd);
        return TRUE;
    case WM_LBUTTONUP:
        result = OnLButtonUp(hWnd);
        return TRUE;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(hWnd, reinterpret_cast<HWND>(lParam));
        return FALSE;
    case WM_LBUTTONDBLCLK:
        result = 0;
        return TRUE;
    case WM_ENABLE:
        // The native control may paint itself here; the styled look follows.
        ShowEnabled(wParam != 0, false);
        result = DefaultThenRepaint();
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CScrollBar::OnCreate()
{
    const LRESULT result = DefWindowProc();
    if (result != -1)
        Init();
    return result;
}

LRESULT CScrollBar::OnPaint(HWND hWnd)
{
    Base::CPaintDC dc(hWnd);
    if (dc)
        m_pScrollBar->Draw(dc, &dc.PaintRect());
    return 0;
}

LRESULT CScrollBar::OnSetScrollState()
{
    // The native bar may paint itself here; our look follows at once.
    const LRESULT result = DefaultThenRepaint();
    // Read back what the native control kept: it clamps the position
    // to the range, and the caller's record may be partial or null.
    Synchronize(nullptr, true);
    return result;
}

LRESULT CScrollBar::SynchronizeThenDefault(bool synchronize)
{
    if (synchronize)
        Synchronize(nullptr, false);
    return DefWindowProc();
}

Glyph::CGlyph* CScrollBar::PartAt(LPARAM point) const
{
    return m_pScrollBar->HitTest(Glyph::CPoint(GET_X_LPARAM(point), GET_Y_LPARAM(point)));
}

void CScrollBar::ChangeHotPart(Glyph::CGlyph* part)
{
    SetHotState(m_pHotPart, 0);
    m_pHotPart = part;
}

LRESULT CScrollBar::OnMouseMove(LPARAM lParam)
{
    if (m_bCapturing)
        return 0;
    Glyph::CGlyph* hit = PartAt(lParam);
    EnableMouseLeaveMsg();
    if (hit != m_pHotPart) {
        ChangeHotPart(hit);
        SetHotState(hit, 1);
    }
    return 0;
}

LRESULT CScrollBar::OnMouseLeave()
{
    PostMouseLeave();
    if (!m_bCapturing)
        ChangeHotPart(nullptr);
    return 0;
}

void CScrollBar::OnLButtonDown(HWND hWnd, LPARAM lParam, LRESULT& result)
{
    // A bar in the tab order takes the focus on a press, as the native one.
    if ((GetStyle() & WS_TABSTOP) && ::GetFocus() != hWnd)
        ::SetFocus(hWnd);
    if (!::IsWindow(hWnd))
        return;
    // The part under the click, also when no move announced it.
    Glyph::CGlyph* hit = PartAt(lParam);
    if (hit != m_pHotPart)
        ChangeHotPart(hit);
    SetHotState(m_pHotPart, 2);
    m_nPressedPart = m_pScrollBar->GetGlyphPartCode(m_pHotPart);
    m_nThumbPosAtPress = m_pScrollBar->GetCurrentThumbPos();
    ::GetCursorPos(&m_ptPress);
    ScrollAction();
    if (!::IsWindow(hWnd))
        return;
    m_bCapturing = true;
    ::SetCapture(hWnd);
    ::SetTimer(hWnd, kTimerId, kFirstDelay, nullptr);
    result = 0;
}

LRESULT CScrollBar::OnTimer(HWND hWnd)
{
    if (m_nPressedPart != PartNone) {
        ScrollAction();
        if (::IsWindow(hWnd) && m_nPressedPart != PartNone)
            ::SetTimer(hWnd, kTimerId, kRepeatDelay, nullptr);
    }
    return 0;
}

LRESULT CScrollBar::OnLButtonUp(HWND hWnd)
{
    ::KillTimer(hWnd, kTimerId);
    const int pressed = m_nPressedPart;
    m_nPressedPart = PartNone;
    if (pressed == PartThumb)
        Notify(SB_THUMBPOSITION, m_pScrollBar->CalcPosBaseOnThumbPos(m_nThumbPosAtPress + CursorTravel()));
    // Every press ends as the native bar ends it.
    if (pressed != PartNone && ::IsWindow(hWnd))
        Notify(SB_ENDSCROLL, 0);
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    EndTracking();
    return 0;
}

void CScrollBar::OnCaptureChanged(HWND hWnd, HWND newCapture)
{
    // Losing the capture without a release (another window took it)
    // must not leave the repeat timer running.
    if (m_bCapturing && newCapture != hWnd)
        EndTracking();
}

// ------------------------------------------------------- the scroll window

CScrollWnd::~CScrollWnd()
{
    delete m_pHorzScrollBar;
    delete m_pVertScrollBar;
}

void CScrollWnd::OnSubclassed()
{
    const DWORD style = GetStyle();
    try {
        if (style & WS_HSCROLL)
            m_pHorzScrollBar = new CHorzScrollBarGlyph;
        if (style & WS_VSCROLL)
            m_pVertScrollBar = new CVertScrollBarGlyph;
    } catch (...) {
        // Unstyled rather than half styled.
        delete m_pHorzScrollBar;
        m_pHorzScrollBar = nullptr;
        return;
    }
    Layout();
}

void CScrollWnd::Layout()
{
    if (!m_pHorzScrollBar && !m_pVertScrollBar)
        return;
    RECT window = GetWindowRect();
    RECT client = GetClientRect();
    ClientToScreen(client);
    const int cyHScroll = ::GetSystemMetrics(SM_CYHSCROLL);
    const int cxVScroll = ::GetSystemMetrics(SM_CXVSCROLL);
    // Where the native bars are: along the client area, not the frame.
    Glyph::CRect horz(client.left, client.bottom, client.right, client.bottom + cyHScroll);
    Glyph::CRect vert(client.right, client.top, client.right + cxVScroll, client.bottom);
    horz.OffsetRect(-window.left, -window.top);
    vert.OffsetRect(-window.left, -window.top);
    const INT64 state = IsWindowEnabled() ? 0 : kVisualDisabled;
    Base::CWindowDC dc(m_hWnd);
    for (CScrollBarGlyph* bar : {static_cast<CScrollBarGlyph*>(m_pHorzScrollBar),
                                 static_cast<CScrollBarGlyph*>(m_pVertScrollBar)}) {
        if (bar)
            bar->SetState(state, false);
    }
    if (m_pHorzScrollBar) {
        SCROLLINFO info = MakeScrollInfo(SIF_ALL);
        if (::GetScrollInfo(m_hWnd, SB_HORZ, &info))
            m_pHorzScrollBar->SetScrollInfo(info, FALSE);
        m_pHorzScrollBar->SetRegion(dc, horz);
    }
    if (m_pVertScrollBar) {
        SCROLLINFO info = MakeScrollInfo(SIF_ALL);
        if (::GetScrollInfo(m_hWnd, SB_VERT, &info))
            m_pVertScrollBar->SetScrollInfo(info, FALSE);
        m_pVertScrollBar->SetRegion(dc, vert);
    }
}

BOOL CScrollWnd::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD)
{
    if (message != WM_NCPAINT)
        return FALSE;
    result = DefWindowProc();
    if (!m_pHorzScrollBar && !m_pVertScrollBar)
        return TRUE;
    // The native side may have scrolled or resized since the last paint.
    Layout();
    const DWORD style = GetStyle();
    if (Base::CWindowDC dc(hWnd); dc) {
        if (m_pHorzScrollBar && (style & WS_HSCROLL))
            m_pHorzScrollBar->Draw(dc, nullptr);
        if (m_pVertScrollBar && (style & WS_VSCROLL))
            m_pVertScrollBar->Draw(dc, nullptr);
    }
    result = 0;
    return TRUE;
}

}  // namespace Windows
