#include "TaskPaneHost.h"

#include <windowsx.h>
#undef SubclassWindow  // the window object's, not the macro
#include <algorithm>
#include "orvel/base/GdiHandles.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/Messages.h"

namespace Demo {

namespace {

using Windows::ExplorerElement::CExplorerItem;
using Windows::ExplorerElement::CExplorerPane;

constexpr int kMargin = 10;     // around the panes
constexpr int kPaneGap = 12;    // between two panes
constexpr int kIconSize = 16;
constexpr int kWheelStep = 30;  // pixels per wheel notch
constexpr COLORREF kIconTransparent = RGB(255, 0, 255);

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterHostClass(HINSTANCE instance)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = CTaskPaneHost::kClassName;
    return ::RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

COLORREF BackColour()
{
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        if (const Resource::CLine* line = style.GetConfig().FindFirstLine(L"DlgFrame", L"BackColor")) {
            const COLORREF colour = line->ReadContentAsColor();
            if (colour != 0xFFFFFFFF)
                return colour;
        }
    } catch (...) {
    }
    return GetSysColor(COLOR_WINDOW);
}

// Two groups of simple pictures, plain then checked, on the transparent
// colour: a page, a folder, a disk, a star, a gear and a cross.
HBITMAP MakeIcons()
{
    const int count = static_cast<int>(CTaskPaneHost::kIconsPerGroup);
    Base::CMemoryDC dc;
    Base::CBitmapHandle strip;
    {
        Base::CClientDC screen(nullptr);
        strip.Reset(::CreateCompatibleBitmap(screen, kIconSize * count * 2, kIconSize));
    }
    if (!dc || !strip)
        return nullptr;
    Base::CSelectScope selected(dc, strip);
    RECT all = {0, 0, kIconSize * count * 2, kIconSize};
    Base::CBrushHandle back(::CreateSolidBrush(kIconTransparent));
    ::FillRect(dc, &all, back);
    for (int group = 0; group < 2; ++group) {
        Base::CBrushHandle fill(::CreateSolidBrush(group ? RGB(236, 132, 28) : RGB(48, 116, 206)));
        Base::CGdiHandle<HPEN> pen(::CreatePen(PS_SOLID, 1, group ? RGB(150, 70, 10) : RGB(20, 60, 130)));
        Base::CSelectScope brushScope(dc, fill);
        Base::CSelectScope penScope(dc, pen);
        for (int i = 0; i < count; ++i) {
            const int x = (group * count + i) * kIconSize;
            switch (i) {
            case 0: ::Rectangle(dc, x + 3, 1, x + 13, 15); break;
            case 1: ::Rectangle(dc, x + 1, 4, x + 15, 14); ::Rectangle(dc, x + 1, 2, x + 7, 5); break;
            case 2: ::Ellipse(dc, x + 1, 1, x + 15, 15); break;
            case 3: {
                POINT star[] = {{x + 8, 1}, {x + 10, 6}, {x + 15, 6}, {x + 11, 9}, {x + 13, 15},
                                {x + 8, 11}, {x + 3, 15}, {x + 5, 9}, {x + 1, 6}, {x + 6, 6}};
                ::Polygon(dc, star, 10);
                break;
            }
            case 4: ::RoundRect(dc, x + 2, 2, x + 14, 14, 6, 6); break;
            default: {
                POINT cross[] = {{x + 2, 4}, {x + 4, 2}, {x + 8, 6}, {x + 12, 2}, {x + 14, 4}, {x + 10, 8},
                                 {x + 14, 12}, {x + 12, 14}, {x + 8, 10}, {x + 4, 14}, {x + 2, 12},
                                 {x + 6, 8}};
                ::Polygon(dc, cross, 12);
                break;
            }
            }
        }
    }
    return strip.Detach();
}

std::wstring MenuText(HMENU menu, int position)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
        return std::wstring();
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    text.resize(wcslen(text.c_str()));
    // Menus mark mnemonics; a caption shows none.
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

}  // namespace

