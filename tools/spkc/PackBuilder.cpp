#include "tools/spkc/PackBuilder.h"

#include <algorithm>
#include <cwctype>
#include <cstdlib>
#include <map>
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/resource/ResourceUpdate.h"
#include "tools/spkc/SourceMap.h"

extern "C" const unsigned char kEmptyModule[];
extern "C" const unsigned kEmptyModuleSize;

namespace Spk {

const wchar_t kFolderLayout[] =
    L"A pack's source folder holds:\n"
    L"  STYLE.INI          the pack's main INI text (required); UTF-16 (as the pack\n"
    L"                     stores it) or UTF-8, which is converted\n"
    L"  *.bmp              bitmaps; resource name = file name in upper case\n"
    L"                     (Button.bmp -> BUTTON.BMP), as STYLE.INI names them\n"
    L"  *.cur, *.ico       cursors and icons, named the same way\n"
    L"  Strings.ini        [Strings] lines id=text in the neutral language; string\n"
    L"                     101 is the pack's internal name (default: folder name)\n"
    L"  Strings_XXXX.ini   [Strings] in language XXXX (hex, e.g. Strings_0804.ini);\n"
    L"                     string 101 is the name shown to users of that language\n"
    L"Other files are ignored. The build time is stored as the pack's time stamp.\n";

const wchar_t kUnusableBitmap[] =
    L"not a usable bitmap (an uncompressed or RLE device-independent bitmap whose colours "
    L"and pixels fit in the file)";

namespace {

constexpr UINT kPackNameId = 101;

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/')
        return folder + name;
    return folder + L"\\" + name;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix)
{
    size_t n = wcslen(suffix);
    return text.size() >= n && Resource::EqualNoCase(text.substr(text.size() - n), suffix);
}

std::wstring LastError()
{
    DWORD code = GetLastError();
    wchar_t* message = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = message ? message : L"";
    LocalFree(message);
    while (!text.empty() && std::iswspace(text.back()))
        text.pop_back();
    return text.empty() ? L"system error " + std::to_wstring(code) : text;
}

// "Strings_0804.ini" -> 0x0804; "Strings.ini" -> 0 (neutral).
bool StringFileLanguage(const std::wstring& name, WORD& language)
{
    if (Resource::EqualNoCase(name, L"Strings.ini")) {
        language = 0;
        return true;
    }
    const std::wstring prefix = L"strings_";
    if (name.size() <= prefix.size() + 4 || !EndsWithNoCase(name, L".ini") ||
        !Resource::EqualNoCase(name.substr(0, prefix.size()), prefix.c_str()))
        return false;
    std::wstring hex = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    if (hex.empty() || hex.size() > 4 ||
        !std::all_of(hex.begin(), hex.end(), [](wchar_t c) { return std::iswxdigit(c); }))
        return false;
    language = static_cast<WORD>(wcstoul(hex.c_str(), nullptr, 16));
    return true;
}

// Reads the [Strings] of path into strings; every bad line is an error
// with its line number.
bool ReadStrings(const std::wstring& path, std::map<UINT, std::wstring>& strings, SBuildReport& report)
{
    std::wstring text, error;
    if (!ReadSourceText(path, text, error)) {
        report.errors.push_back(error);
        return false;
    }
    CIniSourceMap where(text);
    report.AddNotes(path, where);
    Resource::CIniReader ini;
    ini.LoadFromMemory(text.data(), text.size() * sizeof(wchar_t));
    if (!ini.FindSection(L"Strings")) {
        report.Error(path, 0, L"has no [Strings] section");
        return false;
    }
    size_t errors = report.errors.size();
    std::map<std::wstring, size_t> seen;
    for (Resource::POSITION pos = ini.GetFirstLinePosition(L"Strings"); pos;) {
        const Resource::CLine* line = ini.GetNextLine(pos);
        const std::wstring& label = line->GetLabel();
        int at = where.KeyLine(L"Strings", label, seen[label]++);
        if (label.empty() ||
            !std::all_of(label.begin(), label.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }) ||
            label.size() > 5 || Resource::ParseInt(label.c_str()) > 0xFFFF) {
            report.Error(path, at, L"\"" + label + L"\" is not a string number (0 to 65535)");
        } else if (line->GetContent().size() > 0xFFFF) {
            report.Error(path, at, L"string " + label + L" is longer than 65535 characters");
        } else if (!strings.emplace(Resource::ParseInt(label.c_str()), line->GetContent()).second) {
            report.Error(path, at, L"string " + label + L" is given twice");
        }
    }
    return report.errors.size() == errors;
}

