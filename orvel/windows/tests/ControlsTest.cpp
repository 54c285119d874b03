#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string>
#include "WindowTestUtil.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/Controls.h"
#include "orvel/windows/Messages.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

using WindowTest::CHostWindow;
using WindowTest::MoveCursorTo;
using WindowTest::Pump;

namespace {

const COLORREF kBar = RGB(10, 20, 30);
const COLORREF kChunk = RGB(0, 180, 0);
const COLORREF kText = RGB(220, 0, 0);
const COLORREF kLogo = RGB(30, 60, 90);
// Spin arrows and track-bar parts, by state: normal, hot, pressed, disabled.
const COLORREF kUp[] = {RGB(200, 0, 0), RGB(200, 100, 0), RGB(200, 0, 100), RGB(120, 120, 120)};
const COLORREF kDown[] = {RGB(0, 0, 200), RGB(0, 100, 200), RGB(100, 0, 200), RGB(110, 110, 110)};
const COLORREF kTrack = RGB(90, 90, 90);
const COLORREF kChannel = RGB(250, 250, 0);
const COLORREF kThumb[] = {RGB(0, 120, 120), RGB(0, 200, 200), RGB(0, 60, 60), RGB(150, 150, 150)};

const COLORREF kTabPane = RGB(70, 70, 140);
const COLORREF kTabBody = RGB(140, 70, 70);
enum { kLeftItem, kMiddleItem, kRightItem };

// A tab's colour by place in its row and real state (group x 2 + hot).
COLORREF TabColour(int kind, int state)
{
    BYTE level = static_cast<BYTE>(100 + state * 15);
    return kind == kLeftItem ? RGB(level, 0, 50) : (kind == kMiddleItem ? RGB(0, level, 50) : RGB(50, 0, level));
}

// An element drawn as a plain colour per state.
std::wstring Fill(const wchar_t* section, std::initializer_list<const wchar_t*> colours,
                  const wchar_t* mainLines = L"")
{
    std::wstring text = std::wstring(L"[") + section + L"]\r\n" + mainLines + L"[Back@" + section +
                        L"]\r\nType=FillColor\r\nBorderSize=0\r\nStateCount=" +
                        std::to_wstring(colours.size()) + L"\r\n";
    int index = 0;
    for (const wchar_t* colour : colours) {
        text += L"FillColor" + (index ? std::to_wstring(index) : std::wstring()) + L"=" + colour + L"\r\n";
        ++index;
    }
    return text;
}

TestSupport::SPackSource ControlsPack()
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n"
                 L"[BitmapPosition]\r\nLogo.bmp=40,50\r\n"
                 L"[Static]\r\n"
                 L"[Fore@Static]\r\nType=Text\r\nStateCount=3\r\nTextColor=220,0,0\r\n"
                 L"Align=left\r\nAlign1=center\r\nAlign2=right\r\nVAlign=center\r\n" +
                 Fill(L"ProgressBar", {L"10,20,30"}, L"Margins=1,1,1,1\r\n") +
                 Fill(L"ProgressBarVert", {L"10,20,30"}, L"Margins=1,1,1,1\r\n") +
                 Fill(L"ProgressChunk", {L"0,180,0"}) + Fill(L"ProgressChunkVert", {L"0,180,0"}) +
                 Fill(L"SpinUp", {L"200,0,0", L"200,100,0", L"200,0,100", L"120,120,120"}) +
                 Fill(L"SpinDown", {L"0,0,200", L"0,100,200", L"100,0,200", L"110,110,110"}) +
                 Fill(L"SpinUpHorz", {L"200,0,0", L"200,100,0", L"200,0,100"}) +
                 Fill(L"SpinDownHorz", {L"0,0,200", L"0,100,200", L"100,0,200"}) +
                 Fill(L"TrackBar", {L"90,90,90"}) + Fill(L"TrackBarVert", {L"90,90,90"}) +
                 Fill(L"TrackBarTrack", {L"250,250,0"}) + Fill(L"TrackBarTrackVert", {L"250,250,0"}) +
                 Fill(L"TrackBarThumb", {L"0,120,120", L"0,200,200", L"0,60,60", L"150,150,150"}) +
                 Fill(L"TrackBarThumbVert", {L"0,120,120", L"0,200,200", L"0,60,60"}) +
                 Fill(L"TabCtrl", {L"1,2,3"}) + Fill(L"TabCtrlPane", {L"70,70,140"}) +
                 Fill(L"TabCtrlBody", {L"140,70,70"}, L"Margins=3,3,3,3\r\n");
    const wchar_t* items[] = {L"TabCtrlLeftItem", L"TabCtrlItem", L"TabCtrlRightItem"};
    for (int kind = 0; kind < 3; ++kind) {
        std::vector<std::wstring> colours;
        for (int state = 0; state < 8; ++state) {
            COLORREF c = TabColour(kind, state);
            colours.push_back(std::to_wstring(GetRValue(c)) + L"," + std::to_wstring(GetGValue(c)) + L"," +
                              std::to_wstring(GetBValue(c)));
        }
        source.ini += std::wstring(L"[") + items[kind] + L"]\r\n[Back@" + items[kind] +
                      L"]\r\nType=FillColor\r\nBorderSize=0\r\nStateCount=8\r\n";
        for (int state = 0; state < 8; ++state)
            source.ini += L"FillColor" + (state ? std::to_wstring(state) : std::wstring()) + L"=" +
                          colours[state] + L"\r\n";
    }
    TestSupport::SPackBitmap logo;
    logo.name = L"Logo.bmp";
    logo.width = 24;
    logo.height = 16;
    logo.color = kLogo;
    source.bitmaps.push_back(logo);
    return source;
}

