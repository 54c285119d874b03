#include <gtest/gtest.h>

#include <string>
#include "ScrollBarTestPack.h"
#include "WindowTestUtil.h"
#include "orvel/windows/EditCombo.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

using WindowTest::CHostWindow;
using WindowTest::MoveCursorTo;
using WindowTest::Pump;
using WindowTest::PumpUntil;

namespace {

const COLORREF kEditFrame = RGB(10, 120, 130);
inline COLORREF ComboColor(int state) { return RGB(40 + 50 * state, 0, 90); }
inline COLORREF ButtonColor(int state) { return RGB(0, 90, 40 + 50 * state); }

TestSupport::SPackSource EditComboPack()
{
    TestSupport::SPackSource source = ScrollBarTest::ScrollBarPack();
    source.ini += ScrollBarTest::FillSection(L"Edit", 1, [](int) { return kEditFrame; }) +
                  ScrollBarTest::FillSection(L"Combobox", 4, ComboColor) +
                  L"[Fore@Combobox]\r\nType=Text\r\nStateCount=4\r\nTextColor=255,255,255\r\n" +
                  ScrollBarTest::FillSection(L"ComboboxDropDownButton", 4, ButtonColor);
    return source;
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

COLORREF FramePixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

template <class T>
T* StyleAs(HWND window)
{
    auto* styled = new T;
    return styled->SubclassWindow(window) ? styled : nullptr;
}

class EditComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok()) << std::string(m_pack.Error().begin(), m_pack.Error().end());
        m_liveBefore = Windows::LiveStyledObjects();
    }
    void TearDown() override
    {
        MoveCursorTo(m_host.Handle(), 390, 290);
        DestroyChildren();
        // Every object went with its window.
        EXPECT_EQ(m_liveBefore, Windows::LiveStyledObjects());
    }
    void DestroyChildren()
    {
        while (HWND child = GetWindow(m_host.Handle(), GW_CHILD))
            DestroyWindow(child);
        Pump();
    }
    HWND AddEdit(DWORD style, int x, int y, int w, int h, int id)
    {
        return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                               m_host.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }

    HWND AddList(DWORD style = WS_VSCROLL)
    {
        return m_host.AddChild(L"LISTBOX", L"", style | LBS_NOINTEGRALHEIGHT | WS_BORDER, 20, 20, 150, 200, 3);
    }
    HWND AddCombo(DWORD style, int items = 5)
    {
        HWND combo = m_host.AddChild(L"COMBOBOX", L"", style, 200, 20, 160, 200, 4);
        for (int n = 0; n < items; ++n)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"item " + std::to_wstring(n)).c_str()));
        return combo;
    }
    void AddLines(HWND list, int count)
    {
        for (int n = 0; n < count; ++n)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"line"));
    }

    TestSupport::CCurrentPack m_pack{EditComboPack()};
    CHostWindow m_host{400, 300};
    long m_liveBefore = 0;
};

}  // namespace

TEST_F(EditComboTest, ListBoxBarAppearsWithContentAndFollowsTheWheel)
{
    HWND list = AddList();
    AddLines(list, 3);
    auto* styled = StyleAs<Windows::CListBox>(list);
    ASSERT_TRUE(styled);
    Pump();
    auto& vert = styled->GetFlatScrollBars().GetVertBar();
    EXPECT_FALSE(vert.IsVisible());

    // Filling the list needs no scroll message for the bar to show.
    AddLines(list, 200);
    Pump();
    ASSERT_TRUE(vert.IsVisible());
    RECT client;
    GetClientRect(list, &client);
    // The bar sits right of the client area, inside the one-pixel border.
    const int border = GetSystemMetrics(SM_CXBORDER);
    EXPECT_EQ(Glyph::CRect(border + client.right, border,
                           border + client.right + Windows::ScrollBarImpl::CFlatScrollBarCore::VertBarWidth(),
                           border + client.bottom),
              vert.GetRegion());
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), FramePixel(list, vert.GetRegion().left + 4, border + 4));
    const int thumbBefore = vert.get_m_nThumbPosition();
    EXPECT_EQ(ScrollBarTest::ThumbColor(0),
              FramePixel(list, vert.GetRegion().left + 4, vert.GetRegion().top + thumbBefore + 3));

    // Three notches of the wheel down: the list scrolls and the thumb with it.
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), 0);
    Pump();
    EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());
    const int thumbAfter = vert.get_m_nThumbPosition();
    EXPECT_GT(thumbAfter, thumbBefore);
    EXPECT_EQ(ScrollBarTest::ThumbColor(0),
              FramePixel(list, vert.GetRegion().left + 4, vert.GetRegion().top + thumbAfter + 3));

    // A top index set by the program moves the thumb too.
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    Pump();
    EXPECT_EQ(0, vert.GetPos());

    // Emptying the list takes the bar away and gives the space back.
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    Pump();
    EXPECT_FALSE(vert.IsVisible());
    RECT after;
    GetClientRect(list, &after);
    EXPECT_GT(after.right, client.right);
}

