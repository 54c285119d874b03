#pragma once
// The styled list view: native items, flat styled scroll bars kept in step
// with the list's own scrolling, a styled header, and the pack's field
// colours.
#include "FieldColors.h"
#include "ScrollBarFlat.h"
#include "StyledWnd.h"

namespace Windows {

// Styles the header of a list (through the manager) unless the list has
// none or LVS_NOCOLUMNHEADER, and makes it kListHeaderExtra pixels taller.
// True when a header was styled.
constexpr int kListHeaderExtra = 20;
ORVEL_API bool StyleListHeader(HWND list);

class ORVEL_API CListView : public CStyledWndImpl<CListView, Base::CListViewCtrlT<>> {
public:
    CListView() : m_flat(this), m_colors(CFieldColorUser::ListView) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    virtual void OnSubclassed();
    CWindowWithFlatScrollBarImpl<CListView>& GetFlatScrollBars() { return m_flat; }

protected:
    // Thumb tracking from the flat bar: the native list cannot read a track
    // position of a bar it no longer has, so it is scrolled by the distance.
    void ScrollToThumb(bool vert, int position);
    BOOL OnNotify(LPARAM lParam, LRESULT& result);
    BOOL OnScroll(UINT message, WPARAM wParam);
    void PostUpdate(int bars, UINT mask);

    CWindowWithFlatScrollBarImpl<CListView> m_flat;
    CFieldColorUser m_colors;
    bool m_bUpdatePending = false;
};

}  // namespace Windows
