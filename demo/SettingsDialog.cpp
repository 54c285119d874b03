#include "SettingsDialog.h"

#include <commctrl.h>
#include <initializer_list>
#include "DemoIds.h"
#include "FilesPage.h"
#include "orvel/windows/StyleByClass.h"
#include "orvel/windows/StyledWndManager.h"

namespace Demo {

namespace {

// A page tells the dialog that one of its values changed.
constexpr UINT kMsgPageChanged = WM_APP + 1;

struct SPage {
    int templateId;
    const wchar_t* tabText;
    const wchar_t* fileName;
};

const SPage kPages[CSettingsDialog::PageCount] = {
    {IDD_PAGE_GENERAL, L"General", L"general"},
    {IDD_PAGE_SCANNING, L"Scanning", L"scanning"},
    {IDD_PAGE_ADVANCED, L"Advanced", L"advanced"},
    {IDD_PAGE_FILES, L"Files", L"files"},
};

void AddItems(HWND page, int id, UINT message, std::initializer_list<const wchar_t*> items)
{
    for (const wchar_t* item : items)
        SendDlgItemMessageW(page, id, message, 0, reinterpret_cast<LPARAM>(item));
}

void FillGeneral(HWND page)
{
    CheckRadioButton(page, IDC_GEN_OPEN_LAST, IDC_GEN_WELCOME, IDC_GEN_OPEN_LAST);
    CheckDlgButton(page, IDC_GEN_UPDATES, BST_CHECKED);
    AddItems(page, IDC_GEN_LANGUAGE, CB_ADDSTRING, {L"English", L"Deutsch", L"Español", L"Français", L"Italiano"});
    SendDlgItemMessageW(page, IDC_GEN_LANGUAGE, CB_SETCURSEL, 0, 0);
}

void FillScanning(HWND page)
{
    AddItems(page, IDC_SCAN_FOLDER, CB_ADDSTRING, {L"C:\\Projects", L"D:\\Archive", L"\\\\server\\shared\\drawings"});
    SetDlgItemTextW(page, IDC_SCAN_FOLDER, L"C:\\Projects");
    SendDlgItemMessageW(page, IDC_SCAN_DEPTH_SPIN, UDM_SETRANGE32, 1, 16);
    SendDlgItemMessageW(page, IDC_SCAN_DEPTH_SPIN, UDM_SETPOS32, 0, 4);
    SendDlgItemMessageW(page, IDC_SCAN_SPEED, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendDlgItemMessageW(page, IDC_SCAN_SPEED, TBM_SETPOS, TRUE, 7);
    SendDlgItemMessageW(page, IDC_SCAN_LAST, PBM_SETRANGE32, 0, 100);
    SendDlgItemMessageW(page, IDC_SCAN_LAST, PBM_SETPOS, 60, 0);
    AddItems(page, IDC_SCAN_EXCLUDED, LB_ADDSTRING,
             {L"*.bak", L"*.tmp", L"*.log", L"*.swp", L"*.part", L"~*.*", L"Thumbs.db", L"desktop.ini",
              L".DS_Store", L"*.crdownload"});
    SendDlgItemMessageW(page, IDC_SCAN_EXCLUDED, LB_SETCURSEL, 2, 0);
}

void FillAdvanced(HWND page)
{
    SetDlgItemTextW(page, IDC_ADV_PATH, L"C:\\ProgramData\\Orvel\\Cache");
    CheckDlgButton(page, IDC_ADV_KEEP, BST_CHECKED);
    AddItems(page, IDC_ADV_LOG, CB_ADDSTRING, {L"Errors only", L"Warnings", L"Information", L"Everything"});
    SendDlgItemMessageW(page, IDC_ADV_LOG, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageW(page, IDC_ADV_COMPRESS, TBM_SETRANGE, TRUE, MAKELPARAM(0, 9));
    SendDlgItemMessageW(page, IDC_ADV_COMPRESS, TBM_SETPOS, TRUE, 6);
    SendDlgItemMessageW(page, IDC_ADV_THREADS_SPIN, UDM_SETRANGE32, 1, 8);
    SendDlgItemMessageW(page, IDC_ADV_THREADS_SPIN, UDM_SETPOS32, 0, 2);
}

// Notifications that mean the user changed a value (and Apply has work).
bool IsValueChange(HWND control, WORD code)
{
    switch (code) {
    case BN_CLICKED: {
        wchar_t name[16] = {};
        GetClassNameW(control, name, 16);
        LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
        return _wcsicmp(name, WC_BUTTONW) == 0 &&
               (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON);
    }
    case EN_CHANGE:
    case CBN_EDITCHANGE:
    case CBN_SELCHANGE:  // and LBN_SELCHANGE, the same value
        return true;
    default:
        return false;
    }
}

}  // namespace

const wchar_t* CSettingsDialog::PageName(int page)
{
    return page >= 0 && page < PageCount ? kPages[page].fileName : L"";
}

void CSettingsDialog::RegisterControls()
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                  ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
}

INT_PTR CSettingsDialog::RunModal(HWND owner)
{
    RegisterControls();
    CSettingsDialog settings;
    settings.m_modal = true;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner, DialogProc,
                           reinterpret_cast<LPARAM>(&settings));
}

bool CSettingsDialog::Create(HWND owner, bool styled)
{
    RegisterControls();
    m_styled = styled;
    m_modal = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CSettingsDialog::Destroy()
{
    if (!m_modal && m_dialog && IsWindow(m_dialog))
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
}

INT_PTR CALLBACK CSettingsDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* settings = reinterpret_cast<CSettingsDialog*>(lParam);
        settings->m_dialog = dialog;
        settings->OnInitDialog();
        // Focus went to the tab control, as in a property sheet.
        return FALSE;
    }
    auto* settings = reinterpret_cast<CSettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return settings ? settings->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK CSettingsDialog::PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        switch (lParam) {
        case General: FillGeneral(page); break;
        case Scanning: FillScanning(page); break;
        case Advanced: FillAdvanced(page); break;
        case Files: FillFilesPage(page); break;
        default: break;
        }
        return FALSE;
    case WM_NOTIFY:
        return OnFilesPageNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (IsValueChange(reinterpret_cast<HWND>(lParam), HIWORD(wParam)))
            SendMessageW(GetParent(page), kMsgPageChanged, 0, 0);
        return FALSE;
    case WM_HSCROLL:  // the track bar moved
        SendMessageW(GetParent(page), kMsgPageChanged, 0, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CSettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    case kMsgPageChanged:
        OnPageChanged();
        return TRUE;
    case WM_CLOSE:
        Close(IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void CSettingsDialog::OnInitDialog()
{
    HWND tabs = GetDlgItem(m_dialog, IDC_SET_TABS);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // The texts of the current language, whichever template the loader chose.
    Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
    manager.ValidDlgCtrl(m_dialog, instance, MAKEINTRESOURCEW(IDD_SETTINGS));
    for (int page = 0; page < PageCount; ++page) {
        m_pages[page] = CreateDialogParamW(instance, MAKEINTRESOURCEW(kPages[page].templateId), m_dialog, PageProc,
                                           page);
        manager.ValidDlgCtrl(m_pages[page], instance, MAKEINTRESOURCEW(kPages[page].templateId));
        // A page template's caption names its tab.
        wchar_t caption[64] = {};
        GetWindowTextW(m_pages[page], caption, 64);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption[0] ? caption : const_cast<wchar_t*>(kPages[page].tabText);
        SendMessageW(tabs, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
    }
    if (m_styled)
        Windows::StyleDialogByClass(m_dialog, {IDC_GEN_LINK});
    // After styling: a styled tab control answers TCM_ADJUSTRECT with its
    // pack's margins.
    PlacePages();
    SelectPage(General);
    SetFocus(tabs);
    m_ready = true;
}

void CSettingsDialog::PlacePages()
{
    HWND tabs = GetDlgItem(m_dialog, IDC_SET_TABS);
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&area), 2);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    // Above the tab control (which clips its siblings), first in the tab
    // order, as property sheets place their pages.
    for (HWND page : m_pages)
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
}

void CSettingsDialog::SelectPage(int page)
{
    if (page < 0 || page >= PageCount || page == m_current)
        return;
    HWND tabs = GetDlgItem(m_dialog, IDC_SET_TABS);
    if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != page)
        SendMessageW(tabs, TCM_SETCURSEL, page, 0);
    if (m_current >= 0)
        ShowWindow(m_pages[m_current], SW_HIDE);
    ShowWindow(m_pages[page], SW_SHOW);
    m_current = page;
}

void CSettingsDialog::OnNotify(const NMHDR& header)
{
    if (header.idFrom == IDC_SET_TABS && header.code == TCN_SELCHANGE)
        SelectPage(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
}

void CSettingsDialog::OnPageChanged()
{
    if (m_ready)
        EnableWindow(GetDlgItem(m_dialog, IDC_SET_APPLY), TRUE);
}

void CSettingsDialog::OnCommand(WORD id)
{
    switch (id) {
    case IDC_SET_APPLY: {
        // The demo keeps nothing; applying only ends the pending change.
        // Focus leaves the button before it is disabled.
        HWND apply = GetDlgItem(m_dialog, IDC_SET_APPLY);
        if (GetFocus() == apply)
            SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(m_dialog, IDOK)), TRUE);
        EnableWindow(apply, FALSE);
        break;
    }
    case IDOK:
    case IDCANCEL:
        Close(id);
        break;
    default:
        break;
    }
}

void CSettingsDialog::Close(INT_PTR result)
{
    if (m_modal)
        EndDialog(m_dialog, result);
    else
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
}

}  // namespace Demo
