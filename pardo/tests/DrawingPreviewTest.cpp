#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "PardoTestUtil.h"
#include "orvel/base/GdiHandles.h"
#include "pardo/ACADFilePreview.h"

using namespace PardoTest;

namespace {

class CTestACAD : public CQRNACADFilePreview {
public:
    using CQRNACADFilePreview::EvalRect;
    CQRNACADViewer& Viewer() { return m_viewer; }
};

const uint8_t kStart[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28, 0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const uint8_t kEnd[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7, 0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};

void Append32(std::vector<BYTE>& b, uint32_t v)
{
    b.insert(b.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4);
}

// A DWG file whose thumbnail block holds one picture (code 2 BMP, 3 WMF).
std::vector<BYTE> DwgWith(int code, const std::vector<BYTE>& picture)
{
    std::vector<BYTE> b(0x20, 0);
    memcpy(b.data(), "AC1015", 6);
    uint32_t block = 0x20;
    memcpy(&b[0x0D], &block, 4);
    b.insert(b.end(), kStart, kStart + 16);
    Append32(b, static_cast<uint32_t>(1 + 9 + picture.size()));
    b.push_back(1);
    b.push_back(static_cast<BYTE>(code));
    Append32(b, static_cast<uint32_t>(b.size() + 8));
    Append32(b, static_cast<uint32_t>(picture.size()));
    b.insert(b.end(), picture.begin(), picture.end());
    b.insert(b.end(), kEnd, kEnd + 16);
    return b;
}

// An 8-bit DIB of w by h in palette index 1, with a two-colour palette
// (red, green) and the 1024-byte table room the reader skips.
std::vector<BYTE> ShortPaletteDib(int w, int h, bool withRows = true)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 2;
    std::vector<BYTE> dib(reinterpret_cast<BYTE*>(&header), reinterpret_cast<BYTE*>(&header) + sizeof header);
    RGBQUAD palette[2] = {{0, 0, 255, 0}, {0, 200, 0, 0}};
    dib.resize(sizeof header + 1024, 0);
    memcpy(&dib[sizeof header], palette, sizeof palette);
    if (withRows)
        dib.resize(dib.size() + ((w + 3) & ~3) * h, 1);
    return dib;
}

// The metafile's bits (it is deleted) behind a placeable header of
// 0..right by 0..bottom at the units per inch.
std::vector<BYTE> Placeable(HMETAFILE mf, short right, short bottom, WORD inch)
{
    UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
    std::vector<BYTE> wmf(22 + size, 0);
    DWORD key = 0x9AC6CDD7;
    memcpy(&wmf[0], &key, 4);
    short box[4] = {0, 0, right, bottom};
    memcpy(&wmf[6], box, 8);
    memcpy(&wmf[14], &inch, 2);
    GetMetaFileBitsEx(mf, size, &wmf[22]);
    DeleteMetaFile(mf);
    return wmf;
}

// A placeable metafile of 0..1440 by 0..720 at 1440 units per inch, filled blue.
std::vector<BYTE> PlaceableWmf()
{
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowExtEx(dc, 1440, 720, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 1441, 721);
    POINT line[3] = {{0, 0}, {10, 10}, {20, 0}};
    Polyline(dc, line, 3);
    SelectObject(dc, old);
    DeleteObject(brush);
    HMETAFILE mf = CloseMetaFile(dc);
    return Placeable(mf, 1440, 720, 1440);
}

// A placeable metafile of 0..2000 by 0..1000 at 1000 units per inch with
// the records of a thumbnail that labels its picture: a palette, a font
// and text, a pixel, a bitmap stretched in; the text is black, the bitmap red.
std::vector<BYTE> TextWmf()
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[2];
    } palette = {0x300, 2, {{255, 0, 0, 0}, {0, 0, 0, 0}}};
    Base::CGdiHandle<HPALETTE> hpal(CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette)));
    Base::CFontHandle font(CreateFontA(-400, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowExtEx(dc, 2000, 1000, nullptr);
    SelectPalette(dc, hpal, FALSE);
    RealizePalette(dc);
    {
        Base::CSelectScope selectFont(dc, font);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 50, 50, "WWWW", 4);
        RECT clip = {0, 500, 1000, 1000};
        ExtTextOutA(dc, 50, 550, ETO_CLIPPED, &clip, "MMMM", 4, nullptr);
        SetPixel(dc, 1990, 10, RGB(0, 0, 0));
        // The image size given: Wine's metafile writer copies only that many bytes.
        BITMAPINFOHEADER header = {sizeof header, 2, 2, 1, 24, BI_RGB, 16, 0, 0, 0, 0};
        BYTE rows[16] = {0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0};
        StretchDIBits(dc, 1200, 0, 800, 1000, 0, 0, 2, 2, rows, reinterpret_cast<BITMAPINFO*>(&header),
                      DIB_RGB_COLORS, SRCCOPY);
    }
    HMETAFILE mf = CloseMetaFile(dc);
    std::vector<BYTE> wmf = Placeable(mf, 2000, 1000, 1000);
    // Room for more objects than are made, as other writers leave: the
    // palette selection's neighbouring word must fall inside the table.
    WORD objects = 8;
    memcpy(&wmf[22 + 10], &objects, 2);
    return wmf;
}

