// The services' binary interface: slot order of IGlobal and the host object
// that SetGuiConsume keeps.
#include <gtest/gtest.h>
#include <cstring>
#include "HostTestUtil.h"
#include "orvel/glyph/Glyph.h"

namespace {

// The vtable slot a pointer to a virtual member names (Itanium C++ ABI:
// the pointer field holds 1 + the byte offset in the vtable).
template <class TMember>
ptrdiff_t SlotOf(TMember member)
{
    ptrdiff_t raw[2];
    static_assert(sizeof(member) == sizeof(raw));
    std::memcpy(raw, &member, sizeof(raw));
    return (raw[0] - 1) / static_cast<ptrdiff_t>(sizeof(void*));
}

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
