#include <gtest/gtest.h>
#include <stdexcept>
#include "PardoTestUtil.h"
#include "pardo/PreviewLayout.h"
#include "tests/common/TestCommon.h"
#include "pardo/samples/SampleImages.h"

using namespace PardoTest;

TEST(PreviewLayout, SquareRegionAndCheckBoxFollowTheAnchor)
{
    RECT anchor = {300, 4, 420, 22};
    CRect square = Pardo::PreviewSquare(anchor, 200, 120);
    EXPECT_EQ(CRect(300, 42, 500, 162), square);
    CRect clip = Pardo::PreviewClip(square);
    EXPECT_EQ(198, clip.Width());
    EXPECT_EQ(118, clip.Height());
    EXPECT_EQ(CRect(300, 177, 420, 197), Pardo::PreviewCheckBox(anchor, square));
}

TEST(PreviewLayout, FilterDescriptionCountsPairsFromOne)
{
    const char filter[] = "Drawings (*.dwg)\0*.dwg\0Images (*.bmp)\0*.bmp\0";
    EXPECT_STREQ("Drawings (*.dwg)", Pardo::FilterDescription(filter, 1));
    EXPECT_STREQ("Images (*.bmp)", Pardo::FilterDescription(filter, 2));
    EXPECT_STREQ("Drawings (*.dwg)", Pardo::FilterDescription(filter, 0));
    EXPECT_STREQ("Drawings (*.dwg)", Pardo::FilterDescription(filter, 3));
    EXPECT_STREQ("Drawings (*.dwg)", Pardo::FilterDescription(filter, 5));
    EXPECT_STREQ("", Pardo::FilterDescription(nullptr, 1));
    // A list cut after a description still ends safely.
    const char cut[] = "Only\0";
    EXPECT_STREQ("Only", Pardo::FilterDescription(cut, 2));
}

TEST(PreviewLayout, ExtensionOfTheLastComponent)
{
    EXPECT_STREQ(".BMP", Pardo::FileExtension("C:\\Pics\\A.BMP"));
    EXPECT_STREQ(".gz", Pardo::FileExtension("c:\\x\\a.tar.gz"));
    EXPECT_STREQ("", Pardo::FileExtension("c:\\dir.d\\noext"));
    EXPECT_STREQ("", Pardo::FileExtension("c:\\folder"));
    EXPECT_STREQ("", Pardo::FileExtension(nullptr));
}

TEST(PreviewLayout, ImageIsFittedByItsLongerSideAndCentred)
{
    CRect rc;
    ASSERT_TRUE(Pardo::ImagePlacement(400, 100, 0, 0, 118, 118, &rc));
    EXPECT_EQ(118, rc.Width());
    EXPECT_EQ(29, rc.Height());
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(44, rc.top);  // 59 - 14.75, truncated
    ASSERT_TRUE(Pardo::ImagePlacement(50, 50, 10, 20, 118, 118, &rc));
    EXPECT_EQ(CRect(10, 20, 128, 138), rc);
    // Square images use the height rule; a wide box lets them run over.
    ASSERT_TRUE(Pardo::ImagePlacement(100, 100, 0, 0, 200, 50, &rc));
    EXPECT_EQ(CRect(75, 0, 125, 50), rc);
    ASSERT_TRUE(Pardo::ImagePlacement(100, 300, 0, 0, 200, 100, &rc));
    EXPECT_EQ(33, rc.Width());
    EXPECT_FALSE(Pardo::ImagePlacement(0, 10, 0, 0, 118, 118, &rc));
    EXPECT_FALSE(Pardo::ImagePlacement(10, 10, 0, 0, 0, 118, &rc));
}

TEST(PreviewProviders, ExtensionListsIgnoreCase)
{
    CQRNFilePreview base;
    CQRNBitmapFilePreview image;
    for (const char* ext : {".bmp", ".GIF", ".JPG", ".jpeg", ".Png", ".emf", ".tif", ".TIFF"}) {
        EXPECT_TRUE(base.isPreviewForFileType(ext)) << ext;
        EXPECT_TRUE(image.isPreviewForFileType(ext)) << ext;
    }
    EXPECT_FALSE(base.isPreviewForFileType(".wmf"));
    EXPECT_TRUE(image.isPreviewForFileType(".WMF"));
    for (const char* ext : {".jpe", "jpg", "", ".bmpx", ".dwg"}) {
        EXPECT_FALSE(base.isPreviewForFileType(ext)) << ext;
        EXPECT_FALSE(image.isPreviewForFileType(ext)) << ext;
    }
}

