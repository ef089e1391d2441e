// One meter tick, apart from the controls and system calls it goes through.
#pragma once

#include <cstdint>
#include <string_view>

namespace app {

// The bar and number of one row, as control properties.
class MeterRow {
  public:
    virtual void setBarWidth(std::int32_t width) = 0;
    virtual std::int32_t barWidth() = 0; // the stored, clamped width
    virtual void setNumberText(std::wstring_view text) = 0;
    virtual void setNumberLeft(std::int32_t left) = 0;

  protected:
    ~MeterRow() = default;
};

class MeterReadings {
  public:
    virtual void refreshMemoryStatus() = 0; // GlobalMemoryStatusEx into the program's record
    virtual std::int32_t memoryLoad() = 0;  // the record's load field
    virtual std::int32_t cpuUsage() = 0;    // the sampler's reading; may wait on its first call

  protected:
    ~MeterReadings() = default;
};

// Both readings first, then the bottom (memory) row whole, then the top (CPU) row.
void runMeterUpdate(MeterReadings& readings, MeterRow& bottom, MeterRow& top);

} // namespace app
