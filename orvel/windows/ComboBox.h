#pragma once
// The styled combo box: the closed box drawn whole from one glyph.
#include "../glyph/StyledGlyph.h"
#include "ScrollBarFlat.h"
#include "StyledWnd.h"

namespace Windows {

// The closed combo box: its text with a drop-down button at the right.
class ORVEL_API CComboBoxGlyph : public Glyph::CStyledTextGlyph {
public:
    CComboBoxGlyph();
    ~CComboBoxGlyph() override;

    // buttonLeft of 1 or more places the button's left edge; otherwise the
    // button is a square at the right end.
    void SetRegion(HDC dc, const Glyph::CRect& rect, int buttonLeft);
    void SetRegion(HDC dc, const Glyph::CRect& rect) override { SetRegion(dc, rect, 0); }
    void SetState(INT64 state, bool redraw) override;
    Glyph::CGlyph* HitTest(Glyph::CPoint point) override;
    void SetVessel(Glyph::IGlyphVessel* vessel) override;
    void DrawContent(HDC dc, const RECT* clip) override;

    Glyph::CStyledImageGlyph& GetButton() { return m_button; }

protected:
    Glyph::CStyledImageGlyph m_button;
};

class ORVEL_API CComboBox : public CStyledWndImpl<CComboBox, Base::CComboBoxT<>> {
public:
    CComboBox() = default;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    CComboBoxGlyph& GetGlyph() { return m_glyph; }
    bool OwnsText() const { return m_bOwnText; }
    int GetButtonWidth() const { return m_nButtonWidth; }

protected:
    void SetHot(Glyph::CGlyph* hot);
    void RefreshText();
    // Draws the glyph straight onto the window, outside a paint cycle.
    void PaintNow();

    CComboBoxGlyph m_glyph;
    Glyph::CGlyph* m_pHotGlyph = nullptr;
    bool m_bOwnText = false;
    int m_nButtonWidth = 0;
};

}  // namespace Windows
