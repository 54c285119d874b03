#include "CommandBar.h"

#include <algorithm>
#include <map>
#include "../base/Failure.h"
#include "MenuPalette.h"

namespace Base {

namespace {

// Lengths of item texts read back from menus.
constexpr int kMaxItemText = 256;
// lParam bit of a key message: the key was already down (auto-repeat).
constexpr LPARAM kKeyWasDown = 1 << 30;

wchar_t Upper(wchar_t c)
{
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

wchar_t Mnemonic(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'&') {
            if (text[i + 1] != L'&')
                return Upper(text[i + 1]);
            ++i;
        }
    }
    return 0;
}

std::wstring ItemText(HMENU menu, UINT position)
{
    wchar_t buffer[kMaxItemText] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = kMaxItemText - 1;
    if (!::GetMenuItemInfoW(menu, position, TRUE, &info))
        return std::wstring();
    return buffer;
}

BOOL CALLBACK CollectPopupMenus(HWND window, LPARAM found)
{
    wchar_t name[8] = {};
    if (::IsWindowVisible(window) && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
        ::GetClassNameW(window, name, 8) && wcscmp(name, L"#32768") == 0)
        reinterpret_cast<std::vector<HMENU>*>(found)->push_back(
            reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0)));
    return TRUE;
}

bool IsSubmenuOf(HMENU child, HMENU parent)
{
    int count = ::GetMenuItemCount(parent);
    for (int i = 0; i < count; ++i)
        if (::GetSubMenu(parent, i) == child)
            return true;
    return false;
}

BOOL CALLBACK InvalidatePopup(HWND window, LPARAM)
{
    wchar_t name[8] = {};
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
        ::GetClassNameW(window, name, 8) && wcscmp(name, L"#32768") == 0)
        ::InvalidateRect(window, nullptr, FALSE);
    return TRUE;
}

void InvalidateOpenPopups()
{
    ::EnumWindows(&InvalidatePopup, 0);
}

// The deepest open popup menu of the thread: the one none of the others
// opened from.
HMENU DeepestOpenMenu()
{
    std::vector<HMENU> open;
    ::EnumWindows(&CollectPopupMenus, reinterpret_cast<LPARAM>(&open));
    for (HMENU candidate : open) {
        bool parentOfAnother = false;
        for (HMENU other : open)
            parentOfAnother = parentOfAnother || (other != candidate && IsSubmenuOf(other, candidate));
        if (!parentOfAnother)
            return candidate;
    }
    return nullptr;
}

bool SelectedItemOpensSubmenu(HMENU menu)
{
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE)
            return ::GetSubMenu(menu, i) != nullptr;
    return false;
}

struct SMnemonicSearch {
    wchar_t key;
    bool found;
};

BOOL CALLBACK FindControlMnemonic(HWND child, LPARAM search)
{
    auto& wanted = *reinterpret_cast<SMnemonicSearch*>(search);
    if (!::IsWindowVisible(child) || !::IsWindowEnabled(child))
        return TRUE;
    wchar_t text[kMaxItemText] = {};
    ::GetWindowTextW(child, text, kMaxItemText);
    wanted.found = Mnemonic(text) == wanted.key;
    return !wanted.found;
}

