// The system check-mark bitmap is among the OEM resources.
#define OEMRESOURCE
#include "MenuBar.h"

#include <algorithm>
#include <new>
#include "../base/Failure.h"
#include "../style/ImageArray.h"
#include "../style/Painter.h"
#include "../windows/Buttons.h"
#include "../windows/Messages.h"
#include "CommandBar.inl"

namespace Windows {

namespace {

// Item measuring: the gap and borders the flat look keeps around the text
// and the gutter.
constexpr int kItemTextGap = 12;
constexpr int kItemTextIndent = 6;
constexpr int kSeparatorHeight = 5;
constexpr int kSeparatorIndent = 10;
constexpr int kCheckInset = 3;
constexpr LONG kDefaultItemBolder = 200;
// Button drawing: the arrow parts of registered tool bars' drop-down buttons.
constexpr int kDropDownArrowWidth = 14;
constexpr int kWholeDropDownArrowWidth = 10;
constexpr int kIconListIndent = 4;
constexpr int kIconTopWithText = 4;
constexpr int kListTextAfterIcon = 8;
constexpr int kTextBelowIcon = 6;
constexpr int kMaxButtonText = 100;
// The gripper: a strip of alternating one-pixel rows.
constexpr int kGripperPattern = 8;
constexpr int kGripperWidth = 3;
constexpr int kBandInsetX = 2;
constexpr int kBandInsetY = 4;
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// Paints the brush where the source is 0, keeps the destination where it is 1.
constexpr DWORD kRopBrushWhereSourceIsZero = 0x00B8074A;
// The animation direction flags of TrackPopupMenuEx.
constexpr UINT kPopupAnimationMask = 0x3C00;
constexpr int kMenuClassLength = 6;

// What popup tracking shares across bars and tool bars.
RECT g_openedRect = {};
bool g_openedButton = false;
HHOOK g_popupHook = nullptr;
CMenuBar* g_trackingBar = nullptr;
long g_liveFrames = 0;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

COLORREF Palette(int index) { return CMenuPalette::Get(index); }

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    Base::CBrushHandle brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush);
}

