// The meters with the real system calls under Wine.
#include "app/cpu_system_calls_win32.h"
#include "app/float_to_int.h"
#include "app/gadget.h"
#include "app/program.h"
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <string>

#include <xmmintrin.h>

namespace {

using design::ControlId;

TEST(Meters, TheRealSamplerMeasuresWithinZeroToHundred) {
    app::CpuUsageSampler sampler;
    const ULONGLONG t0 = ::GetTickCount64();
    const std::int32_t first = sampler.sampleCpuUsage(app::windowsCpuSystemCalls());
    const ULONGLONG t1 = ::GetTickCount64();
    ::Sleep(300);
    const ULONGLONG t2 = ::GetTickCount64();
    const std::int32_t second = sampler.sampleCpuUsage(app::windowsCpuSystemCalls());
    const ULONGLONG t3 = ::GetTickCount64();
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 100);
    EXPECT_GE(second, 0);
    EXPECT_LE(second, 100);
    EXPECT_GE(t1 - t0, 750u); // the first measurement waits for its second sample
    EXPECT_LT(t3 - t2, 200u); // later ones measure since the previous call
    EXPECT_NE(sampler.previousIdleTime, 0);
}

TEST(Meters, EachTickShowsTheMachinesFiguresInBothRows) {
    app::startUp();
    auto& w = app::gadget()->window();
    w.timer(ControlId::Timer2).setPeriod(0); // stays where the test can see it
    auto& memoryNumber = w.label(ControlId::Label2);
    // The first tick comes after 700 ms and its CPU reading waits 800 ms more.
    ASSERT_TRUE(wintest::pumpUntil([&] { return memoryNumber.text() != L"100"; }, 4000));
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof m;
    ::GlobalMemoryStatusEx(&m);
    const int load = std::stoi(memoryNumber.text());
    EXPECT_NEAR(load, static_cast<int>(m.dwMemoryLoad), 1);
    EXPECT_EQ(w.picture(ControlId::Bar1).width(), 2 * load);
    EXPECT_EQ(memoryNumber.left(), 2 * load > 176 ? 2 * load - 24 : 2 * load);
    EXPECT_EQ(app::memoryStatus()->dwLength, 64u);

    const int cpu = std::stoi(w.label(ControlId::Label1).text());
    EXPECT_GE(cpu, 0);
    EXPECT_LE(cpu, 100);
    EXPECT_EQ(w.picture(ControlId::Bar2).width(), 2 * cpu);
    ::DestroyWindow(w.hwnd());
}

TEST(Meters, StartUpLeavesTheFloatingPointUnitInExtendedPrecisionWithEverythingMasked) {
    app::startUp();
    unsigned short x87 = 0;
    __asm__ volatile("fnstcw %0" : "=m"(x87));
    EXPECT_EQ(x87 & 0x0F3F, 0x033F); // precision 64-bit, round to nearest, six masks
    EXPECT_EQ(_mm_getcsr() & 0x7F80, 0x1F80u);
    // A division by zero gives infinity, which the conversion turns into 0, never a fault.
    volatile double zero = 0.0;
    EXPECT_EQ(app::toInt32(1.0 / zero), 0);
    ::DestroyWindow(app::gadget()->window().hwnd());
}

} // namespace
