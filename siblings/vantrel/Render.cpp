// Primitives into an enhanced metafile.
#include <cmath>
#include "Drawing.h"
#include "Geometry.h"
#include "MText.h"
#include "orvel/base/GdiHandles.h"

namespace Vantrel {

namespace {

// Below this em in pixels glyph outlines cost much and show nothing legible.
constexpr double kSmallestOutlinedText = 5;

// Holds one pen and brush per colour, and one font per size and angle,
// while a metafile is recorded.
class CGdiCache {
public:
    explicit CGdiCache(HDC dc) : m_dc(dc) {}
    ~CGdiCache()
    {
        SelectObject(m_dc, GetStockObject(BLACK_PEN));
        SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
    }
    CGdiCache(const CGdiCache&) = delete;
    CGdiCache& operator=(const CGdiCache&) = delete;
    void Pen(COLORREF color)
    {
        Base::CGdiHandle<HPEN>& pen = m_pens[color];
        if (!pen)
            pen.Reset(CreatePen(PS_SOLID, 1, color));
        SelectObject(m_dc, pen);
    }
    void Brush(COLORREF color)
    {
        Base::CBrushHandle& brush = m_brushes[color];
        if (!brush)
            brush.Reset(CreateSolidBrush(color));
        SelectObject(m_dc, brush);
    }
    // Arial at a height in pixels, turned by tenths of a degree.
    HFONT Font(LONG height, LONG escapement)
    {
        Base::CFontHandle& font = m_fonts[{height, escapement}];
        if (!font) {
            LOGFONTW f = {};
            f.lfHeight = -height;
            f.lfEscapement = f.lfOrientation = escapement;
            f.lfCharSet = DEFAULT_CHARSET;
            f.lfOutPrecision = OUT_TT_ONLY_PRECIS;
            lstrcpyW(f.lfFaceName, L"Arial");
            font.Reset(CreateFontIndirectW(&f));
        }
        return font;
    }

private:
    HDC m_dc;
    std::map<COLORREF, Base::CGdiHandle<HPEN>> m_pens;
    std::map<COLORREF, Base::CBrushHandle> m_brushes;
    std::map<std::pair<LONG, LONG>, Base::CFontHandle> m_fonts;
};

// Polylines between two fills or texts, gathered by colour into one
// PolyPolyline each: among lines only the colour of a crossing can tell.
class CPolylineRuns {
public:
    CPolylineRuns(HDC dc, CGdiCache& cache) : m_dc(dc), m_cache(cache) {}
    void Add(COLORREF color, const std::vector<POINT>& points)
    {
        SRun& run = m_runs[color];
        if (run.points.size() > kMaxRunPoints)
            Flush(color, run);
        run.points.insert(run.points.end(), points.begin(), points.end());
        run.counts.push_back(static_cast<DWORD>(points.size()));
    }
    void Flush()
    {
        for (auto& [color, run] : m_runs)
            Flush(color, run);
        m_runs.clear();
    }

private:
    struct SRun {
        std::vector<POINT> points;
        std::vector<DWORD> counts;
    };
    void Flush(COLORREF color, SRun& run)
    {
        if (run.counts.empty())
            return;
        m_cache.Pen(color);
        PolyPolyline(m_dc, run.points.data(), run.counts.data(), static_cast<DWORD>(run.counts.size()));
        run.points.clear();
        run.counts.clear();
    }
    static constexpr size_t kMaxRunPoints = 16384;
    HDC m_dc;
    CGdiCache& m_cache;
    std::map<COLORREF, SRun> m_runs;
};

// Text goes into the metafile as the outlines of its glyphs, so that it
// scales with the picture when played into a small box (a font would be
// scaled to a height of 0 there, which means the default size).
void TextOutline(HDC scratch, HDC dc, CGdiCache& cache, const SPrimitive& p, POINT at, double pixels)
{
    if (!scratch)
        return;
    HFONT font = cache.Font(std::lround(pixels), std::lround(p.angle * 1800 / kPi));
    if (!font)
        return;
    Base::CSelectScope select(scratch, font);
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
}

// Text too small to read shows as a thin bar where its letters stand, so
// that it reads as a line of text rather than as a heavy stroke.
void TextBar(HDC dc, CGdiCache& cache, const SPrimitive& p, POINT at, double scale)
{
    double length = TextWidth(p.text, p.height) * scale, tall = p.height * scale * 0.4;
    double start = p.hAlign == 0 ? 0 : p.hAlign == 1 ? -length / 2 : -length;
    double ux = std::cos(p.angle), uy = -std::sin(p.angle);  // down is +y on paper
    POINT corners[4];
    const double along[4] = {start, start + length, start + length, start};
    const double up[4] = {0, 0, tall, tall};
    for (int i = 0; i < 4; ++i)
        corners[i] = {static_cast<LONG>(std::lround(at.x + ux * along[i] + uy * up[i])),
                      static_cast<LONG>(std::lround(at.y + uy * along[i] - ux * up[i]))};
    cache.Pen(p.color);
    cache.Brush(p.color);
    Polygon(dc, corners, 4);
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
        // Recording and playing cost by the record far more than by the
        // point, so lines go out in runs.
        CPolylineRuns run(dc, cache);
        for (const SPrimitive& p : drawing.primitives) {
            points.clear();
            // Points that land on the pixel before them add nothing but
            // work (a small circle far out has dozens).
            bool lines = p.kind == SPrimitive::kPolyline || p.kind == SPrimitive::kPolygon;
            for (const SPoint& pt : p.points) {
                POINT q = map(pt);
                if (lines && !p.rings.size() && !points.empty() && points.back().x == q.x && points.back().y == q.y)
                    continue;
                points.push_back(q);
            }
            if (p.kind != SPrimitive::kPolyline || points.size() < 2)
                run.Flush();
            switch (p.kind) {
            case SPrimitive::kPolyline:
                if (points.empty())
                    break;
                if (p.closed)
                    points.push_back(points.front());
                if (points.size() == 1) {
                    SetPixel(dc, points[0].x, points[0].y, p.color);
                    break;
                }
                run.Add(p.color, points);
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
                if (pixels < kSmallestOutlinedText)
                    TextBar(dc, cache, p, points[0], s);
                else
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
        run.Flush();
    }
    if (scratch)
        DeleteDC(scratch);
    return CloseEnhMetaFile(dc);
}

}  // namespace Vantrel