// A dialog's own controls answer their mnemonics before its menu does, as
// the dialog manager has them.
bool DialogControlHasMnemonic(HWND root, wchar_t key)
{
    wchar_t name[8] = {};
    if (!::GetClassNameW(root, name, 8) || wcscmp(name, L"#32770") != 0)
        return false;
    SMnemonicSearch search = {Upper(key), false};
    ::EnumChildWindows(root, &FindControlMnemonic, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

// The bars of one thread and its message hook, made with the first bar.
struct CCommandBarCtrlBase::SThreadBars {
    HHOOK hook = nullptr;
    std::vector<CCommandBarCtrlBase*> bars;
};

namespace {
std::map<DWORD, CCommandBarCtrlBase::SThreadBars>& ThreadBars()
{
    static std::map<DWORD, CCommandBarCtrlBase::SThreadBars> bars;
    return bars;
}
}  // namespace

CCommandBarCtrlBase* CCommandBarCtrlBase::s_tracking = nullptr;

CCommandBarCtrlBase::CCommandBarCtrlBase(HWND hWnd) : CWindow(hWnd) {}

CCommandBarCtrlBase::~CCommandBarCtrlBase()
{
    UnregisterBar(this);
    RestoreMenus();
    if (m_images)
        ::ImageList_Destroy(m_images);
}

DWORD CCommandBarCtrlBase::SetCommandBarExtendedStyle(DWORD style, DWORD mask)
{
    DWORD old = m_dwExtendedStyle;
    m_dwExtendedStyle = mask ? (old & ~mask) | (style & mask) : style;
    return old;
}

void CCommandBarCtrlBase::RegisterBar(CCommandBarCtrlBase* bar)
{
    Windows::CMenuLock lock;
    SThreadBars& thread = ThreadBars()[::GetCurrentThreadId()];
    if (std::find(thread.bars.begin(), thread.bars.end(), bar) == thread.bars.end())
        thread.bars.push_back(bar);
    if (!thread.hook)
        thread.hook = ::SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, nullptr, ::GetCurrentThreadId());
}

void CCommandBarCtrlBase::UnregisterBar(CCommandBarCtrlBase* bar)
{
    Windows::CMenuLock lock;
    auto& all = ThreadBars();
    for (auto it = all.begin(); it != all.end(); ++it) {
        auto& bars = it->second.bars;
        auto found = std::find(bars.begin(), bars.end(), bar);
        if (found == bars.end())
            continue;
        bars.erase(found);
        if (bars.empty()) {
            if (it->second.hook)
                ::UnhookWindowsHookEx(it->second.hook);
            all.erase(it);
        }
        return;
    }
}

bool CommandBarHookInstalled(DWORD thread)
{
    Windows::CMenuLock lock;
    auto found = ThreadBars().find(thread);
    return found != ThreadBars().end() && found->second.hook;
}

LRESULT CALLBACK CCommandBarCtrlBase::GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK hook = nullptr;
    std::vector<CCommandBarCtrlBase*> bars;
    {
        Windows::CMenuLock lock;
        auto found = ThreadBars().find(::GetCurrentThreadId());
        if (found != ThreadBars().end()) {
            hook = found->second.hook;
            bars = found->second.bars;
        }
    }
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        try {
            for (CCommandBarCtrlBase* bar : bars) {
                if (bar->OnHookMessage(msg)) {
                    msg.message = WM_NULL;
                    break;
                }
            }
        } catch (...) {
            ReportFailure("command bar hook", "unknown exception");
        }
    }
    return ::CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CALLBACK CCommandBarCtrlBase::MenuFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_MENU && s_tracking) {
        try {
            if (s_tracking->OnMenuFilter(*reinterpret_cast<MSG*>(lParam)))
                return TRUE;
        } catch (...) {
            ReportFailure("command bar menu filter", "unknown exception");
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CCommandBarCtrlBase::CreateMenuFont()
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        m_font.Reset(::CreateFontIndirectW(&metrics.lfMenuFont));
    if (!m_font) {
        LOGFONTW font = {};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        m_font.Reset(::CreateFontIndirectW(&font));
    }
}

void CCommandBarCtrlBase::SetupToolBar()
{
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    // Text-only buttons: no image space, the button as tall as a menu line.
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(0, m_szBitmap.cy));
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
}

void CCommandBarCtrlBase::RemoveButtons()
{
    for (int i = ButtonCount() - 1; i >= 0; --i)
        SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(i));
}

int CCommandBarCtrlBase::ButtonCount() const
{
    return m_hWnd ? static_cast<int>(SendMessage(TB_BUTTONCOUNT)) : 0;
}

int CCommandBarCtrlBase::GetHotButton() const
{
    return m_hWnd ? static_cast<int>(SendMessage(TB_GETHOTITEM)) : -1;
}

int CCommandBarCtrlBase::HitTestButton(POINT client) const
{
    int count = ButtonCount();
    for (int i = 0; i < count; ++i) {
        RECT rect = {};
        if (SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect)) &&
            ::PtInRect(&rect, client))
            return i;
    }
    return -1;
}

