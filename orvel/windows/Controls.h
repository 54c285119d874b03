#pragma once
// Styled statics, progress bars, spin buttons, track bars and tab controls.
// The native control keeps its logic (ranges, positions, selection,
// notifications); these objects mirror just enough of its state into glyphs
// to paint it from the style.
#include <string>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

// ------------------------------------------------------------------ static

namespace StaticImpl {

// The text of a text static; its state is the alignment (0 left, 1 centre,
// 2 right), so the painter chooses the alignment by state.
class ORVEL_API CContent : public Glyph::CStyledTextGlyph {
public:
    explicit CContent(const std::wstring& text);
};

}  // namespace StaticImpl

class ORVEL_API CStatic : public CStyledWndImpl<CStatic, Base::CStaticT<>> {
public:
    CStatic() = default;
    ~CStatic() override;
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    // Makes this a picture static showing the style's bitmap of that name.
    void SetPictureName(const wchar_t* name);
    // Shows the current style's bitmap and places the static where the
    // style's "BitmapPosition" section says.
    void ReloadPicture();

    StaticImpl::CContent* GetContent() const { return m_pContent; }
    const std::wstring& GetPictureName() const { return m_strPictureName; }
    bool HasLook() const;

protected:
    void Layout(int width, int height);
    void OnPaint();
    std::wstring ShownText(const wchar_t* text) const;
    void ReleasePicture();

    StaticImpl::CContent* m_pContent = nullptr;
    std::wstring m_strPictureName;
    HBITMAP m_hPicture = nullptr;  // the style bitmap the static shows; ours
};

// ------------------------------------------------------------ progress bar

namespace ProgressBarImpl {

class ORVEL_API CProgressBarGlyph : public Glyph::CStyledImageGlyph {
public:
    explicit CProgressBarGlyph(bool horizontal);

    void SetVessel(Glyph::IGlyphVessel* vessel) override;
    void Draw(HDC dc, const RECT* clip) override;
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;

    // Places the chunk for the position; the bar is not repainted.
    void LayoutChunk();
    // The chunk's length before the margins: -1 for an empty range.
    INT64 ChunkLength() const;

    bool IsHorizontal() const { return m_bHorizontal; }
    Glyph::CStyledImageGlyph& GetChunk() { return m_chunk; }

    INT64 m_nMin = 0;
    INT64 m_nMax = 100;
    INT64 m_nPos = 0;
    INT64 m_nStep = 1;

private:
    bool m_bHorizontal;
    Glyph::CStyledImageGlyph m_chunk;
};

}  // namespace ProgressBarImpl

class ORVEL_API CProgressBar : public CStyledWndImpl<CProgressBar, Base::CProgressBarCtrlT<>> {
public:
    CProgressBar() = default;
    ~CProgressBar() override;
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    ProgressBarImpl::CProgressBarGlyph* GetGlyph() const { return m_pGlyph; }

protected:
    void PaintNow();
    // The native control clamps and wraps its position; the bar follows it.
    void FollowNativePosition();

    ProgressBarImpl::CProgressBarGlyph* m_pGlyph = nullptr;
};

// ------------------------------------------------------------- spin button

namespace SpinButtonImpl {

template <int PainterType>
class CSpinArrowGlyph : public Glyph::CStyledImageGlyph {
public:
    CSpinArrowGlyph() : Glyph::CStyledImageGlyph(PainterType) {}
};

// Two arrows over the control: the first child is the down (left) arrow,
// the second the up (right) arrow; each takes half, rounded down.
class ORVEL_API CSpinGlyph : public Glyph::CCompose {
public:
    CSpinGlyph(bool horizontal, Glyph::CStyledImageGlyph& down, Glyph::CStyledImageGlyph& up);
    ~CSpinGlyph() override;

    Glyph::CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;

    // The arrow under the point, or null.
    Glyph::CStyledImageGlyph* ArrowAt(Glyph::CPoint point);
    Glyph::CStyledImageGlyph& GetDown() { return m_down; }
    Glyph::CStyledImageGlyph& GetUp() { return m_up; }

protected:
    // Called by the derived class once its arrows are constructed.
    void AppendArrows();

private:
    bool m_bHorizontal;
    Glyph::CStyledImageGlyph& m_down;
    Glyph::CStyledImageGlyph& m_up;
};

class ORVEL_API CSpinVertGlyph : public CSpinGlyph {
public:
    CSpinVertGlyph() : CSpinGlyph(false, m_downArrow, m_upArrow) { AppendArrows(); }

private:
    CSpinArrowGlyph<Style::CStyle::SpinDown> m_downArrow;
    CSpinArrowGlyph<Style::CStyle::SpinUp> m_upArrow;
};

class ORVEL_API CSpinHorzGlyph : public CSpinGlyph {
public:
    CSpinHorzGlyph() : CSpinGlyph(true, m_downArrow, m_upArrow) { AppendArrows(); }

private:
    CSpinArrowGlyph<Style::CStyle::SpinDownHorz> m_downArrow;
    CSpinArrowGlyph<Style::CStyle::SpinUpHorz> m_upArrow;
};

}  // namespace SpinButtonImpl

