// Starting programs and building their command lines and query addresses
// from names that may hold quotes, spaces, '&' and '#'.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <vector>
#include "HostTestUtil.h"
#include "tests/common/TestCommon.h"

using HostTest::CEnvironment;
using HostTest::CTestGlobal;

namespace {

const wchar_t* const kNastyNames[] = {
    L"Trojan.Win32.Agent",
    L"W32/Evil \"quoted\" & #1",
    L"\" -uninstall \"",
    L"trailing\\",
    L"back\\\\\"slash",
    L"",
    L"\u75c5\u6bd2 %PATH% ^&",
};

std::vector<std::wstring> Parse(const std::wstring& commandLine)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine.c_str(), &argc);
    std::vector<std::wstring> result(argv, argv + argc);
    LocalFree(argv);
    return result;
}

// Waits for the probe's record: its working folder, then one argument a line.
std::vector<std::wstring> WaitForProbe(const std::wstring& out)
{
    for (int i = 0; i < 300 && GetFileAttributesW(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    std::wstring text = HostTest::ReadTextFile(out);
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

}  // namespace

TEST(HostLaunch, QuotedArgumentParsesBackExactly)
{
    for (const wchar_t* name : kNastyNames) {
        std::vector<std::wstring> args = Parse(L"prog.exe " + CTestGlobal::QuoteArgument(name));
        ASSERT_EQ(args.size(), 2u) << name;
        EXPECT_EQ(args[1], name);
    }
}

TEST(HostLaunch, ThreatQueryEscapesTheName)
{
    EXPECT_EQ(CTestGlobal::EscapeUrlPart(L"W32/Evil \"x\" & #1"),
              L"W32%2FEvil%20%22x%22%20%26%20%231");
    EXPECT_EQ(CTestGlobal::EscapeUrlPart(L"\u75c5\u6bd2"), L"%E7%97%85%E6%AF%92");
    std::wstring url = CTestGlobal::ThreatQueryUrl(L"a&b=c#d");
    EXPECT_NE(url.find(L"virusdbsearch.asp?virusword=a%26b%3Dc%23d"), std::wstring::npos);
    EXPECT_EQ(url.find(L'#'), std::wstring::npos);
}

TEST(HostLaunch, ParvaneGetsTheNameAsOneArgument)
{
    TestCommon::CTempDir dir;
    ASSERT_TRUE(HostTest::CopyFileTo(HostTest::RuntimeDir() + L"host_probe.exe",
                                     dir.File(L"Parvane.exe")));
    CTestGlobal global(dir.Path());
    const std::wstring name = L"W32/Evil \"quoted\" & #1 -x";
    const std::wstring out = dir.File(L"threat.txt");
    CEnvironment probeOut(L"ORVEL_PROBE_OUT", out);
    ASSERT_TRUE(global.ShowThreatInfo(name.c_str()));
    std::vector<std::wstring> lines = WaitForProbe(out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], name);
}

TEST(HostLaunch, RunProgramPassesArgumentsAndFolder)
{
    TestCommon::CTempDir dir;
    const std::wstring out = dir.File(L"run.txt");
    CEnvironment probeOut(L"ORVEL_PROBE_OUT", out);
    CTestGlobal global;
    const std::wstring probe = HostTest::RuntimeDir() + L"host_probe.exe";
    ASSERT_TRUE(global.RunProgram(probe.c_str(), L"\"one two\" three", dir.Path().c_str(),
                                  SW_HIDE));
    std::vector<std::wstring> lines = WaitForProbe(out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(CompareStringOrdinal(lines[0].c_str(), -1, dir.Path().c_str(), -1, TRUE),
              CSTR_EQUAL)
        << lines[0];
    EXPECT_EQ(lines[1], L"one two");
    EXPECT_EQ(lines[2], L"three");

    // Nothing to start, or a path that would break its own quoting.
    EXPECT_FALSE(global.RunProgram(nullptr, nullptr, nullptr, SW_HIDE));
    EXPECT_FALSE(global.RunProgram(L"a\" b", nullptr, nullptr, SW_HIDE));
    EXPECT_FALSE(global.ShowInFileManager(L"C:\\x\" /root,\"C:\\"));
    EXPECT_FALSE(global.ShellOpen(nullptr));
}
