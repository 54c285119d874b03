#include "tools/spkc/SourceMap.h"
#include <cwctype>

namespace Spk {

namespace {

std::wstring Trim(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    while (end > begin && std::iswspace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Lookups ignore the case of A to Z only.
std::wstring Fold(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

}  // namespace

CIniSourceMap::CIniSourceMap(const std::wstring& text)
{
    SSection* current = nullptr;  // null before the first header and in repeated sections
    bool anySection = false;
    int lineNumber = 0;
    size_t start = text.empty() || (text[0] != 0xFEFF && text[0] != 0xFFFE) ? 0 : 1;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        ++lineNumber;
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        size_t comment = line.find(L';', 1);
        if (comment != std::wstring::npos)
            line.resize(comment);
        line = Trim(line);
        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            anySection = true;
            if (line.back() != L']')
                m_notes.push_back({lineNumber, L"the section header does not end with ']': its last character is taken for it"});
            std::wstring name = line.size() > 1 ? line.substr(1, line.size() - 2) : std::wstring();
            if (name != Trim(name))
                m_notes.push_back({lineNumber, L"[" + name + L"]: the spaces inside the brackets are part of the name, so lookups do not find it"});
            auto [found, added] = m_sections.try_emplace(Fold(name), SSection{lineNumber, {}});
            if (added) {
                current = &found->second;
            } else {
                m_notes.push_back({lineNumber, L"[" + name + L"] is given again; only the one at line " +
                                                   std::to_wstring(found->second.line) + L" is read"});
                current = nullptr;
            }
            continue;
        }
        size_t equals = line.find(L'=');
        std::wstring label = Trim(line.substr(0, equals));
        if (!anySection) {
            m_notes.push_back({lineNumber, L"'" + label + L"' stands before the first [section] and is ignored"});
            continue;
        }
        if (equals == std::wstring::npos)
            m_notes.push_back({lineNumber, L"'" + label + L"' has no '=': it is a key with an empty value"});
        if (!current)
            continue;
        LineList& lines = current->keys[Fold(label)];
        if (!lines.empty())
            m_notes.push_back({lineNumber, L"'" + label + L"' is given again in this section; the one at line " +
                                               std::to_wstring(lines.front()) + L" is read"});
        lines.push_back(lineNumber);
    }
}

int CIniSourceMap::SectionLine(const std::wstring& section) const
{
    auto found = m_sections.find(Fold(section));
    return found == m_sections.end() ? 0 : found->second.line;
}

int CIniSourceMap::KeyLine(const std::wstring& section, const std::wstring& label, size_t occurrence) const
{
    auto found = m_sections.find(Fold(section));
    if (found == m_sections.end())
        return 0;
    auto key = found->second.keys.find(Fold(label));
    if (key == found->second.keys.end() || occurrence >= key->second.size())
        return 0;
    return key->second[occurrence];
}

}  // namespace Spk
