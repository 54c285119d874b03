#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include "VantrelTestUtil.h"
#include "siblings/vantrel/Drawing.h"
#include "tests/common/TestCommon.h"

using namespace Vantrel;
using VantrelTest::AsciiDxf;
using VantrelTest::Groups;
using VantrelTest::Join;
using VantrelTest::Section;

namespace {

// One of each entity kind, a layer, a block with an insert and a dimension.
Groups SampleDrawing()
{
    return Join({Section("HEADER", {{9, "$EXTMIN"}, {10, "1e20"}, {20, "1e20"}, {9, "$EXTMAX"}, {10, "-1e20"}, {20, "-1e20"}}),
                 Section("TABLES", {{0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {2, "RED"}, {62, "1"}, {70, "0"},
                                    {0, "LAYER"}, {2, "OFF"}, {62, "-3"}, {0, "ENDTAB"}}),
                 Section("BLOCKS", {{0, "BLOCK"}, {2, "UNIT"}, {10, "0"}, {20, "0"}, {0, "LINE"}, {8, "0"}, {10, "0"},
                                    {20, "0"}, {11, "1"}, {21, "0"}, {0, "ENDBLK"},
                                    {0, "BLOCK"}, {2, "*D1"}, {0, "LINE"}, {10, "50"}, {20, "50"}, {11, "60"}, {21, "50"},
                                    {0, "ENDBLK"}}),
                 Section("ENTITIES",
                         {{0, "LINE"}, {8, "RED"}, {10, "0"}, {20, "0"}, {11, "100"}, {21, "0"},
                          {0, "CIRCLE"}, {10, "50"}, {20, "20"}, {40, "10"},
                          {0, "ARC"}, {10, "0"}, {20, "0"}, {40, "5"}, {50, "0"}, {51, "90"},
                          {0, "LWPOLYLINE"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "40"}, {42, "1"}, {10, "20"}, {20, "40"},
                          {0, "POLYLINE"}, {66, "1"}, {70, "1"}, {0, "VERTEX"}, {10, "0"}, {20, "60"}, {0, "VERTEX"},
                          {10, "10"}, {20, "60"}, {0, "VERTEX"}, {10, "10"}, {20, "70"}, {0, "SEQEND"},
                          {0, "POINT"}, {10, "90"}, {20, "90"},
                          {0, "SOLID"}, {10, "70"}, {20, "60"}, {11, "80"}, {21, "60"}, {12, "70"}, {22, "70"}, {13, "80"}, {23, "70"},
                          {0, "TEXT"}, {10, "0"}, {20, "80"}, {40, "5"}, {1, "Hello %%d"},
                          {0, "MTEXT"}, {10, "40"}, {20, "90"}, {40, "3"}, {71, "1"}, {3, "{\\fArial;First}\\P"}, {1, "Second"},
                          {0, "INSERT"}, {2, "UNIT"}, {10, "10"}, {20, "10"}, {41, "2"}, {42, "2"}, {50, "90"},
                          {0, "DIMENSION"}, {2, "*D1"},
                          {0, "LINE"}, {8, "OFF"}, {10, "-500"}, {20, "-500"}, {11, "-400"}, {21, "-500"}})});
}

const SPrimitive* FindText(const CDrawing& d, const char* text)
{
    for (const SPrimitive& p : d.primitives)
        if (p.kind == SPrimitive::kText && p.text == text)
            return &p;
    return nullptr;
}

bool HasSegment(const CDrawing& d, SPoint a, SPoint b)
{
    for (const SPrimitive& p : d.primitives) {
        if (p.kind != SPrimitive::kPolyline || p.points.size() != 2)
            continue;
        if (std::fabs(p.points[0].x - a.x) < 1e-9 && std::fabs(p.points[0].y - a.y) < 1e-9 &&
            std::fabs(p.points[1].x - b.x) < 1e-9 && std::fabs(p.points[1].y - b.y) < 1e-9)
            return true;
    }
    return false;
}

// Non-white pixels of a metafile played into a w by h white canvas.
int InkOf(HENHMETAFILE emf, int w, int h)
{
    TestCommon::CDibCanvas canvas(w, h);
    RECT rc = {0, 0, w, h};
    PlayEnhMetaFile(canvas.Dc(), emf, &rc);
    GdiFlush();
    return w * h - canvas.Count(RGB(255, 255, 255), rc);
}

// Binary DXF with two-byte group codes.
std::vector<uint8_t> BinaryDxf(const Groups& groups)
{
    std::vector<uint8_t> b(reinterpret_cast<const uint8_t*>("AutoCAD Binary DXF\r\n\x1a"),
                           reinterpret_cast<const uint8_t*>("AutoCAD Binary DXF\r\n\x1a") + 22);
    for (const auto& [code, value] : groups) {
        int16_t c = static_cast<int16_t>(code);
        b.insert(b.end(), reinterpret_cast<uint8_t*>(&c), reinterpret_cast<uint8_t*>(&c) + 2);
        if ((code >= 10 && code <= 59) || (code >= 210 && code <= 239)) {
            double v = atof(value.c_str());
            b.insert(b.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 8);
        } else if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179)) {
            int16_t v = static_cast<int16_t>(atoi(value.c_str()));
            b.insert(b.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 2);
        } else if (code >= 90 && code <= 99) {
            int32_t v = atoi(value.c_str());
            b.insert(b.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4);
        } else if (code == 310) {
            b.push_back(static_cast<uint8_t>(value.size()));
            b.insert(b.end(), value.begin(), value.end());
        } else {
            b.insert(b.end(), value.begin(), value.end());
            b.push_back(0);
        }
    }
    return b;
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace

TEST(Dxf, EntitiesFlattenIntoPrimitives)
{
    std::string text = AsciiDxf(SampleDrawing());
    CDrawing d;
    ASSERT_TRUE(ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), d));
    for (const char* type : {"LINE", "CIRCLE", "ARC", "LWPOLYLINE", "POLYLINE", "POINT", "SOLID", "TEXT", "MTEXT",
                             "INSERT", "DIMENSION"})
        EXPECT_GE(d.entityCounts[type], 1) << type;

    // Colour by layer; an entity on a layer that is off is not drawn.
    EXPECT_TRUE(HasSegment(d, {0, 0}, {100, 0}));
    for (const SPrimitive& p : d.primitives) {
        if (p.kind == SPrimitive::kPolyline && p.points.size() == 2 && p.points[0].x == 0 && p.points[1].x == 100) {
            EXPECT_EQ(RGB(255, 0, 0), p.color);
        }
    }
    EXPECT_FALSE(HasSegment(d, {-500, -500}, {-400, -500}));

    // The block's unit line, scaled by 2, turned a quarter and moved to (10, 10).
    bool found = false;
    for (const SPrimitive& p : d.primitives)
        if (p.kind == SPrimitive::kPolyline && p.points.size() == 2 && std::fabs(p.points[0].x - 10) < 1e-9 &&
            std::fabs(p.points[0].y - 10) < 1e-9 && std::fabs(p.points[1].x - 10) < 1e-9 &&
            std::fabs(p.points[1].y - 12) < 1e-9)
            found = true;
    EXPECT_TRUE(found);
    EXPECT_TRUE(HasSegment(d, {50, 50}, {60, 50}));  // the dimension, through its block

    // A bulge of 1 is a half circle: the arc passes 10 below the chord's middle.
    double lowest = 1e9;
    for (const SPrimitive& p : d.primitives)
        if (p.kind == SPrimitive::kPolyline && p.points.size() > 3 && std::fabs(p.points.front().y - 40) < 1e-9 &&
            std::fabs(p.points.back().x - 20) < 1e-9)
            for (const SPoint& pt : p.points)
                lowest = std::min(lowest, pt.y);
    EXPECT_NEAR(30, lowest, 0.05);

    // Solid corners are stored crosswise; texts lose their codes.
    for (const SPrimitive& p : d.primitives)
        if (p.kind == SPrimitive::kPolygon) {
            ASSERT_EQ(4u, p.points.size());
            EXPECT_EQ(80, p.points[2].x);
            EXPECT_EQ(70, p.points[2].y);
        }
    EXPECT_NE(nullptr, FindText(d, "Hello \xB0"));
    EXPECT_NE(nullptr, FindText(d, "First"));
    EXPECT_NE(nullptr, FindText(d, "Second"));

    // Unset header extents: those of the entities.
    EXPECT_FALSE(d.headerExtents.valid);
    SExtents e = d.Extents();
    ASSERT_TRUE(e.valid);
    EXPECT_NEAR(0, e.minX, 1e-9);
    EXPECT_NEAR(0, e.minY, 1e-6);
    EXPECT_GE(e.maxX, 100);
    EXPECT_GE(e.maxY, 90);
}

