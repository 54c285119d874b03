#pragma once
// Building style packs (.spk) and language modules (.lng) from source
// files, with Orvel's own resource writer.
#include <windows.h>
#include <map>
#include <string>
#include <vector>

namespace Spk {

// Layout of a pack's source folder, for --help.
extern const wchar_t kFolderLayout[];
// Why a bitmap file is refused.
extern const wchar_t kUnusableBitmap[];

struct SSourceFile {
    std::wstring name;  // file name as found
    std::wstring path;
};

// The files of a pack's source folder by what they become; each list is
// sorted by name.
struct SPackSources {
    std::wstring styleIni;  // path; empty when the folder has none
    std::vector<SSourceFile> bitmaps, cursors, icons;
    std::map<WORD, std::wstring> stringFiles;  // by language, 0 = neutral
};

// False (and error) when folder is no folder.
bool ListPackSources(const std::wstring& folder, SPackSources& sources, std::wstring& error);

class CIniSourceMap;

// What a build found and did. Errors and warnings read "FILE(LINE): message"
// or "FILE: message"; a build with any error writes nothing.
struct SBuildReport {
    std::vector<std::wstring> errors;
    std::vector<std::wstring> warnings;  // the build goes on
    std::vector<std::wstring> packed;    // one line per stored item, when built

    void Error(const std::wstring& file, int line, const std::wstring& message);
    // The source map's notes on file, as warnings.
    void AddNotes(const std::wstring& file, const CIniSourceMap& map);
    // The errors, one per line.
    std::wstring Errors() const;
    static std::wstring Where(const std::wstring& file, int line);
};

// Builds output from the source folder. The pack is written to a temporary
// file beside output and renamed over it only when everything succeeded,
// so a failed build leaves any existing output untouched. On failure,
// the report names every bad file (and line) found.
bool BuildPack(const std::wstring& folder, const std::wstring& output, SBuildReport& report);
// The same with the errors as one text.
bool BuildPack(const std::wstring& folder, const std::wstring& output, std::wstring& error);

// A language module: the [Strings] section of stringFile in language.
bool BuildLanguageModule(const std::wstring& stringFile, WORD language,
                         const std::wstring& output, SBuildReport& report);
bool BuildLanguageModule(const std::wstring& stringFile, WORD language,
                         const std::wstring& output, std::wstring& error);

// Text of a source file as UTF-16: UTF-16 LE or BE with a byte-order mark,
// UTF-16 LE without one (recognised by its zero bytes), or UTF-8 with or
// without a mark. False for anything else.
bool DecodeText(const std::vector<BYTE>& bytes, std::wstring& text);

// A source text file decoded as DecodeText does; error names the file.
bool ReadSourceText(const std::wstring& path, std::wstring& text, std::wstring& error);

// A bitmap file (with its file header) the pack can store and the library
// can draw.
bool IsUsableBitmapFile(const std::vector<BYTE>& bytes);

// The resource name a source file is stored under: its name in upper case,
// which is how ImageFile= and cursor names find it.
std::wstring ResourceName(std::wstring fileName);

// The module packs start from: resources only, no code.
bool WriteEmptyModule(const std::wstring& path);

bool ReadFileBytes(const std::wstring& path, std::vector<BYTE>& bytes);

}  // namespace Spk
