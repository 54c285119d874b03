#include "ScrollBarFlat.h"
#include "../base/GdiHandles.h"

#include <windowsx.h>

namespace Windows {
namespace ScrollBarImpl {

namespace {

int g_cyHorzBar = 0;
int g_cxVertBar = 0;

constexpr UINT kBothBars = 3;

void SetStyleBits(HWND window, LONG_PTR style)
{
    if (::GetWindowLongPtrW(window, GWL_STYLE) != style)
        ::SetWindowLongPtrW(window, GWL_STYLE, style);
}

// Pops the re-dispatched message however the owner's handling ends.
class CRedispatchScope {
public:
    CRedispatchScope(std::vector<UINT>& stack, UINT message) : m_stack(stack) { m_stack.push_back(message); }
    ~CRedispatchScope() { m_stack.pop_back(); }
    CRedispatchScope(const CRedispatchScope&) = delete;
    CRedispatchScope& operator=(const CRedispatchScope&) = delete;

private:
    std::vector<UINT>& m_stack;
};

}  // namespace

CFlatScrollBarCore::CSizeBox::CSizeBox()
    : CStyledImageGlyph(Style::CStyle::ScrollBarSizeBox), m_bSizingGrip(false)
{
}

void CFlatScrollBarCore::CSizeBox::DrawContent(HDC dc, const RECT* clip)
{
    if (m_bSizingGrip)
        CStyledImageGlyph::DrawContent(dc, clip);
}

CFlatScrollBarCore::CFlatScrollBarCore()
{
    m_horzBar.Show(false);
    m_vertBar.Show(false);
    m_sizeBox.Show(false);
    m_horzBar.SetVessel(this);
    m_vertBar.SetVessel(this);
    m_sizeBox.SetVessel(this);
    g_cyHorzBar = ::GetSystemMetrics(SM_CYHSCROLL);
    g_cxVertBar = ::GetSystemMetrics(SM_CXVSCROLL);
}

CFlatScrollBarCore::~CFlatScrollBarCore() = default;

int CFlatScrollBarCore::HorzBarHeight()
{
    return g_cyHorzBar;
}

int CFlatScrollBarCore::VertBarWidth()
{
    return g_cxVertBar;
}

// ------------------------------------------------------------ vessel

void CFlatScrollBarCore::InvalidateVesselRect(const RECT*)
{
    RepaintScrollBars();
}

void CFlatScrollBarCore::RedrawVesselRect(const RECT*)
{
    RepaintScrollBars();
}

void CFlatScrollBarCore::SetVesselCursor(HICON cursor)
{
    ::SetCursor(cursor);
}

HDC CFlatScrollBarCore::GetVesselDC()
{
    return ::GetWindowDC(GetOwnerWindow());
}

void CFlatScrollBarCore::ReleaseVesselDC(HDC dc)
{
    ::ReleaseDC(GetOwnerWindow(), dc);
}

void CFlatScrollBarCore::AdjustVesselLayout()
{
}

// -------------------------------------------------------- synchronising

LRESULT CFlatScrollBarCore::Redispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    CRedispatchScope scope(m_redispatch, message);
    return DispatchToOwner(message, wParam, lParam);
}

bool CFlatScrollBarCore::SynchronizeBar(bool vert, UINT mask)
{
    HWND window = GetOwnerWindow();
    CScrollBarGlyph& bar = vert ? static_cast<CScrollBarGlyph&>(m_vertBar) : m_horzBar;
    const bool wasVisible = bar.IsVisible();
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    if (!(style & (vert ? WS_VSCROLL : WS_HSCROLL))) {
        if (!wasVisible)
            return false;
        bar.Show(false);
        return true;
    }
    // A hidden bar may hold anything: read all of it.
    SCROLLINFO info = MakeScrollInfo(wasVisible ? mask : SIF_ALL);
    if (::GetScrollInfo(window, vert ? SB_VERT : SB_HORZ, &info)) {
        bar.SetScrollInfo(info, TRUE);
        return wasVisible != bar.IsVisible();
    }
    if (!wasVisible)
        return false;
    bar.Show(false);
    return true;
}

void CFlatScrollBarCore::RecalcFrame(UINT extraFlags)
{
    HWND window = GetOwnerWindow();
    if (::IsWindow(window))
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | extraFlags);
}

