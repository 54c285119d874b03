// PardoDemo: runs the preview file dialog on a folder of sample pictures.
//
//   PardoDemo.exe              interactive
//   PardoDemo.exe --auto DIR   selects each sample in turn, saves a
//                              screenshot of the dialog per kind into DIR,
//                              then closes the dialog and exits; also
//                              saves the drawing preview of every DWG and
//                              DXF file of the test data as cad_*.png
//
// Besides pictures the folder holds a design file made with the block
// library's writer and, when the shared test data is there, a DWG and a
// DXF drawing copied from it.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdio>
#include <string>
#include <vector>
#include "pardo/ACADFilePreview.h"
#include "pardo/BitmapFilePreview.h"
#include "pardo/MirekFilePreview.h"
#include "pardo/PreviewLayout.h"
#include "siblings/tamberkit/Tamberkit.h"
#include "pardo/FileDialog.h"
#include "pardo/samples/SampleImages.h"

namespace {

// The host's placeholder for files that cannot be shown.
class CDemoImagePreview : public CQRNBitmapFilePreview {
public:
    void DrawNoPreviewAvailable(HDC dc, int x, int y, int cx, int cy) override
    {
        HPEN pen = CreatePen(PS_SOLID, 2, RGB(180, 60, 60));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, x + 10, y + 10, nullptr);
        LineTo(dc, x + cx - 10, y + cy - 10);
        MoveToEx(dc, x + cx - 10, y + 10, nullptr);
        LineTo(dc, x + 10, y + cy - 10);
        SelectObject(dc, old);
        DeleteObject(pen);
        RECT text = {x, y + cy - 24, x + cx, y + cy - 4};
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, "no preview", -1, &text, DT_CENTER | DT_SINGLELINE);
    }
};

class CDemoDialog;
CDemoDialog* g_dialog;

class CDemoDialog : public CQRNFileDialog {
public:
    CDemoDialog(const char* filter) : CQRNFileDialog(1, TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter) {}

