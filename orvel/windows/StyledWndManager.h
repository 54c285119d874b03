#pragma once
// The process-wide styled-window manager: one Enable operation per kind of
// window, and the enter/leave notifications of styled controls. Hosts call
// the virtual operations through the pointer GetWindowStyle() returns, by
// slot position, so their order never changes.
#include <windows.h>
#include "../base/Export.h"

namespace Windows {

class ORVEL_API CStyledWndManager {
public:
    static CStyledWndManager& GetInstance();
    static void ReleaseInstance();

    CStyledWndManager(const CStyledWndManager& other) = default;
    CStyledWndManager& operator=(const CStyledWndManager& other) = default;

    // Each Enable operation returns true when the window is now styled. Kinds
    // whose styled class does not exist yet answer false: not styled.
    virtual bool EnableFrameStyled(HWND window);                                       // 1
    virtual bool EnableClientStyled(HWND window);                                      // 2
    virtual bool EnableCheckButtonStyled(HWND window);                                 // 3
    virtual bool EnableRadioButtonStyled(HWND window);                                 // 4
    virtual bool EnablePushButtonStyled(HWND window);                                  // 5
    virtual bool EnableEditStyled(HWND window);                                        // 6
    virtual bool EnableComboStyled(HWND window);                                       // 7
    virtual bool EnableScrollBarStyled(HWND window);                                   // 8
    virtual bool EnableSpinButtonStyled(HWND window);                                  // 9
    virtual bool EnableTrackBarStyled(HWND window);                                    // 10
    virtual bool EnableScrollWndStyled(HWND window);                                   // 11
    virtual bool EnableProgressBarStyled(HWND window);                                 // 12
    virtual bool EnableStaticStyled(HWND window);                                      // 13
    virtual bool EnableTreeCtrlColored(HWND window);                                   // 14
    // A container is attached whatever the style: it only reflects
    // notifications back to the children.
    virtual bool EnableControlContainerStyled(HWND window);                            // 15
    virtual bool SetLanguage(unsigned short language);                                 // 16
    virtual unsigned short GetLanguage();                                              // 17
    virtual void ValidDlgCtrl(HWND dialog, HINSTANCE module, const wchar_t* templateName);  // 18
    virtual bool EnableHeaderCtrlStyled(HWND window);                                  // 19
    virtual long long ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                                     unsigned int type);                               // 20
    virtual bool EnableTabCtrlStyled(HWND window);                                     // 21
    virtual bool EnableListViewStyled(HWND window);                                    // 22
    virtual bool EnableXPFrameStyled(HWND window);                                     // 23
    virtual bool EnableHyperLinkStyled(HWND window);                                   // 24
    virtual bool EnableListBoxStyled(HWND window);                                     // 25
    virtual bool EnablePicStaticStyled(HWND window, const wchar_t* pictureName);       // 26
    virtual bool EnableRadioButtonStyledXP(HWND window);                               // 27
    virtual ~CStyledWndManager() = default;

    bool EnableEasyFrameStyled(HWND window);
    bool EnableExpertFrameStyled(HWND window);
    void PostEnterNotify(HWND parent, long long id);
    void PostLeaveNotify(HWND parent, long long id);
    UINT GetNotifyMessage() const { return m_uNotifyMsg; }

protected:
    CStyledWndManager() = default;
    void Init();

    // The checks every Enable operation makes first, in this order: a
    // handle, a window, a loaded style, and (unless told not to) a style
    // that is not simple.
    static bool IsStylable(HWND window, bool refuseSimple = true);

    UINT m_uNotifyMsg = 0;
};

}  // namespace Windows

extern "C" {
// The manager, for hosts that call its operations by slot.
ORVEL_API Windows::CStyledWndManager* GetWindowStyle();
}
