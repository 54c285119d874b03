#include "Wnd.h"
#include <map>
#include <memory>
#include "pardo/afx/Exceptions.h"
#include "pardo/afx/Module.h"

#undef SendMessage
#undef PostMessage
#undef SetWindowText
#undef GetWindowText
#undef DefWindowProc

namespace {

struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Window objects belong to the thread that runs their windows.
thread_local std::map<HWND, CWnd*> t_permanent;
thread_local std::map<HWND, std::unique_ptr<CWnd>> t_temporary;
thread_local CurrentMessage t_current;
thread_local int t_depth;

LRESULT CALLBACK FrameworkWndProcA(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK FrameworkWndProcW(HWND, UINT, WPARAM, LPARAM);

LRESULT ResultAfterException(HWND hwnd, UINT message)
{
    switch (message) {
    case WM_PAINT:
        // Or the window would be asked to paint again at once.
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_CREATE:
    case WM_NCCREATE:
        return -1;
    default:
        return 0;
    }
}

}  // namespace

LRESULT DispatchToFramework(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = t_permanent.find(hwnd);
    if (found == t_permanent.end())
        return IsWindowUnicode(hwnd) ? ::DefWindowProcW(hwnd, message, wParam, lParam)
                                     : ::DefWindowProcA(hwnd, message, wParam, lParam);
    CWnd* wnd = found->second;

    CurrentMessage saved = t_current;
    t_current = {hwnd, message, wParam, lParam};
    ++t_depth;
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        Pardo::ReportCurrentException("window procedure");
        result = ResultAfterException(hwnd, message);
    }
    if (message == WM_NCDESTROY && wnd->m_hWnd == hwnd) {
        wnd->UnsubclassWindow();
        try {
            wnd->PostNcDestroy();
        } catch (...) {
            Pardo::ReportCurrentException("PostNcDestroy");
        }
    }
    t_current = saved;
    if (--t_depth == 0)
        t_temporary.clear();
    return result;
}

namespace {

LRESULT CALLBACK FrameworkWndProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchToFramework(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FrameworkWndProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchToFramework(hwnd, message, wParam, lParam);
}

}  // namespace

namespace Pardo {
void DeleteTempWindowMap()
{
    t_temporary.clear();
}
}  // namespace Pardo

CRuntimeClass CWnd::classCWnd = {"CWnd", sizeof(CWnd), &CWnd::_GetBaseClass};
CRuntimeClass* CWnd::GetRuntimeClass() const { return &classCWnd; }
CRuntimeClass* CWnd::_GetBaseClass() { return CObject::GetThisClass(); }
CRuntimeClass* CWnd::GetThisClass() { return &classCWnd; }

const MessageMap* CWnd::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd && t_permanent.count(m_hWnd)) {
        HWND hwnd = m_hWnd;
        UnsubclassWindow();
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    auto found = t_permanent.find(hwnd);
    return found == t_permanent.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd))
        return wnd;
    auto& slot = t_temporary[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || t_permanent.count(hwnd))
        return false;
    t_temporary.erase(hwnd);
    m_hWnd = hwnd;
    m_bUnicode = IsWindowUnicode(hwnd) != FALSE;
    t_permanent[hwnd] = this;
    m_pfnSuper = m_bUnicode
        ? reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProcW)))
        : reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProcA)));
    if (!m_pfnSuper) {
        t_permanent.erase(hwnd);
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return nullptr;
    // Only put the old procedure back when nobody subclassed after us.
    WNDPROC ours = m_bUnicode ? &FrameworkWndProcW : &FrameworkWndProcA;
    if (IsWindow(hwnd) && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == ours) {
        if (m_bUnicode)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    t_permanent.erase(hwnd);
    m_hWnd = nullptr;
    return hwnd;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rc, CWnd* parent, UINT id)
{
    HWND hwnd = CreateWindowExA(exStyle, className, windowName, style, rc.left, rc.top, rc.right - rc.left,
                                rc.bottom - rc.top, parent ? parent->m_hWnd : nullptr,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), Pardo::ModuleHandle(), nullptr);
    if (!hwnd)
        return false;
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

bool CWnd::CreateExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                     const RECT& rc, CWnd* parent, UINT id)
{
    HWND hwnd = CreateWindowExW(exStyle, className, windowName, style, rc.left, rc.top, rc.right - rc.left,
                                rc.bottom - rc.top, parent ? parent->m_hWnd : nullptr,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), Pardo::ModuleHandle(), nullptr);
    if (!hwnd)
        return false;
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

bool CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
void CWnd::GetWindowRect(LPRECT rc) const { ::GetWindowRect(m_hWnd, rc); }
void CWnd::GetClientRect(LPRECT rc) const { ::GetClientRect(m_hWnd, rc); }

void CWnd::ScreenToClient(LPRECT rc) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rc), 2);
}

void CWnd::ScreenToClient(LPPOINT pt) const { ::ScreenToClient(m_hWnd, pt); }

void CWnd::ClientToScreen(LPRECT rc) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rc), 2);
}

void CWnd::Invalidate(bool erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rc, bool erase) { ::InvalidateRect(m_hWnd, rc, erase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }

void CWnd::SetFont(HFONT font, bool redraw)
{
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

CString CWnd::GetWindowText() const
{
    CString text;
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length > 0) {
        int got = ::GetWindowTextA(m_hWnd, text.GetBuffer(length), length + 1);
        text.ReleaseBuffer(got);
    }
    return text;
}

bool CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
bool CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }

bool CWnd::MoveWindow(int x, int y, int cx, int cy, bool repaint)
{
    return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint) != FALSE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
bool CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam) != FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return m_bUnicode ? CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam)
                          : CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return m_bUnicode ? ::DefWindowProcW(m_hWnd, message, wParam, lParam)
                      : ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return false;
        *result = 0;
        return true;
    }
    if (message == WM_NOTIFY) {
        LRESULT notifyResult = 0;
        if (!OnNotify(wParam, lParam, &notifyResult))
            return false;
        *result = notifyResult;
        return true;
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* entry = map->lpEntries; entry->handler; ++entry) {
            if (entry->message == message) {
                *result = entry->handler(this, wParam, lParam);
                return true;
            }
        }
    }
    return false;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT code = HIWORD(wParam), id = LOWORD(wParam);
    for (const MessageMap* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* entry = map->lpEntries; entry->handler; ++entry) {
            if (entry->message == WM_COMMAND && entry->code == code && entry->id == id) {
                entry->handler(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

void CWnd::PostNcDestroy()
{
}

bool CButton::Create(const char* caption, DWORD style, const RECT& rc, CWnd* parent, UINT id)
{
    return CreateEx(0, "BUTTON", caption, style, rc, parent, id);
}

bool CButton::Create(const wchar_t* caption, DWORD style, const RECT& rc, CWnd* parent, UINT id)
{
    return CreateExW(0, L"BUTTON", caption, style, rc, parent, id);
}

int CButton::GetCheck() const
{
    return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int check)
{
    ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0);
}
