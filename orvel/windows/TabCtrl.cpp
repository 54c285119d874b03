#include "TabCtrl.h"

#include <algorithm>
#include "../style/Painter.h"
#include "Buttons.h"

namespace Windows {

namespace {

enum EPlace { RowStart, Middle, RowEnd };

RECT ItemRect(HWND tab, int index)
{
    RECT rect = {};
    ::SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

std::wstring ItemText(HWND tab, int index)
{
    wchar_t text[260] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 260;
    if (!::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return std::wstring();
    text[259] = 0;
    return item.pszText ? item.pszText : L"";
}

}  // namespace

void CTabCtrl::SplitClient(RECT& pane, RECT& body)
{
    RECT client = GetClientRect();
    const int count = GetItemCount();
    pane = {0, 0, 0, 0};
    body = client;
    if (count <= 0)
        return;
    RECT rows = ItemRect(m_hWnd, 0);
    for (int i = 1; i < count; ++i) {
        RECT item = ItemRect(m_hWnd, i);
        ::UnionRect(&rows, &rows, &item);
    }
    const DWORD style = GetStyle();
    pane = body = client;
    if (style & TCS_VERTICAL) {
        if (style & TCS_RIGHT)
            pane.left = body.right = rows.left;
        else
            pane.right = body.left = rows.right;
    } else if (style & TCS_BOTTOM) {
        pane.top = body.bottom = rows.top;
    } else {
        pane.bottom = body.top = rows.bottom;
    }
}

void CTabCtrl::Paint(HDC dc, const RECT& clip)
{
    RECT client = GetClientRect();
    if (Style::CPainter* background = CurrentPainter(Style::CStyle::TabCtrl))
        background->DrawBackground(dc, 0, client, clip);
    RECT paneRect, bodyRect;
    SplitClient(paneRect, bodyRect);
    TabCtrlImpl::CPane pane;
    TabCtrlImpl::CBody body;
    pane.SetRegion(dc, Glyph::CRect(paneRect.left, paneRect.top, paneRect.right, paneRect.bottom));
    body.SetRegion(dc, Glyph::CRect(bodyRect.left, bodyRect.top, bodyRect.right, bodyRect.bottom));
    pane.Draw(dc, &clip);
    body.Draw(dc, &clip);
    PaintItems(dc, clip);
}

void CTabCtrl::PaintItems(HDC dc, const RECT& clip)
{
    const int count = GetItemCount();
    const int selected = GetCurSel();
    TabCtrlImpl::CItem item;
    RECT previous = {}, current = count > 0 ? ItemRect(m_hWnd, 0) : RECT{};
    for (int i = 0; i < count; ++i) {
        RECT next = i + 1 < count ? ItemRect(m_hWnd, i + 1) : RECT{};
        EPlace place;
        if (i == count - 1)
            place = RowEnd;
        else if (i == 0 || current.top != previous.top)
            place = RowStart;
        else if (next.top != current.top)
            place = RowEnd;
        else
            place = Middle;

        // How the tab meets the selected one, so a pack can draw the
        // selected tab overlapping its neighbours.
        int group = 0;
        if (i == selected)
            group = 1;
        else if (i + 1 == selected)
            group = place == RowEnd ? 0 : 2;
        else if (i - 1 == selected)
            group = place == Middle ? 3 : (place == RowEnd ? 2 : 0);

        using S = Style::CStyle;
        item.SetPainter(place == RowStart ? S::TabCtrlLeftItem : (place == RowEnd ? S::TabCtrlRightItem : S::TabCtrlItem),
                        false);
        item.SetGroup(group, false);
        item.SetStateInGroup(i == m_nHotItem ? 1 : 0, false);
        item.SetRegion(dc, Glyph::CRect(current.left, current.top, current.right, current.bottom));
        item.SetText(ItemText(m_hWnd, i), false);
        item.Draw(dc, &clip);
        if (i == selected)
            DrawFocusCue(m_hWnd, dc, current);

        previous = current;
        current = next;
    }
}

void CTabCtrl::InvalidateItem(int item)
{
    if (item < 0 || item >= GetItemCount())
        return;
    RECT rect = ItemRect(m_hWnd, item);
    ::InvalidateRect(m_hWnd, &rect, FALSE);
}

void CTabCtrl::SetHotItem(int item)
{
    if (item == m_nHotItem)
        return;
    InvalidateItem(m_nHotItem);
    m_nHotItem = item;
    InvalidateItem(m_nHotItem);
}

bool CTabCtrl::HasLook() const
{
    return HasPainterLook(Style::CStyle::TabCtrlItem);
}

BOOL CTabCtrl::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result, DWORD)
{
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client = GetClientRect();
        if (Style::CPainter* background = CurrentPainter(Style::CStyle::TabCtrl))
            background->DrawBackground(reinterpret_cast<HDC>(wParam), 0, client, client);
        result = 1;
        return TRUE;
    }
    case WM_PAINT: {
        // Buffered: the items are drawn over the pane, and the paint has
        // no erase of its own.
        Images::CMemDC memory(hWnd, false);
        Paint(memory, memory.GetRect());
        memory.Show();
        result = 0;
        return TRUE;
    }
    case WM_MOUSEMOVE: {
        EnableMouseLeaveMsg();
        TCHITTESTINFO hit = {{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}, 0};
        SetHotItem(static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
        return FALSE;
    }
    case WM_LBUTTONDOWN:
        m_nSelAtPress = GetCurSel();
        result = DefWindowProc();
        if (GetCurSel() != m_nSelAtPress)
            ::InvalidateRect(hWnd, nullptr, FALSE);
        return TRUE;
    case WM_MOUSELEAVE:
        SetHotItem(-1);
        m_bMouseTracking = false;
        PostLeaveMessage();
        result = 0;
        return TRUE;
    case TCM_ADJUSTRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        Style::CPainter* body = CurrentPainter(Style::CStyle::TabCtrlBody);
        if (!rect || !body)
            return FALSE;
        // The page sits inside the body's margins.
        if (wParam) {
            body->GetFullRectByContent(*rect);
            result = DefWindowProc();
        } else {
            result = DefWindowProc();
            body->GetContentRectByFull(*rect);
        }
        return TRUE;
    }
    case TCM_SETCURSEL:
        result = DefWindowProc();
        ::InvalidateRect(hWnd, nullptr, FALSE);
        return TRUE;
    case TCM_INSERTITEMW:
        result = DefWindowProc();
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows
