#include "ImageGlyph.h"

#include <algorithm>
#include "../base/GdiHandles.h"

namespace Glyph {

namespace {

bool BitmapSize(HBITMAP bitmap, CSize& size)
{
    BITMAP info = {};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info))
        return false;
    size = CSize(info.bmWidth, std::abs(info.bmHeight));
    return true;
}

}  // namespace

// ---- CImageGlyph ----

CImageGlyph::CImageGlyph() : m_hBitmap(nullptr), m_crTransparent(CLR_INVALID), m_bOwnBitmap(false)
{
}

CImageGlyph::~CImageGlyph()
{
    Cleanup();
}

void CImageGlyph::Cleanup()
{
    if (m_hBitmap && m_bOwnBitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_crTransparent = CLR_INVALID;
    m_bOwnBitmap = false;
}

bool CImageGlyph::TakeLoaded(HANDLE loaded)
{
    if (!loaded)
        return false;
    m_hBitmap = static_cast<HBITMAP>(loaded);
    m_bOwnBitmap = true;
    return true;
}

bool CImageGlyph::LoadBitmapFromResource(HINSTANCE module, UINT id)
{
    Cleanup();
    return TakeLoaded(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
}

bool CImageGlyph::LoadBitmapFromFile(const wchar_t* path)
{
    Cleanup();
    if (!path)
        return false;
    return TakeLoaded(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

void CImageGlyph::SetBitmap(HBITMAP bitmap, bool)
{
    // Handing back the bitmap already shown changes nothing (Cleanup would
    // otherwise destroy an owned one and keep its dead handle).
    if (bitmap == m_hBitmap)
        return;
    Cleanup();
    m_hBitmap = bitmap;
}

void CImageGlyph::SetTransparentColor(COLORREF colour)
{
    if (!m_hBitmap)
        return;
    if (colour == CLR_INVALID) {
        Base::CMemoryDC memory;
        Base::CSelectScope select(memory, m_hBitmap);
        if (!select.Selected())
            return;
        colour = GetPixel(memory, 0, 0);
    }
    m_crTransparent = colour;
}

CSize CImageGlyph::CalcSize(HDC, int cx, int cy, bool)
{
    CSize size;
    BitmapSize(m_hBitmap, size);
    EnsureSizeValid(size, cx, cy);
    return size;
}

void CImageGlyph::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    CSize bitmapSize;
    if (!dc || !BitmapSize(m_hBitmap, bitmapSize) || !GetDrawRegion(drawRegion, clip))
        return;
    // The part of the bitmap under the draw region; nothing is read from
    // outside the bitmap.
    const int srcX = drawRegion.left - m_rcRegion.left;
    const int srcY = drawRegion.top - m_rcRegion.top;
    const int width = std::min<int>(drawRegion.Width(), bitmapSize.cx - srcX);
    const int height = std::min<int>(drawRegion.Height(), bitmapSize.cy - srcY);
    if (srcX < 0 || srcY < 0 || width <= 0 || height <= 0)
        return;

    Base::CMemoryDC memory(dc);
    Base::CSelectScope select(memory, m_hBitmap);
    if (!select.Selected())
        return;
    if (m_crTransparent != CLR_INVALID) {
        TransparentBlt(dc, drawRegion.left, drawRegion.top, width, height, memory, srcX, srcY,
                       width, height, m_crTransparent);
    } else {
        BitBlt(dc, drawRegion.left, drawRegion.top, width, height, memory, srcX, srcY, SRCCOPY);
    }
}

// ---- CHorzImageTextGlyph ----

CHorzImageTextGlyph::CHorzImageTextGlyph(bool)
{
    m_bAutoDelete = false;
    AppendGlyph(&m_image);
    AppendGlyph(&m_text);
}

// ---- CWndGlyph ----

CWndGlyph::CWndGlyph(HWND window) : m_hWnd(window)
{
}

CSize CWndGlyph::CalcSize(HDC, int cx, int cy, bool)
{
    return CSize(cx, cy);
}

void CWndGlyph::SetRegion(HDC dc, const CRect& rect)
{
    if (m_hWnd)
        MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    CGlyph::SetRegion(dc, rect);
}

void CWndGlyph::Draw(HDC, const RECT*)
{
}

void CWndGlyph::Show(bool show)
{
    // Without a window there is nothing to show, and SetFocus(null) would
    // take the keyboard focus away from the whole thread.
    if (m_hWnd) {
        ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE);
        if (show)
            SetFocus(m_hWnd);
    }
    CGlyph::Show(show);
}

void CWndGlyph::SetWindow(HWND window)
{
    m_hWnd = window;
}

}  // namespace Glyph