void CFlatScrollBarCore::SynchronizeScrollBars(int bars, UINT mask)
{
    bool changed = false;
    if (bars == 0 || bars == static_cast<int>(kBothBars))
        changed |= SynchronizeBar(false, mask);
    if (bars == 1 || bars == static_cast<int>(kBothBars))
        changed |= SynchronizeBar(true, mask);
    if (changed)
        RecalcFrame(SWP_NOACTIVATE);
}

void CFlatScrollBarCore::PostScrollBarUpdate(int bars, UINT mask)
{
    ::PostMessageW(GetOwnerWindow(), kMsgScrollBarUpdate, static_cast<WPARAM>(bars), static_cast<LPARAM>(mask));
}

void CFlatScrollBarCore::OnOwnerSubclassed()
{
    HWND window = GetOwnerWindow();
    if (!::IsWindow(window))
        return;
    m_sizeBox.m_bSizingGrip = (::GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) != 0;
    SynchronizeBar(false, SIF_ALL);
    SynchronizeBar(true, SIF_ALL);
    // Always: the bar space moves from the native side to this object.
    RecalcFrame(SWP_NOACTIVATE);
}

void CFlatScrollBarCore::RepaintScrollBars(HRGN region)
{
    HWND window = GetOwnerWindow();
    if (!::IsWindow(window))
        return;
    if (!m_horzBar.IsVisible() && !m_vertBar.IsVisible() && !m_sizeBox.IsVisible())
        return;
    ShowEnabled(::IsWindowEnabled(window) != FALSE);
    Base::CWindowDC dc(window);
    if (!dc)
        return;
    if (region && region != reinterpret_cast<HRGN>(1)) {
        // SelectClipRgn copies the region, so the copy here can go at once.
        Base::CRegionHandle clip(::CreateRectRgn(0, 0, 0, 0));
        if (clip && ::CombineRgn(clip, region, nullptr, RGN_COPY) != ERROR) {
            RECT frame;
            ::GetWindowRect(window, &frame);
            ::OffsetRgn(clip, -frame.left, -frame.top);
            ::SelectClipRgn(dc, clip);
        }
    }
    if (m_horzBar.IsVisible())
        m_horzBar.Draw(dc, nullptr);
    if (m_vertBar.IsVisible())
        m_vertBar.Draw(dc, nullptr);
    if (m_sizeBox.IsVisible())
        m_sizeBox.Draw(dc, nullptr);
}

// ------------------------------------------------------- non-client area

