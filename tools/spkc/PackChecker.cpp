#include "tools/spkc/PackChecker.h"

#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"
#include "orvel/windows/ElementKinds.h"
#include "tools/spkc/PackBuilder.h"
#include "tools/spkc/PackKeys.h"

namespace Spk {

const wchar_t kCheckHelp[] =
    L"spkc --check reports, one line per finding:\n"
    L"  PACK: error: [Section] key: message\n"
    L"  PACK: warning: [Section]: message      (a whole section)\n"
    L"  PACK: error: message                   (the pack as a whole)\n"
    L"and then \"PACK: N errors, M warnings\".\n"
    L"Errors: element kinds the styled windows paint that the pack lacks (not\n"
    L"checked for IsSimple packs); bitmaps and cursors named but absent or\n"
    L"damaged; Cursor=$name not in [Cursors]; strips whose side does not divide\n"
    L"by ImageCount; fewer images than the states an element is painted in; a\n"
    L"damaged pack or folder.\n"
    L"Warnings: unknown sections and keys; values the library reads otherwise\n"
    L"than written; Font=$name not in [Fonts]; repeated sections and keys;\n"
    L"backgrounds and foregrounds that draw nothing; fewer text or colour states\n"
    L"than painted.\n";

int SCheckReport::Count(ESeverity severity) const
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const SFinding& f) { return f.severity == severity; }));
}

std::wstring FormatFinding(const std::wstring& pack, const SFinding& finding)
{
    std::wstring line = pack + (finding.severity == ESeverity::Error ? L": error: " : L": warning: ");
    if (!finding.section.empty()) {
        line += L"[" + finding.section + L"]";
        line += finding.key.empty() ? L": " : L" " + finding.key + L": ";
    }
    return line + finding.message;
}

namespace {

using Resource::CLine;
using Resource::CResourceReader;
using Resource::CSection;
using Resource::EqualNoCase;
using S = Style::CStyle;

// Sections that belong to no element kind:
//   [Config] (its keys are in KnownKeys()), [Fonts], [Cursors]
//                      orvel/style/Style.cpp  CStyle::GetConfig
//   [BitmapPosition]   orvel/windows/Controls.cpp  picture statics
enum ESpecial { kConfigSection, kFontsSection, kCursorsSection, kBitmapPositionSection };
const wchar_t* const kSpecialSections[] = {L"Config", L"Fonts", L"Cursors", L"BitmapPosition"};

// The words of a font description (CLine::ReadContentAsFont); those ending
// in ':' take a value.
const wchar_t* const kFontWords[] = {L"name:",  L"size:",      L"bold",       L"weight:",
                                     L"italic", L"underline", L"escapement:"};

// ----------------------------------------------------------------- helpers

std::wstring AsciiLower(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    size_t n = wcslen(prefix);
    return text.size() >= n && EqualNoCase(text.substr(0, n), prefix);
}

std::vector<std::wstring> SplitWords(const wchar_t* words)
{
    std::vector<std::wstring> list;
    std::wstring all = words ? words : L"";
    for (size_t start = 0; start <= all.size();) {
        size_t bar = all.find(L'|', start);
        if (bar == std::wstring::npos)
            bar = all.size();
        if (bar > start)
            list.push_back(all.substr(start, bar - start));
        start = bar + 1;
    }
    return list;
}

// Case-insensitive edit distance, for "did you mean" hints.
size_t Distance(const std::wstring& a, const std::wstring& b)
{
    std::wstring x = AsciiLower(a), y = AsciiLower(b);
    std::vector<size_t> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= y.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] != y[j - 1])});
            diagonal = above;
        }
    }
    return row[y.size()];
}

// The closest candidate within a typo's reach, or empty.
std::wstring Closest(const std::wstring& word, const std::vector<std::wstring>& candidates)
{
    std::wstring best;
    size_t bestDistance = std::min<size_t>(2, word.size() / 3) + 1;
    for (const std::wstring& candidate : candidates) {
        size_t d = Distance(word, candidate);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}

// The integer rule reads "12px" as 12 and "x" as 0; a clean value reads as
// written.
bool IsCleanInteger(const std::wstring& text)
{
    size_t i = text.empty() || (text[0] != L'+' && text[0] != L'-') ? 0 : 1;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    }
    return true;
}

int KindOfClass(const std::wstring& className)
{
    for (int type = 0; type < S::PainterTypeCount; ++type) {
        const wchar_t* name = S::GetPainterClassName(type);
        if (name && EqualNoCase(className, name))
            return type;
    }
    return -1;
}

std::vector<std::wstring> KindNames()
{
    std::vector<std::wstring> names;
    for (int type = 0; type < S::PainterTypeCount; ++type) {
        if (const wchar_t* name = S::GetPainterClassName(type))
            names.push_back(name);
    }
    return names;
}

