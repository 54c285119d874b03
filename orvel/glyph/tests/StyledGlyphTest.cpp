#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include "orvel/glyph/StyledGlyph.h"
#include "orvel/host/Global.h"
#include "orvel/style/Painter.h"
#include "orvel/style/StyleManager.h"
#include "orvel/testsupport/PackMaker.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CStyledCommandGlyph;
using Glyph::CStyledCompose;
using Glyph::CStyledGlyph;
using Glyph::CStyledHorizontalCompose;
using Glyph::CStyledImageGlyph;
using Glyph::CStyledTextGlyph;
using Glyph::CStyledVerticalCompose;
using Style::CStyle;
using Style::CStyleManager;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// PushButton: margins (2, 3, 4, 5) written left, right, top, bottom, a
// cursor and a background per state. Edit: a gap of 6. Static: red text.
// CheckButtonState: a strip of a red and a green 8 x 8 image.
const wchar_t kMainIni[] =
    L"[PushButton]\r\nMargins=2,4,3,5\r\nCursor=HAND.CUR\r\n"
    L"[Back@PushButton]\r\nType=FillColor\r\nStateCount=3\r\nBorderSize=0\r\n"
    L"FillColor=255,0,0\r\nFillColor1=0,255,0\r\nFillColor2=0,0,255\r\n"
    L"[Edit]\r\nGlyphSpace=6\r\n"
    L"[Fore@Static]\r\nType=Text\r\nStateCount=1\r\nTextColor=255,0,0\r\n"
    L"[Fore@CheckButtonState]\r\nType=ImageGlyph\r\nImageFile=STATES.BMP\r\nImageCount=2\r\n";

TestSupport::SPackSource PackSource(const wchar_t* name, const std::wstring& ini)
{
    TestSupport::SPackSource source;
    source.ini = ini;
    source.strings[0][101] = name;
    TestSupport::SPackBitmap states;
    states.name = L"STATES.BMP";
    states.width = 8;
    states.height = 16;
    states.pixel = [](int, int y) { return y < 8 ? kRed : kGreen; };
    source.bitmaps.push_back(states);
    source.cursors.push_back({L"HAND.CUR", 32, {1, 1}});
    return source;
}

// Packs in one style folder that the style manager reads; the manager is
// released (freeing the pack modules) before the folder goes.
class CStyleFolder {
public:
    CStyleFolder() = default;
    ~CStyleFolder()
    {
        CStyleManager::ReleaseInstance();
        COrvelGlobal::GetInstance().SetStyleDir(std::wstring());
    }
    bool Add(const wchar_t* name, const std::wstring& ini)
    {
        std::wstring error;
        const bool made = TestSupport::MakePack(m_dir.File((std::wstring(name) + L".spk").c_str()),
                                                PackSource(name, ini), &error);
        EXPECT_TRUE(made) << std::string(error.begin(), error.end());
        return made;
    }
    // Makes the pack current the way a user's choice does.
    bool Select(const wchar_t* name)
    {
        COrvelGlobal::GetInstance().SetStyleDir(m_dir.Path());
        // A name left current by an earlier run selects nothing: load it.
        if (!CStyleManager::GetInstance().SelectStyle(name))
            CStyleManager::GetInstance().LoadCurrentStyle();
        return CStyleManager::GetInstance().IsStyleLoaded() &&
               Resource::EqualNoCase(CStyleManager::GetInstance().GetCurrentName(), name);
    }

private:
    TestCommon::CTempDir m_dir;
};

class StyledGlyphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new CStyleFolder;
        ASSERT_TRUE(s_folder->Add(L"Main", kMainIni));
        ASSERT_TRUE(s_folder->Select(L"Main"));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    static CStyleFolder* s_folder;
};
CStyleFolder* StyledGlyphTest::s_folder = nullptr;

