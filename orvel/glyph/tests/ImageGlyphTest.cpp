#include <gtest/gtest.h>

#include <cstring>
#include <vector>
#include "orvel/glyph/ImageGlyph.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CGroupImageGlyph;
using Glyph::CHorzImageTextGlyph;
using Glyph::CImageGlyphEx;
using Glyph::CImageGlyph;
using Glyph::CWndGlyph;
using Images::CExtendBitmap;
using Images::CImageArray;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBackground = RGB(0, 0, 200);

COLORREF Gradient(int x, int y)
{
    return RGB(x * 10, y * 10, 50);
}

COLORREF MagentaDiagonal(int x, int y)
{
    return x == y ? kMagenta : Gradient(x, y);
}

// A bottom-up 24-bit bitmap file of the gradient.
std::vector<uint8_t> GradientFile(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file = {0x4D42, offset + stride * height, 0, 0, offset};
    const BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bytes(file.bfSize);
    memcpy(bytes.data(), &file, sizeof(file));
    memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    for (int y = 0; y < height; ++y) {
        uint8_t* px = bytes.data() + offset + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x, px += 3) {
            const COLORREF c = Gradient(x, y);
            px[0] = GetBValue(c), px[1] = GetGValue(c), px[2] = GetRValue(c);
        }
    }
    return bytes;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

}  // namespace

TEST(ImageGlyph, NaturalSizeAndLoading)
{
    CDibCanvas canvas(40, 40);
    CExtendBitmap borrowed(MakeBitmap(16, 16, Gradient));
    CImageGlyph glyph;
    EXPECT_EQ(glyph.CalcSize(nullptr, 100, 100, true), CSize(0, 0));
    glyph.SetBitmap(&borrowed);
    for (int offer : {-1, 0, 5, 500})
        EXPECT_EQ(glyph.CalcSize(nullptr, offer, offer, true), CSize(16, 16));

    TestCommon::CTempDir dir;
    const auto bytes = GradientFile(16, 12);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"g.bmp"), bytes.data(), bytes.size()));
    ASSERT_TRUE(glyph.LoadBitmapFromFile(dir.File(L"g.bmp").c_str()));
    EXPECT_NE(GetObjectType(borrowed), 0u);  // not owned, so not destroyed
    EXPECT_EQ(glyph.CalcSize(nullptr, -1, -1, true), CSize(16, 12));
    glyph.SetRegion(nullptr, CRect(4, 4, 40, 40));
    glyph.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixel(4, 4), Gradient(0, 0));
    EXPECT_EQ(canvas.Pixel(19, 15), Gradient(15, 11));
    EXPECT_EQ(canvas.Pixel(20, 4), kWhite);

    HBITMAP loaded = glyph.GetBitmap()->GetHandle();
    EXPECT_FALSE(glyph.LoadBitmapFromFile(dir.File(L"missing.bmp").c_str()));
    EXPECT_EQ(GetObjectType(loaded), 0u);  // the owned bitmap went with the reload
    EXPECT_EQ(glyph.CalcSize(nullptr, -1, -1, true), CSize(0, 0));
    EXPECT_FALSE(glyph.LoadBitmapFromResource(GetModuleHandleW(nullptr), 4711));
    canvas.Fill(kWhite);
    glyph.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Count(kWhite, kEverywhere), 40 * 40);
}

TEST(ImageGlyph, PartialRepaintDrawsTheClippedPartInPlace)
{
    CDibCanvas canvas(60, 40);
    canvas.Fill(kBackground);
    CExtendBitmap bitmap(MakeBitmap(16, 16, Gradient));
    CImageGlyph glyph;
    glyph.SetBitmap(&bitmap);
    glyph.SetRegion(nullptr, CRect(10, 10, 50, 35));  // larger than the bitmap
    const RECT rightHalf = {18, 0, 60, 40};
    glyph.Draw(canvas.Dc(), &rightHalf);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(canvas.Pixel(10 + x, 10 + y), x >= 8 ? Gradient(x, y) : kBackground) << x << "," << y;
    EXPECT_EQ(canvas.Count(kBackground, kEverywhere), 60 * 40 - 8 * 16);  // nothing beyond the bitmap
}

