#pragma once
// Styles a dialog built from a template: its frame and every control, each
// by its window class, through the styled-window manager. This is how a
// host styles the dialogs it already has without naming each control.
#include <windows.h>
#include <initializer_list>
#include "../base/Export.h"

namespace Windows {

// Styles the dialog's frame and walks all its descendants. Child dialogs
// (property pages, DS_CONTROL children) get a frame of their own and their
// controls are styled too. Class names cannot tell a text link from a push
// button, so the host names its links (linkCount identifiers at linkIds).
// Group boxes, owner-drawn buttons and picture statics stay native. Returns
// the number of windows styled; 0 when no pack is loaded.
ORVEL_API int StyleDialogByClass(HWND dialog, const int* linkIds = nullptr, size_t linkCount = 0);

inline int StyleDialogByClass(HWND dialog, std::initializer_list<int> linkIds)
{
    return StyleDialogByClass(dialog, linkIds.begin(), linkIds.size());
}

}  // namespace Windows
