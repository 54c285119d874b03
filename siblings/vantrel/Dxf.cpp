// DXF reading: group codes and values, ASCII or binary, then sections,
// tables, blocks and entities flattened into primitives.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include "Drawing.h"
#include "Geometry.h"
#include "MText.h"

namespace Vantrel {

namespace {

const char kBinarySentinel[] = "AutoCAD Binary DXF\r\n\x1a";  // and a 0 byte: 22 bytes
constexpr size_t kBinarySentinelSize = 22;
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
    double number;    // binary numeric values
    bool hasNumber;
};

enum ValueType { kString, kDouble, kInt16, kInt32, kInt64, kBool, kBinaryChunk };

ValueType TypeOf(int code)
{
    if (code >= 10 && code <= 59) return kDouble;
    if (code >= 60 && code <= 79) return kInt16;
    if (code >= 90 && code <= 99) return kInt32;
    if (code >= 110 && code <= 149) return kDouble;
    if (code >= 160 && code <= 169) return kInt64;
    if (code >= 170 && code <= 179) return kInt16;
    if (code >= 210 && code <= 239) return kDouble;
    if (code >= 270 && code <= 289) return kInt16;
    if (code >= 290 && code <= 299) return kBool;
    if (code >= 310 && code <= 319) return kBinaryChunk;
    if (code >= 370 && code <= 389) return kInt16;
    if (code >= 400 && code <= 409) return kInt16;
    if (code >= 420 && code <= 429) return kInt32;
    if (code >= 440 && code <= 459) return kInt32;
    if (code >= 460 && code <= 469) return kDouble;
    if (code == 1004) return kBinaryChunk;
    if (code >= 1010 && code <= 1059) return kDouble;
    if (code >= 1060 && code <= 1070) return kInt16;
    if (code == 1071) return kInt32;
    return kString;
}

// A number written in decimal: the plain forms quickly, others (and long
// mantissas) through the run-time library; 0 when not finite.
double Decimal(const uint8_t* p, size_t length)
{
    size_t i = 0;
    while (i < length && (p[i] == ' ' || p[i] == '\t'))
        ++i;
    bool negative = i < length && p[i] == '-';
    if (i < length && (p[i] == '-' || p[i] == '+'))
        ++i;
    uint64_t mantissa = 0;
    int digits = 0, scale = 0;
    bool any = false;
    for (; i < length && p[i] >= '0' && p[i] <= '9'; ++i, any = true)
        if (digits < 18) {
            mantissa = mantissa * 10 + (p[i] - '0');
            digits += mantissa != 0;
        } else {
            ++scale;
        }
    if (i < length && p[i] == '.')
        for (++i; i < length && p[i] >= '0' && p[i] <= '9'; ++i, any = true)
            if (digits < 18) {
                mantissa = mantissa * 10 + (p[i] - '0');
                digits += mantissa != 0;
                --scale;
            }
    static const double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
                                     1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    if (any && i == length && scale >= -18 && scale <= 0) {
        double value = static_cast<double>(mantissa) / kPowers[-scale];
        return negative ? -value : value;
    }
    char buffer[64];
    size_t n = length < sizeof buffer - 1 ? length : sizeof buffer - 1;
    memcpy(buffer, p, n);
    buffer[n] = 0;
    double value = strtod(buffer, nullptr);
    return std::isfinite(value) ? value : 0;
}

template <class T>
T Load(const uint8_t* p)
{
    T value;
    memcpy(&value, p, sizeof value);
    return value;
}

// Splits the data into groups. Values stay in the data; numbers of binary
// files are decoded here.
class CGroups {
public:
    CGroups(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Read(std::vector<SGroup>& groups)
    {
        if (m_size > 0xFFFFFFF0u)
            return false;
        if (IsBinaryDxf(m_data, m_size))
            return ReadBinary(groups);
        return ReadAscii(groups);
    }

private:
    bool ReadAscii(std::vector<SGroup>& groups)
    {
        size_t pos = 0;
        // A byte-order mark is tolerated.
        if (m_size >= 3 && m_data[0] == 0xEF && m_data[1] == 0xBB && m_data[2] == 0xBF)
            pos = 3;
        groups.reserve(m_size / 12);
        while (pos < m_size) {
            size_t codeStart, codeLength, valueStart, valueLength;
            if (!Line(pos, codeStart, codeLength))
                break;
            if (!Line(pos, valueStart, valueLength))
                return !groups.empty();
            int code;
            if (!ParseCode(codeStart, codeLength, code))
                return !groups.empty();
            SGroup group = {code, static_cast<uint32_t>(valueStart), static_cast<uint32_t>(valueLength), 0, false};
            // Numbers are read once here; most drawings are mostly numbers.
            ValueType type = TypeOf(code);
            if (type != kString && type != kBinaryChunk) {
                group.number = Decimal(m_data + valueStart, valueLength);
                group.hasNumber = true;
            }
            groups.push_back(group);
            if (code == 0 && valueLength == 3 && memcmp(m_data + valueStart, "EOF", 3) == 0)
                break;
        }
        return !groups.empty();
    }

    // The next line without its end; trailing spaces and CR dropped.
    bool Line(size_t& pos, size_t& start, size_t& length)
    {
        if (pos >= m_size)
            return false;
        start = pos;
        const void* end = memchr(m_data + pos, '\n', m_size - pos);
        size_t stop = end ? static_cast<const uint8_t*>(end) - m_data : m_size;
        pos = end ? stop + 1 : m_size;
        while (stop > start && (m_data[stop - 1] == '\r' || m_data[stop - 1] == ' ' || m_data[stop - 1] == '\t'))
            --stop;
        length = stop - start;
        return true;
    }

    bool ParseCode(size_t start, size_t length, int& code)
    {
        while (length && (m_data[start] == ' ' || m_data[start] == '\t')) {
            ++start;
            --length;
        }
        bool negative = length && m_data[start] == '-';
        if (negative) {
            ++start;
            --length;
        }
        if (length == 0 || length > 6)
            return false;
        code = 0;
        for (size_t i = 0; i < length; ++i) {
            uint8_t c = m_data[start + i];
            if (c < '0' || c > '9')
                return false;
            code = code * 10 + (c - '0');
        }
        if (negative)
            code = -code;
        return true;
    }

    bool ReadBinary(std::vector<SGroup>& groups)
    {
        size_t pos = kBinarySentinelSize;
        // Files before R13 store codes in one byte (255 escapes to two).
        bool shortCodes = !(pos + 2 < m_size && m_data[pos] == 0 && m_data[pos + 1] == 0);
        groups.reserve(m_size / 10);
        while (pos < m_size) {
            int code;
            if (shortCodes) {
                code = m_data[pos++];
                if (code == 255) {
                    if (m_size - pos < 2)
                        break;
                    code = Load<int16_t>(m_data + pos);
                    pos += 2;
                }
            } else {
                if (m_size - pos < 2)
                    break;
                code = Load<int16_t>(m_data + pos);
                pos += 2;
            }
            SGroup group = {code, static_cast<uint32_t>(pos), 0, 0, false};
            size_t left = m_size - pos;
            switch (TypeOf(code)) {
            case kString: {
                const void* end = memchr(m_data + pos, 0, left);
                if (!end)
                    return !groups.empty();
                group.length = static_cast<uint32_t>(static_cast<const uint8_t*>(end) - (m_data + pos));
                pos += group.length + 1;
                break;
            }
            case kDouble:
                if (left < 8)
                    return !groups.empty();
                group.number = Load<double>(m_data + pos);
                group.hasNumber = true;
                pos += 8;
                break;
            case kInt16:
                if (left < 2)
                    return !groups.empty();
                group.number = Load<int16_t>(m_data + pos);
                group.hasNumber = true;
                pos += 2;
                break;
            case kInt32:
                if (left < 4)
                    return !groups.empty();
                group.number = Load<int32_t>(m_data + pos);
                group.hasNumber = true;
                pos += 4;
                break;
            case kInt64:
                if (left < 8)
                    return !groups.empty();
                group.number = static_cast<double>(Load<int64_t>(m_data + pos));
                group.hasNumber = true;
                pos += 8;
                break;
            case kBool:
                if (left < 1)
                    return !groups.empty();
                group.number = m_data[pos];
                group.hasNumber = true;
                pos += 1;
                break;
            case kBinaryChunk: {
                if (left < 1 || left - 1 < m_data[pos])
                    return !groups.empty();
                group.offset = static_cast<uint32_t>(pos + 1);
                group.length = m_data[pos];
                pos += 1 + group.length;
                break;
            }
            }
            groups.push_back(group);
            if (code == 0 && group.length == 3 && memcmp(m_data + group.offset, "EOF", 3) == 0)
                break;
        }
        return !groups.empty();
    }

    const uint8_t* m_data;
    size_t m_size;
};

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

bool Finite(double v)
{
    return std::isfinite(v) && std::fabs(v) < 1e18;
}

class CReader {
public:
    CReader(const uint8_t* data, std::vector<SGroup>& groups, CDrawing& drawing)
        : m_data(data), m_groups(groups), m_drawing(drawing) {}