bool HasKind(const int* kinds, int kind)
{
    if (!kinds)
        return true;
    for (; *kinds >= 0; ++kinds) {
        if (*kinds == kind)
            return true;
    }
    return false;
}

// ------------------------------------------------------------ pack content

enum class EState { Absent, Damaged, Sound };

struct SBitmap {
    EState state = EState::Absent;
    int width = 0;
    int height = 0;
};

SBitmap BitmapFromPacked(const BYTE* data, size_t size)
{
    SBitmap bitmap{EState::Damaged};
    if (size > MAXDWORD)
        return bitmap;
    // An aligned copy: a packed bitmap may start at any offset of a file.
    std::vector<DWORD> copy(size / sizeof(DWORD) + 1);
    memcpy(copy.data(), data, size);
    int width = 0, height = 0;
    if (CResourceReader::IsSoundPackedBitmap(copy.data(), static_cast<DWORD>(size)) &&
        CResourceReader::GetBitmapDimensions(reinterpret_cast<const BITMAPINFOHEADER*>(copy.data()),
                                             width, height))
        bitmap = {EState::Sound, width, height};
    return bitmap;
}

// A cursor file: its directory (type 2) and every image it lists.
bool IsSoundCursorFile(const std::vector<BYTE>& bytes)
{
    WORD header[3];
    if (bytes.size() < sizeof header)
        return false;
    memcpy(header, bytes.data(), sizeof header);
    const size_t entry = 16;
    if (header[0] != 0 || header[1] != 2 || header[2] == 0 ||
        sizeof header + entry * header[2] > bytes.size())
        return false;
    for (size_t i = 0; i < header[2]; ++i) {
        DWORD size, offset;
        memcpy(&size, bytes.data() + sizeof header + entry * i + 8, sizeof size);
        memcpy(&offset, bytes.data() + sizeof header + entry * i + 12, sizeof offset);
        if (size == 0 || uint64_t{offset} + size > bytes.size())
            return false;
    }
    return true;
}

// What the checker asks of a pack, from its folder or its module. Names are
// resource names (case does not matter).
class CPackContents {
public:
    virtual ~CPackContents() = default;
    virtual SBitmap Bitmap(const std::wstring& name) = 0;
    virtual EState Cursor(const std::wstring& name) = 0;
    // "the folder" or "the pack", for messages.
    virtual const wchar_t* Place() const = 0;
    // Problems of files no key named.
    virtual void ReportUnnamed(std::vector<SFinding>&) {}
};

class CFolderContents : public CPackContents {
public:
    explicit CFolderContents(const SPackSources& sources)
    {
        for (const SSourceFile& file : sources.bitmaps)
            m_bitmaps.emplace(ResourceName(file.name), SFile{file});
        for (const SSourceFile& file : sources.cursors)
            m_cursors.emplace(ResourceName(file.name), SFile{file});
    }

    SBitmap Bitmap(const std::wstring& name) override
    {
        auto found = m_bitmaps.find(ResourceName(name));
        if (found == m_bitmaps.end())
            return {};
        found->second.named = true;
        return ReadBitmap(found->second.file.path);
    }

    EState Cursor(const std::wstring& name) override
    {
        auto found = m_cursors.find(ResourceName(name));
        if (found == m_cursors.end())
            return EState::Absent;
        found->second.named = true;
        return ReadCursor(found->second.file.path);
    }

    const wchar_t* Place() const override { return L"the folder"; }

    // spkc refuses to build a folder with any such file.
    void ReportUnnamed(std::vector<SFinding>& findings) override
    {
        for (const auto& [name, file] : m_bitmaps) {
            if (!file.named && ReadBitmap(file.file.path).state != EState::Sound)
                findings.push_back({ESeverity::Error, L"", L"",
                                    file.file.name + L": " + kUnusableBitmap});
        }
        for (const auto& [name, file] : m_cursors) {
            if (!file.named && ReadCursor(file.file.path) != EState::Sound)
                findings.push_back(
                    {ESeverity::Error, L"", L"", file.file.name + L": not a valid cursor file"});
        }
    }

private:
    struct SFile {
        SSourceFile file;
        bool named = false;
    };

    static SBitmap ReadBitmap(const std::wstring& path)
    {
        std::vector<BYTE> bytes;
        if (!ReadFileBytes(path, bytes) || !IsUsableBitmapFile(bytes))
            return {EState::Damaged};
        return BitmapFromPacked(bytes.data() + sizeof(BITMAPFILEHEADER),
                                bytes.size() - sizeof(BITMAPFILEHEADER));
    }

