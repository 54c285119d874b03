#include <gtest/gtest.h>

#include <vector>
#include "ScrollBarTestPack.h"
#include "WindowTestUtil.h"
#include "orvel/windows/ScrollBarFlat.h"
#include "tests/common/TestCommon.h"

using namespace Windows::ScrollBarImpl;
using WindowTest::CHostWindow;
using WindowTest::Pump;

namespace {

// The smallest owner: a list box that offers everything to its flat bars
// first and records what reaches its own handlers.
class CFlatOwner : public Windows::CStyledWndImpl<CFlatOwner> {
public:
    CFlatOwner() : m_flat(this) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD = 0) override
    {
        if (m_flat.ProcessWindowMessage(hWnd, message, wParam, lParam, result))
            return TRUE;
        if (message == WM_VSCROLL || message == WM_HSCROLL)
            m_scrolls.emplace_back(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        if (message == WM_NCCALCSIZE)
            ++m_ncCalcSize;
        return FALSE;
    }
    void OnSubclassed() { m_flat.OnOwnerSubclassed(); }

    Windows::CWindowWithFlatScrollBarImpl<CFlatOwner> m_flat;
    std::vector<std::pair<int, int>> m_scrolls;
    int m_ncCalcSize = 0;
};

using Codes = std::vector<std::pair<int, int>>;

// Does, from inside the modal loop, what a user or the program would:
// moves the cursor (WM_APP, screen point in lParam) or destroys a window
// (WM_APP + 1, handle in lParam).
class CActor {
public:
    CActor()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &CActor::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvelFlatTestActor";
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~CActor() { DestroyWindow(m_hWnd); }
    void PostMoveCursor(POINT screen) { PostMessageW(m_hWnd, WM_APP, 0, MAKELPARAM(screen.x, screen.y)); }
    void PostDestroy(HWND window) { PostMessageW(m_hWnd, WM_APP + 1, 0, reinterpret_cast<LPARAM>(window)); }
    // Records whether the window's repeat timer is running (and stops it).
    void PostProbeTimer(HWND window) { PostMessageW(m_hWnd, WM_APP + 2, 0, reinterpret_cast<LPARAM>(window)); }
    static std::vector<bool>& TimerProbes()
    {
        static std::vector<bool> probes;
        return probes;
    }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP)
            SetCursorPos(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        else if (message == WM_APP + 1)
            DestroyWindow(reinterpret_cast<HWND>(lParam));
        else if (message == WM_APP + 2)
            TimerProbes().push_back(KillTimer(reinterpret_cast<HWND>(lParam), CFlatScrollBarCore::kTimerId) != FALSE);
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
};

class FlatScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pack.Ok()); }
    void TearDown() override { WindowTest::MoveCursorTo(m_host.Handle(), 390, 290); }

    // A list box of `items` lines at (20, 20), 150 by 200, with flat bars.
    HWND MakeList(int items, DWORD style = WS_VSCROLL)
    {
        HWND list = m_host.AddChild(L"LISTBOX", L"", style | LBS_NOINTEGRALHEIGHT, 20, 20, 150, 200, 3);
        for (int n = 0; n < items; ++n)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"line"));
        auto* owner = new CFlatOwner;
        if (!owner->SubclassWindow(list))
            return nullptr;
        m_owner = owner;
        Pump();
        return list;
    }
    // A point of the vertical bar, in screen coordinates.
    POINT OnVertBar(HWND list, int yInBar)
    {
        const RECT& bar = m_owner->m_flat.GetVertBar().GetRegion();
        RECT frame;
        GetWindowRect(list, &frame);
        return POINT{frame.left + (bar.left + bar.right) / 2, frame.top + bar.top + yInBar};
    }
    void StartTracking(HWND list, POINT screen)
    {
        SetCursorPos(screen.x, screen.y);
        SendMessageW(list, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, MAKELPARAM(screen.x, screen.y));
    }

    TestSupport::CCurrentPack m_pack{ScrollBarTest::ScrollBarPack()};
    CHostWindow m_host{400, 300};
    CFlatOwner* m_owner = nullptr;
    CActor m_actor;
};

}  // namespace

