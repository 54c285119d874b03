#pragma once
// Interface of Selvage.dll, the suite's registry module. Callers load it at
// run time and call its export GetHivePtr, which returns one process-wide
// hive object (never to be deleted). Every operation returns a system
// error code (ERROR_SUCCESS on success), as the registry functions do.
#include <windows.h>

namespace Selvage {

class IZqHive {
public:
    virtual LONG WINAPI OpenKey(HKEY root, const wchar_t* subKey, REGSAM access,
                                HKEY* key) = 0;
    // Opens the key, creating it and any missing parents.
    virtual LONG WINAPI CreateKey(HKEY root, const wchar_t* subKey, REGSAM access,
                                  HKEY* key) = 0;
    // size: in bytes, in and out; data may be null to ask for the size.
    virtual LONG WINAPI QueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data,
                                   DWORD* size) = 0;
    virtual LONG WINAPI SetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                                 DWORD size) = 0;
    virtual LONG WINAPI CloseKey(HKEY key) = 0;

protected:
    ~IZqHive() = default;
};

using PFN_GetHivePtr = IZqHive*(WINAPI*)();
constexpr char kGetHivePtrName[] = "GetHivePtr";

}  // namespace Selvage
