#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <string>
#include "VantrelTestUtil.h"
#include "siblings/vantrel/Drawing.h"
#include "tests/common/TestCommon.h"

using namespace Vantrel;

namespace VantrelTest {

const std::vector<uint8_t>& CadFile(const char* name)
{
    static std::map<std::string, std::vector<uint8_t>> cache;
    auto found = cache.find(name);
    if (found != cache.end())
        return found->second;
    std::vector<uint8_t>& bytes = cache[name];
    std::string path = std::string(CAD_TESTDATA) + "/" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD size = GetFileSize(file, nullptr), read = 0;
        bytes.resize(size);
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size)
            bytes.clear();
        CloseHandle(file);
    }
    return bytes;
}

std::string AsciiDxf(const Groups& groups)
{
    std::string text;
    for (const auto& [code, value] : groups)
        text += std::to_string(code) + "\r\n" + value + "\r\n";
    return text;
}

Groups Section(const char* name, const Groups& body)
{
    Groups g = {{0, "SECTION"}, {2, name}};
    g.insert(g.end(), body.begin(), body.end());
    g.push_back({0, "ENDSEC"});
    return g;
}

Groups Join(std::initializer_list<Groups> parts)
{
    Groups all;
    for (const Groups& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    all.push_back({0, "EOF"});
    return all;
}

void PlayAtBounds(HENHMETAFILE emf, HDC dc)
{
    ENHMETAHEADER header = {};
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    RECT rc = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right, header.rclBounds.bottom};
    PlayEnhMetaFile(dc, emf, &rc);
    GdiFlush();
}

}  // namespace VantrelTest

namespace {

const uint8_t kStart[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28, 0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const uint8_t kEnd[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7, 0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    memcpy(&b[at], &v, 4);
}

// A DWG header that points at a thumbnail block holding the given entries.
std::vector<uint8_t> MakeDwg(const std::vector<std::pair<int, std::vector<uint8_t>>>& entries)
{
    std::vector<uint8_t> b(0x40, 0);
    memcpy(b.data(), "AC1015", 6);
    size_t block = b.size();
    Put32(b, 0x0D, static_cast<uint32_t>(block));
    b.insert(b.end(), kStart, kStart + 16);
    size_t sizeAt = b.size();
    b.resize(b.size() + 4);
    b.push_back(static_cast<uint8_t>(entries.size()));
    size_t table = b.size();
    b.resize(b.size() + 9 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        b[table + 9 * i] = static_cast<uint8_t>(entries[i].first);
        Put32(b, table + 9 * i + 1, static_cast<uint32_t>(b.size()));
        Put32(b, table + 9 * i + 5, static_cast<uint32_t>(entries[i].second.size()));
        b.insert(b.end(), entries[i].second.begin(), entries[i].second.end());
    }
    Put32(b, sizeAt, static_cast<uint32_t>(b.size() - sizeAt - 4));
    b.insert(b.end(), kEnd, kEnd + 16);
    b.resize(b.size() + 32, 0);  // the rest of the drawing
    return b;
}

}  // namespace

TEST(DwgThumbnail, RealFilesCarryTheirStoredPicture)
{
    struct Expect {
        const char* file;
        const char* version;
        int code;
        uint32_t size;
    };
    const Expect expected[] = {{"sample_AC1014.dwg", "AC1014", 2, 13208}, {"sample_AC1018.dwg", "AC1018", 2, 13208},
                               {"sample_AC1032.dwg", "AC1032", 6, 1413},  {"empty.dwg", "AC1032", 6, 883},
                               {"BLOCKFLIPPARAMETER.dwg", "AC1032", 6, 1189}};
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.file);
        const std::vector<uint8_t>& bytes = VantrelTest::CadFile(e.file);
        if (bytes.empty())
            GTEST_SKIP() << "test data not found at " << CAD_TESTDATA;
        SDwgThumbnail thumbnail;
        ASSERT_TRUE(ReadDwgThumbnail(bytes.data(), bytes.size(), thumbnail));
        EXPECT_STREQ(e.version, thumbnail.version);
        const SDwgThumbnail::Entry* entry = thumbnail.Find(e.code);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(e.size, entry->size);
        if (e.code == 2) {
            // A DIB without file header: 8 bits, 256 colours.
            BITMAPINFOHEADER header;
            memcpy(&header, bytes.data() + entry->offset, sizeof header);
            EXPECT_EQ(40u, header.biSize);
            EXPECT_EQ(8, header.biBitCount);
            EXPECT_EQ(entry->size, 40u + 1024u + static_cast<uint32_t>(header.biWidth * header.biHeight));
        } else {
            std::vector<uint8_t> dib = PngToDib(bytes.data() + entry->offset, entry->size);
            ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER header;
            memcpy(&header, dib.data(), sizeof header);
            EXPECT_EQ(24, header.biBitCount);
            EXPECT_GT(header.biWidth, 16);
            EXPECT_GT(header.biHeight, 16);
            EXPECT_EQ(dib.size(), sizeof header + header.biSizeImage);
        }
    }
}