// A rectangle filled and framed with a one-pixel pen.
void FramedFill(HDC dc, const RECT& rect, COLORREF fill, COLORREF frame)
{
    Base::CGdiHandle<HPEN> pen(::CreatePen(PS_SOLID, 1, frame));
    Base::CBrushHandle brush(::CreateSolidBrush(fill));
    Base::CSelectScope usePen(dc, pen);
    Base::CSelectScope useBrush(dc, brush);
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void FrameOnly(HDC dc, const RECT& rect, COLORREF frame)
{
    Base::CGdiHandle<HPEN> pen(::CreatePen(PS_SOLID, 1, frame));
    Base::CSelectScope usePen(dc, pen);
    Base::CSelectScope useBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    Base::CGdiHandle<HPEN> pen(::CreatePen(PS_SOLID, 1, colour));
    Base::CSelectScope usePen(dc, pen);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

// The opened look: "Menu" with a one-colour edge on the left, top and
// right, open at the bottom where the popup joins it.
void DrawOpenedButton(HDC dc, const RECT& rect)
{
    FillSolid(dc, rect, Palette(kMenuMenu));
    Base::CGdiHandle<HPEN> pen(::CreatePen(PS_SOLID, 1, Palette(kMenuFrame)));
    Base::CSelectScope usePen(dc, pen);
    POINT edge[] = {{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right - 1, rect.top},
                    {rect.right - 1, rect.bottom}};
    ::Polyline(dc, edge, 4);
}

void DrawArrow(HDC dc, const RECT& part)
{
    POINT centre = {(part.left + part.right) / 2, (part.top + part.bottom) / 2};
    POINT points[] = {{centre.x - 2, centre.y - 2}, {centre.x + 2, centre.y - 2}, {centre.x, centre.y + 1}};
    Base::CSelectScope pen(dc, ::GetStockObject(BLACK_PEN));
    Base::CSelectScope brush(dc, ::GetStockObject(BLACK_BRUSH));
    ::Polygon(dc, points, 3);
}

// Rows alternating between the button face and its shadow.
Base::CBrushHandle GripperBrush()
{
    void* bits = nullptr;
    Base::CBitmapHandle pattern = Base::CreateTopDownDIB(kGripperPattern, kGripperPattern, &bits);
    if (!bits)
        return Base::CBrushHandle();
    auto* pixels = static_cast<DWORD*>(bits);
    const COLORREF rows[2] = {::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW)};
    for (int y = 0; y < kGripperPattern; ++y) {
        COLORREF c = rows[y % 2];
        for (int x = 0; x < kGripperPattern; ++x)
            pixels[y * kGripperPattern + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    return Base::CBrushHandle(::CreatePatternBrush(pattern));
}

void DrawGripper(HDC dc, RECT band)
{
    ::InflateRect(&band, -kBandInsetX, -kBandInsetY);
    band.left += kBandInsetX;
    band.right = std::min<LONG>(band.right, band.left + kGripperWidth);
    if (band.right <= band.left || band.bottom <= band.top)
        return;
    Base::CBrushHandle brush = GripperBrush();
    ::FillRect(dc, &band, brush);
}

// The style of the rebar band drawn in rect, found by its rectangle.
UINT BandStyleAt(HWND rebar, const RECT& rect)
{
    int count = static_cast<int>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT band = {};
        ::SendMessageW(rebar, RB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
        if (::EqualRect(&band, &rect)) {
            REBARBANDINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = RBBIM_STYLE;
            ::SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
            return info.fStyle;
        }
    }
    return 0;
}

bool HasNoGripper(HWND rebar, const RECT& band)
{
    return (BandStyleAt(rebar, band) & RBBS_NOGRIPPER) != 0;
}

// Whether the popup item's state has the default mark (searched by our
// record, so items without an identifier are found too).
bool IsDefaultItem(const Base::SMenuItemData& data)
{
    int count = ::GetMenuItemCount(data.menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_STATE;
        if (::GetMenuItemInfoW(data.menu, static_cast<UINT>(i), TRUE, &info) &&
            info.dwItemData == reinterpret_cast<ULONG_PTR>(&data))
            return (info.fState & MFS_DEFAULT) != 0;
    }
    return false;
}

// The menu font, or the same font 200 heavier for the default item.
Base::CFontHandle ItemFont(HFONT menuFont, bool isDefault, LONG* height)
{
    LOGFONTW font = {};
    ::GetObjectW(menuFont ? menuFont : ::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    if (height)
        *height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    if (isDefault)
        font.lfWeight = std::min<LONG>(font.lfWeight + kDefaultItemBolder, FW_HEAVY);
    return Base::CFontHandle(::CreateFontIndirectW(&font));
}

}  // namespace

// ---------------------------------------------------------------- frames

CFlatMenuWindow::CFlatMenuWindow(int buttonWidth, COLORREF frame, COLORREF background,
                                 COLORREF menu, SIZE frameSize)
    : m_nButtonWidth(buttonWidth), m_clrFrame(frame), m_clrBackground(background), m_clrMenu(menu),
      m_szFrameSize(frameSize)
{
    ::InterlockedIncrement(&g_liveFrames);
}

CFlatMenuWindow::~CFlatMenuWindow()
{
    ::InterlockedDecrement(&g_liveFrames);
}

long CFlatMenuWindow::LiveCount()
{
    return g_liveFrames;
}

void CFlatMenuWindow::OnFinalMessage(HWND)
{
    delete this;
}

void CFlatMenuWindow::PaintFrame(HDC dc, const RECT& window, bool fillInterior) const
{
    Base::CGdiHandle<HPEN> pen(::CreatePen(PS_SOLID, m_szFrameSize.cx + 1, m_clrFrame));
    Base::CBrushHandle brush(::CreateSolidBrush(m_clrBackground));
    {
        Base::CSelectScope usePen(dc, pen);
        Base::CSelectScope useBrush(dc, fillInterior ? static_cast<HGDIOBJ>(brush.Get())
                                                     : ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, window.left, window.top + 1, window.right, window.bottom);
    }
    RECT gutter = {window.left, window.top + m_szFrameSize.cy, window.left + m_szFrameSize.cx,
                   window.bottom - m_szFrameSize.cy};
    FillSolid(dc, gutter, m_clrMenu);
    if (m_nButtonWidth > 0)
        Line(dc, window.left + 1, window.top, window.left + m_nButtonWidth, window.top, m_clrMenu);
}

void CFlatMenuWindow::OnNcPaint()
{
    Base::CWindowDC dc(m_hWnd);
    RECT window = GetWindowRect();
    ::OffsetRect(&window, -window.left, -window.top);
    if (dc)
        PaintFrame(dc, window, true);
}

// Popups without a non-client frame draw their border inside the client
// area; the flat frame goes over it there.
void CFlatMenuWindow::OnPaint()
{
    RECT window = GetWindowRect();
    RECT client = GetClientRect();
    if (Width(window) != Width(client) || Height(window) != Height(client))
        return;
    Base::CClientDC dc(m_hWnd);
    if (dc)
        PaintFrame(dc, client, false);
}

BOOL CFlatMenuWindow::ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD)
{
    switch (message) {
    case WM_NCPAINT:
        OnNcPaint();
        result = 0;
        return TRUE;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        result = DefWindowProc();
        OnPaint();
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

LRESULT CALLBACK PopupHook(int code, WPARAM wParam, LPARAM)
{
    if (code < 0)
        return ::CallNextHookEx(g_popupHook, code, wParam, 0);
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code != HCBT_CREATEWND && code != HCBT_DESTROYWND)
        return ::CallNextHookEx(g_popupHook, code, wParam, 0);
    wchar_t name[kMenuClassLength + 1] = {};
    ::GetClassNameW(window, name, kMenuClassLength + 1);
    if (wcscmp(name, L"#32768") != 0 || !g_trackingBar)
        return 0;
    try {
        if (code == HCBT_CREATEWND) {
            g_trackingBar->RecordPopup(window);
            auto* frame = new (std::nothrow) CFlatMenuWindow(
                Width(g_openedRect), Palette(kMenuFrame), Palette(kMenuBackground), Palette(kMenuMenu),
                SIZE{::GetSystemMetrics(SM_CXDLGFRAME), ::GetSystemMetrics(SM_CYDLGFRAME)});
            if (frame && frame->SubclassWindow(window))
                ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            else
                delete frame;  // the popup keeps its system look
            ::SetRectEmpty(&g_openedRect);  // only the first popup joins the button
        } else {
            g_trackingBar->ForgetPopup(window);
        }
    } catch (...) {
        Base::ReportFailure("popup menu hook", "unknown exception");
    }
    return 0;
}

}  // namespace

// ------------------------------------------------------- flat command bar

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::AddToolBar(HWND toolBar)
{
    if (toolBar && !IsRegisteredToolBar(toolBar))
        m_toolBars.push_back(toolBar);
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::RemoveToolBar(HWND toolBar)
{
    m_toolBars.erase(std::remove(m_toolBars.begin(), m_toolBars.end(), toolBar), m_toolBars.end());
}

template <class T, class TBase, class TWinTraits>
bool CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::IsRegisteredToolBar(HWND window) const
{
    return window && std::find(m_toolBars.begin(), m_toolBars.end(), window) != m_toolBars.end();
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::RecordPopup(HWND popup)
{
    m_popups.push_back(popup);
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::ForgetPopup(HWND popup)
{
    m_popups.erase(std::remove(m_popups.begin(), m_popups.end(), popup), m_popups.end());
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::MeasureItem(MEASUREITEMSTRUCT& item)
{
    const Base::SMenuItemData* data = this->FindItemData(item.itemData);
    if (!data)
        return;
    if (data->type & MFT_SEPARATOR) {
        item.itemHeight = kSeparatorHeight;
        item.itemWidth = 0;
        return;
    }
    const SIZE button = this->m_szButton;
    const int extra = kItemTextGap + 1 + 2 * button.cx + 1 - ::GetSystemMetrics(SM_CXMENUCHECK);
    if ((data->type & MFT_BITMAP) && data->bitmap) {
        BITMAP bitmap = {};
        ::GetObjectW(data->bitmap, sizeof bitmap, &bitmap);
        item.itemHeight = static_cast<UINT>(std::max<LONG>(bitmap.bmHeight, button.cy + 2));
        item.itemWidth = static_cast<UINT>(std::max(0, static_cast<int>(bitmap.bmWidth) + extra));
        return;
    }
    LONG fontHeight = 0;
    Base::CFontHandle font = ItemFont(this->m_font, IsDefaultItem(*data), &fontHeight);
    Base::CClientDC dc(this->m_hWnd);
    Base::CSelectScope useFont(dc, font);
    RECT text = {};
    ::DrawTextW(dc, data->text.c_str(), static_cast<int>(data->text.size()), &text,
                DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    item.itemHeight = static_cast<UINT>(std::max<LONG>(fontHeight + 10, button.cy + 2));
    item.itemWidth = static_cast<UINT>(std::max(0, static_cast<int>(text.right - text.left) + extra));
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::DrawIcon(HDC dc, HIMAGELIST images, int index,
                                                          POINT place, bool disabled, bool raised) const
{
    int width = 0, height = 0;
    if (!images || index < 0 || !::ImageList_GetIconSize(images, &width, &height))
        return;
    auto silhouette = [&](POINT at) {
        // The image's mask, black where the icon is, lets the brush through there.
        Base::CMemoryDC screen;
        Base::CBitmapDC mask;
        if (!mask.Create(screen, width, height))  // a memory context's own bitmap is one-bit
            return;
        ::PatBlt(mask, 0, 0, width, height, WHITENESS);
        ::ImageList_Draw(images, index, mask, 0, 0, ILD_MASK);
        Base::CBrushHandle brush(::CreateSolidBrush(Palette(kMenuShadow)));
        Base::CSelectScope useBrush(dc, brush);
        COLORREF oldText = ::SetTextColor(dc, kBlack);
        COLORREF oldBack = ::SetBkColor(dc, kWhite);
        ::BitBlt(dc, at.x, at.y, width, height, mask, 0, 0, kRopBrushWhereSourceIsZero);
        ::SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBack);
    };
    if (disabled) {
        silhouette(place);
        return;
    }
    if (raised) {
        if (this->m_dwExtendedStyle & kCbrExNoIconShadow) {
            silhouette(place);
        } else {
            silhouette(POINT{place.x + 1, place.y + 1});
            place = POINT{place.x - 1, place.y - 1};
        }
    }
    ::ImageList_Draw(images, index, dc, place.x, place.y, ILD_TRANSPARENT);
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::DrawItem(const DRAWITEMSTRUCT& item)
{
    const Base::SMenuItemData* data = this->FindItemData(item.itemData);
    if (!data)
        return;
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) && item.itemID != 0xFFFF;
    const bool grayed = (item.itemState & ODS_GRAYED) != 0;
    const bool checked = (item.itemState & ODS_CHECKED) != 0;
    const RECT& rc = item.rcItem;
    const SIZE size = this->m_szButton;
    RECT button = {rc.left, rc.top, rc.left + size.cx, rc.top + size.cy};
    ::OffsetRect(&button, 0, (Height(rc) - size.cy) / 2);
    RECT gutter = {rc.left, rc.top, rc.left + size.cx + 1, rc.bottom};
    RECT text = {gutter.right, rc.top, rc.right, rc.bottom};

    if (selected && !grayed) {
        FramedFill(dc, rc, Palette(kMenuHot), Palette(kMenuHotBorder));
    } else {
        FillSolid(dc, gutter, Palette(kMenuMenu));
        FillSolid(dc, text, Palette(kMenuBackground));
    }
    if (data->type & MFT_SEPARATOR) {
        int middle = (rc.top + rc.bottom) / 2;
        Line(dc, text.left + kSeparatorIndent, middle, rc.right, middle, Palette(kMenuMenu));
        return;
    }

    const int image = data->popup ? -1 : this->ImageOf(data->id);
    if (image < 0) {
        if (checked) {
            RECT mark = button;
            ::InflateRect(&mark, -kCheckInset, -kCheckInset);
            const COLORREF fill = Palette(selected ? kMenuHotDark : kMenuHot);
            FramedFill(dc, mark, fill, Palette(kMenuHotBorder));
            Base::CBitmapHandle check(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_CHECK)));
            BITMAP info = {};
            if (check && ::GetObjectW(check, sizeof info, &info)) {
                Base::CMemoryDC source(dc);
                Base::CSelectScope useCheck(source, check);
                COLORREF oldText = ::SetTextColor(dc, kBlack);
                COLORREF oldBack = ::SetBkColor(dc, fill);
                int x = (mark.left + mark.right - info.bmWidth) / 2 + 1;
                int y = (mark.top + mark.bottom - info.bmHeight) / 2;
                ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
                ::SetTextColor(dc, oldText);
                ::SetBkColor(dc, oldBack);
            }
        }
    } else {
        POINT place = {(button.left + button.right - this->m_szBitmap.cx) / 2,
                       (button.top + button.bottom - this->m_szBitmap.cy) / 2};
        DrawIcon(dc, this->m_images, image, place, grayed, selected);
    }

    const COLORREF colour = Palette(grayed ? kMenuGreyText : (selected ? kMenuSelMenuText : kMenuMenuText));
    text.right -= size.cx;
    text.left += kItemTextIndent;
    if ((data->type & MFT_BITMAP) && data->bitmap) {
        Images::CImageArray picture;
        picture.Attach(data->bitmap, 1, Images::CImageArray::Vertical);
        picture.DrawImage(dc, 0, POINT{text.left, (text.top + text.bottom - picture.GetGlyphSize().cy) / 2});
        picture.Detach();  // the menu keeps its bitmap
        return;
    }
    Base::CFontHandle font = ItemFont(this->m_font, IsDefaultItem(*data), nullptr);
    Base::CSelectScope useFont(dc, font);
    this->DrawMenuText(dc, text, data->text, colour);
}

template <class T, class TBase, class TWinTraits>
void CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::DrawButton(const NMCUSTOMDRAW& draw, HWND toolBar,
                                                            bool barItem)
{
    HDC dc = draw.hdc;
    const RECT rect = draw.rc;
    const WPARAM command = draw.dwItemSpec;
    wchar_t text[kMaxButtonText + 1] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE | TBIF_TEXT | TBIF_STATE | TBIF_STYLE;
    info.pszText = text;
    info.cchText = kMaxButtonText;
    ::SendMessageW(toolBar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
    if (!text[0]) {
        LRESULT length = ::SendMessageW(toolBar, TB_GETBUTTONTEXTW, command, 0);
        if (length > 0 && length <= kMaxButtonText)
            ::SendMessageW(toolBar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(text));
    }
    const DWORD toolStyle = static_cast<DWORD>(::GetWindowLongPtrW(toolBar, GWL_STYLE));
    const bool selected = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool hot = (draw.uItemState & CDIS_HOT) != 0;
    const bool pressed = (info.fsState & TBSTATE_PRESSED) != 0;
    const bool disabled = !(info.fsState & TBSTATE_ENABLED);
    const bool dropDown = (info.fsStyle & BTNS_DROPDOWN) != 0;
    const bool wholeDropDown = (info.fsStyle & BTNS_WHOLEDROPDOWN) != 0;
    const bool list = (toolStyle & TBSTYLE_LIST) != 0;

    if ((selected || hot || pressed) && !disabled) {
        if (g_openedButton) {
            DrawOpenedButton(dc, rect);
            g_openedButton = false;
        } else if (barItem && dropDown && (selected || pressed)) {
            DrawOpenedButton(dc, rect);
        } else {
            FramedFill(dc, rect, Palette(selected ? kMenuPressed : kMenuHot), Palette(kMenuHotBorder));
            if (!barItem && dropDown)
                FrameOnly(dc, RECT{rect.right - kDropDownArrowWidth, rect.top, rect.right, rect.bottom},
                          Palette(kMenuHotBorder));
        }
    }
    RECT content = rect;
    if (!barItem && (dropDown || wholeDropDown)) {
        const int arrow = dropDown ? kDropDownArrowWidth : kWholeDropDownArrowWidth;
        DrawArrow(dc, RECT{rect.right - arrow, rect.top, rect.right, rect.bottom});
        content.right -= arrow;
    }

    HIMAGELIST normal = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, TB_GETIMAGELIST, 0, 0));
    HIMAGELIST chosen = hot ? reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, TB_GETHOTIMAGELIST, 0, 0))
                            : disabled ? reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, TB_GETDISABLEDIMAGELIST, 0, 0))
                                       : normal;
    HIMAGELIST images = chosen ? chosen : normal;
    int iconWidth = 0, iconHeight = 0;
    if (info.iImage >= 0 && images && ::ImageList_GetIconSize(images, &iconWidth, &iconHeight)) {
        POINT place = {list ? content.left + kIconListIndent : (content.left + content.right - iconWidth) / 2,
                       text[0] ? rect.top + kIconTopWithText : (rect.top + rect.bottom - iconHeight) / 2 + 1};
        DrawIcon(dc, images, info.iImage, place, disabled, hot && !selected);
        if (list)
            content.left += iconWidth + kListTextAfterIcon;
        else
            content.top += iconHeight + kTextBelowIcon;
    }
    if (text[0]) {
        const COLORREF colour = Palette(disabled ? kMenuGreyText : (hot ? kMenuSelButtonText : kMenuButtonText));
        const bool cues = barItem ? this->m_bShowCues : true;
        // A registered tool bar's own font; the menu font where it has none
        // (the drawing context of custom drawing need not hold it).
        HGDIOBJ toolFont = barItem ? nullptr : reinterpret_cast<HGDIOBJ>(::SendMessageW(toolBar, WM_GETFONT, 0, 0));
        Base::CSelectScope useFont(dc, toolFont ? toolFont : static_cast<HGDIOBJ>(this->m_font.Get()));
        ::SetTextColor(dc, colour);
        int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const std::wstring shown = cues ? std::wstring(text) : this->WithoutPrefixes(text);
        ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &content,
                    DT_SINGLELINE | DT_VCENTER | (list && !barItem ? DT_LEFT : DT_CENTER) |
                        (cues ? 0 : DT_NOPREFIX));
        ::SetBkMode(dc, oldMode);
    }
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::DrawBands(NMCUSTOMDRAW& draw)
{
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        FillSolid(draw.hdc, draw.rc, Palette(kMenuMenu));
        if (!HasNoGripper(draw.hdr.hwndFrom, draw.rc))
            DrawGripper(draw.hdc, draw.rc);
        return CDRF_SKIPDEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::OnCustomDraw(NMCUSTOMDRAW& draw, bool& handled)
{
    HWND from = draw.hdr.hwndFrom;
    handled = true;
    if (from == this->m_hWnd || IsRegisteredToolBar(from)) {
        switch (draw.dwDrawStage) {
        case CDDS_PREPAINT: {
            // The band's colour behind the buttons, whatever the parent erased.
            RECT client = {};
            ::GetClientRect(from, &client);
            FillSolid(draw.hdc, client, Palette(kMenuMenu));
            return CDRF_NOTIFYITEMDRAW;
        }
        case CDDS_ITEMPREPAINT:
            DrawButton(draw, from, from == this->m_hWnd);
            return CDRF_SKIPDEFAULT;
        default:
            return CDRF_DODEFAULT;
        }
    }
    if (from == ::GetParent(this->m_hWnd) && Base::CommandBarDetail::IsRebar(from))
        return DrawBands(draw);
    handled = false;
    return 0;
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::OnParentNotify(NMHDR& header, bool& handled)
{
    handled = false;
    if (header.code == static_cast<UINT>(TBN_DROPDOWN) && IsRegisteredToolBar(header.hwndFrom)) {
        auto& drop = reinterpret_cast<NMTOOLBARW&>(header);
        RECT rect = {};
        LRESULT index = ::SendMessageW(header.hwndFrom, TB_COMMANDTOINDEX, static_cast<WPARAM>(drop.iItem), 0);
        if (index >= 0 && ::SendMessageW(header.hwndFrom, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&rect))) {
            CMenuLock lock;
            g_openedRect = rect;
            g_openedButton = true;
        }
    }
    return 0;  // the tool bar's owner drops its menu down
}

template <class T, class TBase, class TWinTraits>
UINT CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y,
                                                                  LPTPMPARAMS params)
{
    this->ConvertMenu(menu);
    const DWORD version = ::GetVersion();
    const DWORD major = LOBYTE(LOWORD(version));
    const bool nt = !(version & 0x80000000);
    if (!nt || major > 4)
        flags = (flags | TPM_NOANIMATION) & ~kPopupAnimationMask;
    BOOL fade = FALSE, animation = FALSE;
    const bool quiet = major >= 5;
    if (quiet) {
        ::SystemParametersInfoW(SPI_GETMENUFADE, 0, &fade, 0);
        ::SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animation, 0);
        ::SystemParametersInfoW(SPI_SETMENUFADE, 0, nullptr, SPIF_SENDCHANGE);
        ::SystemParametersInfoW(SPI_SETMENUANIMATION, 0, nullptr, SPIF_SENDCHANGE);
    }
    if (!this->m_bContextMenu && this->m_nPopupButton >= 0) {
        RECT rect = {};
        if (this->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(this->m_nPopupButton),
                              reinterpret_cast<LPARAM>(&rect))) {
            CMenuLock lock;
            g_openedRect = rect;
        }
    }
    UINT result = 0;
    {
        CMenuLock lock;  // held for the whole tracking; re-entrant for this thread
        if (g_popupHook)
            ::UnhookWindowsHookEx(g_popupHook);
        g_trackingBar = static_cast<T*>(this);
        g_popupHook = ::SetWindowsHookExW(WH_CBT, &PopupHook, nullptr, ::GetCurrentThreadId());
        m_bTracking = true;
        result = static_cast<UINT>(::TrackPopupMenuEx(menu, flags, x, y, this->m_hWnd, params));
        m_bTracking = false;
        if (g_popupHook)
            ::UnhookWindowsHookEx(g_popupHook);
        g_popupHook = nullptr;
        g_trackingBar = nullptr;
        ::SetRectEmpty(&g_openedRect);
    }
    m_popups.clear();
    if (quiet) {
        ::SystemParametersInfoW(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(fade)), SPIF_SENDCHANGE);
        ::SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(animation)),
                                SPIF_SENDCHANGE);
    }
    if (::IsWindow(this->m_hWnd)) {
        this->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        ::RedrawWindow(::GetAncestor(this->m_hWnd, GA_ROOT), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    }
    this->RestoreMenus();
    return result;
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::OnSettingChange()
{
    CMenuPalette::ComputeDefaults();
    return Impl::OnSettingChange();
}

template <class T, class TBase, class TWinTraits>
BOOL CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::ProcessWindowMessage(HWND hWnd, UINT message,
                                                                      WPARAM wParam, LPARAM lParam,
                                                                      LRESULT& result, DWORD mapId)
{
    return Impl::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}

template <class T, class TBase, class TWinTraits>
BOOL CMenuBarXPImpl<T, TBase, TWinTraits>::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam,
                                                               LPARAM lParam, LRESULT& result, DWORD mapId)
{
    BOOL handled = CCommandBarXPCtrlImpl<T, TBase, TWinTraits>::ProcessWindowMessage(
        hWnd, message, wParam, lParam, result, mapId);
    if (message == WM_MENUSELECT && HIWORD(wParam) == 0xFFFF && !lParam && ::IsWindow(hWnd)) {
        // The menu closed: no button stays pressed behind it.
        int count = this->ButtonCount();
        for (int i = 0; i < count; ++i)
            if (i != this->m_nPopupButton || !this->m_bMenuActive)
                this->SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(i), FALSE);
    }
    return handled;
}

