#pragma once
// Window objects that subclass an existing window: a message map answers
// what it handles, everything else goes to the procedure below it, and the
// object hears of its window's last message. Built on comctl32's subclass
// chain, so several objects can stack on one window.
#include <windows.h>
#include <commctrl.h>
#include <exception>
#include <string>
#include <typeinfo>
#include "Export.h"
#include "Window.h"

namespace Base {

template <DWORD t_style = 0, DWORD t_exStyle = 0>
struct CWinTraits {
    static DWORD GetWndStyle(DWORD style) { return style ? style : t_style; }
    static DWORD GetWndExStyle(DWORD exStyle) { return exStyle ? exStyle : t_exStyle; }
};
using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;

// A child's notifications come back to it as the same message plus this.
constexpr UINT kReflectedMessageBase = 0x2000;

// Reports an exception caught at a window procedure; the host services
// route it to their log once they exist.
using FailureReporter = void (*)(const char* where, const char* what);
ORVEL_API void SetFailureReporter(FailureReporter reporter);
ORVEL_API void ReportFailure(const char* where, const char* what) noexcept;

// The child window that caused a parent notification, or null.
ORVEL_API HWND NotificationSource(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImplBaseT : public TBase {
public:
    CWindowImplBaseT() : TBase(nullptr) {}
    CWindowImplBaseT(const CWindowImplBaseT& other) = default;
    CWindowImplBaseT& operator=(const CWindowImplBaseT& other) = default;

    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result, DWORD mapId = 0) = 0;
    virtual ~CWindowImplBaseT()
    {
        // Never leave a subclass or a marker pointing at a deleted object.
        if (m_bSubclassed && ::IsWindow(this->m_hWnd)) {
            ::RemoveWindowSubclass(this->m_hWnd, &CWindowImplBaseT::SubclassProc, SubclassId());
            ForgetMarker(this->m_hWnd);
        }
    }
    virtual SUBCLASSPROC GetWindowProc() { return &CWindowImplBaseT::SubclassProc; }
    virtual void OnFinalMessage(HWND) {}

    BOOL SubclassWindow(HWND hWnd)
    {
        if (this->m_hWnd || !::IsWindow(hWnd) ||
            ::GetWindowThreadProcessId(hWnd, nullptr) != ::GetCurrentThreadId())
            return FALSE;
        this->m_hWnd = hWnd;
        if (!::SetWindowSubclass(hWnd, GetWindowProc(), SubclassId(), reinterpret_cast<DWORD_PTR>(this))) {
            this->m_hWnd = nullptr;
            return FALSE;
        }
        m_bSubclassed = true;
        return TRUE;
    }

    HWND UnsubclassWindow()
    {
        HWND hWnd = this->m_hWnd;
        if (m_bSubclassed && hWnd) {
            ::RemoveWindowSubclass(hWnd, GetWindowProc(), SubclassId());
            ForgetMarker(hWnd);
        }
        m_bSubclassed = false;
        this->m_hWnd = nullptr;
        return hWnd;
    }

    // Creates a window of a plain class and subclasses it (for classes that
    // own their window; styled controls attach to existing ones instead).
    HWND Create(HWND parent, const RECT& rect, const wchar_t* name = nullptr, DWORD style = 0,
                DWORD exStyle = 0, UINT id = 0)
    {
        static const wchar_t* const kClass = L"OrvelWindowObject";
        WNDCLASSEXW wc = {sizeof wc};
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        if (!::GetClassInfoExW(instance, kClass, &wc)) {
            wc = {sizeof wc};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = instance;
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = kClass;
            ::RegisterClassExW(&wc);
        }
        HWND hWnd = ::CreateWindowExW(TWinTraits::GetWndExStyle(exStyle), kClass, name,
                                      TWinTraits::GetWndStyle(style), rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
        if (hWnd && !SubclassWindow(hWnd)) {
            ::DestroyWindow(hWnd);
            hWnd = nullptr;
        }
        return hWnd;
    }

    // Default processing of the message being handled, or of another one.
    LRESULT DefWindowProc()
    {
        return m_pCurrentMsg ? ::DefSubclassProc(this->m_hWnd, m_pCurrentMsg->message,
                                                 m_pCurrentMsg->wParam, m_pCurrentMsg->lParam)
                             : 0;
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::DefSubclassProc(this->m_hWnd, message, wParam, lParam);
    }
    const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

    // Sends a parent notification back to the child that caused it.
    BOOL ReflectNotifications(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        HWND child = NotificationSource(this->m_hWnd, message, wParam, lParam);
        if (!child || !::IsWindow(child))
            return FALSE;
        result = ::SendMessageW(child, kReflectedMessageBase + message, wParam, lParam);
        return TRUE;
    }

protected:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data)
    {
        auto* self = reinterpret_cast<CWindowImplBaseT*>(data);
        MSG current = {hWnd, message, wParam, lParam, 0, {0, 0}};
        const MSG* outer = self->m_pCurrentMsg;
        self->m_pCurrentMsg = &current;
        LRESULT result = 0;
        BOOL handled = FALSE;
        try {
            handled = self->ProcessWindowMessage(hWnd, message, wParam, lParam, result, 0);
        } catch (const std::exception& failure) {
            ReportFailure("window procedure", failure.what());
            handled = FALSE;
        } catch (...) {
            ReportFailure("window procedure", "unknown exception");
            handled = FALSE;
        }
        if (!handled)
            result = ::DefSubclassProc(hWnd, message, wParam, lParam);
        self->m_pCurrentMsg = outer;

        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hWnd, &CWindowImplBaseT::SubclassProc, id);
            self->ForgetMarker(hWnd);
            self->m_bSubclassed = false;
            self->m_bDestroyed = true;
        }
        // The last message ends the object's tie to the window; a nested
        // call leaves that to the outermost one.
        if (self->m_bDestroyed && !outer) {
            self->m_bDestroyed = false;
            HWND gone = self->m_hWnd;
            self->m_hWnd = nullptr;
            self->OnFinalMessage(gone);  // may delete self
        }
        return result;
    }

    UINT_PTR SubclassId() const { return reinterpret_cast<UINT_PTR>(this); }
    // Removes the window's mark of this object's class, if it is this object's.
    void ForgetMarker(HWND hWnd)
    {
        if (m_pszMarker && ::GetPropW(hWnd, m_pszMarker) == this)
            ::RemovePropW(hWnd, m_pszMarker);
        m_pszMarker = nullptr;
    }

    const MSG* m_pCurrentMsg = nullptr;
    const wchar_t* m_pszMarker = nullptr;
    bool m_bSubclassed = false;
    bool m_bDestroyed = false;
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits> {
public:
    using ImplBase = CWindowImplBaseT<TBase, TWinTraits>;

    // Objects stack on a window; SubclassWindowOnce keeps to one object of
    // T per window: the window carries a mark of T while that object is
    // attached, a second one is refused and ExistingObject finds the first.
    BOOL SubclassWindowOnce(HWND hWnd)
    {
        if (!hWnd || ::GetPropW(hWnd, Marker()) || !ImplBase::SubclassWindow(hWnd))
            return FALSE;
        if (::SetPropW(hWnd, Marker(), static_cast<ImplBase*>(this)))
            this->m_pszMarker = Marker();
        return TRUE;
    }

    // The object of T attached to the window, or null.
    static T* ExistingObject(HWND hWnd)
    {
        auto* object = hWnd ? static_cast<ImplBase*>(::GetPropW(hWnd, Marker())) : nullptr;
        return object ? static_cast<T*>(object) : nullptr;
    }

private:
    // A property name of T's own: every module builds the same text.
    static const wchar_t* Marker()
    {
        static const std::wstring name = [] {
            std::wstring text = L"Orvel.Object.";
            for (const char* c = typeid(T).name(); *c; ++c)
                text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
            return text;
        }();
        return name.c_str();
    }
};

}  // namespace Base
