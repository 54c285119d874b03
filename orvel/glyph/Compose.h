#pragma once
// Compositions: glyphs that hold an ordered list of children, draw and
// hit-test them in index order and lay them out as a column, a row or a
// wrapping row.
#include <vector>
#include "Glyph.h"

namespace Glyph {

// Owns its children only while m_bAutoDelete is true. None of the list
// operations lays out or repaints; the owner does that afterwards.
class ORVEL_API CCompose : public CGlyph {
public:
    CCompose();
    ~CCompose() override;
    // Copying would share (and, with auto-delete, destroy twice) the children.
    CCompose(const CCompose&) = delete;
    CCompose& operator=(const CCompose&) = delete;

    CGlyph* HitTest(CPoint point) override;
    void Draw(HDC dc, const RECT* clip) override;
    void SetVessel(IGlyphVessel* vessel) override;

    // Margins to keep free inside the region; false when there are none.
    virtual bool GetContentMargins(CRect& margins);               // 11
    // Passed on to every child composition, visible or not, depth first.
    virtual void OnClickGlyph(CGlyph* clicked);                   // 12

    UINT64 GetGlyphCount() const;
    // Null when index is not below the count.
    CGlyph* GetGlyph(UINT64 index) const;
    INT64 AppendGlyph(CGlyph* glyph);
    // index may equal the count (append); above it raises E_INVALIDARG.
    void InsertGlyphAt(UINT64 index, CGlyph* glyph);
    // Returns the old child, neither destroyed nor detached.
    CGlyph* ReplaceGlyphAt(UINT64 index, CGlyph* glyph);
    void RemoveGlyph(CGlyph* glyph);
    void RemoveGlyphAt(UINT64 index);
    // Destroys the children first when m_bAutoDelete is set.
    void ClearAllGlyph();
    void SetGlyphSpace(int space);

    // How a column or row stacks its visible children along its axis.
    struct StackRule {
        bool vertical;
        // The rectangle is the composition's own region, its content margins
        // kept free; else it is already the content rectangle.
        bool ownRegion;
        // Each child is offered what is still free along the axis, not the whole.
        bool offerRest;
        // A child answering -1 along the axis takes the rest.
        bool minusOneTakesRest;
    };

protected:
    // Extent along the axis (gaps between children only), widest across it.
    CSize CalcStackSize(HDC dc, int cx, int cy, bool layoutPass, const StackRule& rule);
    // Places the children one after the other.
    void SetStackRegions(HDC dc, const CRect& rect, const StackRule& rule);

    std::vector<CGlyph*> m_glyphs;

public:
    bool m_bAutoDelete;

protected:
    int m_nGlyphSpace;
};

// Children stacked from the top, each as wide as the column.
class ORVEL_API CVerticalCompose : public CCompose {
public:
    CVerticalCompose() = default;
    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;
};

// Children side by side from the left, each as high as the row.
class ORVEL_API CHorizontalCompose : public CCompose {
public:
    CHorizontalCompose() = default;
    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;
};

// A row that starts a new line when the next child would not fit. Lays out
// hidden children too and uses no margins; a line always holds at least one
// child, and a child wider than the whole width is cut at the right edge.
class ORVEL_API CAutowrapHorizontalCompose : public CCompose {
public:
    CAutowrapHorizontalCompose();
    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;

protected:
    int m_nLineSpace;
};

// No layout of its own: measures as the offer and places nothing.
class ORVEL_API CAutowrapVerticalCompose : public CCompose {
public:
    CAutowrapVerticalCompose() = default;
    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;
};

}  // namespace Glyph