    static EState ReadCursor(const std::wstring& path)
    {
        std::vector<BYTE> bytes;
        return ReadFileBytes(path, bytes) && IsSoundCursorFile(bytes) ? EState::Sound
                                                                      : EState::Damaged;
    }

    std::map<std::wstring, SFile> m_bitmaps, m_cursors;
};

// Resource bytes are trusted only inside the module's own mapping: a damaged
// resource directory can point past it.
bool InsideModule(HMODULE module, const void* data, DWORD size)
{
    MEMORY_BASIC_INFORMATION home;
    if (!module || !data || !VirtualQuery(module, &home, sizeof home))
        return false;
    uintptr_t p = reinterpret_cast<uintptr_t>(data);
    if (size > UINTPTR_MAX - p)
        return false;
    const uintptr_t end = p + size;
    do {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(reinterpret_cast<const void*>(p), &info, sizeof info) ||
            info.AllocationBase != home.AllocationBase || info.State != MEM_COMMIT ||
            (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
            return false;
        p = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    } while (p < end);
    return true;
}

class CModuleContents : public CPackContents {
public:
    explicit CModuleContents(CResourceReader& reader) : m_reader(reader) {}

    EState Data(const wchar_t* type, const wchar_t* name, const BYTE*& data, DWORD& size) const
    {
        size = 0;
        data = nullptr;
        // The reader's lookup, first with its handle checked: a damaged
        // directory yields a handle outside the module, and the system's
        // size and load calls read through it unguarded.
        HRSRC found = FindResourceExW(m_reader, type, name, m_reader.GetLangID());
        if (!found)
            return EState::Absent;
        if (!InsideModule(m_reader, found, sizeof(IMAGE_RESOURCE_DATA_ENTRY)))
            return EState::Damaged;
        data = static_cast<const BYTE*>(m_reader.ReadCustomData(type, name, &size));
        if (!data)
            return EState::Absent;
        return InsideModule(m_reader, data, size) ? EState::Sound : EState::Damaged;
    }

    SBitmap Bitmap(const std::wstring& name) override
    {
        const BYTE* data;
        DWORD size;
        EState state = Data(RT_BITMAP, name.c_str(), data, size);
        return state == EState::Sound ? BitmapFromPacked(data, size) : SBitmap{state};
    }

    // The group and every image it lists.
    EState Cursor(const std::wstring& name) override
    {
        const BYTE* group;
        DWORD size;
        EState state = Data(RT_GROUP_CURSOR, name.c_str(), group, size);
        if (state != EState::Sound)
            return state;
        if (!CResourceReader::IsSoundGroupDirectory(group, size))
            return EState::Damaged;
        WORD count;
        memcpy(&count, group + 4, sizeof count);
        for (WORD i = 0; i < count; ++i) {
            WORD id;
            memcpy(&id, group + 6 + 14 * i + 12, sizeof id);
            const BYTE* image;
            DWORD imageSize;
            if (Data(RT_CURSOR, MAKEINTRESOURCEW(id), image, imageSize) != EState::Sound)
                return EState::Damaged;
        }
        return EState::Sound;
    }

    const wchar_t* Place() const override { return L"the pack"; }

    // String 101 in the neutral language, as the style manager reads it.
    std::wstring InternalName() const
    {
        const UINT id = 101;
        WORD language = m_reader.GetLangID();
        m_reader.SetLangID(0);
        const BYTE* block;
        DWORD size;
        EState state = Data(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), block, size);
        m_reader.SetLangID(language);
        std::wstring name;
        if (state == EState::Sound)
            CResourceReader::ReadStringFromBlock(block, size, id % 16, name);
        return name;
    }

private:
    CResourceReader& m_reader;
};

// The loader maps a truncated module without complaint, and what its
// sections lack reads as garbage; so the file must hold every section.
bool CheckModuleFile(const std::wstring& path, std::wstring& problem)
{
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(path, bytes)) {
        problem = L"cannot be read";
        return false;
    }
    auto read = [&](uint64_t offset, auto& value) {
        if (offset + sizeof value > bytes.size())
            return false;
        memcpy(&value, bytes.data() + offset, sizeof value);
        return true;
    };
    IMAGE_DOS_HEADER dos;
    DWORD signature;
    IMAGE_FILE_HEADER file;
    if (!read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
        !read(dos.e_lfanew, signature) || signature != IMAGE_NT_SIGNATURE ||
        !read(uint64_t(dos.e_lfanew) + sizeof signature, file)) {
        problem = L"not a style pack: no Windows module header";
        return false;
    }
    uint64_t table = uint64_t(dos.e_lfanew) + sizeof signature + sizeof file + file.SizeOfOptionalHeader;
    for (WORD i = 0; i < file.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!read(table + i * sizeof section, section)) {
            problem = L"damaged or truncated: the section table runs past the end of the file";
            return false;
        }
        uint64_t end = uint64_t(section.PointerToRawData) + section.SizeOfRawData;
        if (section.SizeOfRawData && end > bytes.size()) {
            char name[IMAGE_SIZEOF_SHORT_NAME + 1] = {};
            memcpy(name, section.Name, IMAGE_SIZEOF_SHORT_NAME);
            problem = L"damaged or truncated: section " + std::wstring(name, name + strlen(name)) +
                      L" needs " + std::to_wstring(end) + L" bytes, the file has " +
                      std::to_wstring(bytes.size());
            return false;
        }
    }
    return true;
}

