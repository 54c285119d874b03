#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <functional>
#include "PardoTestUtil.h"
#include "pardo/PreviewLayout.h"
#include "pardo/samples/SampleImages.h"

using namespace PardoTest;

namespace {

class CTestDialog;
CTestDialog* g_running;

// Exposes the dialog's state and runs a script once the pane is laid out;
// the dialog is cancelled when the script returns.
class CTestDialog : public CQRNFileDialog {
public:
    using CQRNFileDialog::CQRNFileDialog;
    using CQRNFileDialog::GetFilePreview;
    using CQRNFileDialog::m_bFolderChanged;
    using CQRNFileDialog::m_bPreview;
    using CQRNFileDialog::m_bShowPanel;
    using CQRNFileDialog::m_bStrictPaths;
    using CQRNFileDialog::m_pCurrentPreview;
    using CQRNFileDialog::m_previewCheck;
    using CQRNFileDialog::m_previews;
    using CQRNFileDialog::m_rcPreview;
    using CQRNFileDialog::m_rgnPreview;

    std::function<void(CTestDialog&)> script;
    int selectionChanges = 0;

    HWND Platform() const { return ::GetParent(m_hWnd); }

    void Notify(UINT code)
    {
        OFNOTIFYA notify = {};
        notify.hdr.hwndFrom = Platform();
        notify.hdr.code = code;
        notify.lpOFN = &m_ofn;
        ::SendMessageA(m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    }

    void SetName(const char* name)
    {
        ::SendMessageA(Platform(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name));
        ::SendMessageA(Platform(), CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(name));
    }

    // Selects an item of the platform dialog's file list as a click would.
    bool SelectInList(const char* name)
    {
        HWND view = FindWindowExA(Platform(), nullptr, "SHELLDLL_DefView", nullptr);
        HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
        if (!list)
            return false;
        std::string stem(name);
        stem = stem.substr(0, stem.rfind('.'));
        int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH] = L"";
            LVITEMW item = {};
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            std::string shown = Narrow(text);
            if (_stricmp(shown.c_str(), name) != 0 && _stricmp(shown.c_str(), stem.c_str()) != 0)
                continue;
            int before = selectionChanges;
            LVITEMW state = {};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
            Pump(3000, [&] { return selectionChanges > before; });
            return selectionChanges > before;
        }
        return false;
    }

protected:
    void OnInitDone() override
    {
        CQRNFileDialog::OnInitDone();
        g_running = this;
        ::SetTimer(m_hWnd, 1, 50, &RunScript);
    }

    void OnFileNameChange() override
    {
        ++selectionChanges;
        CQRNFileDialog::OnFileNameChange();
    }

private:
    static void CALLBACK RunScript(HWND hwnd, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(hwnd, id);
        CTestDialog* dialog = g_running;
        if (dialog && dialog->script) {
            auto script = std::move(dialog->script);
            script(*dialog);
        }
        ::PostMessageA(::GetParent(hwnd), WM_COMMAND, IDCANCEL, 0);
    }
};

BOOL CALLBACK CancelWindow(HWND hwnd, LPARAM)
{
    ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// Closes every window of the thread if a script never got to run.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ADD_FAILURE() << "the dialog did not start its script in time";
    EnumThreadWindows(GetCurrentThreadId(), &CancelWindow, 0);
}

INT_PTR RunDialog(CTestDialog& dialog)
{
    UINT_PTR watchdog = ::SetTimer(nullptr, 0, 30000, &Watchdog);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, watchdog);
    g_running = nullptr;
    return result;
}

class CLoggedImagePreview : public CQRNBitmapFilePreview {
public:
    ~CLoggedImagePreview() override { Log().push_back("Image:delete"); }
    const CString& File() const { return m_strFile; }
};

