// The shipped packs as built into Style\: every element kind the styled
// windows paint is there, shows in every state they ask for, each state
// looks different, and the pieces fit the controls they are drawn on.
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>
#include "orvel/base/GdiHandles.h"
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"
#include "orvel/windows/ElementKinds.h"
#include "tests/common/TestCommon.h"

namespace {

using Style::CStyle;
using Windows::SElementKindUse;

std::wstring PackPath(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"Style\\" + name + L".spk";
}

const wchar_t* Name(int type)
{
    return CStyle::GetPainterClassName(type);
}

struct SRender {
    std::vector<COLORREF> pixels;
    unsigned drawn = 0;  // the layers that drew
};

// One state of a painter (background, then foreground with the text) in a
// 40 x 30 picture over grey.
SRender Render(Style::CPainter& painter, int state, const wchar_t* text = L"Ab")
{
    TestCommon::CDibCanvas canvas(40, 30);
    canvas.Fill(RGB(128, 128, 128));
    RECT rect = {0, 0, canvas.Width(), canvas.Height()};
    SRender out;
    if (painter.DrawBackground(canvas.Dc(), state, rect, rect))
        out.drawn |= Windows::kBackLayer;
    if (painter.DrawForeground(canvas.Dc(), rect, rect, state, text, -1))
        out.drawn |= Windows::kForeLayer;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            out.pixels.push_back(canvas.Pixel(x, y));
    return out;
}

// What the styled windows paint, and what the demo's glyph area paints
// besides.
std::vector<SElementKindUse> PaintedKinds()
{
    size_t count = 0;
    const SElementKindUse* kinds = Windows::GetStyledElementKinds(&count);
    std::vector<SElementKindUse> all(kinds, kinds + count);
    all.push_back({CStyle::PromptError, 1, L"demo", Windows::kBothLayers});
    all.push_back({CStyle::QuickScan, 4, L"demo", Windows::kBothLayers});
    all.push_back({CStyle::QuickScanIcon, 1, L"demo", Windows::kForeLayer});
    all.push_back({CStyle::QuickScanText, 4, L"demo", Windows::kForeLayer});
    return all;
}

int StatesOf(CStyle::PainterType type)
{
    for (const SElementKindUse& kind : PaintedKinds())
        if (kind.type == type)
            return kind.states;
    return 1;
}

// The states that must all look different. A check box's or radio
// button's label shows the check state through its box, and pressed text
// is normal text: only normal, hot and disabled differ, per check state.
std::vector<std::vector<int>> DistinctStateSets(const SElementKindUse& kind)
{
    if (kind.type == CStyle::CheckButtonLabel || kind.type == CStyle::RadioButtonLabel)
        return {{0, 1, 3}, {4, 5, 7}, {8, 9, 11}};
    std::vector<int> all;
    for (int state = 0; state < kind.states; ++state)
        all.push_back(state);
    return {all};
}

class ShippedPack : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override { ASSERT_TRUE(m_style.Load(PackPath(GetParam()).c_str())); }

    CStyle m_style;
};

