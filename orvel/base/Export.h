#pragma once
// Export macro of Orvel.dll: the whole class library is exported.
#if defined(ORVEL_BUILD)
#define ORVEL_API __declspec(dllexport)
#elif defined(ORVEL_STATIC)
#define ORVEL_API
#else
#define ORVEL_API __declspec(dllimport)
#endif
