#include <gtest/gtest.h>

#include "ScrollBarTestPack.h"
#include "WindowTestUtil.h"
#include "orvel/windows/ScrollBar.h"
#include "orvel/windows/StyledWndManager.h"

using namespace Windows::ScrollBarImpl;
using WindowTest::CHostWindow;
using WindowTest::Pump;

namespace {

class ScrollBarControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok());
        m_host.Record(WM_HSCROLL);
        m_host.Record(WM_VSCROLL);
    }

    // A styled horizontal bar 200 by 17 at (20, 20), range 0 to 100, page 10.
    HWND MakeBar(int pos = 0)
    {
        HWND bar = m_host.AddChild(L"SCROLLBAR", L"", SBS_HORZ, 20, 20, 200, 17, 7);
        SCROLLINFO info = MakeScrollInfo(SIF_RANGE | SIF_PAGE | SIF_POS);
        info.nMax = 100;
        info.nPage = 10;
        info.nPos = pos;
        SetScrollInfo(bar, SB_CTL, &info, TRUE);
        auto* styled = new Windows::CScrollBar;
        if (!styled->SubclassWindow(bar))
            return nullptr;
        m_styled = styled;
        Pump();
        return bar;
    }

    COLORREF ScreenPixel(HWND window, int x, int y)
    {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(window);
        COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    }

    // The scroll codes (and positions) the parent received so far.
    std::vector<std::pair<int, int>> Sent()
    {
        std::vector<std::pair<int, int>> codes;
        for (const auto& m : m_host.Received(WM_HSCROLL))
            codes.emplace_back(LOWORD(m.wParam), static_cast<short>(HIWORD(m.wParam)));
        return codes;
    }

    TestSupport::CCurrentPack m_pack{ScrollBarTest::ScrollBarPack()};
    CHostWindow m_host{400, 200};
    Windows::CScrollBar* m_styled = nullptr;
};

using Codes = std::vector<std::pair<int, int>>;

}  // namespace

TEST_F(ScrollBarControlTest, FollowsTheNativeControlAndPaintsTheStyle)
{
    HWND bar = MakeBar(45);
    ASSERT_TRUE(bar);
    CScrollBarGlyph* glyph = m_styled->GetBarGlyph();
    EXPECT_EQ(45, glyph->GetPos());
    EXPECT_EQ(ScrollBarTest::ArrowColor(8), ScreenPixel(bar, 5, 8));
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), ScreenPixel(bar, glyph->get_m_nThumbPosition() + 3, 8));

    // The native control clamps to the last page; the glyph shows what it kept.
    SetScrollPos(bar, SB_CTL, 500, TRUE);
    EXPECT_EQ(91, GetScrollPos(bar, SB_CTL));
    EXPECT_EQ(91, glyph->GetPos());
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), ScreenPixel(bar, 170, 8));
    EXPECT_EQ(ScrollBarTest::LowerTrackColor(0), ScreenPixel(bar, 100, 8));

    SendMessageW(bar, SBM_SETRANGE, 0, 50);
    int minimum = -1;
    int maximum = -1;
    glyph->GetRange(minimum, maximum);
    EXPECT_EQ(50, maximum);
    SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, 0);  // a null record is the native side's business

    // A resize lays the glyph out again.
    SetWindowPos(bar, nullptr, 0, 0, 300, 17, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(300, glyph->GetRegion().Width());
}

TEST_F(ScrollBarControlTest, ADisabledBarShowsEveryPartDisabledAndTakesNoInput)
{
    HWND bar = MakeBar(45);
    ASSERT_TRUE(bar);
    const int thumb = m_styled->GetBarGlyph()->get_m_nThumbPosition() + 3;
    const int left = 8, disabled = 3;  // left arrow's first state; the fourth look
    EnableWindow(bar, FALSE);
    EXPECT_EQ(ScrollBarTest::ArrowColor(left + disabled), ScreenPixel(bar, 5, 8));
    EXPECT_EQ(ScrollBarTest::ThumbColor(disabled), ScreenPixel(bar, thumb, 8));
    EXPECT_EQ(ScrollBarTest::LowerTrackColor(disabled), ScreenPixel(bar, 30, 8));
    WindowTest::ClickAt(bar, 30, 8);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(ScrollBarTest::LowerTrackColor(disabled), ScreenPixel(bar, 30, 8));

    EnableWindow(bar, TRUE);
    EXPECT_EQ(ScrollBarTest::ArrowColor(left), ScreenPixel(bar, 5, 8));
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), ScreenPixel(bar, thumb, 8));

    // Styled while disabled, it starts in the disabled look.
    HWND other = m_host.AddChild(L"SCROLLBAR", L"", SBS_HORZ | WS_DISABLED, 20, 60, 200, 17, 8);
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableScrollBarStyled(other));
    EXPECT_EQ(ScrollBarTest::ArrowColor(left + disabled), ScreenPixel(other, 5, 8));
}

