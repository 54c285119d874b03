#include "SampleImages.h"
#include <objidl.h>
#include <gdiplus.h>
#include <cstdio>
#include <memory>

namespace PardoSamples {

namespace {

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    return wide;
}

bool EncoderClsid(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

Gdiplus::Color ToColor(COLORREF c)
{
    return Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c));
}

bool Save(Gdiplus::Bitmap& bitmap, const std::string& path, const wchar_t* mimeType)
{
    CLSID clsid;
    if (!EncoderClsid(mimeType, &clsid))
        return false;
    return bitmap.Save(Wide(path).c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

void DrawPicture(HDC dc, int w, int h)
{
    HBRUSH sky = CreateSolidBrush(RGB(70, 130, 200));
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, sky);
    DeleteObject(sky);
    HBRUSH sun = CreateSolidBrush(RGB(250, 200, 40));
    HGDIOBJ old = SelectObject(dc, sun);
    Ellipse(dc, w / 4, h / 4, w * 3 / 4, h * 3 / 4);
    SelectObject(dc, old);
    DeleteObject(sun);
}

}  // namespace

CGdiplusSession::CGdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok)
        m_token = 0;
}

CGdiplusSession::~CGdiplusSession()
{
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
}

bool WriteRaster(const std::string& path, const wchar_t* mimeType, int w, int h, COLORREF background, COLORREF accent)
{
    Gdiplus::Bitmap bitmap(w, h, PixelFormat24bppRGB);
    Gdiplus::Graphics graphics(&bitmap);
    graphics.Clear(ToColor(background));
    Gdiplus::SolidBrush brush(ToColor(accent));
    graphics.FillEllipse(&brush, w / 4, h / 4, w / 2, h / 2);
    Gdiplus::Pen pen(ToColor(accent), 3.0f);
    graphics.DrawRectangle(&pen, 1, 1, w - 3, h - 3);
    return Save(bitmap, path, mimeType);
}

bool WriteSolid(const std::string& path, const wchar_t* mimeType, int w, int h, COLORREF color)
{
    Gdiplus::Bitmap bitmap(w, h, PixelFormat24bppRGB);
    Gdiplus::Graphics graphics(&bitmap);
    graphics.Clear(ToColor(color));
    return Save(bitmap, path, mimeType);
}

bool WriteOrientedJpeg(const std::string& path, int w, int h, COLORREF top, COLORREF bottom, int orientation)
{
    {
        Gdiplus::Bitmap bitmap(w, h, PixelFormat24bppRGB);
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(ToColor(bottom));
        Gdiplus::SolidBrush brush(ToColor(top));
        graphics.FillRectangle(&brush, 0, 0, w, h / 2);
        if (!Save(bitmap, path, L"image/jpeg"))
            return false;
    }
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<unsigned char> jpeg;
    unsigned char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;)
        jpeg.insert(jpeg.end(), chunk, chunk + n);
    fclose(f);
    if (jpeg.size() < 2)
        return false;
    // APP1: "Exif", a big-endian TIFF header and one directory entry.
    const unsigned char app1[] = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
                                  0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, static_cast<unsigned char>(orientation),
                                  0, 0, 0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, app1, app1 + sizeof app1);
    return WriteBytes(path, jpeg.data(), jpeg.size());
}

bool WriteEmf(const std::string& path, int w, int h)
{
    HDC screen = GetDC(nullptr);
    int mmPerPixelX = GetDeviceCaps(screen, HORZSIZE) * 100 / GetDeviceCaps(screen, HORZRES);
    int mmPerPixelY = GetDeviceCaps(screen, VERTSIZE) * 100 / GetDeviceCaps(screen, VERTRES);
    RECT frame = {0, 0, w * mmPerPixelX, h * mmPerPixelY};
    HDC dc = CreateEnhMetaFileA(screen, path.c_str(), &frame, nullptr);
    ReleaseDC(nullptr, screen);
    if (!dc)
        return false;
    DrawPicture(dc, w, h);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    if (!emf)
        return false;
    DeleteEnhMetaFile(emf);
    return true;
}

bool WriteWmf(const std::string& path, int w, int h)
{
    HDC dc = CreateMetaFileA(nullptr);
    if (!dc)
        return false;
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, w, h, nullptr);
    DrawPicture(dc, w, h);
    HMETAFILE wmf = CloseMetaFile(dc);
    if (!wmf)
        return false;
    UINT size = GetMetaFileBitsEx(wmf, 0, nullptr);
    std::vector<BYTE> bits(22 + size);
    GetMetaFileBitsEx(wmf, size, bits.data() + 22);
    DeleteMetaFile(wmf);
    // The placeable header: key, handle, bounds, units per inch, reserved,
    // checksum over the first ten words.
    WORD header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<WORD>(w), static_cast<WORD>(h), 96, 0, 0, 0};
    for (int i = 0; i < 10; ++i)
        header[10] ^= header[i];
    memcpy(bits.data(), header, 22);
    return WriteBytes(path, bits.data(), bits.size());
}

bool WriteBytes(const std::string& path, const void* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

std::vector<Sample> WriteSampleFolder(const std::string& folder)
{
    std::vector<Sample> written;
    auto add = [&](const char* name, const char* kind, bool ok) {
        if (ok)
            written.push_back({name, kind});
    };
    std::string base = folder + "\\";
    add("landscape.bmp", "bmp", WriteRaster(base + "landscape.bmp", L"image/bmp", 320, 200, RGB(200, 40, 40), RGB(255, 255, 255)));
    add("portrait.png", "png", WriteRaster(base + "portrait.png", L"image/png", 150, 300, RGB(30, 140, 60), RGB(250, 240, 90)));
    add("photo.jpg", "jpeg", WriteRaster(base + "photo.jpg", L"image/jpeg", 400, 300, RGB(40, 80, 190), RGB(250, 150, 30)));
    add("icon.gif", "gif", WriteRaster(base + "icon.gif", L"image/gif", 48, 48, RGB(130, 40, 160), RGB(255, 255, 0)));
    add("scan.tif", "tiff", WriteRaster(base + "scan.tif", L"image/tiff", 300, 300, RGB(90, 90, 90), RGB(0, 220, 220)));
    add("rotated.jpg", "jpeg_exif_rotated", WriteOrientedJpeg(base + "rotated.jpg", 300, 160, RGB(220, 40, 40), RGB(40, 80, 200), 6));
    add("vector.emf", "emf", WriteEmf(base + "vector.emf", 300, 180));
    add("vector.wmf", "wmf", WriteWmf(base + "vector.wmf", 240, 240));
    static const char junk[] = "\x89PNG\r\n\x1a\n this is not an image";
    add("broken.png", "corrupt", WriteBytes(base + "broken.png", junk, sizeof junk - 1));
    return written;
}

bool SaveWindowPng(HWND hwnd, const std::string& path)
{
    // The client area: without a window manager the frame is not drawn.
    RECT rc;
    if (!GetClientRect(hwnd, &rc))
        return false;
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        Gdiplus::Bitmap image(w, h, w * 4, PixelFormat32bppRGB, static_cast<BYTE*>(bits));
        ok = Save(image, path, L"image/png");
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace PardoSamples
