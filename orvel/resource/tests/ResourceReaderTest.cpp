#include <gtest/gtest.h>

#include "ResourceTestUtil.h"
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/resource/ResourceUpdate.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"
#include "tools/spkc/PackBuilder.h"

using namespace Resource;
using namespace ResourceTest;

namespace {

TestSupport::SPackSource SampleSource()
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\nIsSimple=false\r\n[PushButton]\r\nImageFile=Button.bmp\r\n";
    TestSupport::SPackBitmap button;
    button.name = L"Button.bmp";
    button.width = 6;
    button.height = 3;
    button.pixel = [](int x, int y) { return x == 0 && y == 0 ? kMark : kFill; };
    source.bitmaps.push_back(button);
    source.cursors.push_back({L"Hand.cur", 32, {5, 7}});
    source.icons.push_back({L"App.ico", {16, 32}});
    source.strings[0] = {{101, L"zq2009"}, {1, L"one"}};
    source.strings[0x0409] = {{101, L"Blue Day"}};
    source.strings[0x0804] = {{101, L"Blue Day (zh)"}, {17, L"seventeen"}};
    return source;
}

// A module holding exactly the given resources, written with the writer.
class CModule {
public:
    CModule() : m_strPath(m_dir.File(L"module.dll"))
    {
        EXPECT_TRUE(Spk::WriteEmptyModule(m_strPath));
        EXPECT_TRUE(m_hUpdate.BeginUpdate(m_strPath.c_str(), true));
    }
    void Add(WORD language, const wchar_t* type, const wchar_t* name,
             const std::vector<uint8_t>& bytes)
    {
        EXPECT_TRUE(m_hUpdate.Update(language, type, name, bytes.data(),
                                    static_cast<DWORD>(bytes.size())));
    }
    const std::wstring& Finish()
    {
        EXPECT_TRUE(m_hUpdate.EndUpdate());
        return m_strPath;
    }

private:
    TestCommon::CTempDir m_dir;
    std::wstring m_strPath;
    CResourceUpdate m_hUpdate;
};

}  // namespace

TEST(ResourceReader, PackRoundTripThroughTheCompiler)
{
    TestSupport::CTestPack pack(SampleSource());
    ASSERT_TRUE(pack.Ok()) << std::string(pack.Error().begin(), pack.Error().end());
    {
        CResourceReader reader;
        EXPECT_EQ(reader.GetLangID(), 0x0400);
        ASSERT_TRUE(reader.Open(pack.Path().c_str()));

        CIniReader ini;
        ASSERT_TRUE(ini.LoadFromResource(reader, L"INIFILES", L"STYLE.INI"));
        EXPECT_EQ(ini.GetString(L"PushButton", L"ImageFile"), L"Button.bmp");
        EXPECT_FALSE(ini.LoadFromResource(reader, L"INIFILES", L"OTHER.INI"));

        // Internal name in the neutral language, shown names in the others.
        EXPECT_EQ(reader.ReadStringWithLang(101, 0), L"zq2009");
        EXPECT_EQ(reader.ReadStringWithLang(101, 0x0804), L"Blue Day (zh)");
        EXPECT_EQ(reader.ReadStringWithLang(17, 0x0804), L"seventeen");
        EXPECT_EQ(reader.ReadStringWithLang(102, 0x0804), L"");
        EXPECT_FALSE(reader.SetLangID(0x0400));
        EXPECT_TRUE(reader.SetLangID(0x0409));
        std::wstring text;
        ASSERT_TRUE(reader.ReadString(101, text));
        EXPECT_EQ(text, L"Blue Day");
        EXPECT_FALSE(reader.ReadString(17, text));  // only in 0x0804

        DWORD size = 0;
        auto stamp = static_cast<const SYSTEMTIME*>(
            reader.ReadCustomData(MAKEINTRESOURCEW(256), MAKEINTRESOURCEW(1), &size));
        ASSERT_NE(stamp, nullptr);
        EXPECT_EQ(size, 16u);
        SYSTEMTIME now;
        GetSystemTime(&now);
        EXPECT_EQ(stamp->wYear, now.wYear);

        // File name in upper case is the resource name; lookups ignore case.
        HBITMAP bitmap = reader.ReadBitmap(L"Button.bmp");
        ASSERT_NE(bitmap, nullptr);
        BITMAP info;
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 6);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_EQ(PixelOf(bitmap, 0, 0), kMark);
        EXPECT_EQ(PixelOf(bitmap, 5, 2), kFill);
        DeleteObject(bitmap);
        EXPECT_EQ(reader.ReadBitmap(L"MISSING.BMP"), nullptr);

        HCURSOR cursor = reader.ReadCursor(L"HAND.CUR", 32, 32);
        ASSERT_NE(cursor, nullptr);
        ICONINFO iconInfo;
        ASSERT_TRUE(GetIconInfo(cursor, &iconInfo));
        EXPECT_FALSE(iconInfo.fIcon);
        EXPECT_EQ(iconInfo.xHotspot, 5u);
        EXPECT_EQ(iconInfo.yHotspot, 7u);
        DeleteObject(iconInfo.hbmColor);
        DeleteObject(iconInfo.hbmMask);
        DestroyCursor(cursor);

        HICON icon = reader.ReadIcon(L"APP.ICO", 16, 16);
        ASSERT_NE(icon, nullptr);
        ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
        BITMAP mask;
        GetObjectW(iconInfo.hbmColor ? iconInfo.hbmColor : iconInfo.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 16);
        DeleteObject(iconInfo.hbmColor);
        DeleteObject(iconInfo.hbmMask);
        EXPECT_TRUE(DestroyIcon(icon));
        EXPECT_EQ(reader.ReadIcon(L"HAND.CUR"), nullptr);
    }
}

