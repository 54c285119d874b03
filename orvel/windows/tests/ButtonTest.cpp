#include <gtest/gtest.h>

#include <string>
#include "WindowTestUtil.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/Buttons.h"
#include "orvel/windows/StyledWndManager.h"

using WindowTest::CHostWindow;
using WindowTest::MoveCursorTo;
using WindowTest::Pump;

namespace {

const COLORREF kStateColors[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(100, 100, 100),
                                 RGB(200, 200, 0)};

TestSupport::SPackSource ButtonPack()
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n"
                 L"[PushButton]\r\n"
                 L"[Back@PushButton]\r\nType=FillColor\r\nStateCount=5\r\nBorderSize=0\r\n"
                 L"FillColor=200,0,0\r\nFillColor1=0,200,0\r\nFillColor2=0,0,200\r\n"
                 L"FillColor3=100,100,100\r\nFillColor4=200,200,0\r\n"
                 L"[Fore@PushButton]\r\nType=Text\r\nStateCount=5\r\nTextColor=255,255,255\r\n"
                 L"Align=center\r\nVAlign=center\r\n"
                 L"[HyperLink]\r\n"
                 L"[Fore@HyperLink]\r\nType=Text\r\nStateCount=4\r\nTextColor=0,0,255\r\n";
    return source;
}

COLORREF Corner(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, 2, 2);
    ReleaseDC(window, dc);
    return color;
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pack.Ok()) << std::string(m_pack.Error().begin(), m_pack.Error().end()); }

    HWND AddButton(DWORD style, const wchar_t* text = L"Go", int id = 5)
    {
        return m_host.AddChild(L"BUTTON", text, style, 20, 20, 100, 30, id);
    }
    Windows::CPushButton* StylePush(HWND button)
    {
        auto* styled = new Windows::CPushButton;
        return styled->SubclassWindow(button) ? styled : nullptr;
    }

    TestSupport::CCurrentPack m_pack{ButtonPack()};
    CHostWindow m_host;
};

}  // namespace

TEST_F(ButtonTest, PushButtonPaintsItsStateFromTheStyle)
{
    HWND plain = AddButton(BS_PUSHBUTTON, L"Plain", 1);
    HWND byDefault = m_host.AddChild(L"BUTTON", L"OK", BS_DEFPUSHBUTTON, 130, 20, 100, 30, 2);
    HWND disabled = m_host.AddChild(L"BUTTON", L"Off", BS_PUSHBUTTON | WS_DISABLED, 20, 80, 100, 30, 3);
    ASSERT_TRUE(StylePush(plain));
    ASSERT_TRUE(StylePush(byDefault));
    ASSERT_TRUE(StylePush(disabled));
    EXPECT_EQ(kStateColors[0], Corner(plain));
    EXPECT_EQ(kStateColors[4], Corner(byDefault));
    EXPECT_EQ(kStateColors[3], Corner(disabled));

    SendMessageW(plain, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(kStateColors[2], Corner(plain));
    SendMessageW(plain, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(kStateColors[0], Corner(plain));

    EnableWindow(plain, FALSE);
    EXPECT_EQ(kStateColors[3], Corner(plain));
    EnableWindow(plain, TRUE);
    SendMessageW(plain, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(kStateColors[4], Corner(plain));
}

TEST_F(ButtonTest, HotButtonsReportEnterOnceAndDisabledOnesIgnoreTheMouse)
{
    UINT notify = Windows::CStyledWndManager::GetInstance().GetNotifyMessage();
    m_host.Record(notify);
    HWND button = AddButton(BS_PUSHBUTTON);
    HWND disabled = m_host.AddChild(L"BUTTON", L"Off", BS_PUSHBUTTON | WS_DISABLED, 20, 80, 100, 30, 9);
    Windows::CPushButton* styled = StylePush(button);
    ASSERT_TRUE(styled);
    ASSERT_TRUE(StylePush(disabled));

    MoveCursorTo(m_host.Handle(), 280, 180);
    MoveCursorTo(m_host.Handle(), 40, 30);
    MoveCursorTo(m_host.Handle(), 60, 35);
    EXPECT_EQ(1, styled->GetState());
    EXPECT_EQ(kStateColors[1], Corner(button));
    ASSERT_EQ(1u, m_host.Received(notify).size());

    MoveCursorTo(m_host.Handle(), 60, 95);  // over the disabled one
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return styled->GetState() == 0; }));
    EXPECT_EQ(kStateColors[3], Corner(disabled));
    auto received = m_host.Received(notify);
    ASSERT_EQ(2u, received.size());  // only the leave of the first button
    EXPECT_EQ(1u, received[1].wParam);
    EXPECT_EQ(5, received[1].lParam);
    MoveCursorTo(m_host.Handle(), 280, 180);
}

