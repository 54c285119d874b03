#pragma once
#if defined(PARDO_BUILD)
#define PARDO_API __declspec(dllexport)
#else
#define PARDO_API __declspec(dllimport)
#endif

// Raises an exception of the caller's choice inside Pardo.dll; the module
// test uses it to prove that exceptions cross the module boundary.
namespace PardoInternal {
PARDO_API void RaiseForTest(int code);
}
