// Curves, fills and clipping.
#include "Geometry.h"
#include <algorithm>
#include <cctype>
#include <cmath>

namespace Vantrel {

namespace {

constexpr int kSamplesPerSpan = 16;
constexpr size_t kMaxCurvePoints = 20000;
constexpr int kMaxDegree = 25;
constexpr size_t kMaxPatternLinesPerFamily = 4000;
constexpr size_t kMaxDashesPerRun = 4000;
// An inch in millimetres over eight: the spacing of the common patterns.
constexpr double kPatternSpacing = 3.175;

bool Usable(SPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Clamped uniform knots for n controls of a degree.
std::vector<double> ClampedKnots(size_t n, int degree)
{
    std::vector<double> knots;
    size_t inner = n > static_cast<size_t>(degree) ? n - degree - 1 : 0;
    for (int i = 0; i <= degree; ++i)
        knots.push_back(0);
    for (size_t i = 1; i <= inner; ++i)
        knots.push_back(static_cast<double>(i) / (inner + 1));
    for (int i = 0; i <= degree; ++i)
        knots.push_back(1);
    return knots;
}

}  // namespace

std::vector<SPoint> NurbsPoints(int degree, const std::vector<double>& knotsIn, const std::vector<SPoint>& controls,
                                const std::vector<double>& weightsIn)
{
    std::vector<SPoint> out;
    size_t n = controls.size();
    if (n == 0)
        return out;
    if (degree < 1)
        degree = 1;
    if (degree > kMaxDegree)
        degree = kMaxDegree;
    if (n <= static_cast<size_t>(degree))
        degree = static_cast<int>(n) - 1;
    if (degree < 1)
        return controls;
    std::vector<double> knots = knotsIn;
    bool sound = knots.size() == n + degree + 1;
    for (size_t i = 1; sound && i < knots.size(); ++i)
        sound = std::isfinite(knots[i]) && knots[i] >= knots[i - 1];
    if (!sound || knots[degree] >= knots[n])
        knots = ClampedKnots(n, degree);
    bool rational = weightsIn.size() == n;
    std::vector<double> weights(n, 1.0);
    if (rational)
        for (size_t i = 0; i < n; ++i)
            weights[i] = weightsIn[i] > 0 && std::isfinite(weightsIn[i]) ? weightsIn[i] : 1.0;

    // De Boor in homogeneous coordinates, span by span.
    std::vector<double> hx(degree + 1), hy(degree + 1), hw(degree + 1);
    for (size_t span = degree; span < n && out.size() < kMaxCurvePoints; ++span) {
        double t0 = knots[span], t1 = knots[span + 1];
        if (!(t1 > t0))
            continue;
        for (int s = out.empty() ? 0 : 1; s <= kSamplesPerSpan; ++s) {
            double t = t0 + (t1 - t0) * s / kSamplesPerSpan;
            for (int j = 0; j <= degree; ++j) {
                size_t k = span - degree + j;
                hw[j] = weights[k];
                hx[j] = controls[k].x * weights[k];
                hy[j] = controls[k].y * weights[k];
            }
            for (int r = 1; r <= degree; ++r)
                for (int j = degree; j >= r; --j) {
                    size_t k = span - degree + j;
                    double denominator = knots[k + degree - r + 1] - knots[k];
                    double a = denominator > 0 ? (t - knots[k]) / denominator : 0;
                    hx[j] = (1 - a) * hx[j - 1] + a * hx[j];
                    hy[j] = (1 - a) * hy[j - 1] + a * hy[j];
                    hw[j] = (1 - a) * hw[j - 1] + a * hw[j];
                }
            if (hw[degree] != 0)
                out.push_back({hx[degree] / hw[degree], hy[degree] / hw[degree]});
        }
    }
    return out;
}

std::vector<SPoint> CurveThrough(const std::vector<SPoint>& points, bool closed)
{
    size_t n = points.size();
    if (n < 3)
        return points;
    // Catmull-Rom: each span leaves its points along the neighbours' chord.
    std::vector<SPoint> out;
    size_t spans = closed ? n : n - 1;
    auto at = [&](long i) {
        if (closed)
            return points[(i % static_cast<long>(n) + n) % n];
        return points[std::clamp<long>(i, 0, static_cast<long>(n) - 1)];
    };
    out.push_back(points[0]);
    for (size_t i = 0; i < spans && out.size() < kMaxCurvePoints; ++i) {
        SPoint p0 = at(static_cast<long>(i) - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        for (int s = 1; s <= kSamplesPerSpan; ++s) {
            double t = static_cast<double>(s) / kSamplesPerSpan, t2 = t * t, t3 = t2 * t;
            auto blend = [&](double a, double b, double c, double d) {
                return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
            };
            out.push_back({blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    return out;
}

void ArcPoints(std::vector<SPoint>& out, SPoint c, double r, double a0, double a1)
{
    double sweep = a1 - a0;
    int n = static_cast<int>(std::ceil(std::fabs(sweep) / (2 * kPi) * 72));
    n = std::clamp(n, 4, 512);
    // Each point is the last turned by one step: no sine per point.
    double stepCos = std::cos(sweep / n), stepSin = std::sin(sweep / n);
    double x = r * std::cos(a0), y = r * std::sin(a0);
    for (int i = 0; i <= n; ++i) {
        out.push_back({c.x + x, c.y + y});
        double next = x * stepCos - y * stepSin;
        y = x * stepSin + y * stepCos;
        x = next;
    }
}

void EllipsePoints(std::vector<SPoint>& out, SPoint c, SPoint major, double ratio, double p0, double p1)
{
    SPoint minor = {-major.y * ratio, major.x * ratio};
    double sweep = p1 - p0;
    int n = std::clamp(static_cast<int>(std::ceil(std::fabs(sweep) / (2 * kPi) * 96)), 8, 512);
    double stepCos = std::cos(sweep / n), stepSin = std::sin(sweep / n);
    double cosA = std::cos(p0), sinA = std::sin(p0);
    for (int i = 0; i <= n; ++i) {
        out.push_back({c.x + major.x * cosA + minor.x * sinA, c.y + major.y * cosA + minor.y * sinA});
        double next = cosA * stepCos - sinA * stepSin;
        sinA = cosA * stepSin + sinA * stepCos;
        cosA = next;
    }
}

void BulgeSegment(std::vector<SPoint>& out, SPoint p, SPoint q, double b)
{
    double dx = q.x - p.x, dy = q.y - p.y;
    double chord = std::sqrt(dx * dx + dy * dy);
    if (std::fabs(b) < 1e-9 || chord < 1e-12 || !std::isfinite(b) || std::fabs(b) > 1e6) {
        out.push_back(q);
        return;
    }
    double theta = 4 * std::atan(b);
    double radius = chord / (2 * std::sin(std::fabs(theta) / 2));
    // The centre lies off the chord's middle along its left normal, at a
    // signed distance that also covers arcs past a half turn.
    double h = chord / 2 * (1 - b * b) / (2 * b);
    SPoint c = {(p.x + q.x) / 2 - dy / chord * h, (p.y + q.y) / 2 + dx / chord * h};
    double a0 = std::atan2(p.y - c.y, p.x - c.x);
    std::vector<SPoint> arc;
    ArcPoints(arc, c, radius, a0, a0 + theta);
    for (size_t i = 1; i < arc.size(); ++i)
        out.push_back(arc[i]);
    out.back() = q;
}

std::vector<std::pair<SPoint, SPoint>> PatternSegments(const std::vector<std::vector<SPoint>>& loops,
                                                       const std::vector<SPatternLine>& lines, size_t maxSegments)
{
    std::vector<std::pair<SPoint, SPoint>> out;
    SExtents box;
    for (const auto& loop : loops)
        for (SPoint p : loop)
            box.Add(p.x, p.y);
    if (!box.valid)
        return out;
    std::vector<double> hits;
    for (const SPatternLine& line : lines) {
        SPoint d = {std::cos(line.angle), std::sin(line.angle)};
        SPoint nrm = {-d.y, d.x};
        // Successive lines lie this far apart across their direction.
        double across = line.offset.x * nrm.x + line.offset.y * nrm.y;
        if (!(std::fabs(across) > 1e-9) || !Usable(line.base))
            continue;
        double lo = 1e300, hi = -1e300;
        for (double x : {box.minX, box.maxX})
            for (double y : {box.minY, box.maxY}) {
                double v = ((x - line.base.x) * nrm.x + (y - line.base.y) * nrm.y) / across;
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        double first = std::floor(lo), last = std::ceil(hi);
        if (!(last - first < 1e7))
            continue;
        double step = std::max(1.0, std::ceil((last - first) / kMaxPatternLinesPerFamily));
        double period = 0;
        for (double dash : line.dashes)
            period += std::fabs(dash);
        for (double k = first; k <= last && out.size() < maxSegments; k += step) {
            SPoint o = {line.base.x + line.offset.x * k, line.base.y + line.offset.y * k};
            // Where the line crosses the loops, as distances along it.
            hits.clear();
            for (const auto& loop : loops) {
                for (size_t i = 0; i < loop.size(); ++i) {
                    SPoint a = loop[i], b = loop[(i + 1) % loop.size()];
                    double sa = (a.x - o.x) * nrm.x + (a.y - o.y) * nrm.y;
                    double sb = (b.x - o.x) * nrm.x + (b.y - o.y) * nrm.y;
                    if ((sa > 0) == (sb > 0))
                        continue;
                    double f = sa / (sa - sb);
                    SPoint x = {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
                    hits.push_back((x.x - o.x) * d.x + (x.y - o.y) * d.y);
                }
            }
            std::sort(hits.begin(), hits.end());
            for (size_t h = 0; h + 1 < hits.size() && out.size() < maxSegments; h += 2) {
                double t0 = hits[h], t1 = hits[h + 1];
                auto add = [&](double a, double b) {
                    out.push_back({{o.x + d.x * a, o.y + d.y * a}, {o.x + d.x * b, o.y + d.y * b}});
                };
                if (!(period > 0) || (t1 - t0) / period > kMaxDashesPerRun) {
                    add(t0, t1);
                    continue;
                }
                // The dashes start at the line's own origin.
                double start = std::floor(t0 / period) * period;
                for (double t = start; t < t1 && out.size() < maxSegments; t += period) {
                    double at = t;
                    for (double dash : line.dashes) {
                        double end = at + std::fabs(dash);
                        if (dash > 0 && std::max(at, t0) < std::min(end, t1))
                            add(std::max(at, t0), std::min(end, t1));
                        else if (dash == 0 && at >= t0 && at <= t1)
                            add(at, at);
                        at = end;
                    }
                }
            }
        }
    }
    return out;
}

std::vector<SPatternLine> StandardPattern(const std::string& nameIn, double scale, double angle)
{
    std::string name;
    for (char c : nameIn)
        name += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    if (!std::isfinite(angle))
        angle = 0;
    std::vector<double> families;  // line angles of the pattern, degrees
    if (name == "ANSI37")
        families = {45, 135};
    else if (name == "NET")
        families = {0, 90};
    else if (name == "LINE")
        families = {0};
    else if (name == "NET3")
        families = {0, 60, 120};
    else
        families = {45};  // ANSI31 and whatever is not known
    std::vector<SPatternLine> lines;
    for (double degrees : families) {
        SPatternLine line;
        line.angle = degrees * kPi / 180 + angle;
        double s = kPatternSpacing * scale;
        line.offset = {-std::sin(line.angle) * s, std::cos(line.angle) * s};
        lines.push_back(line);
    }
    return lines;
}

bool ClipLine(SPoint p, SPoint d, bool ray, const SExtents& e, SPoint* a, SPoint* b)
{
    double length = std::sqrt(d.x * d.x + d.y * d.y);
    if (!e.valid || !(length > 1e-12) || !Usable(p) || !std::isfinite(length))
        return false;
    d.x /= length;
    d.y /= length;
    // Liang-Barsky against the box.
    double t0 = ray ? 0 : -1e300, t1 = 1e300;
    const double q[4] = {p.x - e.minX, e.maxX - p.x, p.y - e.minY, e.maxY - p.y};
    const double r[4] = {-d.x, d.x, -d.y, d.y};
    for (int i = 0; i < 4; ++i) {
        if (std::fabs(r[i]) < 1e-15) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / r[i];
        if (r[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    *a = {p.x + d.x * t0, p.y + d.y * t0};
    *b = {p.x + d.x * t1, p.y + d.y * t1};
    return true;
}

}  // namespace Vantrel
