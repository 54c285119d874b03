#pragma once
// A scrolling side bar of task panes, hosted by a child window that is the
// panes' vessel: one pane per submenu of a menu, and one more filled from a
// menu template. Clicking a header collapses or expands its pane; clicking
// an item sends the parent WM_COMMAND with the item's command id, as the
// menu would.
#include <windows.h>
#include <memory>
#include <string>
#include "orvel/glyph/Compose.h"
#include "orvel/style/ImageArray.h"
#include "orvel/windows/ExplorerPane.h"
#include "orvel/windows/StyledWnd.h"

namespace Demo {

// menu: each submenu becomes a pane captioned with the submenu's text.
// menuTemplate: the bytes of a MENU resource (header and items), or null;
// its items become a last pane captioned templateCaption. The window
// deletes its panes with itself. Null on failure.
HWND CreateTaskPaneHost(HWND parent, const RECT& rect, HMENU menu, UINT id = 0,
                        const void* menuTemplate = nullptr,
                        const wchar_t* templateCaption = L"Details");

class CTaskPaneHost : public Windows::CStyledWndImpl<CTaskPaneHost> {
public:
    static constexpr wchar_t kClassName[] = L"OrvelTaskPaneHost";
    // The host behind a window made by CreateTaskPaneHost, else null.
    static CTaskPaneHost* FromWindow(HWND window);

    CTaskPaneHost();

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();
    void AdjustVesselLayout() override { Layout(); }

    Windows::ExplorerElement::CExplorerPane& AddPane(const std::wstring& caption);
    size_t GetPaneCount() const { return static_cast<size_t>(m_column.GetGlyphCount()); }
    Windows::ExplorerElement::CExplorerPane* GetPane(size_t index) const;
    Images::CImageArray& GetIcons() { return m_icons; }
    // Shows the items of enabled commands only.
    void UpdateActions(const Windows::CUpdateUIBase& updateUI);
    void Layout();

    static constexpr UINT64 kIconsPerGroup = 6;

private:
    struct SHit {
        Windows::ExplorerElement::CExplorerPane* pane = nullptr;
        Windows::ExplorerElement::CExplorerItem* item = nullptr;
        bool Header() const { return pane && !item; }
        bool operator==(const SHit& other) const { return pane == other.pane && item == other.item; }
    };
    SHit HitAt(POINT point) const;
    void SetLook(const SHit& hit, INT64 state);
    void Track(const SHit& hit);

    void OnPaint();
    void OnMouseMove(LPARAM lParam);
    void OnMouseLeave();
    void OnButtonDown(LPARAM lParam);
    void OnButtonUp(LPARAM lParam);
    bool OnSetCursor(LPARAM lParam);
    void OnScroll(int request, int wheelDelta);

    Glyph::CVerticalCompose m_column;  // owns the panes
    Images::CImageArray m_icons;
    SHit m_hot;
    SHit m_pressed;
    int m_scroll = 0;
    int m_contentHeight = 0;
};

}  // namespace Demo
