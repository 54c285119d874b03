#include "ImageArray.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>
#include "../base/GdiHandles.h"
#include "../base/Module.h"
#include "../resource/IniReader.h"
#include "../resource/ModuleResources.h"

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
    : m_hBitmap(bitmap), m_clrTransparent(transparent)
{
}

CExtendBitmap::~CExtendBitmap()
{
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
}

void CExtendBitmap::Attach(HBITMAP bitmap)
{
    if (m_hBitmap && m_hBitmap != bitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
}

HBITMAP CExtendBitmap::Detach()
{
    HBITMAP bitmap = m_hBitmap;
    m_hBitmap = nullptr;
    return bitmap;
}

COLORREF CExtendBitmap::SetTransparentColor(COLORREF color)
{
    COLORREF previous = m_clrTransparent;
    m_clrTransparent = color;
    return previous;
}

SIZE CExtendBitmap::GetSize() const
{
    BITMAP info = {};
    if (!m_hBitmap || !GetObjectW(m_hBitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

bool CExtendBitmap::Draw(HDC dc, POINT source, POINT destination, SIZE size) const
{
    if (!m_hBitmap || !dc)
        return false;
    SIZE own = GetSize();
    if (size.cx < 0 || size.cx > own.cx)
        size.cx = own.cx;
    if (size.cy < 0 || size.cy > own.cy)
        size.cy = own.cy;
    CMemoryDC memory(dc);
    CSelectScope select(memory, m_hBitmap);
    if (m_clrTransparent != kNoColor)
        return TransparentCopy(dc, destination.x, destination.y, size.cx, size.cy, memory,
                               source.x, source.y, m_clrTransparent);
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
    m_nCount = count < 1 ? 1u : static_cast<UINT>(count);
    m_layout = layout == Horizontal ? Horizontal : Vertical;
    m_strip.Attach(bitmap);
    SIZE size = m_strip.GetSize();
    if (m_layout == Vertical)
        m_szSize = {size.cx, size.cy / static_cast<LONG>(m_nCount)};
    else
        m_szSize = {size.cx / static_cast<LONG>(m_nCount), size.cy};
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
    HANDLE image = Resource::CModuleResources::LoadBitmapImage(
        module ? module : Base::GetLibraryModule(), name, LR_CREATEDIBSECTION);
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
        return {0, m_szSize.cy * static_cast<LONG>(index)};
    return {m_szSize.cx * static_cast<LONG>(index), 0};
}

bool CImageArray::DrawImage(HDC dc, UINT index, POINT point) const
{
    if (index >= m_nCount)
        index = 0;
    m_strip.Draw(dc, GetImageTopLeft(index), point, m_szSize);
    return true;
}

void CImageArray::DrawCenterImage(HDC dc, UINT index, const RECT& rect) const
{
    POINT at = {rect.left + (Width(rect) - m_szSize.cx) / 2, rect.top + (Height(rect) - m_szSize.cy) / 2};
    DrawImage(dc, index, at);
}

bool CImageArray::GetImage(CExtendBitmap& out, UINT index) const
{
    if (!m_strip.GetHandle() || m_szSize.cx <= 0 || m_szSize.cy <= 0)
        return false;
    if (index >= m_nCount)
        index = 0;
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, m_szSize.cx, m_szSize.cy);
    ReleaseDC(nullptr, screen);
    if (!image)
        return false;
    {
        CMemoryDC target;
        CSelectScope selectTarget(target, image);
        CMemoryDC source;
        CSelectScope selectSource(source, m_strip.GetHandle());
        POINT from = GetImageTopLeft(index);
        BitBlt(target, 0, 0, m_szSize.cx, m_szSize.cy, source, from.x, from.y, SRCCOPY);
    }
    out.Attach(image);
    out.SetTransparentColor(m_strip.GetTransparentColor());
    return true;
}

// ------------------------------------------------- CBackgroundImageArray

// Rendered fills by size and destination format, most recent last. Each
// entry holds every image of the strip at that size, one under the other,
// rendered when first drawn, in a memory device of its own: switching the
// bitmap of a device costs more than the copy itself under Wine. The mask
// of the transparent colour is made when first needed.
struct CBackgroundImageArray::SRenderCache {
    struct SEntry {
        LONG width = 0, height = 0;
        int bitsPerPixel = 0;
        UINT count = 0;
        CMemoryDC imageDC;
        HBITMAP image = nullptr;
        HGDIOBJ imageOld = nullptr;
        std::vector<bool> rendered;
        std::unique_ptr<CMemoryDC> maskDC;
        HBITMAP mask = nullptr;  // 1 where the image has maskColour
        HGDIOBJ maskOld = nullptr;
        std::vector<bool> masked;
        COLORREF maskColour = kNoColor;

        explicit SEntry(HDC compatible) : imageDC(compatible) {}
        ~SEntry() { Reset(); }
        // Frees the bitmaps and keeps the devices, for reuse by another size.
        void Reset()
        {
            if (imageOld)
                SelectObject(imageDC, imageOld);
            if (image)
                DeleteObject(image);
            if (maskOld)
                SelectObject(*maskDC, maskOld);
            if (mask)
                DeleteObject(mask);
            image = mask = nullptr;
            imageOld = maskOld = nullptr;
            rendered.clear();
            masked.clear();
            maskColour = kNoColor;
            s_pixels -= accounted;
            accounted = 0;
        }
        long long accounted = 0;  // pixels added to s_pixels
    };
    static constexpr size_t kEntries = 4;
    static constexpr long long kLargestEntry = 1024 * 1024;
    // Pixels held by every cache of the process: a bound on the memory
    // however many painters and sizes there are.
    static constexpr long long kAllPixels = 16 * 1024 * 1024;
    static std::atomic<long long> s_pixels;

    std::vector<std::unique_ptr<SEntry>> entries;
    // Sizes drawn once and not kept yet, most recent last: a size is kept
    // from its second draw on, so one-off sizes (a window being resized)
    // cost a plain draw and do not push out the sizes in use.
    struct SSize {
        LONG width, height;
        int bitsPerPixel;
    };
    static constexpr size_t kSeen = 8;
    std::vector<SSize> seen;

    // True if the size was seen before (and forgets it); remembers it if not.
    bool SeenBefore(LONG width, LONG height, int bitsPerPixel)
    {
        for (size_t i = 0; i < seen.size(); ++i) {
            if (seen[i].width == width && seen[i].height == height &&
                seen[i].bitsPerPixel == bitsPerPixel) {
                seen.erase(seen.begin() + static_cast<std::ptrdiff_t>(i));
                return true;
            }
        }
        if (seen.size() >= kSeen)
            seen.erase(seen.begin());
        seen.push_back({width, height, bitsPerPixel});
        return false;
    }
};
std::atomic<long long> CBackgroundImageArray::SRenderCache::s_pixels{0};

CBackgroundImageArray::CBackgroundImageArray() = default;

CBackgroundImageArray::~CBackgroundImageArray()
{
    DropCache();
    delete m_pFill;
}

void CBackgroundImageArray::DropCache()
{
    delete m_pCache;
    m_pCache = nullptr;
}

void CBackgroundImageArray::Attach(HBITMAP bitmap, int count, ImageLayout layout)
{
    DropCache();
    CImageArray::Attach(bitmap, count, layout);
}

HBITMAP CBackgroundImageArray::Detach()
{
    DropCache();
    return CImageArray::Detach();
}

void CBackgroundImageArray::SetSizingMargins(const RECT& margins)
{
    DropCache();
    m_rcMargins = margins;
}

void CBackgroundImageArray::SetSizingType(SizingType type)
{
    DropCache();
    CFill* fill = nullptr;
    switch (type) {
    case Stretch: fill = new CStretchFill(*this); break;
    case Tile: fill = new CTileFill(*this); break;
    case TileHorz: fill = new CTileHorzFill(*this); break;
    case TileVert: fill = new CTileVertFill(*this); break;
    case TileCenter: fill = new CTileCenterFill(*this); break;
    default: type = TrueSize; fill = new CTrueSizeFill(*this); break;
    }
    delete m_pFill;
    m_pFill = fill;
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
    if (!m_pFill)
        return;
    if (index >= m_nCount)
        index = 0;
    // Only fills that cover the whole destination can be kept as a picture.
    if (drawCenter && (m_sizingType == Stretch || m_sizingType == Tile) &&
        DrawFromCache(dc, index, destination, clip))
        return;
    m_pFill->Draw(dc, index, destination, clip, drawCenter);
}

bool CBackgroundImageArray::DrawFromCache(HDC dc, UINT index, const RECT& destination,
                                          const RECT& clip)
{
    const LONG width = Width(destination), height = Height(destination);
    if (!dc || width <= 0 || height <= 0 || m_szSize.cx <= 0 || m_szSize.cy <= 0 ||
        static_cast<long long>(width) * height > SRenderCache::kLargestEntry)
        return false;
    RECT visible;
    if (!IntersectRect(&visible, &destination, &clip))
        return true;  // nothing to draw, as for a direct draw

    // The parts to copy: all of them when the clip holds the destination;
    // otherwise those meeting the clip, and only if no two overlap (a direct
    // draw of some overlapping parts shows other pixels than the whole).
    const RECT image = {0, 0, m_szSize.cx, m_szSize.cy};
    const RECT local = {0, 0, width, height};
    RECT parts[9], drawn[9];
    int partCount = 0, drawnCount = 0;
    const bool whole = EqualRect(&visible, &destination) != FALSE;
    for (int part = 0; part < 9; ++part) {
        RECT target = GetPartRect(local, m_rcMargins, part);
        if (Width(target) < 1 || Height(target) < 1)
            continue;
        // A part whose source is empty leaves its destination undrawn.
        RECT source = GetPartRect(image, m_rcMargins, part);
        if (Width(source) < 1 || Height(source) < 1)
            return false;
        RECT moved = target, overlap;
        OffsetRect(&moved, destination.left, destination.top);
        if (!whole) {
            for (int i = 0; i < partCount; ++i) {
                if (IntersectRect(&overlap, &parts[i], &target))
                    return false;
            }
            if (IntersectRect(&overlap, &moved, &clip))
                drawn[drawnCount++] = target;
        }
        parts[partCount++] = target;
    }
    if (!whole) {
        std::copy(drawn, drawn + drawnCount, parts);
        partCount = drawnCount;
    }
    if (whole) {
        parts[0] = local;
        partCount = 1;
    }

    // The format of the destination's bitmap (GetDeviceCaps asks the display
    // driver and costs a hundred times a copy under Wine); 0 for a device
    // that is not a memory device.
    int bitsPerPixel = 0;
    if (GetObjectType(dc) == OBJ_MEMDC) {
        BITMAP target = {};
        if (GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof target, &target))
            bitsPerPixel = target.bmBitsPixel;
    }
    if (!m_pCache)
        m_pCache = new SRenderCache;
    auto& entries = m_pCache->entries;
    size_t at = entries.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& e = *entries[i];
        if (e.width == width && e.height == height && e.bitsPerPixel == bitsPerPixel) {
            at = i;
            break;
        }
    }
    if (at == entries.size()) {
        const long long pixels = 1LL * width * height * m_nCount;
        if (pixels > SRenderCache::kLargestEntry ||
            !m_pCache->SeenBefore(width, height, bitsPerPixel))
            return false;
        std::unique_ptr<SRenderCache::SEntry> entry;
        if (entries.size() >= SRenderCache::kEntries) {
            // The least recently used size gives up its bitmaps; its devices
            // serve the new one.
            entry = std::move(entries.front());
            entries.erase(entries.begin());
            entry->Reset();
        }
        if (SRenderCache::s_pixels + pixels > SRenderCache::kAllPixels)
            return false;
        if (!entry)
            entry = std::make_unique<SRenderCache::SEntry>(dc);
        entry->image = CreateCompatibleBitmap(dc, width, height * static_cast<LONG>(m_nCount));
        if (!entry->imageDC.Get() || !entry->image)
            return false;
        entry->width = width;
        entry->height = height;
        entry->bitsPerPixel = bitsPerPixel;
        entry->count = m_nCount;
        entry->imageOld = SelectObject(entry->imageDC, entry->image);
        entry->rendered.assign(m_nCount, false);
        entry->accounted = pixels;
        SRenderCache::s_pixels += pixels;
        entries.push_back(std::move(entry));
        at = entries.size() - 1;
    } else if (at + 1 != entries.size()) {
        std::rotate(entries.begin() + static_cast<std::ptrdiff_t>(at),
                    entries.begin() + static_cast<std::ptrdiff_t>(at) + 1, entries.end());
        at = entries.size() - 1;
    }
    SRenderCache::SEntry& entry = *entries[at];
    const LONG row = height * static_cast<LONG>(index);
    if (!entry.rendered[index]) {
        const RECT band = {0, row, width, row + height};
        COLORREF saved = EnableTransparent(kNoColor);
        m_pFill->Draw(entry.imageDC, index, band, band, true);
        EnableTransparent(saved);
        entry.rendered[index] = true;
    }
    const COLORREF key = GetTransparentColor();
    if (key == kNoColor) {
        for (int i = 0; i < partCount; ++i) {
            const RECT& p = parts[i];
            BitBlt(dc, destination.left + p.left, destination.top + p.top, Width(p), Height(p),
                   entry.imageDC, p.left, row + p.top, SRCCOPY);
        }
        return true;
    }

    if (!entry.mask) {
        entry.maskDC = std::make_unique<CMemoryDC>(dc);
        entry.mask = CreateBitmap(width, height * static_cast<LONG>(m_nCount), 1, 1, nullptr);
        if (!entry.maskDC->Get() || !entry.mask)
            return false;
        entry.maskOld = SelectObject(*entry.maskDC, entry.mask);
    }
    if (entry.maskColour != key) {
        entry.masked.assign(m_nCount, false);
        entry.maskColour = key;
    }
    if (!entry.masked[index]) {
        COLORREF oldBack = SetBkColor(entry.imageDC, key);
        BitBlt(*entry.maskDC, 0, row, width, height, entry.imageDC, 0, row, SRCCOPY);
        SetBkColor(entry.imageDC, oldBack);
        entry.masked[index] = true;
    }
    // destination ^ image, kept where the mask is set (white), ^ image:
    // the destination where transparent, the image elsewhere.
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    for (int i = 0; i < partCount; ++i) {
        const RECT& p = parts[i];
        const int x = destination.left + p.left, y = destination.top + p.top;
        BitBlt(dc, x, y, Width(p), Height(p), entry.imageDC, p.left, row + p.top, SRCINVERT);
        BitBlt(dc, x, y, Width(p), Height(p), *entry.maskDC, p.left, row + p.top, SRCAND);
        BitBlt(dc, x, y, Width(p), Height(p), entry.imageDC, p.left, row + p.top, SRCINVERT);
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    return true;
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
    const LONG width = m_szSize.cx, height = m_szSize.cy;
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
    RECT source = GetPartRect(RECT{0, 0, size.cx, size.cy}, m_owner.m_rcMargins, part);
    // In strip coordinates: the parts are copied straight from the strip.
    POINT origin = m_owner.GetImageTopLeft(m_nIndex);
    OffsetRect(&source, origin.x, origin.y);
    return source;
}

void CBackgroundImageArray::CFill::Draw(HDC dc, UINT index, const RECT& destination,
                                        const RECT& clip, bool drawCenter)
{
    SIZE size = m_owner.GetGlyphSize();
    RECT visible;
    if (!dc || size.cx <= 0 || size.cy <= 0 || IsRectEmpty(&destination) ||
        !IntersectRect(&visible, &destination, &clip))
        return;
    m_hDestination = dc;
    m_nIndex = index;
    m_rcRect = destination;
    m_rcClip = clip;

    // The parts come straight from the strip, which is as good as a copy of
    // the image and spares a device and a bitmap per draw.
    CMemoryDC memory(dc);
    if (!memory.Get())
        return;
    CSelectScope select(memory, m_owner.GetBitmap());
    if (!select.Selected())
        return;
    m_nIndex = index < m_owner.GetGlyphCount() ? index : 0;
    m_clrTransparent = m_owner.GetTransparentColor();
    m_hMemory = memory;

    for (int part = 0; part < 9; ++part) {
        if (part == 8 && !drawCenter)
            continue;
        RECT target = GetPartRect(destination, m_owner.m_rcMargins, part);
        RECT overlap;
        if (Width(target) >= 1 && Height(target) >= 1 && IntersectRect(&overlap, &target, &clip))
            DrawPart(part, target);
    }
    m_hMemory = nullptr;
    m_hDestination = nullptr;
}

void CBackgroundImageArray::CFill::DrawPart(int part, const RECT& target)
{
    RECT source = SourcePart(part);
    BitBlt(m_hDestination, target.left, target.top, Width(source), Height(source), m_hMemory,
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
    if (m_clrTransparent != kNoColor) {
        CExtendBitmap::TransparentCopy(m_hDestination, target.left, target.top, Width(s), Height(s),
                                       m_hMemory, s.left, s.top, m_clrTransparent, Width(target),
                                       Height(target));
    } else if (Width(s) == Width(target) && Height(s) == Height(target)) {
        BitBlt(m_hDestination, target.left, target.top, Width(s), Height(s), m_hMemory, s.left,
               s.top, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(m_hDestination, COLORONCOLOR);
        StretchBlt(m_hDestination, target.left, target.top, Width(target), Height(target), m_hMemory,
                   s.left, s.top, Width(s), Height(s), SRCCOPY);
        SetStretchBltMode(m_hDestination, oldMode);
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
            if (m_clrTransparent != kNoColor)
                CExtendBitmap::TransparentCopy(m_hDestination, x, y, w, h, m_hMemory, s.left, s.top,
                                               m_clrTransparent);
            else
                BitBlt(m_hDestination, x, y, w, h, m_hMemory, s.left, s.top, SRCCOPY);
        }
    }
}

}  // namespace Images
