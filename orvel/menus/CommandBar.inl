// Member definitions of CCommandBarCtrlImpl; included by the one source
// that instantiates it for the final bar class.
#include <functional>
#include "../base/Module.h"
#include "CommandBar.h"

namespace Base {

namespace CommandBarDetail {

// Reads the notifications a watched window receives and offers them to the
// bar first.
class CNotifyWatch : public CWindowImplBaseT<> {
public:
    using Handler = std::function<bool(NMHDR&, LRESULT&)>;
    explicit CNotifyWatch(Handler handler) : m_handler(std::move(handler)) {}
    BOOL ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result,
                              DWORD) override
    {
        return message == WM_NOTIFY && lParam && m_handler(*reinterpret_cast<NMHDR*>(lParam), result);
    }

private:
    Handler m_handler;
};

inline bool IsRebar(HWND window)
{
    wchar_t name[32] = {};
    return window && ::GetClassNameW(window, name, 32) && wcscmp(name, REBARCLASSNAMEW) == 0;
}

// The default style of a bar: a child that the rebar or the host places.
// Menu commands are 16-bit identifiers.
constexpr UINT kMaxCommandId = 0xFFFF;

constexpr DWORD kDefaultBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                   CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;

}  // namespace CommandBarDetail

// The bar being created on this thread: its window is subclassed on its
// first message, so WM_CREATE already reaches the bar.
template <class T, class TBase, class TWinTraits>
struct SCreatingBar {
    static inline thread_local T* pending = nullptr;
    static inline WNDPROC toolBarProc = nullptr;
};

template <class T, class TBase, class TWinTraits>
LRESULT CALLBACK CCommandBarCtrlImpl<T, TBase, TWinTraits>::SuperclassProc(HWND hWnd, UINT message,
                                                                          WPARAM wParam, LPARAM lParam)
{
    using Creating = SCreatingBar<T, TBase, TWinTraits>;
    if (T* bar = Creating::pending) {
        Creating::pending = nullptr;
        bar->SubclassWindow(hWnd);
    }
    return ::CallWindowProcW(Creating::toolBarProc, hWnd, message, wParam, lParam);
}

