// The style manager over packs made in a folder of the test's own: the
// pack list, the choice in the registry, switching, the ".big" companion
// and packs that vanish or break.
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "orvel/host/tests/HostTestUtil.h"
#include "orvel/glyph/Glyph.h"
#include "orvel/host/VersionInfo.h"
#include "orvel/style/StyleManager.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"

using Style::CStyleManager;

namespace {

const wchar_t kOrvelKey[] = L"Software\\Tessaly\\Orvel";

class CountingVessel : public Glyph::IGlyphVessel {
public:
    void InvalidateVesselRect(const RECT*) override { ++invalidated; }
    void RedrawVesselRect(const RECT*) override {}
    void SetVesselCursor(HICON) override {}
    HDC GetVesselDC() override { return nullptr; }
    void ReleaseVesselDC(HDC) override {}
    void AdjustVesselLayout() override {}
    int invalidated = 0;
};

class PlainGlyph : public Glyph::CGlyph {
public:
    Glyph::CSize CalcSize(HDC, int, int, bool) override { return Glyph::CSize(1, 1); }
};

std::vector<Glyph::CGlyph*> g_reset;

class StyleManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CStyleManager::ReleaseInstance();
        m_oldStyleDir = Global().GetStyleDir();
        Global().SetStyleDir(m_dir.Path() + L"\\");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kOrvelKey, L"StyleName");
    }
    void TearDown() override
    {
        CStyleManager::ReleaseInstance();
        CStyleManager::OverrideScreenDpi(0);
        CStyleManager::SetGlyphStyleHandler(nullptr);
        Global().SetStyleDir(m_oldStyleDir);
    }

    static COrvelGlobal& Global() { return COrvelGlobal::GetInstance(); }

    bool AddPack(const wchar_t* file, const std::wstring& name, const std::wstring& marker,
                 bool pictures = false)
    {
        TestSupport::SPackSource source;
        source.ini = L"[Config]\r\nMarker=" + marker + L"\r\n";
        source.strings[0][101] = name;
        source.strings[0x0409][101] = name + L" (English)";
        if (pictures) {
            source.bitmaps.push_back({L"Pic_small.bmp", 8, 6, nullptr, RGB(255, 0, 0)});
            source.bitmaps.push_back({L"Pic_demo.bmp", 40, 30, nullptr, RGB(0, 0, 255)});
        }
        std::wstring error;
        bool made = TestSupport::MakePack(m_dir.File(file), source, &error);
        EXPECT_TRUE(made) << error;
        return made;
    }

    static std::wstring Marker()
    {
        return CStyleManager::GetStyleInstance().GetConfig().GetString(L"Config", L"Marker");
    }

    static std::wstring StoredName()
    {
        wchar_t name[64] = {};
        DWORD size = sizeof(name);
        RegGetValueW(HKEY_LOCAL_MACHINE, kOrvelKey, L"StyleName", RRF_RT_REG_SZ, nullptr, name,
                     &size);
        return name;
    }

    static void SetStoredName(const wchar_t* name)
    {
        ASSERT_EQ(Global().RegWriteString(HKEY_LOCAL_MACHINE, kOrvelKey, L"StyleName", name),
                  ERROR_SUCCESS);
    }

    // The file the file system lists first among names.
    std::wstring FirstListed(std::initializer_list<const wchar_t*> names)
    {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(m_dir.File(L"*.spk").c_str(), &found);
        std::wstring first;
        if (find == INVALID_HANDLE_VALUE)
            return first;
        do {
            for (const wchar_t* name : names)
                if (first.empty() && lstrcmpiW(found.cFileName, name) == 0)
                    first = name;
        } while (first.empty() && FindNextFileW(find, &found));
        FindClose(find);
        return first;
    }

    TestCommon::CTempDir m_dir;
    HostTest::CRegistryCleanup m_key{kOrvelKey};
    std::wstring m_oldStyleDir;
};

}  // namespace

