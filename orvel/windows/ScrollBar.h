#pragma once
// Styled scroll bars: the bar glyphs with their five parts, the styled
// scroll-bar control, and the window that paints styled bars over its own
// native non-client bars.
#include <windows.h>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {
namespace ScrollBarImpl {

// The values index the scroll actions of a pressed part.
enum PartCode {
    PartFirstArrow = 0,
    PartLowerTrack = 1,
    PartThumb = 2,
    PartUpperTrack = 3,
    PartLastArrow = 4,
    PartNone = 5,
};

// A record for GetScrollInfo / SetScrollInfo with only the mask set.
inline SCROLLINFO MakeScrollInfo(UINT mask)
{
    SCROLLINFO info = {sizeof info, mask, 0, 0, 0, 0, 0};
    return info;
}

// The scroll code a pressed arrow or track sends; -1 for the thumb and none.
ORVEL_API int ScrollCodeOfPart(int part);

// An arrow button. Its painter state is its direction (0 up, 4 down, 8 left,
// 12 right: the first of that direction's four images) plus the visual state.
class ORVEL_API CArrowGlyph : public Glyph::CStyledImageGlyph {
public:
    explicit CArrowGlyph(int direction);

    void SetState(INT64 state, bool redraw) override;
    int GetDirection() const { return m_nDirection; }

protected:
    int m_nDirection;
};

template <bool bVert>
class ORVEL_API CRipperGlyph : public Glyph::CStyledImageGlyph {
public:
    CRipperGlyph();
};

// The thumb draws its gripper over itself and hands it its state.
template <bool bVert>
class ORVEL_API CThumbGlyph : public Glyph::CStyledImageGlyph {
public:
    CThumbGlyph();

    void SetRegion(HDC dc, const Glyph::CRect& rect) override;
    void Draw(HDC dc, const RECT* clip) override;
    void SetVessel(Glyph::IGlyphVessel* vessel) override;
    void SetState(INT64 state, bool redraw) override;

    CRipperGlyph<bVert>& GetGripper() { return m_gripper; }

protected:
    CRipperGlyph<bVert> m_gripper;
};

extern template class ORVEL_API CRipperGlyph<false>;
extern template class ORVEL_API CRipperGlyph<true>;
extern template class ORVEL_API CThumbGlyph<false>;
extern template class ORVEL_API CThumbGlyph<true>;

// A bar: scroll information and the geometry of its thumb. Positions are
// stored as given; the thumb is placed from them.
class ORVEL_API CScrollBarGlyph : public Glyph::CCompose {
public:
    CScrollBarGlyph();

    // Bar length less both arrows.
    virtual int get_m_nScrollLen() = 0;
    virtual int get_m_nThumbLength();
    // From the bar's start edge, the first arrow included.
    virtual int get_m_nThumbPosition();
    // The first arrow's extent along the bar.
    virtual int GetArrowSize() = 0;
    virtual int GetCurrentThumbPos();
    // PartNone for anything that is not one of the five parts.
    virtual int GetGlyphPartCode(Glyph::CGlyph* part);
    // Every part takes the state; the arrows add their direction.
    virtual void SetState(INT64 state, bool redraw);
    // The part glyph of a part code; null for PartNone.
    virtual Glyph::CStyledGlyph* GetPart(int part) = 0;

    BOOL GetScrollInfo(SCROLLINFO& info) const;
    BOOL SetScrollInfo(const SCROLLINFO& info, int redraw);
    int GetPos() const { return m_si.nPos; }
    // Clamped to the range; returns the new position.
    int SetPos(int pos, int redraw);
    BOOL GetRange(int& minimum, int& maximum) const;
    // 0 when neither end changed.
    BOOL SetRange(int minimum, int maximum, int redraw);
    // The highest position a full page can start at.
    int GetMaxPos() const;
    BOOL ShouldScrollBarShow() const;
    // Offset from the end of the first arrow, and length.
    void CalcThumbPosition(int& offset, int& length);
    // The position a thumb starting at t (from the bar's start edge) shows.
    int CalcPosBaseOnThumbPos(int t);
    // Hides the bar when there is nothing to scroll, else shows it and
    // places the parts again.
    void AdjustLayout();

protected:
    // Places the five parts (in part-code order) along the bar. A vertical
    // bar hides a track without room and gives the last arrow one pixel more.
    void LayoutParts(HDC dc, const Glyph::CRect& rect, bool vertical);

    SCROLLINFO m_si;
};

class ORVEL_API CHorzScrollBarGlyph : public CScrollBarGlyph {
public:
    CHorzScrollBarGlyph();
    ~CHorzScrollBarGlyph() override;

