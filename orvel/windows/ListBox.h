#pragma once
// The styled list box: flat scroll bars; the native items stay.
#include "../glyph/StyledGlyph.h"
#include "ScrollBarFlat.h"
#include "StyledWnd.h"

namespace Windows {

class ORVEL_API CListBox : public CStyledWndImpl<CListBox, Base::CListBoxT<>> {
public:
    CListBox() : m_flat(this) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    virtual void OnSubclassed();
    CWindowWithFlatScrollBarImpl<CListBox>& GetFlatScrollBars() { return m_flat; }

protected:
    CWindowWithFlatScrollBarImpl<CListBox> m_flat;
    bool m_bUpdatePending = false;
};

}  // namespace Windows
