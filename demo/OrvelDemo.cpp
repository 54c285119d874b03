// Demo host of Orvel: a dialog holding every control styled so far, styled
// through the styled-window manager with the shipped packs.
//
//   OrvelDemo.exe                    opens the dialog and stays open
//   OrvelDemo.exe --shots DIR        writes screenshots into DIR and ends
//   OrvelDemo.exe --shots DIR --interactive   both: shots first, then stays
//
// "Next style" cycles through the packs found in Style\, the language
// button switches between English and Chinese (pack show names, and the
// dialog texts once the manager re-reads them from the template).
// "Settings…" opens a settings dialog built from templates (a tab control
// with child-dialog pages), styled by window class.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "DemoIds.h"
#include "TaskPaneHost.h"
#include "GlyphArea.h"
#include "MessageBoxDemo.h"
#include "MenuIds.h"
#include "SettingsDialog.h"
#include "orvel/base/GdiHandles.h"
#include "orvel/host/Global.h"
#include "orvel/menus/MenuBar.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/Messages.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/Screenshot.h"

namespace {

enum class EKind { Push, Check, Radio, RadioXP, Link, Static, ScrollBar, ScrollWnd, Glyphs };

struct SControl {
    int id;
    const wchar_t* name;  // used in close-up file names
    EKind kind;
};

const SControl kControls[] = {
    {IDC_HEAD_BUTTONS, nullptr, EKind::Static},
    {IDC_BTN_NORMAL, L"button_normal", EKind::Push},
    {IDC_BTN_DEFAULT, L"button_default", EKind::Push},
    {IDC_BTN_DISABLED, L"button_disabled", EKind::Push},
    {IDC_HEAD_CHECKS, nullptr, EKind::Static},
    {IDC_CHK_UNCHECKED, L"check_unchecked", EKind::Check},
    {IDC_CHK_CHECKED, L"check_checked", EKind::Check},
    {IDC_CHK_INDETERMINATE, L"check_indeterminate", EKind::Check},
    {IDC_CHK_DISABLED, L"check_disabled", EKind::Check},
    {IDC_HEAD_RADIOS, nullptr, EKind::Static},
    {IDC_RAD_CLASSIC_A, L"radio_classic_on", EKind::Radio},
    {IDC_RAD_CLASSIC_B, L"radio_classic_off", EKind::Radio},
    {IDC_RAD_XP_A, L"radio_xp_on", EKind::RadioXP},
    {IDC_RAD_XP_B, L"radio_xp_off", EKind::RadioXP},
    {IDC_LINK, L"hyperlink", EKind::Link},
    {IDC_HEAD_STATICS, nullptr, EKind::Static},
    {IDC_TXT_LEFT, L"static_left", EKind::Static},
    {IDC_TXT_CENTER, L"static_center", EKind::Static},
    {IDC_TXT_RIGHT, L"static_right", EKind::Static},
    {IDC_HEAD_SCROLL, nullptr, EKind::Static},
    {IDC_SCROLL_HORZ, L"scrollbar_horz", EKind::ScrollBar},
    {IDC_SCROLL_VERT, L"scrollbar_vert", EKind::ScrollBar},
    {IDC_EDIT, L"edit_scrolling", EKind::ScrollWnd},
    {IDC_LIST, L"listbox_scrolling", EKind::ScrollWnd},
    {IDC_HEAD_GLYPHS, nullptr, EKind::Static},
    {IDC_GLYPHS, L"glyphs", EKind::Glyphs},
    {IDC_NEXT_STYLE, nullptr, EKind::Push},
    {IDC_LANGUAGE, nullptr, EKind::Push},
    {IDC_SETTINGS, nullptr, EKind::Push},
    {IDC_MSGBOX, nullptr, EKind::Push},
    {IDC_STATUS, nullptr, EKind::Static},
};

// Shot's margin for a picture of the whole window rather than a close-up.
constexpr int kWindowShot = -1;

// FOLDER\NAME.png, with the folder's own kind of separator.
std::wstring ShotPath(const std::wstring& folder, const std::wstring& name)
{
    const wchar_t* slash = folder.find(L'/') != std::wstring::npos ? L"/" : L"\\";
    return folder + slash + name + L".png";
}

POINT Centre(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT CentreOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return Centre(rect);
}

// Keyboard input goes through the dialog manager of whichever modeless
// dialog it is for: the demo's own, or the settings dialog while it is shown.
// The main window's accelerators (its menu bar's shortcuts).
HWND g_mainWindow = nullptr;
HACCEL g_accelerators = nullptr;

void Dispatch(MSG& msg)
{
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && root == g_mainWindow && g_accelerators &&
        TranslateAcceleratorW(g_mainWindow, g_accelerators, &msg))
        return;
    wchar_t name[16] = {};
    if (root)
        GetClassNameW(root, name, 16);
    if (root && wcscmp(name, L"#32770") == 0 && IsDialogMessageW(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

std::string Narrow(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

class CDemo {
public:
    bool Create();
    void Destroy();
    void RunInteractive();
    // Every screenshot into folder; the paths written are appended to shots.
    void TakeShots(const std::wstring& folder, std::vector<std::wstring>& shots);
    // The settings dialog's pages, natively and in each pack, and a check
    // box hot and a radio button checked by the mouse.
    void TakeSettingsShots(const std::wstring& folder, const std::vector<std::wstring>& packs,
                           std::vector<std::wstring>& shots);

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void AddSideBar();
    void AddMenuBar();
    bool OnMenuCommand(UINT command);
    void DropPackMenu(const NMTOOLBARW& drop);
    void ShootMenus(const std::wstring& folder, const std::wstring& name, std::vector<std::wstring>& shots);
    void StyleControls();
    void ReadPackColours();
    bool PackStylesFrames();
    void SelectPack(const std::wstring& name);
    void NextPack();
    void SwitchLanguage();
    void UpdateStatus();
    void Repaint();
    void Pump(DWORD milliseconds);
    void MoveMouse(POINT point);
    void MouseButton(bool down);
    void ClickAt(POINT point);
    void ShootSettings(const std::wstring& name, bool styled, const std::wstring& folder,
                       std::vector<std::wstring>& shots);
    bool Shot(const std::wstring& path, std::vector<std::wstring>& shots, HWND window, int margin,
              bool clientOnly = false);

    HWND m_dialog = nullptr;
    std::unique_ptr<Demo::CGlyphArea> m_glyphs;
    HWND m_sideBar = nullptr;
    // The rebar across the top: the styled menu bar, and a tool bar whose
    // drop-down button opens a flat popup of the packs.
    HWND m_rebar = nullptr;
    HWND m_toolBar = nullptr;
    HMENU m_menu = nullptr;
    HIMAGELIST m_toolImages = nullptr;
    Windows::CMenuBar m_menuBar;
    Base::CBrushHandle m_brush;
    COLORREF m_back = RGB(240, 240, 240);
    COLORREF m_text = RGB(0, 0, 0);
    bool m_framed = false;
};

bool CDemo::Create()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!Demo::CGlyphArea::RegisterClass(instance))
        return false;
    m_dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_DEMO), nullptr, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    if (!m_dialog)
        return false;
    SetWindowPos(m_dialog, HWND_TOP, 16, 16, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(m_dialog);
    Pump(200);
    return true;
}

void CDemo::Destroy()
{
    if (m_glyphs)
        m_glyphs->StopAnimation();
    if (m_dialog && IsWindow(m_dialog))
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
    g_mainWindow = nullptr;
    if (m_menu)
        DestroyMenu(m_menu);
    m_menu = nullptr;
    if (m_toolImages)
        ImageList_Destroy(m_toolImages);
    m_toolImages = nullptr;
    // The area outlives its window: the slideshow worker may still ask it
    // to repaint until it has ended.
    m_glyphs.reset();
    m_brush.Reset();
}

INT_PTR CALLBACK CDemo::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* demo = reinterpret_cast<CDemo*>(lParam);
        demo->m_dialog = dialog;
        demo->OnInitDialog();
        return TRUE;
    }
    auto* demo = reinterpret_cast<CDemo*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return demo ? demo->OnMessage(message, wParam, lParam) : FALSE;
}

