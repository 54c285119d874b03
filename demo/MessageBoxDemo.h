#pragma once
// The demo's styled message box, and screenshots of it in every pack and
// both languages.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace Demo {

// Asks a question in the current language with the styled message box and
// returns the button chosen.
long long AskWithMessageBox(HWND owner);

// For each pack and language, selects them through `select`, opens the box
// and saves it as FOLDER\msgbox_<pack>_<language>.png; the paths written
// are appended to shots. The language is set back to English afterwards.
void ShootMessageBoxes(HWND owner, const std::wstring& folder, const std::vector<std::wstring>& packs,
                       const std::function<void(const std::wstring&)>& select,
                       std::vector<std::wstring>& shots);

}  // namespace Demo
