#include "Pictorium.h"
#include <objidl.h>
#include <gdiplus.h>
#include <cstdlib>
#include <cstring>

namespace {

using namespace Gdiplus;

// GDI+ for the duration of one call; nested start-ups are counted by GDI+.
class CGdiplusScope {
public:
    CGdiplusScope()
    {
        GdiplusStartupInput input;
        if (GdiplusStartup(&m_token, &input, nullptr) != Ok)
            m_token = 0;
    }
    ~CGdiplusScope()
    {
        if (m_token)
            GdiplusShutdown(m_token);
    }
    bool Started() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

IStream* StreamOver(const BYTE* data, UINT size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!memory)
        return nullptr;
    void* bytes = GlobalLock(memory);
    if (size)
        memcpy(bytes, data, size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

bool EncoderClsid(const wchar_t* mime, CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    if (DllExports::GdipGetImageEncodersSize(&count, &bytes) != Ok || !bytes)
        return false;
    auto* codecs = static_cast<ImageCodecInfo*>(malloc(bytes));
    if (!codecs)
        return false;
    bool found = false;
    if (DllExports::GdipGetImageEncoders(count, bytes, codecs) == Ok) {
        for (UINT i = 0; i < count && !found; ++i) {
            if (wcscmp(codecs[i].MimeType, mime) == 0) {
                *clsid = codecs[i].Clsid;
                found = true;
            }
        }
    }
    free(codecs);
    return found;
}

}  // namespace

SECImage::SECImage() = default;

SECImage::SECImage(const SECImage& other)
{
    SetEncodedData(other.m_pData, other.m_nSize);
}

SECImage& SECImage::operator=(const SECImage& other)
{
    if (this != &other)
        SetEncodedData(other.m_pData, other.m_nSize);
    return *this;
}

SECImage::~SECImage()
{
    free(m_pData);
}

bool SECImage::SetEncodedData(const BYTE* data, UINT size)
{
    BYTE* copy = nullptr;
    if (size) {
        copy = static_cast<BYTE*>(malloc(size));
        if (!copy || !data) {
            free(copy);
            copy = nullptr;
            size = 0;
        } else {
            memcpy(copy, data, size);
        }
    }
    free(m_pData);
    m_pData = copy;
    m_nSize = size;
    m_nWidth = m_nHeight = 0;
    return copy != nullptr;
}

bool SECImage::IsValidFormat() const
{
    return m_nSize != 0;
}

HBITMAP SECImage::CreateBitmapHandle(HDC dc) const
{
    if (!IsValidFormat())
        return nullptr;
    CGdiplusScope gdiplus;
    if (!gdiplus.Started())
        return nullptr;
    IStream* stream = StreamOver(m_pData, m_nSize);
    if (!stream)
        return nullptr;
    GpBitmap* image = nullptr;
    GpStatus status = DllExports::GdipCreateBitmapFromStream(stream, &image);
    HBITMAP result = nullptr;
    if (status == Ok && image) {
        UINT w = 0, h = 0;
        DllExports::GdipGetImageWidth(image, &w);
        DllExports::GdipGetImageHeight(image, &h);
        HDC screen = dc ? nullptr : GetDC(nullptr);
        HDC reference = dc ? dc : screen;
        if (w && h && w <= 16384 && h <= 16384) {
            HDC memory = CreateCompatibleDC(reference);
            HBITMAP bitmap = CreateCompatibleBitmap(reference, static_cast<int>(w), static_cast<int>(h));
            if (memory && bitmap) {
                HGDIOBJ old = SelectObject(memory, bitmap);
                GpGraphics* graphics = nullptr;
                bool drawn = false;
                if (DllExports::GdipCreateFromHDC(memory, &graphics) == Ok) {
                    drawn = DllExports::GdipDrawImageRectI(graphics, image, 0, 0, static_cast<INT>(w),
                                                           static_cast<INT>(h)) == Ok;
                    DllExports::GdipDeleteGraphics(graphics);
                }
                SelectObject(memory, old);
                if (drawn) {
                    result = bitmap;
                    bitmap = nullptr;
                    m_nWidth = static_cast<int>(w);
                    m_nHeight = static_cast<int>(h);
                }
            }
            if (bitmap)
                DeleteObject(bitmap);
            if (memory)
                DeleteDC(memory);
        }
        if (screen)
            ReleaseDC(nullptr, screen);
    }
    if (image)
        DllExports::GdipDisposeImage(image);
    stream->Release();
    return result;
}

SECJpeg::SECJpeg() = default;
SECJpeg::~SECJpeg() = default;

bool SECJpeg::IsValidFormat() const
{
    return m_nSize >= 3 && m_pData[0] == 0xFF && m_pData[1] == 0xD8 && m_pData[2] == 0xFF;
}

namespace Pictorium {

BYTE* EncodeJpeg(HBITMAP bitmap, int quality, UINT* size)
{
    *size = 0;
    CGdiplusScope gdiplus;
    CLSID jpeg;
    if (!gdiplus.Started() || !EncoderClsid(L"image/jpeg", &jpeg))
        return nullptr;
    GpBitmap* image = nullptr;
    if (DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Ok)
        return nullptr;
    BYTE* result = nullptr;
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        EncoderParameters parameters;
        ULONG value = static_cast<ULONG>(quality < 0 ? 0 : quality > 100 ? 100 : quality);
        parameters.Count = 1;
        parameters.Parameter[0].Guid = EncoderQuality;
        parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
        parameters.Parameter[0].NumberOfValues = 1;
        parameters.Parameter[0].Value = &value;
        if (DllExports::GdipSaveImageToStream(image, stream, &jpeg, &parameters) == Ok) {
            HGLOBAL memory = nullptr;
            STATSTG stat = {};
            if (SUCCEEDED(GetHGlobalFromStream(stream, &memory)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
                UINT n = static_cast<UINT>(stat.cbSize.QuadPart);
                result = static_cast<BYTE*>(malloc(n ? n : 1));
                if (result) {
                    memcpy(result, GlobalLock(memory), n);
                    GlobalUnlock(memory);
                    *size = n;
                }
            }
        }
        stream->Release();
    }
    DllExports::GdipDisposeImage(image);
    return result;
}

void FreeBytes(BYTE* bytes)
{
    free(bytes);
}

}  // namespace Pictorium
