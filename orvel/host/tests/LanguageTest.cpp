// Language choice: the fallback chain, the module kept on failure, and the
// character set and code page that follow the language.
#include <gtest/gtest.h>
#include <windows.h>
#include <uxtheme.h>
#include "HostTestUtil.h"
#include "orvel/resource/IniReader.h"
#include "tests/common/TestCommon.h"

using HostTest::CTestGlobal;

namespace {

class LanguageFolder {
public:
    LanguageFolder() { CreateDirectoryW((m_dir.Path() + L"\\lang").c_str(), nullptr); }
    const std::wstring& Path() const { return m_dir.Path(); }
    bool Add(WORD language, const std::wstring& text = L"text")
    {
        wchar_t name[32];
        swprintf(name, ARRAYSIZE(name), L"\\lang\\Orvel%04x.lng", language);
        return HostTest::MakeLanguageModule(m_dir.Path() + name, language, {{1001, text}});
    }

private:
    TestCommon::CTempDir m_dir;
};

}  // namespace

TEST(HostLanguage, FallbackChainTakesFirstModuleThatLoads)
{
    LanguageFolder folder;
    {
        CTestGlobal global(folder.Path());
        EXPECT_FALSE(global.SetLangID(0x0419));
        EXPECT_EQ(global.GetLangID(), 2052);
        EXPECT_EQ(global.GetLangModule(), nullptr);
    }
    // Each module added moves the choice one step up the chain.
    const WORD chain[] = {10, 1041, 1028, 1033, 2052};
    for (WORD language : chain) {
        ASSERT_TRUE(folder.Add(language, L"lang " + std::to_wstring(language)));
        CTestGlobal global(folder.Path());
        EXPECT_TRUE(global.SetLangID(0x0419)) << language;
        EXPECT_EQ(global.GetLangID(), language);
        EXPECT_EQ(global.LoadLangString(1001), L"lang " + std::to_wstring(language));
    }
    // The requested language wins when its module is there.
    ASSERT_TRUE(folder.Add(0x0419));
    CTestGlobal global(folder.Path());
    EXPECT_TRUE(global.SetLangID(0x0419));
    EXPECT_EQ(global.GetLangID(), 0x0419);
}

TEST(HostLanguage, FailedChoiceKeepsModuleAndFallsBackTo2052)
{
    LanguageFolder folder;
    ASSERT_TRUE(folder.Add(1041, L"japanese"));
    CTestGlobal global(folder.Path());
    ASSERT_TRUE(global.SetLangID(1041));
    HINSTANCE module = global.GetLangModule();
    ASSERT_NE(module, nullptr);
    // Loaded as data: the handle is marked as a data-file mapping.
    EXPECT_NE(reinterpret_cast<ULONG_PTR>(module) & 3, 0u);

    global.SetLangPattern(L"Missing%04x.lng");
    EXPECT_FALSE(global.SetLangID(1033));
    EXPECT_EQ(global.GetLangID(), 2052);
    EXPECT_EQ(global.GetLangModule(), module);
    EXPECT_EQ(global.LoadLangString(1001), L"japanese");
}

TEST(HostLanguage, CharacterSetAndCodePageFollowLanguage)
{
    LanguageFolder folder;
    struct Case {
        WORD language;
        BYTE charSet;
        UINT codePage;
    } cases[] = {{1028, 136, 950}, {1033, 0, 1252}, {1041, 128, 932}, {2052, 134, 936},
                 {10, 1, 1252}};
    for (const Case& c : cases)
        ASSERT_TRUE(folder.Add(c.language));
    CTestGlobal global(folder.Path());
    for (const Case& c : cases) {
        ASSERT_TRUE(global.SetLangID(c.language));
        EXPECT_EQ(global.GetCharSet(), c.charSet) << c.language;
        EXPECT_EQ(global.GetCodePage(), c.codePage) << c.language;
        // Font defaults of the value syntax take the same set.
        LOGFONTW font = {};
        Resource::CLine(L"Font", L"name:Tahoma,size:9").ReadContentAsFont(font);
        EXPECT_EQ(font.lfCharSet, c.charSet) << c.language;
    }
    global.SetLangID(1033);
}

TEST(HostLanguage, PatternFromModuleName)
{
    EXPECT_EQ(CTestGlobal::PatternFromModulePath(L"C:\\app\\Scanner_x64.exe"), L"Scanner%04x.lng");
    EXPECT_EQ(CTestGlobal::PatternFromModulePath(L"C:\\app\\A_b.dll"), L"A_b%04x.lng");
    EXPECT_EQ(CTestGlobal::PatternFromModulePath(L"C:\\a.b\\Plain"), L"Plain%04x.lng");
    EXPECT_EQ(CTestGlobal::FormatLangPattern(L"Orvel%04x.lng", 0x0804), L"Orvel0804.lng");
    // Nothing but the language field is a format.
    EXPECT_EQ(CTestGlobal::FormatLangPattern(L"100%s_%n%04x.lng", 0x0409), L"100%s_%n0409.lng");

    // An empty pattern at initialisation comes from the module's name.
    // Initialising for the program itself also turns visual themes off.
    SetThemeAppProperties(STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS);
    CTestGlobal global;
    global.SetLangPattern(L"");
    global.Initialize(GetModuleHandleW(nullptr));
    EXPECT_EQ(global.GetLangPattern(), L"orvel%04x.lng");
    EXPECT_EQ(GetThemeAppProperties(), 0u);
}

TEST(HostLanguage, ShippedModulesHoldEveryString)
{
    const UINT ids[] = {1001, 1100, 1101, 20101, 20102, 20103, 20104, 20105, 20106, 20107,
                        61186, 61187, 61190, 61202};
    for (WORD language : {WORD(0x0804), WORD(0x0409)}) {
        CTestGlobal global;
        ASSERT_TRUE(global.SetLangID(language)) << language;
        EXPECT_EQ(global.GetLangID(), language);
        for (UINT id : ids)
            EXPECT_FALSE(global.LoadLangString(id).empty()) << language << " " << id;
    }
    CTestGlobal global;
    ASSERT_TRUE(global.SetLangID(0x0804));
    EXPECT_EQ(global.LoadLangString(20101), L"\u786e\u5b9a");
    global.SetLangID(0x0409);
    EXPECT_EQ(global.LoadLangString(20101), L"OK");
}
