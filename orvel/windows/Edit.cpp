#include "Edit.h"

#include <commctrl.h>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "Buttons.h"
#include "FlatBarOwner.h"
#include "StyledWndManager.h"

namespace Windows {

using namespace FlatBarOwner;

namespace {

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
    if (OfferToBars(m_flat, m_bUpdatePending, hWnd, message, wParam, lParam, result))
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
        return DefaultThenPostUpdate(*this, m_flat, m_bUpdatePending, message, wParam, lParam, result);
    }
}

bool CEdit::HasLook() const
{
    return HasPainterLook(Style::CStyle::Edit);
}

}  // namespace Windows
