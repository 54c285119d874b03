#pragma once
// Where the sections and keys of an INI source text stand, and the lines
// the library's reader would drop or misread, so that the compiler's
// messages can name a line.
#include <map>
#include <string>
#include <vector>

namespace Spk {

struct SSourceNote {
    int line;  // 1-based
    std::wstring message;
};

class CIniSourceMap {
public:
    // Reads text the way the library's reader splits it: lines end at line
    // feeds, ";" after the first character starts a comment, lines are
    // trimmed, "[" starts a section header, anything else is a key line.
    explicit CIniSourceMap(const std::wstring& text);

    // The line of the occurrence-th key line (0 = the first) labelled label
    // in the occurrence of section the library finds (its first); 0 when
    // there is none. Names compare without regard to ASCII case.
    int KeyLine(const std::wstring& section, const std::wstring& label, size_t occurrence = 0) const;
    int SectionLine(const std::wstring& section) const;

    // Lines the reader drops or that do not do what they seem to: keys
    // before the first section, headers without "]", names with spaces
    // inside the brackets, key lines without "=", sections and keys given
    // again (the first is the one read).
    const std::vector<SSourceNote>& Notes() const { return m_notes; }

private:
    using LineList = std::vector<int>;
    struct SSection {
        int line;
        std::map<std::wstring, LineList> keys;  // by folded label
    };
    std::map<std::wstring, SSection> m_sections;  // by folded name; the first only
    std::vector<SSourceNote> m_notes;
};

}  // namespace Spk
