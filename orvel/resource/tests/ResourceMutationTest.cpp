// Bounded mutation runs over the resource parsers: mutated menu templates,
// bitmap headers, string blocks, dialog templates and group directories
// must never make a parser read past the resource (the guard page faults).
#include <gtest/gtest.h>

#include "ResourceTestUtil.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"

using namespace Resource;
using namespace ResourceTest;

namespace {

template <class Parse>
void MutationRun(const std::vector<std::vector<uint8_t>>& samples, uint32_t seed, int cases,
                 Parse parse)
{
    TestCommon::CRandom random(seed);
    for (int i = 0; i < cases; ++i) {
        std::vector<uint8_t> bytes = samples[random.Below(uint32_t(samples.size()))];
        TestCommon::Mutate(bytes, random);
        // Header fields are where the damage is: hit the first bytes often.
        if (!bytes.empty() && random.Below(2))
            bytes[random.Below(uint32_t(std::min<size_t>(bytes.size(), 48)))] =
                static_cast<uint8_t>(random.Next());
        TestCommon::CGuardedBuffer guarded(bytes);
        parse(guarded.Data(), DWORD(guarded.Size()));
    }
}

}  // namespace

TEST(ResourceMutation, MenuTemplates)
{
    std::vector<uint8_t> nested;
    Append(nested, DWORD{0});
    Append(nested, static_cast<WORD>(MF_POPUP));
    AppendText(nested, L"A");
    Append(nested, static_cast<WORD>(MF_POPUP | MF_END));
    AppendText(nested, L"B");
    Append(nested, static_cast<WORD>(MF_END));
    Append(nested, WORD{7});
    AppendText(nested, L"C");
    Append(nested, static_cast<WORD>(MF_END));
    Append(nested, WORD{8});
    AppendText(nested, L"D");
    int built = 0;
    MutationRun({MakeMenuTemplate(), nested}, 20240611, 3000, [&](const uint8_t* data, DWORD size) {
        if (HMENU menu = CResourceReader::CreateMenuFromTemplate(data, size)) {
            ++built;
            DestroyMenu(menu);
        }
    });
    EXPECT_GT(built, 0);
}

TEST(ResourceMutation, BitmapHeaders)
{
    std::vector<std::vector<uint8_t>> samples = {
        MakeDib(40, 1), MakeDib(40, 4), MakeDib(40, 8, 2), MakeDib(40, 16, 0, BI_BITFIELDS),
        MakeDib(40, 24), MakeDib(124, 32), MakeDib(12, 8), MakeDib(12, 24)};
    int built = 0;
    MutationRun(samples, 7, 3000, [&](const uint8_t* data, DWORD size) {
        auto header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
        if (size >= sizeof(BITMAPINFOHEADER)) {
            CResourceReader::GetBitmapOffsetBits(header);
            int w, h;
            CResourceReader::GetBitmapDimensions(header, w, h);
        }
        if (HBITMAP bitmap = CResourceReader::CreateBitmapFromPacked(data, size)) {
            ++built;
            DeleteObject(bitmap);
        }
    });
    EXPECT_GT(built, 0);
}

TEST(ResourceMutation, StringBlocksDialogsAndGroups)
{
    std::vector<uint8_t> icon = TestSupport::MakeIconFile({16}, false);
    // The group directory the writer makes: header plus 14-byte entries.
    std::vector<uint8_t> group(icon.begin(), icon.begin() + 6 + 14);
    MutationRun({MakeStringBlock({L"a", L"bc", L"", L"def"})}, 11, 2000,
                [](const uint8_t* data, DWORD size) {
                    std::wstring text;
                    for (UINT i = 0; i < 16; ++i)
                        CResourceReader::ReadStringFromBlock(data, size, i, text);
                });
    int sound = 0;
    MutationRun({MakeDialogTemplate()}, 13, 2000, [&](const uint8_t* data, DWORD size) {
        sound += CResourceReader::IsSoundDialogTemplate(data, size);
    });
    EXPECT_GT(sound, 0);
    MutationRun({group}, 17, 1000, [](const uint8_t* data, DWORD size) {
        CResourceReader::IsSoundGroupDirectory(data, size);
    });
}
