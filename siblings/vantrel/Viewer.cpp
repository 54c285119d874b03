#include "Vantrel.h"
#include <commctrl.h>
#include <cmath>

namespace {

int GET_X_LPARAM(LPARAM l) { return static_cast<short>(LOWORD(l)); }
int GET_Y_LPARAM(LPARAM l) { return static_cast<short>(HIWORD(l)); }

const char kClassName[] = "VantrelViewer";
constexpr int kRenderWidth = 1024, kRenderHeight = 768;

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

bool RegisterViewerClass()
{
    WNDCLASSA existing;
    if (GetClassInfoA(ThisModule(), kClassName, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window at creation
    wc.hInstance = ThisModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

CQRNACADViewer::CQRNACADViewer(QRNACADSESSIONGS_DEVICE_TYPE device) : m_view(device) {}

CQRNACADViewer::~CQRNACADViewer()
{
    DestroyWindow();
    if (m_hPicture)
        DeleteEnhMetaFile(m_hPicture);
}

void CQRNACADViewer::DestroyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_hToolBar = nullptr;
}

bool CQRNACADViewer::CreateWindowIn(HWND parent, const RECT& rc, UINT id, DWORD style, QRNACADSESSIONGS_DEVICE_TYPE)
{
    if (m_hWnd || !parent || !RegisterViewerClass())
        return false;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND hwnd = CreateWindowExA(0, kClassName, "", style | WS_CHILD | WS_CLIPCHILDREN, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ThisModule(), nullptr);
    if (!hwnd)
        return false;
    m_hWnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    return true;
}

void CQRNACADViewer::InitView()
{
    Reload();
    Fit();
}

void CQRNACADViewer::SetToolBarEnabled(bool enabled)
{
    m_bToolBar = enabled;
    if (!m_hWnd)
        return;
    if (enabled && !m_hToolBar) {
        m_hToolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                     WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP | CCS_NODIVIDER,
                                     0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kToolBarId)),
                                     ThisModule(), nullptr);
        if (m_hToolBar) {
            SendMessageA(m_hToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
            SendMessageA(m_hToolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
            static const char* const kLabels[] = {"Fit", "+", "-"};
            static const int kCommands[] = {kCmdFit, kCmdZoomIn, kCmdZoomOut};
            TBBUTTON buttons[3] = {};
            for (int i = 0; i < 3; ++i) {
                buttons[i].iBitmap = I_IMAGENONE;
                buttons[i].idCommand = kCommands[i];
                buttons[i].fsState = TBSTATE_ENABLED;
                buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
                buttons[i].iString = reinterpret_cast<INT_PTR>(kLabels[i]);
            }
            SendMessageA(m_hToolBar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
            SendMessageA(m_hToolBar, TB_AUTOSIZE, 0, 0);
        }
    } else if (!enabled && m_hToolBar) {
        ::DestroyWindow(m_hToolBar);
        m_hToolBar = nullptr;
    }
    Layout();
}

void CQRNACADViewer::SetContextMenuEnabled(bool enabled)
{
    m_bContextMenu = enabled;
}

void CQRNACADViewer::Fit()
{
    m_zoom = 1.0;
    m_pan = {0, 0};
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CQRNACADViewer::Zoom(double factor)
{
    if (!(factor > 0))
        return;
    double zoom = m_zoom * factor;
    if (zoom < 0.05 || zoom > 200)
        return;
    // About the centre of the view: the pan scales with the picture.
    m_zoom = zoom;
    m_pan.x = static_cast<LONG>(std::lround(m_pan.x * factor));
    m_pan.y = static_cast<LONG>(std::lround(m_pan.y * factor));
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CQRNACADViewer::Pan(int dx, int dy)
{
    m_pan.x += dx;
    m_pan.y += dy;
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CQRNACADViewer::Reload()
{
    QRNACADSessionGS* session = m_view.GetSession();
    if (session->GetCurrentSerial() == m_nLoadedSerial)
        return;
    m_nLoadedSerial = session->GetCurrentSerial();
    if (m_hPicture) {
        DeleteEnhMetaFile(m_hPicture);
        m_hPicture = nullptr;
    }
    const char* path = session->GetCurrentPath();
    if (!*path)
        return;
    QRNACADDocument* document = session->OpenDocument(path, false, false, "");
    if (document) {
        m_hPicture = document->GetEnhancedMetaFileHandle(kRenderWidth, kRenderHeight);
        delete document;
    }
    m_zoom = 1.0;
    m_pan = {0, 0};
}

RECT CQRNACADViewer::DrawingArea() const
{
    RECT rc = {0, 0, 0, 0};
    GetClientRect(m_hWnd, &rc);
    if (m_hToolBar) {
        RECT bar;
        GetWindowRect(m_hToolBar, &bar);
        rc.top += bar.bottom - bar.top;
    }
    return rc;
}

void CQRNACADViewer::Layout()
{
    if (m_hToolBar)
        SendMessageA(m_hToolBar, TB_AUTOSIZE, 0, 0);
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CQRNACADViewer::Paint(HDC dc)
{
    RECT area = DrawingArea();
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    if (!memory || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, w, h};
    FillRect(memory, &all, GetSysColorBrush(COLOR_APPWORKSPACE));
    ENHMETAHEADER header = {};
    if (m_hPicture && GetEnhMetaFileHeader(m_hPicture, sizeof header, &header)) {
        double pw = header.rclBounds.right - header.rclBounds.left + 1;
        double ph = header.rclBounds.bottom - header.rclBounds.top + 1;
        if (pw > 0 && ph > 0) {
            double s = (w / pw < h / ph ? w / pw : h / ph) * m_zoom;
            double dw = pw * s, dh = ph * s;
            double left = (w - dw) / 2 + m_pan.x, top = (h - dh) / 2 + m_pan.y;
            if (std::fabs(dw) < 1e6 && std::fabs(dh) < 1e6) {
                RECT target = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + dw),
                               static_cast<LONG>(top + dh)};
                PlayEnhMetaFile(memory, m_hPicture, &target);
            }
        }
    } else {
        SetBkMode(memory, TRANSPARENT);
        DrawTextA(memory, "No drawing", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    BitBlt(dc, area.left, area.top, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

LRESULT CALLBACK CQRNACADViewer::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* viewer = reinterpret_cast<CQRNACADViewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!viewer)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        viewer->m_hWnd = nullptr;
        viewer->m_hToolBar = nullptr;
        viewer->m_bDragging = false;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    try {
        return viewer->Handle(message, wParam, lParam);
    } catch (...) {
        // Nothing may escape into the system's dispatch.
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT CQRNACADViewer::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        Reload();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        Paint(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        // Only the tool bar's strip: the drawing area is painted whole.
        RECT strip;
        GetClientRect(m_hWnd, &strip);
        strip.bottom = DrawingArea().top;
        FillRect(reinterpret_cast<HDC>(wParam), &strip, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_SIZE:
        Layout();
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kCmdFit: Fit(); return 0;
        case kCmdZoomIn: Zoom(1.25); return 0;
        case kCmdZoomOut: Zoom(0.8); return 0;
        }
        break;
    case WM_MOUSEWHEEL:
        Zoom(GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1.25 : 0.8);
        return 0;
    case WM_LBUTTONDOWN:
        m_bDragging = true;
        m_dragFrom = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetCapture(m_hWnd);
        SetFocus(m_hWnd);
        return 0;
    case WM_MOUSEMOVE:
        if (m_bDragging) {
            POINT now = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            Pan(now.x - m_dragFrom.x, now.y - m_dragFrom.y);
            m_dragFrom = now;
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_bDragging) {
            m_bDragging = false;
            if (message == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    case WM_CONTEXTMENU:
        if (m_bContextMenu) {
            HMENU menu = CreatePopupMenu();
            if (menu) {
                AppendMenuA(menu, MF_STRING, kCmdFit, "Fit");
                AppendMenuA(menu, MF_STRING, kCmdZoomIn, "Zoom in");
                AppendMenuA(menu, MF_STRING, kCmdZoomOut, "Zoom out");
                POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (pt.x == -1 && pt.y == -1) {
                    pt = {0, 0};
                    ClientToScreen(m_hWnd, &pt);
                }
                TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
                DestroyMenu(menu);
            }
        }
        return 0;
    }
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}
