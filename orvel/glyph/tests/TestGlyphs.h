#pragma once
// Test doubles for the glyph tests: a vessel that records requests, a leaf
// of fixed size and a column that counts clicks.
#include <windows.h>
#include <vector>
#include "orvel/glyph/Compose.h"
#include "tests/common/TestCommon.h"

namespace GlyphTest {

using Glyph::CGlyph;
using Glyph::CPoint;
using Glyph::CRect;
using Glyph::CSize;
using TestCommon::CDibCanvas;
using TestCommon::MakeBitmap;

constexpr RECT kEverywhere = {0, 0, 0x7FFF, 0x7FFF};

struct SRequest {
    enum EKind { Invalidate, Redraw, Other } kind;
    CRect rect;
    bool operator==(const SRequest& o) const { return kind == o.kind && rect == o.rect; }
};

class CRecordingVessel : public Glyph::IGlyphVessel {
public:
    void InvalidateVesselRect(const RECT* rect) override { requests.push_back({SRequest::Invalidate, *rect}); }
    void RedrawVesselRect(const RECT* rect) override { requests.push_back({SRequest::Redraw, *rect}); }
    void SetVesselCursor(HICON) override { requests.push_back({SRequest::Other, {}}); }
    HDC GetVesselDC() override { return nullptr; }
    void ReleaseVesselDC(HDC) override {}
    void AdjustVesselLayout() override { requests.push_back({SRequest::Other, {}}); }

    std::vector<SRequest> requests;
};

// A leaf that wants a fixed size, remembers its last offer and clip, and
// fills its draw region with one colour.
class CBoxGlyph : public CGlyph {
public:
    CBoxGlyph(int width = 0, int height = 0, COLORREF colour = 0, bool* destroyed = nullptr)
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

// A column, defined outside the library, with optional margins; counts clicks.
class CCountingCompose : public Glyph::CVerticalCompose {
public:
    bool GetContentMargins(CRect& margins) override
    {
        margins = m_margins;
        return hasMargins;
    }
    void OnClickGlyph(CGlyph* clicked) override
    {
        ++clicks;
        CVerticalCompose::OnClickGlyph(clicked);
    }
    void SetMargins(const CRect& margins)
    {
        m_margins = margins;
        hasMargins = true;
    }
    int clicks = 0;
    bool hasMargins = false;

private:
    CRect m_margins;
};

// The registry's glyphs in walk order, and a glyph's index there (-1: absent).
std::vector<CGlyph*> RegisteredGlyphs();
int IndexOf(const std::vector<CGlyph*>& glyphs, const CGlyph* glyph);

}  // namespace GlyphTest
