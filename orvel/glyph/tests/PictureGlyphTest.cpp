#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>
#include "orvel/glyph/PictureGlyph.h"
#include "tests/common/TestCommon.h"

using Glyph::CPictureGlyph;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, int v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

struct SGifFrame {
    int left, top, width, height;
    uint8_t colorIndex;
    int delay = 0;         // hundredths of a second
    int disposal = 1;
    bool control = true;   // with a graphic control extension
    bool commentInside = false;
};

const COLORREF kPalette[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0)};

// Image data as 8-bit codes with a clear code every 126 pixels, so the code
// width never grows: the simplest valid LZW stream.
void PutImageData(Bytes& out, int pixels, uint8_t index)
{
    const int minCode = 7, clear = 128, end = 129;
    Bytes codes;
    for (int i = 0; i < pixels; ++i) {
        if (i % 126 == 0)
            codes.push_back(clear);
        codes.push_back(index);
    }
    codes.push_back(end);
    out.push_back(minCode);
    for (size_t at = 0; at < codes.size(); at += 255) {
        size_t n = std::min<size_t>(255, codes.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), codes.begin() + at, codes.begin() + at + n);
    }
    out.push_back(0);
}

Bytes MakeGif(int width, int height, const std::vector<SGifFrame>& frames, const char* version = "89a",
              bool appExtension = false)
{
    Bytes out = {'G', 'I', 'F', uint8_t(version[0]), uint8_t(version[1]), uint8_t(version[2])};
    Put16(out, width);
    Put16(out, height);
    out.push_back(0x80 | 0x70 | 0x06);  // global table of 128 entries
    out.push_back(0);                   // background index
    out.push_back(0);
    for (int i = 0; i < 128; ++i) {
        COLORREF c = i < 4 ? kPalette[i] : RGB(0, 0, 0);
        out.push_back(GetRValue(c));
        out.push_back(GetGValue(c));
        out.push_back(GetBValue(c));
    }
    if (appExtension) {
        const char app[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), app, app + 11);
        out.insert(out.end(), {3, 1, 0, 0, 0});
    }
    for (const SGifFrame& f : frames) {
        if (f.control) {
            out.insert(out.end(), {0x21, 0xF9, 4, uint8_t(f.disposal << 2)});
            Put16(out, f.delay);
            out.insert(out.end(), {0, 0});
        }
        if (f.commentInside) {
            const char text[] = "frame note";
            out.insert(out.end(), {0x21, 0xFE, uint8_t(sizeof text - 1)});
            out.insert(out.end(), text, text + sizeof text - 1);
            out.push_back(0);
        }
        out.push_back(0x2C);
        Put16(out, f.left);
        Put16(out, f.top);
        Put16(out, f.width);
        Put16(out, f.height);
        out.push_back(0);
        PutImageData(out, f.width * f.height, f.colorIndex);
    }
    out.push_back(0x3B);
    return out;
}

HGLOBAL ToGlobal(const Bytes& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
    memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// A vessel over the screen; every repaint request runs the hook (the
// animation calls it from its worker right after a frame is composed).
class CScreenVessel : public Glyph::IGlyphVessel {
public:
    void InvalidateVesselRect(const RECT*) override
    {
        ++invalidations;
        if (onInvalidate)
            onInvalidate();
    }
    void RedrawVesselRect(const RECT*) override {}
    void SetVesselCursor(HICON) override {}
    HDC GetVesselDC() override { return GetDC(nullptr); }
    void ReleaseVesselDC(HDC dc) override { ReleaseDC(nullptr, dc); }
    void AdjustVesselLayout() override {}

    std::atomic<int> invalidations{0};
    std::function<void()> onInvalidate;
};

class CPictureFixture : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }

    int Load(CPictureGlyph& glyph, const Bytes& bytes)
    {
        HGLOBAL block = ToGlobal(bytes);
        int result = glyph.Load(block, static_cast<DWORD>(bytes.size()));
        GlobalFree(block);
        return result;
    }

    CScreenVessel vessel;
};