// -------------------------------------------------------------- the checks

struct SUse {
    int states = 0;
    std::wstring users;
};

// What a section name means to the library.
struct SSectionName {
    enum EWhat { Unknown, Special, Main, Back, Fore, Custom } what = Unknown;
    int special = -1;
    int kind = -1;
    bool exact = false;  // no sub-name: the section the style's own painter reads
    std::wstring word;   // the custom word
    std::wstring why;    // for Unknown
};

class CChecker {
public:
    CChecker(const Resource::CIniReader& ini, CPackContents& contents, SCheckReport& report)
        : m_ini(ini), m_contents(contents), m_report(report)
    {
        size_t count = 0;
        const Windows::SElementKindUse* kinds = Windows::GetStyledElementKinds(&count);
        for (size_t i = 0; kinds && i < count; ++i) {
            SUse& use = m_used[kinds[i].type];
            use.states = std::max(use.states, kinds[i].states);
            std::wstring user = kinds[i].user ? kinds[i].user : L"?";
            if (use.users.find(user) == std::wstring::npos)
                use.users += (use.users.empty() ? L"" : L", ") + user;
        }
        if (const CSection* fonts = ini.FindSection(L"Fonts")) {
            for (int i = 0; i < fonts->GetLineCount(); ++i)
                m_fonts.insert(AsciiLower(fonts->GetLine(i)->GetLabel()));
        }
        if (const CSection* cursors = ini.FindSection(L"Cursors")) {
            for (int i = 0; i < cursors->GetLineCount(); ++i)
                m_cursors.push_back(cursors->GetLine(i)->GetLabel());
        }
    }

    void Run()
    {
        std::set<std::wstring> seen;
        for (int i = 0; i < m_ini.GetSectionCount(); ++i) {
            const CSection& section = *m_ini.GetSection(i);
            if (!seen.insert(AsciiLower(section.GetName())).second) {
                Warning(section.GetName(), L"", L"repeated section; only the first [" +
                                                    section.GetName() + L"] is read");
                continue;
            }
            CheckSection(section);
        }
        const CLine* simple = m_ini.FindFirstLine(L"Config", L"IsSimple");
        if (!simple || !simple->ReadContentAsBool())
            CheckKinds();
        m_contents.ReportUnnamed(m_report.findings);
    }

private:
    void Add(ESeverity severity, const std::wstring& section, const std::wstring& key,
             const std::wstring& message)
    {
        m_report.findings.push_back({severity, section, key, message});
    }
    void Error(const std::wstring& section, const std::wstring& key, const std::wstring& message)
    {
        Add(ESeverity::Error, section, key, message);
    }
    void Warning(const std::wstring& section, const std::wstring& key, const std::wstring& message)
    {
        Add(ESeverity::Warning, section, key, message);
    }

    static SSectionName ParseName(const std::wstring& name)
    {
        SSectionName parsed;
        for (int i = 0; i < int(std::size(kSpecialSections)); ++i) {
            if (EqualNoCase(name, kSpecialSections[i])) {
                parsed.what = SSectionName::Special;
                parsed.special = i;
                return parsed;
            }
        }
        std::wstring rest = name;
        size_t at = name.find(L'@');
        if (at != std::wstring::npos) {
            parsed.word = name.substr(0, at);
            rest = name.substr(at + 1);
            if (parsed.word.empty()) {
                parsed.why = L"a part word (Back, Fore) must stand before '@'";
                return parsed;
            }
        }
        size_t dot = rest.find(L'.');
        std::wstring className = rest.substr(0, dot);
        if (dot != std::wstring::npos && dot + 1 == rest.size()) {
            parsed.why = L"an empty sub-name after '.'";
            return parsed;
        }
        parsed.kind = KindOfClass(className);
        if (parsed.kind < 0) {
            parsed.why = L"'" + className + L"' is no element kind";
            std::wstring trimmed = TrimmedName(name);
            if (trimmed != name && ParseName(trimmed).what != SSectionName::Unknown) {
                parsed.why += L"; names are not trimmed inside the brackets: [" + trimmed + L"] is another";
                return parsed;
            }
            std::vector<std::wstring> names = KindNames();
            if (at == std::wstring::npos)
                names.insert(names.end(), std::begin(kSpecialSections), std::end(kSpecialSections));
            std::wstring guess = Closest(className, names);
            if (!guess.empty())
                parsed.why += L"; did you mean [" +
                              name.substr(0, at == std::wstring::npos ? 0 : at + 1) + guess +
                              rest.substr(className.size()) + L"]?";
            return parsed;
        }
        parsed.exact = dot == std::wstring::npos;
        if (at == std::wstring::npos)
            parsed.what = SSectionName::Main;
        else if (EqualNoCase(parsed.word, L"Back"))
            parsed.what = SSectionName::Back;
        else if (EqualNoCase(parsed.word, L"Fore"))
            parsed.what = SSectionName::Fore;
        else
            parsed.what = SSectionName::Custom;
        return parsed;
    }

