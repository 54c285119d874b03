#include "HeaderCtrl.h"

#include <windowsx.h>
#include <algorithm>
#include <vector>
#include <commctrl.h>
#include <cstdlib>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "Buttons.h"

namespace Windows {

namespace HeaderCtrlImpl {

Glyph::CSize SItemPicture::Size() const
{
    if (hImageList && nImage >= 0 && nImage < ImageList_GetImageCount(hImageList)) {
        int cx = 0, cy = 0;
        if (ImageList_GetIconSize(hImageList, &cx, &cy))
            return Glyph::CSize(cx, cy);
    }
    BITMAP info = {};
    if (hBitmap && ::GetObjectW(hBitmap, sizeof info, &info) == sizeof info)
        return Glyph::CSize(info.bmWidth, std::abs(info.bmHeight));
    return Glyph::CSize(0, 0);
}

void SItemPicture::Draw(HDC dc, const Glyph::CRect& place) const
{
    if (place.IsRectEmpty())
        return;
    if (hImageList && nImage >= 0) {
        ImageList_Draw(hImageList, nImage, dc, place.left, place.top, ILD_TRANSPARENT);
        return;
    }
    Base::CMemoryDC source(dc);
    Base::CSelectScope select(source, hBitmap);
    if (select.Selected())
        ::BitBlt(dc, place.left, place.top, place.Width(), place.Height(), source, 0, 0, SRCCOPY);
}

void CItem::SetContentRegion(HDC dc, const Glyph::CRect& content)
{
    m_rcText = content;
    // The picture first: the native control gives it its place before the
    // text and the sort mark share the rest.
    m_rcPicture = Glyph::CRect(0, 0, 0, 0);
    const Glyph::CSize picture = m_picture.Size();
    if (picture.cx > 0 && picture.cx <= content.Width()) {
        const int top = content.top + (content.Height() - picture.cy) / 2;
        const int left = m_picture.bOnRight ? content.right - picture.cx : content.left;
        m_rcPicture = Glyph::CRect(left, top, left + picture.cx, top + picture.cy);
        if (m_picture.bOnRight)
            m_rcText.right = std::max(m_rcText.left, m_rcPicture.left - kMarkGap);
        else
            m_rcText.left = std::min(m_rcText.right, m_rcPicture.right + kMarkGap);
    }
    const Glyph::CRect rest = m_rcText;
    Glyph::CRect mark(0, 0, 0, 0);
    if (m_sort.GetState() != 0) {
        Glyph::CSize size = m_sort.CalcSize(dc, 0, 0, false);
        if (size.cx > 0 && size.cx + kMarkGap < rest.Width()) {
            const int top = rest.top + (rest.Height() - size.cy) / 2;
            if (GetGroup() == Right) {
                mark = Glyph::CRect(rest.left, top, rest.left + size.cx, top + size.cy);
                m_rcText.left = mark.right + kMarkGap;
            } else {
                mark = Glyph::CRect(rest.right - size.cx, top, rest.right, top + size.cy);
                m_rcText.right = mark.left - kMarkGap;
            }
        }
    }
    m_sort.SetRegion(dc, mark);

    Glyph::CSize line = m_divider.CalcSize(dc, 0, 0, false);
    const int width = line.cx > 0 ? line.cx : 0;
    m_divider.SetRegion(dc, Glyph::CRect(m_rcRegion.right - width, m_rcRegion.top, m_rcRegion.right,
                                         m_rcRegion.bottom));
}

void CItem::DrawContent(HDC dc, const RECT* clip)
{
    RefreshPainter();
    Glyph::CRect drawRegion;
    if (!m_pPainter || !GetDrawRegion(drawRegion, clip))
        return;
    m_picture.Draw(dc, m_rcPicture);
    if (!m_strText.empty() && m_rcText.right > m_rcText.left)
        m_pPainter->DrawForeground(dc, m_rcText, drawRegion, PainterState(), m_strText);
    if (m_sort.GetState() != 0 && !m_sort.GetRegion().IsRectEmpty())
        m_sort.Draw(dc, clip);
}

void CItem::Draw(HDC dc, const RECT* clip)
{
    CItemBase::Draw(dc, clip);
    if (m_divider.IsVisible())
        m_divider.Draw(dc, clip);
}

}  // namespace HeaderCtrlImpl

namespace {

struct SItemInfo {
    std::wstring text;
    int format = 0;
    HeaderCtrlImpl::SItemPicture picture;
};

SItemInfo ReadItem(HWND header, int index)
{
    wchar_t text[260] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE | HDI_BITMAP;
    item.pszText = text;
    item.cchTextMax = 260;
    SItemInfo info;
    if (!::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return info;
    text[259] = 0;
    info.text = item.pszText ? item.pszText : L"";
    info.format = item.fmt;
    if (item.fmt & HDF_IMAGE) {
        info.picture.hImageList = reinterpret_cast<HIMAGELIST>(::SendMessageW(header, HDM_GETIMAGELIST, 0, 0));
        info.picture.nImage = item.iImage;
    }
    if ((item.fmt & HDF_BITMAP) && !info.picture.hImageList)
        info.picture.hBitmap = item.hbm;
    info.picture.bOnRight = (item.fmt & HDF_BITMAP_ON_RIGHT) != 0;
    return info;
}

// Item indexes from left to right.
std::vector<int> DisplayOrder(HWND header, int count)
{
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<size_t>(i)] = i;
    if (count > 0)
        ::SendMessageW(header, HDM_GETORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order.data()));
    for (int& index : order) {
        if (index < 0 || index >= count)
            index = 0;  // an order the control could not give
    }
    return order;
}

}  // namespace

