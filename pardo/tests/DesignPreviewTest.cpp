#include <gtest/gtest.h>
#include <zlib.h>
#include <cstring>
#include <string>
#include <vector>
#include "PardoTestUtil.h"
#include "pardo/MirekFilePreview.h"
#include "siblings/tamberkit/Tamberkit.h"

using namespace PardoTest;

namespace {

class CTestMirek : public CQRNMirekFilePreview {
public:
    using CQRNMirekFilePreview::GetPreviewImageFromFile;
};

// A JPEG of one colour.
std::vector<BYTE> MakeJpeg(int w, int h, COLORREF color)
{
    HBITMAP bitmap = TestCommon::MakeBitmap(w, h, [&](int, int) { return color; });
    UINT size = 0;
    BYTE* bytes = Pictorium::EncodeJpeg(bitmap, 95, &size);
    DeleteObject(bitmap);
    std::vector<BYTE> jpeg(bytes, bytes + size);
    Pictorium::FreeBytes(bytes);
    return jpeg;
}

std::vector<BYTE> PreviewBody(const std::vector<BYTE>& jpeg)
{
    Block block;
    EXPECT_TRUE(Tamberkit::MakePreviewBlock(block, jpeg.data(), static_cast<UINT>(jpeg.size())));
    UINT size = 0;
    BYTE* body = Tamberkit::StoreBlock(block, &size);
    std::vector<BYTE> bytes(body, body + size);
    Tamberkit::FreeBytes(body);
    return bytes;
}

std::vector<BYTE> DesignFile(const Tamberkit::DesignHeader& header, const std::vector<BYTE>& body)
{
    UINT size = 0;
    BYTE* bytes = Tamberkit::MakeDesignFile(header, body.data(), static_cast<UINT>(body.size()), &size);
    std::vector<BYTE> file(bytes, bytes + size);
    Tamberkit::FreeBytes(bytes);
    return file;
}

// A visible window whose client area the provider draws on.
class CTestWindow {
public:
    CTestWindow()
    {
        m_hwnd = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
        m_wnd.m_hWnd = m_hwnd;
        Pump(50);
    }
    ~CTestWindow()
    {
        m_wnd.m_hWnd = nullptr;
        DestroyWindow(m_hwnd);
    }
    CWnd* Wnd() { return &m_wnd; }
    COLORREF Pixel(int x, int y)
    {
        HDC dc = GetDC(m_hwnd);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(m_hwnd, dc);
        return c;
    }

private:
    HWND m_hwnd;
    CWnd m_wnd;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 40)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class DesignPreview : public testing::Test {
protected:
    static void SetUpTestSuite() { s_jpeg = MakeJpeg(40, 20, RGB(200, 30, 30)); }

    std::string Write(const char* name, const std::vector<BYTE>& bytes)
    {
        std::wstring path = m_dir.File(std::wstring(name, name + strlen(name)).c_str());
        TestCommon::WriteFileBytes(path, bytes.data(), bytes.size());
        return Narrow(path);
    }

    // The picture's size, or (0, 0) when there is none; -1 when reading
    // raised a framework exception.
    SIZE Read(const std::string& path)
    {
        CBitmap* bitmap = nullptr;
        try {
            bitmap = m_preview.GetPreviewImageFromFile(path.c_str(), m_window.Wnd());
        } catch (CException* e) {
            e->Delete();
            return SIZE{-1, -1};
        }
        BITMAP info = {};
        if (bitmap)
            bitmap->GetBitmap(&info);
        delete bitmap;
        return SIZE{info.bmWidth, info.bmHeight};
    }

    static std::vector<BYTE> s_jpeg;
    TestCommon::CTempDir m_dir;
    CTestWindow m_window;
    CTestMirek m_preview;
};

std::vector<BYTE> DesignPreview::s_jpeg;

bool Is(SIZE size, int w, int h)
{
    return size.cx == w && size.cy == h;
}

}  // namespace

TEST_F(DesignPreview, EveryHeaderVersionYieldsThePicture)
{
    std::vector<BYTE> body = PreviewBody(s_jpeg);
    for (short version : {1000, 1001, 1002, 1003, 1010}) {
        for (bool compressed : {false, true}) {
            SCOPED_TRACE(testing::Message() << version << (compressed ? " compressed" : ""));
            Tamberkit::DesignHeader header;
            header.version = version;
            header.compressed = compressed;
            EXPECT_TRUE(Is(Read(Write("d.kit", DesignFile(header, body))), 40, 20));
        }
    }
    // Below 1000 there is no body and no picture.
    Tamberkit::DesignHeader old;
    old.version = 999;
    EXPECT_TRUE(Is(Read(Write("old.kit", DesignFile(old, body))), 0, 0));
    // A block without the option.
    Block empty;
    empty.GetDictionnary()->Add("title");
    UINT size = 0;
    BYTE* bytes = Tamberkit::StoreBlock(empty, &size);
    std::vector<BYTE> noPreview(bytes, bytes + size);
    Tamberkit::FreeBytes(bytes);
    EXPECT_TRUE(Is(Read(Write("none.kit", DesignFile(Tamberkit::DesignHeader(), noPreview))), 0, 0));
    EXPECT_TRUE(Is(Read(Narrow(m_dir.File(L"missing.kit"))), 0, 0));
}

