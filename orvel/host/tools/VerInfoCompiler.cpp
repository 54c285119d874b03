// verinfoc: builds a version-information module (lang\VerInfo*.cfg) from an
// INI file. The whole text becomes the "INIFILES" resource "VERINFO.INI";
// its [Strings] section (1001 = the product version) the string table.
#include <cwchar>
#include <map>
#include <string>
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ResourceUpdate.h"
#include "tools/spkc/PackBuilder.h"

namespace {

int Fail(const std::wstring& message)
{
    fwprintf(stderr, L"verinfoc: %ls\n", message.c_str());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fwprintf(stderr, L"Usage: verinfoc LANGID SOURCE.ini OUTPUT.cfg\n"
                         L"  LANGID in hex (0804; 0 for the neutral language)\n");
        return 2;
    }
    wchar_t* end = nullptr;
    unsigned long language = wcstoul(argv[1], &end, 16);
    if (!*argv[1] || *end || language > 0xFFFF)
        return Fail(std::wstring(argv[1]) + L": not a language identifier");

    std::vector<BYTE> bytes;
    std::wstring text;
    if (!Spk::ReadFileBytes(argv[2], bytes) || !Spk::DecodeText(bytes, text))
        return Fail(std::wstring(argv[2]) + L": cannot be read as UTF-8 or UTF-16 text");

    Resource::CIniReader ini;
    ini.LoadFromMemory(text.data(), text.size() * sizeof(wchar_t));
    std::map<UINT, std::wstring> strings;
    for (Resource::POSITION pos = ini.GetFirstLinePosition(L"Strings"); pos;) {
        const Resource::CLine* line = ini.GetNextLine(pos);
        int id = Resource::ParseInt(line->GetLabel().c_str());
        if (id <= 0 || id > 0xFFFF)
            return Fail(std::wstring(argv[2]) + L": bad string number " + line->GetLabel());
        strings[static_cast<UINT>(id)] = line->GetContent();
    }

    const std::wstring output = argv[3];
    const std::wstring temp = output + L".partial";
    if (!Spk::WriteEmptyModule(temp))
        return Fail(temp + L": cannot be written");
    Resource::CResourceUpdate update;
    const WORD lang = static_cast<WORD>(language);
    std::wstring stored = L"\xFEFF" + text;
    bool ok = update.BeginUpdate(temp.c_str(), true) &&
              update.Update(lang, L"INIFILES", L"VERINFO.INI", stored.data(),
                            static_cast<DWORD>(stored.size() * sizeof(wchar_t))) &&
              (strings.empty() || update.UpdateStringTable(lang, strings)) && update.EndUpdate();
    if (!ok) {
        update.CancelUpdate();
        DeleteFileW(temp.c_str());
        return Fail(output + L": the resources cannot be written");
    }
    if (!MoveFileExW(temp.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return Fail(output + L": cannot be replaced");
    }
    return 0;
}
