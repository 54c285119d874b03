#include "WindowTestUtil.h"

#include <algorithm>

namespace WindowTest {

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount() - start >= ms)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

CHostWindow::CHostWindow(int width, int height)
{
    static const wchar_t* const kClass = L"OrvelTestHost";
    WNDCLASSW wc = {};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), kClass, &wc)) {
        wc.lpfnWndProc = &CHostWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
    }
    m_hWnd = CreateWindowExW(0, kClass, L"test host", WS_POPUP | WS_VISIBLE, 50, 50,
                             width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetForegroundWindow(m_hWnd);
    Pump(20);
}

CHostWindow::~CHostWindow()
{
    if (IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    Pump();
}

HWND CHostWindow::AddChild(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                           int w, int h, int id)
{
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    Pump();
    return child;
}

std::vector<CHostWindow::SMessage> CHostWindow::Received(UINT message) const
{
    std::vector<SMessage> out;
    for (const SMessage& m : m_received)
        if (m.message == message)
            out.push_back(m);
    return out;
}

LRESULT CALLBACK CHostWindow::Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CHostWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self && std::find(self->m_watch.begin(), self->m_watch.end(), message) != self->m_watch.end())
        self->m_received.push_back({message, wParam, lParam});
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void MoveCursorTo(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    Pump(60);
}

void ClickAt(HWND window, int x, int y, const std::function<void(DWORD)>& pump, bool queued)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    pump(30);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (queued) {
        SendInput(2, input, sizeof(INPUT));
    } else {
        SendInput(1, &input[0], sizeof(INPUT));
        pump(30);
        SendInput(1, &input[1], sizeof(INPUT));
    }
    pump(80);
}

}  // namespace WindowTest