int CCommandBarCtrlBase::FindMnemonic(wchar_t key) const
{
    if (!m_hMenu || !key)
        return -1;
    wchar_t upper = Upper(key);
    int count = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < count; ++i)
        if (Mnemonic(ItemText(m_hMenu, static_cast<UINT>(i))) == upper)
            return i;
    return -1;
}

void CCommandBarCtrlBase::SetHot(int button)
{
    SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(button));
}

void CCommandBarCtrlBase::Arm(int hotButton)
{
    if (ButtonCount() == 0)
        return;
    m_bArmed = true;
    m_bShowCues = true;
    SetHot(std::clamp(hotButton, 0, ButtonCount() - 1));
    Invalidate();
}

void CCommandBarCtrlBase::Disarm()
{
    bool wasArmed = m_bArmed;
    m_bArmed = false;
    m_bShowCues = false;
    m_bAltDown = false;
    if (wasArmed && m_hWnd) {
        SetHot(-1);
        Invalidate();
    }
}

int CCommandBarCtrlBase::Neighbour(int button, int step) const
{
    int count = ButtonCount();
    return count ? ((button + step) % count + count) % count : -1;
}

bool CCommandBarCtrlBase::OnHookMessage(MSG& msg)
{
    // Another window took the activation while the bar held the keyboard:
    // a native menu bar lets go then.
    if (m_bArmed && m_hWnd && ::GetActiveWindow() != ::GetAncestor(m_hWnd, GA_ROOT))
        Disarm();
    if (!m_hWnd || !m_hMenu || m_bMenuActive || !msg.hwnd || !IsWindowVisible() ||
        ::GetAncestor(msg.hwnd, GA_ROOT) != ::GetAncestor(m_hWnd, GA_ROOT))
        return false;
    const bool repeat = (msg.lParam & kKeyWasDown) != 0;
    switch (msg.message) {
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
        if (msg.wParam == VK_MENU) {
            if (!repeat)
                m_bAltDown = true;
            return m_bArmed;
        }
        m_bAltDown = false;
        if (msg.wParam == VK_F10 && msg.message == WM_SYSKEYDOWN) {
            if (m_bArmed)
                Disarm();
            else
                Arm(0);
            return true;
        }
        if (!m_bArmed)
            return false;
        switch (msg.wParam) {
        case VK_LEFT:
        case VK_RIGHT:
            SetHot(Neighbour(std::max(GetHotButton(), 0), msg.wParam == VK_LEFT ? -1 : 1));
            return true;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
            PostMessage(kMsgOpenPopup, static_cast<WPARAM>(std::max(GetHotButton(), 0)), TRUE);
            return true;
        case VK_ESCAPE:
            Disarm();
            return true;
        default: {
            // The armed bar keeps the keyboard: a letter is a mnemonic or nothing.
            int button = FindMnemonic(static_cast<wchar_t>(::MapVirtualKeyW(static_cast<UINT>(msg.wParam), MAPVK_VK_TO_CHAR)));
            if (button >= 0)
                PostMessage(kMsgOpenPopup, static_cast<WPARAM>(button), TRUE);
            else
                ::MessageBeep(0);
            return true;
        }
        }
    case WM_SYSKEYUP:
    case WM_KEYUP:
        if (msg.wParam == VK_MENU || msg.wParam == VK_F10) {
            if (msg.wParam == VK_MENU && m_bAltDown) {
                m_bAltDown = false;
                if (m_bArmed)
                    Disarm();
                else
                    Arm(0);
                return true;
            }
            return m_bArmed || msg.wParam == VK_F10;
        }
        return m_bArmed;
    case WM_CHAR:
        return m_bArmed;
    case WM_SYSCHAR: {
        if (!m_bArmed && DialogControlHasMnemonic(::GetAncestor(m_hWnd, GA_ROOT), static_cast<wchar_t>(msg.wParam)))
            return false;
        int button = FindMnemonic(static_cast<wchar_t>(msg.wParam));
        if (button >= 0) {
            m_bShowCues = true;
            PostMessage(kMsgOpenPopup, static_cast<WPARAM>(button), TRUE);
            return true;
        }
        return m_bArmed;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (m_bArmed && msg.hwnd != m_hWnd)
            Disarm();
        return false;
    default:
        return false;
    }
}

bool CCommandBarCtrlBase::OnMenuFilter(MSG& msg)
{
    if (m_bContextMenu)
        return false;
    if (msg.message == WM_MOUSEMOVE) {
        POINT point = msg.pt;
        if (point.x == m_ptLastMouse.x && point.y == m_ptLastMouse.y)
            return false;
        m_ptLastMouse = point;
        ::ScreenToClient(m_hWnd, &point);
        int button = HitTestButton(point);
        if (button >= 0 && button != m_nPopupButton) {
            m_nNextPopup = button;
            m_bNextByKeyboard = false;
            ::EndMenu();
            return true;
        }
        return false;
    }
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) {
        // A click on the open button closes its popup and is used up.
        POINT point = msg.pt;
        ::ScreenToClient(m_hWnd, &point);
        if (HitTestButton(point) == m_nPopupButton && m_nPopupButton >= 0) {
            m_nNextPopup = -1;
            ::EndMenu();
            return true;
        }
        return false;
    }
    if (msg.message != WM_KEYDOWN)
        return false;
    if (!m_bShowCues) {
        // The keyboard took over a popup opened by the mouse: mnemonics show.
        m_bShowCues = true;
        Invalidate();
        InvalidateOpenPopups();
    }
    // Where the keyboard is, asked of the open popups themselves: a
    // submenu closed by the keyboard tells its owner nothing.
    HMENU current = DeepestOpenMenu();
    if (!current)
        current = m_hCurrentMenu;
    const bool inTop = current == m_hTopPopup || !current;
    switch (msg.wParam) {
    case VK_LEFT:
        if (!inTop)
            return false;
        m_nNextPopup = Neighbour(m_nPopupButton, -1);
        break;
    case VK_RIGHT:
        if (current ? SelectedItemOpensSubmenu(current) : m_bSelectedIsPopup)
            return false;
        m_nNextPopup = Neighbour(m_nPopupButton, 1);
        break;
    case VK_ESCAPE:
        if (inTop)
            m_bEscapedTop = true;
        return false;
    default:
        return false;
    }
    if (m_nNextPopup == m_nPopupButton) {
        m_nNextPopup = -1;
        return false;
    }
    m_bNextByKeyboard = true;
    ::EndMenu();
    return true;
}