std::string CadPath(const char* name)
{
    return std::string(CAD_TESTDATA) + "/" + name;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Pixels that differ from the canvas's white.
int Ink(const CCanvas& canvas, int w, int h)
{
    int ink = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((canvas.Pixel(x, y) & 0xFFFFFF) != RGB(255, 255, 255))
                ++ink;
    return ink;
}

class DrawingPreview : public testing::Test {
protected:
    std::string Write(const char* name, const std::vector<BYTE>& bytes)
    {
        std::wstring path = m_dir.File(std::wstring(name, name + strlen(name)).c_str());
        TestCommon::WriteFileBytes(path, bytes.data(), bytes.size());
        return Narrow(path);
    }
    void Draw(const std::string& path, CCanvas& canvas, int x, int y, int cx, int cy)
    {
        m_preview.SetPreviewFile(path.c_str());
        m_preview.DrawPreview(nullptr, canvas.Dc(), x, y, cx, cy);
        GdiFlush();
    }
    TestCommon::CTempDir m_dir;
    CTestACAD m_preview;
};

}  // namespace

TEST(DrawingFit, EvalRectKeepsSmallPicturesAndFitsTheLongerSide)
{
    CTestACAD p;
    EXPECT_EQ(CRect(0, 29, 118, 88), p.EvalRect(400, 200, 118, 118));
    EXPECT_EQ(CRect(34, 9, 84, 109), p.EvalRect(50, 100, 118, 118));
    EXPECT_EQ(CRect(25, 0, 75, 50), p.EvalRect(200, 200, 100, 50));
    EXPECT_EQ(CRect(39, 49, 79, 69), p.EvalRect(40, 20, 118, 118));  // never enlarged
    // Nothing to fit, and no division by zero.
    EXPECT_TRUE(p.EvalRect(0, 100, 118, 118).IsRectEmpty());
    EXPECT_TRUE(p.EvalRect(100, 0, 118, 118).IsRectEmpty());
    EXPECT_TRUE(p.EvalRect(100, 100, 0, 118).IsRectEmpty());
    // Huge claimed sizes do not overflow.
    EXPECT_EQ(CRect(0, 59, 118, 59), p.EvalRect(2000000000, 1000000, 118, 118));

    // The rendered drawing: the shorter side fills, from the top-left.
    EXPECT_EQ(CRect(5, 7, 241, 125), Pardo::RenderedPlacement(RECT{0, 0, 2000, 1000}, 5, 7, 118, 118));
    EXPECT_EQ(CRect(0, 0, 118, 236), Pardo::RenderedPlacement(RECT{10, 10, 1010, 2010}, 0, 0, 118, 118));
    EXPECT_TRUE(Pardo::RenderedPlacement(RECT{0, 0, 0, 100}, 0, 0, 118, 118).IsRectEmpty());
    EXPECT_TRUE(Pardo::RenderedPlacement(RECT{0, 0, 100, 0}, 0, 0, 118, 118).IsRectEmpty());

    EXPECT_TRUE(p.isPreviewForFileType(".DXF"));
    EXPECT_TRUE(p.isPreviewForFileType(".dwg"));
    EXPECT_FALSE(p.isPreviewForFileType(".dwf"));
    EXPECT_FALSE(p.isPreviewForFileType("dxf"));
}

