#include "BitmapFilePreview.h"
#include <objidl.h>
#include <gdiplus.h>
#include <memory>
#include "PreviewLayout.h"
#include "orvel/base/GdiHandles.h"

namespace Pardo {
bool IsExtensionOneOf(const char* extension, const char* const* list);
}

namespace {

using namespace Gdiplus;

// Pictures larger than this are not read into memory for a preview.
constexpr size_t kMaxImageFile = 256u * 1024 * 1024;

struct ImageHolder {
    GpImage* image = nullptr;
    ~ImageHolder()
    {
        if (image)
            DllExports::GdipDisposeImage(image);
    }
};

struct GraphicsHolder {
    GpGraphics* graphics = nullptr;
    ~GraphicsHolder()
    {
        if (graphics)
            DllExports::GdipDeleteGraphics(graphics);
    }
};

void Check(GpStatus status)
{
    if (status != Ok)
        Pardo::ThrowFileException(CFileException::none, -1);
}

// What turns a picture stored with an EXIF orientation upright.
RotateFlipType Upright(int orientation)
{
    switch (orientation) {
    case 2: return RotateNoneFlipX;
    case 3: return Rotate180FlipNone;
    case 4: return Rotate180FlipX;
    case 5: return Rotate90FlipX;
    case 6: return Rotate90FlipNone;
    case 7: return Rotate270FlipX;
    case 8: return Rotate270FlipNone;
    default: return RotateNoneFlipNone;
    }
}

// The file's bytes decoded by GDI+; null when it cannot be.
GpImage* Decode(const char* path)
{
    std::vector<BYTE> bytes;
    if (!Pardo::ReadWholeFile(path, kMaxImageFile, &bytes))
        return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return nullptr;
    if (void* p = GlobalLock(memory)) {
        memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    GpImage* image = nullptr;
    // The image holds the stream for as long as it lives.
    if (DllExports::GdipLoadImageFromStream(stream, &image) != Ok)
        image = nullptr;
    stream->Release();
    if (image) {
        RotateFlipType turn = Upright(Pardo::ExifOrientation(bytes.data(), bytes.size()));
        if (turn != RotateNoneFlipNone)
            DllExports::GdipImageRotateFlip(image, turn);
    }
    return image;
}

}  // namespace

// The decoded picture of one file and its rendering at the last size asked
// for, premultiplied so that transparent pictures blend over the pane.
struct CQRNBitmapFilePreview::SPicture {
    CString file;
    Pardo::SFileStamp stamp;
    ImageHolder image;  // null: the file cannot be shown
    UINT width = 0, height = 0;
    Base::CBitmapHandle scaled;
    int scaledW = 0, scaledH = 0;
};

CQRNBitmapFilePreview::CQRNBitmapFilePreview() = default;

CQRNBitmapFilePreview::CQRNBitmapFilePreview(const CQRNBitmapFilePreview& other) : CQRNFilePreview(other) {}

CQRNBitmapFilePreview& CQRNBitmapFilePreview::operator=(const CQRNBitmapFilePreview& other)
{
    if (this != &other) {
        CQRNFilePreview::operator=(other);
        DropPicture();
    }
    return *this;
}

CQRNBitmapFilePreview::~CQRNBitmapFilePreview()
{
    DropPicture();
}

void CQRNBitmapFilePreview::DropPicture()
{
    delete m_pPicture;
    m_pPicture = nullptr;
}

bool CQRNBitmapFilePreview::isPreviewForFileType(const char* extension)
{
    static const char* const kExtensions[] = {".bmp", ".wmf", ".emf", ".jpg", ".jpeg", ".gif", ".tif", ".tiff", ".png", nullptr};
    return Pardo::IsExtensionOneOf(extension, kExtensions);
}

void CQRNBitmapFilePreview::SetPreviewFile(const char* path)
{
    CQRNFilePreview::SetPreviewFile(path);
    if (m_pPicture && (m_pPicture->file != m_strFile || !(m_pPicture->stamp == Pardo::FileStamp(m_strFile))))
        DropPicture();
}

void CQRNBitmapFilePreview::DrawPreview(CWnd*, HDC dc, int x, int y, int cx, int cy)
{
    if (m_strFile.IsEmpty())
        return;
    if (!m_pPicture || m_pPicture->file != m_strFile) {
        DropPicture();
        auto picture = std::make_unique<SPicture>();
        picture->file = m_strFile;
        picture->stamp = Pardo::FileStamp(m_strFile);
        picture->image.image = Decode(m_strFile);
        if (picture->image.image) {
            Check(DllExports::GdipGetImageWidth(picture->image.image, &picture->width));
            Check(DllExports::GdipGetImageHeight(picture->image.image, &picture->height));
        }
        m_pPicture = picture.release();
    }
    SPicture& picture = *m_pPicture;
    CRect placement;
    if (!picture.image.image ||
        !Pardo::ImagePlacement(static_cast<int>(picture.width), static_cast<int>(picture.height), x, y, cx, cy,
                               &placement) ||
        placement.IsRectEmpty()) {
        // Unreadable, or without pixels to scale.
        DrawNoPreviewAvailable(dc, x, y, cx, cy);
        return;
    }
    int w = placement.Width(), h = placement.Height();
    if (!picture.scaled || picture.scaledW != w || picture.scaledH != h) {
        picture.scaled.Reset();
        void* bits = nullptr;
        Base::CBitmapHandle scaled = Base::CreateTopDownDIB(w, h, &bits);
        if (!bits)
            Pardo::ThrowFileException(CFileException::none, -1);
        ImageHolder target;
        Check(DllExports::GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits),
                                                    reinterpret_cast<GpBitmap**>(&target.image)));
        GraphicsHolder graphics;
        Check(DllExports::GdipGetImageGraphicsContext(target.image, &graphics.graphics));
        Check(DllExports::GdipSetInterpolationMode(graphics.graphics, InterpolationModeHighQualityBicubic));
        Check(DllExports::GdipDrawImageRectRectI(graphics.graphics, picture.image.image, 0, 0, w, h, 0, 0,
                                                 static_cast<INT>(picture.width), static_cast<INT>(picture.height),
                                                 UnitPixel, nullptr, nullptr, nullptr));
        picture.scaled = std::move(scaled);
        picture.scaledW = w;
        picture.scaledH = h;
    }
    Base::CMemoryDC source(dc);
    Base::CSelectScope select(source, picture.scaled);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, placement.left, placement.top, w, h, source, 0, 0, w, h, blend);
}
