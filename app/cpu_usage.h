// Processor usage in whole percent, measured through a small seam over the operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

namespace app {

// What the sampler needs from the system; the Win32 implementation lives in cpu_system_calls_win32.
class CpuSystemCalls {
  public:
    // Entry point of NtQuerySystemInformation, opaque; 0 when not found.
    using SystemInformationQuery = std::uintptr_t;
    // Open registry key, opaque.
    using RegistryKey = std::uintptr_t;

    virtual ~CpuSystemCalls() = default;

    // GetVersionExA on a zeroed record whose size field is recordSize: dwPlatformId, or nothing on failure.
    virtual std::optional<std::uint32_t> versionPlatformId(std::uint32_t recordSize) = 0;
    // NtQuerySystemInformation in the already-loaded ntdll; nothing is loaded.
    virtual SystemInformationQuery findSystemInformationQuery() = 0;
    // Status of the query, 0 on success.
    virtual std::uint32_t querySystemInformation(SystemInformationQuery query, std::uint32_t infoClass,
                                                 void* buffer, std::uint32_t length) = 0;
    // Subkey of HKEY_DYN_DATA; status, 0 on success.
    virtual std::int32_t openDynDataKey(const char* subkey, std::uint32_t access, RegistryKey& key) = 0;
    // Value into a 4-byte buffer; size in and out, as RegQueryValueExA takes it.
    virtual std::int32_t queryRegistryValue(RegistryKey key, const char* name, std::uint32_t& data,
                                            std::uint32_t& size) = 0;
    virtual void closeRegistryKey(RegistryKey key) = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;
};

// SystemBasicInformation (class 0) as 32-bit Windows writes it.
struct SystemBasicInformationX86 {
    std::uint32_t reserved;
    std::uint32_t timerResolution;
    std::uint32_t pageSize;
    std::uint32_t numberOfPhysicalPages;
    std::uint32_t lowestPhysicalPageNumber;
    std::uint32_t highestPhysicalPageNumber;
    std::uint32_t allocationGranularity;
    std::uint32_t minimumUserModeAddress;
    std::uint32_t maximumUserModeAddress;
    std::uint32_t activeProcessorsAffinityMask;
    std::uint8_t numberOfProcessors;
    std::uint8_t tailPadding[3];
};
static_assert(sizeof(SystemBasicInformationX86) == 44);
static_assert(offsetof(SystemBasicInformationX86, numberOfProcessors) == 40);

// SystemBasicInformation (class 0) as 64-bit Windows writes it; it refuses a length of 44.
struct SystemBasicInformationX64 {
    std::uint32_t reserved;
    std::uint32_t timerResolution;
    std::uint32_t pageSize;
    std::uint32_t numberOfPhysicalPages;
    std::uint32_t lowestPhysicalPageNumber;
    std::uint32_t highestPhysicalPageNumber;
    std::uint32_t allocationGranularity;
    std::uint32_t alignmentPadding;
    std::uint64_t minimumUserModeAddress;
    std::uint64_t maximumUserModeAddress;
    std::uint64_t activeProcessorsAffinityMask;
    std::uint8_t numberOfProcessors;
    std::uint8_t tailPadding[7];
};
static_assert(sizeof(SystemBasicInformationX64) == 64);
static_assert(offsetof(SystemBasicInformationX64, numberOfProcessors) == 56);
static_assert(std::has_unique_object_representations_v<SystemBasicInformationX86> &&
              std::has_unique_object_representations_v<SystemBasicInformationX64>);

// The layout the real calls of this build get.
using SystemBasicInformation =
    std::conditional_t<sizeof(void*) == 8, SystemBasicInformationX64, SystemBasicInformationX86>;

// SystemTimeOfDayInformation (class 3) and SystemPerformanceInformation (class 2): same on both.
inline constexpr std::uint32_t timeOfDayInformationLength = 32;
inline constexpr std::size_t timeOfDayCurrentTimeOffset = 8;
inline constexpr std::uint32_t performanceInformationLength = 312;
inline constexpr std::size_t performanceIdleTimeOffset = 0;

// Processor count from a class-0 record exactly as the system wrote it.
template <class Record> std::uint8_t processorCountFrom(std::span<const std::uint8_t, sizeof(Record)> bytes) {
    Record record;
    std::memcpy(&record, bytes.data(), sizeof record);
    return record.numberOfProcessors;
}

// Little-endian signed 64-bit counter at offset: high 32 bits signed, low 32 bits unsigned.
std::int64_t readCounter(std::span<const std::uint8_t> bytes, std::size_t offset);

// One per process; holds the previous sample of the NT method.
class CpuUsageSampler {
  public:
    virtual ~CpuUsageSampler() = default;

    // Whole percent, or -1 when it cannot be measured. The first NT call waits 800 ms for a second
    // sample; the legacy method waits 500 ms every call.
    std::int32_t sampleCpuUsage(CpuSystemCalls& os);

    std::int64_t previousIdleTime = 0; // 100-ns units; 0: no sample held
    std::int64_t previousSystemTime = 0;

  private:
    std::int32_t sampleNt(CpuSystemCalls& os);
};

} // namespace app
