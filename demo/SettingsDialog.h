#pragma once
// The demo's settings dialog, built the way programs build one: a dialog
// template with a tab control, one child dialog per page laid over the
// tab's display area, OK / Cancel / Apply. Styled by window class.
#include <windows.h>

namespace Demo {

class CSettingsDialog {
public:
    enum EPage { General, Scanning, Advanced, Files, PageCount };
    // The page's name as screenshot file names use it.
    static const wchar_t* PageName(int page);

    // Modal, styled: what the demo's "Settings" button opens.
    static INT_PTR RunModal(HWND owner);

    CSettingsDialog() = default;
    CSettingsDialog(const CSettingsDialog&) = delete;
    CSettingsDialog& operator=(const CSettingsDialog&) = delete;
    ~CSettingsDialog() { Destroy(); }

    // Modeless and hidden, styled or left native; shown by the caller.
    bool Create(HWND owner, bool styled);
    void Destroy();
    HWND Window() const { return m_dialog; }
    HWND Page(int page) const { return page >= 0 && page < PageCount ? m_pages[page] : nullptr; }

private:
    static void RegisterControls();
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(WORD id);
    void OnNotify(const NMHDR& header);
    void OnPageChanged();
    void PlacePages();
    // What a click on the page's tab does.
    void SelectPage(int page);
    void Close(INT_PTR result);

    HWND m_dialog = nullptr;
    HWND m_pages[PageCount] = {};
    int m_current = -1;
    bool m_styled = true;
    bool m_modal = false;
    // Filling the pages sends change notifications too; they do not count.
    bool m_ready = false;
};

}  // namespace Demo
