#pragma once
// Image strips of a style pack: one bitmap holding an image per visual
// state, drawn with an optional transparent colour, and backgrounds that
// stretch or tile an image over any rectangle in nine parts.
#include <windows.h>
#include "../base/Export.h"

namespace Images {

constexpr COLORREF kNoColor = 0xFFFFFFFF;
struct SPixels;

// A bitmap with an optional transparent colour.
class ORVEL_API CExtendBitmap {
public:
    CExtendBitmap() = default;
    explicit CExtendBitmap(HBITMAP bitmap, COLORREF transparent = kNoColor);
    virtual ~CExtendBitmap();
    CExtendBitmap(const CExtendBitmap&) = delete;
    CExtendBitmap& operator=(const CExtendBitmap&) = delete;

    // Takes the bitmap, deleting the one held before unless it is the same.
    void Attach(HBITMAP bitmap);
    HBITMAP Detach();
    HBITMAP GetHandle() const { return m_hBitmap; }
    operator HBITMAP() const { return m_hBitmap; }

    COLORREF GetTransparentColor() const { return m_clrTransparent; }
    // Returns the colour held before; kNoColor switches transparency off.
    COLORREF SetTransparentColor(COLORREF color);
    SIZE GetSize() const;

    // A negative width or height means the bitmap's own; the size is limited
    // to the bitmap.
    bool Draw(HDC dc, POINT source, POINT destination, SIZE size) const;

    // Copies width x height from the source, leaving the pixels of the
    // transparent colour untouched on the destination. With a stretched size
    // (not 0xFFFFFFFF) the source area is stretched to it.
    static bool TransparentCopy(HDC destination, int x, int y, int width, int height, HDC source,
                                int sourceX, int sourceY, COLORREF transparent,
                                DWORD stretchedWidth = 0xFFFFFFFF,
                                DWORD stretchedHeight = 0xFFFFFFFF);

private:
    HBITMAP m_hBitmap = nullptr;
    COLORREF m_clrTransparent = kNoColor;
};

class ORVEL_API CImageArray {
public:
    enum ImageLayout { Vertical = 0, Horizontal = 1 };

    CImageArray() = default;
    virtual ~CImageArray();
    CImageArray(const CImageArray&) = delete;
    CImageArray& operator=(const CImageArray&) = delete;

    // A count below 1 is taken as 1: a strip always holds one image at least.
    virtual void Attach(HBITMAP bitmap, int count, ImageLayout layout);
    virtual HBITMAP Detach();
    bool LoadFromResource(int count, const wchar_t* name, HMODULE module = nullptr,
                          ImageLayout layout = Vertical);
    bool LoadFromResource(int count, UINT id, HMODULE module = nullptr,
                          ImageLayout layout = Vertical);
    bool LoadFromFile(int count, const wchar_t* path, ImageLayout layout = Vertical);

    static ImageLayout ReadImageLayoutFromStyle(const wchar_t* text);

    COLORREF EnableTransparent(COLORREF color);
    // The colour of the strip's top-left pixel becomes transparent.
    COLORREF AutoEnableTransparent();
    bool IsTransparent() const { return m_strip.GetTransparentColor() != kNoColor; }
    COLORREF GetTransparentColor() const { return m_strip.GetTransparentColor(); }

    UINT GetGlyphCount() const { return m_nCount; }
    SIZE GetGlyphSize() const { return m_szSize; }
    ImageLayout GetLayout() const { return m_layout; }
    HBITMAP GetBitmap() const { return m_strip.GetHandle(); }

    // An index at or beyond the count draws image 0.
    bool DrawImage(HDC dc, UINT index, POINT point) const;
    void DrawCenterImage(HDC dc, UINT index, const RECT& rect) const;
    // One image as a new screen-compatible bitmap, with the array's colour.
    bool GetImage(CExtendBitmap& out, UINT index) const;

protected:
    POINT GetImageTopLeft(UINT index) const;
    // The strip as 32-bit pixels, kept in the render cache; null when it
    // cannot be read. Under the cache's lock.
    SPixels* StripPixels(HDC dc) const;
    // DrawImage from the image's pixels kept in the render cache; false when
    // the device or the strip needs GDI's own copy.
    bool DrawKeptImage(HDC dc, UINT index, POINT point) const;