TEST(DrawingFit, ThumbnailArraysAreCheckedAgainstTheirHeaders)
{
    Pardo::SDibLayout dib;
    std::vector<BYTE> good = ShortPaletteDib(4, 4);
    ASSERT_TRUE(Pardo::DibLayout(good.data(), good.size(), &dib));
    EXPECT_EQ(40u + 1024u, dib.pixelOffset);  // whatever the used-colour count
    std::vector<BYTE> noRows = ShortPaletteDib(4, 4, false);
    EXPECT_FALSE(Pardo::DibLayout(noRows.data(), noRows.size(), &dib));
    EXPECT_FALSE(Pardo::DibLayout(good.data(), 39, &dib));
    std::vector<BYTE> huge = good;
    LONG width = 0x7FFFFFF;
    memcpy(&huge[4], &width, 4);
    EXPECT_FALSE(Pardo::DibLayout(huge.data(), huge.size(), &dib));

    Pardo::SWmfLayout wmf;
    std::vector<BYTE> placeable = PlaceableWmf();
    ASSERT_TRUE(Pardo::WmfLayout(placeable.data(), placeable.size(), &wmf));
    EXPECT_TRUE(wmf.hasSize);
    EXPECT_EQ(254, wmf.width);
    EXPECT_EQ(127, wmf.height);
    EXPECT_EQ(22u, wmf.offset);
    // A word count past the array; a type other than 1 or 2; no units.
    std::vector<BYTE> bad = placeable;
    DWORD words = 0x10000000;
    memcpy(&bad[22 + 6], &words, 4);
    EXPECT_FALSE(Pardo::WmfLayout(bad.data(), bad.size(), &wmf));
    bad = placeable;
    bad[22] = 3;
    EXPECT_FALSE(Pardo::WmfLayout(bad.data(), bad.size(), &wmf));
    // A polyline record that claims more points than it holds.
    bad = placeable;
    for (size_t pos = 22 + 18; pos + 6 < bad.size();) {
        DWORD size;
        memcpy(&size, &bad[pos], 4);
        if (bad[pos + 4] == 0x25 && bad[pos + 5] == 0x03) {
            bad[pos + 6] = 0xFF;
            break;
        }
        pos += size * 2;
    }
    EXPECT_FALSE(Pardo::WmfLayout(bad.data(), bad.size(), &wmf));
    bad = placeable;
    bad[14] = bad[15] = 0;
    ASSERT_TRUE(Pardo::WmfLayout(bad.data(), bad.size(), &wmf));
    EXPECT_FALSE(wmf.hasSize);
}

TEST_F(DrawingPreview, BitmapThumbnailReadWithTheFullColourTable)
{
    CCanvas canvas(140, 140, RGB(255, 255, 255));
    Draw(Write("short.dwg", DwgWith(2, ShortPaletteDib(40, 20))), canvas, 10, 10, 118, 118);
    // 40 by 20, not enlarged, centred: (49, 59) to (89, 79) in the box.
    RECT green = canvas.BoundsOf(RGB(0, 200, 0), 10);
    EXPECT_EQ(10 + 39, green.left);
    EXPECT_EQ(10 + 49, green.top);
    EXPECT_EQ(10 + 79, green.right);
    EXPECT_EQ(10 + 69, green.bottom);

    // The same thumbnail without its rows draws nothing.
    CCanvas empty(140, 140, RGB(255, 255, 255));
    Draw(Write("cut.dwg", DwgWith(2, ShortPaletteDib(40, 20, false))), empty, 10, 10, 118, 118);
    EXPECT_EQ(0, Ink(empty, 140, 140));
}

