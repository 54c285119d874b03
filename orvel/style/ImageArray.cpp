#include "ImageArray.h"

#include <algorithm>
#include <vector>
#include "../base/GdiHandles.h"
#include "../base/Module.h"
#include "../resource/IniReader.h"

namespace Images {

using Base::CBitmapHandle;
using Base::CMemoryDC;
using Base::CSelectScope;

namespace {

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

// --------------------------------------------------------- CExtendBitmap

CExtendBitmap::CExtendBitmap(HBITMAP bitmap, COLORREF transparent)
    : m_bitmap(bitmap), m_transparent(transparent)
{
}

CExtendBitmap::~CExtendBitmap()
{
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

void CExtendBitmap::Attach(HBITMAP bitmap)
{
    if (m_bitmap && m_bitmap != bitmap)
        DeleteObject(m_bitmap);
    m_bitmap = bitmap;
}

HBITMAP CExtendBitmap::Detach()
{
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    return bitmap;
}

COLORREF CExtendBitmap::SetTransparentColor(COLORREF color)
{
    COLORREF previous = m_transparent;
    m_transparent = color;
    return previous;
}

SIZE CExtendBitmap::GetSize() const
{
    BITMAP info = {};
    if (!m_bitmap || !GetObjectW(m_bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

bool CExtendBitmap::Draw(HDC dc, POINT source, POINT destination, SIZE size) const
{
    if (!m_bitmap || !dc)
        return false;
    SIZE own = GetSize();
    if (size.cx < 0 || size.cx > own.cx)
        size.cx = own.cx;
    if (size.cy < 0 || size.cy > own.cy)
        size.cy = own.cy;
    CMemoryDC memory(dc);
    CSelectScope select(memory, m_bitmap);
    if (m_transparent != kNoColor)
        return TransparentCopy(dc, destination.x, destination.y, size.cx, size.cy, memory,
                               source.x, source.y, m_transparent);
    return BitBlt(dc, destination.x, destination.y, size.cx, size.cy, memory, source.x, source.y,
                  SRCCOPY) != FALSE;
}

bool CExtendBitmap::TransparentCopy(HDC destination, int x, int y, int width, int height,
                                    HDC source, int sourceX, int sourceY, COLORREF transparent,
                                    DWORD stretchedWidth, DWORD stretchedHeight)
{
    bool stretched = stretchedWidth != 0xFFFFFFFF;
    int w = stretched ? static_cast<int>(stretchedWidth) : width;
    int h = stretched ? static_cast<int>(stretchedHeight) : height;
    if (w <= 0 || h <= 0 || width <= 0 || height <= 0)
        return false;

    CMemoryDC colorDC(destination);
    CBitmapHandle color(CreateCompatibleBitmap(destination, w, h));
    CMemoryDC maskDC(destination);
    CBitmapHandle mask(CreateBitmap(w, h, 1, 1, nullptr));
    if (!colorDC.Get() || !color || !maskDC.Get() || !mask)
        return false;
    CSelectScope selectColor(colorDC, color);
    CSelectScope selectMask(maskDC, mask);

    if (stretched) {
        int oldMode = SetStretchBltMode(colorDC, COLORONCOLOR);
        StretchBlt(colorDC, 0, 0, w, h, source, sourceX, sourceY, width, height, SRCCOPY);
        SetStretchBltMode(colorDC, oldMode);
    } else {
        BitBlt(colorDC, 0, 0, w, h, source, sourceX, sourceY, SRCCOPY);
    }

    // Mask: 1 where the colour bitmap holds the transparent colour.
    SetBkColor(colorDC, transparent);
    BitBlt(maskDC, 0, 0, w, h, colorDC, 0, 0, SRCCOPY);

    // Transparent pixels of the colour bitmap become black.
    SetBkColor(colorDC, RGB(0, 0, 0));
    SetTextColor(colorDC, RGB(255, 255, 255));
    BitBlt(colorDC, 0, 0, w, h, maskDC, 0, 0, SRCAND);

    // Opaque area of the destination becomes black, then takes the colours.
    COLORREF oldBack = SetBkColor(destination, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(destination, RGB(0, 0, 0));
    BitBlt(destination, x, y, w, h, maskDC, 0, 0, SRCAND);
    BitBlt(destination, x, y, w, h, colorDC, 0, 0, SRCPAINT);
    SetBkColor(destination, oldBack);
    SetTextColor(destination, oldText);
    return true;
}

// ----------------------------------------------------------- CImageArray

CImageArray::~CImageArray() = default;

void CImageArray::Attach(HBITMAP bitmap, int count, ImageLayout layout)
{
    // A count of 0 would divide by zero when cutting the strip.
    m_count = count < 1 ? 1u : static_cast<UINT>(count);
    m_layout = layout == Horizontal ? Horizontal : Vertical;
    m_strip.Attach(bitmap);
    SIZE size = m_strip.GetSize();
    if (m_layout == Vertical)
        m_size = {size.cx, size.cy / static_cast<LONG>(m_count)};
    else
        m_size = {size.cx / static_cast<LONG>(m_count), size.cy};
}

HBITMAP CImageArray::Detach()
{
    return m_strip.Detach();
}

bool CImageArray::LoadFromResource(int count, const wchar_t* name, HMODULE module,
                                   ImageLayout layout)
{
    if (!name)
        return false;
    HANDLE image = LoadImageW(module ? module : Base::GetLibraryModule(), name, IMAGE_BITMAP, 0,
                              0, LR_CREATEDIBSECTION);
    if (!image)
        return false;
    Attach(static_cast<HBITMAP>(image), count, layout);
    return true;
}

bool CImageArray::LoadFromResource(int count, UINT id, HMODULE module, ImageLayout layout)
{
    return LoadFromResource(count, MAKEINTRESOURCEW(id), module, layout);
}

bool CImageArray::LoadFromFile(int count, const wchar_t* path, ImageLayout layout)
{
    if (!path)
        return false;
    HANDLE image =
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    if (!image)
        return false;
    Attach(static_cast<HBITMAP>(image), count, layout);
    return true;
}

CImageArray::ImageLayout CImageArray::ReadImageLayoutFromStyle(const wchar_t* text)
{
    return Resource::EqualNoCase(text, L"horizontal") ? Horizontal : Vertical;
}

COLORREF CImageArray::EnableTransparent(COLORREF color)
{
    return m_strip.SetTransparentColor(color);
}

COLORREF CImageArray::AutoEnableTransparent()
{
    COLORREF corner = kNoColor;
    if (m_strip.GetHandle()) {
        CMemoryDC memory;
        CSelectScope select(memory, m_strip.GetHandle());
        corner = GetPixel(memory, 0, 0);
    }
    // A strip without pixels has no corner colour; leave transparency off.
    return m_strip.SetTransparentColor(corner == CLR_INVALID ? kNoColor : corner);
}

POINT CImageArray::GetImageTopLeft(UINT index) const
{
    if (m_layout == Vertical)
        return {0, m_size.cy * static_cast<LONG>(index)};
    return {m_size.cx * static_cast<LONG>(index), 0};
}

bool CImageArray::DrawImage(HDC dc, UINT index, POINT point) const
{
    if (index >= m_count)
        index = 0;
    m_strip.Draw(dc, GetImageTopLeft(index), point, m_size);
    return true;
}

void CImageArray::DrawCenterImage(HDC dc, UINT index, const RECT& rect) const
{
    POINT at = {rect.left + (Width(rect) - m_size.cx) / 2, rect.top + (Height(rect) - m_size.cy) / 2};
    DrawImage(dc, index, at);
}

bool CImageArray::GetImage(CExtendBitmap& out, UINT index) const
{
    if (!m_strip.GetHandle() || m_size.cx <= 0 || m_size.cy <= 0)
        return false;
    if (index >= m_count)
        index = 0;
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, m_size.cx, m_size.cy);
    ReleaseDC(nullptr, screen);
    if (!image)
        return false;
    {
        CMemoryDC target;
        CSelectScope selectTarget(target, image);
        CMemoryDC source;
        CSelectScope selectSource(source, m_strip.GetHandle());
        POINT from = GetImageTopLeft(index);
        BitBlt(target, 0, 0, m_size.cx, m_size.cy, source, from.x, from.y, SRCCOPY);
    }
    out.Attach(image);
    out.SetTransparentColor(m_strip.GetTransparentColor());
    return true;
}

// ------------------------------------------------- CBackgroundImageArray

CBackgroundImageArray::CBackgroundImageArray() = default;

CBackgroundImageArray::~CBackgroundImageArray()
{
    delete m_fill;
}

void CBackgroundImageArray::SetSizingType(SizingType type)
{
    CFill* fill = nullptr;
    switch (type) {
    case Stretch: fill = new CStretchFill(*this); break;
    case Tile: fill = new CTileFill(*this); break;
    case TileHorz: fill = new CTileHorzFill(*this); break;
    case TileVert: fill = new CTileVertFill(*this); break;
    case TileCenter: fill = new CTileCenterFill(*this); break;
    default: type = TrueSize; fill = new CTrueSizeFill(*this); break;
    }
    delete m_fill;
    m_fill = fill;
    m_sizingType = type;
}

CBackgroundImageArray::SizingType CBackgroundImageArray::ReadSizingTypeFromStyle(const wchar_t* text)
{
    static const struct { const wchar_t* word; SizingType type; } words[] = {
        {L"TrueSize", TrueSize}, {L"Stretch", Stretch},   {L"Tile", Tile},
        {L"TileHorz", TileHorz}, {L"TileVert", TileVert}, {L"TileCenter", TileCenter},
    };
    for (const auto& entry : words) {
        if (Resource::EqualNoCase(text, entry.word))
            return entry.type;
    }
    return TrueSize;
}

void CBackgroundImageArray::Draw(HDC dc, UINT index, const RECT& destination, const RECT& clip,
                                 bool drawCenter)
{
    if (m_fill)
        m_fill->Draw(dc, index, destination, clip, drawCenter);
}

RECT CBackgroundImageArray::GetPartRect(const RECT& r, const RECT& m, int part)
{
    RECT p;
    switch (part) {
    case 0: p = {r.left, r.top, r.left + m.left, r.top + m.top}; break;
    case 1: p = {r.right - m.right, r.top, r.right, r.top + m.top}; break;
    case 2: p = {r.left, r.bottom - m.bottom, r.left + m.left, r.bottom}; break;
    case 3: p = {r.right - m.right, r.bottom - m.bottom, r.right, r.bottom}; break;
    case 4: p = {r.left + m.left, r.top, r.right - m.right, r.top + m.top}; break;
    case 5: p = {r.left, r.top + m.top, r.left + m.left, r.bottom - m.bottom}; break;
    case 6: p = {r.right - m.right, r.top + m.top, r.right, r.bottom - m.bottom}; break;
    case 7: p = {r.left + m.left, r.bottom - m.bottom, r.right - m.right, r.bottom}; break;
    default: p = {r.left + m.left, r.top + m.top, r.right - m.right, r.bottom - m.bottom}; break;
    }
    if (p.left > p.right)
        std::swap(p.left, p.right);
    if (p.top > p.bottom)
        std::swap(p.top, p.bottom);
    p.left = std::max(p.left, r.left);
    p.top = std::max(p.top, r.top);
    p.right = std::min(p.right, r.right);
    p.bottom = std::min(p.bottom, r.bottom);
    return p;
}

bool CBackgroundImageArray::GetTransparentRgn(HRGN& region) const
{
    region = nullptr;
    if (!IsTransparent())
        return false;
    CExtendBitmap image;
    if (!GetImage(image, 0))
        return false;
    const LONG width = m_size.cx, height = m_size.cy;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, image.GetHandle(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return false;

    COLORREF c = GetTransparentColor();
    DWORD key = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    std::vector<RECT> runs;
    for (LONG y = 0; y < height; ++y) {
        const DWORD* row = &pixels[static_cast<size_t>(y) * width];
        for (LONG x = 0; x < width;) {
            if ((row[x] & 0xFFFFFF) != key) {
                ++x;
                continue;
            }
            LONG start = x;
            while (x < width && (row[x] & 0xFFFFFF) == key)
                ++x;
            runs.push_back({start, y, x, y + 1});
        }
    }
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->rcBound = {0, 0, width, height};
    if (!runs.empty())
        memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                             reinterpret_cast<const RGNDATA*>(data.data()));
    return region != nullptr;
}

// ------------------------------------------------------------------ fills

RECT CBackgroundImageArray::CFill::SourcePart(int part) const
{
    SIZE size = m_owner.GetGlyphSize();
    return GetPartRect(RECT{0, 0, size.cx, size.cy}, m_owner.m_margins, part);
}

void CBackgroundImageArray::CFill::Draw(HDC dc, UINT index, const RECT& destination,
                                        const RECT& clip, bool drawCenter)
{
    SIZE size = m_owner.GetGlyphSize();
    RECT visible;
    if (!dc || size.cx <= 0 || size.cy <= 0 || IsRectEmpty(&destination) ||
        !IntersectRect(&visible, &destination, &clip))
        return;
    m_destination = dc;
    m_index = index;
    m_rect = destination;
    m_clip = clip;

    CMemoryDC memory(dc);
    CBitmapHandle image(CreateCompatibleBitmap(dc, size.cx, size.cy));
    if (!memory.Get() || !image)
        return;
    CSelectScope select(memory, image);
    COLORREF saved = m_owner.EnableTransparent(kNoColor);
    m_owner.DrawImage(memory, index, POINT{0, 0});
    m_owner.EnableTransparent(saved);
    m_transparent = saved;
    m_memory = memory;

    for (int part = 0; part < 9; ++part) {
        if (part == 8 && !drawCenter)
            continue;
        RECT target = GetPartRect(destination, m_owner.m_margins, part);
        RECT overlap;
        if (Width(target) >= 1 && Height(target) >= 1 && IntersectRect(&overlap, &target, &clip))
            DrawPart(part, target);
    }
    m_memory = nullptr;
    m_destination = nullptr;
}

void CBackgroundImageArray::CFill::DrawPart(int part, const RECT& target)
{
    RECT source = SourcePart(part);
    BitBlt(m_destination, target.left, target.top, Width(source), Height(source), m_memory,
           source.left, source.top, SRCCOPY);
}

void CBackgroundImageArray::CTrueSizeFill::Draw(HDC dc, UINT index, const RECT& destination,
                                                const RECT& clip, bool)
{
    RECT visible;
    if (!dc || IsRectEmpty(&destination) || !IntersectRect(&visible, &destination, &clip))
        return;
    m_owner.DrawCenterImage(dc, index, destination);
}

void CBackgroundImageArray::CStretchFill::DrawPart(int part, const RECT& target)
{
    RECT s = SourcePart(part);
    s.right = std::min(s.right, s.left + Width(target));
    s.bottom = std::min(s.bottom, s.top + Height(target));
    if (Width(s) <= 0 || Height(s) <= 0)
        return;
    if (m_transparent != kNoColor) {
        CExtendBitmap::TransparentCopy(m_destination, target.left, target.top, Width(s), Height(s),
                                       m_memory, s.left, s.top, m_transparent, Width(target),
                                       Height(target));
    } else if (Width(s) == Width(target) && Height(s) == Height(target)) {
        BitBlt(m_destination, target.left, target.top, Width(s), Height(s), m_memory, s.left,
               s.top, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(m_destination, COLORONCOLOR);
        StretchBlt(m_destination, target.left, target.top, Width(target), Height(target), m_memory,
                   s.left, s.top, Width(s), Height(s), SRCCOPY);
        SetStretchBltMode(m_destination, oldMode);
    }
}

void CBackgroundImageArray::CTileFill::DrawPart(int part, const RECT& target)
{
    RECT s = SourcePart(part);
    s.right = std::min(s.right, s.left + Width(target));
    s.bottom = std::min(s.bottom, s.top + Height(target));
    // An empty source part would never advance the tiling.
    if (Width(s) <= 0 || Height(s) <= 0)
        return;
    for (LONG y = target.top; y < target.bottom; y += Height(s)) {
        LONG h = std::min(Height(s), target.bottom - y);
        for (LONG x = target.left; x < target.right; x += Width(s)) {
            LONG w = std::min(Width(s), target.right - x);
            if (m_transparent != kNoColor)
                CExtendBitmap::TransparentCopy(m_destination, x, y, w, h, m_memory, s.left, s.top,
                                               m_transparent);
            else
                BitBlt(m_destination, x, y, w, h, m_memory, s.left, s.top, SRCCOPY);
        }
    }
}

}  // namespace Images
