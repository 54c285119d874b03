// Draws the image preview of a small bitmap file through Pardo's provider
// and checks the pixels: exit status 0 when the picture arrived.
#include <windows.h>
#include <gdiplus.h>
#include <cstdio>
#include <vector>
#include "pardo/BitmapFilePreview.h"
#include "pardo/afx/Gdi.h"

namespace {

// A 24-bit 8 x 4 bitmap file of one colour.
bool WriteBitmapFile(const char* path, COLORREF color)
{
    const int width = 8, height = 4, stride = width * 3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    std::vector<BYTE> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {GetBValue(color), GetGValue(color), GetRValue(color)});
    FILE* out = fopen(path, "wb");
    if (!out)
        return false;
    bool written = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info, sizeof(info), 1, out) == 1 &&
                   fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return fclose(out) == 0 && written;
}

}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;
    const COLORREF red = RGB(200, 30, 40);
    char path[MAX_PATH + 16];
    GetTempPathA(MAX_PATH, path);
    lstrcatA(path, "PardoHost.bmp");
    int status = 1;
    CQRNBitmapFilePreview preview;
    CDC screen, memory;
    CBitmap bitmap;
    if (!preview.isPreviewForFileType(".BMP") || !WriteBitmapFile(path, red)) {
        fprintf(stderr, "PardoHost: the provider refuses bitmaps or the file cannot be written\n");
    } else if (!screen.Attach(GetDC(nullptr)) || !memory.CreateCompatibleDC(&screen) ||
               !bitmap.CreateCompatibleBitmap(screen, 100, 100)) {
        fprintf(stderr, "PardoHost: no drawing surface\n");
    } else {
        HGDIOBJ old = memory.SelectObject(&bitmap);
        memory.FillSolidRect(0, 0, 100, 100, RGB(255, 255, 255));
        preview.SetPreviewFile(path);
        preview.DrawPreview(nullptr, memory, 0, 0, 100, 100);
        COLORREF centre = GetPixel(memory, 50, 50);
        memory.SelectObject(old);
        if (centre == red) {
            printf("PardoHost: the preview drew the picture\n");
            status = 0;
        } else {
            fprintf(stderr, "PardoHost: the preview's centre is %06lx\n", static_cast<unsigned long>(centre));
        }
    }
    ReleaseDC(nullptr, screen.Detach());
    DeleteFileA(path);
    Gdiplus::GdiplusShutdown(token);
    return status;
}