// ---------------------------------------------------------------- the bar

CMenuBar::CMenuBar() = default;
CMenuBar::~CMenuBar()
{
    if (::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

HWND CMenuBar::CreateMenuBar(HWND parent, const RECT* rect, const wchar_t* name, DWORD style,
                             DWORD exStyle, UINT id, void* param)
{
    const DWORD flat = (style ? style : Base::CommandBarDetail::kDefaultBarStyle) | TBSTYLE_FLAT |
                       TBSTYLE_LIST | TBSTYLE_TRANSPARENT;
    HWND hWnd = Create(parent, rect, name, flat, exStyle, id, param);
    if (!hWnd)
        return nullptr;
    CMenuPalette::ComputeDefaults();
    if (Base::CommandBarDetail::IsRebar(parent))
        SetUpRebarBands();
    CMenuPalette::ApplyStyleOverrides();
    return hWnd;
}

void CMenuBar::SetUpRebarBands()
{
    HWND rebar = GetParent();
    int count = static_cast<int>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_CHILD;
        if (!::SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)))
            continue;
        if (info.hwndChild == m_hWnd)
            info.fStyle |= RBBS_NOGRIPPER;
        else
            info.clrBack = CMenuPalette::Get(kMenuMenu);
        info.fMask = RBBIM_STYLE | RBBIM_COLORS;
        ::SendMessageW(rebar, RB_SETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    if (count > 0) {
        ::SendMessageW(rebar, RB_SHOWBAND, 0, FALSE);
        ::SendMessageW(rebar, RB_SHOWBAND, 0, TRUE);
    }
}

BOOL CMenuBar::Attach(HMENU menu)
{
    return AttachMenu(menu);
}

UINT CMenuBar::TrackPopup(HMENU menu, UINT flags, int x, int y, HWND notify, LPTPMPARAMS params)
{
    return TrackPopupMenu(menu, flags, x, y, notify, params);
}

void CMenuBar::RegisterToolBar(HWND toolBar)
{
    AddToolBar(toolBar);
}

bool CMenuBar::LoadImages(HBITMAP strip, const UINT* commands, int count)
{
    return AddImages(strip, commands, count);
}

LRESULT CMenuBar::DrawStyledBands(NMCUSTOMDRAW& draw)
{
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_POSTPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        FillSolid(draw.hdc, draw.rc, kWhite);
        if (!HasNoGripper(draw.hdr.hwndFrom, draw.rc))
            DrawGripper(draw.hdc, draw.rc);
        // The look goes over the band at once as well: not every rebar
        // sends the post-paint stage of its bands.
        ZqMenuDraw(draw.hdc, 0, &draw.rc, &draw.rc);
        return CDRF_NOTIFYPOSTPAINT | CDRF_SKIPDEFAULT;
    case CDDS_ITEMPOSTPAINT:
        ZqMenuDraw(draw.hdc, 0, &draw.rc, &draw.rc);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

// The pack's band look behind a tool bar in a rebar band, lined up with the
// band so the bar and the rebar show one picture.
void CMenuBar::PaintBandBehind(HDC dc, HWND toolBar) const
{
    RECT client = {};
    ::GetClientRect(toolBar, &client);
    RECT band = client;
    HWND rebar = ::GetParent(toolBar);
    if (Base::CommandBarDetail::IsRebar(rebar)) {
        int count = static_cast<int>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            REBARBANDINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = RBBIM_CHILD;
            if (::SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)) &&
                info.hwndChild == toolBar) {
                ::SendMessageW(rebar, RB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
                ::MapWindowPoints(rebar, toolBar, reinterpret_cast<POINT*>(&band), 2);
                break;
            }
        }
    }
    ZqMenuDraw(dc, 0, &band, &client);
}