    Glyph::CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;
    int get_m_nScrollLen() override;
    int GetArrowSize() override;
    Glyph::CStyledGlyph* GetPart(int part) override;

protected:
    CArrowGlyph m_leftArrow;
    Glyph::CStyledImageGlyph m_lowerTrack;
    CThumbGlyph<false> m_thumb;
    Glyph::CStyledImageGlyph m_upperTrack;
    CArrowGlyph m_rightArrow;
};

// As the horizontal bar along y; the tracks hide when they have no room
// and the down arrow is one pixel taller than the up arrow.
class ORVEL_API CVertScrollBarGlyph : public CScrollBarGlyph {
public:
    CVertScrollBarGlyph();
    ~CVertScrollBarGlyph() override;

    Glyph::CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;
    int get_m_nScrollLen() override;
    int GetArrowSize() override;
    Glyph::CStyledGlyph* GetPart(int part) override;

protected:
    CArrowGlyph m_upArrow;
    Glyph::CStyledImageGlyph m_lowerTrack;
    CThumbGlyph<true> m_thumb;
    Glyph::CStyledImageGlyph m_upperTrack;
    CArrowGlyph m_downArrow;
};

}  // namespace ScrollBarImpl

// The styled scroll-bar control. The native control keeps the scroll
// information; this object paints it, tracks the mouse itself and sends
// the scroll notifications to the parent.
class ORVEL_API CScrollBar : public CStyledWndImpl<CScrollBar, Base::CScrollBarT<>> {
public:
    static constexpr UINT_PTR kTimerId = 256;
    static constexpr UINT kFirstDelay = 200;
    static constexpr UINT kRepeatDelay = 50;

    CScrollBar() = default;
    ~CScrollBar() override;
    CScrollBar(const CScrollBar&) = delete;
    CScrollBar& operator=(const CScrollBar&) = delete;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    ScrollBarImpl::CScrollBarGlyph* GetBarGlyph() const { return m_pScrollBar; }
    int GetPressedPart() const { return m_nPressedPart; }
    Glyph::CGlyph* GetHotPart() const { return m_pHotPart; }

protected:
    void Init();
    // Reads the native state when info is null.
    void Synchronize(const SCROLLINFO* info, bool redraw);
    void ScrollAction();
    void Notify(int code, int pos);
    // Cursor movement along the bar since the press.
    int CursorTravel() const;
    void SetHotState(Glyph::CGlyph* part, INT64 state);
    void EndTracking();
    // The part under a client point packed as in a mouse message.
    Glyph::CGlyph* PartAt(LPARAM point) const;
    // The old hot part back to normal, then part is the hot one.
    void ChangeHotPart(Glyph::CGlyph* part);
    LRESULT SynchronizeThenDefault(bool synchronize);
    // Every part in its normal or its disabled look.
    void ShowEnabled(bool enabled, bool redraw);

    LRESULT OnCreate();
    LRESULT OnPaint(HWND hWnd);
    LRESULT OnSetScrollState();
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnMouseLeave();
    // Leaves result alone when the notification destroyed the window.
    void OnLButtonDown(HWND hWnd, LPARAM lParam, LRESULT& result);
    LRESULT OnTimer(HWND hWnd);
    LRESULT OnLButtonUp(HWND hWnd);
    void OnCaptureChanged(HWND hWnd, HWND newCapture);

    ScrollBarImpl::CScrollBarGlyph* m_pScrollBar = nullptr;
    bool m_bVert = false;
    int m_nPressedPart = ScrollBarImpl::PartNone;
    POINT m_ptPress = {0, 0};
    int m_nThumbPosAtPress = 0;
    bool m_bCapturing = false;
    Glyph::CGlyph* m_pHotPart = nullptr;
};

// Paints styled bars over a window's native non-client scroll bars; the
// native bars keep their input.
class ORVEL_API CScrollWnd : public CStyledWndImpl<CScrollWnd> {
public:
    CScrollWnd() = default;
    ~CScrollWnd() override;
    CScrollWnd(const CScrollWnd&) = delete;
    CScrollWnd& operator=(const CScrollWnd&) = delete;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    ScrollBarImpl::CHorzScrollBarGlyph* GetHorzBar() const { return m_pHorzScrollBar; }
    ScrollBarImpl::CVertScrollBarGlyph* GetVertBar() const { return m_pVertScrollBar; }

protected:
    // Places the bars where the native ones are, with their current state.
    void Layout();

    ScrollBarImpl::CHorzScrollBarGlyph* m_pHorzScrollBar = nullptr;
    ScrollBarImpl::CVertScrollBarGlyph* m_pVertScrollBar = nullptr;
};

}  // namespace Windows
