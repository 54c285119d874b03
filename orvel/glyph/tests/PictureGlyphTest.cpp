#include <gtest/gtest.h>

#include <initguid.h>  // the WIC identifiers, defined here
#include <wincodec.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
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

// A 24-bit bitmap file of one colour.
Bytes MakeBmp(int width, int height, COLORREF colour)
{
    const int stride = (width * 3 + 3) & ~3;
    Bytes file(54 + stride * height, 0);
    auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(file.data());
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(file.size());
    fh->bfOffBits = 54;
    auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(file.data() + 14);
    *ih = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 3780, 3780, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &file[54 + y * stride + x * 3];
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    return file;
}

// An icon file with one 32-bit image of size x size and its mask.
Bytes MakeIco(int size, COLORREF colour)
{
    Bytes image(sizeof(BITMAPINFOHEADER) + size * size * 4 + size * ((size + 31) / 32 * 4), 0);
    *reinterpret_cast<BITMAPINFOHEADER*>(image.data()) = {
        sizeof(BITMAPINFOHEADER), size, size * 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD* pixels = reinterpret_cast<DWORD*>(image.data() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < size * size; ++i)
        pixels[i] =
            0xFF000000 | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    Bytes file = {0, 0, 1, 0, 1, 0, uint8_t(size), uint8_t(size), 0, 0, 1, 0, 32, 0};
    for (DWORD v : {static_cast<DWORD>(image.size()), DWORD{22}})
        for (int b = 0; b < 4; ++b)
            file.push_back(static_cast<uint8_t>(v >> (8 * b)));
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

// A picture of one colour encoded by the platform's imaging codecs (JPEG
// and PNG samples); empty when the codec is missing.
Bytes EncodeWithCodec(const GUID& container, int width, int height, COLORREF colour)
{
    Bytes out;
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    const UINT stride = (width * 3 + 3) & ~3u;
    Bytes pixels(stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[y * stride + x * 3];
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    STATSTG stat = {};
    HGLOBAL memory = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
        SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height)) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
        SUCCEEDED(frame->WritePixels(height, stride, UINT(pixels.size()), pixels.data())) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
        SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) &&
        SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
        const uint8_t* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
        out.assign(bytes, bytes + stat.cbSize.QuadPart);
        GlobalUnlock(memory);
    }
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{options, frame, encoder, stream, factory})
        if (object)
            object->Release();
    return out;
}

// Where MakeGif puts the first image when it writes no extension before it.
const size_t kGifFirstImage = 13 + 128 * 3;

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
    const int w = 30;
    const Bytes file = MakeBmp(w, 12, RGB(0, 255, 0));
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

namespace {

// Exposes the stop event.
class CEventProbe : public CPictureGlyph {
public:
    HANDLE StopEvent() const { return m_hStopEvent; }
};

}  // namespace

// The event is closed only after its last use. Another thread fills every
// free handle slot below the glyph's event, then keeps making signalled
// events while the glyph is destroyed: the first slot freed is the event's,
// so the other thread's next event carries its value. Touching the old
// value after closing it would reset that event.
TEST_F(CPictureFixture, StopEventIsNotUsedAfterItIsClosed)
{
    const Bytes gif = MakeGif(20, 10, {{0, 0, 20, 10, 1, 0}, {0, 0, 10, 10, 2, 0}});
    int reusedRounds = 0;
    for (int round = 0; round < 20; ++round) {
        auto* glyph = new CEventProbe;
        glyph->SetVessel(&vessel);
        ASSERT_TRUE(Load(*glyph, gif));
        ASSERT_TRUE(glyph->Play());
        glyph->Stop();
        const auto value = reinterpret_cast<uintptr_t>(glyph->StopEvent());
        ASSERT_NE(value, 0u);

        std::atomic<bool> filled{false}, destroyed{false};
        HANDLE reused = nullptr;
        std::vector<HANDLE> made;
        std::thread other([&] {
            for (int after = 0; made.size() < 100000 && after < 200;) {
                HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
                if (!event)
                    break;
                if (reinterpret_cast<uintptr_t>(event) == value) {
                    reused = event;
                    break;
                }
                made.push_back(event);
                if (reinterpret_cast<uintptr_t>(event) > value)
                    filled = true;
                if (destroyed)
                    ++after;
            }
        });
        while (!filled && other.joinable() && made.size() < 100000)
            SwitchToThread();
        delete glyph;
        destroyed = true;
        other.join();
        if (reused) {
            ++reusedRounds;
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reused, 0)) << round;
            CloseHandle(reused);
        }
        for (HANDLE event : made)
            CloseHandle(event);
    }
    printf("[ handles  ] the closed stop event's value was reused in %d of 20 rounds\n",
           reusedRounds);
}

namespace {

// Samples of every format the glyph hands to the system decoder.
std::vector<Bytes> PictureSamples()
{
    std::vector<Bytes> samples = {
        MakeGif(20, 10, {{0, 0, 20, 10, 1}, {0, 0, 10, 10, 2, 7, 3, true, true}}, "89a", true),
        MakeGif(8, 8, {{0, 0, 8, 8, 1, 0, 0, false}}),
        MakeBmp(9, 5, RGB(0, 0, 255)),
        MakeIco(16, RGB(255, 0, 0)),
    };
    for (const GUID* format : {&GUID_ContainerFormatJpeg, &GUID_ContainerFormatPng}) {
        Bytes encoded = EncodeWithCodec(*format, 12, 7, RGB(0, 255, 0));
        EXPECT_FALSE(encoded.empty());
        if (!encoded.empty())
            samples.push_back(encoded);
    }
    return samples;
}

}  // namespace

