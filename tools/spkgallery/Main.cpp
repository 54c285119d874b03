// spkgallery: what a style pack looks like, and the skin author's reference.
#include <windows.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "tools/spkgallery/Gallery.h"
#include "tools/spkgallery/Reference.h"

namespace {

const wchar_t kUsage[] =
    L"usage: spkgallery PACK OUTDIR\n"
    L"       spkgallery --reference [FILE]\n"
    L"PACK OUTDIR: draws every element kind a pack (.spk, .spk.big or a source\n"
    L"  folder) defines, in every state, at three sizes, into\n"
    L"  OUTDIR\\<Pack>_<control>.png,\n"
    L"  one sheet per styled control (Other: kinds no styled control paints).\n"
    L"--reference: prints the element-kind and key tables of the skin author's\n"
    L"  reference; with FILE, rewrites the generated part of FILE (between its\n"
    L"  spkgallery marker lines) instead.\n";

bool ReadText(const wchar_t* path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

int Reference(const wchar_t* file)
{
    const std::string tables = Gallery::ReferenceTables();
    if (!file) {
        fwrite(tables.data(), 1, tables.size(), stdout);
        return 0;
    }
    std::string document;
    if (!ReadText(file, document)) {
        fwprintf(stderr, L"spkgallery: %ls: cannot be read\n", file);
        return 1;
    }
    if (!Gallery::ReplaceGenerated(document, tables)) {
        fwprintf(stderr, L"spkgallery: %ls: no \"%hs\" and \"%hs\" lines\n", file, Gallery::kReferenceBegin,
                 Gallery::kReferenceEnd);
        return 1;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(document.data(), std::streamsize(document.size()));
    if (!out) {
        fwprintf(stderr, L"spkgallery: %ls: cannot be written\n", file);
        return 1;
    }
    wprintf(L"spkgallery: %ls: tables brought up to date\n", file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 2 && wcscmp(argv[1], L"--reference") == 0 && argc <= 3)
        return Reference(argc == 3 ? argv[2] : nullptr);
    if (argc != 3 || argv[1][0] == L'-') {
        fputws(kUsage, argc == 2 && (wcscmp(argv[1], L"--help") == 0) ? stdout : stderr);
        return argc == 2 && wcscmp(argv[1], L"--help") == 0 ? 0 : 2;
    }
    std::vector<std::wstring> written;
    std::wstring error;
    if (!Gallery::WriteGallery(argv[1], argv[2], written, error)) {
        fwprintf(stderr, L"spkgallery: %ls\n", error.c_str());
        return 1;
    }
    wprintf(L"spkgallery: %ls: %u sheets in %ls\n", argv[1], unsigned(written.size()), argv[2]);
    return 0;
}
