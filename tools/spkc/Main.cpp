// spkc: the style-pack compiler. Builds a pack (.spk) from a source folder,
// or a language module (.lng) from a string file, and checks packs.
#include <cstdio>
#include <windows.h>
#include <cwchar>
#include "tools/spkc/PackBuilder.h"
#include "tools/spkc/PackChecker.h"

namespace {

void PrintUsage(FILE* out)
{
    fwprintf(out,
             L"Usage:\n"
             L"  spkc [--quiet] FOLDER OUTPUT.spk\n"
             L"      builds a style pack from the files in FOLDER and lists what it\n"
             L"      stored (--quiet: errors and warnings only)\n"
             L"  spkc [--quiet] --language LANGID STRINGS.ini OUTPUT.lng\n"
             L"      builds a language module (e.g. lang\\Orvel0804.lng) holding the\n"
             L"      [Strings] of STRINGS.ini in language LANGID (hex, e.g. 0804)\n"
             L"  spkc --check PACK...\n"
             L"      checks built packs (.spk) or source folders against what the\n"
             L"      library reads; exit status 1 when any has an error, else 0\n"
             L"  spkc --help\n\n%ls\n"
             L"Every error is reported, as FILE(LINE): error: message (or FILE: error:\n"
             L"message where no line applies), and lines the library would drop or\n"
             L"misread as FILE(LINE): warning: message. Sources may be UTF-16 or UTF-8.\n"
             L"An existing output is replaced only when the build succeeds; nothing is\n"
             L"written when there is an error.\n\n%ls"
             L"Exit status: 0 built, or checked without errors; 1 failed or errors\n"
             L"found; 2 wrong arguments.\n",
             Spk::kFolderLayout, Spk::kCheckHelp);
}

int Check(int count, wchar_t** packs)
{
    int errors = 0;
    for (int i = 0; i < count; ++i) {
        Spk::SCheckReport report = Spk::CheckPack(packs[i]);
        for (const Spk::SFinding& finding : report.findings)
            fwprintf(stdout, L"%ls\n", Spk::FormatFinding(packs[i], finding).c_str());
        int packErrors = report.Count(Spk::ESeverity::Error);
        fwprintf(stdout, L"%ls: %d errors, %d warnings\n", packs[i], packErrors,
                 report.Count(Spk::ESeverity::Warning));
        errors += packErrors;
    }
    fflush(stdout);
    return errors ? 1 : 0;
}

int Fail(const std::wstring& message)
{
    fwprintf(stderr, L"spkc: %ls\n", message.c_str());
    return 1;
}

// Prints every error and warning (the file and line lead each), then what
// was stored unless quiet.
int Report(const Spk::SBuildReport& report, bool built, const std::wstring& output, bool quiet)
{
    auto tagged = [](const std::wstring& line, const wchar_t* tag) {
        size_t colon = line.find(L": ");
        return colon == std::wstring::npos ? line : line.substr(0, colon) + tag + line.substr(colon + 2);
    };
    for (const std::wstring& warning : report.warnings)
        fwprintf(stderr, L"%ls\n", tagged(warning, L": warning: ").c_str());
    for (const std::wstring& error : report.errors)
        fwprintf(stderr, L"%ls\n", tagged(error, L": error: ").c_str());
    if (!built) {
        fwprintf(stderr, L"spkc: %ls not built: %u errors\n", output.c_str(),
                 static_cast<unsigned>(report.errors.size()));
        return 1;
    }
    if (!quiet) {
        for (const std::wstring& line : report.packed)
            fwprintf(stdout, L"  %ls\n", line.c_str());
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &data);
        fwprintf(stdout, L"spkc: %ls built, %lu bytes, %u warnings\n", output.c_str(), data.nFileSizeLow,
                 static_cast<unsigned>(report.warnings.size()));
    }
    fflush(stdout);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && (wcscmp(argv[1], L"--help") == 0 || wcscmp(argv[1], L"-h") == 0 ||
                      wcscmp(argv[1], L"/?") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    if (argc >= 3 && wcscmp(argv[1], L"--check") == 0)
        return Check(argc - 2, argv + 2);
    bool quiet = argc >= 2 && wcscmp(argv[1], L"--quiet") == 0;
    if (quiet) {
        --argc;
        ++argv;
    }
    Spk::SBuildReport report;
    if (argc == 5 && wcscmp(argv[1], L"--language") == 0) {
        wchar_t* end = nullptr;
        unsigned long language = wcstoul(argv[2], &end, 16);
        if (!*argv[2] || *end || language > 0xFFFF)
            return Fail(std::wstring(argv[2]) + L": not a language identifier (hex, e.g. 0804)");
        bool built = Spk::BuildLanguageModule(argv[3], static_cast<WORD>(language), argv[4], report);
        return Report(report, built, argv[4], quiet);
    }
    if (argc != 3 || argv[1][0] == L'-') {
        PrintUsage(stderr);
        return 2;
    }
    if (!quiet)
        fwprintf(stdout, L"spkc: building %ls from %ls\n", argv[2], argv[1]);
    return Report(report, Spk::BuildPack(argv[1], argv[2], report), argv[2], quiet);
}
