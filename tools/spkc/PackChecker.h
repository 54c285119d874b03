#pragma once
// spkc --check: what a style pack lacks that the styled windows paint, and
// what it holds that the library never reads.
#include <string>
#include <vector>

namespace Spk {

enum class ESeverity { Error, Warning };

struct SFinding {
    ESeverity severity;
    std::wstring section;  // without brackets; empty for the pack as a whole
    std::wstring key;      // empty for a whole section
    std::wstring message;
};

struct SCheckReport {
    std::vector<SFinding> findings;
    int Count(ESeverity severity) const;
};

// pack is a built pack (a .spk module) or a pack's source folder. Damaged
// input of any kind becomes an error finding; nothing is thrown.
SCheckReport CheckPack(const std::wstring& pack);

// One line, without a line break:
//   PACK: error: [Section] key: message
//   PACK: warning: [Section]: message      (the section as a whole)
//   PACK: error: message                   (the pack as a whole)
std::wstring FormatFinding(const std::wstring& pack, const SFinding& finding);

// What --check reports and how, for --help.
extern const wchar_t kCheckHelp[];

}  // namespace Spk
