#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include "MenuTestUtil.h"
#include "orvel/menus/MenuBar.h"
#include "orvel/windows/tests/WindowTestUtil.h"

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
    HMENU more = CreatePopupMenu();
    AppendMenuW(more, MF_STRING, kItemA, L"Item &A");
    AppendMenuW(more, MF_STRING, kItemB, L"Item &B");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kUndo, L"&Undo");
    AppendMenuW(edit, MF_STRING | MF_GRAYED, kCut, L"Cu&t");
    AppendMenuW(edit, MF_STRING | MF_CHECKED, kCopy, L"&Copy");
    AppendMenuW(edit, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"&More");
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

TEST(Explore, WineBehaviour)
{
    WindowTest::CHostWindow host(400, 300);
    host.Record(WM_COMMAND);
    host.Record(WM_INITMENUPOPUP);
    Windows::CMenuBar bar;
    RECT place = {0, 0, 400, 24};
    ASSERT_TRUE(bar.CreateMenuBar(host.Handle(), &place, nullptr, 0, 0, 1, nullptr));
    HMENU menu = TestMenu();
    ASSERT_TRUE(bar.Attach(menu));
    WindowTest::Pump(50);
    RECT button = {};
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    RECT button1 = {};
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button1));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button1), 2);
    printf("button0 %ld,%ld-%ld,%ld button1 %ld,%ld\n", button.left, button.top, button.right, button.bottom, button1.left, button1.top);
    std::vector<Step> steps = {
        Do([&] { Click(Centre(button)); }),
        WaitFor([] { return !PopupWindows().empty(); }),
        Do([&] {
            HWND popup = PopupWindows()[0];
            RECT w, c;
            GetWindowRect(popup, &w);
            GetClientRect(popup, &c);
            printf("popup window %ld,%ld-%ld,%ld client %ldx%ld live %ld\n", w.left, w.top, w.right, w.bottom, c.right, c.bottom, Windows::CFlatMenuWindow::LiveCount());
            RECT item;
            GetMenuItemRect(bar, GetSubMenu(menu, 0), 0, &item);
            printf("item0 %ld,%ld-%ld,%ld\n", item.left, item.top, item.right, item.bottom);
        }),
        Do([&] { MoveMouse(Centre(button1)); }),
        WaitFor([&] { return host.Received(WM_INITMENUPOPUP).size() >= 2; }),
        Do([&] { printf("hot tracked; popups %zu\n", PopupWindows().size()); Key(VK_DOWN); }),
        Do([&] { Key(VK_RETURN); }),
        WaitFor([] { return PopupWindows().empty(); }),
    };
    bool ok = RunScript(steps);
    printf("script %d commands %zu inits %zu\n", ok, host.Received(WM_COMMAND).size(), host.Received(WM_INITMENUPOPUP).size());
    for (auto& m : host.Received(WM_COMMAND)) printf("cmd %u\n", LOWORD(m.wParam));
    DestroyMenu(menu);
}

}  // namespace