TEST_F(FlatScrollBarTest, StyledBarTakesTheNativeBarsPlace)
{
    HWND list = MakeList(100);
    ASSERT_TRUE(list);
    CVertScrollBarGlyph& vert = m_owner->m_flat.GetVertBar();
    EXPECT_TRUE(vert.IsVisible());
    EXPECT_FALSE(m_owner->m_flat.GetHorzBar().IsVisible());
    EXPECT_FALSE(m_owner->m_flat.GetSizeBox().IsVisible());
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(150 - CFlatScrollBarCore::VertBarWidth(), client.right);
    EXPECT_EQ(200, client.bottom);
    EXPECT_EQ(Glyph::CRect(client.right, 0, 150, 200), vert.GetRegion());
    int minimum = -1;
    int maximum = -1;
    vert.GetRange(minimum, maximum);
    EXPECT_EQ(99, maximum);

    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(list);
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), GetPixel(dc, client.right + 5, 5));
    EXPECT_EQ(ScrollBarTest::ArrowColor(4), GetPixel(dc, client.right + 5, 197));
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), GetPixel(dc, client.right + 5, vert.GetArrowSize() + 3));
    EXPECT_EQ(ScrollBarTest::UpperTrackColor(0), GetPixel(dc, client.right + 5, 150));
    ReleaseDC(list, dc);

    RECT frame;
    GetWindowRect(list, &frame);
    EXPECT_EQ(HTVSCROLL, SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(frame.right - 3, frame.top + 50)));
    EXPECT_EQ(HTCLIENT, SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(frame.left + 20, frame.top + 50)));

    // The owner's handlers see a re-dispatched message exactly once.
    m_owner->m_ncCalcSize = 0;
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(1, m_owner->m_ncCalcSize);

    // Painting the bars again and again leaks nothing.
    const int freeSlots = TestCommon::FreeGdiSlots();
    for (int n = 0; n < 50; ++n)
        RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(TestCommon::FreeGdiSlots(), freeSlots);
}

TEST_F(FlatScrollBarTest, BarsOfADisabledWindowShowTheDisabledLookAndTakeNoPress)
{
    HWND list = MakeList(100);
    ASSERT_TRUE(list);
    CVertScrollBarGlyph& vert = m_owner->m_flat.GetVertBar();
    RECT client;
    GetClientRect(list, &client);
    auto barPixel = [&](int y) {
        HDC dc = GetWindowDC(list);
        COLORREF colour = GetPixel(dc, client.right + 5, y);
        ReleaseDC(list, dc);
        return colour;
    };
    const int disabled = 3, down = 4;
    WindowTest::MoveCursorTo(list, client.right + 5, 5);
    EnableWindow(list, FALSE);
    Pump();
    EXPECT_EQ(ScrollBarTest::ArrowColor(disabled), barPixel(5));
    EXPECT_EQ(ScrollBarTest::ArrowColor(down + disabled), barPixel(197));
    EXPECT_EQ(ScrollBarTest::ThumbColor(disabled), barPixel(vert.GetArrowSize() + 3));
    WindowTest::ClickAt(list, client.right + 5, 197);
    EXPECT_EQ(0, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(ScrollBarTest::ArrowColor(down + disabled), barPixel(197));

    EnableWindow(list, TRUE);
    Pump();
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), barPixel(5));
    EXPECT_EQ(ScrollBarTest::ThumbColor(0), barPixel(vert.GetArrowSize() + 3));
}

