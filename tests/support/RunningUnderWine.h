#pragma once

#include "serial/platform/WindowsHeader.h"

// True when the test runs as a Windows program under Wine, whose serial layer
// differs from Windows in the places the tests name.
inline bool RunningUnderWine()
{
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