TEST_F(ButtonTest, PushButtonTextReachesTheNativeWindowForMnemonics)
{
    HWND button = AddButton(BS_PUSHBUTTON, L"Before");
    ASSERT_TRUE(StylePush(button));
    SetWindowTextW(button, L"After");
    wchar_t text[32] = {};
    EXPECT_EQ(5, GetWindowTextW(button, text, 32));
    EXPECT_STREQ(L"After", text);
    EXPECT_EQ(5, GetWindowTextLengthW(button));
    // The dialog manager matches mnemonics against the native text.
    InternalGetWindowText(button, text, 32);
    EXPECT_STREQ(L"After", text);

    wchar_t one[1] = {L'x'};
    EXPECT_EQ(0, SendMessageW(button, WM_GETTEXT, 1, reinterpret_cast<LPARAM>(one)));
    EXPECT_EQ(L'\0', one[0]);
    EXPECT_EQ(0, SendMessageW(button, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(one)));
}

TEST_F(ButtonTest, LinkShowsTheHandOnlyWhileHot)
{
    HWND link = AddButton(BS_PUSHBUTTON, L"www");
    auto* styled = new Windows::CHyperLink;
    ASSERT_TRUE(styled->SubclassWindow(link));
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(hand, GetCursor());
    MoveCursorTo(m_host.Handle(), 280, 180);
    MoveCursorTo(m_host.Handle(), 50, 30);
    EXPECT_EQ(1, styled->GetState());
    SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(hand, GetCursor());
    MoveCursorTo(m_host.Handle(), 280, 180);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return styled->GetState() == 0; }));
}

TEST(ButtonWithoutStyle, DrawsNothingButValidates)
{
    CHostWindow host;
    HWND button = host.AddChild(L"BUTTON", L"Go", BS_PUSHBUTTON, 20, 20, 100, 30, 1);
    auto* styled = new Windows::CPushButton(Style::CStyle::PushButton);
    ASSERT_TRUE(styled->SubclassWindow(button));
    InvalidateRect(button, nullptr, FALSE);
    Pump(10);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(button, &update, FALSE));
    EXPECT_EQ(nullptr, Windows::CurrentPainter(183));
}

namespace {

TestSupport::SPackSource CheckPack(bool simple = false)
{
    std::wstring fills;
    for (int state = 0; state < 12; ++state)
        fills += L"FillColor" + std::to_wstring(state) + L"=" + std::to_wstring(10 + state * 20) + L",0,0\r\n";
    TestSupport::SPackSource source;
    source.ini = std::wstring(L"[Config]\r\nIsSimple=") + (simple ? L"true" : L"false") + L"\r\n" +
                 L"[CheckButton]\r\n[Back@CheckButton]\r\nType=FillColor\r\nStateCount=12\r\nBorderSize=0\r\n" +
                 fills + L"[RadioButton]\r\n[Back@RadioButton]\r\nType=FillColor\r\nStateCount=12\r\nBorderSize=0\r\n" +
                 fills + L"[PushButton]\r\n[Back@PushButton]\r\nType=FillColor\r\nStateCount=5\r\nBorderSize=0\r\n";
    return source;
}

COLORREF CheckColor(int realState)
{
    return RGB(10 + realState * 20, 0, 0);
}

Windows::CCheckRadioButton* StyleCheck(HWND box, int kind)
{
    auto* styled = new Windows::CCheckRadioButton(kind);
    return styled->SubclassWindow(box) ? styled : nullptr;
}

}  // namespace

TEST(CheckRadioButton, RealStateIsCheckTimesFourPlusVisualState)
{
    TestSupport::CCurrentPack pack(CheckPack());
    ASSERT_TRUE(pack.Ok());
    CHostWindow host;
    HWND box = host.AddChild(L"BUTTON", L"Remember me", BS_AUTOCHECKBOX, 20, 20, 150, 24, 4);
    HWND tri = host.AddChild(L"BUTTON", L"Some", BS_AUTO3STATE | WS_DISABLED, 20, 60, 150, 24, 5);
    SendMessageW(tri, BM_SETCHECK, BST_INDETERMINATE, 0);
    auto* check = StyleCheck(box, Windows::CCheckRadioGlyph::Check);
    auto* indeterminate = StyleCheck(tri, Windows::CCheckRadioGlyph::Check);
    ASSERT_TRUE(check && indeterminate);

    EXPECT_EQ(11, indeterminate->GetGlyph().GetRealState());
    EXPECT_EQ(CheckColor(11), Corner(tri));
    EXPECT_EQ(CheckColor(0), Corner(box));

    // A click through the native control checks it; hovering makes it hot.
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    MoveCursorTo(host.Handle(), 280, 180);
    MoveCursorTo(host.Handle(), 60, 30);
    EXPECT_EQ(5, check->GetGlyph().GetRealState());
    EXPECT_EQ(CheckColor(5), Corner(box));
    MoveCursorTo(host.Handle(), 280, 180);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return check->GetGlyph().GetRealState() == 4; }));

    SendMessageW(box, BM_SETCHECK, 7, 0);  // not a check state: unchanged
    EXPECT_EQ(1, check->GetGlyph().GetCheck());
    EnableWindow(box, FALSE);
    EXPECT_EQ(7, check->GetGlyph().GetRealState());
    check->GetGlyph().SetState(4, false);
    EXPECT_EQ(0, check->GetGlyph().GetState());
}

