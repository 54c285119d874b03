#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>
#include "WindowTestUtil.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/Frame.h"
#include "orvel/windows/Messages.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

using WindowTest::Pump;
using Windows::CStyledFrame;

namespace {

const COLORREF kCaption = RGB(200, 0, 0), kCaptionInactive = RGB(100, 0, 0);
const COLORREF kClose[] = {RGB(0, 0, 250), RGB(0, 250, 0), RGB(250, 250, 0), RGB(128, 128, 128)};
const COLORREF kLeft = RGB(0, 150, 0), kRight = RGB(0, 0, 150), kBottom = RGB(150, 150, 0);

std::wstring FramePack(const wchar_t* extraFrameKeys = L"")
{
    return std::wstring(L"[Config]\r\n[DlgFrame]\r\nMargins=4,4,0,4\r\nBackColor=10,20,30\r\n"
                        L"StaticColor=200,210,220\r\n") +
           extraFrameKeys +
           L"[DlgFrameTitle]\r\nHeight=30\r\nButtonRight=6\r\nButtonSpace=2\r\n"
           L"[Back@DlgFrameTitle]\r\nType=FillColor\r\nStateCount=2\r\nBorderSize=0\r\n"
           L"FillColor=200,0,0\r\nFillColor1=100,0,0\r\n"
           L"[Fore@DlgFrameTitle]\r\nType=Text\r\nStateCount=1\r\nTextColor=255,255,255\r\n"
           L"[Back@DlgFrameButtonClose]\r\nType=FillColor\r\nStateCount=4\r\nBorderSize=0\r\n"
           L"FillColor=0,0,250\r\nFillColor1=0,250,0\r\nFillColor2=250,250,0\r\nFillColor3=128,128,128\r\n"
           L"[Back@DlgFrameButtonMin]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\nFillColor=50,50,50\r\n"
           L"[Back@DlgFrameButtonMax]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\nFillColor=60,60,60\r\n"
           L"[Back@DlgFrameButtonRestore]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\nFillColor=70,70,70\r\n"
           L"[Back@DlgFrameLeftBorder]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\nFillColor=0,150,0\r\n"
           L"[Back@DlgFrameRightBorder]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\nFillColor=0,0,150\r\n"
           L"[Back@DlgFrameBottomBorder]\r\nType=FillColor\r\nStateCount=1\r\nBorderSize=0\r\nFillColor=150,150,0\r\n";
}

TestSupport::SPackSource Source(const std::wstring& ini)
{
    TestSupport::SPackSource source;
    source.ini = ini;
    return source;
}

std::vector<MSG> g_received;
HINSTANCE g_tipModule = nullptr;  // answers the frame's string-module question

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND || message == Windows::kMsgPostClose || message == WM_MENUSELECT ||
        message == WM_COMMAND) {
        g_received.push_back({hWnd, message, wParam, lParam, 0, {}});
        // Nothing is closed, moved or minimised behind the test's back.
        if (message == WM_SYSCOMMAND || message == WM_COMMAND)
            return 0;
    }
    if (message == Windows::kMsgCaptionButtonModule)
        return reinterpret_cast<LRESULT>(g_tipModule);
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND MakeTopLevel(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
{
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = L"OrvelFrameTest";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    HWND window = CreateWindowExW(0, L"OrvelFrameTest", L"Frame", style, 100, 100, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    Pump(20);
    return window;
}

// A pixel of the window's non-client area as it is on the screen.
COLORREF ScreenPixel(HWND window, int x, int y)
{
    HDC dc = GetWindowDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

COLORREF RepaintedPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    return ScreenPixel(window, x, y);
}

RECT ButtonRect(HWND window, int hitCode)
{
    RECT rect = {};
    EXPECT_EQ(1, SendMessageW(window, Windows::kMsgCaptionButtonRect, hitCode, reinterpret_cast<LPARAM>(&rect)));
    return rect;
}

LPARAM ScreenPoint(HWND window, int x, int y)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return MAKELPARAM(rect.left + x, rect.top + y);
}

std::vector<MSG> Received(UINT message)
{
    std::vector<MSG> found;
    for (const MSG& msg : g_received)
        if (msg.message == message)
            found.push_back(msg);
    return found;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok()) << std::string(m_pack.Error().begin(), m_pack.Error().end());
        g_received.clear();
    }
    void TearDown() override
    {
        for (HWND window : m_windows)
            if (IsWindow(window))
                DestroyWindow(window);
        Pump();
    }
    HWND Track(HWND window)
    {
        m_windows.push_back(window);
        return window;
    }
    CStyledFrame<10>* Attach(HWND window)
    {
        auto* frame = new CStyledFrame<10>;
        return frame->SubclassWindow(window) ? frame : nullptr;
    }

    TestSupport::CCurrentPack m_pack{Source(FramePack())};
    std::vector<HWND> m_windows;
};

}  // namespace

