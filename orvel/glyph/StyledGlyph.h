#pragma once
// Glyphs that take their look from the current style pack: a background
// and margins for a visual state, a cursor, and styled text or images. The
// painter is fetched from the current style at every use, so a pack switch
// changes every styled glyph without rebuilding a tree.
#include <string>
#include "Compose.h"
#include "ImageGlyph.h"

namespace Style {
class CPainter;
}

namespace Glyph {

// Styling mixin over CGlyph or CCompose. It appends its slots after those
// of T (11 to 17 over CGlyph, 13 to 19 over CCompose) in declaration order.
template <class T>
class CStyledImpl : public T {
public:
    explicit CStyledImpl(INT64 painterType);

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetRegion(HDC dc, const CRect& rect) override;
    void Draw(HDC dc, const RECT* clip) override;
    bool OnSetCursor(UINT hitTest, UINT message) override;

    // Overrides slot 11 over CCompose; a plain operation over CGlyph.
    // False, with margins (0, 0, 0, 0), when the painter has none.
    bool GetContentMargins(CRect& margins);

    // Repaints only when the state changes, visible or not.
    virtual void SetState(INT64 state, bool redraw);
    virtual INT64 GetState() const;
    virtual bool IsDisabled() const;
    // Re-fetches the painter; the style manager repaints everything after.
    virtual void OnStyleChanged();
    // Over CGlyph nothing; over CCompose the children.
    virtual void DrawContent(HDC dc, const RECT* clip);
    // The size wanted inside the margins; (0, 0) by default.
    virtual CSize CalcContentSize(HDC dc, int cx, int cy, bool layoutPass);
    // Places whatever lies inside the margins; nothing by default.
    virtual void SetContentRegion(HDC dc, const CRect& content);

    INT64 GetPainterID() const { return m_nPainterID; }
    // The painter of the current style; null when there is none.
    Style::CPainter* GetPainter();
    void SetPainter(INT64 painterType, bool redraw);
    // The region less the margins.
    void GetContentRect(CRect& out);
    // The content rectangle, limited to clip when one is given.
    void GetContentDrawRegion(CRect& out, const RECT* clip);

protected:
    void RefreshPainter();
    // The state as the painter takes it: states it cannot hold draw as 0.
    int PainterState() const;

    INT64 m_nPainterID;
    INT64 m_nState;
    Style::CPainter* m_pPainter;
};

extern template class ORVEL_API CStyledImpl<CGlyph>;
extern template class ORVEL_API CStyledImpl<CCompose>;

class ORVEL_API CStyledGlyph : public CStyledImpl<CGlyph> {
public:
    explicit CStyledGlyph(INT64 painterType);
};

// The painter's state image, centred in the content rectangle.
class ORVEL_API CStyledImageGlyph : public CStyledGlyph {
public:
    explicit CStyledImageGlyph(INT64 painterType);

    void DrawContent(HDC dc, const RECT* clip) override;
    CSize CalcContentSize(HDC dc, int cx, int cy, bool layoutPass) override;
};

// Text in the painter's font, colours and alignment for the state.
class ORVEL_API CStyledTextGlyph : public CStyledGlyph {
public:
    explicit CStyledTextGlyph(INT64 painterType, const std::wstring& text = std::wstring());

    void DrawContent(HDC dc, const RECT* clip) override;
    CSize CalcContentSize(HDC dc, int cx, int cy, bool layoutPass) override;

    // An equal text (case-sensitive) requests nothing; otherwise a visible
    // glyph is invalidated when invalidate is true.
    void SetText(const std::wstring& text, bool invalidate);
    // A negative length takes the text up to its terminator; a length never
    // reaches past the terminator.
    void SetText(const wchar_t* text, int length, bool invalidate);
    const std::wstring& GetText() const { return m_strText; }
    // Selects (or restores) the element's text format in dc, so the caller
    // can draw text of its own in it.
    void EnableCustomFormat(HDC dc, bool enable);

protected:
    std::wstring m_strText;
};

// A styled composition. As a whole unit it is one hit target and hands its
// state down to its styled children (plain glyphs keep their look).
class ORVEL_API CStyledCompose : public CStyledImpl<CCompose> {
public:
    // The gap between children is the element's "GlyphSpace" when its
    // section has one, else 2.
    explicit CStyledCompose(INT64 painterType);