class CValidation : public CQRNFileDialog::ICallBackValidation {
public:
    bool Validate(CString& description, CString& fileName) override
    {
        ++calls;
        lastDescription = description.GetString();
        lastFile = fileName.GetString();
        return accept;
    }
    bool accept = false;
    int calls = 0;
    std::string lastDescription, lastFile;
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Contains(const std::vector<std::string>& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

}  // namespace

TEST(FileDialogOptions, OptionsCountOnlyWhenOne)
{
    CTestDialog plain(TRUE);
    EXPECT_FALSE(plain.m_bShowPanel);
    EXPECT_EQ(0u, plain.m_ofn.Flags & OFN_ENABLETEMPLATE);
    EXPECT_EQ(Pardo::ModuleHandle(), plain.m_ofn.hInstance);

    CTestDialog two(2, TRUE);
    EXPECT_FALSE(two.m_bShowPanel);
    EXPECT_EQ(0u, two.m_ofn.Flags & OFN_ENABLETEMPLATE);

    CTestDialog panel(1, TRUE);
    EXPECT_TRUE(panel.m_bShowPanel);
    EXPECT_NE(0u, panel.m_ofn.Flags & OFN_ENABLETEMPLATE);
    EXPECT_STREQ("FILEDIALOG_TEMPLATE", panel.m_ofn.lpTemplateName);

    CTestDialog strict(1, 2, TRUE, nullptr, nullptr, 0);
    EXPECT_TRUE(strict.m_bStrictPaths);
    EXPECT_FALSE(strict.m_bShowPanel);
    EXPECT_EQ(0x3180au, strict.m_ofn.Flags & 0x3180a);
    CTestDialog notStrict(-1, 1, TRUE, nullptr, nullptr, 0);
    EXPECT_FALSE(notStrict.m_bStrictPaths);
    EXPECT_EQ(0u, notStrict.m_ofn.Flags & OFN_FILEMUSTEXIST);

    // SetFlags replaces everything, the template flag included.
    panel.SetFlags(OFN_FILEMUSTEXIST);
    EXPECT_EQ(static_cast<DWORD>(OFN_FILEMUSTEXIST), panel.m_ofn.Flags);

    // '|' separators become terminators; a list without the closing "||"
    // still ends.
    CTestDialog filtered(TRUE, nullptr, nullptr, 0, "A (*.a)|*.a|B (*.b)|*.b");
    EXPECT_STREQ("B (*.b)", Pardo::FilterDescription(filtered.m_ofn.lpstrFilter, 2));
    EXPECT_STREQ("A (*.a)", Pardo::FilterDescription(filtered.m_ofn.lpstrFilter, 3));

    CString title("Open a picture");
    panel.SetDlgTitle(title);
    title = "changed";
    EXPECT_STREQ("Open a picture", panel.GetDlgTitle());
    EXPECT_STREQ("", plain.GetDlgTitle());
}

TEST(FileDialogOptions, FirstRegisteredProviderWinsAndAllAreDeletedOnce)
{
    Log().clear();
    {
        CTestDialog dialog(1, TRUE);
        auto* first = new CRecordingPreview("A", {".bmp"});
        auto* second = new CRecordingPreview("B", {".bmp", ".png"});
        dialog.AddFilePreview(first);
        dialog.AddFilePreview(second);
        dialog.AddFilePreview(new CLoggedImagePreview);
        EXPECT_EQ(first, dialog.GetFilePreview(".BMP"));
        EXPECT_EQ(second, dialog.GetFilePreview(".png"));
        EXPECT_EQ(dialog.m_previews[2], dialog.GetFilePreview(".wmf"));
        EXPECT_EQ(nullptr, dialog.GetFilePreview(".dwg"));
        EXPECT_EQ(nullptr, dialog.GetFilePreview(""));
    }
    EXPECT_EQ((std::vector<std::string>{"A:delete", "B:delete", "Image:delete"}), Log());
}

class FileDialogRun : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = Narrow(m_dir.Path());
        ASSERT_TRUE(PardoSamples::WriteSolid(m_folder + "\\a.bmp", L"image/bmp", 40, 30, RGB(0, 0, 255)));
        ASSERT_TRUE(PardoSamples::WriteSolid(m_folder + "\\UPPER.PNG", L"image/png", 60, 60, RGB(255, 0, 0)));
        ASSERT_TRUE(CreateDirectoryA((m_folder + "\\sub").c_str(), nullptr));
    }

    TestCommon::CTempDir m_dir;
    std::string m_folder;
};

