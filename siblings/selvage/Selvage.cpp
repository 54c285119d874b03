#include "Selvage.h"

namespace {

// The hive over the machine's real registry.
class CRegistryHive final : public Selvage::IZqHive {
public:
    LONG WINAPI OpenKey(HKEY root, const wchar_t* subKey, REGSAM access, HKEY* key) override
    {
        if (!key)
            return ERROR_INVALID_PARAMETER;
        *key = nullptr;
        return RegOpenKeyExW(root, subKey, 0, access, key);
    }

    LONG WINAPI CreateKey(HKEY root, const wchar_t* subKey, REGSAM access, HKEY* key) override
    {
        if (!key)
            return ERROR_INVALID_PARAMETER;
        *key = nullptr;
        return RegCreateKeyExW(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, key, nullptr);
    }

    LONG WINAPI QueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data,
                           DWORD* size) override
    {
        return RegQueryValueExW(key, name, nullptr, type, data, size);
    }

    LONG WINAPI SetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                         DWORD size) override
    {
        return RegSetValueExW(key, name, 0, type, data, size);
    }

    LONG WINAPI CloseKey(HKEY key) override
    {
        return key ? RegCloseKey(key) : ERROR_INVALID_HANDLE;
    }
};

CRegistryHive g_hive;

}  // namespace

extern "C" __declspec(dllexport) Selvage::IZqHive* WINAPI GetHivePtr()
{
    return &g_hive;
}