void CCommandBarCtrlBase::RecordMenuSelect(WPARAM wParam, LPARAM lParam)
{
    UINT flags = HIWORD(wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (flags == 0xFFFF && !menu) {
        m_hCurrentMenu = nullptr;
        m_bSelectedIsPopup = false;
        return;
    }
    m_hCurrentMenu = menu;
    m_bSelectedIsPopup = (flags & MF_POPUP) != 0;
}

LRESULT CCommandBarCtrlBase::OnMenuChar(WPARAM wParam, LPARAM lParam) const
{
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    wchar_t key = Upper(static_cast<wchar_t>(LOWORD(wParam)));
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const SMenuItemData* data = ItemDataAt(menu, i);
        if (data && Mnemonic(data->text) == key)
            return MAKELRESULT(i, MNC_EXECUTE);
    }
    return MAKELRESULT(0, MNC_IGNORE);
}

bool CCommandBarCtrlBase::AddImages(HBITMAP strip, const UINT* commands, int count)
{
    if (!strip || !commands || count <= 0)
        return false;
    if (!m_images)
        m_images = ::ImageList_Create(m_szBitmap.cx, m_szBitmap.cy, ILC_COLOR32 | ILC_MASK, count, 4);
    if (!m_images)
        return false;
    int first = ::ImageList_AddMasked(m_images, strip, m_clrMask);
    if (first < 0)
        return false;
    for (int i = 0; i < count; ++i) {
        size_t index = static_cast<size_t>(first + i);
        if (m_imageCommands.size() <= index)
            m_imageCommands.resize(index + 1, 0);
        m_imageCommands[index] = commands[i];
    }
    return true;
}

