// The CPU sampler's readings against Linux's own counters over the same intervals, under three loads:
// idle, one busy thread and two. Run under Wine, which shows /proc as Z:\proc.
#include "bench/machine_info.h"
#include "app/cpu_system_calls_win32.h"
#include "app/cpu_usage.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto meterPeriod = std::chrono::milliseconds(700);
constexpr double goalPoints = 2.0;

// procfs reports a size of 0: read until the end instead.
std::optional<std::string> readWholeFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return text;
}

struct CpuTicks {
    std::uint64_t idle = 0; // idle + iowait
    std::uint64_t total = 0;
};

// First line of /proc/stat: "cpu  user nice system idle iowait irq softirq steal guest guest_nice".
// guest and guest_nice are already inside user and nice, so they are left out of the total.
std::optional<CpuTicks> readCpuTicks() {
    const auto text = readWholeFile("Z:\\proc\\stat");
    if (!text || text->compare(0, 4, "cpu ") != 0) return std::nullopt;
    CpuTicks ticks;
    const char* at = text->c_str() + 4;
    int field = 0;
    for (;; ++field) {
        while (*at == ' ') ++at;
        if (*at < '0' || *at > '9') break;
        char* end = nullptr;
        const std::uint64_t value = std::strtoull(at, &end, 10);
        at = end;
        if (field < 8) ticks.total += value;
        if (field == 3 || field == 4) ticks.idle += value;
    }
    if (field < 4) return std::nullopt;
    return ticks;
}

// Busy percent between two snapshots; nothing when no tick passed.
std::optional<double> busyPercent(const CpuTicks& before, const CpuTicks& after) {
    const std::uint64_t total = after.total - before.total;
    if (total == 0) return std::nullopt;
    const std::uint64_t idle = after.idle - before.idle;
    return 100.0 - 100.0 * static_cast<double>(idle) / static_cast<double>(total);
}

std::string cpuModel() {
    const auto text = readWholeFile("Z:\\proc\\cpuinfo");
    if (!text) return "unknown CPU";
    const auto key = text->find("model name");
    if (key == std::string::npos) return "unknown CPU";
    const auto colon = text->find(':', key);
    const auto lineEnd = text->find('\n', key);
    if (colon == std::string::npos || colon > lineEnd) return "unknown CPU";
    std::string model = text->substr(colon + 1, lineEnd - colon - 1);
    model.erase(0, model.find_first_not_of(" \t"));
    return model;
}

using bench::wineVersion;

// Threads that spin until destroyed.
class BusyThreads {
  public:
    explicit BusyThreads(int count) {
        for (int i = 0; i < count; ++i) threads_.emplace_back([this] { spin(); });
    }
    ~BusyThreads() {
        stop_.store(true);
        for (auto& thread : threads_) thread.join();
    }
    BusyThreads(const BusyThreads&) = delete;
    BusyThreads& operator=(const BusyThreads&) = delete;