    static std::wstring TrimmedName(const std::wstring& name)
    {
        size_t first = name.find_first_not_of(L" \t");
        if (first == std::wstring::npos)
            return std::wstring();
        return name.substr(first, name.find_last_not_of(L" \t") - first + 1);
    }

    void CheckSection(const CSection& section)
    {
        const std::wstring& name = section.GetName();
        SSectionName parsed = ParseName(name);
        switch (parsed.what) {
        case SSectionName::Unknown:
            Warning(name, L"", L"unknown section: " + parsed.why);
            return;
        case SSectionName::Custom:
            Warning(name, L"", L"unknown section: no control reads custom sections '" +
                                   parsed.word + L"@'; only Back@ and Fore@ are read");
            return;
        case SSectionName::Special:
            CheckSpecial(section, parsed.special);
            return;
        case SSectionName::Main:
            CheckKeys(section, kMain, parsed.kind, 0);
            return;
        case SSectionName::Back:
        case SSectionName::Fore:
            CheckLayer(section, parsed);
            return;
        }
    }

    void CheckSpecial(const CSection& section, int special)
    {
        const std::wstring& name = section.GetName();
        if (special == kConfigSection) {
            CheckKeys(section, kConfig, -1, 0);
            return;
        }
        std::set<std::wstring> labels;
        for (int i = 0; i < section.GetLineCount(); ++i) {
            const CLine& line = *section.GetLine(i);
            const std::wstring& label = line.GetLabel();
            if (!FirstOfLabel(section, line, labels))
                continue;
            const std::wstring& content = line.GetContent();
            switch (special) {
            case kFontsSection:
                if (label[0] != L'$')
                    Warning(name, label, L"font names start with '$'; no Font= can name this one");
                CheckFontWords(section, line);
                break;
            case kCursorsSection:
                if (label[0] != L'$')
                    Warning(name, label, L"cursor names start with '$'; no Cursor= can name this one");
                if (content.empty())
                    Warning(name, label, L"names no cursor resource");
                else
                    CheckCursorResource(name, label, content);
                break;
            case kBitmapPositionSection: {
                SBitmap bitmap = m_contents.Bitmap(label);
                if (bitmap.state == EState::Absent)
                    Error(name, label, L"no bitmap " + ResourceName(label) + L" in " + m_contents.Place());
                else if (bitmap.state == EState::Damaged)
                    Error(name, label, L"bitmap " + ResourceName(label) + L" is damaged: " + kUnusableBitmap);
                CheckValue(section, line, SKnownKey{0, L"", EValue::Size});
                break;
            }
            }
        }
    }