    void Run(bool thumbnailOnly)
    {
        size_t i = 0;
        while (i + 1 < m_groups.size()) {
            if (!(m_groups[i].code == 0 && Is(i, "SECTION") && m_groups[i + 1].code == 2)) {
                ++i;
                continue;
            }
            std::string name = Text(i + 1);
            i += 2;
            size_t end = i;
            while (end < m_groups.size() && !(m_groups[end].code == 0 && (Is(end, "ENDSEC") || Is(end, "EOF"))))
                ++end;
            if (name == "THUMBNAILIMAGE")
                Thumbnail(i, end);
            else if (thumbnailOnly)
                ;
            else if (name == "HEADER")
                Header(i, end);
            else if (name == "TABLES")
                Tables(i, end);
            else if (name == "BLOCKS")
                Blocks(i, end);
            else if (name == "ENTITIES")
                m_entities = Records(i, end);
            i = end;
        }
        if (!thumbnailOnly) {
            Draw(m_entities, SMatrix(), AciColor(7), 0);
            InfiniteLines();
        }
    }

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

    std::vector<SRecord> Records(size_t i, size_t end) const
    {
        std::vector<SRecord> records;
        while (i < end) {
            if (m_groups[i].code != 0) {
                ++i;
                continue;
            }
            size_t next = i + 1;
            while (next < end && m_groups[next].code != 0)
                ++next;
            records.push_back({Text(i), i + 1, next});
            i = next;
        }
        return records;
    }

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

    void Header(size_t i, size_t end)
    {
        SPoint min = {0, 0}, max = {0, 0};
        bool haveMin = false, haveMax = false;
        for (; i < end; ++i) {
            if (m_groups[i].code != 9)
                continue;
            if ((Is(i, "$DIMASZ") || Is(i, "$DIMSCALE")) && i + 1 < end && m_groups[i + 1].code == 40) {
                double value = Number(i + 1);
                if (value > 0 && Finite(value))
                    (Is(i, "$DIMASZ") ? m_arrowSize : m_dimScale) = value;
                continue;
            }
            bool isMin = Is(i, "$EXTMIN"), isMax = Is(i, "$EXTMAX");
            if (!isMin && !isMax)
                continue;
            SPoint p = {0, 0};
            int found = 0;
            for (size_t k = i + 1; k < end && m_groups[k].code != 9 && m_groups[k].code != 0; ++k) {
                if (m_groups[k].code == 10) { p.x = Number(k); found |= 1; }
                if (m_groups[k].code == 20) { p.y = Number(k); found |= 2; }
            }
            if (found != 3)
                continue;
            (isMin ? min : max) = p;
            (isMin ? haveMin : haveMax) = true;
        }
        // Unset extents are stored as +1e20 .. -1e20.
        if (haveMin && haveMax && Finite(min.x) && Finite(min.y) && Finite(max.x) && Finite(max.y) &&
            min.x <= max.x && min.y <= max.y && (min.x < max.x || min.y < max.y)) {
            m_drawing.headerExtents.Add(min.x, min.y);
            m_drawing.headerExtents.Add(max.x, max.y);
        }
    }

