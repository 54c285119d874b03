#pragma once
// A command bar: a tool bar whose buttons are a menu's top-level items and
// that drops their popups down the way a window's menu bar does, by mouse
// (click to open, hot tracking to neighbours while a popup is open) and by
// keyboard (Alt or F10 to enter, arrows, Esc, mnemonics, Enter). Popup items
// become owner-drawn while they are shown, so the final class measures and
// draws them; the bar's buttons are custom-drawn the same way.
//
// CCommandBarCtrlImpl<T, TBase, TWinTraits> takes the final class T, which
// may provide (all optional, found by name):
//   static const wchar_t* GetWndClassName();
//   void MeasureItem(MEASUREITEMSTRUCT&);        popup items of the bar
//   void DrawItem(const DRAWITEMSTRUCT&);
//   LRESULT OnCustomDraw(NMCUSTOMDRAW&, bool& handled);   any NM_CUSTOMDRAW
//   LRESULT OnParentNotify(NMHDR&, bool& handled);         other WM_NOTIFY
//   UINT DoTrackPopupMenu(HMENU, UINT flags, int x, int y, LPTPMPARAMS);
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include "../base/Export.h"
#include "../base/GdiHandles.h"
#include "../base/WindowImpl.h"

namespace Base {

// Extended styles of the bar (not of the tool bar).
constexpr DWORD kCbrExTransparent = 0x00000001;
constexpr DWORD kCbrExShareMenu = 0x00000002;
constexpr DWORD kCbrExAltFocusMode = 0x00000004;
constexpr DWORD kCbrExTrackAlways = 0x00000008;
constexpr DWORD kCbrExDefault = kCbrExTransparent | kCbrExShareMenu | kCbrExTrackAlways;

// The text, type and data a popup item had before it became owner-drawn.
struct SMenuItemData {
    HMENU menu = nullptr;
    UINT type = 0;          // MFT_* as it was
    ULONG_PTR data = 0;     // the host's item data
    HBITMAP bitmap = nullptr;
    std::wstring text;      // with '&' and the tab before the accelerator
    UINT id = 0;
    bool popup = false;
};

// What is shared by every bar: the thread's message hook and its bars, the
// popup items converted to owner-draw, the image list by command.
class ORVEL_API CCommandBarCtrlBase : public CWindow {
public:
    explicit CCommandBarCtrlBase(HWND hWnd = nullptr);
    struct SThreadBars;
    ~CCommandBarCtrlBase();
    CCommandBarCtrlBase(const CCommandBarCtrlBase&) = delete;
    CCommandBarCtrlBase& operator=(const CCommandBarCtrlBase&) = delete;

    HMENU GetMenu() const { return m_hMenu; }
    DWORD GetCommandBarExtendedStyle() const { return m_dwExtendedStyle; }
    DWORD SetCommandBarExtendedStyle(DWORD style, DWORD mask = 0);
    SIZE GetButtonSize() const { return m_szButton; }
    SIZE GetImageSize() const { return m_szBitmap; }
    HFONT GetMenuFont() const { return m_font; }
    bool ShowsKeyboardCues() const { return m_bShowCues; }
    // True while the bar takes the keyboard (after Alt or F10) or a popup is open.
    bool IsKeyboardMode() const { return m_bArmed; }
    bool IsPopupOpen() const { return m_bMenuActive; }
    int GetHotButton() const;

    // Images for popup items: a strip of 16 x 15 images (mask colour
    // 0xC0C0C0), one per command, in order. False when nothing was added.
    bool AddImages(HBITMAP strip, const UINT* commands, int count);
    // Index in the image list of a command's image, or -1.
    int ImageOf(UINT command) const;
    HIMAGELIST GetImageList() const { return m_images; }

    // Our record of an owner-drawn item, or null for anyone else's data.
    SMenuItemData* FindItemData(ULONG_PTR data) const;
    // Our record of the item at a position of a menu, or null.
    SMenuItemData* ItemDataAt(HMENU menu, int position) const;
    // Every item of the popup that is not owner-drawn yet becomes so.
    void ConvertMenu(HMENU popup);
    // Gives every converted item back its own type, text and data.
    void RestoreMenus();

    // The window commands and menu notifications go to: the owner of the
    // rebar the bar sits in, or the bar's parent.
    HWND GetCommandTarget() const;

