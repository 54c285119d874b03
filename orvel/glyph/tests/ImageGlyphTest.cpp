#include <gtest/gtest.h>

#include <vector>
#include "orvel/glyph/ImageGlyph.h"
#include "tests/common/TestCommon.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CHorzImageTextGlyph;
using Glyph::CImageGlyph;
using Glyph::CWndGlyph;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBackground = RGB(0, 0, 200);

COLORREF Gradient(int x, int y)
{
    return RGB(x * 10, y * 10, 50);
}

// Magenta at the top-left and along the diagonal, gradient elsewhere.
COLORREF MagentaCornered(int x, int y)
{
    return x == y ? kMagenta : Gradient(x, y);
}

// A 24-bit bottom-up bitmap file of the gradient.
std::vector<uint8_t> GradientFile(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<uint8_t> bytes(file.bfSize);
    memcpy(bytes.data(), &file, sizeof(file));
    memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bytes.data() + file.bfOffBits + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = Gradient(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    return bytes;
}

// Pumps messages until none is waiting.
void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

TEST(ImageGlyph, NaturalSizeAndLoading)
{
    CDibCanvas canvas(40, 40);
    HBITMAP bitmap = MakeBitmap(16, 16, Gradient);
    CImageGlyph glyph;
    EXPECT_EQ(glyph.CalcSize(canvas.Dc(), 100, 100, true), CSize(0, 0));
    glyph.SetBitmap(bitmap);
    for (int offer : {-1, 0, 5, 500})
        EXPECT_EQ(glyph.CalcSize(canvas.Dc(), offer, offer, true), CSize(16, 16));
    glyph.SetBitmap(bitmap);  // the same bitmap again changes nothing
    EXPECT_EQ(glyph.GetBitmap(), bitmap);

    TestCommon::CTempDir dir;
    const auto bytes = GradientFile(16, 12);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"g.bmp"), bytes.data(), bytes.size()));
    ASSERT_TRUE(glyph.LoadBitmapFromFile(dir.File(L"g.bmp").c_str()));
    EXPECT_TRUE(GetObjectType(bitmap) != 0);  // not owned, so not destroyed
    EXPECT_EQ(glyph.CalcSize(nullptr, -1, -1, true), CSize(16, 12));
    glyph.SetRegion(nullptr, CRect(4, 4, 40, 40));
    glyph.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixel(4, 4), Gradient(0, 0));
    EXPECT_EQ(canvas.Pixel(4 + 15, 4 + 11), Gradient(15, 11));
    EXPECT_EQ(canvas.Pixel(4 + 16, 4), RGB(255, 255, 255));

    HBITMAP loaded = glyph.GetBitmap();
    EXPECT_FALSE(glyph.LoadBitmapFromFile(dir.File(L"missing.bmp").c_str()));
    EXPECT_EQ(GetObjectType(loaded), 0u);  // the owned bitmap went with the reload
    EXPECT_EQ(glyph.CalcSize(nullptr, -1, -1, true), CSize(0, 0));
    EXPECT_FALSE(glyph.LoadBitmapFromResource(GetModuleHandleW(nullptr), 4711));
    canvas.Fill(RGB(255, 255, 255));
    glyph.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixel(4, 4), RGB(255, 255, 255));
    DeleteObject(bitmap);
}

TEST(ImageGlyph, PartialRepaintDrawsTheClippedPartInPlace)
{
    CDibCanvas canvas(60, 40);
    canvas.Fill(kBackground);
    HBITMAP bitmap = MakeBitmap(16, 16, Gradient);
    CImageGlyph glyph;
    glyph.SetBitmap(bitmap);
    glyph.SetRegion(nullptr, CRect(10, 10, 50, 35));  // wider than the bitmap
    const RECT rightHalf = {18, 0, 60, 40};
    glyph.Draw(canvas.Dc(), &rightHalf);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF expected = x >= 8 ? Gradient(x, y) : kBackground;
            ASSERT_EQ(canvas.Pixel(10 + x, 10 + y), expected) << x << "," << y;
        }
    }
    // Nothing beyond the bitmap, inside the region or not.
    EXPECT_EQ(canvas.Pixel(26, 12), kBackground);
    EXPECT_EQ(canvas.Pixel(12, 26), kBackground);
    DeleteObject(bitmap);
}