    void Tables(size_t i, size_t end)
    {
        for (const SRecord& r : Records(i, end)) {
            if (r.type == "BLOCK_RECORD") {
                std::string name = Str(r, 2), handle = Str(r, 5);
                m_blockNames[handle] = name;
                std::string upper;
                for (char c : name)
                    upper += static_cast<char>(toupper(static_cast<unsigned char>(c)));
                if (upper.rfind("*PAPER_SPACE", 0) == 0)
                    m_paperOwners.insert(handle);
                continue;
            }
            if (r.type != "LAYER")
                continue;
            SLayer layer;
            int color = static_cast<int>(Num(r, 62, 7));
            int flags = static_cast<int>(Num(r, 70, 0));
            layer.hidden = color < 0 || (flags & 1);
            layer.color = color < 0 ? -color : color;
            m_layers[Str(r, 2)] = layer;
        }
    }

    void Blocks(size_t i, size_t end)
    {
        SBlock* current = nullptr;
        for (const SRecord& r : Records(i, end)) {
            if (r.type == "BLOCK") {
                current = &m_blocks[Str(r, 2)];
                current->records.clear();
                current->base = {Num(r, 10), Num(r, 20)};
            } else if (r.type == "ENDBLK") {
                current = nullptr;
            } else if (current) {
                current->records.push_back(r);
            }
        }
    }

    void Thumbnail(size_t i, size_t end)
    {
        std::vector<uint8_t>& out = m_drawing.thumbnail;
        out.clear();
        for (; i < end; ++i) {
            const SGroup& g = m_groups[i];
            if (g.code != 310)
                continue;
            const uint8_t* p = m_data + g.offset;
            if (m_drawing.binary) {
                out.insert(out.end(), p, p + g.length);
                continue;
            }
            for (uint32_t k = 0; k + 1 < g.length; k += 2) {
                int hi = Hex(p[k]), lo = Hex(p[k + 1]);
                if (hi < 0 || lo < 0) {
                    out.clear();
                    return;
                }
                out.push_back(static_cast<uint8_t>(hi * 16 + lo));
            }
        }
    }
    static int Hex(uint8_t c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    }

    // ------------------------------------------------------- flattening

    COLORREF ColorOf(const SRecord& r, COLORREF byBlock, bool* hidden) const
    {
        std::string layerName = Str(r, 8);
        auto layer = m_layers.find(layerName);
        *hidden = layer != m_layers.end() && layer->second.hidden;
        if (Has(r, 420)) {
            uint32_t rgb = static_cast<uint32_t>(static_cast<int64_t>(Num(r, 420)));
            COLORREF c = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
            return c == RGB(255, 255, 255) ? RGB(0, 0, 0) : c;
        }
        int index = static_cast<int>(Num(r, 62, 256));
        if (index < 0)
            *hidden = true;
        if (index == 0)
            return byBlock;
        if (index == 256 || index < 0)
            return AciColor(layer != m_layers.end() ? layer->second.color : 7);
        return AciColor(index);
    }

    // The object coordinate system of a planar entity, projected on XY.
    SMatrix Ocs(const SRecord& r) const
    {
        double nx = Num(r, 210, 0), ny = Num(r, 220, 0), nz = Num(r, 230, 1);
        double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        SMatrix m;
        if (!(length > 1e-12) || !std::isfinite(length))
            return m;
        nx /= length; ny /= length; nz /= length;
        if (std::fabs(nx) < 1e-12 && std::fabs(ny) < 1e-12 && nz > 0)
            return m;  // the world's own plane
        double ax, ay, az;
        if (std::fabs(nx) < 1.0 / 64 && std::fabs(ny) < 1.0 / 64) {
            ax = nz; ay = 0; az = -nx;   // (0,1,0) x N
        } else {
            ax = -ny; ay = nx; az = 0;   // (0,0,1) x N
        }
        double al = std::sqrt(ax * ax + ay * ay + az * az);
        ax /= al; ay /= al; az /= al;
        double bx = ny * az - nz * ay, by = nz * ax - nx * az;  // N x Ax
        m.a = ax; m.b = ay; m.c = bx; m.d = by;
        return m;
    }

    bool Room() const { return m_drawing.primitives.size() < kMaxPrimitives; }

    void Polyline(const std::vector<SPoint>& points, bool closed, COLORREF color, const SMatrix& m)
    {
        if (points.empty() || !Room())
            return;
        SPrimitive p;
        p.kind = SPrimitive::kPolyline;
        p.color = color;
        p.closed = closed;
        p.points.reserve(points.size());
        for (const SPoint& pt : points)
            p.points.push_back(m.Apply(pt));
        m_drawing.primitives.push_back(std::move(p));
    }

