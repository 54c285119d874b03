// Primitives into an enhanced metafile.
#include <cmath>
#include "Drawing.h"

namespace Vantrel {

namespace {

// Holds one pen/brush per colour while a metafile is recorded.
class CGdiCache {
public:
    explicit CGdiCache(HDC dc) : m_dc(dc) {}
    ~CGdiCache()
    {
        SelectObject(m_dc, GetStockObject(BLACK_PEN));
        SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
        for (auto& [color, pen] : m_pens)
            DeleteObject(pen);
        for (auto& [color, brush] : m_brushes)
            DeleteObject(brush);
    }
    void Pen(COLORREF color)
    {
        HPEN& pen = m_pens[color];
        if (!pen)
            pen = CreatePen(PS_SOLID, 1, color);
        SelectObject(m_dc, pen);
    }
    void Brush(COLORREF color)
    {
        HBRUSH& brush = m_brushes[color];
        if (!brush)
            brush = CreateSolidBrush(color);
        SelectObject(m_dc, brush);
    }

private:
    HDC m_dc;
    std::map<COLORREF, HPEN> m_pens;
    std::map<COLORREF, HBRUSH> m_brushes;
};

// Text goes into the metafile as the outlines of its glyphs, so that it
// scales with the picture when played into a small box (a font would be
// scaled to a height of 0 there, which means the default size).
void TextOutline(HDC scratch, HDC dc, CGdiCache& cache, const SPrimitive& p, POINT at, double pixels)
{
    if (!scratch)
        return;
    LOGFONTW font = {};
    font.lfHeight = -static_cast<LONG>(std::lround(pixels));
    font.lfEscapement = font.lfOrientation = static_cast<LONG>(std::lround(p.angle * 1800 / 3.14159265358979));
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpyW(font.lfFaceName, L"Arial");
    HFONT handle = CreateFontIndirectW(&font);
    if (!handle)
        return;
    HGDIOBJ old = SelectObject(scratch, handle);
    SetBkMode(scratch, TRANSPARENT);
    SetTextAlign(scratch, TA_BASELINE | (p.hAlign == 1 ? TA_CENTER : p.hAlign == 2 ? TA_RIGHT : TA_LEFT));
    BeginPath(scratch);
    TextOutA(scratch, at.x, at.y, p.text.c_str(), static_cast<int>(p.text.size()));
    EndPath(scratch);
    int count = GetPath(scratch, nullptr, nullptr, 0);
    if (count > 0 && count < 200000) {
        std::vector<POINT> points(count);
        std::vector<BYTE> types(count);
        if (GetPath(scratch, points.data(), types.data(), count) == count) {
            cache.Pen(p.color);
            cache.Brush(p.color);
            BeginPath(dc);
            PolyDraw(dc, points.data(), types.data(), count);
            EndPath(dc);
            FillPath(dc);
        }
    }
    AbortPath(scratch);
    SelectObject(scratch, old);
    DeleteObject(handle);
}

}  // namespace

HENHMETAFILE RenderDrawing(const CDrawing& drawing, int width, int height)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return nullptr;
    SExtents e = drawing.Extents();
    if (!e.valid) {
        e.Add(0, 0);
        e.Add(1, 1);
    }
    double ew = e.maxX - e.minX, eh = e.maxY - e.minY;
    // A line or a point still gets some paper around it.
    double pad = (ew > eh ? ew : eh) * 0.02;
    if (!(pad > 0))
        pad = 1;
    e.minX -= pad; e.maxX += pad; e.minY -= pad; e.maxY += pad;
    ew = e.maxX - e.minX;
    eh = e.maxY - e.minY;
    double s = width / ew < height / eh ? width / ew : height / eh;
    int paperW = static_cast<int>(std::ceil(ew * s)), paperH = static_cast<int>(std::ceil(eh * s));
    if (paperW < 1) paperW = 1;
    if (paperH < 1) paperH = 1;
    if (paperW > width) paperW = width;
    if (paperH > height) paperH = height;

    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!dc)
        return nullptr;
    auto map = [&](SPoint p) {
        double x = (p.x - e.minX) * s, y = (e.maxY - p.y) * s;
        // Far-off points (a stray vertex) are kept inside GDI's range.
        if (x < -30000) x = -30000;
        if (x > 30000) x = 30000;
        if (y < -30000) y = -30000;
        if (y > 30000) y = 30000;
        return POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
    };
    HDC scratch = CreateCompatibleDC(nullptr);
    {
        CGdiCache cache(dc);
        RECT paper = {0, 0, paperW, paperH};
        FillRect(dc, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        IntersectClipRect(dc, 0, 0, paperW, paperH);
        SetBkMode(dc, TRANSPARENT);
        std::vector<POINT> points;
        for (const SPrimitive& p : drawing.primitives) {
            points.clear();
            for (const SPoint& pt : p.points)
                points.push_back(map(pt));
            switch (p.kind) {
            case SPrimitive::kPolyline:
                if (points.empty())
                    break;
                if (p.closed)
                    points.push_back(points.front());
                cache.Pen(p.color);
                if (points.size() == 1)
                    SetPixel(dc, points[0].x, points[0].y, p.color);
                else
                    Polyline(dc, points.data(), static_cast<int>(points.size()));
                break;
            case SPrimitive::kPolygon:
                if (points.size() < 3)
                    break;
                cache.Pen(p.color);
                cache.Brush(p.color);
                if (p.rings.size() > 1)
                    PolyPolygon(dc, points.data(), p.rings.data(), static_cast<int>(p.rings.size()));
                else
                    Polygon(dc, points.data(), static_cast<int>(points.size()));
                break;
            case SPrimitive::kPoint:
                if (points.empty())
                    break;
                cache.Pen(p.color);
                cache.Brush(p.color);
                Ellipse(dc, points[0].x - 1, points[0].y - 1, points[0].x + 2, points[0].y + 2);
                break;
            case SPrimitive::kText: {
                if (points.empty())
                    break;
                // Capitals are about 0.7 of the font's em.
                double pixels = p.height * s / 0.7;
                if (!(pixels >= 1) || pixels > 4000)
                    break;
                TextOutline(scratch, dc, cache, p, points[0], pixels);
                break;
            }
            case SPrimitive::kImage: {
                if (points.size() < 2 || p.dib.size() < sizeof(BITMAPINFOHEADER))
                    break;
                const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(p.dib.data());
                POINT a = points[0], b = points[1];
                StretchDIBits(dc, a.x, b.y, b.x - a.x, a.y - b.y, 0, 0, header->biWidth,
                              std::abs(header->biHeight), p.dib.data() + header->biSize,
                              reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY);
                break;
            }
            }
        }
    }
    if (scratch)
        DeleteDC(scratch);
    return CloseEnhMetaFile(dc);
}

}  // namespace Vantrel
