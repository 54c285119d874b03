#include "StyledGlyph.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <new>
#include <type_traits>
#include "../base/Failure.h"
#include "../resource/IniReader.h"
#include "../style/Painter.h"
#include "../style/Style.h"
#include "../style/StyleManager.h"

namespace Glyph {

namespace {

// The painter of an element kind in the current style, or null. A kind
// outside the style's table, or a style that cannot be read, gives no
// painter: the glyph then simply draws nothing.
Style::CPainter* FetchPainter(INT64 painterType)
{
    if (painterType < 0 || painterType > INT_MAX ||
        !Style::CStyle::GetPainterClassName(static_cast<int>(painterType)))
        return nullptr;
    try {
        return Style::CStyleManager::GetStyleInstance().GetPainter(
            static_cast<Style::CStyle::PainterType>(painterType));
    } catch (const Base::CFailure&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// What the style manager calls for every glyph after a pack switch.
void ResetGlyphPainter(CGlyph* glyph)
{
    if (auto* styled = dynamic_cast<CStyledGlyph*>(glyph))
        styled->OnStyleChanged();
    else if (auto* compose = dynamic_cast<CStyledCompose*>(glyph))
        compose->OnStyleChanged();
}

struct SRegisterStyleHandler {
    SRegisterStyleHandler() { Style::CStyleManager::SetGlyphStyleHandler(&ResetGlyphPainter); }
    ~SRegisterStyleHandler() { Style::CStyleManager::SetGlyphStyleHandler(nullptr); }
} g_registerStyleHandler;

}  // namespace

// ---- CStyledImpl ----

template <class T>
CStyledImpl<T>::CStyledImpl(INT64 painterType)
    : m_nPainterID(painterType), m_nState(0), m_pPainter(nullptr)
{
    RefreshPainter();
}

template <class T>
void CStyledImpl<T>::RefreshPainter()
{
    m_pPainter = FetchPainter(m_nPainterID);
}

template <class T>
int CStyledImpl<T>::PainterState() const
{
    return (m_nState >= 0 && m_nState <= INT_MAX) ? static_cast<int>(m_nState) : 0;
}

template <class T>
Style::CPainter* CStyledImpl<T>::GetPainter()
{
    RefreshPainter();
    return m_pPainter;
}

template <class T>
void CStyledImpl<T>::SetPainter(INT64 painterType, bool redraw)
{
    if (painterType == m_nPainterID)
        return;
    m_nPainterID = painterType;
    RefreshPainter();
    if (!this->IsVisible())
        return;
    if (redraw)
        this->Redraw();
    else
        this->Invalidate();
}

template <class T>
void CStyledImpl<T>::SetState(INT64 state, bool redraw)
{
    if (state == m_nState)
        return;
    m_nState = state;
    if (redraw)
        this->Redraw();
    else
        this->Invalidate();
}

template <class T>
INT64 CStyledImpl<T>::GetState() const
{
    return m_nState;
}

template <class T>
bool CStyledImpl<T>::IsDisabled() const
{
    return m_nState == 3;
}

template <class T>
void CStyledImpl<T>::OnStyleChanged()
{
    RefreshPainter();
}

template <class T>
bool CStyledImpl<T>::GetContentMargins(CRect& margins)
{
    margins = CRect(0, 0, 0, 0);
    RefreshPainter();
    return m_pPainter && m_pPainter->GetContentMargins(margins);
}

template <class T>
void CStyledImpl<T>::GetContentRect(CRect& out)
{
    out = this->m_rcRegion;
    CRect margins;
    if (GetContentMargins(margins))
        out.DeflateRect(margins);
}

template <class T>
void CStyledImpl<T>::GetContentDrawRegion(CRect& out, const RECT* clip)
{
    GetContentRect(out);
    if (clip) {
        const CRect content = out;
        out.IntersectRect(content, *clip);
    }
}

template <class T>
CSize CStyledImpl<T>::CalcSize(HDC dc, int cx, int cy, bool layoutPass)
{
    CRect margins;
    if (!GetContentMargins(margins))
        return CalcContentSize(dc, cx, cy, layoutPass);
    // Only a real limit shrinks by the margins; 0 or less stays unlimited.
    const int innerCx = cx > 0 ? cx - (margins.left + margins.right) : cx;
    const int innerCy = cy > 0 ? cy - (margins.top + margins.bottom) : cy;
    const CSize content = CalcContentSize(dc, innerCx, innerCy, layoutPass);
    return CSize(content.cx + margins.left + margins.right,
                 content.cy + margins.top + margins.bottom);
}

template <class T>
void CStyledImpl<T>::SetRegion(HDC dc, const CRect& rect)
{
    T::SetRegion(dc, rect);
    CRect content;
    GetContentRect(content);
    SetContentRegion(dc, content);
}

template <class T>
void CStyledImpl<T>::Draw(HDC dc, const RECT* clip)
{
    RefreshPainter();
    CRect drawRegion;
    if (!m_pPainter || !this->GetDrawRegion(drawRegion, clip))
        return;
    m_pPainter->DrawBackground(dc, PainterState(), this->m_rcRegion, drawRegion);
    DrawContent(dc, clip);
}

template <class T>
bool CStyledImpl<T>::OnSetCursor(UINT, UINT)
{
    RefreshPainter();
    if (!m_pPainter)
        return false;
    HCURSOR cursor = m_pPainter->GetCursor();
    if (!cursor)
        return false;
    this->SetCursor(cursor);
    return true;
}

template <class T>
void CStyledImpl<T>::DrawContent(HDC dc, const RECT* clip)
{
    if constexpr (std::is_base_of_v<CCompose, T>)
        T::Draw(dc, clip);
}

template <class T>
CSize CStyledImpl<T>::CalcContentSize(HDC, int, int, bool)
{
    return CSize(0, 0);
}

template <class T>
void CStyledImpl<T>::SetContentRegion(HDC, const CRect&)
{
}

template class CStyledImpl<CGlyph>;
template class CStyledImpl<CCompose>;

// ---- Leaves ----

CStyledGlyph::CStyledGlyph(INT64 painterType) : CStyledImpl<CGlyph>(painterType)
{
}

CStyledImageGlyph::CStyledImageGlyph(INT64 painterType) : CStyledGlyph(painterType)
{
}

void CStyledImageGlyph::DrawContent(HDC dc, const RECT* clip)
{
    RefreshPainter();
    CRect drawRegion;
    if (!m_pPainter || !GetDrawRegion(drawRegion, clip))
        return;
    CRect content;
    GetContentRect(content);
    m_pPainter->DrawForeground(dc, content, drawRegion, PainterState(), nullptr, 0);
}

CSize CStyledImageGlyph::CalcContentSize(HDC dc, int cx, int cy, bool)
{
    RefreshPainter();
    if (!m_pPainter)
        return CSize(0, 0);
    return m_pPainter->CalcSize(dc, SIZE{cx, cy}, nullptr, -1);
}

CStyledTextGlyph::CStyledTextGlyph(INT64 painterType, const std::wstring& text)
    : CStyledGlyph(painterType), m_strText(text)
{
}

void CStyledTextGlyph::DrawContent(HDC dc, const RECT* clip)
{
    RefreshPainter();
    CRect drawRegion;
    if (!m_pPainter || !GetDrawRegion(drawRegion, clip))
        return;
    CRect content;
    GetContentRect(content);
    m_pPainter->DrawForeground(dc, content, drawRegion, PainterState(), m_strText);
}

CSize CStyledTextGlyph::CalcContentSize(HDC dc, int cx, int cy, bool)
{
    RefreshPainter();
    if (!m_pPainter)
        return CSize(0, 0);
    return m_pPainter->CalcSize(dc, SIZE{cx, cy}, m_strText);
}

void CStyledTextGlyph::SetText(const std::wstring& text, bool invalidate)
{
    if (text == m_strText)
        return;
    m_strText = text;
    if (IsVisible() && invalidate)
        Invalidate();
}

void CStyledTextGlyph::SetText(const wchar_t* text, int length, bool invalidate)
{
    if (!text)
        SetText(std::wstring(), invalidate);
    else if (length < 0)
        SetText(std::wstring(text), invalidate);
    else  // never past the terminator, whatever length claims
        SetText(std::wstring(text, wcsnlen(text, static_cast<size_t>(length))), invalidate);
}

void CStyledTextGlyph::EnableCustomFormat(HDC dc, bool enable)
{
    RefreshPainter();
    if (m_pPainter)
        m_pPainter->EnableCustomFormat(dc, enable);
}

// ---- Compositions ----

CStyledCompose::CStyledCompose(INT64 painterType)
    : CStyledImpl<CCompose>(painterType), m_bWholeUnit(false)
{
    if (!m_pPainter)
        return;
    if (const Resource::CSection* section = m_pPainter->GetCustomSection()) {
        if (const Resource::CLine* line = section->FindLine(L"GlyphSpace"))
            m_nGlyphSpace = line->ReadContentAsInt();
    }
}

CGlyph* CStyledCompose::HitTest(CPoint point)
{
    return m_bWholeUnit ? CGlyph::HitTest(point) : CCompose::HitTest(point);
}

void CStyledCompose::SetState(INT64 state, bool redraw)
{
    if (state == m_nState)
        return;
    m_nState = state;
    if (m_bWholeUnit) {
        for (CGlyph* child : m_glyphs) {
            if (auto* styled = dynamic_cast<CStyledGlyph*>(child))
                styled->SetState(state, false);
            else if (auto* compose = dynamic_cast<CStyledCompose*>(child))
                compose->SetState(state, false);
        }
    }
    if (redraw)
        Redraw();
    else
        Invalidate();
}

// Styled stacks offer each child what is still free; a row's child asking
// for -1 takes the rest of the row.
static constexpr CCompose::StackRule kStyledColumn{true, false, true, false};
static constexpr CCompose::StackRule kStyledRow{false, false, true, true};

CStyledVerticalCompose::CStyledVerticalCompose(INT64 painterType) : CStyledCompose(painterType)
{
}

CSize CStyledVerticalCompose::CalcContentSize(HDC dc, int cx, int cy, bool layoutPass)
{
    return CalcStackSize(dc, cx, cy, layoutPass, kStyledColumn);
}

void CStyledVerticalCompose::SetContentRegion(HDC dc, const CRect& content)
{
    SetStackRegions(dc, content, kStyledColumn);
}

CStyledHorizontalCompose::CStyledHorizontalCompose(INT64 painterType)
    : CStyledCompose(painterType)
{
}

CSize CStyledHorizontalCompose::CalcContentSize(HDC dc, int cx, int cy, bool layoutPass)
{
    return CalcStackSize(dc, cx, cy, layoutPass, kStyledRow);
}

void CStyledHorizontalCompose::SetContentRegion(HDC dc, const CRect& content)
{
    SetStackRegions(dc, content, kStyledRow);
}

// ---- Command glyph ----

CStyledCommandGlyph::CStyledCommandGlyph(INT64 painterType)
    : CStyledCommandGlyph(painterType, nullptr, 0, 0, std::wstring())
{
}

CStyledCommandGlyph::CStyledCommandGlyph(INT64 painterType, Images::CImageArray* images,
                                         UINT imageIndex, INT64 textPainterType,
                                         const std::wstring& text)
    : CStyledHorizontalCompose(painterType), m_text(textPainterType, text),
      m_image(images, imageIndex)
{
    m_bWholeUnit = true;
    m_nGlyphSpace = 10;
    m_bAutoDelete = false;
    AppendGlyph(&m_image);
    AppendGlyph(&m_text);
}

CStyledCommandGlyph::~CStyledCommandGlyph()
{
    // The parts are members: drop them before they go.
    ClearAllGlyph();
}

CGlyph* CStyledCommandGlyph::HitTest(CPoint point)
{
    return CGlyph::HitTest(point);
}

void CStyledCommandGlyph::SetContentRegion(HDC dc, const CRect& content)
{
    const CSize image = m_image.CalcSize(dc, -1, -1, true);
    m_image.SetRegion(dc, CRect(content.left, content.top, content.left + image.cx,
                                content.top + image.cy));
    m_text.SetRegion(dc, CRect(content.left + image.cx + m_nGlyphSpace, content.top,
                               content.right, content.bottom));
}

void CStyledCommandGlyph::Init(Images::CImageArray* images, UINT imageIndex,
                               INT64 textPainterType, const std::wstring& text)
{
    m_image.Show(false);
    m_text.Show(false);
    m_image.SetImageArray(images);
    m_image.SetImageIndex(imageIndex, false);
    m_text.SetPainter(textPainterType, false);
    m_text.SetText(text, false);
    m_image.Show(true);
    m_text.Show(true);
}

void CStyledCommandGlyph::SetImageIndex(UINT index, bool redraw)
{
    m_image.SetImageIndex(index, redraw);
}

void CStyledCommandGlyph::SetText(const std::wstring& text, bool invalidate)
{
    m_text.SetText(text, invalidate);
}

}  // namespace Glyph
