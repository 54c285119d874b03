#pragma once
// Styled trees. Both keep the native item painting and take the pack's
// field colours:
//   CTreeView      flat styled scroll bars kept in step with the tree's own
//                  scrolling (what the manager attaches)
//   CColorTreeCtrl only the colours, for a host that wants its tree's
//                  native scroll bars
// Neither is on the styled base: plain window objects that free themselves
// after their window's last message.
#include "../base/WindowImpl.h"
#include "FieldColors.h"
#include "ScrollBarFlat.h"

namespace Windows {

class ORVEL_API CColorTreeCtrl : public Base::CWindowImpl<CColorTreeCtrl, Base::CTreeViewCtrlT<>> {
public:
    CColorTreeCtrl() : m_colors(CFieldColorUser::TreeView) {}

    // Attaches a new object to a tree; false (and nothing attached) when
    // the handle is not a window of this thread.
    static bool Attach(HWND tree);

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnFinalMessage(HWND) override { delete this; }
    // After the subclassing: the colours, and a watch for pack switches.
    void OnSubclassed();

protected:
    CFieldColorUser m_colors;
};

class ORVEL_API CTreeView : public Base::CWindowImpl<CTreeView, Base::CTreeViewCtrlT<>> {
public:
    CTreeView() : m_flat(this), m_colors(CFieldColorUser::TreeView) {}

    static bool Attach(HWND tree);

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnFinalMessage(HWND) override { delete this; }
    CWindowWithFlatScrollBarImpl<CTreeView>& GetFlatScrollBars() { return m_flat; }
    void OnSubclassed();

protected:
    BOOL OnReflectedNotify(LPARAM lParam, LRESULT& result);

    CWindowWithFlatScrollBarImpl<CTreeView> m_flat;
    CFieldColorUser m_colors;
    bool m_bUpdatePending = false;
};

}  // namespace Windows
