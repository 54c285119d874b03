#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include "WindowTestUtil.h"
#include "demo/TaskPaneHost.h"
#include "orvel/base/Failure.h"
#include "orvel/base/GdiHandles.h"
#include "orvel/style/Style.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/ExplorerPane.h"
#include "tests/common/TestCommon.h"

using Glyph::CRect;
using Style::CStyle;
using Windows::CUpdateUIBase;
using Windows::ExplorerElement::CExplorerItem;
using Windows::ExplorerElement::CExplorerPane;
using WindowTest::CHostWindow;
using WindowTest::Pump;

namespace {

// Menus are USER objects: destroyed with their holder.
using CMenuHolder = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;
CMenuHolder MakeMenu(HMENU menu)
{
    return CMenuHolder(menu, &DestroyMenu);
}

// Item backgrounds: normal, hot, pressed, disabled, then the same checked.
const COLORREF kItemColors[] = {RGB(250, 250, 250), RGB(200, 220, 250), RGB(150, 180, 240),
                                RGB(230, 230, 230), RGB(250, 230, 200), RGB(250, 200, 150),
                                RGB(240, 170, 110), RGB(220, 210, 200)};
const COLORREF kCheckedText = RGB(180, 0, 0);
const COLORREF kHeaderColor = RGB(20, 40, 90);
const COLORREF kBodyColor = RGB(230, 236, 246);
// Pictures of the items' strip: two per group.
const COLORREF kIconColors[] = {RGB(0, 0, 255), RGB(0, 160, 0), RGB(255, 128, 0), RGB(128, 0, 128)};

std::wstring Colors(const wchar_t* key, const COLORREF* colors, int count)
{
    std::wstring out;
    for (int i = 0; i < count; ++i)
        out += key + std::to_wstring(i) + L"=" + std::to_wstring(GetRValue(colors[i])) + L"," +
               std::to_wstring(GetGValue(colors[i])) + L"," + std::to_wstring(GetBValue(colors[i])) + L"\r\n";
    return out;
}

TestSupport::SPackSource PanePack()
{
    const COLORREF text[] = {RGB(0, 0, 0), RGB(0, 0, 200), RGB(0, 0, 120), RGB(128, 128, 128),
                             kCheckedText, RGB(200, 0, 0), RGB(120, 0, 0), RGB(160, 128, 128)};
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n"
                 L"[TaskPaneHeader]\r\n"
                 L"[Back@TaskPaneHeader]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\n"
                 L"FillColor=20,40,90\r\n"
                 L"[TaskPaneHeaderLabel]\r\nMargins=4,4,3,3\r\n"
                 L"[Fore@TaskPaneHeaderLabel]\r\nType=Text\r\nStateCount=1\r\nVAlign=center\r\n"
                 L"TextColor=255,255,255\r\n"
                 L"[TaskPaneHeaderButtonExpand]\r\nMargins=0,2,0,0\r\n"
                 L"[Fore@TaskPaneHeaderButtonExpand]\r\nType=ImageGlyph\r\nImageFile=Expand.bmp\r\n"
                 L"[TaskPaneHeaderButtonCollapse]\r\nMargins=0,2,0,0\r\n"
                 L"[Fore@TaskPaneHeaderButtonCollapse]\r\nType=ImageGlyph\r\nImageFile=Collapse.bmp\r\n"
                 L"[TaskPaneItem]\r\nMargins=2,2,1,1\r\nGlyphSpace=6\r\n"
                 L"[Back@TaskPaneItem]\r\nType=FillColor\r\nStateCount=8\r\nBorderSize=0\r\n" +
                 Colors(L"FillColor", kItemColors, 8) +
                 L"[TaskPaneItemLabel]\r\n"
                 L"[Fore@TaskPaneItemLabel]\r\nType=Text\r\nStateCount=8\r\nVAlign=center\r\n" +
                 Colors(L"TextColor", text, 8) +
                 L"[TaskPaneBody]\r\nMargins=5,5,4,4\r\nGlyphSpace=3\r\n"
                 L"[Back@TaskPaneBody]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\n"
                 L"FillColor=230,236,246\r\n";
    source.bitmaps.push_back({L"Expand.bmp", 16, 16, nullptr, RGB(255, 0, 0)});
    source.bitmaps.push_back({L"Collapse.bmp", 16, 16, nullptr, RGB(0, 255, 0)});
    return source;
}

// Counts what the panes ask of their host.
class CCountingVessel : public Glyph::IGlyphVessel {
public:
    void InvalidateVesselRect(const RECT*) override {}
    void RedrawVesselRect(const RECT*) override {}
    void SetVesselCursor(HICON) override { ++cursors; }
    HDC GetVesselDC() override { return nullptr; }
    void ReleaseVesselDC(HDC) override {}
    void AdjustVesselLayout() override { ++layouts; }
    int layouts = 0;
    int cursors = 0;
};

class TaskPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok()) << std::string(m_pack.Error().begin(), m_pack.Error().end());
        m_icons.Attach(TestCommon::MakeBitmap(64, 16, [](int x, int) { return kIconColors[x / 16]; }), 4,
                       Images::CImageArray::Horizontal);
    }

    // Lays the pane out at the canvas's top, 200 wide, and draws it.
    void Draw(CExplorerPane& pane)
    {
        const int height = pane.CalcSize(m_canvas.Dc(), 200, -1, true).cy;
        pane.SetRegion(m_canvas.Dc(), CRect(0, 0, 200, height));
        m_canvas.Fill(RGB(0, 0, 0));
        pane.Draw(m_canvas.Dc(), nullptr);
    }

    TestSupport::CCurrentPack m_pack{PanePack()};
    Images::CImageArray m_icons;
    TestCommon::CDibCanvas m_canvas{200, 200};
};

}  // namespace