    // Back@ and Fore@: the Type decides which keys are read.
    void CheckLayer(const CSection& section, const SSectionName& parsed)
    {
        const std::wstring& name = section.GetName();
        const bool back = parsed.what == SSectionName::Back;
        const wchar_t* layer = back ? L"background" : L"foreground";
        unsigned roles = back ? kBack : kFore;
        // Without a Type the keys of every type of the layer pass.
        if (const CLine* type = section.FindLine(L"Type")) {
            const std::wstring& word = type->GetContent();
            if (back && (EqualNoCase(word, L"FillImage") || EqualNoCase(word, L"BorderImage")))
                roles = kBackImage;
            else if (back && (EqualNoCase(word, L"FillColor") || EqualNoCase(word, L"BorderColor")))
                roles = kBackColor;
            else if (!back && EqualNoCase(word, L"ImageGlyph"))
                roles = kForeImage;
            else if (!back && EqualNoCase(word, L"Text"))
                roles = kForeText;
        } else {
            Warning(name, L"Type", std::wstring(L"missing: the element has no ") + layer);
        }

        const SUse* use = nullptr;
        if (parsed.exact) {
            auto found = m_used.find(parsed.kind);
            use = found != m_used.end() ? &found->second : nullptr;
        }
        const std::wstring kindName = S::GetPainterClassName(parsed.kind);
        auto fewer = [&](int have, const wchar_t* what) {
            std::wstring beyond = have + 1 == use->states
                                      ? L"state " + std::to_wstring(have) + L" draws"
                                      : L"states " + std::to_wstring(have) + L" to " +
                                            std::to_wstring(use->states - 1) + L" draw";
            return std::to_wstring(have) + what + L", but " + use->users + L" paints " + kindName +
                   L" in " + std::to_wstring(use->states) + L" states; " + beyond + L" as state 0";
        };

        int stateCount = 0;
        if (roles == kBackColor || roles == kForeText) {
            const CLine* line = section.FindLine(L"StateCount");
            stateCount = line ? line->ReadContentAsInt() : 0;
            if (!line)
                Warning(name, L"StateCount", std::wstring(L"missing: the element has no ") + layer);
            else if (stateCount < 1)
                Warning(name, L"StateCount", line->GetContent() + L": the element has no " + layer);
            else if (stateCount > Style::CTextForegrounPainter::kMaxStates)
                Warning(name, L"StateCount",
                        L"only the first " + std::to_wstring(Style::CTextForegrounPainter::kMaxStates) +
                            L" states are read");
            else if (use && stateCount < use->states)
                Warning(name, L"StateCount", fewer(stateCount, L" states"));
        }
        CheckKeys(section, roles, parsed.kind, stateCount);

        if (roles != kBackImage && roles != kForeImage)
            return;
        const std::wstring file = S::ReadImageFileName(&section, 0);
        const int count = S::ReadImageCount(&section);
        if (count < 1)
            Warning(name, L"ImageCount", std::to_wstring(count) + L" images cannot cut a strip; reads as 1");
        const int images = std::max(count, 1);
        if (file.empty()) {
            Warning(name, L"ImageFile", std::wstring(L"missing: the element has no ") + layer);
        } else {
            SBitmap bitmap = m_contents.Bitmap(file);
            if (bitmap.state == EState::Absent) {
                Error(name, L"ImageFile", L"no bitmap " + file + L" in " + m_contents.Place());
            } else if (bitmap.state == EState::Damaged) {
                Error(name, L"ImageFile", L"bitmap " + file + L" is damaged: " + kUnusableBitmap);
            } else {
                bool horizontal = S::ReadImageLayout(&section) == Images::CImageArray::Horizontal;
                int side = horizontal ? bitmap.width : bitmap.height;
                if (side % images != 0)
                    Error(name, L"ImageCount",
                          file + L" is " + std::to_wstring(side) +
                              (horizontal ? L" pixels wide" : L" pixels high") +
                              L", which does not divide into " + std::to_wstring(images) + L" images");
            }
        }
        if (use && images < use->states)
            Error(name, L"ImageCount", fewer(images, L" images"));
    }

    // False for a label given before in the section (lookups find the first).
    bool FirstOfLabel(const CSection& section, const CLine& line, std::set<std::wstring>& labels)
    {
        const std::wstring& label = line.GetLabel();
        if (label.empty()) {
            Warning(section.GetName(), L"", L"a line without a key ('=" + line.GetContent() +
                                                L"') is never read");
            return false;
        }
        if (!labels.insert(AsciiLower(label)).second) {
            Warning(section.GetName(), label, L"given again; only the first is read");
            return false;
        }
        return true;
    }

    static const SKnownKey* FindKey(const std::wstring& label, unsigned roles, int kind)
    {
        for (const SKnownKey& key : KnownKeys()) {
            if ((key.roles & roles) && EqualNoCase(label, key.key) &&
                (!(roles & kMain) || HasKind(key.kinds, kind)))
                return &key;
        }
        return nullptr;
    }

    void CheckKeys(const CSection& section, unsigned roles, int kind, int stateCount)
    {
        const std::wstring& name = section.GetName();
        std::set<std::wstring> labels;
        for (int i = 0; i < section.GetLineCount(); ++i) {
            const CLine& line = *section.GetLine(i);
            if (!FirstOfLabel(section, line, labels))
                continue;
            const std::wstring& label = line.GetLabel();
            const SKnownKey* key = FindKey(label, roles, kind);
            if (!key) {
                // A per-state key: the state number appended, as "%s%d" forms it.
                size_t digits = label.find_last_not_of(L"0123456789") + 1;
                const SKnownKey* base = digits > 0 && digits < label.size()
                                            ? FindKey(label.substr(0, digits), roles, kind)
                                            : nullptr;
                if (base && base->perState) {
                    std::wstring number = label.substr(digits);
                    if ((number.size() > 1 && number[0] == L'0') || number.size() > 9) {
                        Warning(name, label, L"never read: states are numbered without leading zeros (" +
                                                 std::wstring(base->key) + L"1)");
                        continue;
                    }
                    int state = std::stoi(number);
                    if (stateCount > 0 && state >= stateCount) {
                        Warning(name, label, L"never read: state " + number + L" is beyond StateCount=" +
                                                 std::to_wstring(stateCount));
                        continue;
                    }
                    key = base;
                }
            }
            if (!key) {
                Warning(name, label, UnknownKey(label, roles, kind));
                continue;
            }
            CheckValue(section, line, *key);
        }
    }

