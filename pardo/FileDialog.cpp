#include "FileDialog.h"
#include <string>
#include "PreviewLayout.h"

namespace {

constexpr int kAnchorId = 1001;
constexpr UINT kCheckBoxId = 6002;
constexpr UINT kCheckLabelId = 2;
constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
const char kTemplateName[] = "FILEDIALOG_TEMPLATE";

template <class Fn>
void Guarded(Fn&& fn)
{
    Pardo::TranslateForeign(fn, CFileException::genericException);
}

}  // namespace

CRuntimeClass CQRNFileDialog::classCQRNFileDialog = {"CQRNFileDialog", sizeof(CQRNFileDialog),
                                                      &CQRNFileDialog::_GetBaseClass};
CRuntimeClass* CQRNFileDialog::GetRuntimeClass() const { return &classCQRNFileDialog; }
CRuntimeClass* CQRNFileDialog::_GetBaseClass() { return CFileDialog::GetThisClass(); }
CRuntimeClass* CQRNFileDialog::GetThisClass() { return &classCQRNFileDialog; }

const MessageMap* CQRNFileDialog::GetThisMessageMap()
{
    using namespace Pardo::Handlers;
    static const MessageMapEntry entries[] = {
        {WM_COMMAND, BN_CLICKED, kCheckBoxId, &Void<CQRNFileDialog, &CQRNFileDialog::OnClickedPreview>},
        {WM_PAINT, 0, 0, &Void<CQRNFileDialog, &CQRNFileDialog::OnPaint>},
        {WM_SIZE, 0, 0, &Size<CQRNFileDialog, &CQRNFileDialog::OnSize>},
        {0, 0, 0, nullptr},
    };
    static const MessageMap map = {&CFileDialog::GetThisMessageMap, entries};
    return &map;
}

const MessageMap* CQRNFileDialog::GetMessageMap() const
{
    return GetThisMessageMap();
}

CQRNFileDialog::CQRNFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                               const char* lpszFilter, CWnd* pParentWnd) try
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd, 0, FALSE)
{
    Init();
} catch (CException*) {
    throw;
} catch (...) {
    Pardo::ThrowFileException(CFileException::genericException, -1);
}

CQRNFileDialog::CQRNFileDialog(int showPanel, BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                               DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd) try
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd, 0, FALSE),
      m_bShowPanel(Pardo::OptionSet(showPanel))
{
    Init();
} catch (CException*) {
    throw;
} catch (...) {
    Pardo::ThrowFileException(CFileException::genericException, -1);
}

CQRNFileDialog::CQRNFileDialog(int strictPaths, int showPanel, BOOL bOpenFileDialog, const char* lpszDefExt,
                               const char* lpszFileName, DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd) try
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd, 0, FALSE),
      m_bStrictPaths(Pardo::OptionSet(strictPaths)),
      m_bShowPanel(Pardo::OptionSet(showPanel))
{
    Init();
} catch (CException*) {
    throw;
} catch (...) {
    Pardo::ThrowFileException(CFileException::genericException, -1);
}

CQRNFileDialog::~CQRNFileDialog()
{
    for (IQRNFilePreview* provider : m_previews)
        delete provider;
    m_previews.clear();
    m_pCurrentPreview = nullptr;
}

void CQRNFileDialog::Init()
{
    Pardo::CResourceScope resources(Pardo::ModuleHandle());
    m_bPreview = true;
    m_bFolderChanged = false;
    m_nPreviewWidth = m_nPreviewHeight = 120;
    m_pCurrentPreview = nullptr;
    m_pValidation = nullptr;
    m_ofn.hInstance = Pardo::ModuleHandle();
    m_ofn.Flags = Pardo::InitialFlags(m_ofn.Flags, m_bShowPanel, m_bStrictPaths);
    if (m_bShowPanel)
        m_ofn.lpTemplateName = kTemplateName;
}

void CQRNFileDialog::AddFilePreview(IQRNFilePreview* provider)
{
    Guarded([&] { m_previews.push_back(provider); });
}

void CQRNFileDialog::EnablePreview(bool on)
{
    Guarded([&] {
        m_bPreview = on;
        if (m_previewCheck.m_hWnd)
            m_previewCheck.SetCheck(on ? BST_CHECKED : BST_UNCHECKED);
    });
}

void CQRNFileDialog::ShowPreviewPanel(bool show)
{
    m_bShowPanel = show;
}

void CQRNFileDialog::SetPreviewWidth(int width)
{
    m_nPreviewWidth = width;
}

void CQRNFileDialog::SetPreviewHeight(int height)
{
    m_nPreviewHeight = height;
}

void CQRNFileDialog::SetDlgTitle(CString title)
{
    m_strTitle = static_cast<CString&&>(title);
    m_ofn.lpstrTitle = m_strTitle;
}

CString CQRNFileDialog::GetDlgTitle()
{
    return CString(m_ofn.lpstrTitle);
}

void CQRNFileDialog::SetFlags(DWORD flags)
{
    Guarded([&] { m_ofn.Flags = flags; });
}

void CQRNFileDialog::registerCallback(ICallBackValidation* callback)
{
    m_pValidation = callback;
}

IQRNFilePreview* CQRNFileDialog::GetFilePreview(CString extension)
{
    for (IQRNFilePreview* provider : m_previews)
        if (provider && provider->isPreviewForFileType(extension))
            return provider;
    return nullptr;
}

BOOL CQRNFileDialog::OnInitDialog()
{
    CFileDialog::OnInitDialog();
    return TRUE;
}

