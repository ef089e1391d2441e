// One meter row: bar width and number label from a reading, apart from the control calls.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// Two pixels per percent.
std::int32_t meterBarWidth(std::int32_t reading);

// The number shown for a bar width: half of it, rounded toward minus infinity.
std::wstring meterNumberText(std::int32_t barWidth);

// Past this width the number moves inside the bar, placed from the bar's read-back width.
bool numberMovesInside(std::int32_t barWidth);

// The number sits at the bar's end while that is inside the row; past it, it moves inside the
// bar, measured from the width the bar control kept after the width write.
std::int32_t meterNumberLeft(std::int32_t barWidth, std::int32_t readBackBarWidth);

} // namespace app
