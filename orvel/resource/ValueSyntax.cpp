// Typed reading of a line's content: fields, integers, booleans, colours,
// rectangles, sizes and fonts.
#include "IniReader.h"

#include <climits>
#include <cwctype>
#include "../base/Failure.h"

namespace Resource {

namespace {

BYTE g_uiCharSet = 0;

void TrimInPlace(std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    while (end > begin && std::iswspace(text[end - 1]))
        --end;
    text = text.substr(begin, end - begin);
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix, size_t prefixLength)
{
    return text.size() >= prefixLength && EqualNoCase(text.substr(0, prefixLength), prefix);
}

// "name:" followed by at least one more character: the rest, else null.
const wchar_t* Argument(const std::wstring& field, const wchar_t* word)
{
    size_t length = wcslen(word);
    if (field.size() > length && StartsWithNoCase(field, word, length))
        return field.c_str() + length;
    return nullptr;
}

int ScreenDpiY()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

int ParseInt(const wchar_t* text)
{
    if (!text)
        return 0;
    while (std::iswspace(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (*text - L'0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

BYTE GetUiCharSet()
{
    return g_uiCharSet;
}

void SetUiCharSet(BYTE charSet)
{
    g_uiCharSet = charSet;
}

BYTE CharSetForLanguage(LANGID language)
{
    switch (language) {
    case 0x0404: return CHINESEBIG5_CHARSET;
    case 0x0409: return ANSI_CHARSET;
    case 0x0411: return SHIFTJIS_CHARSET;
    case 0x0804: return GB2312_CHARSET;
    default: return DEFAULT_CHARSET;
    }
}

// --------------------------------------------------------------- fields

size_t CLine::AdvancePlain(size_t pos, std::wstring& field) const
{
    size_t end = m_strContent.find(L',', pos);
    if (end == std::wstring::npos)
        end = m_strContent.size();
    field.assign(m_strContent, pos, end - pos);
    return end;
}

size_t CLine::AdvanceQuoted(size_t pos, std::wstring& field) const
{
    field.clear();
    size_t length = m_strContent.size();
    size_t p = pos;
    while (p < length) {
        wchar_t c = m_strContent[p];
        if (c == L'"') {
            if (p + 1 < length && m_strContent[p + 1] == L'"') {
                field += L'"';
                p += 2;
                continue;
            }
            ++p;  // closing quote
            size_t end = m_strContent.find(L',', p);
            if (end == std::wstring::npos)
                end = length;
            field.append(m_strContent, p, end - p);
            return end;
        }
        field += c;
        ++p;
    }
    return length;
}

int CLine::SplitContent() const
{
    if (!m_fields.empty() || m_strContent.empty())
        return 0;
    std::vector<std::wstring> fields;
    size_t p = 0;
    do {
        std::wstring field;
        size_t end = m_strContent[p] == L'"' ? AdvanceQuoted(p + 1, field) : AdvancePlain(p, field);
        fields.push_back(std::move(field));
        p = end + 1;
    } while (p < m_strContent.size());
    for (std::wstring& field : fields)
        TrimInPlace(field);
    m_fields = std::move(fields);
    return static_cast<int>(m_fields.size());
}

int CLine::GetFieldCount() const
{
    SplitContent();
    return static_cast<int>(m_fields.size());
}

// -------------------------------------------------------------- readers

int CLine::ReadContentAsInt() const
{
    return ParseInt(m_strContent.c_str());
}

bool CLine::ReadContentAsBool() const
{
    return EqualNoCase(m_strContent, L"true");
}

COLORREF CLine::ReadContentAsColor() const
{
    if (GetFieldCount() != 3)
        return 0xFFFFFFFF;
    DWORD r = ParseInt(m_fields[0].c_str()) & 0xFF;
    DWORD g = ParseInt(m_fields[1].c_str()) & 0xFF;
    DWORD b = ParseInt(m_fields[2].c_str()) & 0xFF;
    return r | (g << 8) | (b << 16);
}

void CLine::ReadContentAsRect(RECT& rect) const
{
    // Pack text writes left, right, top, bottom.
    if (GetFieldCount() != 4)
        return;
    rect.left = ParseInt(m_fields[0].c_str());
    rect.right = ParseInt(m_fields[1].c_str());
    rect.top = ParseInt(m_fields[2].c_str());
    rect.bottom = ParseInt(m_fields[3].c_str());
}

void CLine::ReadContentAsSize(SIZE& size) const
{
    if (GetFieldCount() != 2)
        return;
    size.cx = ParseInt(m_fields[0].c_str());
    size.cy = ParseInt(m_fields[1].c_str());
}

void CLine::ReadContentAsFont(LOGFONTW& font) const
{
    SplitContent();
    int dpi = ScreenDpiY();
    font = LOGFONTW{};
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = GetUiCharSet();
    font.lfPitchAndFamily = 1;
    for (const std::wstring& field : m_fields) {
        if (const wchar_t* name = Argument(field, L"name:")) {
            // Longer names are cut to what the record holds.
            wcsncpy(font.lfFaceName, name, LF_FACESIZE - 1);
            font.lfFaceName[LF_FACESIZE - 1] = 0;
        } else if (const wchar_t* size = Argument(field, L"size:")) {
            font.lfHeight = -MulDiv(ParseInt(size), dpi, 72);
        } else if (EqualNoCase(field, L"bold")) {
            font.lfWeight = FW_BOLD;
        } else if (const wchar_t* weight = Argument(field, L"weight:")) {
            font.lfWeight = ParseInt(weight);
        } else if (EqualNoCase(field, L"italic")) {
            font.lfItalic = 1;
        } else if (EqualNoCase(field, L"underline")) {
            font.lfUnderline = 1;
        } else if (const wchar_t* angle = Argument(field, L"escapement:")) {
            font.lfEscapement = font.lfOrientation = ParseInt(angle);
        }
    }
}

void CLine::ReadContentField(int index, __int64& value) const
{
    SplitContent();
    if (index < 0 || static_cast<size_t>(index) >= m_fields.size())
        Base::ThrowInvalidArg();
    value = ParseInt(m_fields[index].c_str());
}

void CLine::ReadContentField(int index, std::wstring& value) const
{
    SplitContent();
    if (index < 0 || static_cast<size_t>(index) >= m_fields.size())
        Base::ThrowInvalidArg();
    value = m_fields[index];
}

}  // namespace Resource