    static std::wstring UnknownKey(const std::wstring& label, unsigned roles, int kind)
    {
        size_t digits = label.find_last_not_of(L"0123456789") + 1;
        std::wstring base = digits > 0 ? label.substr(0, digits) : label;
        std::wstring places;
        for (const SKnownKey& key : KnownKeys()) {
            if (EqualNoCase(label, key.key) || (key.perState && EqualNoCase(base, key.key)))
                places += (places.empty() ? L"" : L"; ") + RolePlaces(key.roles, key.kinds);
        }
        if (!places.empty())
            return L"unknown key here; it is read only in " + places;
        std::vector<std::wstring> candidates;
        for (const SKnownKey& key : KnownKeys()) {
            if ((key.roles & roles) && (!(roles & kMain) || HasKind(key.kinds, kind)))
                candidates.push_back(key.key);
        }
        std::wstring guess = Closest(label, candidates);
        if (!guess.empty())
            return L"unknown key; did you mean " + guess + L"?";
        return L"unknown key: nothing in the library reads it";
    }

    void CheckValue(const CSection& section, const CLine& line, const SKnownKey& key)
    {
        const std::wstring& name = section.GetName();
        const std::wstring& label = line.GetLabel();
        const std::wstring& content = line.GetContent();
        const std::wstring quoted = L"'" + content + L"'";
        switch (key.value) {
        case EValue::Bool:
            if (!EqualNoCase(content, L"true") && !EqualNoCase(content, L"false"))
                Warning(name, label, quoted + L" reads as false; only 'true' is true");
            break;
        case EValue::Int:
        case EValue::Count:
            if (!IsCleanInteger(content))
                Warning(name, label, quoted + L" is not a whole number; reads as " +
                                         std::to_wstring(line.ReadContentAsInt()));
            break;
        case EValue::Colour:
            if (line.GetFieldCount() != 3) {
                Warning(name, label, quoted + L" is not a colour (red, green, blue)");
            } else {
                for (int i = 0; i < 3; ++i) {
                    std::wstring field;
                    line.ReadContentField(i, field);
                    if (!IsCleanInteger(field) || Resource::ParseInt(field.c_str()) < 0 ||
                        Resource::ParseInt(field.c_str()) > 255) {
                        Warning(name, label, quoted + L": each part is a number from 0 to 255");
                        break;
                    }
                }
            }
            break;
        case EValue::Rect:
            if (line.GetFieldCount() != 4)
                Warning(name, label, quoted + L" needs four numbers: left, right, top, bottom");
            break;
        case EValue::Size:
            if (line.GetFieldCount() != 2)
                Warning(name, label, quoted + L" needs two numbers: width, height");
            break;
        case EValue::Font:
            if (!content.empty() && content[0] == L'$') {
                if (!m_fonts.count(AsciiLower(content)))
                    Warning(name, label, L"font " + content + L" is not in [Fonts]; the default font is used");
            } else {
                CheckFontWords(section, line);
            }
            break;
        case EValue::Cursor:
            if (content.empty())
                Warning(name, label, L"empty: no cursor");
            else if (content[0] == L'$')
                CheckNamedCursor(name, label, content);
            else
                CheckCursorResource(name, label, content);
            break;
        case EValue::Bitmap:
            break;  // with the strip it cuts, in CheckLayer
        case EValue::Word: {
            std::vector<std::wstring> words = SplitWords(key.words);
            if (std::none_of(words.begin(), words.end(),
                             [&](const std::wstring& word) { return EqualNoCase(content, word.c_str()); })) {
                std::wstring list;
                for (const std::wstring& word : words)
                    list += (list.empty() ? L"" : L", ") + word;
                Warning(name, label, quoted + L" is not one of " + list);
            }
            break;
        }
        }
    }

    void CheckFontWords(const CSection& section, const CLine& line)
    {
        for (int i = 0; i < line.GetFieldCount(); ++i) {
            std::wstring word;
            line.ReadContentField(i, word);
            bool known = std::any_of(std::begin(kFontWords), std::end(kFontWords), [&](const wchar_t* w) {
                size_t n = wcslen(w);
                return w[n - 1] == L':' ? StartsWithNoCase(word, w) && word.size() > n
                                        : EqualNoCase(word, w);
            });
            if (!known)
                Warning(section.GetName(), line.GetLabel(), L"font word '" + word + L"' is ignored");
        }
    }

