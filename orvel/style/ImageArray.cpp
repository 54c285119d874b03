#include "ImageArray.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>
#include "../base/GdiHandles.h"
#include "../base/Module.h"
#include "../resource/IniReader.h"
#include "../resource/ModuleResources.h"
#include "RenderCache.h"

namespace Images {

using Base::CBitmapHandle;
using Base::CMemoryDC;
using Base::CSelectScope;

namespace {

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

// The largest picture rendered in memory: the background of a big frame.
constexpr long long kLargestRendering = 1024 * 1024;

// The source pixel of each destination pixel along one axis of a part. A
// stretch only enlarges here (a source part is first cut to its
// destination): pixel i takes the source pixel under its centre, the lower
// one on a tie, as StretchBlt does in COLORONCOLOR mode. A tile repeats.
void MapAxis(std::vector<LONG>& map, LONG length, LONG sourceStart, LONG sourceLength, bool stretch)
{
    map.resize(static_cast<size_t>(length));
    if (!stretch) {
        for (LONG i = 0; i < length; ++i)
            map[static_cast<size_t>(i)] = sourceStart + i % sourceLength;
        return;
    }
    // ((2i + 1) * sourceLength - 1) / (2 * length), stepped: the numerator
    // grows by 2 * sourceLength, at most one denominator a step.
    const long long step = 2LL * sourceLength, denominator = 2LL * length;
    long long quotient = (sourceLength - 1) / denominator, remainder = (sourceLength - 1) % denominator;
    for (LONG i = 0; i < length; ++i) {
        map[static_cast<size_t>(i)] = sourceStart + static_cast<LONG>(quotient);
        remainder += step;
        while (remainder >= denominator) {
            remainder -= denominator;
            ++quotient;
        }
    }
}

// Whether this platform's StretchBlt picks the pixels MapAxis picks, on
// both axes and from any offset; asked once. Where it does not, fills
// always draw through GDI, so what they draw never depends on the path.
bool StretchesAsThePlatform()
{
    static const bool same = [] {
        constexpr LONG kSide = 256;
        void* sourceBits = nullptr;
        void* targetBits = nullptr;
        CBitmapHandle source = Base::CreateTopDownDIB(kSide, kSide, &sourceBits);
        CBitmapHandle target = Base::CreateTopDownDIB(kSide, kSide, &targetBits);
        CMemoryDC sourceDC, targetDC;
        if (!sourceBits || !targetBits || !sourceDC.Get() || !targetDC.Get())
            return false;
        auto* from = static_cast<DWORD*>(sourceBits);
        const auto* to = static_cast<const DWORD*>(targetBits);
        for (LONG y = 0; y < kSide; ++y) {
            for (LONG x = 0; x < kSide; ++x)
                from[y * kSide + x] = static_cast<DWORD>((y << 12) | x);
        }
        CSelectScope selectSource(sourceDC, source);
        CSelectScope selectTarget(targetDC, target);
        SetStretchBltMode(targetDC, COLORONCOLOR);
        const SIZE lengths[] = {{1, 1},   {1, 9},   {3, 10},   {5, 5},    {7, 64},
                                {14, 52}, {13, 200}, {52, 192}, {60, 255}, {100, 101}};
        std::vector<LONG> map;
        for (SIZE pair : lengths) {
            // Source length cx to cy: along row 0 from x = 1, along column
            // 0 from y = 1, both from source offset 2.
            StretchBlt(targetDC, 1, 0, pair.cy, 1, sourceDC, 2, 0, pair.cx, 1, SRCCOPY);
            StretchBlt(targetDC, 0, 1, 1, pair.cy, sourceDC, 0, 2, 1, pair.cx, SRCCOPY);
            GdiFlush();
            MapAxis(map, pair.cy, 2, pair.cx, true);
            for (LONG i = 0; i < pair.cy; ++i) {
                const DWORD expected = static_cast<DWORD>(map[static_cast<size_t>(i)]);
                if ((to[1 + i] & 0xFFFFFF) != expected ||
                    (to[(1 + i) * kSide] & 0xFFFFFF) != expected << 12)
                    return false;
            }
        }
        return true;
    }();
    return same;
}

// A device a rendering can be copied to with the pixels a fill would draw:
// a memory device over a 24- or 32-bit bitmap (where the transparent colour
// compares as in the strip), without scaling, transforms or mirroring.
bool TakesPixels(HDC dc)
{
    if (GetObjectType(dc) != OBJ_MEMDC || GetMapMode(dc) != MM_TEXT ||
        GetGraphicsMode(dc) != GM_COMPATIBLE || GetLayout(dc) != 0)
        return false;
    BITMAP target = {};
    if (!GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof target, &target))
        return false;
    return target.bmBitsPixel == 32 || target.bmBitsPixel == 24;
}

// Renders the image at `origin` of the strip at width x height into out,
// part by part as the stretch (or tile) fill's DrawPart draws it. False when
// a direct draw would leave a pixel undrawn or draw one twice (overlapping
// parts).
bool RenderParts(const SPixels& strip, POINT origin, SIZE image, const RECT& margins, LONG width,
                 LONG height, bool stretch, SPixels& out)
{
    out.Allocate(width, height);
    const RECT local = {0, 0, width, height};
    const RECT imageRect = {0, 0, image.cx, image.cy};
    RECT drawn[9];
    int drawnCount = 0;
    long long covered = 0;
    // Kept between renders: their allocations would cost more than the picking.
    thread_local std::vector<LONG> mapX, mapY;
    for (int part = 0; part < 9; ++part) {
        const RECT target = CBackgroundImageArray::GetPartRect(local, margins, part);
        if (Width(target) < 1 || Height(target) < 1)
            continue;
        RECT source = CBackgroundImageArray::GetPartRect(imageRect, margins, part);
        source.right = std::min(source.right, source.left + Width(target));
        source.bottom = std::min(source.bottom, source.top + Height(target));
        if (Width(source) < 1 || Height(source) < 1)
            return false;
        RECT overlap;
        for (int i = 0; i < drawnCount; ++i) {
            if (IntersectRect(&overlap, &drawn[i], &target))
                return false;
        }
        drawn[drawnCount++] = target;
        covered += 1LL * Width(target) * Height(target);
        MapAxis(mapX, Width(target), origin.x + source.left, Width(source), stretch);
        MapAxis(mapY, Height(target), origin.y + source.top, Height(source), stretch);
        const size_t rowBytes = static_cast<size_t>(Width(target)) * sizeof(DWORD);
        for (LONG y = 0; y < Height(target); ++y) {
            DWORD* row = out.bits.get() + static_cast<size_t>(target.top + y) * width + target.left;
            // Stretched rows repeat: copy the row above rather than pick again.
            if (y > 0 && mapY[y] == mapY[y - 1]) {
                memcpy(row, row - width, rowBytes);
                continue;
            }
            const DWORD* from = strip.bits.get() + static_cast<size_t>(mapY[y]) * strip.width;
            for (LONG x = 0; x < Width(target); ++x)
                row[x] = from[mapX[x]];
        }
    }
    return covered == 1LL * width * height;
}

// Copies areas of the picture to origin plus each area's own offset; with
// a transparent colour the copies are clipped to the picture's other pixels
// and the device's own clip is put back. False (nothing drawn) when that
// clip cannot be made. Under the cache's lock.
bool CopyAreas(HDC dc, CRenderCache& cache, SPixels& picture, COLORREF key, POINT origin, const RECT* areas,
               int count)
{
    auto copy = [&] {
        for (int i = 0; i < count; ++i)
            picture.Copy(dc, origin.x + areas[i].left, origin.y + areas[i].top, areas[i]);
    };
    if (key == kNoColor) {
        copy();
        return true;
    }
    POINT at = origin;
    LPtoDP(dc, &at, 1);
    HRGN opaque = cache.OpaqueRegion(picture, key, at);
    HRGN saved = cache.ScratchRegion();
    const int hadClip = saved ? GetClipRgn(dc, saved) : -1;
    if (!opaque || hadClip < 0)
        return false;
    ExtSelectClipRgn(dc, opaque, RGN_AND);
    copy();
    SelectClipRgn(dc, hadClip == 1 ? saved : nullptr);
    return true;
}

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

CImageArray::~CImageArray()
{
    CRenderCache::GetInstance().Drop(this);
}

void CImageArray::Attach(HBITMAP bitmap, int count, ImageLayout layout)
{
    CRenderCache::GetInstance().Drop(this);
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
    CRenderCache::GetInstance().Drop(this);
    return m_strip.Detach();
}

SPixels* CImageArray::StripPixels(HDC dc) const
{
    CRenderCache& cache = CRenderCache::GetInstance();
    const CRenderCache::SKey key = {this, 0, 0, CRenderCache::kStrip};
    if (SPixels* found = cache.Find(key))
        return found;
    // Strips of 16 bits or of masks expand to 32 bits by rules of their own;
    // only those that convert exactly are read.
    DIBSECTION section = {};
    const int got = GetObjectW(m_strip.GetHandle(), sizeof section, &section);
    const WORD bits = got ? section.dsBm.bmBitsPixel : 0;
    const LONG width = got ? section.dsBm.bmWidth : 0, height = got ? section.dsBm.bmHeight : 0;
    if ((bits != 24 && bits != 32 && bits != 8 && bits != 4 && bits != 1) || width <= 0 || height <= 0 ||
        1LL * width * height > kLargestRendering ||
        (got == sizeof section && section.dsBmih.biCompression == BI_BITFIELDS))
        return nullptr;
    auto pixels = std::make_unique<SPixels>();
    pixels->Allocate(width, height);
    BITMAPINFO info = Base::TopDown32BitInfo(width, height);
    if (GetDIBits(dc, m_strip.GetHandle(), 0, static_cast<UINT>(height), pixels->bits.get(), &info,
                  DIB_RGB_COLORS) != height)
        return nullptr;
    return cache.Insert(key, pixels);
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
    if (!DrawKeptImage(dc, index, point))
        m_strip.Draw(dc, GetImageTopLeft(index), point, m_szSize);
    return true;
}

bool CImageArray::DrawKeptImage(HDC dc, UINT index, POINT point) const
{
    if (!dc || m_szSize.cx <= 0 || m_szSize.cy <= 0 || !TakesPixels(dc))
        return false;
    CRenderCache& cache = CRenderCache::GetInstance();
    auto lock = cache.Lock();
    // Images at their own size, apart from renderings of a fill.
    const CRenderCache::SKey key = {this, m_szSize.cx, m_szSize.cy, index | CRenderCache::kNatural};
    SPixels* image = cache.Find(key);
    std::unique_ptr<SPixels> kept;
    if (!image) {
        const SPixels* strip = StripPixels(dc);
        const POINT from = GetImageTopLeft(index);
        // An image reaching past the strip copies what the strip has: GDI's part.
        if (!strip || from.x + m_szSize.cx > strip->width || from.y + m_szSize.cy > strip->height)
            return false;
        kept = std::make_unique<SPixels>();
        kept->Allocate(m_szSize.cx, m_szSize.cy);
        for (LONG y = 0; y < m_szSize.cy; ++y)
            memcpy(kept->bits.get() + static_cast<size_t>(y) * m_szSize.cx,
                   strip->bits.get() + static_cast<size_t>(from.y + y) * strip->width + from.x,
                   static_cast<size_t>(m_szSize.cx) * sizeof(DWORD));
        image = kept.get();
        cache.Insert(key, kept);
    }
    const RECT all = {0, 0, m_szSize.cx, m_szSize.cy};
    return CopyAreas(dc, cache, *image, GetTransparentColor(), point, &all, 1);
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

CBackgroundImageArray::CBackgroundImageArray() = default;

CBackgroundImageArray::~CBackgroundImageArray()
{
    delete m_pFill;
}

void CBackgroundImageArray::SetSizingMargins(const RECT& margins)
{
    CRenderCache::GetInstance().Drop(this);
    m_rcMargins = margins;
}

void CBackgroundImageArray::SetSizingType(SizingType type)
{
    CRenderCache::GetInstance().Drop(this);
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
        DrawRendered(dc, index, destination, clip))
        return;
    m_pFill->Draw(dc, index, destination, clip, drawCenter);
}

bool CBackgroundImageArray::DrawRendered(HDC dc, UINT index, const RECT& destination,
                                         const RECT& clip)
{
    const LONG width = Width(destination), height = Height(destination);
    if (!dc || width <= 0 || height <= 0 || m_szSize.cx <= 0 || m_szSize.cy <= 0 ||
        1LL * width * height > kLargestRendering)
        return false;
    RECT visible;
    if (!IntersectRect(&visible, &destination, &clip))
        return true;  // nothing to draw, as for a direct draw
    const COLORREF key = GetTransparentColor();
    if (!TakesPixels(dc) || !StretchesAsThePlatform())
        return false;

    CRenderCache& cache = CRenderCache::GetInstance();
    auto lock = cache.Lock();
    const CRenderCache::SKey entry = {this, width, height, index};
    SPixels* image = cache.Find(entry);
    std::unique_ptr<SPixels> kept;
    if (!image) {
        const SPixels* strip = StripPixels(dc);
        if (!strip)
            return false;
        image = &cache.Scratch();
        if (cache.SeenBefore(entry)) {
            kept = std::make_unique<SPixels>();
            image = kept.get();
        }
        if (!RenderParts(*strip, GetImageTopLeft(index), m_szSize, m_rcMargins, width, height,
                         m_sizingType == Stretch, *image))
            return false;
        if (kept)
            cache.Insert(entry, kept);  // larger than the whole cache: drawn, not kept
    }

    // The parts to copy: the whole when the clip holds the destination, as
    // one piece; otherwise those meeting the clip, each whole, as a direct
    // draw copies them (a rendering has no overlapping parts).
    const RECT local = {0, 0, width, height};
    RECT parts[9];
    int partCount = 0;
    if (EqualRect(&visible, &destination)) {
        parts[partCount++] = local;
    } else {
        for (int part = 0; part < 9; ++part) {
            RECT target = GetPartRect(local, m_rcMargins, part), moved, overlap;
            if (Width(target) < 1 || Height(target) < 1)
                continue;
            moved = target;
            OffsetRect(&moved, destination.left, destination.top);
            if (IntersectRect(&overlap, &moved, &clip))
                parts[partCount++] = target;
        }
    }
    return CopyAreas(dc, cache, *image, key, POINT{destination.left, destination.top}, parts, partCount);
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

    const std::vector<BYTE> data = RunsRegionData(pixels.data(), width, height, GetTransparentColor(), true);
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