    std::string shotFolder;  // empty: interactive
    std::vector<PardoSamples::Sample> samples;
    size_t next = 0;
    int saved = 0;

protected:
    void OnInitDone() override
    {
        CQRNFileDialog::OnInitDone();
        if (shotFolder.empty())
            return;
        g_dialog = this;
        ::SetTimer(m_hWnd, 1, 400, &Step);
    }

private:
    bool Select(const std::string& name)
    {
        HWND platform = ::GetParent(m_hWnd);
        HWND view = FindWindowExA(platform, nullptr, "SHELLDLL_DefView", nullptr);
        HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
        std::string stem = name.substr(0, name.rfind('.'));
        int count = list ? static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            char text[MAX_PATH] = "";
            LVITEMA item = {};
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            ::SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            if (_stricmp(text, name.c_str()) != 0 && _stricmp(text, stem.c_str()) != 0)
                continue;
            LVITEMA state = {};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
            ::SendMessageA(list, LVM_ENSUREVISIBLE, i, FALSE);
            return true;
        }
        // Not in the list: type the name as a user would.
        ::SendMessageA(platform, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name.c_str()));
        ::SendMessageA(platform, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(name.c_str()));
        OFNOTIFYA notify = {};
        notify.hdr.hwndFrom = platform;
        notify.hdr.code = CDN_SELCHANGE;
        notify.lpOFN = &m_ofn;
        ::SendMessageA(m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
        return false;
    }

    // Odd ticks select a sample, even ticks photograph it, so the list and
    // the pane have repainted in between.
    static void CALLBACK Step(HWND hwnd, UINT, UINT_PTR, DWORD)
    {
        CDemoDialog* d = g_dialog;
        HWND platform = ::GetParent(hwnd);
        if (d->next >= d->samples.size() * 2) {
            ::KillTimer(hwnd, 1);
            ::PostMessageA(platform, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        const PardoSamples::Sample& sample = d->samples[d->next / 2];
        if (d->next % 2 == 0) {
            d->Select(sample.name);
        } else {
            RedrawWindow(platform, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            std::string file = d->shotFolder + "\\pardo_" + sample.kind + ".png";
            if (PardoSamples::SaveWindowPng(platform, file)) {
                ++d->saved;
                printf("PardoDemo: %s\n", file.c_str());
            } else {
                fprintf(stderr, "PardoDemo: could not write %s\n", file.c_str());
            }
        }
        ++d->next;
    }
};

// A design file whose preview picture is one of the sample images.
bool WriteDesignFile(const std::string& folder, const std::string& name)
{
    Gdiplus::Bitmap picture(160, 100, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&picture);
        g.Clear(Gdiplus::Color(255, 250, 245, 230));
        Gdiplus::Pen wall(Gdiplus::Color(255, 60, 60, 60), 4);
        g.DrawRectangle(&wall, 10, 10, 140, 80);
        g.DrawLine(&wall, 80, 10, 80, 60);
        Gdiplus::SolidBrush door(Gdiplus::Color(255, 180, 90, 40));
        g.FillRectangle(&door, 110, 84, 24, 8);
    }
    HBITMAP bitmap = nullptr;
    picture.GetHBITMAP(Gdiplus::Color(255, 255, 255, 255), &bitmap);
    UINT size = 0;
    BYTE* jpeg = Pictorium::EncodeJpeg(bitmap, 90, &size);
    DeleteObject(bitmap);
    if (!jpeg)
        return false;
    Block block;
    bool ok = Tamberkit::MakePreviewBlock(block, jpeg, size) &&
              Tamberkit::WriteDesignFile((folder + "\\" + name).c_str(), Tamberkit::DesignHeader(), block);
    Pictorium::FreeBytes(jpeg);
    return ok;
}

std::string CadFolder()
{
    return CAD_TESTDATA;
}

bool CopyCad(const char* name, const std::string& folder, const char* as)
{
    return CopyFileA((CadFolder() + "/" + name).c_str(), (folder + "\\" + as).c_str(), FALSE) != FALSE;
}

// The drawing preview of every DWG and DXF file of the test data, drawn as
// the dialog's pane would (236 pixels square) and saved as cad_<file>.png.
int SaveCadPreviews(const std::string& shots)
{
    int saved = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((CadFolder() + "/*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        CQRNACADFilePreview preview;
        std::string name = found.cFileName;
        if (!preview.isPreviewForFileType(Pardo::FileExtension(name.c_str())))
            continue;
        const int side = 236;
        Gdiplus::Bitmap image(side + 2, side + 2, PixelFormat24bppRGB);
        {
            Gdiplus::Graphics g(&image);
            g.Clear(Gdiplus::Color(255, 212, 208, 200));
            HDC dc = g.GetHDC();
            HRGN clip = CreateRectRgn(1, 1, side + 1, side + 1);
            SelectClipRgn(dc, clip);
            preview.SetPreviewFile((CadFolder() + "/" + name).c_str());
            preview.DrawPreview(nullptr, dc, 1, 1, side, side);
            SelectClipRgn(dc, nullptr);
            DeleteObject(clip);
            g.ReleaseHDC(dc);
        }
        CLSID png;
        CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
        std::string file = shots + "\\cad_" + name + ".png";
        std::wstring wide(file.begin(), file.end());
        if (image.Save(wide.c_str(), &png, nullptr) == Gdiplus::Ok) {
            ++saved;
            printf("PardoDemo: %s\n", file.c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return saved;
}

// The interactive viewer hosted in a window of its own, showing a drawing.
bool SaveViewerShot(const std::string& drawing, const std::string& file)
{
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 480, 320, nullptr,
                                nullptr, nullptr, nullptr);
    if (!host)
        return false;
    bool ok = false;
    {
        CWnd wnd;
        wnd.m_hWnd = host;
        CQRNACADFilePreview preview;
        preview.SetPreviewFile(drawing.c_str());
        HDC dc = GetDC(host);
        preview.DrawPreview(&wnd, dc, 0, 0, 480, 320);  // tells the session which drawing
        ReleaseDC(host, dc);
        preview.DrawDWG(&wnd, nullptr, 0, 0, 480, 320);
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        MSG msg;
        for (int i = 0; i < 20 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchMessageA(&msg);
        ok = PardoSamples::SaveWindowPng(host, file);
        wnd.m_hWnd = nullptr;
    }
    DestroyWindow(host);
    if (ok)
        printf("PardoDemo: %s\n", file.c_str());
    return ok;
}

bool MakeFolders(const std::string& path)
{
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (!part.empty() && part.back() != ':')
                CreateDirectoryA(part.c_str(), nullptr);
        }
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string shots;
    if (argc >= 3 && strcmp(argv[1], "--auto") == 0) {
        char full[MAX_PATH];
        DWORD n = GetFullPathNameA(argv[2], MAX_PATH, full, nullptr);
        shots = n > 0 && n < MAX_PATH ? full : argv[2];
    }
    else if (argc >= 2) {
        fprintf(stderr, "usage: PardoDemo.exe [--auto SCREENSHOT_FOLDER]\n");
        return 2;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    PardoSamples::CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        fprintf(stderr, "PardoDemo: GDI+ did not start\n");
        return 1;
    }

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "PardoDemo" + std::to_string(GetCurrentProcessId());
    if (!MakeFolders(folder) || (!shots.empty() && !MakeFolders(shots))) {
        fprintf(stderr, "PardoDemo: cannot create %s or %s\n", folder.c_str(), shots.c_str());
        return 1;
    }
    std::vector<PardoSamples::Sample> samples = PardoSamples::WriteSampleFolder(folder);
    size_t pictures = samples.size();
    if (WriteDesignFile(folder, "house.kit"))
        samples.push_back({"house.kit", "design"});
    if (CopyCad("sample_AC1018.dwg", folder, "drawing.dwg"))
        samples.push_back({"drawing.dwg", "dwg"});
    if (CopyCad("sample_AC1015_ascii.dxf", folder, "drawing.dxf"))
        samples.push_back({"drawing.dxf", "dxf"});

    int rc = 0;
    try {
        CDemoDialog dialog("Pictures, designs and drawings|*.bmp;*.png;*.jpg;*.gif;*.tif;*.emf;*.wmf;*.kit;*.dwg;*.dxf|"
                           "All files (*.*)|*.*||");
        dialog.m_ofn.lpstrInitialDir = folder.c_str();
        dialog.SetDlgTitle("Pardo preview dialog");
        dialog.AddFilePreview(new CDemoImagePreview);
        dialog.AddFilePreview(new CQRNMirekFilePreview);
        dialog.AddFilePreview(new CQRNACADFilePreview);
        dialog.shotFolder = shots;
        dialog.samples = samples;
        INT_PTR result = dialog.DoModal();
        if (shots.empty()) {
            if (result == IDOK)
                printf("PardoDemo: chose %s\n", dialog.GetPathName().GetString());
        } else if (dialog.saved != static_cast<int>(samples.size()) || pictures < 8 || samples.size() < pictures + 1) {
            fprintf(stderr, "PardoDemo: %d of %u screenshots written\n", dialog.saved, static_cast<unsigned>(samples.size()));
            rc = 1;
        }
    } catch (CException* e) {
        char message[256] = "";
        e->GetErrorMessage(message, sizeof message);
        fprintf(stderr, "PardoDemo: %s\n", message);
        e->Delete();
        rc = 1;
    }

    if (!shots.empty() && rc == 0 && GetFileAttributesA(CadFolder().c_str()) != INVALID_FILE_ATTRIBUTES &&
        (SaveCadPreviews(shots) < 9 ||
         !SaveViewerShot(CadFolder() + "/sample_AC1009_ascii.dxf", shots + "\\viewer_dxf.png"))) {
        fprintf(stderr, "PardoDemo: not every drawing preview was saved\n");
        rc = 1;
    }

    for (const PardoSamples::Sample& sample : samples)
        DeleteFileA((folder + "\\" + sample.name).c_str());
    RemoveDirectoryA(folder.c_str());
    return rc;
}