TEST_F(EditComboTest, ListBoxBarFollowsTypeAheadAndDragScrolling)
{
    HWND list = AddList();
    AddLines(list, 50);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"zebra"));
    AddLines(list, 10);
    auto* styled = StyleAs<Windows::CListBox>(list);
    ASSERT_TRUE(styled);
    Pump();
    auto& vert = styled->GetFlatScrollBars().GetVertBar();
    ASSERT_TRUE(vert.IsVisible());

    SetFocus(list);
    SendMessageW(list, WM_CHAR, 'z', 0);
    Pump();
    EXPECT_EQ(50, SendMessageW(list, LB_GETCURSEL, 0, 0));
    ASSERT_GT(GetScrollPos(list, SB_VERT), 0);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());

    // Dragging a selection below the list scrolls it from a timer.
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    Pump();
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 260));
    Pump(400);
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 260));
    Pump();
    ASSERT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());
}

TEST_F(EditComboTest, EditFrameIsStyledAndItsBarsFollowTheText)
{
    HWND edit = AddEdit(WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 20, 20, 200, 100, 5);
    HWND single = AddEdit(ES_MULTILINE, 20, 150, 200, 60, 6);
    auto* styled = StyleAs<Windows::CEdit>(edit);
    auto* plain = StyleAs<Windows::CEdit>(single);
    ASSERT_TRUE(styled && plain);
    Pump();

    // The frame comes from the style; the text area stays the edit's own.
    EXPECT_EQ(kEditFrame, FramePixel(edit, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), ClientPixel(edit, 30, 30));
    EXPECT_EQ(kEditFrame, FramePixel(single, 0, 30));

    std::wstring text;
    for (int n = 0; n < 40; ++n)
        text += L"line " + std::to_wstring(n) + L"\r\n";
    SetWindowTextW(edit, text.c_str());
    SetWindowTextW(single, text.c_str());
    Pump();
    auto& vert = styled->GetFlatScrollBars().GetVertBar();
    ASSERT_TRUE(vert.IsVisible());
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), FramePixel(edit, vert.GetRegion().left + 4, vert.GetRegion().top + 4));
    // Without WS_VSCROLL no bar shows, though the update asks for one.
    PostMessageW(single, Windows::kMsgScrollBarUpdate, 1, SIF_ALL);
    Pump();
    EXPECT_FALSE(plain->GetFlatScrollBars().GetVertBar().IsVisible());

    // Scrolling by the program (no scroll message) and by a scroll message
    // both move the styled thumb.
    SendMessageW(edit, EM_LINESCROLL, 0, 20);
    Pump();
    EXPECT_GT(vert.GetPos(), 0);
    EXPECT_EQ(GetScrollPos(edit, SB_VERT), vert.GetPos());
    SendMessageW(edit, WM_VSCROLL, SB_TOP, 0);
    Pump();
    EXPECT_EQ(0, vert.GetPos());
}

TEST_F(EditComboTest, EditNotifiesTheParentOfEnterAndLeave)
{
    const UINT notify = RegisterWindowMessageW(L"NotifyParentMouse");
    m_host.Record(notify);
    HWND edit = AddEdit(0, 20, 20, 200, 30, 5);
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableEditStyled(edit));
    Pump();
    m_host.ClearReceived();
    MoveCursorTo(m_host.Handle(), 60, 35);
    MoveCursorTo(m_host.Handle(), 70, 35);
    MoveCursorTo(m_host.Handle(), 390, 290);
    ASSERT_TRUE(PumpUntil([&] { return m_host.Received(notify).size() >= 2; }));
    auto received = m_host.Received(notify);
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ(0u, received[0].wParam);
    EXPECT_EQ(1u, received[1].wParam);
    EXPECT_EQ(5, received[1].lParam);
}

