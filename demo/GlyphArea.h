#pragma once
// The demo's styled-glyph area: a command tile (picture and text, one
// target with hot and pressed looks), a slideshow, and the prompt text,
// hosted by a plain child window that is their vessel.
#include <windows.h>
#include "orvel/glyph/SlideGlyph.h"
#include "orvel/glyph/StyledGlyph.h"
#include "orvel/windows/StyledWnd.h"

namespace Demo {

// The slideshow's frames are drawn on the pack's background: magenta is
// their transparent colour.
class CDemoSlide : public Glyph::CSlideGlyph {
public:
    void MakeTransparent(COLORREF colour) { m_images.EnableTransparent(colour); }
};

class CGlyphArea : public Windows::CStyledWndImpl<CGlyphArea> {
public:
    static constexpr wchar_t kClassName[] = L"OrvelDemoGlyphs";
    // The window class the dialog template names.
    static bool RegisterClass(HINSTANCE instance);

    CGlyphArea();
    ~CGlyphArea() override;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    // The tile's picture and the background colour come from the pack:
    // called after every pack switch.
    void ReloadFromStyle();
    void SetPrompt(const std::wstring& text) { m_prompt.SetText(text, true); }
    // Stops the slideshow and waits for its worker, before the window goes.
    void StopAnimation();
    HWND TileScreenRect(RECT& rect) const;

private:
    void Layout();
    void SetTileState(INT64 state);

    Images::CImageArray m_icon;
    Glyph::CStyledCommandGlyph m_tile;
    CDemoSlide m_slide;
    Glyph::CStyledTextGlyph m_prompt;
    COLORREF m_back = RGB(255, 255, 255);
    bool m_pressed = false;
};

}  // namespace Demo