void CDemo::OnInitDialog()
{
    // Native states first: the styled objects read them when attached.
    CheckDlgButton(m_dialog, IDC_CHK_CHECKED, BST_CHECKED);
    CheckDlgButton(m_dialog, IDC_CHK_INDETERMINATE, BST_INDETERMINATE);
    CheckDlgButton(m_dialog, IDC_CHK_DISABLED, BST_CHECKED);
    CheckDlgButton(m_dialog, IDC_RAD_CLASSIC_A, BST_CHECKED);
    CheckDlgButton(m_dialog, IDC_RAD_XP_A, BST_CHECKED);

    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 100, 20, 30, 0};
    SetScrollInfo(GetDlgItem(m_dialog, IDC_SCROLL_HORZ), SB_CTL, &info, TRUE);
    info.nPos = 60;
    SetScrollInfo(GetDlgItem(m_dialog, IDC_SCROLL_VERT), SB_CTL, &info, TRUE);

    std::wstring text;
    for (int i = 1; i <= 12; ++i)
        text += L"Line " + std::to_wstring(i) + L" of a text wider than the box it is shown in\r\n";
    SetDlgItemTextW(m_dialog, IDC_EDIT, text.c_str());
    for (int i = 1; i <= 20; ++i)
        SendDlgItemMessageW(m_dialog, IDC_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>((L"List item " + std::to_wstring(i)).c_str()));
    SendDlgItemMessageW(m_dialog, IDC_LIST, LB_SETCURSEL, 2, 0);
    // Plain one-pixel borders: no sunken 3D edge until edit boxes are styled.
    for (int id : {IDC_EDIT, IDC_LIST}) {
        HWND control = GetDlgItem(m_dialog, id);
        LONG_PTR ex = GetWindowLongPtrW(control, GWL_EXSTYLE);
        SetWindowLongPtrW(control, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
        SetWindowPos(control, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }

    m_glyphs = std::make_unique<Demo::CGlyphArea>();
    if (!m_glyphs->SubclassWindow(GetDlgItem(m_dialog, IDC_GLYPHS)))
        m_glyphs.release();  // it has deleted itself
    AddSideBar();
    AddMenuBar();
    ReadPackColours();
    StyleControls();
    UpdateStatus();
}

// A side bar of task panes right of the controls: two panes from a menu,
// one from a menu template. Its items send the commands the buttons send.
void CDemo::AddSideBar()
{
    RECT dialog;
    GetWindowRect(m_dialog, &dialog);
    RECT client;
    GetClientRect(m_dialog, &client);
    const int width = 170;
    SetWindowPos(m_dialog, nullptr, 0, 0, dialog.right - dialog.left + width, dialog.bottom - dialog.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HMENU menu = CreateMenu();
    HMENU look = CreatePopupMenu();
    AppendMenuW(look, MF_STRING, IDC_NEXT_STYLE, L"Next style");
    AppendMenuW(look, MF_STRING, IDC_LANGUAGE, L"Switch language");
    AppendMenuW(look, MF_STRING, IDC_SETTINGS, L"Settings dialog");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(look), L"&Look");
    HMENU files = CreatePopupMenu();
    AppendMenuW(files, MF_STRING, IDC_TASK_OPEN, L"Open a project");
    AppendMenuW(files, MF_STRING, IDC_TASK_SAVE, L"Save the settings");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(files), L"&Files");
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_TASK_DETAILS), RT_MENU);
    const void* details = found ? LockResource(LoadResource(instance, found)) : nullptr;
    RECT place = {client.right + 4, 6, client.right + width - 6, client.bottom - 6};
    m_sideBar = Demo::CreateTaskPaneHost(m_dialog, place, menu, IDC_TASKPANES, details, L"Details");
    DestroyMenu(menu);
}

