#pragma once
// Pardo's own application framework: dialogs and the classic common file
// dialog (hook and child template, never the COM-based dialog).
#include <windows.h>
#include <commdlg.h>
#include "pardo/afx/Wnd.h"

class PARDO_API CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(const char* templateName, CWnd* parent = nullptr);

    // Runs a modal dialog from the template in the current resource module.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int result);

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCDialog;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();

protected:
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Dialog procedures report results through DWLP_MSGRESULT as well.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    const char* m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
};

class PARDO_API CCommonDialog : public CDialog {
public:
    explicit CCommonDialog(CWnd* parent);

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCCommonDialog;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();

protected:
    // The platform dialog decides; the child only passes the message on.
    void OnOK() override;
    void OnCancel() override;
};

// While the dialog runs, the object is tied to the child dialog made from
// the template (or the platform's empty child); its parent is the platform
// dialog.
class PARDO_API CFileDialog : public CCommonDialog {
public:
    // The filter uses '|' between description and pattern and ends in "||".
    explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = FALSE);

    // IDOK or IDCANCEL. Adds the hook and Explorer flags the framework needs.
    INT_PTR DoModal() override;

    // Full path of the selection: asked from the running dialog, else the
    // file name buffer.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFolderPath() const;

    OPENFILENAMEA m_ofn;

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCFileDialog;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();

protected:
    virtual void OnInitDone();
    virtual void OnFileNameChange();
    virtual void OnFolderChange();
    virtual void OnTypeChange();
    // Nonzero rejects the name and keeps the dialog open.
    virtual BOOL OnFileNameOK();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The base OK handling: lets the platform accept the name.
    void OnOK() override;

    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    char m_szFileTitle[64];
    char m_szFileName[MAX_PATH];
    // The answer to the CDN_FILEOK being handled: 0 accepts, 1 rejects.
    LRESULT m_lFileOkResult = 0;

private:
    static UINT_PTR CALLBACK HookProc(HWND, UINT, WPARAM, LPARAM);
};
