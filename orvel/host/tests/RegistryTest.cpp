// Registry values through Selvage.dll over the real registry.
#include <gtest/gtest.h>
#include "HostTestUtil.h"
#include "tests/common/TestCommon.h"

using HostTest::CRegistryCleanup;
using HostTest::CTestGlobal;

namespace {

std::wstring TestKey()
{
    return L"Software\\Tessaly\\OrvelHostTest" + std::to_wstring(GetCurrentProcessId());
}

LONG SetRaw(const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
            DWORD size)
{
    HKEY opened = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &opened, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(opened);
    return result;
}

}  // namespace

TEST(HostRegistry, StringAndNumberRoundTrip)
{
    const std::wstring key = TestKey();
    CRegistryCleanup cleanup(key);
    CTestGlobal global;
    HKEY hklm = HKEY_LOCAL_MACHINE;

    ASSERT_EQ(global.RegWriteString(hklm, key.c_str(), L"Name", L"Gr\u00fcn 2009"), ERROR_SUCCESS);
    wchar_t buffer[260];
    DWORD size = ARRAYSIZE(buffer);
    ASSERT_EQ(global.RegReadString(hklm, key.c_str(), L"Name", buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, L"Gr\u00fcn 2009");
    EXPECT_EQ(size, 10u);  // characters, terminator included

    // Too small a buffer: the system's "more data" and the size needed.
    wchar_t small[4];
    size = ARRAYSIZE(small);
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"Name", small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    size = 0;
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"Name", nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);

    ASSERT_EQ(global.RegWriteDword(hklm, key.c_str(), L"Count", 0xDEADBEEF), ERROR_SUCCESS);
    DWORD value = 0;
    ASSERT_EQ(global.RegReadDword(hklm, key.c_str(), L"Count", &value), ERROR_SUCCESS);
    EXPECT_EQ(value, 0xDEADBEEFu);

    // The default value of a key (empty name) works like any other.
    ASSERT_EQ(global.RegWriteString(hklm, key.c_str(), L"", L"default"), ERROR_SUCCESS);
    size = ARRAYSIZE(buffer);
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"", buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, L"default");

    size = ARRAYSIZE(buffer);
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"Missing", buffer, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(global.RegReadString(hklm, (key + L"\\Nope").c_str(), L"Name", buffer, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST(HostRegistry, ErrorCodes)
{
    const std::wstring key = TestKey();
    CRegistryCleanup cleanup(key);
    CTestGlobal global;
    HKEY hklm = HKEY_LOCAL_MACHINE;
    wchar_t buffer[64];
    DWORD size = ARRAYSIZE(buffer);
    DWORD value = 0;

    // An empty or missing key name.
    EXPECT_EQ(global.RegReadString(hklm, L"", L"Name", buffer, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(global.RegReadString(hklm, nullptr, L"Name", buffer, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(global.RegReadDword(hklm, L"", L"Name", &value), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(global.RegWriteDword(hklm, L"", L"Name", 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(global.RegWriteString(hklm, L"", L"Name", L"x"), ERROR_INVALID_PARAMETER);

    // Wrong types, odd sizes and strings without a terminator.
    ASSERT_EQ(global.RegWriteDword(hklm, key.c_str(), L"Number", 7), ERROR_SUCCESS);
    ASSERT_EQ(global.RegWriteString(hklm, key.c_str(), L"Text", L"seven"), ERROR_SUCCESS);
    size = ARRAYSIZE(buffer);
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"Number", buffer, &size), ERROR_INVALID_DATA);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(global.RegReadDword(hklm, key.c_str(), L"Text", &value), ERROR_INVALID_DATA);

    const wchar_t odd[] = L"abc";
    ASSERT_EQ(SetRaw(key, L"Odd", REG_SZ, odd, 5), ERROR_SUCCESS);
    size = ARRAYSIZE(buffer);
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"Odd", buffer, &size), ERROR_INVALID_DATA);

    // The system counts a terminator the caller left out when one follows
    // the data, so the unterminated text must be followed by more text.
    const wchar_t open[] = L"abcd";
    ASSERT_EQ(SetRaw(key, L"Open", REG_SZ, open, 3 * sizeof(wchar_t)), ERROR_SUCCESS);
    size = ARRAYSIZE(buffer);
    EXPECT_EQ(global.RegReadString(hklm, key.c_str(), L"Open", buffer, &size), ERROR_INVALID_DATA);
    EXPECT_STREQ(buffer, L"");

    const BYTE two[2] = {1, 2};
    ASSERT_EQ(SetRaw(key, L"Short", REG_DWORD, two, 2), ERROR_SUCCESS);
    EXPECT_EQ(global.RegReadDword(hklm, key.c_str(), L"Short", &value), ERROR_INVALID_DATA);
}

TEST(HostRegistry, MissingSelvageFailsWith126)
{
    TestCommon::CTempDir empty;
    CTestGlobal global(HostTest::RuntimeDir(), empty.Path());
    HKEY hklm = HKEY_LOCAL_MACHINE;
    wchar_t buffer[16];
    DWORD size = ARRAYSIZE(buffer);
    DWORD value = 0;
    EXPECT_EQ(global.RegReadString(hklm, L"Software\\Tessaly", L"x", buffer, &size), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(global.RegReadDword(hklm, L"Software\\Tessaly", L"x", &value), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(global.RegWriteDword(hklm, L"Software\\Tessaly", L"x", 1), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(global.RegWriteString(hklm, L"Software\\Tessaly", L"x", L"y"), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(global.GetLastScanDate(), 0u);
    // Without the installation module the log falls back to the Windows folder.
    EXPECT_NE(global.GetLogFilePath().find(L"\\ZQLog\\"), std::wstring::npos);
}

TEST(HostRegistry, KeyPathsAndLastScanDate)
{
    CTestGlobal global;
    EXPECT_EQ(global.GetRegKeyPath(nullptr), L"Software\\Tessaly");
    EXPECT_EQ(global.GetRegKeyPath(L""), L"Software\\Tessaly");
    EXPECT_EQ(global.GetRegKeyPath(L"Orvel"), L"Software\\Tessaly\\Orvel");

    SYSTEMTIME date = {};
    date.wYear = 2011;
    date.wMonth = 3;
    date.wDay = 7;
    EXPECT_EQ(CTestGlobal::DateValue(date), 20110307u);

    CRegistryCleanup cleanup(L"Software\\Tessaly\\scan");
    ASSERT_EQ(global.SetLastScanDate(), ERROR_SUCCESS);
    SYSTEMTIME today;
    GetLocalTime(&today);
    EXPECT_EQ(global.GetLastScanDate(), CTestGlobal::DateValue(today));
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Tessaly\\scan", L"lastScanDate",
                           RRF_RT_REG_DWORD, nullptr, &stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(stored, CTestGlobal::DateValue(today));
}
