#pragma once
// The base of every styled window: it subclasses an existing window, hosts
// a glyph tree as its vessel, tracks mouse enter and leave, and deletes
// itself after its window's last message.
#include <windows.h>
#include "../base/Export.h"
#include "../base/WindowImpl.h"
#include "../glyph/Glyph.h"

namespace Images {

// Off-screen painting of a window's client area: draw into it, then Show()
// copies the update rectangle to the screen between BeginPaint and EndPaint.
class ORVEL_API CMemDC {
public:
    CMemDC(HWND window, bool copyBackground);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    HDC GetDC() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const RECT& GetRect() const { return m_rect; }
    void Show();

private:
    HWND m_window;
    RECT m_rect = {};
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

}  // namespace Images

namespace Windows {

// Live styled objects of the process; tests read it to prove that no
// object outlives its window.
ORVEL_API long& LiveStyledObjects();

// Hides a window (WS_VISIBLE off, without notifications) while the native
// procedure runs a message that would make it paint; restores the bit on
// every path out, and only if it was set.
class CNoPaintGuard {
public:
    explicit CNoPaintGuard(HWND window) : m_window(window)
    {
        LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
        m_wasVisible = (style & WS_VISIBLE) != 0;
        if (m_wasVisible)
            ::SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    }
    ~CNoPaintGuard()
    {
        if (m_wasVisible && ::IsWindow(m_window))
            ::SetWindowLongPtrW(m_window, GWL_STYLE,
                                ::GetWindowLongPtrW(m_window, GWL_STYLE) | WS_VISIBLE);
    }
    CNoPaintGuard(const CNoPaintGuard&) = delete;
    CNoPaintGuard& operator=(const CNoPaintGuard&) = delete;

private:
    HWND m_window;
    bool m_wasVisible;
};

// Posts the enter/leave notification of a styled control to its parent.
ORVEL_API void PostMouseNotify(HWND control, bool leave);

template <class T, class TBase = Base::CWindow>
class CStyledWndImpl : public Base::CWindowImpl<T, TBase, Base::CWinTraits<0x56000000, 0>>,
                       public Glyph::IGlyphVessel {
public:
    using WindowBase = Base::CWindowImpl<T, TBase, Base::CWinTraits<0x56000000, 0>>;

    CStyledWndImpl() { ++LiveStyledObjects(); }
    CStyledWndImpl(const CStyledWndImpl& other)
        : WindowBase(other), Glyph::IGlyphVessel(other), m_bAutoDelete(other.m_bAutoDelete),
          m_bMouseTracking(other.m_bMouseTracking)
    {
        ++LiveStyledObjects();
    }
    CStyledWndImpl& operator=(const CStyledWndImpl& other)
    {
        WindowBase::operator=(other);
        m_bAutoDelete = other.m_bAutoDelete;
        m_bMouseTracking = other.m_bMouseTracking;
        return *this;
    }
    ~CStyledWndImpl() override { --LiveStyledObjects(); }

    // Nonzero on success. On failure the object has deleted itself.
    int SubclassWindow(HWND hWnd)
    {
        if (!WindowBase::SubclassWindow(hWnd)) {
            delete this;
            return 0;
        }
        static_cast<T*>(this)->OnSubclassed();
        return 1;
    }

    void OnFinalMessage(HWND) override
    {
        if (m_bAutoDelete)
            delete this;
    }

    void EnableMouseLeaveMsg()
    {
        if (m_bMouseTracking)
            return;
        PostEnterMessage();
        m_bMouseTracking = true;
        TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, this->m_hWnd, HOVER_DEFAULT};
        ::_TrackMouseEvent(&track);
    }
    void PostMouseLeave()
    {
        m_bMouseTracking = false;
        PostLeaveMessage();
    }

    // Vessel of the glyph tree.
    void InvalidateVesselRect(const RECT* rect) override
    {
        if (::IsWindowVisible(this->m_hWnd))
            ::InvalidateRect(this->m_hWnd, rect, FALSE);
    }
    void RedrawVesselRect(const RECT* rect) override
    {
        if (::IsWindowVisible(this->m_hWnd))
            ::RedrawWindow(this->m_hWnd, rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    void SetVesselCursor(HICON cursor) override { ::SetCursor(cursor); }
    HDC GetVesselDC() override { return ::GetDC(this->m_hWnd); }
    void ReleaseVesselDC(HDC dc) override { ::ReleaseDC(this->m_hWnd, dc); }
    void AdjustVesselLayout() override {}

    bool m_bAutoDelete = true;
    bool m_bMouseTracking = false;

protected:
    // Post-subclass set-up of the concrete class (reads styles, builds glyphs).
    void OnSubclassed() {}

    void PostEnterMessage() { PostMouseNotify(this->m_hWnd, false); }
    void PostLeaveMessage() { PostMouseNotify(this->m_hWnd, true); }

    // Default processing of the current message with the native control's
    // own painting kept off the screen.
    LRESULT DefaultWithoutPainting()
    {
        CNoPaintGuard guard(this->m_hWnd);
        return this->DefWindowProc();
    }
};

// Sends the notifications of a parent back to the child controls that
// caused them, so styled children receive their own notifications.
class ORVEL_API CControlContainer : public CStyledWndImpl<CControlContainer> {
public:
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
};

}  // namespace Windows