TEST_P(ShippedPack, NamesFontsCursorAndPictures)
{
    EXPECT_EQ(m_style.GetName(), GetParam());
    EXPECT_FALSE(m_style.IsSimple());
    m_style.SetLangID(0x0409);
    EXPECT_NE(m_style.GetShowName(), m_style.GetName());
    m_style.SetLangID(0x0804);
    EXPECT_NE(m_style.GetShowName(), m_style.GetName());
    EXPECT_TRUE(m_style.GetNameFont(L"$default$"));
    EXPECT_TRUE(m_style.GetNameFont(L"$Link"));
    Style::CPainter* link = m_style.GetPainter(CStyle::HyperLink);
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->GetCursor());
    for (const wchar_t* picture : {L"PIC_SMALL.BMP", L"PIC_DEMO.BMP"}) {
        Base::CBitmapHandle bitmap(m_style.ReadBitmap(picture));
        EXPECT_TRUE(bitmap) << picture;
    }
    const Resource::CLine* back = m_style.GetConfig().FindFirstLine(L"DlgFrame", L"BackColor");
    ASSERT_TRUE(back);
    EXPECT_NE(back->ReadContentAsColor(), 0xFFFFFFFFu);

    // Picture statics are moved where the pack says; each place names a
    // picture of the pack.
    const Resource::CSection* places = m_style.GetConfig().FindSection(L"BitmapPosition");
    ASSERT_TRUE(places);
    ASSERT_GT(places->GetLineCount(), 0);
    for (int i = 0; i < places->GetLineCount(); ++i) {
        const Resource::CLine* place = places->GetLine(i);
        SCOPED_TRACE(place->GetLabel());
        Base::CBitmapHandle bitmap(m_style.ReadBitmap(place->GetLabel().c_str()));
        EXPECT_TRUE(bitmap);
        EXPECT_EQ(place->GetFieldCount(), 2);
        SIZE at = {-1, -1};
        place->ReadContentAsSize(at);
        EXPECT_GE(at.cx, 0);
        EXPECT_GE(at.cy, 0);
    }
}

TEST_P(ShippedPack, EveryPaintedKindShowsEveryStateDistinctly)
{
    for (const SElementKindUse& kind : PaintedKinds()) {
        SCOPED_TRACE(Name(kind.type));
        Style::CPainter* painter = m_style.GetPainter(kind.type);
        ASSERT_TRUE(painter);
        EXPECT_TRUE(painter->GetVisible());
        if (kind.layers == Windows::kNoLayer)
            continue;
        SRender first = Render(*painter, 0);
        EXPECT_NE(first.drawn & kind.layers, 0u) << "nothing the painting shows";
        EXPECT_EQ(first.drawn & ~kind.layers, 0u) << "a layer the painting never draws";
        for (const std::vector<int>& states : DistinctStateSets(kind)) {
            std::set<std::vector<COLORREF>> seen;
            for (int state : states)
                EXPECT_TRUE(seen.insert(Render(*painter, state).pixels).second) << "state " << state;
        }
    }
}

// A background image's fixed borders fit inside one image of its strip;
// wider ones would make the nine parts overlap at every size.
TEST_P(ShippedPack, ImageBordersFitTheirImages)
{
    const Style::CStyleConfigReader& config = m_style.GetConfig();
    for (const SElementKindUse& kind : PaintedKinds()) {
        const std::wstring section = std::wstring(L"Back@") + Name(kind.type);
        const Resource::CLine* type = config.FindFirstLine(section.c_str(), L"Type");
        if (!type || (!Resource::EqualNoCase(type->GetContent(), L"FillImage") &&
                      !Resource::EqualNoCase(type->GetContent(), L"BorderImage")))
            continue;
        SCOPED_TRACE(section);
        const Resource::CLine* file = config.FindFirstLine(section.c_str(), L"ImageFile");
        ASSERT_TRUE(file);
        Base::CBitmapHandle bitmap(m_style.ReadBitmap(file->GetContent().c_str()));
        ASSERT_TRUE(bitmap);
        BITMAP info = {};
        ASSERT_TRUE(GetObjectW(bitmap, sizeof info, &info));
        const Resource::CLine* count = config.FindFirstLine(section.c_str(), L"ImageCount");
        const Resource::CLine* layout = config.FindFirstLine(section.c_str(), L"ImageLayout");
        const int images = count ? count->ReadContentAsInt() : 1;
        ASSERT_GT(images, 0);
        const bool horizontal = layout && Resource::EqualNoCase(layout->GetContent(), L"horizontal");
        const LONG width = horizontal ? info.bmWidth / images : info.bmWidth;
        const LONG height = horizontal ? info.bmHeight : info.bmHeight / images;
        EXPECT_EQ(horizontal ? info.bmWidth % images : info.bmHeight % images, 0) << "a strip of equal images";
        const Resource::CLine* sizing = config.FindFirstLine(section.c_str(), L"SizingMargins");
        if (!sizing)
            continue;
        RECT margins = {};
        sizing->ReadContentAsRect(margins);
        EXPECT_LE(margins.left + margins.right, width);
        EXPECT_LE(margins.top + margins.bottom, height);
    }
}