TEST_F(CPictureFixture, EveryStillFormatLoadsAndMalformedOnesAreRefused)
{
    const std::vector<Bytes> samples = PictureSamples();
    ASSERT_EQ(6u, samples.size());
    for (size_t i = 2; i < samples.size(); ++i) {
        CPictureGlyph glyph;
        glyph.SetVessel(&vessel);
        ASSERT_TRUE(Load(glyph, samples[i])) << i;
        EXPECT_FALSE(glyph.IsGIF());
        EXPECT_TRUE(glyph.Play()) << i;
        const COLORREF colours[] = {RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 255, 0)};
        COLORREF shown = Shown(glyph, 1, 1);
        // JPEG rounds colours a little.
        EXPECT_NEAR(GetGValue(colours[i - 2]), GetGValue(shown), 8) << i;
        EXPECT_NEAR(GetRValue(colours[i - 2]), GetRValue(shown), 8) << i;
    }

    // Bytes the decoder would take for an icon directory of 65535 entries.
    const Bytes iconLike = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
    Bytes bitsCut = samples[2];
    bitsCut.resize(bitsCut.size() - 3);
    Bytes iconPastEnd = samples[3];
    iconPastEnd[14] = 0xFF;  // image size
    Bytes jpegSegmentPastEnd = samples[4];
    jpegSegmentPastEnd.resize(40);
    Bytes pngCut = samples[5];
    pngCut.resize(pngCut.size() - 12);  // no end chunk
    Bytes metafile(128, 0);
    metafile[0] = 1;  // an enhanced-metafile header record
    int index = 0;
    for (const Bytes* bad : std::initializer_list<const Bytes*>{
             &iconLike, &bitsCut, &iconPastEnd, &jpegSegmentPastEnd, &pngCut, &metafile}) {
        CPictureGlyph glyph;
        glyph.SetVessel(&vessel);
        EXPECT_FALSE(Load(glyph, *bad)) << index;
        EXPECT_FALSE(CPictureGlyph::IsSoundPicture(bad->data(), DWORD(bad->size()))) << index;
        ++index;
    }

    // A GIF whose only image is cut short still shows what is complete;
    // one with an image of no area, or a code size outside the format, not.
    Bytes gif = MakeGif(16, 8, {{0, 0, 16, 8, 1, 0, 0, false}, {0, 0, 8, 8, 2, 0, 0, false}});
    const size_t second = gif.size() - 1 - (1 + 1 + 64 + 1 + 1 + 1) - 10;
    ASSERT_EQ(0x2C, gif[second]);
    Bytes torn(gif.begin(), gif.begin() + second + 12);
    CPictureGlyph glyph;
    glyph.SetVessel(&vessel);
    ASSERT_TRUE(Load(glyph, torn));
    EXPECT_FALSE(glyph.IsAnimatedGIF());
    EXPECT_TRUE(glyph.Play());
    EXPECT_EQ(RGB(255, 0, 0), Shown(glyph, 8, 4));
    Bytes noArea = torn;
    noArea[kGifFirstImage + 5] = noArea[kGifFirstImage + 6] = 0;
    EXPECT_FALSE(Load(glyph, noArea));
    Bytes codeSize = torn;
    codeSize[kGifFirstImage + 10] = 12;
    EXPECT_FALSE(Load(glyph, codeSize));
}

TEST_F(CPictureFixture, MutatedPicturesNeverTakeTheDecoderDown)
{
    const std::vector<Bytes> samples = PictureSamples();
    TestCommon::CRandom random(20261209);
    // The check on its own: never a read past the data (guard page).
    for (int round = 0; round < 4000; ++round) {
        Bytes bytes = samples[2 + round % (samples.size() - 2)];
        TestCommon::Mutate(bytes, random);
        if (!bytes.empty() && random.Below(2))
            bytes[random.Below(uint32_t(std::min<size_t>(bytes.size(), 40)))] =
                static_cast<uint8_t>(random.Next());
        TestCommon::CGuardedBuffer input(bytes);
        CPictureGlyph::IsSoundPicture(input.Data(), DWORD(input.Size()));
    }
    // The whole road: check, decoder, off-screen bitmap, rendering.
    int loaded = 0;
    for (int round = 0; round < 1200; ++round) {
        Bytes bytes = samples[round % samples.size()];
        TestCommon::Mutate(bytes, random);
        if (!bytes.empty() && random.Below(2))
            bytes[random.Below(uint32_t(std::min<size_t>(bytes.size(), 40)))] =
                static_cast<uint8_t>(random.Next());
        CPictureGlyph glyph;
        glyph.SetVessel(&vessel);
        if (Load(glyph, bytes)) {
            ++loaded;
            if (!glyph.IsAnimatedGIF())
                glyph.Play();
            Shown(glyph, 0, 0);
        }
    }
    EXPECT_GT(loaded, 100);
}