LRESULT CFlatScrollBarCore::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    HWND window = GetOwnerWindow();
    auto* proposed = reinterpret_cast<RECT*>(lParam);
    const bool hasHeight = proposed && proposed->bottom != proposed->top;
    if (wParam && hasHeight) {
        const WINDOWPOS* pos = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->lppos;
        // The frame is being calculated right now: no recalculation of it.
        if (!pos || (pos->flags & SWP_FRAMECHANGED) || !(pos->flags & SWP_NOSIZE)) {
            SynchronizeBar(false, SIF_ALL);
            SynchronizeBar(true, SIF_ALL);
        }
    }
    const RECT frame = proposed ? *proposed : RECT{};
    const LONG_PTR scrollBits = WS_HSCROLL | WS_VSCROLL;
    SetStyleBits(window, ::GetWindowLongPtrW(window, GWL_STYLE) & ~scrollBits);
    const LRESULT result = Redispatch(WM_NCCALCSIZE, wParam, lParam);
    if (!::IsWindow(window))
        return result;
    const bool horz = m_horzBar.IsVisible();
    const bool vert = m_vertBar.IsVisible();
    LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE) & ~scrollBits;
    if (horz)
        style |= WS_HSCROLL;
    if (vert)
        style |= WS_VSCROLL;
    SetStyleBits(window, style);

    if (hasHeight) {
        RECT& client = *proposed;
        const int cy = HorzBarHeight();
        const int cx = VertBarWidth();
        // As the native side does: a bar takes space only where it fits.
        if (horz && client.bottom - client.top >= cy)
            client.bottom -= cy;
        if (vert && client.right - client.left >= cx)
            client.right -= cx;
        Glyph::CRect corner(client.right, client.bottom, client.right + (vert ? cx : 0),
                            client.bottom + (horz ? cy : 0));
        Glyph::CRect horzRect(client.left, client.bottom, client.right, client.bottom + cy);
        Glyph::CRect vertRect(client.right, client.top, client.right + cx, client.bottom);
        corner.OffsetRect(-frame.left, -frame.top);
        horzRect.OffsetRect(-frame.left, -frame.top);
        vertRect.OffsetRect(-frame.left, -frame.top);
        if (!corner.IsRectEmpty()) {
            m_sizeBox.SetRegion(nullptr, corner);
            m_sizeBox.Show(true);
        } else {
            m_sizeBox.Show(false);
        }
        m_horzBar.SetRegion(nullptr, horzRect);
        m_vertBar.SetRegion(nullptr, vertRect);
    }
    RepaintScrollBars();
    return result;
}

POINT CFlatScrollBarCore::ToWindow(POINT screenPoint) const
{
    RECT frame = {};
    ::GetWindowRect(GetOwnerWindow(), &frame);
    return POINT{screenPoint.x - frame.left, screenPoint.y - frame.top};
}

LRESULT CFlatScrollBarCore::OnNcHitTest(WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = Redispatch(WM_NCHITTEST, wParam, lParam);
    const POINT point = ToWindow(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (m_horzBar.IsVisible() && m_horzBar.GetRegion().PtInRect(point))
        return HTHSCROLL;
    if (m_vertBar.IsVisible() && m_vertBar.GetRegion().PtInRect(point))
        return HTVSCROLL;
    if (m_sizeBox.IsVisible() && m_sizeBox.GetRegion().PtInRect(point))
        return m_sizeBox.m_bSizingGrip ? HTBOTTOMRIGHT : HTBORDER;
    return answer;
}

void CFlatScrollBarCore::SetHot(Glyph::CGlyph* part, INT64 state)
{
    if (auto* styled = dynamic_cast<Glyph::CStyledGlyph*>(part))
        styled->SetState(state, true);
}

void CFlatScrollBarCore::OnNcMouseMove(WPARAM hitCode, LPARAM lParam)
{
    const POINT point = ToWindow(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    Glyph::CGlyph* hit = nullptr;
    if (hitCode == HTHSCROLL)
        hit = m_horzBar.HitTest(point);
    else if (hitCode == HTVSCROLL)
        hit = m_vertBar.HitTest(point);
    if (hit != m_pHotPart) {
        SetHot(m_pHotPart, 0);
        SetHot(hit, 1);
        m_pHotPart = hit;
    }
    if (m_pHotPart && !m_bNcTrackRequested) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE | TME_NONCLIENT, GetOwnerWindow(), HOVER_DEFAULT};
        m_bNcTrackRequested = ::_TrackMouseEvent(&track) != FALSE;
    }
}

// ------------------------------------------------------------- tracking

CScrollBarGlyph& CFlatScrollBarCore::TrackedBar()
{
    return m_nVert ? static_cast<CScrollBarGlyph&>(m_vertBar) : m_horzBar;
}