TEST(ResourceReader, OwnsOneModuleAtATime)
{
    CModule module;
    const std::wstring& path = module.Finish();
    CResourceReader reader;
    EXPECT_EQ(static_cast<HINSTANCE>(reader), nullptr);
    EXPECT_EQ(reader.ReadCustomData(MAKEINTRESOURCEW(256), MAKEINTRESOURCEW(1)), nullptr);
    ASSERT_TRUE(reader.Open(path.c_str()));
    HINSTANCE first = reader;
    HINSTANCE detached = reader.Detch();
    EXPECT_EQ(detached, first);
    EXPECT_EQ(static_cast<HINSTANCE>(reader), nullptr);
    reader.Attach(detached);
    EXPECT_EQ(static_cast<HINSTANCE>(reader), first);
    // A failed open still frees the module held before.
    EXPECT_FALSE(reader.Open(L"Z:\\no\\such\\pack.spk"));
    EXPECT_EQ(static_cast<HINSTANCE>(reader), nullptr);
}

TEST(ResourceReader, LooksUpOnlyTheReadersLanguageOrNeutral)
{
    CModule module;
    std::vector<uint8_t> ini = TestCommon::Utf16Bytes(L"[A]\r\nk=v\r\n", true);
    module.Add(0x0804, L"INIFILES", L"STYLE.INI", ini);
    module.Add(0, L"INIFILES", L"COMMON.INI", ini);
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.Finish().c_str()));
    reader.SetLangID(0x0409);
    CIniReader found;
    EXPECT_FALSE(found.LoadFromResource(reader, L"INIFILES", L"STYLE.INI"));
    EXPECT_TRUE(found.LoadFromResource(reader, L"INIFILES", L"COMMON.INI"));
    reader.SetLangID(0x0804);
    EXPECT_TRUE(found.LoadFromResource(reader, L"INIFILES", L"STYLE.INI"));
}

TEST(ResourceReader, BitmapFormatsHaveTheirBitsAtTheRightOffset)
{
    struct SCase {
        DWORD header;
        WORD bits;
        DWORD colorsUsed;
        DWORD compression;
        DWORD offset;
    } cases[] = {
        {40, 1, 0, BI_RGB, 40 + 8},
        {40, 4, 0, BI_RGB, 40 + 64},
        {40, 8, 0, BI_RGB, 40 + 1024},
        {40, 8, 2, BI_RGB, 40 + 8},
        {40, 16, 0, BI_BITFIELDS, 40 + 12},
        {40, 16, 0, BI_RGB, 40},
        {40, 24, 0, BI_RGB, 40},
        {40, 32, 0, BI_RGB, 40},
        {40, 32, 0, BI_BITFIELDS, 40 + 12},
        {108, 16, 0, BI_BITFIELDS, 108},
        {124, 24, 0, BI_RGB, 124},
        {12, 8, 0, BI_RGB, 12 + 768},
        {12, 1, 0, BI_RGB, 12 + 6},
        {12, 24, 0, BI_RGB, 12},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "header " << c.header << " bits " << c.bits
                                        << " used " << c.colorsUsed);
        std::vector<uint8_t> dib = MakeDib(c.header, c.bits, c.colorsUsed, c.compression);
        auto header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
        EXPECT_EQ(CResourceReader::GetBitmapOffsetBits(header), c.offset);
        EXPECT_EQ(CResourceReader::GetBitmapHeaderSize(header), c.header);
        int width = 0, height = 0;
        EXPECT_TRUE(CResourceReader::GetBitmapDimensions(header, width, height));
        EXPECT_EQ(width, 4);
        EXPECT_EQ(height, 2);

        HBITMAP bitmap = CResourceReader::CreateBitmapFromPacked(dib.data(),
                                                                 static_cast<DWORD>(dib.size()));
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(PixelOf(bitmap, 0, 0), kMark);
        EXPECT_EQ(PixelOf(bitmap, 1, 0), kFill);
        EXPECT_EQ(PixelOf(bitmap, 3, 1), kFill);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(CResourceReader::GetBitmapLineWidthInBytes(3, 24), 12u);
    EXPECT_EQ(CResourceReader::GetBitmapLineWidthInBytes(33, 1), 8u);
    BITMAPINFOHEADER empty = {};
    int w, h;
    EXPECT_FALSE(CResourceReader::GetBitmapDimensions(&empty, w, h));
    EXPECT_EQ(CResourceReader::GetBitmapOffsetBits(&empty), 0u);
}

