// Hatches with their boundaries and patterns, splines, multi-lines and
// infinite lines.
#include <algorithm>
#include <cmath>
#include "DxfReader.h"
#include "Geometry.h"

namespace Vantrel::DxfReading {

void CReader::Spline(const SRecord& r, COLORREF color, const SMatrix& m)
{
    std::vector<double> knots, weights;
    std::vector<SPoint> controls, fit;
    for (size_t i = r.first; i < r.last; ++i) {
        switch (m_groups[i].code) {
        case 40: knots.push_back(Number(i)); break;
        case 41: weights.push_back(Number(i)); break;
        case 10: controls.push_back({Number(i), 0}); break;
        case 20: if (!controls.empty()) controls.back().y = Number(i); break;
        case 11: fit.push_back({Number(i), 0}); break;
        case 21: if (!fit.empty()) fit.back().y = Number(i); break;
        }
    }
    int flags = static_cast<int>(Num(r, 70));
    std::vector<SPoint> points = controls.size() >= 2
                                     ? NurbsPoints(static_cast<int>(Num(r, 71, 3)), knots, controls, weights)
                                     : CurveThrough(fit, (flags & 1) != 0);
    Polyline(points, false, color, m);
}

void CReader::AppendEdge(std::vector<SPoint>& loop, const std::vector<SPoint>& points)
{
    size_t first = 0;
    if (!loop.empty() && !points.empty() && std::fabs(loop.back().x - points[0].x) < 1e-9 &&
        std::fabs(loop.back().y - points[0].y) < 1e-9)
        first = 1;
    loop.insert(loop.end(), points.begin() + first, points.end());
}

void CReader::HatchEdge(int kind, size_t& i, size_t end, std::vector<SPoint>& loop)
{
    std::vector<SPoint> points;
    if (kind == 4) {
        int degree = 3;
        std::vector<double> knots, weights;
        std::vector<SPoint> controls, fit;
        for (; i < end; ++i) {
            int code = m_groups[i].code;
            if (code == 97 && i + 1 < end && m_groups[i + 1].code == 11)
                continue;  // the fit points' count, not the boundary's objects
            if (EdgeEnds(code) || code == 330)
                break;
            double v = Number(i);
            switch (code) {
            case 94: degree = static_cast<int>(v); break;
            case 40: knots.push_back(v); break;
            case 42: weights.push_back(v); break;
            case 10: controls.push_back({v, 0}); break;
            case 20: if (!controls.empty()) controls.back().y = v; break;
            case 11: fit.push_back({v, 0}); break;
            case 21: if (!fit.empty()) fit.back().y = v; break;
            }
        }
        points = controls.size() >= 2 ? NurbsPoints(degree, knots, controls, weights) : CurveThrough(fit, false);
        AppendEdge(loop, points);
        return;
    }
    std::map<int, double> v;
    for (; i < end && !EdgeEnds(m_groups[i].code); ++i)
        v.emplace(m_groups[i].code, Number(i));
    SPoint c = {v[10], v[20]};
    if (kind == 1) {
        points = {c, {v[11], v[21]}};
    } else if (kind == 2 || kind == 3) {
        // Clockwise edges keep their angles mirrored.
        bool ccw = !v.count(73) || v[73] != 0;
        double a0 = v[50] * kPi / 180, a1 = v[51] * kPi / 180;
        if (!Finite(a0) || !Finite(a1))
            return;
        if (ccw) {
            while (a1 <= a0) a1 += 2 * kPi;
        } else {
            a0 = -a0;
            a1 = -a1;
            while (a1 >= a0) a1 -= 2 * kPi;
        }
        if (std::fabs(a1 - a0) > 2 * kPi)
            a1 = a0 + (ccw ? 2 * kPi : -2 * kPi);
        if (kind == 2 && v[40] > 0 && Finite(v[40]))
            ArcPoints(points, c, v[40], a0, a1);
        else if (kind == 3 && Finite(v[40]))
            EllipsePoints(points, c, {v[11], v[21]}, v[40], a0, a1);
    }
    AppendEdge(loop, points);
}

void CReader::Hatch(const SRecord& r, COLORREF color, const SMatrix& m)
{
    size_t i = r.first;
    auto seek = [&](int code) {
        while (i < r.last && m_groups[i].code != code)
            ++i;
        return i < r.last;
    };
    std::vector<std::vector<SPoint>> loops;
    if (!seek(91))
        return;
    int paths = Count(i++, r);
    for (int path = 0; path < paths && seek(92); ++path) {
        int type = static_cast<int>(Number(i++));
        std::vector<SPoint> loop;
        if (type & 2) {  // a polyline, bulges optional
            if (!seek(93))
                break;
            int n = Count(i++, r);
            std::vector<SPoint> vertices;
            std::vector<double> bulges;
            Vertices(i, r.last, static_cast<size_t>(n), true, vertices, bulges);
            loop = Bulged(vertices, bulges, true);
        } else {
            if (!seek(93))
                break;
            int edges = Count(i++, r);
            for (int e = 0; e < edges && i < r.last && m_groups[i].code == 72; ++e) {
                int kind = static_cast<int>(Number(i++));
                HatchEdge(kind, i, r.last, loop);
            }
        }
        if (loop.size() >= 3)
            loops.push_back(std::move(loop));
    }
    if (loops.empty())
        return;
    SMatrix om = Ocs(r).Then(m);
    bool solid = Num(r, 70) == 1 || Num(r, 450) == 1;
    if (solid) {
        if (!Room())
            return;
        SPrimitive p;
        p.kind = SPrimitive::kPolygon;
        p.color = color;
        for (const auto& loop : loops) {
            for (SPoint q : loop)
                p.points.push_back(om.Apply(q));
            p.rings.push_back(static_cast<int>(loop.size()));
        }
        m_drawing.primitives.push_back(std::move(p));
        return;
    }
    // The pattern's lines as the file describes them (already scaled
    // and turned), or a standard pattern by name.
    std::vector<SPatternLine> lines;
    if (seek(78)) {
        int n = Count(i++, r);
        for (; i < r.last && static_cast<int>(lines.size()) <= n; ++i) {
            int code = m_groups[i].code;
            double v = Number(i);
            if (code == 53) {
                if (static_cast<int>(lines.size()) == n)
                    break;
                lines.emplace_back();
                lines.back().angle = v * kPi / 180;
            } else if (lines.empty()) {
                break;
            } else if (code == 43) lines.back().base.x = v;
            else if (code == 44) lines.back().base.y = v;
            else if (code == 45) lines.back().offset.x = v;
            else if (code == 46) lines.back().offset.y = v;
            else if (code == 49) lines.back().dashes.push_back(v);
            else if (code != 79) break;
        }
    }
    if (lines.empty())
        lines = StandardPattern(Str(r, 2), Num(r, 41, 1), Num(r, 52) * kPi / 180);
    for (const auto& [a, b] : PatternSegments(loops, lines, kMaxHatchSegments))
        Polyline({a, b}, false, color, om);
}

void CReader::MultiLine(const SRecord& r, COLORREF color, const SMatrix& m)
{
    struct SVertex {
        SPoint at = {0, 0}, miter = {0, 1};
        std::vector<double> offsets;  // the first parameter of each element
    };
    std::vector<SVertex> vertices;
    bool firstParameter = false;
    for (size_t i = r.first; i < r.last; ++i) {
        int code = m_groups[i].code;
        if (code == 11) {
            vertices.emplace_back();
            vertices.back().at.x = Number(i);
            continue;
        }
        if (vertices.empty())
            continue;
        SVertex& v = vertices.back();
        switch (code) {
        case 21: v.at.y = Number(i); break;
        case 13: v.miter.x = Number(i); break;
        case 23: v.miter.y = Number(i); break;
        case 74: firstParameter = true; break;
        case 41:
            if (firstParameter)
                v.offsets.push_back(Number(i));
            firstParameter = false;
            break;
        }
    }
    if (vertices.empty())
        return;
    bool closed = (static_cast<int>(Num(r, 71)) & 2) != 0;
    size_t elements = vertices[0].offsets.size();
    for (size_t e = 0; e < elements; ++e) {
        std::vector<SPoint> points;
        for (const SVertex& v : vertices) {
            double offset = e < v.offsets.size() ? v.offsets[e] : 0;
            points.push_back({v.at.x + v.miter.x * offset, v.at.y + v.miter.y * offset});
        }
        Polyline(points, closed, color, m);
    }
}

void CReader::InfiniteLines()
{
    if (m_infinite.empty())
        return;
    // Their base points count as drawn: a line beside everything else
    // still shows.
    SExtents e = m_drawing.Extents();
    for (const SInfinite& l : m_infinite)
        e.Add(l.base.x, l.base.y);
    if (!e.valid)
        return;
    double pad = std::max(e.maxX - e.minX, e.maxY - e.minY) > 0 ? 0 : 1;
    e.minX -= pad; e.minY -= pad; e.maxX += pad; e.maxY += pad;
    for (const SInfinite& l : m_infinite) {
        SPoint a, b;
        if (ClipLine(l.base, l.direction, l.ray, e, &a, &b))
            Polyline({a, b}, false, l.color, SMatrix());
    }
}

}  // namespace Vantrel::DxfReading
