#include "Buttons.h"

#include "../style/Painter.h"
#include "../style/StyleManager.h"

namespace Windows {

Style::CPainter* CurrentPainter(int painterType) noexcept
{
    try {
        return Style::CStyleManager::GetStyleInstance().GetPainter(
            static_cast<Style::CStyle::PainterType>(painterType));
    } catch (...) {
        return nullptr;
    }
}

bool CTextCache::GetText(WPARAM bufferSize, LPARAM buffer, LRESULT& result) const
{
    if (m_text.empty())
        return false;
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    size_t copied = 0;
    if (bufferSize > 0 && out) {
        copied = std::min<size_t>(m_text.size(), bufferSize - 1);
        m_text.copy(out, copied);
        out[copied] = 0;
    }
    result = static_cast<LRESULT>(copied);
    return true;
}

bool CTextCache::GetTextLength(LRESULT& result) const
{
    if (m_text.empty())
        return false;
    result = static_cast<LRESULT>(m_text.size());
    return true;
}

// ------------------------------------------------------------ push button

void CPushButton::OnSubclassed()
{
    DWORD style = GetStyle();
    m_bDefault = (style & BS_DEFPUSHBUTTON) != 0;
    m_bDisabled = (style & WS_DISABLED) != 0;
    m_strText.Set(GetWindowText().c_str());
    m_nState = BaseState();
}

void CPushButton::SetState(int state)
{
    if (state == m_nState)
        return;
    m_nState = state;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CPushButton::DefaultWithoutPainting()
{
    CNoPaintGuard guard(m_hWnd);
    return DefWindowProc();
}

BOOL CPushButton::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result, DWORD)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(hWnd, &paint);
        RECT client = GetClientRect();
        if (Style::CPainter* painter = CurrentPainter(m_nPainterType)) {
            painter->DrawBackground(dc, m_nState, client, client);
            painter->GetContentRectByFull(client);
            painter->DrawForeground(dc, client, client, m_nState, m_strText.Get());
        }
        ::EndPaint(hWnd, &paint);
        result = 1;
        return TRUE;
    }
    case WM_MOUSEMOVE:
        result = DefaultWithoutPainting();
        if (!m_bDisabled) {
            EnableMouseLeaveMsg();
            SetState((wParam & MK_LBUTTON) ? 2 : 1);
        }
        return TRUE;
    case WM_LBUTTONDBLCLK:
        result = DefaultWithoutPainting();
        return TRUE;
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        PostLeaveMessage();
        m_nState = BaseState();
        ::InvalidateRect(hWnd, nullptr, FALSE);
        result = 0;
        return TRUE;
    case BM_SETSTATE:
        result = DefaultWithoutPainting();
        m_nState = wParam ? 2 : BaseState();
        ::InvalidateRect(hWnd, nullptr, FALSE);
        return TRUE;
    case WM_ENABLE:
        m_bDisabled = wParam == 0;
        m_nState = BaseState();
        ::InvalidateRect(hWnd, nullptr, FALSE);
        result = DefaultWithoutPainting();
        return TRUE;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && lParam) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            bool isDefault = (change->styleNew & BS_DEFPUSHBUTTON) != 0;
            if (isDefault != ((change->styleOld & BS_DEFPUSHBUTTON) != 0)) {
                m_bDefault = isDefault;
                m_nState = BaseState();
                ::InvalidateRect(hWnd, nullptr, FALSE);
            }
        }
        return FALSE;
    case BM_SETSTYLE:
        // Dialogs move the default button with this message; Wine changes the
        // style without sending WM_STYLECHANGED, so read the bit back here.
        result = DefaultWithoutPainting();
        if (((GetStyle() & BS_DEFPUSHBUTTON) != 0) != m_bDefault) {
            m_bDefault = !m_bDefault;
            m_nState = BaseState();
            ::InvalidateRect(hWnd, nullptr, FALSE);
        }
        return TRUE;
    case WM_SETTEXT:
        m_strText.Set(reinterpret_cast<const wchar_t*>(lParam));
        ::InvalidateRect(hWnd, nullptr, FALSE);
        result = TRUE;
        return TRUE;
    case WM_GETTEXT:
        return m_strText.GetText(wParam, lParam, result);
    case WM_GETTEXTLENGTH:
        return m_strText.GetTextLength(result);
    default:
        return FALSE;
    }
}

// -------------------------------------------------------------- hyperlink

void CHyperLink::OnSubclassed()
{
    m_bDisabled = (GetStyle() & WS_DISABLED) ? 1 : 0;
    m_strText.Set(GetWindowText().c_str());
    m_nState = BaseState();
}

void CHyperLink::InvalidateInParent()
{
    HWND parent = GetParent();
    if (!parent)
        return;
    RECT link = GetClientRect();
    ::MapWindowPoints(m_hWnd, parent, reinterpret_cast<POINT*>(&link), 2);
    ::InvalidateRect(parent, &link, TRUE);
}

BOOL CHyperLink::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result, DWORD)
{
    switch (message) {
    case WM_PAINT: {
        RECT client = GetClientRect();
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(hWnd, &paint);
        if (Style::CPainter* painter = CurrentPainter(m_nPainterType)) {
            painter->GetContentRectByFull(client);
            painter->DrawForeground(dc, client, client, m_nState, m_strText.Get());
        }
        ::EndPaint(hWnd, &paint);
        result = 0;
        return TRUE;
    }
    case WM_MOUSEMOVE:
        m_nState = 1;
        EnableMouseLeaveMsg();
        InvalidateInParent();
        return FALSE;
    case WM_MOUSELEAVE:
        m_nState = 0;
        m_bMouseTracking = false;
        PostLeaveMessage();
        InvalidateInParent();
        result = 0;
        return TRUE;
    case BM_SETSTATE: {
        CNoPaintGuard guard(hWnd);
        result = DefWindowProc();
        m_nState = wParam ? 2 : BaseState();
        ::InvalidateRect(hWnd, nullptr, FALSE);
        return TRUE;
    }
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, m_nState == 1 ? IDC_HAND : IDC_ARROW));
        result = TRUE;
        return TRUE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        result = 0;
        return TRUE;
    case WM_SETTEXT:
        m_strText.Set(reinterpret_cast<const wchar_t*>(lParam));
        InvalidateInParent();
        result = TRUE;
        return TRUE;
    case WM_GETTEXT:
        return m_strText.GetText(wParam, lParam, result);
    case WM_GETTEXTLENGTH:
        return m_strText.GetTextLength(result);
    default:
        return FALSE;
    }
}

}  // namespace Windows