TEST_F(FrameTest, DialogFrameTakesItsSizesFromTheStyleAndGrowsByItsBorders)
{
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableFrameStyled(window));
    RECT rect, client;
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    EXPECT_EQ(308, rect.right - rect.left);
    EXPECT_EQ(204, rect.bottom - rect.top);
    EXPECT_EQ(rect.right - rect.left - 8, client.right);
    EXPECT_EQ(rect.bottom - rect.top - 34, client.bottom);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(4, origin.x - rect.left);
    EXPECT_EQ(30, origin.y - rect.top);

    // The expert frame never resizes.
    HWND other = Track(MakeTopLevel());
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableExpertFrameStyled(other));
    GetWindowRect(other, &rect);
    EXPECT_EQ(300, rect.right - rect.left);
}

TEST_F(FrameTest, PaintsCaptionBordersAndButtonsForEachState)
{
    HWND window = Track(MakeTopLevel());
    SetActiveWindow(window);
    CStyledFrame<10>* frame = Attach(window);
    ASSERT_TRUE(frame);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    RECT maximize = ButtonRect(window, Windows::FrameImpl::kHitMaximize);
    RECT minimize = ButtonRect(window, Windows::FrameImpl::kHitMinimize);
    EXPECT_EQ(300 - 6, close.right);  // "ButtonRight" from the right edge
    EXPECT_EQ(close.left - 2, maximize.right);  // "ButtonSpace" apart
    EXPECT_LT(minimize.right, maximize.left);
    EXPECT_EQ((30 - 16) / 2, close.top);  // centred in the caption
    RECT help;
    EXPECT_EQ(0, SendMessageW(window, Windows::kMsgCaptionButtonRect, Windows::FrameImpl::kHitHelp,
                              reinterpret_cast<LPARAM>(&help)));

    EXPECT_EQ(kCaption, RepaintedPixel(window, 40, 15));
    EXPECT_EQ(kLeft, ScreenPixel(window, 1, 100));
    EXPECT_EQ(kRight, ScreenPixel(window, 298, 100));
    EXPECT_EQ(kBottom, ScreenPixel(window, 150, 198));
    EXPECT_EQ(kClose[0], ScreenPixel(window, close.left + 8, close.top + 8));
    EXPECT_EQ(RGB(60, 60, 60), ScreenPixel(window, maximize.left + 8, maximize.top + 8));
    EXPECT_EQ(RGB(50, 50, 50), ScreenPixel(window, minimize.left + 8, minimize.top + 8));

    // Hot and pressed, read at once: the non-client leave comes later.
    SendMessageW(window, WM_NCMOUSEMOVE, Windows::FrameImpl::kHitClose, ScreenPoint(window, close.left + 8, 15));
    EXPECT_EQ(kClose[1], ScreenPixel(window, close.left + 8, close.top + 8));
    SendMessageW(window, WM_NCLBUTTONDOWN, Windows::FrameImpl::kHitClose, ScreenPoint(window, close.left + 8, 15));
    EXPECT_EQ(kClose[2], ScreenPixel(window, close.left + 8, close.top + 8));
    SendMessageW(window, WM_NCMOUSELEAVE, 0, 0);
    SendMessageW(window, WM_NCLBUTTONUP, Windows::FrameImpl::kHitClose, ScreenPoint(window, close.left + 8, 15));
    EXPECT_EQ(kClose[0], ScreenPixel(window, close.left + 8, close.top + 8));

    SendMessageW(window, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(kCaptionInactive, ScreenPixel(window, 40, 15));
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(kCaption, ScreenPixel(window, 40, 15));

    EnableWindow(window, FALSE);
    EXPECT_EQ(kClose[3], RepaintedPixel(window, close.left + 8, close.top + 8));
}

TEST_F(FrameTest, CaptionButtonsPostTheirCommands)
{
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    LPARAM point = ScreenPoint(window, close.left + 4, close.top + 4);
    SendMessageW(window, WM_NCLBUTTONDOWN, Windows::FrameImpl::kHitClose, point);
    Pump();
    EXPECT_TRUE(Received(WM_SYSCOMMAND).empty());
    SendMessageW(window, WM_NCLBUTTONUP, Windows::FrameImpl::kHitClose, point);
    Pump();
    auto commands = Received(WM_SYSCOMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(static_cast<WPARAM>(SC_CLOSE), commands[0].wParam);
    auto posted = Received(Windows::kMsgPostClose);
    ASSERT_EQ(1u, posted.size());
    EXPECT_EQ(static_cast<WPARAM>(SC_CLOSE), posted[0].wParam);

    // A release without a press does nothing.
    g_received.clear();
    SendMessageW(window, WM_NCLBUTTONUP, Windows::FrameImpl::kHitMinimize, point);
    Pump();
    EXPECT_TRUE(Received(WM_SYSCOMMAND).empty());

    RECT minimize = ButtonRect(window, Windows::FrameImpl::kHitMinimize);
    point = ScreenPoint(window, minimize.left + 4, minimize.top + 4);
    SendMessageW(window, WM_NCLBUTTONDOWN, Windows::FrameImpl::kHitMinimize, point);
    SendMessageW(window, WM_NCLBUTTONUP, Windows::FrameImpl::kHitMinimize, point);
    Pump();
    commands = Received(WM_SYSCOMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(static_cast<WPARAM>(SC_MINIMIZE), commands[0].wParam);
    EXPECT_TRUE(Received(Windows::kMsgPostClose).empty());
}

TEST_F(FrameTest, HoveringButtonsReportsTheirMenuCommands)
{
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    ShowWindow(window, SW_MAXIMIZE);
    Pump(20);
    ASSERT_TRUE(IsZoomed(window));
    g_received.clear();
    RECT maximize = ButtonRect(window, Windows::FrameImpl::kHitMaximize);
    SendMessageW(window, WM_NCMOUSEMOVE, Windows::FrameImpl::kHitMaximize,
                 ScreenPoint(window, maximize.left + 4, maximize.top + 4));
    SendMessageW(window, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(window, 40, 10));
    Pump();
    auto selects = Received(WM_MENUSELECT);
    ASSERT_GE(selects.size(), 2u);
    EXPECT_EQ(MAKEWPARAM(SC_RESTORE, MF_SYSMENU), selects[0].wParam);
    EXPECT_EQ(MAKEWPARAM(0xFFFF, MF_SYSMENU), selects[1].wParam);
}

TEST_F(FrameTest, HitTestingFollowsTheStyledParts)
{
    HWND window = Track(MakeTopLevel(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    ASSERT_TRUE(Attach(window));
    HWND fixed = Track(MakeTopLevel(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    ASSERT_TRUE(Attach(fixed));
    auto hit = [](HWND w, int x, int y) { return SendMessageW(w, WM_NCHITTEST, 0, ScreenPoint(w, x, y)); };
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    EXPECT_EQ(Windows::FrameImpl::kHitClose, hit(window, close.left + 2, close.top + 2));
    EXPECT_EQ(HTCAPTION, hit(window, 100, 10));
    EXPECT_EQ(HTTOPLEFT, hit(window, 1, 10));
    EXPECT_EQ(HTTOPRIGHT, hit(window, 298, 10));
    EXPECT_EQ(HTLEFT, hit(window, 1, 60));
    EXPECT_EQ(HTBOTTOMLEFT, hit(window, 1, 190));
    EXPECT_EQ(HTRIGHT, hit(window, 298, 60));
    EXPECT_EQ(HTBOTTOM, hit(window, 150, 198));
    EXPECT_EQ(HTBOTTOMRIGHT, hit(window, 297, 198));
    EXPECT_EQ(HTCLIENT, hit(window, 150, 100));
    EXPECT_EQ(HTCAPTION, hit(fixed, 1, 10));
    EXPECT_EQ(HTBORDER, hit(fixed, 1, 60));
    EXPECT_EQ(HTBORDER, hit(fixed, 150, 198));
    // The maximise button does not exist here: its native place is caption.
    EXPECT_EQ(HTCAPTION, hit(fixed, 250, 10));
}

TEST_F(FrameTest, TextIsShownAsSetAndStoredSpaced)
{
    HWND window = Track(MakeTopLevel());
    CStyledFrame<10>* frame = Attach(window);
    ASSERT_TRUE(frame);
    EXPECT_EQ(L"Frame", frame->GetCaptionText());
    SetWindowTextW(window, L"Hello");
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    EXPECT_STREQ(L" H e l l o", text);
    EXPECT_EQ(L"Hello", frame->GetCaptionText());
    // White text is drawn on the caption.
    HDC dc = GetWindowDC(window);
    int white = 0;
    for (int x = 4; x < 200; ++x)
        for (int y = 5; y < 25; ++y)
            white += GetPixel(dc, x, y) == RGB(255, 255, 255);
    ReleaseDC(window, dc);
    EXPECT_GT(white, 5);

    std::wstring longText(400, L'x');
    SetWindowTextW(window, longText.c_str());
    EXPECT_LE(GetWindowTextLengthW(window), 255);
    EXPECT_EQ(longText, frame->GetCaptionText());
}

TEST_F(FrameTest, ExportedFunctionsReportMarginsAndColour)
{
    RECT none = EnableFrameStyledEx(0, nullptr);
    EXPECT_TRUE(none.left == 0 && none.top == 0 && none.right == 0 && none.bottom == 0);
    EXPECT_EQ(0xFFFFFFu, EnableFrameStyledColor(nullptr));
    EXPECT_EQ(0xFFFFFFu, EnableFrameStyledColor(reinterpret_cast<HWND>(0x1234)));

    HWND window = Track(MakeTopLevel());
    RECT margins = EnableFrameStyledEx(7, window);
    EXPECT_EQ(-4, margins.left);
    EXPECT_EQ(0, margins.top);
    EXPECT_EQ(4, margins.right);
    EXPECT_EQ(4, margins.bottom);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(308, rect.right - rect.left);

    HWND other = Track(MakeTopLevel());
    EXPECT_EQ(RGB(10, 20, 30), EnableFrameStyledColor(other));
}

TEST_F(FrameTest, DialogBackgroundAndStaticColours)
{
    // An in-memory dialog with one static.
    alignas(4) BYTE buffer[256] = {};
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    dialog->cx = 150;
    dialog->cy = 100;
    HWND window = Track(CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog, nullptr,
                                                   [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
    ASSERT_TRUE(window);
    HWND label = CreateWindowW(L"STATIC", L"Label", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, window, nullptr,
                               nullptr, nullptr);
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableFrameStyled(window));
    Pump(20);

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC client = GetDC(window);
    EXPECT_EQ(RGB(10, 20, 30), GetPixel(client, 120, 80));
    ReleaseDC(window, client);

    HDC dc = GetDC(label);
    LRESULT brush = SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(SendMessageW(window, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0), brush);
    EXPECT_EQ(RGB(200, 210, 220), GetTextColor(dc));
    EXPECT_EQ(RGB(10, 20, 30), GetBkColor(dc));

    SetForbidStaticColor(1);
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_NE(brush, SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(label)));
    EXPECT_NE(RGB(200, 210, 220), GetTextColor(dc));
    SetForbidStaticColor(0);
    ReleaseDC(label, dc);
}

TEST_F(FrameTest, StyleChangeRebuildsButtonsAndNoRegionWithoutCorners)
{
    HWND window = Track(MakeTopLevel());
    CStyledFrame<10>* frame = Attach(window);
    ASSERT_TRUE(frame);
    EXPECT_EQ(3u, frame->GetButtons().GetGlyphCount());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(window, region));
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    SendMessageW(window, Windows::kMsgStyleChanged, 0, 0);
    EXPECT_EQ(2u, frame->GetButtons().GetGlyphCount());
    RECT rect;
    EXPECT_EQ(0, SendMessageW(window, Windows::kMsgCaptionButtonRect, Windows::FrameImpl::kHitMaximize,
                              reinterpret_cast<LPARAM>(&rect)));
    EXPECT_EQ(ERROR, GetWindowRgn(window, region));
    DeleteObject(region);
}

TEST_F(FrameTest, ObjectsAndHandlesGoWithTheirWindows)
{
    long before = Windows::LiveStyledObjects();
    int gdi = TestCommon::FreeGdiSlots();
    for (int i = 0; i < 5; ++i) {
        HWND window = MakeTopLevel(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
        ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableFrameStyled(window));
        SetWindowPos(window, nullptr, 0, 0, 250 + i * 10, 180, SWP_NOMOVE | SWP_NOZORDER);
        SetWindowTextW(window, L"Again");
        SendMessageW(window, Windows::kMsgStyleChanged, 0, 0);
        EXPECT_EQ(before + 1, Windows::LiveStyledObjects());
        DestroyWindow(window);
        Pump();
    }
    EXPECT_EQ(before, Windows::LiveStyledObjects());
    EXPECT_EQ(gdi, TestCommon::FreeGdiSlots());
}

TEST_F(FrameTest, FamilyWithoutSectionsUsesDefaultsAndCaptionlessWindowsGetNone)
{
    // The pack has no XPDlgFrame sections: default caption, no borders.
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableXPFrameStyled(window));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(300, client.right);
    EXPECT_EQ(200 - 28, client.bottom);

    HWND plain = Track(MakeTopLevel(WS_POPUP | WS_BORDER));
    ASSERT_TRUE(Windows::CStyledWndManager::GetInstance().EnableFrameStyled(plain));
    GetClientRect(plain, &client);
    EXPECT_EQ(300, client.right);  // grown by both sides, less both borders
    EXPECT_EQ(200, client.bottom);
    EXPECT_EQ(HTCLIENT, SendMessageW(plain, WM_NCHITTEST, 0, ScreenPoint(plain, 100, 5)));
}

TEST_F(FrameTest, FitsTheWindowToItsCaptionText)
{
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    SetWindowTextW(window, L"Short");
    EXPECT_EQ(0, SendMessageW(window, Windows::kMsgScrollBarUpdate, 0, 0));
    RECT before, after;
    GetWindowRect(window, &before);
    SetWindowTextW(window, std::wstring(120, L'W').c_str());
    EXPECT_EQ(1, SendMessageW(window, Windows::kMsgScrollBarUpdate, 0, 0));
    GetWindowRect(window, &after);
    EXPECT_GT(after.right - after.left, before.right - before.left + 20);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(0, SendMessageW(window, Windows::kMsgScrollBarUpdate, 0, 0));
}

namespace {

HWND ToolTipOf(HWND owner)
{
    struct SFind {
        HWND owner;
        HWND found;
    } find = {owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* find = reinterpret_cast<SFind*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && GetWindow(window, GW_OWNER) == find->owner) {
                find->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::wstring ToolTipText(HWND tip, HWND owner)
{
    wchar_t text[80] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    return text;
}

}  // namespace

TEST_F(FrameTest, HoveredButtonShowsTheHostsToolTipText)
{
    TestSupport::SPackSource source = Source(L"[Config]\r\n");
    source.strings[0][0xEF06] = L"Close";  // SC_CLOSE
    TestSupport::CTestPack strings(source, L"Strings.spk");
    ASSERT_TRUE(strings.Ok()) << std::string(strings.Error().begin(), strings.Error().end());
    HMODULE module = LoadLibraryExW(strings.Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);

    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    LPARAM point = ScreenPoint(window, close.left + 4, close.top + 4);

    // Without a module there is no tool tip.
    SendMessageW(window, WM_NCMOUSEMOVE, Windows::FrameImpl::kHitClose, point);
    SendMessageW(window, WM_NCMOUSEHOVER, Windows::FrameImpl::kHitClose, point);
    EXPECT_FALSE(ToolTipOf(window));

    g_tipModule = module;
    SendMessageW(window, WM_NCMOUSEMOVE, Windows::FrameImpl::kHitClose, point);
    SendMessageW(window, WM_NCMOUSEHOVER, Windows::FrameImpl::kHitClose, point);
    HWND tip = ToolTipOf(window);
    ASSERT_TRUE(tip);
    EXPECT_EQ(L"Close", ToolTipText(tip, window));
    EXPECT_TRUE(IsWindowVisible(tip));
    g_tipModule = nullptr;

    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(tip));
    FreeLibrary(module);
}

namespace {

class RoundFrameTest : public FrameTest {
protected:
    TestSupport::CCurrentPack m_round{Source(FramePack(L"TopLeftEllipse=20,20\r\nBottomRightEllipse=10,10\r\n"))};
};

}  // namespace

TEST_F(RoundFrameTest, CornersAreCutByTheRegion)
{
    ASSERT_TRUE(m_round.Ok());
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 299, 199));
    EXPECT_TRUE(PtInRegion(region, 10, 10));
    EXPECT_TRUE(PtInRegion(region, 299, 0));  // no top-right corner
    EXPECT_TRUE(PtInRegion(region, 150, 100));
    // Resizing rebuilds it for the new size.
    SetWindowPos(window, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    EXPECT_FALSE(PtInRegion(region, 199, 149));
    EXPECT_TRUE(PtInRegion(region, 150, 100));
    DeleteObject(region);
}

namespace {

void MoveCursorToWindowPoint(HWND window, int x, int y)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetCursorPos(rect.left + x, rect.top + y);
}

}  // namespace

TEST_F(FrameTest, EveryButtonHoveredInTurnShowsItsToolTip)
{
    TestSupport::SPackSource source = Source(L"[Config]\r\n");
    source.strings[0][0xEF06] = L"Close";             // SC_CLOSE
    source.strings[0][0xEF02] = L"Minimise it";  // SC_MINIMIZE
    TestSupport::CTestPack strings(source, L"Strings.spk");
    ASSERT_TRUE(strings.Ok());
    HMODULE module = LoadLibraryExW(strings.Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    g_tipModule = module;

    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    SetForegroundWindow(window);
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    RECT minimize = ButtonRect(window, Windows::FrameImpl::kHitMinimize);
    HWND tip = nullptr;
    auto showing = [&](const wchar_t* text) {
        return WindowTest::PumpUntil([&] {
            tip = ToolTipOf(window);
            return tip && IsWindowVisible(tip) && ToolTipText(tip, window) == text;
        });
    };

    MoveCursorToWindowPoint(window, close.left + 4, close.top + 4);
    EXPECT_TRUE(showing(L"Close"));
    EXPECT_EQ(kClose[1], ScreenPixel(window, close.left + 8, close.top + 8));
    MoveCursorToWindowPoint(window, minimize.left + 4, minimize.top + 4);
    EXPECT_TRUE(showing(L"Minimise it"));
    EXPECT_EQ(kClose[0], ScreenPixel(window, close.left + 8, close.top + 8));
    // Through the close button into the client area: the tip goes and the
    // button is not left hot, whether or not a non-client leave arrives.
    MoveCursorToWindowPoint(window, close.left + 4, close.top + 4);
    WindowTest::Pump(30);
    MoveCursorToWindowPoint(window, 150, 120);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return !IsWindowVisible(tip); }));
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return ScreenPixel(window, close.left + 8, close.top + 8) == kClose[0]; }));
    // And back to the first button.
    MoveCursorToWindowPoint(window, close.left + 6, close.top + 6);
    EXPECT_TRUE(showing(L"Close"));

    g_tipModule = nullptr;
    DestroyWindow(window);
    FreeLibrary(module);
}