template <class T, class TBase, class TWinTraits>
bool CCommandBarCtrlImpl<T, TBase, TWinTraits>::RegisterSuperclass()
{
    using Creating = SCreatingBar<T, TBase, TWinTraits>;
    HINSTANCE instance = GetLibraryModule() ? GetLibraryModule() : ::GetModuleHandleW(nullptr);
    WNDCLASSEXW mine = {};
    mine.cbSize = sizeof mine;
    if (Creating::toolBarProc && ::GetClassInfoExW(instance, T::GetWndClassName(), &mine))
        return true;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_COOL_CLASSES;
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW tool = {};
    tool.cbSize = sizeof tool;
    if (!::GetClassInfoExW(nullptr, TOOLBARCLASSNAMEW, &tool))
        return false;
    Creating::toolBarProc = tool.lpfnWndProc;
    tool.cbSize = sizeof tool;
    tool.lpfnWndProc = &SuperclassProc;
    tool.hInstance = instance;
    tool.lpszClassName = T::GetWndClassName();
    return ::RegisterClassExW(&tool) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

template <class T, class TBase, class TWinTraits>
HWND CCommandBarCtrlImpl<T, TBase, TWinTraits>::Create(HWND parent, const RECT* rect,
                                                      const wchar_t* name, DWORD style,
                                                      DWORD exStyle, UINT id, void* param)
{
    if (this->m_hWnd || !RegisterSuperclass())
        return nullptr;
    const RECT place = rect ? *rect : RECT{0, 0, 0, 0};
    HINSTANCE instance = GetLibraryModule() ? GetLibraryModule() : ::GetModuleHandleW(nullptr);
    SCreatingBar<T, TBase, TWinTraits>::pending = static_cast<T*>(this);
    HWND hWnd = ::CreateWindowExW(exStyle, T::GetWndClassName(), name,
                                  style ? style : CommandBarDetail::kDefaultBarStyle, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top,
                                  parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  instance, param);
    SCreatingBar<T, TBase, TWinTraits>::pending = nullptr;
    if (hWnd && this->m_hWnd != hWnd) {
        ::DestroyWindow(hWnd);
        return nullptr;
    }
    if (hWnd && this->m_hMenu) {
        HMENU menu = std::exchange(this->m_hMenu, nullptr);
        AttachMenu(menu);
    }
    return hWnd;
}

template <class T, class TBase, class TWinTraits>
BOOL CCommandBarCtrlImpl<T, TBase, TWinTraits>::AttachMenu(HMENU menu)
{
    if (menu && !::IsMenu(menu))
        return FALSE;
    if (this->m_bMenuActive)
        return FALSE;
    if (!this->m_hWnd) {
        this->m_hMenu = menu;
        return TRUE;
    }
    this->SendMessage(WM_SETREDRAW, FALSE);
    this->RemoveButtons();
    this->m_hMenu = menu;
    int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 127;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = i;
        button.fsState = (info.fState & MFS_DISABLED) ? 0 : TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_DROPDOWN | BTNS_AUTOSIZE;
        button.dwData = static_cast<DWORD_PTR>(i);
        button.iString = reinterpret_cast<INT_PTR>(text);
        this->SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    this->SendMessage(TB_AUTOSIZE);
    this->SendMessage(WM_SETREDRAW, TRUE);
    this->Invalidate();
    return TRUE;
}

template <class T, class TBase, class TWinTraits>
UINT CCommandBarCtrlImpl<T, TBase, TWinTraits>::TrackPopupMenu(HMENU menu, UINT flags, int x, int y,
                                                              HWND notify, LPTPMPARAMS params)
{
    if (!::IsMenu(menu) || !this->m_hWnd || this->m_bMenuActive)
        return 0;
    this->m_bContextMenu = true;
    this->m_hNotifyWindow = notify;
    this->m_bMenuActive = true;
    this->m_hTopPopup = menu;
    UINT result = static_cast<T*>(this)->DoTrackPopupMenu(menu, flags, x, y, params);
    this->m_bMenuActive = false;
    this->m_bContextMenu = false;
    this->m_hNotifyWindow = nullptr;
    this->m_hTopPopup = nullptr;
    return result;
}

template <class T, class TBase, class TWinTraits>
void CCommandBarCtrlImpl<T, TBase, TWinTraits>::OpenPopup(int button, bool byKeyboard)
{
    if (this->m_bMenuActive || !this->m_hMenu || button < 0 || button >= this->ButtonCount())
        return;
    const HWND bar = this->m_hWnd;
    this->m_nNextPopup = button;
    this->m_bNextByKeyboard = byKeyboard;
    while (this->m_nNextPopup >= 0 && ::IsWindow(bar)) {
        const int index = std::exchange(this->m_nNextPopup, -1);
        const bool keyboard = this->m_bNextByKeyboard;
        HMENU popup = ::GetSubMenu(this->m_hMenu, index);
        if (::GetMenuState(this->m_hMenu, static_cast<UINT>(index), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED))
            break;
        if (!popup) {
            // A top-level command: chosen at once.
            UINT id = ::GetMenuItemID(this->m_hMenu, index);
            this->Disarm();
            ::PostMessageW(this->GetCommandTarget(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
            return;
        }
        this->m_nPopupButton = index;
        this->m_hTopPopup = popup;
        this->m_hCurrentMenu = popup;
        this->m_bSelectedIsPopup = false;
        this->m_bEscapedTop = false;
        if (keyboard)
            this->m_bShowCues = true;
        RECT rect = {};
        this->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        this->SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index), TRUE);
        this->SetHot(index);
        this->UpdateWindow();
        ::MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        TPMPARAMS exclude = {};
        exclude.cbSize = sizeof exclude;
        exclude.rcExclude = rect;
        if (keyboard)
            this->PostMessage(WM_KEYDOWN, VK_DOWN, 0);  // the first item selected, as from the keyboard
        ::GetCursorPos(&this->m_ptLastMouse);

        this->m_bMenuActive = true;
        CCommandBarCtrlBase::s_tracking = this;
        HHOOK filter = ::SetWindowsHookExW(WH_MSGFILTER, &CCommandBarCtrlBase::MenuFilterHook, nullptr,
                                           ::GetCurrentThreadId());
        UINT command = static_cast<T*>(this)->DoTrackPopupMenu(
            popup, TPM_LEFTBUTTON | TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
            rect.left, rect.bottom, &exclude);
        if (filter)
            ::UnhookWindowsHookEx(filter);
        CCommandBarCtrlBase::s_tracking = nullptr;
        if (!::IsWindow(bar))
            return;
        this->m_bMenuActive = false;
        this->SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index), FALSE);
        // A popup ended for a neighbour chose nothing, whatever the platform
        // answers (ending it from a submenu returns a value of its own).
        if (command && this->m_nNextPopup < 0 && command <= CommandBarDetail::kMaxCommandId) {
            this->Disarm();
            ::PostMessageW(this->GetCommandTarget(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
            break;
        }
        if (this->m_nNextPopup < 0) {
            // Esc at the first level goes back to the bar; anything else leaves it.
            if (this->m_bEscapedTop)
                this->Arm(index);
            else
                this->Disarm();
        }
    }
    this->m_nPopupButton = -1;
    this->m_hTopPopup = nullptr;
    this->m_hCurrentMenu = nullptr;
    if (::IsWindow(bar))
        this->Invalidate();
}

template <class T, class TBase, class TWinTraits>
UINT CCommandBarCtrlImpl<T, TBase, TWinTraits>::DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y,
                                                                LPTPMPARAMS params)
{
    this->ConvertMenu(menu);
    UINT result = static_cast<UINT>(::TrackPopupMenuEx(menu, flags, x, y, this->m_hWnd, params));
    this->RestoreMenus();
    return result;
}