TEST(ResourceReader, BitmapsShorterThanTheirHeadersClaimAreRefused)
{
    std::vector<uint8_t> dib = MakeDib(40, 8);
    // Pixels cut short, colour table cut short, header cut short.
    for (size_t size : {dib.size() - 1, size_t{40 + 1000}, size_t{39}, size_t{3}}) {
        std::vector<uint8_t> cut(dib.begin(), dib.begin() + size);
        TestCommon::CGuardedBuffer guarded(cut);
        EXPECT_EQ(CResourceReader::CreateBitmapFromPacked(guarded.Data(), DWORD(size)), nullptr)
            << size;
    }
    // A colours-used count that puts the bits far beyond the data.
    reinterpret_cast<BITMAPINFOHEADER*>(dib.data())->biClrUsed = 0x40000000;
    EXPECT_FALSE(CResourceReader::IsSoundPackedBitmap(dib.data(), DWORD(dib.size())));
    // The offset saturates instead of wrapping around to a small value.
    EXPECT_EQ(CResourceReader::GetBitmapOffsetBits(
                  reinterpret_cast<BITMAPINFOHEADER*>(dib.data())),
              MAXDWORD);

    CModule module;
    std::vector<uint8_t> shortDib = MakeDib(40, 24);
    shortDib.resize(shortDib.size() - 2);
    module.Add(0, RT_BITMAP, L"SHORT.BMP", shortDib);
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.Finish().c_str()));
    EXPECT_EQ(reader.ReadBitmap(L"SHORT.BMP"), nullptr);
}

TEST(ResourceReader, MenuWithAPopUpOfThreeEntries)
{
    CModule module;
    module.Add(0, RT_MENU, L"MAIN", MakeMenuTemplate());
    std::vector<uint8_t> extended = MakeMenuTemplate();
    extended[0] = 1;  // extended template version
    module.Add(0, RT_MENU, L"EXTENDED", extended);
    std::vector<uint8_t> truncated = MakeMenuTemplate();
    truncated.resize(truncated.size() - 4);  // last text loses its terminator
    module.Add(0, RT_MENU, L"TRUNCATED", truncated);
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.Finish().c_str()));

    HMENU menu = reader.ReadMenu(L"MAIN");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    wchar_t text[32];
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&File");
    EXPECT_EQ(GetMenuItemID(popup, 0), 101u);
    EXPECT_EQ(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(popup, 2), 102u);
    EXPECT_TRUE(GetMenuState(popup, 2, MF_BYPOSITION) & MF_GRAYED);
    GetMenuStringW(popup, 2, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Close");
    DestroyMenu(menu);

    EXPECT_EQ(reader.ReadMenu(L"EXTENDED"), nullptr);
    EXPECT_EQ(reader.ReadMenu(L"TRUNCATED"), nullptr);
    EXPECT_EQ(reader.ReadMenu(L"MISSING"), nullptr);
}

TEST(ResourceReader, DialogFromTemplate)
{
    CModule module;
    module.Add(0, RT_DIALOG, L"TEST", MakeDialogTemplate());
    std::vector<uint8_t> truncated = MakeDialogTemplate();
    truncated.resize(truncated.size() - 6);  // the item's title is cut
    module.Add(0, RT_DIALOG, L"TRUNCATED", truncated);
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.Finish().c_str()));

    auto proc = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    HWND dialog = reader.CreateDialogParamW(L"TEST", nullptr, proc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND button = GetDlgItem(dialog, 1000);
    ASSERT_NE(button, nullptr);
    wchar_t text[16];
    GetWindowTextW(button, text, 16);
    EXPECT_STREQ(text, L"OK");
    DestroyWindow(dialog);
    EXPECT_EQ(reader.CreateDialogParamW(L"TRUNCATED", nullptr, proc, 0), nullptr);
    EXPECT_EQ(reader.CreateDialogParamW(L"MISSING", nullptr, proc, 0), nullptr);
}

TEST(ResourceReader, StringBlocksWithLengthsPastTheEnd)
{
    std::vector<uint8_t> block = MakeStringBlock({L"", L"one", L"two"});
    std::wstring text;
    EXPECT_TRUE(CResourceReader::ReadStringFromBlock(block.data(), DWORD(block.size()), 2, text));
    EXPECT_EQ(text, L"two");
    EXPECT_FALSE(CResourceReader::ReadStringFromBlock(block.data(), DWORD(block.size()), 0, text));
    // Entry 1 claims 200 characters: it and everything after it are unreadable.
    block[2] = 200;
    TestCommon::CGuardedBuffer guarded(block);
    EXPECT_FALSE(CResourceReader::ReadStringFromBlock(guarded.Data(), DWORD(guarded.Size()), 1, text));
    EXPECT_FALSE(CResourceReader::ReadStringFromBlock(guarded.Data(), DWORD(guarded.Size()), 5, text));

    CModule module;
    module.Add(0, RT_STRING, MAKEINTRESOURCEW(1), block);
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.Finish().c_str()));
    EXPECT_FALSE(reader.ReadString(1, text));
    EXPECT_EQ(reader.ReadStringWithLang(2, 0), L"");
}