LRESULT CMenuBar::OnCustomDraw(NMCUSTOMDRAW& draw, bool& handled)
{
    HWND from = draw.hdr.hwndFrom;
    const bool styled = HasPainterLook(Style::CStyle::MenuBar);
    if (styled && (from == m_hWnd || IsRegisteredToolBar(from))) {
        handled = true;
        switch (draw.dwDrawStage) {
        case CDDS_PREPAINT:
            PaintBandBehind(draw.hdc, from);
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            DrawButton(draw, from, from == m_hWnd);
            return CDRF_SKIPDEFAULT;
        default:
            return CDRF_DODEFAULT;
        }
    }
    // Without the pack's look the bands keep the flat one.
    if (styled && from == GetParent() && Base::CommandBarDetail::IsRebar(from)) {
        handled = true;
        return DrawStyledBands(draw);
    }
    return CMenuBarXPImpl::OnCustomDraw(draw, handled);
}

BOOL CMenuBar::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result, DWORD mapId)
{
    if (message == kMsgStyleChanged) {
        CMenuPalette::ApplyStyleOverrides();
        Invalidate();
        if (HWND parent = GetParent())
            ::InvalidateRect(parent, nullptr, TRUE);
        result = 0;
        return TRUE;
    }
    return CMenuBarXPImpl::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}

