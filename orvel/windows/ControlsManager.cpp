// The manager's operations for statics, progress bars, spin buttons, track
// bars and tab controls.
#include <new>
#include "Controls.h"
#include "StyledWndManager.h"

namespace Windows {

namespace {

template <class TStyled>
TStyled* AttachControl(HWND window)
{
    auto* styled = new (std::nothrow) TStyled;
    return styled && styled->SubclassWindow(window) != 0 ? styled : nullptr;
}

}  // namespace

bool CStyledWndManager::EnableStaticStyled(HWND window)
{
    return IsStylable(window) && AttachControl<CStatic>(window);
}

bool CStyledWndManager::EnablePicStaticStyled(HWND window, const wchar_t* name)
{
    if (!name || !IsStylable(window))
        return false;
    CStatic* styled = AttachControl<CStatic>(window);
    if (!styled)
        return false;
    styled->SetPictureName(name);
    return true;
}

bool CStyledWndManager::EnableProgressBarStyled(HWND window)
{
    return IsStylable(window) && AttachControl<CProgressBar>(window);
}

bool CStyledWndManager::EnableSpinButtonStyled(HWND window)
{
    return IsStylable(window) && AttachControl<CSpinButton>(window);
}

bool CStyledWndManager::EnableTrackBarStyled(HWND window)
{
    return IsStylable(window) && AttachControl<CTrackBar>(window);
}

bool CStyledWndManager::EnableTabCtrlStyled(HWND window)
{
    return IsStylable(window) && AttachControl<CTabCtrl>(window);
}

}  // namespace Windows
