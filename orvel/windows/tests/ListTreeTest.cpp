#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <tuple>
#include <vector>
#include "ScrollBarTestPack.h"
#include "WindowTestUtil.h"
#include "orvel/base/GdiHandles.h"
#include "orvel/host/Global.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/HeaderCtrl.h"
#include "orvel/windows/ListView.h"
#include "orvel/windows/StyledWndManager.h"
#include "orvel/windows/TreeView.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestCommon.h"

using WindowTest::CHostWindow;
using WindowTest::MoveCursorTo;
using WindowTest::Pump;
using WindowTest::PumpUntil;

namespace {

// Header items by alignment (0 left, 1 right, 2 centre) and state (0
// normal, 1 hot, 2 pressed).
COLORREF ItemColor(int group, int state) { return RGB(60 + 60 * group, 30 + 60 * state, 20); }
const COLORREF kHeaderBack = RGB(5, 6, 7);
const COLORREF kSortUp = RGB(250, 0, 250 - 1);
const COLORREF kSortDown = RGB(0, 250, 250);
const COLORREF kDivider = RGB(255, 255, 0);
const COLORREF kField = RGB(20, 30, 40);
const COLORREF kFieldText = RGB(200, 210, 220);

std::wstring ColorText(COLORREF c)
{
    return std::to_wstring(GetRValue(c)) + L"," + std::to_wstring(GetGValue(c)) + L"," +
           std::to_wstring(GetBValue(c));
}

TestSupport::SPackSource ListPack(bool withFieldColors = true)
{
    TestSupport::SPackSource source = ScrollBarTest::ScrollBarPack();
    source.ini += ScrollBarTest::FillSection(L"HeaderCtrl", 1, [](int) { return kHeaderBack; });
    source.ini += L"[HeaderCtrlItem]\r\nMargins=4,2,4,2\r\n[Back@HeaderCtrlItem]\r\nType=FillColor\r\n"
                  L"BorderSize=0\r\nStateCount=9\r\n";
    for (int state = 0; state < 9; ++state)
        source.ini += L"FillColor" + (state ? std::to_wstring(state) : std::wstring()) + L"=" +
                      ColorText(ItemColor(state / 3, state % 3)) + L"\r\n";
    source.ini += L"[Fore@HeaderCtrlItem]\r\nType=Text\r\nStateCount=9\r\nTextColor=255,255,255\r\n"
                  L"Align=left\r\nAlign3=right\r\nAlign4=right\r\nAlign5=right\r\n"
                  L"Align6=center\r\nAlign7=center\r\nAlign8=center\r\nVAlign=center\r\n";
    source.ini += L"[HeaderCtrlSort]\r\n[Fore@HeaderCtrlSort]\r\nType=ImageGlyph\r\nImageFile=Sort.bmp\r\n"
                  L"ImageCount=3\r\nTransparent=true\r\nTransparentColor=255,0,255\r\n";
    source.ini += L"[HeaderCtrlDivider]\r\n[Fore@HeaderCtrlDivider]\r\nType=ImageGlyph\r\nImageFile=Divider.bmp\r\n";
    if (withFieldColors)
        source.ini += L"[DlgFrame]\r\nFieldColor=" + ColorText(kField) + L"\r\nFieldTextColor=" +
                      ColorText(kFieldText) + L"\r\n";
    TestSupport::SPackBitmap sort;
    sort.name = L"Sort.bmp";
    sort.width = 8;
    sort.height = 18;
    sort.pixel = [](int, int y) { return y < 6 ? RGB(255, 0, 255) : (y < 12 ? kSortUp : kSortDown); };
    source.bitmaps.push_back(sort);
    TestSupport::SPackBitmap divider;
    divider.name = L"Divider.bmp";
    divider.width = 2;
    divider.height = 10;
    divider.color = kDivider;
    source.bitmaps.push_back(divider);
    return source;
}

// What a parent receives through WM_NOTIFY, code by code.
class CNotifyRecorder {
public:
    explicit CNotifyRecorder(HWND parent) : m_parent(parent)
    {
        SetWindowSubclass(parent, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~CNotifyRecorder() { RemoveWindowSubclass(m_parent, &Proc, 1); }
    CNotifyRecorder(const CNotifyRecorder&) = delete;
    CNotifyRecorder& operator=(const CNotifyRecorder&) = delete;

    std::vector<UINT> codes;
    int Count(UINT code) const
    {
        int n = 0;
        for (UINT c : codes)
            n += c == code;
        return n;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data)
    {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            // Custom drawing and tool-tip chatter vary with timing.
            if (header->code != NM_CUSTOMDRAW && header->code != TTN_GETDISPINFOW &&
                header->code != TTN_SHOW && header->code != TTN_POP)
                reinterpret_cast<CNotifyRecorder*>(data)->codes.push_back(header->code);
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
    HWND m_parent;
};

template <class T>
T* StyleAs(HWND window)
{
    return Windows::AttachStyled<T>(window);
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

bool RowHas(HWND window, int y, int x0, int x1, COLORREF colour)
{
    HDC dc = GetDC(window);
    bool found = false;
    for (int x = x0; x < x1 && !found; ++x)
        found = GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return found;
}

bool RectHas(HWND window, const RECT& rect, COLORREF colour)
{
    for (int y = rect.top; y < rect.bottom; ++y) {
        if (RowHas(window, y, rect.left, rect.right, colour))
            return true;
    }
    return false;
}

RECT HeaderItemRect(HWND header, int index)
{
    RECT rect = {};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

int RowTop(HWND list, int index)
{
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
    return row.top;
}

HTREEITEM AddNode(HWND tree, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

int WindowHeight(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

void MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void Key(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
}

class ListTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok()) << std::string(m_pack.Error().begin(), m_pack.Error().end());
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&init);
        m_liveBefore = Windows::LiveStyledObjects();
    }
    void TearDown() override
    {
        MoveCursorTo(m_host.Handle(), 590, 390);
        while (HWND child = GetWindow(m_host.Handle(), GW_CHILD))
            DestroyWindow(child);
        Pump();
        EXPECT_EQ(m_liveBefore, Windows::LiveStyledObjects());
    }
    Windows::CStyledWndManager& Manager() { return Windows::CStyledWndManager::GetInstance(); }

    HWND AddReport(int x, int rows, DWORD style = 0, int id = 10)
    {
        HWND list = m_host.AddChild(WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER | style, x, 10, 260, 200, id);
        const wchar_t* titles[] = {L"Name", L"Size", L"Kind"};
        const int formats[] = {HDF_LEFT, HDF_RIGHT, HDF_CENTER};
        for (int n = 0; n < 3; ++n) {
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = formats[n];
            column.cx = 70;
            column.pszText = const_cast<wchar_t*>(titles[n]);
            SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&column));
        }
        AddRows(list, rows);
        return list;
    }
    static void AddRows(HWND list, int rows)
    {
        for (int n = 0; n < rows; ++n) {
            std::wstring text = (n == rows / 2 ? L"zeta " : L"item ") + std::to_wstring(n);
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = n;
            item.pszText = text.data();
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    static void SetSort(HWND list, int column, int format)
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        item.fmt |= format;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }

    TestSupport::CCurrentPack m_pack{ListPack()};
    CHostWindow m_host{600, 400};
    long m_liveBefore = 0;
};

}  // namespace

// ---------------------------------------------------------------- header

TEST_F(ListTreeTest, HeaderPaintsItemsByAlignmentWithSortMarksAndDividers)
{
    HWND plain = AddReport(320, 3, 0, 11);
    HWND list = AddReport(10, 3);
    SetSort(list, 0, HDF_SORTUP);
    SetSort(list, 1, HDF_SORTDOWN);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int nativeHeight = WindowHeight(header);
    ASSERT_TRUE(Manager().EnableListViewStyled(list));
    EXPECT_EQ(m_liveBefore + 2, Windows::LiveStyledObjects());  // the list and its header
    Pump();

    // Taller by 20, and the list knows it: the first row starts below it.
    EXPECT_EQ(nativeHeight + Windows::kListHeaderExtra, WindowHeight(header));
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    EXPECT_GE(row.top, WindowHeight(header));

    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (int n = 0; n < 3; ++n) {
        RECT item = HeaderItemRect(header, n);
        EXPECT_EQ(ItemColor(n, 0), ClientPixel(header, item.left + 2, item.top + 1)) << n;
        // The divider at the right edge, the pack's image centred in it.
        EXPECT_EQ(kDivider, ClientPixel(header, item.right - 1, (item.top + item.bottom) / 2)) << n;
    }
    // Ascending mark at the far right of a left-aligned item, descending at
    // the left of a right-aligned one; none on the third.
    RECT first = HeaderItemRect(header, 0), second = HeaderItemRect(header, 1), third = HeaderItemRect(header, 2);
    EXPECT_TRUE(RectHas(header, {first.left + 35, first.top, first.right, first.bottom}, kSortUp));
    EXPECT_TRUE(RectHas(header, {second.left, second.top, second.left + 35, second.bottom}, kSortDown));
    EXPECT_FALSE(RectHas(header, third, kSortUp));
    EXPECT_FALSE(RectHas(header, third, kSortDown));
    // The rest of the strip is an empty left-aligned item in state 0.
    EXPECT_EQ(ItemColor(0, 0), ClientPixel(header, third.right + 10, third.top + 1));
    EXPECT_FALSE(RectHas(header, {third.right + 1, third.top, third.right + 60, third.bottom}, kDivider));

    // A reordered header paints in display order.
    int order[] = {2, 0, 1};
    SendMessageW(header, HDM_SETORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ItemColor(2, 0), ClientPixel(header, 3, 1));

    // The unstyled list beside it keeps the native header.
    HWND plainHeader = reinterpret_cast<HWND>(SendMessageW(plain, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(nativeHeight, WindowHeight(plainHeader));
    EXPECT_FALSE(RectHas(plainHeader, HeaderItemRect(plainHeader, 0), ItemColor(0, 0)));
}

TEST_F(ListTreeTest, HeaderShowsItemImagesAndBitmapsBesideTheText)
{
    const COLORREF kImage = RGB(10, 200, 30), kBitmap = RGB(230, 20, 200);
    HWND list = AddReport(10, 3);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    HDC screen = GetDC(nullptr);
    Base::CBitmapHandle image(CreateCompatibleBitmap(screen, 12, 12));
    Base::CBitmapHandle bitmap(CreateCompatibleBitmap(screen, 10, 8));
    ReleaseDC(nullptr, screen);
    for (auto [handle, colour, cx, cy] : {std::tuple{image.Get(), kImage, 12, 12}, std::tuple{bitmap.Get(), kBitmap, 10, 8}}) {
        Base::CMemoryDC dc;
        Base::CSelectScope select(dc, handle);
        RECT all = {0, 0, cx, cy};
        Base::CBrushHandle brush(CreateSolidBrush(colour));
        FillRect(dc, &all, brush);
    }
    HIMAGELIST images = ImageList_Create(12, 12, ILC_COLOR24, 1, 1);
    ASSERT_EQ(0, ImageList_Add(images, image, nullptr));
    SendMessageW(header, HDM_SETIMAGELIST, HDSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    HDITEMW item = {};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_LEFT | HDF_STRING | HDF_IMAGE | HDF_SORTUP;
    item.iImage = 0;
    SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.mask = HDI_FORMAT | HDI_BITMAP;
    item.fmt = HDF_RIGHT | HDF_STRING | HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
    item.hbm = bitmap;
    SendMessageW(header, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    ASSERT_TRUE(Manager().EnableListViewStyled(list));
    Pump();
    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    // The image at the left of the first item, its sort mark still at the
    // right; the bitmap at the right of the second.
    RECT first = HeaderItemRect(header, 0), second = HeaderItemRect(header, 1);
    EXPECT_TRUE(RectHas(header, {first.left, first.top, first.left + 25, first.bottom}, kImage));
    EXPECT_FALSE(RectHas(header, {first.left + 35, first.top, first.right, first.bottom}, kImage));
    EXPECT_TRUE(RectHas(header, {first.left + 35, first.top, first.right, first.bottom}, kSortUp));
    EXPECT_TRUE(RectHas(header, {second.right - 25, second.top, second.right, second.bottom}, kBitmap));
    EXPECT_FALSE(RectHas(header, {second.left, second.top, second.left + 35, second.bottom}, kBitmap));
    EXPECT_FALSE(RectHas(header, HeaderItemRect(header, 2), kImage));

    DestroyWindow(list);
    ImageList_Destroy(images);
}

TEST_F(ListTreeTest, HeaderFollowsTheRealMouseButNotWhileADividerIsDragged)
{
    HWND list = AddReport(10, 3);
    ASSERT_TRUE(Manager().EnableListViewStyled(list));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    CNotifyRecorder parent(m_host.Handle());
    Pump();
    RECT second = HeaderItemRect(header, 1);
    const int y = (second.top + second.bottom) / 2;
    auto colourAt = [&](int index, int x) {
        RedrawWindow(header, nullptr, nullptr, RDW_UPDATENOW);
        return ClientPixel(header, x, HeaderItemRect(header, index).top + 1);
    };

    MoveCursorTo(header, second.left + 10, y);
    EXPECT_EQ(ItemColor(1, 1), colourAt(1, second.left + 2));
    EXPECT_EQ(ItemColor(0, 0), colourAt(0, 2));
    MouseButton(true);
    Pump(50);
    EXPECT_EQ(ItemColor(1, 2), colourAt(1, second.left + 2));
    MouseButton(false);
    Pump(50);
    EXPECT_EQ(ItemColor(1, 1), colourAt(1, second.left + 2));
    // The click reached the parent as the list's column click.
    EXPECT_EQ(1, parent.Count(LVN_COLUMNCLICK));

    // Onto the first item, then away: the hot look follows and leaves.
    MoveCursorTo(header, 10, y);
    EXPECT_EQ(ItemColor(0, 1), colourAt(0, 2));
    EXPECT_EQ(ItemColor(1, 0), colourAt(1, second.left + 2));
    MoveCursorTo(m_host.Handle(), 590, 390);
    EXPECT_TRUE(PumpUntil([&] { return colourAt(0, 2) == ItemColor(0, 0); }));

    // A divider drag: no item turns hot or pressed, and the column widens.
    RECT first = HeaderItemRect(header, 0);
    MoveCursorTo(header, first.right, y);
    MouseButton(true);
    Pump(50);
    for (int dx = 5; dx <= 30; dx += 5)
        MoveCursorTo(header, first.right + dx, y);
    EXPECT_EQ(ItemColor(0, 0), colourAt(0, 2));
    EXPECT_EQ(ItemColor(1, 0), colourAt(1, HeaderItemRect(header, 1).left + 2));
    MouseButton(false);
    Pump(50);
    EXPECT_GT(HeaderItemRect(header, 0).right, first.right + 20);
    EXPECT_GE(parent.Count(HDN_ITEMCHANGEDW) + parent.Count(HDN_ENDTRACKW), 1);
}

TEST_F(ListTreeTest, NoColumnHeaderStaysNativeAndAHeaderWithoutALookPaintsNatively)
{
    HWND list = AddReport(10, 3, LVS_NOCOLUMNHEADER);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int height = header ? WindowHeight(header) : 0;
    ASSERT_TRUE(Manager().EnableListViewStyled(list));
    EXPECT_EQ(m_liveBefore + 1, Windows::LiveStyledObjects());
    if (header) {
        EXPECT_EQ(height, WindowHeight(header));
    }

    // The manager refuses what is not a window; the other operations too.
    EXPECT_FALSE(Manager().EnableListViewStyled(nullptr));
    EXPECT_FALSE(Manager().EnableHeaderCtrlStyled(reinterpret_cast<HWND>(0x1234)));
    EXPECT_FALSE(Manager().EnableTreeCtrlColored(nullptr));
}

// ------------------------------------------------------------- list view

TEST_F(ListTreeTest, ListBarsFollowThumbKeysTypeAheadWheelAndDeletion)
{
    HWND list = AddReport(10, 60);
    auto* styled = StyleAs<Windows::CListView>(list);
    ASSERT_TRUE(styled);
    Pump();
    auto& vert = styled->GetFlatScrollBars().GetVertBar();
    ASSERT_TRUE(vert.IsVisible());
    const int firstTop = RowTop(list, 0);

    // The thumb dragged by three positions: three rows at once.
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
    EXPECT_EQ(3, SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    Pump();
    EXPECT_EQ(3, SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(3, vert.GetPos());
    EXPECT_EQ(firstTop, RowTop(list, 3));

    // Keyboard, type-ahead and wheel keep the bar in step.
    SetFocus(list);
    Key(VK_END);
    Pump(50);
    ASSERT_GT(GetScrollPos(list, SB_VERT), 3);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());
    Key(VK_HOME);
    Pump(50);
    EXPECT_EQ(0, vert.GetPos());
    Key('Z');
    Pump(50);
    EXPECT_EQ(30, SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    ASSERT_GT(GetScrollPos(list, SB_VERT), 0);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    Pump();
    EXPECT_EQ(GetScrollPos(list, SB_VERT), vert.GetPos());

    // A wider column brings the horizontal bar.
    auto& horz = styled->GetFlatScrollBars().GetHorzBar();
    EXPECT_FALSE(horz.IsVisible());
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, 400);
    Pump();
    EXPECT_TRUE(horz.IsVisible());

    // No rows: the vertical bar goes once the posted update has run.
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    Pump();
    EXPECT_FALSE(vert.IsVisible());
}

// The real mouse drags the styled thumb three positions down: the list
// scrolls three whole rows, its top row flush under the header.
TEST_F(ListTreeTest, ThumbDraggedByTheMouseScrollsWholeRows)
{
    HWND list = AddReport(10, 60);
    auto* styled = StyleAs<Windows::CListView>(list);
    ASSERT_TRUE(styled);
    Pump();
    auto& vert = styled->GetFlatScrollBars().GetVertBar();
    ASSERT_TRUE(vert.IsVisible());
    const int firstTop = RowTop(list, 0);
    const int thumb = vert.get_m_nThumbPosition();
    int dy = 1;
    while (dy < 200 && vert.CalcPosBaseOnThumbPos(thumb + dy) < 3)
        ++dy;
    ASSERT_EQ(3, vert.CalcPosBaseOnThumbPos(thumb + dy));

    RECT frame;
    GetWindowRect(list, &frame);
    const RECT& bar = vert.GetRegion();
    const POINT press = {frame.left + (bar.left + bar.right) / 2, frame.top + bar.top + thumb + 3};
    SetCursorPos(press.x, press.y);
    Pump(50);
    INPUT input[3] = {};
    for (INPUT& one : input)
        one.type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    const int width = GetSystemMetrics(SM_CXSCREEN) - 1, height = GetSystemMetrics(SM_CYSCREEN) - 1;
    input[1].mi.dx = press.x * 65535 / width;
    input[1].mi.dy = (press.y + dy) * 65535 / height;
    input[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof input[0]);
    Pump(200);

    EXPECT_EQ(3, SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(3, vert.GetPos());
    EXPECT_EQ(firstTop, RowTop(list, 3));
}

TEST_F(ListTreeTest, ListTakesThePackFieldColoursAndGivesItsOwnBack)
{
    HWND list = AddReport(10, 3);
    const COLORREF nativeBack = static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
    ASSERT_TRUE(Manager().EnableListViewStyled(list));
    EXPECT_EQ(kField, static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)));
    EXPECT_EQ(kFieldText, static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)));
    Pump();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(kField, ClientPixel(list, client.right - 5, client.bottom - 5));

    // A pack without them: after the switch the list's own colours return.
    TestSupport::SPackSource plain = ListPack(false);
    plain.strings[0][101] = L"Plain";
    const std::wstring folder = COrvelGlobal::GetInstance().GetStyleDir();
    ASSERT_TRUE(TestSupport::MakePack(folder + L"Plain.spk", plain));
    ASSERT_TRUE(Style::CStyleManager::GetInstance().SelectStyle(L"Plain"));
    Pump();
    EXPECT_EQ(nativeBack, static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)));
    DeleteFileW((folder + L"Plain.spk").c_str());
}

// ------------------------------------------------------------------ tree

TEST_F(ListTreeTest, TreeShowsItsBarWhenANodeOpensPastItsHeight)
{
    // A styled container sends the tree's notifications back to it.
    HWND container = m_host.AddChild(L"STATIC", L"", 0, 0, 0, 300, 300, 19);
    ASSERT_TRUE(Manager().EnableControlContainerStyled(container));
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_BORDER,
                                10, 10, 200, 150, container, reinterpret_cast<HMENU>(20), nullptr, nullptr);
    HTREEITEM root = AddNode(tree, TVI_ROOT, L"Folders");
    HTREEITEM second = AddNode(tree, TVI_ROOT, L"More");
    for (HTREEITEM parentItem : {root, second}) {
        for (int n = 0; n < 30; ++n)
            AddNode(tree, parentItem, L"child");
    }
    auto* styled = new Windows::CTreeView;
    ASSERT_TRUE(styled->SubclassWindow(tree));
    styled->OnSubclassed();
    EXPECT_EQ(kField, static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)));
    CNotifyRecorder parent(container);
    Pump();
    auto& vert = styled->GetFlatScrollBars().GetVertBar();
    EXPECT_FALSE(vert.IsVisible());

    // Opened by the program: the expanded notification comes back reflected.
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    Pump();
    EXPECT_TRUE(vert.IsVisible());
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(root));
    Pump();
    EXPECT_FALSE(vert.IsVisible());

    // Opened with the keyboard.
    SetFocus(tree);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second));
    Key(VK_RIGHT);
    Pump(50);
    EXPECT_TRUE(vert.IsVisible());
    Key(VK_END);
    Pump(50);
    EXPECT_GT(GetScrollPos(tree, SB_VERT), 0);
    EXPECT_EQ(GetScrollPos(tree, SB_VERT), vert.GetPos());
    EXPECT_GE(parent.Count(TVN_ITEMEXPANDEDW), 1);
    EXPECT_GE(parent.Count(TVN_SELCHANGEDW), 1);
}

