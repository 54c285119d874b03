#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <memory>
#include "MenuTestUtil.h"
#include "orvel/menus/MenuBar.h"
#include "orvel/windows/tests/WindowTestUtil.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestCommon.h"

using namespace MenuTest;

namespace {

enum : UINT { kNew = 101, kOpen, kExit, kUndo, kCut, kCopy, kItemA, kItemB, kLarge, kSmall, kAbout };

HMENU TestMenu()
{
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kNew, L"&New\tCtrl+N");
    AppendMenuW(file, MF_STRING, kOpen, L"&Open...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kExit, L"E&xit");
    HMENU edit = EditMenu({kUndo, kCut, kCopy, kItemA, kItemB});
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, kLarge, L"&Large");
    AppendMenuW(view, MF_STRING, kSmall, L"&Small");
    CheckMenuRadioItem(view, kLarge, kSmall, kSmall, MF_BYCOMMAND);
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kAbout, L"&About");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

Step PopupsOpenStep(size_t count)
{
    return WaitFor([count] { return PopupWindows().size() == count; });
}

// A host window with the bar across its top and the test menu attached.
class MenuBarFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<WindowTest::CHostWindow>(400, 300);
        host->Record(WM_COMMAND);
        host->Record(WM_INITMENUPOPUP);
        RECT place = {0, 0, 400, 24};
        ASSERT_TRUE(bar.CreateMenuBar(host->Handle(), &place, nullptr, 0, 0, 1, nullptr));
        menu = TestMenu();
        ASSERT_TRUE(bar.Attach(menu));
        WindowTest::Pump(30);
    }
    void TearDown() override
    {
        if (IsWindow(bar))
            DestroyWindow(bar);
        host.reset();
        DestroyMenu(menu);
    }

    // A bar button's rectangle on the screen.
    RECT Button(int index) const
    {
        RECT rect = {};
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // Which top-level popup the host was last told of (-1 for none).
    int LastOpened() const
    {
        auto inits = host->Received(WM_INITMENUPOPUP);
        for (auto it = inits.rbegin(); it != inits.rend(); ++it)
            for (int i = 0; i < GetMenuItemCount(menu); ++i)
                if (reinterpret_cast<HMENU>(it->wParam) == GetSubMenu(menu, i))
                    return i;
        return -1;
    }
    std::vector<UINT> Commands() const
    {
        std::vector<UINT> ids;
        for (const auto& message : host->Received(WM_COMMAND))
            ids.push_back(LOWORD(message.wParam));
        return ids;
    }
    Step PopupsOpen(size_t count) const { return PopupsOpenStep(count); }

    std::unique_ptr<WindowTest::CHostWindow> host;
    Windows::CMenuBar bar;
    HMENU menu = nullptr;
};

