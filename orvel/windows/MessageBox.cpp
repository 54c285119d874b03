#include "MessageBox.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>
#include "../base/GdiHandles.h"
#include "../base/Module.h"
#include "../glyph/StyledGlyph.h"
#include "../host/Global.h"
#include "../resource/ModuleResources.h"
#include "../style/Style.h"
#include "Messages.h"
#include "StyledWnd.h"
#include "StyledWndManager.h"

namespace Windows {

namespace MessageBoxImpl {

namespace {

constexpr const wchar_t* kTemplateName = L"ORVEL_MESSAGEBOX";
// A box whose thread does not answer within this time is closed by a
// posted message instead, so the caller never waits on a hung thread.
constexpr UINT kCloseTimeoutMs = 5000;

std::atomic<HWND> g_openBox{nullptr};
std::atomic<unsigned short> g_language{0};
std::atomic<bool> g_languageKnown{false};

struct SButtonRow {
    int count;
    int ids[3];
};

// The Win32 message box's buttons for the low four bits of the type.
SButtonRow ButtonsOfType(unsigned int type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return {1, {IDOK}};
    case MB_OKCANCEL:
        return {2, {IDOK, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {3, {IDABORT, IDRETRY, IDCANCEL}};
    case MB_YESNOCANCEL:
        return {3, {IDYES, IDNO, IDCANCEL}};
    case MB_YESNO:
        return {2, {IDYES, IDNO}};
    case MB_RETRYCANCEL:
        return {2, {IDRETRY, IDCANCEL}};
    default:
        return {0, {}};
    }
}

// Words for a language module that lacks the string.
const wchar_t* FallbackText(int id)
{
    switch (id) {
    case IDOK:
        return L"OK";
    case IDCANCEL:
        return L"Cancel";
    case IDABORT:
        return L"Abort";
    case IDRETRY:
        return L"Retry";
    case IDYES:
        return L"Yes";
    case IDNO:
        return L"No";
    default:
        return L"";
    }
}

std::wstring ButtonText(int id)
{
    std::wstring text;
    try {
        text = COrvelGlobal::GetInstance().LoadLangString(kButtonTextBase + id);
    } catch (...) {
    }
    return text.empty() ? FallbackText(id) : text;
}

// The language module follows the language the host set last.
void SyncLanguage()
{
    try {
        unsigned short current = CStyledWndManager::GetInstance().GetLanguage();
        if (!g_languageKnown.exchange(true)) {
            g_language = current;
            return;
        }
        if (g_language.exchange(current) != current)
            COrvelGlobal::GetInstance().SetLangID(current);
    } catch (...) {
    }
}

void CloseOpenBox()
{
    HWND box = g_openBox.load();
    if (!box)
        return;
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutW(box, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseTimeoutMs, &ignored))
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    // A box that could not take the message is forgotten all the same.
    g_openBox.compare_exchange_strong(box, nullptr);
}

class CMessageDialog : public Glyph::IGlyphVessel {
public:
    CMessageDialog(const wchar_t* text, const wchar_t* caption, unsigned int type)
        : m_strCaption(caption ? caption : L""), m_nType(type), m_body(Style::CStyle::PromptError, text ? text : L"")
    {
    }
    CMessageDialog(const CMessageDialog&) = delete;
    CMessageDialog& operator=(const CMessageDialog&) = delete;

    INT_PTR Run(HWND owner, const DLGTEMPLATE* dialog)
    {
        return ::DialogBoxIndirectParamW(Base::GetLibraryModule(), dialog, owner, Proc,
                                         reinterpret_cast<LPARAM>(this));
    }