    // Named cursors compare exactly, unlike every other name.
    void CheckNamedCursor(const std::wstring& section, const std::wstring& key, const std::wstring& name)
    {
        if (std::find(m_cursors.begin(), m_cursors.end(), name) != m_cursors.end())
            return;
        std::wstring message = L"cursor " + name + L" is not in [Cursors]";
        for (const std::wstring& label : m_cursors) {
            if (EqualNoCase(label, name.c_str())) {
                message += L"; cursor names compare exactly, and [Cursors] has " + label;
                break;
            }
        }
        Error(section, key, message);
    }

    void CheckCursorResource(const std::wstring& section, const std::wstring& key,
                             const std::wstring& name)
    {
        EState state = m_contents.Cursor(name);
        if (state == EState::Absent)
            Error(section, key, L"no cursor " + ResourceName(name) + L" in " + m_contents.Place());
        else if (state == EState::Damaged)
            Error(section, key, L"cursor " + ResourceName(name) + L" is damaged");
    }

    void CheckKinds()
    {
        for (const auto& [type, use] : m_used) {
            const wchar_t* name = S::GetPainterClassName(type);
            if (!name)
                continue;
            std::wstring kind = name;
            if (!m_ini.FindSection(name) && !m_ini.FindSection((L"Back@" + kind).c_str()) &&
                !m_ini.FindSection((L"Fore@" + kind).c_str()))
                Error(kind, L"", L"missing: painted by " + use.users + L", but the pack has no [" +
                                     kind + L"], [Back@" + kind + L"] or [Fore@" + kind + L"]");
        }
    }

    const Resource::CIniReader& m_ini;
    CPackContents& m_contents;
    SCheckReport& m_report;
    std::map<int, SUse> m_used;
    std::set<std::wstring> m_fonts;      // [Fonts] labels, lower case
    std::vector<std::wstring> m_cursors;  // [Cursors] labels as written
};

void PackError(SCheckReport& report, const std::wstring& message)
{
    report.findings.push_back({ESeverity::Error, L"", L"", message});
}

void CheckIni(const Resource::CIniReader& ini, CPackContents& contents, SCheckReport& report)
{
    if (ini.GetSectionCount() == 0) {
        PackError(report, L"STYLE.INI holds no [section]");
        return;
    }
    CChecker(ini, contents, report).Run();
}

void CheckFolder(const std::wstring& folder, SCheckReport& report)
{
    SPackSources sources;
    std::wstring error;
    if (!ListPackSources(folder, sources, error)) {
        PackError(report, error);
        return;
    }
    if (sources.styleIni.empty()) {
        PackError(report, L"no STYLE.INI in the folder; every pack needs its main INI file");
        return;
    }
    std::wstring text;
    if (!ReadSourceText(sources.styleIni, text, error)) {
        PackError(report, error);
        return;
    }
    Resource::CIniReader ini;
    ini.LoadFromMemory(text.data(), text.size() * sizeof(wchar_t));
    CFolderContents contents(sources);
    CheckIni(ini, contents, report);
}

void CheckModule(const std::wstring& path, SCheckReport& report)
{
    std::wstring problem;
    if (!CheckModuleFile(path, problem)) {
        PackError(report, problem);
        return;
    }
    CResourceReader reader;
    if (!reader.Open(path.c_str())) {
        PackError(report, L"not a style pack: the module cannot be loaded");
        return;
    }
    CModuleContents contents(reader);
    const BYTE* data;
    DWORD size;
    switch (contents.Data(L"INIFILES", L"STYLE.INI", data, size)) {
    case EState::Absent:
        PackError(report, L"no STYLE.INI (resource INIFILES/STYLE.INI); the library cannot load this pack");
        return;
    case EState::Damaged:
        PackError(report, L"damaged: STYLE.INI lies outside the module");
        return;
    case EState::Sound:
        break;
    }
    if (contents.InternalName().empty())
        PackError(report, L"no internal name (string 101 in the neutral language); the style "
                          L"manager skips this pack");
    Resource::CIniReader ini;
    ini.LoadFromMemory(data, size);
    CheckIni(ini, contents, report);
}

}  // namespace

SCheckReport CheckPack(const std::wstring& pack)
{
    SCheckReport report;
    try {
        DWORD attributes = GetFileAttributesW(pack.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            PackError(report, L"no such file or folder");
        else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            CheckFolder(pack, report);
        else
            CheckModule(pack, report);
    } catch (...) {
        PackError(report, L"the check stopped on an unexpected failure; the pack is damaged");
    }
    return report;
}

}  // namespace Spk