TEST_F(TaskPaneTest, ItemsFromCommandStringsShowTheNameAfterTheFirstLineFeed)
{
    EXPECT_EQ(L"Open", CExplorerItem(201, nullptr, 0, 1).GetLabel().GetText());
    EXPECT_EQ(L"Rename", CExplorerItem(202, nullptr, 0, 1).GetLabel().GetText());
    EXPECT_EQ(L"Delete\nand more", CExplorerItem(203, nullptr, 0, 1).GetLabel().GetText());
    EXPECT_EQ(L"", CExplorerItem(999, nullptr, 0, 1).GetLabel().GetText());
    // String ids are words: a larger id never reads the string of its low word.
    EXPECT_EQ(L"", CExplorerItem(0x10000 + 201, nullptr, 0, 1).GetLabel().GetText());
    CExplorerItem given(L"Given\ntext", 201, nullptr, 0, 1);
    EXPECT_EQ(L"Given\ntext", given.GetLabel().GetText());
    EXPECT_EQ(201u, given.GetCommandID());
}

TEST_F(TaskPaneTest, InsertingAppendsOrPlacesAndReportsTheIndex)
{
    CExplorerPane pane(L"Tasks");
    EXPECT_EQ(0, pane.InsertItem(-1, L"a", 1, nullptr, 0, 1));
    EXPECT_EQ(1, pane.InsertItem(-1, L"b", 2, nullptr, 0, 1));
    EXPECT_EQ(0, pane.InsertItem(0, L"top", 3, nullptr, 0, 1));
    EXPECT_EQ(2, pane.InsertItem(2, 201, nullptr, 0, 1));
    ASSERT_EQ(4u, pane.GetItemCount());
    const UINT64 order[] = {3, 1, 201, 2};
    for (UINT64 i = 0; i < 4; ++i)
        EXPECT_EQ(order[i], pane.GetItem(i)->GetCommandID());
    EXPECT_EQ(nullptr, pane.GetItem(4));
    EXPECT_THROW(pane.InsertItem(9, L"far", 4, nullptr, 0, 1), Base::CFailure);
    EXPECT_EQ(4u, pane.GetItemCount());
}