TEST_F(ListTreeTest, TreeTallerThanItsWindowBeforeStylingGetsTheStyledBar)
{
    HWND tree = m_host.AddChild(WC_TREEVIEWW, L"", TVS_HASBUTTONS | TVS_LINESATROOT | WS_BORDER, 10, 10, 200, 100, 22);
    for (int n = 0; n < 30; ++n)
        AddNode(tree, TVI_ROOT, L"node");
    Pump();
    ASSERT_TRUE(GetWindowLongPtrW(tree, GWL_STYLE) & WS_VSCROLL);
    ASSERT_TRUE(Manager().EnableTreeCtrlColored(tree));
    Pump();
    RECT window, client;
    GetWindowRect(tree, &window);
    GetClientRect(tree, &client);
    RedrawWindow(tree, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    HDC dc = GetWindowDC(tree);
    const int border = GetSystemMetrics(SM_CXBORDER);
    // The top arrow of the styled bar, right of the client area.
    EXPECT_EQ(ScrollBarTest::ArrowColor(0), GetPixel(dc, border + client.right + 4, border + 4));
    ReleaseDC(tree, dc);
}

TEST_F(ListTreeTest, ColourTreeTakesOnlyTheColours)
{
    HWND tree = m_host.AddChild(WC_TREEVIEWW, L"", WS_BORDER | WS_VSCROLL, 10, 10, 200, 150, 21);
    ASSERT_TRUE(Windows::CColorTreeCtrl::Attach(tree));
    EXPECT_EQ(kField, static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)));
    EXPECT_EQ(kFieldText, static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0)));
    Pump();
    RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(kField, ClientPixel(tree, 150, 100));
    EXPECT_FALSE(Windows::CColorTreeCtrl::Attach(nullptr));
}

