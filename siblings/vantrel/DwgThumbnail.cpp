// The thumbnail block of DWG files and PNG pictures turned into DIBs.
#include <objidl.h>
#include <gdiplus.h>
#include <cstring>
#include "Drawing.h"

namespace Vantrel {

namespace {

const uint8_t kStartSentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                    0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const uint8_t kEndSentinel[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                  0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};
constexpr size_t kSeekerOffset = 0x0D;

uint32_t Le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

const SDwgThumbnail::Entry* SDwgThumbnail::Find(int code) const
{
    for (const Entry& entry : entries)
        if (entry.code == code)
            return &entry;
    return nullptr;
}

bool ReadDwgThumbnail(const uint8_t* data, size_t size, SDwgThumbnail& thumbnail)
{
    thumbnail = SDwgThumbnail();
    if (size < kSeekerOffset + 4 || memcmp(data, "AC10", 4) != 0)
        return false;
    memcpy(thumbnail.version, data, 6);
    thumbnail.version[6] = 0;
    // R13 (AC1012) and later keep the address of the thumbnail block at 0x0D.
    int release = (data[4] - '0') * 10 + (data[5] - '0');
    if (data[4] < '0' || data[4] > '9' || data[5] < '0' || data[5] > '9' || release < 12)
        return false;
    size_t block = Le32(data + kSeekerOffset);
    // Sentinel, overall size (4), entry count (1).
    if (block > size || size - block < 16 + 4 + 1 || memcmp(data + block, kStartSentinel, 16) != 0)
        return false;
    size_t pos = block + 16;
    uint32_t overall = Le32(data + pos);
    pos += 4;
    size_t contentEnd = pos + overall;
    if (overall > size - pos)
        return false;
    int count = data[pos++];
    for (int i = 0; i < count; ++i) {
        if (contentEnd - pos < 9 || pos > contentEnd)
            return false;
        SDwgThumbnail::Entry entry;
        entry.code = data[pos];
        entry.offset = Le32(data + pos + 1);
        entry.size = Le32(data + pos + 5);
        pos += 9;
        // Every entry lies inside the block's content.
        if (entry.offset < pos || entry.offset > contentEnd || entry.size > contentEnd - entry.offset)
            return false;
        thumbnail.entries.push_back(entry);
    }
    // The end sentinel follows the content; a file cut right there still
    // counts, one with another sentinel does not.
    if (size - contentEnd >= 16 && memcmp(data + contentEnd, kEndSentinel, 16) != 0)
        return false;
    return true;
}

std::vector<uint8_t> PngToDib(const uint8_t* data, size_t size)
{
    using namespace Gdiplus;
    std::vector<uint8_t> dib;
    if (size < 8 || size > 64u * 1024 * 1024 || memcmp(data, "\x89PNG", 4) != 0)
        return dib;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok)
        return dib;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    IStream* stream = nullptr;
    if (memory) {
        memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
        if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
            GlobalFree(memory);
            stream = nullptr;
        }
    }
    GpBitmap* image = nullptr;
    if (stream && DllExports::GdipCreateBitmapFromStream(stream, &image) == Ok && image) {
        UINT w = 0, h = 0;
        DllExports::GdipGetImageWidth(image, &w);
        DllExports::GdipGetImageHeight(image, &h);
        if (w && h && w <= 4096 && h <= 4096) {
            // 24-bit bottom-up rows on a white ground (the picture may be
            // transparent).
            BITMAPINFOHEADER header = {};
            header.biSize = sizeof header;
            header.biWidth = static_cast<LONG>(w);
            header.biHeight = static_cast<LONG>(h);
            header.biPlanes = 1;
            header.biBitCount = 24;
            header.biCompression = BI_RGB;
            UINT stride = (w * 3 + 3) & ~3u;
            header.biSizeImage = stride * h;
            void* bits = nullptr;
            HDC dc = CreateCompatibleDC(nullptr);
            HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
            if (dc && section && bits) {
                HGDIOBJ old = SelectObject(dc, section);
                memset(bits, 0xFF, header.biSizeImage);
                GpGraphics* graphics = nullptr;
                bool drawn = false;
                if (DllExports::GdipCreateFromHDC(dc, &graphics) == Ok) {
                    drawn = DllExports::GdipDrawImageRectI(graphics, image, 0, 0, static_cast<INT>(w), static_cast<INT>(h)) == Ok;
                    DllExports::GdipDeleteGraphics(graphics);
                }
                GdiFlush();
                SelectObject(dc, old);
                if (drawn) {
                    dib.resize(sizeof header + header.biSizeImage);
                    memcpy(dib.data(), &header, sizeof header);
                    memcpy(dib.data() + sizeof header, bits, header.biSizeImage);
                }
            }
            if (section)
                DeleteObject(section);
            if (dc)
                DeleteDC(dc);
        }
    }
    if (image)
        DllExports::GdipDisposeImage(image);
    if (stream)
        stream->Release();
    GdiplusShutdown(token);
    return dib;
}

}  // namespace Vantrel