namespace {

class CPlaceholderSpy : public CQRNBitmapFilePreview {
public:
    void DrawNoPreviewAvailable(HDC, int x, int y, int cx, int cy) override
    {
        ++calls;
        box = CRect(x, y, x + cx, y + cy);
    }
    const CString& File() const { return m_strFile; }
    int calls = 0;
    CRect box;
};

}  // namespace

TEST(PreviewProviders, PathIsStoredInLowerCaseAndCopied)
{
    CPlaceholderSpy spy;
    spy.SetPreviewFile("C:\\Some Folder\\PICTURE.JPG");
    EXPECT_STREQ("c:\\some folder\\picture.jpg", spy.File());
    CPlaceholderSpy copy(spy);
    EXPECT_STREQ("c:\\some folder\\picture.jpg", copy.File());
    spy.SetPreviewFile("");
    copy = spy;
    EXPECT_STREQ("", copy.File());
}

class ImagePreview : public testing::Test {
protected:
    TestCommon::CTempDir m_dir;
    std::string File(const char* name) { return Narrow(m_dir.File(L"")) + name; }
};

TEST_F(ImagePreview, WideImageIsScaledDownAndCentred)
{
    std::string path = File("WIDE.PNG");
    ASSERT_TRUE(PardoSamples::WriteSolid(path, L"image/png", 400, 100, RGB(255, 0, 0)));
    CCanvas canvas(140, 140, RGB(0, 0, 255));
    CPlaceholderSpy preview;
    preview.SetPreviewFile(path.c_str());  // stored lower-case; the file system does not mind
    preview.DrawPreview(nullptr, canvas.Dc(), 11, 11, 118, 118);
    EXPECT_EQ(0, preview.calls);
    RECT red = canvas.BoundsOf(RGB(255, 0, 0), 60);
    // 118 by 29 at (11, 55); the bicubic filter may soften the last row.
    EXPECT_NEAR(11, red.left, 1);
    EXPECT_NEAR(129, red.right, 1);
    EXPECT_NEAR(55, red.top, 1);
    EXPECT_NEAR(84, red.bottom, 1);
    EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(70, 40));
    EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(70, 100));
}

TEST_F(ImagePreview, SmallImageIsEnlargedToTheBox)
{
    std::string path = File("small.bmp");
    ASSERT_TRUE(PardoSamples::WriteSolid(path, L"image/bmp", 50, 50, RGB(0, 200, 0)));
    CCanvas canvas(120, 120, RGB(0, 0, 0));
    CPlaceholderSpy preview;
    preview.SetPreviewFile(path.c_str());
    preview.DrawPreview(nullptr, canvas.Dc(), 1, 1, 118, 118);
    RECT green = canvas.BoundsOf(RGB(0, 200, 0), 60);
    EXPECT_NEAR(1, green.left, 1);
    EXPECT_NEAR(1, green.top, 1);
    EXPECT_NEAR(119, green.right, 1);
    EXPECT_NEAR(119, green.bottom, 1);
}

TEST_F(ImagePreview, UnreadableFileReachesThePlaceholderHookOnly)
{
    std::string path = File("broken.png");
    const char junk[] = "\x89PNG\r\n\x1a\nnot really";
    ASSERT_TRUE(PardoSamples::WriteBytes(path, junk, sizeof junk));
    CCanvas canvas(120, 120, RGB(9, 9, 9));
    CPlaceholderSpy preview;
    preview.SetPreviewFile(path.c_str());
    preview.DrawPreview(nullptr, canvas.Dc(), 1, 2, 118, 117);
    EXPECT_EQ(1, preview.calls);
    EXPECT_EQ(CRect(1, 2, 119, 119), preview.box);
    preview.SetPreviewFile(File("missing.jpg").c_str());
    preview.DrawPreview(nullptr, canvas.Dc(), 1, 2, 118, 117);
    EXPECT_EQ(2, preview.calls);
    // The base hook draws nothing.
    CQRNBitmapFilePreview plain;
    plain.SetPreviewFile(path.c_str());
    plain.DrawPreview(nullptr, canvas.Dc(), 0, 0, 120, 120);
    EXPECT_EQ(RGB(9, 9, 9), canvas.Pixel(60, 60));
    // An empty path draws nothing and calls nothing.
    preview.SetPreviewFile("");
    preview.DrawPreview(nullptr, canvas.Dc(), 1, 2, 118, 117);
    EXPECT_EQ(2, preview.calls);
}

TEST_F(ImagePreview, VectorFormatsDraw)
{
    std::string emf = File("v.emf"), wmf = File("v.wmf");
    ASSERT_TRUE(PardoSamples::WriteEmf(emf, 200, 100));
    ASSERT_TRUE(PardoSamples::WriteWmf(wmf, 100, 100));
    for (const std::string& path : {emf, wmf}) {
        CCanvas canvas(120, 120, RGB(0, 0, 0));
        CPlaceholderSpy preview;
        preview.SetPreviewFile(path.c_str());
        preview.DrawPreview(nullptr, canvas.Dc(), 0, 0, 120, 120);
        EXPECT_EQ(0, preview.calls) << path;
        RECT drawn = canvas.BoundsOf(RGB(250, 200, 40), 40);
        EXPECT_GT(drawn.right - drawn.left, 20) << path;
    }
}

TEST_F(ImagePreview, ExifOrientationShowsThePhotoUpright)
{
    // Stored 80 by 40, red over blue; orientation 6 turns it a quarter to
    // the right: 40 by 80 shown, blue on the left and red on the right,
    // fitted as 59 by 118 in the middle of the box.
    std::string path = File("turned.jpg");
    ASSERT_TRUE(PardoSamples::WriteOrientedJpeg(path, 80, 40, RGB(255, 0, 0), RGB(0, 0, 255), 6));
    CCanvas canvas(118, 118, RGB(0, 255, 0));
    CQRNBitmapFilePreview preview;
    preview.SetPreviewFile(path.c_str());
    preview.DrawPreview(nullptr, canvas.Dc(), 0, 0, 118, 118);
    RECT red = canvas.BoundsOf(RGB(255, 0, 0), 80), blue = canvas.BoundsOf(RGB(0, 0, 255), 80);
    EXPECT_NEAR(0, red.top, 2);
    EXPECT_NEAR(118, red.bottom, 2);
    EXPECT_NEAR(88, red.right, 2);
    EXPECT_NEAR(29, blue.left, 2);
    EXPECT_LT(blue.right, red.left + 4);
    EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(10, 59));

    // Orientation 3 turns it half round: blue over red, still 80 by 40.
    std::string half = File("half.jpg");
    ASSERT_TRUE(PardoSamples::WriteOrientedJpeg(half, 80, 40, RGB(255, 0, 0), RGB(0, 0, 255), 3));
    CCanvas turned(118, 118, RGB(0, 255, 0));
    preview.SetPreviewFile(half.c_str());
    preview.DrawPreview(nullptr, turned.Dc(), 0, 0, 118, 118);
    EXPECT_LT(turned.BoundsOf(RGB(0, 0, 255), 80).top, turned.BoundsOf(RGB(255, 0, 0), 80).top);
    EXPECT_NEAR(118, turned.BoundsOf(RGB(255, 0, 0), 80).right, 2);
}

TEST(ImageLayout, ExifOrientationIsReadWithinTheSegment)
{
    std::vector<BYTE> app1 = {0xFF, 0xD8, 0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                              1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xDA};
    EXPECT_EQ(8, Pardo::ExifOrientation(app1.data(), app1.size()));  // little-endian
    std::vector<BYTE> wrongType = app1;
    wrongType[24] = 4;
    EXPECT_EQ(1, Pardo::ExifOrientation(wrongType.data(), wrongType.size()));
    std::vector<BYTE> outOfRange = app1;
    outOfRange[30] = 9;
    EXPECT_EQ(1, Pardo::ExifOrientation(outOfRange.data(), outOfRange.size()));
    // A segment that claims more than the file holds, or an entry past
    // its segment, is not read.
    std::vector<BYTE> cut(app1.begin(), app1.begin() + 28);
    EXPECT_EQ(1, Pardo::ExifOrientation(cut.data(), cut.size()));
    std::vector<BYTE> farIfd = app1;
    farIfd[16] = 200;
    EXPECT_EQ(1, Pardo::ExifOrientation(farIfd.data(), farIfd.size()));
    EXPECT_EQ(1, Pardo::ExifOrientation(nullptr, 0));
    TestCommon::CRandom random(0xE1F);
    for (int i = 0; i < 2000; ++i) {
        std::vector<uint8_t> bytes = app1;
        TestCommon::Mutate(bytes, random);
        TestCommon::CGuardedBuffer guarded(bytes);
        int o = Pardo::ExifOrientation(guarded.Data(), guarded.Size());
        EXPECT_TRUE(o >= 1 && o <= 8);
    }
}

TEST_F(ImagePreview, RepaintUsesTheKeptPictureUntilAnotherFileIsChosen)
{
    std::string path = File("kept.png"), other = File("other.png");
    ASSERT_TRUE(PardoSamples::WriteSolid(path, L"image/png", 60, 30, RGB(255, 0, 0)));
    ASSERT_TRUE(PardoSamples::WriteSolid(other, L"image/png", 30, 30, RGB(0, 0, 255)));
    CPlaceholderSpy preview;
    preview.SetPreviewFile(path.c_str());
    CCanvas first(118, 118, RGB(0, 0, 0));
    preview.DrawPreview(nullptr, first.Dc(), 0, 0, 118, 118);
    // The file is gone: repaints, also in another place and size, still
    // draw the picture.
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    CCanvas again(140, 140, RGB(0, 0, 0));
    preview.DrawPreview(nullptr, again.Dc(), 11, 11, 118, 118);
    RECT kept = first.BoundsOf(RGB(255, 0, 0), 60), moved = again.BoundsOf(RGB(255, 0, 0), 60);
    // 118 by 59 centred; the bicubic filter may soften the edge rows.
    EXPECT_NEAR(29, kept.top, 1);
    EXPECT_NEAR(88, kept.bottom, 1);
    EXPECT_EQ(kept.left + 11, moved.left);
    EXPECT_EQ(kept.top + 11, moved.top);
    EXPECT_EQ(kept.bottom + 11, moved.bottom);
    CCanvas smaller(60, 60, RGB(0, 0, 0));
    preview.DrawPreview(nullptr, smaller.Dc(), 0, 0, 60, 60);
    EXPECT_NEAR(60, smaller.BoundsOf(RGB(255, 0, 0), 60).right, 1);
    EXPECT_EQ(0, preview.calls);

    // Another file drops it: back on the deleted one, nothing is left.
    preview.SetPreviewFile(other.c_str());
    CCanvas blue(118, 118, RGB(0, 0, 0));
    preview.DrawPreview(nullptr, blue.Dc(), 0, 0, 118, 118);
    EXPECT_EQ(RGB(0, 0, 255), blue.Pixel(59, 59));
    preview.SetPreviewFile(path.c_str());
    preview.DrawPreview(nullptr, blue.Dc(), 0, 0, 118, 118);
    EXPECT_EQ(1, preview.calls);

    // The same path rewritten is read again.
    preview.SetPreviewFile(other.c_str());
    preview.DrawPreview(nullptr, blue.Dc(), 0, 0, 118, 118);
    ASSERT_TRUE(PardoSamples::WriteSolid(other, L"image/png", 30, 30, RGB(0, 255, 0)));
    HANDLE h = CreateFileA(other.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME later = {0x12345678, 0x01D00000};
    SetFileTime(h, nullptr, nullptr, &later);
    CloseHandle(h);
    preview.SetPreviewFile(other.c_str());
    preview.DrawPreview(nullptr, blue.Dc(), 0, 0, 118, 118);
    EXPECT_EQ(RGB(0, 255, 0), blue.Pixel(59, 59));
}

TEST(PreviewExceptions, ForeignExceptionsBecomeFileExceptions)
{
    try {
        Pardo::TranslateForeign([]() -> int { throw std::runtime_error("x"); }, CFileException::genericException, "a.bmp");
        FAIL();
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::genericException, e->m_cause);
        EXPECT_EQ(-1, e->m_lOsError);
        EXPECT_STREQ("a.bmp", e->m_strFileName);
        e->Delete();
    }
    try {
        Pardo::TranslateForeign([]() -> int { Pardo::ThrowArchiveException(CArchiveException::endOfFile); }, 1);
        FAIL();
    } catch (CArchiveException* e) {
        EXPECT_EQ(CArchiveException::endOfFile, e->m_cause);
        e->Delete();
    }
    EXPECT_EQ(7, Pardo::TranslateForeign([] { return 7; }, 1));
}
