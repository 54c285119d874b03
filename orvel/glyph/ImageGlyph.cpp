#include "ImageGlyph.h"

#include <algorithm>
#include <new>
#include "../base/GdiHandles.h"
#include "../resource/ModuleResources.h"

namespace Glyph {

// ---- CImageGlyph ----

CImageGlyph::CImageGlyph() : m_pBitmap(nullptr), m_bOwnBitmap(false)
{
}

CImageGlyph::~CImageGlyph()
{
    Cleanup();
}

void CImageGlyph::Cleanup()
{
    if (m_pBitmap && m_bOwnBitmap)
        delete m_pBitmap;
    m_pBitmap = nullptr;
    m_bOwnBitmap = false;
}

bool CImageGlyph::TakeLoaded(HANDLE loaded)
{
    if (!loaded)
        return false;
    auto* bitmap = new (std::nothrow) Images::CExtendBitmap(static_cast<HBITMAP>(loaded));
    if (!bitmap) {
        DeleteObject(loaded);
        return false;
    }
    m_pBitmap = bitmap;
    m_bOwnBitmap = true;
    return true;
}

bool CImageGlyph::LoadBitmapFromResource(HINSTANCE module, UINT id)
{
    Cleanup();
    return TakeLoaded(Resource::CModuleResources::LoadBitmapImage(module, MAKEINTRESOURCEW(id), 0));
}

bool CImageGlyph::LoadBitmapFromFile(const wchar_t* path)
{
    Cleanup();
    if (!path)
        return false;
    return TakeLoaded(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

void CImageGlyph::SetBitmap(Images::CExtendBitmap* bitmap, bool)
{
    // Handing back the bitmap already shown changes nothing (Cleanup would
    // otherwise destroy an owned one and keep the dangling pointer).
    if (bitmap == m_pBitmap)
        return;
    Cleanup();
    m_pBitmap = bitmap;
}

void CImageGlyph::SetTransparentColor(COLORREF colour)
{
    if (!m_pBitmap || !m_pBitmap->GetHandle())
        return;
    if (colour == CLR_INVALID) {
        Base::CMemoryDC memory;
        Base::CSelectScope select(memory, m_pBitmap->GetHandle());
        if (!select.Selected())
            return;
        colour = GetPixel(memory, 0, 0);
    }
    m_pBitmap->SetTransparentColor(colour);
}

CSize CImageGlyph::CalcSize(HDC, int cx, int cy, bool)
{
    CSize size;
    if (m_pBitmap && m_pBitmap->GetHandle())
        size = m_pBitmap->GetSize();
    EnsureSizeValid(size, cx, cy);
    return size;
}

void CImageGlyph::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    if (!dc || !m_pBitmap || !m_pBitmap->GetHandle() || !GetDrawRegion(drawRegion, clip))
        return;
    // Only the part of the bitmap under the draw region: nothing is read
    // from outside the bitmap.
    const CSize bitmapSize = m_pBitmap->GetSize();
    const CPoint source(drawRegion.left - m_rcRegion.left, drawRegion.top - m_rcRegion.top);
    const CSize size(std::min<LONG>(drawRegion.Width(), bitmapSize.cx - source.x),
                     std::min<LONG>(drawRegion.Height(), bitmapSize.cy - source.y));
    if (source.x < 0 || source.y < 0 || size.cx <= 0 || size.cy <= 0)
        return;
    m_pBitmap->Draw(dc, source, drawRegion.TopLeft(), size);
}

// ---- CImageGlyphEx ----

CImageGlyphEx::CImageGlyphEx(Images::CImageArray* images, INT64 index)
    : m_pImages(images), m_nImageIndex(index)
{
}

CSize CImageGlyphEx::CalcSize(HDC, int cx, int cy, bool)
{
    CSize size;
    if (m_pImages)
        size = m_pImages->GetGlyphSize();
    EnsureSizeValid(size, cx, cy);
    return size;
}

void CImageGlyphEx::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    if (!dc || !m_pImages || m_nImageIndex < 0 ||
        m_nImageIndex >= static_cast<INT64>(m_pImages->GetGlyphCount()) ||
        !GetDrawRegion(drawRegion, clip))
        return;
    m_pImages->DrawCenterImage(dc, static_cast<UINT>(m_nImageIndex), m_rcRegion);
}

void CImageGlyphEx::SetImageIndex(INT64 index, bool redraw)
{
    m_nImageIndex = index;
    if (!IsVisible())
        return;
    if (redraw)
        Redraw();
    else
        Invalidate();
}

void CImageGlyphEx::SetImageArray(Images::CImageArray* images)
{
    m_pImages = images;
}

// ---- CGroupImageGlyph ----

CGroupImageGlyph::CGroupImageGlyph(Images::CImageArray* images, INT64 index, UINT64 groupSize)
    : CImageGlyphEx(images, index), m_nGroupSize(groupSize), m_nGroup(0), m_nIndexInGroup(index)
{
    m_nImageIndex = CalcRealImageIndex();
}

void CGroupImageGlyph::SetImageIndex(INT64 index, bool redraw)
{
    m_nIndexInGroup = index;
    CImageGlyphEx::SetImageIndex(CalcRealImageIndex(), redraw);
}

void CGroupImageGlyph::SetGroup(INT64 group, bool redraw)
{
    m_nGroup = group;
    CImageGlyphEx::SetImageIndex(CalcRealImageIndex(), redraw);
}

INT64 CGroupImageGlyph::CalcRealImageIndex() const
{
    return CalcRealImageIndex(m_nGroupSize, m_nGroup, m_nIndexInGroup, m_pImages);
}

INT64 CGroupImageGlyph::CalcRealImageIndex(UINT64 groupSize, INT64 group, INT64 position,
                                           const Images::CImageArray* images)
{
    // Unsigned arithmetic wraps where signed would overflow.
    const INT64 real = static_cast<INT64>(static_cast<UINT64>(group) * groupSize +
                                          static_cast<UINT64>(position));
    if (images && real >= static_cast<INT64>(images->GetGlyphCount()))
        return position;
    return real;
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