TEST_F(FrameTest, PaintingKeepsToItsUpdateRegion)
{
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    EXPECT_EQ(kCaption, RepaintedPixel(window, 40, 15));
    // Paint over the whole frame, then ask for the left border only.
    HDC dc = GetWindowDC(window);
    RECT all = {0, 0, 300, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(window, dc);
    RECT rect;
    GetWindowRect(window, &rect);
    HRGN left = CreateRectRgn(rect.left, rect.top + 30, rect.left + 4, rect.bottom - 4);
    SendMessageW(window, WM_NCPAINT, reinterpret_cast<WPARAM>(left), 0);
    DeleteObject(left);
    EXPECT_EQ(kLeft, ScreenPixel(window, 1, 100));
    EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(window, 40, 15));
    EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(window, 298, 100));
    // 1 stands for the whole frame.
    SendMessageW(window, WM_NCPAINT, 1, 0);
    EXPECT_EQ(kCaption, ScreenPixel(window, 40, 15));
    EXPECT_EQ(kRight, ScreenPixel(window, 298, 100));
}

namespace {

// The frame pack with every caption key and frame colour given, to switch
// away from.
class KeyedFrameTest : public FrameTest {
protected:
    TestSupport::CCurrentPack m_keyed{Source(
        std::wstring(L"[Config]\r\n[DlgFrame]\r\nMargins=6,6,0,6\r\nBackColor=1,2,3\r\nStaticColor=4,5,6\r\n"
                     L"TopLeftEllipse=10,10\r\n[DlgFrameTitle]\r\nHeight=40\r\nButtonRight=20\r\nButtonSpace=9\r\n"
                     L"ButtonOffset=2\r\nAlignLeft=1\r\n"))};
};

}  // namespace

