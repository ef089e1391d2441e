#include "app/cpu_system_calls_win32.h"

#include <windows.h>

namespace app {
namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148);

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

class WindowsCpuSystemCalls final : public CpuSystemCalls {
  public:
    std::optional<std::uint32_t> versionPlatformId(std::uint32_t recordSize) override {
        OSVERSIONINFOEXA info{};
        if (recordSize > sizeof info) return std::nullopt;
        info.dwOSVersionInfoSize = recordSize;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // the platform id is all we want of it
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return std::nullopt;
#pragma GCC diagnostic pop
        return info.dwPlatformId;
    }

    SystemInformationQuery findSystemInformationQuery() override {
        const HMODULE ntdll = GetModuleHandleA("ntdll");
        if (!ntdll) return 0;
        return reinterpret_cast<SystemInformationQuery>(GetProcAddress(ntdll, "NtQuerySystemInformation"));
    }

    std::uint32_t querySystemInformation(SystemInformationQuery query, std::uint32_t infoClass, void* buffer,
                                         std::uint32_t length) override {
        const auto ntQuery = reinterpret_cast<NtQuerySystemInformationFn>(query);
        return static_cast<std::uint32_t>(ntQuery(infoClass, buffer, length, nullptr));
    }

    std::int32_t openDynDataKey(const char* subkey, std::uint32_t access, RegistryKey& key) override {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(HKEY_DYN_DATA, subkey, 0, access, &opened);
        key = reinterpret_cast<RegistryKey>(opened);
        return status;
    }

    std::int32_t queryRegistryValue(RegistryKey key, const char* name, std::uint32_t& data,
                                    std::uint32_t& size) override {
        DWORD type = 0;
        DWORD bytes = size;
        const LONG status = RegQueryValueExA(reinterpret_cast<HKEY>(key), name, nullptr, &type,
                                             reinterpret_cast<BYTE*>(&data), &bytes);
        size = bytes;
        return status;
    }

    void closeRegistryKey(RegistryKey key) override {
        RegCloseKey(reinterpret_cast<HKEY>(key));
    }

    void sleep(std::uint32_t milliseconds) override {
        Sleep(milliseconds);
    }
};

WindowsCpuSystemCalls systemCalls;
constinit CpuUsageSampler sampler;

} // namespace

CpuSystemCalls& windowsCpuSystemCalls() {
    return systemCalls;
}

CpuUsageSampler& cpuUsageSampler() {
    return sampler;
}

} // namespace app