int CCommandBarCtrlBase::ImageOf(UINT command) const
{
    if (!m_images || command == 0)
        return -1;
    int count = ::ImageList_GetImageCount(m_images);
    for (int i = 0; i < count && static_cast<size_t>(i) < m_imageCommands.size(); ++i)
        if (m_imageCommands[static_cast<size_t>(i)] == command)
            return i;
    return -1;
}

SMenuItemData* CCommandBarCtrlBase::FindItemData(ULONG_PTR data) const
{
    for (const auto& item : m_items)
        if (reinterpret_cast<ULONG_PTR>(item.get()) == data)
            return item.get();
    return nullptr;
}

SMenuItemData* CCommandBarCtrlBase::ItemDataAt(HMENU menu, int position) const
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
        return nullptr;
    return FindItemData(info.dwItemData);
}

void CCommandBarCtrlBase::ConvertMenu(HMENU popup)
{
    if (!::IsMenu(popup))
        return;
    int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[kMaxItemText] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_BITMAP;
        info.dwTypeData = buffer;
        info.cch = kMaxItemText - 1;
        if (!::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info))
            continue;
        if (info.fType & MFT_OWNERDRAW)
            continue;  // ours already, or the host draws it
        auto item = std::make_unique<SMenuItemData>();
        item->menu = popup;
        item->type = info.fType;
        item->data = info.dwItemData;
        item->bitmap = info.hbmpItem;
        item->text = (info.fType & (MFT_BITMAP | MFT_SEPARATOR)) ? std::wstring() : std::wstring(buffer);
        item->id = info.wID;
        item->popup = info.hSubMenu != nullptr;
        MENUITEMINFOW change = {};
        change.cbSize = sizeof change;
        change.fMask = MIIM_FTYPE | MIIM_DATA;
        change.fType = info.fType | MFT_OWNERDRAW;
        change.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
        if (::SetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &change))
            m_items.push_back(std::move(item));
    }
    m_converted.insert(popup);
}

void CCommandBarCtrlBase::RestoreMenus()
{
    for (HMENU menu : m_converted) {
        if (!::IsMenu(menu))
            continue;
        int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            const SMenuItemData* item = ItemDataAt(menu, i);
            if (!item)
                continue;
            MENUITEMINFOW back = {};
            back.cbSize = sizeof back;
            back.fMask = MIIM_FTYPE | MIIM_DATA;
            back.fType = item->type;
            back.dwItemData = item->data;
            if (!(item->type & (MFT_BITMAP | MFT_SEPARATOR))) {
                back.fMask |= MIIM_STRING;
                back.dwTypeData = const_cast<wchar_t*>(item->text.c_str());
            }
            ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &back);
        }
    }
    m_converted.clear();
    m_items.clear();
}

HWND CCommandBarCtrlBase::GetCommandTarget() const
{
    if (m_hNotifyWindow)
        return m_hNotifyWindow;
    HWND parent = ::GetParent(m_hWnd);
    wchar_t name[32] = {};
    if (parent && ::GetClassNameW(parent, name, 32) && wcscmp(name, REBARCLASSNAMEW) == 0)
        return ::GetParent(parent);
    return parent;
}

std::wstring CCommandBarCtrlBase::WithoutPrefixes(const std::wstring& text)
{
    std::wstring plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

void CCommandBarCtrlBase::DrawMenuText(HDC dc, const RECT& rect, const std::wstring& text,
                                       COLORREF colour) const
{
    UINT format = DT_SINGLELINE | DT_VCENTER | (m_bShowCues ? 0 : DT_NOPREFIX);
    size_t tab = text.find(L'\t');
    std::wstring label = text.substr(0, tab);
    if (!m_bShowCues)
        label = WithoutPrefixes(label);
    ::SetTextColor(dc, colour);
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    RECT area = rect;
    ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &area, format | DT_LEFT);
    if (tab != std::wstring::npos) {
        std::wstring accelerator = m_bShowCues ? text.substr(tab + 1) : WithoutPrefixes(text.substr(tab + 1));
        area = rect;
        ::DrawTextW(dc, accelerator.c_str(), static_cast<int>(accelerator.size()), &area,
                    format | DT_RIGHT);
    }
    ::SetBkMode(dc, oldMode);
}

}  // namespace Base