// "8 strings in 0409, 2 neutral" for the list of what was packed.
std::wstring DescribeStrings(const std::map<WORD, std::map<UINT, std::wstring>>& strings)
{
    std::wstring text;
    for (const auto& [language, table] : strings) {
        wchar_t name[16];
        swprintf(name, 16, language ? L"%04x" : L"neutral", language);
        text += (text.empty() ? L"" : L", ") + std::to_wstring(table.size()) + L" " + name;
    }
    return L"strings: " + text;
}

std::wstring DescribeBitmap(const SSourceFile& bitmap, const std::vector<BYTE>& bytes)
{
    auto info = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data() + sizeof(BITMAPFILEHEADER));
    return ResourceName(bitmap.name) + L" from " + bitmap.name + L": " + std::to_wstring(info->biWidth) +
           L" x " + std::to_wstring(std::abs(info->biHeight)) + L", " + std::to_wstring(info->biBitCount) +
           L" bits";
}

// Writes the empty module to temp, runs write() on an update of it, commits,
// checks the result and renames it over output.
template <class Write>
bool BuildModule(const std::wstring& output, std::wstring& error, Write write)
{
    const std::wstring temp = output + L".partial";
    DeleteFileW(temp.c_str());
    if (!WriteEmptyModule(temp)) {
        error = temp + L": cannot be written: " + LastError();
        DeleteFileW(temp.c_str());
        return false;
    }

    Resource::CResourceUpdate update;
    bool built = false;
    if (!update.BeginUpdate(temp.c_str(), true)) {
        error = temp + L": cannot be opened for resource update: " + LastError();
    } else if (!write(update)) {
        update.CancelUpdate();
    } else if (!update.EndUpdate()) {
        error = temp + L": writing the resources failed: " + LastError();
    } else {
        built = true;
    }
    if (built) {
        // A module the reader cannot open is never handed on.
        Resource::CResourceReader check;
        DWORD size = 0;
        if (!check.Open(temp.c_str()) ||
            !check.ReadCustomData(MAKEINTRESOURCEW(Resource::CResourceUpdate::kTimeStampType),
                                  MAKEINTRESOURCEW(Resource::CResourceUpdate::kTimeStampId),
                                  &size) ||
            size != sizeof(SYSTEMTIME)) {
            error = temp + L": the written module does not read back";
            built = false;
        }
    }
    if (built && !MoveFileExW(temp.c_str(), output.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = output + L": cannot be replaced: " + LastError();
        built = false;
    }
    if (!built)
        DeleteFileW(temp.c_str());
    return built;
}

}  // namespace

bool WriteEmptyModule(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, kEmptyModule, kEmptyModuleSize, &written, nullptr);
    CloseHandle(file);
    return ok && written == kEmptyModuleSize;
}

bool ReadFileBytes(const std::wstring& path, std::vector<BYTE>& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

bool DecodeText(const std::vector<BYTE>& bytes, std::wstring& text)
{
    text.clear();
    size_t n = bytes.size();
    auto utf16 = [&](size_t start, bool bigEndian) {
        if ((n - start) % 2)
            return false;
        for (size_t i = start; i < n; i += 2)
            text.push_back(static_cast<wchar_t>(bigEndian ? bytes[i] << 8 | bytes[i + 1]
                                                          : bytes[i] | bytes[i + 1] << 8));
        return true;
    };
    if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return utf16(2, false);
    if (n >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return utf16(2, true);
    // UTF-8 text never holds a zero byte; UTF-16 of Latin text is full of them.
    if (std::find(bytes.begin(), bytes.end(), 0) != bytes.end())
        return utf16(0, false);
    size_t start = n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    if (start == n)
        return true;
    auto source = reinterpret_cast<const char*>(bytes.data() + start);
    int length = static_cast<int>(n - start);
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, source, length, nullptr, 0);
    if (units <= 0)
        return false;
    text.resize(units);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, source, length, text.data(), units);
    return true;
}

