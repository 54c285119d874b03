#include "Compose.h"

#include <algorithm>
#include <new>
#include <utility>
#include "../base/Failure.h"

namespace Glyph {

namespace {

// Growing the child list raises the container failure instead of bad_alloc.
template <class TAction>
void Grow(TAction&& action)
{
    try {
        action();
    } catch (const std::bad_alloc&) {
        Base::ThrowOutOfMemory();
    }
}

}  // namespace

CCompose::CCompose() : m_bAutoDelete(true), m_nGlyphSpace(2)
{
}

CCompose::~CCompose()
{
    ClearAllGlyph();
}

CGlyph* CCompose::HitTest(CPoint point)
{
    for (CGlyph* child : m_glyphs) {
        if (!child || !child->IsVisible())
            continue;
        if (CGlyph* hit = child->HitTest(point))
            return hit;
    }
    return nullptr;
}

void CCompose::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    if (!GetDrawRegion(drawRegion, clip) || !dc)
        return;
    for (CGlyph* child : m_glyphs) {
        if (child && child->IsVisible())
            child->Draw(dc, &drawRegion);
    }
}

void CCompose::SetVessel(IGlyphVessel* vessel)
{
    CGlyph::SetVessel(vessel);
    for (CGlyph* child : m_glyphs) {
        if (child)
            child->SetVessel(vessel);
    }
}

bool CCompose::GetContentMargins(CRect&)
{
    return false;
}

void CCompose::OnClickGlyph(CGlyph* clicked)
{
    for (CGlyph* child : m_glyphs) {
        if (auto* compose = dynamic_cast<CCompose*>(child))
            compose->OnClickGlyph(clicked);
    }
}

UINT64 CCompose::GetGlyphCount() const
{
    return m_glyphs.size();
}

CGlyph* CCompose::GetGlyph(UINT64 index) const
{
    return index < m_glyphs.size() ? m_glyphs[index] : nullptr;
}

INT64 CCompose::AppendGlyph(CGlyph* glyph)
{
    if (glyph)
        glyph->SetVessel(m_pVessel);
    Grow([&] { m_glyphs.push_back(glyph); });
    return static_cast<INT64>(m_glyphs.size() - 1);
}

void CCompose::InsertGlyphAt(UINT64 index, CGlyph* glyph)
{
    if (index > m_glyphs.size())
        Base::ThrowInvalidArg();
    if (glyph)
        glyph->SetVessel(m_pVessel);
    Grow([&] { m_glyphs.insert(m_glyphs.begin() + static_cast<ptrdiff_t>(index), glyph); });
}

CGlyph* CCompose::ReplaceGlyphAt(UINT64 index, CGlyph* glyph)
{
    if (index >= m_glyphs.size())
        Base::ThrowInvalidArg();
    if (glyph)
        glyph->SetVessel(m_pVessel);
    return std::exchange(m_glyphs[index], glyph);
}

void CCompose::RemoveGlyph(CGlyph* glyph)
{
    auto it = std::find(m_glyphs.begin(), m_glyphs.end(), glyph);
    if (it != m_glyphs.end())
        m_glyphs.erase(it);
}

void CCompose::RemoveGlyphAt(UINT64 index)
{
    if (index >= m_glyphs.size())
        Base::ThrowInvalidArg();
    m_glyphs.erase(m_glyphs.begin() + static_cast<ptrdiff_t>(index));
}

void CCompose::ClearAllGlyph()
{
    // Emptied before deleting, so a child's destructor never sees itself listed.
    std::vector<CGlyph*> children;
    children.swap(m_glyphs);
    if (m_bAutoDelete) {
        for (CGlyph* child : children)
            delete child;
    }
}

void CCompose::SetGlyphSpace(int space)
{
    m_nGlyphSpace = space;
}

// ---- Column and row ----

CSize CCompose::CalcStackSize(HDC dc, int cx, int cy, bool layoutPass, const StackRule& rule)
{
    CSize size;
    LONG& along = rule.vertical ? size.cy : size.cx;
    LONG& across = rule.vertical ? size.cx : size.cy;
    const int offered = rule.vertical ? cy : cx;
    bool anyVisible = false;
    for (CGlyph* child : m_glyphs) {
        if (!child || !child->IsVisible())
            continue;
        const int offer = rule.offerRest && offered > 0 ? offered - along : offered;
        const CSize wanted = rule.vertical ? child->CalcSize(dc, cx, offer, layoutPass)
                                           : child->CalcSize(dc, offer, cy, layoutPass);
        across = std::max(across, rule.vertical ? wanted.cx : wanted.cy);
        along += (rule.vertical ? wanted.cy : wanted.cx) + m_nGlyphSpace;
        anyVisible = true;
    }
    if (anyVisible)
        along -= m_nGlyphSpace;
    CRect margins;
    if (rule.ownRegion && GetContentMargins(margins))
        along += rule.vertical ? margins.top + margins.bottom : margins.left + margins.right;
    EnsureSizeValid(size, cx, cy);
    return size;
}

