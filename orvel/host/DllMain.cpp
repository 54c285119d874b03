#include <windows.h>

// The host services object is created here once it exists; for now the
// library only keeps its module handle.
HMODULE g_orvelModule = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_orvelModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
