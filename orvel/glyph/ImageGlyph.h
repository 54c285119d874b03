#pragma once
// Unstyled image leaves, the image-and-text row, and the glyph that places
// a real child window.
#include "Compose.h"
#include "TextGlyph.h"

namespace Glyph {

// One bitmap at its natural size, drawn at the region's top-left corner,
// optionally with a transparent colour. Measuring ignores the offer.
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
    void SetBitmap(HBITMAP bitmap, bool unused = false);
    // CLR_INVALID takes the colour of the bitmap's top-left pixel; it does
    // not switch transparency off. Needs a bitmap.
    void SetTransparentColor(COLORREF colour);

    HBITMAP GetBitmap() const { return m_hBitmap; }
    COLORREF GetTransparentColor() const { return m_crTransparent; }

protected:
    void Cleanup();
    bool TakeLoaded(HANDLE loaded);

    HBITMAP m_hBitmap;
    COLORREF m_crTransparent;
    bool m_bOwnBitmap;
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