    void Text(const std::string& text, SPoint pos, double height, double angle, int hAlign, int vAlign,
              COLORREF color, const SMatrix& m)
    {
        if (text.empty() || !Room() || !(height > 0) || !Finite(height))
            return;
        // Vertical alignment moves the baseline down from the point.
        double up = vAlign == 3 ? height : vAlign == 2 ? height / 2 : 0;
        pos.x += std::sin(angle) * up;
        pos.y -= std::cos(angle) * up;
        SPoint dir = {std::cos(angle), std::sin(angle)};
        SPoint base = m.Apply(pos);
        SPoint tip = m.Apply({pos.x + dir.x, pos.y + dir.y});
        SPrimitive p;
        p.kind = SPrimitive::kText;
        p.color = color;
        p.points.push_back(base);
        p.text = text;
        p.height = height * m.Scale();
        p.angle = std::atan2(tip.y - base.y, tip.x - base.x);
        p.hAlign = hAlign;
        m_drawing.primitives.push_back(std::move(p));
    }

    void Draw(const std::vector<SRecord>& records, const SMatrix& m, COLORREF byBlock, int depth)
    {
        for (size_t k = 0; k < records.size() && Room(); ++k) {
            const SRecord& r = records[k];
            if (depth == 0) {
                ++m_drawing.entityCounts[r.type];
                // Layouts are not previewed: only model space.
                if (Num(r, 67) == 1 || m_paperOwners.count(Str(r, 330)))
                    continue;
            }
            bool hidden = false;
            COLORREF color = ColorOf(r, byBlock, &hidden);
            if (r.type == "POLYLINE") {
                k = PolylineRecords(records, k, hidden ? nullptr : &m, color);
                continue;
            }
            if (hidden)
                continue;
            const std::string& t = r.type;
            if (t == "LINE") {
                Polyline({{Num(r, 10), Num(r, 20)}, {Num(r, 11), Num(r, 21)}}, false, color, m);
            } else if (t == "CIRCLE" || t == "ARC") {
                SMatrix om = Ocs(r).Then(m);
                double radius = Num(r, 40);
                if (!(radius > 0) || !Finite(radius))
                    continue;
                double a0 = 0, a1 = 2 * kPi;
                if (t == "ARC") {
                    a0 = Num(r, 50) * kPi / 180;
                    a1 = Num(r, 51) * kPi / 180;
                    while (a1 <= a0)
                        a1 += 2 * kPi;
                    if (a1 - a0 > 2 * kPi)
                        a1 = a0 + 2 * kPi;
                }
                std::vector<SPoint> pts;
                ArcPoints(pts, {Num(r, 10), Num(r, 20)}, radius, a0, a1);
                Polyline(pts, t == "CIRCLE", color, om);
            } else if (t == "ELLIPSE") {
                double ratio = Num(r, 40, 1), p0 = Num(r, 41, 0), p1 = Num(r, 42, 2 * kPi);
                if (!Finite(ratio) || !Finite(p0) || !Finite(p1))
                    continue;
                while (p1 <= p0)
                    p1 += 2 * kPi;
                if (p1 - p0 > 2 * kPi)
                    p1 = p0 + 2 * kPi;
                // Seen from below (a negative normal) the minor axis turns the other way.
                if (Num(r, 230, 1) < 0)
                    ratio = -ratio;
                std::vector<SPoint> pts;
                EllipsePoints(pts, {Num(r, 10), Num(r, 20)}, {Num(r, 11), Num(r, 21)}, ratio, p0, p1);
                Polyline(pts, false, color, m);
            } else if (t == "SPLINE") {
                Spline(r, color, m);
            } else if (t == "HATCH") {
                Hatch(r, color, m);
            } else if (t == "LEADER") {
                Leader(r, color, m);
            } else if (t == "MLINE") {
                MultiLine(r, color, m);
            } else if (t == "XLINE" || t == "RAY") {
                SPoint base = m.Apply({Num(r, 10), Num(r, 20)});
                SPoint tip = m.Apply({Num(r, 10) + Num(r, 11), Num(r, 20) + Num(r, 21)});
                m_infinite.push_back({base, {tip.x - base.x, tip.y - base.y}, t == "RAY", color});
            } else if (t == "LWPOLYLINE") {
                std::vector<SPoint> vertices;
                std::vector<double> bulges;
                size_t first = r.first;
                Vertices(first, r.last, r.last - r.first, false, vertices, bulges);
                bool closed = (static_cast<int>(Num(r, 70)) & 1) != 0;
                Polyline(Bulged(vertices, bulges, closed), closed, color, Ocs(r).Then(m));
            } else if (t == "POINT") {
                if (!Room())
                    continue;
                SPrimitive p;
                p.kind = SPrimitive::kPoint;
                p.color = color;
                p.points.push_back(m.Apply({Num(r, 10), Num(r, 20)}));
                m_drawing.primitives.push_back(std::move(p));
            } else if (t == "SOLID" || t == "TRACE" || t == "3DFACE") {
                SPoint p1 = {Num(r, 10), Num(r, 20)}, p2 = {Num(r, 11), Num(r, 21)};
                SPoint p3 = {Num(r, 12), Num(r, 22)};
                SPoint p4 = Has(r, 13) ? SPoint{Num(r, 13), Num(r, 23)} : p3;
                SMatrix om = t == "3DFACE" ? m : Ocs(r).Then(m);
                if (t == "3DFACE") {
                    Polyline({p1, p2, p3, p4}, true, color, om);
                    continue;
                }
                SPrimitive p;
                p.kind = SPrimitive::kPolygon;
                p.color = color;
                // The third and fourth corners are stored crosswise.
                for (SPoint q : {p1, p2, p4, p3})
                    p.points.push_back(om.Apply(q));
                m_drawing.primitives.push_back(std::move(p));
            } else if (t == "TEXT" || t == "ATTRIB" || (t == "ATTDEF" && depth == 0)) {
                int h = static_cast<int>(Num(r, 72)), v = static_cast<int>(Num(r, t == "TEXT" ? 73 : 74));
                if ((static_cast<int>(Num(r, 70)) & 1) && t != "TEXT")
                    continue;  // invisible attribute
                SPoint pos = {Num(r, 10), Num(r, 20)};
                double angle = Num(r, 50) * kPi / 180;
                if ((h != 0 || v != 0) && h != 3 && h != 5 && Has(r, 11))
                    pos = {Num(r, 11), Num(r, 21)};
                int hAlign = h == 1 || h == 4 ? 1 : h == 2 ? 2 : 0;
                if (h == 4)
                    v = 2;
                Text(TextSymbols(t == "ATTDEF" ? Str(r, 3) : Str(r, 1)), pos, Num(r, 40), angle, hAlign, v, color,
                     Ocs(r).Then(m));
            } else if (t == "MTEXT") {
                std::string raw;
                for (size_t i = r.first; i < r.last; ++i)
                    if (m_groups[i].code == 3)
                        raw += Text(i);
                raw += Str(r, 1);
                double angle = Num(r, 50) * kPi / 180;
                if (Has(r, 11))
                    angle = std::atan2(Num(r, 21), Num(r, 11));
                int attach = static_cast<int>(Num(r, 71, 1));
                if (attach < 1 || attach > 9)
                    attach = 1;
                double spacing = Num(r, 44, 1);
                SMatrix place = Rotation(Finite(angle) ? angle : 0, {Num(r, 10), Num(r, 20)}).Then(m);
                Paragraphs(MTextLines(raw, Num(r, 40), Num(r, 41)), attach, spacing > 0 && spacing < 10 ? spacing : 1,
                           color, place);
            } else if (t == "INSERT") {
                Insert(r, false, color, m, depth);
            } else if (t == "ACAD_TABLE") {
                Table(r, color, m, depth);
            } else if (t == "DIMENSION") {
                Insert(r, true, color, m, depth);
            } else if (t == "MULTILEADER" || t == "MLEADER") {
                MultiLeader(r, color, m, depth);
            }
        }
    }