// Exposes the block walk over caller-owned bytes.
class CWalker : public CPictureGlyph {
public:
    int CountGraphicBlocks(const uint8_t* data, UINT size)
    {
        m_pRawData = data;
        m_nDataSize = size;
        m_nGlobalCTSize = size >= 13 && (data[10] & 0x80) ? 3 * (1 << ((data[10] & 7) + 1)) : 0;
        int count = 0;
        ResetDataPointer();
        while (SkipNextGraphicBlock())
            ++count;
        ResetDataPointer();
        for (;;) {
            UINT length = 0, delay = 0, disposal = 0;
            SIZE frameSize = {}, offset = {};
            HGLOBAL one = GetNextGraphicBlock(&length, &delay, &frameSize, &offset, &disposal);
            if (!one)
                break;
            GlobalFree(one);
        }
        m_pRawData = nullptr;
        m_nDataSize = 0;
        return count;
    }
};

// What the glyph shows, drawn at the origin of a canvas.
COLORREF Shown(CPictureGlyph& glyph, int x, int y)
{
    TestCommon::CDibCanvas canvas(glyph.GetSize().cx, glyph.GetSize().cy);
    glyph.Draw(canvas.Dc(), nullptr);
    return canvas.Pixel(x, y);
}

}  // namespace

TEST_F(CPictureFixture, AnimatedGifSplitsIntoFrames)
{
    CPictureGlyph glyph;
    glyph.SetVessel(&vessel);
    Bytes gif = MakeGif(20, 10,
                        {{0, 0, 20, 10, 1, 3}, {0, 0, 10, 10, 2, 25, 2, true, true}, {10, 0, 10, 10, 3}},
                        "89a", true);
    ASSERT_TRUE(Load(glyph, gif));
    EXPECT_TRUE(glyph.IsGIF());
    EXPECT_TRUE(glyph.IsAnimatedGIF());
    EXPECT_EQ(3u, glyph.GetFrameCount());
    EXPECT_EQ(20, glyph.GetSize().cx);
    EXPECT_EQ(10, glyph.GetSize().cy);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), glyph.GetBkColor());
    Base::CSize offer = glyph.CalcSize(nullptr, 5, 5, true);
    EXPECT_EQ(20, offer.cx);
}

TEST_F(CPictureFixture, SingleImageGifIsAStillPicture)
{
    CPictureGlyph glyph;
    glyph.SetVessel(&vessel);
    ASSERT_TRUE(Load(glyph, MakeGif(16, 8, {{0, 0, 16, 8, 1, 0, 0, false}})));
    EXPECT_TRUE(glyph.IsGIF());
    EXPECT_FALSE(glyph.IsAnimatedGIF());
    EXPECT_EQ(0u, glyph.GetFrameCount());
    EXPECT_EQ(16, glyph.GetSize().cx);
    int before = vessel.invalidations;
    EXPECT_TRUE(glyph.Play());
    EXPECT_EQ(before + 1, vessel.invalidations);
    EXPECT_EQ(RGB(255, 0, 0), Shown(glyph, 8, 4));
}

TEST_F(CPictureFixture, UnknownVersionGoesToThePictureLoader)
{
    CPictureGlyph glyph;
    glyph.SetVessel(&vessel);
    Load(glyph, MakeGif(16, 8, {{0, 0, 16, 8, 1}}, "88a"));
    EXPECT_FALSE(glyph.IsGIF());
}

