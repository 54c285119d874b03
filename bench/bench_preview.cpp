// The preview dialog's image and drawing previews. The image preview of a
// 4000 x 3000 JPEG is set against GDI+ drawing the same decoded picture into
// the same box; the drawing preview of a generated 2.6 MB DXF is timed on
// the first paint after it is selected (read, parse, render) and on a
// repaint, against one BitBlt of the box.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cmath>
#include <cstdio>
#include <string>
#include "bench/BenchCommon.h"
#include "orvel/base/GdiHandles.h"
#include "pardo/ACADFilePreview.h"
#include "pardo/BitmapFilePreview.h"
#include "pardo/samples/SampleImages.h"
#include "siblings/vantrel/Drawing.h"

namespace {

constexpr int kBox = 118;  // the dialog's preview square, inside its frame
constexpr int kRepeats = 15;

// Lines, arcs, polylines, texts, hatches and inserts on a grid until the
// text is about targetBytes long.
std::string MakeDrawing(size_t targetBytes)
{
    std::string s = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nMARK\n10\n0\n20\n0\n"
                    "0\nCIRCLE\n10\n0\n20\n0\n40\n2\n0\nLINE\n10\n-2\n20\n0\n11\n2\n21\n0\n0\nENDBLK\n"
                    "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    char buffer[512];
    for (int i = 0; s.size() < targetBytes; ++i) {
        double x = (i % 100) * 20.0, y = (i / 100) * 20.0;
        snprintf(buffer, sizeof buffer,
                 "0\nLINE\n8\n0\n62\n%d\n10\n%.3f\n20\n%.3f\n11\n%.3f\n21\n%.3f\n"
                 "0\nARC\n8\n0\n10\n%.3f\n20\n%.3f\n40\n6.5\n50\n15\n51\n250\n"
                 "0\nLWPOLYLINE\n8\n0\n90\n4\n70\n1\n10\n%.3f\n20\n%.3f\n10\n%.3f\n20\n%.3f\n42\n0.4\n"
                 "10\n%.3f\n20\n%.3f\n10\n%.3f\n20\n%.3f\n",
                 1 + i % 7, x, y, x + 18, y + 9, x + 10, y + 10, x + 2, y + 2, x + 16, y + 2, x + 16, y + 16, x + 2,
                 y + 16);
        s += buffer;
        if (i % 10 == 0) {
            snprintf(buffer, sizeof buffer, "0\nTEXT\n8\n0\n10\n%.3f\n20\n%.3f\n40\n2.5\n1\nROOM %d\n", x + 3, y + 5, i);
            s += buffer;
        }
        if (i % 25 == 0) {
            snprintf(buffer, sizeof buffer,
                     "0\nHATCH\n8\n0\n62\n3\n2\nSOLID\n70\n1\n91\n1\n92\n2\n72\n0\n73\n1\n93\n3\n10\n%.3f\n20\n%.3f\n"
                     "10\n%.3f\n20\n%.3f\n10\n%.3f\n20\n%.3f\n97\n0\n75\n0\n76\n1\n98\n0\n",
                     x + 4, y + 4, x + 9, y + 4, x + 4, y + 9);
            s += buffer;
        }
        if (i % 40 == 0) {
            snprintf(buffer, sizeof buffer, "0\nINSERT\n8\n0\n2\nMARK\n10\n%.3f\n20\n%.3f\n", x + 12, y + 12);
            s += buffer;
        }
    }
    return s + "0\nENDSEC\n0\nEOF\n";
}

std::string TempFile(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

bool WriteText(const std::string& path, const std::string& text)
{
    return PardoSamples::WriteBytes(path, text.data(), text.size());
}

struct CDrawImageBaseline {
    Gdiplus::Image* image = nullptr;
    ~CDrawImageBaseline() { delete image; }
};

}  // namespace

int main()
{
    PardoSamples::CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        std::printf("GDI+ did not start\n");
        return 1;
    }
    Base::CMemoryDC dc(nullptr);
    void* bits = nullptr;
    Base::CBitmapHandle canvas = Base::CreateTopDownDIB(kBox + 2, kBox + 2, &bits);
    Base::CSelectScope select(dc, canvas);
    RECT all = {0, 0, kBox + 2, kBox + 2};