template <class T, class TBase, class TWinTraits>
void CCommandBarCtrlImpl<T, TBase, TWinTraits>::MeasureItem(MEASUREITEMSTRUCT& item)
{
    const SMenuItemData* data = this->FindItemData(item.itemData);
    if (!data || (data->type & MFT_SEPARATOR)) {
        item.itemHeight = ::GetSystemMetrics(SM_CYMENU) / 2;
        item.itemWidth = 0;
        return;
    }
    CClientDC dc(this->m_hWnd);
    CSelectScope font(dc, this->m_font);
    RECT rect = {};
    ::DrawTextW(dc, data->text.c_str(), -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    item.itemWidth = static_cast<UINT>(rect.right + this->m_szButton.cx);
    item.itemHeight = static_cast<UINT>(std::max<LONG>(rect.bottom + 4, this->m_szButton.cy));
}

template <class T, class TBase, class TWinTraits>
void CCommandBarCtrlImpl<T, TBase, TWinTraits>::DrawItem(const DRAWITEMSTRUCT& item)
{
    const SMenuItemData* data = this->FindItemData(item.itemData);
    if (!data)
        return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    RECT text = item.rcItem;
    text.left += this->m_szButton.cx;
    CSelectScope font(item.hDC, this->m_font);
    this->DrawMenuText(item.hDC, text, data->text,
                       ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
}

template <class T, class TBase, class TWinTraits>
bool CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnWatchedNotify(NMHDR& header, LRESULT& result)
{
    bool handled = false;
    if (header.code == static_cast<UINT>(NM_CUSTOMDRAW))
        result = static_cast<T*>(this)->OnCustomDraw(reinterpret_cast<NMCUSTOMDRAW&>(header), handled);
    else
        result = static_cast<T*>(this)->OnParentNotify(header, handled);
    return handled;
}

template <class T, class TBase, class TWinTraits>
void CCommandBarCtrlImpl<T, TBase, TWinTraits>::WatchParents()
{
    HWND parent = ::GetParent(this->m_hWnd);
    HWND watched[2] = {parent, CommandBarDetail::IsRebar(parent) ? ::GetParent(parent) : nullptr};
    for (HWND window : watched) {
        if (!window)
            continue;
        auto watch = std::make_unique<CommandBarDetail::CNotifyWatch>(
            [this](NMHDR& header, LRESULT& result) { return OnWatchedNotify(header, result); });
        if (watch->SubclassWindow(window))
            this->m_parentHooks.push_back(std::move(watch));
    }
}

template <class T, class TBase, class TWinTraits>
void CCommandBarCtrlImpl<T, TBase, TWinTraits>::UnwatchParents()
{
    for (auto& watch : this->m_parentHooks)
        watch->UnsubclassWindow();
    this->m_parentHooks.clear();
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnCreate()
{
    LRESULT result = this->DefWindowProc();
    if (result == -1)
        return result;
    this->CreateMenuFont();
    this->SetupToolBar();
    CCommandBarCtrlBase::RegisterBar(this);
    WatchParents();
    return result;
}

template <class T, class TBase, class TWinTraits>
void CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnDestroy()
{
    UnwatchParents();
    CCommandBarCtrlBase::UnregisterBar(this);
    this->RestoreMenus();
    this->m_bArmed = false;
}

template <class T, class TBase, class TWinTraits>
bool CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnLButtonDown(LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    int button = this->HitTestButton(point);
    if (button < 0) {
        this->Disarm();
        return false;
    }
    TBBUTTON info = {};
    this->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(button), reinterpret_cast<LPARAM>(&info));
    if (info.fsState & TBSTATE_ENABLED)
        OpenPopup(button, false);
    return true;
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnInitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    // The host prepares its items first (checks, states), then they become ours to draw.
    if (HWND target = this->GetCommandTarget())
        ::SendMessageW(target, WM_INITMENUPOPUP, wParam, lParam);
    if (this->m_bMenuActive && !HIWORD(lParam))
        this->ConvertMenu(reinterpret_cast<HMENU>(wParam));
    return 0;
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
    this->RecordMenuSelect(wParam, lParam);
    if (HWND target = this->GetCommandTarget())
        return ::SendMessageW(target, WM_MENUSELECT, wParam, lParam);
    return 0;
}

template <class T, class TBase, class TWinTraits>
LRESULT CCommandBarCtrlImpl<T, TBase, TWinTraits>::OnSettingChange()
{
    this->CreateMenuFont();
    this->SetupToolBar();
    this->SendMessage(TB_AUTOSIZE);
    return this->DefWindowProc();
}

template <class T, class TBase, class TWinTraits>
BOOL CCommandBarCtrlImpl<T, TBase, TWinTraits>::ProcessWindowMessage(HWND, UINT message, WPARAM wParam,
                                                                    LPARAM lParam, LRESULT& result,
                                                                    DWORD)
{
    T* self = static_cast<T*>(this);
    switch (message) {
    case WM_CREATE:
        result = OnCreate();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown(lParam);
    case kMsgOpenPopup:
        OpenPopup(static_cast<int>(wParam), lParam != 0);
        return TRUE;
    case WM_INITMENUPOPUP:
        result = OnInitMenuPopup(wParam, lParam);
        return TRUE;
    case WM_MENUSELECT:
        result = OnMenuSelect(wParam, lParam);
        return TRUE;
    case WM_UNINITMENUPOPUP:
    case WM_COMMAND:
        if (HWND target = this->GetCommandTarget())
            result = ::SendMessageW(target, message, wParam, lParam);
        return TRUE;
    case WM_MENUCHAR:
        result = this->OnMenuChar(wParam, lParam);
        return TRUE;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!item || item->CtlType != ODT_MENU || !this->FindItemData(item->itemData))
            return FALSE;
        self->MeasureItem(*item);
        result = TRUE;
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!item || item->CtlType != ODT_MENU || !this->FindItemData(item->itemData))
            return FALSE;
        self->DrawItem(*item);
        result = TRUE;
        return TRUE;
    }
    case WM_SETTINGCHANGE:
        result = self->OnSettingChange();
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Base
