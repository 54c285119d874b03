// Placeholder for the scroll-bar Enable operations until the styled scroll
// bars land: not styled yet.
#include "StyledWndManager.h"

namespace Windows {

bool CStyledWndManager::EnableScrollBarStyled(HWND)
{
    return false;
}

bool CStyledWndManager::EnableScrollWndStyled(HWND)
{
    return false;
}

}  // namespace Windows
