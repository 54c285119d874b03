#include "Dialogs.h"
#include <cstring>
#include "pardo/afx/Exceptions.h"
#include "pardo/afx/Module.h"

namespace {
// The dialog object whose platform dialog is being created on this thread.
thread_local CDialog* t_starting;
}  // namespace

CRuntimeClass CDialog::classCDialog = {"CDialog", sizeof(CDialog), &CDialog::_GetBaseClass};
CRuntimeClass* CDialog::GetRuntimeClass() const { return &classCDialog; }
CRuntimeClass* CDialog::_GetBaseClass() { return CWnd::GetThisClass(); }
CRuntimeClass* CDialog::GetThisClass() { return &classCDialog; }

CDialog::CDialog() = default;

CDialog::CDialog(const char* templateName, CWnd* parent) : m_lpszTemplateName(templateName), m_pParentWnd(parent)
{
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = t_starting ? t_starting : reinterpret_cast<CDialog*>(lParam);
    t_starting = nullptr;
    try {
        if (!dialog || !dialog->SubclassWindow(hwnd))
            return TRUE;
        return dialog->OnInitDialog();
    } catch (...) {
        Pardo::ReportCurrentException("dialog initialisation");
        return TRUE;
    }
}

INT_PTR CDialog::DoModal()
{
    CDialog* previous = t_starting;
    t_starting = this;
    INT_PTR result = DialogBoxParamA(Pardo::GetResourceHandle(), m_lpszTemplateName,
                                     m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    t_starting = previous;
    Pardo::DeleteTempWindowMap();
    return result;
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!CWnd::OnWndMsg(message, wParam, lParam, result))
        return false;
    if (message == WM_NOTIFY)
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, *result);
    return true;
}

CRuntimeClass CCommonDialog::classCCommonDialog = {"CCommonDialog", sizeof(CCommonDialog), &CCommonDialog::_GetBaseClass};
CRuntimeClass* CCommonDialog::GetRuntimeClass() const { return &classCCommonDialog; }
CRuntimeClass* CCommonDialog::_GetBaseClass() { return CDialog::GetThisClass(); }
CRuntimeClass* CCommonDialog::GetThisClass() { return &classCCommonDialog; }

CCommonDialog::CCommonDialog(CWnd* parent) : CDialog(nullptr, parent)
{
}

void CCommonDialog::OnOK()
{
    Default();
}

void CCommonDialog::OnCancel()
{
    Default();
}

CRuntimeClass CFileDialog::classCFileDialog = {"CFileDialog", sizeof(CFileDialog), &CFileDialog::_GetBaseClass};
CRuntimeClass* CFileDialog::GetRuntimeClass() const { return &classCFileDialog; }
CRuntimeClass* CFileDialog::_GetBaseClass() { return CCommonDialog::GetThisClass(); }
CRuntimeClass* CFileDialog::GetThisClass() { return &classCFileDialog; }

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd, DWORD dwSize, BOOL)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt)
{
    memset(&m_ofn, 0, sizeof m_ofn);
    m_szFileTitle[0] = '\0';
    m_szFileName[0] = '\0';
    m_ofn.lStructSize = dwSize ? dwSize : sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.lpstrDefExt = lpszDefExt ? m_strDefExt.GetString() : nullptr;
    m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.lpfnHook = &HookProc;
    if (lpszFileName)
        lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
    if (lpszFilter) {
        // '|' separators become terminators. Step by characters: '|' may be
        // the second byte of a double-byte character. One more terminator
        // closes the list even when the caller left out the final "||".
        m_strFilter = lpszFilter;
        m_strFilter += '\0';
        char* text = m_strFilter.GetBuffer(0);
        for (char* p = text; *p;) {
            char* next = CharNextA(p);
            if (*p == '|')
                *p = '\0';
            p = next;
        }
        m_ofn.lpstrFilter = text;
    }
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    CDialog* dialog = t_starting;
    if (!dialog && lParam)
        dialog = reinterpret_cast<CDialog*>(reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
    t_starting = nullptr;
    try {
        if (!dialog || !dialog->SubclassWindow(hwnd))
            return TRUE;
        return dialog->OnInitDialog();
    } catch (...) {
        Pardo::ReportCurrentException("file dialog initialisation");
        return TRUE;
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.Flags |= OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.lpfnHook = &HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    if (m_pParentWnd)
        m_ofn.hwndOwner = m_pParentWnd->m_hWnd;

    CDialog* previous = t_starting;
    t_starting = this;
    BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    t_starting = previous;
    if (m_hWnd)
        UnsubclassWindow();
    Pardo::DeleteTempWindowMap();
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    if (m_hWnd && (m_ofn.Flags & OFN_EXPLORER)) {
        HWND platform = ::GetParent(m_hWnd);
        CString path;
        int size = MAX_PATH;
        for (int attempt = 0; attempt < 2; ++attempt) {
            LRESULT needed = ::SendMessageA(platform, CDM_GETFILEPATH, size, reinterpret_cast<LPARAM>(path.GetBuffer(size)));
            if (needed < 0)
                break;
            if (needed <= size) {
                path.ReleaseBuffer();
                return path;
            }
            size = static_cast<int>(needed);
        }
    }
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int slash = path.ReverseFind('\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFolderPath() const
{
    if (m_hWnd) {
        char buffer[MAX_PATH * 2] = "";
        if (::SendMessageA(::GetParent(m_hWnd), CDM_GETFOLDERPATH, sizeof buffer, reinterpret_cast<LPARAM>(buffer)) >= 0)
            return CString(buffer);
    }
    return CString();
}

void CFileDialog::OnInitDone() {}
void CFileDialog::OnFileNameChange() {}
void CFileDialog::OnFolderChange() {}
void CFileDialog::OnTypeChange() {}

BOOL CFileDialog::OnFileNameOK()
{
    return FALSE;
}

void CFileDialog::OnOK()
{
    m_lFileOkResult = 0;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (CCommonDialog::OnNotify(wParam, lParam, result))
        return TRUE;
    const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
    switch (notify->hdr.code) {
    case CDN_INITDONE:
        OnInitDone();
        return TRUE;
    case CDN_SELCHANGE:
        OnFileNameChange();
        return TRUE;
    case CDN_FOLDERCHANGE:
        OnFolderChange();
        return TRUE;
    case CDN_TYPECHANGE:
        OnTypeChange();
        return TRUE;
    case CDN_FILEOK:
        *result = OnFileNameOK();
        return TRUE;
    default:
        return FALSE;
    }
}
