// DXF reading: group codes and values, ASCII or binary, then sections,
// tables, blocks and the plain entities flattened into primitives.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include "DxfReader.h"
#include "Geometry.h"

namespace Vantrel {

namespace DxfReading {

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


namespace {

const char kBinarySentinel[] = "AutoCAD Binary DXF\r\n\x1a";  // and a 0 byte: 22 bytes
constexpr size_t kBinarySentinelSize = 22;

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

}  // namespace

void CReader::Run(bool thumbnailOnly)
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

std::vector<SRecord> CReader::Records(size_t i, size_t end) const
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

void CReader::Header(size_t i, size_t end)
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

void CReader::Tables(size_t i, size_t end)
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

void CReader::Blocks(size_t i, size_t end)
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

void CReader::Thumbnail(size_t i, size_t end)
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

int CReader::Hex(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

COLORREF CReader::ColorOf(const SRecord& r, COLORREF byBlock, bool* hidden) const
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

SMatrix CReader::Ocs(const SRecord& r) const
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

void CReader::Polyline(const std::vector<SPoint>& points, bool closed, COLORREF color, const SMatrix& m)
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

void CReader::Text(const std::string& text, SPoint pos, double height, double angle, int hAlign, int vAlign,
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

void CReader::Draw(const std::vector<SRecord>& records, const SMatrix& m, COLORREF byBlock, int depth)
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

void CReader::Vertices(size_t& i, size_t end, size_t max, bool strict, std::vector<SPoint>& vertices,
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

std::vector<SPoint> CReader::Bulged(const std::vector<SPoint>& vertices, const std::vector<double>& bulges,
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

size_t CReader::PolylineRecords(const std::vector<SRecord>& records, size_t k, const SMatrix* m, COLORREF color)
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

void CReader::Insert(const SRecord& r, bool dimension, COLORREF color, const SMatrix& m, int depth)
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

void CReader::DrawBlock(const SBlock& block, double sx, double sy, const SMatrix& place, COLORREF color, int depth)
{
    SMatrix local;
    local.e = -block.base.x;
    local.f = -block.base.y;
    SMatrix scale;
    scale.a = sx;
    scale.d = sy;
    Draw(block.records, local.Then(scale).Then(place), color, depth + 1);
}

int CReader::Count(size_t i, const SRecord& r) const
{
    double n = Number(i);
    double room = static_cast<double>(r.last - i);
    return n > 0 ? static_cast<int>(n < room ? n : room) : 0;
}

}  // namespace DxfReading

using namespace DxfReading;


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