// Reports the offers it gets and wants 10 x 10 inside the margins.
class CContentProbe : public CStyledGlyph {
public:
    using CStyledGlyph::CStyledGlyph;
    CSize CalcContentSize(HDC, int cx, int cy, bool) override
    {
        offers.push_back(CSize(cx, cy));
        return CSize(10, 10);
    }
    void SetContentRegion(HDC, const CRect& content) override { placed = content; }
    void OnStyleChanged() override
    {
        ++styleChanges;
        CStyledGlyph::OnStyleChanged();
    }
    Style::CPainter* CachedPainter() const { return m_pPainter; }

    std::vector<CSize> offers;
    CRect placed;
    int styleChanges = 0;
};

class CComposeProbe : public CStyledVerticalCompose {
public:
    using CStyledVerticalCompose::CStyledVerticalCompose;
    void OnStyleChanged() override
    {
        ++styleChanges;
        CStyledVerticalCompose::OnStyleChanged();
    }
    int styleChanges = 0;
};

class CGroupedText : public CStyledTextGlyph,
                     public Glyph::CGroupImpl<CGroupedText, CStyledTextGlyph> {
public:
    CGroupedText() : CStyledTextGlyph(CStyle::CheckButtonLabel), CGroupImpl(4, 1) {}
};

}  // namespace

TEST_F(StyledGlyphTest, MarginsWrapTheContentAndShrinkOnlyRealOffers)
{
    CDibCanvas canvas(10, 10);
    CContentProbe probe(CStyle::PushButton);
    CRect margins;
    ASSERT_TRUE(probe.GetContentMargins(margins));
    EXPECT_EQ(CRect(2, 3, 4, 5), margins);

    EXPECT_EQ(CSize(16, 18), probe.CalcSize(canvas.Dc(), -1, -1, true));
    probe.CalcSize(canvas.Dc(), 100, 50, true);
    probe.CalcSize(canvas.Dc(), -1, 0, true);
    ASSERT_EQ(3u, probe.offers.size());
    EXPECT_EQ(CSize(-1, -1), probe.offers[0]);
    EXPECT_EQ(CSize(94, 42), probe.offers[1]);
    EXPECT_EQ(CSize(-1, 0), probe.offers[2]);

    probe.SetRegion(canvas.Dc(), CRect(10, 10, 60, 40));
    EXPECT_EQ(CRect(12, 13, 56, 35), probe.placed);

    // An element without margins measures its content alone.
    CContentProbe plain(CStyle::Edit);
    EXPECT_FALSE(plain.GetContentMargins(margins));
    EXPECT_EQ(CRect(0, 0, 0, 0), margins);
    EXPECT_EQ(CSize(10, 10), plain.CalcSize(canvas.Dc(), 5, 5, true));
    EXPECT_EQ(CSize(5, 5), plain.offers[0]);
}

TEST_F(StyledGlyphTest, StateRequestsAndDisabled)
{
    CRecordingVessel vessel;
    CStyledGlyph glyph(CStyle::PushButton);
    glyph.SetVessel(&vessel);
    glyph.SetRegion(nullptr, CRect(0, 0, 20, 10));

    glyph.SetState(0, true);
    EXPECT_TRUE(vessel.requests.empty());
    glyph.SetState(2, true);
    glyph.SetState(2, false);
    glyph.Show(false);
    vessel.requests.clear();
    glyph.SetState(1, false);  // hidden glyphs still ask
    const std::vector<SRequest> expected = {{SRequest::Invalidate, CRect(0, 0, 20, 10)}};
    EXPECT_EQ(expected, vessel.requests);

    // A painter change repaints only a visible glyph.
    vessel.requests.clear();
    glyph.SetPainter(CStyle::Edit, true);
    EXPECT_TRUE(vessel.requests.empty());

    for (INT64 state : {0, 1, 2, 4, 7, -3}) {
        glyph.SetState(state, false);
        EXPECT_FALSE(glyph.IsDisabled()) << state;
    }
    glyph.SetState(3, false);
    EXPECT_TRUE(glyph.IsDisabled());
    EXPECT_EQ(3, glyph.GetState());
}

