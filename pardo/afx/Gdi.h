#pragma once
// Pardo's own application framework: geometry, GDI objects, device contexts.
#include <windows.h>
#include "pardo/PardoExport.h"

class CWnd;

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int px, int py) : POINT{px, py} {}
};

struct CSize : SIZE {
    CSize() : SIZE{0, 0} {}
    CSize(int width, int height) : SIZE{width, height} {}
};

struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rc) : RECT(rc) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void DeflateRect(int dx, int dy) { left += dx; top += dy; right -= dx; bottom -= dy; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    bool PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
    bool operator==(const RECT& rc) const { return EqualRect(this, &rc) != FALSE; }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

// Owns one GDI object; deletes it on destruction.
class PARDO_API CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    bool Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    bool DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    HGDIOBJ m_hObject = nullptr;
};

class PARDO_API CBitmap : public CGdiObject {
public:
    bool CreateCompatibleBitmap(HDC dc, int width, int height);
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    int GetBitmap(BITMAP* info) const;
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class PARDO_API CRgn : public CGdiObject {
public:
    bool CreateRectRgn(int left, int top, int right, int bottom);
    bool CreateRectRgnIndirect(const RECT* rc);
    void SetRectRgn(int left, int top, int right, int bottom);
    void SetRectRgn(const RECT* rc);
    int GetRgnBox(RECT* rc) const;
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

// A device context; the base neither creates nor releases it.
class PARDO_API CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    bool Attach(HDC dc);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A memory context of its own, deleted by the destructor.
    bool CreateCompatibleDC(CDC* other);
    bool DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(CGdiObject* object) { return ::SelectObject(m_hDC, object->m_hObject); }
    // Null removes the clip region.
    int SelectClipRgn(CRgn* region);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillSolidRect(const RECT* rc, COLORREF color);
    // One-pixel frame: top and left edges in topLeft, the others in bottomRight.
    void Draw3dRect(const RECT* rc, COLORREF topLeft, COLORREF bottomRight);
    bool BitBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, DWORD rop);
    bool StretchBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, int scx, int scy, DWORD rop);
    int SaveDC() { return ::SaveDC(m_hDC); }
    bool RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved) != FALSE; }

    HDC m_hDC = nullptr;

protected:
    bool m_bOwned = false;
};

// BeginPaint/EndPaint for the lifetime of the object.
class PARDO_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area.
class PARDO_API CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
