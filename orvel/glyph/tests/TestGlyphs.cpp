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

CDibCanvas::CDibCanvas(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(RGB(255, 255, 255));
}

CDibCanvas::~CDibCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF CDibCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    const DWORD v = m_bits[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void CDibCanvas::Fill(COLORREF colour)
{
    GdiFlush();
    const DWORD v = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    std::fill(m_bits, m_bits + m_width * m_height, v);
}

HBITMAP MakeBitmap(int width, int height, COLORREF (*pixel)(int x, int y))
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixel(x, y);
            p[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    return bitmap;
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