    void InvalidateVesselRect(const RECT* rect) override { ::InvalidateRect(m_hWnd, rect, TRUE); }
    void RedrawVesselRect(const RECT* rect) override
    {
        ::RedrawWindow(m_hWnd, rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    void SetVesselCursor(HICON cursor) override { ::SetCursor(cursor); }
    HDC GetVesselDC() override { return ::GetDC(m_hWnd); }
    void ReleaseVesselDC(HDC dc) override { ::ReleaseDC(m_hWnd, dc); }
    void AdjustVesselLayout() override { Layout(); }

private:
    static INT_PTR CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        try {
            if (message == WM_INITDIALOG)
                ::SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
            auto* self = reinterpret_cast<CMessageDialog*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
            return self ? self->Handle(hWnd, message, wParam) : FALSE;
        } catch (...) {
            // The host's modal loop goes on; the box ends as cancelled.
            ::EndDialog(hWnd, IDCANCEL);
            return TRUE;
        }
    }

    INT_PTR Handle(HWND hWnd, UINT message, WPARAM wParam)
    {
        switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(hWnd);
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_COMMAND:
            End(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            End(IDCANCEL);
            return TRUE;
        case WM_NCDESTROY:
            Forget();
            m_body.SetVessel(nullptr);
            return FALSE;
        default:
            return FALSE;
        }
    }

    INT_PTR OnInitDialog(HWND hWnd);
    void TakeTemplateButton();
    void CreateButtons();
    void Layout();
    void CentreOnOwner();
    void OnPaint();
    // The text's height for a width, in the pack's look or natively.
    int TextHeight(int width);
    bool Styled() { return m_body.GetPainter() && HasPainterLook(Style::CStyle::PromptError); }

    void End(int result)
    {
        Forget();
        ::EndDialog(m_hWnd, result);
    }
    // An ended box is not the open one any more; a box it covered is again.
    void Forget()
    {
        HWND self = m_hWnd;
        HWND previous = m_hPrevious && ::IsWindow(m_hPrevious) ? m_hPrevious : nullptr;
        g_openBox.compare_exchange_strong(self, previous);
    }

    HWND m_hWnd = nullptr;
    HWND m_hPrevious = nullptr;
    std::wstring m_strCaption;
    unsigned int m_nType;
    Glyph::CStyledTextGlyph m_body;
    std::vector<HWND> m_buttons;
    RECT m_rcButton = {12, 100, 87, 123};  // the template button, client coordinates
    int m_nBottomGap = 12;                // below the row in the template
    int m_nMinWidth = 0, m_nMinHeight = 0;  // the template's client size
};

INT_PTR CMessageDialog::OnInitDialog(HWND hWnd)
{
    m_hWnd = hWnd;
    CStyledWndManager::GetInstance().EnableFrameStyled(hWnd);
    TakeTemplateButton();
    CreateButtons();
    m_body.SetVessel(this);
    Layout();
    ::SetWindowTextW(hWnd, m_strCaption.c_str());
    if (::SendMessageW(hWnd, kMsgFitToCaption, 0, 0))
        Layout();
    CentreOnOwner();
    m_hPrevious = g_openBox.exchange(hWnd);
    ::SetActiveWindow(hWnd);
    ::SetForegroundWindow(hWnd);
    if (!m_buttons.empty()) {
        ::SendMessageW(hWnd, DM_SETDEFID, ::GetDlgCtrlID(m_buttons.front()), 0);
        ::SetFocus(m_buttons.front());
    }
    return FALSE;
}

void CMessageDialog::TakeTemplateButton()
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    m_nMinWidth = client.right;
    m_nMinHeight = client.bottom;
    HWND button = ::GetDlgItem(m_hWnd, kTemplateButton);
    if (!button)
        return;
    ::GetWindowRect(button, &m_rcButton);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rcButton), 2);
    m_nBottomGap = std::max<int>(client.bottom - m_rcButton.bottom, 0);
    ::DestroyWindow(button);
}

void CMessageDialog::CreateButtons()
{
    SButtonRow row = ButtonsOfType(m_nType);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    int width = m_rcButton.right - m_rcButton.left, height = m_rcButton.bottom - m_rcButton.top;
    for (int i = 0; i < row.count; ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
        HWND button = ::CreateWindowExW(0, L"Button", ButtonText(row.ids[i]).c_str(), style, m_rcButton.left,
                                        m_rcButton.top, width, height, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.ids[i])),
                                        Base::GetLibraryModule(), nullptr);
        if (!button)
            continue;
        ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        CStyledWndManager::GetInstance().EnablePushButtonStyled(button);
        m_buttons.push_back(button);
    }
}

