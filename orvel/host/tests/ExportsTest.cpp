// The services' binary interface: slot order of IGlobal, the host object
// that SetGuiConsume keeps, and what an unloaded library gives back.
#include <gtest/gtest.h>
#include <cstring>
#include "HostTestUtil.h"
#include "orvel/glyph/Glyph.h"
#include "tests/common/TestCommon.h"

using TestCommon::SlotOf;

namespace {

class CHost : public IGuiConsume {
public:
    void GuiReserved0() override {}
    void GuiReserved1() override {}
    void GuiReserved2() override {}
    void GuiReserved3() override {}
    void GuiReserved4() override {}
    void GuiReserved5() override {}
    void GuiReserved6() override {}
    void GuiReserved7() override {}
    void GuiReserved8() override {}
    void GuiReserved9() override {}
    Glyph::IGlyphVessel* GetGlyphVessel() override { return vessel; }
    Glyph::IGlyphVessel* vessel = nullptr;
};

}  // namespace

TEST(HostExports, GlobalSlotOrder)
{
    EXPECT_EQ(SlotOf(&IGlobal::GetRegKeyPath), 0);
    EXPECT_EQ(SlotOf(&IGlobal::GetInstallDir), 1);
    EXPECT_EQ(SlotOf(&IGlobal::RunProgram), 4);
    EXPECT_EQ(SlotOf(&IGlobal::ShowInFileManager), 7);
    EXPECT_EQ(SlotOf(&IGlobal::GetLangID), 10);
    EXPECT_EQ(SlotOf(&IGlobal::RegReadString), 12);
    EXPECT_EQ(SlotOf(&IGlobal::RegWriteString), 15);
    EXPECT_EQ(SlotOf(&IGlobal::WriteLog), 17);
    EXPECT_EQ(SlotOf(&IGlobal::Reserved), 20);
    EXPECT_EQ(SlotOf(&IGlobal::Initialize), 22);
    EXPECT_EQ(SlotOf(&IGlobal::SetLangID), 24);
    EXPECT_EQ(SlotOf(&IGuiConsume::GetGlyphVessel), 10);
}

TEST(HostExports, GuiConsumeKeepsHostAndItsVessel)
{
    CHost host;
    host.vessel = reinterpret_cast<Glyph::IGlyphVessel*>(0x1234);
    EXPECT_EQ(SetGuiConsume(&host), 1);
    EXPECT_EQ(COrvelGlobal::GetGuiConsume(), &host);
    EXPECT_EQ(COrvelGlobal::GetGuiVessel(), host.vessel);
    // Forgetting the host forgets its vessel too.
    EXPECT_EQ(SetGuiConsume(nullptr), 1);
    EXPECT_EQ(COrvelGlobal::GetGuiConsume(), nullptr);
    EXPECT_EQ(COrvelGlobal::GetGuiVessel(), nullptr);
}

namespace {

// Whether p is the start of a block in use in any heap of the process.
bool IsHeapBlockInUse(const void* p)
{
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(ARRAYSIZE(heaps), heaps);
    for (DWORD i = 0; i < count && i < ARRAYSIZE(heaps); ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.lpData == p)
                return (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
        }
    }
    return false;
}

}  // namespace

TEST(LibraryUnload, TheStyledWindowManagerGoesWithTheLibrary)
{
    // A copy of the library, so that this process can unload it.
    TestCommon::CTempDir dir;
    const std::wstring copy = dir.File(L"OrvelUnload.dll");
    ASSERT_TRUE(CopyFileW((HostTest::RuntimeDir() + L"Orvel.dll").c_str(), copy.c_str(), FALSE));
    HMODULE library = LoadLibraryW(copy.c_str());
    ASSERT_NE(library, nullptr);
    using PFN = void* (*)();
    auto getWindowStyle =
        reinterpret_cast<PFN>(reinterpret_cast<void*>(GetProcAddress(library, "GetWindowStyle")));
    ASSERT_NE(getWindowStyle, nullptr);
    void* manager = getWindowStyle();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(getWindowStyle(), manager);
    ASSERT_TRUE(IsHeapBlockInUse(manager));
    ASSERT_TRUE(FreeLibrary(library));
    EXPECT_FALSE(IsHeapBlockInUse(manager));
}
