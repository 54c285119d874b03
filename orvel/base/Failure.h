#pragma once
// The one failure type of the container layer: misuse of an index or a
// position, exhausted memory, or a style pack without its main INI file.
#include <windows.h>
#include <exception>
#include "Export.h"

namespace Base {

// A pack module without "STYLE.INI" (ERROR_RESOURCE_NAME_NOT_FOUND).
constexpr HRESULT kMissingStyleIni = 1814;

class ORVEL_API CFailure : public std::exception {
public:
    explicit CFailure(HRESULT code) noexcept : m_code(code) {}
    HRESULT GetCode() const noexcept { return m_code; }
    const char* what() const noexcept override;

private:
    HRESULT m_code;
};

[[noreturn]] ORVEL_API void ThrowFailure(HRESULT code);
[[noreturn]] inline void ThrowInvalidArg() { ThrowFailure(E_INVALIDARG); }
[[noreturn]] inline void ThrowOutOfMemory() { ThrowFailure(E_OUTOFMEMORY); }
[[noreturn]] inline void ThrowFail() { ThrowFailure(E_FAIL); }

}  // namespace Base
