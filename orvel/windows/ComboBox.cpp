#include "ComboBox.h"

#include <commctrl.h>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "Buttons.h"
#include "FlatBarOwner.h"
#include "StyledWndManager.h"

namespace Windows {

using namespace FlatBarOwner;

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
    memory.ShowNow();
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