HWND CreateTaskPaneHost(HWND parent, const RECT& rect, HMENU menu, UINT id, const void* menuTemplate,
                        const wchar_t* templateCaption)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterHostClass(instance))
        return nullptr;
    HWND window = ::CreateWindowExW(0, CTaskPaneHost::kClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                                    rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                    parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance,
                                    nullptr);
    if (!window)
        return nullptr;
    auto* host = new CTaskPaneHost;
    if (!host->SubclassWindow(window)) {  // deletes itself on failure
        ::DestroyWindow(window);
        return nullptr;
    }
    UINT64 nextIcon = 0;
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i))
            host->AddPane(MenuText(menu, i)).InitFrom(sub, nextIcon, &host->GetIcons(), CTaskPaneHost::kIconsPerGroup);
        nextIcon %= CTaskPaneHost::kIconsPerGroup;
    }
    const auto* header = static_cast<const MENUITEMTEMPLATEHEADER*>(menuTemplate);
    if (header && header->versionNumber == 0) {  // extended templates are not read
        const auto* items = reinterpret_cast<const MENUITEMTEMPLATE*>(
            reinterpret_cast<const BYTE*>(header + 1) + header->offset);
        host->AddPane(templateCaption ? templateCaption : L"")
            .InitFrom(items, nextIcon, &host->GetIcons(), CTaskPaneHost::kIconsPerGroup);
    }
    host->Layout();
    return window;
}

CTaskPaneHost* CTaskPaneHost::FromWindow(HWND window)
{
    wchar_t name[64] = {};
    if (!window || !::GetClassNameW(window, name, 64) || wcscmp(name, kClassName) != 0)
        return nullptr;
    return reinterpret_cast<CTaskPaneHost*>(::GetPropW(window, kClassName));
}

CTaskPaneHost::CTaskPaneHost()
{
    m_column.SetGlyphSpace(kPaneGap);
}

void CTaskPaneHost::OnSubclassed()
{
    ::SetPropW(m_hWnd, kClassName, this);
    m_icons.Attach(MakeIcons(), static_cast<int>(kIconsPerGroup * 2), Images::CImageArray::Horizontal);
    m_icons.EnableTransparent(kIconTransparent);
    m_column.SetVessel(this);
}

CExplorerPane& CTaskPaneHost::AddPane(const std::wstring& caption)
{
    auto pane = std::make_unique<CExplorerPane>(caption);
    m_column.AppendGlyph(pane.get());
    return *pane.release();
}

CExplorerPane* CTaskPaneHost::GetPane(size_t index) const
{
    return static_cast<CExplorerPane*>(m_column.GetGlyph(index));
}

void CTaskPaneHost::UpdateActions(const Windows::CUpdateUIBase& updateUI)
{
    for (size_t i = 0; i < GetPaneCount(); ++i)
        GetPane(i)->UpdateActionUI(&updateUI);
    Layout();
}

