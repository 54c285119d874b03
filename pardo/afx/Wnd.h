#pragma once
// Pardo's own application framework: window objects and message maps.
//
// A CWnd is tied to its window by subclassing; the framework's window
// procedure routes each message through WindowProc, OnWndMsg and the class's
// message map, and whatever nobody handles goes to the previous procedure.
// Exceptions thrown by a handler are caught at the window procedure,
// reported (Pardo::ReportException) and released; they never reach the
// system.
#include <windows.h>
#include "pardo/afx/Gdi.h"
#include "pardo/afx/Objects.h"
#include "pardo/afx/Strings.h"

class CWnd;

// One handler of a message map. For WM_COMMAND, code is the notification
// code and id the control id; other messages match on message alone.
using MessageHandler = LRESULT (*)(CWnd* wnd, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT code;
    UINT id;
    MessageHandler handler;  // null ends the table
};

struct MessageMap {
    const MessageMap* (*pfnGetBaseMap)();
    const MessageMapEntry* lpEntries;
};

// Adapters from a class's handler members to MessageHandler:
//     {WM_PAINT, 0, 0, &Pardo::Handlers::Void<CMyWnd, &CMyWnd::OnPaint>}
namespace Pardo::Handlers {

template <class T, void (T::*Fn)()>
LRESULT Void(CWnd* wnd, WPARAM, LPARAM)
{
    (static_cast<T*>(wnd)->*Fn)();
    return 0;
}

template <class T, void (T::*Fn)(UINT, int, int)>
LRESULT Size(CWnd* wnd, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T*>(wnd)->*Fn)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
                                static_cast<short>(HIWORD(lParam)));
    return 0;
}

template <class T, void (T::*Fn)(UINT_PTR)>
LRESULT Timer(CWnd* wnd, WPARAM wParam, LPARAM)
{
    (static_cast<T*>(wnd)->*Fn)(static_cast<UINT_PTR>(wParam));
    return 0;
}

}  // namespace Pardo::Handlers

class PARDO_API CWnd : public CObject {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object tied to a window, or a temporary one that the framework
    // releases when the outermost message it is dispatching returns.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // Ties the object to an existing window and routes its messages here.
    bool SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();

    // Creates the window and subclasses it.
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rc, CWnd* parent, UINT id);
    // The same with UTF-16 text, for texts outside the ANSI code page.
    bool CreateExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                   const RECT& rc, CWnd* parent, UINT id);
    bool DestroyWindow();

    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;
    void GetWindowRect(LPRECT rc) const;
    void GetClientRect(LPRECT rc) const;
    void ScreenToClient(LPRECT rc) const;
    void ScreenToClient(LPPOINT pt) const;
    void ClientToScreen(LPRECT rc) const;
    void Invalidate(bool erase = true);
    void InvalidateRect(LPCRECT rc, bool erase = true);
    void UpdateWindow();
    HFONT GetFont() const;
    void SetFont(HFONT font, bool redraw = true);
    bool ShowWindow(int command);
    bool IsWindowVisible() const;
    bool MoveWindow(int x, int y, int cx, int cy, bool repaint = true);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    bool KillTimer(UINT_PTR id);
// windows.h maps these names to their A/W forms; the members keep the
// plain names, and the A/W spellings forward so that calls compile either way.
#pragma push_macro("SendMessage")
#pragma push_macro("PostMessage")
#pragma push_macro("SetWindowText")
#pragma push_macro("GetWindowText")
#pragma push_macro("DefWindowProc")
#undef SendMessage
#undef PostMessage
#undef SetWindowText
#undef GetWindowText
#undef DefWindowProc
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendMessageA(UINT m, WPARAM w = 0, LPARAM l = 0) const { return SendMessage(m, w, l); }
    LRESULT SendMessageW(UINT m, WPARAM w = 0, LPARAM l = 0) const { return SendMessage(m, w, l); }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessageA(UINT m, WPARAM w = 0, LPARAM l = 0) const { return PostMessage(m, w, l); }
    bool PostMessageW(UINT m, WPARAM w = 0, LPARAM l = 0) const { return PostMessage(m, w, l); }
    void SetWindowText(const char* text);
    void SetWindowTextA(const char* text) { SetWindowText(text); }
    void SetWindowTextW(const char* text) { SetWindowText(text); }
    CString GetWindowText() const;
    CString GetWindowTextA() const { return GetWindowText(); }
    CString GetWindowTextW() const { return GetWindowText(); }
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
#pragma pop_macro("DefWindowProc")
#pragma pop_macro("GetWindowText")
#pragma pop_macro("SetWindowText")
#pragma pop_macro("PostMessage")
#pragma pop_macro("SendMessage")

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCWnd;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();

    HWND m_hWnd = nullptr;

protected:
    // True when handled; *result is what the window procedure returns.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // After the last message of the window (WM_NCDESTROY) and after the
    // object was untied from it.
    virtual void PostNcDestroy();
    // Passes the message being dispatched to the previous procedure.
    LRESULT Default();

private:
    friend LRESULT DispatchToFramework(HWND, UINT, WPARAM, LPARAM);
    WNDPROC m_pfnSuper = nullptr;
    bool m_bUnicode = false;
};

class PARDO_API CButton : public CWnd {
public:
    bool Create(const char* caption, DWORD style, const RECT& rc, CWnd* parent, UINT id);
    bool Create(const wchar_t* caption, DWORD style, const RECT& rc, CWnd* parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
};

namespace Pardo {
// Releases the temporary window objects of this thread now.
PARDO_API void DeleteTempWindowMap();
}  // namespace Pardo