// Repaints the window at once and reads one of its client pixels.
COLORREF PixelOf(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

// Columns of a window that hold the colour, over its whole height.
std::vector<int> ColumnsWith(HWND window, COLORREF colour)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    RECT client;
    GetClientRect(window, &client);
    std::vector<int> columns;
    HDC dc = GetDC(window);
    for (int x = 0; x < client.right; ++x) {
        for (int y = 0; y < client.bottom; ++y) {
            if (GetPixel(dc, x, y) == colour) {
                columns.push_back(x);
                break;
            }
        }
    }
    ReleaseDC(window, dc);
    return columns;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok()) << std::string(m_pack.Error().begin(), m_pack.Error().end());
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&init);
        m_objects = Windows::LiveStyledObjects();
    }
    void TearDown() override
    {
        MoveCursorTo(m_host.Handle(), 295, 195);
    }

    Windows::CStyledWndManager& Manager() { return Windows::CStyledWndManager::GetInstance(); }

    TestSupport::CCurrentPack m_pack{ControlsPack()};
    CHostWindow m_host;
    long m_objects = 0;
};

}  // namespace

// ------------------------------------------------------------------ static

TEST_F(ControlsTest, TextStaticAlignsByStateAndAnswersForItsText)
{
    HWND left = m_host.AddChild(L"STATIC", L"Hi", SS_LEFT, 10, 10, 200, 24, 1);
    HWND right = m_host.AddChild(L"STATIC", L"Hi", SS_RIGHT, 10, 40, 200, 24, 2);
    HWND centre = m_host.AddChild(L"STATIC", L"Centre", SS_CENTER, 10, 70, 200, 24, 3);
    ASSERT_TRUE(Manager().EnableStaticStyled(left));
    ASSERT_TRUE(Manager().EnableStaticStyled(right));
    ASSERT_TRUE(Manager().EnableStaticStyled(centre));

    std::vector<int> leftText = ColumnsWith(left, kText);
    std::vector<int> rightText = ColumnsWith(right, kText);
    ASSERT_FALSE(leftText.empty());
    ASSERT_FALSE(rightText.empty());
    EXPECT_LT(leftText.back(), 100);
    EXPECT_GT(rightText.front(), 100);

    wchar_t text[32] = {};
    EXPECT_EQ(6, GetWindowTextW(centre, text, 32));
    EXPECT_STREQ(L"Centre", text);
    // The native control keeps it: the dialog manager reads mnemonics there.
    InternalGetWindowText(centre, text, 32);
    EXPECT_STREQ(L"Centre", text);

    SetWindowTextW(centre, L"Changed");
    EXPECT_EQ(7, GetWindowTextLengthW(centre));
    EXPECT_EQ(3, GetWindowTextW(centre, text, 4));
    EXPECT_STREQ(L"Cha", text);
    wchar_t none[1] = {L'x'};
    EXPECT_EQ(0, SendMessageW(centre, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(none)));
    EXPECT_EQ(L'x', none[0]);
    std::vector<int> centred = ColumnsWith(centre, kText);
    ASSERT_FALSE(centred.empty());
    EXPECT_GT(centred.front(), 40);
    EXPECT_LT(centred.back(), 160);
}

TEST_F(ControlsTest, NonTextStaticsStayNative)
{
    HWND icon = m_host.AddChild(L"STATIC", L"Icon", SS_ICON, 10, 10, 32, 32, 1);
    HWND plainIcon = m_host.AddChild(L"STATIC", L"Icon", SS_ICON, 50, 10, 32, 32, 2);
    auto* styled = new Windows::CStatic;
    ASSERT_TRUE(styled->SubclassWindow(icon));
    EXPECT_EQ(nullptr, styled->GetContent());
    SetWindowTextW(icon, L"Other");
    SetWindowTextW(plainIcon, L"Other");
    wchar_t text[32] = {}, plainText[32] = {};
    InternalGetWindowText(icon, text, 32);
    InternalGetWindowText(plainIcon, plainText, 32);
    EXPECT_STREQ(plainText, text);
    EXPECT_EQ(GetWindowTextLengthW(plainIcon), GetWindowTextLengthW(icon));
}

TEST_F(ControlsTest, PictureStaticShowsTheStyleBitmapWhereTheStyleSays)
{
    int slots = TestCommon::FreeGdiSlots();
    HWND picture = m_host.AddChild(L"STATIC", L"", SS_BITMAP, 5, 5, 10, 10, 1);
    EXPECT_FALSE(Manager().EnablePicStaticStyled(picture, nullptr));
    ASSERT_TRUE(Manager().EnablePicStaticStyled(picture, L"Logo.bmp"));
    RECT rect;
    GetWindowRect(picture, &rect);
    MapWindowPoints(nullptr, m_host.Handle(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(40, rect.left);
    EXPECT_EQ(50, rect.top);
    EXPECT_EQ(kLogo, PixelOf(picture, 3, 3));

    // Reloads replace the bitmap; the one replaced is freed.
    for (int i = 0; i < 20; ++i)
        SendMessageW(picture, Windows::kMsgStyleChanged, 0, 0);
    EXPECT_EQ(kLogo, PixelOf(picture, 3, 3));

    // A text static refuses the bitmap; it must not leak either.
    HWND text = m_host.AddChild(L"STATIC", L"Text", SS_LEFT, 100, 5, 60, 20, 2);
    ASSERT_TRUE(Manager().EnablePicStaticStyled(text, L"Logo.bmp"));
    SendMessageW(text, Windows::kMsgStyleChanged, 0, 0);
    DestroyWindow(picture);
    DestroyWindow(text);
    EXPECT_EQ(slots, TestCommon::FreeGdiSlots());
    EXPECT_EQ(m_objects, Windows::LiveStyledObjects());
}

// ------------------------------------------------------------ progress bar

TEST_F(ControlsTest, ProgressChunkFollowsPositionNotRange)
{
    HWND bar = m_host.AddChild(PROGRESS_CLASSW, L"", 0, 10, 10, 100, 20, 1);
    SendMessageW(bar, PBM_SETRANGE32, 0, 200);
    SendMessageW(bar, PBM_SETPOS, 50, 0);
    ASSERT_TRUE(Manager().EnableProgressBarStyled(bar));

    // 25 pixels of 100 for 50 of 200, then one pixel of margin each side.
    EXPECT_EQ(kBar, PixelOf(bar, 0, 10));
    EXPECT_EQ(kChunk, PixelOf(bar, 1, 10));
    EXPECT_EQ(kChunk, PixelOf(bar, 23, 10));
    EXPECT_EQ(kBar, PixelOf(bar, 24, 10));
    EXPECT_EQ(kBar, PixelOf(bar, 10, 0));

    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    EXPECT_EQ(kBar, PixelOf(bar, 30, 10));  // not until the position moves
    SendMessageW(bar, PBM_SETPOS, 50, 0);
    EXPECT_EQ(kChunk, PixelOf(bar, 48, 10));
    EXPECT_EQ(kBar, PixelOf(bar, 50, 10));

    SendMessageW(bar, PBM_DELTAPOS, 25, 0);
    EXPECT_EQ(kChunk, PixelOf(bar, 73, 10));
    EXPECT_EQ(kBar, PixelOf(bar, 76, 10));
}

TEST_F(ControlsTest, ProgressChunkShowsWhatTheNativeBarHolds)
{
    HWND bar = m_host.AddChild(PROGRESS_CLASSW, L"", 0, 10, 10, 100, 20, 1);
    ASSERT_TRUE(Manager().EnableProgressBarStyled(bar));
    SendMessageW(bar, PBM_SETPOS, 500, 0);  // clamped to 100 by the control
    EXPECT_EQ(100, SendMessageW(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(kChunk, PixelOf(bar, 98, 10));
    EXPECT_EQ(kBar, PixelOf(bar, 99, 10));

    // Stepping past the end starts the control over.
    SendMessageW(bar, PBM_SETPOS, 95, 0);
    SendMessageW(bar, PBM_SETSTEP, 10, 0);
    SendMessageW(bar, PBM_STEPIT, 0, 0);
    LRESULT wrapped = SendMessageW(bar, PBM_GETPOS, 0, 0);
    EXPECT_LT(wrapped, 95);
    std::vector<int> chunk = ColumnsWith(bar, kChunk);
    EXPECT_TRUE(chunk.empty() || chunk.back() < wrapped) << wrapped;

    // An empty range draws no chunk.
    SendMessageW(bar, PBM_SETRANGE32, 7, 7);
    SendMessageW(bar, PBM_SETPOS, 7, 0);
    EXPECT_EQ(std::vector<int>(), ColumnsWith(bar, kChunk));
}

TEST_F(ControlsTest, VerticalProgressGrowsUpwards)
{
    HWND bar = m_host.AddChild(PROGRESS_CLASSW, L"", PBS_VERTICAL, 10, 10, 20, 100, 1);
    ASSERT_TRUE(Manager().EnableProgressBarStyled(bar));
    SendMessageW(bar, PBM_SETPOS, 30, 0);
    EXPECT_EQ(kChunk, PixelOf(bar, 10, 98));
    EXPECT_EQ(kChunk, PixelOf(bar, 10, 71));
    EXPECT_EQ(kBar, PixelOf(bar, 10, 68));
}

// ------------------------------------------------------------- spin button

TEST_F(ControlsTest, SpinArrowsSplitTheControlAndFollowTheMouse)
{
    UINT notify = Manager().GetNotifyMessage();
    m_host.Record(notify);
    m_host.Record(WM_VSCROLL);
    HWND spin = m_host.AddChild(UPDOWN_CLASSW, L"", 0, 100, 50, 16, 21, 4);
    SendMessageW(spin, UDM_SETRANGE32, 0, 10);
    ASSERT_TRUE(Manager().EnableSpinButtonStyled(spin));
    EXPECT_EQ(kUp[0], PixelOf(spin, 8, 0));
    EXPECT_EQ(kUp[0], PixelOf(spin, 8, 9));
    EXPECT_EQ(kDown[0], PixelOf(spin, 8, 11));
    EXPECT_EQ(kDown[0], PixelOf(spin, 8, 20));
    COLORREF middle = PixelOf(spin, 8, 10);
    EXPECT_NE(kUp[0], middle);
    EXPECT_NE(kDown[0], middle);

    MoveCursorTo(spin, 8, 4);
    MoveCursorTo(spin, 8, 5);
    EXPECT_EQ(kUp[1], PixelOf(spin, 8, 5));
    EXPECT_EQ(kDown[0], PixelOf(spin, 8, 15));
    EXPECT_EQ(1u, m_host.Received(notify).size());

    SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 5));
    EXPECT_EQ(kUp[2], PixelOf(spin, 8, 5));
    SendMessageW(spin, WM_LBUTTONUP, 0, MAKELPARAM(8, 5));
    EXPECT_EQ(kUp[1], PixelOf(spin, 8, 5));
    Pump(10);
    EXPECT_EQ(1, SendMessageW(spin, UDM_GETPOS32, 0, 0));  // the control still counts
    EXPECT_FALSE(m_host.Received(WM_VSCROLL).empty());

    MoveCursorTo(spin, 8, 15);
    EXPECT_EQ(kUp[0], PixelOf(spin, 8, 5));
    EXPECT_EQ(kDown[1], PixelOf(spin, 8, 15));

    MoveCursorTo(m_host.Handle(), 295, 195);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return m_host.Received(notify).size() == 2; }));
    EXPECT_EQ(kDown[0], PixelOf(spin, 8, 15));
    EXPECT_EQ(1u, m_host.Received(notify)[1].wParam);
    EXPECT_EQ(4, m_host.Received(notify)[1].lParam);
}