TEST_F(TaskPaneTest, ToggleBodyDetachesTheBodyAndKeepsItsItems)
{
    CCountingVessel vessel;
    CExplorerPane pane(L"Tasks");
    pane.SetVessel(&vessel);
    pane.InsertItem(-1, L"a", 1, nullptr, 0, 1);
    pane.InsertItem(-1, L"b", 2, nullptr, 0, 1);
    const int expanded = pane.CalcSize(m_canvas.Dc(), 200, -1, true).cy;
    const int header = pane.GetHeader().CalcSize(m_canvas.Dc(), 200, -1, true).cy;
    EXPECT_EQ(CStyle::TaskPaneHeaderButtonCollapse, pane.GetHeader().GetStateGlyph().GetPainterID());

    EXPECT_FALSE(pane.ToggleBody());
    EXPECT_TRUE(pane.IsCollapsed());
    EXPECT_EQ(1u, pane.GetGlyphCount());
    EXPECT_EQ(2u, pane.GetItemCount());
    EXPECT_EQ(header, pane.CalcSize(m_canvas.Dc(), 200, -1, true).cy);
    EXPECT_EQ(CStyle::TaskPaneHeaderButtonExpand, pane.GetHeader().GetStateGlyph().GetPainterID());
    // Items added while collapsed still reach the host.
    pane.InsertItem(-1, L"c", 3, nullptr, 0, 1);
    pane.GetItem(2)->Show(false);
    EXPECT_EQ(2, vessel.layouts);

    EXPECT_TRUE(pane.ToggleBody());
    EXPECT_EQ(2u, pane.GetGlyphCount());
    EXPECT_EQ(&pane.GetBody(), pane.GetGlyph(1));
    EXPECT_EQ(expanded, pane.CalcSize(m_canvas.Dc(), 200, -1, true).cy);
    EXPECT_EQ(CStyle::TaskPaneHeaderButtonCollapse, pane.GetHeader().GetStateGlyph().GetPainterID());
}

TEST_F(TaskPaneTest, DisabledActionsHideTheirItemsAndAnEmptyPane)
{
    CCountingVessel vessel;
    CExplorerPane pane(L"Tasks");
    EXPECT_FALSE(pane.IsVisible());  // no items yet
    pane.SetVessel(&vessel);
    pane.InsertItem(-1, L"open", 201, nullptr, 0, 1);
    pane.InsertItem(-1, L"rename", 202, nullptr, 0, 1);
    EXPECT_TRUE(pane.IsVisible());

    const Windows::SUpdateUIMap map[] = {{201}, {202}, {Windows::kUpdateUIMapEnd}};
    CUpdateUIBase updateUI(map);
    EXPECT_TRUE(updateUI.UIEnable(201, false));
    EXPECT_TRUE(updateUI.UIEnable(202, false));
    EXPECT_FALSE(updateUI.UIEnable(0x10000 + 201, false));
    pane.UpdateActionUI(&updateUI);
    EXPECT_FALSE(pane.GetItem(0)->IsVisible());
    EXPECT_FALSE(pane.IsVisible());
    EXPECT_EQ(2, vessel.layouts);
    pane.UpdateActionUI(&updateUI);  // nothing changed, no new layout
    EXPECT_EQ(2, vessel.layouts);

    updateUI.UIEnable(202, true);
    pane.UpdateActionUI(&updateUI);
    EXPECT_TRUE(pane.IsVisible());
    EXPECT_FALSE(pane.GetItem(0)->IsVisible());
    EXPECT_TRUE(pane.GetItem(1)->IsVisible());

    // Commands the map does not hold are shown, and so is everything
    // without a map.
    pane.InsertItem(-1, L"other", 0x10000 + 201, nullptr, 0, 1);
    pane.GetItem(2)->Show(false);
    pane.UpdateActionUI(&updateUI);
    EXPECT_TRUE(pane.GetItem(2)->IsVisible());
    pane.UpdateActionUI(nullptr);
    EXPECT_TRUE(pane.GetItem(0)->IsVisible());
}

