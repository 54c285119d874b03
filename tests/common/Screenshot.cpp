#include "tests/common/Screenshot.h"

#include "orvel/base/GdiHandles.h"

#include <objidl.h>
#include <gdiplus.h>

namespace Screenshot {

namespace {

// GDI+ for the span of one call: the helper is used from plain programs
// and tests that never start it themselves.
class CGdiplusScope {
public:
    CGdiplusScope()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~CGdiplusScope()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    CGdiplusScope(const CGdiplusScope&) = delete;
    CGdiplusScope& operator=(const CGdiplusScope&) = delete;
    bool Ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

bool FindEncoder(const wchar_t* mimeType, CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

void CopyDibPixels(const void* bits, int width, int height, SPixels& out)
{
    out.width = width;
    out.height = height;
    const DWORD* source = static_cast<const DWORD*>(bits);
    out.bits.assign(source, source + size_t(width) * height);
    for (DWORD& pixel : out.bits)
        pixel &= 0x00FFFFFF;
}

bool CaptureScreenRect(const RECT& rect, SPixels& out)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0)
        return false;
    BITMAPINFO info = Base::TopDown32BitInfo(w, h);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
        if (ok)
            CopyDibPixels(bits, w, h, out);
        DeleteObject(bitmap);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SavePng(const SPixels& pixels, const std::wstring& path)
{
    if (pixels.width <= 0 || pixels.height <= 0 ||
        pixels.bits.size() != size_t(pixels.width) * pixels.height)
        return false;
    CGdiplusScope gdiplus;
    CLSID png;
    if (!gdiplus.Ok() || !FindEncoder(L"image/png", png))
        return false;
    // GDI+ only reads the pixels; the bitmap is gone before they are.
    Gdiplus::Bitmap image(pixels.width, pixels.height, pixels.width * 4, PixelFormat32bppRGB,
                          reinterpret_cast<BYTE*>(const_cast<DWORD*>(pixels.bits.data())));
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool SaveWindowPng(HWND window, const std::wstring& path, bool clientOnly)
{
    RECT rect;
    if (!IsWindow(window))
        return false;
    if (clientOnly) {
        if (!GetClientRect(window, &rect))
            return false;
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    } else if (!GetWindowRect(window, &rect)) {
        return false;
    }
    SPixels pixels;
    return CaptureScreenRect(rect, pixels) && SavePng(pixels, path);
}

bool SaveCloseUpPng(HWND window, int margin, const std::wstring& path)
{
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect))
        return false;
    InflateRect(&rect, margin, margin);
    SPixels pixels;
    return CaptureScreenRect(rect, pixels) && SavePng(pixels, path);
}

bool LoadPicture(const std::wstring& path, SPixels& out)
{
    CGdiplusScope gdiplus;
    if (!gdiplus.Ok())
        return false;
    Gdiplus::Bitmap image(path.c_str());
    if (image.GetLastStatus() != Gdiplus::Ok)
        return false;
    int w = static_cast<int>(image.GetWidth()), h = static_cast<int>(image.GetHeight());
    Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData data;
    if (w <= 0 || h <= 0 ||
        image.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
        return false;
    out.width = w;
    out.height = h;
    out.bits.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const DWORD* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < w; ++x)
            out.bits[size_t(y) * w + x] = row[x] & 0x00FFFFFF;
    }
    image.UnlockBits(&data);
    return true;
}

}  // namespace Screenshot