TEST_F(KeyedFrameTest, KeysAPackLacksReturnToTheirDefaultsOnASwitch)
{
    ASSERT_TRUE(m_keyed.Ok());
    HWND window = Track(MakeTopLevel());
    CStyledFrame<10>* frame = Attach(window);
    ASSERT_TRUE(frame);
    EXPECT_EQ(40, frame->GetCaptionHeight());
    EXPECT_EQ(RGB(1, 2, 3), frame->GetBackColor());
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    EXPECT_EQ(20, close.left);  // aligned left, 20 from the edge
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(window, region));

    // A pack with no frame keys at all.
    TestSupport::CCurrentPack bare(Source(L"[Config]\r\n"));
    ASSERT_TRUE(bare.Ok());
    SendMessageW(window, Windows::kMsgStyleChanged, 0, 0);
    EXPECT_EQ(28, frame->GetCaptionHeight());
    EXPECT_EQ(CLR_INVALID, frame->GetBackColor());
    RECT borders = frame->GetBorders();
    EXPECT_EQ(0, borders.left + borders.right + borders.bottom);
    close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    EXPECT_EQ(300 - 4, close.right);  // the default "ButtonRight", on the right
    RECT maximize = ButtonRect(window, Windows::FrameImpl::kHitMaximize);
    EXPECT_EQ(close.left, maximize.right);  // no "ButtonSpace"
    EXPECT_EQ((28 - 16) / 2, close.top);    // centred again
    HDC dc = GetDC(window);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(window, dc);
    LOGBRUSH look = {};
    GetObjectW(brush, sizeof look, &look);
    EXPECT_NE(RGB(1, 2, 3), look.lbColor);  // the frame's brush has gone
    DeleteObject(region);
}