void CTaskPaneHost::Layout()
{
    if (!m_hWnd)
        return;
    const RECT client = GetClientRect();
    const int width = std::max<int>(client.right - 2 * kMargin, 1);
    {
        Base::CClientDC dc(m_hWnd);
        m_contentHeight = m_column.CalcSize(dc, width, -1, true).cy + 2 * kMargin;
        m_scroll = std::clamp(m_scroll, 0, std::max(0, m_contentHeight - static_cast<int>(client.bottom)));
        m_column.SetRegion(dc, Glyph::CRect(kMargin, kMargin - m_scroll, kMargin + width,
                                            m_contentHeight - kMargin - m_scroll));
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;  // the bar goes when the panes fit
    info.nMax = m_contentHeight - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    info.nPos = m_scroll;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

CTaskPaneHost::SHit CTaskPaneHost::HitAt(POINT point) const
{
    SHit hit;
    Glyph::CGlyph* glyph = const_cast<Glyph::CVerticalCompose&>(m_column).HitTest(Glyph::CPoint(point.x, point.y));
    if (!glyph)
        return hit;
    for (size_t i = 0; i < GetPaneCount(); ++i) {
        CExplorerPane* pane = GetPane(i);
        if (pane->HeaderHit(glyph)) {
            hit.pane = pane;
            return hit;
        }
        for (UINT64 k = 0; k < pane->GetItemCount(); ++k) {
            if (pane->GetItem(k) == glyph) {
                hit.pane = pane;
                hit.item = pane->GetItem(k);
                return hit;
            }
        }
    }
    return hit;
}

void CTaskPaneHost::SetLook(const SHit& hit, INT64 state)
{
    if (hit.item)
        hit.item->SetState(state, false);
    else if (hit.pane)
        hit.pane->GetHeader().GetStateGlyph().SetState(state, false);
}

void CTaskPaneHost::Track(const SHit& hit)
{
    const bool pressedHere = m_pressed.pane && m_pressed == hit;
    if (!(hit == m_hot))
        SetLook(m_hot, 0);
    m_hot = hit;
    SetLook(m_hot, pressedHere ? 2 : 1);
}

void CTaskPaneHost::OnPaint()
{
    Images::CMemDC memory(m_hWnd, false);
    Base::CBrushHandle back(::CreateSolidBrush(BackColour()));
    ::FillRect(memory, &memory.GetRect(), back);
    m_column.Draw(memory, &memory.GetRect());
    memory.Show();
}

void CTaskPaneHost::OnMouseMove(LPARAM lParam)
{
    EnableMouseLeaveMsg();
    Track(HitAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
}

void CTaskPaneHost::OnMouseLeave()
{
    PostMouseLeave();
    if (m_pressed.pane)
        return;
    SetLook(m_hot, 0);
    m_hot = SHit();
}

void CTaskPaneHost::OnButtonDown(LPARAM lParam)
{
    m_pressed = HitAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (!m_pressed.pane)
        return;
    ::SetCapture(m_hWnd);
    Track(m_pressed);
}

void CTaskPaneHost::OnButtonUp(LPARAM lParam)
{
    if (!m_pressed.pane)
        return;
    const SHit pressed = m_pressed;
    m_pressed = SHit();
    ::ReleaseCapture();
    const SHit hit = HitAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    Track(hit);
    if (!(hit == pressed))
        return;
    if (hit.Header()) {
        SetLook(m_hot, 0);
        m_hot = SHit();
        hit.pane->ToggleBody();  // lays the host out again
    } else {
        ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(hit.item->GetCommandID()), 0), 0);
    }
}

bool CTaskPaneHost::OnSetCursor(LPARAM lParam)
{
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    Glyph::CGlyph* glyph = m_column.HitTest(Glyph::CPoint(point.x, point.y));
    return glyph && glyph->OnSetCursor(LOWORD(lParam), HIWORD(lParam));
}

void CTaskPaneHost::OnScroll(int request, int wheelDelta)
{
    const RECT client = GetClientRect();
    int target = m_scroll;
    switch (request) {
    case SB_LINEUP: target -= kWheelStep; break;
    case SB_LINEDOWN: target += kWheelStep; break;
    case SB_PAGEUP: target -= client.bottom; break;
    case SB_PAGEDOWN: target += client.bottom; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(m_hWnd, SB_VERT, &info);
        target = info.nTrackPos;
        break;
    }
    default: target -= wheelDelta * kWheelStep / WHEEL_DELTA; break;
    }
    if (target == m_scroll)
        return;
    m_scroll = target;
    Layout();
}

BOOL CTaskPaneHost::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                         DWORD)
{
    result = 0;
    switch (message) {
    case WM_ERASEBKGND: result = 1; return TRUE;
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_SIZE:
    case Windows::kMsgStyleChanged: Layout(); return FALSE;
    case WM_MOUSEMOVE: OnMouseMove(lParam); return TRUE;
    case WM_MOUSELEAVE: OnMouseLeave(); return TRUE;
    case WM_LBUTTONDOWN: OnButtonDown(lParam); return TRUE;
    case WM_LBUTTONUP: OnButtonUp(lParam); return TRUE;
    case WM_VSCROLL: OnScroll(LOWORD(wParam), 0); return TRUE;
    case WM_MOUSEWHEEL: OnScroll(-1, GET_WHEEL_DELTA_WPARAM(wParam)); return TRUE;
    case WM_SETCURSOR: result = TRUE; return OnSetCursor(lParam) ? TRUE : FALSE;
    case WM_NCDESTROY: ::RemovePropW(m_hWnd, kClassName); return FALSE;
    default: return FALSE;
    }
}

}  // namespace Demo
