#include <gtest/gtest.h>
#include <stdexcept>
#include "PardoTestUtil.h"
#include "pardo/PreviewLayout.h"
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