void CCompose::SetStackRegions(HDC dc, const CRect& rect, const StackRule& rule)
{
    CRect content = rect;
    if (rule.ownRegion) {
        CGlyph::SetRegion(dc, rect);
        CRect margins;
        if (GetContentMargins(margins))
            content.DeflateRect(margins);
    }
    CRect r = content;
    LONG& start = rule.vertical ? r.top : r.left;
    const LONG end = rule.vertical ? content.bottom : content.right;
    int free = rule.vertical ? content.Height() : content.Width();
    for (CGlyph* child : m_glyphs) {
        if (!child || !child->IsVisible())
            continue;
        const int offer = rule.offerRest ? free : -1;
        const CSize wanted = rule.vertical ? child->CalcSize(dc, r.Width(), offer, true)
                                           : child->CalcSize(dc, offer, r.Height(), true);
        const int length = rule.vertical ? wanted.cy : wanted.cx;
        const LONG stop = rule.minusOneTakesRest && length == -1 ? end : start + length;
        child->SetRegion(dc, rule.vertical ? CRect(r.left, start, r.right, stop)
                                           : CRect(start, r.top, stop, r.bottom));
        start = stop + m_nGlyphSpace;
        free -= length + m_nGlyphSpace;
    }
}

static constexpr CCompose::StackRule kColumn{true, true, false, false};
static constexpr CCompose::StackRule kRow{false, true, false, false};

CSize CVerticalCompose::CalcSize(HDC dc, int cx, int cy, bool layoutPass)
{
    return CalcStackSize(dc, cx, cy, layoutPass, kColumn);
}

void CVerticalCompose::SetRegion(HDC dc, const CRect& rect)
{
    SetStackRegions(dc, rect, kColumn);
}

CSize CHorizontalCompose::CalcSize(HDC dc, int cx, int cy, bool layoutPass)
{
    return CalcStackSize(dc, cx, cy, layoutPass, kRow);
}

void CHorizontalCompose::SetRegion(HDC dc, const CRect& rect)
{
    SetStackRegions(dc, rect, kRow);
}

// ---- Wrapping row ----

CAutowrapHorizontalCompose::CAutowrapHorizontalCompose() : m_nLineSpace(8)
{
    m_nGlyphSpace = 8;
}

CSize CAutowrapHorizontalCompose::CalcSize(HDC dc, int cx, int, bool)
{
    int x = 0;          // width taken in the current line, trailing gap included
    int y = 0;          // height of the finished lines and the gaps after them
    int lineHeight = 0;
    for (CGlyph* child : m_glyphs) {
        if (!child)
            continue;
        const CSize wanted = child->CalcSize(dc, cx, -1, true);
        if (x == 0 || x + wanted.cx + m_nGlyphSpace < cx) {
            lineHeight = std::max<int>(lineHeight, wanted.cy);
            x += wanted.cx + m_nGlyphSpace;
        } else {
            y += lineHeight + m_nLineSpace;
            lineHeight = wanted.cy;
            x = wanted.cx + m_nGlyphSpace;
        }
    }
    return CSize(cx, y + lineHeight);
}

void CAutowrapHorizontalCompose::SetRegion(HDC dc, const CRect& rect)
{
    CGlyph::SetRegion(dc, rect);
    int x = rect.left;
    int y = rect.top;
    int lineHeight = 0;
    const int width = rect.Width();
    for (CGlyph* child : m_glyphs) {
        if (!child)
            continue;
        const CSize wanted = child->CalcSize(dc, width, -1, true);
        if (x == rect.left || x + wanted.cx + m_nGlyphSpace < rect.right) {
            lineHeight = std::max<int>(lineHeight, wanted.cy);
            const int right = wanted.cx > width ? rect.right : x + wanted.cx;
            child->SetRegion(dc, CRect(x, y, right, y + wanted.cy));
            x += wanted.cx + m_nGlyphSpace;
        } else {
            y += lineHeight + m_nLineSpace;
            const int right = wanted.cx > width ? rect.right : rect.left + wanted.cx;
            child->SetRegion(dc, CRect(rect.left, y, right, y + wanted.cy));
            lineHeight = wanted.cy;
            x = rect.left + wanted.cx + m_nGlyphSpace;
        }
    }
}

// ---- Wrapping column ----

CSize CAutowrapVerticalCompose::CalcSize(HDC, int cx, int cy, bool)
{
    return CSize(cx, cy);
}

void CAutowrapVerticalCompose::SetRegion(HDC, const CRect&)
{
}

}  // namespace Glyph
