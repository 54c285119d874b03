#pragma once
// Unstyled image leaves (a bitmap, an image of a strip, an image of a
// group), the image-and-text row, and the glyph that places a child window.
#include "Compose.h"
#include "../style/ImageArray.h"
#include "TextGlyph.h"

namespace Glyph {

// One bitmap at its natural size, drawn at the region's top-left corner,
// with the bitmap's transparent colour if it has one. Measuring ignores the
// offer.
class ORVEL_API CImageGlyph : public CGlyph {
public:
    CImageGlyph();
    ~CImageGlyph() override;
    // A copy would own the same bitmap.
    CImageGlyph(const CImageGlyph&) = delete;
    CImageGlyph& operator=(const CImageGlyph&) = delete;

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void Draw(HDC dc, const RECT* clip) override;

    // Both load an owned bitmap; on failure the glyph is left without one.
    bool LoadBitmapFromResource(HINSTANCE module, UINT id);
    bool LoadBitmapFromFile(const wchar_t* path);
    // Shows a bitmap that the caller keeps; the flag has no effect.
    void SetBitmap(Images::CExtendBitmap* bitmap, bool unused = false);
    Images::CExtendBitmap* GetBitmap() const { return m_pBitmap; }
    // CLR_INVALID takes the colour of the bitmap's top-left pixel; it does
    // not switch transparency off. Without a bitmap nothing happens.
    void SetTransparentColor(COLORREF colour);

protected:
    void Cleanup();
    bool TakeLoaded(HANDLE loaded);

    Images::CExtendBitmap* m_pBitmap;
    bool m_bOwnBitmap;
};

// One image of a strip (not owned), centred in the whole region; nothing is
// drawn without a strip or for an index outside it.
class ORVEL_API CImageGlyphEx : public CGlyph {
public:
    explicit CImageGlyphEx(Images::CImageArray* images = nullptr, INT64 index = 0);

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void Draw(HDC dc, const RECT* clip) override;
    // Repaints a visible glyph even when the index is unchanged.
    virtual void SetImageIndex(INT64 index, bool redraw);        // 11

    INT64 GetImageIndex() const { return m_nImageIndex; }
    void SetImageArray(Images::CImageArray* images);
    Images::CImageArray* GetImageArray() const { return m_pImages; }

protected:
    Images::CImageArray* m_pImages;
    INT64 m_nImageIndex;
};

// A strip read as consecutive groups of m_nGroupSize images; shows the image
// at a position inside the current group. A group beyond the strip falls
// back to the first group.
class ORVEL_API CGroupImageGlyph : public CImageGlyphEx {
public:
    CGroupImageGlyph(Images::CImageArray* images = nullptr, INT64 index = 0, UINT64 groupSize = 1);

    // index is the position inside the group.
    void SetImageIndex(INT64 index, bool redraw) override;
    void SetGroup(INT64 group, bool redraw);
    INT64 GetGroup() const { return m_nGroup; }

protected:
    INT64 CalcRealImageIndex() const;
    static INT64 CalcRealImageIndex(UINT64 groupSize, INT64 group, INT64 position,
                                    const Images::CImageArray* images);

    UINT64 m_nGroupSize;
    INT64 m_nGroup;
    INT64 m_nIndexInGroup;
};

// A row of an image and a single line of text (gap 2). The two are members,
// so the row does not delete them.
class ORVEL_API CHorzImageTextGlyph : public CHorizontalCompose {
public:
    explicit CHorzImageTextGlyph(bool unused = true);

    CImageGlyph& GetImageGlyph() { return m_image; }
    CSingleLineTextGlyph& GetTextGlyph() { return m_text; }

protected:
    CImageGlyph m_image;
    CSingleLineTextGlyph m_text;
};

// Places a child window (not owned) as if it were a glyph; the window
// paints itself. Measures as the offer, so it takes whatever it is given.
class ORVEL_API CWndGlyph : public CGlyph {
public:
    explicit CWndGlyph(HWND window = nullptr);

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;
    void Draw(HDC dc, const RECT* clip) override;
    // Showing also gives the window the keyboard focus.
    void Show(bool show) override;

    // Neither moves nor shows the window.
    void SetWindow(HWND window);
    HWND GetWindow() const { return m_hWnd; }

protected:
    HWND m_hWnd;
};

}  // namespace Glyph