TEST_F(FileDialogRun, PaneFollowsSelectionFolderAndCheckBox)
{
    Log().clear();
    CReportCounter reports;
    auto dialog = std::make_unique<CTestDialog>(1, TRUE, nullptr, nullptr, OFN_HIDEREADONLY,
                                                "Pictures|*.bmp;*.png||");
    dialog->m_ofn.lpstrInitialDir = m_folder.c_str();
    dialog->SetPreviewWidth(200);
    dialog->SetDlgTitle("Preview test");
    auto* first = new CRecordingPreview("A", {".bmp"});
    dialog->AddFilePreview(first);
    dialog->AddFilePreview(new CRecordingPreview("B", {".bmp"}));
    auto* image = new CLoggedImagePreview;
    dialog->AddFilePreview(image);

    const std::string bmpPath = Lower(m_folder + "\\a.bmp");
    const std::string pngPath = Lower(m_folder + "\\UPPER.PNG");
    bool ran = false;
    dialog->script = [&](CTestDialog& d) {
        ran = true;
        char caption[64] = "";
        GetWindowTextA(d.Platform(), caption, sizeof caption);
        EXPECT_STREQ("Preview test", caption);

        // The square and its clip region.
        EXPECT_EQ(200, d.m_rcPreview.Width());
        EXPECT_EQ(120, d.m_rcPreview.Height());
        RECT box;
        ASSERT_NE(ERROR, d.m_rgnPreview.GetRgnBox(&box));
        EXPECT_EQ(198, box.right - box.left);
        EXPECT_EQ(d.m_rcPreview.left + 1, box.left);
        // The pane lies to the right of the platform's file list.
        HWND view = FindWindowExA(d.Platform(), nullptr, "SHELLDLL_DefView", nullptr);
        ASSERT_NE(nullptr, view);
        RECT listRect, pane = d.m_rcPreview;
        GetWindowRect(view, &listRect);
        d.ClientToScreen(&pane);
        EXPECT_GE(pane.left, listRect.right);

        // The check box, checked, under the square, with its label.
        HWND check = GetDlgItem(d.m_hWnd, 6002);
        ASSERT_NE(nullptr, check);
        EXPECT_EQ(BST_CHECKED, ::SendMessageW(check, BM_GETCHECK, 0, 0));
        wchar_t label[16] = L"";
        GetWindowTextW(check, label, 16);
        EXPECT_STREQ(L"\u9884\u89c8", label);
        RECT checkRect;
        GetWindowRect(check, &checkRect);
        MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&checkRect), 2);
        EXPECT_EQ(d.m_rcPreview.bottom + 15, checkRect.top);

        // Two providers claim ".bmp": the first registered gets it.
        ASSERT_TRUE(d.SelectInList("a.bmp"));
        EXPECT_EQ(first, d.m_pCurrentPreview);
        EXPECT_TRUE(Contains(Log(), "A:set:" + bmpPath));
        for (const std::string& entry : Log())
            EXPECT_NE(0u, entry.rfind("B:", 0)) << entry;

        // An upper-case name reaches the image provider in lower case, and
        // the pane shows it.
        ASSERT_TRUE(d.SelectInList("UPPER.PNG"));
        EXPECT_EQ(image, d.m_pCurrentPreview);
        EXPECT_STREQ(pngPath.c_str(), image->File());
        RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(d.m_hWnd);
        COLORREF centre = GetPixel(dc, (d.m_rcPreview.left + d.m_rcPreview.right) / 2,
                                   (d.m_rcPreview.top + d.m_rcPreview.bottom) / 2);
        ReleaseDC(d.m_hWnd, dc);
        EXPECT_EQ(RGB(255, 0, 0), centre);

        // A folder change empties the provider and swallows exactly one
        // selection change.
        d.Notify(CDN_FOLDERCHANGE);
        EXPECT_STREQ("", image->File());
        d.SetName("UPPER.PNG");
        d.Notify(CDN_SELCHANGE);
        EXPECT_STREQ("", image->File());
        EXPECT_FALSE(d.m_bFolderChanged);
        d.Notify(CDN_SELCHANGE);
        EXPECT_STREQ(pngPath.c_str(), image->File());

        // A folder (no extension) leaves the previous preview.
        d.SelectInList("sub");
        d.SetName("sub");
        d.Notify(CDN_SELCHANGE);
        EXPECT_EQ(image, d.m_pCurrentPreview);
        EXPECT_STREQ(pngPath.c_str(), image->File());

        // Unchecking keeps the provider; checking again hands it the current
        // path without choosing anew.
        ::SendMessageW(check, BM_CLICK, 0, 0);
        EXPECT_FALSE(d.m_bPreview);
        EXPECT_EQ(image, d.m_pCurrentPreview);
        d.SetName("a.bmp");
        d.Notify(CDN_SELCHANGE);
        EXPECT_EQ(image, d.m_pCurrentPreview);
        ::SendMessageW(check, BM_CLICK, 0, 0);
        EXPECT_TRUE(d.m_bPreview);
        EXPECT_EQ(image, d.m_pCurrentPreview);
        EXPECT_STREQ(bmpPath.c_str(), image->File());

        // A provider that throws while drawing is reported, not fatal.
        d.Notify(CDN_SELCHANGE);
        ASSERT_EQ(first, d.m_pCurrentPreview);
        first->m_throwOnDraw = true;
        RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(1, CReportCounter::Count());
        EXPECT_TRUE(IsWindow(d.Platform()));
        first->m_throwOnDraw = false;
    };
    EXPECT_EQ(IDCANCEL, RunDialog(*dialog));
    EXPECT_TRUE(ran);
    EXPECT_EQ(nullptr, dialog->m_hWnd);

    Log().clear();
    dialog.reset();
    EXPECT_EQ((std::vector<std::string>{"A:delete", "B:delete", "Image:delete"}), Log());
}