TEST_F(DesignPreview, TemplateStringOnlyForTplNames)
{
    std::vector<BYTE> body = PreviewBody(s_jpeg);
    Tamberkit::DesignHeader header;
    header.templateName = "A4 template";
    std::vector<BYTE> file = DesignFile(header, body);
    EXPECT_TRUE(Is(Read(Write("DESIGN.TPL", file)), 40, 20));
    // Named otherwise, the template string is taken for the first header
    // string and the rest is misread: no picture, or an archive error.
    SIZE misread = Read(Write("design.kit", file));
    EXPECT_TRUE(Is(misread, 0, 0) || Is(misread, -1, -1));
    // Version 1002 has no template string even in a ".tpl" file.
    header.version = 1002;
    header.templateName = nullptr;
    EXPECT_TRUE(Is(Read(Write("old.tpl", DesignFile(header, body))), 40, 20));
    EXPECT_TRUE(Pardo::IsTemplateName("x.TpL"));
    EXPECT_FALSE(Pardo::IsTemplateName("tpl"));
}

TEST_F(DesignPreview, ArchiveStringEscapes)
{
    std::vector<BYTE> body = PreviewBody(s_jpeg);
    std::string medium(300, 'm'), longer(70000, 'l');
    Tamberkit::DesignHeader header;
    header.title = medium.c_str();   // 0xFF, then a two-byte length
    header.author = longer.c_str();  // 0xFF 0xFFFF, then a four-byte length
    EXPECT_TRUE(Is(Read(Write("long.kit", DesignFile(header, body))), 40, 20));
    header.wideStrings = true;  // 0xFF 0xFFFE: UTF-16, the prefix again
    header.title = "wide";
    EXPECT_TRUE(Is(Read(Write("wide.kit", DesignFile(header, body))), 40, 20));

    // A string that claims more than the file has: end of file, nothing
    // large allocated.
    std::vector<BYTE> cut = {0xE8, 0x03, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b'};
    EXPECT_TRUE(Is(Read(Write("cut.kit", cut)), -1, -1));
    std::vector<BYTE> shortHeader = {0xEB};
    EXPECT_TRUE(Is(Read(Write("short.kit", shortHeader)), -1, -1));
}

TEST_F(DesignPreview, StoredLengthAndStreamAreChecked)
{
    std::vector<BYTE> body = PreviewBody(s_jpeg);
    Tamberkit::DesignHeader header;
    // An absurd length is bounded by what the stream can inflate to.
    header.storedLength = 0xFFFFFFF0u;
    EXPECT_TRUE(Is(Read(Write("huge.kit", DesignFile(header, body))), 40, 20));
    // A length too short: uncompress fails, and nothing half-inflated is used.
    header.storedLength = 20;
    EXPECT_TRUE(Is(Read(Write("small.kit", DesignFile(header, body))), 0, 0));
    // A damaged stream.
    header.storedLength = ~0u;
    std::vector<BYTE> file = DesignFile(header, body);
    for (size_t i = file.size() - 40; i < file.size() - 10; ++i)
        file[i] ^= 0x5A;
    EXPECT_TRUE(Is(Read(Write("damaged.kit", file)), 0, 0));
}

TEST(DesignInflate, UnknownLengthRetriesByTensOfTheFileLength)
{
    std::vector<BYTE> body(1000);
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<BYTE>(i * 7 + i / 13);
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    std::vector<BYTE> packed(packedSize);
    ASSERT_EQ(Z_OK, compress(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size())));

    ULONG inflated = 0;
    int attempts = 0;
    ULONGLONG capacity = 0;
    // 16 * 70 holds the body at once; 16 * 50 does not, 26 * 50 does.
    BYTE* data = Pardo::InflateUnknownLength(packed.data(), packedSize, 70, &inflated, &attempts, &capacity);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(1, attempts);
    EXPECT_EQ(1120u, capacity);
    Pardo::FreeInflated(data);
    data = Pardo::InflateUnknownLength(packed.data(), packedSize, 50, &inflated, &attempts, &capacity);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(2, attempts);
    EXPECT_EQ(1300u, capacity);
    EXPECT_EQ(1000u, inflated);
    EXPECT_EQ(0, memcmp(data, body.data(), body.size()));
    Pardo::FreeInflated(data);
    data = Pardo::InflateUnknownLength(packed.data(), packedSize, 10, &inflated, &attempts, &capacity);
    EXPECT_EQ(10, attempts);  // 96 * 10 < 1000 <= 106 * 10
    Pardo::FreeInflated(data);

    // A stream that is not zlib, or cut short, ends the tries at once.
    std::vector<BYTE> junk(200, 0x33);
    EXPECT_EQ(nullptr, Pardo::InflateUnknownLength(junk.data(), 200, 1, &inflated, &attempts));
    EXPECT_EQ(1, attempts);
    EXPECT_EQ(nullptr, Pardo::InflateUnknownLength(packed.data(), packedSize / 2, 1, &inflated, &attempts));
    EXPECT_LE(attempts, 110);
    // A zero file length cannot size a buffer.
    EXPECT_EQ(nullptr, Pardo::InflateUnknownLength(packed.data(), packedSize, 0, &inflated, &attempts));

    // Known length: bounded by deflate's largest ratio.
    data = Pardo::InflateKnownLength(packed.data(), packedSize, 0xFFFFFFFFu, &inflated);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(1000u, inflated);
    Pardo::FreeInflated(data);
    EXPECT_EQ(nullptr, Pardo::InflateKnownLength(packed.data(), packedSize, 999, &inflated));
}

