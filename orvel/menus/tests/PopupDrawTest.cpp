#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <memory>
#include "MenuTestUtil.h"
#include "orvel/menus/MenuBar.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/tests/WindowTestUtil.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestCommon.h"

using namespace MenuTest;

namespace {

enum : UINT { kNew = 201, kOpen, kSave, kUndo, kCut, kCopy, kItemA };

// Every palette entry distinct, so each pixel tells what drew it.
const COLORREF kFrame = RGB(200, 0, 0);
const COLORREF kBackground = RGB(250, 250, 230);
const COLORREF kMenu = RGB(0, 0, 200);
const COLORREF kHotBorder = RGB(0, 150, 0);
const COLORREF kHot = RGB(180, 255, 180);
const COLORREF kHotDark = RGB(100, 200, 100);
const COLORREF kPressed = RGB(255, 200, 0);
const COLORREF kGreyText = RGB(150, 150, 150);
const COLORREF kMenuText = RGB(10, 10, 90);
const COLORREF kSelMenuText = RGB(90, 10, 10);
const COLORREF kButtonText = RGB(10, 90, 10);
const COLORREF kSelButtonText = RGB(90, 90, 10);
const COLORREF kShadow = RGB(120, 0, 120);
const COLORREF kIcon = RGB(255, 0, 0);
const COLORREF kMask = RGB(0xC0, 0xC0, 0xC0);

const wchar_t kPaletteIni[] =
    L"[Config]\r\n[MenuBar]\r\nFrame=200,0,0\r\nBackground=250,250,230\r\nMenu=0,0,200\r\n"
    L"HotBorder=0,150,0\r\nHot=180,255,180\r\nHotDark=100,200,100\r\nPressed=255,200,0\r\n"
    L"GreyText=150,150,150\r\nMenuText=10,10,90\r\nSelMenuText=90,10,10\r\nButtonText=10,90,10\r\n"
    L"SelButtonText=90,90,10\r\nShadow=120,0,120\r\n";

// Screen pixels as colour references.
COLORREF At(const Screenshot::SPixels& pixels, int x, int y)
{
    DWORD p = pixels.At(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Count(const Screenshot::SPixels& pixels, const RECT& area, COLORREF colour)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += At(pixels, x, y) == colour;
    return count;
}

// The smallest rectangle holding every pixel of the colour (empty if none).
RECT Bounds(const Screenshot::SPixels& pixels, const RECT& area, COLORREF colour)
{
    RECT box = {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(pixels, x, y) == colour) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class PopupDrawFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::SPackSource source;
        source.ini = kPaletteIni;
        pack = std::make_unique<TestSupport::CCurrentPack>(source);
        ASSERT_TRUE(pack->Ok());
        host = std::make_unique<WindowTest::CHostWindow>(400, 300);
        RECT place = {0, 0, 400, 24};
        ASSERT_TRUE(bar.CreateMenuBar(host->Handle(), &place, nullptr, 0, 0, 1, nullptr));

        HMENU file = CreatePopupMenu();
        AppendMenuW(file, MF_STRING, kNew, L"&New");
        AppendMenuW(file, MF_STRING, kOpen, L"&Open");
        AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(file, MF_STRING, kSave, L"&Save");
        HMENU edit = EditMenu({kUndo, kCut, kCopy, kItemA, 0});
        menu = CreateMenu();
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
        AppendMenuW(menu, MF_STRING, kSave, L"&Go");
        ASSERT_TRUE(bar.Attach(menu));

        // One image per command: a red block inside the mask colour.
        HBITMAP strip = TestCommon::MakeBitmap(48, 15, [](int x, int y) {
            int ix = x % 16;
            return ix >= 4 && ix < 12 && y >= 4 && y < 11 ? kIcon : kMask;
        });
        const UINT commands[] = {kNew, kOpen, kCut};
        ASSERT_TRUE(bar.LoadImages(strip, commands, 3));
        DeleteObject(strip);
        WindowTest::Pump(30);
    }
    void TearDown() override
    {
        if (IsWindow(bar))
            DestroyWindow(bar);
        host.reset();
        DestroyMenu(menu);
        pack.reset();
    }

    // The open popup of a menu and its item rectangles, relative to it.
    struct SPopup {
        Screenshot::SPixels pixels;
        std::vector<RECT> items;
        RECT window = {};
    };
    static bool Capture(HMENU popupMenu, SPopup& out)
    {
        for (HWND popup : PopupWindows()) {
            if (reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) != popupMenu)
                continue;
            GetWindowRect(popup, &out.window);
            out.items.clear();
            for (int i = 0; i < GetMenuItemCount(popupMenu); ++i) {
                RECT item = {};
                GetMenuItemRect(popup, popupMenu, static_cast<UINT>(i), &item);
                OffsetRect(&item, -out.window.left, -out.window.top);
                out.items.push_back(item);
            }
            return Screenshot::CaptureScreenRect(out.window, out.pixels);
        }
        return false;
    }
    RECT Button(int index) const
    {
        RECT rect = {};
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    bool CaptureBar(Screenshot::SPixels& out) const
    {
        RECT rect = {};
        GetWindowRect(bar, &rect);
        return Screenshot::CaptureScreenRect(rect, out);
    }
    // The gutter of an item: the button-wide strip on its left.
    RECT Gutter(const RECT& item) const
    {
        return RECT{item.left, item.top, item.left + bar.GetButtonSize().cx + 1, item.bottom};
    }

    std::unique_ptr<TestSupport::CCurrentPack> pack;
    std::unique_ptr<WindowTest::CHostWindow> host;
    Windows::CMenuBar bar;
    HMENU menu = nullptr;
};

TEST_F(PopupDrawFixture, ItemsInEachStateArePaintedFromThePalette)
{
    SPopup edit;
    Screenshot::SPixels barPixels;
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('E'); }),  // Undo selected
        WaitFor([] { return PopupWindows().size() == 1; }),
        Pause(3),
        Do([&] {
            EXPECT_TRUE(Capture(GetSubMenu(menu, 1), edit));
            EXPECT_TRUE(CaptureBar(barPixels));
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    ASSERT_EQ(4u, edit.items.size());
    const RECT undo = edit.items[0], cut = edit.items[1], copy = edit.items[2];

    // Selected: the whole item in Hot, framed in HotBorder, its text SelMenuText.
    EXPECT_EQ(kHotBorder, At(edit.pixels, undo.left, (undo.top + undo.bottom) / 2));
    EXPECT_EQ(kHot, At(edit.pixels, undo.right - 4, (undo.top + undo.bottom) / 2));
    EXPECT_EQ(kHot, At(edit.pixels, undo.left + 3, undo.top + 3));
    EXPECT_GT(Count(edit.pixels, undo, kSelMenuText), 0);
    EXPECT_EQ(0, Count(edit.pixels, undo, kMenuText));

    // Grayed with an image: gutter and background, a Shadow silhouette
    // instead of the icon, GreyText.
    EXPECT_EQ(kMenu, At(edit.pixels, cut.left + 1, cut.top + 1));
    EXPECT_EQ(kBackground, At(edit.pixels, cut.right - 4, (cut.top + cut.bottom) / 2));
    EXPECT_GT(Count(edit.pixels, Gutter(cut), kShadow), 0);
    EXPECT_EQ(0, Count(edit.pixels, cut, kIcon));
    EXPECT_GT(Count(edit.pixels, cut, kGreyText), 0);

    // Checked without an image: a HotBorder box filled with Hot holding the
    // black check; MenuText.
    const RECT gutter = Gutter(copy);
    EXPECT_GT(Count(edit.pixels, gutter, kHotBorder), 8);
    EXPECT_GT(Count(edit.pixels, gutter, kHot), 8);
    EXPECT_GT(Count(edit.pixels, gutter, RGB(0, 0, 0)), 3);
    EXPECT_GT(Count(edit.pixels, copy, kMenuText), 0);

    // The bar button of the open popup: Menu with a Frame edge, open below.
    const RECT b = Button(1);
    const int midX = (b.left + b.right) / 2, midY = (b.top + b.bottom) / 2;
    EXPECT_EQ(kFrame, At(barPixels, b.left, midY));
    EXPECT_EQ(kFrame, At(barPixels, b.right - 1, midY));
    EXPECT_EQ(kFrame, At(barPixels, midX, b.top));
    EXPECT_EQ(kMenu, At(barPixels, b.left + 2, b.bottom - 1));
}

TEST_F(PopupDrawFixture, BitmapItemsShowTheirBitmapAndTheDefaultItemIsBold)
{
    const COLORREF kPicture = RGB(20, 160, 220);
    const UINT kPictureItem = kItemA + 10, kDefault = kItemA + 11, kPlain = kItemA + 12;
    HBITMAP picture = TestCommon::MakeBitmap(40, 12, [&](int, int) { return kPicture; });
    HMENU file = GetSubMenu(menu, 0);
    AppendMenuW(file, MF_BITMAP, kPictureItem, reinterpret_cast<const wchar_t*>(picture));
    AppendMenuW(file, MF_STRING, kDefault, L"Same words");
    AppendMenuW(file, MF_STRING, kPlain, L"Same words");
    SetMenuDefaultItem(file, kDefault, FALSE);

    SPopup shown;
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('F'); }),
        WaitFor([] { return PopupWindows().size() == 1; }),
        Pause(3),
        Do([&] {
            EXPECT_TRUE(Capture(file, shown));
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    ASSERT_EQ(7u, shown.items.size());
    const RECT bitmapItem = shown.items[4], defaultItem = shown.items[5], plainItem = shown.items[6];
    RECT drawn = Bounds(shown.pixels, bitmapItem, kPicture);
    EXPECT_EQ(40, drawn.right - drawn.left);
    EXPECT_EQ(12, drawn.bottom - drawn.top);
    // The same words, heavier in the default item.
    const int bold = Count(shown.pixels, defaultItem, kMenuText);
    const int plain = Count(shown.pixels, plainItem, kMenuText);
    EXPECT_GT(plain, 0);
    EXPECT_GT(bold, plain + plain / 10);

    // The items are given back as they were.
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoW(file, kPictureItem, FALSE, &info));
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(picture, info.hbmpItem);
    ASSERT_TRUE(GetMenuItemInfoW(file, kDefault, FALSE, &info));
    EXPECT_TRUE(info.fState & MFS_DEFAULT);
    DeleteMenu(file, kPictureItem, MF_BYCOMMAND);
    DeleteObject(picture);
}