    // A multileader: its leader lines with arrow heads and landings, and
    // its content, a text (framed when asked) or a block.
    void MultiLeader(const SRecord& r, COLORREF color, const SMatrix& m, int depth)
    {
        enum { kOutside, kContext, kLeader, kLine } state = kOutside;
        SPoint connection = {0, 0}, dogleg = {1, 0}, textAt = {0, 0}, blockAt = {0, 0}, blockScale = {1, 1};
        SPoint textDirection = {0, 0};
        double doglegLength = 0, arrow = ArrowLength(), height = 0, textWidth = 0, blockAngle = 0, textRotation = 0;
        bool frame = false, landing = true, hasBlock = false;
        int attach = 1;
        std::string text, blockHandle;
        std::vector<SPoint> line;
        std::vector<std::vector<SPoint>> lines;
        std::vector<std::pair<SPoint, SPoint>> landings;
        for (size_t i = r.first; i < r.last; ++i) {
            int code = m_groups[i].code;
            if (code == 300 && Is(i, "CONTEXT_DATA{")) { state = kContext; continue; }
            if (code == 302 && Is(i, "LEADER{")) { state = kLeader; doglegLength = 0; continue; }
            if (code == 304 && Is(i, "LEADER_LINE{")) { state = kLine; line.clear(); continue; }
            if (code == 305 && state == kLine) {
                line.push_back(connection);
                lines.push_back(line);
                state = kLeader;
                continue;
            }
            if (code == 303 && state == kLeader) {
                double length = std::sqrt(dogleg.x * dogleg.x + dogleg.y * dogleg.y);
                if (doglegLength > 0 && length > 1e-12)
                    landings.push_back({connection, {connection.x + dogleg.x / length * doglegLength,
                                                     connection.y + dogleg.y / length * doglegLength}});
                state = kContext;
                continue;
            }
            if (code == 301) { state = kOutside; continue; }
            double v = code == 304 || code == 341 ? 0 : Number(i);
            if (state == kContext) {
                switch (code) {
                case 41: height = v; break;
                case 140: if (v > 0) arrow = v; break;
                case 304: text = Text(i); break;
                case 12: textAt.x = v; break;
                case 22: textAt.y = v; break;
                case 43: textWidth = v; break;
                case 13: textDirection.x = v; break;
                case 23: textDirection.y = v; break;
                case 42: textRotation = v; break;
                case 171: attach = static_cast<int>(v); break;
                case 296: hasBlock = v != 0; break;
                case 341: blockHandle = Text(i); break;
                case 15: blockAt.x = v; break;
                case 25: blockAt.y = v; break;
                case 16: blockScale.x = v; break;
                case 26: blockScale.y = v; break;
                case 46: blockAngle = v; break;
                }
            } else if (state == kLeader) {
                if (code == 10) connection.x = v;
                else if (code == 20) connection.y = v;
                else if (code == 11) dogleg.x = v;
                else if (code == 21) dogleg.y = v;
                else if (code == 40) doglegLength = v;
            } else if (state == kLine) {
                if (code == 10) line.push_back({v, 0});
                else if (code == 20 && !line.empty()) line.back().y = v;
            } else if (code == 292) {
                frame = v != 0;
            } else if (code == 290) {
                landing = v != 0;
            }
        }
        for (const std::vector<SPoint>& l : lines) {
            Polyline(l, false, color, m);
            if (l.size() >= 2)
                Arrow(l[0], l[1], arrow, color, m);
        }
        if (landing)
            for (const auto& [from, to] : landings)
                Polyline({from, to}, false, color, m);
        if (hasBlock) {
            auto name = m_blockNames.find(blockHandle);
            auto block = name == m_blockNames.end() ? m_blocks.end() : m_blocks.find(name->second);
            if (block != m_blocks.end() && depth < kMaxNesting && Finite(blockScale.x) && Finite(blockScale.y))
                DrawBlock(block->second, blockScale.x, blockScale.y, Rotation(blockAngle, blockAt).Then(m), color,
                          depth);
        }
        if (text.empty() || !(height > 0))
            return;
        // The text's location is its top-left corner (left-aligned
        // attachment); others align by their column.
        int column = attach >= 1 && attach <= 9 ? (attach - 1) % 3 : 0;
        double angle = textDirection.x != 0 || textDirection.y != 0 ? std::atan2(textDirection.y, textDirection.x)
                                                                     : textRotation;
        SMatrix place = Rotation(Finite(angle) ? angle : 0, textAt).Then(m);
        SExtents box = Paragraphs(MTextLines(text, height, textWidth), 1 + column, 1, color, place);
        if (frame && box.valid) {
            double gap = height * 0.5;
            Polyline({{box.minX - gap, box.maxY + gap}, {box.maxX + gap, box.maxY + gap},
                      {box.maxX + gap, box.minY - gap}, {box.minX - gap, box.minY - gap}},
                     true, color, place);
        }
    }

