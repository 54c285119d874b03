// The shipped packs as built into Style\: every element kind they cover
// draws, and every state of a state strip looks different.
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"

namespace {

using Style::CStyle;

std::wstring PackPath(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"Style\\" + name + L".spk";
}

// Draws one state of a painter (background, then foreground) into a
// 40 x 30 picture over grey and returns its pixels.
std::vector<DWORD> Render(Style::CPainter& painter, int state, bool& background, bool& foreground)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 40, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT rect = {0, 0, 40, 30};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &rect, grey);
    DeleteObject(grey);
    background = painter.DrawBackground(dc, state, rect, rect);
    foreground = painter.DrawForeground(dc, rect, rect, state, L"Ab", -1);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 40 * 30);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

struct SKind {
    CStyle::PainterType type;
    bool back;
    bool fore;
    int distinctStates;  // states that must all look different; 0: not checked
};

const SKind kKinds[] = {
    {CStyle::PushButton, true, true, 5},
    {CStyle::CheckButtonState, false, true, 12},
    {CStyle::CheckButtonLabel, false, true, 0},
    {CStyle::RadioButtonState, false, true, 12},
    {CStyle::RadioButtonStateXP, false, true, 12},
    {CStyle::RadioButtonLabel, false, true, 0},
    {CStyle::HyperLink, false, true, 4},
    {CStyle::Static, false, true, 0},
    {CStyle::PromptError, true, true, 0},
    {CStyle::ScrollBarArrowButton, true, true, 16},
    {CStyle::ScrollBarLowerTrackHorz, true, false, 4},
    {CStyle::ScrollBarUpperTrackHorz, true, false, 4},
    {CStyle::ScrollBarLowerTrackVert, true, false, 4},
    {CStyle::ScrollBarUpperTrackVert, true, false, 4},
    {CStyle::ScrollBarThumbButtonHorz, true, false, 4},
    {CStyle::ScrollBarThumbButtonVert, true, false, 4},
    {CStyle::ScrollBarGripperHorz, false, true, 4},
    {CStyle::ScrollBarGripperVert, false, true, 4},
    {CStyle::ScrollBarSizeBox, true, true, 0},
    {CStyle::QuickScan, true, false, 4},
    {CStyle::QuickScanIcon, false, true, 0},
    {CStyle::QuickScanText, false, true, 4},
    // Dialog frames: active and inactive looks; caption buttons have
    // normal, hot, pressed and disabled on an active caption, then again
    // on an inactive one.
    {CStyle::DlgFrameTitle, true, true, 2},
    {CStyle::DlgFrameButtonClose, false, true, 8},
    {CStyle::DlgFrameButtonMin, false, true, 8},
    {CStyle::DlgFrameButtonMax, false, true, 8},
    {CStyle::DlgFrameButtonRestore, false, true, 8},
    {CStyle::DlgFrameLeftBorder, true, false, 2},
    {CStyle::DlgFrameRightBorder, true, false, 2},
    {CStyle::DlgFrameBottomBorder, true, false, 2},
};

class ShippedPack : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(ShippedPack, NamesFontsAndCursor)
{
    CStyle style;
    ASSERT_TRUE(style.Load(PackPath(GetParam()).c_str()));
    EXPECT_EQ(style.GetName(), GetParam());
    EXPECT_FALSE(style.IsSimple());
    style.SetLangID(0x0409);
    EXPECT_NE(style.GetShowName(), style.GetName());
    style.SetLangID(0x0804);
    EXPECT_NE(style.GetShowName(), style.GetName());
    EXPECT_TRUE(style.GetNameFont(L"$default$"));
    EXPECT_TRUE(style.GetNameFont(L"$Link"));
    Style::CPainter* link = style.GetPainter(CStyle::HyperLink);
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->GetCursor());
    for (const wchar_t* picture : {L"PIC_SMALL.BMP", L"PIC_DEMO.BMP"}) {
        HBITMAP bitmap = style.ReadBitmap(picture);
        EXPECT_TRUE(bitmap) << picture;
        DeleteObject(bitmap);
    }
    const Resource::CLine* back = style.GetConfig().FindFirstLine(L"DlgFrame", L"BackColor");
    ASSERT_TRUE(back);
    EXPECT_NE(back->ReadContentAsColor(), 0xFFFFFFFFu);
}

