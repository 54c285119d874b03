#include "ListView.h"

#include <commctrl.h>
#include "FlatBarOwner.h"
#include "StyledWndManager.h"

namespace Windows {

using namespace FlatBarOwner;

namespace {

constexpr int kHorzBar = 0;
constexpr int kVertBar = 1;
constexpr UINT kRangeAndPos = SIF_RANGE | SIF_POS;  // 5

// The bar and mask a list-view message changes after the native procedure.
bool UpdateAfter(UINT message, int& bars, UINT& mask)
{
    switch (message) {
    case LVM_INSERTITEMW:
        bars = kVertBar, mask = kAllButTrackPos;
        return true;
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
        bars = kVertBar, mask = kRangeAndPos;
        return true;
    case LVM_ENSUREVISIBLE:
        bars = kVertBar, mask = SIF_POS;
        return true;
    case LVM_SETCOLUMNWIDTH:
        bars = kHorzBar, mask = kAllButTrackPos;
        return true;
    // Anything else that moves or resizes the content without a scroll
    // message: keyboard moves, type-ahead, the drag-selection timer, views,
    // columns, sorting and the item count of a virtual list.
    case WM_CHAR: case WM_TIMER: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
    case WM_SETFONT: case LVM_INSERTITEMA: case LVM_SETITEMCOUNT: case LVM_SCROLL: case LVM_SETVIEW:
    case LVM_ARRANGE: case LVM_SORTITEMS: case LVM_SORTITEMSEX: case LVM_INSERTCOLUMNW:
    case LVM_INSERTCOLUMNA: case LVM_DELETECOLUMN: case LVM_SETCOLUMNW: case LVM_SETITEMSTATE:
    case LVM_SETITEMPOSITION: case LVM_SETITEMPOSITION32: case LVM_SETEXTENDEDLISTVIEWSTYLE:
    case LVM_SETICONSPACING: case LVM_SETIMAGELIST: case LVM_SETITEMTEXTW: case LVM_UPDATE:
        bars = static_cast<int>(kBothBars), mask = kAllButTrackPos;
        return true;
    default:
        return false;
    }
}

}  // namespace

bool StyleListHeader(HWND list)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header || !::IsWindow(header) || (::GetWindowLongPtrW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER))
        return false;
    if (!CStyledWndManager::GetInstance().EnableHeaderCtrlStyled(header))
        return false;
    // The header answers its layout taller from now on; the list lays out
    // again, so its rows start below it.
    ::SendMessageW(header, kMsgHeaderExtraHeight, kListHeaderExtra, 0);
    RECT client;
    ::GetClientRect(list, &client);
    ::SendMessageW(list, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return true;
}

void CListView::OnSubclassed()
{
    StyleListHeader(m_hWnd);
    m_colors.Attach(m_hWnd);
    m_flat.OnOwnerSubclassed();
    ::PostMessageW(m_hWnd, kMsgScrollBarUpdate, kHorzBar, kAllButTrackPos);
}

void CListView::PostUpdate(int bars, UINT mask)
{
    if (bars == static_cast<int>(kBothBars) && mask == kAllButTrackPos)
        PostUpdateOnce(m_flat, m_bUpdatePending);
    else
        m_flat.PostScrollBarUpdate(bars, mask);
}

void CListView::ScrollToThumb(bool vert, int position)
{
    if (!vert) {
        const int dx = position - ::GetScrollPos(m_hWnd, SB_HORZ);
        SendMessage(LVM_SCROLL, static_cast<WPARAM>(dx), 0);
        return;
    }
    // Report view scrolls by rows, the other views by pixels.
    int rowHeight = 1;
    if ((GetStyle() & LVS_TYPEMASK) == LVS_REPORT) {
        RECT row = {LVIR_BOUNDS, 0, 0, 0};
        const WPARAM top = static_cast<WPARAM>(SendMessage(LVM_GETTOPINDEX));
        if (SendMessage(LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&row)))
            rowHeight = row.bottom - row.top;
    }
    const int dy = (position - ::GetScrollPos(m_hWnd, SB_VERT)) * rowHeight;
    SendMessage(LVM_SCROLL, 0, static_cast<LPARAM>(dy));
}

BOOL CListView::OnScroll(UINT message, WPARAM wParam)
{
    const int code = LOWORD(wParam);
    if (code != SB_THUMBTRACK && code != SB_THUMBPOSITION)
        return FALSE;
    ScrollToThumb(message == WM_VSCROLL, static_cast<short>(HIWORD(wParam)));
    return FALSE;
}

BOOL CListView::OnNotify(LPARAM lParam, LRESULT& result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->hwndFrom != GetHeader())
        return FALSE;
    result = DefWindowProc();
    if (header->code == HDN_ITEMCHANGEDW || header->code == HDN_ITEMCHANGEDA)
        PostUpdate(kHorzBar, kAllButTrackPos);
    return TRUE;
}

BOOL CListView::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result, DWORD)
{
    if (OfferToBars(m_flat, m_bUpdatePending, hWnd, message, wParam, lParam, result) ||
        m_colors.OnMessage(hWnd, message, result))
        return TRUE;
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        return OnScroll(message, wParam);
    case WM_NOTIFY:
        return OnNotify(lParam, result);
    default: {
        int bars = 0;
        UINT mask = 0;
        if (!UpdateAfter(message, bars, mask))
            return FALSE;
        result = DefWindowProc(message, wParam, lParam);
        PostUpdate(bars, mask);
        return TRUE;
    }
    }
}

}  // namespace Windows