// ------------------------------------------------------------- interface

void CZqMenu::Release()
{
    delete this;
}

CZqMenu::~CZqMenu() = default;

void CZqMenu::Create(HWND parent, const RECT* rect, LPCWSTR windowName, DWORD style, DWORD exStyle,
                     UINT id, void* createParam)
{
    try {
        m_bar.CreateMenuBar(parent, rect, windowName, style, exStyle, id, createParam);
    } catch (...) {
        Base::ReportFailure("IZqMenu::Create", "unknown exception");
    }
}

BOOL CZqMenu::AttachMenu(HMENU menu)
{
    try {
        return m_bar.Attach(menu);
    } catch (...) {
        return FALSE;
    }
}

BOOL CZqMenu::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND notify, LPTPMPARAMS params)
{
    try {
        UINT command = m_bar.TrackPopup(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, x, y, notify, params);
        if (!(flags & TPM_RETURNCMD) && command && command <= Base::CommandBarDetail::kMaxCommandId && notify)
            ::SendMessageW(notify, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return static_cast<BOOL>(command);
    } catch (...) {
        Base::ReportFailure("IZqMenu::TrackPopupMenu", "unknown exception");
        return FALSE;
    }
}

template class CCommandBarXPCtrlImpl<CMenuBar, CCommandBarXPCtrlBase, Base::CControlWinTraits>;
template class CMenuBarXPImpl<CMenuBar, CCommandBarXPCtrlBase, Base::CControlWinTraits>;

}  // namespace Windows

namespace Base {
template class CCommandBarCtrlImpl<Windows::CMenuBar, Windows::CCommandBarXPCtrlBase, CControlWinTraits>;
}

extern "C" Windows::IZqMenu* NewInstance_IZqMenu()
{
    try {
        return new (std::nothrow) Windows::CZqMenu;
    } catch (...) {
        return nullptr;
    }
}