TEST_F(MenuBarFixture, TopLevelItemsBecomeButtonsAndNonMenusAreRefused)
{
    EXPECT_EQ(4, SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    wchar_t name[32] = {};
    GetClassNameW(bar, name, 32);
    EXPECT_STREQ(L"ZQXP_MenuBar", name);
    EXPECT_FALSE(bar.Attach(reinterpret_cast<HMENU>(host->Handle())));
    EXPECT_EQ(4, SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    // A wider button for a longer title: the buttons follow their texts.
    EXPECT_GT(Button(0).right - Button(0).left, 0);
    EXPECT_LT(Button(0).right, Button(1).left + 1);
}

TEST_F(MenuBarFixture, MouseOpensHotTracksAndClosesLikeAMenuBar)
{
    ASSERT_TRUE(RunScript({
        Do([&] { Click(Centre(Button(0))); }),
        PopupsOpen(1),
        Do([&] {
            EXPECT_EQ(0, LastOpened());
            EXPECT_FALSE(bar.ShowsKeyboardCues());  // opened by the mouse
        }),
        // Moving onto a neighbour while open switches the popup.
        Do([&] { MoveMouse(Centre(Button(2))); }),
        WaitFor([&] { return LastOpened() == 2 && PopupWindows().size() == 1; }),
        // A click on the open button closes it again.
        Do([&] { Click(Centre(Button(2))); }),
        PopupsOpen(0),
    }));
    WindowTest::Pump(100);
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_TRUE(Commands().empty());
    EXPECT_FALSE(bar.IsPopupOpen());

    // Open again and click outside: closed, nothing chosen.
    ASSERT_TRUE(RunScript({
        Do([&] { Click(Centre(Button(1))); }),
        PopupsOpen(1),
        Do([&] { Click(POINT{Button(3).right + 150, Button(3).bottom + 150}); }),
        PopupsOpen(0),
    }));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(MenuBarFixture, ClickingAnItemSendsItsCommandToTheHost)
{
    ASSERT_TRUE(RunScript({
        Do([&] { Click(Centre(Button(0))); }),
        PopupsOpen(1),
        Do([&] {
            // The second item of the file menu: items are as tall as a
            // button and two pixels, below the popup's border.
            RECT popup = {};
            GetWindowRect(PopupWindows()[0], &popup);
            const int itemHeight = bar.GetButtonSize().cy + 2;
            const int border = GetSystemMetrics(SM_CYDLGFRAME);
            Click(POINT{(popup.left + popup.right) / 2, popup.top + border + itemHeight * 3 / 2});
        }),
        PopupsOpen(0),
    }));
    WindowTest::Pump(50);
    EXPECT_EQ(std::vector<UINT>{kOpen}, Commands());
}

TEST_F(MenuBarFixture, AltArrowsEnterAndEscapeDriveTheBarFromTheKeyboard)
{
    ASSERT_TRUE(RunScript({
        Do([] { Key(VK_MENU); }),
        WaitFor([&] { return bar.IsKeyboardMode(); }),
        Do([&] {
            EXPECT_EQ(0, bar.GetHotButton());
            EXPECT_TRUE(bar.ShowsKeyboardCues());
            Key(VK_RIGHT);
        }),
        WaitFor([&] { return bar.GetHotButton() == 1; }),
        Do([] { Key(VK_LEFT); Key(VK_LEFT); }),
        WaitFor([&] { return bar.GetHotButton() == 3; }),  // wraps around
        Do([] { Key(VK_RIGHT); Key(VK_RIGHT); Key(VK_DOWN); }),  // opens Edit
        PopupsOpen(1),
        Do([&] { EXPECT_EQ(1, LastOpened()); Key(VK_ESCAPE); }),
        PopupsOpen(0),
        // Esc from the first popup goes back to the bar, still armed.
        WaitFor([&] { return bar.IsKeyboardMode() && bar.GetHotButton() == 1; }),
        Do([] { Key(VK_ESCAPE); }),
        WaitFor([&] { return !bar.IsKeyboardMode(); }),
    }));
    EXPECT_TRUE(Commands().empty());

    // F10 enters too; Enter opens the hot button with its first item
    // selected, and a second Enter chooses it.
    ASSERT_TRUE(RunScript({
        Do([] { Key(VK_F10); }),
        WaitFor([&] { return bar.IsKeyboardMode(); }),
        Do([] { Key(VK_RETURN); }),
        PopupsOpen(1),
        Do([] { Key(VK_RETURN); }),
        PopupsOpen(0),
    }));
    WindowTest::Pump(50);
    EXPECT_EQ(std::vector<UINT>{kNew}, Commands());
    EXPECT_FALSE(bar.IsKeyboardMode());

    // An armed bar lets go of the keyboard when another window is activated.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 700, 500, 80, 40, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_TRUE(RunScript({
        Do([] { Key(VK_F10); }),
        WaitFor([&] { return bar.IsKeyboardMode(); }),
        Do([&] { ShowWindow(other, SW_SHOW); SetForegroundWindow(other); }),
        WaitFor([&] { return !bar.IsKeyboardMode(); }),
    }));
    DestroyWindow(other);
}

TEST_F(MenuBarFixture, ArrowsMoveAcrossTheBarWhileOpenAndIntoSubmenus)
{
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('F'); }),
        PopupsOpen(1),
        Do([&] { EXPECT_EQ(0, LastOpened()); Key(VK_RIGHT); }),  // no submenu here: next button
        WaitFor([&] { return LastOpened() == 1 && PopupWindows().size() == 1; }),
        // Edit: Undo, Cut, Copy, More >; into the submenu and out again.
        Do([] { Key('M'); }),
        PopupsOpen(2),
        Do([] { Key(VK_LEFT); }),  // closes the submenu only
        PopupsOpen(1),
        Do([] { Key(VK_RIGHT); }),  // More is selected: opens it again
        PopupsOpen(2),
        Do([] { Key(VK_RIGHT); }),  // a plain item of the submenu: next button
        WaitFor([&] { return LastOpened() == 2 && PopupWindows().size() == 1; }),
        Do([] { Key(VK_LEFT); }),
        WaitFor([&] { return LastOpened() == 1 && PopupWindows().size() == 1; }),
        Do([&] { EXPECT_EQ(1, LastOpened()); Key(VK_LEFT); }),  // first level: previous button
        WaitFor([&] { return LastOpened() == 0 && PopupWindows().size() == 1; }),
        Do([] { Key(VK_ESCAPE); Key(VK_ESCAPE); }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(MenuBarFixture, MnemonicsOpenButtonsAndChooseItems)
{
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('E'); }),
        PopupsOpen(1),
        Do([] { Key('M'); }),  // the More submenu
        PopupsOpen(2),
        Do([] { Key('B'); }),
        PopupsOpen(0),
    }));
    WindowTest::Pump(50);
    EXPECT_EQ(std::vector<UINT>{kItemB}, Commands());

    // Armed by Alt, a letter alone opens its button.
    ASSERT_TRUE(RunScript({
        Do([] { Key(VK_MENU); }),
        WaitFor([&] { return bar.IsKeyboardMode(); }),
        Do([] { Key('V'); }),
        PopupsOpen(1),
        Do([&] { EXPECT_EQ(2, LastOpened()); Key('L'); }),
        PopupsOpen(0),
    }));
    WindowTest::Pump(50);
    EXPECT_EQ((std::vector<UINT>{kItemB, kLarge}), Commands());
}

TEST_F(MenuBarFixture, ItemsAreGivenBackAfterTrackingAndTheHostPreparesThemFirst)
{
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('E'); }),
        PopupsOpen(1),
        Do([] { Key(VK_ESCAPE); Key(VK_ESCAPE); }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    HMENU edit = GetSubMenu(menu, 1);
    for (int i = 0; i < GetMenuItemCount(edit); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
        info.dwTypeData = text;
        info.cch = 63;
        ASSERT_TRUE(GetMenuItemInfoW(edit, static_cast<UINT>(i), TRUE, &info));
        EXPECT_FALSE(info.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ(0u, info.dwItemData) << i;
    }
    wchar_t text[64] = {};
    GetMenuStringW(edit, 2, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(L"&Copy", text);
    EXPECT_TRUE(GetMenuState(edit, 2, MF_BYPOSITION) & MF_CHECKED);
}

TEST_F(MenuBarFixture, ManyTrackedPopupsLeaveNoObjectsHooksOrSettingsBehind)
{
    BOOL animation = TRUE, fade = TRUE;
    SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(TRUE), 0);
    SystemParametersInfoW(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(TRUE), 0);
    BOOL animationWhileOpen = TRUE;
    auto round = [&] {
        return RunScript({
            Do([] { AltLetter('E'); }),
            PopupsOpen(1),
            Do([] { Key(VK_UP); Key(VK_RIGHT); }),  // the submenu too
            PopupsOpen(2),
            Do([&] {
                SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animationWhileOpen, 0);
                Key(VK_ESCAPE);
                Key(VK_ESCAPE);
                Key(VK_ESCAPE);
            }),
            WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
        });
    };
    ASSERT_TRUE(round());  // the style and system objects exist after the first
    int slots = TestCommon::FreeGdiSlots();
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(round()) << i;
    EXPECT_EQ(slots, TestCommon::FreeGdiSlots());
    EXPECT_EQ(0, Windows::CFlatMenuWindow::LiveCount());
    EXPECT_FALSE(animationWhileOpen);
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animation, 0);
    SystemParametersInfoW(SPI_GETMENUFADE, 0, &fade, 0);
    EXPECT_TRUE(animation);
    EXPECT_TRUE(fade);
}

