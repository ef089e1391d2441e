// The CPU usage sampler's real system calls, and the process's one sampler.
#pragma once

#include "app/cpu_usage.h"

namespace app {

CpuSystemCalls& windowsCpuSystemCalls();

// Constructed before start-up; holds the previous sample for the life of the process.
CpuUsageSampler& cpuUsageSampler();

} // namespace app