TEST_F(TaskPaneTest, FillingFromMenusCountsImagesAndAdvancesTheTemplate)
{
    CMenuHolder holder = MakeMenu(CreatePopupMenu());
    HMENU menu = holder.get();
    HMENU sub = CreatePopupMenu();  // the menu takes it
    AppendMenuW(menu, MF_STRING, 11, L"&Copy this item to another folder");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"More");
    CExplorerPane pane(L"Tasks");
    UINT64 next = 5;
    EXPECT_TRUE(pane.InitFrom(menu, next, nullptr, 1));
    holder.reset();
    EXPECT_EQ(8u, next);
    ASSERT_EQ(3u, pane.GetItemCount());
    EXPECT_EQ(L"&Copy this item to another folder", pane.GetItem(0)->GetLabel().GetText());
    EXPECT_EQ(11u, pane.GetItem(0)->GetCommandID());
    EXPECT_EQ(L"", pane.GetItem(1)->GetLabel().GetText());
    EXPECT_EQ(L"More", pane.GetItem(2)->GetLabel().GetText());
    for (UINT64 i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<INT64>(5 + i), pane.GetItem(i)->GetImage().GetImageIndex());

    // Option, id, text; an entry without an id adds nothing.
    std::vector<WORD> words;
    auto entry = [&](WORD option, WORD id, const wchar_t* text) {
        words.push_back(option);
        words.push_back(id);
        for (; *text; ++text)
            words.push_back(*text);
        words.push_back(0);
    };
    entry(0, 401, L"Properties");
    entry(MF_SEPARATOR, 0, L"");
    entry(MF_END, 402, L"Share");
    const size_t end = words.size();
    words.push_back(0xABCD);
    const auto* item = reinterpret_cast<const MENUITEMTEMPLATE*>(words.data());
    EXPECT_TRUE(pane.InitFrom(item, next, nullptr, 1));
    EXPECT_EQ(reinterpret_cast<const void*>(words.data() + end), reinterpret_cast<const void*>(item));
    EXPECT_EQ(10u, next);
    ASSERT_EQ(5u, pane.GetItemCount());
    EXPECT_EQ(L"Properties", pane.GetItem(3)->GetLabel().GetText());
    EXPECT_EQ(402u, pane.GetItem(4)->GetCommandID());
    EXPECT_EQ(9, pane.GetItem(4)->GetImage().GetImageIndex());
}