TEST_F(ScrollBarControlTest, PressOnTheLowerTrackRepeatsOnTheTimerUntilRelease)
{
    HWND bar = MakeBar(50);
    ASSERT_TRUE(bar);
    const LPARAM onTrack = MAKELPARAM(30, 8);
    SendMessageW(bar, WM_MOUSEMOVE, 0, onTrack);
    EXPECT_EQ(PartLowerTrack, m_styled->GetBarGlyph()->GetGlyphPartCode(m_styled->GetHotPart()));
    EXPECT_EQ(1, m_styled->GetHotPart() ? static_cast<Glyph::CStyledGlyph*>(m_styled->GetHotPart())->GetState() : -1);

    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, onTrack);
    EXPECT_EQ(Codes({{SB_PAGEUP, 0}}), Sent());
    EXPECT_EQ(bar, GetCapture());
    EXPECT_EQ(2, static_cast<Glyph::CStyledGlyph*>(m_styled->GetHotPart())->GetState());

    SendMessageW(bar, WM_TIMER, Windows::CScrollBar::kTimerId, 0);
    SendMessageW(bar, WM_TIMER, Windows::CScrollBar::kTimerId, 0);
    SendMessageW(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, onTrack);  // swallowed
    EXPECT_EQ(Codes({{SB_PAGEUP, 0}, {SB_PAGEUP, 0}, {SB_PAGEUP, 0}}), Sent());

    SendMessageW(bar, WM_LBUTTONUP, 0, onTrack);
    SendMessageW(bar, WM_TIMER, Windows::CScrollBar::kTimerId, 0);
    // The end code, as the native bar sends it, and no repeat after release.
    EXPECT_EQ(Codes({{SB_PAGEUP, 0}, {SB_PAGEUP, 0}, {SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}}), Sent());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, static_cast<Glyph::CStyledGlyph*>(m_styled->GetHotPart())->GetState());

    // The arrows and the upper track send their own codes.
    m_host.ClearReceived();
    for (int x : {5, 195, 180}) {
        SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(x, 8));
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
        SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
    }
    EXPECT_EQ(Codes({{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}, {SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}, {SB_PAGEDOWN, 0},
                     {SB_ENDSCROLL, 0}}),
              Sent());
}

TEST_F(ScrollBarControlTest, ThumbTracksTheCursorOnTheTimerAndReportsThePositionOnRelease)
{
    HWND bar = MakeBar(0);
    ASSERT_TRUE(bar);
    WindowTest::MoveCursorTo(bar, 25, 8);  // over the thumb (17 to 33)
    SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(25, 8));
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 8));
    EXPECT_EQ(PartThumb, m_styled->GetPressedPart());
    POINT target = {25 + 75, 8};
    ClientToScreen(bar, &target);
    SetCursorPos(target.x, target.y);
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 8));  // ignored while captured
    SendMessageW(bar, WM_TIMER, Windows::CScrollBar::kTimerId, 0);
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(100, 8));
    EXPECT_EQ(Codes({{SB_THUMBTRACK, 0}, {SB_THUMBTRACK, 46}, {SB_THUMBPOSITION, 46}, {SB_ENDSCROLL, 0}}), Sent());
    EXPECT_EQ(PartNone, m_styled->GetPressedPart());
    WindowTest::MoveCursorTo(m_host.Handle(), 390, 190);
}

TEST_F(ScrollBarControlTest, LosingTheCaptureStopsTheRepeat)
{
    HWND bar = MakeBar(50);
    ASSERT_TRUE(bar);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 8));
    SetCapture(m_host.Handle());
    ReleaseCapture();
    SendMessageW(bar, WM_TIMER, Windows::CScrollBar::kTimerId, 0);
    EXPECT_EQ(1u, Sent().size());
    EXPECT_EQ(PartNone, m_styled->GetPressedPart());
}

TEST_F(ScrollBarControlTest, ManagerStylesScrollBarsAndTheObjectDiesWithItsWindow)
{
    Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
    EXPECT_FALSE(manager.EnableScrollBarStyled(nullptr));
    EXPECT_FALSE(manager.EnableScrollWndStyled(reinterpret_cast<HWND>(0x1234)));
    const long before = Windows::LiveStyledObjects();
    HWND bar = m_host.AddChild(L"SCROLLBAR", L"", SBS_VERT, 20, 20, 17, 150, 8);
    ASSERT_TRUE(manager.EnableScrollBarStyled(bar));
    EXPECT_EQ(before + 1, Windows::LiveStyledObjects());
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 3));
    EXPECT_EQ(1u, m_host.Received(WM_VSCROLL).size());
    DestroyWindow(bar);
    Pump();
    EXPECT_EQ(before, Windows::LiveStyledObjects());
}

TEST_F(ScrollBarControlTest, ScrollWindowPaintsStyledBarsOverTheNativeOnes)
{
    HWND list = m_host.AddChild(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 20, 20, 150, 150, 9);
    for (int n = 0; n < 100; ++n)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
    HWND plain = m_host.AddChild(L"STATIC", L"", 0, 200, 20, 50, 50, 10);
    Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
    ASSERT_TRUE(manager.EnableScrollWndStyled(plain));
    ASSERT_TRUE(manager.EnableScrollWndStyled(list));
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(list, &client);
    HDC dc = GetWindowDC(list);
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), GetPixel(dc, client.right + 5, 5));
    EXPECT_EQ(ScrollBarTest::ArrowColor(4), GetPixel(dc, client.right + 5, client.bottom - 3));
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), GetPixel(dc, client.right + 5, GetSystemMetrics(SM_CXVSCROLL) + 3));
    ReleaseDC(list, dc);
}