TEST_P(ShippedPack, EveryKindDrawsEveryStateDistinctly)
{
    CStyle style;
    ASSERT_TRUE(style.Load(PackPath(GetParam()).c_str()));
    for (const SKind& kind : kKinds) {
        SCOPED_TRACE(CStyle::GetPainterClassName(kind.type));
        Style::CPainter* painter = style.GetPainter(kind.type);
        ASSERT_TRUE(painter);
        EXPECT_TRUE(painter->GetVisible());
        bool back = false, fore = false;
        Render(*painter, 0, back, fore);
        EXPECT_EQ(back, kind.back);
        EXPECT_EQ(fore, kind.fore);
        std::set<std::vector<DWORD>> seen;
        for (int state = 0; state < kind.distinctStates; ++state)
            EXPECT_TRUE(seen.insert(Render(*painter, state, back, fore)).second) << "state " << state;
    }
}

// The frame's pieces fit together: borders on three sides, caption buttons
// of one height that fit between the caption's content margins (their
// soft edges were blended against the caption rows they sit on), and a
// caption background for hosts that only style frames when a pack has one.
TEST_P(ShippedPack, DialogFrameFitsTogether)
{
    CStyle style;
    ASSERT_TRUE(style.Load(PackPath(GetParam()).c_str()));
    const Style::CStyleConfigReader& config = style.GetConfig();
    EXPECT_TRUE(config.FindFirstLine(L"Back@DlgFrameTitle", L"Type"));

    Style::CPainter* frame = style.GetPainter(CStyle::DlgFrame);
    ASSERT_TRUE(frame);
    RECT borders = {};
    ASSERT_TRUE(frame->GetContentMargins(borders));
    EXPECT_GT(borders.left, 0);
    EXPECT_EQ(borders.right, borders.left);
    EXPECT_EQ(borders.top, 0);
    EXPECT_GT(borders.bottom, 0);

    Style::CPainter* title = style.GetPainter(CStyle::DlgFrameTitle);
    ASSERT_TRUE(title);
    const Resource::CLine* height = config.FindFirstLine(L"DlgFrameTitle", L"Height");
    ASSERT_TRUE(height);
    int captionHeight = height->ReadContentAsInt();
    RECT margins = {};
    ASSERT_TRUE(title->GetContentMargins(margins));
    int room = captionHeight - margins.top - margins.bottom;
    EXPECT_GT(room, 0);

    HDC dc = CreateCompatibleDC(nullptr);
    SIZE text = title->CalcSize(dc, {-1, -1}, L"Ag", -1);
    EXPECT_GT(text.cy, 0);
    EXPECT_LE(text.cy, room);
    int buttonHeight = -1;
    for (CStyle::PainterType type : {CStyle::DlgFrameButtonClose, CStyle::DlgFrameButtonMin,
                                     CStyle::DlgFrameButtonMax, CStyle::DlgFrameButtonRestore}) {
        SCOPED_TRACE(CStyle::GetPainterClassName(type));
        Style::CPainter* button = style.GetPainter(type);
        ASSERT_TRUE(button);
        SIZE size = button->CalcSize(dc, {0, 0}, L"", 0);
        EXPECT_GT(size.cx, 0);
        EXPECT_LT(size.cy, captionHeight);
        EXPECT_LE(size.cy, room + 2);
        if (buttonHeight < 0)
            buttonHeight = size.cy;
        EXPECT_EQ(size.cy, buttonHeight);
    }
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Packs, ShippedPack, ::testing::Values(L"ZQ2009", L"Graphite"));

}  // namespace
