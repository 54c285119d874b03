#include <windows.h>
#include "../base/Module.h"
#include "../style/StyleManager.h"
#include "../windows/StyledWnd.h"
#include "../windows/StyledWndManager.h"
#include "Global.h"

namespace {
HMODULE g_libraryModule = nullptr;
}

HMODULE Base::GetLibraryModule()
{
    return g_libraryModule;
}

// The services object lives from load to unload. Its construction only sets
// members, so it is safe under the loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_libraryModule = instance;
        DisableThreadLibraryCalls(instance);
        try {
            COrvelGlobal::CreateInstance();
        } catch (...) {
            return FALSE;
        }
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded by FreeLibrary: the process goes on, so give back what
        // the library holds. At process exit the system reclaims it all.
        Windows::CStyledWndManager::ReleaseInstance();
        Style::CStyleManager::ReleaseInstance();
        Images::CMemDC::ReleaseKeptBuffers();
        COrvelGlobal::DestroyInstance();
    }
    return TRUE;
}