TEST_F(EditComboTest, DropDownListShowsTheSelectionAndItsStates)
{
    HWND combo = AddCombo(CBS_DROPDOWNLIST | WS_VSCROLL);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    auto* styled = StyleAs<Windows::CComboBox>(combo);
    ASSERT_TRUE(styled);
    Pump();
    Windows::CComboBoxGlyph& glyph = styled->GetGlyph();
    EXPECT_TRUE(styled->OwnsText());
    EXPECT_EQ(L"item 1", glyph.GetText());

    RECT client;
    GetClientRect(combo, &client);
    const Glyph::CRect& button = glyph.GetButton().GetRegion();
    EXPECT_EQ(client.right, button.right);
    EXPECT_EQ(client.right - GetSystemMetrics(SM_CXVSCROLL), button.left);
    EXPECT_EQ(ComboColor(0), ClientPixel(combo, 2, 2));
    EXPECT_EQ(ButtonColor(0), ClientPixel(combo, button.left + 3, client.bottom / 2));

    // The program and the keyboard change the selection: the glyph follows.
    SendMessageW(combo, CB_SETCURSEL, 3, 0);
    EXPECT_EQ(L"item 3", glyph.GetText());
    SetFocus(combo);
    SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
    Pump();
    EXPECT_EQ(L"item 4", glyph.GetText());
    EXPECT_EQ(ComboColor(0), ClientPixel(combo, 2, 2));

    // Hot while the mouse is over it, pressed while the button is down.
    RECT frame;
    GetWindowRect(combo, &frame);
    MapWindowPoints(nullptr, m_host.Handle(), reinterpret_cast<POINT*>(&frame), 2);
    MoveCursorTo(m_host.Handle(), frame.left + 20, frame.top + 5);
    ASSERT_TRUE(PumpUntil([&] { return glyph.GetState() == 1; }));
    EXPECT_EQ(1, glyph.GetButton().GetState());
    EXPECT_EQ(ComboColor(1), ClientPixel(combo, 2, 2));
    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    EXPECT_EQ(2, glyph.GetState());
    EXPECT_EQ(2, glyph.GetButton().GetState());
    SendMessageW(combo, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(1, glyph.GetState());
    MoveCursorTo(m_host.Handle(), 390, 290);
    EXPECT_TRUE(PumpUntil([&] { return glyph.GetState() == 0; }));

    // Disabled shows state 3.
    EnableWindow(combo, FALSE);
    EXPECT_EQ(3, glyph.GetState());
    EXPECT_EQ(ComboColor(3), ClientPixel(combo, 2, 2));
    EnableWindow(combo, TRUE);
    EXPECT_EQ(0, glyph.GetState());
}

TEST_F(EditComboTest, DropDownKeepsItsEditAndItsButtonWidth)
{
    HWND combo = AddCombo(CBS_DROPDOWN | WS_VSCROLL);
    auto* styled = StyleAs<Windows::CComboBox>(combo);
    ASSERT_TRUE(styled);
    Pump();
    Windows::CComboBoxGlyph& glyph = styled->GetGlyph();
    EXPECT_FALSE(styled->OwnsText());
    HWND edit = GetDlgItem(combo, 1001);
    ASSERT_TRUE(edit);
    RECT editRect;
    GetWindowRect(edit, &editRect);
    MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&editRect), 2);
    EXPECT_EQ(editRect.right + 2, glyph.GetButton().GetRegion().left);
    const int width = styled->GetButtonWidth();
    EXPECT_EQ(glyph.GetButton().GetRegion().Width(), width);

    // The edit child shows the selection; the glyph keeps no text.
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    Pump();
    EXPECT_EQ(L"", glyph.GetText());

    SetWindowPos(combo, nullptr, 0, 0, 190, 200, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT client;
    GetClientRect(combo, &client);
    EXPECT_EQ(client.right, glyph.GetButton().GetRegion().right);
    EXPECT_EQ(width, glyph.GetButton().GetRegion().Width());
    EXPECT_EQ(ButtonColor(0), ClientPixel(combo, client.right - width + 3, client.bottom / 2));
}

TEST_F(EditComboTest, ManagerStylesTheInnerComboAndRefusesBadHandles)
{
    Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
    EXPECT_FALSE(manager.EnableEditStyled(nullptr));
    EXPECT_FALSE(manager.EnableComboStyled(reinterpret_cast<HWND>(0x1234)));
    EXPECT_FALSE(manager.EnableListBoxStyled(nullptr));
    EXPECT_EQ(m_liveBefore, Windows::LiveStyledObjects());

    // A wrapper whose child carries the wrapper's own identifier: the child
    // is the one styled.
    HWND wrapper = m_host.AddChild(L"STATIC", L"", 0, 20, 20, 200, 120, 9);
    HWND inner = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 180, 100,
                                 wrapper, reinterpret_cast<HMENU>(9), GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(inner);
    ASSERT_TRUE(manager.EnableComboStyled(wrapper));
    EXPECT_EQ(m_liveBefore + 1, Windows::LiveStyledObjects());
    EXPECT_EQ(ComboColor(0), ClientPixel(inner, 2, 2));

    HWND list = AddList();
    ASSERT_TRUE(manager.EnableListBoxStyled(list));
    AddLines(list, 100);
    Pump();
    RECT frame;
    GetWindowRect(list, &frame);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), FramePixel(list, client.right + 5, 5));
}

TEST_F(EditComboTest, StylingPaintingAndDestroyingLeaksNoGdiObjects)
{
    auto cycle = [&] {
        HWND edit = AddEdit(WS_VSCROLL | ES_MULTILINE, 20, 20, 150, 80, 5);
        HWND list = AddList();
        HWND combo = AddCombo(CBS_DROPDOWNLIST);
        Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
        manager.EnableEditStyled(edit);
        manager.EnableListBoxStyled(list);
        manager.EnableComboStyled(combo);
        AddLines(list, 50);
        SendMessageW(combo, CB_SETCURSEL, 2, 0);
        SetWindowTextW(edit, L"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni");
        Pump();
        for (HWND window : {edit, list, combo})
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        SetFocus(combo);
        SetFocus(edit);
        DestroyChildren();
    };
    cycle();  // the style loads its painters on first use
    const int freeSlots = TestCommon::FreeGdiSlots();
    for (int n = 0; n < 10; ++n)
        cycle();
    EXPECT_GE(TestCommon::FreeGdiSlots(), freeSlots);
}