TEST_F(FlatScrollBarTest, BothBarsShareTheCornerAndAMissingStyleBitHidesABar)
{
    HWND list = MakeList(100, WS_VSCROLL | WS_HSCROLL);
    ASSERT_TRUE(list);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 1000, 0);
    Pump();
    CFlatScrollBarCore& flat = m_owner->m_flat;
    ASSERT_TRUE(flat.GetHorzBar().IsVisible());
    ASSERT_TRUE(flat.GetSizeBox().IsVisible());
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(Glyph::CRect(client.right, client.bottom, 150, 200), flat.GetSizeBox().GetRegion());
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(list);
    EXPECT_EQ(ScrollBarTest::SizeBoxColor(), GetPixel(dc, 146, 196));
    EXPECT_EQ(ScrollBarTest::ArrowColor(8), GetPixel(dc, 4, 196));
    ReleaseDC(list, dc);
    RECT frame;
    GetWindowRect(list, &frame);
    EXPECT_EQ(HTBORDER, SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(frame.right - 2, frame.bottom - 2)));

    // Without WS_HSCROLL the horizontal bar stays away, whatever the range.
    SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) & ~WS_HSCROLL);
    PostMessageW(list, Windows::kMsgScrollBarUpdate, 3, SIF_ALL);
    Pump();
    EXPECT_FALSE(flat.GetHorzBar().IsVisible());
    EXPECT_FALSE(flat.GetSizeBox().IsVisible());
    EXPECT_EQ(0, GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL);
    GetClientRect(list, &client);
    EXPECT_EQ(200, client.bottom);
}

TEST_F(FlatScrollBarTest, PressOnTheLowerTrackRepeatsPausesOffThePartAndEnds)
{
    HWND list = MakeList(300);
    ASSERT_TRUE(list);
    SendMessageW(list, LB_SETTOPINDEX, 299, 0);
    SendMessageW(list, Windows::kMsgScrollBarUpdate, 1, SIF_ALL);
    CVertScrollBarGlyph& vert = m_owner->m_flat.GetVertBar();
    ASSERT_GT(vert.get_m_nThumbPosition(), vert.GetArrowSize() + 20);
    const POINT onTrack = OnVertBar(list, vert.GetArrowSize() + 3);
    const POINT offBar = {onTrack.x - 60, onTrack.y};

    const UINT timer = static_cast<UINT>(CFlatScrollBarCore::kTimerId);
    PostMessageW(list, WM_TIMER, timer, 0);
    PostMessageW(list, WM_TIMER, timer, 0);
    m_actor.PostMoveCursor(offBar);
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
    PostMessageW(list, WM_TIMER, timer, 0);  // off the track: nothing
    m_actor.PostMoveCursor(onTrack);
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
    PostMessageW(list, WM_TIMER, timer, 0);
    PostMessageW(list, WM_LBUTTONUP, 0, 0);
    StartTracking(list, onTrack);

    EXPECT_EQ(Codes({{SB_PAGEUP, 0}, {SB_PAGEUP, 0}, {SB_PAGEUP, 0}, {SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}}),
              m_owner->m_scrolls);
    EXPECT_EQ(PartNone, m_owner->m_flat.GetPressedPart());
    EXPECT_EQ(nullptr, GetCapture());
    // The native list box scrolled, and the glyph followed it.
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_LT(top, 299 - 40);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());
}

