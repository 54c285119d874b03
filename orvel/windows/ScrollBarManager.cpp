// The manager's scroll-bar operations.
#include <new>
#include "ScrollBar.h"
#include "StyledWndManager.h"

namespace Windows {

bool CStyledWndManager::EnableScrollBarStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    auto* styled = new (std::nothrow) CScrollBar;
    return styled && styled->SubclassWindow(window) != 0;
}

bool CStyledWndManager::EnableScrollWndStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    auto* styled = new (std::nothrow) CScrollWnd;
    return styled && styled->SubclassWindow(window) != 0;
}

}  // namespace Windows
