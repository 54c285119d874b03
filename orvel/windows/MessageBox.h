#pragma once
// The styled message box: a modal dialog from Orvel.dll's template whose
// body is the pack's prompt text, with the Win32 message box's buttons in
// the language module's words.
#include <windows.h>
#include "../base/Export.h"

namespace Windows {

// The type that closes the box waiting for the user instead of showing one.
constexpr unsigned int kCloseMessageBox = 2439;

namespace MessageBoxImpl {
// The template's placeholder button: size, row top and spacing of the buttons.
constexpr int kTemplateButton = 404;
// Button texts are these language-module strings plus the button identifier.
constexpr UINT kButtonTextBase = 20100;
// The box waiting for the user, or null.
ORVEL_API HWND OpenMessageBox();
}  // namespace MessageBoxImpl

// The button identifier the user chose (IDCANCEL for Esc or a closed box),
// kCloseMessageBox for that type, -1 when no box could be made.
ORVEL_API long long ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                                   unsigned int type);

}  // namespace Windows
