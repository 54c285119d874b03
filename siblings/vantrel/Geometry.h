#pragma once
// Curve flattening and the geometry of fills and infinite lines, in the
// plane of the drawing.
#include <vector>
#include "Drawing.h"

namespace Vantrel {

constexpr double kPi = 3.14159265358979323846;

// A NURBS curve of any degree sampled into points. Knots that do not fit
// the control points are replaced by a clamped uniform vector; weights are
// used when there is one per control point.
std::vector<SPoint> NurbsPoints(int degree, const std::vector<double>& knots, const std::vector<SPoint>& controls,
                                const std::vector<double>& weights);
// A smooth curve through the points (closed: back to the first).
std::vector<SPoint> CurveThrough(const std::vector<SPoint>& points, bool closed);

// Points on a circle from a0 to a1 (radians; a1 < a0 runs clockwise), both
// ends included.
void ArcPoints(std::vector<SPoint>& out, SPoint centre, double radius, double a0, double a1);
// Points on an ellipse (centre, major axis end relative to it, minor/major
// ratio) between two parameters, both ends included.
void EllipsePoints(std::vector<SPoint>& out, SPoint centre, SPoint major, double ratio, double p0, double p1);
// A polyline segment from p to q bulging by b (tan of a quarter of its
// angle), without its first point.
void BulgeSegment(std::vector<SPoint>& out, SPoint p, SPoint q, double b);

// One family of parallel pattern lines: through base, along angle
// (radians), repeated by offset; dashes as the file gives them (positive
// drawn, negative gaps, 0 dots); no dashes: continuous.
struct SPatternLine {
    double angle = 0;
    SPoint base = {0, 0};
    SPoint offset = {0, 0};
    std::vector<double> dashes;
};
// The segments of the pattern lines inside the loops (even-odd), at most
// maxSegments of them.
std::vector<std::pair<SPoint, SPoint>> PatternSegments(const std::vector<std::vector<SPoint>>& loops,
                                                       const std::vector<SPatternLine>& lines, size_t maxSegments);
// A few common standard patterns by name, at a scale and angle (radians);
// an unknown name gives the plain diagonal one.
std::vector<SPatternLine> StandardPattern(const std::string& name, double scale, double angle);

// The part of the line through p along d (a ray: from p on) inside the
// extents; false when it misses them.
bool ClipLine(SPoint p, SPoint d, bool ray, const SExtents& e, SPoint* a, SPoint* b);

}  // namespace Vantrel