TEST_F(StyleManagerTest, ListKeepsFirstOfEachNameAndFindsWithoutCase)
{
    ASSERT_TRUE(AddPack(L"a.spk", L"Blue", L"a", true));
    ASSERT_TRUE(AddPack(L"b.spk", L"BLUE", L"b"));
    ASSERT_TRUE(AddPack(L"c.spk", L"Green", L"c"));
    ASSERT_TRUE(TestCommon::WriteFileBytes(m_dir.File(L"junk.spk"), "not a module", 12));
    ASSERT_TRUE(AddPack(L"d.spkx", L"Other", L"d"));

    CStyleManager& manager = CStyleManager::GetInstance();
    EXPECT_EQ(manager.GetCurrentName(), L"ZQ2009");
    // "ZQ2009" is not there: the first pack listed is loaded.
    ASSERT_TRUE(manager.LoadCurrentStyle());
    ASSERT_EQ(manager.GetStyleCount(), 2);
    EXPECT_EQ(manager.FindStyle(manager.GetCurrentName().c_str()), 0);
    EXPECT_EQ(manager.GetStyleAt(2), nullptr);
    EXPECT_EQ(manager.GetStyleAt(-1), nullptr);

    int blue = manager.FindStyle(L"bLuE");
    ASSERT_GE(blue, 0);
    const Style::SZqStyle* record = manager.GetStyleAt(blue);
    EXPECT_STREQ(record->name, L"blue");
    const std::wstring first = FirstListed({L"a.spk", L"b.spk"});
    EXPECT_EQ(std::wstring(record->path), m_dir.File(first.c_str()));
    EXPECT_EQ(record->smallPicture != nullptr, first == L"a.spk");
    EXPECT_EQ(record->demoPicture != nullptr, first == L"a.spk");
    if (record->smallPicture) {
        BITMAP bitmap = {};
        GetObjectW(record->smallPicture, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 8);
    }
    EXPECT_EQ(manager.FindStyle(L"GREEN"), 1 - blue);
    EXPECT_EQ(manager.FindStyle(L""), -1);
    EXPECT_EQ(manager.FindStyle(nullptr), -1);
    EXPECT_EQ(manager.FindStyle(L"Other"), -1);

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 5, L"item");
    EXPECT_TRUE(manager.BuildStyleMenu(menu, 100));
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    DestroyMenu(menu);
}

TEST_F(StyleManagerTest, SelectSavesChoiceAndResetsGlyphs)
{
    ASSERT_TRUE(AddPack(L"blue.spk", L"Blue", L"blue"));
    ASSERT_TRUE(AddPack(L"green.spk", L"Green", L"green"));
    SetStoredName(L"green");
    CStyleManager& manager = CStyleManager::GetInstance();
    EXPECT_EQ(manager.GetCurrentName(), L"green");
    EXPECT_EQ(Marker(), L"green");
    // The name the pack gives replaces the stored spelling once loaded.
    EXPECT_EQ(manager.GetCurrentName(), L"Green");

    g_reset.clear();
    CStyleManager::SetGlyphStyleHandler([](Glyph::CGlyph* glyph) { g_reset.push_back(glyph); });
    CountingVessel vessel;
    PlainGlyph glyph;
    glyph.SetVessel(&vessel);

    EXPECT_EQ(manager.SelectStyle(L"GREEN"), 0);
    EXPECT_EQ(manager.SelectStyle(nullptr), 0);
    EXPECT_TRUE(g_reset.empty());
    EXPECT_EQ(vessel.invalidated, 0);

    EXPECT_EQ(manager.SelectStyle(L"BLUE"), 1);
    EXPECT_EQ(Marker(), L"blue");
    EXPECT_EQ(StoredName(), L"BLUE");
    EXPECT_EQ(manager.GetCurrentName(), L"Blue");
    EXPECT_NE(std::find(g_reset.begin(), g_reset.end(), &glyph), g_reset.end());
    EXPECT_GE(vessel.invalidated, 1);
}

