#pragma once
// The process-wide styled-window manager: one Enable operation per kind of
// window, and the enter/leave notifications of styled controls.
#include <windows.h>
#include "../base/Export.h"

namespace Windows {

class ORVEL_API CStyledWndManager {
public:
    static CStyledWndManager& GetInstance();
    static void ReleaseInstance();

    CStyledWndManager(const CStyledWndManager& other) = default;
    CStyledWndManager& operator=(const CStyledWndManager& other) = default;
    virtual ~CStyledWndManager() = default;

    // A container is attached whatever the style: it only reflects
    // notifications back to the children.
    virtual bool EnableControlContainerStyled(HWND window);

    void PostEnterNotify(HWND parent, long long id);
    void PostLeaveNotify(HWND parent, long long id);
    UINT GetNotifyMessage() const { return m_uNotifyMsg; }

protected:
    CStyledWndManager() = default;
    void Init();

    // The checks every Enable operation makes first.
    static bool IsStylable(HWND window);

    UINT m_uNotifyMsg = 0;
};

}  // namespace Windows