TEST_F(CPictureFixture, LoadWithoutVesselFailsAndBadDataIsRefused)
{
    CPictureGlyph glyph;
    EXPECT_FALSE(Load(glyph, MakeGif(16, 8, {{0, 0, 16, 8, 1}, {0, 0, 8, 8, 2}})));
    EXPECT_EQ(2u, glyph.GetFrameCount());  // frames were read before the bitmap was needed
    EXPECT_FALSE(glyph.Play());

    glyph.SetVessel(&vessel);
    EXPECT_FALSE(Load(glyph, Bytes{'G', 'I', 'F', '8', '9', 'a', 1}));
    EXPECT_FALSE(Load(glyph, Bytes(64, 0xCD)));
    EXPECT_FALSE(glyph.Load(nullptr, 10));
    EXPECT_FALSE(glyph.Load(L"Z:\\no\\such\\picture.gif"));
    EXPECT_FALSE(glyph.Load(GetModuleHandleW(nullptr), L"NONE", L"GIF"));
    EXPECT_FALSE(glyph.IsGIF());
}

TEST_F(CPictureFixture, StillPictureFromAFileFollowsTheScreenDpi)
{
    TestCommon::CTempDir dir;
    std::wstring path = dir.File(L"still.bmp");
    // A 24-bit 30 x 12 bitmap file, green.
    const int w = 30, h = 12, stride = (w * 3 + 3) & ~3;
    Bytes file(54 + stride * h, 0);
    BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(file.data());
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(file.size());
    fh->bfOffBits = 54;
    BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(file.data() + 14);
    *ih = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 3780, 3780, 0, 0};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            file[54 + y * stride + x * 3 + 1] = 255;
    ASSERT_TRUE(TestCommon::WriteFileBytes(path, file.data(), file.size()));

    CPictureGlyph glyph;
    glyph.SetVessel(&vessel);
    ASSERT_TRUE(glyph.Load(path.c_str()));
    EXPECT_FALSE(glyph.IsGIF());
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // The picture's own size in HIMETRIC, back in screen pixels.
    EXPECT_NEAR(w * dpi / 96.0, glyph.GetSize().cx, 1.0);
    EXPECT_TRUE(glyph.Play());
    EXPECT_EQ(RGB(0, 255, 0), Shown(glyph, glyph.GetSize().cx / 2, glyph.GetSize().cy / 2));
}

TEST_F(CPictureFixture, FrameWaits)
{
    EXPECT_EQ(100u, CPictureGlyph::FrameWaitMs(0));
    EXPECT_EQ(100u, CPictureGlyph::FrameWaitMs(3));
    EXPECT_EQ(100u, CPictureGlyph::FrameWaitMs(10));
    EXPECT_EQ(250u, CPictureGlyph::FrameWaitMs(25));
    EXPECT_EQ(100u, CPictureGlyph::FrameWaitMs(0xFFFFFFFF));
    EXPECT_EQ(655350u, CPictureGlyph::FrameWaitMs(65535));
}

namespace {

// Plays until `frames` frames were composed, snapshotting the off-screen
// bitmap after each, then stops.
std::vector<std::vector<COLORREF>> PlayAndSnapshot(CPictureGlyph& glyph, CScreenVessel& vessel,
                                                   int frames, const std::vector<POINT>& probes)
{
    std::vector<std::vector<COLORREF>> shots;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    vessel.onInvalidate = [&] {
        if (static_cast<int>(shots.size()) >= frames)
            return;
        std::vector<COLORREF> shot;
        for (POINT p : probes)
            shot.push_back(Shown(glyph, p.x, p.y));
        shots.push_back(shot);
        if (static_cast<int>(shots.size()) == frames)
            SetEvent(done);
    };
    EXPECT_TRUE(glyph.Play());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done, 20000));
    glyph.Stop();
    vessel.onInvalidate = nullptr;
    CloseHandle(done);
    return shots;
}

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

}  // namespace