TEST(ImageGlyph, TransparencyFromTheTopLeftPixel)
{
    CDibCanvas canvas(30, 30);
    canvas.Fill(kBackground);
    CImageGlyph glyph;
    glyph.SetTransparentColor(CLR_INVALID);  // without a bitmap: nothing

    CExtendBitmap bitmap(MakeBitmap(16, 16, MagentaDiagonal));
    glyph.SetBitmap(&bitmap);
    glyph.SetTransparentColor(CLR_INVALID);
    EXPECT_EQ(bitmap.GetTransparentColor(), kMagenta);
    glyph.SetRegion(nullptr, CRect(2, 2, 18, 18));
    glyph.Draw(canvas.Dc(), nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(canvas.Pixel(2 + i, 2 + i), kBackground);
    EXPECT_EQ(canvas.Pixel(7, 5), Gradient(5, 3));
    EXPECT_EQ(canvas.Pixel(2, 17), Gradient(0, 15));
}

TEST(ImageGlyph, ImageTextRow)
{
    CDibCanvas canvas(10, 10);
    CExtendBitmap bitmap(MakeBitmap(16, 16, Gradient));
    {
        CHorzImageTextGlyph row;
        EXPECT_EQ(RegisteredGlyphs(), (std::vector<CGlyph*>{&row, &row.GetImageGlyph(), &row.GetTextGlyph()}));
        row.GetImageGlyph().SetBitmap(&bitmap);
        row.GetTextGlyph().SetContent(L"Label");
        const CSize text = row.GetTextGlyph().CalcSize(canvas.Dc(), -1, -1, false);
        row.SetRegion(canvas.Dc(), CRect(0, 0, 200, 20));
        EXPECT_EQ(row.GetImageGlyph().GetRegion(), CRect(0, 0, 16, 20));
        EXPECT_EQ(row.GetTextGlyph().GetRegion(), CRect(18, 0, 18 + text.cx, 20));
        EXPECT_EQ(row.HitTest(CPoint(3, 3)), &row.GetImageGlyph());
        EXPECT_EQ(row.HitTest(CPoint(20, 3)), &row.GetTextGlyph());
    }
    EXPECT_NE(GetObjectType(bitmap), 0u);
}

TEST(ImageGlyph, StripAndGroupGlyphs)
{
    // Eight 10 x 10 images side by side, image i in shade i.
    CImageArray strip;
    strip.Attach(MakeBitmap(80, 10, [](int x, int) { return RGB(x / 10 * 20, 0, 0); }), 8,
                 CImageArray::Horizontal);
    CDibCanvas canvas(30, 30);
    CImageGlyphEx glyph(&strip, 3);
    EXPECT_EQ(glyph.CalcSize(nullptr, 1, 1, true), CSize(10, 10));
    glyph.SetRegion(nullptr, CRect(0, 0, 30, 20));
    const RECT topLeft = {0, 0, 12, 12};
    glyph.Draw(canvas.Dc(), &topLeft);  // centred in the whole region, not in the clip
    EXPECT_EQ(canvas.Count(RGB(60, 0, 0), kEverywhere), 100);
    EXPECT_EQ(canvas.Pixel(10, 5), RGB(60, 0, 0));
    canvas.Fill(kWhite);
    for (INT64 outside : {-1, 8}) {
        glyph.SetImageIndex(outside, false);
        glyph.Draw(canvas.Dc(), nullptr);
    }
    EXPECT_EQ(canvas.Count(kWhite, kEverywhere), 30 * 30);

    CRecordingVessel vessel;
    glyph.SetVessel(&vessel);
    glyph.SetImageIndex(8, true);  // unchanged, still repainted
    glyph.SetImageIndex(8, false);
    const CRect region = glyph.GetRegion();
    EXPECT_EQ(vessel.requests, (std::vector<SRequest>{{SRequest::Redraw, region},
                                                      {SRequest::Invalidate, region}}));
    glyph.Show(false);
    vessel.requests.clear();
    glyph.SetImageIndex(2, true);
    EXPECT_TRUE(vessel.requests.empty());

    CGroupImageGlyph group(&strip, 2, 4);
    EXPECT_EQ(group.GetImageIndex(), 2);
    group.SetGroup(1, false);
    EXPECT_EQ(group.GetImageIndex(), 6);
    group.SetGroup(2, false);  // 10 is beyond the strip: the first group
    EXPECT_EQ(group.GetImageIndex(), 2);
    group.SetImageIndex(1, false);
    EXPECT_EQ(group.GetImageIndex(), 1);
}

TEST(ImageGlyph, PaintingLeaksNoGdiObjects)
{
    CExtendBitmap bitmap(MakeBitmap(16, 16, MagentaDiagonal));
    CHorzImageTextGlyph row;
    row.GetImageGlyph().SetBitmap(&bitmap);
    row.GetImageGlyph().SetTransparentColor(CLR_INVALID);
    row.GetTextGlyph().SetContent(L"Label");
    row.GetTextGlyph().SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false);
    CDibCanvas canvas(120, 30);
    const int before = TestCommon::FreeGdiSlots();
    for (int i = 0; i < 200; ++i) {
        row.SetRegion(canvas.Dc(), CRect(0, 0, 120, 30));
        row.Draw(canvas.Dc(), nullptr);
    }
    EXPECT_EQ(TestCommon::FreeGdiSlots(), before);
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

    glyph.Show(true);
    EXPECT_TRUE(IsWindowVisible(hosted));
    EXPECT_EQ(GetFocus(), hosted);
    SetFocus(first);
    glyph.Show(false);
    EXPECT_FALSE(IsWindowVisible(hosted));
    EXPECT_EQ(GetFocus(), first);

    CWndGlyph empty;  // without a window the focus stays where it is
    empty.Show(false);
    empty.Show(true);
    EXPECT_EQ(GetFocus(), first);
    DestroyWindow(frame);
    Pump();
}