BOOL CQRNFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
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
    case CDN_FILEOK:
        // Rejected unless the base OK handling runs and accepts.
        m_lFileOkResult = 1;
        OnOK();
        *result = m_lFileOkResult;
        return TRUE;
    default:
        return CFileDialog::OnNotify(wParam, lParam, result);
    }
}

bool CQRNFileDialog::LayOutSquare(CRect* anchor)
{
    CWnd* item = GetDlgItem(kAnchorId);
    if (!item)
        return false;
    item->GetWindowRect(anchor);
    ScreenToClient(static_cast<LPRECT>(*anchor));
    m_rcPreview = Pardo::PreviewSquare(*anchor, m_nPreviewWidth, m_nPreviewHeight);
    return true;
}

void CQRNFileDialog::OnInitDone()
{
    if (!m_bShowPanel)
        return;
    Pardo::CResourceScope resources(Pardo::ModuleHandle());
    CRect anchor;
    if (!LayOutSquare(&anchor))
        return;
    CRect clip = Pardo::PreviewClip(m_rcPreview);
    if (m_rgnPreview.m_hObject)
        m_rgnPreview.SetRectRgn(clip);
    else
        m_rgnPreview.CreateRectRgnIndirect(clip);

    if (m_previewCheck.m_hWnd)
        return;
    // The label is read as UTF-16 so that it shows whatever the ANSI code
    // page of the process.
    const wchar_t* label = nullptr;
    int length = LoadStringW(Pardo::GetResourceHandle(), kCheckLabelId, reinterpret_cast<LPWSTR>(&label), 0);
    std::wstring text(label && length > 0 ? label : L"", length > 0 ? length : 0);
    CRect box = Pardo::PreviewCheckBox(anchor, m_rcPreview);
    if (m_previewCheck.Create(text.c_str(), kCheckBoxStyle, box, this, kCheckBoxId)) {
        m_previewCheck.SetFont(LabelFont(text.c_str()), true);
        m_previewCheck.SetCheck(m_bPreview ? BST_CHECKED : BST_UNCHECKED);
    }
}

HFONT CQRNFileDialog::LabelFont(const wchar_t* label)
{
    HFONT font = GetFont();
    int length = static_cast<int>(wcslen(label));
    if (length == 0)
        return font;
    std::wstring glyphs(length, L'\0');
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    DWORD got = ::GetGlyphIndicesW(dc, label, length, reinterpret_cast<WORD*>(glyphs.data()),
                                   GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    if (got != GDI_ERROR && glyphs.find(static_cast<wchar_t>(0xFFFF)) == std::wstring::npos)
        return font;
    // A system without the template's Chinese face: the same font asked for
    // by the label's character set, so that the label does not show as boxes.
    LOGFONTW logFont = {};
    ::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    logFont.lfCharSet = GB2312_CHARSET;
    if (!m_labelFont.Attach(::CreateFontIndirectW(&logFont)))
        return font;
    return static_cast<HFONT>(m_labelFont.m_hObject);
}

void CQRNFileDialog::OnSize(UINT, int, int)
{
    Default();
    CRect anchor;
    if (m_bShowPanel && m_rgnPreview.m_hObject && LayOutSquare(&anchor)) {
        m_rgnPreview.SetRectRgn(Pardo::PreviewClip(m_rcPreview));
        Invalidate(true);
    }
}

void CQRNFileDialog::OnFileNameChange()
{
    if (!m_bFolderChanged && m_bPreview) {
        CString path = GetPathName();
        CString extension = Pardo::FileExtension(path);
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && !extension.IsEmpty()) {
            m_pCurrentPreview = GetFilePreview(extension);
            if (m_pCurrentPreview)
                m_pCurrentPreview->SetPreviewFile(path);
        }
        InvalidateRect(&m_rcPreview, true);
    }
    m_bFolderChanged = false;
}

void CQRNFileDialog::OnFolderChange()
{
    m_bFolderChanged = true;
    if (m_pCurrentPreview)
        m_pCurrentPreview->SetPreviewFile("");
    InvalidateRect(&m_rcPreview, true);
}

void CQRNFileDialog::OnClickedPreview()
{
    m_bPreview = m_previewCheck.GetCheck() == BST_CHECKED;
    if (m_bPreview && m_pCurrentPreview)
        m_pCurrentPreview->SetPreviewFile(GetPathName());
    InvalidateRect(&m_rcPreview, true);
}

void CQRNFileDialog::OnPaint()
{
    CPaintDC dc(this);
    // Without the anchor there is no square to draw.
    if (!m_bShowPanel || m_rcPreview.IsRectEmpty())
        return;
    dc.Draw3dRect(&m_rcPreview, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    if (!m_bPreview || !m_rgnPreview.m_hObject)
        return;
    struct ClipScope {
        CDC& dc;
        ~ClipScope() { dc.SelectClipRgn(nullptr); }
    } clip{dc};
    dc.SelectClipRgn(&m_rgnPreview);
    if (m_pCurrentPreview)
        m_pCurrentPreview->DrawPreview(this, dc, m_rcPreview.left + 1, m_rcPreview.top + 1, m_rcPreview.Width() - 2,
                                       m_rcPreview.Height() - 2);
}

void CQRNFileDialog::OnOK()
{
    if (!m_pValidation) {
        CFileDialog::OnOK();
        return;
    }
    CString description = Pardo::FilterDescription(m_ofn.lpstrFilter, m_ofn.nFilterIndex);
    CString fileName(m_ofn.lpstrFile);
    if (m_pValidation->Validate(description, fileName))
        CFileDialog::OnOK();
}