    // Vertices (10, 20) with their bulges (42) from group i on, at most max
    // of them; strict: stop at the first other group (elevations aside).
    void Vertices(size_t& i, size_t end, size_t max, bool strict, std::vector<SPoint>& vertices,
                  std::vector<double>& bulges) const
    {
        for (; i < end; ++i) {
            int code = m_groups[i].code;
            if (code == 10 && vertices.size() < max) {
                vertices.push_back({Number(i), 0});
                bulges.push_back(0);
            } else if (code == 20 && !vertices.empty()) {
                vertices.back().y = Number(i);
            } else if (code == 42 && !bulges.empty()) {
                bulges.back() = Number(i);
            } else if (strict && code != 30) {
                break;
            }
        }
    }

    static std::vector<SPoint> Bulged(const std::vector<SPoint>& vertices, const std::vector<double>& bulges,
                                      bool closed)
    {
        std::vector<SPoint> out;
        if (vertices.empty())
            return out;
        out.push_back(vertices[0]);
        size_t n = vertices.size();
        size_t segments = closed ? n : n - 1;
        for (size_t i = 0; i < segments; ++i)
            BulgeSegment(out, vertices[i], vertices[(i + 1) % n], bulges[i]);
        if (closed && out.size() > 1)
            out.pop_back();  // the polyline closes itself
        return out;
    }

    // POLYLINE, its VERTEX records and SEQEND; returns the last index used.
    size_t PolylineRecords(const std::vector<SRecord>& records, size_t k, const SMatrix* m, COLORREF color)
    {
        const SRecord& head = records[k];
        int flags = static_cast<int>(Num(head, 70));
        std::vector<SPoint> vertices;
        std::vector<double> bulges;
        std::vector<int> faces;  // polyface: four indices per face
        size_t i = k + 1;
        for (; i < records.size() && records[i].type == "VERTEX"; ++i) {
            const SRecord& v = records[i];
            int vflags = static_cast<int>(Num(v, 70));
            if ((vflags & 128) && !(vflags & 64)) {
                for (int code : {71, 72, 73, 74})
                    faces.push_back(static_cast<int>(Num(v, code)));
                continue;
            }
            vertices.push_back({Num(v, 10), Num(v, 20)});
            bulges.push_back(Num(v, 42));
        }
        if (i < records.size() && records[i].type == "SEQEND")
            ;
        else
            --i;
        if (!m)
            return i;
        bool closed = (flags & 1) != 0;
        bool planar = !(flags & (8 | 16 | 64));
        SMatrix om = planar ? Ocs(head).Then(*m) : *m;
        if (flags & 64) {
            for (size_t f = 0; f + 3 < faces.size(); f += 4) {
                std::vector<SPoint> face;
                for (size_t c = 0; c < 4; ++c) {
                    int index = std::abs(faces[f + c]);
                    if (index >= 1 && static_cast<size_t>(index) <= vertices.size())
                        face.push_back(vertices[index - 1]);
                }
                Polyline(face, true, color, om);
            }
        } else if (flags & 16) {
            Polyline(vertices, closed, color, om);
        } else {
            Polyline(planar ? Bulged(vertices, bulges, closed) : vertices, closed, color, om);
        }
        return i;
    }

    void Insert(const SRecord& r, bool dimension, COLORREF color, const SMatrix& m, int depth)
    {
        if (depth >= kMaxNesting)
            return;
        auto found = m_blocks.find(Str(r, 2));
        if (found == m_blocks.end())
            return;
        const SBlock& block = found->second;
        if (dimension) {
            // A dimension's block is drawn where it was built.
            Draw(block.records, m, color, depth + 1);
            return;
        }
        double sx = Num(r, 41, 1), sy = Num(r, 42, 1);
        double angle = Num(r, 50) * kPi / 180;
        int columns = static_cast<int>(Num(r, 70, 1)), rows = static_cast<int>(Num(r, 71, 1));
        double dx = Num(r, 44), dy = Num(r, 45);
        if (!Finite(sx) || !Finite(sy) || !Finite(angle))
            return;
        if (columns < 1) columns = 1;
        if (rows < 1) rows = 1;
        if (static_cast<long long>(columns) * rows > 1000)
            columns = rows = 1;
        SMatrix ocs = Ocs(r).Then(m);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column) {
                SMatrix grid;
                grid.e = column * dx;
                grid.f = row * dy;
                DrawBlock(block, sx, sy, grid.Then(Rotation(angle, {Num(r, 10), Num(r, 20)})).Then(ocs), color,
                          depth);
            }
    }

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
    void DrawBlock(const SBlock& block, double sx, double sy, const SMatrix& place, COLORREF color, int depth)
    {
        SMatrix local;
        local.e = -block.base.x;
        local.f = -block.base.y;
        SMatrix scale;
        scale.a = sx;
        scale.d = sy;
        Draw(block.records, local.Then(scale).Then(place), color, depth + 1);
    }

