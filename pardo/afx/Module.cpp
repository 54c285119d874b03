#include "Module.h"
#include <atomic>

namespace {

thread_local HINSTANCE t_resourceModule;

void DebuggerReporter(const char* description)
{
    OutputDebugStringA(description);
    OutputDebugStringA("\n");
}

std::atomic<Pardo::ExceptionReporter> g_reporter{&DebuggerReporter};

}  // namespace

namespace Pardo {

HINSTANCE ModuleHandle()
{
    static HINSTANCE module = [] {
        HMODULE handle = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&ModuleHandle), &handle);
        return handle;
    }();
    return module;
}

HINSTANCE GetResourceHandle()
{
    return t_resourceModule ? t_resourceModule : ModuleHandle();
}

void SetResourceHandle(HINSTANCE module)
{
    t_resourceModule = module;
}

ExceptionReporter SetExceptionReporter(ExceptionReporter reporter)
{
    return g_reporter.exchange(reporter ? reporter : &DebuggerReporter);
}

void ReportException(const char* description)
{
    g_reporter.load()(description);
}

}  // namespace Pardo
