#include "Buttons.h"

#include <algorithm>
#include <utility>
#include "../base/GdiHandles.h"
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

bool NativeButtonPaintsOn(UINT message) noexcept
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case WM_SETFONT:
    case BM_SETCHECK:
        return true;
    default:
        return false;
    }
}

void DrawFocusCue(HWND window, HDC dc, const RECT& content)
{
    if (::GetFocus() != window ||
        (::SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
        return;
    RECT cue = content;
    ::InflateRect(&cue, -1, -1);
    if (cue.right > cue.left && cue.bottom > cue.top) {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &cue);
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

template <class TButton>
BOOL ProcessButtonStateMessage(TButton& button, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result)
{
    switch (message) {
    case WM_MOUSELEAVE:
        button.PostMouseLeave();
        button.SetState(button.BaseState());
        result = 0;
        return TRUE;
    case BM_SETSTATE:
        result = button.DefaultThenRepaint();
        button.SetState(wParam ? 2 : button.BaseState());
        return TRUE;
    case WM_ENABLE:
        button.m_bDisabled = wParam == 0;
        button.m_nState = button.BaseState();
        result = button.DefaultThenRepaint();
        return TRUE;
    case WM_GETTEXT:
        return button.m_strText.GetText(wParam, lParam, result);
    case WM_GETTEXTLENGTH:
        return button.m_strText.GetTextLength(result);
    default:
        return button.DefaultThenRepaintIf(NativeButtonPaintsOn(message), result);
    }
}

void CPushButton::OnSubclassed()
{
    DWORD style = GetStyle();
    m_bDefault = (style & BS_DEFPUSHBUTTON) != 0;
    m_bDisabled = (style & WS_DISABLED) != 0;
    m_strText.Set(GetWindowText().c_str());
    m_nState = BaseState();
    m_switchWatch.SetVessel(this);
}

void CPushButton::SetState(int state)
{
    if (state == m_nState)
        return;
    m_nState = state;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPushButton::OnPaint()
{
    Images::CMemDC memory(m_hWnd, true);
    RECT client = GetClientRect();
    if (Style::CPainter* painter = CurrentPainter(m_nPainterType)) {
        painter->DrawBackground(memory, m_nState, client, client);
        RECT content = client;
        painter->GetContentRectByFull(content);
        painter->DrawForeground(memory, content, content, m_nState, m_strText.Get());
        DrawFocusCue(m_hWnd, memory, content);
    }
    memory.Show();
}

void CPushButton::OnStyleChanged(const STYLESTRUCT* change)
{
    bool isDefault = (change->styleNew & BS_DEFPUSHBUTTON) != 0;
    if (isDefault == ((change->styleOld & BS_DEFPUSHBUTTON) != 0))
        return;
    m_bDefault = isDefault;
    m_nState = BaseState();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPushButton::OnSetStyle()
{
    // Dialogs move the default button with BM_SETSTYLE; Wine changes the
    // style without sending WM_STYLECHANGED, so read the bit back.
    if (((GetStyle() & BS_DEFPUSHBUTTON) != 0) == m_bDefault)
        return;
    m_bDefault = !m_bDefault;
    m_nState = BaseState();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

BOOL CPushButton::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result, DWORD)
{
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT:
        OnPaint();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_MOUSEMOVE:
        result = DefaultThenRepaint();
        if (!m_bDisabled) {
            EnableMouseLeaveMsg();
            SetState((wParam & MK_LBUTTON) ? 2 : 1);
        }
        return TRUE;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && lParam)
            OnStyleChanged(reinterpret_cast<const STYLESTRUCT*>(lParam));
        return FALSE;
    case BM_SETSTYLE:
        result = DefaultThenRepaint();
        OnSetStyle();
        return TRUE;
    case WM_SETTEXT:
        // The native window keeps the text too: the dialog manager finds
        // mnemonics in it.
        m_strText.Set(reinterpret_cast<const wchar_t*>(lParam));
        result = DefaultThenRepaint();
        return TRUE;
    default:
        return ProcessButtonStateMessage(*this, message, wParam, lParam, result);
    }
}

// -------------------------------------------------------------- hyperlink

void CHyperLink::OnSubclassed()
{
    m_bDisabled = (GetStyle() & WS_DISABLED) ? 1 : 0;
    m_strText.Set(GetWindowText().c_str());
    m_nState = BaseState();
    m_switchWatch.SetVessel(this);
}

void CHyperLink::SetState(int state)
{
    if (state == m_nState)
        return;
    m_nState = state;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CHyperLink::OnPaint()
{
    // The link is transparent: the parent's background shows around the
    // text, and nothing of the native button.
    Images::CMemDC memory(m_hWnd, true);
    if (Style::CPainter* painter = CurrentPainter(m_nPainterType)) {
        RECT content = GetClientRect();
        painter->GetContentRectByFull(content);
        painter->DrawForeground(memory, content, content, m_nState, m_strText.Get());
        DrawFocusCue(m_hWnd, memory, content);
    }
    memory.Show();
}

BOOL CHyperLink::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result, DWORD)
{
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT:
        OnPaint();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_MOUSEMOVE:
        result = DefaultThenRepaint();
        EnableMouseLeaveMsg();
        SetState(m_bDisabled ? 3 : ((wParam & MK_LBUTTON) ? 2 : 1));
        return TRUE;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, m_nState == 1 ? IDC_HAND : IDC_ARROW));
        result = TRUE;
        return TRUE;
    case WM_SETTEXT:
        m_strText.Set(reinterpret_cast<const wchar_t*>(lParam));
        result = DefaultThenRepaint();
        return TRUE;
    default:
        return ProcessButtonStateMessage(*this, message, wParam, lParam, result);
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

bool CCheckRadioButton::HasLook() const
{
    SKindTypes types = TypesOf(m_nKind);
    return HasPainterLook(types.row) || HasPainterLook(types.image);
}

void CCheckRadioButton::OnSubclassed()
{
    ReadNativeState();
}

// The native window keeps its text (the dialog manager reads mnemonics from
// it, and the native look needs it when a pack has no check box look); the
// label shows a copy.
void CCheckRadioButton::ReadNativeState()
{
    m_glyph.SetVessel(this);
    m_bEnabled = IsWindowEnabled();
    LRESULT check = SendMessage(BM_GETCHECK);
    if (check >= 0 && check <= 2)
        m_glyph.SetCheck(check);
    m_glyph.SetState(m_bEnabled ? 0 : 3, false);
    m_glyph.SetLabel(GetWindowText());
    RECT client = GetClientRect();
    Layout(client.right, client.bottom);
    m_bInitialized = true;
}

namespace {

// The object a window being created on this thread is to be attached to.
thread_local CCheckRadioButton* t_creating = nullptr;
thread_local HHOOK t_createHook = nullptr;

LRESULT CALLBACK AttachOnCreate(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_creating) {
        // Before WM_NCCREATE: the object sees the window's WM_CREATE.
        CCheckRadioButton* object = std::exchange(t_creating, nullptr);
        object->WindowBase::SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(t_createHook, code, wParam, lParam);
}

}  // namespace

HWND CCheckRadioButton::Create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style,
                               UINT id)
{
    if (m_hWnd || t_creating)
        return nullptr;
    t_createHook = ::SetWindowsHookExW(WH_CBT, AttachOnCreate, nullptr, ::GetCurrentThreadId());
    if (!t_createHook)
        return nullptr;
    t_creating = this;
    HWND window = ::CreateWindowExW(0, L"BUTTON", text, style, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    t_creating = nullptr;
    ::UnhookWindowsHookEx(std::exchange(t_createHook, nullptr));
    if (window && !m_bInitialized) {
        ::DestroyWindow(window);
        return nullptr;
    }
    return window;
}

void CCheckRadioButton::OnCreated()
{
    ReadNativeState();
    m_bAutoDelete = false;  // the creator owns the object
}

void CCheckRadioButton::Layout(int width, int height)
{
    Base::CClientDC dc(m_hWnd);
    m_glyph.SetRegion(dc, Glyph::CRect(0, 0, width, height));
}

void CCheckRadioButton::OnPaint()
{
    Images::CMemDC memory(m_hWnd, true);
    m_glyph.Draw(memory, nullptr);
    DrawFocusCue(m_hWnd, memory, LabelRect());
    memory.Show();
}

// Around the label's text, as the native button draws its focus cue.
RECT CCheckRadioButton::LabelRect() const
{
    const Glyph::CRect& label = m_glyph.GetLabelRegion();
    RECT rect = {label.left, label.top, label.right, label.bottom};
    Base::CClientDC dc(m_hWnd);
    if (Style::CPainter* painter = CurrentPainter(TypesOf(m_nKind).label); painter && dc) {
        SIZE text = painter->CalcSize(dc, SIZE{label.Width(), label.Height()}, m_glyph.GetLabel());
        if (text.cx > 0 && text.cy > 0) {
            rect.right = std::min<LONG>(rect.right, rect.left + text.cx + 2);
            LONG middle = (label.top + label.bottom) / 2;
            rect.top = std::max<LONG>(label.top, middle - text.cy / 2 - 1);
            rect.bottom = std::min<LONG>(label.bottom, rect.top + text.cy + 2);
        }
    }
    return rect;
}

void CCheckRadioButton::OnStyleChanged(const STYLESTRUCT* change)
{
    if ((change->styleOld ^ change->styleNew) & WS_DISABLED)
        m_glyph.SetState((change->styleNew & WS_DISABLED) ? 3 : 0, true);
}

BOOL CCheckRadioButton::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD)
{
    if (message == WM_CREATE) {
        result = DefWindowProc();
        if (result != -1)
            OnCreated();
        return TRUE;
    }
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT:
        OnPaint();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            Layout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_MOUSEMOVE:
        result = DefaultThenRepaint();
        EnableMouseLeaveMsg();
        m_glyph.SetState(m_bEnabled ? ((wParam & MK_LBUTTON) ? 2 : 1) : 3, true);
        return TRUE;
    case WM_LBUTTONDOWN:
        result = DefaultThenRepaint();
        m_glyph.SetState(m_bEnabled ? 2 : 3, true);
        return TRUE;
    case WM_LBUTTONUP:
        result = DefaultThenRepaint();
        m_glyph.SetState(m_bEnabled ? 0 : 3, true);
        return TRUE;
    case WM_MOUSELEAVE:
        PostMouseLeave();
        m_glyph.SetState(m_bEnabled ? 0 : 3, true);
        result = 0;
        return TRUE;
    case BM_SETCHECK:
        if (wParam <= 2)
            m_glyph.SetCheck(static_cast<INT64>(wParam));
        result = DefaultThenRepaint();
        return TRUE;
    case WM_ENABLE:
        m_bEnabled = wParam != 0;
        m_glyph.SetState(m_bEnabled ? 0 : 3, false);
        result = DefaultThenRepaint();
        return TRUE;
    case WM_STYLECHANGED:
        result = DefWindowProc();
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && lParam)
            OnStyleChanged(reinterpret_cast<const STYLESTRUCT*>(lParam));
        return TRUE;
    case WM_SETTEXT:
        // The subclass chain is a Unicode procedure: the text arrives wide
        // even for an ANSI window.
        if (m_bInitialized)
            m_glyph.SetLabel(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        result = DefaultThenRepaint();
        return TRUE;
    default:
        return DefaultThenRepaintIf(NativeButtonPaintsOn(message), result);
    }
}

}  // namespace Windows