TEST_F(DesignPreview, DrawnFromTheBoxCornerLongerSideFilling)
{
    std::vector<BYTE> jpeg = MakeJpeg(200, 100, RGB(30, 30, 220));
    Tamberkit::DesignHeader header;
    std::string path = Write("wide.kit", DesignFile(header, PreviewBody(jpeg)));
    m_preview.SetPreviewFile(path.c_str());
    m_preview.DrawPreview(m_window.Wnd(), nullptr, 10, 20, 118, 118);
    // 118 by 59 from (10, 20).
    EXPECT_TRUE(Near(RGB(30, 30, 220), m_window.Pixel(12, 22)));
    EXPECT_TRUE(Near(RGB(30, 30, 220), m_window.Pixel(126, 77)));
    EXPECT_FALSE(Near(RGB(30, 30, 220), m_window.Pixel(60, 82)));
    EXPECT_FALSE(Near(RGB(30, 30, 220), m_window.Pixel(130, 40)));
    // Bitmaps and contexts go back after every paint.
    int before = TestCommon::FreeGdiSlots();
    for (int i = 0; i < 20; ++i)
        m_preview.DrawPreview(m_window.Wnd(), nullptr, 10, 20, 118, 118);
    EXPECT_GE(TestCommon::FreeGdiSlots(), before - 2);

    EXPECT_TRUE(m_preview.isPreviewForFileType(".KIT"));
    for (const char* ext : {".ofd", ".kwk", ".kbf"})
        EXPECT_TRUE(m_preview.isPreviewForFileType(ext));
    EXPECT_FALSE(m_preview.isPreviewForFileType(".tpl"));
    EXPECT_FALSE(m_preview.isPreviewForFileType("kit"));
}

TEST_F(DesignPreview, MutatedHeadersAndBlocksNeverCrash)
{
    std::vector<BYTE> body = PreviewBody(MakeJpeg(8, 8, RGB(0, 128, 0)));
    Tamberkit::DesignHeader v1003, v1001, plain;
    v1001.version = 1001;
    plain.compressed = false;
    std::vector<BYTE> samples[] = {DesignFile(v1003, body), DesignFile(v1001, body), DesignFile(plain, body)};
    TestCommon::CRandom random(0xD351);
    int pictures = 0;
    std::string path = Narrow(m_dir.File(L"m.kit"));
    for (int i = 0; i < 600; ++i) {
        std::vector<BYTE> bytes = samples[i % 3];
        // Mostly the header: cut the sample to its first bytes, mutate,
        // put the rest back.
        size_t keep = bytes.size() > 64 ? 64 : bytes.size();
        std::vector<uint8_t> head(bytes.begin(), bytes.begin() + keep);
        TestCommon::Mutate(head, random);
        head.insert(head.end(), bytes.begin() + keep, bytes.end());
        TestCommon::WriteFileBytes(m_dir.File(L"m.kit"), head.data(), head.size());
        if (Read(path).cx > 0)
            ++pictures;
    }
    EXPECT_GT(pictures, 0);

    // The block parser over memory that ends at a guard page.
    TestCommon::CRandom blockRandom(0xB10C);
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> bytes = body;
        TestCommon::Mutate(bytes, blockRandom);
        TestCommon::CGuardedBuffer guarded(bytes);
        CMemFile memory(const_cast<BYTE*>(guarded.Data()), static_cast<UINT>(guarded.Size()));
        CArchive archive(&memory, CArchive::load);
        Block block;
        try {
            block.GetDictionnary()->Serialize(archive);
            block.GetFixedData(archive);
            block.SetSilentMode(true);
            ISerializeObject* object = new CJpeg;
            block.GetBlockOption("preview", object);
            delete object;
        } catch (CException* e) {
            e->Delete();
        }
        block.FreeData();
    }
}
