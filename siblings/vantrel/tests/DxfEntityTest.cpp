// Each entity kind drawn from a small DXF, checked on the pixels.
#include <gtest/gtest.h>
#include <cmath>
#include <string>
#include "VantrelTestUtil.h"
#include "siblings/vantrel/Drawing.h"
#include "siblings/vantrel/MText.h"
#include "tests/common/TestCommon.h"

using namespace Vantrel;
using VantrelTest::AsciiDxf;
using VantrelTest::Groups;
using VantrelTest::Join;
using VantrelTest::Section;

namespace {

constexpr int kSize = 208;
const COLORREF kWhite = RGB(255, 255, 255);

Groups Extents100()
{
    return Section("HEADER", {{9, "$EXTMIN"}, {10, "0"}, {20, "0"}, {9, "$EXTMAX"}, {10, "100"}, {20, "100"}});
}

// A drawing of the 0..100 square rendered into 208 pixels: the 2% margin
// makes world (x, y) the pixel ((x + 2) * 2, (102 - y) * 2).
class CRendered {
public:
    explicit CRendered(const Groups& entities, const Groups& blocks = {}, const Groups& tables = {})
        : m_canvas(kSize, kSize)
    {
        std::string text = AsciiDxf(Join({Extents100(), Section("TABLES", tables), Section("BLOCKS", blocks),
                                          Section("ENTITIES", entities)}));
        m_ok = ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), m_drawing);
        m_canvas.Fill(kWhite);
        HENHMETAFILE emf = RenderDrawing(m_drawing, kSize, kSize);
        if (!emf) {
            m_ok = false;
            return;
        }
        VantrelTest::PlayAtBounds(emf, m_canvas.Dc());
        DeleteEnhMetaFile(emf);
    }
    bool Ok() const { return m_ok; }
    const CDrawing& Drawing() const { return m_drawing; }
    // Pixels that are not white in the world box.
    int Ink(double x0, double y0, double x1, double y1) const
    {
        RECT rc = Box(x0, y0, x1, y1);
        return (rc.right - rc.left) * (rc.bottom - rc.top) - m_canvas.Count(kWhite, rc);
    }
    int Count(COLORREF color, double x0, double y0, double x1, double y1) const
    {
        return m_canvas.Count(color, Box(x0, y0, x1, y1));
    }
    bool Filled(double x0, double y0, double x1, double y1) const
    {
        RECT rc = Box(x0, y0, x1, y1);
        return Ink(x0, y0, x1, y1) == (rc.right - rc.left) * (rc.bottom - rc.top);
    }

private:
    static RECT Box(double x0, double y0, double x1, double y1)
    {
        return {static_cast<LONG>(std::lround((x0 + 2) * 2)), static_cast<LONG>(std::lround((102 - y1) * 2)),
                static_cast<LONG>(std::lround((x1 + 2) * 2)), static_cast<LONG>(std::lround((102 - y0) * 2))};
    }
    CDrawing m_drawing;
    TestCommon::CDibCanvas m_canvas;
    bool m_ok = false;
};

