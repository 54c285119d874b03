#pragma once
// Point, size and rectangle values over the Win32 records, so they pass
// wherever a POINT, SIZE or RECT is expected. Right and bottom are exclusive.
#include <windows.h>

namespace Base {

class CPoint : public POINT {
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(LONG px, LONG py) noexcept : POINT{px, py} {}
    CPoint(const POINT& pt) noexcept : POINT(pt) {}

    bool operator==(const POINT& o) const noexcept { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const noexcept { return !(*this == o); }
};

class CSize : public SIZE {
public:
    CSize() noexcept : SIZE{0, 0} {}
    CSize(LONG w, LONG h) noexcept : SIZE{w, h} {}
    CSize(const SIZE& s) noexcept : SIZE(s) {}

    bool operator==(const SIZE& o) const noexcept { return cx == o.cx && cy == o.cy; }
    bool operator!=(const SIZE& o) const noexcept { return !(*this == o); }
};

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(LONG l, LONG t, LONG r, LONG b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& rc) noexcept : RECT(rc) {}
    CRect(const POINT& topLeft, const SIZE& size) noexcept
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    LONG Width() const noexcept { return right - left; }
    LONG Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }

    bool IsRectEmpty() const noexcept { return ::IsRectEmpty(this) != FALSE; }
    bool PtInRect(POINT pt) const noexcept { return ::PtInRect(this, pt) != FALSE; }

    void SetRect(LONG l, LONG t, LONG r, LONG b) noexcept { left = l; top = t; right = r; bottom = b; }
    void OffsetRect(LONG dx, LONG dy) noexcept { ::OffsetRect(this, dx, dy); }
    // Shrinks each side by the matching field of margins.
    void DeflateRect(const RECT& margins) noexcept
    {
        left += margins.left;
        top += margins.top;
        right -= margins.right;
        bottom -= margins.bottom;
    }
    // Stores a ∩ b; false (and an empty rectangle) when they do not overlap.
    bool IntersectRect(const RECT& a, const RECT& b) noexcept
    {
        return ::IntersectRect(this, &a, &b) != FALSE;
    }

    bool operator==(const RECT& o) const noexcept
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const RECT& o) const noexcept { return !(*this == o); }
};

}  // namespace Base