TEST_F(DrawingPreview, PlaceableMetafileFittedAndCentred)
{
    CCanvas canvas(140, 140, RGB(255, 255, 255));
    Draw(Write("wmf.dwg", DwgWith(3, PlaceableWmf())), canvas, 0, 0, 118, 118);
    // 254 by 127 tenths of a millimetre, fitted as (0, 29, 118, 88).
    RECT blue = canvas.BoundsOf(RGB(0, 0, 255), 10);
    EXPECT_NEAR(0, blue.left, 1);
    EXPECT_NEAR(29, blue.top, 1);
    EXPECT_NEAR(118, blue.right, 1);
    EXPECT_NEAR(88, blue.bottom, 1);

    // Without the placeable header the picture has no size: nothing drawn.
    std::vector<BYTE> bare = PlaceableWmf();
    bare.erase(bare.begin(), bare.begin() + 22);
    CCanvas empty(140, 140, RGB(255, 255, 255));
    Draw(Write("bare.dwg", DwgWith(3, bare)), empty, 0, 0, 118, 118);
    EXPECT_EQ(0, Ink(empty, 140, 140));
}

TEST_F(DrawingPreview, DxfThumbnailSectionAndRenderedDrawing)
{
    // A DXF carrying a thumbnail: the bitmap path.
    std::vector<BYTE> dib = ShortPaletteDib(8, 8);
    std::string text = "0\nSECTION\n2\nTHUMBNAILIMAGE\n90\n" + std::to_string(dib.size()) + "\n";
    static const char kHex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < dib.size(); i += 64) {
        text += "310\n";
        for (size_t k = i; k < dib.size() && k < i + 64; ++k)
            text += std::string(1, kHex[dib[k] >> 4]) + kHex[dib[k] & 15];
        text += "\n";
    }
    text += "0\nENDSEC\n0\nEOF\n";
    CCanvas canvas(140, 140, RGB(255, 255, 255));
    Draw(Write("thumb.dxf", std::vector<BYTE>(text.begin(), text.end())), canvas, 0, 0, 118, 118);
    EXPECT_EQ(64, canvas.BoundsOf(RGB(0, 200, 0), 10).right - canvas.BoundsOf(RGB(0, 200, 0), 10).left + 56);

    // Without one: rendered (200 by 100 plus a margin of 4 on each side),
    // its height filling the box from the top-left corner: 118 * 208 / 108
    // wide, of which the box shows its own width.
    std::string drawing = "0\nSECTION\n2\nENTITIES\n0\nLINE\n62\n5\n10\n0\n20\n0\n11\n200\n21\n100\n"
                          "0\nLINE\n62\n5\n10\n0\n20\n100\n11\n200\n21\n0\n0\nENDSEC\n0\nEOF\n";
    CCanvas rendered(300, 140, RGB(128, 128, 128));
    Draw(Write("lines.dxf", std::vector<BYTE>(drawing.begin(), drawing.end())), rendered, 10, 10, 118, 118);
    RECT paper = rendered.BoundsOf(RGB(255, 255, 255), 0);
    EXPECT_EQ(10, paper.left);
    EXPECT_EQ(10, paper.top);
    EXPECT_NEAR(10 + 118, paper.bottom, 2);
    EXPECT_EQ(10 + 118, paper.right);
    RECT lines = rendered.BoundsOf(RGB(0, 0, 255), 60);
    EXPECT_GT(lines.right - lines.left, 110);

    // A file that is neither: nothing, no placeholder.
    CCanvas nothing(140, 140, RGB(255, 255, 255));
    Draw(Write("junk.dxf", std::vector<BYTE>(100, 'x')), nothing, 0, 0, 118, 118);
    Draw(Write("junk.dwg", std::vector<BYTE>{'A', 'C', '1', '0', '1', '5'}), nothing, 0, 0, 118, 118);
    Draw(Narrow(m_dir.File(L"missing.dwg")), nothing, 0, 0, 118, 118);
    EXPECT_EQ(0, Ink(nothing, 140, 140));
}

