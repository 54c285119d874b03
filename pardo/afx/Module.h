#pragma once
// Pardo's own application framework: module state and exception reporting.
#include <windows.h>
#include "pardo/PardoExport.h"

namespace Pardo {

// Pardo.dll's own module handle.
PARDO_API HINSTANCE ModuleHandle();

// The module that resource look-ups of the framework use (dialog
// templates, strings). Pardo.dll unless a scope switched it.
PARDO_API HINSTANCE GetResourceHandle();
PARDO_API void SetResourceHandle(HINSTANCE module);

// Makes a module the resource source for the lifetime of the scope.
class CResourceScope {
public:
    explicit CResourceScope(HINSTANCE module) : m_previous(GetResourceHandle()) { SetResourceHandle(module); }
    ~CResourceScope() { SetResourceHandle(m_previous); }
    CResourceScope(const CResourceScope&) = delete;
    CResourceScope& operator=(const CResourceScope&) = delete;

private:
    HINSTANCE m_previous;
};

// Where the framework reports an exception that it caught at a window or
// hook procedure. The default writes to the debugger output. Returns the
// previous reporter.
using ExceptionReporter = void (*)(const char* description);
PARDO_API ExceptionReporter SetExceptionReporter(ExceptionReporter reporter);
PARDO_API void ReportException(const char* description);

}  // namespace Pardo