TEST_F(PopupDrawFixture, AHotIconIsRaisedOverItsShadow)
{
    SPopup file;
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('F'); }),  // New selected, Open not
        WaitFor([] { return PopupWindows().size() == 1; }),
        Do([&] {
            EXPECT_TRUE(Capture(GetSubMenu(menu, 0), file));
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    ASSERT_EQ(4u, file.items.size());
    const RECT hotItem = file.items[0], restItem = file.items[1];
    RECT hot = Bounds(file.pixels, Gutter(hotItem), kIcon);
    RECT rest = Bounds(file.pixels, Gutter(restItem), kIcon);
    ASSERT_FALSE(IsRectEmpty(&hot));
    ASSERT_FALSE(IsRectEmpty(&rest));
    OffsetRect(&hot, -hotItem.left, -hotItem.top);
    OffsetRect(&rest, -restItem.left, -restItem.top);
    EXPECT_EQ(rest.left - 1, hot.left);
    EXPECT_EQ(rest.top - 1, hot.top);
    // The silhouette one pixel below and right of the resting place shows
    // beside the raised icon; the resting icon has none.
    RECT shadow = Bounds(file.pixels, Gutter(hotItem), kShadow);
    OffsetRect(&shadow, -hotItem.left, -hotItem.top);
    EXPECT_EQ(rest.right + 1, shadow.right);
    EXPECT_EQ(rest.bottom + 1, shadow.bottom);
    EXPECT_EQ(0, Count(file.pixels, Gutter(restItem), kShadow));

    // With the no-shadow bit the hot icon stays where it rests.
    bar.SetCommandBarExtendedStyle(Windows::kCbrExNoIconShadow, Windows::kCbrExNoIconShadow);
    SPopup flat;
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('F'); }),
        WaitFor([] { return PopupWindows().size() == 1; }),
        Do([&] {
            EXPECT_TRUE(Capture(GetSubMenu(menu, 0), flat));
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        }),
        WaitFor([&] { return PopupWindows().empty() && !bar.IsKeyboardMode(); }),
    }));
    ASSERT_EQ(4u, flat.items.size());
    RECT still = Bounds(flat.pixels, Gutter(flat.items[0]), kIcon);
    OffsetRect(&still, -flat.items[0].left, -flat.items[0].top);
    EXPECT_TRUE(EqualRect(&still, &rest));

    // The separator: one Menu line across the middle, right of the gutter.
    const RECT separator = file.items[2];
    const int middle = (separator.top + separator.bottom) / 2;
    EXPECT_EQ(kMenu, At(file.pixels, separator.right - 3, middle));
    EXPECT_EQ(kBackground, At(file.pixels, separator.right - 3, separator.top));
}