TEST_F(DrawingPreview, MetafileThumbnailWithTextFontsAndBitmapsDraws)
{
    std::vector<BYTE> wmf = TextWmf();
    Pardo::SWmfLayout layout;
    ASSERT_TRUE(Pardo::WmfLayout(wmf.data(), wmf.size(), &layout));
    CCanvas canvas(118, 118, RGB(255, 255, 255));
    Draw(Write("text.dwg", DwgWith(3, wmf)), canvas, 0, 0, 118, 118);
    // 508 by 254 tenths of a millimetre, fitted as (0, 29, 118, 88): text
    // on the left, the bitmap to the right (where exactly is the
    // platform's conversion's to settle).
    RECT red = canvas.BoundsOf(RGB(255, 0, 0), 40);
    EXPECT_GT(red.left, 40);
    EXPECT_GT(red.right - red.left, 20);
    EXPECT_GE(red.top, 28);
    EXPECT_LE(red.bottom, 89);
    RECT text = canvas.BoundsOf(RGB(0, 0, 0), 100);
    EXPECT_LT(text.left, 10);
    EXPECT_GT(text.bottom - text.top, 20);
    int ink = 0;
    for (int y = 29; y < 88; ++y)
        for (int x = 0; x < 60; ++x)
            ink += (canvas.Pixel(x, y) & 0xFFFFFF) != RGB(255, 255, 255);
    EXPECT_GT(ink, 200);

    // A font whose face name runs to the record's end, an object index
    // past the table: refused before the platform sees them.
    std::vector<BYTE> bad = wmf;
    bool cut = false;
    for (size_t pos = 22 + 18; pos + 6 < bad.size();) {
        DWORD words;
        memcpy(&words, &bad[pos], 4);
        WORD function = static_cast<WORD>(bad[pos + 4] | bad[pos + 5] << 8);
        if (function == 0x02FB) {
            for (size_t k = pos + 6 + 18; k < pos + words * 2; ++k)
                bad[k] = 'A';
            cut = true;
        }
        pos += words * 2;
    }
    ASSERT_TRUE(cut);
    EXPECT_FALSE(Pardo::WmfLayout(bad.data(), bad.size(), &layout));
    bad = wmf;
    WORD objects = 0;
    memcpy(&bad[22 + 10], &objects, 2);
    EXPECT_FALSE(Pardo::WmfLayout(bad.data(), bad.size(), &layout));
}

TEST_F(DrawingPreview, RepaintNeitherOpensNorParsesTheDrawingAgain)
{
    std::string drawing = "0\nSECTION\n2\nENTITIES\n0\nLINE\n62\n5\n10\n0\n20\n0\n11\n100\n21\n100\n0\nENDSEC\n0\nEOF\n";
    std::string paths[] = {Write("kept.dxf", std::vector<BYTE>(drawing.begin(), drawing.end())),
                           Write("kept.dwg", DwgWith(2, ShortPaletteDib(40, 20))),
                           Write("keptwmf.dwg", DwgWith(3, TextWmf()))};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CCanvas first(118, 118, RGB(255, 255, 255));
        Draw(path, first, 0, 0, 118, 118);
        int ink = Ink(first, 118, 118);
        ASSERT_GT(ink, 20);
        ASSERT_TRUE(DeleteFileA(path.c_str()));
        // Repainted: the same picture.
        CCanvas again(118, 118, RGB(255, 255, 255));
        m_preview.DrawPreview(nullptr, again.Dc(), 0, 0, 118, 118);
        GdiFlush();
        EXPECT_EQ(ink, Ink(again, 118, 118));
        // Another file drops what was kept; selected again, the deleted
        // one shows nothing.
        CCanvas gone(118, 118, RGB(255, 255, 255));
        Draw(Narrow(m_dir.File(L"none.dxf")), gone, 0, 0, 118, 118);
        Draw(path, gone, 0, 0, 118, 118);
        EXPECT_EQ(0, Ink(gone, 118, 118));
    }
}

