#include <gtest/gtest.h>

#include <stdexcept>
#include "WindowTestUtil.h"
#include "orvel/windows/StyledWnd.h"
#include "orvel/windows/StyledWndManager.h"
#include "orvel/testsupport/CurrentPack.h"
#include "tests/common/TestCommon.h"

using WindowTest::CHostWindow;
using WindowTest::MoveCursorTo;
using WindowTest::Pump;

namespace {

// A styled control that only tracks the mouse and paints a colour through
// the off-screen device context.
class CTracking : public Windows::CStyledWndImpl<CTracking> {
public:
    explicit CTracking(COLORREF color = RGB(0, 128, 255)) : m_color(color) {}
    BOOL ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD) override
    {
        switch (message) {
        case WM_MOUSEMOVE:
            EnableMouseLeaveMsg();
            return FALSE;
        case WM_MOUSELEAVE:
            PostMouseLeave();
            return FALSE;
        case WM_PAINT: {
            Images::CMemDC memory(m_hWnd, false);
            HBRUSH brush = CreateSolidBrush(m_color);
            FillRect(memory, &memory.GetRect(), brush);
            DeleteObject(brush);
            memory.Show();
            result = 0;
            return TRUE;
        }
        default:
            return FALSE;
        }
    }
    void OnSubclassed() { ++subclassed; }
    int subclassed = 0;

private:
    COLORREF m_color;
};

UINT NotifyMessage()
{
    return Windows::CStyledWndManager::GetInstance().GetNotifyMessage();
}

COLORREF ScreenPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

}  // namespace

TEST(StyledWnd, EnterAndLeaveArePostedOncePerStay)
{
    CHostWindow host;
    host.Record(NotifyMessage());
    HWND control = host.AddChild(L"STATIC", L"", SS_NOTIFY, 20, 20, 100, 40, 33);
    auto* styled = new CTracking;
    ASSERT_TRUE(styled->SubclassWindow(control));
    EXPECT_EQ(1, styled->subclassed);

    MoveCursorTo(host.Handle(), 250, 150);
    for (int x = 30; x < 110; x += 15)
        MoveCursorTo(host.Handle(), x, 40);
    auto received = host.Received(NotifyMessage());
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(0u, received[0].wParam);
    EXPECT_EQ(33, received[0].lParam);

    MoveCursorTo(host.Handle(), 250, 150);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return host.Received(NotifyMessage()).size() == 2; }));
    received = host.Received(NotifyMessage());
    EXPECT_EQ(1u, received[1].wParam);

    MoveCursorTo(host.Handle(), 60, 40);
    received = host.Received(NotifyMessage());
    ASSERT_EQ(3u, received.size());
    EXPECT_EQ(0u, received[2].wParam);
    MoveCursorTo(host.Handle(), 250, 150);
    WindowTest::PumpUntil([&] { return host.Received(NotifyMessage()).size() == 4; });
}

TEST(StyledWnd, ObjectsLiveExactlyAsLongAsTheirWindow)
{
    long before = Windows::LiveStyledObjects();
    {
        CHostWindow host;
        HWND control = host.AddChild(L"STATIC", L"", 0, 20, 20, 100, 40, 1);
        ASSERT_TRUE((new CTracking)->SubclassWindow(control));
        ASSERT_TRUE((new CTracking)->SubclassWindow(control));  // stacked
        EXPECT_EQ(before + 2, Windows::LiveStyledObjects());
        DestroyWindow(control);
        EXPECT_EQ(before, Windows::LiveStyledObjects());
    }
    // A failed subclass frees the object it was given.
    EXPECT_EQ(0, (new CTracking)->SubclassWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5678))));
    EXPECT_EQ(before, Windows::LiveStyledObjects());
}

TEST(StyledWnd, PaintsThroughTheOffScreenContext)
{
    CHostWindow host;
    HWND control = host.AddChild(L"STATIC", L"text", 0, 20, 20, 100, 40, 1);
    ASSERT_TRUE((new CTracking(RGB(0, 128, 255)))->SubclassWindow(control));
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
    Pump(20);
    EXPECT_EQ(RGB(0, 128, 255), ScreenPixel(control, 50, 20));
    EXPECT_EQ(RGB(0, 128, 255), ScreenPixel(control, 99, 39));
}

TEST(StyledWnd, OffScreenContextStartsFromTheParentNotTheScreen)
{
    CHostWindow host;
    HWND control = host.AddChild(L"STATIC", L"", 0, 20, 20, 60, 30, 1);
    // What the native control last drew on the screen must not show through.
    HDC dc = GetDC(control);
    RECT all = {0, 0, 60, 30};
    HBRUSH brush = CreateSolidBrush(RGB(200, 10, 10));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(control, dc);
    COLORREF parent = GetSysColor(COLOR_BTNFACE);
    for (bool copy : {true, false}) {
        Images::CMemDC memory(control, copy);
        EXPECT_EQ(parent, GetPixel(memory, 5, 5));
        EXPECT_EQ(parent, GetPixel(memory, 59, 29));
    }
}

