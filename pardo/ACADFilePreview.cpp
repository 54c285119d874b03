#include "ACADFilePreview.h"
#include <cmath>
#include <cstring>
#include <memory>
#include "orvel/base/GdiHandles.h"

namespace Pardo {
bool IsExtensionOneOf(const char* extension, const char* const* list);
}

namespace {

constexpr UINT kViewerId = 1234;
constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;

template <class T>
T Load(const BYTE* p)
{
    T value;
    memcpy(&value, p, sizeof value);
    return value;
}

// Runs fn; whatever the drawing library throws counts as no result.
template <class Fn>
auto Quietly(Fn&& fn, decltype(fn()) fallback) -> decltype(fn())
{
    try {
        return fn();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return fallback;
}

struct EnhMetaFileHolder {
    HENHMETAFILE handle = nullptr;
    ~EnhMetaFileHolder()
    {
        if (handle)
            DeleteEnhMetaFile(handle);
    }
};

// A packed DIB's header, checked for what the platform reads: plain rows of
// a common depth; colours gives the entries of its colour table.
bool DibHeader(const BYTE* dib, size_t size, BITMAPINFOHEADER* h, unsigned long long* rows, unsigned* colors)
{
    if (!dib || size < sizeof(BITMAPINFOHEADER))
        return false;
    memcpy(h, dib, sizeof *h);
    if (h->biSize < sizeof *h || h->biSize > size || h->biWidth <= 0 || h->biHeight == 0 || h->biWidth > 32768 ||
        h->biHeight > 32768 || h->biHeight < -32768 || h->biPlanes != 1)
        return false;
    switch (h->biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    // Only plain rows have a size known in advance.
    if (h->biCompression != BI_RGB &&
        !(h->biCompression == BI_BITFIELDS && (h->biBitCount == 16 || h->biBitCount == 32)))
        return false;
    if (h->biBitCount <= 8) {
        *colors = h->biClrUsed ? h->biClrUsed : 1u << h->biBitCount;
        if (*colors > (1u << h->biBitCount))
            return false;
    } else {
        // The platform reads a table of used colours at any depth.
        *colors = h->biClrUsed < 256 ? h->biClrUsed : 256;
    }
    unsigned long long stride = ((static_cast<unsigned long long>(h->biWidth) * h->biBitCount + 31) / 32) * 4;
    *rows = stride * static_cast<unsigned long long>(h->biHeight < 0 ? -h->biHeight : h->biHeight);
    return true;
}

// A DIB inside a metafile record: its colour table in the usage's entries
// (2-byte palette indices or 4-byte colours), then the rows.
bool DibFits(const BYTE* dib, size_t size, WORD usage)
{
    BITMAPINFOHEADER h;
    unsigned long long rows;
    unsigned colors;
    if (!DibHeader(dib, size, &h, &rows, &colors))
        return false;
    unsigned long long table = static_cast<unsigned long long>(colors) * (usage == DIB_PAL_COLORS ? 2 : 4);
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof h)
        table += 12;
    return h.biSize + table + rows <= size;
}

// The platform's conversion trusts the records' sizes, counts and object
// indices, so only metafiles whose records all hold what they claim are
// handed to it. Each kind it converts is checked for the parameters it
// reads; escapes, regions and device-dependent bitmaps give no picture.
bool RecordsSound(const BYTE* mf, size_t bytes)
{
    size_t pos = static_cast<size_t>(Load<WORD>(mf + 2)) * 2;
    WORD objects = Load<WORD>(mf + 10);
    if (pos < 18 || pos > bytes)
        return false;
    while (bytes - pos >= 6) {
        DWORD words = Load<DWORD>(mf + pos);
        WORD function = Load<WORD>(mf + pos + 4);
        if (words < 3 || words > (bytes - pos) / 2)
            return false;
        size_t params = words - 3;
        const BYTE* p = mf + pos + 6;
        auto param = [&](size_t i) { return i < params ? Load<WORD>(p + 2 * i) : WORD(0); };
        // The DIB that starts at a parameter and runs to the record's end.
        auto dibAt = [&](size_t first, WORD usage) {
            return params > first && DibFits(p + 2 * first, (params - first) * 2, usage);
        };
        size_t need = 0;
        switch (function) {
        case 0x0000: return true;  // end of the metafile
        case 0x001E: case 0x0035: need = 0; break;  // SaveDC, RealizePalette
        case 0x0127: case 0x0102: case 0x0103: case 0x0104: case 0x0105: case 0x0106: case 0x0107: case 0x0108:
        case 0x012E:
            need = 1;  // one-word settings
            break;
        case 0x012D: case 0x01F0:  // SelectObject, DeleteObject: an index into the object table
            if (!params || param(0) >= objects)
                return false;
            need = 1;
            break;
        case 0x0234: {
            // SelectPalette: one index, but the platform may read the word
            // after it as the index: both must lie inside the table.
            size_t after = pos + 6 + 2;
            if (!params || param(0) >= objects || bytes - after < 2 || Load<WORD>(mf + after) >= objects)
                return false;
            need = 1;
            break;
        }
        case 0x0201: case 0x0209: case 0x020A: case 0x020B: case 0x020C: case 0x020D: case 0x020E: case 0x020F:
        case 0x0211: case 0x0213: case 0x0214: case 0x0220: case 0x0231: case 0x0149:
            need = 2;  // colours, origins, extents, points, flags
            break;
        case 0x0410: case 0x0412: case 0x0415: case 0x0416: case 0x0418: case 0x041B: case 0x041F: case 0x0419:
        case 0x02FC:
            need = 4;
            break;
        case 0x02FA: case 0x0548: need = 5; break;  // CreatePenIndirect, ExtFloodFill
        case 0x061C: case 0x061D: need = 6; break;  // RoundRect, PatBlt
        case 0x0817: case 0x081A: case 0x0830: need = 8; break;  // Arc, Pie, Chord
        case 0x0324: case 0x0325:  // Polygon, Polyline
            need = params ? 1 + 2 * static_cast<size_t>(param(0)) : 1;
            break;
        case 0x0538: {  // PolyPolygon
            if (!params)
                return false;
            size_t polygons = param(0);
            if (1 + polygons > params)
                return false;
            need = 1 + polygons;
            for (size_t k = 0; k < polygons; ++k)
                need += 2 * static_cast<size_t>(param(1 + k));
            break;
        }
        case 0x0521:  // TextOut: count, the characters, y, x
            need = 1 + (static_cast<size_t>(param(0)) + 1) / 2 + 2;
            break;
        case 0x0A32: {  // ExtTextOut: y, x, count, options, [rectangle], the characters
            bool rect = (param(3) & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
            need = 4 + (rect ? 4 : 0) + (static_cast<size_t>(param(2)) + 1) / 2;
            break;
        }
        case 0x02FB: {  // CreateFontIndirect: the face name is read up to its end
            const size_t kFixed = 9;  // the font's numbers, in words
            if (params <= kFixed || !memchr(p + 2 * kFixed, 0, (params - kFixed) * 2))
                return false;
            need = kFixed;
            break;
        }
        case 0x00F7:  // CreatePalette: version, count, the entries
            need = 2 + 2 * static_cast<size_t>(param(1));
            break;
        case 0x0940:  // DibBitBlt, with a DIB or with none
            if (words > 12 ? !dibAt(8, DIB_RGB_COLORS) : params < 9)
                return false;
            break;
        case 0x0B41:  // DibStretchBlt, with a DIB or with none
            if (words > 15 ? !dibAt(10, DIB_RGB_COLORS) : params < 11)
                return false;
            break;
        case 0x0F43:  // StretchDIBits: the usage third, the DIB after eleven words
            if (!dibAt(11, param(2)))
                return false;
            break;
        case 0x0D33:  // SetDIBitsToDevice: the usage first, the DIB after nine words
            if (!dibAt(9, param(0)))
                return false;
            break;
        case 0x0142:  // DibCreatePatternBrush: style, usage, the DIB
            if (!dibAt(2, param(1)))
                return false;
            break;
        default:
            return false;
        }
        if (need > params)
            return false;
        pos += static_cast<size_t>(words) * 2;
    }
    return false;  // no end record inside the array
}

}  // namespace

namespace Pardo {

CRect FitPicture(int w, int h, int cx, int cy)
{
    if (w <= 0 || h <= 0 || cx <= 0 || cy <= 0)
        return CRect();
    // 64-bit products: a thumbnail's header may claim any size.
    long long W, H;
    if (h > w) {
        H = h < cy ? h : cy;
        W = static_cast<long long>(w) * H / h;
        if (W > cx) {
            H = H * cx / W;
            W = cx;
        }
    } else {
        W = w < cx ? w : cx;
        H = static_cast<long long>(h) * W / w;
        if (H > cy) {
            W = W * cy / H;
            H = cy;
        }
    }
    int left = static_cast<int>((cx - W) / 2), top = static_cast<int>((cy - H) / 2);
    return CRect(left, top, left + static_cast<int>(W), top + static_cast<int>(H));
}

bool DibLayout(const BYTE* dib, size_t size, SDibLayout* layout)
{
    BITMAPINFOHEADER h;
    unsigned long long rows;
    unsigned colors;
    if (!DibHeader(dib, size, &h, &rows, &colors))
        return false;
    // The pixels follow a table of 8, 64 or 1024 bytes whatever the used
    // count; the platform reads the used colours, or the three masks of a
    // bit-field bitmap.
    size_t table = h.biBitCount == 1 ? 8 : h.biBitCount == 4 ? 64 : h.biBitCount == 8 ? 1024 : 0;
    unsigned long long platformTable =
        h.biBitCount <= 8 ? colors * 4ull : h.biCompression == BI_BITFIELDS ? 12 : 0;
    if (h.biSize + platformTable > size || h.biSize + table + rows > size)
        return false;
    layout->width = h.biWidth;
    layout->height = h.biHeight;
    layout->pixelOffset = h.biSize + table;
    return true;
}

bool WmfLayout(const BYTE* wmf, size_t size, SWmfLayout* layout)
{
    *layout = SWmfLayout();
    if (!wmf)
        return false;
    size_t offset = 0;
    if (size >= 4 && Load<DWORD>(wmf) == kPlaceableKey) {
        if (size < kPlaceableSize)
            return false;
        short left = Load<short>(wmf + 6), top = Load<short>(wmf + 8);
        short right = Load<short>(wmf + 10), bottom = Load<short>(wmf + 12);
        WORD unitsPerInch = Load<WORD>(wmf + 14);
        if (unitsPerInch) {
            layout->hasSize = true;
            layout->width = (right - left) * 254 / unitsPerInch;
            layout->height = (bottom - top) * 254 / unitsPerInch;
        }
        offset = kPlaceableSize;
    }
    // METAHEADER: type at 0, size in words at 6; 18 bytes in all.
    if (size - offset < 18)
        return false;
    WORD type = Load<WORD>(wmf + offset);
    if (type != 1 && type != 2)
        return false;
    unsigned long long bytes = static_cast<unsigned long long>(Load<DWORD>(wmf + offset + 6)) * 2;
    if (bytes < 18 || bytes > size - offset || !RecordsSound(wmf + offset, static_cast<size_t>(bytes)))
        return false;
    layout->offset = offset;
    layout->bytes = static_cast<size_t>(bytes);
    return true;
}

CRect RenderedPlacement(const RECT& bounds, int x, int y, int cx, int cy)
{
    long long bw = static_cast<long long>(bounds.right) - bounds.left;
    long long bh = static_cast<long long>(bounds.bottom) - bounds.top;
    if (bw <= 0 || bh <= 0)
        return CRect();
    double s = bw / bh > 0 ? static_cast<double>(cy) / bh : static_cast<double>(cx) / bw;
    double right = std::trunc(x + bw * s), bottom = std::trunc(y + bh * s);
    if (!(std::fabs(right) < 1e9) || !(std::fabs(bottom) < 1e9))
        return CRect();
    return CRect(x, y, static_cast<int>(right), static_cast<int>(bottom));
}

}  // namespace Pardo

CQRNACADFilePreview::CQRNACADFilePreview() : m_viewer(QRNACADSESSIONGS_DEVICE_GDI) {}

CQRNACADFilePreview::~CQRNACADFilePreview()
{
    DropPicture();
    m_viewer.DestroyWindow();
}

bool CQRNACADFilePreview::isPreviewForFileType(const char* extension)
{
    static const char* const kExtensions[] = {".dwg", ".dxf", nullptr};
    return Pardo::IsExtensionOneOf(extension, kExtensions);
}

CRect CQRNACADFilePreview::EvalRect(int w, int h, int cx, int cy)
{
    return Pardo::FitPicture(w, h, cx, cy);
}

// What the drawing library gave for one file: its thumbnail, or the whole
// drawing rendered, and that rendering at the last box size.
struct CQRNACADFilePreview::SPicture {
    enum Kind { kNothing, kBitmap, kMetafile, kRendered };
    CString file;
    Pardo::SFileStamp stamp;
    Kind kind = kNothing;
    OdThumbnailImage thumbnail;  // kBitmap: the DIB as read
    Pardo::SDibLayout dib;
    EnhMetaFileHolder picture;   // kMetafile: the converted thumbnail; kRendered: the drawing
    int width = 0, height = 0;   // kMetafile: the placeable size
    RECT bounds = {};            // kRendered: the metafile's bounds
    // kRendered, at the last box size: the part of the placement inside
    // the box (relative to it), drawn on white paper.
    Base::CBitmapHandle shown;
    int shownCx = 0, shownCy = 0;
    CRect shownRect;
};

void CQRNACADFilePreview::DropPicture()
{
    delete m_pPicture;
    m_pPicture = nullptr;
}

void CQRNACADFilePreview::SetPreviewFile(const char* path)
{
    CQRNFilePreview::SetPreviewFile(path);
    if (m_pPicture && (m_pPicture->file != m_strFile || !(m_pPicture->stamp == Pardo::FileStamp(m_strFile))))
        DropPicture();
}

CQRNACADFilePreview::SPicture* CQRNACADFilePreview::LoadPicture()
{
    auto picture = std::make_unique<SPicture>();
    picture->file = m_strFile;
    picture->stamp = Pardo::FileStamp(m_strFile);
    QRNACADSessionGS* session = m_viewer.GetView()->GetSession();
    OdThumbnailImage& thumbnail = picture->thumbnail;
    if (!Quietly([&] { return session->GetThumbnail(m_strFile, &thumbnail); }, false))
        thumbnail = OdThumbnailImage();

    if (thumbnail.hasBmp()) {
        // Shorter than its header says: nothing to show.
        if (Pardo::DibLayout(thumbnail.bmp.asArrayPtr(), thumbnail.bmp.size(), &picture->dib))
            picture->kind = SPicture::kBitmap;
    } else if (thumbnail.hasWmf()) {
        Pardo::SWmfLayout wmf;
        // A metafile without a size cannot be fitted.
        if (Pardo::WmfLayout(thumbnail.wmf.asArrayPtr(), thumbnail.wmf.size(), &wmf) && wmf.hasSize) {
            picture->picture.handle = SetWinMetaFileBits(static_cast<UINT>(wmf.bytes),
                                                         thumbnail.wmf.asArrayPtr() + wmf.offset, nullptr, nullptr);
            picture->width = wmf.width;
            picture->height = wmf.height;
            if (picture->picture.handle)
                picture->kind = SPicture::kMetafile;
        }
        thumbnail = OdThumbnailImage();
    } else {
        QRNACADDocument* document =
            Quietly([&] { return session->GetACADDocument(m_strFile, false, false, CString("")); },
                    static_cast<QRNACADDocument*>(nullptr));
        if (document) {
            picture->picture.handle = Quietly([&] { return document->GetEnhancedMetaFileHandle(1024, 768); },
                                              static_cast<HENHMETAFILE>(nullptr));
            delete document;
            ENHMETAHEADER header = {};
            if (picture->picture.handle && GetEnhMetaFileHeader(picture->picture.handle, sizeof header, &header)) {
                picture->bounds = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right,
                                   header.rclBounds.bottom};
                picture->kind = SPicture::kRendered;
            }
        }
    }
    m_pPicture = picture.release();
    return m_pPicture;
}

void CQRNACADFilePreview::DrawPreview(CWnd*, HDC dc, int x, int y, int cx, int cy)
{
    if (m_strFile.IsEmpty())
        return;
    SPicture* picture = m_pPicture && m_pPicture->file == m_strFile ? m_pPicture : (DropPicture(), LoadPicture());

    switch (picture->kind) {
    case SPicture::kNothing:
        break;
    case SPicture::kBitmap: {
        const Pardo::SDibLayout& dib = picture->dib;
        int height = dib.height < 0 ? -dib.height : dib.height;
        CRect placement = EvalRect(dib.width, height, cx, cy);
        if (placement.IsRectEmpty())
            break;
        const BYTE* bytes = picture->thumbnail.bmp.asArrayPtr();
        // Thumbnails are thin light lines on a dark ground: averaging keeps
        // them when shrinking, where the default mode would drop them.
        int oldMode = SetStretchBltMode(dc, HALFTONE);
        POINT oldOrigin;
        SetBrushOrgEx(dc, 0, 0, &oldOrigin);
        StretchDIBits(dc, x + placement.left, y + placement.top, placement.Width(), placement.Height(), 0, 0,
                      dib.width, height, bytes + dib.pixelOffset, reinterpret_cast<const BITMAPINFO*>(bytes),
                      DIB_RGB_COLORS, SRCCOPY);
        SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        if (oldMode)
            SetStretchBltMode(dc, oldMode);
        break;
    }
    case SPicture::kMetafile: {
        CRect placement = EvalRect(picture->width, picture->height, cx, cy);
        if (placement.IsRectEmpty())
            break;
        placement.OffsetRect(x, y);
        PlayEnhMetaFile(dc, picture->picture.handle, &placement);
        break;
    }
    case SPicture::kRendered:
        DrawRendered(*picture, dc, x, y, cx, cy);
        break;
    }
}

void CQRNACADFilePreview::DrawRendered(SPicture& picture, HDC dc, int x, int y, int cx, int cy)
{
    if (!picture.shown || picture.shownCx != cx || picture.shownCy != cy) {
        picture.shown.Reset();
        CRect placement = Pardo::RenderedPlacement(picture.bounds, 0, 0, cx, cy);
        CRect box(0, 0, cx, cy), visible;
        if (placement.IsRectEmpty() || !::IntersectRect(&visible, &placement, &box))
            return;
        void* bits = nullptr;
        Base::CBitmapHandle shown = Base::CreateTopDownDIB(visible.Width(), visible.Height(), &bits);
        if (!bits)
            return;
        Base::CMemoryDC memory(dc);
        Base::CSelectScope select(memory, shown);
        RECT paper = {0, 0, visible.Width(), visible.Height()};
        FillRect(memory, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        placement.OffsetRect(-visible.left, -visible.top);
        PlayEnhMetaFile(memory, picture.picture.handle, &placement);
        GdiFlush();
        picture.shown = std::move(shown);
        picture.shownCx = cx;
        picture.shownCy = cy;
        picture.shownRect = visible;
    }
    Base::CMemoryDC memory(dc);
    Base::CSelectScope select(memory, picture.shown);
    const CRect& r = picture.shownRect;
    BitBlt(dc, x + r.left, y + r.top, r.Width(), r.Height(), memory, 0, 0, SRCCOPY);
}

void CQRNACADFilePreview::DrawDWG(CWnd* window, HDC, int x, int y, int cx, int cy)
{
    if (!m_bViewerCreated) {
        CRect box(x, y, x + cx, y + cy);
        m_viewer.Create(window, box, kViewerId, WS_VISIBLE, QRNACADSESSIONGS_DEVICE_GDI);
        m_bViewerCreated = true;
        m_viewer.InitView();
        m_viewer.SetToolBarEnabled(true);
        m_viewer.SetContextMenuEnabled(false);
    }
    if (!m_viewer.IsWindowVisible())
        m_viewer.ShowWindow(SW_SHOW);
}