TEST_F(DrawingPreview, RealDrawingsShowThumbnailOrRendering)
{
    struct Case {
        const char* file;
        bool thumbnail;
        UINT bmpBytes;  // 0: a PNG converted, any size
    };
    const Case cases[] = {{"sample_AC1014.dwg", true, 13208},      {"sample_AC1018.dwg", true, 13208},
                          {"sample_AC1032.dwg", true, 0},          {"empty.dwg", true, 0},
                          {"BLOCKFLIPPARAMETER.dwg", true, 0},     {"sample_AC1009_ascii.dxf", false, 0},
                          {"sample_AC1015_ascii.dxf", false, 0},   {"sample_AC1018_binary.dxf", false, 0},
                          {"BLOCKFLIPPARAMETER.dxf", false, 0}};
    if (!Exists(CadPath("empty.dwg")))
        GTEST_SKIP() << "test data not found at " << CAD_TESTDATA;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = CadPath(c.file);
        OdThumbnailImage thumbnail;
        bool has = m_preview.Viewer().GetView()->GetSession()->GetThumbnail(path.c_str(), &thumbnail);
        EXPECT_EQ(c.thumbnail, has);
        EXPECT_EQ(c.thumbnail, thumbnail.hasBmp());
        if (c.bmpBytes) {
            EXPECT_EQ(c.bmpBytes, thumbnail.bmp.size());
        }
        // Drawn on grey: the thumbnails' own background, or white paper.
        CCanvas canvas(118, 118, RGB(128, 128, 128));
        Draw(path, canvas, 0, 0, 118, 118);
        int drawn = 0;
        for (int y = 0; y < 118; ++y)
            for (int x = 0; x < 118; ++x)
                drawn += (canvas.Pixel(x, y) & 0xFFFFFF) != RGB(128, 128, 128);
        EXPECT_GT(drawn, 118 * 30);
        if (!c.thumbnail) {
            // Rendered drawings are wider than tall: paper from the corner
            // down to the bottom edge, with lines on it.
            EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(0, 117) & 0xFFFFFF);
            EXPECT_LT(Ink(canvas, 118, 118), drawn * 2);
        }
    }
}