    UINT m_nCount = 0;
    SIZE m_szSize = {0, 0};
    ImageLayout m_layout = Vertical;
    CExtendBitmap m_strip;
};

class ORVEL_API CBackgroundImageArray : public CImageArray {
public:
    enum SizingType { TrueSize = 0, Stretch, Tile, TileHorz, TileVert, TileCenter };

    class ORVEL_API CFill {
    public:
        explicit CFill(CBackgroundImageArray& owner) : m_owner(owner) {}
        // Virtual, unlike a plain fill record: the array deletes every fill
        // through this base.
        virtual ~CFill() = default;
        CFill(const CFill&) = delete;
        CFill& operator=(const CFill&) = delete;

        virtual void Draw(HDC dc, UINT index, const RECT& destination, const RECT& clip,
                          bool drawCenter);
        virtual void DrawPart(int part, const RECT& destinationPart);

    protected:
        RECT SourcePart(int part) const;

        CBackgroundImageArray& m_owner;
        HDC m_hDestination = nullptr;
        UINT m_nIndex = 0;
        RECT m_rcRect = {};
        RECT m_rcClip = {};
        HDC m_hMemory = nullptr;
        COLORREF m_clrTransparent = kNoColor;
    };
    class ORVEL_API CTrueSizeFill : public CFill {
    public:
        using CFill::CFill;
        void Draw(HDC dc, UINT index, const RECT& destination, const RECT& clip,
                  bool drawCenter) override;
    };
    class ORVEL_API CStretchFill : public CFill {
    public:
        using CFill::CFill;
        void DrawPart(int part, const RECT& destinationPart) override;
    };
    class ORVEL_API CTileFill : public CFill {
    public:
        using CFill::CFill;
        void DrawPart(int part, const RECT& destinationPart) override;
    };
    class ORVEL_API CTileHorzFill : public CFill {
    public:
        using CFill::CFill;
    };
    class ORVEL_API CTileVertFill : public CFill {
    public:
        using CFill::CFill;
    };
    class ORVEL_API CTileCenterFill : public CFill {
    public:
        using CFill::CFill;
    };

    CBackgroundImageArray();
    ~CBackgroundImageArray() override;

    void SetSizingType(SizingType type);
    SizingType GetSizingType() const { return m_sizingType; }
    void SetSizingMargins(const RECT& margins);
    const RECT& GetSizingMargins() const { return m_rcMargins; }
    static SizingType ReadSizingTypeFromStyle(const wchar_t* text);

    // Nothing is drawn before a sizing type is set. A stretched or tiled
    // fill with its centre is rendered from the strip's pixels in memory
    // and kept per image and size in the process's render cache, so a
    // repeated draw is one copy, clipped to the opaque pixels with a
    // transparent colour.
    void Draw(HDC dc, UINT index, const RECT& destination, const RECT& clip, bool drawCenter);

    // Part p (0-8: four corners, four edges, centre) of rect for the given
    // margins, normalised and clipped to rect.
    static RECT GetPartRect(const RECT& rect, const RECT& margins, int part);

    // The transparent pixels of image 0 as a region in image coordinates;
    // false (and no region) without transparency.
    bool GetTransparentRgn(HRGN& region) const;

private:
    // False when the fill must draw itself (the device or the parts do not
    // allow a copy of a rendering).
    bool DrawRendered(HDC dc, UINT index, const RECT& destination, const RECT& clip);

    SizingType m_sizingType = TrueSize;
    RECT m_rcMargins = {-1, -1, -1, -1};
    CFill* m_pFill = nullptr;
};

}  // namespace Images
