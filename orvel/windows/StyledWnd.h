#pragma once
// The base of every styled window: it subclasses an existing window, hosts
// a glyph tree as its vessel, tracks mouse enter and leave, and deletes
// itself after its window's last message.
#include <windows.h>
#include <new>
#include <utility>
#include "../base/Export.h"
#include "../base/GdiHandles.h"
#include "../base/WindowImpl.h"
#include "../glyph/Glyph.h"
#include "Messages.h"

namespace Images {

// Off-screen painting of a window's client area: draw into it, then Show()
// copies the update rectangle to the screen between BeginPaint and EndPaint.
// It starts with what the parent shows under the window, never with the
// window's own screen content, which may hold the native control's drawing.
class ORVEL_API CMemDC {
public:
    // ButtonFace: for a look that covers the whole client area, over a
    // parent whose painting must not run (a list view paints its header).
    enum EStart { ParentBackground, ButtonFace };
    CMemDC(HWND window, bool copyBackground);
    CMemDC(HWND window, EStart start);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    HDC GetDC() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const RECT& GetRect() const { return m_rcClient; }
    void Show();
    // Copies the whole buffer to the window at once, outside WM_PAINT (for a
    // control whose native procedure has just drawn over it).
    void ShowNow();

    // One of the kept buffers, or the buffer's own bitmap.
    struct SBuffer;
    // Frees the kept buffers (the library's unload; none may be in use).
    static void ReleaseKeptBuffers();

private:
    HWND m_hWindow;
    RECT m_rcClient = {};
    SBuffer* m_pBuffer = nullptr;
    Base::CBitmapDC m_own;
    HDC m_dc = nullptr;
    int m_nSaved = 0;
};

}  // namespace Images

namespace Windows {

// Live styled objects of the process; tests read it to prove that no
// object outlives its window.
ORVEL_API long& LiveStyledObjects();

// Paints, into dc (a device context over window's client area), what the
// parent shows under the window: the parent's erase and client painting,
// over the button face for a parent that paints nothing.
ORVEL_API void PaintParentBackground(HWND window, HDC dc);

// True when the current pack gives the element kind a look: a painter with
// a background or a foreground. Without one a styled control paints natively.
ORVEL_API bool HasPainterLook(int painterType) noexcept;

// The visual state the parts of a disabled control take: the fourth look of
// their strips (normal, hot, pressed, disabled).
constexpr INT64 kVisualDisabled = 3;

// A glyph of no size of its own that covers its vessel's whole client
// area: a styled window that paints without a glyph tree holds one, so the
// style manager's repaint after a pack switch reaches it as well.
class ORVEL_API CRepaintOnSwitch : public Glyph::CGlyph {
public:
    CRepaintOnSwitch() { m_rcRegion = Glyph::CRect(0, 0, 0x7FFF, 0x7FFF); }
    Glyph::CSize CalcSize(HDC, int, int, bool) override { return Glyph::CSize(0, 0); }
    void Draw(HDC, const RECT*) override {}
};

// Posts the enter/leave notification of a styled control to its parent.
ORVEL_API void PostMouseNotify(HWND control, bool leave);

template <class T, class TBase = Base::CWindow>
class CStyledWndImpl : public Base::CWindowImpl<T, TBase, Base::CWinTraits<kStyledWindowStyle, 0>>,
                       public Glyph::IGlyphVessel {
public:
    using WindowBase = Base::CWindowImpl<T, TBase, Base::CWinTraits<kStyledWindowStyle, 0>>;

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

    // Nonzero on success. On failure the object has deleted itself. Once:
    // refused where an object of T is already attached that way.
    int SubclassWindow(HWND hWnd, bool once = false)
    {
        if (!(once ? WindowBase::SubclassWindowOnce(hWnd) : WindowBase::SubclassWindow(hWnd))) {
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

    // Whether the current pack has this window's look; the concrete class
    // names its element kind. Without a look the native control paints.
    bool HasLook() const { return true; }

    // Default processing of a message on which the native control may paint
    // straight to the screen, then our look painted over it at once. The
    // native control and the dialog manager see nothing changed (hiding the
    // window instead would take it out of group and tab walks).
    LRESULT DefaultThenRepaint()
    {
        LRESULT result = this->DefWindowProc();
        RepaintNow();
        return result;
    }
    // True for a painting message the native control must take because the
    // pack has no look for this window.
    bool PaintsNatively(UINT message) const
    {
        switch (message) {
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_NCPAINT:
        case WM_PRINTCLIENT:
            return !static_cast<const T*>(this)->HasLook();
        default:
            return false;
        }
    }
    BOOL DefaultThenRepaintIf(bool nativePaints, LRESULT& result)
    {
        if (!nativePaints)
            return FALSE;
        result = DefaultThenRepaint();
        return TRUE;
    }
    void RepaintNow()
    {
        HWND window = this->m_hWnd;
        if (::IsWindow(window) && ::IsWindowVisible(window) && static_cast<T*>(this)->HasLook())
            ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    }
};

// Makes a styled object of a kind and attaches it to window: the one way
// every Enable operation creates one. Null when either fails; the object
// has then deleted itself. A window already styled by an object of the
// kind keeps it: styling a dialog twice neither paints twice nor widens a
// frame twice.
template <class TStyled, class... TArgs>
TStyled* AttachStyled(HWND window, TArgs&&... args)
{
    if (TStyled* existing = TStyled::ExistingObject(window))
        return existing;
    auto* styled = new (std::nothrow) TStyled(std::forward<TArgs>(args)...);
    return styled && styled->SubclassWindow(window, true) ? styled : nullptr;
}

// Sends the notifications of a parent back to the child controls that
// caused them, so styled children receive their own notifications.
class ORVEL_API CControlContainer : public CStyledWndImpl<CControlContainer> {
public:
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
};

}  // namespace Windows
