#pragma once
// The settings dialog's "Files" page: a report-view list of recent files
// with a sort mark on the sorted column (a click on a column sorts by it, a
// second click reverses), and a project tree with expandable folders.
#include <windows.h>
#include <commctrl.h>

namespace Demo {

void FillFilesPage(HWND page);
// The page's WM_NOTIFY; true when it handled the notification.
bool OnFilesPageNotify(HWND page, const NMHDR& header);

}  // namespace Demo