Groups Concat(std::initializer_list<Groups> parts)
{
    Groups all;
    for (const Groups& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// A hatch of one path of edges, solid or with 0-degree lines 10 apart.
Groups Hatch(const Groups& edges, int edgeCount, bool solid)
{
    Groups g = {{0, "HATCH"}, {62, "5"}, {10, "0"}, {20, "0"}, {2, solid ? "SOLID" : "USER"},
                {70, solid ? "1" : "0"}, {71, "0"}, {91, "1"}, {92, "1"}, {93, std::to_string(edgeCount)}};
    g.insert(g.end(), edges.begin(), edges.end());
    Groups tail = {{97, "0"}, {75, "0"}, {76, "1"}};
    if (!solid)
        tail = Concat({tail, {{52, "0"}, {41, "1"}, {77, "0"}, {78, "1"}, {53, "0"}, {43, "0"}, {44, "5"},
                              {45, "0"}, {46, "10"}, {79, "0"}}});
    tail.push_back({98, "0"});
    g.insert(g.end(), tail.begin(), tail.end());
    return g;
}

Groups Line(double x0, double y0, double x1, double y1)
{
    return {{72, "1"}, {10, std::to_string(x0)}, {20, std::to_string(y0)}, {11, std::to_string(x1)},
            {21, std::to_string(y1)}};
}

}  // namespace

TEST(DxfEntities, HatchFillsAndPatternLinesInsideCurvedBoundaries)
{
    // A square from 10 to 50 whose right side is a half circle out to 70.
    Groups arcEdge = {{72, "2"}, {10, "50"}, {20, "30"}, {40, "20"}, {50, "-90"}, {51, "90"}, {73, "1"}};
    Groups edges = Concat({Line(10, 10, 50, 10), arcEdge, Line(50, 50, 10, 50), Line(10, 50, 10, 10)});
    CRendered solid(Hatch(edges, 4, true));
    ASSERT_TRUE(solid.Ok());
    EXPECT_EQ(1, solid.Drawing().entityCounts.at("HATCH"));
    EXPECT_TRUE(solid.Filled(12, 12, 48, 48));
    EXPECT_TRUE(solid.Filled(55, 25, 65, 35));  // inside the arc
    EXPECT_EQ(0, solid.Ink(72, 25, 90, 35));
    EXPECT_EQ(0, solid.Ink(65, 46, 70, 50));     // outside the arc, by the corner

    // The same boundary with lines 10 apart from y = 5: at 15, 25, 35, 45.
    CRendered lines(Hatch(edges, 4, false));
    for (double y : {15.0, 25.0, 35.0, 45.0})
        EXPECT_GT(lines.Ink(12, y - 0.6, 60, y + 0.6), 60) << y;
    for (double y : {20.0, 30.0, 40.0})
        EXPECT_EQ(0, lines.Ink(12, y - 2, 60, y + 2)) << y;
    EXPECT_EQ(0, lines.Ink(72, 10, 95, 50));

    // An ellipse edge (a whole one) and a polyline path with a bulge.
    Groups ellipse = {{0, "HATCH"}, {62, "1"}, {70, "1"}, {91, "2"},
                      {92, "1"}, {93, "1"}, {72, "3"}, {10, "50"}, {20, "70"}, {11, "30"}, {21, "0"}, {40, "0.5"},
                      {50, "0"}, {51, "360"}, {73, "1"}, {97, "0"},
                      // bulge -1 from (20, 10) to (40, 10): clockwise, a half disc above
                      {92, "2"}, {72, "1"}, {73, "1"}, {93, "2"}, {10, "20"}, {20, "10"}, {42, "-1"}, {10, "40"},
                      {20, "10"}, {42, "0"}, {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}};
    CRendered shapes(ellipse);
    EXPECT_TRUE(shapes.Filled(25, 66, 75, 74));   // within 30 by 15 of the centre
    EXPECT_EQ(0, shapes.Ink(40, 88, 60, 95));
    EXPECT_EQ(0, shapes.Ink(0, 66, 16, 74));
    EXPECT_TRUE(shapes.Filled(26, 11, 34, 16));
    EXPECT_EQ(0, shapes.Ink(20, 2, 40, 8));

    // A hole cut by a second path, filled even-odd.
    Groups holed = {{0, "HATCH"}, {70, "1"}, {91, "2"},
                    {92, "2"}, {72, "0"}, {73, "1"}, {93, "4"}, {10, "10"}, {20, "10"}, {10, "90"}, {20, "10"},
                    {10, "90"}, {20, "90"}, {10, "10"}, {20, "90"}, {97, "0"},
                    {92, "2"}, {72, "0"}, {73, "1"}, {93, "4"}, {10, "40"}, {20, "40"}, {10, "60"}, {20, "40"},
                    {10, "60"}, {20, "60"}, {10, "40"}, {20, "60"}, {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}};
    CRendered ring(holed);
    EXPECT_TRUE(ring.Filled(12, 12, 38, 88));
    EXPECT_EQ(0, ring.Ink(42, 42, 58, 58));
}

TEST(DxfEntities, HatchWithASplineEdgeAndAStandardPattern)
{
    // A quadratic arch over (10, 10)..(90, 10), peaking at y = 50, closed by
    // its base; the pattern is named only, so the standard diagonal one.
    Groups spline = {{72, "4"}, {94, "2"}, {73, "0"}, {74, "0"}, {95, "6"}, {96, "3"}, {40, "0"}, {40, "0"},
                     {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {10, "10"}, {20, "10"}, {10, "50"}, {20, "90"},
                     {10, "90"}, {20, "10"}};
    Groups edges = Concat({spline, Line(90, 10, 10, 10)});
    CRendered solid(Hatch(edges, 2, true));
    EXPECT_TRUE(solid.Filled(40, 12, 60, 45));
    EXPECT_EQ(0, solid.Ink(40, 55, 60, 70));

    Groups named = Hatch(edges, 2, true);
    for (auto& [code, value] : named) {
        if (code == 70) value = "0";
        if (code == 2) value = "ANSI31";
        if (code == 41 && value == "1") value = "3";
    }
    CRendered diagonal(named);
    int ink = diagonal.Ink(20, 12, 80, 40);
    EXPECT_GT(ink, 200);
    EXPECT_LT(ink, 60 * 28 * 4 / 2);  // lines, not a fill
    EXPECT_EQ(0, diagonal.Ink(40, 55, 60, 70));
}

TEST(DxfEntities, SplinesThroughControlsWeightsAndFitPoints)
{
    // A rational quadratic with the middle weight cos 45: a quarter circle.
    Groups quarter = {{0, "SPLINE"}, {70, "12"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"}, {40, "0"}, {40, "0"},
                      {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {10, "90"}, {20, "10"}, {41, "1"}, {10, "90"},
                      {20, "90"}, {41, "0.7071067811865476"}, {10, "10"}, {20, "90"}, {41, "1"}};
    CRendered arc(quarter);
    ASSERT_EQ(1u, arc.Drawing().primitives.size());
    const SPrimitive& p = arc.Drawing().primitives[0];
    ASSERT_GT(p.points.size(), 10u);
    for (const SPoint& q : p.points)
        EXPECT_NEAR(80, std::hypot(q.x - 10, q.y - 10), 1e-6);
    // 45 degrees round: on the circle, far from the control polygon.
    EXPECT_GT(arc.Ink(64, 64, 68, 68), 0);
    EXPECT_EQ(0, arc.Ink(80, 80, 88, 88));

    // Only fit points: the curve goes through each of them.
    Groups fit = {{0, "SPLINE"}, {70, "8"}, {71, "3"}, {74, "4"}, {11, "10"}, {21, "50"}, {11, "35"}, {21, "80"},
                  {11, "65"}, {21, "20"}, {11, "90"}, {21, "50"}};
    CRendered through(fit);
    ASSERT_EQ(1u, through.Drawing().primitives.size());
    for (SPoint f : {SPoint{10, 50}, SPoint{35, 80}, SPoint{65, 20}, SPoint{90, 50}}) {
        double nearest = 1e9;
        for (const SPoint& q : through.Drawing().primitives[0].points)
            nearest = std::min(nearest, std::hypot(q.x - f.x, q.y - f.y));
        EXPECT_LT(nearest, 1e-9);
        EXPECT_GT(through.Ink(f.x - 1.5, f.y - 1.5, f.x + 1.5, f.y + 1.5), 0);
    }
}

TEST(DxfEntities, EllipsesAndTheirArcs)
{
    // Major axis 40 along y, ratio 0.25: 10 across; the arc is its right half.
    CRendered e({{0, "ELLIPSE"}, {10, "30"}, {20, "50"}, {11, "0"}, {21, "40"}, {40, "0.25"},
                 {0, "ELLIPSE"}, {10, "70"}, {20, "50"}, {11, "0"}, {21, "40"}, {40, "0.25"}, {41, "3.14159265"},
                 {42, "6.28318531"}});
    EXPECT_GT(e.Ink(28, 88, 32, 92), 0);   // the top end
    EXPECT_GT(e.Ink(18, 48, 22, 52), 0);   // the minor end, left
    EXPECT_EQ(0, e.Ink(23, 40, 37, 60));   // inside
    EXPECT_GT(e.Ink(78, 48, 82, 52), 0);   // the half that is drawn
    EXPECT_EQ(0, e.Ink(58, 40, 63, 60));   // the half that is not
}

TEST(DxfEntities, TableKeepsItsWidthAndShowsItsCells)
{
    // The table's block: its frame and a cell text. Group 41 is not a scale.
    Groups blocks = {{0, "BLOCK"}, {2, "*T1"}, {10, "0"}, {20, "0"},
                     {0, "LINE"}, {10, "0"}, {20, "0"}, {11, "80"}, {21, "0"},
                     {0, "LINE"}, {10, "0"}, {20, "-20"}, {11, "80"}, {21, "-20"},
                     {0, "MTEXT"}, {10, "2"}, {20, "-2"}, {40, "8"}, {71, "1"}, {1, "Cell"},
                     {0, "ENDBLK"}};
    CRendered table({{0, "ACAD_TABLE"}, {2, "*T1"}, {10, "10"}, {20, "80"}, {11, "1"}, {21, "0"}, {41, "0.03"},
                     {91, "1"}, {92, "1"}, {141, "20"}, {142, "80"}},
                    blocks);
    EXPECT_GT(table.Ink(10, 79.5, 89, 80.5), 150);  // the top line across its 80 units
    EXPECT_GT(table.Ink(80, 59.5, 89, 60.5), 10);
    EXPECT_GT(table.Ink(12, 70, 40, 78), 30);       // the text, 8 high
    EXPECT_EQ(0, table.Ink(12, 40, 90, 55));

    // Without its block: the grid of rows and columns, the texts centred.
    CRendered grid({{0, "ACAD_TABLE"}, {2, "*T9"}, {10, "10"}, {20, "90"}, {11, "1"}, {21, "0"}, {91, "2"},
                    {92, "2"}, {141, "20"}, {141, "20"}, {142, "30"}, {142, "50"}, {1, "A"}, {140, "6"}, {1, "B"},
                    {140, "6"}, {1, "C"}, {140, "6"}, {1, "D"}, {140, "6"}});
    for (double y : {90.0, 70.0, 50.0})
        EXPECT_GT(grid.Ink(10, y - 0.5, 90, y + 0.5), 140) << y;
    for (double x : {10.0, 40.0, 90.0})
        EXPECT_GT(grid.Ink(x - 0.5, 50, x + 0.5, 90), 70) << x;
    EXPECT_GT(grid.Ink(62, 76, 68, 84), 5);   // B in the middle of the second column
    EXPECT_EQ(0, grid.Ink(44, 74, 56, 86));
}

TEST(DxfEntities, OnlyModelSpaceIsDrawn)
{
    Groups tables = {{0, "TABLE"}, {2, "BLOCK_RECORD"}, {0, "BLOCK_RECORD"}, {5, "1F"}, {2, "*Model_Space"},
                     {0, "BLOCK_RECORD"}, {5, "2A"}, {2, "*Paper_Space0"}, {0, "ENDTAB"}};
    CRendered d({{0, "LINE"}, {330, "1F"}, {10, "0"}, {20, "10"}, {11, "100"}, {21, "10"},
                 {0, "LINE"}, {67, "1"}, {10, "0"}, {20, "50"}, {11, "100"}, {21, "50"},
                 {0, "LINE"}, {330, "2A"}, {10, "0"}, {20, "90"}, {11, "100"}, {21, "90"}},
                {}, tables);
    EXPECT_GT(d.Ink(0, 9, 100, 11), 150);
    EXPECT_EQ(0, d.Ink(0, 48, 100, 52));
    EXPECT_EQ(0, d.Ink(0, 88, 100, 92));
}

TEST(DxfEntities, ExtentsFromWhatIsDrawnWhenTheHeaderLeavesItOut)
{
    Groups header = Section("HEADER", {{9, "$EXTMIN"}, {10, "0"}, {20, "0"}, {9, "$EXTMAX"}, {10, "10"}, {20, "10"}});
    std::string text = AsciiDxf(Join({header, Section("ENTITIES", {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "100"},
                                                                    {21, "50"}})}));
    CDrawing d;
    ASSERT_TRUE(ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), d));
    EXPECT_TRUE(d.headerExtents.valid);
    EXPECT_NEAR(100, d.Extents().maxX, 1e-9);
    EXPECT_NEAR(50, d.Extents().maxY, 1e-9);
}

TEST(DxfEntities, LeadersWithArrowHeadsLandingsFramesAndContent)
{
    // $DIMASZ 8: the arrow is a filled triangle 8 long at the first vertex.
    Groups leader = {{0, "LEADER"}, {71, "1"}, {76, "2"}, {10, "10"}, {20, "50"}, {10, "60"}, {20, "50"}};
    std::string text = AsciiDxf(Join({Section("HEADER", {{9, "$EXTMIN"}, {10, "0"}, {20, "0"}, {9, "$EXTMAX"},
                                                         {10, "100"}, {20, "100"}, {9, "$DIMASZ"}, {40, "8"}}),
                                      Section("ENTITIES", leader)}));
    CDrawing d;
    ASSERT_TRUE(ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), d));
    bool arrow = false;
    for (const SPrimitive& p : d.primitives)
        if (p.kind == SPrimitive::kPolygon && p.points.size() == 3 && p.points[0].x == 10 &&
            std::fabs(p.points[1].x - 18) < 1e-9)
            arrow = true;
    EXPECT_TRUE(arrow);

    Groups mleader = {{0, "MULTILEADER"}, {300, "CONTEXT_DATA{"}, {40, "1"}, {41, "6"}, {140, "12"}, {290, "1"},
                      {304, "Note"}, {12, "60"}, {22, "60"}, {43, "30"}, {171, "1"}, {296, "0"},
                      {302, "LEADER{"}, {290, "1"}, {291, "1"}, {10, "55"}, {20, "55"}, {11, "1"}, {21, "0"},
                      {40, "5"}, {304, "LEADER_LINE{"}, {10, "10"}, {20, "10"}, {305, "}"}, {303, "}"},
                      {301, "}"}, {290, "1"}, {291, "1"}, {292, "1"}};
    CRendered m(mleader);
    // The arrow at the line's start: a triangle 12 long, 4 wide at its back
    // (some 50 pixels), where the bare line would leave some 20.
    EXPECT_GT(m.Ink(10, 10, 19, 19), 45);
    EXPECT_GT(m.Ink(30, 29, 32, 31), 0);               // the line on its way to (55, 55)
    EXPECT_GT(m.Ink(56, 54.5, 59, 55.5), 3);           // the landing, 5 to the right
    EXPECT_GT(m.Ink(61, 54, 75, 59), 10);              // the text below its corner
    EXPECT_GT(m.Ink(56, 62, 80, 64), 20);              // the frame's top edge, above the text
    EXPECT_EQ(0, m.Ink(80, 20, 95, 40));
}

