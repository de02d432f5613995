// Included before every source of the host-ABI build. libc++'s <locale> names
// two locale-taking C library functions that MinGW-w64's headers, which stand
// in here for Windows' own C headers, do not declare; Windows' C library
// (ucrtbase.dll) has both.
#pragma once
#include <corecrt.h>

#ifdef __cplusplus
extern "C" {
#endif
float __cdecl _strtof_l(const char* text, char** end, _locale_t locale);
long double __cdecl _strtold_l(const char* text, char** end, _locale_t locale);
#ifdef __cplusplus
}
#endif
