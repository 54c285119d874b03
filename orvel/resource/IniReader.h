#pragma once
// Style-pack INI text: sections of label/content lines, and the typed
// reading of a line's content.
#include <windows.h>
#include <iosfwd>
#include <memory>
#include <string>
#include <cstdint>
#include <string_view>
#include <vector>
#include "../base/Export.h"

namespace Resource {

class CResourceReader;
class CSection;

// Iteration cursor over the lines of one section; null ends the loop.
struct SLinePosition;
using POSITION = SLinePosition*;

// Beside an ordered list of named items: each name, folded as lookups fold
// it, to the position of its first item, so a lookup finds what a scan in
// text order finds. Items are added in list order; the names are views of
// strings the items own and never change.
class ORVEL_API CNameIndex {
public:
    // The item at the next position; an earlier item of the name stays first.
    void Add(std::wstring_view name);
    // -1 when no item has the name.
    int Find(std::wstring_view name) const;
    void Clear();

    static size_t FoldedHash(std::wstring_view name) noexcept;
    static bool SameName(std::wstring_view a, std::wstring_view b) noexcept;

private:
    struct SSlot {
        uint32_t hash;
        int position;  // -1: empty
    };
    void Grow();

    std::vector<std::wstring_view> m_names;  // by position
    std::vector<SSlot> m_slots;              // open addressing, a power of two
    size_t m_nUsed = 0;
};

class ORVEL_API CLine {
public:
    // Splits text at the first separator; label and content are trimmed.
    CLine(const wchar_t* text, wchar_t separator);
    CLine(const std::wstring& text, wchar_t separator);
    CLine(const wchar_t* label, const wchar_t* content);
    CLine(std::wstring label, std::wstring content);

    // Lines come from a pool of their own: a pack text makes tens of
    // thousands of them, and the heap's allocation costs more than the parse.
    static void* operator new(size_t size);
    static void operator delete(void* block, size_t size) noexcept;

    const std::wstring& GetLabel() const { return m_strLabel; }
    const std::wstring& GetContent() const { return m_strContent; }

    // Fields are split once, on first need, and kept with the line.
    int SplitContent() const;
    int GetFieldCount() const;

    int ReadContentAsInt() const;
    bool ReadContentAsBool() const;
    COLORREF ReadContentAsColor() const;
    void ReadContentAsRect(RECT& rect) const;
    void ReadContentAsSize(SIZE& size) const;
    void ReadContentAsFont(LOGFONTW& font) const;
    void ReadContentField(int index, __int64& value) const;
    void ReadContentField(int index, std::wstring& value) const;

protected:
    size_t AdvancePlain(size_t pos, std::wstring& field) const;
    size_t AdvanceQuoted(size_t pos, std::wstring& field) const;

private:
    std::wstring m_strLabel;
    std::wstring m_strContent;
    mutable std::vector<std::wstring> m_fields;
};

class ORVEL_API CSection {
public:
    explicit CSection(const wchar_t* name);
    explicit CSection(const std::wstring& name);
    explicit CSection(std::wstring_view name);
    ~CSection();
    static void* operator new(size_t size);  // pooled, as lines are
    static void operator delete(void* block, size_t size) noexcept;
    CSection(const CSection&) = delete;
    CSection& operator=(const CSection&) = delete;

    const std::wstring& GetName() const { return m_strName; }

    void AppendLine(CLine* line);  // takes ownership
    int GetLineCount() const;
    CLine* GetLine(int index) const;

    CLine* FindLine(const wchar_t* label) const;
    // Looks for label+index first ("ImageFile2"), then for label itself.
    CLine* FindLine(const wchar_t* label, int index) const;

private:
    // Sections this short are scanned: an index would cost more than it saves.
    static constexpr size_t kIndexedLines = 8;

    std::wstring m_strName;
    std::vector<CLine*> m_lines;
    CNameIndex m_labels;  // filled once the section has kIndexedLines lines
};

class ORVEL_API CIniReader {
public:
    CIniReader();
    ~CIniReader();
    CIniReader(const CIniReader&) = delete;
    CIniReader& operator=(const CIniReader&) = delete;

    void Clear();

    bool LoadFromFile(const wchar_t* path);
    bool LoadFromMemory(const void* data, size_t byteCount);
    bool LoadFromResource(HMODULE module, const wchar_t* type, const wchar_t* name);
    bool LoadFromResource(CResourceReader& reader, const wchar_t* type, const wchar_t* name);
    bool LoadFromStream(std::wistream& stream);

    int GetSectionCount() const;
    CSection* GetSection(int index) const;
    CSection* FindSection(const wchar_t* name) const;

    const CLine* FindFirstLine(const wchar_t* section, const wchar_t* label) const;
    std::wstring GetString(const wchar_t* section, const wchar_t* label) const;
    int GetInt(const wchar_t* section, const wchar_t* label) const;

    POSITION GetFirstLinePosition(const wchar_t* section) const;
    const CLine* GetNextLine(POSITION& position) const;

protected:
    void ParseTextLine(std::wstring& text);
    void ParseSection(const std::wstring& text);
    void ParseLine(const std::wstring& text);

private:
    // One physical line without its line feed; what ParseTextLine does.
    void ParseText(std::wstring_view text);
    void AddSection(std::wstring_view text);
    void AddLine(std::wstring_view text);

    std::vector<CSection*> m_sections;
    CNameIndex m_names;
    CSection* m_pCurrent = nullptr;
};

// Case-insensitive for the ASCII letters only, as names in pack text are.
ORVEL_API bool EqualNoCase(const wchar_t* a, const wchar_t* b);
ORVEL_API bool EqualNoCase(const std::wstring& a, const wchar_t* b);

// The C runtime's base-10 rule: white space, sign, digits; saturates.
ORVEL_API int ParseInt(const wchar_t* text);

// Character set of font defaults, chosen from the user-interface language
// by the host services; 0 until a language is set.
ORVEL_API BYTE GetUiCharSet();
ORVEL_API void SetUiCharSet(BYTE charSet);
ORVEL_API BYTE CharSetForLanguage(LANGID language);

}  // namespace Resource