int CMessageDialog::TextHeight(int width)
{
    Base::CClientDC dc(m_hWnd);
    if (!dc)
        return 0;
    if (Styled())
        return m_body.CalcSize(dc, width, 0, false).cy;
    Base::CSelectScope font(dc, reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    ::DrawTextW(dc, m_body.GetText().c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return rect.bottom;
}

// The text over the template's width (or the row's, when that is wider),
// the row below it, centred; the dialog grows to hold both.
void CMessageDialog::Layout()
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const int spacing = std::max<int>(m_rcButton.left, 0);
    const int buttonWidth = m_rcButton.right - m_rcButton.left, buttonHeight = m_rcButton.bottom - m_rcButton.top;
    const int count = static_cast<int>(m_buttons.size());
    const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * spacing;
    const int width = std::max({static_cast<int>(client.right), m_nMinWidth, rowWidth + 2 * spacing});
    const int textBottom = spacing + TextHeight(width - 2 * spacing);
    const int rowTop = count ? std::max<int>(m_rcButton.top, textBottom + spacing) : textBottom;
    const int height = std::max(count ? rowTop + buttonHeight + m_nBottomGap : textBottom + spacing, m_nMinHeight);

    if (width != client.right || height != client.bottom) {
        RECT window = {};
        ::GetWindowRect(m_hWnd, &window);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left + width - client.right,
                       window.bottom - window.top + height - client.bottom,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    int x = (width - rowWidth) / 2;
    for (HWND button : m_buttons) {
        ::MoveWindow(button, x, rowTop, buttonWidth, buttonHeight, TRUE);
        x += buttonWidth + spacing;
    }
    m_body.SetRegion(nullptr, Glyph::CRect(spacing, spacing, width - spacing,
                                        std::max(textBottom, count ? rowTop - spacing : textBottom)));
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMessageDialog::CentreOnOwner()
{
    RECT box = {}, area = {};
    ::GetWindowRect(m_hWnd, &box);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner || !::IsWindowVisible(owner) || ::IsIconic(owner) || !::GetWindowRect(owner, &area))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + (area.right - area.left - (box.right - box.left)) / 2;
    int y = area.top + (area.bottom - area.top - (box.bottom - box.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, std::max(x, 0), std::max(y, 0), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMessageDialog::OnPaint()
{
    Base::CPaintDC dc(m_hWnd);
    if (!dc)
        return;
    if (Styled()) {
        m_body.Draw(dc, &dc.PaintRect());
        return;
    }
    // Without the pack's look the text is drawn as a native box draws it.
    RECT rect = m_body.GetRegion();
    Base::CSelectScope font(dc, reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::DrawTextW(dc, m_body.GetText().c_str(), -1, &rect, DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace

HWND OpenMessageBox()
{
    return g_openBox.load();
}

}  // namespace MessageBoxImpl

long long ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, unsigned int type)
{
    using namespace MessageBoxImpl;
    try {
        SyncLanguage();
        if (type == kCloseMessageBox) {
            CloseOpenBox();
            return kCloseMessageBox;
        }
        Resource::CModuleResources resources(Base::GetLibraryModule());
        const void* dialog = resources.Find(RT_DIALOG, kTemplateName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        if (!dialog)
            return -1;
        if (owner && !::IsWindow(owner))
            owner = nullptr;
        CMessageDialog box(text, caption, type);
        return box.Run(owner, static_cast<const DLGTEMPLATE*>(dialog));
    } catch (...) {
        return -1;
    }
}

}  // namespace Windows
