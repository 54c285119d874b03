#pragma once
// The DXF reader's inside, shared by the files that flatten each family of
// entities: Dxf.cpp reads groups, sections, tables and blocks and draws the
// plain entities; DxfFills.cpp hatches, splines, multi-lines and infinite
// lines; DxfAnnotations.cpp leaders, multileaders, tables and text layout.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "Drawing.h"
#include "MText.h"

namespace Vantrel::DxfReading {

// Guards against drawings that would flatten into absurd amounts (blocks
// inserting themselves in arrays, say).
constexpr size_t kMaxPrimitives = 1000000;
constexpr int kMaxNesting = 12;
constexpr size_t kMaxHatchSegments = 20000;
constexpr size_t kMaxTableCells = 1000;

struct SGroup {
    int code;
    uint32_t offset;  // value text: offset and length in the data
    uint32_t length;
    double number;    // numeric values, read once
    bool hasNumber;
};

// A number written in decimal: the plain forms quickly, others (and long
// mantissas) through the run-time library; 0 when not finite.
double Decimal(const uint8_t* p, size_t length);

// One record: a type (the value of its code-0 group) and its groups.
struct SRecord {
    std::string type;
    size_t first, last;  // groups [first, last)
};

struct SMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    SPoint Apply(SPoint p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    SMatrix Then(const SMatrix& next) const
    {
        // next after this
        SMatrix r;
        r.a = next.a * a + next.c * b;
        r.b = next.b * a + next.d * b;
        r.c = next.a * c + next.c * d;
        r.d = next.b * c + next.d * d;
        r.e = next.a * e + next.c * f + next.e;
        r.f = next.b * e + next.d * f + next.f;
        return r;
    }
    double Scale() const { return std::sqrt(std::fabs(a * d - b * c)); }
};

struct SLayer {
    int color = 7;
    bool hidden = false;
};

struct SBlock {
    SPoint base = {0, 0};
    std::vector<SRecord> records;
};

inline bool Finite(double v)
{
    return std::isfinite(v) && std::fabs(v) < 1e18;
}

class CReader {
public:
    CReader(const uint8_t* data, std::vector<SGroup>& groups, CDrawing& drawing)
        : m_data(data), m_groups(groups), m_drawing(drawing) {}

    void Run(bool thumbnailOnly);

private:
    bool Is(size_t i, const char* text) const
    {
        size_t n = strlen(text);
        return m_groups[i].length == n && memcmp(m_data + m_groups[i].offset, text, n) == 0;
    }
    std::string Text(size_t i) const
    {
        return std::string(reinterpret_cast<const char*>(m_data + m_groups[i].offset), m_groups[i].length);
    }
    double Number(size_t i) const
    {
        const SGroup& g = m_groups[i];
        return g.hasNumber ? g.number : Decimal(m_data + g.offset, g.length);
    }

    std::vector<SRecord> Records(size_t i, size_t end) const;

    // Value of the first group with the code in the record, or def.
    double Num(const SRecord& r, int code, double def = 0) const
    {
        for (size_t i = r.first; i < r.last; ++i)
            if (m_groups[i].code == code)
                return Number(i);
        return def;
    }
    bool Has(const SRecord& r, int code) const
    {
        for (size_t i = r.first; i < r.last; ++i)
            if (m_groups[i].code == code)
                return true;
        return false;
    }
    std::string Str(const SRecord& r, int code) const
    {
        for (size_t i = r.first; i < r.last; ++i)
            if (m_groups[i].code == code)
                return Text(i);
        return std::string();
    }

    void Header(size_t i, size_t end);

    void Tables(size_t i, size_t end);

    void Blocks(size_t i, size_t end);

    void Thumbnail(size_t i, size_t end);
    static int Hex(uint8_t c);

    // ------------------------------------------------------- flattening

    COLORREF ColorOf(const SRecord& r, COLORREF byBlock, bool* hidden) const;

    // The object coordinate system of a planar entity, projected on XY.
    SMatrix Ocs(const SRecord& r) const;

    bool Room() const { return m_drawing.primitives.size() < kMaxPrimitives; }

    void Polyline(const std::vector<SPoint>& points, bool closed, COLORREF color, const SMatrix& m);

    void Text(const std::string& text, SPoint pos, double height, double angle, int hAlign, int vAlign,
              COLORREF color, const SMatrix& m);

    void Draw(const std::vector<SRecord>& records, const SMatrix& m, COLORREF byBlock, int depth);

    // A multileader: its leader lines with arrow heads and landings, and
    // its content, a text (framed when asked) or a block.
    void MultiLeader(const SRecord& r, COLORREF color, const SMatrix& m, int depth);

    // Vertices (10, 20) with their bulges (42) from group i on, at most max
    // of them; strict: stop at the first other group (elevations aside).
    void Vertices(size_t& i, size_t end, size_t max, bool strict, std::vector<SPoint>& vertices,
                  std::vector<double>& bulges) const;

    static std::vector<SPoint> Bulged(const std::vector<SPoint>& vertices, const std::vector<double>& bulges,
                                      bool closed);

    // POLYLINE, its VERTEX records and SEQEND; returns the last index used.
    size_t PolylineRecords(const std::vector<SRecord>& records, size_t k, const SMatrix* m, COLORREF color);

    void Insert(const SRecord& r, bool dimension, COLORREF color, const SMatrix& m, int depth);

    static SMatrix Rotation(double angle, SPoint at)
    {
        SMatrix r;
        r.a = std::cos(angle);
        r.b = std::sin(angle);
        r.c = -std::sin(angle);
        r.d = std::cos(angle);
        r.e = at.x;
        r.f = at.y;
        return r;
    }

    // A block's entities, from its base point, scaled, then placed.
    void DrawBlock(const SBlock& block, double sx, double sy, const SMatrix& place, COLORREF color, int depth);

    double ArrowLength() const { return m_arrowSize * m_dimScale; }

    // A closed arrow head at tip, pointing away from from.
    void Arrow(SPoint tip, SPoint from, double size, COLORREF color, const SMatrix& m);

    // Lines of text below a point (its attachment 1 to 9 says which corner
    // or middle it is), in the frame of place; their box in that frame.
    SExtents Paragraphs(const std::vector<STextLine>& lines, int attach, double spacing, COLORREF color,
                        const SMatrix& place);

    // Counts read from the file, kept to what the record can hold.
    int Count(size_t i, const SRecord& r) const;

    void Spline(const SRecord& r, COLORREF color, const SMatrix& m);

    // The end of a hatch edge: the next edge, path or the fill's settings.
    static bool EdgeEnds(int code) { return code == 72 || code == 92 || code == 97 || code == 75 || code == 76 || code == 98; }

    void AppendEdge(std::vector<SPoint>& loop, const std::vector<SPoint>& points);

    // One edge of a hatch boundary: 1 line, 2 arc, 3 elliptic arc, 4 spline.
    void HatchEdge(int kind, size_t& i, size_t end, std::vector<SPoint>& loop);

    void Hatch(const SRecord& r, COLORREF color, const SMatrix& m);

    void Leader(const SRecord& r, COLORREF color, const SMatrix& m);

    // Parallel lines along vertices, each element at its offset along the
    // vertex's miter.
    void MultiLine(const SRecord& r, COLORREF color, const SMatrix& m);

    // A table is its anonymous block placed at full size along its
    // direction; without the block, the grid of its rows and columns and
    // the cells' texts.
    void Table(const SRecord& r, COLORREF color, const SMatrix& m, int depth);

    // Infinite lines and rays, cut to the extents of all else.
    void InfiniteLines();

    const uint8_t* m_data;
    std::vector<SGroup>& m_groups;
    CDrawing& m_drawing;
    std::map<std::string, SLayer> m_layers;
    std::map<std::string, SBlock> m_blocks;
    std::vector<SRecord> m_entities;
    std::map<std::string, std::string> m_blockNames;  // by the block record's handle
    std::set<std::string> m_paperOwners;              // handles of paper-space block records
    struct SInfinite {
        SPoint base, direction;
        bool ray;
        COLORREF color;
    };
    std::vector<SInfinite> m_infinite;  // world coordinates; clipped once all else is drawn
    double m_arrowSize = 0.18;
    double m_dimScale = 1;
};

}  // namespace Vantrel::DxfReading
