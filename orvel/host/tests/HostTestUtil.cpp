#include "HostTestUtil.h"

#include <gtest/gtest.h>
#include <vector>
#include "orvel/resource/ResourceUpdate.h"
#include "tools/spkc/PackBuilder.h"

namespace HostTest {

std::wstring RuntimeDir()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring CTestGlobal::RuntimeDirFor()
{
    return RuntimeDir();
}

CTestGlobal::CTestGlobal(const std::wstring& folder, const std::wstring& siblingDir)
{
    std::wstring dir = folder;
    if (!dir.empty() && dir.back() != L'\\')
        dir += L'\\';
    wchar_t app[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, app, MAX_PATH);
    SetPaths(dir + L"Orvel.dll", std::wstring(app, n));
    if (!siblingDir.empty())
        SetSiblingDir(siblingDir);
}

CRegistryCleanup::CRegistryCleanup(const std::wstring& key) : m_key(key)
{
    HKEY opened = nullptr;
    m_existed = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) ==
                ERROR_SUCCESS;
    if (opened)
        RegCloseKey(opened);
}

CRegistryCleanup::~CRegistryCleanup()
{
    if (!m_existed) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_key.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, m_key.c_str());
    }
}

CEnvironment::CEnvironment(const wchar_t* name, const std::wstring& value) : m_name(name)
{
    wchar_t old[4096];
    DWORD n = GetEnvironmentVariableW(name, old, ARRAYSIZE(old));
    m_had = n > 0 && n < ARRAYSIZE(old);
    if (m_had)
        m_old.assign(old, n);
    SetEnvironmentVariableW(name, value.c_str());
}

CEnvironment::~CEnvironment()
{
    SetEnvironmentVariableW(m_name.c_str(), m_had ? m_old.c_str() : nullptr);
}

bool MakeLanguageModule(const std::wstring& path, WORD language,
                        const std::map<UINT, std::wstring>& strings)
{
    if (!Spk::WriteEmptyModule(path))
        return false;
    Resource::CResourceUpdate update;
    if (!update.BeginUpdate(path.c_str(), true))
        return false;
    if (!update.UpdateStringTable(language, strings)) {
        update.CancelUpdate();
        return false;
    }
    return update.EndUpdate();
}

bool MakeVersionModule(const std::wstring& path, WORD language, const std::wstring& ini,
                       const std::wstring& version)
{
    if (!Spk::WriteEmptyModule(path))
        return false;
    Resource::CResourceUpdate update;
    if (!update.BeginUpdate(path.c_str(), true))
        return false;
    std::map<UINT, std::wstring> strings;
    if (!version.empty())
        strings[1001] = version;
    bool ok = update.Update(language, L"INIFILES", L"VERINFO.INI", ini.data(),
                            static_cast<DWORD>(ini.size() * sizeof(wchar_t))) &&
              (strings.empty() || update.UpdateStringTable(language, strings));
    if (!ok) {
        update.CancelUpdate();
        return false;
    }
    return update.EndUpdate();
}

std::string ReadBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::wstring ReadTextFile(const std::wstring& path)
{
    std::string bytes = ReadBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

bool CopyFileTo(const std::wstring& from, const std::wstring& to)
{
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

}  // namespace HostTest

namespace {

// Whatever the tests leave under HKLM\Software\Tessaly goes with the run,
// when the key was not there before it.
class CTessalyKeyEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_cleanup = new HostTest::CRegistryCleanup(L"Software\\Tessaly"); }
    void TearDown() override
    {
        delete m_cleanup;
        m_cleanup = nullptr;
    }

private:
    HostTest::CRegistryCleanup* m_cleanup = nullptr;
};

const auto* const g_tessalyKey = ::testing::AddGlobalTestEnvironment(new CTessalyKeyEnvironment);

}  // namespace
