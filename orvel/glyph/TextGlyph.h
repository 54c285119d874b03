#pragma once
// Plain text leaves: a string with an optional font and colours, drawn as
// one line or wrapped at words inside the glyph's width.
#include <string>
#include "Glyph.h"

namespace Glyph {

// Draws nothing itself. A null font or CLR_INVALID colour keeps what the
// device context has; whatever is changed for a call is put back after it.
class ORVEL_API CTextGlyph : public CGlyph {
public:
    explicit CTextGlyph(const wchar_t* text = nullptr);
    explicit CTextGlyph(const std::wstring& text);
    ~CTextGlyph() override;
    // A copy would own the same font.
    CTextGlyph(const CTextGlyph&) = delete;
    CTextGlyph& operator=(const CTextGlyph&) = delete;

    // Destroys the font owned so far (unless it is the one given again).
    void SetFont(HFONT font, bool own);
    HFONT GetFont() const { return m_font; }
    // Null gives an empty text.
    void SetContent(const wchar_t* text);
    const std::wstring& GetContent() const { return m_strContent; }
    void SetColor(COLORREF text, COLORREF back);

protected:
    // Selects font and colours for one call and restores them on scope exit.
    class CContextScope {
    public:
        CContextScope(HDC dc, const CTextGlyph& glyph);
        ~CContextScope();
        CContextScope(const CContextScope&) = delete;
        CContextScope& operator=(const CContextScope&) = delete;

    private:
        HDC m_hDC;
        HGDIOBJ m_oldFont = nullptr;
        COLORREF m_clrOldBack = CLR_INVALID;
        COLORREF m_clrOldText = CLR_INVALID;
        bool m_bFontChanged = false;
        bool m_bBackChanged = false;
        bool m_bTextChanged = false;
    };

    HFONT m_font;
    bool m_bOwnFont;
    COLORREF m_crText;
    COLORREF m_crBack;
    std::wstring m_strContent;
};

// One line at its natural width, written at the region's top-left corner;
// measuring ignores the offer.
class ORVEL_API CSingleLineTextGlyph : public CTextGlyph {
public:
    explicit CSingleLineTextGlyph(const wchar_t* text = nullptr);
    explicit CSingleLineTextGlyph(const std::wstring& text);

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void Draw(HDC dc, const RECT* clip) override;
};

// Wrapped at words inside the region, ampersands shown as they are; its
// measured width is the offered width.
class ORVEL_API CMultiLineTextGlyph : public CTextGlyph {
public:
    explicit CMultiLineTextGlyph(const wchar_t* text = nullptr);
    explicit CMultiLineTextGlyph(const std::wstring& text);

    CSize CalcSize(HDC dc, int cx, int cy, bool layoutPass) override;
    void Draw(HDC dc, const RECT* clip) override;
};

}  // namespace Glyph
