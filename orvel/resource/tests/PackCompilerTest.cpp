#include <gtest/gtest.h>

#include "ResourceTestUtil.h"
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"
#include "tools/spkc/PackBuilder.h"

using namespace Resource;

namespace {

// Runs the compiler (beside the test binary) and returns its exit code and
// what it wrote to the error stream.
DWORD RunCompiler(const std::wstring& arguments, std::string& errors)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe = self;
    exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"spkc.exe";
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