TEST_F(ControlsTest, HorizontalSpinPutsDownOnTheLeft)
{
    HWND spin = m_host.AddChild(UPDOWN_CLASSW, L"", UDS_HORZ, 100, 50, 31, 16, 1);
    ASSERT_TRUE(Manager().EnableSpinButtonStyled(spin));
    EXPECT_EQ(kDown[0], PixelOf(spin, 0, 8));
    EXPECT_EQ(kDown[0], PixelOf(spin, 14, 8));
    EXPECT_EQ(kUp[0], PixelOf(spin, 16, 8));
    EXPECT_EQ(kUp[0], PixelOf(spin, 30, 8));
}

// --------------------------------------------------------------- track bar

namespace {

RECT ThumbOf(HWND track)
{
    RECT thumb = {};
    SendMessageW(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return thumb;
}

POINT CentreOf(const RECT& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

TEST_F(ControlsTest, DisabledSpinAndTrackBarShowTheirDisabledLookAndIgnoreTheMouse)
{
    HWND spin = m_host.AddChild(UPDOWN_CLASSW, L"", WS_DISABLED, 100, 50, 16, 21, 4);
    HWND track = m_host.AddChild(TRACKBAR_CLASSW, L"", TBS_NOTICKS | WS_DISABLED, 10, 90, 200, 30, 5);
    ASSERT_TRUE(Manager().EnableSpinButtonStyled(spin));
    ASSERT_TRUE(Manager().EnableTrackBarStyled(track));
    POINT thumb = CentreOf(ThumbOf(track));
    EXPECT_EQ(kUp[3], PixelOf(spin, 8, 4));
    EXPECT_EQ(kDown[3], PixelOf(spin, 8, 15));
    EXPECT_EQ(kThumb[3], PixelOf(track, thumb.x, thumb.y));
    MoveCursorTo(spin, 8, 4);
    MoveCursorTo(track, thumb.x, thumb.y);
    EXPECT_EQ(kUp[3], PixelOf(spin, 8, 4));
    EXPECT_EQ(kThumb[3], PixelOf(track, thumb.x, thumb.y));

    EnableWindow(spin, TRUE);
    EnableWindow(track, TRUE);
    EXPECT_EQ(kUp[0], PixelOf(spin, 8, 4));
    EXPECT_EQ(kDown[0], PixelOf(spin, 8, 15));
    EXPECT_EQ(kThumb[0], PixelOf(track, thumb.x, thumb.y));
    MoveCursorTo(track, thumb.x, thumb.y + 1);
    EXPECT_EQ(kThumb[1], PixelOf(track, thumb.x, thumb.y));
    EnableWindow(track, FALSE);
    EXPECT_EQ(kThumb[3], PixelOf(track, thumb.x, thumb.y));
}

TEST_F(ControlsTest, TrackBarDrawsItsPartsAndFollowsTheThumb)
{
    HWND track = m_host.AddChild(TRACKBAR_CLASSW, L"", TBS_NOTICKS, 10, 10, 200, 30, 1);
    SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    ASSERT_TRUE(Manager().EnableTrackBarStyled(track));

    RECT channel = {};
    SendMessageW(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    RECT thumb = ThumbOf(track);
    POINT inThumb = CentreOf(thumb);
    EXPECT_EQ(kTrack, PixelOf(track, 1, 1));
    EXPECT_EQ(kThumb[0], PixelOf(track, inThumb.x, inThumb.y));
    EXPECT_EQ(kChannel, PixelOf(track, channel.right - 5, (channel.top + channel.bottom) / 2));

    SendMessageW(track, TBM_SETPOS, TRUE, 10);
    POINT moved = CentreOf(ThumbOf(track));
    EXPECT_GT(moved.x, inThumb.x + 50);
    EXPECT_EQ(kThumb[0], PixelOf(track, moved.x, moved.y));
    EXPECT_NE(kThumb[0], PixelOf(track, inThumb.x, inThumb.y));

    // Keys move the native thumb; the drawn one follows.
    SetFocus(track);
    SendMessageW(track, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, SendMessageW(track, TBM_GETPOS, 0, 0));
    EXPECT_EQ(kThumb[0], PixelOf(track, inThumb.x, inThumb.y));
}

TEST_F(ControlsTest, TrackBarHotThumbAndReleaseNotice)
{
    m_host.Record(WM_COMMAND);
    HWND track = m_host.AddChild(TRACKBAR_CLASSW, L"", TBS_NOTICKS, 10, 10, 200, 30, 1);
    ASSERT_TRUE(Manager().EnableTrackBarStyled(track));
    POINT inThumb = CentreOf(ThumbOf(track));

    MoveCursorTo(track, inThumb.x, inThumb.y);
    MoveCursorTo(track, inThumb.x, inThumb.y + 1);
    EXPECT_EQ(kThumb[1], PixelOf(track, inThumb.x, inThumb.y));

    SendMessageW(track, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inThumb.x, inThumb.y));
    EXPECT_EQ(kThumb[2], PixelOf(track, inThumb.x, inThumb.y));
    SendMessageW(track, WM_LBUTTONUP, 0, MAKELPARAM(inThumb.x, inThumb.y));
    Pump(10);
    auto commands = m_host.Received(WM_COMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(514u, commands[0].wParam);
    EXPECT_EQ(0, commands[0].lParam);
    EXPECT_EQ(kThumb[1], PixelOf(track, inThumb.x, inThumb.y));

    MoveCursorTo(m_host.Handle(), 295, 195);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return PixelOf(track, inThumb.x, inThumb.y) == kThumb[0]; }));
}

TEST_F(ControlsTest, VerticalTrackBarChannelIsUpright)
{
    HWND track = m_host.AddChild(TRACKBAR_CLASSW, L"", TBS_VERT | TBS_NOTICKS, 10, 10, 30, 150, 1);
    ASSERT_TRUE(Manager().EnableTrackBarStyled(track));
    std::vector<int> columns = ColumnsWith(track, kChannel);
    ASSERT_FALSE(columns.empty());
    EXPECT_LT(columns.back() - columns.front(), 15);  // a narrow upright channel
    POINT inThumb = CentreOf(ThumbOf(track));
    EXPECT_EQ(kThumb[0], PixelOf(track, inThumb.x, inThumb.y));
}

TEST_F(ControlsTest, TrackBarRepaintsUnderAParentThatClipsItsChildren)
{
    SetWindowLongPtrW(m_host.Handle(), GWL_STYLE, GetWindowLongPtrW(m_host.Handle(), GWL_STYLE) | WS_CLIPCHILDREN);
    HWND track = m_host.AddChild(TRACKBAR_CLASSW, L"", TBS_NOTICKS, 10, 10, 200, 30, 1);
    auto* styled = new Windows::CTrackBar;
    ASSERT_TRUE(styled->SubclassWindow(track));
    POINT inThumb = CentreOf(ThumbOf(track));
    EXPECT_EQ(kThumb[0], PixelOf(track, inThumb.x, inThumb.y));

    // A state change without an immediate redraw goes through the parent.
    styled->GetGlyph()->GetThumb().SetState(1, false);
    Pump(10);
    HDC dc = GetDC(track);
    EXPECT_EQ(kThumb[1], GetPixel(dc, inThumb.x, inThumb.y));
    ReleaseDC(track, dc);
}

// ------------------------------------------------------------- tab control

namespace {

HWND AddTabs(CHostWindow& host, int count, DWORD style = 0)
{
    HWND tab = host.AddChild(WC_TABCONTROLW, L"", style, 10, 10, 260, 150, 7);
    for (int i = 0; i < count; ++i) {
        wchar_t text[] = L"Page";
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    return tab;
}

COLORREF ItemPixel(HWND tab, int index)
{
    RECT r = {};
    SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return PixelOf(tab, r.left + 3, r.top + 3);
}

}  // namespace

TEST_F(ControlsTest, TabsDrawByPlaceSelectionAndHover)
{
    HWND tab = AddTabs(m_host, 3);
    ASSERT_TRUE(Manager().EnableTabCtrlStyled(tab));
    // Selected first tab: group 1; the middle one just after it: group 3.
    EXPECT_EQ(TabColour(kLeftItem, 2), ItemPixel(tab, 0));
    EXPECT_EQ(TabColour(kMiddleItem, 6), ItemPixel(tab, 1));
    EXPECT_EQ(TabColour(kRightItem, 0), ItemPixel(tab, 2));
    RECT last = {}, client = {};
    SendMessageW(tab, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
    GetClientRect(tab, &client);
    EXPECT_EQ(kTabPane, PixelOf(tab, client.right - 3, last.top + 3));
    EXPECT_EQ(kTabBody, PixelOf(tab, client.right / 2, client.bottom - 3));

    RECT third = last;
    SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.left + 5, third.top + 5));
    SendMessageW(tab, WM_LBUTTONUP, 0, MAKELPARAM(third.left + 5, third.top + 5));
    ASSERT_EQ(2, SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    EXPECT_EQ(TabColour(kLeftItem, 0), ItemPixel(tab, 0));
    EXPECT_EQ(TabColour(kMiddleItem, 4), ItemPixel(tab, 1));  // just before, not a row end
    EXPECT_EQ(TabColour(kRightItem, 2), ItemPixel(tab, 2));

    RECT first = {};
    SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    MoveCursorTo(tab, first.left + 4, first.top + 4);
    MoveCursorTo(tab, first.left + 5, first.top + 5);
    EXPECT_EQ(TabColour(kLeftItem, 1), ItemPixel(tab, 0));
    MoveCursorTo(m_host.Handle(), 295, 195);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return ItemPixel(tab, 0) == TabColour(kLeftItem, 0); }));

    SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    EXPECT_EQ(TabColour(kMiddleItem, 2), ItemPixel(tab, 1));
    EXPECT_EQ(TabColour(kRightItem, 4), ItemPixel(tab, 2));  // just after, a row end
}

