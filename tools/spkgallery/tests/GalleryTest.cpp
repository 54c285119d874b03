// The gallery draws what a pack defines, state by state, onto the sheet of
// the control painting it; the reference in docs/ is what the code's tables
// say today.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <sstream>
#include "orvel/style/Style.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"
#include "tools/spkgallery/Gallery.h"
#include "tools/spkgallery/Reference.h"

namespace {

using Style::CStyle;

constexpr COLORREF kStateColours[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220)};
constexpr COLORREF kOtherColour = RGB(250, 200, 0);

int Count(const Screenshot::SPixels& pixels, COLORREF colour)
{
    // Sheet pixels are 0x00RRGGBB.
    const DWORD wanted = (DWORD(GetRValue(colour)) << 16) | (DWORD(GetGValue(colour)) << 8) | GetBValue(colour);
    int count = 0;
    for (DWORD pixel : pixels.bits)
        count += pixel == wanted;
    return count;
}

const Gallery::SSheet* Find(const std::vector<Gallery::SSheet>& sheets, const std::wstring& name)
{
    for (const Gallery::SSheet& sheet : sheets)
        if (sheet.name == name)
            return &sheet;
    return nullptr;
}

// Three colour states on a push button, one on a kind no control paints:
// each state shows at each of the three sizes, on the sheet it belongs to,
// and kinds the pack lacks get no sheet.
TEST(Gallery, EveryStateOfEveryDefinedKindOnItsControlsSheet)
{
    TestSupport::SPackSource source;
    source.ini =
        L"[Back@PushButton]\nType=FillColor\nStateCount=3\nBorderSize=0\n"
        L"FillColor0=200,0,0\nFillColor1=0,160,0\nFillColor2=0,0,220\n"
        L"[Back@Slide]\nType=FillColor\nStateCount=1\nBorderSize=0\nFillColor=250,200,0\n";
    TestSupport::CTestPack pack(source);
    ASSERT_TRUE(pack.Ok()) << pack.Error();
    CStyle style;
    ASSERT_TRUE(style.Load(pack.Path().c_str()));

    std::vector<Gallery::SSheet> sheets = Gallery::RenderGallery(style, L"Test");
    ASSERT_EQ(sheets.size(), 2u);
    const Gallery::SSheet* buttons = Find(sheets, L"CPushButton");
    const Gallery::SSheet* other = Find(sheets, L"Other");
    ASSERT_TRUE(buttons);
    ASSERT_TRUE(other);

    // Five states are painted (the table's count), each at every size;
    // the two the pack lacks draw as state 0.
    const int green = Count(buttons->pixels, kStateColours[1]);
    EXPECT_GT(green, 0);
    EXPECT_EQ(Count(buttons->pixels, kStateColours[2]), green);
    EXPECT_EQ(Count(buttons->pixels, kStateColours[0]), 3 * green);
    EXPECT_EQ(Count(buttons->pixels, kOtherColour), 0);
    EXPECT_GT(Count(other->pixels, kOtherColour), 0);
}

TEST(Gallery, WritesOneSheetPerControlOfAShippedPack)
{
    TestCommon::CTempDir folder;
    std::vector<std::wstring> written;
    std::wstring error;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring pack = self;
    pack = pack.substr(0, pack.find_last_of(L'\\') + 1) + L"Style\\ZQ2009.spk.big";
    ASSERT_TRUE(Gallery::WriteGallery(pack, folder.Path(), written, error)) << error;
    EXPECT_GE(written.size(), 10u);
    for (const std::wstring& path : written) {
        SCOPED_TRACE(path);
        EXPECT_NE(path.find(L"\\ZQ2009_big_"), std::wstring::npos);
        Screenshot::SPixels pixels;
        EXPECT_TRUE(Screenshot::LoadPicture(path, pixels));
        EXPECT_GT(pixels.width, 0);
    }

    // A source folder is compiled first; its sheets are named after it.
    TestSupport::SPackSource source;
    source.ini = L"[Back@Edit]\nType=FillColor\nStateCount=1\nFillColor=10,20,30\n";
    const std::wstring sources = folder.File(L"Mine.big");
    CreateDirectoryW(sources.c_str(), nullptr);
    ASSERT_TRUE(TestSupport::WriteSources(sources, source, error)) << error;
    written.clear();
    ASSERT_TRUE(Gallery::WriteGallery(sources + L"\\", folder.Path(), written, error)) << error;
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], folder.File(L"Mine_big_CEdit.png"));

    EXPECT_FALSE(Gallery::WriteGallery(folder.Path() + L"\\missing.spk", folder.Path(), written, error));
    EXPECT_NE(error.find(L"not a style pack"), std::wstring::npos);
}

// docs/pack-reference.md holds the tables as the code gives them now. When
// this fails, run: scripts/wine-run.sh build/bin/spkgallery.exe --reference docs/pack-reference.md
TEST(Reference, CheckedInTablesAreCurrent)
{
    std::ifstream in(REFERENCE_DOC, std::ios::binary);
    ASSERT_TRUE(in) << "no docs/pack-reference.md";
    std::ostringstream all;
    all << in.rdbuf();
    const std::string document = all.str();
    std::string current = document;
    ASSERT_TRUE(Gallery::ReplaceGenerated(current, Gallery::ReferenceTables()));
    EXPECT_TRUE(current == document) << "docs/pack-reference.md is stale: regenerate it with "
                                        "spkgallery --reference docs/pack-reference.md";
}

TEST(Reference, ReplacesOnlyBetweenTheMarkers)
{
    const std::string begin = Gallery::kReferenceBegin, end = Gallery::kReferenceEnd;
    std::string document = "intro\n" + begin + "\nold\n" + end + "\nafter\n";
    ASSERT_TRUE(Gallery::ReplaceGenerated(document, "new\n"));
    EXPECT_EQ(document, "intro\n" + begin + "\n\nnew\n\n" + end + "\nafter\n");

    std::string reversed = end + "\n" + begin + "\n";
    EXPECT_FALSE(Gallery::ReplaceGenerated(reversed, "new\n"));
    EXPECT_EQ(reversed, end + "\n" + begin + "\n");

    // Every painted kind and every key the checker knows is in the tables.
    const std::string tables = Gallery::ReferenceTables();
    for (const char* word : {"| 52 | PushButton | CPushButton | 5 |", "`TextColor` n", "`SizingMargins`",
                             "`HotBorder`", "| 183 |"})
        EXPECT_EQ(tables.find(word) != std::string::npos, std::string(word) != "| 183 |") << word;
}

}  // namespace