int CFlatScrollBarCore::AlongBar(POINT windowPoint)
{
    const Glyph::CRect& bar = TrackedBar().GetRegion();
    return m_nVert ? windowPoint.y - bar.top : windowPoint.x - bar.left;
}

void CFlatScrollBarCore::SendScroll(int code, int pos)
{
    ::SendMessageW(GetOwnerWindow(), m_nVert ? WM_VSCROLL : WM_HSCROLL,
                   MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(pos)), 0);
}

void CFlatScrollBarCore::TrackStep(UINT message, POINT screenPoint)
{
    HWND window = GetOwnerWindow();
    if (m_nPressedPart == PartNone && message != WM_LBUTTONDOWN)
        return;
    const POINT point = ToWindow(screenPoint);
    CScrollBarGlyph& bar = TrackedBar();
    auto partAt = [&bar](POINT at) { return bar.GetGlyphPartCode(bar.HitTest(Glyph::CPoint(at))); };
    int part = PartNone;
    switch (message) {
    case WM_LBUTTONDOWN:
        ::HideCaret(window);
        part = partAt(point);
        m_nPressedPart = part;
        m_nPressOffset = m_nLastOffset = AlongBar(point);
        m_nThumbPosAtPress = bar.get_m_nThumbPosition();
        m_ptLast = point;
        ::SetCapture(window);
        break;
    case WM_MOUSEMOVE:
        part = partAt(point);
        m_ptLast = point;
        break;
    case WM_TIMER:
        part = partAt(m_ptLast);
        break;
    case WM_LBUTTONUP:
        ::ReleaseCapture();
        if (::GetFocus() == window)
            ::ShowCaret(window);
        break;
    default:
        return;
    }

    if (m_nPressedPart == PartThumb) {
        if (message == WM_LBUTTONDOWN) {
            m_nLastTrackPos = bar.CalcPosBaseOnThumbPos(m_nThumbPosAtPress);
            SendScroll(SB_THUMBTRACK, m_nLastTrackPos);
            RepaintScrollBars();
        } else if (message == WM_MOUSEMOVE || message == WM_TIMER) {
            const int offset = AlongBar(point);
            if (offset != m_nLastOffset) {
                m_nLastOffset = offset;
                const int pos = bar.CalcPosBaseOnThumbPos(m_nThumbPosAtPress + offset - m_nPressOffset);
                if (pos != m_nLastTrackPos) {
                    SCROLLINFO info = MakeScrollInfo(SIF_POS | SIF_TRACKPOS);
                    info.nPos = info.nTrackPos = pos;
                    bar.SetScrollInfo(info, TRUE);
                    SendScroll(SB_THUMBTRACK, pos);
                    m_nLastTrackPos = pos;
                    RepaintScrollBars();
                }
            }
        }
    } else if (m_nPressedPart != PartNone && message != WM_LBUTTONUP) {
        if (part != m_nPressedPart) {
            // Off the pressed part the repeat pauses.
            ::KillTimer(window, kTimerId);
        } else {
            if (message == WM_LBUTTONDOWN || message == WM_TIMER)
                SendScroll(ScrollCodeOfPart(m_nPressedPart), 0);
            // Also on a move back over the part, so the repeat resumes.
            if (::IsWindow(window))
                ::SetTimer(window, kTimerId, message == WM_LBUTTONDOWN ? kFirstDelay : kRepeatDelay, nullptr);
        }
    }

    if (message == WM_LBUTTONUP) {
        const int pressed = m_nPressedPart;
        m_nPressedPart = PartNone;
        if (pressed == PartThumb)
            SendScroll(SB_THUMBPOSITION, m_nLastTrackPos);
        ::KillTimer(window, kTimerId);
        SendScroll(SB_ENDSCROLL, 0);
        RepaintScrollBars();
    }
}

void CFlatScrollBarCore::EndTrack()
{
    HWND window = GetOwnerWindow();
    if (::IsWindow(window))
        ::KillTimer(window, kTimerId);
    if (::GetCapture() == window || !::IsWindow(window))
        ::ReleaseCapture();
    m_nPressedPart = PartNone;
    m_bTracking = false;
    ClearHot();
}