bool ListPackSources(const std::wstring& folder, SPackSources& sources, std::wstring& error)
{
    sources = SPackSources();
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = folder + L": no such folder";
        return false;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(Join(folder, L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::wstring name = found.cFileName;
            SSourceFile source{name, Join(folder, name)};
            WORD language;
            if (Resource::EqualNoCase(name, L"STYLE.INI"))
                sources.styleIni = source.path;
            else if (EndsWithNoCase(name, L".bmp"))
                sources.bitmaps.push_back(source);
            else if (EndsWithNoCase(name, L".cur"))
                sources.cursors.push_back(source);
            else if (EndsWithNoCase(name, L".ico"))
                sources.icons.push_back(source);
            else if (StringFileLanguage(name, language))
                sources.stringFiles[language] = source.path;
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    auto byName = [](const SSourceFile& a, const SSourceFile& b) { return a.name < b.name; };
    std::sort(sources.bitmaps.begin(), sources.bitmaps.end(), byName);
    std::sort(sources.cursors.begin(), sources.cursors.end(), byName);
    std::sort(sources.icons.begin(), sources.icons.end(), byName);
    return true;
}

bool ReadSourceText(const std::wstring& path, std::wstring& text, std::wstring& error)
{
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(path, bytes)) {
        error = path + L": cannot be read: " + LastError();
        return false;
    }
    if (!DecodeText(bytes, text)) {
        error = path + L": not UTF-16 or UTF-8 text";
        return false;
    }
    return true;
}

bool IsUsableBitmapFile(const std::vector<BYTE>& bytes)
{
    const size_t header = sizeof(BITMAPFILEHEADER);
    return bytes.size() > header && bytes[0] == 'B' && bytes[1] == 'M' &&
           Resource::CResourceReader::IsSoundPackedBitmap(bytes.data() + header,
                                                          static_cast<DWORD>(bytes.size() - header));
}

std::wstring ResourceName(std::wstring fileName)
{
    if (!fileName.empty())
        CharUpperBuffW(fileName.data(), static_cast<DWORD>(fileName.size()));
    return fileName;
}

bool BuildPack(const std::wstring& folder, const std::wstring& output, SBuildReport& report)
{
    report = SBuildReport();
    std::wstring error;
    // Gather and check every source before the module is touched.
    SPackSources sources;
    if (!ListPackSources(folder, sources, error)) {
        report.errors.push_back(error);
        return false;
    }
    const std::wstring& styleIni = sources.styleIni;
    std::wstring text;
    if (styleIni.empty()) {
        report.Error(Join(folder, L"STYLE.INI"), 0, L"missing; every pack needs its main INI file");
    } else if (!ReadSourceText(styleIni, text, error)) {
        report.errors.push_back(error);
    } else {
        report.AddNotes(styleIni, CIniSourceMap(text));
        Resource::CIniReader ini;
        ini.LoadFromMemory(text.data(), text.size() * sizeof(wchar_t));
        if (ini.GetSectionCount() == 0)
            report.Error(styleIni, 0, L"holds no [section]");
        else
            report.packed.push_back(L"STYLE.INI: " + std::to_wstring(ini.GetSectionCount()) + L" sections");
    }
    // The pack always stores UTF-16 LE with a byte-order mark.
    std::wstring iniText = L"\xFEFF" + text;

    std::vector<BYTE> bytes;
    for (const SSourceFile& bitmap : sources.bitmaps) {
        if (!ReadFileBytes(bitmap.path, bytes))
            report.Error(bitmap.path, 0, L"cannot be read: " + LastError());
        else if (!IsUsableBitmapFile(bytes))
            report.Error(bitmap.path, 0, kUnusableBitmap);
        else
            report.packed.push_back(DescribeBitmap(bitmap, bytes));
    }
    for (const SSourceFile& cursor : sources.cursors)
        report.packed.push_back(ResourceName(cursor.name) + L" from " + cursor.name + L": cursor");
    for (const SSourceFile& icon : sources.icons)
        report.packed.push_back(ResourceName(icon.name) + L" from " + icon.name + L": icon");

    std::map<WORD, std::map<UINT, std::wstring>> strings;
    const auto& stringFiles = sources.stringFiles;
    for (const auto& [language, path] : stringFiles)
        ReadStrings(path, strings[language], report);
    if (!report.errors.empty()) {
        report.packed.clear();
        return false;
    }
    auto& neutral = strings[0];
    if (!neutral.count(kPackNameId)) {
        std::wstring name = folder;
        while (!name.empty() && (name.back() == L'\\' || name.back() == L'/'))
            name.pop_back();
        size_t slash = name.find_last_of(L"\\/:");
        neutral[kPackNameId] = slash == std::wstring::npos ? name : name.substr(slash + 1);
    }
    report.packed.push_back(DescribeStrings(strings));

    bool built = BuildModule(output, error, [&](Resource::CResourceUpdate& update) {
        if (!update.Update(0, L"INIFILES", L"STYLE.INI", iniText.data(),
                           static_cast<DWORD>(iniText.size() * sizeof(wchar_t)))) {
            error = styleIni + L": cannot be stored: " + LastError();
            return false;
        }
        for (const SSourceFile& bitmap : sources.bitmaps) {
            if (!update.UpdateBitmapFromFile(0, ResourceName(bitmap.name).c_str(), bitmap.path.c_str())) {
                error = bitmap.path + L": cannot be stored: " + LastError();
                return false;
            }
        }
        for (const SSourceFile& cursor : sources.cursors) {
            if (!update.UpdateCursorFromFile(0, ResourceName(cursor.name).c_str(), cursor.path.c_str())) {
                error = cursor.path + L": not a valid cursor file";
                return false;
            }
        }
        for (const SSourceFile& icon : sources.icons) {
            if (!update.UpdateIconFromFile(0, ResourceName(icon.name).c_str(), icon.path.c_str())) {
                error = icon.path + L": not a valid icon file";
                return false;
            }
        }
        for (const auto& [language, table] : strings) {
            if (!update.UpdateStringTable(language, table)) {
                error = (stringFiles.count(language) ? stringFiles.at(language) : folder) +
                        L": the strings cannot be stored: " + LastError();
                return false;
            }
        }
        return true;
    });
    if (!built) {
        report.errors.push_back(error);
        report.packed.clear();
    }
    return built;
}

bool BuildPack(const std::wstring& folder, const std::wstring& output, std::wstring& error)
{
    SBuildReport report;
    bool built = BuildPack(folder, output, report);
    error = report.Errors();
    return built;
}

bool BuildLanguageModule(const std::wstring& stringFile, WORD language,
                         const std::wstring& output, SBuildReport& report)
{
    report = SBuildReport();
    std::map<UINT, std::wstring> strings;
    if (!ReadStrings(stringFile, strings, report))
        return false;
    std::wstring error;
    bool built = BuildModule(output, error, [&](Resource::CResourceUpdate& update) {
        if (!update.UpdateStringTable(language, strings)) {
            error = stringFile + L": the strings cannot be stored: " + LastError();
            return false;
        }
        return true;
    });
    if (built)
        report.packed.push_back(DescribeStrings({{language, strings}}));
    else
        report.errors.push_back(error);
    return built;
}

bool BuildLanguageModule(const std::wstring& stringFile, WORD language,
                         const std::wstring& output, std::wstring& error)
{
    SBuildReport report;
    bool built = BuildLanguageModule(stringFile, language, output, report);
    error = report.Errors();
    return built;
}

void SBuildReport::Error(const std::wstring& file, int line, const std::wstring& message)
{
    errors.push_back(Where(file, line) + message);
}

void SBuildReport::AddNotes(const std::wstring& file, const CIniSourceMap& map)
{
    for (const SSourceNote& note : map.Notes())
        warnings.push_back(Where(file, note.line) + note.message);
}

std::wstring SBuildReport::Where(const std::wstring& file, int line)
{
    return line > 0 ? file + L"(" + std::to_wstring(line) + L"): " : file + L": ";
}

std::wstring SBuildReport::Errors() const
{
    std::wstring text;
    for (const std::wstring& error : errors)
        text += (text.empty() ? L"" : L"\n") + error;
    return text;
}

}  // namespace Spk
