#pragma once
// Screenshots for demos and tests: what a window shows on the screen,
// written as a PNG through GDI+.
#include <windows.h>
#include <string>
#include <vector>

namespace Screenshot {

// 32-bit pixels (0x00RRGGBB, top row first) of a screen rectangle.
struct SPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> bits;
    // 0xFFFFFFFF outside the picture.
    DWORD At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height ? bits[size_t(y) * width + x] : 0xFFFFFFFF;
    }
};

// The pixels of a top-down 32-bit DIB (its unused top byte cleared).
void CopyDibPixels(const void* bits, int width, int height, SPixels& out);

// Reads a rectangle of the screen (screen coordinates). False for an empty
// rectangle or when the screen cannot be read.
bool CaptureScreenRect(const RECT& rect, SPixels& out);

// Writes pixels as a PNG file; the folder must exist.
bool SavePng(const SPixels& pixels, const std::wstring& path);

// The window as it is on the screen now: its whole window rectangle, or
// only its client area. Windows above it show in the picture, as on the
// screen; the caller brings it to the top first.
bool SaveWindowPng(HWND window, const std::wstring& path, bool clientOnly = false);

// A close-up: the window's rectangle grown by margin on each side, so the
// control is seen against what lies around it.
bool SaveCloseUpPng(HWND window, int margin, const std::wstring& path);

// Loads a PNG (or any picture GDI+ reads) back into pixels.
bool LoadPicture(const std::wstring& path, SPixels& out);

}  // namespace Screenshot