// Where a native control underlines a mnemonic the text reads "&" as one,
// so "&&" draws a single ampersand; captions, the combo box and message
// prompts show it as it is, like their native counterparts.
TEST_P(ShippedPack, MnemonicsWhereNativeControlsShowThem)
{
    for (CStyle::PainterType type : {CStyle::PushButton, CStyle::CheckButtonLabel, CStyle::RadioButtonLabel,
                                     CStyle::HyperLink, CStyle::Static, CStyle::TabCtrlLeftItem,
                                     CStyle::TabCtrlItem, CStyle::TabCtrlRightItem, CStyle::QuickScanText}) {
        SCOPED_TRACE(Name(type));
        Style::CPainter* painter = m_style.GetPainter(type);
        ASSERT_TRUE(painter);
        for (int state = 0; state < StatesOf(type); ++state)
            EXPECT_TRUE(Render(*painter, state, L"&&").pixels == Render(*painter, state, L"&").pixels)
                << "state " << state;
    }
    for (CStyle::PainterType type : {CStyle::DlgFrameTitle, CStyle::FrameTitle, CStyle::ToolsPage,
                                     CStyle::Combobox, CStyle::PromptError}) {
        SCOPED_TRACE(Name(type));
        Style::CPainter* painter = m_style.GetPainter(type);
        ASSERT_TRUE(painter);
        EXPECT_FALSE(Render(*painter, 0, L"&&").pixels == Render(*painter, 0, L"&").pixels);
    }
}

// A frame family's pieces fit together: borders on the sides that have a
// kind to paint them, caption text and caption buttons of one height
// between the caption's content margins (their soft edges were blended
// against the caption rows they sit on), and a caption background for
// hosts that only style frames when a pack has one.
TEST_P(ShippedPack, FrameFamiliesFitTogether)
{
    const Style::CStyleConfigReader& config = m_style.GetConfig();
    Base::CMemoryDC dc;
    for (int first : {CStyle::Frame, CStyle::DlgFrame, CStyle::XPDlgFrame}) {
        SCOPED_TRACE(Name(first));
        Style::CPainter* frame = m_style.GetPainter(static_cast<CStyle::PainterType>(first));
        ASSERT_TRUE(frame);
        RECT borders = {};
        ASSERT_TRUE(frame->GetContentMargins(borders));
        EXPECT_EQ(borders.top, 0);
        EXPECT_EQ(borders.right, borders.left);
        EXPECT_NE(config.FindFirstLine(Name(first), L"BackColor"), nullptr);
        // The XP family's left border has no kind: a border there would
        // show the system colour.
        const LONG widths[] = {borders.left, borders.right, borders.bottom};
        for (int side = 0; side < 3; ++side) {
            if (widths[side] <= 0)
                continue;
            const int kind = first + 7 + side;
            ASSERT_TRUE(Name(kind)) << "side " << side;
            Style::CPainter* border = m_style.GetPainter(static_cast<CStyle::PainterType>(kind));
            ASSERT_TRUE(border);
            EXPECT_NE(Render(*border, 0).drawn & Windows::kBackLayer, 0u) << Name(kind);
        }

        const wchar_t* captionName = Name(first + 1);
        EXPECT_TRUE(config.FindFirstLine((std::wstring(L"Back@") + captionName).c_str(), L"Type"));
        Style::CPainter* title = m_style.GetPainter(static_cast<CStyle::PainterType>(first + 1));
        ASSERT_TRUE(title);
        const Resource::CLine* height = config.FindFirstLine(captionName, L"Height");
        ASSERT_TRUE(height);
        const int captionHeight = height->ReadContentAsInt();
        RECT margins = {};
        ASSERT_TRUE(title->GetContentMargins(margins));
        const int room = captionHeight - margins.top - margins.bottom;
        EXPECT_GT(room, 0);
        SIZE text = title->CalcSize(dc, {-1, -1}, L"Ag", -1);
        EXPECT_GT(text.cy, 0);
        EXPECT_LE(text.cy, room);

        int buttonHeight = -1;
        for (int offset = 3; offset <= 6; ++offset) {
            if (!Name(first + offset))
                continue;  // the XP family's restore button
            SCOPED_TRACE(Name(first + offset));
            Style::CPainter* button = m_style.GetPainter(static_cast<CStyle::PainterType>(first + offset));
            ASSERT_TRUE(button);
            SIZE size = button->CalcSize(dc, {0, 0}, L"", 0);
            EXPECT_GT(size.cx, 0);
            EXPECT_LT(size.cy, captionHeight);
            EXPECT_LE(size.cy, room + 2);
            if (buttonHeight < 0)
                buttonHeight = size.cy;
            EXPECT_EQ(size.cy, buttonHeight);
        }
    }
}