TEST_F(FileDialogRun, ValidationVetoKeepsTheDialogOpen)
{
    CTestDialog dialog(1, TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "Drawings (*.dwg)|*.dwg|Images (*.bmp)|*.bmp||");
    dialog.SetFlags(OFN_FILEMUSTEXIST);
    dialog.m_ofn.lpstrInitialDir = m_folder.c_str();
    dialog.m_ofn.nFilterIndex = 2;
    CValidation validation;
    dialog.registerCallback(&validation);

    bool ran = false;
    dialog.script = [&](CTestDialog& d) {
        ran = true;
        // Without the template flag there is no pane.
        EXPECT_EQ(nullptr, GetDlgItem(d.m_hWnd, 1001));
        EXPECT_EQ(nullptr, GetDlgItem(d.m_hWnd, 6002));
        EXPECT_TRUE(d.m_rcPreview.IsRectEmpty());
        RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

        d.SetName("a.bmp");
        ::SendMessageA(d.Platform(), WM_COMMAND, IDOK, 0);
        Pump(300);
        EXPECT_EQ(1, validation.calls);
        EXPECT_EQ("Images (*.bmp)", validation.lastDescription);
        EXPECT_NE(std::string::npos, Lower(validation.lastFile).find("a.bmp")) << validation.lastFile;
        ASSERT_TRUE(IsWindow(d.Platform()));

        validation.accept = true;
        ::PostMessageA(d.Platform(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(IDOK, RunDialog(dialog));
    EXPECT_TRUE(ran);
    EXPECT_EQ(2, validation.calls);
    EXPECT_EQ(Lower(m_folder + "\\a.bmp"), Lower(dialog.m_ofn.lpstrFile));
}
