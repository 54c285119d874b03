#pragma once
// The styled menu bar: a command bar drawn flat from the menu palette, its
// popups' frames painted flat while it tracks them, and the abstract
// interface through which a host of any compiler creates one.
#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "../base/Export.h"
#include "CommandBar.h"
#include "MenuPalette.h"

namespace Windows {

// Extended style bit of the bar: hot icons are not raised over a shadow.
constexpr DWORD kCbrExNoIconShadow = 0x10000000;

class ORVEL_API CCommandBarXPCtrlBase : public Base::CCommandBarCtrlBase {
public:
    explicit CCommandBarXPCtrlBase(HWND hWnd = nullptr) : CCommandBarCtrlBase(hWnd) {}
};

// The frame of one popup menu window, painted flat; deletes itself with
// its window.
class ORVEL_API CFlatMenuWindow : public Base::CWindowImplBaseT<> {
public:
    CFlatMenuWindow(int buttonWidth, COLORREF frame, COLORREF background, COLORREF menu,
                    SIZE frameSize);
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId = 0) override;
    ~CFlatMenuWindow() override;
    void OnFinalMessage(HWND) override;

    int GetButtonWidth() const { return m_nButtonWidth; }
    // Live frames of the process (tests prove none outlives its popup).
    static long LiveCount();

private:
    // The frame drawn over the window rectangle at (0, 0); the interior is
    // filled only where the frame is non-client.
    void PaintFrame(HDC dc, const RECT& window, bool fillInterior) const;
    void OnNcPaint();
    void OnPaint();

    int m_nButtonWidth;
    COLORREF m_clrFrame, m_clrBackground, m_clrMenu;
    SIZE m_szFrameSize;
};

// Flat drawing, palette defaults, popup tracking with flat frames.
template <class T, class TBase = CCommandBarXPCtrlBase, class TWinTraits = Base::CControlWinTraits>
class CCommandBarXPCtrlImpl : public Base::CCommandBarCtrlImpl<T, TBase, TWinTraits> {
public:
    using Impl = Base::CCommandBarCtrlImpl<T, TBase, TWinTraits>;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId = 0) override;

    // Tool bars whose buttons the bar draws and whose drop-down buttons
    // open flat popups joined to the button.
    void AddToolBar(HWND toolBar);
    void RemoveToolBar(HWND toolBar);
    bool IsRegisteredToolBar(HWND window) const;
    // Whether a popup is being tracked through this bar.
    bool IsTracking() const { return m_bTracking; }
    // Popup menu windows caught while tracking.
    const std::vector<HWND>& GetPopupWindows() const { return m_popups; }

    void MeasureItem(MEASUREITEMSTRUCT& item);
    void DrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnCustomDraw(NMCUSTOMDRAW& draw, bool& handled);
    LRESULT OnParentNotify(NMHDR& header, bool& handled);
    UINT DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params);
    LRESULT OnSettingChange();

    // One tool-bar button in the flat look (custom-draw item stage).
    void DrawButton(const NMCUSTOMDRAW& draw, HWND toolBar, bool barItem);
    // A rebar's band: "Menu" fill and gripper.
    LRESULT DrawBands(NMCUSTOMDRAW& draw);
    // An image list's icon: plain, disabled silhouette, or raised over its
    // shadow when hot.
    void DrawIcon(HDC dc, HIMAGELIST images, int index, POINT place, bool disabled, bool raised) const;

    void RecordPopup(HWND popup);
    void ForgetPopup(HWND popup);

protected:
    std::vector<HWND> m_toolBars;
    std::vector<HWND> m_popups;
    bool m_bTracking = false;
};

// Menu-bar behaviour: keeps the host told of what the menu does.
template <class T, class TBase = CCommandBarXPCtrlBase, class TWinTraits = Base::CControlWinTraits>
class CMenuBarXPImpl : public CCommandBarXPCtrlImpl<T, TBase, TWinTraits> {
public:
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId = 0) override;
};

// The bar of window class "ZQXP_MenuBar": the style pack's colours and its
// "MenuBar" look on the rebar's bands.
class ORVEL_API CMenuBar : public CMenuBarXPImpl<CMenuBar, CCommandBarXPCtrlBase, Base::CControlWinTraits> {
public:
    CMenuBar();
    ~CMenuBar() override;

    static const wchar_t* GetWndClassName() { return L"ZQXP_MenuBar"; }

    // Creates the flat bar (styles TBSTYLE_FLAT, TBSTYLE_LIST and
    // TBSTYLE_TRANSPARENT added), the palette, and the rebar's bands set
    // up around it.
    HWND CreateMenuBar(HWND parent, const RECT* rect, const wchar_t* name, DWORD style,
                       DWORD exStyle, UINT id, void* param);
    BOOL Attach(HMENU menu);
    UINT TrackPopup(HMENU menu, UINT flags, int x, int y, HWND notify, LPTPMPARAMS params);
    void RegisterToolBar(HWND toolBar);
    bool LoadImages(HBITMAP strip, const UINT* commands, int count);

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId = 0) override;
    LRESULT OnCustomDraw(NMCUSTOMDRAW& draw, bool& handled);

private:
    LRESULT DrawStyledBands(NMCUSTOMDRAW& draw);
    void PaintBandBehind(HDC dc, HWND toolBar) const;
    void SetUpRebarBands();
};

// The host's view of a bar. The slots are fixed: a host built by any
// compiler calls them through the table, so nothing may come before
// Release (no virtual destructor).
struct IZqMenu {
    virtual void Release() = 0;
    virtual void Create(HWND parent, const RECT* rect, LPCWSTR windowName, DWORD style,
                        DWORD exStyle, UINT id, void* createParam) = 0;
    virtual BOOL AttachMenu(HMENU menu) = 0;
    virtual BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND notify,
                                LPTPMPARAMS params) = 0;

protected:
    ~IZqMenu() = default;
};

class CZqMenu final : public IZqMenu {
public:
    void Release() override;
    void Create(HWND parent, const RECT* rect, LPCWSTR windowName, DWORD style, DWORD exStyle,
                UINT id, void* createParam) override;
    BOOL AttachMenu(HMENU menu) override;
    BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND notify,
                        LPTPMPARAMS params) override;
    ~CZqMenu();

private:
    CMenuBar m_bar;
};

}  // namespace Windows

extern "C" {
// A new bar behind its interface (no window yet), or null when memory is
// short; the caller releases it through slot 0.
ORVEL_API Windows::IZqMenu* NewInstance_IZqMenu();
}