void CFlatScrollBarCore::TrackLoop(bool vert, POINT screenPoint)
{
    if (m_bTracking)
        return;
    HWND window = GetOwnerWindow();
    m_bTracking = true;
    m_nVert = vert ? 1 : 0;
    TrackStep(WM_LBUTTONDOWN, screenPoint);
    for (;;) {
        if (!::IsWindow(window)) {
            // The window went away while tracking; nothing of it is touched.
            ::ReleaseCapture();
            m_bTracking = false;
            m_nPressedPart = PartNone;
            m_pHotPart = nullptr;
            return;
        }
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The loop that called us must see the quit as well.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            EndTrack();
            return;
        }
        if (::CallMsgFilterW(&msg, MSGF_SCROLLBAR))
            continue;
        POINT cursor = {0, 0};
        if (msg.message == WM_TIMER && msg.wParam == kTimerId && msg.hwnd == window) {
            ::GetCursorPos(&cursor);
            TrackStep(WM_TIMER, cursor);
            RepaintScrollBars();
        } else if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            ::GetCursorPos(&cursor);
            TrackStep(msg.message, cursor);
            if (msg.message == WM_LBUTTONUP) {
                EndTrack();
                return;
            }
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// --------------------------------------------------------- message map

BOOL CFlatScrollBarCore::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result, DWORD)
{
    if (!m_redispatch.empty() && m_redispatch.back() == message)
        return FALSE;
    m_bHandled = TRUE;
    switch (message) {
    case WM_CREATE:
        result = OnCreate(wParam, lParam);
        return TRUE;
    case WM_NCCALCSIZE:
        result = OnNcCalcSize(wParam, lParam);
        return TRUE;
    case WM_NCPAINT:
        result = OnNcPaint(wParam, lParam);
        return TRUE;
    case WM_NCHITTEST:
        result = OnNcHitTest(wParam, lParam);
        return TRUE;
    case WM_NCMOUSEMOVE:
        OnNcMouseMove(wParam, lParam);
        return Decline();
    case WM_NCMOUSELEAVE:
        result = OnNcMouseLeave();
        return TRUE;
    case WM_NCLBUTTONDOWN:
        return OnNcLButtonDown(hWnd, wParam, lParam, result);
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, lParam, result);
    case WM_HSCROLL:
    case WM_VSCROLL:
        result = OnScroll(hWnd, message, wParam, lParam);
        return TRUE;
    case WM_MOUSEWHEEL:
        result = OnMouseWheel(hWnd, wParam, lParam);
        return TRUE;
    case WM_KEYDOWN:
        result = OnKeyDown(hWnd, wParam, lParam);
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        result = OnWindowPosChanged(hWnd, wParam, lParam);
        return TRUE;
    case kMsgScrollBarUpdate:
        result = OnScrollBarUpdate(hWnd, wParam, lParam);
        return TRUE;
    case WM_ENABLE:
        // The owner repaints its client area only; the bars change look too.
        result = Redispatch(message, wParam, lParam);
        RepaintScrollBars();
        return TRUE;
    default:
        return Decline();
    }
}

void CFlatScrollBarCore::ShowEnabled(bool enabled)
{
    if (enabled != m_bShownDisabled)
        return;
    // A disabled window takes no mouse input, so no part can turn hot until
    // it is enabled again. No redraw here: the caller is painting.
    m_bShownDisabled = !enabled;
    m_pHotPart = nullptr;
    const INT64 state = enabled ? 0 : kVisualDisabled;
    m_horzBar.SetState(state, false);
    m_vertBar.SetState(state, false);
}

BOOL CFlatScrollBarCore::Decline()
{
    m_bHandled = FALSE;
    return FALSE;
}