TEST(StyledWnd, OffScreenContextsAreKeptButEachPaintStartsFresh)
{
    CHostWindow host;
    HWND small = host.AddChild(L"STATIC", L"", 0, 20, 20, 60, 30, 1);
    HWND wide = host.AddChild(L"STATIC", L"", 0, 20, 60, 300, 40, 2);
    HWND huge = host.AddChild(L"STATIC", L"", 0, 0, 0, 1500, 20, 3);
    // The clip box as "left,top,right,bottom".
    auto clipOf = [](HDC dc) {
        RECT box = {};
        GetClipBox(dc, &box);
        return std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
               std::to_string(box.bottom);
    };
    HDC kept = nullptr;
    {
        Images::CMemDC outer(small, false);
        EXPECT_EQ("0,0,60,30", clipOf(outer));
        // A paint inside a paint (a parent painting under its child) gets
        // a context of its own.
        Images::CMemDC inner(wide, false);
        EXPECT_NE(static_cast<HDC>(outer), static_cast<HDC>(inner));
        EXPECT_EQ("0,0,300,40", clipOf(inner));
        kept = inner;
        SetTextColor(inner, RGB(1, 2, 3));
        SelectObject(inner, GetStockObject(ANSI_FIXED_FONT));
    }
    const int freeSlots = TestCommon::FreeGdiSlots();
    for (int round = 0; round < 20; ++round) {
        Images::CMemDC again(wide, false);
        // The kept context that fits, in a fresh state.
        EXPECT_EQ(kept, static_cast<HDC>(again));
        EXPECT_EQ("0,0,300,40", clipOf(again));
        EXPECT_EQ(RGB(0, 0, 0), GetTextColor(again));
        EXPECT_NE(GetStockObject(ANSI_FIXED_FONT), GetCurrentObject(again, OBJ_FONT));
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(again, 299, 39));
        Images::CMemDC own(huge, false);  // too large to keep: made and freed
        EXPECT_EQ("0,0,1500,20", clipOf(own));
    }
    EXPECT_GE(TestCommon::FreeGdiSlots(), freeSlots);
}

TEST(StyledWnd, VesselRequestsDoNothingWhileHidden)
{
    CHostWindow host;
    HWND control = host.AddChild(L"STATIC", L"", 0, 20, 20, 60, 30, 1);
    auto* styled = new CTracking;
    ASSERT_TRUE(styled->SubclassWindow(control));
    Pump(20);
    RECT update;
    styled->InvalidateVesselRect(nullptr);
    EXPECT_TRUE(GetUpdateRect(control, &update, FALSE));
    ValidateRect(control, nullptr);
    ShowWindow(control, SW_HIDE);
    styled->InvalidateVesselRect(nullptr);
    EXPECT_FALSE(GetUpdateRect(control, &update, FALSE));
    DestroyWindow(control);
}

TEST(StyledWndManager, ContainerReflectsAndRefusesBadHandles)
{
    TestSupport::SPackSource simple;
    simple.ini = L"[Config]\r\nIsSimple=true\r\n";
    TestSupport::CCurrentPack pack(simple);
    ASSERT_TRUE(pack.Ok());
    auto& manager = Windows::CStyledWndManager::GetInstance();
    long before = Windows::LiveStyledObjects();
    EXPECT_FALSE(manager.EnableControlContainerStyled(nullptr));
    EXPECT_FALSE(manager.EnableControlContainerStyled(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x777))));
    EXPECT_EQ(before, Windows::LiveStyledObjects());
    {
        CHostWindow host;
        EXPECT_TRUE(manager.EnableControlContainerStyled(host.Handle()));
        EXPECT_EQ(before + 1, Windows::LiveStyledObjects());
    }
    EXPECT_EQ(before, Windows::LiveStyledObjects());
    EXPECT_NE(0u, NotifyMessage());
    EXPECT_EQ(RegisterWindowMessageW(L"NotifyParentMouse"), NotifyMessage());
}

TEST(StyledWndManager, ContainerKeepsTheParentsColoursForSilentChildren)
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n";
    TestSupport::CCurrentPack pack(source);
    ASSERT_TRUE(pack.Ok());
    CHostWindow host;
    HWND label = host.AddChild(L"STATIC", L"text", 0, 10, 10, 80, 20, 3);
    // The host answers colour requests with its own brush.
    static HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SetWindowSubclass(
        host.Handle(),
        [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (message == WM_CTLCOLORSTATIC)
                return reinterpret_cast<LRESULT>(brush);
            return DefSubclassProc(hWnd, message, wParam, lParam);
        },
        1, 0);
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableControlContainerStyled(host.Handle()));
    HDC dc = GetDC(label);
    EXPECT_EQ(reinterpret_cast<LRESULT>(brush),
              SendMessageW(host.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(label)));
    ReleaseDC(label, dc);
}