    // An item's text on one line in the rectangle: the part before the tab
    // left-aligned, the accelerator after it right-aligned, '&' prefixes
    // underlined only while the bar shows keyboard cues.
    void DrawMenuText(HDC dc, const RECT& rect, const std::wstring& text, COLORREF colour) const;
    // The text as shown without keyboard cues: '&' prefixes dropped, "&&"
    // kept as one '&' (drawn with DT_NOPREFIX: some platforms ignore
    // DT_HIDEPREFIX).
    static std::wstring WithoutPrefixes(const std::wstring& text);

protected:
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam);
    static void RegisterBar(CCommandBarCtrlBase* bar);
    static void UnregisterBar(CCommandBarCtrlBase* bar);
    static CCommandBarCtrlBase* s_tracking;  // the bar whose popup is open (thread of the UI)

    // Key and mouse messages of the bar's top-level window; true swallows it.
    bool OnHookMessage(MSG& msg);
    // Messages of the popup's modal loop; true swallows it.
    bool OnMenuFilter(MSG& msg);

    void CreateMenuFont();
    void SetupToolBar();
    void RemoveButtons();
    int ButtonCount() const;
    int HitTestButton(POINT client) const;
    int FindMnemonic(wchar_t key) const;
    void Arm(int hotButton);
    void Disarm();
    void SetHot(int button);
    int Neighbour(int button, int step) const;
    void RecordMenuSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam) const;

    HMENU m_hMenu = nullptr;
    DWORD m_dwExtendedStyle = kCbrExDefault;
    SIZE m_szBitmap = {16, 15};
    SIZE m_szButton = {16 + 8, 15 + 7};
    COLORREF m_clrMask = RGB(0xC0, 0xC0, 0xC0);
    CFontHandle m_font;
    HIMAGELIST m_images = nullptr;
    std::vector<UINT> m_imageCommands;
    std::vector<std::unique_ptr<SMenuItemData>> m_items;
    std::set<HMENU> m_converted;

    // Keyboard and tracking state.
    bool m_bArmed = false;
    bool m_bShowCues = false;
    bool m_bAltDown = false;
    bool m_bMenuActive = false;
    bool m_bContextMenu = false;
    bool m_bEscapedTop = false;
    int m_nPopupButton = -1;     // the button whose popup is open
    int m_nNextPopup = -1;       // the button to open when this popup closes
    bool m_bNextByKeyboard = false;
    HMENU m_hTopPopup = nullptr;
    HMENU m_hCurrentMenu = nullptr;
    bool m_bSelectedIsPopup = false;
    HWND m_hNotifyWindow = nullptr;  // a context popup's notify window
    POINT m_ptLastMouse = {-1, -1};
    std::vector<HWND> m_hooked;     // parents whose notifications the bar reads
    std::vector<std::unique_ptr<CWindowImplBaseT<>>> m_parentHooks;
};

// Whether the thread's command-bar message hook exists (it lives from the
// thread's first bar to its last).
ORVEL_API bool CommandBarHookInstalled(DWORD thread);

// Private messages of the bar to itself.
constexpr UINT kMsgOpenPopup = WM_APP + 0x3A1;    // wParam: button, lParam: by keyboard

template <class T, class TBase = CCommandBarCtrlBase, class TWinTraits = CControlWinTraits>
class CCommandBarCtrlImpl : public CWindowImplBaseT<TBase, TWinTraits> {
public:
    CCommandBarCtrlImpl() = default;

    // Creates the bar as a window of T's class, a superclass of the common
    // tool bar. Null on failure.
    HWND Create(HWND parent, const RECT* rect, const wchar_t* name, DWORD style, DWORD exStyle,
                UINT id, void* param);
    // The menu's top-level items become buttons (null removes them). False
    // for anything that is not a menu.
    BOOL AttachMenu(HMENU menu);
    // Tracks a popup as a context menu of the bar.
    UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND notify, LPTPMPARAMS params);
    // Opens a button's popup, and the neighbours the user moves to, until
    // the menu is left.
    void OpenPopup(int button, bool byKeyboard);

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId = 0) override;

    // Entry points T replaces.
    static const wchar_t* GetWndClassName() { return L"OrvelCommandBar"; }
    void MeasureItem(MEASUREITEMSTRUCT& item);
    void DrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnCustomDraw(NMCUSTOMDRAW&, bool& handled)
    {
        handled = false;
        return 0;
    }
    LRESULT OnParentNotify(NMHDR&, bool& handled)
    {
        handled = false;
        return 0;
    }
    UINT DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params);
    LRESULT OnSettingChange();

    // Answers the notifications of the windows the bar watches (its parent
    // and, in a rebar, the rebar's parent).
    bool OnWatchedNotify(NMHDR& header, LRESULT& result);

protected:
    static LRESULT CALLBACK SuperclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterSuperclass();
    void WatchParents();
    void UnwatchParents();

    LRESULT OnCreate();
    void OnDestroy();
    bool OnLButtonDown(LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
};

}  // namespace Base