    double ArrowLength() const { return m_arrowSize * m_dimScale; }

    // A closed arrow head at tip, pointing away from from.
    void Arrow(SPoint tip, SPoint from, double size, COLORREF color, const SMatrix& m)
    {
        double dx = tip.x - from.x, dy = tip.y - from.y, length = std::sqrt(dx * dx + dy * dy);
        if (!(length > 1e-12) || !(size > 0) || !Finite(size) || !Room())
            return;
        dx /= length;
        dy /= length;
        SPoint back = {tip.x - dx * size, tip.y - dy * size};
        double half = size / 6;
        SPrimitive p;
        p.kind = SPrimitive::kPolygon;
        p.color = color;
        for (SPoint q : {tip, SPoint{back.x - dy * half, back.y + dx * half}, SPoint{back.x + dy * half, back.y - dx * half}})
            p.points.push_back(m.Apply(q));
        m_drawing.primitives.push_back(std::move(p));
    }

    // Lines of text below a point (its attachment 1 to 9 says which corner
    // or middle it is), in the frame of place; their box in that frame.
    SExtents Paragraphs(const std::vector<STextLine>& lines, int attach, double spacing, COLORREF color,
                        const SMatrix& place)
    {
        std::vector<double> down;  // baselines below the top
        double at = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            at += i == 0 ? lines[i].height : lines[i].height * 1.66 * spacing;
            down.push_back(at);
        }
        double total = at;
        int row = (attach - 1) / 3, column = (attach - 1) % 3;  // row 0 top, 1 middle, 2 bottom
        double top = row == 0 ? 0 : row == 1 ? total / 2 : total;
        SExtents box;
        for (size_t i = 0; i < lines.size(); ++i) {
            double w = TextWidth(lines[i].text, lines[i].height);
            double left = column == 0 ? 0 : column == 1 ? -w / 2 : -w;
            box.Add(left, top);
            box.Add(left + w, top - total);
            Text(lines[i].text, {0, top - down[i]}, lines[i].height, 0, column, 0, color, place);
        }
        return box;
    }

    // Counts read from the file, kept to what the record can hold.
    int Count(size_t i, const SRecord& r) const
    {
        double n = Number(i);
        double room = static_cast<double>(r.last - i);
        return n > 0 ? static_cast<int>(n < room ? n : room) : 0;
    }

    void Spline(const SRecord& r, COLORREF color, const SMatrix& m)
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

    // The end of a hatch edge: the next edge, path or the fill's settings.
    static bool EdgeEnds(int code) { return code == 72 || code == 92 || code == 97 || code == 75 || code == 76 || code == 98; }

    void AppendEdge(std::vector<SPoint>& loop, const std::vector<SPoint>& points)
    {
        size_t first = 0;
        if (!loop.empty() && !points.empty() && std::fabs(loop.back().x - points[0].x) < 1e-9 &&
            std::fabs(loop.back().y - points[0].y) < 1e-9)
            first = 1;
        loop.insert(loop.end(), points.begin() + first, points.end());
    }

    // One edge of a hatch boundary: 1 line, 2 arc, 3 elliptic arc, 4 spline.
    void HatchEdge(int kind, size_t& i, size_t end, std::vector<SPoint>& loop)
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

    void Hatch(const SRecord& r, COLORREF color, const SMatrix& m)
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

    void Leader(const SRecord& r, COLORREF color, const SMatrix& m)
    {
        std::vector<SPoint> vertices;
        for (size_t i = r.first; i < r.last; ++i) {
            if (m_groups[i].code == 10)
                vertices.push_back({Number(i), 0});
            else if (m_groups[i].code == 20 && !vertices.empty())
                vertices.back().y = Number(i);
        }
        Polyline(vertices, false, color, m);
        if (Num(r, 71, 1) != 0 && vertices.size() >= 2)
            Arrow(vertices[0], vertices[1], ArrowLength(), color, m);
    }

    // Parallel lines along vertices, each element at its offset along the
    // vertex's miter.
    void MultiLine(const SRecord& r, COLORREF color, const SMatrix& m)
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

    // A table is its anonymous block placed at full size along its
    // direction; without the block, the grid of its rows and columns and
    // the cells' texts.
    void Table(const SRecord& r, COLORREF color, const SMatrix& m, int depth)
    {
        if (depth >= kMaxNesting)
            return;
        double angle = Has(r, 11) ? std::atan2(Num(r, 21), Num(r, 11)) : 0;
        if (!Finite(angle))
            angle = 0;
        SMatrix place = Rotation(angle, {Num(r, 10), Num(r, 20)}).Then(m);
        auto found = m_blocks.find(Str(r, 2));
        if (found != m_blocks.end() && !found->second.records.empty()) {
            DrawBlock(found->second, 1, 1, place, color, depth);
            return;
        }
        std::vector<double> heights, widths, textHeights;
        std::vector<std::string> texts;
        for (size_t i = r.first; i < r.last; ++i) {
            int code = m_groups[i].code;
            if (code == 141 && heights.size() < kMaxTableCells) heights.push_back(Number(i));
            else if (code == 142 && widths.size() < kMaxTableCells) widths.push_back(Number(i));
            else if (code == 140) textHeights.push_back(Number(i));
            else if (code == 1) texts.push_back(Text(i));
        }
        double total = 0, across = 0;
        for (double h : heights) total += Finite(h) && h > 0 ? h : 0;
        for (double w : widths) across += Finite(w) && w > 0 ? w : 0;
        if (!(total > 0) || !(across > 0))
            return;
        // Rows run down from the insertion point, columns to the right.
        double y = 0;
        Polyline({{0, 0}, {across, 0}}, false, color, place);
        for (double h : heights) {
            y -= Finite(h) && h > 0 ? h : 0;
            Polyline({{0, y}, {across, y}}, false, color, place);
        }
        double x = 0;
        Polyline({{0, 0}, {0, -total}}, false, color, place);
        for (double w : widths) {
            x += Finite(w) && w > 0 ? w : 0;
            Polyline({{x, 0}, {x, -total}}, false, color, place);
        }
        size_t cell = 0;
        double top = 0;
        for (size_t row = 0; row < heights.size(); ++row) {
            double left = 0;
            for (size_t column = 0; column < widths.size() && cell < texts.size(); ++column, ++cell) {
                double h = cell < textHeights.size() ? textHeights[cell] : heights[row] * 0.4;
                Text(TextSymbols(texts[cell]), {left + widths[column] / 2, top - heights[row] / 2}, h, 0, 1, 2,
                     color, place);
                left += widths[column];
            }
            top -= heights[row];
        }
    }