    // ------------------------------------------------------------ images
    std::string photo = TempFile("bench_preview_photo.jpg"), other = TempFile("bench_preview_other.png");
    if (!PardoSamples::WriteRaster(photo, L"image/jpeg", 4000, 3000, RGB(40, 80, 190), RGB(250, 150, 30)) ||
        !PardoSamples::WriteSolid(other, L"image/png", 8, 8, RGB(0, 0, 0))) {
        std::printf("cannot write the sample pictures\n");
        return 1;
    }
    std::printf("Image preview, 4000 x 3000 JPEG into %d x %d\n", kBox, kBox);
    std::wstring widePhoto(photo.begin(), photo.end());
    CDrawImageBaseline decoded;
    decoded.image = Gdiplus::Image::FromFile(widePhoto.c_str());
    // The box the preview fits it to: 118 wide, 88 high, centred.
    Gdiplus::Rect target(1, 1 + (kBox - kBox * 3 / 4) / 2, kBox, kBox * 3 / 4);
    Bench::SResult drawImage = Bench::Measure(kRepeats, [&] {
        Gdiplus::Graphics graphics(dc.Get());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.DrawImage(decoded.image, target, 0, 0, 4000, 3000, Gdiplus::UnitPixel);
    });
    Bench::ReportBaseline("GDI+ DrawImage of the decoded picture", drawImage);
    Bench::SResult loadAndDraw = Bench::Measure(5, [&] {
        Gdiplus::Image image(widePhoto.c_str());
        Gdiplus::Graphics graphics(dc.Get());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.DrawImage(&image, target, 0, 0, 4000, 3000, Gdiplus::UnitPixel);
    });
    Bench::Report("GDI+ load and DrawImage (each paint)", loadAndDraw, drawImage);
    CQRNBitmapFilePreview image;
    Bench::SResult imageFirst = Bench::Measure(5, [&] {
        image.SetPreviewFile(other.c_str());  // another file drops the kept picture
        image.SetPreviewFile(photo.c_str());
        image.DrawPreview(nullptr, dc, 1, 1, kBox, kBox);
    });
    Bench::Report("preview, first paint (read, decode)", imageFirst, drawImage);
    Bench::SResult imageRepaint = Bench::Measure(kRepeats * 20, [&] { image.DrawPreview(nullptr, dc, 1, 1, kBox, kBox); });
    Bench::Report("preview, repaint", imageRepaint, drawImage);

    // ---------------------------------------------------------- drawings
    std::string drawing = TempFile("bench_preview_plan.dxf"), small = TempFile("bench_preview_small.dxf");
    std::string text = MakeDrawing(2600 * 1024);
    if (!WriteText(drawing, text) || !WriteText(small, "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n")) {
        std::printf("cannot write the sample drawings\n");
        return 1;
    }
    std::printf("Drawing preview, generated DXF of %.1f MB into %d x %d\n", text.size() / 1048576.0, kBox, kBox);
    Base::CMemoryDC source(nullptr);
    void* sourceBits = nullptr;
    Base::CBitmapHandle sourceBitmap = Base::CreateTopDownDIB(kBox, kBox, &sourceBits);
    Base::CSelectScope selectSource(source, sourceBitmap);
    Bench::SResult blit = Bench::Measure(kRepeats * 20, [&] {
        BitBlt(dc, 1, 1, kBox, kBox, source, 0, 0, SRCCOPY);
        GdiFlush();
    });
    Bench::ReportBaseline("BitBlt of the box", blit);
    CQRNACADFilePreview preview;
    // The first paint after the file is selected, then repaints.
    auto measureDrawing = [&](const char* path) {
        Bench::SResult first = Bench::Measure(kRepeats, [&] {
            preview.SetPreviewFile(small.c_str());  // another file drops what was kept
            preview.SetPreviewFile(path);
            preview.DrawPreview(nullptr, dc, 1, 1, kBox, kBox);
            GdiFlush();
        });
        Bench::Report("preview, first paint (read, parse, render)", first, blit);
        Bench::SResult repaint = Bench::Measure(kRepeats * 20, [&] {
            preview.DrawPreview(nullptr, dc, 1, 1, kBox, kBox);
            GdiFlush();
        });
        Bench::Report("preview, repaint", repaint, blit);
    };
    measureDrawing(drawing.c_str());
    // Where the first paint goes.
    Vantrel::CDrawing parsed;
    Bench::SResult parse = Bench::Measure(5, [&] {
        Vantrel::CDrawing d;
        Vantrel::ParseDxf(reinterpret_cast<const uint8_t*>(text.data()), text.size(), d);
        parsed = std::move(d);
    });
    Bench::Report("  of which parsing", parse, blit);
    HENHMETAFILE picture = nullptr;
    Bench::SResult render = Bench::Measure(5, [&] {
        if (picture)
            DeleteEnhMetaFile(picture);
        picture = Vantrel::RenderDrawing(parsed, 1024, 768);
    });
    Bench::Report("  of which recording the metafile", render, blit);
    Bench::SResult play = Bench::Measure(5, [&] {
        RECT box = {1, 1, 1 + kBox, 1 + kBox};
        PlayEnhMetaFile(dc, picture, &box);
        GdiFlush();
    });
    Bench::Report("  of which playing it into the box", play, blit);
    std::printf("  (%zu primitives)\n", parsed.primitives.size());
    DeleteEnhMetaFile(picture);

    // The shared real drawing of that size, when it is there.
    const char* real = "..\\shared\\testdata\\cad\\sample_AC1015_ascii.dxf";
    if (GetFileAttributesA(real) != INVALID_FILE_ATTRIBUTES) {
        std::printf("Drawing preview, the shared 2.6 MB sample drawing\n");
        measureDrawing(real);
    }
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    DeleteFileA(photo.c_str());
    DeleteFileA(other.c_str());
    DeleteFileA(drawing.c_str());
    DeleteFileA(small.c_str());
    return 0;
}