TEST(DxfEntities, MTextWrapsAndFollowsItsHeightCodes)
{
    // Eight words in a 40-wide box wrap to several lines below the corner;
    // \H2x makes the second paragraph twice as tall.
    CRendered t({{0, "MTEXT"}, {10, "10"}, {20, "90"}, {40, "4"}, {41, "40"}, {71, "1"},
                 {1, "one two three four five six seven eight\\P{\\H2x;BIG}"}});
    int lines = 0;
    for (const SPrimitive& p : t.Drawing().primitives)
        if (p.kind == SPrimitive::kText && p.height == 4) {
            ++lines;
            EXPECT_LE(TextWidth(p.text, 4), 40.001) << p.text;
        }
    EXPECT_GE(lines, 2);
    bool big = false;
    for (const SPrimitive& p : t.Drawing().primitives)
        big |= p.kind == SPrimitive::kText && p.text == "BIG" && p.height == 8;
    EXPECT_TRUE(big);
    EXPECT_EQ(0, t.Ink(55, 60, 100, 92));  // nothing past the box
    EXPECT_GT(t.Ink(10, 70, 50, 90), 100);
}

TEST(DxfEntities, InfiniteLinesAreCutToTheExtents)
{
    CRendered d({{0, "XLINE"}, {10, "50"}, {20, "50"}, {11, "1"}, {21, "1"},
                 {0, "RAY"}, {10, "50"}, {20, "20"}, {11, "1"}, {21, "0"}});
    EXPECT_GT(d.Ink(0, 0, 4, 4), 0);       // the line runs corner to corner
    EXPECT_GT(d.Ink(96, 96, 100, 100), 0);
    EXPECT_GT(d.Ink(90, 19, 100, 21), 10); // the ray to the right edge
    EXPECT_EQ(0, d.Ink(0, 19, 15, 21));    // and not behind its start (the
    EXPECT_EQ(0, d.Ink(25, 19, 45, 21));   // line crosses at x = 20)
    // Every point stays within the extents.
    for (const SPrimitive& p : d.Drawing().primitives)
        for (const SPoint& q : p.points) {
            EXPECT_GE(q.x, -1e-6);
            EXPECT_LE(q.x, 100 + 1e-6);
        }
}

