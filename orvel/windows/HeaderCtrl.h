#pragma once
// The styled header control: painted completely from the style, items in
// display order, with hot and pressed looks and sort marks. The native
// control keeps its behaviour (clicks, divider drags, item drags).
#include <string>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

namespace HeaderCtrlImpl {

// The sort mark: state 0 none, 1 ascending, 2 descending.
class ORVEL_API CSortGlyph : public Glyph::CStyledImageGlyph {
public:
    CSortGlyph() : Glyph::CStyledImageGlyph(Style::CStyle::HeaderCtrlSort) {}
};

// The line at an item's right edge; the pack's image is centred in it.
class ORVEL_API CDividerGlyph : public Glyph::CStyledImageGlyph {
public:
    CDividerGlyph() : Glyph::CStyledImageGlyph(Style::CStyle::HeaderCtrlDivider) {}
};

using CItemBase = Glyph::CStyledTextGlyph;

// The picture an item shows beside its text, as the native control does:
// an image of the header's image list (HDF_IMAGE) or a bitmap of the
// host's (HDF_BITMAP), on the text's left unless HDF_BITMAP_ON_RIGHT. The
// header owns neither.
struct SItemPicture {
    HIMAGELIST hImageList = nullptr;
    int nImage = -1;
    HBITMAP hBitmap = nullptr;
    bool bOnRight = false;

    // Its size; (0, 0) when there is nothing to show.
    Glyph::CSize Size() const;
    void Draw(HDC dc, const Glyph::CRect& place) const;
};

// One item: its group is the text alignment (0 left, 1 right, 2 centre),
// its state in the group 0 normal, 1 hot, 2 pressed. The sort mark sits at
// the content's far end from the text (the left end for right-aligned text)
// and the text gives way to it, and to the item's picture.
class ORVEL_API CItem : public CItemBase, public Glyph::CGroupImpl<CItem, CItemBase> {
public:
    enum { Left = 0, Right = 1, Centre = 2 };
    static constexpr int kMarkGap = 4;

    CItem() : CItemBase(Style::CStyle::HeaderCtrlItem), Glyph::CGroupImpl<CItem, CItemBase>(3, 0) {}

    void SetState(INT64 state, bool redraw) override { SetStateInGroup(state, redraw); }
    INT64 GetState() const override { return GetStateInGroup(); }
    INT64 GetRealState() const { return CalcRealState(); }

    void SetContentRegion(HDC dc, const Glyph::CRect& content) override;
    void DrawContent(HDC dc, const RECT* clip) override;
    void Draw(HDC dc, const RECT* clip) override;

    CSortGlyph& GetSortGlyph() { return m_sort; }
    CDividerGlyph& GetDivider() { return m_divider; }
    const Glyph::CRect& GetTextRect() const { return m_rcText; }
    const Glyph::CRect& GetPictureRect() const { return m_rcPicture; }
    // Takes effect with the next SetRegion.
    void SetPicture(const SItemPicture& picture) { m_picture = picture; }

protected:
    CSortGlyph m_sort;
    CDividerGlyph m_divider;
    Glyph::CRect m_rcText;
    SItemPicture m_picture;
    Glyph::CRect m_rcPicture;
};

}  // namespace HeaderCtrlImpl

class ORVEL_API CHeaderCtrl : public CStyledWndImpl<CHeaderCtrl, Base::CHeaderCtrlT<>> {
public:
    CHeaderCtrl() = default;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;

    int GetHotItem() const { return m_nHotItem; }
    bool IsDraggingDivider() const { return m_bDividerDrag; }
    int GetExtraHeight() const { return m_nExtraHeight; }

    // The sort-mark state of an item format: 1 for HDF_SORTUP, 2 for
    // HDF_SORTDOWN, else 0.
    static int SortState(int format);

protected:
    void Paint(HDC dc, const RECT& clip);
    // The item under a client point (-1 for none; none for points with x or
    // y below 1).
    int ItemAt(POINT point);
    // Remembers the key state and moves the hot item to the one under the
    // point (none without a point); repaints the two items at once.
    void TrackHot(WPARAM keys, const POINT* point);
    void InvalidateItem(int item);

    LRESULT OnMouseMove(WPARAM keys, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM keys, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM keys, LPARAM lParam);
    LRESULT OnMouseLeave();
    LRESULT OnLayout(LPARAM layout);

    bool m_bDividerDrag = false;
    int m_nHotItem = -1;
    WPARAM m_nKeyState = 0;
    // Added to the height the native control asks for in its layout, so
    // the owner lays its content out below the taller header.
    int m_nExtraHeight = 0;
};

}  // namespace Windows