void CFlatScrollBarCore::ClearHot()
{
    SetHot(m_pHotPart, 0);
    m_pHotPart = nullptr;
}

LRESULT CFlatScrollBarCore::OnCreate(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Redispatch(WM_CREATE, wParam, lParam);
    if (result != -1 && lParam)
        m_sizeBox.m_bSizingGrip = (reinterpret_cast<const CREATESTRUCTW*>(lParam)->style & WS_THICKFRAME) != 0;
    return result;
}

LRESULT CFlatScrollBarCore::OnNcPaint(WPARAM wParam, LPARAM lParam)
{
    Redispatch(WM_NCPAINT, wParam, lParam);
    RepaintScrollBars(reinterpret_cast<HRGN>(wParam));
    return 0;
}

LRESULT CFlatScrollBarCore::OnNcMouseLeave()
{
    ClearHot();
    m_bNcTrackRequested = false;
    return 0;
}

BOOL CFlatScrollBarCore::OnNcLButtonDown(HWND hWnd, WPARAM hitCode, LPARAM lParam, LRESULT& result)
{
    if (hitCode != HTHSCROLL && hitCode != HTVSCROLL)
        return Decline();
    SetHot(m_pHotPart, 2);
    ::SendMessageW(hWnd, WM_SYSCOMMAND, hitCode == HTHSCROLL ? (SC_HSCROLL | HTHSCROLL) : (SC_VSCROLL | HTVSCROLL),
                   lParam);
    result = 0;
    return TRUE;
}

BOOL CFlatScrollBarCore::OnSysCommand(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const WPARAM command = wParam & 0xFFF0;
    const WPARAM nibble = wParam & 0x000F;
    bool vert;
    if (command == SC_VSCROLL && nibble == HTVSCROLL)
        vert = true;
    else if (command == SC_HSCROLL && nibble == HTHSCROLL)
        vert = false;
    else
        return Decline();
    TrackLoop(vert, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    result = 0;
    return TRUE;
}

LRESULT CFlatScrollBarCore::OnScroll(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Redispatch(message, wParam, lParam);
    if (LOWORD(wParam) != SB_THUMBTRACK && ::IsWindow(hWnd))
        SynchronizeScrollBars(message == WM_VSCROLL ? 1 : 0, SIF_POS);
    return result;
}

LRESULT CFlatScrollBarCore::OnMouseWheel(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Redispatch(WM_MOUSEWHEEL, wParam, lParam);
    if (::IsWindow(hWnd)) {
        SynchronizeScrollBars(kBothBars, SIF_POS);
        RepaintScrollBars();
    }
    return result;
}

LRESULT CFlatScrollBarCore::OnKeyDown(HWND hWnd, WPARAM key, LPARAM lParam)
{
    const LRESULT result = Redispatch(WM_KEYDOWN, key, lParam);
    if (!::IsWindow(hWnd))
        return result;
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        SynchronizeScrollBars(1, SIF_POS);
        break;
    case VK_END:
    case VK_HOME:
        SynchronizeScrollBars(kBothBars, SIF_POS);
        break;
    default:
        break;
    }
    return result;
}

LRESULT CFlatScrollBarCore::OnWindowPosChanged(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Redispatch(WM_WINDOWPOSCHANGED, wParam, lParam);
    if (lParam && !(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
        ::PostMessageW(hWnd, kMsgScrollBarUpdate, kBothBars, SIF_ALL);
    return result;
}

LRESULT CFlatScrollBarCore::OnScrollBarUpdate(HWND hWnd, WPARAM bars, LPARAM mask)
{
    SynchronizeScrollBars(static_cast<int>(bars), static_cast<UINT>(mask));
    // Native controls may have drawn their own bar meanwhile (a change of
    // range redraws it at once).
    RepaintScrollBars();
    if ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL))
        RecalcFrame(0);
    return 0;
}

}  // namespace ScrollBarImpl
}  // namespace Windows