TEST(Dxf, HeaderExtentsWhenSet)
{
    std::string text = AsciiDxf(Join({Section("HEADER", {{9, "$EXTMIN"}, {10, "-10"}, {20, "-20"}, {30, "0"},
                                                         {9, "$EXTMAX"}, {10, "30"}, {20, "40"}}),
                                      Section("ENTITIES", {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}})}));
    CDrawing d;
    ASSERT_TRUE(ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), d));
    ASSERT_TRUE(d.headerExtents.valid);
    EXPECT_EQ(-10, d.Extents().minX);
    EXPECT_EQ(40, d.Extents().maxY);
    // A 40 by 60 drawing with a margin of 2% of 60 on each side keeps its
    // shape in 1024 by 768: 768 * 42.4 / 62.4 wide.
    HENHMETAFILE emf = RenderDrawing(d, 1024, 768);
    ASSERT_NE(nullptr, emf);
    ENHMETAHEADER header;
    ASSERT_TRUE(GetEnhMetaFileHeader(emf, sizeof header, &header));
    EXPECT_NEAR(768, header.rclBounds.bottom - header.rclBounds.top, 2);
    EXPECT_NEAR(521, header.rclBounds.right - header.rclBounds.left, 2);
    DeleteEnhMetaFile(emf);
}

