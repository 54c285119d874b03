#pragma once
// Flat scroll bars: styled bars that take the place of a window's own
// non-client scroll bars. The native side keeps the scroll state and the
// scrolling; this object takes the bar space, paints, hit-tests and tracks
// the mouse, and sends WM_HSCROLL / WM_VSCROLL to the window itself.
//
// An owner (a window object over CWindowImplBaseT) holds a
// CWindowWithFlatScrollBarImpl<Owner> member built with `this`, offers
// every message to it first:
//
//     if (m_flat.ProcessWindowMessage(hWnd, message, wParam, lParam, result))
//         return TRUE;
//
// and calls m_flat.OnOwnerSubclassed() once its window is attached. After
// anything that changes scrolling without a scroll message it posts
// kMsgScrollBarUpdate (or calls PostScrollBarUpdate).
#include <windows.h>
#include <vector>
#include "Messages.h"
#include "ScrollBar.h"

namespace Windows {
namespace ScrollBarImpl {

// Everything of the flat bars that does not depend on the owner's type.
class ORVEL_API CFlatScrollBarCore : public Glyph::IGlyphVessel {
public:
    static constexpr UINT_PTR kTimerId = 256;
    static constexpr UINT kFirstDelay = 200;
    static constexpr UINT kRepeatDelay = 50;

    // The corner between two bars; its image shows only as a sizing grip.
    class ORVEL_API CSizeBox : public Glyph::CStyledImageGlyph {
    public:
        CSizeBox();
        void DrawContent(HDC dc, const RECT* clip) override;

        bool m_bSizingGrip;
    };

    CFlatScrollBarCore();
    virtual ~CFlatScrollBarCore();
    CFlatScrollBarCore(const CFlatScrollBarCore&) = delete;
    CFlatScrollBarCore& operator=(const CFlatScrollBarCore&) = delete;

    // The owner's map offers every message here first. Declines a message
    // that this object is itself passing down to the owner.
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0);

    // Once the owner is attached: takes the sizing-grip look from the
    // window's style, reads both bars and recalculates the frame.
    void OnOwnerSubclassed();
    // bars: 0 horizontal, 1 vertical, 3 both. Recalculates the frame when a
    // bar appeared or vanished.
    void SynchronizeScrollBars(int bars, UINT mask);
    void PostScrollBarUpdate(int bars = 3, UINT mask = SIF_ALL);
    // Paints the visible bars and the size box on the window DC, clipped to
    // a non-client update region (screen coordinates) unless it is null or 1.
    void RepaintScrollBars(HRGN region = nullptr);

    CHorzScrollBarGlyph& GetHorzBar() { return m_horzBar; }
    CVertScrollBarGlyph& GetVertBar() { return m_vertBar; }
    CSizeBox& GetSizeBox() { return m_sizeBox; }
    int GetPressedPart() const { return m_nPressedPart; }
    Glyph::CGlyph* GetHotPart() const { return m_pHotPart; }

    // Heights and widths of the bars, read again by every new object.
    static int HorzBarHeight();
    static int VertBarWidth();

    // Vessel of the bar glyphs: every request repaints the bars.
    void InvalidateVesselRect(const RECT* rect) override;
    void RedrawVesselRect(const RECT* rect) override;
    void SetVesselCursor(HICON cursor) override;
    HDC GetVesselDC() override;
    void ReleaseVesselDC(HDC dc) override;
    void AdjustVesselLayout() override;

protected:
    virtual HWND GetOwnerWindow() const = 0;
    // The owner's whole map and, if nothing handles it, its default
    // procedure.
    virtual LRESULT DispatchToOwner(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    LRESULT Redispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // True when the bar appeared or vanished.
    bool SynchronizeBar(bool vert, UINT mask);
    void RecalcFrame(UINT extraFlags);

    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    void OnNcMouseMove(WPARAM hitCode, LPARAM lParam);
    void SetHot(Glyph::CGlyph* part, INT64 state);
    // The hot part back to normal, and none hot.
    void ClearHot();
    // Both bars in their normal or their disabled look, as the owner is.
    void ShowEnabled(bool enabled);
    // Leaves the message to the owner.
    BOOL Decline();

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcMouseLeave();
    BOOL OnNcLButtonDown(HWND hWnd, WPARAM hitCode, LPARAM lParam, LRESULT& result);
    BOOL OnSysCommand(WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnScroll(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(HWND hWnd, WPARAM key, LPARAM lParam);
    LRESULT OnWindowPosChanged(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnScrollBarUpdate(HWND hWnd, WPARAM bars, LPARAM mask);

    // The modal loop of a press on a bar, from its WM_SYSCOMMAND.
    void TrackLoop(bool vert, POINT screenPoint);
    void TrackStep(UINT message, POINT screenPoint);
    void EndTrack();
    void SendScroll(int code, int pos);
    POINT ToWindow(POINT screenPoint) const;
    int AlongBar(POINT windowPoint);
    CScrollBarGlyph& TrackedBar();

    BOOL m_bHandled = FALSE;
    Glyph::CGlyph* m_pHotPart = nullptr;
    bool m_bNcTrackRequested = false;
    std::vector<UINT> m_redispatch;
    CHorzScrollBarGlyph m_horzBar;
    CVertScrollBarGlyph m_vertBar;
    CSizeBox m_sizeBox;

    int m_nPressedPart = PartNone;
    int m_nVert = 0;
    int m_nPressOffset = 0;
    int m_nLastOffset = 0;
    int m_nThumbPosAtPress = 0;
    POINT m_ptLast = {0, 0};
    int m_nLastTrackPos = 0;
    bool m_bTracking = false;
    bool m_bShownDisabled = false;
};

}  // namespace ScrollBarImpl

// The flat bars of an owner T: T has m_hWnd, ProcessWindowMessage and
// DefWindowProc(message, wParam, lParam), as every window object does.
template <class T>
class CWindowWithFlatScrollBarImpl : public ScrollBarImpl::CFlatScrollBarCore {
public:
    using CSizeBox = ScrollBarImpl::CFlatScrollBarCore::CSizeBox;

    explicit CWindowWithFlatScrollBarImpl(T* owner) : m_pOwner(owner) {}

protected:
    HWND GetOwnerWindow() const override { return m_pOwner ? static_cast<HWND>(m_pOwner->m_hWnd) : nullptr; }
    LRESULT DispatchToOwner(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (!m_pOwner->ProcessWindowMessage(m_pOwner->m_hWnd, message, wParam, lParam, result, 0))
            result = m_pOwner->DefWindowProc(message, wParam, lParam);
        return result;
    }

    T* m_pOwner;
};

}  // namespace Windows
