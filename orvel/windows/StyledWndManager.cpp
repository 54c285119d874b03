#include "StyledWndManager.h"

#include <new>
#include "../base/Failure.h"
#include "../host/Global.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "DialogText.h"
#include "EditCombo.h"
#include "Frame.h"
#include "HeaderCtrl.h"
#include "ListView.h"
#include "TreeView.h"
#include "MessageBox.h"
#include "StyledWnd.h"

namespace Windows {

namespace {

CStyledWndManager* g_manager = nullptr;

}  // namespace

CStyledWndManager& CStyledWndManager::GetInstance()
{
    if (!g_manager) {
        struct CConstructible : CStyledWndManager {};
        g_manager = new (std::nothrow) CConstructible;
        if (!g_manager)
            Base::ThrowOutOfMemory();
        g_manager->Init();
    }
    return *g_manager;
}

void CStyledWndManager::ReleaseInstance()
{
    delete g_manager;
    g_manager = nullptr;
}

void CStyledWndManager::Init()
{
    m_uNotifyMsg = ::RegisterWindowMessageW(L"NotifyParentMouse");
}

void CStyledWndManager::PostEnterNotify(HWND parent, long long id)
{
    if (m_uNotifyMsg)
        ::PostMessageW(parent, m_uNotifyMsg, 0, static_cast<LPARAM>(id));
}

void CStyledWndManager::PostLeaveNotify(HWND parent, long long id)
{
    if (m_uNotifyMsg)
        ::PostMessageW(parent, m_uNotifyMsg, 1, static_cast<LPARAM>(id));
}

bool CStyledWndManager::IsStylable(HWND window, bool refuseSimple)
{
    if (!window || !::IsWindow(window))
        return false;
    try {
        if (!Style::CStyleManager::GetInstance().IsStyleLoaded())
            return false;
        return !refuseSimple || !Style::CStyleManager::GetStyleInstance().IsSimple();
    } catch (...) {
        // A pack that cannot be read styles nothing.
        return false;
    }
}

bool CStyledWndManager::EnablePushButtonStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CPushButton>(window, Style::CStyle::PushButton);
}

bool CStyledWndManager::EnableCheckButtonStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CCheckRadioButton>(window, CCheckRadioGlyph::Check);
}

bool CStyledWndManager::EnableRadioButtonStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CCheckRadioButton>(window, CCheckRadioGlyph::Radio);
}

bool CStyledWndManager::EnableRadioButtonStyledXP(HWND window)
{
    return IsStylable(window) && AttachStyled<CCheckRadioButton>(window, CCheckRadioGlyph::RadioXP);
}

bool CStyledWndManager::EnableHyperLinkStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CHyperLink>(window, Style::CStyle::HyperLink);
}

bool CStyledWndManager::EnableControlContainerStyled(HWND window)
{
    if (!IsStylable(window, false))
        return false;
    return AttachStyled<CControlContainer>(window) != nullptr;
}

bool CStyledWndManager::EnableFrameStyled(HWND window)
{
    return IsStylable(window) && FrameImpl::AttachFrame<Style::CStyle::DlgFrame>(window, true);
}

bool CStyledWndManager::EnableExpertFrameStyled(HWND window)
{
    return IsStylable(window) && FrameImpl::AttachFrame<Style::CStyle::Frame>(window, false);
}

bool CStyledWndManager::EnableXPFrameStyled(HWND window)
{
    return IsStylable(window) && FrameImpl::AttachFrame<Style::CStyle::XPDlgFrame>(window, false);
}

bool CStyledWndManager::EnableEditStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    return AttachStyled<CEdit>(window) != nullptr;
}

bool CStyledWndManager::EnableComboStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    // A combo box that wraps another (the extended combo) styles the inner one.
    if (HWND inner = ::GetDlgItem(window, ::GetDlgCtrlID(window)))
        window = inner;
    return AttachStyled<CComboBox>(window) != nullptr;
}

bool CStyledWndManager::EnableListBoxStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    return AttachStyled<CListBox>(window) != nullptr;
}

bool CStyledWndManager::EnableClientStyled(HWND)
{
    return false;
}

bool CStyledWndManager::EnableEasyFrameStyled(HWND)
{
    return false;
}

bool CStyledWndManager::SetLanguage(unsigned short language)
{
    SetLanguageID(language);
    return true;
}

unsigned short CStyledWndManager::GetLanguage()
{
    LANGID language = 0;
    try {
        language = COrvelGlobal::GetInstance().GetLangID();
    } catch (...) {
    }
    return language ? language : 2052;
}

bool CStyledWndManager::EnableTreeCtrlColored(HWND window)
{
    return IsStylable(window) && CTreeView::Attach(window);
}

bool CStyledWndManager::EnableHeaderCtrlStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CHeaderCtrl>(window);
}

bool CStyledWndManager::EnableListViewStyled(HWND window)
{
    return IsStylable(window) && AttachStyled<CListView>(window);
}

void CStyledWndManager::ValidDlgCtrl(HWND dialog, HINSTANCE module, const wchar_t* templateName)
{
    try {
        ApplyDialogTexts(dialog, module, templateName);
    } catch (...) {
        // The dialog keeps the texts it has.
    }
}

long long CStyledWndManager::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                                            unsigned int type)
{
    return Windows::ShowMessageBox(owner, text, caption, type);
}

}  // namespace Windows

extern "C" Windows::CStyledWndManager* GetWindowStyle()
{
    try {
        return &Windows::CStyledWndManager::GetInstance();
    } catch (...) {
        return nullptr;
    }
}