TEST_F(StyleManagerTest, NotifyAndLanguageReload)
{
    ASSERT_TRUE(AddPack(L"blue.spk", L"Blue", L"blue"));
    ASSERT_TRUE(AddPack(L"green.spk", L"Green", L"green"));
    SetStoredName(L"Blue");
    CStyleManager& manager = CStyleManager::GetInstance();
    EXPECT_EQ(Marker(), L"blue");

    SetStoredName(L"Green");
    EXPECT_EQ(Marker(), L"blue");
    EXPECT_TRUE(NotifyStyleChanged());
    EXPECT_EQ(Marker(), L"green");

    // A new language re-reads the names shown in the list.
    manager.SetCurrentLang(0x0409);
    int green = manager.FindStyle(L"green");
    ASSERT_GE(green, 0);
    EXPECT_STREQ(manager.GetStyleAt(green)->showName, L"Green (English)");
    EXPECT_TRUE(manager.IsStyleLoaded());
}

TEST_F(StyleManagerTest, BigCompanionOnDenseScreens)
{
    ASSERT_TRUE(AddPack(L"a.spk", L"Blue", L"normal"));
    ASSERT_TRUE(AddPack(L"a.spk.big", L"Blue", L"big"));
    SetStoredName(L"Blue");
    CStyleManager& manager = CStyleManager::GetInstance();

    CStyleManager::OverrideScreenDpi(96);
    ASSERT_TRUE(manager.LoadCurrentStyle());
    EXPECT_EQ(Marker(), L"normal");
    CStyleManager::OverrideScreenDpi(144);
    ASSERT_TRUE(manager.LoadCurrentStyle());
    EXPECT_EQ(Marker(), L"big");
    EXPECT_EQ(manager.GetStyleCount(), 1);

    // A broken companion falls back to the pack itself.
    CStyleManager::ReleaseInstance();
    ASSERT_TRUE(TestCommon::WriteFileBytes(m_dir.File(L"a.spk.big"), "broken", 6));
    ASSERT_TRUE(CStyleManager::GetInstance().LoadCurrentStyle());
    EXPECT_EQ(Marker(), L"normal");
}

TEST_F(StyleManagerTest, VanishedOrBrokenPackLoadsNothing)
{
    ASSERT_TRUE(AddPack(L"only.spk", L"Only", L"only"));
    ASSERT_TRUE(CStyleManager::GetInstance().LoadCurrentStyle());
    CStyleManager::ReleaseInstance();

    ASSERT_TRUE(TestCommon::WriteFileBytes(m_dir.File(L"only.spk"), "MZ broken", 9));
    CStyleManager& manager = CStyleManager::GetInstance();
    EXPECT_FALSE(manager.LoadCurrentStyle());
    EXPECT_FALSE(manager.IsStyleLoaded());
    EXPECT_EQ(manager.GetStyleCount(), 0);
    EXPECT_FALSE(NotifyStyleChanged());

    ASSERT_TRUE(DeleteFileW(m_dir.File(L"only.spk").c_str()));
    EXPECT_FALSE(manager.LoadCurrentStyle());
    // Asking for the style still works; it just holds no pack.
    EXPECT_EQ(static_cast<HINSTANCE>(CStyleManager::GetStyleInstance()), nullptr);
    EXPECT_EQ(manager.SelectStyle(L"Elsewhere"), 1);
    EXPECT_FALSE(manager.IsStyleLoaded());
}

TEST_F(StyleManagerTest, InitialisationLoadsTheShippedPack)
{
    CStyleManager::ReleaseInstance();
    COrvelGlobal& global = Global();
    ASSERT_TRUE(global.Initialize(GetModuleHandleW(L"Orvel.dll")));
    EXPECT_EQ(global.GetStyleDir(), HostTest::RuntimeDir() + L"Style\\");
    EXPECT_TRUE(CStyleManager::GetInstance().IsStyleLoaded());
    EXPECT_EQ(CStyleManager::GetInstance().GetCurrentName(), L"ZQ2009");
    EXPECT_NE(GetVersionInfo(), nullptr);
    EXPECT_NE(global.GetLangModule(), nullptr);
    EXPECT_EQ(global.GetInstallDir(), HostTest::RuntimeDir());
    IVersionInfo* info = GetVersionInfoEx();
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->GetVersionText().empty());
    info->Release();
    EXPECT_TRUE(SetLanguageID(0x0804));
    EXPECT_EQ(global.GetLangID(), 0x0804);
    EXPECT_EQ(CStyleManager::GetInstance().GetCurrentLang(), 0x0804);
    EXPECT_TRUE(SetLanguageID(0x0409));
}
