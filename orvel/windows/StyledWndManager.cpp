#include "StyledWndManager.h"

#include <new>
#include "../base/Failure.h"
#include "StyledWnd.h"

namespace Windows {

namespace {
CStyledWndManager* g_manager = nullptr;
}

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

bool CStyledWndManager::IsStylable(HWND window)
{
    return window && ::IsWindow(window);
}

bool CStyledWndManager::EnableControlContainerStyled(HWND window)
{
    if (!IsStylable(window))
        return false;
    auto* container = new (std::nothrow) CControlContainer;
    return container && container->SubclassWindow(window) != 0;
}

}  // namespace Windows