// ---------------------------------------------------------- parent's view

// The same real input on a styled and an unstyled list: the parent hears
// the same notifications from both.
TEST_F(ListTreeTest, ParentReceivesTheSameNotificationsStyledOrNot)
{
    std::vector<UINT> heard[2];
    for (int styledRun = 0; styledRun < 2; ++styledRun) {
        HWND list = AddReport(10, 40, LVS_SHOWSELALWAYS, 30 + styledRun);
        if (styledRun) {
            ASSERT_TRUE(Manager().EnableListViewStyled(list));
        }
        Pump();
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        CNotifyRecorder parent(m_host.Handle());
        RECT row = {LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
        WindowTest::ClickAt(list, 20, (row.top + row.bottom) / 2);
        Key(VK_DOWN);
        Key(VK_NEXT);
        Pump(50);
        RECT column = HeaderItemRect(header, 1);
        WindowTest::ClickAt(header, column.left + 10, (column.top + column.bottom) / 2);
        SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        Pump(50);
        heard[styledRun] = parent.codes;
        DestroyWindow(list);
        Pump();
    }
    EXPECT_FALSE(heard[0].empty());
    EXPECT_EQ(heard[0], heard[1]);
}

TEST_F(ListTreeTest, StylingPaintingAndDestroyingListsLeaksNothing)
{
    HANDLE process = GetCurrentProcess();
    auto round = [&] {
        HWND list = AddReport(10, 30);
        SetSort(list, 0, HDF_SORTUP);
        Manager().EnableListViewStyled(list);
        HWND tree = m_host.AddChild(WC_TREEVIEWW, L"", WS_BORDER, 300, 10, 200, 150, 40);
        Manager().EnableTreeCtrlColored(tree);
        RedrawWindow(m_host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        DestroyWindow(list);
        DestroyWindow(tree);
        Pump();
    };
    round();
    const int freeSlots = TestCommon::FreeGdiSlots();
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    for (int n = 0; n < 15; ++n)
        round();
    EXPECT_GE(TestCommon::FreeGdiSlots(), freeSlots - 2);
    EXPECT_LE(GetGuiResources(process, GR_USEROBJECTS), user + 2);
}
