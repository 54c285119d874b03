#pragma once
// Vantrel's inner model: what a drawing file holds, flattened into
// primitives in world coordinates, and the readers that fill it.
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Vantrel {

struct SPoint {
    double x, y;
};

struct SPrimitive {
    enum Kind { kPolyline, kPolygon, kText, kPoint, kImage };
    Kind kind = kPolyline;
    COLORREF color = 0;
    std::vector<SPoint> points;  // kPolyline, kPolygon; kText/kPoint: [0]
    std::vector<int> rings;      // kPolygon with holes: the points of each ring, filled even-odd
    bool closed = false;
    std::string text;            // kText, one line
    double height = 0;           // kText: world height of capitals
    double angle = 0;            // kText: radians, counter-clockwise
    int hAlign = 0;              // 0 left, 1 centre, 2 right
    std::vector<uint8_t> dib;    // kImage: packed DIB over points[0]..[1]
};

struct SExtents {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool valid = false;
    void Add(double x, double y);
    void Add(const SExtents& other);
};

class CDrawing {
public:
    std::vector<SPrimitive> primitives;
    SExtents headerExtents;                     // $EXTMIN/$EXTMAX when set
    std::vector<uint8_t> thumbnail;             // DXF THUMBNAILIMAGE bytes
    std::map<std::string, int> entityCounts;    // entities met, by type
    bool binary = false;

    // The header's extents when they hold what is drawn (a stale header
    // may claim more, never less), else those of the primitives.
    SExtents Extents() const;
    SExtents PrimitiveExtents() const;
};

// DXF, ASCII or binary (with one- or two-byte group codes). False when the
// data is not DXF; what was read before an error is kept.
bool ParseDxf(const uint8_t* data, size_t size, CDrawing& drawing, bool thumbnailOnly = false);
// Whether the data starts like a binary DXF file.
bool IsBinaryDxf(const uint8_t* data, size_t size);

// The thumbnail block of a DWG file (R13 and later), found through the
// address at 0x0D and checked by its sentinels.
struct SDwgThumbnail {
    struct Entry {
        int code;         // 1 header data, 2 BMP, 3 WMF, 6 PNG
        uint32_t offset;  // in the file
        uint32_t size;
    };
    char version[7] = "";
    std::vector<Entry> entries;
    const Entry* Find(int code) const;
};
bool ReadDwgThumbnail(const uint8_t* data, size_t size, SDwgThumbnail& thumbnail);

// A PNG picture as a packed 24-bit DIB (through GDI+); empty on failure.
std::vector<uint8_t> PngToDib(const uint8_t* data, size_t size);

// The drawing fitted into width by height logical units on white paper.
HENHMETAFILE RenderDrawing(const CDrawing& drawing, int width, int height);

// ACI colour numbers; 7 (white on a dark screen) is black on paper.
COLORREF AciColor(int index);

}  // namespace Vantrel