namespace {

// The images of the menu items and tool-bar buttons, one strip of 16 x 15
// images on the mask colour, drawn here rather than shipped.
constexpr int kIconWidth = 16, kIconHeight = 15;
const UINT kIconCommands[] = {IDC_NEXT_STYLE, IDC_LANGUAGE, IDC_SETTINGS, IDM_EXIT, IDM_PACKS};
constexpr int kIconCount = sizeof kIconCommands / sizeof kIconCommands[0];

Base::CBitmapHandle MakeIconStrip()
{
    HDC screen = GetDC(nullptr);
    Base::CBitmapHandle strip(CreateCompatibleBitmap(screen, kIconWidth * kIconCount, kIconHeight));
    ReleaseDC(nullptr, screen);
    Base::CMemoryDC dc;
    Base::CSelectScope use(dc, strip);
    auto brush = [&](COLORREF colour) { return Base::CBrushHandle(CreateSolidBrush(colour)); };
    RECT all = {0, 0, kIconWidth * kIconCount, kIconHeight};
    FillRect(dc, &all, brush(RGB(0xC0, 0xC0, 0xC0)));
    auto box = [&](int icon, int l, int t, int r, int b, COLORREF colour) {
        RECT rect = {icon * kIconWidth + l, t, icon * kIconWidth + r, b};
        FillRect(dc, &rect, brush(colour));
    };
    // Next style: four swatches.
    box(0, 1, 1, 8, 7, RGB(40, 112, 204));
    box(0, 8, 1, 15, 7, RGB(255, 150, 40));
    box(0, 1, 7, 8, 14, RGB(60, 160, 80));
    box(0, 8, 7, 15, 14, RGB(200, 60, 60));
    // Language: a globe.
    {
        Base::CBrushHandle sea = brush(RGB(50, 120, 210));
        Base::CSelectScope useBrush(dc, sea);
        Ellipse(dc, kIconWidth + 1, 0, kIconWidth + 15, 14);
        box(1, 5, 3, 10, 7, RGB(70, 170, 70));
        box(1, 7, 8, 12, 11, RGB(70, 170, 70));
    }
    // Settings: a cog as a square ring with teeth.
    box(2, 3, 3, 13, 12, RGB(90, 96, 110));
    box(2, 6, 6, 10, 9, RGB(0xC0, 0xC0, 0xC0));
    box(2, 7, 0, 9, 15, RGB(90, 96, 110));
    box(2, 0, 6, 16, 9, RGB(90, 96, 110));
    box(2, 6, 6, 10, 9, RGB(0xC0, 0xC0, 0xC0));
    // Exit: a door.
    box(3, 3, 1, 12, 14, RGB(150, 90, 40));
    box(3, 9, 7, 11, 9, RGB(250, 220, 80));
    // Packs: stacked cards.
    box(4, 1, 1, 11, 9, RGB(120, 130, 150));
    box(4, 5, 5, 15, 14, RGB(240, 240, 250));
    box(4, 6, 6, 14, 13, RGB(40, 112, 204));
    return strip;
}

}  // namespace

