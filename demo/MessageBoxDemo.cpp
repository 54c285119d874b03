#include "MessageBoxDemo.h"

#include "orvel/host/Global.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/MessageBox.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/Screenshot.h"

namespace Demo {

namespace {

struct SQuestion {
    const wchar_t* caption;
    const wchar_t* text;
};

SQuestion Question(LANGID language)
{
    if (PRIMARYLANGID(language) == LANG_CHINESE)
        return {L"\x4FDD\x5B58\x66F4\x6539",  // save changes
                L"\x8BBE\x7F6E\x5DF2\x66F4\x6539\x3002\x662F\x5426\x5728\x5173\x95ED\x524D\x4FDD\x5B58\x5B83\x4EEC\xFF1F"};
    return {L"Save changes", L"The settings have changed. Save them before closing?"};
}

// The shot is taken from a timer inside the box's own modal loop, then the
// box is closed the way a host closes one: with the close type.
struct SShot {
    std::wstring path;
    bool saved = false;
    int ticks = 0;
};
SShot* g_shot = nullptr;

void CALLBACK ShootOpenBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = Windows::MessageBoxImpl::OpenMessageBox();
    if (!g_shot || !box)
        return;
    // Let the box paint itself first.
    if (++g_shot->ticks < 4)
        return;
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    g_shot->saved = Screenshot::SaveWindowPng(box, g_shot->path);
    Windows::ShowMessageBox(nullptr, nullptr, nullptr, Windows::kCloseMessageBox);
}

}  // namespace

long long AskWithMessageBox(HWND owner)
{
    SQuestion question = Question(COrvelGlobal::GetInstance().GetLangID());
    return GetWindowStyle()->ShowMessageBox(owner, question.text, question.caption, MB_YESNOCANCEL);
}

void ShootMessageBoxes(HWND owner, const std::wstring& folder, const std::vector<std::wstring>& packs,
                       const std::function<void(const std::wstring&)>& select,
                       std::vector<std::wstring>& shots)
{
    const wchar_t* slash = folder.find(L'/') != std::wstring::npos ? L"/" : L"\\";
    for (const std::wstring& pack : packs) {
        select(pack);
        for (LANGID language : {LANGID(0x0409), LANGID(0x0804)}) {
            SetLanguageID(language);
            wchar_t tag[8];
            swprintf(tag, 8, L"%04x", language);
            SShot shot;
            shot.path = folder + slash + L"msgbox_" + Style::CStyleManager::GetStyleInstance().GetName() + L"_" +
                        tag + L".png";
            g_shot = &shot;
            UINT_PTR timer = SetTimer(nullptr, 0, 60, ShootOpenBox);
            AskWithMessageBox(owner);
            KillTimer(nullptr, timer);
            g_shot = nullptr;
            if (shot.saved)
                shots.push_back(shot.path);
        }
    }
    SetLanguageID(0x0409);
}

}  // namespace Demo
