#include "DialogText.h"

#include <string>
#include "../resource/ByteCursor.h"
#include "../resource/ResourceReader.h"
#include "StyledWndManager.h"

namespace Windows {

namespace {

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kNoControlId = 0xFFFF;
constexpr WORD kStaticClassAtom = 0x0082;

// Picture statics carry the picture's ordinal as their title; it is not
// a text, and setting one would replace the picture.
bool IsPictureStatic(WORD classAtom, DWORD style)
{
    if (classAtom != kStaticClassAtom)
        return false;
    DWORD type = style & SS_TYPEMASK;
    return type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE;
}

// The host's module read in one language; the module stays the host's.
class CTitleSource {
public:
    CTitleSource(HINSTANCE module, WORD language)
    {
        m_reader.Attach(module);
        m_reader.SetLangID(language);
    }
    ~CTitleSource() { m_reader.Detch(); }
    CTitleSource(const CTitleSource&) = delete;
    CTitleSource& operator=(const CTitleSource&) = delete;

    bool Text(const std::wstring& title, WORD ordinal, std::wstring& text) const
    {
        if (!ordinal) {
            text = title;
            return true;
        }
        return m_reader.ReadString(ordinal, text);
    }
    const Resource::CResourceReader& Reader() const { return m_reader; }

private:
    Resource::CResourceReader m_reader;
};

bool Walk(HWND dialog, const void* data, DWORD size, const CTitleSource& source)
{
    Resource::CByteCursor cursor(data, size);
    WORD version = 0, signature = 0, count = 0;
    DWORD style = 0;
    if (!cursor.Word(version) || !cursor.Word(signature) || version != kExtendedVersion ||
        signature != kExtendedSignature)
        return false;
    // help id, extended style, style, item count, x, y, cx, cy
    if (!cursor.Skip(8) || !cursor.Dword(style) || !cursor.Word(count) || !cursor.Skip(8))
        return true;
    std::wstring title;
    if (!cursor.StringOrOrdinal() || !cursor.StringOrOrdinal() || !cursor.String(&title))
        return true;
    ::SetWindowTextW(dialog, title.c_str());
    // Point size, weight, italic and character set, then the face. Only
    // templates with DS_SETFONT have the block; reading it from one without
    // would shift every item.
    if ((style & DS_SETFONT) && (!cursor.Skip(6) || !cursor.String(nullptr)))
        return true;

    for (WORD i = 0; i < count; ++i) {
        DWORD itemStyle = 0, id = 0;
        WORD classAtom = 0, ordinal = 0, extra = 0;
        std::wstring className, itemTitle, text;
        // help id, extended style, style, x, y, cx, cy, identifier
        if (!cursor.AlignDword() || !cursor.Skip(8) || !cursor.Dword(itemStyle) || !cursor.Skip(8) ||
            !cursor.Dword(id) || !cursor.StringOrOrdinal(className, classAtom) ||
            !cursor.StringOrOrdinal(itemTitle, ordinal) || !cursor.Word(extra) || !cursor.Skip(extra))
            break;
        if (LOWORD(id) == kNoControlId || (itemTitle.empty() && !ordinal) ||
            IsPictureStatic(classAtom, itemStyle))
            continue;
        HWND control = ::GetDlgItem(dialog, static_cast<int>(id));
        if (control && source.Text(itemTitle, ordinal, text))
            ::SetWindowTextW(control, text.c_str());
    }
    return true;
}

}  // namespace

bool ApplyDialogTexts(HWND dialog, const void* data, DWORD size, HINSTANCE module, WORD language)
{
    if (!dialog || !::IsWindow(dialog))
        return false;
    return Walk(dialog, data, size, CTitleSource(module, language));
}

void ApplyDialogTexts(HWND dialog, HINSTANCE module, const wchar_t* templateName)
{
    if (!dialog || !::IsWindow(dialog) || !templateName)
        return;
    CTitleSource source(module, CStyledWndManager::GetInstance().GetLanguage());
    DWORD size = 0;
    if (const void* data = source.Reader().ReadCustomData(RT_DIALOG, templateName, &size))
        Walk(dialog, data, size, source);
}

}  // namespace Windows