TEST(Dxf, BlockInsertingItselfEnds)
{
    std::string text = AsciiDxf(Join({Section("BLOCKS", {{0, "BLOCK"}, {2, "A"}, {0, "LINE"}, {10, "0"}, {20, "0"},
                                                         {11, "1"}, {21, "0"}, {0, "INSERT"}, {2, "A"}, {10, "0"},
                                                         {20, "1"}, {0, "ENDBLK"}}),
                                      Section("ENTITIES", {{0, "INSERT"}, {2, "A"}})}));
    CDrawing d;
    ASSERT_TRUE(ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), d));
    EXPECT_GT(d.primitives.size(), 5u);
    EXPECT_LT(d.primitives.size(), 20u);
}

TEST(Dxf, ThumbnailSectionAsciiAndBinary)
{
    Groups thumb = Section("THUMBNAILIMAGE", {{90, "6"}, {310, "28000000"}, {310, "0A0b"}});
    std::string text = AsciiDxf(Join({thumb}));
    CDrawing a;
    ASSERT_TRUE(ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), a, true));
    EXPECT_EQ((std::vector<uint8_t>{0x28, 0, 0, 0, 0x0A, 0x0B}), a.thumbnail);

    Groups binaryThumb = Section("THUMBNAILIMAGE", {{90, "5"}, {310, std::string("\x28\0\0", 3)}, {310, "AB"}});
    Groups lines = Section("ENTITIES", {{0, "LINE"}, {8, "0"}, {10, "1"}, {20, "2"}, {11, "3"}, {21, "4"}});
    std::vector<uint8_t> binary = BinaryDxf(Join({lines, binaryThumb}));
    CDrawing b;
    ASSERT_TRUE(ParseDxf(binary.data(), binary.size(), b));
    EXPECT_TRUE(b.binary);
    EXPECT_EQ((std::vector<uint8_t>{0x28, 0, 0, 'A', 'B'}), b.thumbnail);
    EXPECT_TRUE(HasSegment(b, {1, 2}, {3, 4}));

    // Not DXF at all.
    CDrawing c;
    EXPECT_FALSE(ParseDxf(reinterpret_cast<const uint8_t*>("hello\nworld\n"), 12, c));
}

TEST(Dxf, RealDrawingsRenderWithInk)
{
    const char* files[] = {"sample_AC1009_ascii.dxf", "sample_AC1015_ascii.dxf", "sample_AC1018_binary.dxf",
                           "BLOCKFLIPPARAMETER.dxf"};
    for (const char* name : files) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t>& bytes = VantrelTest::CadFile(name);
        if (bytes.empty())
            GTEST_SKIP() << "test data not found at " << CAD_TESTDATA;
        CDrawing d;
        ASSERT_TRUE(ParseDxf(bytes.data(), bytes.size(), d));
        EXPECT_EQ(strstr(name, "binary") != nullptr, d.binary);
        EXPECT_TRUE(d.thumbnail.empty());
        // The last drawing is two inserts of a small block.
        EXPECT_GT(d.primitives.size(), strstr(name, "BLOCK") ? 3u : 100u);
        EXPECT_TRUE(d.Extents().valid);
        HENHMETAFILE emf = RenderDrawing(d, 1024, 768);
        ASSERT_NE(nullptr, emf);
        ENHMETAHEADER header;
        ASSERT_TRUE(GetEnhMetaFileHeader(emf, sizeof header, &header));
        EXPECT_GT(header.rclBounds.right - header.rclBounds.left, 300);
        EXPECT_GT(header.rclBounds.bottom - header.rclBounds.top, 200);
        EXPECT_GT(InkOf(emf, 400, 300), 400);
        DeleteEnhMetaFile(emf);
    }
}