int CHeaderCtrl::SortState(int format)
{
    if (format & HDF_SORTDOWN)
        return 2;
    if (format & HDF_SORTUP)
        return 1;
    return 0;
}

bool CHeaderCtrl::HasLook() const
{
    return HasPainterLook(Style::CStyle::HeaderCtrlItem);
}

void CHeaderCtrl::Paint(HDC dc, const RECT& clip)
{
    RECT client = GetClientRect();
    if (Style::CPainter* background = CurrentPainter(Style::CStyle::HeaderCtrl))
        background->DrawBackground(dc, 0, client, clip);
    const int count = GetItemCount();
    HeaderCtrlImpl::CItem item;
    int right = client.left;
    for (int index : DisplayOrder(m_hWnd, count)) {
        RECT rect = {};
        if (!GetItemRect(index, rect))
            continue;
        SItemInfo info = ReadItem(m_hWnd, index);
        item.SetText(info.text, false);
        item.SetGroup(info.format & HDF_JUSTIFYMASK, false);
        item.GetSortGlyph().SetState(SortState(info.format), false);
        item.SetPicture(info.picture);
        item.SetStateInGroup(index != m_nHotItem ? 0 : ((m_nKeyState & MK_LBUTTON) ? 2 : 1), false);
        item.SetRegion(dc, Glyph::CRect(rect.left, rect.top, rect.right, rect.bottom));
        item.Draw(dc, &clip);
        right = std::max(right, static_cast<int>(rect.right));
    }
    if (right < client.right) {
        // The rest of the strip: an item with nothing in it.
        HeaderCtrlImpl::CItem rest;
        rest.GetDivider().Show(false);
        rest.SetRegion(dc, Glyph::CRect(right, client.top, client.right, client.bottom));
        rest.Draw(dc, &clip);
    }
}

int CHeaderCtrl::ItemAt(POINT point)
{
    if (point.x < 1 || point.y < 1)
        return -1;
    HDHITTESTINFO hit = {};
    hit.pt = point;
    const int index = static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & HHT_ONHEADER) ? index : -1;
}

void CHeaderCtrl::InvalidateItem(int item)
{
    RECT rect;
    if (item >= 0 && GetItemRect(item, rect))
        ::InvalidateRect(m_hWnd, &rect, TRUE);
}

void CHeaderCtrl::TrackHot(WPARAM keys, const POINT* point)
{
    const bool pressChanged = ((m_nKeyState ^ keys) & MK_LBUTTON) != 0;
    m_nKeyState = keys;
    int hot = m_nHotItem;
    if (!m_bDividerDrag)
        hot = point ? ItemAt(*point) : -1;
    if (hot == m_nHotItem && !pressChanged)
        return;
    InvalidateItem(m_nHotItem);
    m_nHotItem = hot;
    InvalidateItem(m_nHotItem);
    ::UpdateWindow(m_hWnd);
}

LRESULT CHeaderCtrl::OnMouseMove(WPARAM keys, LPARAM lParam)
{
    EnableMouseLeaveMsg();
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TrackHot(keys, &point);
    return DefWindowProc();
}

LRESULT CHeaderCtrl::OnLButtonDown(WPARAM keys, LPARAM lParam)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TrackHot(keys, &point);
    if (m_nHotItem < 0) {
        HDHITTESTINFO hit = {};
        hit.pt = point;
        SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
            m_bDividerDrag = true;
    }
    return DefWindowProc();
}

LRESULT CHeaderCtrl::OnLButtonUp(WPARAM keys, LPARAM lParam)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_bDividerDrag = false;
    TrackHot(keys, &point);
    return DefWindowProc();
}

LRESULT CHeaderCtrl::OnMouseLeave()
{
    TrackHot(0, nullptr);
    PostMouseLeave();
    return DefWindowProc();
}

LRESULT CHeaderCtrl::OnLayout(LPARAM lParam)
{
    LRESULT result = DefWindowProc();
    auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
    if (result && layout && layout->pwpos && layout->prc && m_nExtraHeight > 0 &&
        layout->pwpos->cy > 0) {
        layout->pwpos->cy += m_nExtraHeight;
        layout->prc->top += m_nExtraHeight;
    }
    return result;
}

BOOL CHeaderCtrl::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result, DWORD)
{
    if (message == kMsgHeaderExtraHeight) {
        m_nExtraHeight = wParam <= 200 ? static_cast<int>(wParam) : 0;
        result = 0;
        return TRUE;
    }
    if (message == HDM_LAYOUT) {
        result = OnLayout(lParam);
        return TRUE;
    }
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client = GetClientRect();
        if (Style::CPainter* background = CurrentPainter(Style::CStyle::HeaderCtrl))
            background->DrawBackground(reinterpret_cast<HDC>(wParam), 0, client, client);
        result = 1;
        return TRUE;
    }
    case WM_PAINT: {
        // Not over the list view's own printing: it paints its header.
        Images::CMemDC memory(hWnd, Images::CMemDC::ButtonFace);
        Paint(memory, memory.GetRect());
        memory.Show();
        result = 0;
        return TRUE;
    }
    case WM_PRINTCLIENT: {
        RECT client = GetClientRect();
        Paint(reinterpret_cast<HDC>(wParam), client);
        result = 0;
        return TRUE;
    }
    case WM_MOUSEMOVE: result = OnMouseMove(wParam, lParam); return TRUE;
    case WM_LBUTTONDOWN: result = OnLButtonDown(wParam, lParam); return TRUE;
    case WM_LBUTTONUP: result = OnLButtonUp(wParam, lParam); return TRUE;
    case WM_MOUSELEAVE: result = OnMouseLeave(); return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows
