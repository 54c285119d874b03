#include "WindowImpl.h"

namespace Base {

namespace {
FailureReporter g_reporter = nullptr;
}

void SetFailureReporter(FailureReporter reporter)
{
    g_reporter = reporter;
}

void ReportFailure(const char* where, const char* what) noexcept
{
    if (g_reporter) {
        try {
            g_reporter(where, what);
            return;
        } catch (...) {
        }
    }
    char line[512];
    wsprintfA(line, "Orvel: exception in %s: %s\n", where ? where : "?", what ? what : "?");
    OutputDebugStringA(line);
}

HWND NotificationSource(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY:
        switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
            return reinterpret_cast<HWND>(lParam);
        default:
            return ::GetDlgItem(parent, HIWORD(wParam));
        }
    case WM_DRAWITEM:
        return wParam && lParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return wParam && lParam
                   ? ::GetDlgItem(parent, reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)
                   : nullptr;
    case WM_COMPAREITEM:
        return wParam && lParam
                   ? ::GetDlgItem(parent, reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->CtlID)
                   : nullptr;
    case WM_DELETEITEM:
        return wParam && lParam
                   ? ::GetDlgItem(parent, reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->CtlID)
                   : nullptr;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

}  // namespace Base
