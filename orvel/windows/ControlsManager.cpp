// The manager's operations for statics, progress bars, spin buttons, track
// bars and tab controls.
#include <new>
#include "Controls.h"
#include "StyledWndManager.h"

namespace Windows {

bool CStyledWndManager::EnableStaticStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CStatic>(window);
}

bool CStyledWndManager::EnablePicStaticStyled(HWND window, const wchar_t* name)
{
    if (!name || !IsStylable(window))
        return false;
    CStatic* styled = AttachStyled<CStatic>(window);
    if (!styled)
        return false;
    styled->SetPictureName(name);
    return true;
}

bool CStyledWndManager::EnableProgressBarStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CProgressBar>(window);
}

bool CStyledWndManager::EnableSpinButtonStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CSpinButton>(window);
}

bool CStyledWndManager::EnableTrackBarStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CTrackBar>(window);
}

bool CStyledWndManager::EnableTabCtrlStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CTabCtrl>(window);
}

}  // namespace Windows
