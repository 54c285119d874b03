#include "ACADFilePreview.h"
#include <cmath>
#include <cstring>

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

// The platform's conversion trusts the records' sizes and counts, so only
// metafiles whose records all hold what they claim are handed to it: the
// drawing records of vector thumbnails, each checked for the parameters
// the platform reads. Others (bitmaps, fonts, palettes, escapes) give no
// picture.
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
        auto param = [&](size_t i) { return Load<WORD>(p + 2 * i); };
        size_t need = 0;
        switch (function) {
        case 0x0000: return true;  // end of the metafile
        case 0x001E: need = 0; break;  // SaveDC
        case 0x0127: case 0x0102: case 0x0103: case 0x0104: case 0x0106: case 0x0107: case 0x012E:
            need = 1;  // one-word settings
            break;
        case 0x012D: case 0x01F0:  // SelectObject, DeleteObject: an index into the object table
            if (!params || param(0) >= objects)
                return false;
            need = 1;
            break;
        case 0x0201: case 0x0209: case 0x020B: case 0x020C: case 0x020D: case 0x020E: case 0x020F:
        case 0x0211: case 0x0213: case 0x0214: need = 2; break;  // colours, origins, extents, points
        case 0x0410: case 0x0412: case 0x0415: case 0x0416: case 0x0418: case 0x041B: case 0x02FC: need = 4; break;
        case 0x02FA: need = 5; break;  // CreatePenIndirect
        case 0x061C: need = 6; break;  // RoundRect
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
    if (!dib || size < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER h;
    memcpy(&h, dib, sizeof h);
    if (h.biSize < sizeof h || h.biSize > size || h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 32768 ||
        h.biHeight > 32768 || h.biHeight < -32768 || h.biPlanes != 1)
        return false;
    size_t table = 0;
    switch (h.biBitCount) {
    case 1: table = 8; break;
    case 4: table = 64; break;
    case 8: table = 1024; break;
    case 16: case 24: case 32: break;
    default: return false;
    }
    // Only plain rows have a size known in advance.
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)))
        return false;
    // What the platform reads as the colour table: the used colours, or all
    // of them; or the three masks of a bit-field bitmap.
    unsigned long long platformTable = 0;
    if (h.biBitCount <= 8) {
        unsigned long long colors = h.biClrUsed ? h.biClrUsed : 1ull << h.biBitCount;
        if (colors > (1ull << h.biBitCount))
            return false;
        platformTable = colors * 4;
    } else if (h.biCompression == BI_BITFIELDS) {
        platformTable = 12;
    }
    unsigned long long stride = ((static_cast<unsigned long long>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    unsigned long long rows = stride * static_cast<unsigned long long>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
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

void CQRNACADFilePreview::DrawPreview(CWnd*, HDC dc, int x, int y, int cx, int cy)
{
    if (m_strFile.IsEmpty())
        return;
    QRNACADSessionGS* session = m_viewer.GetView()->GetSession();
    OdThumbnailImage thumbnail;
    bool have = Quietly([&] { return session->GetThumbnail(m_strFile, &thumbnail); }, false);
    if (!have)
        thumbnail = OdThumbnailImage();

    if (thumbnail.hasBmp()) {
        Pardo::SDibLayout dib;
        if (!Pardo::DibLayout(thumbnail.bmp.asArrayPtr(), thumbnail.bmp.size(), &dib))
            return;  // shorter than its header says: nothing to show
        int height = dib.height < 0 ? -dib.height : dib.height;
        CRect placement = EvalRect(dib.width, height, cx, cy);
        if (placement.IsRectEmpty())
            return;
        const BYTE* bytes = thumbnail.bmp.asArrayPtr();
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
        return;
    }

    if (thumbnail.hasWmf()) {
        Pardo::SWmfLayout wmf;
        if (!Pardo::WmfLayout(thumbnail.wmf.asArrayPtr(), thumbnail.wmf.size(), &wmf) || !wmf.hasSize)
            return;  // a metafile without a size cannot be fitted
        EnhMetaFileHolder picture;
        picture.handle = SetWinMetaFileBits(static_cast<UINT>(wmf.bytes), thumbnail.wmf.asArrayPtr() + wmf.offset,
                                            nullptr, nullptr);
        if (!picture.handle)
            return;
        CRect placement = EvalRect(wmf.width, wmf.height, cx, cy);
        if (placement.IsRectEmpty())
            return;
        placement.OffsetRect(x, y);
        PlayEnhMetaFile(dc, picture.handle, &placement);
        return;
    }

    QRNACADDocument* document =
        Quietly([&] { return session->GetACADDocument(m_strFile, false, false, CString("")); },
                static_cast<QRNACADDocument*>(nullptr));
    if (!document)
        return;
    EnhMetaFileHolder picture;
    picture.handle = Quietly([&] { return document->GetEnhancedMetaFileHandle(1024, 768); },
                             static_cast<HENHMETAFILE>(nullptr));
    ENHMETAHEADER header = {};
    if (picture.handle && GetEnhMetaFileHeader(picture.handle, sizeof header, &header)) {
        RECT bounds = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right, header.rclBounds.bottom};
        CRect placement = Pardo::RenderedPlacement(bounds, x, y, cx, cy);
        if (!placement.IsRectEmpty())
            PlayEnhMetaFile(dc, picture.handle, &placement);
    }
    delete document;
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
