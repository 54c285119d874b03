#include <cstdlib>
#include <cstring>
#include <new>
#include "Drawing.h"
#include "Vantrel.h"

namespace {

// A read-only view of a whole file.
class CMappedFile {
public:
    explicit CMappedFile(const char* path)
    {
        m_file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER size;
        if (!GetFileSizeEx(m_file, &size) || size.QuadPart <= 0 || size.QuadPart > 512ll * 1024 * 1024)
            return;
        m_mapping = CreateFileMappingA(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!m_mapping)
            return;
        m_data = static_cast<const uint8_t*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0));
        if (m_data)
            m_size = static_cast<size_t>(size.QuadPart);
    }
    ~CMappedFile()
    {
        if (m_data)
            UnmapViewOfFile(m_data);
        if (m_mapping)
            CloseHandle(m_mapping);
        if (m_file != INVALID_HANDLE_VALUE)
            CloseHandle(m_file);
    }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;
    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

bool IsDwg(const uint8_t* data, size_t size)
{
    return size >= 6 && memcmp(data, "AC10", 4) == 0;
}

// Whether a packed DIB holds all that drawing it reads: header, colour
// table and uncompressed rows.
bool SoundDib(const std::vector<uint8_t>& dib)
{
    if (dib.size() < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER h;
    memcpy(&h, dib.data(), sizeof h);
    if (h.biSize < sizeof h || h.biSize > dib.size() || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biWidth > 16384 || h.biHeight > 16384 || h.biHeight < -16384 || h.biCompression != BI_RGB)
        return false;
    unsigned colors = h.biBitCount <= 8 ? (h.biClrUsed ? h.biClrUsed : 1u << h.biBitCount) : 0;
    if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24 &&
        h.biBitCount != 32)
        return false;
    if (h.biBitCount <= 8 && colors > (1u << h.biBitCount))
        return false;
    unsigned long long stride = ((static_cast<unsigned long long>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    unsigned long long need = h.biSize + colors * 4ull + stride * static_cast<unsigned long long>(std::abs(h.biHeight));
    return need <= dib.size();
}

// The thumbnail of a DWG file, PNG handed over as a DIB.
bool DwgThumbnail(const uint8_t* data, size_t size, OdThumbnailImage* thumbnail)
{
    Vantrel::SDwgThumbnail block;
    if (!Vantrel::ReadDwgThumbnail(data, size, block))
        return false;
    bool any = false;
    if (const auto* entry = block.Find(1))
        thumbnail->header.assign(data + entry->offset, entry->size);
    if (const auto* entry = block.Find(2))
        any |= entry->size && thumbnail->bmp.assign(data + entry->offset, entry->size);
    if (const auto* entry = block.Find(3))
        any |= entry->size && thumbnail->wmf.assign(data + entry->offset, entry->size);
    if (const auto* entry = block.Find(6); entry && !thumbnail->hasBmp()) {
        std::vector<uint8_t> dib = Vantrel::PngToDib(data + entry->offset, entry->size);
        any |= !dib.empty() && thumbnail->bmp.assign(dib.data(), static_cast<UINT>(dib.size()));
    }
    return any;
}

bool Contains(const uint8_t* data, size_t size, const char* text)
{
    size_t n = strlen(text);
    for (size_t i = 0; i + n <= size; ++i) {
        const void* hit = memchr(data + i, text[0], size - i - n + 1);
        if (!hit)
            return false;
        i = static_cast<const uint8_t*>(hit) - data;
        if (memcmp(data + i, text, n) == 0)
            return true;
    }
    return false;
}

}  // namespace

// -------------------------------------------------------------- records

OdBinaryData::OdBinaryData() = default;

OdBinaryData::OdBinaryData(const OdBinaryData& other)
{
    assign(other.m_pData, other.m_nSize);
}

OdBinaryData& OdBinaryData::operator=(const OdBinaryData& other)
{
    if (this != &other)
        assign(other.m_pData, other.m_nSize);
    return *this;
}

OdBinaryData::~OdBinaryData()
{
    free(m_pData);
}

bool OdBinaryData::assign(const BYTE* data, UINT size)
{
    BYTE* copy = nullptr;
    if (size && data) {
        copy = static_cast<BYTE*>(malloc(size));
        if (copy)
            memcpy(copy, data, size);
    }
    free(m_pData);
    m_pData = copy;
    m_nSize = copy ? size : 0;
    return copy != nullptr;
}

void OdBinaryData::clear()
{
    free(m_pData);
    m_pData = nullptr;
    m_nSize = 0;
}

// ------------------------------------------------------------- document

QRNACADDocument::QRNACADDocument(Vantrel::CDrawing* drawing) : m_pDrawing(drawing) {}

QRNACADDocument::~QRNACADDocument()
{
    delete m_pDrawing;
}

HENHMETAFILE QRNACADDocument::GetEnhancedMetaFileHandle(int width, int height)
{
    try {
        return m_pDrawing ? Vantrel::RenderDrawing(*m_pDrawing, width, height) : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// -------------------------------------------------------------- session

QRNACADSession::QRNACADSession() = default;
QRNACADSession::~QRNACADSession() = default;

void QRNACADSession::SetCurrentPath(const char* path)
{
    if (!path)
        path = "";
    if (strcmp(path, m_szPath) == 0)
        return;
    lstrcpynA(m_szPath, path, MAX_PATH);
    ++m_nSerial;
}

bool QRNACADSession::ReadThumbnail(const char* path, OdThumbnailImage* thumbnail)
{
    if (!thumbnail)
        return false;
    SetCurrentPath(path);
    CMappedFile file(path ? path : "");
    if (!file.Data())
        return false;
    if (IsDwg(file.Data(), file.Size()))
        return DwgThumbnail(file.Data(), file.Size(), thumbnail);
    // Most DXF files have no thumbnail: a quick look spares a full read.
    if (!Contains(file.Data(), file.Size(), "THUMBNAILIMAGE"))
        return false;
    Vantrel::CDrawing drawing;
    if (!Vantrel::ParseDxf(file.Data(), file.Size(), drawing, true) || drawing.thumbnail.empty() ||
        drawing.thumbnail.size() > 0xFFFFFFF0u)
        return false;
    return thumbnail->bmp.assign(drawing.thumbnail.data(), static_cast<UINT>(drawing.thumbnail.size()));
}

QRNACADDocument* QRNACADSession::OpenDocument(const char* path, bool, bool, const char*)
{
    SetCurrentPath(path);
    CMappedFile file(path ? path : "");
    if (!file.Data())
        return nullptr;
    auto* drawing = new Vantrel::CDrawing;
    try {
        if (IsDwg(file.Data(), file.Size())) {
            // Only the thumbnail of a DWG drawing can be shown.
            OdThumbnailImage thumbnail;
            std::vector<uint8_t> dib;
            if (DwgThumbnail(file.Data(), file.Size(), &thumbnail) && thumbnail.hasBmp())
                dib.assign(thumbnail.bmp.asArrayPtr(), thumbnail.bmp.asArrayPtr() + thumbnail.bmp.size());
            if (!SoundDib(dib)) {
                delete drawing;
                return nullptr;
            }
            BITMAPINFOHEADER header;
            memcpy(&header, dib.data(), sizeof header);
            Vantrel::SPrimitive image;
            image.kind = Vantrel::SPrimitive::kImage;
            image.points = {{0, 0}, {static_cast<double>(header.biWidth), static_cast<double>(std::abs(header.biHeight))}};
            image.dib = std::move(dib);
            drawing->headerExtents.Add(0, 0);
            drawing->headerExtents.Add(image.points[1].x, image.points[1].y);
            drawing->primitives.push_back(std::move(image));
        } else if (!Vantrel::ParseDxf(file.Data(), file.Size(), *drawing)) {
            delete drawing;
            return nullptr;
        }
        return new QRNACADDocument(drawing);
    } catch (...) {
        delete drawing;
        throw;
    }
}

QRNACADSessionGS::QRNACADSessionGS(QRNACADSESSIONGS_DEVICE_TYPE device) : m_device(device) {}
QRNACADSessionGS::~QRNACADSessionGS() = default;

CQRNACADView::CQRNACADView(QRNACADSESSIONGS_DEVICE_TYPE device) : m_session(device) {}
CQRNACADView::~CQRNACADView() = default;
