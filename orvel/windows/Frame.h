#pragma once
// Styled frames: the whole non-client area of a top-level window or dialog
// (caption, icon, caption buttons, borders) painted from a frame family of
// painters, with rounded corners through a window region.
#include <windows.h>
#include <string>
#include <vector>
#include "../base/GdiHandles.h"
#include "../glyph/Compose.h"
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Style {
class CPainter;
}

namespace Windows {

namespace FrameImpl {

// Hit codes of the caption buttons.
constexpr int kHitClose = 257;
constexpr int kHitMinimize = 258;
constexpr int kHitMaximize = 259;
constexpr int kHitHelp = 260;

// Painter states of a caption button beyond normal, hot and pressed.
constexpr int kButtonDisabledState = 3;
constexpr int kButtonInactiveOffset = 4;

// Offsets of a family's parts from its first element kind, as the main
// frame family lays them out.
enum PartOffset : int {
    kPartFrame = 0,
    kPartTitle = Style::CStyle::FrameTitle - Style::CStyle::Frame,
    kPartClose = Style::CStyle::FrameButtonClose - Style::CStyle::Frame,
    kPartMin = Style::CStyle::FrameButtonMin - Style::CStyle::Frame,
    kPartMax = Style::CStyle::FrameButtonMax - Style::CStyle::Frame,
    kPartRestore = Style::CStyle::FrameButtonRestore - Style::CStyle::Frame,
    kPartLeftBorder = Style::CStyle::FrameLeftBorder - Style::CStyle::Frame,
    kPartRightBorder = Style::CStyle::FrameRightBorder - Style::CStyle::Frame,
    kPartBottomBorder = Style::CStyle::FrameBottomBorder - Style::CStyle::Frame,
};

// A caption button of family N with one look (close, help). Its painter
// state is the button state (0 normal, 1 hot, 2 pressed; 3 while the
// window is disabled), plus 4 while the window is inactive. Its region is
// in window coordinates, which are those of the caption's bitmap.
template <int N>
class CTitleButton : public Glyph::CStyledGlyph {
public:
    CTitleButton(int hitCode, int part);

    // The painter's size, or 16 by 16 when it has none.
    Glyph::CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    // A button lower than its row keeps its height, centred in the row.
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;
    void DrawContent(HDC dc, const RECT* clip) override;

    int GetHitCode() const { return m_nHitCode; }
    int GetButtonState() const { return m_nButtonState; }
    void SetButtonState(int state);
    void SetInactive(bool inactive);
    void SetDisabled(bool disabled);
    // Minimise and maximise buttons have a restore form; others ignore it.
    virtual void SetRestore(bool) {}
    virtual void SetCollapsed(bool) {}
    virtual bool IsRestore() const { return false; }

private:
    void ApplyLook();

    int m_nHitCode;
    int m_nButtonState = 0;
    bool m_bInactive = false;
    bool m_bDisabled = false;
};

// Minimise or maximise: shows the restore look while the window is
// minimised or maximised, and the minimise button also while the window is
// collapsed to its caption.
template <int N>
class CTitleAllButton : public CTitleButton<N> {
public:
    CTitleAllButton(int hitCode, int part);

    void SetRestore(bool restore) override;
    void SetCollapsed(bool collapsed) override;
    bool IsRestore() const override { return m_bRestore || m_bCollapsed; }

private:
    void ApplyForm();

    int m_nPart;
    bool m_bRestore = false;
    bool m_bCollapsed = false;
};

// One pre-rendered non-client part.
struct SPart {
    RECT rect = {};  // window coordinates
    Base::CBitmapDC dc;

    void Free() { dc.Reset(); }
    bool Prepare(HDC windowDC) { return dc.Create(windowDC, rect.right - rect.left, rect.bottom - rect.top); }
};

}  // namespace FrameImpl

template <int N>
class CStyledFrame : public CStyledWndImpl<CStyledFrame<N>> {
public:
    CStyledFrame();
    ~CStyledFrame() override;
    CStyledFrame(const CStyledFrame&) = delete;
    CStyledFrame& operator=(const CStyledFrame&) = delete;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    void InvalidateVesselRect(const RECT* rect) override;
    void RedrawVesselRect(const RECT* rect) override;
    HDC GetVesselDC() override;
    void ReleaseVesselDC(HDC) override {}

