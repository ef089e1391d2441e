#include "app/cpu_usage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;

constexpr std::uint32_t kStatusUnsuccessful = 0xC0000001;
constexpr std::uint32_t kStatusInfoLengthMismatch = 0xC0000004;
constexpr app::CpuSystemCalls::SystemInformationQuery kQueryEntry = 0x7ff0'1234;

// Class-0 record of the Windows this build runs on.
constexpr std::uint32_t kBasicLength = sizeof(void*) == 8 ? 64 : 44;
constexpr std::size_t kProcessorCountOffset = sizeof(void*) == 8 ? 56 : 40;

void putInt64(std::uint8_t* at, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Answers like Windows, from scripted counters, and logs every call in order.
class FakeSystem : public app::CpuSystemCalls {
  public:
    std::optional<std::uint32_t> platformForExRecord = 2; // size 156
    std::optional<std::uint32_t> platformForRecord = 2;   // size 148
    bool hasQueryEntry = true;
    std::uint8_t processors = 1;
    std::deque<std::int64_t> times;                         // class 3 answers, in order
    std::deque<std::int64_t> idles;                         // class 2 answers, in order
    std::set<std::pair<std::uint32_t, int>> failingQueries; // {class, nth query of that class}
    std::set<std::string> unopenableKeys;
    std::map<std::string, std::uint32_t> registryValues;
    Log log;

    std::optional<std::uint32_t> versionPlatformId(std::uint32_t recordSize) override {
        log.push_back("version " + std::to_string(recordSize));
        if (recordSize == 156) return platformForExRecord;
        if (recordSize == 148) return platformForRecord;
        return std::nullopt;
    }

    SystemInformationQuery findSystemInformationQuery() override {
        log.push_back("find");
        return hasQueryEntry ? kQueryEntry : 0;
    }

    std::uint32_t querySystemInformation(SystemInformationQuery query, std::uint32_t infoClass, void* buffer,
                                         std::uint32_t length) override {
        log.push_back("query " + std::to_string(infoClass) + " (" + std::to_string(length) + ")");
        EXPECT_EQ(query, kQueryEntry);
        if (failingQueries.contains({infoClass, ++queriesOfClass[infoClass]})) return kStatusUnsuccessful;
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        switch (infoClass) {
        case 0:
            if (length != kBasicLength) return kStatusInfoLengthMismatch;
            std::memset(bytes, 0xCD, length);
            bytes[kProcessorCountOffset] = processors;
            return 0;
        case 3:
            if (length != 32 || times.empty()) return kStatusUnsuccessful;
            std::memset(bytes, 0xCD, length);
            putInt64(bytes, 0x0102'0304'0506'0708); // boot time
            putInt64(bytes + 8, times.front());
            times.pop_front();
            return 0;
        case 2:
            if (length != 312 || idles.empty()) return kStatusUnsuccessful;
            std::memset(bytes, 0xCD, length);
            putInt64(bytes, idles.front());
            putInt64(bytes + 8, 0x0102'0304'0506'0708); // busy time
            idles.pop_front();
            return 0;
        default:
            return kStatusUnsuccessful;
        }
    }

    std::int32_t openDynDataKey(const char* subkey, std::uint32_t access, RegistryKey& key) override {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%x", access);
        log.push_back(std::string("open ") + subkey + " " + hex);
        if (unopenableKeys.contains(subkey)) return 2; // ERROR_FILE_NOT_FOUND
        keys.emplace_back(subkey);
        key = keys.size() + 0x100;
        return 0;
    }

    std::int32_t queryRegistryValue(RegistryKey key, const char* name, std::uint32_t& data,
                                    std::uint32_t& size) override {
        const std::string subkey = keyName(key);
        log.push_back("query " + subkey + " " + name + " size " + std::to_string(size));
        const auto value = registryValues.find(subkey);
        if (value == registryValues.end()) return 2;
        data = value->second;
        size = 4;
        return 0;
    }

    void closeRegistryKey(RegistryKey key) override { log.push_back("close " + keyName(key)); }

    void sleep(std::uint32_t milliseconds) override {
        log.push_back("sleep " + std::to_string(milliseconds));
    }

  private:
    std::string keyName(RegistryKey key) const {
        return key > 0x100 && key <= keys.size() + 0x100 ? keys[key - 0x101] : "?";
    }

    std::map<std::uint32_t, int> queriesOfClass;
    std::vector<std::string> keys;
};

const std::string kBasicQuery = "query 0 (" + std::to_string(kBasicLength) + ")";
const Log kNtQueries = {"version 156", "find", kBasicQuery, "query 3 (32)", "query 2 (312)"};
const Log kWaitAndRequery = {"sleep 800", "query 3 (32)", "query 2 (312)"};

Log operator+(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Held {
    std::int64_t idle;
    std::int64_t time;
    bool operator==(const Held&) const = default;
};

Held held(const app::CpuUsageSampler& sampler) {
    return {sampler.previousIdleTime, sampler.previousSystemTime};
}

void PrintTo(const Held& h, std::ostream* os) {
    *os << "{idle " << h.idle << ", time " << h.time << "}";
}

TEST(CpuUsageFormula, BusyShareOfTheElapsedTimeOverAllProcessors) {
    constexpr std::int64_t kBoot = 130000000000000000; // a 2012 clock in 100-ns units
    struct Case {
        const char* what;
        Held before;
        std::int64_t idle, time;
        std::uint8_t processors;
        std::int32_t usage;
    };
    const Case cases[] = {
        {"idle did not move", {500, 1000}, 500, 1800, 1, 100},
        {"idle all the time", {500, 1000}, 1300, 1800, 1, 0},
        {"idle 3/8 rounds up", {500, 1000}, 800, 1800, 1, 63},
        {"idle 5/8 rounds up", {500, 1000}, 1000, 1800, 1, 38},
        {"two processors idle 1.5 times the span", {500, 1000}, 1700, 1800, 2, 25},
        {"idle 129/128 rounds to 0", {500, 1000}, 629, 1128, 1, 0},
        {"idle 131/128 is held at 0", {500, 1000}, 631, 1128, 1, 0},
        {"clock set back is held at 100", {500, 1800}, 900, 1000, 1, 100},
        {"no time passed", {500, 1000}, 900, 1000, 1, 0},
        {"nothing moved", {500, 1000}, 500, 1000, 1, 0},
        {"no processors", {500, 1000}, 800, 1800, 0, 0},
        {"count byte 200 is 200 processors", {500, 1000}, 80500, 1800, 200, 50},
        {"counters beyond double precision", {kBoot + 1, kBoot}, kBoot + 4, kBoot + 8, 1, 63},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem os;
        os.processors = c.processors;
        os.times = {c.time};
        os.idles = {c.idle};
        app::CpuUsageSampler sampler;
        sampler.previousIdleTime = c.before.idle;
        sampler.previousSystemTime = c.before.time;

        EXPECT_EQ(sampler.sampleCpuUsage(os), c.usage);
        EXPECT_EQ(held(sampler), (Held{c.idle, c.time}));
    }
}

TEST(CpuUsageSampler, FirstCallWaitsOnceForASecondSampleLaterCallsMeasureFromTheLast) {
    FakeSystem os;
    os.processors = 2;
    os.times = {1000, 1800, 2600};
    os.idles = {400, 1200, 2400};
    app::CpuUsageSampler sampler;

    EXPECT_EQ(sampler.sampleCpuUsage(os), 50);
    EXPECT_EQ(os.log, kNtQueries + kWaitAndRequery);
    EXPECT_EQ(held(sampler), (Held{1200, 1800}));

    os.log.clear();
    EXPECT_EQ(sampler.sampleCpuUsage(os), 25);
    EXPECT_EQ(os.log, kNtQueries);
    EXPECT_EQ(held(sampler), (Held{2400, 2600}));
}

TEST(CpuUsageSampler, IdleCounterAtZeroIsWaitedOutAtMostThreeTimes) {
    FakeSystem os;
    os.times = {1000, 1800, 2600};
    os.idles = {0, 40, 60};
    app::CpuUsageSampler sampler;
    EXPECT_EQ(sampler.sampleCpuUsage(os), 98);
    EXPECT_EQ(os.log, kNtQueries + kWaitAndRequery + kWaitAndRequery);

    FakeSystem stuck;
    stuck.times = {1000, 1800, 2600, 3400};
    stuck.idles = {0, 0, 0, 0};
    app::CpuUsageSampler stuckSampler;
    EXPECT_EQ(stuckSampler.sampleCpuUsage(stuck), -1);
    EXPECT_EQ(stuck.log, kNtQueries + kWaitAndRequery + kWaitAndRequery + kWaitAndRequery);
    EXPECT_EQ(held(stuckSampler), (Held{0, 2600}));
}

TEST(CpuUsageSampler, StepThatFailsGivesMinusOneAndKeepsWhatWasStored) {
    struct Case {
        const char* what;
        bool hasQueryEntry;
        std::pair<std::uint32_t, int> failing; // {class, nth query of it}; class 9: none
        Held before;
        Held after;
        Log log;
    };
    const Held none{0, 0};
    const Held kept{700, 900};
    const Log start = {"version 156", "find"};
    const Log waitThenTimeOfDay = {"sleep 800", "query 3 (32)"};
    const Case cases[] = {
        {"entry point missing, nothing held", false, {9, 0}, none, none, start},
        {"entry point missing", false, {9, 0}, kept, kept, start},
        {"basic information", true, {0, 1}, kept, kept, start + Log{kBasicQuery}},
        {"time of day", true, {3, 1}, kept, kept, start + Log{kBasicQuery, "query 3 (32)"}},
        {"performance", true, {2, 1}, kept, kept, kNtQueries},
        {"time of day after the wait", true, {3, 2}, none, {400, 1000}, kNtQueries + waitThenTimeOfDay},
        {"performance after the wait", true, {2, 2}, none, {400, 1000}, kNtQueries + kWaitAndRequery},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem os;
        os.hasQueryEntry = c.hasQueryEntry;
        os.failingQueries = {c.failing};
        os.times = {1000, 1800};
        os.idles = {400, 800};
        app::CpuUsageSampler sampler;
        sampler.previousIdleTime = c.before.idle;
        sampler.previousSystemTime = c.before.time;

        EXPECT_EQ(sampler.sampleCpuUsage(os), -1);
        EXPECT_EQ(held(sampler), c.after);
        EXPECT_EQ(os.log, c.log);
    }
}

TEST(CpuUsageSampler, SampleStoredBeforeAFailedWaitIsMeasuredFromAtOnce) {
    FakeSystem os;
    os.failingQueries = {{3, 2}};
    os.times = {1000, 1800};
    os.idles = {400, 800};
    app::CpuUsageSampler sampler;
    ASSERT_EQ(sampler.sampleCpuUsage(os), -1);

    os.log.clear();
    EXPECT_EQ(sampler.sampleCpuUsage(os), 50);
    EXPECT_EQ(os.log, kNtQueries);
    EXPECT_EQ(held(sampler), (Held{800, 1800}));
}

TEST(CpuUsageSampler, MethodFollowsThePlatformIdOfEitherVersionRecord) {
    struct Case {
        const char* what;
        std::optional<std::uint32_t> exRecord, record;
        Log log;
    };
    const Log nt = {"find"};
    const Log legacy = {"open PerfStats\\StartStat f003f"};
    const Case cases[] = {
        {"NT", 2, 2, Log{"version 156"} + nt},
        {"NT answering only the smaller record", std::nullopt, 2, Log{"version 156", "version 148"} + nt},
        {"no answer", std::nullopt, std::nullopt, Log{"version 156", "version 148"} + legacy},
        {"Windows 9x", 1, 2, Log{"version 156"} + legacy},
        {"Windows 9x answering only the smaller record", std::nullopt, 1,
         Log{"version 156", "version 148"} + legacy},
        {"Win32s", 0, 0, Log{"version 156"} + legacy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem os; // both methods stop at their first step
        os.platformForExRecord = c.exRecord;
        os.platformForRecord = c.record;
        os.hasQueryEntry = false;
        os.unopenableKeys = {"PerfStats\\StartStat"};
        app::CpuUsageSampler sampler;
        EXPECT_EQ(sampler.sampleCpuUsage(os), -1);
        EXPECT_EQ(os.log, c.log);
    }
}

const Log kLegacyCall = {
    "version 156",
    "open PerfStats\\StartStat f003f",
    "query PerfStats\\StartStat KERNEL\\CPUUsage size 4",
    "close PerfStats\\StartStat",
    "open PerfStats\\StatData 20019",
    "query PerfStats\\StatData KERNEL\\CPUUsage size 4",
    "sleep 500",
    "close PerfStats\\StatData",
    "open PerfStats\\StopStat f003f",
    "query PerfStats\\StopStat KERNEL\\CPUUsage size 4",
    "close PerfStats\\StopStat",
};

TEST(CpuUsageLegacy, ReadsTheKernelStatisticBetweenStartAndStopEveryCall) {
    FakeSystem os;
    os.platformForExRecord = 1;
    os.registryValues = {
        {"PerfStats\\StartStat", 11}, {"PerfStats\\StatData", 150}, {"PerfStats\\StopStat", 99}};
    app::CpuUsageSampler sampler;
    sampler.previousIdleTime = 700;
    sampler.previousSystemTime = 900;

    EXPECT_EQ(sampler.sampleCpuUsage(os), 150); // not held within 0..100
    EXPECT_EQ(sampler.sampleCpuUsage(os), 150);
    EXPECT_EQ(os.log, kLegacyCall + kLegacyCall);
    EXPECT_EQ(held(sampler), (Held{700, 900}));
}

TEST(CpuUsageLegacy, KeyThatWillNotOpenGivesMinusOne) {
    struct Case {
        const char* key;
        std::size_t logLength; // the call ends with the failed open
    };
    const Case cases[] = {
        {"PerfStats\\StartStat", 2}, {"PerfStats\\StatData", 5}, {"PerfStats\\StopStat", 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        FakeSystem os;
        os.platformForExRecord = 1;
        os.unopenableKeys = {c.key};
        os.registryValues = {
            {"PerfStats\\StartStat", 11}, {"PerfStats\\StatData", 37}, {"PerfStats\\StopStat", 99}};
        app::CpuUsageSampler sampler;

        EXPECT_EQ(sampler.sampleCpuUsage(os), -1);
        EXPECT_EQ(os.log, Log(kLegacyCall.begin(), kLegacyCall.begin() + c.logLength));
        EXPECT_EQ(held(sampler), (Held{0, 0}));
    }
}

TEST(SystemInformationRecords, ProcessorCountSitsAtEachArchitecturesOffset) {
    // Every byte holds its own offset, so the count read names the offset it came from.
    std::array<std::uint8_t, 64> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);

    EXPECT_EQ(app::processorCountFrom<app::SystemBasicInformationX86>(std::span(bytes).first<44>()), 40);
    EXPECT_EQ(app::processorCountFrom<app::SystemBasicInformationX64>(std::span(bytes).first<64>()), 56);
}

TEST(SystemInformationRecords, CountersAreSignedLittleEndian) {
    struct Case {
        std::array<std::uint8_t, 8> bytes;
        std::int64_t value;
    };
    const Case cases[] = {
        {{1, 0, 0, 0, 0, 0, 0, 0}, 1},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, 4294967295},
        {{0, 0, 0, 0, 1, 0, 0, 0}, 4294967296},
        {{8, 7, 6, 5, 4, 3, 2, 1}, 0x0102030405060708},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, -4294967296},
        {{0, 0, 0, 0, 0, 0, 0, 0x80}, std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 24> record;
        record.fill(0xCD);
        std::memcpy(record.data() + 8, c.bytes.data(), 8);
        EXPECT_EQ(app::readCounter(record, 8), c.value);
    }
}

} // namespace
