#pragma once
// Collapsible task panes in the manner of a file-explorer side bar: a
// header (caption and an expand/collapse button) over a body of command
// items, each an image and a label. All of it is glyphs painted with the
// pack's task-pane kinds, so a pane lives in any glyph host; the host
// finds what was clicked with HitTest and the pane helpers below.
#include <windows.h>
#include <string>
#include "../base/Export.h"
#include "../glyph/Compose.h"
#include "../glyph/ImageGlyph.h"
#include "../glyph/StyledGlyph.h"
#include "UpdateUI.h"

namespace Windows::ExplorerElement {

// An item's label: the item's visual state inside the label's group
// (0 plain, 1 checked).
class ORVEL_API CExplorerItemLabel
    : public Glyph::CStyledTextGlyph,
      public Glyph::CGroupImpl<CExplorerItemLabel, Glyph::CStyledTextGlyph> {
public:
    CExplorerItemLabel();

    void SetState(INT64 state, bool redraw) override { SetStateInGroup(state, redraw); }
    INT64 GetState() const override { return GetStateInGroup(); }
    // What the painter is given: group x 4 + visual state.
    INT64 GetRealState() const { return CalcRealState(); }
};

// One command: an image of a strip and a label, one target for mouse
// states. A checked item shows the second group of states of its
// background, image and label. The parts are members, not owned children.
class ORVEL_API CExplorerItem : public Glyph::CStyledHorizontalCompose {
public:
    // The label is the command's string resource in the program's module,
    // only the part after its first line feed when it has one (prompts are
    // stored as "long description\nshort name").
    CExplorerItem(UINT64 commandId, Images::CImageArray* images, INT64 imageIndex,
                  UINT64 imagesPerGroup);
    CExplorerItem(const std::wstring& text, UINT64 commandId, Images::CImageArray* images,
                  INT64 imageIndex, UINT64 imagesPerGroup);
    ~CExplorerItem() override;

    UINT64 GetCommandID() const { return m_nCommandID; }
    void SetText(const wchar_t* text);
    void SetImageIndex(INT64 index);
    void SetCheck(bool checked);
    bool GetCheck() const { return m_bChecked; }

    // Hiding or showing asks the host to lay out again.
    void Show(bool show) override;
    // Always handled, so the host's cursor never flickers over an item.
    bool OnSetCursor(UINT hitTest, UINT message) override;
    // The image at the left edge over the full height, the label after the
    // gap, centred vertically.
    void SetContentRegion(HDC dc, const Glyph::CRect& content) override;
    // state is the visual state (0 to 3); the painter gets it inside the
    // item's group.
    void SetState(INT64 state, bool redraw) override;
    INT64 GetState() const override;
    INT64 GetRealState() const { return m_nState; }

    const CExplorerItemLabel& GetLabel() const { return m_label; }
    const Glyph::CGroupImageGlyph& GetImage() const { return m_image; }

private:
    void Build();

    Glyph::CGroupImageGlyph m_image;
    CExplorerItemLabel m_label;
    UINT64 m_nCommandID;
    bool m_bChecked = false;
};

// The header's expand/collapse button.
class ORVEL_API CExplorerPaneHeaderState : public Glyph::CStyledImageGlyph {
public:
    CExplorerPaneHeaderState();
};

class ORVEL_API CExplorerPaneHeaderLabel : public Glyph::CStyledTextGlyph {
public:
    explicit CExplorerPaneHeaderLabel(const std::wstring& caption);
};

// The caption with the button at its right end. Children are the label,
// then the button; both are members.
class ORVEL_API CExplorerPaneHeader : public Glyph::CStyledHorizontalCompose {
public:
    explicit CExplorerPaneHeader(const std::wstring& caption);
    ~CExplorerPaneHeader() override;

    // As wide as offered, as high as the label wants for that width.
    Glyph::CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    // The button at its natural width at the right end, the label in the
    // rest; both over the full height.
    void SetRegion(HDC dc, const Glyph::CRect& rect) override;

    void SetLabel(const std::wstring& caption);
    // The button shows "collapse" while expanded and "expand" otherwise.
    void SetExpandedState(bool expanded);
    bool StateIs(const Glyph::CGlyph* glyph) const { return glyph && glyph == &m_state; }
    bool LabelIs(const Glyph::CGlyph* glyph) const { return glyph && glyph == &m_label; }

