#include "RUZuvived.h"

#include <string>

namespace {

HMODULE g_self = nullptr;

std::wstring WithBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    return path;
}

std::wstring FromEnvironment()
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"TESSALY_INSTALL_DIR", buffer, ARRAYSIZE(buffer));
    return n && n < ARRAYSIZE(buffer) ? std::wstring(buffer, n) : std::wstring();
}

std::wstring FromRegistry()
{
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Tessaly", L"InstallPath",
                     RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

std::wstring OwnFolder()
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(g_self, buffer, ARRAYSIZE(buffer));
    if (!n || n >= ARRAYSIZE(buffer))
        return {};
    std::wstring path(buffer, n);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring InstallDir()
{
    std::wstring dir = FromEnvironment();
    if (dir.empty())
        dir = FromRegistry();
    if (dir.empty())
        dir = OwnFolder();
    return WithBackslash(dir);
}

DWORD CopyOut(const std::wstring& text, wchar_t* buffer, DWORD capacity)
{
    if (!buffer || !capacity)
        return 0;
    if (text.empty() || text.size() >= capacity) {
        buffer[0] = 0;
        return 0;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return static_cast<DWORD>(text.size());
}

}  // namespace

extern "C" {

DWORD WINAPI RuGetInstallDir(const wchar_t* relative, wchar_t* buffer, DWORD capacity)
{
    try {
        std::wstring dir = InstallDir();
        if (!dir.empty() && relative)
            dir += relative;
        return CopyOut(dir, buffer, capacity);
    } catch (...) {
        return CopyOut({}, buffer, capacity);
    }
}

DWORD WINAPI RuGetComponentDir(const wchar_t* component, const wchar_t* subFolder,
                               wchar_t* buffer)
{
    try {
        // Components share the installation directory in this build; the
        // name is accepted for the callers' sake.
        (void)component;
        std::wstring dir = InstallDir();
        if (!dir.empty() && subFolder)
            dir += subFolder;
        return CopyOut(dir, buffer, RUZuvived::kPathChars);
    } catch (...) {
        return CopyOut({}, buffer, RUZuvived::kPathChars);
    }
}

// Entry points of the real module that no caller of this build uses.
DWORD WINAPI RuReserved()
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

}  // extern "C"