// The menu bar and a tool bar in a rebar across the top of the window;
// everything else moves down below it.
void CDemo::AddMenuBar()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    g_mainWindow = m_dialog;
    g_accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_DEMO_ACCEL));
    m_menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_DEMO_MENU));
    CheckMenuRadioItem(m_menu, IDM_SIZE_SMALL, IDM_SIZE_LARGE, IDM_SIZE_MEDIUM, MF_BYCOMMAND);
    RECT client;
    GetClientRect(m_dialog, &client);
    m_rebar = CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                  RBS_BANDBORDERS | CCS_NODIVIDER | CCS_TOP,
                              0, 0, client.right, 0, m_dialog,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_MENU_REBAR)), instance, nullptr);
    if (!m_rebar)
        return;
    Base::CBitmapHandle strip = MakeIconStrip();
    m_toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TRANSPARENT |
                                    CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, 0, 0, m_rebar,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_MENU_TOOLBAR)), instance, nullptr);
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(m_toolBar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    m_toolImages = ImageList_Create(kIconWidth, kIconHeight, ILC_COLOR32 | ILC_MASK, kIconCount, 0);
    ImageList_AddMasked(m_toolImages, strip, RGB(0xC0, 0xC0, 0xC0));
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolImages));
    TBBUTTON buttons[] = {
        {0, IDC_NEXT_STYLE, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT, {}, 0,
         reinterpret_cast<INT_PTR>(L"Next style")},
        {4, IDM_PACKS, TBSTATE_ENABLED, BTNS_DROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT, {}, 0,
         reinterpret_cast<INT_PTR>(L"Packs")},
        {2, IDC_SETTINGS, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_AUTOSIZE, {}, 0, 0},
        {1, IDC_LANGUAGE, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_AUTOSIZE, {}, 0, 0},
    };
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);

    m_menuBar.CreateMenuBar(m_rebar, nullptr, nullptr, 0, 0, IDC_MENU_BAR, nullptr);
    // The menu font for the tool bar too: its own default maps to a
    // fixed-pitch face under Wine.
    SendMessageW(m_toolBar, WM_SETFONT, SendMessageW(m_menuBar.m_hWnd, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
    m_menuBar.LoadImages(strip, kIconCommands, kIconCount);
    m_menuBar.Attach(m_menu);
    m_menuBar.RegisterToolBar(m_toolBar);

    auto addBand = [&](HWND child, UINT style, int width) {
        SIZE size = {};
        SendMessageW(child, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        REBARBANDINFOW band = {};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
        band.fStyle = style;
        band.hwndChild = child;
        band.cxMinChild = size.cx;
        band.cyMinChild = size.cy;
        band.cx = width;
        SendMessageW(m_rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    };
    addBand(m_menuBar, RBBS_NOGRIPPER, client.right);
    addBand(m_toolBar, RBBS_BREAK | RBBS_GRIPPERALWAYS, client.right);

    // Room for the rebar: the window grows, its other children move down.
    RECT bar;
    GetWindowRect(m_rebar, &bar);
    const int height = bar.bottom - bar.top;
    for (HWND child = GetWindow(m_dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == m_rebar)
            continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(child, nullptr, rect.left, rect.top + height, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame;
    GetWindowRect(m_dialog, &frame);
    SetWindowPos(m_dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The commands only the menu bar gives; false for the others.
bool CDemo::OnMenuCommand(UINT command)
{
    switch (command) {
    case IDM_EXIT:
        DestroyWindow(m_dialog);
        return true;
    case IDM_VIEW_SIDEBAR:
    case IDM_VIEW_STATUS: {
        HWND window = command == IDM_VIEW_SIDEBAR ? m_sideBar : GetDlgItem(m_dialog, IDC_STATUS);
        bool show = !(GetMenuState(m_menu, command, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(m_menu, command, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
        if (window)
            ShowWindow(window, show ? SW_SHOW : SW_HIDE);
        return true;
    }
    case IDM_SIZE_SMALL:
    case IDM_SIZE_MEDIUM:
    case IDM_SIZE_LARGE:
        CheckMenuRadioItem(m_menu, IDM_SIZE_SMALL, IDM_SIZE_LARGE, command, MF_BYCOMMAND);
        SetDlgItemTextW(m_dialog, IDC_STATUS, L"The text size was chosen from a radio group of the menu.");
        return true;
    case IDM_ABOUT:
        SetDlgItemTextW(m_dialog, IDC_STATUS, L"Orvel demo: every control, frame, pane and menu styled by the packs.");
        return true;
    default:
        if (command >= IDM_PACK_FIRST && command < IDM_PACK_FIRST + 100) {
            const Style::SZqStyle* pack = Style::CStyleManager::GetInstance().GetStyleAt(
                static_cast<int>(command - IDM_PACK_FIRST));
            if (pack)
                SelectPack(pack->name);
            return true;
        }
        return false;
    }
}

// The tool bar's drop-down button: a flat popup of the packs under it.
void CDemo::DropPackMenu(const NMTOOLBARW& drop)
{
    Style::CStyleManager& manager = Style::CStyleManager::GetInstance();
    HMENU packs = CreatePopupMenu();
    int current = manager.FindStyle(manager.GetCurrentName().c_str());
    for (int i = 0; i < manager.GetStyleCount(); ++i) {
        const Style::SZqStyle* pack = manager.GetStyleAt(i);
        AppendMenuW(packs, MF_STRING | (i == current ? MF_CHECKED : 0), IDM_PACK_FIRST + i,
                    pack->showName[0] ? pack->showName : pack->name);
    }
    RECT rect = drop.rcButton;
    MapWindowPoints(drop.hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    UINT command = m_menuBar.TrackPopup(packs, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, rect.left,
                                        rect.bottom, m_dialog, nullptr);
    DestroyMenu(packs);
    if (command)
        OnMenuCommand(command);
}

// Each control goes to the manager operation of its kind; what the manager
// does not style yet stays native and keeps working.
void CDemo::StyleControls()
{
    Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
    // A pack without a dialog-frame look would leave the caption unpainted;
    // the native frame stays then.
    m_framed = PackStylesFrames() && manager.EnableFrameStyled(m_dialog);
    // No control container on the dialog: it would hand the colour requests
    // of the native children to the children themselves, and the host
    // colours them below until dialog frames are styled.
    for (const SControl& control : kControls) {
        HWND window = GetDlgItem(m_dialog, control.id);
        switch (control.kind) {
        case EKind::Push:
            manager.EnablePushButtonStyled(window);
            break;
        case EKind::Check:
            manager.EnableCheckButtonStyled(window);
            break;
        case EKind::Radio:
            manager.EnableRadioButtonStyled(window);
            break;
        case EKind::RadioXP:
            manager.EnableRadioButtonStyledXP(window);
            break;
        case EKind::Link:
            manager.EnableHyperLinkStyled(window);
            break;
        case EKind::Static:
            manager.EnableStaticStyled(window);
            break;
        case EKind::ScrollBar:
            manager.EnableScrollBarStyled(window);
            break;
        case EKind::ScrollWnd: {
            // The host picks the operation that fits the window; the manager
            // does not look at class names.
            wchar_t className[32] = {};
            GetClassNameW(window, className, 32);
            bool styled = _wcsicmp(className, L"ListBox") == 0 ? manager.EnableListBoxStyled(window)
                                                                : manager.EnableEditStyled(window);
            if (!styled)
                manager.EnableScrollWndStyled(window);
            break;
        }
        case EKind::Glyphs:
            break;
        }
    }
}

bool CDemo::PackStylesFrames()
{
    try {
        Resource::CIniReader& config = Style::CStyleManager::GetStyleInstance().GetConfig();
        return config.FindSection(L"Back@DlgFrameTitle") || config.FindSection(L"Back@DlgFrame");
    } catch (...) {
        return false;
    }
}

void CDemo::ReadPackColours()
{
    m_back = GetSysColor(COLOR_BTNFACE);
    m_text = GetSysColor(COLOR_BTNTEXT);
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        Resource::CIniReader& config = style.GetConfig();
        if (const Resource::CLine* line = config.FindFirstLine(L"DlgFrame", L"BackColor"))
            if (line->ReadContentAsColor() != 0xFFFFFFFF)
                m_back = line->ReadContentAsColor();
        if (const Resource::CLine* line = config.FindFirstLine(L"DlgFrame", L"StaticColor"))
            if (line->ReadContentAsColor() != 0xFFFFFFFF)
                m_text = line->ReadContentAsColor();
    } catch (...) {
    }
    m_brush.Reset(CreateSolidBrush(m_back));
}

INT_PTR CDemo::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    // Until dialog frames are styled, the host colours the dialog and its
    // native children with the pack's dialog colours.
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, m_text);
        SetBkColor(dc, m_back);
        return reinterpret_cast<INT_PTR>(m_brush.Get());
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        HWND bar = reinterpret_cast<HWND>(lParam);
        if (!bar)
            return FALSE;
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(bar, SB_CTL, &info);
        int pos = info.nPos;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = HIWORD(wParam); break;
        default: break;
        }
        pos = std::max(info.nMin, std::min(pos, info.nMax - static_cast<int>(info.nPage) + 1));
        SetScrollPos(bar, SB_CTL, pos, TRUE);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NEXT_STYLE:
            NextPack();
            return TRUE;
        case IDC_LANGUAGE:
            SwitchLanguage();
            return TRUE;
        case IDC_SETTINGS:
            Demo::CSettingsDialog::RunModal(m_dialog);
            return TRUE;
        case IDC_MSGBOX:
            Demo::AskWithMessageBox(m_dialog);
            return TRUE;
        case IDC_LINK:
            SetDlgItemTextW(m_dialog, IDC_STATUS, L"The link was clicked: a host would open its page now.");
            return TRUE;
        case IDC_TASK_OPEN:
        case IDC_TASK_SAVE:
        case IDC_TASK_ABOUT:
        case IDC_TASK_HELP:
            SetDlgItemTextW(m_dialog, IDC_STATUS, L"A task-pane item ran its command.");
            return TRUE;
        case IDCANCEL:
            DestroyWindow(m_dialog);
            return TRUE;
        default:
            return OnMenuCommand(LOWORD(wParam)) ? TRUE : FALSE;
        }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_toolBar && header->code == static_cast<UINT>(TBN_DROPDOWN)) {
            DropPackMenu(*reinterpret_cast<const NMTOOLBARW*>(lParam));
            SetWindowLongPtrW(m_dialog, DWLP_MSGRESULT, TBDDRET_DEFAULT);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        DestroyWindow(m_dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return FALSE;
    default:
        return FALSE;
    }
}

void CDemo::SelectPack(const std::wstring& name)
{
    Style::CStyleManager::GetInstance().SelectStyle(name.c_str());
    // A styled frame re-reads its keys when told the style changed.
    if (m_framed)
        SendMessageW(m_dialog, Windows::kMsgStyleChanged, 0, 0);
    if (m_sideBar)
        SendMessageW(m_sideBar, Windows::kMsgStyleChanged, 0, 0);
    if (m_menuBar)
        SendMessageW(m_menuBar, Windows::kMsgStyleChanged, 0, 0);
    ReadPackColours();
    if (m_glyphs)
        m_glyphs->ReloadFromStyle();
    UpdateStatus();
    Repaint();
}

void CDemo::NextPack()
{
    Style::CStyleManager& manager = Style::CStyleManager::GetInstance();
    int count = manager.GetStyleCount();
    if (count == 0)
        return;
    int current = manager.FindStyle(manager.GetCurrentName().c_str());
    if (const Style::SZqStyle* next = manager.GetStyleAt((current + 1) % count))
        SelectPack(next->name);
}

void CDemo::SwitchLanguage()
{
    LANGID language = COrvelGlobal::GetInstance().GetLangID() == 0x0804 ? 0x0409 : 0x0804;
    SetLanguageID(language);
    SetThreadUILanguage(language);
    Windows::CStyledWndManager::GetInstance().ValidDlgCtrl(m_dialog, GetModuleHandleW(nullptr),
                                                           MAKEINTRESOURCEW(IDD_DEMO));
    ReadPackColours();
    if (m_glyphs)
        m_glyphs->ReloadFromStyle();
    UpdateStatus();
    Repaint();
}

void CDemo::UpdateStatus()
{
    std::wstring text;
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        wchar_t language[16];
        swprintf(language, 16, L"%04x", COrvelGlobal::GetInstance().GetLangID());
        text = L"Style: " + style.GetShowName() + L" (" + style.GetName() + L"), language " + language;
    } catch (...) {
        text = L"No style pack loaded";
    }
    SetDlgItemTextW(m_dialog, IDC_STATUS, text.c_str());
}

void CDemo::Repaint()
{
    RedrawWindow(m_dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CDemo::Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            Dispatch(msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

// Real input, so the controls see the messages a user's mouse would cause.
void CDemo::MoveMouse(POINT point)
{
    SetCursorPos(point.x, point.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void CDemo::MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void CDemo::ClickAt(POINT point)
{
    MoveMouse(point);
    Pump(100);
    MouseButton(true);
    Pump(100);
    MouseButton(false);
    Pump(100);
}

bool CDemo::Shot(const std::wstring& path, std::vector<std::wstring>& shots, HWND window, int margin,
                 bool clientOnly)
{
    bool ok = margin == kWindowShot ? Screenshot::SaveWindowPng(window, path, clientOnly)
                                    : Screenshot::SaveCloseUpPng(window, margin, path);
    if (ok)
        shots.push_back(path);
    else
        fprintf(stderr, "OrvelDemo: cannot write %s\n", Narrow(path).c_str());
    return ok;
}

void CDemo::TakeShots(const std::wstring& folder, std::vector<std::wstring>& shots)
{
    auto file = [&](const std::wstring& name) { return ShotPath(folder, name); };
    Style::CStyleManager& manager = Style::CStyleManager::GetInstance();

    std::vector<std::wstring> packs;
    for (int i = 0; i < manager.GetStyleCount(); ++i)
        packs.push_back(manager.GetStyleAt(i)->name);
    // Park the mouse outside the dialog: nothing starts hot by accident.
    RECT frame;
    GetWindowRect(m_dialog, &frame);
    POINT away = {frame.right + 40, frame.bottom + 40};
    MoveMouse(away);

    for (const std::wstring& pack : packs) {
        SelectPack(pack);
        Pump(250);
        std::wstring name = Style::CStyleManager::GetStyleInstance().GetName();
        Shot(file(L"orvel_" + name), shots, m_dialog, kWindowShot, !m_framed);
        for (const SControl& control : kControls) {
            if (control.name)
                Shot(file(L"closeup_" + name + L"_" + control.name), shots,
                     GetDlgItem(m_dialog, control.id), 6);
        }

        // A push button hot, then pressed, by the mouse.
        HWND button = GetDlgItem(m_dialog, IDC_BTN_NORMAL);
        MoveMouse(CentreOf(button));
        Pump(200);
        Shot(file(L"orvel_" + name + L"_hot"), shots, m_dialog, kWindowShot, !m_framed);
        Shot(file(L"closeup_" + name + L"_button_hot"), shots, button, 6);
        MouseButton(true);
        Pump(200);
        Shot(file(L"orvel_" + name + L"_pressed"), shots, m_dialog, kWindowShot, !m_framed);
        Shot(file(L"closeup_" + name + L"_button_pressed"), shots, button, 6);
        // Leave before letting go, so nothing is clicked.
        MoveMouse(away);
        Pump(100);
        MouseButton(false);
        Pump(100);

        // The command tile of the glyph area, hot.
        if (m_glyphs) {
            RECT rect;
            m_glyphs->TileScreenRect(rect);
            MoveMouse(Centre(rect));
            Pump(200);
            Shot(file(L"closeup_" + name + L"_glyphs_hot"), shots, GetDlgItem(m_dialog, IDC_GLYPHS), 6);
            MoveMouse(away);
            Pump(100);
        }
        ShootMenus(folder, name, shots);
        MoveMouse(away);
        Pump(100);
    }
    TakeSettingsShots(folder, packs, shots);
    Demo::ShootMessageBoxes(m_dialog, folder, packs, [&](const std::wstring& pack) { SelectPack(pack); }, shots);
    // The dialogs re-texted from their Chinese templates, and back.
    SwitchLanguage();
    Pump(200);
    Shot(file(L"orvel_" + Style::CStyleManager::GetStyleInstance().GetName() + L"_0804"), shots, m_dialog,
         kWindowShot, !m_framed);
    ShootSettings(Style::CStyleManager::GetStyleInstance().GetName() + L"_0804", true, folder, shots);
    SwitchLanguage();
    // Leave the default pack chosen for the next start.
    SelectPack(Style::CStyleManager::kDefaultStyleName);
    Pump(100);
}

namespace {

// A picture of an open popup, taken from a timer while the menu's own loop
// runs: a key first (0 for none), then the shot, then the menu ends.
struct SMenuShot {
    int tick = 0;
    WORD key = 0;
    RECT area = {};
    std::wstring path;
    bool saved = false;
};
SMenuShot* g_menuShot = nullptr;

BOOL CALLBACK AddPopupRect(HWND window, LPARAM area)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (wcscmp(name, L"#32768") == 0 && IsWindowVisible(window)) {
        RECT rect;
        GetWindowRect(window, &rect);
        UnionRect(reinterpret_cast<RECT*>(area), reinterpret_cast<RECT*>(area), &rect);
    }
    return TRUE;
}

void CALLBACK MenuShotTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_menuShot)
        return;
    SMenuShot& shot = *g_menuShot;
    ++shot.tick;
    if (shot.tick == 2 && shot.key) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = shot.key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    } else if (shot.tick == 5) {
        RECT area = shot.area;
        EnumWindows(&AddPopupRect, reinterpret_cast<LPARAM>(&area));
        InflateRect(&area, 4, 4);
        Screenshot::SPixels pixels;
        shot.saved = Screenshot::CaptureScreenRect(area, pixels) && Screenshot::SavePng(pixels, shot.path);
        EndMenu();
    }
}

}  // namespace

// The menu bar, a popup opened from it by the mouse with a submenu opened by
// its mnemonic, and the tool bar's drop-down popup joined to its button.
void CDemo::ShootMenus(const std::wstring& folder, const std::wstring& name, std::vector<std::wstring>& shots)
{
    if (!m_rebar)
        return;
    Shot(ShotPath(folder, L"menubar_" + name), shots, m_rebar, 6);
    auto openAndShoot = [&](POINT at, WORD key, const std::wstring& file) {
        SMenuShot shot;
        GetWindowRect(m_rebar, &shot.area);
        shot.key = key;
        shot.path = ShotPath(folder, file);
        g_menuShot = &shot;
        UINT_PTR timer = SetTimer(nullptr, 0, 120, &MenuShotTick);
        ClickAt(at);  // the popup's loop runs in here until the shot ends it
        Pump(300);
        KillTimer(nullptr, timer);
        g_menuShot = nullptr;
        if (shot.saved)
            shots.push_back(shot.path);
        else
            fprintf(stderr, "OrvelDemo: cannot write %s\n", Narrow(shot.path).c_str());
        Pump(100);
    };
    RECT view = {};
    SendMessageW(m_menuBar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&view));
    MapWindowPoints(m_menuBar, nullptr, reinterpret_cast<POINT*>(&view), 2);
    openAndShoot(Centre(view), 'T', L"menu_" + name + L"_popup");
    if (name == Style::CStyleManager::kDefaultStyleName) {
        // The same popup as the system draws it, to compare with.
        SMenuShot shot;
        shot.area = view;
        shot.key = 'T';
        shot.path = ShotPath(folder, L"menu_native_popup");
        g_menuShot = &shot;
        UINT_PTR timer = SetTimer(nullptr, 0, 120, &MenuShotTick);
        TrackPopupMenuEx(GetSubMenu(m_menu, 1), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, view.left,
                         view.bottom, m_dialog, nullptr);
        KillTimer(nullptr, timer);
        g_menuShot = nullptr;
        if (shot.saved)
            shots.push_back(shot.path);
        Pump(100);
    }
    RECT packs = {};
    SendMessageW(m_toolBar, TB_GETRECT, IDM_PACKS, reinterpret_cast<LPARAM>(&packs));
    MapWindowPoints(m_toolBar, nullptr, reinterpret_cast<POINT*>(&packs), 2);
    openAndShoot(POINT{packs.right - 5, (packs.top + packs.bottom) / 2}, 0, L"menu_" + name + L"_dropdown");
}

void CDemo::TakeSettingsShots(const std::wstring& folder, const std::vector<std::wstring>& packs,
                              std::vector<std::wstring>& shots)
{
    ShootSettings(L"native", false, folder, shots);
    for (const std::wstring& pack : packs) {
        SelectPack(pack);
        Pump(100);
        ShootSettings(Style::CStyleManager::GetStyleInstance().GetName(), true, folder, shots);
    }
}

// A fresh dialog for each look, as a program creates it each time it is
// opened; modeless, so the demo keeps control while it is shown.
void CDemo::ShootSettings(const std::wstring& name, bool styled, const std::wstring& folder,
                          std::vector<std::wstring>& shots)
{
    auto file = [&](const std::wstring& page) { return ShotPath(folder, L"settings_" + name + L"_" + page); };
    Demo::CSettingsDialog settings;
    if (!settings.Create(m_dialog, styled)) {
        fprintf(stderr, "OrvelDemo: the settings dialog cannot be created\n");
        return;
    }
    HWND window = settings.Window();
    RECT main;
    GetWindowRect(m_dialog, &main);
    SetWindowPos(window, HWND_TOP, main.right + 16, main.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RECT frame;
    GetWindowRect(window, &frame);
    POINT away = {frame.right + 40, frame.bottom + 40};
    MoveMouse(away);
    Pump(250);
    // Pages are chosen by clicking their tabs, as a user does.
    HWND tabs = GetDlgItem(window, IDC_SET_TABS);
    auto clickTab = [&](int page) {
        RECT item = {};
        SendMessageW(tabs, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&item));
        MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&item), 2);
        ClickAt(Centre(item));
        MoveMouse(away);
        Pump(200);
    };
    for (int page = 0; page < Demo::CSettingsDialog::PageCount; ++page) {
        if (page != Demo::CSettingsDialog::General)
            clickTab(page);
        Shot(file(Demo::CSettingsDialog::PageName(page)), shots, window, kWindowShot);
    }

    // A radio button checked by a click, then a check box hot under the mouse.
    clickTab(Demo::CSettingsDialog::General);
    HWND general = settings.Page(Demo::CSettingsDialog::General);
    ClickAt(CentreOf(GetDlgItem(general, IDC_GEN_OPEN_NEW)));
    MoveMouse(CentreOf(GetDlgItem(general, IDC_GEN_TIPS)));
    Pump(250);
    Shot(file(L"input"), shots, window, kWindowShot);
    MoveMouse(away);
    Pump(100);
    settings.Destroy();
    Pump(100);
}

void CDemo::RunInteractive()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        Dispatch(msg);
    }
}

void PrintUsage(FILE* out)
{
    fprintf(out,
            "usage: OrvelDemo.exe [--shots FOLDER] [--interactive]\n"
            "  --shots FOLDER   write screenshots of every pack into FOLDER and end\n"
            "  --interactive    stay open (after the shots, when both are given)\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring shotFolder;
    bool interactive = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--shots" && i + 1 < argc) {
            shotFolder = argv[++i];
        } else if (arg == L"--interactive") {
            interactive = true;
        } else if (arg == L"--help" || arg == L"-h") {
            PrintUsage(stdout);
            return 0;
        } else {
            PrintUsage(stderr);
            return 2;
        }
    }
    if (shotFolder.empty())
        interactive = true;

    // The services find Style\ and lang\ beside Orvel.dll.
    COrvelGlobal& global = COrvelGlobal::GetInstance();
    if (!global.Initialize(GetModuleHandleW(L"Orvel.dll"))) {
        fprintf(stderr, "OrvelDemo: no style pack could be loaded from %s\n",
                Narrow(global.GetStyleDir()).c_str());
        return 1;
    }
    // Screenshots are taken in English; interactively the user's language
    // is used. Either way the packs' show names follow it.
    SetLanguageID(shotFolder.empty() ? 0 : 0x0409);
    Style::CStyleManager::GetInstance().SelectStyle(Style::CStyleManager::kDefaultStyleName);

    CDemo demo;
    if (!demo.Create()) {
        fprintf(stderr, "OrvelDemo: the dialog cannot be created\n");
        return 1;
    }
    int result = 0;
    if (!shotFolder.empty()) {
        CreateDirectoryW(shotFolder.c_str(), nullptr);
        std::vector<std::wstring> shots;
        demo.TakeShots(shotFolder, shots);
        printf("OrvelDemo: %u screenshots written:\n", static_cast<unsigned>(shots.size()));
        for (const std::wstring& shot : shots)
            printf("  %s\n", Narrow(shot).c_str());
        if (shots.empty())
            result = 1;
    }
    if (interactive)
        demo.RunInteractive();
    demo.Destroy();
    return result;
}