    CExplorerPaneHeaderState& GetStateGlyph() { return m_state; }
    CExplorerPaneHeaderLabel& GetLabelGlyph() { return m_label; }

private:
    CExplorerPaneHeaderState m_state;
    CExplorerPaneHeaderLabel m_label;
};

class CExplorerPane;

// The pane's list of items; it creates and owns them.
class ORVEL_API CExplorerPaneBody : public Glyph::CStyledVerticalCompose {
public:
    CExplorerPaneBody();

    // A negative position appends. Returns the item's index; a position
    // above the count raises the container failure E_INVALIDARG.
    INT64 InsertItem(INT64 position, UINT64 commandId, Images::CImageArray* images, INT64 imageIndex,
                     UINT64 imagesPerGroup);
    INT64 InsertItem(INT64 position, const std::wstring& text, UINT64 commandId,
                     Images::CImageArray* images, INT64 imageIndex, UINT64 imagesPerGroup);
    // Null when index is not below the count.
    CExplorerItem* GetItem(UINT64 index) const;
    UINT64 GetItemCount() const { return GetGlyphCount(); }

    // True while at least one item is visible.
    bool IsVisible() const override;

private:
    INT64 Insert(INT64 position, CExplorerItem* item);
};

// A header over a body. The body is a child only while expanded; a
// collapsed pane keeps it, items and all.
class ORVEL_API CExplorerPane : public Glyph::CVerticalCompose {
public:
    explicit CExplorerPane(const std::wstring& caption);
    ~CExplorerPane() override;

    INT64 InsertItem(INT64 position, UINT64 commandId, Images::CImageArray* images, INT64 imageIndex,
                     UINT64 imagesPerGroup);
    INT64 InsertItem(INT64 position, const std::wstring& text, UINT64 commandId,
                     Images::CImageArray* images, INT64 imageIndex, UINT64 imagesPerGroup);
    CExplorerItem* GetItem(UINT64 index) const { return m_body.GetItem(index); }
    UINT64 GetItemCount() const { return m_body.GetItemCount(); }

    // Appends one item per menu item (separators and submenus too), each
    // with the next image index of the counter.
    bool InitFrom(HMENU menu, UINT64& nextImageIndex, Images::CImageArray* images,
                  UINT64 imagesPerGroup);
    // Reads menu-template items up to the one marked MF_END, appending one
    // item per entry with an id, and leaves the pointer after the last
    // entry read. Nested popups are not walked item by item.
    bool InitFrom(const MENUITEMTEMPLATE*& item, UINT64& nextImageIndex, Images::CImageArray* images,
                  UINT64 imagesPerGroup);

    // Returns whether the pane is now expanded, and asks the host to lay
    // out again.
    bool ToggleBody();
    bool IsCollapsed() const { return !m_bExpanded; }

    bool HeaderIs(const Glyph::CGlyph* glyph) const { return glyph && glyph == &m_header; }
    bool HeaderHas(const CExplorerPaneHeaderState* glyph) const { return m_header.StateIs(glyph); }
    bool HeaderHas(const CExplorerPaneHeaderLabel* glyph) const { return m_header.LabelIs(glyph); }
    // The header, its button or its label: what a click that toggles hits.
    bool HeaderHit(const Glyph::CGlyph* glyph) const
    {
        return HeaderIs(glyph) || m_header.StateIs(glyph) || m_header.LabelIs(glyph);
    }

    // A pane whose items are all hidden is hidden as a whole.
    bool IsVisible() const override { return m_body.IsVisible(); }
    // The body gets the vessel while collapsed too.
    void SetVessel(Glyph::IGlyphVessel* vessel) override;

    // Hides the items whose commands the map reports disabled and shows
    // the others; a null map shows every item.
    void UpdateActionUI(const CUpdateUIBase* updateUI);

    CExplorerPaneHeader& GetHeader() { return m_header; }
    CExplorerPaneBody& GetBody() { return m_body; }

private:
    CExplorerPaneHeader m_header;
    CExplorerPaneBody m_body;
    bool m_bExpanded = true;
};

}  // namespace Windows::ExplorerElement
