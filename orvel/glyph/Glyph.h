#pragma once
// The glyph contract: the host interface a glyph tree lives in, the abstract
// glyph, and the process-wide registry of live glyphs.
#include <windows.h>
#include "../base/Export.h"
#include "../base/Geometry.h"

namespace Glyph {

using Base::CPoint;
using Base::CRect;
using Base::CSize;

class CGlyphManager;

// Implemented by the window that hosts a glyph tree. The slot order is part
// of the library's binary interface: append, never reorder.
class ORVEL_API IGlyphVessel {
public:
    IGlyphVessel() = default;
    IGlyphVessel(const IGlyphVessel&) = default;
    IGlyphVessel& operator=(const IGlyphVessel&) = default;

    virtual void InvalidateVesselRect(const RECT* rect) = 0;
    virtual void RedrawVesselRect(const RECT* rect) = 0;
    virtual void SetVesselCursor(HICON cursor) = 0;
    virtual HDC GetVesselDC() = 0;
    virtual void ReleaseVesselDC(HDC dc) = 0;
    virtual void AdjustVesselLayout() = 0;

protected:
    // Vessels are never destroyed through the interface.
    ~IGlyphVessel() = default;
};

// Base of every glyph. Every request to the host goes through the vessel
// and is dropped while there is none. Subclasses keep the virtual slot
// order below and append their own.
class ORVEL_API CGlyph {
public:
    CGlyph();
    // A copy takes vessel, region and visibility but is not registered.
    CGlyph(const CGlyph& other) noexcept;
    CGlyph& operator=(const CGlyph& other) noexcept;

    virtual ~CGlyph();                                            // 0
    virtual void Redraw();                                        // 1
    virtual CGlyph* HitTest(CPoint point);                        // 2
    // cx or cy of 0 or less: no limit in that direction. layoutPass is
    // true when a composition's layout asks; compositions pass it on.
    virtual CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) = 0;  // 3
    virtual void SetRegion(HDC dc, const CRect& rect);            // 4
    virtual const CRect& GetRegion() const;                       // 5
    // A null clip paints the whole region.
    virtual void Draw(HDC dc, const RECT* clip);                  // 6
    // True when the glyph has set the cursor itself.
    virtual bool OnSetCursor(UINT hitTest, UINT message);         // 7
    virtual void SetVessel(IGlyphVessel* vessel);                 // 8
    virtual bool IsVisible() const;                               // 9
    virtual void Show(bool show);                                 // 10

    void Invalidate();
    HDC GetVesselDC();
    void ReleaseVesselDC(HDC dc);
    void AdjustVesselLayout();
    IGlyphVessel* GetVessel() const { return m_pVessel; }

protected:
    void SetCursor(HICON cursor);
    // The region, limited to clip when one is given; false when that is empty.
    bool GetDrawRegion(CRect& out, const RECT* clip) const;
    // Measurements are not limited to the offer; kept as the one place
    // where such a rule would go.
    static void EnsureSizeValid(CSize& size, int cx, int cy);

    IGlyphVessel* m_pVessel;
    CRect m_rcRegion;
    bool m_bVisible;
};

// Iteration position over the registry; null ends a walk.
struct SGlyphNode;
using POSITION = SGlyphNode*;

// Registry of every live glyph, in order of construction. A walk holds the
// registry lock from GetFirstGlyphPosition until GetNextGlyph returns the
// last glyph, so other threads cannot register or unregister meanwhile.
// Prefer ForEachGlyph or CGlyphWalk: they release the lock however the walk
// ends, an exception included.
class ORVEL_API CGlyphManager {
public:
    static CGlyphManager& GetInstance();

    CGlyphManager(const CGlyphManager&) = delete;
    CGlyphManager& operator=(const CGlyphManager&) = delete;

    // Enters the lock; an empty registry returns null with the lock released.
    POSITION GetFirstGlyphPosition();
    // Returns the glyph at pos and advances; leaves the lock when pos becomes
    // null. A null pos raises E_FAIL.
    CGlyph* GetNextGlyph(POSITION& pos);
    // Ends a walk before its last glyph: leaves the lock if pos is not null
    // and sets pos to null.
    void EndWalk(POSITION& pos) noexcept;

    template <class TFunc>
    void ForEachGlyph(TFunc&& func);

protected:
    friend class CGlyph;

    CGlyphManager();
    ~CGlyphManager();

    void AddGlyph(CGlyph* glyph);
    void RemoveGlyph(CGlyph* glyph);

private:
    SGlyphNode* m_pHead = nullptr;
    SGlyphNode* m_pTail = nullptr;
    CRITICAL_SECTION m_lock;
};

// One walk over the registry that releases the lock when it goes out of
// scope, whether or not it reached the end.
class CGlyphWalk {
public:
    explicit CGlyphWalk(CGlyphManager& manager = CGlyphManager::GetInstance())
        : m_manager(manager), m_pos(manager.GetFirstGlyphPosition())
    {
    }
    ~CGlyphWalk() { m_manager.EndWalk(m_pos); }
    CGlyphWalk(const CGlyphWalk&) = delete;
    CGlyphWalk& operator=(const CGlyphWalk&) = delete;

    // The next glyph, or null once the walk is over.
    CGlyph* Next() { return m_pos ? m_manager.GetNextGlyph(m_pos) : nullptr; }

private:
    CGlyphManager& m_manager;
    POSITION m_pos;
};

template <class TFunc>
void CGlyphManager::ForEachGlyph(TFunc&& func)
{
    CGlyphWalk walk(*this);
    while (CGlyph* glyph = walk.Next())
        func(glyph);
}

}  // namespace Glyph