TEST(DwgThumbnail, EntriesMustLieInsideTheBlockAndTheFile)
{
    std::vector<uint8_t> bmp(100, 7), wmf(50, 9);
    std::vector<uint8_t> good = MakeDwg({{1, {1, 2, 3}}, {2, bmp}, {3, wmf}});
    SDwgThumbnail t;
    ASSERT_TRUE(ReadDwgThumbnail(good.data(), good.size(), t));
    ASSERT_EQ(3u, t.entries.size());
    EXPECT_EQ(100u, t.Find(2)->size);
    EXPECT_EQ(7, good[t.Find(2)->offset]);
    EXPECT_EQ(nullptr, t.Find(6));

    // An entry address past the file.
    std::vector<uint8_t> bad = good;
    Put32(bad, 0x40 + 21 + 9 + 1, 0x7FFFFFF0);
    EXPECT_FALSE(ReadDwgThumbnail(bad.data(), bad.size(), t));
    // An entry running past the block's content.
    bad = good;
    Put32(bad, 0x40 + 21 + 9 + 5, 5000);
    EXPECT_FALSE(ReadDwgThumbnail(bad.data(), bad.size(), t));
    // A seeker past the file, a damaged sentinel, an overall size past it.
    bad = good;
    Put32(bad, 0x0D, 0xFFFFFFFF);
    EXPECT_FALSE(ReadDwgThumbnail(bad.data(), bad.size(), t));
    bad = good;
    bad[0x40 + 3] ^= 1;
    EXPECT_FALSE(ReadDwgThumbnail(bad.data(), bad.size(), t));
    bad = good;
    Put32(bad, 0x40 + 16, 0xFFFFFF00);
    EXPECT_FALSE(ReadDwgThumbnail(bad.data(), bad.size(), t));
    // Releases before R13 have no seeker; a file that is not DWG at all.
    bad = good;
    memcpy(bad.data(), "AC1009", 6);
    EXPECT_FALSE(ReadDwgThumbnail(bad.data(), bad.size(), t));
    EXPECT_FALSE(ReadDwgThumbnail(reinterpret_cast<const uint8_t*>("0\nSECTION\n"), 10, t));
}

TEST(DwgThumbnail, MutatedBlocksNeverReadPastTheData)
{
    const std::vector<uint8_t>& real = VantrelTest::CadFile("sample_AC1014.dwg");
    // The header and the thumbnail block (the block ends at 0x3477).
    std::vector<uint8_t> sample = real.size() > 0x3500 ? std::vector<uint8_t>(real.begin(), real.begin() + 0x3500)
                                                        : MakeDwg({{1, {1, 2}}, {2, std::vector<uint8_t>(300, 1)}});
    std::vector<uint8_t> small = MakeDwg({{1, {1, 2, 3}}, {3, std::vector<uint8_t>(40, 2)}, {6, {0x89, 'P'}}});
    TestCommon::CRandom random(0x5EED);
    int accepted = 0;
    for (int i = 0; i < 4000; ++i) {
        std::vector<uint8_t> bytes = i % 2 ? sample : small;
        TestCommon::Mutate(bytes, random);
        // Aim some edits at the seeker and the entry table.
        if (i % 3 == 0 && bytes.size() > 0x80)
            bytes[0x0D + random.Below(0x70)] = static_cast<uint8_t>(random.Next());
        TestCommon::CGuardedBuffer guarded(bytes);
        SDwgThumbnail t;
        if (!ReadDwgThumbnail(guarded.Data(), guarded.Size(), t))
            continue;
        ++accepted;
        unsigned sum = 0;
        for (const auto& entry : t.entries)
            for (uint32_t k = 0; k < entry.size; ++k)
                sum += guarded.Data()[entry.offset + k];
        (void)sum;
    }
    EXPECT_GT(accepted, 0);
}