    CGlyph* HitTest(CPoint point) override;
    void SetState(INT64 state, bool redraw) override;

    bool m_bWholeUnit;
};

// A column inside the content rectangle; each child is offered the height
// still free.
class ORVEL_API CStyledVerticalCompose : public CStyledCompose {
public:
    explicit CStyledVerticalCompose(INT64 painterType);

    CSize CalcContentSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetContentRegion(HDC dc, const CRect& content) override;
};

// A row inside the content rectangle; each child is offered the width still
// free, and a child answering a width of -1 takes the rest of the row.
class ORVEL_API CStyledHorizontalCompose : public CStyledCompose {
public:
    explicit CStyledHorizontalCompose(INT64 painterType);

    CSize CalcContentSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void SetContentRegion(HDC dc, const CRect& content) override;
};

// A button-like row: an image of a strip at the content's top-left corner
// and a styled text after a gap of 10. One hit target whatever its parts;
// the text follows the row's state. The parts are members, not owned
// children.
class ORVEL_API CStyledCommandGlyph : public CStyledHorizontalCompose {
public:
    explicit CStyledCommandGlyph(INT64 painterType);
    CStyledCommandGlyph(INT64 painterType, Images::CImageArray* images, UINT imageIndex,
                        INT64 textPainterType, const std::wstring& text);
    ~CStyledCommandGlyph() override;

    CGlyph* HitTest(CPoint point) override;
    void SetContentRegion(HDC dc, const CRect& content) override;

    // Hides both parts, changes them, and shows them again; the showing
    // repaints them.
    void Init(Images::CImageArray* images, UINT imageIndex, INT64 textPainterType,
              const std::wstring& text);
    void SetImageIndex(UINT index, bool redraw);
    void SetText(const std::wstring& text, bool invalidate);

    CStyledTextGlyph& GetTextGlyph() { return m_text; }
    CImageGlyphEx& GetImageGlyph() { return m_image; }

protected:
    CStyledTextGlyph m_text;
    CImageGlyphEx m_image;
};

// State groups for a class T derived from TBase (a styled glyph): T's state
// is always group x states per group + state in group. The combined state
// goes to TBase's SetState, so T may route its own SetState through the
// group without recursion.
template <class T, class TBase>
class CGroupImpl {
public:
    explicit CGroupImpl(INT64 statesPerGroup = 4, INT64 group = 0)
        : m_nGroup(group), m_nStatesPerGroup(statesPerGroup), m_nStateInGroup(0)
    {
    }

    void SetGroup(INT64 group, bool redraw)
    {
        if (group == m_nGroup)
            return;
        m_nGroup = group;
        Apply(redraw);
    }
    // A state outside the group becomes 0.
    void SetStateInGroup(INT64 state, bool redraw)
    {
        m_nStateInGroup = (state >= 0 && state < m_nStatesPerGroup) ? state : 0;
        Apply(redraw);
    }
    INT64 GetGroup() const { return m_nGroup; }
    INT64 GetStateInGroup() const { return m_nStateInGroup; }
    INT64 GetStatesPerGroup() const { return m_nStatesPerGroup; }

protected:
    INT64 CalcRealState() const { return m_nGroup * m_nStatesPerGroup + m_nStateInGroup; }

    INT64 m_nGroup;
    INT64 m_nStatesPerGroup;
    INT64 m_nStateInGroup;

private:
    void Apply(bool redraw) { static_cast<T*>(this)->TBase::SetState(CalcRealState(), redraw); }
};

}  // namespace Glyph