TEST_F(DrawingPreview, ViewerHostedOnceInTheBox)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    CWnd wnd;
    wnd.m_hWnd = parent;
    std::string drawing = "0\nSECTION\n2\nENTITIES\n0\nCIRCLE\n10\n0\n20\n0\n40\n10\n0\nENDSEC\n0\nEOF\n";
    std::string path = Write("circle.dxf", std::vector<BYTE>(drawing.begin(), drawing.end()));
    m_preview.SetPreviewFile(path.c_str());
    CCanvas canvas(10, 10, RGB(255, 255, 255));
    m_preview.DrawPreview(&wnd, canvas.Dc(), 0, 0, 10, 10);  // the session now knows the file

    m_preview.DrawDWG(&wnd, nullptr, 20, 30, 200, 150);
    HWND viewer = GetDlgItem(parent, 1234);
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(viewer, m_preview.Viewer().GetSafeHwnd());
    EXPECT_TRUE(IsWindowVisible(viewer));
    EXPECT_TRUE(m_preview.Viewer().IsToolBarEnabled());
    EXPECT_FALSE(m_preview.Viewer().IsContextMenuEnabled());
    EXPECT_NE(nullptr, GetDlgItem(viewer, CQRNACADViewer::kToolBarId));
    RECT rc;
    GetWindowRect(viewer, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(CRect(20, 30, 220, 180), CRect(rc));

    // Hidden, it is shown again where it was; the new box is ignored.
    ShowWindow(viewer, SW_HIDE);
    m_preview.DrawDWG(&wnd, nullptr, 0, 0, 50, 50);
    EXPECT_EQ(viewer, GetDlgItem(parent, 1234));
    EXPECT_TRUE(IsWindowVisible(viewer));
    GetWindowRect(viewer, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(CRect(20, 30, 220, 180), CRect(rc));

    // The view shows the drawing; zoom and pan change it.
    CQRNACADViewer& v = m_preview.Viewer();
    v.Zoom(1.25);
    v.Pan(10, -5);
    EXPECT_DOUBLE_EQ(1.25, v.GetZoom());
    EXPECT_EQ(10, v.GetPan().x);
    SendMessageA(viewer, WM_COMMAND, CQRNACADViewer::kCmdFit, 0);
    EXPECT_DOUBLE_EQ(1.0, v.GetZoom());
    EXPECT_EQ(0, v.GetPan().x);
    // The view shows the circle: dark lines on white paper.
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(50);
    HDC dc = GetDC(viewer);
    int paper = 0, ink = 0;
    for (int y = 40; y < 150; y += 2)
        for (int x = 0; x < 200; x += 2) {
            COLORREF c = GetPixel(dc, x, y) & 0xFFFFFF;
            paper += c == RGB(255, 255, 255);
            ink += c == RGB(0, 0, 0);
        }
    ReleaseDC(viewer, dc);
    EXPECT_GT(paper, 1000);
    EXPECT_GT(ink, 10);

    wnd.m_hWnd = nullptr;
    DestroyWindow(parent);
    EXPECT_EQ(nullptr, m_preview.Viewer().GetSafeHwnd());
}

TEST(DrawingFit, MutatedThumbnailsNeverReadPastTheArray)
{
    std::vector<BYTE> samples[] = {ShortPaletteDib(6, 5), PlaceableWmf(), ShortPaletteDib(3, 7), TextWmf()};
    TestCommon::CRandom random(0x7AB);
    CCanvas canvas(64, 64, RGB(255, 255, 255));
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> bytes = samples[i % 4];
        TestCommon::Mutate(bytes, random);
        if (i % 4 == 0 && bytes.size() > 48)
            bytes[random.Below(48)] = static_cast<uint8_t>(random.Next());
        TestCommon::CGuardedBuffer guarded(bytes);
        Pardo::SDibLayout dib;
        if (i % 2 == 0 && Pardo::DibLayout(guarded.Data(), guarded.Size(), &dib)) {
            // The platform reads the table and rows: they must be there.
            int h = dib.height < 0 ? -dib.height : dib.height;
            StretchDIBits(canvas.Dc(), 0, 0, 16, 16, 0, 0, dib.width, h, guarded.Data() + dib.pixelOffset,
                          reinterpret_cast<const BITMAPINFO*>(guarded.Data()), DIB_RGB_COLORS, SRCCOPY);
        }
        Pardo::SWmfLayout wmf;
        if (i % 2 == 1 && Pardo::WmfLayout(guarded.Data(), guarded.Size(), &wmf)) {
            HENHMETAFILE emf = SetWinMetaFileBits(static_cast<UINT>(wmf.bytes), guarded.Data() + wmf.offset, nullptr,
                                                  nullptr);
            if (emf)
                DeleteEnhMetaFile(emf);
        }
    }
}

TEST_F(DrawingPreview, PaintsLeaveNoGdiObjectsBehind)
{
    std::string drawing = "0\nSECTION\n2\nENTITIES\n0\nTEXT\n10\n0\n20\n0\n40\n5\n1\nLabel\n0\nSOLID\n10\n0\n20\n0\n"
                          "11\n9\n21\n0\n12\n0\n22\n9\n62\n3\n0\nCIRCLE\n10\n5\n20\n5\n40\n3\n62\n1\n0\nENDSEC\n0\nEOF\n";
    std::string paths[] = {Write("leak.dxf", std::vector<BYTE>(drawing.begin(), drawing.end())),
                           Write("leak_bmp.dwg", DwgWith(2, ShortPaletteDib(30, 20))),
                           Write("leak_wmf.dwg", DwgWith(3, PlaceableWmf()))};
    CCanvas canvas(120, 120, RGB(255, 255, 255));
    for (const std::string& path : paths)
        Draw(path, canvas, 0, 0, 118, 118);  // first-use allocations
    int before = TestCommon::FreeGdiSlots();
    for (int i = 0; i < 20; ++i)
        for (const std::string& path : paths)
            Draw(path, canvas, 0, 0, 118, 118);
    EXPECT_GE(TestCommon::FreeGdiSlots(), before - 2);
    EXPECT_NE(0, canvas.BoundsOf(RGB(0, 0, 255), 10).right);  // the last one drawn
}
