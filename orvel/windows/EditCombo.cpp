#include "EditCombo.h"

#include "../base/GdiHandles.h"

#include <commctrl.h>
#include "../style/Painter.h"
#include "Buttons.h"
#include "StyledWndManager.h"

namespace Windows {

namespace {

constexpr UINT kAllButTrackPos = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;  // 23
constexpr WPARAM kBothBars = 3;

// Messages after which the native control has changed its scroll range or
// position without sending itself a scroll message.
bool ChangesEditScrolling(UINT message)
{
    switch (message) {
    case WM_SETTEXT: case WM_CHAR: case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_UNDO:
    case EM_REPLACESEL: case EM_UNDO: case EM_LINESCROLL: case EM_SCROLL: case EM_SCROLLCARET:
    case EM_SETSEL: case EM_SETMARGINS: case EM_FMTLINES: case WM_SETFONT:
        return true;
    default:
        return false;
    }
}

bool ChangesListScrolling(UINT message)
{
    switch (message) {
    case LB_ADDSTRING: case LB_INSERTSTRING: case LB_DELETESTRING: case LB_RESETCONTENT:
    case LB_SETTOPINDEX: case LB_SETCURSEL: case LB_SETCARETINDEX: case LB_SETHORIZONTALEXTENT:
    case LB_SETCOUNT: case LB_SETITEMHEIGHT: case LB_DIR: case LB_ADDFILE: case LB_SELECTSTRING:
    case LB_SETCOLUMNWIDTH: case WM_SETFONT: case LB_SETSEL: case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: case LB_SETANCHORINDEX:
    // Type-ahead search, keyboard moves, and the timer that scrolls while
    // the mouse drags a selection past the edge.
    case WM_CHAR: case WM_KEYDOWN: case WM_TIMER: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
        return true;
    default:
        return false;
    }
}

// The native procedure runs first; one update is posted however many such
// messages arrive before it is handled (filling a list item by item).
template <class TFlat>
void PostUpdateOnce(TFlat& flat, bool& pending)
{
    if (pending)
        return;
    pending = true;
    flat.PostScrollBarUpdate(static_cast<int>(kBothBars), kAllButTrackPos);
}

}  // namespace

// ------------------------------------------------------------------ edit

void CEdit::OnSubclassed()
{
    m_flat.OnOwnerSubclassed();
    ::PostMessageW(m_hWnd, kMsgScrollBarUpdate, 1, kAllButTrackPos);
}

LRESULT CEdit::OnNcPaint(WPARAM updateRegion)
{
    Base::CWindowDC dc(m_hWnd);
    if (!dc)
        return 0;
    RECT frame;
    ::GetWindowRect(m_hWnd, &frame);
    const RECT rect = {0, 0, frame.right - frame.left, frame.bottom - frame.top};
    HRGN region = reinterpret_cast<HRGN>(updateRegion);
    if (region && updateRegion != 1) {
        Base::CRegionHandle clip(::CreateRectRgn(0, 0, 0, 0));
        if (clip && ::CombineRgn(clip, region, nullptr, RGN_COPY) != ERROR) {
            ::OffsetRgn(clip, -frame.left, -frame.top);
            ::SelectClipRgn(dc, clip);  // the context keeps its own copy
        }
    }
    if (Style::CPainter* painter = CurrentPainter(Style::CStyle::Edit)) {
        painter->DrawBackground(dc, 0, rect, rect);
        // The frame painting covered the client area: the edit draws its
        // text again over it.
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return 0;
}

BOOL CEdit::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                 DWORD)
{
    if (message == kMsgScrollBarUpdate)
        m_bUpdatePending = false;
    if (m_flat.ProcessWindowMessage(hWnd, message, wParam, lParam, result))
        return TRUE;
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_NCPAINT:
        result = OnNcPaint(wParam);
        return TRUE;
    case WM_MOUSEMOVE:
        EnableMouseLeaveMsg();
        return FALSE;
    case WM_MOUSELEAVE:
        PostMouseLeave();
        result = 0;
        return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        ::PostMessageW(hWnd, kMsgScrollBarUpdate, kBothBars, kAllButTrackPos);
        return FALSE;
    default:
        if (!ChangesEditScrolling(message))
            return FALSE;
        result = DefWindowProc(message, wParam, lParam);
        PostUpdateOnce(m_flat, m_bUpdatePending);
        return TRUE;
    }
}

// -------------------------------------------------------------- list box

void CListBox::OnSubclassed()
{
    // Only list views answer this; the list box shares the shape.
    if (HWND header = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0));
        header && ::IsWindow(header)) {
        CStyledWndManager::GetInstance().EnableHeaderCtrlStyled(header);
        RECT rect;
        ::GetWindowRect(header, &rect);
        ::SetWindowPos(header, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + 20,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_flat.OnOwnerSubclassed();
    ::PostMessageW(m_hWnd, kMsgScrollBarUpdate, 0, kAllButTrackPos);
}

BOOL CListBox::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result, DWORD)
{
    if (message == kMsgScrollBarUpdate)
        m_bUpdatePending = false;
    if (m_flat.ProcessWindowMessage(hWnd, message, wParam, lParam, result))
        return TRUE;
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        ::PostMessageW(hWnd, kMsgScrollBarUpdate, kBothBars, kAllButTrackPos);
        return FALSE;
    default:
        if (!ChangesListScrolling(message))
            return FALSE;
        result = DefWindowProc(message, wParam, lParam);
        PostUpdateOnce(m_flat, m_bUpdatePending);
        return TRUE;
    }
}

// ------------------------------------------------------------ combo glyph