TEST(DxfEntities, MultiLineElementsRunAlongTheMiters)
{
    CRendered d({{0, "MLINE"}, {40, "1"}, {71, "1"}, {72, "2"}, {73, "2"}, {10, "10"}, {20, "50"},
                 {11, "10"}, {21, "50"}, {12, "1"}, {22, "0"}, {13, "0"}, {23, "1"},
                 {74, "2"}, {41, "5"}, {41, "0"}, {75, "0"}, {74, "2"}, {41, "-5"}, {41, "0"}, {75, "0"},
                 {11, "90"}, {21, "50"}, {12, "1"}, {22, "0"}, {13, "0"}, {23, "1"},
                 {74, "2"}, {41, "5"}, {41, "0"}, {75, "0"}, {74, "2"}, {41, "-5"}, {41, "0"}, {75, "0"}});
    EXPECT_GT(d.Ink(10, 54.5, 90, 55.5), 140);
    EXPECT_GT(d.Ink(10, 44.5, 90, 45.5), 140);
    EXPECT_EQ(0, d.Ink(10, 47, 90, 53));
}

TEST(DxfEntities, AttributesAndNestedArrays)
{
    // A block of a 4-unit line that holds a smaller block's dot; inserted as
    // 3 columns by 2 rows, its attribute shown and a hidden one not.
    Groups blocks = {{0, "BLOCK"}, {2, "DOT"}, {10, "0"}, {20, "0"},
                     {0, "SOLID"}, {10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}, {12, "0"}, {22, "2"}, {13, "2"}, {23, "2"},
                     {0, "ENDBLK"},
                     {0, "BLOCK"}, {2, "CELL"}, {10, "0"}, {20, "0"},
                     {0, "LINE"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "0"},
                     {0, "INSERT"}, {2, "DOT"}, {10, "0"}, {20, "4"},
                     {0, "ATTDEF"}, {10, "0"}, {20, "0"}, {40, "3"}, {1, ""}, {2, "TAG"}, {3, "prompt"},
                     {0, "ENDBLK"}};
    CRendered d({{0, "INSERT"}, {66, "1"}, {2, "CELL"}, {10, "10"}, {20, "10"}, {70, "3"}, {71, "2"}, {44, "30"},
                 {45, "30"},
                 {0, "ATTRIB"}, {10, "10"}, {20, "80"}, {40, "8"}, {1, "VALUE"}, {2, "TAG"}, {70, "0"},
                 {0, "ATTRIB"}, {10, "60"}, {20, "80"}, {40, "8"}, {1, "HIDDEN"}, {2, "TAG2"}, {70, "1"},
                 {0, "SEQEND"}},
                blocks);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) {
            double x = 10 + 30 * column, y = 10 + 30 * row;
            EXPECT_TRUE(d.Filled(x + 0.5, y + 4.5, x + 1.5, y + 5.5)) << x << "," << y;  // the dot
            EXPECT_GT(d.Ink(x, y - 0.5, x + 4, y + 0.5), 5);
        }
    EXPECT_GT(d.Ink(10, 80, 40, 88), 40);
    EXPECT_EQ(0, d.Ink(60, 80, 99, 88));
    EXPECT_EQ(nullptr, [&]() -> const SPrimitive* {
        for (const SPrimitive& p : d.Drawing().primitives)
            if (p.kind == SPrimitive::kText && p.text == "prompt")
                return &p;
        return nullptr;
    }());
}
