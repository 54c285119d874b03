#pragma once
// Styled tab controls. The native control keeps its logic; the object mirrors
// just enough of its state into glyphs to paint it from the style.
#include <string>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

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
