#include "BitmapFilePreview.h"
#include <objidl.h>
#include <gdiplus.h>
#include "PreviewLayout.h"

namespace Pardo {
bool IsExtensionOneOf(const char* extension, const char* const* list);
}

namespace {

using namespace Gdiplus;

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

}  // namespace

CQRNBitmapFilePreview::CQRNBitmapFilePreview() = default;
CQRNBitmapFilePreview::CQRNBitmapFilePreview(const CQRNBitmapFilePreview& other) = default;
CQRNBitmapFilePreview& CQRNBitmapFilePreview::operator=(const CQRNBitmapFilePreview& other) = default;
CQRNBitmapFilePreview::~CQRNBitmapFilePreview() = default;

bool CQRNBitmapFilePreview::isPreviewForFileType(const char* extension)
{
    static const char* const kExtensions[] = {".bmp", ".wmf", ".emf", ".jpg", ".jpeg", ".gif", ".tif", ".tiff", ".png", nullptr};
    return Pardo::IsExtensionOneOf(extension, kExtensions);
}

void CQRNBitmapFilePreview::DrawPreview(CWnd*, HDC dc, int x, int y, int cx, int cy)
{
    if (m_strFile.IsEmpty())
        return;
    int length = MultiByteToWideChar(CP_ACP, 0, m_strFile, -1, nullptr, 0);
    if (length <= 0) {
        DrawNoPreviewAvailable(dc, x, y, cx, cy);
        return;
    }
    wchar_t* wide = new wchar_t[length];
    MultiByteToWideChar(CP_ACP, 0, m_strFile, -1, wide, length);
    ImageHolder image;
    GpStatus status = DllExports::GdipLoadImageFromFile(wide, &image.image);
    delete[] wide;
    if (status != Ok || !image.image) {
        DrawNoPreviewAvailable(dc, x, y, cx, cy);
        return;
    }

    UINT w = 0, h = 0;
    Check(DllExports::GdipGetImageWidth(image.image, &w));
    Check(DllExports::GdipGetImageHeight(image.image, &h));
    CRect placement;
    if (!Pardo::ImagePlacement(static_cast<int>(w), static_cast<int>(h), x, y, cx, cy, &placement)) {
        // An image without pixels cannot be scaled.
        DrawNoPreviewAvailable(dc, x, y, cx, cy);
        return;
    }
    GraphicsHolder graphics;
    Check(DllExports::GdipCreateFromHDC(dc, &graphics.graphics));
    Check(DllExports::GdipSetInterpolationMode(graphics.graphics, InterpolationModeHighQualityBicubic));
    Check(DllExports::GdipDrawImageRectRectI(graphics.graphics, image.image, placement.left, placement.top,
                                             placement.Width(), placement.Height(), 0, 0, static_cast<INT>(w),
                                             static_cast<INT>(h), UnitPixel, nullptr, nullptr, nullptr));
}
