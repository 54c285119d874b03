#include "Gdi.h"
#include "pardo/afx/Wnd.h"

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

bool CGdiObject::Attach(HGDIOBJ object)
{
    if (!object)
        return false;
    DeleteObject();
    m_hObject = object;
    return true;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

bool CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return false;
    bool ok = ::DeleteObject(m_hObject) != FALSE;
    m_hObject = nullptr;
    return ok;
}

bool CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc, width, height));
}

bool CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

int CBitmap::GetBitmap(BITMAP* info) const
{
    return ::GetObjectW(m_hObject, sizeof(BITMAP), info);
}

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateRectRgn(left, top, right, bottom));
}

bool CRgn::CreateRectRgnIndirect(const RECT* rc)
{
    return Attach(::CreateRectRgnIndirect(rc));
}

void CRgn::SetRectRgn(int left, int top, int right, int bottom)
{
    ::SetRectRgn(static_cast<HRGN>(m_hObject), left, top, right, bottom);
}

void CRgn::SetRectRgn(const RECT* rc)
{
    SetRectRgn(rc->left, rc->top, rc->right, rc->bottom);
}

int CRgn::GetRgnBox(RECT* rc) const
{
    return ::GetRgnBox(static_cast<HRGN>(m_hObject), rc);
}

CDC::~CDC()
{
    if (m_bOwned)
        DeleteDC();
}

bool CDC::Attach(HDC dc)
{
    if (!dc)
        return false;
    m_hDC = dc;
    m_bOwned = false;
    return true;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return dc;
}

bool CDC::CreateCompatibleDC(CDC* other)
{
    if (m_bOwned)
        DeleteDC();
    m_hDC = ::CreateCompatibleDC(other ? other->m_hDC : nullptr);
    m_bOwned = m_hDC != nullptr;
    return m_bOwned;
}

bool CDC::DeleteDC()
{
    if (!m_hDC || !m_bOwned)
        return false;
    bool ok = ::DeleteDC(m_hDC) != FALSE;
    m_hDC = nullptr;
    m_bOwned = false;
    return ok;
}

int CDC::SelectClipRgn(CRgn* region)
{
    return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(region->m_hObject) : nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, color);
}

void CDC::FillSolidRect(const RECT* rc, COLORREF color)
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::Draw3dRect(const RECT* rc, COLORREF topLeft, COLORREF bottomRight)
{
    int x = rc->left, y = rc->top, cx = rc->right - rc->left, cy = rc->bottom - rc->top;
    if (cx <= 0 || cy <= 0)
        return;
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

bool CDC::BitBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, cx, cy, source ? source->m_hDC : nullptr, sx, sy, rop) != FALSE;
}

bool CDC::StretchBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, int scx, int scy, DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, cx, cy, source ? source->m_hDC : nullptr, sx, sy, scx, scy, rop) != FALSE;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd())
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr)
{
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