TEST(ImageGlyph, TransparencyFromTheTopLeftPixel)
{
    CDibCanvas canvas(30, 30);
    canvas.Fill(kBackground);
    CImageGlyph glyph;
    glyph.SetTransparentColor(CLR_INVALID);  // no bitmap: nothing happens
    EXPECT_EQ(glyph.GetTransparentColor(), CLR_INVALID);

    HBITMAP bitmap = MakeBitmap(16, 16, MagentaCornered);
    glyph.SetBitmap(bitmap);
    glyph.SetTransparentColor(CLR_INVALID);
    EXPECT_EQ(glyph.GetTransparentColor(), kMagenta);
    glyph.SetRegion(nullptr, CRect(2, 2, 18, 18));
    glyph.Draw(canvas.Dc(), nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(canvas.Pixel(2 + i, 2 + i), kBackground);
    EXPECT_EQ(canvas.Pixel(2 + 5, 2 + 3), Gradient(5, 3));
    EXPECT_EQ(canvas.Pixel(2 + 0, 2 + 15), Gradient(0, 15));
    DeleteObject(bitmap);
}

TEST(ImageGlyph, ImageTextRow)
{
    CDibCanvas canvas(10, 10);
    HBITMAP bitmap = MakeBitmap(16, 16, Gradient);
    {
        CHorzImageTextGlyph row;
        const auto glyphs = RegisteredGlyphs();
        const int iRow = IndexOf(glyphs, &row);
        EXPECT_LT(iRow, IndexOf(glyphs, &row.GetImageGlyph()));
        EXPECT_LT(IndexOf(glyphs, &row.GetImageGlyph()), IndexOf(glyphs, &row.GetTextGlyph()));

        row.GetImageGlyph().SetBitmap(bitmap);
        row.GetTextGlyph().SetContent(L"Label");
        const CSize text = row.GetTextGlyph().CalcSize(canvas.Dc(), -1, -1, false);
        row.SetRegion(canvas.Dc(), CRect(0, 0, 200, 20));
        EXPECT_EQ(row.GetImageGlyph().GetRegion(), CRect(0, 0, 16, 20));
        EXPECT_EQ(row.GetTextGlyph().GetRegion(), CRect(18, 0, 18 + text.cx, 20));
        EXPECT_EQ(row.HitTest(CPoint(3, 3)), &row.GetImageGlyph());
        EXPECT_EQ(row.HitTest(CPoint(20, 3)), &row.GetTextGlyph());
    }
    EXPECT_NE(GetObjectType(bitmap), 0u);
    DeleteObject(bitmap);
}

TEST(ImageGlyph, WindowGlyph)
{
    HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND first = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, frame,
                                 nullptr, nullptr, nullptr);
    HWND hosted = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 30, 50, 20, frame, nullptr,
                                  nullptr, nullptr);
    SetForegroundWindow(frame);
    SetFocus(first);
    Pump();
    ASSERT_EQ(GetFocus(), first);

    CWndGlyph glyph(hosted);
    EXPECT_EQ(glyph.CalcSize(nullptr, 123, -1, true), CSize(123, -1));
    glyph.SetRegion(nullptr, CRect(10, 40, 110, 65));
    RECT placed;
    GetWindowRect(hosted, &placed);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(CRect(placed), CRect(10, 40, 110, 65));
    EXPECT_EQ(glyph.GetRegion(), CRect(10, 40, 110, 65));

    glyph.Show(false);
    EXPECT_FALSE(IsWindowVisible(hosted));
    EXPECT_EQ(GetFocus(), first);
    glyph.Show(true);
    EXPECT_TRUE(IsWindowVisible(hosted));
    EXPECT_EQ(GetFocus(), hosted);
    SetFocus(first);
    glyph.Show(false);
    EXPECT_FALSE(IsWindowVisible(hosted));
    EXPECT_EQ(GetFocus(), first);

    // Without a window the glyph leaves the focus where it is.
    CWndGlyph empty;
    empty.Show(false);
    empty.Show(true);
    EXPECT_EQ(GetFocus(), first);
    DestroyWindow(frame);
    Pump();
}
