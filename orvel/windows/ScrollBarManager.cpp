// The manager's scroll-bar operations.
#include <new>
#include "ScrollBar.h"
#include "StyledWndManager.h"

namespace Windows {

bool CStyledWndManager::EnableScrollBarStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    return AttachStyled<CScrollBar>(window) != nullptr;
}

bool CStyledWndManager::EnableScrollWndStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    return AttachStyled<CScrollWnd>(window) != nullptr;
}

}  // namespace Windows
