#include "app/meter_update.h"

#include "app/meter_layout.h"

namespace app {
namespace {

void writeRow(MeterRow& row, std::int32_t width) {
    row.setBarWidth(width);
    row.setNumberText(meterNumberText(width));
    // The bar is read back only when the number has to move inside it.
    row.setNumberLeft(meterNumberLeft(width, numberMovesInside(width) ? row.barWidth() : width));
}

} // namespace

void runMeterUpdate(MeterReadings& readings, MeterRow& bottom, MeterRow& top) {
    readings.refreshMemoryStatus();
    const std::int32_t memoryWidth = meterBarWidth(readings.memoryLoad());
    const std::int32_t cpuWidth = meterBarWidth(readings.cpuUsage());
    writeRow(bottom, memoryWidth);
    writeRow(top, cpuWidth);
}

} // namespace app
