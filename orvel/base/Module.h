#pragma once
#include <windows.h>
#include "Export.h"

namespace Base {

// Orvel.dll's own module handle: the resource module used when a caller
// names none.
ORVEL_API HMODULE GetLibraryModule();

}  // namespace Base
