#include "TestGlyphs.h"

#include <algorithm>

namespace GlyphTest {

void CBoxGlyph::Draw(HDC dc, const RECT* clip)
{
    ++draws;
    lastClip = clip ? CRect(*clip) : CRect();
    CRect drawRegion;
    if (!GetDrawRegion(drawRegion, clip))
        return;
    HBRUSH brush = CreateSolidBrush(m_colour);
    FillRect(dc, &drawRegion, brush);
    DeleteObject(brush);
}

std::vector<CGlyph*> RegisteredGlyphs()
{
    std::vector<CGlyph*> glyphs;
    Glyph::CGlyphManager::GetInstance().ForEachGlyph([&](CGlyph* g) { glyphs.push_back(g); });
    return glyphs;
}

int IndexOf(const std::vector<CGlyph*>& glyphs, const CGlyph* glyph)
{
    auto it = std::find(glyphs.begin(), glyphs.end(), glyph);
    return it == glyphs.end() ? -1 : static_cast<int>(it - glyphs.begin());
}

}  // namespace GlyphTest
