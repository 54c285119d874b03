#include "Glyph.h"

#include <new>
#include "../base/Failure.h"

namespace Glyph {

// ---- CGlyph ----

CGlyph::CGlyph() : m_pVessel(nullptr), m_rcRegion(-1, -1, -1, -1), m_bVisible(true)
{
    CGlyphManager::GetInstance().AddGlyph(this);
}

CGlyph::CGlyph(const CGlyph& other) noexcept
    : m_pVessel(other.m_pVessel), m_rcRegion(other.m_rcRegion), m_bVisible(other.m_bVisible)
{
}

CGlyph& CGlyph::operator=(const CGlyph& other) noexcept
{
    m_pVessel = other.m_pVessel;
    m_rcRegion = other.m_rcRegion;
    m_bVisible = other.m_bVisible;
    return *this;
}

CGlyph::~CGlyph()
{
    CGlyphManager::GetInstance().RemoveGlyph(this);
}

void CGlyph::Redraw()
{
    if (m_pVessel)
        m_pVessel->RedrawVesselRect(&m_rcRegion);
}

CGlyph* CGlyph::HitTest(CPoint point)
{
    return m_rcRegion.PtInRect(point) ? this : nullptr;
}

void CGlyph::SetRegion(HDC, const CRect& rect)
{
    m_rcRegion = rect;
}

const CRect& CGlyph::GetRegion() const
{
    return m_rcRegion;
}

void CGlyph::Draw(HDC, const RECT*)
{
}

bool CGlyph::OnSetCursor(UINT, UINT)
{
    return false;
}

void CGlyph::SetVessel(IGlyphVessel* vessel)
{
    m_pVessel = vessel;
}

bool CGlyph::IsVisible() const
{
    return m_bVisible;
}

void CGlyph::Show(bool show)
{
    if (show == m_bVisible)
        return;
    m_bVisible = show;
    Redraw();
}

void CGlyph::Invalidate()
{
    if (m_pVessel)
        m_pVessel->InvalidateVesselRect(&m_rcRegion);
}

HDC CGlyph::GetVesselDC()
{
    return m_pVessel ? m_pVessel->GetVesselDC() : nullptr;
}

void CGlyph::ReleaseVesselDC(HDC dc)
{
    if (m_pVessel)
        m_pVessel->ReleaseVesselDC(dc);
}

void CGlyph::AdjustVesselLayout()
{
    if (m_pVessel)
        m_pVessel->AdjustVesselLayout();
}

void CGlyph::SetCursor(HICON cursor)
{
    if (m_pVessel)
        m_pVessel->SetVesselCursor(cursor);
}

bool CGlyph::GetDrawRegion(CRect& out, const RECT* clip) const
{
    if (!clip) {
        out = m_rcRegion;
        return true;
    }
    return out.IntersectRect(m_rcRegion, *clip);
}

void CGlyph::EnsureSizeValid(CSize&, int, int)
{
}

// ---- CGlyphManager ----

struct SGlyphNode {
    SGlyphNode* prev;
    SGlyphNode* next;
    CGlyph* glyph;
};

namespace {

class CLockScope {
public:
    explicit CLockScope(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~CLockScope() { LeaveCriticalSection(&m_lock); }
    CLockScope(const CLockScope&) = delete;
    CLockScope& operator=(const CLockScope&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};

}  // namespace

CGlyphManager& CGlyphManager::GetInstance()
{
    static CGlyphManager instance;
    return instance;
}

CGlyphManager::CGlyphManager()
{
    InitializeCriticalSection(&m_lock);
}

CGlyphManager::~CGlyphManager()
{
    // Glyphs still alive now are not owned by the registry; only the nodes go.
    for (SGlyphNode* node = m_pHead; node;) {
        SGlyphNode* next = node->next;
        delete node;
        node = next;
    }
    m_pHead = m_pTail = nullptr;
    DeleteCriticalSection(&m_lock);
}

void CGlyphManager::AddGlyph(CGlyph* glyph)
{
    SGlyphNode* node = new (std::nothrow) SGlyphNode{nullptr, nullptr, glyph};
    if (!node)
        Base::ThrowOutOfMemory();
    CLockScope scope(m_lock);
    node->prev = m_pTail;
    if (m_pTail)
        m_pTail->next = node;
    else
        m_pHead = node;
    m_pTail = node;
}

void CGlyphManager::RemoveGlyph(CGlyph* glyph)
{
    CLockScope scope(m_lock);
    for (SGlyphNode* node = m_pHead; node; node = node->next) {
        if (node->glyph != glyph)
            continue;
        (node->prev ? node->prev->next : m_pHead) = node->next;
        (node->next ? node->next->prev : m_pTail) = node->prev;
        delete node;
        return;
    }
}

POSITION CGlyphManager::GetFirstGlyphPosition()
{
    EnterCriticalSection(&m_lock);
    POSITION head = m_pHead;
    if (!head)
        LeaveCriticalSection(&m_lock);
    return head;
}

CGlyph* CGlyphManager::GetNextGlyph(POSITION& pos)
{
    if (!pos)
        Base::ThrowFail();
    CGlyph* glyph = pos->glyph;
    pos = pos->next;
    if (!pos)
        LeaveCriticalSection(&m_lock);
    return glyph;
}

void CGlyphManager::EndWalk(POSITION& pos) noexcept
{
    if (!pos)
        return;
    pos = nullptr;
    LeaveCriticalSection(&m_lock);
}

}  // namespace Glyph