CComboBoxGlyph::CComboBoxGlyph()
    : Glyph::CStyledTextGlyph(Style::CStyle::Combobox), m_button(Style::CStyle::ComboboxDropDownButton)
{
}

CComboBoxGlyph::~CComboBoxGlyph() = default;

void CComboBoxGlyph::SetRegion(HDC dc, const Glyph::CRect& rect, int buttonLeft)
{
    Glyph::CStyledTextGlyph::SetRegion(dc, rect);
    Glyph::CRect button(buttonLeft >= 1 ? buttonLeft : rect.right - rect.Height(), rect.top, rect.right,
                        rect.bottom);
    Glyph::CRect margins;
    if (GetContentMargins(margins)) {
        button.right -= margins.right;
        button.top += margins.top;
        button.bottom -= margins.bottom;
    }
    m_button.SetRegion(dc, button);
}

void CComboBoxGlyph::SetState(INT64 state, bool redraw)
{
    if (state == m_nState)
        return;
    m_nState = state;
    Invalidate();
    m_button.SetState(state, false);
    if (redraw)
        Redraw();
}

Glyph::CGlyph* CComboBoxGlyph::HitTest(Glyph::CPoint point)
{
    return m_button.HitTest(point);
}

void CComboBoxGlyph::SetVessel(Glyph::IGlyphVessel* vessel)
{
    Glyph::CStyledTextGlyph::SetVessel(vessel);
    m_button.SetVessel(vessel);
}

void CComboBoxGlyph::DrawContent(HDC dc, const RECT* clip)
{
    Glyph::CStyledTextGlyph::DrawContent(dc, clip);
    m_button.Draw(dc, clip);
}

// ------------------------------------------------------------- combo box

void CComboBox::OnSubclassed()
{
    m_glyph.SetVessel(this);
    if (!IsWindowEnabled())
        m_glyph.SetState(3, false);
    const RECT client = GetClientRect();
    int buttonLeft = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    HWND edit = ::GetDlgItem(m_hWnd, 1001);
    if (!edit)
        edit = ::GetDlgItem(m_hWnd, GetDlgCtrlID());
    if (edit) {
        RECT rect;
        ::GetWindowRect(edit, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        buttonLeft = rect.right + 2;
    } else {
        m_glyph.SetText(GetWindowText(), false);
        m_bOwnText = true;
    }
    m_nButtonWidth = client.right - buttonLeft;
    m_glyph.SetRegion(Base::CWindowDC(m_hWnd), Glyph::CRect(client), buttonLeft);

    HWND parent = GetParent();
    if (parent && ::IsWindow(parent)) {
        RECT rect;
        ::GetWindowRect(m_hWnd, &rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        ::RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CComboBox::SetHot(Glyph::CGlyph* hot)
{
    if (hot == m_pHotGlyph)
        return;
    if (m_pHotGlyph)
        m_glyph.SetState(0, true);
    m_pHotGlyph = hot;
    if (m_pHotGlyph)
        m_glyph.SetState(1, true);
}

void CComboBox::RefreshText()
{
    if (!m_bOwnText)
        return;
    m_glyph.SetText(GetWindowText(), true);
    // The native control may have drawn its own text straight to the screen.
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CEdit::HasLook() const
{
    return HasPainterLook(Style::CStyle::Edit);
}

bool CComboBox::HasLook() const
{
    return HasPainterLook(Style::CStyle::Combobox);
}

void CComboBox::PaintNow()
{
    if (!HasLook())
        return;
    Images::CMemDC memory(m_hWnd, false);
    if (!memory.GetDC())
        return;
    m_glyph.Draw(memory, nullptr);
    Base::CClientDC dc(m_hWnd);
    const RECT& rect = memory.GetRect();
    if (dc)
        ::BitBlt(dc, 0, 0, rect.right, rect.bottom, memory, 0, 0, SRCCOPY);
}

BOOL CComboBox::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result, DWORD)
{
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT: {
        Images::CMemDC memory(hWnd, false);
        if (memory.GetDC())
            m_glyph.Draw(memory, nullptr);
        memory.Show();
        result = 0;
        return TRUE;
    }
    case WM_NCPAINT:
        result = 0;
        return TRUE;
    case WM_MOUSEMOVE:
        EnableMouseLeaveMsg();
        SetHot(&m_glyph);
        return FALSE;
    case WM_MOUSELEAVE:
        PostMouseLeave();
        if (m_pHotGlyph)
            m_glyph.SetState(0, true);
        m_pHotGlyph = nullptr;
        result = 0;
        return TRUE;
    case WM_LBUTTONDOWN:
        if (m_pHotGlyph)
            m_glyph.SetState(2, true);
        return FALSE;
    case WM_LBUTTONUP:
        if (m_pHotGlyph)
            m_glyph.SetState(1, true);
        return FALSE;
    case WM_ENABLE:
        result = DefaultThenRepaint();
        m_glyph.SetState(wParam ? 0 : 3, false);
        return TRUE;
    case WM_COMMAND:
    case CB_SETCURSEL:
        result = DefWindowProc(message, wParam, lParam);
        RefreshText();
        return TRUE;
    case WM_KILLFOCUS:
        result = DefWindowProc(message, wParam, lParam);
        if (m_bOwnText)
            PaintNow();
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && wParam != SIZE_MAXHIDE && m_nButtonWidth >= 0) {
            const int width = LOWORD(lParam);
            const int height = HIWORD(lParam);
            m_glyph.SetRegion(Base::CWindowDC(hWnd), Glyph::CRect(0, 0, width, height),
                              width - m_nButtonWidth);
        }
        return FALSE;
    case WM_NCMOUSEMOVE:
        result = DefaultThenRepaint();
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows
