#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "ResourceTestUtil.h"
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"
#include "orvel/style/Style.h"
#include "orvel/windows/ElementKinds.h"
#include "tools/spkc/PackBuilder.h"
#include "tools/spkc/PackChecker.h"

using namespace Resource;

namespace {

// A file in the folder of the test binary (build/bin).
std::wstring BesideTest(const wchar_t* name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

// Runs the compiler (beside the test binary) and returns its exit code and
// what it wrote to its output and error streams.
DWORD RunCompiler(const std::wstring& arguments, std::string& errors)
{
    std::wstring exe = BesideTest(L"spkc.exe");
    std::wstring command = L"\"" + exe + L"\" " + arguments;

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    CreatePipe(&read, &write, &inherit, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = write;
    startup.hStdOutput = write;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
        CloseHandle(read);
        CloseHandle(write);
        return 0xFFFFFFFF;
    }
    CloseHandle(write);
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got)
        errors.append(buffer, got);
    CloseHandle(read);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

std::vector<BYTE> FileBytes(const std::wstring& path)
{
    std::vector<BYTE> bytes;
    Spk::ReadFileBytes(path, bytes);
    return bytes;
}

}  // namespace

TEST(PackCompiler, RefusesAFolderWithoutStyleIniAndKeepsTheOldPack)
{
    TestCommon::CTempDir dir;
    const std::string old = "an earlier pack";
    std::wstring output = dir.File(L"Old.spk");
    ASSERT_TRUE(TestCommon::WriteFileBytes(output, old.data(), old.size()));
    TestSupport::SPackBitmap bitmap;
    auto file = TestSupport::MakeBitmapFile(bitmap);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"a.bmp"), file.data(), file.size()));

    std::string errors;
    DWORD code = RunCompiler(L"\"" + dir.Path() + L"\" \"" + output + L"\"", errors);
    EXPECT_NE(code, 0u);
    EXPECT_NE(errors.find("STYLE.INI"), std::string::npos) << errors;
    EXPECT_EQ(FileBytes(output), std::vector<BYTE>(old.begin(), old.end()));
    EXPECT_EQ(GetFileAttributesW((output + L".partial").c_str()), INVALID_FILE_ATTRIBUTES);

    errors.clear();
    EXPECT_EQ(RunCompiler(L"--help", errors), 0u);
    EXPECT_NE(errors.find("Strings_XXXX.ini"), std::string::npos) << errors;
    EXPECT_NE(errors.find("PACK: error: [Section] key: message"), std::string::npos) << errors;
}

TEST(PackCompiler, NamesTheBadFileAndKeepsTheOldPack)
{
    TestCommon::CTempDir dir;
    std::wstring output = dir.File(L"Out.spk");
    const std::string old = "old";
    ASSERT_TRUE(TestCommon::WriteFileBytes(output, old.data(), old.size()));
    auto ini = TestCommon::Utf16Bytes(L"[Config]\r\n", true);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"STYLE.INI"), ini.data(), ini.size()));
    TestSupport::SPackBitmap bitmap;
    bitmap.width = 8;
    bitmap.height = 8;
    auto file = TestSupport::MakeBitmapFile(bitmap);
    file.resize(file.size() - 10);  // pixels cut short
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Cut.bmp"), file.data(), file.size()));

    std::wstring error;
    EXPECT_FALSE(Spk::BuildPack(dir.Path(), output, error));
    EXPECT_NE(error.find(L"Cut.bmp"), std::wstring::npos);
    EXPECT_EQ(FileBytes(output), std::vector<BYTE>(old.begin(), old.end()));

    std::vector<uint8_t> strings = TestCommon::Utf16Bytes(L"[Strings]\r\nabc=1\r\n", true);
    DeleteFileW(dir.File(L"Cut.bmp").c_str());
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Strings_0409.ini"), strings.data(),
                                           strings.size()));
    EXPECT_FALSE(Spk::BuildPack(dir.Path(), output, error));
    EXPECT_NE(error.find(L"Strings_0409.ini"), std::wstring::npos);
    EXPECT_EQ(FileBytes(output), std::vector<BYTE>(old.begin(), old.end()));
}

TEST(PackCompiler, Utf8SourcesBecomeUtf16)
{
    TestCommon::CTempDir dir;
    // "Größe" in UTF-8, with and without a byte-order mark.
    std::string styleIni = "\xEF\xBB\xBF[Config]\r\nName=Gr\xC3\xB6\xC3\x9F" "e\r\n";
    std::string strings = "[Strings]\r\n101=Gr\xC3\xBC" "n\r\n";
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"STYLE.INI"), styleIni.data(), styleIni.size()));
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Strings_0407.ini"), strings.data(),
                                           strings.size()));
    std::wstring output = dir.File(L"Green.spk");
    std::wstring error;
    ASSERT_TRUE(Spk::BuildPack(dir.Path() + L"\\", output, error)) << std::string(error.begin(), error.end());
    {
        CResourceReader reader;
        ASSERT_TRUE(reader.Open(output.c_str()));
        DWORD size = 0;
        auto data = static_cast<const wchar_t*>(reader.ReadCustomData(L"INIFILES", L"STYLE.INI", &size));
        ASSERT_NE(data, nullptr);
        ASSERT_GE(size, 2u);
        EXPECT_EQ(data[0], 0xFEFF);
        CIniReader ini;
        ASSERT_TRUE(ini.LoadFromResource(reader, L"INIFILES", L"STYLE.INI"));
        EXPECT_EQ(ini.GetString(L"Config", L"Name"), L"Gr\u00F6\u00DFe");
        EXPECT_EQ(reader.ReadStringWithLang(101, 0x0407), L"Gr\u00FCn");
        // Without a neutral name the folder's name is the internal name.
        std::wstring folderName = dir.Path().substr(dir.Path().find_last_of(L'\\') + 1);
        EXPECT_EQ(reader.ReadStringWithLang(101, 0), folderName);
    }
    // Latin-1 bytes are neither UTF-8 nor UTF-16.
    std::string latin1 = "[Config]\r\nName=Gr\xF6\xDF" "e\r\n";
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"STYLE.INI"), latin1.data(), latin1.size()));
    EXPECT_FALSE(Spk::BuildPack(dir.Path(), output, error));
    EXPECT_NE(error.find(L"STYLE.INI"), std::wstring::npos);
}

TEST(PackCompiler, LanguageModuleFromAStringFile)
{
    TestCommon::CTempDir dir;
    auto text = TestCommon::Utf16Bytes(L"[Strings]\r\n200=Datei\r\n", false);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"de.ini"), text.data(), text.size()));
    std::wstring output = dir.File(L"Orvel0407.lng");
    std::string errors;
    ASSERT_EQ(RunCompiler(L"--language 0407 \"" + dir.File(L"de.ini") + L"\" \"" + output + L"\"",
                          errors),
              0u)
        << errors;
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(output.c_str()));
    EXPECT_EQ(reader.ReadStringWithLang(200, 0x0407), L"Datei");
    EXPECT_EQ(reader.ReadStringWithLang(200, 0x0409), L"");
}

TEST(PackCompiler, ReportsEveryErrorWithItsLineAndListsWhatItStores)
{
    TestCommon::CTempDir dir;
    std::wstring output = dir.File(L"Out.spk");
    const std::string old = "old";
    ASSERT_TRUE(TestCommon::WriteFileBytes(output, old.data(), old.size()));
    // Line 1 stands before any section, line 4 repeats a key, line 5 lacks
    // its "=", line 6 has a header without "]".
    std::string styleIni = "Orphan=1\r\n[Config]\r\nName=A ; comment\r\nname=B\r\nTypo\r\n[Open\r\n";
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"STYLE.INI"), styleIni.data(), styleIni.size()));
    std::string strings = "[Strings]\r\n101=Blue\r\n\r\nabc=x\r\n101=Again\r\n";
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Strings_0409.ini"), strings.data(), strings.size()));
    TestSupport::SPackBitmap bitmap;
    auto good = TestSupport::MakeBitmapFile(bitmap);
    auto cut = good;
    cut.resize(cut.size() - 4);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Cut1.bmp"), cut.data(), cut.size()));
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Cut2.bmp"), cut.data(), cut.size()));

    Spk::SBuildReport report;
    EXPECT_FALSE(Spk::BuildPack(dir.Path(), output, report));
    const std::wstring stringsFile = dir.File(L"Strings_0409.ini");
    std::vector<std::wstring> expected = {
        dir.File(L"Cut1.bmp") + L": " + Spk::kUnusableBitmap,
        dir.File(L"Cut2.bmp") + L": " + Spk::kUnusableBitmap,
        stringsFile + L"(4): \"abc\" is not a string number (0 to 65535)",
        stringsFile + L"(5): string 101 is given twice",
    };
    EXPECT_EQ(report.errors, expected);
    EXPECT_TRUE(report.packed.empty());
    EXPECT_EQ(FileBytes(output), std::vector<BYTE>(old.begin(), old.end()));
    std::vector<int> warned;
    for (const std::wstring& warning : report.warnings) {
        size_t open = warning.find(L"STYLE.INI(");
        if (open != std::wstring::npos)
            warned.push_back(_wtoi(warning.c_str() + open + 10));
    }
    EXPECT_EQ(warned, (std::vector<int>{1, 4, 5, 6})) << report.warnings.size();

    // Fixed, it builds, warns and lists every stored item.
    ASSERT_TRUE(DeleteFileW(dir.File(L"Cut2.bmp").c_str()));
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"Cut1.bmp"), good.data(), good.size()));
    strings = "[Strings]\r\n101=Blue\r\n";
    ASSERT_TRUE(TestCommon::WriteFileBytes(stringsFile, strings.data(), strings.size()));
    std::string printed;
    ASSERT_EQ(RunCompiler(L"\"" + dir.Path() + L"\" \"" + output + L"\"", printed), 0u) << printed;
    for (const char* line : {"STYLE.INI(1): warning:", "STYLE.INI: 2 sections", "CUT1.BMP from Cut1.bmp: ",
                             "strings: 1 neutral, 1 0409", "Out.spk built,"})
        EXPECT_NE(printed.find(line), std::string::npos) << line << "\n" << printed;
    printed.clear();
    ASSERT_EQ(RunCompiler(L"--quiet \"" + dir.Path() + L"\" \"" + output + L"\"", printed), 0u);
    EXPECT_EQ(printed.find("CUT1.BMP"), std::string::npos) << printed;
    EXPECT_NE(printed.find("warning:"), std::string::npos) << printed;
}

// ------------------------------------------------------------ spkc --check

namespace {

using Spk::ESeverity;
using Style::CStyle;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::wstring Num(int n)
{
    return std::to_wstring(n);
}

TestSupport::SPackBitmap Bitmap(const std::wstring& name, int width, int height)
{
    TestSupport::SPackBitmap bitmap;
    bitmap.name = name;
    bitmap.width = width;
    bitmap.height = height;
    return bitmap;
}

// The element kinds the styled windows paint, each with its states.
std::map<int, int> UsedKinds()
{
    std::map<int, int> used;
    size_t count = 0;
    const Windows::SElementKindUse* kinds = Windows::GetStyledElementKinds(&count);
    for (size_t i = 0; i < count; ++i)
        used[kinds[i].type] = std::max({used[kinds[i].type], kinds[i].states, 1});
    return used;
}

int StatesOf(int kind)
{
    auto used = UsedKinds();
    return used.count(kind) ? used[kind] : 1;
}

struct SCleanPack {
    TestSupport::SPackSource source;
    std::wstring idle;  // a kind no styled window paints: it asks for no states
};

// A pack the checker finds nothing wrong with: a state strip for every kind
// the styled windows paint (but `missing`; `short` gets one image too few),
// and a section of every sort the library reads, using most keys.
SCleanPack CleanPack(int missing = -1, int shortKind = -1)
{
    SCleanPack pack;
    auto used = UsedKinds();
    int most = 1;
    for (const auto& [kind, states] : used)
        most = std::max(most, states);
    // Past the frame families, whose caption keys would be valid on it.
    int idle = CStyle::TabTopPane;
    while (!CStyle::GetPainterClassName(idle) || used.count(idle))
        ++idle;
    pack.idle = CStyle::GetPainterClassName(idle);
    const std::wstring& x = pack.idle;
    std::wstring& ini = pack.source.ini;
    ini = L"[Config]\r\nIsSimple=false\r\n"
          L"[Fonts]\r\n$default$=name:Tahoma, size:8\r\n$Title=name:Tahoma, size:10, bold, italic\r\n"
          L"[Cursors]\r\n$Hand=Hand.cur\r\n"
          L"[BitmapPosition]\r\nLogo.bmp=10, 20\r\n"
          L"[DlgFrame]\r\nMargins=4, 4, 0, 4\r\nTopLeftEllipse=10, 10\r\nWidthEllipse=3\r\n"
          L"BackColor=236, 241, 248\r\nStaticColor=28, 40, 62\r\n"
          L"[DlgFrameTitle]\r\nHeight=26\r\nButtonRight=2\r\nAlignLeft=0\r\nCursor=$Hand\r\n"
          L"GlyphSpace=3\r\n"
          L"[Back@DlgFrameTitle]\r\nType=FillColor\r\nStateCount=" + Num(most) + L"\r\n"
          L"BorderSize=1\r\nBorderSize1=0\r\nFillColor=255, 255, 255\r\nFillColor1=1, 2, 3\r\n"
          L"BorderColor1=0, 0, 0\r\n"
          L"[Back@DlgFrame]\r\nType=BorderImage\r\nImageFile=Border.bmp\r\nImageCount=" +
          Num(StatesOf(CStyle::DlgFrame)) + L"\r\nImageLayout=horizontal\r\nSizingType=Stretch\r\n"
          L"SizingMargins=1, 1, 1, 1\r\nTransparent=true\r\nTransparentColor=255, 0, 255\r\n"
          L"[" + x + L".Wide]\r\nMargins=1, 1, 1, 1\r\nVisible=TRUE\r\nEraseColor=1, 2, 3\r\n"
          L"[Fore@" + x + L"]\r\nType=Text\r\nStateCount=2\r\nFont=$title\r\n"
          L"Font1=name:Arial, weight:600, underline, escapement:900\r\nTextColor=0, 0, 0\r\n"
          L"TextColor1=255, 0, 0\r\nBackColor=1, 2, 3\r\nBackMode1=OPAQUE\r\nAlign=center\r\n"
          L"VAlign1=bottom\r\nAutoWrap=true\r\nPrefix1=false\r\n";
    pack.source.bitmaps.push_back(Bitmap(L"Logo.bmp", 8, 8));
    pack.source.bitmaps.push_back(Bitmap(L"Border.bmp", 4 * StatesOf(CStyle::DlgFrame), 4));
    pack.source.cursors.push_back({L"Hand.cur"});
    for (const auto& [kind, states] : used) {
        if (kind == missing)
            continue;
        std::wstring name = CStyle::GetPainterClassName(kind);
        int images = kind == shortKind ? states - 1 : states;
        ini += L"[Fore@" + name + L"]\r\nType=ImageGlyph\r\nImageFile=" + name +
               L".bmp\r\nImageCount=" + Num(images) + L"\r\n";
        pack.source.bitmaps.push_back(Bitmap(name + L".bmp", 4, 4 * images));
    }
    return pack;
}

// A pack's source folder and the pack built from it.
struct SBuilt {
    TestCommon::CTempDir folder;
    TestCommon::CTempDir out;
    std::wstring pack;
    bool ok = false;

    explicit SBuilt(const TestSupport::SPackSource& source) : pack(out.File(L"Test.spk"))
    {
        std::wstring error;
        ok = TestSupport::WriteSources(folder.Path(), source, error) &&
             Spk::BuildPack(folder.Path(), pack, error);
    }
};

using SPlace = std::tuple<ESeverity, std::wstring, std::wstring>;  // severity, section, key

std::multiset<SPlace> Places(const Spk::SCheckReport& report)
{
    std::multiset<SPlace> places;
    for (const Spk::SFinding& finding : report.findings)
        places.insert({finding.severity, finding.section, finding.key});
    return places;
}

std::string Listing(const std::wstring& pack, const Spk::SCheckReport& report)
{
    std::wstring text;
    for (const Spk::SFinding& finding : report.findings)
        text += Spk::FormatFinding(pack, finding) + L"\n";
    return Narrow(text);
}

const Spk::SFinding* Find(const Spk::SCheckReport& report, const std::wstring& section,
                          const std::wstring& key)
{
    for (const Spk::SFinding& finding : report.findings) {
        if (finding.section == section && finding.key == key)
            return &finding;
    }
    return nullptr;
}

void Replace(std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    size_t at = text.find(from);
    ASSERT_NE(at, std::wstring::npos) << Narrow(from);
    text.replace(at, from.size(), to);
}

}  // namespace

TEST(PackCheck, CleanPackChecksCleanAsFolderAndAsPack)
{
    SCleanPack clean = CleanPack();
    SBuilt built(clean.source);
    ASSERT_TRUE(built.ok);
    for (const std::wstring& pack : {built.folder.Path(), built.pack}) {
        Spk::SCheckReport report = Spk::CheckPack(pack);
        EXPECT_TRUE(report.findings.empty()) << Listing(pack, report);
    }
    std::string output;
    EXPECT_EQ(RunCompiler(L"--check \"" + built.pack + L"\"", output), 0u) << output;
    EXPECT_NE(output.find(": 0 errors, 0 warnings"), std::string::npos) << output;

    // Warnings alone leave the exit status 0.
    clean.source.ini += L"[Nothing]\r\n";
    SBuilt warned(clean.source);
    ASSERT_TRUE(warned.ok);
    output.clear();
    EXPECT_EQ(RunCompiler(L"--check \"" + warned.folder.Path() + L"\"", output), 0u) << output;
    EXPECT_NE(output.find(Narrow(warned.folder.Path()) + ": warning: [Nothing]: unknown section"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find(": 0 errors, 1 warnings"), std::string::npos) << output;
}

TEST(PackCheck, ReportsEachFindingWhereItIs)
{
    auto used = UsedKinds();
    ASSERT_FALSE(used.empty());
    const int missing = used.begin()->first;
    int shortKind = -1;
    for (const auto& [kind, states] : used) {
        if (kind != missing && states > 1)
            shortKind = kind;
    }
    SCleanPack pack = CleanPack(missing, shortKind);
    const std::wstring x = pack.idle;
    std::wstring& ini = pack.source.ini;
    Replace(ini, L"[Cursors]\r\n", L"[Cursors]\r\n$Gone=Gone.cur\r\n");
    Replace(ini, L"Cursor=$Hand", L"Cursor=$hand");
    Replace(ini, L"Font=$title", L"Font=$Nope");
    Replace(ini, L"SizingType=Stretch", L"SizingType=Strech");
    Replace(ini, L"[Fonts]\r\n", L"[Fonts]\r\n$Odd=name:Tahoma, blod\r\n");
    Replace(ini, L"WidthEllipse=3", L"WidthEllipse=3px");
    Replace(ini, L"FillColor1=1, 2, 3", L"FillColor1=300, 0, 0");
    Replace(ini, L"Visible=TRUE\r\n", L"Visible=TRUE\r\nColour=1, 2, 3\r\nHeight=20\r\nmargins=2, 2, 2, 2\r\n");
    Replace(ini, L"Prefix1=false\r\n", L"Prefix1=false\r\nTextColor5=1, 2, 3\r\nTexColor=1, 2, 3\r\nSizingType=Tile\r\n");
    ini += L"[PushButon]\r\nMargins=1, 1, 1, 1\r\n"
           L"[Note@" + x + L"]\r\nText=hello\r\n"
           L"[ Fonts ]\r\n$x=bold\r\n"
           L"[Back@" + x + L"]\r\nType=FillImage\r\nImageFile=Odd.bmp\r\nImageCount=3\r\n"
           L"[Back@" + x + L".Wide]\r\nType=FillImage\r\nImageFile=Gone.bmp\r\n"
           L"[Config]\r\nIsSimple=true\r\n";
    pack.source.bitmaps.push_back(Bitmap(L"Odd.bmp", 4, 10));
    SBuilt built(pack.source);
    ASSERT_TRUE(built.ok);

    const ESeverity E = ESeverity::Error, W = ESeverity::Warning;
    std::multiset<SPlace> expected = {
        {E, L"Cursors", L"$Gone"},          // no such cursor resource
        {E, L"DlgFrameTitle", L"Cursor"},   // $hand is not $Hand
        {W, L"Fore@" + x, L"Font"},         // $Nope is not in [Fonts]
        {W, L"Back@DlgFrame", L"SizingType"},
        {W, L"Fonts", L"$Odd"},             // "blod"
        {W, L"DlgFrame", L"WidthEllipse"},  // "3px"
        {W, L"Back@DlgFrameTitle", L"FillColor1"},
        {W, x + L".Wide", L"Colour"},
        {W, x + L".Wide", L"Height"},       // a caption key
        {W, x + L".Wide", L"margins"},      // given again
        {W, L"Fore@" + x, L"TextColor5"},   // beyond StateCount=2
        {W, L"Fore@" + x, L"TexColor"},
        {W, L"Fore@" + x, L"SizingType"},   // image backgrounds only
        {W, L"PushButon", L""},
        {W, L"Note@" + x, L""},
        {W, L" Fonts ", L""},
        {E, L"Back@" + x, L"ImageCount"},   // 10 pixels into 3 images
        {E, L"Back@" + x + L".Wide", L"ImageFile"},
        {W, L"Config", L""},                // repeated: IsSimple stays false
        {E, CStyle::GetPainterClassName(missing), L""},
    };
    if (shortKind >= 0)
        expected.insert({E, L"Fore@" + std::wstring(CStyle::GetPainterClassName(shortKind)), L"ImageCount"});

    Spk::SCheckReport folder = Spk::CheckPack(built.folder.Path());
    EXPECT_EQ(Places(folder), expected) << Listing(L"folder", folder);
    Spk::SCheckReport module = Spk::CheckPack(built.pack);
    EXPECT_EQ(Places(module), expected) << Listing(L"pack", module);

    // The messages say what an author needs to fix it.
    auto message = [&](const std::wstring& section, const std::wstring& key) {
        const Spk::SFinding* finding = Find(module, section, key);
        return finding ? Narrow(finding->message) : std::string();
    };
    EXPECT_NE(message(L"PushButon", L"").find("did you mean [PushButton]?"), std::string::npos);
    EXPECT_NE(message(L" Fonts ", L"").find("not trimmed"), std::string::npos);
    EXPECT_NE(message(L"DlgFrameTitle", L"Cursor").find("[Cursors] has $Hand"), std::string::npos);
    EXPECT_NE(message(L"Fore@" + x, L"TexColor").find("did you mean TextColor?"), std::string::npos);
    EXPECT_NE(message(x + L".Wide", L"Height").find("[DlgFrameTitle]"), std::string::npos);
    EXPECT_NE(message(L"Back@" + x, L"ImageCount").find("ODD.BMP is 10 pixels high"), std::string::npos);
    EXPECT_NE(message(L"Back@" + x + L".Wide", L"ImageFile").find("GONE.BMP"), std::string::npos);

    std::string output;
    EXPECT_EQ(RunCompiler(L"--check \"" + built.pack + L"\"", output), 1u) << output;
    EXPECT_NE(output.find(Narrow(built.pack) + ": error: [Back@" + Narrow(x) + "] ImageCount: ODD.BMP"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find(": error: [" + Narrow(CStyle::GetPainterClassName(missing)) + "]: missing"),
              std::string::npos)
        << output;
}

TEST(PackCheck, DamagedPacksAndFoldersAreErrorsNotCrashes)
{
    SBuilt built(CleanPack().source);
    ASSERT_TRUE(built.ok);
    const std::vector<BYTE> bytes = FileBytes(built.pack);
    ASSERT_GT(bytes.size(), 2048u);
    TestCommon::CTempDir dir;
    const std::wstring damaged = dir.File(L"Damaged.spk");
    auto check = [&](const std::vector<BYTE>& file) {
        EXPECT_TRUE(TestCommon::WriteFileBytes(damaged, file.data(), file.size()));
        return Spk::CheckPack(damaged);
    };

    // Cut in the headers, the section table, the resource directory, the data.
    for (size_t cut : {size_t{0}, size_t{2}, size_t{64}, size_t{300}, size_t{700}, size_t{1100},
                       bytes.size() / 2, bytes.size() - 1}) {
        Spk::SCheckReport report = check(std::vector<BYTE>(bytes.begin(), bytes.begin() + cut));
        EXPECT_GT(report.Count(ESeverity::Error), 0) << cut;
    }

    // Changed bytes, mostly in the resource section where the directory and
    // its offsets and sizes are: whatever is reported, nothing crashes.
    IMAGE_DOS_HEADER dos;
    memcpy(&dos, bytes.data(), sizeof dos);
    IMAGE_FILE_HEADER header;
    memcpy(&header, bytes.data() + dos.e_lfanew + 4, sizeof header);
    size_t table = dos.e_lfanew + 4 + sizeof header + header.SizeOfOptionalHeader;
    size_t resources = 0;
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        memcpy(&section, bytes.data() + table + i * sizeof section, sizeof section);
        if (memcmp(section.Name, ".rsrc", 5) == 0)
            resources = section.PointerToRawData;
    }
    ASSERT_GT(resources, 0u);
    TestCommon::CRandom random(20260311);
    for (int i = 0; i < 300; ++i) {
        std::vector<BYTE> file = bytes;
        if (i % 3 == 0) {
            TestCommon::Mutate(file, random);
        } else {
            for (int n = 1 + random.Below(4); n > 0; --n)
                file[resources + random.Below(i % 3 == 1 ? 512 : uint32_t(file.size() - resources))] =
                    static_cast<BYTE>(random.Next());
        }
        check(file);
    }

    // spkc says so and exits 1.
    check(std::vector<BYTE>(bytes.begin(), bytes.begin() + bytes.size() / 2));
    std::string output;
    EXPECT_EQ(RunCompiler(L"--check \"" + damaged + L"\"", output), 1u) << output;
    EXPECT_NE(output.find(Narrow(damaged) + ": error: damaged or truncated"), std::string::npos) << output;

    // Folders: no STYLE.INI, text that is neither UTF-16 nor UTF-8, no
    // sections, an unnamed bitmap the build would refuse.
    TestCommon::CTempDir folder;
    EXPECT_EQ(Spk::CheckPack(folder.Path()).Count(ESeverity::Error), 1);
    std::string latin1 = "[Config]\r\nName=Gr\xF6\xDF" "e\r\n";
    ASSERT_TRUE(TestCommon::WriteFileBytes(folder.File(L"STYLE.INI"), latin1.data(), latin1.size()));
    EXPECT_EQ(Spk::CheckPack(folder.Path()).Count(ESeverity::Error), 1);
    auto empty = TestCommon::Utf16Bytes(L"; nothing\r\n", true);
    ASSERT_TRUE(TestCommon::WriteFileBytes(folder.File(L"STYLE.INI"), empty.data(), empty.size()));
    EXPECT_EQ(Spk::CheckPack(folder.Path()).Count(ESeverity::Error), 1);
    EXPECT_EQ(Spk::CheckPack(folder.File(L"none.spk")).Count(ESeverity::Error), 1);

    auto cut = TestSupport::MakeBitmapFile(Bitmap(L"", 8, 8));
    cut.resize(cut.size() - 10);
    ASSERT_TRUE(TestCommon::WriteFileBytes(built.folder.File(L"Cut.bmp"), cut.data(), cut.size()));
    Spk::SCheckReport report = Spk::CheckPack(built.folder.Path());
    ASSERT_EQ(report.findings.size(), 1u) << Listing(L"folder", report);
    EXPECT_NE(report.findings[0].message.find(L"Cut.bmp: not a usable bitmap"), std::wstring::npos);
}

// The shipped packs as the build makes them. Enable once the packs cover
// every element kind the styled windows paint, in all its states.
TEST(PackCheck, ShippedPacksCheckClean)
{
    std::string output;
    std::wstring packs;
    for (const wchar_t* pack : {L"ZQ2009.spk", L"Graphite.spk", L"ZQ2009.spk.big", L"Graphite.spk.big"})
        packs += L" \"" + BesideTest((L"Style\\" + std::wstring(pack)).c_str()) + L"\"";
    DWORD code = RunCompiler(L"--check" + packs, output);
    EXPECT_EQ(code, 0u) << output;
    // Not even a warning: every key the packs give is one the library reads.
    size_t clean = 0;
    for (size_t at = output.find(": 0 errors, 0 warnings"); at != std::string::npos;
         at = output.find(": 0 errors, 0 warnings", at + 1))
        ++clean;
    EXPECT_EQ(clean, 4u) << output;
}