TEST_F(FrameTest, ButtonGroupShowsRestoreAndCollapsedForms)
{
    const COLORREF kMin = RGB(50, 50, 50), kMax = RGB(60, 60, 60), kRestore = RGB(70, 70, 70);
    HWND window = Track(MakeTopLevel());
    CStyledFrame<10>* frame = Attach(window);
    ASSERT_TRUE(frame);
    const Glyph::CHorizontalCompose& group = frame->GetButtons();
    ASSERT_EQ(3u, group.GetGlyphCount());
    const int order[] = {Windows::FrameImpl::kHitMinimize, Windows::FrameImpl::kHitMaximize,
                         Windows::FrameImpl::kHitClose};
    for (UINT64 i = 0; i < 3; ++i)
        EXPECT_EQ(order[i], static_cast<Windows::FrameImpl::CTitleButton<10>*>(group.GetGlyph(i))->GetHitCode());
    auto lookOf = [&](int hitCode) {
        RECT rect = ButtonRect(window, hitCode);
        return RepaintedPixel(window, rect.left + 8, rect.top + 8);
    };
    EXPECT_EQ(kMin, lookOf(Windows::FrameImpl::kHitMinimize));
    EXPECT_EQ(kMax, lookOf(Windows::FrameImpl::kHitMaximize));

    ShowWindow(window, SW_MAXIMIZE);
    Pump(20);
    EXPECT_EQ(kRestore, lookOf(Windows::FrameImpl::kHitMaximize));
    ShowWindow(window, SW_RESTORE);
    Pump(20);
    EXPECT_EQ(kMax, lookOf(Windows::FrameImpl::kHitMaximize));

    // Collapsed to no height at all, minimising means restoring.
    RECT rect;
    GetWindowRect(window, &rect);
    NCCALCSIZE_PARAMS params = {};
    params.rgrc[0] = {rect.left, rect.top, rect.right, rect.top};
    SendMessageW(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    EXPECT_EQ(kRestore, lookOf(Windows::FrameImpl::kHitMinimize));
    params.rgrc[0] = rect;
    SendMessageW(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    EXPECT_EQ(kMin, lookOf(Windows::FrameImpl::kHitMinimize));
}

TEST_F(FrameTest, ButtonsOfDifferentHeightsAreCentredInTheRow)
{
    TestSupport::SPackSource source = Source(FramePack() +
        L"[Fore@DlgFrameButtonClose]\r\nType=ImageGlyph\r\nImageFile=Close.bmp\r\nImageCount=1\r\n");
    source.bitmaps.push_back({L"Close.bmp", 20, 20, nullptr, RGB(0, 0, 250)});
    TestSupport::CCurrentPack pack(source);
    ASSERT_TRUE(pack.Ok());
    HWND window = Track(MakeTopLevel());
    ASSERT_TRUE(Attach(window));
    RECT close = ButtonRect(window, Windows::FrameImpl::kHitClose);
    RECT minimize = ButtonRect(window, Windows::FrameImpl::kHitMinimize);
    EXPECT_EQ(20, close.bottom - close.top);
    EXPECT_EQ(20, close.right - close.left);
    EXPECT_EQ(16, minimize.bottom - minimize.top);
    EXPECT_EQ(close.top + 2, minimize.top);
}
