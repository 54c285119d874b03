#pragma once
// The file open/save dialog with a preview pane.
#include <vector>
#include "pardo/FilePreview.h"

// The classic hook-and-template platform file dialog, extended by a pane to
// the right of the standard controls: a sunken square that the provider
// chosen for the selected file draws into, and a check box ("预览") that
// switches the preview on and off.
class PARDO_API CQRNFileDialog : public CFileDialog {
public:
    // Implemented by the host; may veto the OK button.
    class ICallBackValidation {
    public:
        // filterDescription: the description of the selected filter;
        // fileName: the dialog's file name buffer. False keeps the dialog open.
        virtual bool Validate(CString& filterDescription, CString& fileName) = 0;

    protected:
        ~ICallBackValidation() = default;
    };

    // showPanel and strictPaths count as set only when equal to 1. Foreign
    // exceptions become CFileException(genericException).
    explicit CQRNFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                            DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                            CWnd* pParentWnd = nullptr);
    CQRNFileDialog(int showPanel, BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                   const char* lpszFileName = nullptr, DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                   const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    CQRNFileDialog(int strictPaths, int showPanel, BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                   const char* lpszFileName = nullptr, DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                   const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    // Deletes every registered provider.
    ~CQRNFileDialog() override;

    // Takes ownership; registration order is lookup order.
    void AddFilePreview(IQRNFilePreview* provider);
    void EnablePreview(bool on);
    // Only painting and resizing follow; the template was chosen at
    // construction.
    void ShowPreviewPanel(bool show);
    void SetPreviewWidth(int width);
    void SetPreviewHeight(int height);
    void SetDlgTitle(CString title);
    CString GetDlgTitle();
    // Replaces the option flags wholesale (can switch the template off).
    void SetFlags(DWORD flags);
    // Not owned; null removes it.
    void registerCallback(ICallBackValidation* callback);

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCQRNFileDialog;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();
    const MessageMap* GetMessageMap() const override;
    static const MessageMap* GetThisMessageMap();

protected:
    virtual void Init();
    virtual IQRNFilePreview* GetFilePreview(CString extension);

    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnInitDone() override;
    void OnFileNameChange() override;
    void OnFolderChange() override;
    void OnOK() override;
    void OnClickedPreview();
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);

    std::vector<IQRNFilePreview*> m_previews;
    CButton m_previewCheck;
    IQRNFilePreview* m_pCurrentPreview = nullptr;
    CRect m_rcPreview;
    CRgn m_rgnPreview;
    int m_nPreviewWidth = 120;
    int m_nPreviewHeight = 120;
    bool m_bStrictPaths = false;
    bool m_bShowPanel = false;
    bool m_bPreview = true;
    bool m_bFolderChanged = false;
    ICallBackValidation* m_pValidation = nullptr;

private:
    // Places the square and its clip region from the anchor; false without
    // the anchor.
    bool LayOutSquare(CRect* anchor);

    // Made only when the dialog's font has no glyphs for the label.
    HFONT LabelFont(const wchar_t* label);

    CString m_strTitle;
    CGdiObject m_labelFont;
};