class ORVEL_API CSpinButton : public CStyledWndImpl<CSpinButton, Base::CUpDownCtrlT<>> {
public:
    CSpinButton() = default;
    ~CSpinButton() override;
    CSpinButton(const CSpinButton&) = delete;
    CSpinButton& operator=(const CSpinButton&) = delete;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    SpinButtonImpl::CSpinGlyph* GetGlyph() const { return m_pGlyph; }
    Glyph::CStyledImageGlyph* GetHotArrow() const { return m_pHotArrow; }

protected:
    void Layout(int width, int height);

    SpinButtonImpl::CSpinGlyph* m_pGlyph = nullptr;
    Glyph::CStyledImageGlyph* m_pHotArrow = nullptr;
};

// --------------------------------------------------------------- track bar

namespace TrackBarImpl {

// The channel; it draws the background first and the thumb last.
class ORVEL_API CTrackBarGlyph : public Glyph::CStyledImageGlyph {
public:
    explicit CTrackBarGlyph(bool horizontal);

    void SetVessel(Glyph::IGlyphVessel* vessel) override;
    void Draw(HDC dc, const RECT* clip) override;
    // The thumb or the channel under the point, or null.
    Glyph::CStyledImageGlyph* PartAt(Glyph::CPoint point);

    bool IsHorizontal() const { return m_bHorizontal; }
    Glyph::CStyledImageGlyph& GetThumb() { return m_thumb; }
    Glyph::CStyledImageGlyph& GetBackground() { return m_background; }

private:
    bool m_bHorizontal;
    Glyph::CStyledImageGlyph m_thumb;
    Glyph::CStyledImageGlyph m_background;
};

}  // namespace TrackBarImpl

class ORVEL_API CTrackBar : public CStyledWndImpl<CTrackBar, Base::CTrackBarCtrlT<>> {
public:
    CTrackBar() = default;
    ~CTrackBar() override;
    CTrackBar(const CTrackBar&) = delete;
    CTrackBar& operator=(const CTrackBar&) = delete;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    // The track bar may be transparent: its parent repaints what lies under it.
    void InvalidateVesselRect(const RECT* rect) override;

    TrackBarImpl::CTrackBarGlyph* GetGlyph() const { return m_pGlyph; }
    Glyph::CStyledImageGlyph* GetHotPart() const { return m_pHotPart; }

protected:
    void LayoutThumb();
    RECT ChannelRect();
    void DrawTicks(HDC dc);
    void SetHotPart(Glyph::CStyledImageGlyph* part);

    TrackBarImpl::CTrackBarGlyph* m_pGlyph = nullptr;
    Glyph::CStyledImageGlyph* m_pHotPart = nullptr;
    RECT m_rcThumb = {};
};

}  // namespace Windows

// ------------------------------------------------------------- tab control

namespace Windows {

namespace TabCtrlImpl {

// The strip that holds the item rows.
class ORVEL_API CPane : public Glyph::CStyledHorizontalCompose {
public:
    CPane() : Glyph::CStyledHorizontalCompose(Style::CStyle::TabCtrlPane) {}
};

// The page area under the rows.
class ORVEL_API CBody : public Glyph::CStyledHorizontalCompose {
public:
    CBody() : Glyph::CStyledHorizontalCompose(Style::CStyle::TabCtrlBody) {}
};

using CItemBase = Glyph::CStyledTextGlyph;

// One tab; its real state is group x 2 + state in group. The group says
// how the tab meets the selected one (see CTabCtrl::PaintItems).
class ORVEL_API CItem : public CItemBase, public Glyph::CGroupImpl<CItem, CItemBase> {
public:
    CItem() : CItemBase(Style::CStyle::TabCtrlItem), Glyph::CGroupImpl<CItem, CItemBase>(2, 0) {}

    void SetState(INT64 state, bool redraw) override { SetStateInGroup(state, redraw); }
    INT64 GetState() const override { return GetStateInGroup(); }
    INT64 GetRealState() const { return CalcRealState(); }
};

}  // namespace TabCtrlImpl

class ORVEL_API CTabCtrl : public CStyledWndImpl<CTabCtrl, Base::CTabCtrlT<>> {
public:
    CTabCtrl() = default;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;

    int GetHotItem() const { return m_nHotItem; }

protected:
    void Paint(HDC dc, const RECT& clip);
    void PaintItems(HDC dc, const RECT& clip);
    void SetHotItem(int item);
    void InvalidateItem(int item);
    // The rows' rectangle and the page rectangle below them.
    void SplitClient(RECT& pane, RECT& body);

    int m_nHotItem = -1;
    int m_nSelAtPress = 0;  // the selection when the button went down
};

}  // namespace Windows
