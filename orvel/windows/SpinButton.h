#pragma once
// Styled spin buttons (up-down controls). The native control keeps its logic; the object mirrors
// just enough of its state into glyphs to paint it from the style.
#include <string>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

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
    // Both arrows in their normal or their disabled look.
    void ShowEnabled(bool enabled, bool redraw);
    Glyph::CStyledImageGlyph* GetHotArrow() const { return m_pHotArrow; }

protected:
    void Layout(int width, int height);

    SpinButtonImpl::CSpinGlyph* m_pGlyph = nullptr;
    Glyph::CStyledImageGlyph* m_pHotArrow = nullptr;
};

}  // namespace Windows
