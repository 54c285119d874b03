#include "GlyphArea.h"

#include <windowsx.h>
#include "DemoIds.h"
#include "orvel/style/StyleManager.h"

namespace Demo {

namespace {

LRESULT CALLBACK AreaProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

COLORREF PackDialogColour()
{
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        if (const Resource::CLine* line = style.GetConfig().FindFirstLine(L"DlgFrame", L"BackColor")) {
            COLORREF colour = line->ReadContentAsColor();
            if (colour != 0xFFFFFFFF)
                return colour;
        }
    } catch (...) {
    }
    return GetSysColor(COLOR_BTNFACE);
}

}  // namespace

bool CGlyphArea::RegisterClass(HINSTANCE instance)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = AreaProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CGlyphArea::CGlyphArea()
    : m_tile(Style::CStyle::QuickScan, nullptr, 0, Style::CStyle::QuickScanText, L"Quick scan"),
      m_prompt(Style::CStyle::PromptError, L"A prompt: the disk is almost full.")
{
    m_bAutoDelete = false;  // the demo owns the area and deletes it after the window
}

CGlyphArea::~CGlyphArea()
{
    StopAnimation();
}

void CGlyphArea::OnSubclassed()
{
    m_tile.SetVessel(this);
    m_slide.SetVessel(this);
    m_prompt.SetVessel(this);
    if (m_slide.LoadImagesFromResource(8, IDB_SLIDE, GetModuleHandleW(nullptr),
                                       Images::CImageArray::Horizontal)) {
        m_slide.MakeTransparent(RGB(255, 0, 255));
        m_slide.SetSpeed(6);
        m_slide.Play();
    }
    ReloadFromStyle();
}

void CGlyphArea::StopAnimation()
{
    m_slide.Stop();
    for (int i = 0; i < 200 && m_slide.IsPlaying(); ++i)
        Sleep(5);
}

void CGlyphArea::ReloadFromStyle()
{
    m_back = PackDialogColour();
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        if (const Resource::CSection* section = style.GetConfig().FindSection(L"Fore@QuickScanIcon"))
            style.LoadImageArray(m_icon, section, 0);
    } catch (...) {
    }
    m_tile.Init(&m_icon, 0, Style::CStyle::QuickScanText, L"Quick scan");
    Layout();
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CGlyphArea::Layout()
{
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    HDC dc = ::GetDC(m_hWnd);
    int w = client.right;
    m_tile.SetRegion(dc, Base::CRect(0, 0, w, 56));
    m_slide.SetRegion(dc, Base::CRect(0, 64, w, 124));
    m_prompt.SetRegion(dc, Base::CRect(0, 132, w, client.bottom));
    ::ReleaseDC(m_hWnd, dc);
}

void CGlyphArea::SetTileState(INT64 state)
{
    m_tile.SetState(state, false);
}

HWND CGlyphArea::TileScreenRect(RECT& rect) const
{
    rect = m_tile.GetRegion();
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return m_hWnd;
}

BOOL CGlyphArea::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result, DWORD)
{
    switch (message) {
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_PAINT: {
        Images::CMemDC memory(hWnd, false);
        HBRUSH brush = ::CreateSolidBrush(m_back);
        ::FillRect(memory, &memory.GetRect(), brush);
        ::DeleteObject(brush);
        const RECT* clip = &memory.GetRect();
        m_tile.Draw(memory, clip);
        m_slide.Draw(memory, clip);
        m_prompt.Draw(memory, clip);
        memory.Show();
        result = 0;
        return TRUE;
    }
    case WM_SIZE:
        Layout();
        return FALSE;
    case WM_MOUSEMOVE: {
        EnableMouseLeaveMsg();
        Base::CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        bool over = m_tile.HitTest(point) != nullptr;
        SetTileState(over ? (m_pressed ? 2 : 1) : 0);
        result = 0;
        return TRUE;
    }
    case WM_MOUSELEAVE:
        PostMouseLeave();
        if (!m_pressed)
            SetTileState(0);
        result = 0;
        return TRUE;
    case WM_LBUTTONDOWN: {
        Base::CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (m_tile.HitTest(point)) {
            m_pressed = true;
            ::SetCapture(hWnd);
            SetTileState(2);
        }
        result = 0;
        return TRUE;
    }
    case WM_LBUTTONUP: {
        if (m_pressed) {
            m_pressed = false;
            ::ReleaseCapture();
            Base::CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            bool over = m_tile.HitTest(point) != nullptr;
            SetTileState(over ? 1 : 0);
            // The tile acts like a button: it starts or stops the slideshow.
            if (over) {
                if (m_slide.IsPlaying())
                    m_slide.Stop();
                else
                    m_slide.Play();
            }
        }
        result = 0;
        return TRUE;
    }
    case WM_SETCURSOR: {
        POINT point;
        ::GetCursorPos(&point);
        ::ScreenToClient(hWnd, &point);
        if (m_tile.HitTest(Base::CPoint(point.x, point.y)) &&
            m_tile.OnSetCursor(LOWORD(lParam), HIWORD(lParam))) {
            result = TRUE;
            return TRUE;
        }
        return FALSE;
    }
    default:
        (void)wParam;
        return FALSE;
    }
}

}  // namespace Demo
