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

LRESULT CopyTextToBuffer(const std::wstring& text, WPARAM bufferSize, LPARAM buffer)
{
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    size_t copied = 0;
    if (bufferSize > 0 && out) {
        copied = std::min<size_t>(text.size(), bufferSize - 1);
        text.copy(out, copied);
        out[copied] = 0;
    }
    return static_cast<LRESULT>(copied);
}

bool CTextCache::GetText(WPARAM bufferSize, LPARAM buffer, LRESULT& result) const
{
    if (m_text.empty())
        return false;
    result = CopyTextToBuffer(m_text, bufferSize, buffer);
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
    case BM_SETSTATE:
        result = DefaultWithoutPainting();
        m_nState = wParam ? 2 : BaseState();
        ::InvalidateRect(hWnd, nullptr, FALSE);
        return TRUE;
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

namespace Windows {

namespace {

struct SKindTypes {
    int row, image, label;
};

SKindTypes TypesOf(int kind)
{
    using S = Style::CStyle;
    switch (kind) {
    case CCheckRadioGlyph::Check: return {S::CheckButton, S::CheckButtonState, S::CheckButtonLabel};
    case CCheckRadioGlyph::RadioXP: return {S::RadioButton, S::RadioButtonStateXP, S::RadioButtonLabel};
    default: return {S::RadioButton, S::RadioButtonState, S::RadioButtonLabel};
    }
}

}  // namespace

// ------------------------------------------------------- check radio glyph

CCheckRadioGlyph::CCheckRadioGlyph(int kind)
    : Glyph::CStyledHorizontalCompose(TypesOf(kind).row),
      Glyph::CGroupImpl<CCheckRadioGlyph, Glyph::CStyledHorizontalCompose>(4, 0),
      m_image(TypesOf(kind).image), m_label(TypesOf(kind).label)
{
    m_bAutoDelete = false;  // both children are members
    m_bWholeUnit = true;    // the image and label follow the row's state
    AppendGlyph(&m_image);
    AppendGlyph(&m_label);
}

CCheckRadioGlyph::~CCheckRadioGlyph()
{
    ClearAllGlyph();
}

void CCheckRadioGlyph::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    m_rcRegion = rect;
    Glyph::CSize image = m_image.CalcSize(dc, -1, -1, true);
    Glyph::CRect imageRect(rect.left, rect.top, rect.left + image.cx, rect.bottom);
    m_image.SetRegion(dc, imageRect);
    Glyph::CRect labelRect(imageRect.right + m_nGlyphSpace, rect.top, rect.right, rect.bottom);
    m_label.SetRegion(dc, labelRect);
}

void CCheckRadioGlyph::SetState(INT64 state, bool redraw)
{
    SetStateInGroup(state, redraw);
}

INT64 CCheckRadioGlyph::GetState() const
{
    return GetStateInGroup();
}

void CCheckRadioGlyph::SetCheck(INT64 check)
{
    SetGroup(check, true);
}

void CCheckRadioGlyph::SetLabel(const std::wstring& label)
{
    m_label.SetText(label, true);
}

// ------------------------------------------------------ check radio button

void CCheckRadioButton::OnSubclassed()
{
    m_glyph.SetVessel(this);
    m_bEnabled = IsWindowEnabled();
    LRESULT check = SendMessage(BM_GETCHECK);
    if (check >= 0 && check <= 2)
        m_glyph.SetCheck(check);
    m_glyph.SetState(m_bEnabled ? 0 : 3, false);
    m_glyph.SetLabel(GetWindowText());
    // From now on only the label carries the text.
    m_bClearingText = true;
    ::SetWindowTextW(m_hWnd, L"");
    m_bClearingText = false;
    RECT client = GetClientRect();
    Layout(client.right, client.bottom);
    m_bInitialized = true;
}

void CCheckRadioButton::Layout(int width, int height)
{
    HDC dc = GetDC();
    m_glyph.SetRegion(dc, Glyph::CRect(0, 0, width, height));
    ReleaseDC(dc);
}

RECT CCheckRadioButton::InParent(const RECT* rect)
{
    RECT r = rect ? *rect : GetClientRect();
    ::MapWindowPoints(m_hWnd, GetParent(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void CCheckRadioButton::InvalidateVesselRect(const RECT* rect)
{
    if (HWND parent = GetParent()) {
        RECT r = InParent(rect);
        ::InvalidateRect(parent, &r, TRUE);
    }
}

void CCheckRadioButton::RedrawVesselRect(const RECT* rect)
{
    if (HWND parent = GetParent()) {
        RECT r = InParent(rect);
        ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

BOOL CCheckRadioButton::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD)
{
    switch (message) {
    case WM_PAINT: {
        Images::CMemDC memory(hWnd, true);
        m_glyph.Draw(memory, nullptr);
        memory.Show();
        result = 0;
        return TRUE;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            Layout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_MOUSEMOVE:
        result = DefaultWithoutPainting();
        EnableMouseLeaveMsg();
        m_glyph.SetState((wParam & MK_LBUTTON) ? 2 : 1, true);
        return TRUE;
    // The native button paints its own look straight away on these; keep
    // it off the screen.
    case WM_LBUTTONDOWN:
        result = DefaultWithoutPainting();
        m_glyph.SetState(2, true);
        return TRUE;
    case WM_LBUTTONUP:
        result = DefaultWithoutPainting();
        m_glyph.SetState(0, true);
        return TRUE;
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case BM_SETSTATE:
        result = DefaultWithoutPainting();
        return TRUE;
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        PostLeaveMessage();
        m_glyph.SetState(0, true);
        result = 0;
        return TRUE;
    case BM_SETCHECK:
        result = DefaultWithoutPainting();
        if (wParam <= 2)
            m_glyph.SetCheck(static_cast<INT64>(wParam));
        return TRUE;
    case WM_ENABLE:
        m_bEnabled = wParam != 0;
        m_glyph.SetState(m_bEnabled ? 0 : 3, true);
        result = 0;
        return TRUE;
    case WM_STYLECHANGED:
        result = DefWindowProc();
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && lParam) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            if ((change->styleOld ^ change->styleNew) & WS_DISABLED)
                m_glyph.SetState((change->styleNew & WS_DISABLED) ? 3 : 0, true);
        }
        return TRUE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        result = 0;
        return TRUE;
    case WM_SETTEXT:
        if (m_bClearingText)
            return FALSE;
        // The subclass chain is a Unicode procedure: the text arrives wide
        // even for an ANSI window.
        if (m_bInitialized)
            m_glyph.SetLabel(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows
