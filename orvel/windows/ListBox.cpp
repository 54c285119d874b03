#include "ListBox.h"

#include <commctrl.h>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "Buttons.h"
#include "FlatBarOwner.h"
#include "ListView.h"
#include "StyledWndManager.h"

namespace Windows {

using namespace FlatBarOwner;

namespace {

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

}  // namespace

// -------------------------------------------------------------- list box

void CListBox::OnSubclassed()
{
    // Only list views answer for a header; the list box shares the shape.
    StyleListHeader(m_hWnd);
    m_flat.OnOwnerSubclassed();
    ::PostMessageW(m_hWnd, kMsgScrollBarUpdate, 0, kAllButTrackPos);
}

BOOL CListBox::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result, DWORD)
{
    if (OfferToBars(m_flat, m_bUpdatePending, hWnd, message, wParam, lParam, result))
        return TRUE;
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        ::PostMessageW(hWnd, kMsgScrollBarUpdate, kBothBars, kAllButTrackPos);
        return FALSE;
    default:
        if (!ChangesListScrolling(message))
            return FALSE;
        return DefaultThenPostUpdate(*this, m_flat, m_bUpdatePending, message, wParam, lParam, result);
    }
}

}  // namespace Windows
