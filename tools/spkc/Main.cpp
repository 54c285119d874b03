// spkc: the style-pack compiler. Builds a pack (.spk) from a source folder,
// or a language module (.lng) from a string file.
#include <cstdio>
#include <cwchar>
#include "tools/spkc/PackBuilder.h"

namespace {

void PrintUsage(FILE* out)
{
    fwprintf(out,
             L"Usage:\n"
             L"  spkc FOLDER OUTPUT.spk\n"
             L"      builds a style pack from the files in FOLDER\n"
             L"  spkc --language LANGID STRINGS.ini OUTPUT.lng\n"
             L"      builds a language module (e.g. lang\\Orvel0804.lng) holding the\n"
             L"      [Strings] of STRINGS.ini in language LANGID (hex, e.g. 0804)\n"
             L"  spkc --help\n\n%ls\n"
             L"An existing output is replaced only when the build succeeds.\n",
             Spk::kFolderLayout);
}

int Fail(const std::wstring& message)
{
    fwprintf(stderr, L"spkc: %ls\n", message.c_str());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && (wcscmp(argv[1], L"--help") == 0 || wcscmp(argv[1], L"-h") == 0 ||
                      wcscmp(argv[1], L"/?") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    std::wstring error;
    if (argc == 5 && wcscmp(argv[1], L"--language") == 0) {
        wchar_t* end = nullptr;
        unsigned long language = wcstoul(argv[2], &end, 16);
        if (!*argv[2] || *end || language > 0xFFFF)
            return Fail(std::wstring(argv[2]) + L": not a language identifier (hex, e.g. 0804)");
        if (!Spk::BuildLanguageModule(argv[3], static_cast<WORD>(language), argv[4], error))
            return Fail(error);
        return 0;
    }
    if (argc != 3 || argv[1][0] == L'-') {
        PrintUsage(stderr);
        return 2;
    }
    if (!Spk::BuildPack(argv[1], argv[2], error))
        return Fail(error);
    return 0;
}
