#include "StyledWnd.h"

#include <algorithm>
#include <new>

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

// A buffer kept between paints: making a context and a bitmap for every
// paint of every control cost more than painting the control.
struct CMemDC::SBuffer {
    Base::CBitmapDC dc;
    int nWidth = 0;
    int nHeight = 0;
    bool bBusy = false;
};

namespace {

// Buffers wider or taller than this are made for their paint and freed.
constexpr int kKeptBufferSide = 1024;
// Paints nest (a control's background asks its parent to paint), so a few.
constexpr size_t kKeptBuffers = 4;

// The kept buffers belong to the first thread that paints (hosts paint on
// one user-interface thread); other threads make theirs for each paint.
// Made once and never destroyed while the library is loaded: no destructor
// runs at process exit, and an unload gives them back.
struct SBufferPool {
    DWORD nThread = 0;
    CMemDC::SBuffer buffers[kKeptBuffers];
};
SBufferPool* g_pBufferPool = nullptr;

CMemDC::SBuffer* AcquireBuffer(int width, int height)
{
    if (width > kKeptBufferSide || height > kKeptBufferSide)
        return nullptr;
    if (!g_pBufferPool) {
        g_pBufferPool = new (std::nothrow) SBufferPool;
        if (!g_pBufferPool)
            return nullptr;
        g_pBufferPool->nThread = ::GetCurrentThreadId();
    }
    if (g_pBufferPool->nThread != ::GetCurrentThreadId())
        return nullptr;
    // A free buffer that fits, else the first free one, grown.
    CMemDC::SBuffer* free = nullptr;
    for (CMemDC::SBuffer& buffer : g_pBufferPool->buffers) {
        if (buffer.bBusy)
            continue;
        if (buffer.dc && width <= buffer.nWidth && height <= buffer.nHeight) {
            free = &buffer;
            break;
        }
        if (!free)
            free = &buffer;
    }
    if (!free)
        return nullptr;
    if (width > free->nWidth || height > free->nHeight || !free->dc) {
        // Grown to the largest client seen, in steps, so it is rarely made again.
        const int cx = std::min(kKeptBufferSide, (std::max({width, free->nWidth, 64}) + 63) & ~63);
        const int cy = std::min(kKeptBufferSide, (std::max({height, free->nHeight, 32}) + 31) & ~31);
        Base::CClientDC screen(nullptr);
        if (!free->dc.Create(screen, cx, cy)) {
            free->nWidth = free->nHeight = 0;
            return nullptr;
        }
        free->nWidth = cx;
        free->nHeight = cy;
    }
    free->bBusy = true;
    return free;
}

}  // namespace

CMemDC::CMemDC(HWND window, EStart start) : m_hWindow(window)
{
    ::GetClientRect(window, &m_rcClient);
    const int width = std::max<LONG>(m_rcClient.right, 1), height = std::max<LONG>(m_rcClient.bottom, 1);
    if ((m_pBuffer = AcquireBuffer(width, height)) != nullptr) {
        m_dc = m_pBuffer->dc;
        // The painting below sees a context of the window's size, in the
        // state a fresh one has; the destructor gives the state back.
        m_nSaved = ::SaveDC(m_dc);
        ::IntersectClipRect(m_dc, 0, 0, width, height);
    } else {
        Base::CClientDC windowDC(window);
        if (!m_own.Create(windowDC, width, height))
            return;
        m_dc = m_own;
    }
    if (start == ParentBackground)
        Windows::PaintParentBackground(window, m_dc);
    else
        ::FillRect(m_dc, &m_rcClient, ::GetSysColorBrush(COLOR_BTNFACE));
}

void CMemDC::ReleaseKeptBuffers()
{
    delete g_pBufferPool;
    g_pBufferPool = nullptr;
}

CMemDC::~CMemDC()
{
    if (m_pBuffer) {
        ::RestoreDC(m_dc, m_nSaved);
        m_pBuffer->bBusy = false;
    }
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
