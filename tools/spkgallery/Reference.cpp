#include "tools/spkgallery/Reference.h"

#include <windows.h>
#include <algorithm>
#include <map>
#include <vector>
#include "orvel/style/Style.h"
#include "orvel/windows/ElementKinds.h"
#include "tools/spkc/PackKeys.h"

namespace Gallery {

namespace {

using Style::CStyle;

// Kinds no styled control paints are listed this many to a row.
constexpr int kOtherKindsPerRow = 4;

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// Table cells hold no bars.
std::string Cell(const std::wstring& text)
{
    std::string out;
    for (char c : Utf8(text))
        out += c == '|' ? std::string("\\|") : std::string(1, c);
    return out;
}

struct SPainted {
    int states = 0;
    unsigned layers = 0;
    std::wstring users;
};

std::wstring Sections(const std::wstring& name, unsigned layers)
{
    std::wstring text = L"`[" + name + L"]`";
    if (layers & Windows::kBackLayer)
        text += L" `[Back@" + name + L"]`";
    if (layers & Windows::kForeLayer)
        text += L" `[Fore@" + name + L"]`";
    if (layers == Windows::kNoLayer)
        text += L" (keys and margins; its parts draw themselves)";
    return text;
}

std::wstring Words(const wchar_t* words)
{
    std::wstring list;
    for (const wchar_t* c = words; c && *c; ++c)
        list += *c == L'|' ? std::wstring(L", ") : std::wstring(1, *c);
    return list;
}

void KindTables(std::string& out)
{
    size_t count = 0;
    const Windows::SElementKindUse* uses = Windows::GetStyledElementKinds(&count);
    std::map<int, SPainted> painted;
    std::vector<int> order;
    for (size_t i = 0; i < count; ++i) {
        SPainted& kind = painted[uses[i].type];
        if (kind.users.empty())
            order.push_back(uses[i].type);
        kind.states = std::max(kind.states, uses[i].states);
        kind.layers |= uses[i].layers;
        std::wstring user = uses[i].user ? uses[i].user : L"";
        if (kind.users.find(user) == std::wstring::npos)
            kind.users += (kind.users.empty() ? L"" : L", ") + user;
    }

    out += "### Element kinds the styled windows paint\n\n";
    out += "| # | Kind | Painted by | States | Sections it draws from |\n";
    out += "|---:|---|---|---:|---|\n";
    for (int type : order) {
        const SPainted& kind = painted[type];
        std::wstring name = CStyle::GetPainterClassName(type);
        out += "| " + std::to_string(type) + " | " + Cell(name) + " | " + Cell(kind.users) + " | " +
               std::to_string(kind.states) + " | " + Cell(Sections(name, kind.layers)) + " |\n";
    }

    out += "\n### Other element kinds\n\n";
    out += "No styled control paints these; a host's own styled glyphs may ask for them by number.\n\n";
    std::string header = "|", rule = "|";
    for (int i = 0; i < kOtherKindsPerRow; ++i) {
        header += " # | Kind |";
        rule += "---:|---|";
    }
    out += header + "\n" + rule + "\n";
    int column = 0;
    for (int type = 0; type < CStyle::PainterTypeCount; ++type) {
        const wchar_t* name = CStyle::GetPainterClassName(type);
        if (!name || painted.count(type))
            continue;
        if (column == 0)
            out += "|";
        out += " " + std::to_string(type) + " | " + Cell(name) + " |";
        if (++column == kOtherKindsPerRow) {
            out += "\n";
            column = 0;
        }
    }
    if (column != 0) {
        for (; column < kOtherKindsPerRow; ++column)
            out += "  |  |";
        out += "\n";
    }
}

void KeyTable(std::string& out)
{
    out += "\n### Keys\n\n";
    out += "\"n\": per state, the state number appended (`TextColor2`), falling back to the key "
           "without a number, then to the default.\n\n";
    out += "| Key | Read in | Value | Default | Meaning |\n";
    out += "|---|---|---|---|---|\n";
    for (const Spk::SKnownKey& key : Spk::KnownKeys()) {
        std::wstring value = Spk::ValueSyntax(key.value);
        if (key.value == Spk::EValue::Word)
            value = L"one of " + Words(key.words);
        out += "| `" + Cell(key.key) + "`" + (key.perState ? " n" : "") + " | " +
               Cell(Spk::RolePlaces(key.roles, key.kinds)) + " | " + Cell(value) + " | " +
               Cell(key.byDefault) + " | " + Cell(key.meaning) + " |\n";
    }
}

}  // namespace

std::string ReferenceTables()
{
    std::string out;
    KindTables(out);
    KeyTable(out);
    return out;
}

bool ReplaceGenerated(std::string& document, const std::string& tables)
{
    size_t begin = document.find(kReferenceBegin);
    size_t end = document.find(kReferenceEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        return false;
    size_t from = document.find('\n', begin);
    if (from == std::string::npos || from > end)
        return false;
    document.replace(from + 1, end - from - 1, "\n" + tables + "\n");
    return true;
}

}  // namespace Gallery