    // Border widths as left, 0, right, bottom.
    RECT GetBorders() const { return {m_nLeft, 0, m_nRight, m_nBottom}; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    COLORREF GetBackColor() const { return m_clrBack; }
    const std::wstring& GetCaptionText() const { return m_caption; }
    // The caption buttons, a row of FrameImpl::CTitleButton<N>.
    const Glyph::CHorizontalCompose& GetButtons() const { return m_buttons; }

private:
    Style::CPainter* Painter(int offset) const;
    void ReadStyle();
    void DropFrameOfChild();
    COLORREF m_clrField = CLR_INVALID;
    COLORREF m_clrFieldText = CLR_INVALID;
    Base::CBrushHandle m_fieldBrush;
    void BuildButtons(LONG_PTR style);
    void Layout();
    void Render();
    void RenderCaption();
    void RebuildRegion();
    // Copies the rendered parts to the window, within update (screen
    // coordinates) when one is given.
    void PaintNonClient(HRGN update = nullptr);
    void RedrawCaption();
    void Refresh();  // layout, render, paint
    void Rebuild();  // layout, render, rebuild the region, paint
    // Renders and paints again when the activation look changes.
    void SetInactive(int inactive);

    BOOL OnNcCalcSize(HWND hWnd, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnNcPaint(WPARAM update);
    LRESULT OnNcActivate(WPARAM active);
    LRESULT OnActivate(WPARAM wParam);
    LRESULT OnWindowPosChanged(LPARAM lParam);
    LRESULT OnNcMouseMove(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNcMouseHover();
    LRESULT OnNcLButtonDown(HWND hWnd, WPARAM hitCode);
    BOOL OnNcLButtonUp(HWND hWnd, WPARAM wParam, LPARAM lParam, LRESULT& result);
    BOOL OpenSystemMenu(HWND hWnd, LPARAM lParam, LRESULT& result);
    void OnNcMouseLeave();
    LRESULT OnSetText(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetIcon(WPARAM type);
    BOOL OnStyleChanged(WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnEnable();
    BOOL OnCtlColor(UINT message, HDC dc, LRESULT& result);
    LRESULT OnSysCommand(HWND hWnd, WPARAM command);
    LRESULT OnInitMenuPopup(LPARAM lParam);
    // The style pack changed: read it again and rebuild the frame.
    LRESULT OnPackChanged(HWND hWnd);
    LRESULT OnCaptionButtonRect(int hitCode, RECT* rect);
    // Widens the window so the caption text fits; 1 when it grew.
    LRESULT OnFitToCaption(HWND hWnd);
    bool HasIcon() const;
    HICON SmallIcon() const;
    RECT TextRect() const;
    FrameImpl::CTitleButton<N>* ButtonAt(int hitCode);
    template <class TFunc>
    void ForEachButton(TFunc&& func);
    // The collapsed form: the window shows its caption only.
    void SetCollapsed(bool collapsed);
    int ButtonCommand(const FrameImpl::CTitleButton<N>& button) const;
    void SetHot(FrameImpl::CTitleButton<N>* hot);
    void HideToolTip();
    void ShowToolTip();
    void Deflate(RECT& rect) const;
    POINT ToWindow(LPARAM screenPoint) const;
    LRESULT HitTest(POINT point);

    Glyph::CHorizontalCompose m_buttons;
    std::wstring m_caption;
    std::wstring m_lastText;
    bool m_bTextSet = false;
    int m_nInactive = 0;
    int m_nCaptionHeight = 28;
    int m_nLeft = 0, m_nRight = 0, m_nBottom = 0;
    int m_nCornerX, m_nCornerY;  // hit-test corner sizes
    int m_nButtonRight = 4;
    int m_nButtonSpace = 0;
    int m_nAlignLeft = 0;
    int m_nTitleOffset = 0;
    int m_nButtonOffset = -1;
    int m_nIconWidth, m_nIconHeight;
    int m_nWidthEllipse = 0, m_nHeightEllipse = 0;
    SIZE m_szCorners[4] = {};  // top-left, top-right, bottom-left, bottom-right
    HRGN m_region = nullptr;  // owned by the window once set
    RECT m_rcIcon = {-1, -1, -1, -1};
    FrameImpl::SPart m_parts[4];  // caption, left, right, bottom
    bool m_bResizable = false;
    bool m_bCollapsed = false;
    bool m_bZoomed = false;
    FrameImpl::CTitleButton<N>* m_pHot = nullptr;
    FrameImpl::CTitleButton<N>* m_pPressed = nullptr;
    HWND m_hToolTip = nullptr;
    bool m_bToolTipShown = false;
    POINT m_ptToolTip = {-1, -1};
    Base::CBrushHandle m_backBrush;
    COLORREF m_clrStatic = CLR_INVALID;
    COLORREF m_clrBack = CLR_INVALID;
};

extern template class ORVEL_API FrameImpl::CTitleButton<Style::CStyle::Frame>;
extern template class ORVEL_API FrameImpl::CTitleButton<Style::CStyle::DlgFrame>;
extern template class ORVEL_API FrameImpl::CTitleButton<Style::CStyle::XPDlgFrame>;
extern template class ORVEL_API FrameImpl::CTitleAllButton<Style::CStyle::Frame>;
extern template class ORVEL_API FrameImpl::CTitleAllButton<Style::CStyle::DlgFrame>;
extern template class ORVEL_API FrameImpl::CTitleAllButton<Style::CStyle::XPDlgFrame>;
extern template class ORVEL_API CStyledFrame<Style::CStyle::Frame>;
extern template class ORVEL_API CStyledFrame<Style::CStyle::DlgFrame>;
extern template class ORVEL_API CStyledFrame<Style::CStyle::XPDlgFrame>;

namespace FrameImpl {
// Attaches a frame of family N. With `resize`, a top-level window is
// enlarged by the side and bottom borders. `borders` gets the frame's
// borders as GetBorders gives them, `backColor` its "BackColor".
template <int N>
bool AttachFrame(HWND window, bool resize, RECT* borders = nullptr, COLORREF* backColor = nullptr);
// The forbid-static-colour flag of the process.
ORVEL_API unsigned int& ForbidStaticColor();
}  // namespace FrameImpl

}  // namespace Windows

extern "C" {
// Styles a dialog frame; the margins by which the window grew (left as a
// negative width), all zero when it was not styled.
ORVEL_API RECT EnableFrameStyledEx(unsigned int reserved, HWND window);
// Styles a dialog frame; its background colour, 0xFFFFFF when not styled.
ORVEL_API unsigned int EnableFrameStyledColor(HWND window);
// Nonzero: styled dialog frames leave their static children's colours alone.
ORVEL_API void SetForbidStaticColor(unsigned int forbid);
}
