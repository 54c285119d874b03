#pragma once
// Helpers of the host-services tests: a services object over folders of
// the test's own, registry keys removed afterwards, language and
// version-information modules made on the spot.
#include <windows.h>
#include <map>
#include <string>
#include "orvel/host/Global.h"

namespace HostTest {

// A services object whose module lives in folder (its lang\ below it) and
// whose sibling modules come from siblingDir (default: beside Orvel.dll).
class CTestGlobal : public COrvelGlobal {
public:
    explicit CTestGlobal(const std::wstring& folder = RuntimeDirFor(),
                         const std::wstring& siblingDir = L"");
    static std::wstring RuntimeDirFor();
    using CGlobalImpl::SetSiblingDir;
};

// The folder of the test program (the runtime folder), with backslash.
std::wstring RuntimeDir();

// Deletes HKLM\key and everything under it when the object goes, unless
// the key already existed when the object was made.
class CRegistryCleanup {
public:
    explicit CRegistryCleanup(const std::wstring& key);
    ~CRegistryCleanup();
    CRegistryCleanup(const CRegistryCleanup&) = delete;
    CRegistryCleanup& operator=(const CRegistryCleanup&) = delete;

private:
    std::wstring m_key;
    bool m_existed;
};

// Sets an environment variable for the object's lifetime.
class CEnvironment {
public:
    CEnvironment(const wchar_t* name, const std::wstring& value);
    ~CEnvironment();
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;

private:
    std::wstring m_name;
    std::wstring m_old;
    bool m_had;
};

// A language module holding strings in language.
bool MakeLanguageModule(const std::wstring& path, WORD language,
                        const std::map<UINT, std::wstring>& strings);
// A version-information module: ini as "VERINFO.INI" and string 1001 =
// version, both in language.
bool MakeVersionModule(const std::wstring& path, WORD language, const std::wstring& ini,
                       const std::wstring& version);

std::wstring ReadTextFile(const std::wstring& path);  // UTF-16 or bytes widened
std::string ReadBytes(const std::wstring& path);
bool CopyFileTo(const std::wstring& from, const std::wstring& to);

}  // namespace HostTest
