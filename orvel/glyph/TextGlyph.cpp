#include "TextGlyph.h"

namespace Glyph {

namespace {

constexpr int kUnlimited = 0x7FFF;
constexpr UINT kMeasureFormat = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX;
constexpr UINT kDrawFormat = DT_WORDBREAK | DT_NOPREFIX;

}  // namespace

// ---- CTextGlyph ----

CTextGlyph::CTextGlyph(const wchar_t* text)
    : m_font(nullptr), m_bOwnFont(false), m_crText(CLR_INVALID), m_crBack(CLR_INVALID),
      m_strContent(text ? text : L"")
{
}

CTextGlyph::CTextGlyph(const std::wstring& text)
    : m_font(nullptr), m_bOwnFont(false), m_crText(CLR_INVALID), m_crBack(CLR_INVALID),
      m_strContent(text)
{
}

CTextGlyph::~CTextGlyph()
{
    if (m_bOwnFont && m_font)
        DeleteObject(m_font);
}

void CTextGlyph::SetFont(HFONT font, bool own)
{
    if (m_bOwnFont && m_font && m_font != font)
        DeleteObject(m_font);
    m_font = font;
    m_bOwnFont = own;
}

void CTextGlyph::SetContent(const wchar_t* text)
{
    m_strContent = text ? text : L"";
}

void CTextGlyph::SetColor(COLORREF text, COLORREF back)
{
    m_crText = text;
    m_crBack = back;
}

CTextGlyph::CContextScope::CContextScope(HDC dc, const CTextGlyph& glyph) : m_hDC(dc)
{
    if (glyph.m_font) {
        m_oldFont = SelectObject(dc, glyph.m_font);
        m_bFontChanged = m_oldFont && m_oldFont != HGDI_ERROR;
    }
    if (glyph.m_crBack != CLR_INVALID) {
        m_clrOldBack = SetBkColor(dc, glyph.m_crBack);
        m_bBackChanged = m_clrOldBack != CLR_INVALID;
    }
    if (glyph.m_crText != CLR_INVALID) {
        m_clrOldText = SetTextColor(dc, glyph.m_crText);
        m_bTextChanged = m_clrOldText != CLR_INVALID;
    }
}

CTextGlyph::CContextScope::~CContextScope()
{
    if (m_bFontChanged)
        SelectObject(m_hDC, m_oldFont);
    if (m_bTextChanged)
        SetTextColor(m_hDC, m_clrOldText);
    if (m_bBackChanged)
        SetBkColor(m_hDC, m_clrOldBack);
}

// ---- CSingleLineTextGlyph ----

CSingleLineTextGlyph::CSingleLineTextGlyph(const wchar_t* text) : CTextGlyph(text)
{
}

CSingleLineTextGlyph::CSingleLineTextGlyph(const std::wstring& text) : CTextGlyph(text)
{
}

CSize CSingleLineTextGlyph::CalcSize(HDC dc, int cx, int cy, bool)
{
    CContextScope scope(dc, *this);
    CSize size;
    GetTextExtentPoint32W(dc, m_strContent.c_str(), static_cast<int>(m_strContent.size()), &size);
    EnsureSizeValid(size, cx, cy);
    return size;
}

void CSingleLineTextGlyph::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    if (!GetDrawRegion(drawRegion, clip))
        return;
    CContextScope scope(dc, *this);
    TextOutW(dc, m_rcRegion.left, m_rcRegion.top, m_strContent.c_str(),
             static_cast<int>(m_strContent.size()));
}

// ---- CMultiLineTextGlyph ----

CMultiLineTextGlyph::CMultiLineTextGlyph(const wchar_t* text) : CTextGlyph(text)
{
}

CMultiLineTextGlyph::CMultiLineTextGlyph(const std::wstring& text) : CTextGlyph(text)
{
}

CSize CMultiLineTextGlyph::CalcSize(HDC dc, int cx, int cy, bool)
{
    CContextScope scope(dc, *this);
    RECT rc = {0, 0, cx > 0 ? cx : kUnlimited, cy > 0 ? cy : kUnlimited};
    DrawTextExW(dc, m_strContent.data(), static_cast<int>(m_strContent.size()), &rc,
                kMeasureFormat, nullptr);
    CSize size(cx, rc.bottom - rc.top);
    EnsureSizeValid(size, cx, cy);
    return size;
}

void CMultiLineTextGlyph::Draw(HDC dc, const RECT* clip)
{
    CRect drawRegion;
    if (!GetDrawRegion(drawRegion, clip))
        return;
    CContextScope scope(dc, *this);
    RECT rc = m_rcRegion;
    DrawTextExW(dc, m_strContent.data(), static_cast<int>(m_strContent.size()), &rc,
                kDrawFormat, nullptr);
}

}  // namespace Glyph
