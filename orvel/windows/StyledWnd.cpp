#include "StyledWnd.h"

#include "StyledWndManager.h"

namespace Images {

CMemDC::CMemDC(HWND window, bool copyBackground) : m_window(window)
{
    ::GetClientRect(window, &m_rect);
    HDC windowDC = ::GetDC(window);
    m_dc = ::CreateCompatibleDC(windowDC);
    m_bitmap = ::CreateCompatibleBitmap(windowDC, m_rect.right > 0 ? m_rect.right : 1,
                                        m_rect.bottom > 0 ? m_rect.bottom : 1);
    if (m_dc && m_bitmap) {
        m_old = ::SelectObject(m_dc, m_bitmap);
        if (copyBackground)
            ::BitBlt(m_dc, 0, 0, m_rect.right, m_rect.bottom, windowDC, 0, 0, SRCCOPY);
    }
    ::ReleaseDC(window, windowDC);
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