// In a rebar, as hosts place it: commands still reach the rebar's owner.
TEST(MenuBarInRebar, OpensFromItsBandAndTellsTheRebarsOwner)
{
    WindowTest::CHostWindow host(400, 200);
    host.Record(WM_COMMAND);
    HWND rebar = CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | RBS_VARHEIGHT | CCS_NODIVIDER | CCS_TOP,
                                 0, 0, 400, 0, host.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(rebar);
    // A band that is there before the bar takes the palette's band colour.
    REBARBANDINFOW other = {};
    other.cbSize = sizeof other;
    other.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_COLORS;
    other.hwndChild = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, rebar, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    other.cyMinChild = 10;
    other.clrBack = RGB(1, 2, 3);
    SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&other));
    Windows::CMenuBar bar;
    ASSERT_TRUE(bar.CreateMenuBar(rebar, nullptr, nullptr, 0, 0, 1, nullptr));
    other.fMask = RBBIM_COLORS;
    SendMessageW(rebar, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(Windows::CMenuPalette::Get(Windows::kMenuMenu), other.clrBack);
    SendMessageW(rebar, RB_DELETEBAND, 0, 0);
    HMENU menu = TestMenu();
    ASSERT_TRUE(bar.Attach(menu));
    SIZE size = {};
    SendMessageW(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    REBARBANDINFOW band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    band.fStyle = RBBS_NOGRIPPER;
    band.hwndChild = bar;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy;
    band.cx = 400;
    SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    WindowTest::Pump(50);
    RECT button = {};
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    ASSERT_GT(button.right - button.left, 0);
    ASSERT_TRUE(RunScript({
        Do([&] { Click(Centre(button)); }),
        PopupsOpenStep(1),
        Do([&] { EXPECT_FALSE(bar.ShowsKeyboardCues()); Key(VK_DOWN); }),
        WaitFor([&] { return bar.ShowsKeyboardCues(); }),  // the keyboard took over
        Do([] { Key(VK_RETURN); }),
        PopupsOpenStep(0),
    }));
    WindowTest::Pump(50);
    auto commands = host.Received(WM_COMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(kUndo, LOWORD(commands[0].wParam));
    EXPECT_FALSE(bar.ShowsKeyboardCues());
    DestroyWindow(rebar);
    DestroyMenu(menu);
}

// In a dialog, Alt and a control's mnemonic belong to the control.
TEST(MenuBarInDialog, ControlsKeepTheirMnemonics)
{
    HWND dialog = CreateWindowExW(0, L"#32770", L"dialog", WS_POPUP | WS_VISIBLE | WS_CAPTION, 60, 60, 400,
                                  200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(dialog);
    SetForegroundWindow(dialog);
    CreateWindowExW(0, L"Button", L"&Edit the list", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 60, 120,
                    24, dialog, reinterpret_cast<HMENU>(10), GetModuleHandleW(nullptr), nullptr);
    Windows::CMenuBar bar;
    RECT place = {0, 0, 400, 24};
    ASSERT_TRUE(bar.CreateMenuBar(dialog, &place, nullptr, 0, 0, 1, nullptr));
    HMENU menu = TestMenu();
    ASSERT_TRUE(bar.Attach(menu));
    WindowTest::Pump(50);
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('E'); }),
        Pause(8),
        Do([] { EXPECT_TRUE(PopupWindows().empty()); }),
        Do([] { AltLetter('V'); }),  // nothing else has V
        PopupsOpenStep(1),
        Do([] { Key(VK_ESCAPE); Key(VK_ESCAPE); }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    DestroyWindow(dialog);
    DestroyMenu(menu);
}

TEST(MenuBarHook, TheThreadHookLivesFromTheFirstBarToTheLast)
{
    WindowTest::CHostWindow host(300, 100);
    const DWORD thread = GetCurrentThreadId();
    EXPECT_FALSE(Base::CommandBarHookInstalled(thread));
    {
        Windows::CMenuBar first, second;
        RECT place = {0, 0, 300, 24};
        ASSERT_TRUE(first.CreateMenuBar(host.Handle(), &place, nullptr, 0, 0, 1, nullptr));
        EXPECT_TRUE(Base::CommandBarHookInstalled(thread));
        ASSERT_TRUE(second.CreateMenuBar(host.Handle(), &place, nullptr, 0, 0, 2, nullptr));
        DestroyWindow(first);
        EXPECT_TRUE(Base::CommandBarHookInstalled(thread));
    }
    EXPECT_FALSE(Base::CommandBarHookInstalled(thread));
}

// The interface as a host of another compiler sees it: a table of plain
// functions taking the object first.
TEST(ZqMenuInterface, SlotsCalledThroughTheRawTable)
{
    HMODULE orvel = GetModuleHandleW(L"Orvel.dll");
    ASSERT_TRUE(orvel);
    using NewFn = void* (*)();
    auto create = reinterpret_cast<NewFn>(reinterpret_cast<void*>(GetProcAddress(orvel, "NewInstance_IZqMenu")));
    ASSERT_TRUE(create);
    void* object = create();
    ASSERT_TRUE(object);
    void** table = *static_cast<void***>(object);
    using ReleaseFn = void (*)(void*);
    using CreateFn = void (*)(void*, HWND, const RECT*, LPCWSTR, DWORD, DWORD, UINT, void*);
    using AttachFn = BOOL (*)(void*, HMENU);
    using TrackFn = BOOL (*)(void*, HMENU, UINT, int, int, HWND, LPTPMPARAMS);

    WindowTest::CHostWindow host(300, 200);
    host.Record(WM_COMMAND);
    RECT place = {0, 0, 300, 24};
    reinterpret_cast<CreateFn>(table[1])(object, host.Handle(), &place, L"bar", 0, 0, 7, nullptr);
    HWND bar = FindWindowExW(host.Handle(), nullptr, L"ZQXP_MenuBar", nullptr);
    ASSERT_TRUE(bar);
    EXPECT_EQ(7, GetDlgCtrlID(bar));
    EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_STYLE) & (TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TRANSPARENT));
    HMENU menu = TestMenu();
    EXPECT_TRUE(reinterpret_cast<AttachFn>(table[2])(object, menu));
    EXPECT_EQ(4, SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    EXPECT_FALSE(reinterpret_cast<AttachFn>(table[2])(object, reinterpret_cast<HMENU>(bar)));

    // Without TPM_RETURNCMD the command is returned and also sent.
    RECT at = {};
    GetWindowRect(host.Handle(), &at);
    BOOL chosen = 0;
    ASSERT_TRUE(RunScript({PopupsOpenStep(1), Do([] { Key(VK_DOWN); Key(VK_DOWN); Key(VK_RETURN); }),
                           PopupsOpenStep(0)},
                          8000, [&] {
                              chosen = reinterpret_cast<TrackFn>(table[3])(
                                  object, GetSubMenu(menu, 0), TPM_LEFTALIGN, at.left + 40, at.top + 60,
                                  host.Handle(), nullptr);
                          }));
    WindowTest::Pump(30);
    EXPECT_EQ(static_cast<BOOL>(kOpen), chosen);
    auto commands = host.Received(WM_COMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(kOpen, LOWORD(commands[0].wParam));

    // With it, only returned.
    host.ClearReceived();
    ASSERT_TRUE(RunScript({PopupsOpenStep(1), Do([] { Key(VK_DOWN); Key(VK_RETURN); }), PopupsOpenStep(0)},
                          8000, [&] {
                              chosen = reinterpret_cast<TrackFn>(table[3])(
                                  object, GetSubMenu(menu, 0), TPM_RETURNCMD, at.left + 40, at.top + 60,
                                  host.Handle(), nullptr);
                          }));
    WindowTest::Pump(30);
    EXPECT_EQ(static_cast<BOOL>(kNew), chosen);
    EXPECT_TRUE(host.Received(WM_COMMAND).empty());

    reinterpret_cast<ReleaseFn>(table[0])(object);
    EXPECT_FALSE(IsWindow(bar));
    DestroyMenu(menu);
}

}  // namespace