TEST_F(TaskPaneTest, HeaderAndItemsAreLaidOutInsideTheirMargins)
{
    CExplorerPane pane(L"Tasks");
    pane.InsertItem(-1, L"Open", 1, &m_icons, 0, 2);
    pane.InsertItem(-1, L"A much longer name", 2, &m_icons, 1, 2);
    Draw(pane);
    HDC dc = m_canvas.Dc();

    const CRect header = pane.GetHeader().GetRegion();
    const int labelHeight = pane.GetHeader().GetLabelGlyph().CalcSize(dc, 200, -1, true).cy;
    EXPECT_EQ(CRect(0, 0, 200, labelHeight), header);
    EXPECT_GT(labelHeight, 6);
    // Button: 16 wide plus its right margin of 2, at the right end.
    EXPECT_EQ(CRect(182, 0, 200, labelHeight), pane.GetHeader().GetStateGlyph().GetRegion());
    EXPECT_EQ(CRect(0, 0, 182, labelHeight), pane.GetHeader().GetLabelGlyph().GetRegion());

    const CRect body = pane.GetBody().GetRegion();
    EXPECT_EQ(header.bottom, body.top);  // no gap between header and body
    const CRect first = pane.GetItem(0)->GetRegion();
    const CRect second = pane.GetItem(1)->GetRegion();
    EXPECT_EQ(CRect(5, body.top + 4, 195, first.bottom), first);
    EXPECT_EQ(first.bottom + 3, second.top);
    EXPECT_EQ(second.bottom + 4, body.bottom);

    // Inside the item's margins (2, 2, 1, 1): the 16-pixel image at the left
    // over the full height, the label 6 further, centred.
    const CRect image = pane.GetItem(0)->GetImage().GetRegion();
    EXPECT_EQ(CRect(7, first.top + 1, 23, first.bottom - 1), image);
    const CRect label = pane.GetItem(0)->GetLabel().GetRegion();
    EXPECT_EQ(29, label.left);
    EXPECT_EQ(193, label.right);
    const int free = image.Height() - label.Height();
    EXPECT_GE(free, 0);
    EXPECT_EQ(image.top + free / 2, label.top);

    EXPECT_EQ(kHeaderColor, m_canvas.Pixel(2, 1));
    EXPECT_EQ(RGB(0, 255, 0), m_canvas.Pixel(190, labelHeight / 2));  // the collapse button
    EXPECT_EQ(kBodyColor, m_canvas.Pixel(2, body.top + 2));
    EXPECT_EQ(kItemColors[0], m_canvas.Pixel(6, first.top));
}

TEST_F(TaskPaneTest, HotAndCheckedItemsShowTheirStatesAndSecondGroup)
{
    CExplorerPane pane(L"Tasks");
    pane.InsertItem(-1, L"Open", 1, &m_icons, 1, 2);
    CExplorerItem& item = *pane.GetItem(0);
    Draw(pane);
    const CRect region = item.GetRegion();
    const CRect image = item.GetImage().GetRegion();
    const CRect label = item.GetLabel().GetRegion();
    auto background = [&] { return m_canvas.Pixel(region.left + 1, region.top); };
    auto picture = [&] { return m_canvas.Pixel((image.left + image.right) / 2, (image.top + image.bottom) / 2); };

    EXPECT_EQ(kItemColors[0], background());
    EXPECT_EQ(kIconColors[1], picture());
    item.SetState(1, false);
    Draw(pane);
    EXPECT_EQ(kItemColors[1], background());

    item.SetCheck(true);
    Draw(pane);
    EXPECT_EQ(1, item.GetState());
    EXPECT_EQ(5, item.GetRealState());
    EXPECT_EQ(5, item.GetLabel().GetRealState());
    EXPECT_EQ(kItemColors[5], background());
    EXPECT_EQ(kIconColors[3], picture());  // second group, same position

    item.SetState(0, false);
    Draw(pane);
    EXPECT_EQ(kItemColors[4], background());
    EXPECT_GT(m_canvas.Count(kCheckedText, label), 0);
    item.SetState(7, false);  // no such visual state: normal
    EXPECT_EQ(4, item.GetRealState());

    item.SetCheck(false);
    Draw(pane);
    EXPECT_EQ(kItemColors[0], background());
    EXPECT_EQ(0, m_canvas.Count(kCheckedText, label));
    EXPECT_EQ(kIconColors[1], picture());
}

