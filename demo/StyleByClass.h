#pragma once
// Styles a dialog built from a template: its frame and every control, each
// by its window class, through the styled-window manager.
#include <windows.h>
#include <initializer_list>

namespace Demo {

// Styles the dialog's frame and walks all its descendants. Child dialogs
// (property pages, DS_CONTROL children) get a frame of their own and their
// controls are styled too. Class names cannot tell a text link from a push
// button, so the host names its links. Returns the number of windows styled.
int StyleDialogByClass(HWND dialog, std::initializer_list<int> linkIds = {});

}  // namespace Demo
