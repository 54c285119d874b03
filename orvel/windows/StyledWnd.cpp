#include "StyledWnd.h"

#include <algorithm>

#include "../style/Painter.h"
#include "Buttons.h"
#include "StyledWndManager.h"

namespace Images {

// Every buffer starts from the parent's background (whatever copyBackground
// says): the window's own screen content may be the native control's
// drawing, and an uncleared bitmap shows black where a look draws nothing.
CMemDC::CMemDC(HWND window, bool /*copyBackground*/) : CMemDC(window, ParentBackground)
{
}

CMemDC::CMemDC(HWND window, EStart start) : m_hWindow(window)
{
    ::GetClientRect(window, &m_rcClient);
    Base::CClientDC windowDC(window);
    if (!m_dc.Create(windowDC, std::max<LONG>(m_rcClient.right, 1), std::max<LONG>(m_rcClient.bottom, 1)))
        return;
    if (start == ParentBackground)
        Windows::PaintParentBackground(window, m_dc);
    else
        ::FillRect(m_dc, &m_rcClient, ::GetSysColorBrush(COLOR_BTNFACE));
}

void CMemDC::Show()
{
    Base::CPaintDC screen(m_hWindow);
    if (screen && m_dc) {
        const RECT& r = screen.PaintRect();
        ::BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, m_dc, r.left, r.top,
                 SRCCOPY);
    }
}

void CMemDC::ShowNow()
{
    Base::CClientDC screen(m_hWindow);
    if (screen && m_dc)
        ::BitBlt(screen, 0, 0, m_rcClient.right, m_rcClient.bottom, m_dc, 0, 0, SRCCOPY);
}

}  // namespace Images

namespace Windows {

void PaintParentBackground(HWND window, HDC dc)
{
    RECT client = {};
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    HWND parent = ::GetParent(window);
    if (!parent || !(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        return;
    // A parent that paints its children from its own printing (a list
    // view its header) would come back here for the same window without end.
    static thread_local HWND s_painting = nullptr;
    if (s_painting == window)
        return;
    HWND outer = s_painting;
    s_painting = window;
    POINT origin = {0, 0};
    ::MapWindowPoints(window, parent, &origin, 1);
    // The parent may leave objects, colours or its origin changed.
    int saved = ::SaveDC(dc);
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::RestoreDC(dc, saved);
    s_painting = outer;
}

bool HasPainterLook(int painterType) noexcept
{
    Style::CPainter* painter = CurrentPainter(painterType);
    return painter && (painter->GetBackground() || painter->GetForeground());
}

long& LiveStyledObjects()
{
    static long count = 0;
    return count;
}

void PostMouseNotify(HWND control, bool leave)
{
    HWND parent = ::GetParent(control);
    LONG_PTR id = ::GetWindowLongPtrW(control, GWLP_ID);
    CStyledWndManager& manager = CStyledWndManager::GetInstance();
    if (leave)
        manager.PostLeaveNotify(parent, id);
    else
        manager.PostEnterNotify(parent, id);
}

BOOL CControlContainer::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD)
{
    if (!ReflectNotifications(message, wParam, lParam, result))
        return FALSE;
    // A child that does not answer a reflected colour request returns 0;
    // the parent's own colours then still apply.
    bool colourRequest = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    return !(colourRequest && result == 0);
}

}  // namespace Windows
