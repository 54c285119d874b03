#pragma once
// Sample image files for the demo and the tests, written through GDI+.
#include <windows.h>
#include <string>
#include <vector>

namespace PardoSamples {

// Starts GDI+ for the lifetime of the object (the host's duty).
class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    bool Started() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

// A w by h picture: a background, a contrasting disc and a frame, saved in
// the encoder's format ("image/png", "image/bmp", "image/jpeg", "image/gif",
// "image/tiff").
bool WriteRaster(const std::string& path, const wchar_t* mimeType, int w, int h, COLORREF background,
                 COLORREF accent);
// The same picture of one colour only.
bool WriteSolid(const std::string& path, const wchar_t* mimeType, int w, int h, COLORREF color);
// A w by h JPEG, its top half in one colour and its bottom half in another,
// with an EXIF block giving the orientation (1 to 8) to show it in.
bool WriteOrientedJpeg(const std::string& path, int w, int h, COLORREF top, COLORREF bottom, int orientation);
// Vector pictures through GDI: an enhanced metafile and a placeable one.
bool WriteEmf(const std::string& path, int w, int h);
bool WriteWmf(const std::string& path, int w, int h);
bool WriteBytes(const std::string& path, const void* data, size_t size);

struct Sample {
    std::string name;  // file name inside the folder
    std::string kind;  // what the screenshot is called after
};

// Writes one file of every kind (and a corrupt ".png") into folder.
std::vector<Sample> WriteSampleFolder(const std::string& folder);

// Saves the client area of a window, as it shows on screen, as a PNG.
bool SaveWindowPng(HWND hwnd, const std::string& path);

}  // namespace PardoSamples
