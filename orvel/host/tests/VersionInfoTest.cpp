// The version-information object: which file it reads, the menu items it
// finds, and their reference counts.
#include <gtest/gtest.h>
#include "HostTestUtil.h"
#include "orvel/host/VersionInfo.h"
#include "tests/common/TestCommon.h"

using HostTest::CTestGlobal;

namespace {

const wchar_t kMenus[] =
    L"[Tool1]\r\ntype=url\r\nlabel=Site\r\nprompt=Open the site\r\nurl=https://x.example/\r\n"
    L"[Tool2]\r\ntype=EXE\r\nlabel=Tool\r\nprompt=Run it\r\nname=tool.exe\r\n"
    L"[Tool3]\r\ntype=separator\r\nlabel=Not an item\r\n"
    L"[Tool4]\r\ntype=url\r\nlabel=Fourth\r\n"
    L"[Tool6]\r\ntype=url\r\nlabel=After the gap\r\n"
    L"[Help1]\r\ntype=url\r\nlabel=Help\r\n";

std::vector<IVersionMenuItem*> Items(IVersionInfo* info, int kind)
{
    std::vector<IVersionMenuItem*> items;
    IVersionMenuItemEnum* items_enum = nullptr;
    if (FAILED(info->EnumMenuItems(kind, &items_enum)))
        return items;
    IVersionMenuItem* item = nullptr;
    while (items_enum->Next(&item) == S_OK)
        items.push_back(item);
    EXPECT_EQ(item, nullptr);
    items_enum->Release();
    return items;
}

}  // namespace

TEST(HostVersionInfo, MenuItemsFromNumberedSections)
{
    TestCommon::CTempDir dir;
    ASSERT_TRUE(HostTest::MakeVersionModule(dir.File(L"VerInfo0409.cfg"), 0x0409, kMenus, L"9.8.7"));
    CTestGlobal global;
    IVersionInfo* info = nullptr;
    ASSERT_EQ(CVersionInfoObj::Create(&global, dir.Path() + L"\\", 0x0409, &info), S_OK);
    EXPECT_EQ(info->GetVersionText(), L"9.8.7");

    std::vector<IVersionMenuItem*> tools = Items(info, IVersionInfo::kToolMenu);
    // Tool3 is no item; Tool6 lies beyond the gap.
    ASSERT_EQ(tools.size(), 3u);
    EXPECT_EQ(tools[0]->GetKind(), IVersionMenuItem::kUrl);
    EXPECT_EQ(tools[0]->GetLabel(), L"Site");
    EXPECT_EQ(tools[0]->GetPrompt(), L"Open the site");
    EXPECT_EQ(tools[1]->GetKind(), IVersionMenuItem::kExe);
    EXPECT_EQ(tools[2]->GetLabel(), L"Fourth");
    std::vector<IVersionMenuItem*> help = Items(info, IVersionInfo::kHelpMenu);
    ASSERT_EQ(help.size(), 1u);

    IVersionMenuItemEnum* bad = reinterpret_cast<IVersionMenuItemEnum*>(1);
    EXPECT_EQ(info->EnumMenuItems(7, &bad), E_INVALIDARG);
    EXPECT_EQ(bad, nullptr);

    // Items outlive the object and the enumeration that made them.
    EXPECT_EQ(info->Release(), 0u);
    EXPECT_EQ(tools[0]->AddRef(), 2u);
    EXPECT_EQ(tools[0]->Release(), 1u);
    EXPECT_EQ(tools[0]->GetLabel(), L"Site");
    for (IVersionMenuItem* item : tools)
        EXPECT_EQ(item->Release(), 0u);
    help[0]->Release();
}

TEST(HostVersionInfo, LanguageFileFirstThenGenericThenFailure)
{
    TestCommon::CTempDir dir;
    const std::wstring folder = dir.Path() + L"\\";
    CTestGlobal global;
    IVersionInfo* info = reinterpret_cast<IVersionInfo*>(1);
    EXPECT_EQ(CVersionInfoObj::Create(&global, folder, 0x0804, &info), E_FAIL);
    EXPECT_EQ(info, nullptr);

    // The generic file holds neutral resources, found for any language.
    ASSERT_TRUE(HostTest::MakeVersionModule(dir.File(L"VerInfo.cfg"), 0, L"[Help1]\r\ntype=url\r\n",
                                            L"generic"));
    ASSERT_EQ(CVersionInfoObj::Create(&global, folder, 0x0804, &info), S_OK);
    EXPECT_EQ(info->GetVersionText(), L"generic");
    EXPECT_EQ(Items(info, IVersionInfo::kHelpMenu).size(), 1u);
    info->Release();

    ASSERT_TRUE(HostTest::MakeVersionModule(dir.File(L"VerInfo0804.cfg"), 0x0804, L"[Tool1]\r\n",
                                            L"chinese"));
    ASSERT_EQ(CVersionInfoObj::Create(&global, folder, 0x0804, &info), S_OK);
    EXPECT_EQ(info->GetVersionText(), L"chinese");
    info->Release();
}

TEST(HostVersionInfo, ShippedFilesHaveVersionAndItems)
{
    CTestGlobal global;
    for (WORD language : {WORD(0x0804), WORD(0x0409), WORD(0x0411)}) {
        IVersionInfo* info = nullptr;
        ASSERT_EQ(CVersionInfoObj::Create(&global, global.GetLangDir(), language, &info), S_OK)
            << language;
        EXPECT_FALSE(info->GetVersionText().empty());
        std::vector<IVersionMenuItem*> tools = Items(info, IVersionInfo::kToolMenu);
        std::vector<IVersionMenuItem*> help = Items(info, IVersionInfo::kHelpMenu);
        EXPECT_GE(tools.size(), 2u);
        EXPECT_GE(help.size(), 1u);
        for (IVersionMenuItem* item : tools) {
            EXPECT_FALSE(item->GetLabel().empty());
            item->Release();
        }
        for (IVersionMenuItem* item : help)
            item->Release();
        info->Release();
    }
}

TEST(HostVersionInfo, ToolItemStartsProgramBesideLibrary)
{
    TestCommon::CTempDir dir;
    ASSERT_TRUE(HostTest::CopyFileTo(HostTest::RuntimeDir() + L"host_probe.exe",
                                     dir.File(L"probe.exe")));
    ASSERT_TRUE(HostTest::MakeVersionModule(
        dir.File(L"VerInfo.cfg"), 0,
        L"[Tool1]\r\ntype=exe\r\nlabel=Probe\r\nname=probe.exe\r\nparam=--from-menu\r\n", L"v"));
    CTestGlobal global(dir.Path());
    IVersionInfo* info = nullptr;
    ASSERT_EQ(CVersionInfoObj::Create(&global, dir.Path() + L"\\", 0x0409, &info), S_OK);
    std::vector<IVersionMenuItem*> tools = Items(info, IVersionInfo::kToolMenu);
    ASSERT_EQ(tools.size(), 1u);
    const std::wstring out = dir.File(L"menu.txt");
    HostTest::CEnvironment probeOut(L"ORVEL_PROBE_OUT", out);
    EXPECT_TRUE(tools[0]->Execute());
    for (int i = 0; i < 300 && GetFileAttributesW(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    EXPECT_NE(HostTest::ReadTextFile(out).find(L"\n--from-menu\n"), std::wstring::npos);
    tools[0]->Release();
    info->Release();
}