TEST_F(CPictureFixture, DisposalRestoresBackgroundOrPreviousContent)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int disposal : {2, 3}) {
        CPictureGlyph glyph;
        glyph.SetVessel(&vessel);
        ASSERT_TRUE(Load(glyph, MakeGif(20, 10,
                                        {{0, 0, 20, 10, 1, 0, 1},
                                         {0, 0, 10, 10, 2, 0, disposal},
                                         {10, 0, 10, 10, 3, 0, 1}})));
        auto shots = PlayAndSnapshot(glyph, vessel, 3, {{5, 5}, {15, 5}});
        ASSERT_EQ(3u, shots.size());
        EXPECT_EQ(kRed, shots[0][0]);
        EXPECT_EQ(kBlue, shots[1][0]);
        EXPECT_EQ(kRed, shots[1][1]);
        EXPECT_EQ(disposal == 2 ? face : kRed, shots[2][0]) << disposal;
        EXPECT_EQ(kGreen, shots[2][1]);
    }
}

TEST_F(CPictureFixture, StopThenPlayResumesAtTheSameFrame)
{
    CPictureGlyph glyph;
    glyph.SetVessel(&vessel);
    ASSERT_TRUE(Load(glyph, MakeGif(20, 10,
                                    {{0, 0, 20, 10, 1}, {0, 0, 10, 10, 2, 0, 2}, {10, 0, 10, 10, 3}})));
    auto shots = PlayAndSnapshot(glyph, vessel, 2, {{5, 5}});
    ASSERT_EQ(2u, shots.size());
    EXPECT_FALSE(glyph.IsPlaying());
    EXPECT_EQ(1u, glyph.GetCurrentFrame());
    // Playing again shows frame 1 first (after finishing its disposal).
    auto again = PlayAndSnapshot(glyph, vessel, 1, {{5, 5}, {15, 5}});
    ASSERT_EQ(1u, again.size());
    EXPECT_EQ(kBlue, again[0][0]);
    EXPECT_EQ(kRed, again[0][1]);
}

TEST_F(CPictureFixture, DestroyingAPlayingGlyphJoinsItsWorker)
{
    for (int i = 0; i < 5; ++i) {
        auto* glyph = new CPictureGlyph;
        glyph->SetVessel(&vessel);
        ASSERT_TRUE(Load(*glyph, MakeGif(20, 10, {{0, 0, 20, 10, 1, 0}, {0, 0, 10, 10, 2, 0}})));
        EXPECT_TRUE(glyph->Play());
        EXPECT_TRUE(glyph->Play());  // no second worker
        delete glyph;
    }
}

TEST_F(CPictureFixture, TruncatedDataEndsAtTheLastCompleteBlock)
{
    Bytes gif = MakeGif(20, 10, {{0, 0, 20, 10, 1}, {0, 0, 10, 10, 2}, {10, 0, 10, 10, 3}});
    CWalker walker;
    EXPECT_EQ(3, walker.CountGraphicBlocks(gif.data(), static_cast<UINT>(gif.size())));
    // Cut inside the third image's sub-blocks.
    EXPECT_EQ(2, walker.CountGraphicBlocks(gif.data(), static_cast<UINT>(gif.size() - 20)));
    // The third image's one data sub-block (102 codes) claiming 255 bytes.
    Bytes lying = gif;
    const size_t lengthByte = lying.size() - 1 - 1 - 102 - 1;
    ASSERT_EQ(102, lying[lengthByte]);
    lying[lengthByte] = 0xFF;
    EXPECT_EQ(2, walker.CountGraphicBlocks(lying.data(), static_cast<UINT>(lying.size())));
}

TEST(PictureGlyphWalk, MutatedGifsNeverReadPastTheData)
{
    const Bytes samples[] = {
        MakeGif(20, 10, {{0, 0, 20, 10, 1}, {0, 0, 10, 10, 2, 7, 3, true, true}}, "89a", true),
        MakeGif(8, 8, {{0, 0, 8, 8, 1, 0, 0, false}}),
    };
    TestCommon::CRandom random(3600);
    CWalker walker;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = samples[round % 2];
        TestCommon::Mutate(bytes, random);
        TestCommon::CGuardedBuffer input(bytes);
        walker.CountGraphicBlocks(input.Data(), static_cast<UINT>(input.Size()));
    }
}
