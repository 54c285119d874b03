#pragma once
// Building style packs (.spk) and language modules (.lng) from source
// files, with Orvel's own resource writer.
#include <windows.h>
#include <string>
#include <vector>

namespace Spk {

// Layout of a pack's source folder, for --help.
extern const wchar_t kFolderLayout[];

// Builds output from the source folder. The pack is written to a temporary
// file beside output and renamed over it only when everything succeeded,
// so a failed build leaves any existing output untouched. On failure,
// error names the file and the problem.
bool BuildPack(const std::wstring& folder, const std::wstring& output, std::wstring& error);

// A language module: the [Strings] section of stringFile in language.
bool BuildLanguageModule(const std::wstring& stringFile, WORD language,
                         const std::wstring& output, std::wstring& error);

// Text of a source file as UTF-16: UTF-16 LE or BE with a byte-order mark,
// UTF-16 LE without one (recognised by its zero bytes), or UTF-8 with or
// without a mark. False for anything else.
bool DecodeText(const std::vector<BYTE>& bytes, std::wstring& text);

// The module packs start from: resources only, no code.
bool WriteEmptyModule(const std::wstring& path);

bool ReadFileBytes(const std::wstring& path, std::vector<BYTE>& bytes);

}  // namespace Spk
