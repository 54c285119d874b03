#pragma once
// Test doubles for the glyph tests: a vessel that records requests, a leaf
// of fixed size, a composition that counts clicks, and a 32-bit DIB canvas.
#include <windows.h>
#include <vector>
#include "orvel/glyph/Compose.h"

namespace GlyphTest {

using Glyph::CGlyph;
using Glyph::CPoint;
using Glyph::CRect;
using Glyph::CSize;

struct SRequest {
    enum EKind { Invalidate, Redraw, Cursor, GetDC, ReleaseDC, Adjust } kind;
    CRect rect;
    bool operator==(const SRequest& o) const { return kind == o.kind && rect == o.rect; }
};

class CRecordingVessel : public Glyph::IGlyphVessel {
public:
    void InvalidateVesselRect(const RECT* rect) override { Add(SRequest::Invalidate, rect); }
    void RedrawVesselRect(const RECT* rect) override { Add(SRequest::Redraw, rect); }
    void SetVesselCursor(HICON cursor) override
    {
        lastCursor = cursor;
        Add(SRequest::Cursor, nullptr);
    }
    HDC GetVesselDC() override
    {
        Add(SRequest::GetDC, nullptr);
        return reinterpret_cast<HDC>(0x1234);
    }
    void ReleaseVesselDC(HDC) override { Add(SRequest::ReleaseDC, nullptr); }
    void AdjustVesselLayout() override { Add(SRequest::Adjust, nullptr); }

    std::vector<SRequest> requests;
    HICON lastCursor = nullptr;

private:
    void Add(SRequest::EKind kind, const RECT* rect)
    {
        requests.push_back({kind, rect ? CRect(*rect) : CRect()});
    }
};

// A leaf that wants a fixed size, remembers its last offer and fills its
// draw region with one colour.
class CBoxGlyph : public CGlyph {
public:
    CBoxGlyph(int width = 0, int height = 0, COLORREF colour = RGB(0, 0, 0), bool* destroyed = nullptr)
        : m_size(width, height), m_colour(colour), m_destroyed(destroyed)
    {
    }
    CBoxGlyph(const CBoxGlyph&) = default;
    ~CBoxGlyph() override
    {
        if (m_destroyed)
            *m_destroyed = true;
    }

    CSize CalcSize(HDC, int cx, int cy, bool layoutPass) override
    {
        lastCx = cx;
        lastCy = cy;
        lastFlag = layoutPass;
        return m_size;
    }
    void Draw(HDC dc, const RECT* clip) override;

    // Exposes the protected helpers.
    using CGlyph::GetDrawRegion;
    using CGlyph::SetCursor;

    int lastCx = 0, lastCy = 0;
    bool lastFlag = false;
    CRect lastClip;
    int draws = 0;

private:
    CSize m_size;
    COLORREF m_colour;
    bool* m_destroyed;
};

// A column with optional margins that counts the clicks it is told of.
class CCountingCompose : public Glyph::CVerticalCompose {
public:
    bool GetContentMargins(CRect& margins) override
    {
        margins = m_margins;
        return m_hasMargins;
    }
    void OnClickGlyph(CGlyph* clicked) override
    {
        ++clicks;
        lastClicked = clicked;
        CVerticalCompose::OnClickGlyph(clicked);
    }
    void SetMargins(const CRect& margins)
    {
        m_margins = margins;
        m_hasMargins = true;
    }

    int clicks = 0;
    CGlyph* lastClicked = nullptr;

private:
    CRect m_margins;
    bool m_hasMargins = false;
};

// A memory device context over a top-down 32-bit DIB section.
class CDibCanvas {
public:
    CDibCanvas(int width, int height);
    ~CDibCanvas();
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF colour);
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// A top-down 32-bit DIB section filled by a function of (x, y); caller deletes.
HBITMAP MakeBitmap(int width, int height, COLORREF (*pixel)(int x, int y));

// Glyphs the registry holds right now, in walk order.
std::vector<CGlyph*> RegisteredGlyphs();

// Index of glyph in the list, or -1; counts must be checked separately.
int IndexOf(const std::vector<CGlyph*>& glyphs, const CGlyph* glyph);

}  // namespace GlyphTest