TEST(CheckRadioButton, TheLabelFollowsTheNativeText)
{
    TestSupport::CCurrentPack pack(CheckPack());
    ASSERT_TRUE(pack.Ok());
    CHostWindow host;
    HWND box = host.AddChild(L"BUTTON", L"Remember me", BS_AUTOCHECKBOX, 20, 20, 150, 24, 4);
    auto* check = StyleCheck(box, Windows::CCheckRadioGlyph::Check);
    ASSERT_TRUE(check);
    wchar_t text[32] = {L'x'};
    EXPECT_EQ(11, GetWindowTextW(box, text, 32));
    EXPECT_EQ(L"Remember me", check->GetGlyph().GetLabel());
    SetWindowTextW(box, L"Forget me");
    EXPECT_EQ(L"Forget me", check->GetGlyph().GetLabel());
    EXPECT_EQ(9, GetWindowTextLengthW(box));
}

TEST(CheckRadioButton, ACheckBoxItCreatesIsStyledFromItsCreation)
{
    TestSupport::CCurrentPack pack(CheckPack());
    ASSERT_TRUE(pack.Ok());
    CHostWindow host;
    long before = Windows::LiveStyledObjects();
    auto* check = new Windows::CCheckRadioButton(Windows::CCheckRadioGlyph::Check);
    HWND box = check->Create(host.Handle(), RECT{20, 20, 170, 44}, L"Made here",
                             WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 7);
    ASSERT_TRUE(box);
    EXPECT_EQ(L"Made here", check->GetGlyph().GetLabel());
    EXPECT_FALSE(check->m_bAutoDelete);
    EXPECT_EQ(nullptr, check->Create(host.Handle(), RECT{0, 0, 10, 10}, L"", WS_CHILD, 8));
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(1, check->GetGlyph().GetCheck());
    EXPECT_EQ(CheckColor(4), Corner(box));
    DestroyWindow(box);
    Pump();
    EXPECT_EQ(before + 1, Windows::LiveStyledObjects());  // the creator owns it
    delete check;
    EXPECT_EQ(before, Windows::LiveStyledObjects());
}

TEST(StyledWndManager, EnableOperationsCheckBeforeCreatingAnything)
{
    auto* manager = GetWindowStyle();
    ASSERT_EQ(&Windows::CStyledWndManager::GetInstance(), manager);
    long before = Windows::LiveStyledObjects();
    {
        TestSupport::CCurrentPack pack(CheckPack(true));
        ASSERT_TRUE(pack.Ok());
        CHostWindow host;
        HWND button = host.AddChild(L"BUTTON", L"Go", BS_PUSHBUTTON, 20, 20, 80, 24, 1);
        // A simple pack styles nothing but containers.
        EXPECT_FALSE(manager->EnablePushButtonStyled(button));
        EXPECT_FALSE(manager->EnableCheckButtonStyled(button));
        EXPECT_FALSE(manager->EnableRadioButtonStyled(button));
        EXPECT_FALSE(manager->EnableRadioButtonStyledXP(button));
        EXPECT_FALSE(manager->EnableHyperLinkStyled(button));
        EXPECT_EQ(before, Windows::LiveStyledObjects());
        EXPECT_TRUE(manager->EnableControlContainerStyled(host.Handle()));
    }
    EXPECT_EQ(before, Windows::LiveStyledObjects());
    {
        TestSupport::CCurrentPack pack(CheckPack());
        CHostWindow host;
        HWND dead = host.AddChild(L"BUTTON", L"Go", BS_PUSHBUTTON, 20, 20, 80, 24, 1);
        DestroyWindow(dead);
        EXPECT_FALSE(manager->EnablePushButtonStyled(nullptr));
        EXPECT_FALSE(manager->EnablePushButtonStyled(dead));
        EXPECT_EQ(before, Windows::LiveStyledObjects());
        HWND radio = host.AddChild(L"BUTTON", L"One", BS_AUTORADIOBUTTON, 20, 60, 80, 24, 2);
        EXPECT_TRUE(manager->EnableRadioButtonStyledXP(radio));
        EXPECT_EQ(before + 1, Windows::LiveStyledObjects());
    }
    EXPECT_EQ(before, Windows::LiveStyledObjects());
}
