#include "app/cpu_usage.h"

#include "app/float_to_int.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace app {
namespace {

constexpr std::uint32_t versionInfoExSize = 156; // OSVERSIONINFOEXA
constexpr std::uint32_t versionInfoSize = 148;   // OSVERSIONINFOA, for systems refusing the larger one
constexpr std::uint32_t platformNt = 2;          // VER_PLATFORM_WIN32_NT

constexpr std::uint32_t basicInformationClass = 0;
constexpr std::uint32_t performanceInformationClass = 2;
constexpr std::uint32_t timeOfDayInformationClass = 3;

constexpr std::uint32_t secondSampleWaitMs = 800;
constexpr int maxSecondSampleWaits = 3; // an idle counter stuck at 0 must not hang the meter

constexpr std::uint32_t keyAllAccess = 0xF003F;
constexpr std::uint32_t keyRead = 0x20019;
constexpr const char* cpuUsageValue = "KERNEL\\CPUUsage";
constexpr std::uint32_t legacyWaitMs = 500;

bool isNt(CpuSystemCalls& os) {
    auto platform = os.versionPlatformId(versionInfoExSize);
    if (!platform) platform = os.versionPlatformId(versionInfoSize);
    return platform && *platform == platformNt;
}

// Exact two's-complement difference of two counters.
std::int64_t difference(std::int64_t later, std::int64_t earlier) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(later) - static_cast<std::uint64_t>(earlier));
}

// Idle share of the elapsed time over all processors, as busy percent. A zero time or processor
// count is not guarded: infinity and NaN convert to 0.
std::int32_t usagePercent(std::int64_t idleDelta, std::int64_t timeDelta, std::uint8_t processors) {
    const long double ratio = static_cast<long double>(idleDelta) / static_cast<long double>(timeDelta);
    long double usage = 100.0L - ratio * 100.0L / static_cast<long double>(processors) + 0.5L;
    if (std::isfinite(usage)) usage = std::clamp(usage, 0.0L, 100.0L); // -1 only means "cannot measure"
    return toInt32(usage);
}

// Windows 95/98/Me: the kernel's own CPUUsage statistic, started and stopped around the read.
std::int32_t sampleLegacy(CpuSystemCalls& os) {
    CpuSystemCalls::RegistryKey key{};
    std::uint32_t buffer = 0;
    std::uint32_t size = 4;

    if (os.openDynDataKey("PerfStats\\StartStat", keyAllAccess, key) != 0) return -1;
    os.queryRegistryValue(key, cpuUsageValue, buffer, size);
    os.closeRegistryKey(key);

    if (os.openDynDataKey("PerfStats\\StatData", keyRead, key) != 0) return -1;
    size = 4;
    os.queryRegistryValue(key, cpuUsageValue, buffer, size);
    os.sleep(legacyWaitMs);
    const auto usage = static_cast<std::int32_t>(buffer);
    os.closeRegistryKey(key);

    if (os.openDynDataKey("PerfStats\\StopStat", keyAllAccess, key) != 0) return -1;
    size = 4;
    os.queryRegistryValue(key, cpuUsageValue, buffer, size);
    os.closeRegistryKey(key);
    return usage;
}

} // namespace

std::int64_t readCounter(std::span<const std::uint8_t> bytes, std::size_t offset) {
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
               static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
               static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    };
    const auto high = static_cast<std::int32_t>(word(offset + 4));
    return static_cast<std::int64_t>(high) * 4294967296LL + word(offset);
}

std::int32_t CpuUsageSampler::sampleCpuUsage(CpuSystemCalls& os) {
    return isNt(os) ? sampleNt(os) : sampleLegacy(os);
}

std::int32_t CpuUsageSampler::sampleNt(CpuSystemCalls& os) {
    const auto query = os.findSystemInformationQuery();
    if (query == 0) return -1;

    alignas(8) std::array<std::uint8_t, sizeof(SystemBasicInformation)> basic{};
    if (os.querySystemInformation(query, basicInformationClass, basic.data(), basic.size()) != 0) return -1;
    const std::uint8_t processors = processorCountFrom<SystemBasicInformation>(basic);

    alignas(8) std::array<std::uint8_t, timeOfDayInformationLength> timeOfDay{};
    alignas(8) std::array<std::uint8_t, performanceInformationLength> performance{};
    std::int64_t systemTime = 0;
    std::int64_t idleTime = 0;
    const auto readCounters = [&] {
        if (os.querySystemInformation(query, timeOfDayInformationClass, timeOfDay.data(), timeOfDay.size()) !=
            0)
            return false;
        systemTime = readCounter(timeOfDay, timeOfDayCurrentTimeOffset);
        if (os.querySystemInformation(query, performanceInformationClass, performance.data(),
                                      performance.size()) != 0)
            return false;
        idleTime = readCounter(performance, performanceIdleTimeOffset);
        return true;
    };
    if (!readCounters()) return -1;

    // No sample held: keep this one and take another after a wait. A failure keeps the one stored.
    for (int waits = 0; previousIdleTime == 0; ++waits) {
        if (waits == maxSecondSampleWaits) return -1;
        previousIdleTime = idleTime;
        previousSystemTime = systemTime;
        os.sleep(secondSampleWaitMs);
        if (!readCounters()) return -1;
    }

    const std::int32_t usage = usagePercent(difference(idleTime, previousIdleTime),
                                            difference(systemTime, previousSystemTime), processors);
    previousIdleTime = idleTime;
    previousSystemTime = systemTime;
    return usage;
}

} // namespace app
