// Parsing a large pack text and looking up every key once, against the
// platform's profile functions reading the same keys from the same file.
#include <windows.h>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>
#include "bench/BenchCommon.h"
#include "orvel/resource/IniReader.h"
#include "orvel/style/Style.h"

namespace {

using Key = std::pair<std::wstring, std::wstring>;

// Main, "Back@" and "Fore@" sections for every element kind, padded with
// state-numbered keys until the text reaches about targetBytes.
std::wstring MakeStyleText(size_t targetBytes, std::vector<Key>& keys)
{
    std::wstring text = L"\xFEFF[Config]\r\nIsSimple=false\r\n";
    keys.push_back({L"Config", L"IsSimple"});
    int states = 0;
    while (text.size() * 2 < targetBytes) {
        ++states;
        for (int type = 0; type < 266; ++type) {
            const wchar_t* kind = Style::CStyle::GetPainterClassName(type);
            if (!kind)
                continue;
            std::wstring main = kind, back = L"Back@" + main, fore = L"Fore@" + main;
            auto add = [&](const std::wstring& section, const std::wstring& label,
                           const std::wstring& value) {
                text += label + L"=" + value + L"\r\n";
                keys.push_back({section, label});
            };
            auto state = std::to_wstring(states);
            text += L"[" + main + L"." + state + L"]\r\n";
            add(main + L"." + state, L"Margins", L"2, 2, 3, 3");
            add(main + L"." + state, L"Visible", L"true");
            text += L"[" + back + L"." + state + L"]\r\n";
            add(back + L"." + state, L"Type", L"FillImage");
            add(back + L"." + state, L"ImageFile", main + L".BMP ; strip");
            add(back + L"." + state, L"SizingMargins", L"4,4,4,4");
            add(back + L"." + state, L"BorderColor" + state, L"120, 130, 140");
            text += L"[" + fore + L"." + state + L"]\r\n";
            add(fore + L"." + state, L"Type", L"Text");
            add(fore + L"." + state, L"TextColor" + state, L"0,0,0");
            add(fore + L"." + state, L"Font" + state, L"name:Tahoma, size:8, bold");
        }
    }
    return text;
}

}  // namespace

int main()
{
    std::vector<Key> keys;
    std::wstring text = MakeStyleText(1 << 20, keys);

    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"ini", 0, path);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size() * 2), &written, nullptr);
    CloseHandle(file);

    std::printf("bench_ini: %zu KB of pack text, %zu keys looked up once each\n",
                text.size() * 2 / 1024, keys.size());

    size_t found = 0;
    auto profile = Bench::Measure(3, [&] {
        wchar_t value[256];
        for (const Key& key : keys)
            found += GetPrivateProfileStringW(key.first.c_str(), key.second.c_str(), L"", value,
                                              256, path) > 0;
    });
    auto reader = Bench::Measure(7, [&] {
        Resource::CIniReader ini;
        ini.LoadFromFile(path);
        for (const Key& key : keys)
            found += !ini.GetString(key.first.c_str(), key.second.c_str()).empty();
    });
    auto parseOnly = Bench::Measure(7, [&] {
        Resource::CIniReader ini;
        ini.LoadFromFile(path);
    });

    Bench::ReportBaseline("GetPrivateProfileStringW, every key", profile);
    Bench::Report("CIniReader load + every key", reader, profile);
    Bench::Report("CIniReader load only", parseOnly, profile);
    DeleteFileW(path);
    // Every key must have been found by both, or the comparison is void.
    size_t expected = keys.size() * (3 + 7);
    if (found != expected) {
        std::printf("bench_ini: found %zu of %zu values\n", found, expected);
        return 1;
    }
    return 0;
}