// The pieces suit the controls they are drawn on at the sizes those have
// on an 8-point dialog: a 21-pixel combo box whose button is as wide as a
// scroll bar, 18-pixel tabs, a 21-pixel spin button (10-pixel halves) and
// one 20 pixels high lying down (17-pixel halves), an 11 x 21 track-bar
// thumb.
TEST_P(ShippedPack, ControlPiecesFitTheirControls)
{
    Base::CMemoryDC dc;
    auto painter = [&](CStyle::PainterType type) {
        Style::CPainter* found = m_style.GetPainter(type);
        EXPECT_TRUE(found) << Name(type);
        return found;
    };
    auto margins = [](Style::CPainter* of) {
        RECT rect = {0, 0, 0, 0};
        of->GetContentMargins(rect);
        return rect;
    };
    auto fits = [&](CStyle::PainterType type, int width, int height) {
        SCOPED_TRACE(Name(type));
        Style::CPainter* part = painter(type);
        ASSERT_TRUE(part);
        SIZE mark = part->CalcSize(dc, {-1, -1}, L"", 0);
        EXPECT_GT(mark.cx, 0);
        EXPECT_LE(mark.cx, width);
        EXPECT_LE(mark.cy, height);
    };

    Style::CPainter* combo = painter(CStyle::Combobox);
    ASSERT_TRUE(combo);
    const RECT inset = margins(combo);
    const int inside = 21 - inset.top - inset.bottom;
    EXPECT_LE(combo->GetMaxHeight(dc), inside);
    fits(CStyle::ComboboxDropDownButton, GetSystemMetrics(SM_CXVSCROLL) - inset.right - 2, inside - 2);

    for (CStyle::PainterType type : {CStyle::TabCtrlLeftItem, CStyle::TabCtrlItem, CStyle::TabCtrlRightItem}) {
        SCOPED_TRACE(Name(type));
        Style::CPainter* item = painter(type);
        ASSERT_TRUE(item);
        const RECT text = margins(item);
        EXPECT_LE(item->GetMaxHeight(dc), 18 - text.top - text.bottom);
    }

    // Marks stay clear of their plate's border.
    fits(CStyle::SpinUp, 16 - 4, 10 - 4);
    fits(CStyle::SpinDown, 16 - 4, 10 - 4);
    fits(CStyle::SpinDownHorz, 17 - 4, 20 - 4);
    fits(CStyle::SpinUpHorz, 17 - 4, 20 - 4);
    fits(CStyle::TrackBarThumb, 11 - 4, 21 - 4);
    fits(CStyle::TrackBarThumbVert, 21 - 4, 11 - 4);
}

INSTANTIATE_TEST_SUITE_P(Packs, ShippedPack, ::testing::Values(L"ZQ2009", L"Graphite"));

}  // namespace
