#pragma once
// Small helpers the glyph-drawn controls share: their client area as a
// glyph rectangle, a mouse position, and laying a glyph out with a DC.
#include <windows.h>
#include <windowsx.h>
#include "../base/GdiHandles.h"
#include "../glyph/Glyph.h"

namespace Windows {

namespace ControlGlyphs {


inline Glyph::CRect ClientOf(HWND window)
{
    RECT client = {};
    ::GetClientRect(window, &client);
    return Glyph::CRect(client.left, client.top, client.right, client.bottom);
}

inline Glyph::CPoint PointOf(LPARAM lParam)
{
    return Glyph::CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

inline void SetRegionWithDC(HWND window, Glyph::CGlyph& glyph, const Glyph::CRect& rect)
{
    Base::CClientDC dc(window);
    glyph.SetRegion(dc, rect);
}


}  // namespace ControlGlyphs

}  // namespace Windows