TEST_F(PopupDrawFixture, TheFirstPopupOpensItsFrameOverTheButtonAndSubmenusStayClosed)
{
    SPopup edit, more;
    ASSERT_TRUE(RunScript({
        Do([] { AltLetter('E'); }),
        WaitFor([] { return PopupWindows().size() == 1; }),
        Do([] { Key('M'); }),
        WaitFor([] { return PopupWindows().size() == 2; }),
        Pause(3),
        Do([&] {
            EXPECT_TRUE(Capture(GetSubMenu(menu, 1), edit));
            EXPECT_TRUE(Capture(GetSubMenu(GetSubMenu(menu, 1), 3), more));
            EndMenu();
        }),
        WaitFor([] { return PopupWindows().empty(); }),
        Do([] { Key(VK_ESCAPE); }),
        WaitFor([&] { return !bar.IsKeyboardMode(); }),
    }));
    const int width = Button(1).right - Button(1).left;
    ASSERT_GT(edit.pixels.width, width + 4);
    EXPECT_EQ(kMenu, At(edit.pixels, 2, 0));
    EXPECT_EQ(kMenu, At(edit.pixels, width - 2, 0));
    EXPECT_EQ(kFrame, At(edit.pixels, width + 3, 0));
    EXPECT_EQ(kFrame, At(edit.pixels, edit.pixels.width / 2, edit.pixels.height - 1));
    EXPECT_EQ(kFrame, At(edit.pixels, edit.pixels.width - 1, edit.pixels.height / 2));
    // The gutter colour runs into the left frame.
    EXPECT_EQ(kMenu, At(edit.pixels, 0, edit.pixels.height / 2));

    EXPECT_EQ(kFrame, At(more.pixels, 2, 0));
    EXPECT_EQ(kFrame, At(more.pixels, width - 2, 0));
}

