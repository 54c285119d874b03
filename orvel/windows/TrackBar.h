#pragma once
// Styled track bars. The native control keeps its logic; the object mirrors
// just enough of its state into glyphs to paint it from the style.
#include <string>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

// --------------------------------------------------------------- track bar

namespace TrackBarImpl {

// The channel; it draws the background first and the thumb last.
class ORVEL_API CTrackBarGlyph : public Glyph::CStyledImageGlyph {
public:
    explicit CTrackBarGlyph(bool horizontal);

    void SetVessel(Glyph::IGlyphVessel* vessel) override;
    void Draw(HDC dc, const RECT* clip) override;
    // The thumb or the channel under the point, or null.
    Glyph::CStyledImageGlyph* PartAt(Glyph::CPoint point);

    bool IsHorizontal() const { return m_bHorizontal; }
    Glyph::CStyledImageGlyph& GetThumb() { return m_thumb; }
    Glyph::CStyledImageGlyph& GetBackground() { return m_background; }

private:
    bool m_bHorizontal;
    Glyph::CStyledImageGlyph m_thumb;
    Glyph::CStyledImageGlyph m_background;
};

}  // namespace TrackBarImpl

class ORVEL_API CTrackBar : public CStyledWndImpl<CTrackBar, Base::CTrackBarCtrlT<>> {
public:
    CTrackBar() = default;
    ~CTrackBar() override;
    CTrackBar(const CTrackBar&) = delete;
    CTrackBar& operator=(const CTrackBar&) = delete;

    bool HasLook() const;
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    // The track bar may be transparent: its parent repaints what lies under it.
    void InvalidateVesselRect(const RECT* rect) override;

    TrackBarImpl::CTrackBarGlyph* GetGlyph() const { return m_pGlyph; }
    Glyph::CStyledImageGlyph* GetHotPart() const { return m_pHotPart; }
    // The thumb and the channel in their normal or their disabled look.
    void ShowEnabled(bool enabled, bool redraw);

protected:
    void LayoutThumb();
    RECT ChannelRect();
    void DrawTicks(HDC dc);
    void SetHotPart(Glyph::CStyledImageGlyph* part);

    TrackBarImpl::CTrackBarGlyph* m_pGlyph = nullptr;
    Glyph::CStyledImageGlyph* m_pHotPart = nullptr;
    RECT m_rcThumb = {};
};

}  // namespace Windows