    // Infinite lines and rays, cut to the extents of all else.
    void InfiniteLines()
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

}  // namespace

bool IsBinaryDxf(const uint8_t* data, size_t size)
{
    return size >= kBinarySentinelSize && memcmp(data, kBinarySentinel, kBinarySentinelSize) == 0;
}

bool ParseDxf(const uint8_t* data, size_t size, CDrawing& drawing, bool thumbnailOnly)
{
    std::vector<SGroup> groups;
    CGroups reader(data, size);
    if (!reader.Read(groups))
        return false;
    drawing.binary = IsBinaryDxf(data, size);
    // DXF starts with a section (or, rarely, a comment before it).
    bool dxf = false;
    for (size_t i = 0; i < groups.size() && i < 4; ++i)
        if (groups[i].code == 0 && groups[i].length == 7 && memcmp(data + groups[i].offset, "SECTION", 7) == 0)
            dxf = true;
    if (!dxf)
        return false;
    CReader(data, groups, drawing).Run(thumbnailOnly);
    return true;
}

void SExtents::Add(double x, double y)
{
    if (!Finite(x) || !Finite(y))
        return;
    if (!valid) {
        minX = maxX = x;
        minY = maxY = y;
        valid = true;
        return;
    }
    if (x < minX) minX = x;
    if (x > maxX) maxX = x;
    if (y < minY) minY = y;
    if (y > maxY) maxY = y;
}

void SExtents::Add(const SExtents& other)
{
    if (other.valid) {
        Add(other.minX, other.minY);
        Add(other.maxX, other.maxY);
    }
}

SExtents CDrawing::PrimitiveExtents() const
{
    SExtents e;
    for (const SPrimitive& p : primitives) {
        for (const SPoint& pt : p.points)
            e.Add(pt.x, pt.y);
        if (p.kind == SPrimitive::kText && !p.points.empty()) {
            double length = TextWidth(p.text, p.height);
            double ux = std::cos(p.angle), uy = std::sin(p.angle);
            double start = p.hAlign == 0 ? 0 : p.hAlign == 1 ? -length / 2 : -length;
            SPoint b = p.points[0];
            for (double along : {start, start + length})
                for (double up : {0.0, p.height})
                    e.Add(b.x + ux * along - uy * up, b.y + uy * along + ux * up);
        }
    }
    return e;
}

SExtents CDrawing::Extents() const
{
    SExtents drawn = PrimitiveExtents();
    if (!headerExtents.valid)
        return drawn;
    if (!drawn.valid)
        return headerExtents;
    // A header that leaves out what is drawn (beyond rounding) is stale.
    double slack = std::max(drawn.maxX - drawn.minX, drawn.maxY - drawn.minY) * 0.01;
    const SExtents& h = headerExtents;
    bool holds = h.minX <= drawn.minX + slack && h.minY <= drawn.minY + slack && h.maxX >= drawn.maxX - slack &&
                 h.maxY >= drawn.maxY - slack;
    return holds ? headerExtents : drawn;
}

COLORREF AciColor(int index)
{
    static const COLORREF kBase[10] = {RGB(0, 0, 0),     RGB(255, 0, 0),   RGB(255, 255, 0), RGB(0, 255, 0),
                                       RGB(0, 255, 255), RGB(0, 0, 255),   RGB(255, 0, 255), RGB(0, 0, 0),
                                       RGB(128, 128, 128), RGB(192, 192, 192)};
    if (index < 0 || index > 255)
        index = 7;
    if (index < 10)
        return kBase[index];
    if (index >= 250) {
        static const BYTE kGray[6] = {51, 91, 132, 173, 214, 0};  // 255 is white: black on paper
        BYTE g = kGray[index - 250];
        return RGB(g, g, g);
    }
    // 24 hues of 15 degrees; five shades, each full and pastel.
    double hue = (index / 10 - 1) * 15.0;
    int shade = index % 10;
    static const double kValue[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
    double v = kValue[shade / 2];
    double s = shade % 2 ? 0.5 : 1.0;
    double c = v * s;
    double hp = hue / 60;
    double x = c * (1 - std::fabs(std::fmod(hp, 2) - 1));
    double r = 0, g = 0, b = 0;
    if (hp < 1) { r = c; g = x; }
    else if (hp < 2) { r = x; g = c; }
    else if (hp < 3) { g = c; b = x; }
    else if (hp < 4) { g = x; b = c; }
    else if (hp < 5) { r = x; b = c; }
    else { r = c; b = x; }
    double mcol = v - c;
    return RGB(static_cast<BYTE>((r + mcol) * 255 + 0.5), static_cast<BYTE>((g + mcol) * 255 + 0.5),
               static_cast<BYTE>((b + mcol) * 255 + 0.5));
}

}  // namespace Vantrel
