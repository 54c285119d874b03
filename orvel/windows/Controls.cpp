#include "Controls.h"

#include <algorithm>
#include <vector>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "Messages.h"

namespace Windows {

namespace {

Glyph::CRect ClientOf(HWND window)
{
    RECT client = {};
    ::GetClientRect(window, &client);
    return Glyph::CRect(client.left, client.top, client.right, client.bottom);
}

Glyph::CPoint PointOf(LPARAM lParam)
{
    return Glyph::CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

void SetRegionWithDC(HWND window, Glyph::CGlyph& glyph, const Glyph::CRect& rect)
{
    Base::CClientDC dc(window);
    glyph.SetRegion(dc, rect);
}

}  // namespace

// ------------------------------------------------------------------ static

namespace StaticImpl {

CContent::CContent(const std::wstring& text) : Glyph::CStyledTextGlyph(Style::CStyle::Static, text)
{
}

}  // namespace StaticImpl

CStatic::~CStatic()
{
    delete m_pContent;
    ReleasePicture();
}

void CStatic::OnSubclassed()
{
    DWORD type = GetStyle() & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)
        return;  // icons, bitmaps, frames and the rest paint natively
    // The native window keeps its text: the dialog manager takes mnemonics
    // of the next control from it, and the native look needs it without a
    // pack look.
    m_pContent = new StaticImpl::CContent(ShownText(GetWindowText().c_str()));
    m_pContent->SetVessel(this);
    RECT client = GetClientRect();
    Layout(client.right, client.bottom);
    m_pContent->SetState(static_cast<INT64>(type), false);
}

void CStatic::Layout(int width, int height)
{
    if (m_pContent)
        SetRegionWithDC(m_hWnd, *m_pContent, Glyph::CRect(0, 0, width, height));
}

// The pack's painter may underline mnemonics; a static that asks for none
// shows its ampersands as they are.
std::wstring CStatic::ShownText(const wchar_t* text) const
{
    std::wstring shown = text ? text : L"";
    if (!(GetStyle() & SS_NOPREFIX))
        return shown;
    for (size_t at = shown.find(L'&'); at != std::wstring::npos; at = shown.find(L'&', at + 2))
        shown.insert(at, 1, L'&');
    return shown;
}

// The pack's text painter has no disabled look (its states are the
// alignments): a disabled static shows the native greyed text.
bool CStatic::HasLook() const
{
    return IsWindowEnabled() && HasPainterLook(Style::CStyle::Static);
}

void CStatic::OnPaint()
{
    Images::CMemDC memory(m_hWnd, true);
    // The parent (a styled frame, say) sets the text colour.
    if (HWND parent = GetParent())
        ::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory.GetDC()),
                       reinterpret_cast<LPARAM>(m_hWnd));
    m_pContent->Draw(memory, nullptr);
    memory.Show();
}

void CStatic::SetPictureName(const wchar_t* name)
{
    m_strPictureName = name ? name : L"";
    ReloadPicture();
}

void CStatic::ReleasePicture()
{
    if (m_hPicture) {
        ::DeleteObject(m_hPicture);
        m_hPicture = nullptr;
    }
}

void CStatic::ReloadPicture()
{
    if (m_strPictureName.empty())
        return;
    HBITMAP picture = nullptr;
    POINT position = {};
    bool placed = false;
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        picture = style.ReadBitmap(m_strPictureName.c_str());
        if (const Resource::CSection* section = style.GetConfig().FindSection(L"BitmapPosition")) {
            if (const Resource::CLine* line = section->FindLine(m_strPictureName.c_str())) {
                SIZE size = {};
                line->ReadContentAsSize(size);
                position = {size.cx, size.cy};
                placed = true;
            }
        }
    } catch (...) {
        // A pack that cannot be read leaves the picture as it is.
        if (picture)
            ::DeleteObject(picture);
        return;
    }
    if (picture) {
        auto replaced = reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
        if (replaced && replaced != picture) {
            if (replaced == m_hPicture)
                m_hPicture = nullptr;
            ::DeleteObject(replaced);
        }
        // A static that is not a bitmap static refuses the picture; then it
        // is still ours to free.
        if (reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)) == picture) {
            ReleasePicture();
            m_hPicture = picture;
        } else {
            ::DeleteObject(picture);
        }
    }
    if (placed)
        ::SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE);
}

BOOL CStatic::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result, DWORD)
{
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT:
        if (!m_pContent)
            return FALSE;
        OnPaint();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        if (!m_pContent)
            return FALSE;
        result = 1;
        return TRUE;
    case WM_SETTEXT:
        if (!m_pContent)
            return FALSE;
        m_pContent->SetText(ShownText(reinterpret_cast<const wchar_t*>(lParam)), false);
        result = DefaultThenRepaint();
        return TRUE;
    case WM_ENABLE:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
        // The native static repaints itself straight away on these.
        if (!m_pContent)
            return FALSE;
        result = DefaultThenRepaint();
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            Layout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_MOUSEMOVE:
        EnableMouseLeaveMsg();
        return FALSE;
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        PostLeaveMessage();
        result = 0;
        return TRUE;
    case WM_DESTROY:
        result = 0;
        return TRUE;
    case kMsgStyleChanged:
        if (m_strPictureName.empty())
            return FALSE;
        ReloadPicture();
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

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

bool CSpinButton::HasLook() const
{
    return HasPainterLook((GetStyle() & UDS_HORZ) ? Style::CStyle::SpinUpHorz : Style::CStyle::SpinUp);
}

bool CTrackBar::HasLook() const
{
    return HasPainterLook((GetStyle() & TBS_VERT) ? Style::CStyle::TrackBarThumbVert
                                                  : Style::CStyle::TrackBarThumb);
}

void CProgressBar::PaintNow()
{
    if (!IsWindowVisible() || !HasLook())
        return;
    Images::CMemDC memory(m_hWnd, false);
    m_pGlyph->Draw(memory, nullptr);
    const RECT& r = memory.GetRect();
    Base::CClientDC dc(m_hWnd);
    ::BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
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
    default:
        return FALSE;
    }
}

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
    case WM_KEYDOWN:
        result = DefWindowProc();
        if (result == 0)
            LayoutThumb();
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows
