#include <windows.h>
#include <stdexcept>
#include "PardoExport.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}

void PardoInternal::RaiseForTest(int code)
{
    if (code)
        throw std::runtime_error("raised inside Pardo");
}