TEST_F(StyledGlyphTest, BackgroundFollowsTheStateAndCursorComesFromThePainter)
{
    CDibCanvas canvas(40, 20);
    CRecordingVessel vessel;
    CStyledGlyph glyph(CStyle::PushButton);
    glyph.SetVessel(&vessel);
    glyph.SetRegion(canvas.Dc(), CRect(0, 0, 20, 20));
    const CRect region(0, 0, 20, 20);

    glyph.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(400, canvas.Count(kRed, region));
    glyph.SetState(1, false);
    glyph.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(400, canvas.Count(kGreen, region));
    // Beyond the painter's states, and states no int holds, draw as state 0.
    for (INT64 state : {INT64(9), INT64(0x100000002LL), INT64(-1)}) {
        canvas.Fill(kWhite);
        glyph.SetState(state, false);
        glyph.Draw(canvas.Dc(), nullptr);
        EXPECT_EQ(400, canvas.Count(kRed, region)) << state;
    }
    // A clip outside the region draws nothing.
    canvas.Fill(kWhite);
    glyph.SetState(2, false);
    const RECT clip = {20, 0, 40, 20};
    glyph.Draw(canvas.Dc(), &clip);
    EXPECT_EQ(0, canvas.Count(kBlue, CRect(0, 0, 40, 20)));

    vessel.requests.clear();
    EXPECT_TRUE(glyph.OnSetCursor(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(1u, vessel.requests.size());
    CStyledGlyph noCursor(CStyle::Edit);
    EXPECT_FALSE(noCursor.OnSetCursor(HTCLIENT, WM_MOUSEMOVE));
}

TEST_F(StyledGlyphTest, TextAndImageContent)
{
    CDibCanvas canvas(100, 40);
    CStyledTextGlyph text(CStyle::Static, L"WWWW");
    const CSize size = text.CalcSize(canvas.Dc(), -1, -1, true);
    EXPECT_GT(size.cx, 10);
    EXPECT_GT(size.cy, 5);
    text.SetRegion(canvas.Dc(), CRect(0, 0, 100, 40));
    text.Draw(canvas.Dc(), nullptr);
    EXPECT_GT(canvas.Count(kRed, CRect(0, 0, 100, 40)), 10);

    CRecordingVessel vessel;
    text.SetVessel(&vessel);
    text.SetText(L"WWWW", true);
    text.SetText(L"WWWWxx", 4, true);
    EXPECT_TRUE(vessel.requests.empty());
    text.SetText(L"wwww", false);
    EXPECT_TRUE(vessel.requests.empty());
    text.SetText(L"abc\0def", -1, true);
    EXPECT_EQ(L"abc", text.GetText());
    EXPECT_EQ(1u, vessel.requests.size());
    text.SetText(L"ab", 1000, false);
    EXPECT_EQ(L"ab", text.GetText());

    // The state image, centred in the region.
    canvas.Fill(kWhite);
    CStyledImageGlyph image(CStyle::CheckButtonState);
    EXPECT_EQ(CSize(8, 8), image.CalcSize(canvas.Dc(), 100, 100, true));
    image.SetRegion(canvas.Dc(), CRect(0, 0, 20, 20));
    image.SetState(1, false);
    image.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(64, canvas.Count(kGreen, CRect(6, 6, 14, 14)));
    EXPECT_EQ(kWhite, canvas.Pixel(5, 5));
}

TEST_F(StyledGlyphTest, UnknownElementKindDrawsNothingAndMeasuresZero)
{
    CDibCanvas canvas(20, 20);
    CStyledHorizontalCompose row(35);  // no element kind has this number
    CBoxGlyph* child = new CBoxGlyph(5, 5, kBlue);
    row.AppendGlyph(child);
    EXPECT_EQ(nullptr, row.GetPainter());
    row.SetRegion(canvas.Dc(), CRect(0, 0, 20, 20));
    row.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(0, child->draws);
    EXPECT_FALSE(row.OnSetCursor(HTCLIENT, WM_MOUSEMOVE));

    CStyledTextGlyph text(-7, L"abc");
    EXPECT_EQ(CSize(0, 0), text.CalcSize(canvas.Dc(), -1, -1, true));
}

TEST_F(StyledGlyphTest, WholeUnitHandsItsStateToStyledChildrenOnly)
{
    CDibCanvas canvas(10, 10);
    CRecordingVessel vessel;
    CStyledHorizontalCompose row(CStyle::Edit);
    auto* text = new CStyledTextGlyph(CStyle::Static, L"a");
    auto* hidden = new CStyledTextGlyph(CStyle::Static, L"b");
    auto* nested = new CStyledVerticalCompose(CStyle::Edit);
    auto* deep = new CStyledGlyph(CStyle::PushButton);
    auto* image = new Glyph::CImageGlyphEx(nullptr, 1);
    nested->AppendGlyph(deep);
    nested->m_bWholeUnit = true;  // hands the state on down
    hidden->Show(false);
    row.AppendGlyph(text);
    row.AppendGlyph(hidden);
    row.AppendGlyph(nested);
    row.AppendGlyph(image);
    row.SetVessel(&vessel);
    row.SetRegion(canvas.Dc(), CRect(0, 0, 100, 20));

    // Not a whole unit: nothing is handed down, children are hit.
    row.SetState(1, false);
    EXPECT_EQ(0, text->GetState());
    EXPECT_EQ(text, row.HitTest(CPoint(text->GetRegion().left, 5)));

    row.m_bWholeUnit = true;
    vessel.requests.clear();
    row.SetState(2, true);
    EXPECT_EQ(2, text->GetState());
    EXPECT_EQ(2, hidden->GetState());
    EXPECT_EQ(2, nested->GetState());
    EXPECT_EQ(2, deep->GetState());
    EXPECT_EQ(1, image->GetImageIndex());
    // The styled children invalidate (the nested column after its own
    // child); the row redraws last, over all of them.
    ASSERT_EQ(5u, vessel.requests.size());
    EXPECT_EQ(nested->GetRegion(), vessel.requests[3].rect);
    const SRequest rowRedraw = {SRequest::Redraw, CRect(0, 0, 100, 20)};
    EXPECT_EQ(rowRedraw, vessel.requests[4]);

    EXPECT_EQ(&row, row.HitTest(CPoint(text->GetRegion().left, 5)));
    EXPECT_EQ(nullptr, row.HitTest(CPoint(100, 5)));
}

TEST_F(StyledGlyphTest, GroupStates)
{
    CRecordingVessel vessel;
    CGroupedText glyph;
    glyph.SetVessel(&vessel);
    EXPECT_EQ(1, glyph.GetGroup());
    glyph.SetStateInGroup(2, false);
    EXPECT_EQ(6, glyph.GetState());
    glyph.SetStateInGroup(5, false);
    EXPECT_EQ(0, glyph.GetStateInGroup());
    EXPECT_EQ(4, glyph.GetState());
    vessel.requests.clear();
    glyph.SetGroup(1, true);
    EXPECT_TRUE(vessel.requests.empty());
    glyph.SetStateInGroup(3, false);
    EXPECT_EQ(7, glyph.GetState());
    EXPECT_FALSE(glyph.IsDisabled());
    glyph.SetGroup(0, true);
    EXPECT_EQ(3, glyph.GetState());
    EXPECT_TRUE(glyph.IsDisabled());
    EXPECT_EQ(SRequest::Redraw, vessel.requests.back().kind);
}

TEST_F(StyledGlyphTest, StyledRowAndColumnLayout)
{
    // "GlyphSpace" of the element's own section, else 2.
    auto layOutRow = [](INT64 type) {
        CStyledHorizontalCompose row(type);
        auto* first = new CBoxGlyph(10, 10);
        auto* second = new CBoxGlyph(10, 10);
        row.AppendGlyph(first);
        row.AppendGlyph(second);
        row.SetRegion(nullptr, CRect(0, 0, 100, 10));
        return second->GetRegion().left - first->GetRegion().right;
    };
    EXPECT_EQ(6, layOutRow(CStyle::Edit));
    EXPECT_EQ(2, layOutRow(CStyle::Static));

    // Each child is offered the width still free; one answering -1 takes
    // the rest of the row and the next starts beyond it.
    CStyledHorizontalCompose row(CStyle::Static);
    auto* a = new CBoxGlyph(20, 10);
    auto* b = new CBoxGlyph(-1, 10);
    auto* hidden = new CBoxGlyph(5, 5);
    auto* c = new CBoxGlyph(10, 10);
    hidden->Show(false);
    for (CGlyph* child : {static_cast<CGlyph*>(a), static_cast<CGlyph*>(b),
                          static_cast<CGlyph*>(hidden), static_cast<CGlyph*>(c)})
        row.AppendGlyph(child);
    row.SetRegion(nullptr, CRect(0, 0, 100, 30));
    EXPECT_EQ(CRect(0, 0, 20, 30), a->GetRegion());
    EXPECT_EQ(CRect(22, 0, 100, 30), b->GetRegion());
    EXPECT_EQ(CRect(102, 0, 112, 30), c->GetRegion());
    EXPECT_EQ(100, a->lastCx);
    EXPECT_EQ(78, b->lastCx);
    EXPECT_EQ(30, b->lastCy);
    EXPECT_EQ(CRect(-1, -1, -1, -1), hidden->GetRegion());
    EXPECT_EQ(CSize(20 + 2 - 1 + 2 + 10, 10), row.CalcSize(nullptr, 50, 10, true));
    EXPECT_EQ(50, a->lastCx);
    EXPECT_EQ(28, b->lastCx);
    row.CalcSize(nullptr, -1, -1, true);
    EXPECT_EQ(-1, b->lastCx);

    // The column inside the margins of PushButton (2, 3, 4, 5).
    CStyledVerticalCompose column(CStyle::PushButton);
    auto* top = new CBoxGlyph(30, 10);
    auto* bottom = new CBoxGlyph(40, 20);
    column.AppendGlyph(top);
    column.AppendGlyph(bottom);
    column.SetRegion(nullptr, CRect(0, 0, 50, 40));
    EXPECT_EQ(CRect(2, 3, 46, 13), top->GetRegion());
    EXPECT_EQ(CRect(2, 15, 46, 35), bottom->GetRegion());
    EXPECT_EQ(32, top->lastCy);
    EXPECT_EQ(20, bottom->lastCy);
    EXPECT_EQ(44, bottom->lastCx);
    EXPECT_EQ(CSize(40 + 6, 32 + 8), column.CalcSize(nullptr, -1, -1, true));
    column.CalcSize(nullptr, 100, 100, true);
    EXPECT_EQ(92, top->lastCy);
    EXPECT_EQ(80, bottom->lastCy);
}

TEST_F(StyledGlyphTest, CompositionDrawsBackgroundThenChildren)
{
    CDibCanvas canvas(30, 30);
    CStyledVerticalCompose column(CStyle::PushButton);
    column.AppendGlyph(new CBoxGlyph(5, 5, kBlue));
    column.SetRegion(canvas.Dc(), CRect(0, 0, 30, 30));
    column.Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(kRed, canvas.Pixel(0, 0));
    EXPECT_EQ(kBlue, canvas.Pixel(2, 3));
    EXPECT_EQ(kBlue, canvas.Pixel(25, 7));
    EXPECT_EQ(kRed, canvas.Pixel(2, 8));
}

TEST_F(StyledGlyphTest, CommandGlyphImageTopLeftTextAfterTheGap)
{
    CDibCanvas canvas(10, 10);
    Images::CImageArray strip;
    strip.Attach(MakeBitmap(16, 32, [](int, int) { return kGreen; }), 2,
                 Images::CImageArray::Vertical);
    CStyledCommandGlyph button(CStyle::PushButton, &strip, 1, CStyle::Static, L"Go");
    EXPECT_EQ(&button.GetImageGlyph(), button.GetGlyph(0));

    button.SetRegion(canvas.Dc(), CRect(0, 0, 200, 40));
    EXPECT_EQ(CRect(2, 3, 18, 19), button.GetImageGlyph().GetRegion());
    EXPECT_EQ(CRect(28, 3, 196, 35), button.GetTextGlyph().GetRegion());
    EXPECT_EQ(&button, button.HitTest(CPoint(5, 5)));
    EXPECT_EQ(&button, button.HitTest(CPoint(0, 0)));

    const CSize text = button.GetTextGlyph().CalcSize(canvas.Dc(), -1, -1, true);
    const CSize whole = button.CalcSize(canvas.Dc(), -1, -1, true);
    EXPECT_EQ(16 + 10 + text.cx + 6, whole.cx);
    EXPECT_EQ(std::max<LONG>(16, text.cy) + 8, whole.cy);

    // The text follows the button's state.
    button.SetState(1, false);
    EXPECT_EQ(1, button.GetTextGlyph().GetState());

    // Init repaints through hiding and showing the parts, nothing else.
    CRecordingVessel vessel;
    button.SetVessel(&vessel);
    button.Init(nullptr, 0, CStyle::Edit, L"Stop");
    ASSERT_EQ(4u, vessel.requests.size());
    for (const SRequest& request : vessel.requests)
        EXPECT_EQ(SRequest::Redraw, request.kind);
    EXPECT_EQ(L"Stop", button.GetTextGlyph().GetText());
    EXPECT_EQ(CStyle::Edit, button.GetTextGlyph().GetPainterID());
}

// A switch of the current pack reaches glyphs without rebuilding them: the
// manager's walk refreshes each cached painter, and the next paint uses the
// new pack's colours.
TEST(StyledGlyphPackSwitch, TextTakesTheNewPacksColourAtItsNextPaint)
{
    CStyleFolder folder;
    ASSERT_TRUE(folder.Add(L"Reds", L"[Fore@Static]\r\nType=Text\r\nStateCount=1\r\n"
                                    L"TextColor=255,0,0\r\n"));
    ASSERT_TRUE(folder.Add(L"Blues", L"[Fore@Static]\r\nType=Text\r\nStateCount=1\r\n"
                                     L"TextColor=0,0,255\r\n"));
    ASSERT_TRUE(folder.Select(L"Reds"));

    CDibCanvas canvas(100, 30);
    const CRect all(0, 0, 100, 30);
    CRecordingVessel vessel;
    CStyledTextGlyph text(CStyle::Static, L"WWWW");
    CContentProbe probe(CStyle::Static);
    CComposeProbe column(CStyle::Edit);
    text.SetVessel(&vessel);
    text.SetRegion(canvas.Dc(), all);
    text.Draw(canvas.Dc(), nullptr);
    EXPECT_GT(canvas.Count(kRed, all), 10);
    EXPECT_EQ(0, canvas.Count(kBlue, all));

    ASSERT_TRUE(folder.Select(L"Blues"));
    EXPECT_EQ(1, probe.styleChanges);
    EXPECT_EQ(1, column.styleChanges);
    EXPECT_EQ(CStyleManager::GetStyleInstance().GetPainter(CStyle::Static), probe.CachedPainter());
    const std::vector<SRequest> invalidated = {{SRequest::Invalidate, all}};
    EXPECT_EQ(invalidated, vessel.requests);
    canvas.Fill(kWhite);
    text.Draw(canvas.Dc(), nullptr);
    EXPECT_GT(canvas.Count(kBlue, all), 10);
    EXPECT_EQ(0, canvas.Count(kRed, all));
}
