#include "Failure.h"

namespace Base {

const char* CFailure::what() const noexcept
{
    switch (m_code) {
    case E_INVALIDARG: return "invalid argument (0x80070057)";
    case E_OUTOFMEMORY: return "out of memory (0x8007000E)";
    case E_FAIL: return "unspecified failure (0x80004005)";
    case kMissingStyleIni: return "style pack has no STYLE.INI (1814)";
    default: return "failure";
    }
}

void ThrowFailure(HRESULT code)
{
    throw CFailure(code);
}

}  // namespace Base
