#include "TreeView.h"

#include <commctrl.h>
#include <new>
#include "FlatBarOwner.h"
#include "Messages.h"

namespace Windows {

using namespace FlatBarOwner;

namespace {

constexpr UINT kReflectedNotify = Base::kReflectedMessageBase + WM_NOTIFY;  // OCM_NOTIFY
constexpr UINT kRangeAndPos = SIF_RANGE | SIF_POS;  // 5

// Messages after which the native tree may have changed its scroll range
// or position without a scroll message: expanding by click or key,
// keyboard moves, type-ahead, item changes, and the auto-scroll timer.
bool ChangesTreeScrolling(UINT message)
{
    switch (message) {
    case WM_CHAR: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_LBUTTONUP: case WM_TIMER:
    case WM_SIZE: case WM_SETFONT: case TVM_INSERTITEMW: case TVM_INSERTITEMA: case TVM_DELETEITEM:
    case TVM_EXPAND: case TVM_ENSUREVISIBLE: case TVM_SELECTITEM: case TVM_SETITEMW: case TVM_SETITEMA:
    case TVM_SORTCHILDREN: case TVM_SORTCHILDRENCB: case TVM_SETINDENT: case TVM_SETITEMHEIGHT:
    case TVM_SETIMAGELIST:
        return true;
    default:
        return false;
    }
}

template <class T>
bool AttachTree(HWND tree)
{
    if (T::ExistingObject(tree))
        return true;
    auto* object = new (std::nothrow) T;
    if (!object)
        return false;
    if (!object->SubclassWindowOnce(tree)) {
        delete object;
        return false;
    }
    object->OnSubclassed();
    return true;
}

}  // namespace

// ------------------------------------------------------------ colour tree

bool CColorTreeCtrl::Attach(HWND tree)
{
    return AttachTree<CColorTreeCtrl>(tree);
}

void CColorTreeCtrl::OnSubclassed()
{
    m_colors.Attach(m_hWnd);
}

BOOL CColorTreeCtrl::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD)
{
    return m_colors.OnMessage(hWnd, message, result);
}

// ------------------------------------------------------------ styled tree

bool CTreeView::Attach(HWND tree)
{
    return AttachTree<CTreeView>(tree);
}

void CTreeView::OnSubclassed()
{
    m_colors.Attach(m_hWnd);
    m_flat.OnOwnerSubclassed();
    m_flat.PostScrollBarUpdate(static_cast<int>(kBothBars), kAllButTrackPos);
}

BOOL CTreeView::OnReflectedNotify(LPARAM lParam, LRESULT& result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || (header->code != TVN_ITEMEXPANDEDW && header->code != TVN_ITEMEXPANDEDA))
        return FALSE;
    result = DefWindowProc();
    m_flat.PostScrollBarUpdate(static_cast<int>(kBothBars), kRangeAndPos);
    return TRUE;
}

BOOL CTreeView::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result, DWORD)
{
    if (OfferToBars(m_flat, m_bUpdatePending, hWnd, message, wParam, lParam, result) ||
        m_colors.OnMessage(hWnd, message, result))
        return TRUE;
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        m_flat.PostScrollBarUpdate(static_cast<int>(kBothBars), kAllButTrackPos);
        return FALSE;
    case WM_PAINT:
        // The native tree redraws its own bar whenever it updates its
        // scroll range, painting included.
        result = DefWindowProc();
        m_flat.RepaintScrollBars();
        return TRUE;
    case kReflectedNotify:
        return OnReflectedNotify(lParam, result);
    default:
        if (!ChangesTreeScrolling(message))
            return FALSE;
        return DefaultThenPostUpdate(*this, m_flat, m_bUpdatePending, message, wParam, lParam, result);
    }
}

}  // namespace Windows