  private:
    void spin() {
        volatile std::uint64_t turns = 0;
        while (!stop_.load(std::memory_order_relaxed)) turns = turns + 1;
    }

    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

struct LoadResult {
    int readings = 0; // compared
    int unmeasured = 0; // -1 from the sampler, or no tick in /proc/stat
    double meanError = 0;
    double maxError = 0;
    double meanBias = 0; // sampler minus /proc/stat
    double meanSampler = 0;
    double meanProcStat = 0;
    double firstMs = 0;
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A fresh sampler read every meter period for the given time. The sampler measures from its previous
// call to this one; /proc/stat is read right after each call, so consecutive snapshots cover the same
// interval. The first call measures its own 800 ms wait, covered by a snapshot just before it.
LoadResult measure(const char* name, int busyThreads, double seconds, bool printReadings) {
    BusyThreads load(busyThreads);
    app::CpuUsageSampler sampler;
    app::CpuSystemCalls& os = app::windowsCpuSystemCalls();
    LoadResult result;
    double errorSum = 0, biasSum = 0, samplerSum = 0, procStatSum = 0;

    auto before = readCpuTicks();
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto due = start;
    for (bool first = true;; first = false) {
        const auto called = Clock::now();
        const std::int32_t reading = sampler.sampleCpuUsage(os);
        const auto returned = Clock::now();
        const auto after = readCpuTicks();
        if (first) result.firstMs = milliseconds(returned - called);

        const auto figure = before && after ? busyPercent(*before, *after) : std::nullopt;
        if (reading < 0 || !figure) {
            ++result.unmeasured;
        } else {
            const double error = reading - *figure;
            ++result.readings;
            errorSum += std::fabs(error);
            biasSum += error;
            result.maxError = std::max(result.maxError, std::fabs(error));
            samplerSum += reading;
            procStatSum += *figure;
        }
        if (printReadings) {
            std::printf("  %-10s %8.0f ms  sampler %4d  /proc/stat %6.2f\n", name, milliseconds(returned - start),
                        reading, figure.value_or(-1.0));
        }
        before = after;

        due = (first ? returned : due) + meterPeriod;
        if (due > end) break;
        std::this_thread::sleep_until(due);
    }
    if (result.readings > 0) {
        result.meanError = errorSum / result.readings;
        result.meanBias = biasSum / result.readings;
        result.meanSampler = samplerSum / result.readings;
        result.meanProcStat = procStatSum / result.readings;
    }
    return result;
}

void usage() {
    std::printf("usage: cpu_accuracy [--seconds N] [--readings]\n"
                "  --seconds N  time per load, default 30\n"
                "  --readings   print every reading\n");
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 30;
    bool printReadings = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(seconds > 0)) {
                std::fprintf(stderr, "cpu_accuracy: bad --seconds value: %s\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--readings") == 0) {
            printReadings = true;
        } else {
            usage();
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    if (!readCpuTicks()) {
        std::fprintf(stderr, "cpu_accuracy: cannot read Z:\\proc\\stat (needs Wine on Linux)\n");
        return 1;
    }

    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const char* wine = wineVersion();
    std::printf("machine: %s, %lu cores, %s%s\n", cpuModel().c_str(),
                static_cast<unsigned long>(system.dwNumberOfProcessors), wine ? "Wine " : "not Wine",
                wine ? wine : "");
    std::printf("CPU sampler against /proc/stat over the same intervals: one reading every %lld ms, %g s per load\n",
                static_cast<long long>(meterPeriod.count()), seconds);
    std::printf("/proc/stat figure: 100 - 100 * d(idle + iowait) / d(user..steal); error = |sampler - figure|\n");
    std::printf("goal: mean error <= %g points at every load\n\n", goalPoints);
    std::printf("%-14s %8s %9s %8s %7s %8s %10s %8s  %s\n", "load", "readings", "mean err", "max err", "bias",
                "sampler", "/proc/stat", "first ms", "result");
    std::fflush(stdout);

    struct Load {
        const char* name;
        int threads;
    };
    constexpr Load loads[] = {{"idle", 0}, {"1 busy thread", 1}, {"2 busy threads", 2}};
    for (const Load& load : loads) {
        const LoadResult r = measure(load.name, load.threads, seconds, printReadings);
        const bool pass = r.readings > 0 && r.meanError <= goalPoints;
        std::printf("%-14s %8d %9.2f %8.2f %+7.2f %8.2f %10.2f %8.0f  %s\n", load.name, r.readings, r.meanError,
                    r.maxError, r.meanBias, r.meanSampler, r.meanProcStat, r.firstMs, pass ? "PASS" : "MISS");
        if (r.unmeasured > 0) std::printf("%-14s %d readings not compared (sampler -1 or no tick)\n", "", r.unmeasured);
        std::fflush(stdout);
    }
    return 0;
}
