#pragma once
// Interface of RUZuvived.dll, the suite's installation module. Callers load
// it at run time and bind its entry points by ordinal (1 to 18); only the
// two below carry behaviour in this build, the others answer "not
// available".
//
// Where the installation directory comes from, first match wins:
//   1. the environment variable TESSALY_INSTALL_DIR (read on every call, so
//      a process can point the suite at another folder);
//   2. the string value "InstallPath" of HKLM\Software\Tessaly;
//   3. the folder that holds RUZuvived.dll itself (the runtime layout puts
//      it beside Orvel.dll, so a build tree or an unpacked copy works as it
//      stands).
// Every directory handed out ends with a backslash; nothing is created.
#include <windows.h>

namespace RUZuvived {

// Ordinal 1: the installation directory joined with relative (null or empty
// for the directory itself). Writes at most capacity characters including
// the terminator; returns the length written, or 0 when the result does not
// fit or no directory is known.
constexpr WORD kOrdinalGetInstallDir = 1;
using PFN_GetInstallDir = DWORD(WINAPI*)(const wchar_t* relative, wchar_t* buffer,
                                         DWORD capacity);

// Ordinal 2: the directory of component (its folder under the installation
// directory; every component of this build lives in the installation
// directory itself) joined with subFolder, into a buffer of kPathChars
// characters. Returns the length, or 0 (and an empty buffer) on failure.
constexpr WORD kOrdinalGetComponentDir = 2;
constexpr DWORD kPathChars = 260;
using PFN_GetComponentDir = DWORD(WINAPI*)(const wchar_t* component, const wchar_t* subFolder,
                                           wchar_t* buffer);

constexpr WORD kFirstOrdinal = 1;
constexpr WORD kLastOrdinal = 18;

}  // namespace RUZuvived