TEST_F(ControlsTest, TabPageSitsInsideTheBodyMargins)
{
    HWND plain = AddTabs(m_host, 2);
    HWND styled = AddTabs(m_host, 2);
    ASSERT_TRUE(Manager().EnableTabCtrlStyled(styled));
    RECT native = {0, 0, 260, 150}, inside = native;
    SendMessageW(plain, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&native));
    SendMessageW(styled, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inside));
    EXPECT_EQ(native.left + 3, inside.left);
    EXPECT_EQ(native.top + 3, inside.top);
    EXPECT_EQ(native.right - 3, inside.right);
    EXPECT_EQ(native.bottom - 3, inside.bottom);
    SendMessageW(styled, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&inside));
    EXPECT_EQ(0, inside.left);
    EXPECT_EQ(260, inside.right);
    EXPECT_EQ(150, inside.bottom);
}

// -------------------------------------------------------------- lifecycle

TEST_F(ControlsTest, StyledControlsLeaveNothingBehind)
{
    EXPECT_FALSE(Manager().EnableStaticStyled(nullptr));
    EXPECT_FALSE(Manager().EnableTrackBarStyled(reinterpret_cast<HWND>(0x1234)));
    EXPECT_FALSE(Manager().EnablePicStaticStyled(nullptr, L"Logo.bmp"));
    int slots = 0;
    for (int round = 0; round < 11; ++round) {
        if (round == 1)
            slots = TestCommon::FreeGdiSlots();  // the style made its painters in round 0
        HWND controls[] = {
            m_host.AddChild(L"STATIC", L"Text", SS_CENTER, 10, 10, 80, 20, 1),
            m_host.AddChild(L"STATIC", L"", SS_BITMAP, 10, 40, 20, 20, 2),
            m_host.AddChild(PROGRESS_CLASSW, L"", 0, 10, 70, 100, 20, 3),
            m_host.AddChild(UPDOWN_CLASSW, L"", 0, 120, 10, 16, 30, 4),
            m_host.AddChild(TRACKBAR_CLASSW, L"", 0, 10, 100, 200, 30, 5),
            AddTabs(m_host, 4),
        };
        ASSERT_TRUE(Manager().EnableStaticStyled(controls[0]));
        ASSERT_TRUE(Manager().EnablePicStaticStyled(controls[1], L"Logo.bmp"));
        ASSERT_TRUE(Manager().EnableProgressBarStyled(controls[2]));
        ASSERT_TRUE(Manager().EnableSpinButtonStyled(controls[3]));
        ASSERT_TRUE(Manager().EnableTrackBarStyled(controls[4]));
        ASSERT_TRUE(Manager().EnableTabCtrlStyled(controls[5]));
        EXPECT_EQ(m_objects + 6, Windows::LiveStyledObjects());
        SendMessageW(controls[2], PBM_SETPOS, 40, 0);
        RedrawWindow(m_host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        for (HWND control : controls)
            DestroyWindow(control);
        EXPECT_EQ(m_objects, Windows::LiveStyledObjects());
    }
    EXPECT_EQ(slots, TestCommon::FreeGdiSlots());
}
