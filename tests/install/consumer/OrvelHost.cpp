// Styles a dialog of its own by window class and checks that the current
// pack painted it: exit status 0 when it did.
#include <windows.h>
#include <cstdio>
#include "HostIds.h"
#include "orvel/host/Global.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/StyleByClass.h"

namespace {

void Pump()
{
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

// A row of screen pixels across the middle of the window.
std::vector<COLORREF> PixelRow(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    HDC dc = GetDC(window);
    std::vector<COLORREF> row;
    for (int x = 0; x < rect.right; ++x)
        row.push_back(GetPixel(dc, x, rect.bottom / 2));
    ReleaseDC(window, dc);
    return row;
}

INT_PTR CALLBACK HostProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

}  // namespace

int wmain()
{
    COrvelGlobal& global = COrvelGlobal::GetInstance();
    if (!global.Initialize(GetModuleHandleW(L"Orvel.dll"))) {
        fprintf(stderr, "OrvelHost: no style pack could be loaded\n");
        return 1;
    }
    Style::CStyleManager::GetInstance().SelectStyle(L"Graphite");
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HOST), nullptr,
                                     HostProc, 0);
    if (!dialog) {
        fprintf(stderr, "OrvelHost: the dialog cannot be created\n");
        return 1;
    }
    ShowWindow(dialog, SW_SHOW);
    Pump();
    HWND ok = GetDlgItem(dialog, IDOK);
    std::vector<COLORREF> before = PixelRow(ok);
    int styled = Windows::StyleDialogByClass(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Pump();
    std::vector<COLORREF> after = PixelRow(ok);
    DestroyWindow(dialog);
    // Frame, label, edit, check box, two radios and two push buttons.
    if (styled < 8) {
        fprintf(stderr, "OrvelHost: %d windows styled, expected 8\n", styled);
        return 1;
    }
    if (before == after) {
        fprintf(stderr, "OrvelHost: the push button looks the same styled\n");
        return 1;
    }
    printf("OrvelHost: %d windows styled with %ls\n", styled,
           Style::CStyleManager::GetInstance().GetCurrentName().c_str());
    return 0;
}
