// What the benchmarks print about the machine they ran on.
#pragma once

#include <windows.h>

#include <cstdint>

namespace bench {

// Wine's own version string, or null on Windows.
inline const char* wineVersion() {
    const HMODULE ntdll = GetModuleHandleA("ntdll");
    if (!ntdll) return nullptr;
    const auto entry = reinterpret_cast<std::uintptr_t>(GetProcAddress(ntdll, "wine_get_version"));
    if (entry == 0) return nullptr;
    return reinterpret_cast<const char* (*)()>(entry)();
}

} // namespace bench
