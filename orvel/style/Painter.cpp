#include "Painter.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <memory>
#include "../base/GdiHandles.h"
#include "Style.h"

namespace Style {

using Resource::CLine;
using Resource::CSection;

namespace {

// Index of the record to draw: the state itself, or 0 when the painter has
// no such state.
size_t StateIndex(int state, size_t count)
{
    return state >= 0 && static_cast<size_t>(state) < count ? static_cast<size_t>(state) : 0;
}

LONG ClampToLong(long long value)
{
    return static_cast<LONG>(std::clamp<long long>(value, LONG_MIN, LONG_MAX));
}

// Sizing margins far beyond any image would overflow the part arithmetic.
LONG ClampMargin(LONG value) { return std::clamp<LONG>(value, -0x8000, 0x7FFF); }

COLORREF ReadColor(const CSection* section, const wchar_t* key, int index, COLORREF fallback,
                   bool malformedIsMissing)
{
    const CLine* line = section->FindLine(key, index);
    if (!line)
        return fallback;
    COLORREF colour = line->ReadContentAsColor();
    return colour == Images::kNoColor && malformedIsMissing ? fallback : colour;
}

// StateCount: required, at least 1; capped so a malformed count cannot make
// millions of records.
int ReadStateCount(const CSection* section, int cap)
{
    const CLine* line = section ? section->FindLine(L"StateCount") : nullptr;
    if (!line)
        return 0;
    return std::min(line->ReadContentAsInt(), cap);
}

}  // namespace

CBackgroundPainter::~CBackgroundPainter() = default;
CForegroundPainter::~CForegroundPainter() = default;

// ------------------------------------------------- CImageBackgroundPainter

template <bool DrawCenter>
bool CImageBackgroundPainter<DrawCenter>::Load(CStyle& style, const CSection* section)
{
    if (!section || !style.LoadImageArray(m_images, section, 0))
        return false;
    const CLine* sizing = section->FindLine(L"SizingType");
    m_images.SetSizingType(sizing ? Images::CBackgroundImageArray::ReadSizingTypeFromStyle(
                                        sizing->GetContent().c_str())
                                  : Images::CBackgroundImageArray::TrueSize);
    RECT margins = {-1, -1, -1, -1};
    if (const CLine* line = section->FindLine(L"SizingMargins"))
        line->ReadContentAsRect(margins);
    margins = {ClampMargin(margins.left), ClampMargin(margins.top), ClampMargin(margins.right),
               ClampMargin(margins.bottom)};
    m_images.SetSizingMargins(margins);
    return true;
}

template <bool DrawCenter>
bool CImageBackgroundPainter<DrawCenter>::Draw(HDC dc, int state, const RECT& rect,
                                               const RECT& clip)
{
    UINT index = static_cast<UINT>(StateIndex(state, m_images.GetGlyphCount()));
    m_images.Draw(dc, index, rect, clip, DrawCenter);
    return true;
}

template <bool DrawCenter>
bool CImageBackgroundPainter<DrawCenter>::DrawNonTransparent(HDC dc, int state, const RECT& rect,
                                                             const RECT& clip)
{
    COLORREF saved = m_images.EnableTransparent(Images::kNoColor);
    bool result = Draw(dc, state, rect, clip);
    m_images.EnableTransparent(saved);
    return result;
}

template <bool DrawCenter>
bool CImageBackgroundPainter<DrawCenter>::GetTransparentRgn(HRGN& region)
{
    return m_images.GetTransparentRgn(region);
}

template class CImageBackgroundPainter<true>;
template class CImageBackgroundPainter<false>;

// -------------------------------------------- CBorderFillBackgroundPainter

template <bool Fill>
bool CBorderFillBackgroundPainter<Fill>::Load(CStyle&, const CSection* section)
{
    int count = ReadStateCount(section, CTextForegrounPainter::kMaxStates);
    if (count < 1)
        return false;
    m_states.clear();
    for (int n = 0; n < count; ++n) {
        const CLine* size = section->FindLine(L"BorderSize", n);
        m_states.push_back({size ? size->ReadContentAsInt() : 1,
                            ReadColor(section, L"FillColor", n, GetSysColor(COLOR_WINDOW), true),
                            ReadColor(section, L"BorderColor", n, GetSysColor(COLOR_WINDOWFRAME),
                                      true)});
    }
    return true;
}

template <bool Fill>
bool CBorderFillBackgroundPainter<Fill>::Draw(HDC dc, int state, const RECT& rect, const RECT&)
{
    if (!dc || m_states.empty())
        return true;
    const SState& s = m_states[StateIndex(state, m_states.size())];
    if (s.borderSize < 0)
        return true;
    if (s.borderSize == 0) {
        if (Fill) {
            Base::CBrushHandle brush(CreateSolidBrush(s.fillColor));
            FillRect(dc, &rect, brush);
        }
        return true;
    }
    const int inset = s.borderSize / 2;
    const long long width = static_cast<long long>(rect.right) - rect.left;
    const long long height = static_cast<long long>(rect.bottom) - rect.top;
    if (width <= 0 || height <= 0)
        return true;
    if (width - 2LL * inset <= 0 || height - 2LL * inset <= 0) {
        // The border swallows the element. A pen centred on the inverted
        // rectangle would spill far outside it (and a huge one would make
        // the system widen a path by billions of pixels): cover the
        // rectangle with the border colour instead.
        Base::CBrushHandle brush(CreateSolidBrush(s.borderColor));
        FillRect(dc, &rect, brush);
        return true;
    }
    RECT r = {rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset};
    Base::CGdiHandle<HPEN> pen(CreatePen(PS_SOLID, s.borderSize, s.borderColor));
    Base::CSelectScope selectPen(dc, pen);
    if (Fill) {
        Base::CBrushHandle brush(CreateSolidBrush(s.fillColor));
        Base::CSelectScope selectBrush(dc, brush);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    } else {
        // Through the last column and row inside, as Rectangle draws the
        // outline: lines through right and bottom themselves would fall
        // outside the element.
        POINT previous;
        MoveToEx(dc, r.left, r.top, &previous);
        LineTo(dc, r.right - 1, r.top);
        LineTo(dc, r.right - 1, r.bottom - 1);
        LineTo(dc, r.left, r.bottom - 1);
        LineTo(dc, r.left, r.top);
        MoveToEx(dc, previous.x, previous.y, nullptr);
    }
    return true;
}

template <bool Fill>
bool CBorderFillBackgroundPainter<Fill>::DrawNonTransparent(HDC dc, int state, const RECT& rect,
                                                            const RECT& clip)
{
    return Draw(dc, state, rect, clip);
}

template <bool Fill>
bool CBorderFillBackgroundPainter<Fill>::GetTransparentRgn(HRGN& region)
{
    region = nullptr;
    return false;
}

template class CBorderFillBackgroundPainter<true>;
template class CBorderFillBackgroundPainter<false>;

// ------------------------------------------------------ CForegroundPainter

bool CForegroundPainter::Draw(HDC dc, const RECT& rect, const RECT& clip, int state,
                              const std::wstring& text)
{
    return Draw(dc, rect, clip, state, text.c_str(), -1);
}

SIZE CForegroundPainter::CalcSize(HDC dc, SIZE limit, const std::wstring& text)
{
    return CalcSize(dc, limit, text.c_str(), -1);
}

// ------------------------------------------------- CImageForegroundPainter

bool CImageForegroundPainter::Load(CStyle& style, const CSection* section)
{
    style.LoadImageArray(m_images, section, 0);
    return true;
}

bool CImageForegroundPainter::Draw(HDC dc, const RECT& rect, const RECT&, int state,
                                   const wchar_t*, int)
{
    if (m_images.GetGlyphCount() == 0 || !m_images.GetBitmap())
        return false;
    m_images.DrawCenterImage(dc, static_cast<UINT>(StateIndex(state, m_images.GetGlyphCount())),
                             rect);
    return true;
}

SIZE CImageForegroundPainter::CalcSize(HDC, SIZE, const wchar_t*, int)
{
    return m_images.GetGlyphSize();
}

int CImageForegroundPainter::GetMaxHeight(HDC)
{
    return m_images.GetGlyphSize().cy;
}

void CImageForegroundPainter::EnableCustomFormat(HDC, bool) {}

// --------------------------------------------------- CTextForegrounPainter

void CTextForegrounPainter::SSelection::Select(HDC device, const STextState& state)
{
    dc = device;
    textColor = SetTextColor(dc, state.textColor);
    backColor = SetBkColor(dc, state.backColor);
    backMode = SetBkMode(dc, state.backMode);
    font = state.font ? SelectObject(dc, state.font) : nullptr;
}

void CTextForegrounPainter::SSelection::Restore()
{
    if (!dc)
        return;
    SetTextColor(dc, textColor);
    SetBkColor(dc, backColor);
    SetBkMode(dc, backMode);
    if (font && font != HGDI_ERROR)
        SelectObject(dc, font);
    dc = nullptr;
    font = nullptr;
}

CTextForegrounPainter::~CTextForegrounPainter()
{
    // A caller that forgot the closing EnableCustomFormat still gets its
    // device back before the font table may delete the font.
    m_custom.Restore();
}

bool CTextForegrounPainter::Load(CStyle& style, const CSection* section)
{
    int count = ReadStateCount(section, kMaxStates);
    if (count < 1)
        return false;
    m_states.clear();
    for (int n = 0; n < count; ++n) {
        STextState state = {};
        state.textColor = ReadColor(section, L"TextColor", n, GetSysColor(COLOR_WINDOWTEXT), false);
        state.backColor = ReadColor(section, L"BackColor", n, GetSysColor(COLOR_WINDOW), false);
        const CLine* line = section->FindLine(L"BackMode", n);
        state.backMode = line && Resource::EqualNoCase(line->GetContent(), L"OPAQUE") ? OPAQUE
                                                                                      : TRANSPARENT;
        UINT format = 0;
        if ((line = section->FindLine(L"Align", n))) {
            if (Resource::EqualNoCase(line->GetContent(), L"center"))
                format |= DT_CENTER;
            else if (Resource::EqualNoCase(line->GetContent(), L"right"))
                format |= DT_RIGHT;
        }
        if ((line = section->FindLine(L"VAlign", n))) {
            if (Resource::EqualNoCase(line->GetContent(), L"center"))
                format |= DT_VCENTER;
            else if (Resource::EqualNoCase(line->GetContent(), L"bottom"))
                format |= DT_BOTTOM;
        }
        line = section->FindLine(L"AutoWrap", n);
        format |= line && line->ReadContentAsBool() ? DT_WORDBREAK : DT_SINGLELINE;
        line = section->FindLine(L"Prefix", n);
        if (!line || !line->ReadContentAsBool())
            format |= DT_NOPREFIX;
        state.format = format;
        // Without the key the device's own font is used.
        if ((line = section->FindLine(L"Font", n)))
            state.font = style.ReadFont(line);
        LOGFONTW font;
        if (state.font && GetObjectW(state.font, sizeof font, &font) == sizeof font)
            state.rotation = (font.lfEscapement % 3600 + 3600) % 3600;
        m_states.push_back(state);
    }
    return true;
}

const CTextForegrounPainter::STextState& CTextForegrounPainter::StateAt(int state) const
{
    return m_states[StateIndex(state, m_states.size())];
}

SIZE CTextForegrounPainter::Measure(HDC dc, SIZE limit, const wchar_t* text, int length,
                                    const STextState& state) const
{
    RECT r = {0, 0, limit.cx < 0 ? 32767 : limit.cx, limit.cy < 0 ? 32767 : limit.cy};
    UINT format = (state.format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT;
    HGDIOBJ previous = state.font ? SelectObject(dc, state.font) : nullptr;
    int h = DrawTextW(dc, text, length, &r, format);
    if (previous && previous != HGDI_ERROR)
        SelectObject(dc, previous);
    LONG w = r.right - r.left;
    if (state.rotation == 900 || state.rotation == 2700)
        return {h, w};
    return {w, h};
}

bool CTextForegrounPainter::Draw(HDC dc, const RECT& rect, const RECT&, int stateIndex,
                                 const wchar_t* text, int length)
{
    if (!dc || m_states.empty())
        return false;
    if (!text) {
        text = L"";
        length = 0;
    }
    if (length < 0)
        length = static_cast<int>(std::min<size_t>(wcslen(text), INT_MAX));
    const STextState& state = StateAt(stateIndex);
    SSelection selection;
    selection.Select(dc, state);

    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (state.rotation == 900 || state.rotation == 2700) {
        SIZE measured = Measure(dc, SIZE{width, height}, text, length, state);
        bool up = state.rotation == 900;
        long long x = up ? rect.left : rect.right;
        long long y = up ? rect.bottom : rect.top;
        long long dy = (static_cast<long long>(height) - measured.cy) / 2;
        long long dx = (static_cast<long long>(width) - measured.cx) / 2;
        if (state.format & DT_VCENTER)
            y += up ? -dy : dy;
        if (state.format & DT_CENTER)
            x += up ? dx : -dx;
        TextOutW(dc, ClampToLong(x), ClampToLong(y), text, length);
    } else if (!(state.format & DT_VCENTER) || (state.format & DT_SINGLELINE)) {
        RECT r = rect;
        DrawTextW(dc, text, length, &r, state.format);
    } else {
        // DrawText centres only single lines; wrapped text is measured first.
        UINT format = state.format & ~(DT_VCENTER | DT_BOTTOM);
        RECT measure = rect;
        DrawTextW(dc, text, length, &measure, format | DT_CALCRECT);
        long long h = measure.bottom - measure.top;
        long long offset = static_cast<long long>(height) - h;
        // Rounded toward minus infinity: a text taller than the rectangle
        // moves up by the larger half.
        offset = offset >= 0 ? offset / 2 : -((-offset + 1) / 2);
        RECT r = rect;
        r.top = ClampToLong(r.top + offset);
        DrawTextW(dc, text, length, &r, format);
    }
    selection.Restore();
    return true;
}

SIZE CTextForegrounPainter::CalcSize(HDC dc, SIZE limit, const wchar_t* text, int length)
{
    if (!dc || m_states.empty())
        return {-1, -1};
    if (!text) {
        text = L"";
        length = 0;
    }
    return Measure(dc, limit, text, length, m_states[0]);
}

int CTextForegrounPainter::GetMaxHeight(HDC dc)
{
    if (!dc || m_states.empty())
        return -1;
    const STextState& state = m_states[0];
    HGDIOBJ previous = state.font ? SelectObject(dc, state.font) : nullptr;
    TEXTMETRICW metrics = {};
    BOOL ok = GetTextMetricsW(dc, &metrics);
    if (previous && previous != HGDI_ERROR)
        SelectObject(dc, previous);
    return ok ? metrics.tmHeight : -1;
}

void CTextForegrounPainter::EnableCustomFormat(HDC dc, bool enable)
{
    if (!dc || m_states.empty())
        return;
    if (enable) {
        // A second enable keeps the values saved by the first, which are the
        // device's own.
        if (m_custom.dc == dc)
            return;
        m_custom.Restore();
        m_custom.Select(dc, m_states[0]);
    } else if (m_custom.dc == dc) {
        m_custom.Restore();
    }
}

// --------------------------------------------------------------- CPainter

CPainter::CPainter(const wchar_t* className, const wchar_t* subName)
    : m_strClassName(className ? className : L""), m_strSubName(subName ? subName : L"")
{
}

CPainter::~CPainter()
{
    Clear();
}

void CPainter::Clear()
{
    delete m_pBackground;
    m_pBackground = nullptr;
    delete m_pForeground;
    m_pForeground = nullptr;
    m_rcMargins.reset();
    m_hCursor = nullptr;
    m_bVisible = true;
    m_clrEraseColor = Images::kNoColor;
}

bool CPainter::LoadFromStyle(CStyle& style)
{
    Clear();
    m_pStyle = &style;
    CStyleConfigReader& config = style.GetConfig();
    const wchar_t* name = m_strClassName.c_str();
    const wchar_t* sub = m_strSubName.c_str();

    const CSection* back = config.GetSection(name, sub, CStyleConfigReader::PartBack);
    if (const CLine* type = back ? back->FindLine(L"Type") : nullptr) {
        std::unique_ptr<CBackgroundPainter> background;
        const std::wstring& word = type->GetContent();
        if (Resource::EqualNoCase(word, L"FillImage"))
            background = std::make_unique<CImageBackgroundPainter<true>>();
        else if (Resource::EqualNoCase(word, L"BorderImage"))
            background = std::make_unique<CImageBackgroundPainter<false>>();
        else if (Resource::EqualNoCase(word, L"FillColor"))
            background = std::make_unique<CBorderFillBackgroundPainter<true>>();
        else if (Resource::EqualNoCase(word, L"BorderColor"))
            background = std::make_unique<CBorderFillBackgroundPainter<false>>();
        if (background && background->Load(style, back))
            m_pBackground = background.release();
    }

    const CSection* fore = config.GetSection(name, sub, CStyleConfigReader::PartFore);
    if (const CLine* type = fore ? fore->FindLine(L"Type") : nullptr) {
        std::unique_ptr<CForegroundPainter> foreground;
        if (Resource::EqualNoCase(type->GetContent(), L"ImageGlyph"))
            foreground = std::make_unique<CImageForegroundPainter>();
        else if (Resource::EqualNoCase(type->GetContent(), L"Text"))
            foreground = std::make_unique<CTextForegrounPainter>();
        if (foreground && foreground->Load(style, fore))
            m_pForeground = foreground.release();
    }

    const CSection* main = config.GetSection(name, sub, CStyleConfigReader::PartNone);
    const CLine* line = main ? main->FindLine(L"Margins") : nullptr;
    if (line) {
        RECT margins = {0, 0, 0, 0};
        line->ReadContentAsRect(margins);
        m_rcMargins = margins;
    }
    m_hCursor = style.GetCursor(main ? main->FindLine(L"Cursor") : nullptr);
    line = main ? main->FindLine(L"Visible") : nullptr;
    m_bVisible = line ? line->ReadContentAsBool() : (main || fore || back);
    line = main ? main->FindLine(L"EraseColor") : nullptr;
    m_clrEraseColor = line ? line->ReadContentAsColor() : Images::kNoColor;
    return true;
}

bool CPainter::DrawForeground(HDC dc, const RECT& rect, const RECT& clip, int state,
                              const std::wstring& text)
{
    return DrawForeground(dc, rect, clip, state, text.c_str(), -1);
}

bool CPainter::DrawForeground(HDC dc, const RECT& rect, const RECT& clip, int state,
                              const wchar_t* text, int length)
{
    return m_pForeground && m_pForeground->Draw(dc, rect, clip, state, text, length);
}

bool CPainter::DrawBackground(HDC dc, int state, const RECT& rect, const RECT& clip)
{
    return m_pBackground && m_pBackground->Draw(dc, state, rect, clip);
}

bool CPainter::DrawNonTransparentBackGround(HDC dc, int state, const RECT& rect,
                                            const RECT& clip)
{
    return m_pBackground && m_pBackground->DrawNonTransparent(dc, state, rect, clip);
}

SIZE CPainter::CalcSize(HDC dc, SIZE limit, const wchar_t* text, int length)
{
    return m_pForeground ? m_pForeground->CalcSize(dc, limit, text, length) : SIZE{-1, -1};
}

SIZE CPainter::CalcSize(HDC dc, SIZE limit, const std::wstring& text)
{
    return CalcSize(dc, limit, text.c_str(), -1);
}

int CPainter::GetMaxHeight(HDC dc)
{
    return m_pForeground ? m_pForeground->GetMaxHeight(dc) : -1;
}

bool CPainter::GetTransparentRgn(HRGN& region)
{
    region = nullptr;
    return m_pBackground && m_pBackground->GetTransparentRgn(region);
}

bool CPainter::GetContentMargins(RECT& margins)
{
    if (!m_rcMargins)
        return false;
    margins = *m_rcMargins;
    return true;
}

void CPainter::GetContentRectByFull(RECT& rect)
{
    if (!m_rcMargins)
        return;
    const RECT& m = *m_rcMargins;
    rect = {ClampToLong(0LL + rect.left + m.left), ClampToLong(0LL + rect.top + m.top),
            ClampToLong(0LL + rect.right - m.right), ClampToLong(0LL + rect.bottom - m.bottom)};
}

void CPainter::GetFullRectByContent(RECT& rect)
{
    if (!m_rcMargins)
        return;
    const RECT& m = *m_rcMargins;
    rect = {ClampToLong(0LL + rect.left - m.left), ClampToLong(0LL + rect.top - m.top),
            ClampToLong(0LL + rect.right + m.right), ClampToLong(0LL + rect.bottom + m.bottom)};
}

HCURSOR CPainter::GetCursor()
{
    return m_hCursor;
}

bool CPainter::GetVisible()
{
    return m_bVisible;
}

COLORREF CPainter::GetEraseColor()
{
    return m_clrEraseColor;
}

void CPainter::EnableCustomFormat(HDC dc, bool enable)
{
    if (m_pForeground)
        m_pForeground->EnableCustomFormat(dc, enable);
}

const CSection* CPainter::GetCustomSection(const wchar_t* customWord) const
{
    if (!m_pStyle)
        return nullptr;
    const CStyleConfigReader& config = m_pStyle->GetConfig();
    if (customWord && *customWord)
        return config.GetSection(m_strClassName.c_str(), m_strSubName.c_str(), customWord);
    return config.GetSection(m_strClassName.c_str(), m_strSubName.c_str(), CStyleConfigReader::PartNone);
}

int CPainter::GetKeyNameInt(const wchar_t* section, const wchar_t* key) const
{
    return m_pStyle && section && key ? m_pStyle->GetConfig().GetInt(section, key) : 0;
}

}  // namespace Style
