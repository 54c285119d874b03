#pragma once
// The styled edit: a frame from the style and flat scroll bars; the native
// client area stays.
#include "../glyph/StyledGlyph.h"
#include "ScrollBarFlat.h"
#include "StyledWnd.h"

namespace Windows {

class ORVEL_API CEdit : public CStyledWndImpl<CEdit, Base::CEditT<>> {
public:
    CEdit() : m_flat(this) {}

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();
    CWindowWithFlatScrollBarImpl<CEdit>& GetFlatScrollBars() { return m_flat; }

protected:
    LRESULT OnNcPaint(WPARAM updateRegion);

    CWindowWithFlatScrollBarImpl<CEdit> m_flat;
    bool m_bUpdatePending = false;
};

}  // namespace Windows
