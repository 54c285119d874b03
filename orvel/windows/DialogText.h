#pragma once
// Re-texting a live dialog from its extended template: the caption and the
// titles of its controls, so a dialog follows a language switch without
// being made again.
#include <windows.h>
#include "../base/Export.h"

namespace Windows {

// Sets the dialog's caption and the texts of its controls from the
// extended template in [data, data + size). Titles given as ordinals are
// read from module's string table in the given language. Nothing is read
// outside the template; a classic template, or one that breaks off before
// its caption, changes nothing. Returns whether the template was extended.
ORVEL_API bool ApplyDialogTexts(HWND dialog, const void* data, DWORD size, HINSTANCE module,
                                WORD language);

// The same with the template named templateName in module, in the
// manager's current language.
ORVEL_API void ApplyDialogTexts(HWND dialog, HINSTANCE module, const wchar_t* templateName);

}  // namespace Windows