namespace {

// The drawing rendered into w by h pixels and played at its own bounds,
// top-left aligned on white.
std::vector<COLORREF> RenderedPixels(const std::vector<uint8_t>& bytes, int w, int h)
{
    CDrawing d;
    std::vector<COLORREF> pixels;
    if (!ParseDxf(bytes.data(), bytes.size(), d))
        return pixels;
    HENHMETAFILE emf = RenderDrawing(d, w, h);
    if (!emf)
        return pixels;
    TestCommon::CDibCanvas canvas(w, h);
    canvas.Fill(RGB(255, 255, 255));
    VantrelTest::PlayAtBounds(emf, canvas.Dc());
    DeleteEnhMetaFile(emf);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(canvas.Pixel(x, y) & 0xFFFFFF);
    return pixels;
}

}  // namespace

TEST(Dxf, OneDrawingSavedInThreeVersionsRendersAlike)
{
    // The same drawing as R12 text, 2000 text and 2004 binary; the R12 file
    // holds the newer entities (hatches, tables, multileaders, infinite
    // lines) as the plain lines, texts and blocks the program turned them
    // into. An inked pixel of one counts as matched when the other has ink
    // within one pixel (rounding moves lines by one). What the program's
    // conversion draws otherwise (its infinite lines end, its multileader
    // texts sit a little apart) leaves some 8 % of the ink unmatched; an
    // eighth is the bound, which a kind gone missing fails (without the
    // two tables 16 % is unmatched).
    const std::vector<uint8_t>& r12 = VantrelTest::CadFile("sample_AC1009_ascii.dxf");
    if (r12.empty())
        GTEST_SKIP() << "test data not found at " << CAD_TESTDATA;
    const int w = 400, h = 300;
    std::vector<COLORREF> base = RenderedPixels(r12, w, h);
    ASSERT_EQ(static_cast<size_t>(w * h), base.size());
    auto inked = [&](const std::vector<COLORREF>& p, int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && p[y * w + x] != RGB(255, 255, 255);
    };
    auto unmatched = [&](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
        size_t n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (!inked(a, x, y))
                    continue;
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy)
                    for (int dx = -1; dx <= 1 && !found; ++dx)
                        found = inked(b, x + dx, y + dy);
                n += !found;
            }
        return n;
    };
    size_t ink = 0;
    for (int i = 0; i < w * h; ++i)
        ink += inked(base, i % w, i / w);
    EXPECT_GT(ink, 1000u);
    for (const char* name : {"sample_AC1015_ascii.dxf", "sample_AC1018_binary.dxf"}) {
        SCOPED_TRACE(name);
        std::vector<COLORREF> other = RenderedPixels(VantrelTest::CadFile(name), w, h);
        ASSERT_EQ(base.size(), other.size());
        EXPECT_LT(unmatched(base, other), ink / 8);
        EXPECT_LT(unmatched(other, base), ink / 8);
    }
}

TEST(Dxf, MutatedTextAndBinaryNeverReadPastTheData)
{
    std::vector<uint8_t> ascii = Bytes(AsciiDxf(SampleDrawing()));
    Groups thumb = Section("THUMBNAILIMAGE", {{90, "3"}, {310, "abc"}});
    std::vector<uint8_t> binary = BinaryDxf(Join({Section("ENTITIES", {{0, "LINE"}, {10, "1"}, {20, "2"}, {11, "3"},
                                                                       {21, "4"}, {0, "LWPOLYLINE"}, {90, "2"},
                                                                       {10, "0"}, {20, "0"}, {42, "1"}, {10, "5"},
                                                                       {20, "0"}}),
                                                  thumb}));
    TestCommon::CRandom random(20240611);
    int parsed = 0;
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> bytes = i % 3 == 2 ? binary : ascii;
        TestCommon::Mutate(bytes, random);
        TestCommon::CGuardedBuffer guarded(bytes);
        CDrawing d;
        if (!ParseDxf(guarded.Data(), guarded.Size(), d))
            continue;
        ++parsed;
        if (i % 10 == 0) {
            HENHMETAFILE emf = RenderDrawing(d, 64, 48);
            if (emf)
                DeleteEnhMetaFile(emf);
        }
    }
    EXPECT_GT(parsed, 100);
}
