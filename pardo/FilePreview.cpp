#include "FilePreview.h"
#include <cstring>

namespace {

bool IsOneOf(const char* extension, const char* const* list)
{
    CString lower(extension);
    lower.MakeLower();
    for (; *list; ++list)
        if (lower == *list)
            return true;
    return false;
}

}  // namespace

CQRNFilePreview::CQRNFilePreview() = default;

CQRNFilePreview::CQRNFilePreview(const CQRNFilePreview& other) : IQRNFilePreview(), m_strFile(other.m_strFile)
{
}

CQRNFilePreview& CQRNFilePreview::operator=(const CQRNFilePreview& other)
{
    m_strFile = other.m_strFile;
    return *this;
}

CQRNFilePreview::~CQRNFilePreview()
{
    m_strFile.Empty();
}

void CQRNFilePreview::SetPreviewFile(const char* path)
{
    Pardo::TranslateForeign(
        [&] {
            CString lower(path);
            lower.MakeLower();
            m_strFile = static_cast<CString&&>(lower);
        },
        CFileException::genericException, m_strFile);
}

void CQRNFilePreview::DrawPreview(CWnd*, HDC, int, int, int, int)
{
}

bool CQRNFilePreview::isPreviewForFileType(const char* extension)
{
    static const char* const kExtensions[] = {".bmp", ".gif", ".jpg", ".jpeg", ".png", ".emf", ".tif", ".tiff", nullptr};
    return IsOneOf(extension, kExtensions);
}

void CQRNFilePreview::DrawNoPreviewAvailable(HDC, int, int, int, int)
{
}

namespace Pardo {
// Shared with the image provider.
bool IsExtensionOneOf(const char* extension, const char* const* list)
{
    return IsOneOf(extension, list);
}

namespace {

// Reads 16- and 32-bit values in the byte order a TIFF header names.
struct SExifReader {
    const BYTE* p;
    size_t size;
    bool big;
    bool U16(size_t at, unsigned* v) const
    {
        if (at > size || size - at < 2)
            return false;
        *v = big ? (p[at] << 8 | p[at + 1]) : (p[at] | p[at + 1] << 8);
        return true;
    }
    bool U32(size_t at, unsigned long* v) const
    {
        unsigned hi, lo;
        if (!U16(at, big ? &hi : &lo) || !U16(at + 2, big ? &lo : &hi))
            return false;
        *v = static_cast<unsigned long>(hi) << 16 | lo;
        return true;
    }
};

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kTiffShort = 3;
constexpr BYTE kMarkerSoi = 0xD8, kMarkerApp1 = 0xE1, kMarkerSos = 0xDA;

int OrientationInTiff(const BYTE* tiff, size_t size)
{
    if (size < 8 || !((tiff[0] == 'I' && tiff[1] == 'I') || (tiff[0] == 'M' && tiff[1] == 'M')))
        return 1;
    SExifReader r = {tiff, size, tiff[0] == 'M'};
    unsigned long ifd;
    unsigned count;
    if (!r.U32(4, &ifd) || !r.U16(ifd, &count))
        return 1;
    for (unsigned i = 0; i < count; ++i) {
        size_t entry = ifd + 2 + 12ull * i;
        unsigned tag, type, value;
        if (!r.U16(entry, &tag) || !r.U16(entry + 2, &type) || !r.U16(entry + 8, &value))
            return 1;
        if (tag == kOrientationTag)
            return type == kTiffShort && value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

}  // namespace

int ExifOrientation(const BYTE* data, size_t size)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != kMarkerSoi)
        return 1;
    // Segments up to the scan: marker, big-endian length (itself included).
    size_t pos = 2;
    while (size - pos >= 4 && data[pos] == 0xFF) {
        BYTE marker = data[pos + 1];
        if (marker == kMarkerSos)
            break;
        size_t length = static_cast<size_t>(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || length > size - pos - 2)
            break;
        const BYTE* body = data + pos + 4;
        size_t bodySize = length - 2;
        if (marker == kMarkerApp1 && bodySize >= 6 && memcmp(body, "Exif\0\0", 6) == 0)
            return OrientationInTiff(body + 6, bodySize - 6);
        pos += 2 + length;
    }
    return 1;
}

SFileStamp FileStamp(const char* path)
{
    SFileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path && GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
        stamp.size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        stamp.written = static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                        data.ftLastWriteTime.dwLowDateTime;
    }
    return stamp;
}

bool ReadWholeFile(const char* path, size_t limit, std::vector<BYTE>* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && static_cast<ULONGLONG>(size.QuadPart) <= limit;
    if (ok) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
             read == bytes->size();
    }
    CloseHandle(file);
    if (!ok)
        bytes->clear();
    return ok;
}

}  // namespace Pardo