TEST_F(FlatScrollBarTest, RepeatTimerStopsOffTheArrowAndRunsAgainBackOnIt)
{
    HWND list = MakeList(300);
    ASSERT_TRUE(list);
    const POINT onArrow = OnVertBar(list, m_owner->m_flat.GetVertBar().GetRegion().Height() - 3);
    CActor::TimerProbes().clear();
    m_actor.PostMoveCursor({onArrow.x - 60, onArrow.y});
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
    m_actor.PostProbeTimer(list);
    m_actor.PostMoveCursor(onArrow);
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
    m_actor.PostProbeTimer(list);
    PostMessageW(list, WM_LBUTTONUP, 0, 0);
    StartTracking(list, onArrow);
    EXPECT_EQ(std::vector<bool>({false, true}), CActor::TimerProbes());
    EXPECT_EQ(Codes({{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}), m_owner->m_scrolls);
}

TEST_F(FlatScrollBarTest, ThumbDragSendsTrackOnlyForNewPositions)
{
    HWND list = MakeList(25);  // a few positions, many pixels each
    ASSERT_TRUE(list);
    CVertScrollBarGlyph& vert = m_owner->m_flat.GetVertBar();
    ASSERT_TRUE(vert.IsVisible());
    const int thumbAtPress = vert.get_m_nThumbPosition();
    const POINT onThumb = OnVertBar(list, thumbAtPress + 3);
    const int expected = vert.CalcPosBaseOnThumbPos(thumbAtPress + 60);
    ASSERT_GT(expected, 0);
    ASSERT_EQ(0, vert.CalcPosBaseOnThumbPos(thumbAtPress + 1));

    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
    m_actor.PostMoveCursor({onThumb.x, onThumb.y + 1});
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);  // same position: nothing
    m_actor.PostMoveCursor({onThumb.x, onThumb.y + 60});
    PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
    PostMessageW(list, WM_TIMER, CFlatScrollBarCore::kTimerId, 0);  // unchanged: nothing
    PostMessageW(list, WM_LBUTTONUP, 0, 0);
    StartTracking(list, onThumb);

    EXPECT_EQ(Codes({{SB_THUMBTRACK, 0}, {SB_THUMBTRACK, expected}, {SB_THUMBPOSITION, expected}, {SB_ENDSCROLL, 0}}),
              m_owner->m_scrolls);
    EXPECT_EQ(expected, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(expected, vert.GetPos());
}

TEST_F(FlatScrollBarTest, WheelAndKeysMoveTheStyledThumb)
{
    HWND list = MakeList(100);
    ASSERT_TRUE(list);
    CVertScrollBarGlyph& vert = m_owner->m_flat.GetVertBar();
    const int thumbBefore = vert.get_m_nThumbPosition();
    RECT frame;
    GetWindowRect(list, &frame);
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(frame.left + 10, frame.top + 10));
    EXPECT_GT(vert.GetPos(), 0);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());
    EXPECT_GT(vert.get_m_nThumbPosition(), thumbBefore);

    // The list box puts its caret on the first line at the first key.
    SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, vert.GetPos());
    SendMessageW(list, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(vert.GetMaxPos(), vert.GetPos());
}

TEST_F(FlatScrollBarTest, NonClientHotTrackingFollowsThePart)
{
    HWND list = MakeList(100);
    ASSERT_TRUE(list);
    CVertScrollBarGlyph& vert = m_owner->m_flat.GetVertBar();
    const POINT down = OnVertBar(list, vert.GetRegion().Height() - 3);
    SendMessageW(list, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(down.x, down.y));
    EXPECT_EQ(5, vert.GetPart(PartLastArrow)->GetState());  // down, hot
    const POINT up = OnVertBar(list, 3);
    SendMessageW(list, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(up.x, up.y));
    EXPECT_EQ(4, vert.GetPart(PartLastArrow)->GetState());
    EXPECT_EQ(1, vert.GetPart(PartFirstArrow)->GetState());
    SendMessageW(list, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_EQ(0, vert.GetPart(PartFirstArrow)->GetState());
    EXPECT_EQ(nullptr, m_owner->m_flat.GetHotPart());
}

TEST_F(FlatScrollBarTest, TrackingEndsWhenTheWindowGoesOrTheThreadQuits)
{
    HWND list = MakeList(100);
    ASSERT_TRUE(list);
    const POINT onArrow = OnVertBar(list, 3);

    PostQuitMessage(7);
    StartTracking(list, onArrow);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(PartNone, m_owner->m_flat.GetPressedPart());
    MSG quit = {};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // passed on, not eaten
    EXPECT_EQ(7u, quit.wParam);

    const long before = Windows::LiveStyledObjects();
    m_actor.PostDestroy(list);
    StartTracking(list, onArrow);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(before - 1, Windows::LiveStyledObjects());
}
