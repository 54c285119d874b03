#include <windows.h>
#include "../base/Module.h"

namespace {
HMODULE g_libraryModule = nullptr;
}

HMODULE Base::GetLibraryModule()
{
    return g_libraryModule;
}

// The host services object is created here once it exists.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_libraryModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