TEST_F(PopupDrawFixture, HotButtonsAreFilledAndFramed)
{
    Screenshot::SPixels pixels;
    RECT go = Button(2);
    POINT at = {(go.left + go.right) / 2, go.top + 2};
    ClientToScreen(bar, &at);
    MoveMouse(at);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return bar.GetHotButton() == 2; }));
    bar.UpdateWindow();
    ASSERT_TRUE(CaptureBar(pixels));
    EXPECT_EQ(kHotBorder, At(pixels, go.left, (go.top + go.bottom) / 2));
    EXPECT_EQ(kHot, At(pixels, go.left + 2, go.top + 2));
    EXPECT_GT(Count(pixels, go, kSelButtonText), 0);
    EXPECT_GT(Count(pixels, Button(0), kButtonText), 0);
    MoveMouse(POINT{at.x, at.y + 200});
}

TEST_F(PopupDrawFixture, MnemonicsAreUnderlinedOnlyWhileTheKeyboardDrivesTheBar)
{
    Screenshot::SPixels pixels;
    const RECT go = Button(2);
    ASSERT_TRUE(CaptureBar(pixels));
    const int resting = Count(pixels, go, kButtonText);
    ASSERT_GT(resting, 0);
    ASSERT_TRUE(RunScript({
        Do([] { Key(VK_MENU); }),
        WaitFor([&] { return bar.IsKeyboardMode(); }),
        Pause(3),
        Do([&] {
            bar.UpdateWindow();
            EXPECT_TRUE(CaptureBar(pixels));
            Key(VK_ESCAPE);
        }),
        WaitFor([&] { return !bar.IsKeyboardMode(); }),
    }));
    EXPECT_GT(Count(pixels, go, kButtonText), resting);  // the underline under G
    bar.UpdateWindow();
    ASSERT_TRUE(CaptureBar(pixels));
    EXPECT_EQ(resting, Count(pixels, go, kButtonText));
}

}  // namespace
