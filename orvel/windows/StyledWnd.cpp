#include "StyledWnd.h"

#include "../style/Painter.h"
#include "Buttons.h"
#include "StyledWndManager.h"

namespace Images {

// Every buffer starts from the parent's background (whatever copyBackground
// says): the window's own screen content may be the native control's
// drawing, and an uncleared bitmap shows black where a look draws nothing.
CMemDC::CMemDC(HWND window, bool /*copyBackground*/) : m_window(window)
{
    ::GetClientRect(window, &m_rect);
    HDC windowDC = ::GetDC(window);
    m_dc = ::CreateCompatibleDC(windowDC);
    m_bitmap = ::CreateCompatibleBitmap(windowDC, m_rect.right > 0 ? m_rect.right : 1,
                                        m_rect.bottom > 0 ? m_rect.bottom : 1);
    ::ReleaseDC(window, windowDC);
    if (m_dc && m_bitmap) {
        m_old = ::SelectObject(m_dc, m_bitmap);
        Windows::PaintParentBackground(window, m_dc);
    }
}

CMemDC::~CMemDC()
{
    if (m_dc) {
        if (m_old)
            ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    if (m_bitmap)
        ::DeleteObject(m_bitmap);
}

void CMemDC::Show()
{
    PAINTSTRUCT paint;
    HDC screen = ::BeginPaint(m_window, &paint);
    if (screen && m_dc) {
        const RECT& r = paint.rcPaint;
        ::BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, m_dc, r.left, r.top,
                 SRCCOPY);
    }
    ::EndPaint(m_window, &paint);
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
    POINT origin = {0, 0};
    ::MapWindowPoints(window, parent, &origin, 1);
    // The parent may leave objects, colours or its origin changed.
    int saved = ::SaveDC(dc);
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::RestoreDC(dc, saved);
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
