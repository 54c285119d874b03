// Demo host of Orvel. For now it reads the default pack's INI source and
// shows its sections and a few typed values.
#include <windows.h>
#include <cstdio>
#include <string>
#include "orvel/resource/IniReader.h"

namespace {

// The pack source sits at styles/ZQ2009 of the source tree; the demo runs
// from build/bin, so look upwards from the program's folder.
std::wstring FindPackSource()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    for (int up = 0; up < 4; ++up) {
        size_t slash = folder.find_last_of(L"\\/");
        if (slash == std::wstring::npos)
            break;
        folder.resize(slash);
        std::wstring candidate = folder + L"\\styles\\ZQ2009\\STYLE.INI";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
    return {};
}

std::string Narrow(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring source = argc > 1 ? argv[1] : FindPackSource();
    Resource::CIniReader ini;
    if (source.empty() || !ini.LoadFromFile(source.c_str())) {
        std::fprintf(stderr, "OrvelDemo: cannot read the pack source \"%s\"\n", Narrow(source).c_str());
        return 1;
    }
    std::printf("Pack source: %s\n%d sections:\n", Narrow(source).c_str(), ini.GetSectionCount());
    for (int i = 0; i < ini.GetSectionCount(); ++i) {
        const Resource::CSection* section = ini.GetSection(i);
        std::printf("  [%s] %d keys\n", Narrow(section->GetName()).c_str(), section->GetLineCount());
    }

    if (const Resource::CLine* line = ini.FindFirstLine(L"Fonts", L"$default$")) {
        LOGFONTW font;
        line->ReadContentAsFont(font);
        std::printf("Default font: %s, height %ld, weight %ld\n", Narrow(font.lfFaceName).c_str(),
                    font.lfHeight, font.lfWeight);
    }
    if (const Resource::CLine* line = ini.FindFirstLine(L"Back@PushButton", L"FillColor")) {
        std::printf("Push button fill colour: 0x%08lX\n", line->ReadContentAsColor());
    }
    if (const Resource::CLine* line = ini.FindFirstLine(L"PushButton", L"Margins")) {
        RECT margins = {};
        line->ReadContentAsRect(margins);
        std::printf("Push button margins: left %ld right %ld top %ld bottom %ld\n", margins.left,
                    margins.right, margins.top, margins.bottom);
    }
    std::printf("Simple pack: %s\n", ini.FindFirstLine(L"Config", L"IsSimple") &&
                                             ini.FindFirstLine(L"Config", L"IsSimple")->ReadContentAsBool()
                                         ? "yes"
                                         : "no");
    return 0;
}