namespace {

// The demo's side bar: two panes from the submenus of a menu, one from a
// menu template, in a real window driven with the mouse.
class TaskPaneHostTest : public TaskPaneTest {
protected:
    void SetUp() override
    {
        TaskPaneTest::SetUp();
        m_host.Record(WM_COMMAND);
        HMENU files = CreatePopupMenu();
        AppendMenuW(files, MF_STRING, 201, L"Open");
        AppendMenuW(files, MF_STRING, 202, L"Rename");
        HMENU places = CreatePopupMenu();
        AppendMenuW(places, MF_STRING, 301, L"Documents");
        AppendMenuW(m_menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(files), L"&File tasks");
        AppendMenuW(m_menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(places), L"Other places");
        // A MENU resource: header, then the items.
        m_template = {0, 0, MF_END, 401};
        for (const wchar_t* c = L"Properties"; *c; ++c)
            m_template.push_back(*c);
        m_template.push_back(0);
        RECT rect = {10, 10, 250, 290};
        m_window = Demo::CreateTaskPaneHost(m_host.Handle(), rect, m_menu.get(), 77, m_template.data());
        ASSERT_TRUE(m_window);
        m_panes = Demo::CTaskPaneHost::FromWindow(m_window);
        ASSERT_TRUE(m_panes);
        Pump(30);
    }
    void Click(const CRect& region)
    {
        WindowTest::ClickAt(m_window, region.left + 4, (region.top + region.bottom) / 2);
    }
    COLORREF ScreenPixel(int x, int y)
    {
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump(10);
        Base::CClientDC dc(m_window);
        return GetPixel(dc, x, y);
    }

    CHostWindow m_host{300, 320};
    CMenuHolder m_menu = MakeMenu(CreateMenu());
    std::vector<WORD> m_template;
    HWND m_window = nullptr;
    Demo::CTaskPaneHost* m_panes = nullptr;
};

}  // namespace

TEST_F(TaskPaneHostTest, HeaderClicksToggleTheirPaneAndItemClicksReachTheParent)
{
    ASSERT_EQ(3u, m_panes->GetPaneCount());
    CExplorerPane& files = *m_panes->GetPane(0);
    CExplorerPane& places = *m_panes->GetPane(1);
    EXPECT_EQ(L"File tasks", files.GetHeader().GetLabelGlyph().GetText());
    EXPECT_EQ(L"Properties", m_panes->GetPane(2)->GetItem(0)->GetLabel().GetText());
    EXPECT_EQ(2u, files.GetItemCount());
    const int placesTop = places.GetRegion().top;

    Click(files.GetHeader().GetStateGlyph().GetRegion());
    EXPECT_TRUE(files.IsCollapsed());
    EXPECT_LT(places.GetRegion().top, placesTop);
    EXPECT_TRUE(m_host.Received(WM_COMMAND).empty());
    Click(files.GetHeader().GetLabelGlyph().GetRegion());
    EXPECT_FALSE(files.IsCollapsed());
    EXPECT_EQ(placesTop, places.GetRegion().top);

    Click(files.GetItem(1)->GetRegion());
    auto received = m_host.Received(WM_COMMAND);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(202u, LOWORD(received[0].wParam));
    EXPECT_EQ(0u, HIWORD(received[0].wParam));
    EXPECT_FALSE(places.IsCollapsed());
    WindowTest::MoveCursorTo(m_host.Handle(), 295, 315);
}

TEST_F(TaskPaneHostTest, TheItemUnderTheMouseIsHotOnScreen)
{
    CExplorerItem& open = *m_panes->GetPane(0)->GetItem(0);
    const CRect region = open.GetRegion();
    WindowTest::MoveCursorTo(m_window, region.left + 30, region.top + 2);
    EXPECT_EQ(1, open.GetState());
    EXPECT_EQ(kItemColors[1], ScreenPixel(region.left + 1, region.top));
    WindowTest::MoveCursorTo(m_host.Handle(), 295, 315);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return open.GetState() == 0; }));
    EXPECT_EQ(kItemColors[0], ScreenPixel(region.left + 1, region.top));

    // Hiding every action of a pane takes it out of the list.
    const Windows::SUpdateUIMap map[] = {{301}, {Windows::kUpdateUIMapEnd}};
    CUpdateUIBase updateUI(map);
    updateUI.UIEnable(301, false);
    const int detailsTop = m_panes->GetPane(2)->GetRegion().top;
    m_panes->UpdateActions(updateUI);
    EXPECT_FALSE(m_panes->GetPane(1)->IsVisible());
    EXPECT_LT(m_panes->GetPane(2)->GetRegion().top, detailsTop);
}
