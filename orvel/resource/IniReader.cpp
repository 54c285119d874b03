#include "IniReader.h"

#include <cwctype>
#include <sstream>
#include "../base/Failure.h"
#include "../base/MappedFile.h"
#include "ModuleResources.h"

namespace Resource {

struct SLinePosition {
    const CSection* section;
    int index;
};

namespace {

bool IsSpace(wchar_t c)
{
    return std::iswspace(c) != 0;
}

std::wstring Trimmed(const std::wstring& text, size_t begin, size_t end)
{
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

// Names of different length never match; checking that first keeps the
// linear lookups cheap on large packs.
bool SameNameNoCase(const std::wstring& a, const wchar_t* b, size_t bLength)
{
    if (a.size() != bLength)
        return false;
    for (size_t i = 0; i < bLength; ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

template <class Vec>
void CheckIndex(const Vec& items, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        Base::ThrowInvalidArg();
}

}  // namespace

bool EqualNoCase(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return a == b;
    for (;; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
        if (!*a)
            return true;
    }
}

bool EqualNoCase(const std::wstring& a, const wchar_t* b)
{
    // Compares the whole string, embedded nulls included.
    if (!b)
        return false;
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (!b[i] || FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return b[i] == 0;
}

// ---------------------------------------------------------------- CLine

CLine::CLine(const std::wstring& text, wchar_t separator)
{
    size_t at = text.find(separator);
    if (at == std::wstring::npos) {
        m_strLabel = Trimmed(text, 0, text.size());
    } else {
        m_strLabel = Trimmed(text, 0, at);
        m_strContent = Trimmed(text, at + 1, text.size());
    }
}

CLine::CLine(const wchar_t* text, wchar_t separator)
    : CLine(std::wstring(text ? text : L""), separator)
{
}

CLine::CLine(const wchar_t* label, const wchar_t* content)
    : m_strLabel(label ? label : L""), m_strContent(content ? content : L"")
{
}

CLine::CLine(const std::wstring& label, const std::wstring& content)
    : m_strLabel(label), m_strContent(content)
{
}

// ------------------------------------------------------------- CSection

CSection::CSection(const wchar_t* name) : m_strName(name ? name : L"") {}

CSection::CSection(const std::wstring& name) : m_strName(name) {}

CSection::~CSection()
{
    for (CLine* line : m_lines)
        delete line;
}

void CSection::AppendLine(CLine* line)
{
    if (!line)
        Base::ThrowInvalidArg();
    try {
        m_lines.push_back(line);
    } catch (const std::bad_alloc&) {
        delete line;
        Base::ThrowOutOfMemory();
    }
}

int CSection::GetLineCount() const
{
    return static_cast<int>(m_lines.size());
}

CLine* CSection::GetLine(int index) const
{
    CheckIndex(m_lines, index);
    return m_lines[index];
}

CLine* CSection::FindLine(const wchar_t* label) const
{
    if (!label)
        return nullptr;
    size_t length = wcslen(label);
    for (CLine* line : m_lines) {
        if (SameNameNoCase(line->GetLabel(), label, length))
            return line;
    }
    return nullptr;
}

CLine* CSection::FindLine(const wchar_t* label, int index) const
{
    if (!label)
        return nullptr;
    if (index >= 0) {
        std::wstring numbered = label + std::to_wstring(index);
        if (CLine* line = FindLine(numbered.c_str()))
            return line;
    }
    return FindLine(label);
}

// ----------------------------------------------------------- CIniReader

CIniReader::CIniReader() = default;

CIniReader::~CIniReader()
{
    Clear();
}

void CIniReader::Clear()
{
    for (CSection* section : m_sections)
        delete section;
    m_sections.clear();
    // The current section is left as it is: a later load that starts with
    // key lines hands them to whatever it still points at. Since the
    // sections are gone, forget it rather than keep a dangling pointer.
    m_pCurrent = nullptr;
}

bool CIniReader::LoadFromFile(const wchar_t* path)
{
    Base::CMappedFile file(path);
    return file.Ok() && LoadFromMemory(file.Data(), file.Size());
}

bool CIniReader::LoadFromMemory(const void* data, size_t byteCount)
{
    size_t units = byteCount / 2;
    std::wstring text;
    if (units) {
        if (!data)
            return false;
        text.resize(units);
        memcpy(text.data(), data, units * sizeof(wchar_t));
    }
    std::wistringstream stream(std::move(text));
    return LoadFromStream(stream);
}

bool CIniReader::LoadFromResource(HMODULE module, const wchar_t* type, const wchar_t* name)
{
    DWORD size = 0;
    const void* bytes = CModuleResources(module).Find(
        type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), &size);
    return bytes && LoadFromMemory(bytes, size);
}

bool CIniReader::LoadFromStream(std::wistream& stream)
{
    std::wstring line;
    bool first = true;
    while (std::getline(stream, line, L'\n')) {
        if (first) {
            first = false;
            if (!line.empty() && (line[0] == 0xFEFF || line[0] == 0xFFFE))
                line.erase(0, 1);
        }
        ParseTextLine(line);
        line.clear();
    }
    return true;
}

void CIniReader::ParseTextLine(std::wstring& text)
{
    size_t comment = text.find(L';', 1);
    if (comment != std::wstring::npos)
        text.resize(comment);
    size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    if (begin == end || text[begin] == L';')
        return;
    std::wstring trimmed = text.substr(begin, end - begin);
    if (trimmed[0] == L'[')
        ParseSection(trimmed);
    else
        ParseLine(trimmed);
}

void CIniReader::ParseSection(const std::wstring& text)
{
    // The last character is taken for "]" without looking at it.
    std::wstring name = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::wstring();
    auto section = std::make_unique<CSection>(name);
    m_sections.push_back(section.get());
    m_pCurrent = section.release();
}

void CIniReader::ParseLine(const std::wstring& text)
{
    if (!m_pCurrent)
        return;
    m_pCurrent->AppendLine(new CLine(text, L'='));
}

int CIniReader::GetSectionCount() const
{
    return static_cast<int>(m_sections.size());
}

CSection* CIniReader::GetSection(int index) const
{
    CheckIndex(m_sections, index);
    return m_sections[index];
}

CSection* CIniReader::FindSection(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    size_t length = wcslen(name);
    for (CSection* section : m_sections) {
        if (SameNameNoCase(section->GetName(), name, length))
            return section;
    }
    return nullptr;
}

const CLine* CIniReader::FindFirstLine(const wchar_t* section, const wchar_t* label) const
{
    const CSection* found = FindSection(section);
    return found ? found->FindLine(label) : nullptr;
}

std::wstring CIniReader::GetString(const wchar_t* section, const wchar_t* label) const
{
    const CLine* line = FindFirstLine(section, label);
    return line ? line->GetContent() : std::wstring();
}

int CIniReader::GetInt(const wchar_t* section, const wchar_t* label) const
{
    const CLine* line = FindFirstLine(section, label);
    return line ? ParseInt(line->GetContent().c_str()) : 0;
}

POSITION CIniReader::GetFirstLinePosition(const wchar_t* section) const
{
    const CSection* found = FindSection(section);
    if (!found || found->GetLineCount() == 0)
        return nullptr;
    return new SLinePosition{found, 0};
}

const CLine* CIniReader::GetNextLine(POSITION& position) const
{
    if (!position)
        Base::ThrowFail();
    const CLine* line = position->section->GetLine(position->index);
    if (++position->index >= position->section->GetLineCount()) {
        delete position;
        position = nullptr;
    }
    return line;
}

}  // namespace Resource
